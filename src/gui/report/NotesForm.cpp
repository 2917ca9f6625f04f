#include "gui/report/NotesForm.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gui/common/Asker.h"
#include "core/document/Document.h"
#include "core/document/Notes.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

constexpr int WrapColumn = 70;

// The bytes a character takes in the stored notes: UTF-8, a line break as
// CR LF, a surrogate pair's four bytes on its high half.
std::size_t StoredBytes(QChar character) {
  const char16_t unit = character.unicode();
  if (unit == u'\n' || character == QChar::ParagraphSeparator) return 2;
  if (character.isHighSurrogate()) return 4;
  if (character.isLowSurrogate()) return 0;
  if (unit < 0x80) return 1;
  return unit < 0x800 ? 2 : 3;
}

std::size_t StoredBytes(QStringView text) {
  std::size_t bytes = 0;
  for (const QChar character : text) bytes += StoredBytes(character);
  return bytes;
}

}  // namespace

TNotesForm::TNotesForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Ombrel Notes"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 0, 5, 0);
  NotesMemo = new QTextEdit;
  NotesMemo->setAccessibleName(QStringLiteral("Notes"));
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
  connect(NotesMemo->document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) { LimitLength(position, added); });
  layout->addWidget(NotesMemo);
  // Wide enough for the 70 columns: a narrower editor wraps at its edge.
  // A few pixels spare absorb the rounding of the font's widths.
  constexpr int Spare = 4;
  const auto margin = static_cast<int>(std::ceil(2 * NotesMemo->document()->documentMargin()));
  const int textWidth = static_cast<int>(std::ceil(WrapColumn * QFontMetricsF(font).averageCharWidth()));
  const int editorWidth =
      textWidth + margin + 2 * NotesMemo->frameWidth() + NotesMemo->verticalScrollBar()->sizeHint().width() + Spare;
  resize(std::max(560, editorWidth + layout->contentsMargins().left() + layout->contentsMargins().right()), 400);
}

void TNotesForm::LoadNotes(const std::string& notes) {
  QString text = FromCore(notes);
  // The end marker ends the text.
  const qsizetype end = text.indexOf(QChar(0x1A));
  if (end >= 0) text.truncate(end);
  NotesMemo->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

std::string TNotesForm::StoredNotes() const {
  const QString text = NotesMemo->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return StoreNotes(text.toUtf8().toStdString());
}

void TNotesForm::LimitLength(int position, int added) {
  if (mLimiting || added <= 0) return;
  const QString text = NotesMemo->toPlainText();
  if (StoredBytes(text) <= MaxNotesLength) return;
  // Cutting the end of the whole text instead would drop notes written long
  // before, whenever the user types in the middle of full notes.
  position = std::clamp(position, 0, static_cast<int>(text.size()));
  added = std::min(added, static_cast<int>(text.size()) - position);
  const QStringView inserted = QStringView(text).mid(position, added);
  const std::size_t others = StoredBytes(text) - StoredBytes(inserted);
  std::size_t room = others < MaxNotesLength ? MaxNotesLength - others : 0;
  int keep = 0;
  while (keep < added) {
    const QChar character = inserted[keep];
    // A surrogate pair stays whole.
    const int width = character.isHighSurrogate() && keep + 1 < added ? 2 : 1;
    const std::size_t bytes = StoredBytes(character);
    if (bytes > room) break;
    room -= bytes;
    keep += width;
  }
  mLimiting = true;
  QTextCursor cursor(NotesMemo->document());
  cursor.setPosition(position + keep);
  cursor.setPosition(position + added, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  mLimiting = false;
  cursor.setPosition(position + keep);
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
