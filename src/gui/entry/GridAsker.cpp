#include "gui/entry/GridAsker.h"

#include <QMessageBox>
#include <QPointer>

#include "core/base/Version.h"
#include "gui/common/Asker.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TAskYesNo MessageBoxAsker(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](const QString& question) {
    const QString caption = FromCore(ProgramName);
    return QMessageBox::question(owner, caption, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
  };
}

TTellUser MessageBoxTeller(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](const QString& message) {
    const QString caption = FromCore(ProgramName);
    QMessageBox::warning(owner, caption, message);
  };
}

TAskYesNo GridQuestions(TAsker& asker, QWidget* parent) {
  return [&asker, owner = QPointer<QWidget>(parent)](const QString& question) {
    return asker.AskYesNo(owner, question, false);
  };
}

TTellUser GridMessages(TAsker& asker, QWidget* parent) {
  return [&asker, owner = QPointer<QWidget>(parent)](const QString& message) { asker.Inform(owner, message); };
}

}  // namespace ombrel
