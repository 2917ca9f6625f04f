#include "gui/app/QtAsker.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>

#include "gui/app/AboutBox.h"
#include "gui/app/ExitQuestion.h"
#include "gui/app/NewFileDialog.h"
#include "gui/common/CaptionWidth.h"

namespace ombrel {

namespace {

// Message boxes carry no caption of their own; the program's name stands in
// where the window system insists on one, whole however short the text.
QString BoxCaption() { return QStringLiteral("Ombrel"); }

int Show(QMessageBox& box) {
  KeepMessageCaptionWhole(box);
  return box.exec();
}

}  // namespace

void TQtAsker::Inform(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, BoxCaption(), text, QMessageBox::Ok, parent);
  Show(box);
}

bool TQtAsker::InformWithAction(QWidget* parent, const QString& text, const QString& action) {
  QMessageBox box(QMessageBox::NoIcon, BoxCaption(), text, QMessageBox::Cancel, parent);
  QPushButton* way = box.addButton(action, QMessageBox::AcceptRole);
  box.setDefaultButton(way);
  Show(box);
  return box.clickedButton() == way;
}

bool TQtAsker::AskYesNo(QWidget* parent, const QString& text, bool defaultYes) {
  QMessageBox box(QMessageBox::Question, BoxCaption(), text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
  return Show(box) == QMessageBox::Yes;
}

TAnswer TQtAsker::AskYesNoCancel(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, BoxCaption(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                  parent);
  box.setDefaultButton(QMessageBox::Yes);
  switch (Show(box)) {
    case QMessageBox::Yes:
      return TAnswer::Yes;
    case QMessageBox::No:
      return TAnswer::No;
    default:
      return TAnswer::Cancel;
  }
}

TAnswer TQtAsker::AskSaveAll(QWidget* parent, const QStringList& names) { return AskSaveAllQuestion(parent, names); }

QString TQtAsker::GetOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                  const QString& filters) {
  return QFileDialog::getOpenFileName(parent, title, folder, filters);
}

QString TQtAsker::GetSaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                  const QString& filters, const QString& defaultSuffix) {
  QFileDialog dialog(parent, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters.split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(defaultSuffix);
  // A name typed without a suffix takes the chosen filter's ("*.pdf").
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (match.hasMatch()) dialog.setDefaultSuffix(match.captured(1).toLower());
  });
  dialog.selectFile(suggested);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

std::optional<TNewFileChoice> TQtAsker::ChooseNewFile(QWidget* parent) {
  Newanal dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

bool TQtAsker::SetUpPrint(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

void TQtAsker::SetUpPage(QWidget* parent, QPrinter& printer) {
  QPageSetupDialog dialog(&printer, parent);
  dialog.exec();
}

void TQtAsker::ShowAbout(QWidget* parent) {
  TAboutBox box(parent);
  box.exec();
}

int TQtAsker::Exec(QDialog& dialog) { return dialog.exec(); }

TAsker& DefaultAsker() {
  static TQtAsker asker;
  return asker;
}

}  // namespace ombrel
