#include "report/NotesForm.h"

#include <QFontDatabase>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/Asker.h"
#include "document/Document.h"
#include "document/Notes.h"

namespace ombrel {

namespace {

constexpr int WrapColumn = 70;

}  // namespace

TNotesForm::TNotesForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Ombrel Notes"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 0, 5, 0);
  NotesMemo = new QTextEdit;
  NotesMemo->setAcceptRichText(false);
  NotesMemo->setLineWrapMode(QTextEdit::FixedColumnWidth);
  NotesMemo->setLineWrapColumnOrWidth(WrapColumn);
  NotesMemo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  NotesMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(10);
  NotesMemo->setFont(font);
  NotesMemo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(NotesMemo, &QTextEdit::customContextMenuRequested, this, &TNotesForm::ShowPopup);
  connect(NotesMemo, &QTextEdit::textChanged, this, &TNotesForm::LimitLength);
  layout->addWidget(NotesMemo);
  resize(560, 400);
}

void TNotesForm::LoadNotes(const std::string& notes) {
  QString text = QString::fromUtf8(notes.data(), static_cast<qsizetype>(notes.size()));
  // The end marker ends the text.
  const qsizetype end = text.indexOf(QChar(0x1A));
  if (end >= 0) text.truncate(end);
  NotesMemo->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

std::string TNotesForm::StoredNotes() const {
  const QString text = NotesMemo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return StoreNotes(text.toUtf8().toStdString());
}

void TNotesForm::LimitLength() {
  const QString text = NotesMemo->toPlainText();
  if (text.size() <= static_cast<qsizetype>(MaxNotesLength)) return;
  const QSignalBlocker blocker(NotesMemo);
  QTextCursor cursor = NotesMemo->textCursor();
  const int position = cursor.position();
  NotesMemo->setPlainText(text.left(static_cast<qsizetype>(MaxNotesLength)));
  cursor = NotesMemo->textCursor();
  cursor.setPosition(std::min(position, static_cast<int>(MaxNotesLength)));
  NotesMemo->setTextCursor(cursor);
}

void TNotesForm::ShowPopup(const QPoint& position) {
  QMenu menu(this);
  QAction* cut = menu.addAction(QStringLiteral("&Cut"), NotesMemo, &QTextEdit::cut);
  cut->setShortcut(QKeySequence::Cut);
  QAction* copy = menu.addAction(QStringLiteral("&Copy"), NotesMemo, &QTextEdit::copy);
  copy->setShortcut(QKeySequence::Copy);
  QAction* paste = menu.addAction(QStringLiteral("&Paste"), NotesMemo, &QTextEdit::paste);
  paste->setShortcut(QKeySequence::Paste);
  menu.addSeparator();
  QAction* all = menu.addAction(QStringLiteral("Select All"), NotesMemo, &QTextEdit::selectAll);
  all->setShortcut(QKeySequence::SelectAll);
  menu.addSeparator();
  menu.addAction(QStringLiteral("P&rint"), this, [this] {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) NotesMemo->print(&printer);
  });
  menu.exec(NotesMemo->mapToGlobal(position));
}

void ViewNotes(TDocument& document, TAsker& asker, QWidget* parent) {
  TNotesForm form(parent);
  form.LoadNotes(document.Notes);
  TNotesWindowPlace& place = document.NotesWindow;
  if (place.Width > 0 && place.Height > 0) {
    form.resize(place.Width, place.Height);
    form.move(place.Left, place.Top);
  }
  asker.Exec(form);
  document.Notes = form.StoredNotes();
  place = {form.width(), form.height(), form.y(), form.x()};
}

}  // namespace ombrel
