#include "gui/app/ExitQuestion.h"

#include <QMessageBox>
#include <QPushButton>

#include "gui/common/CaptionWidth.h"

namespace ombrel {

QString SaveAllQuestionText(const QStringList& names) {
  QString text = QStringLiteral("These documents have changes that are not saved:\n");
  for (const QString& name : names) text += QStringLiteral("\n    ") + name;
  text += QStringLiteral("\n\nSave the changes before closing?");
  return text;
}

TAnswer AskSaveAllQuestion(QWidget* parent, const QStringList& names) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Ombrel"), SaveAllQuestionText(names), QMessageBox::NoButton,
                  parent);
  QPushButton* save = box.addButton(QString::fromLatin1(SaveAllCaption), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QString::fromLatin1(DiscardAllCaption), QMessageBox::DestructiveRole);
  box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(save);
  KeepMessageCaptionWhole(box);
  box.exec();
  if (box.clickedButton() == save) return TAnswer::Yes;
  if (box.clickedButton() == discard) return TAnswer::No;
  return TAnswer::Cancel;
}

}  // namespace ombrel
