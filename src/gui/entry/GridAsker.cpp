#include "gui/entry/GridAsker.h"

#include <QMessageBox>
#include <QPointer>

#include "core/base/Version.h"
#include "gui/common/Asker.h"

namespace ombrel {

TAskYesNo MessageBoxAsker(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](const QString& question) {
    const QString caption = QString::fromUtf8(ProgramName.data(), static_cast<qsizetype>(ProgramName.size()));
    return QMessageBox::question(owner, caption, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
  };
}

TTellUser MessageBoxTeller(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](const QString& message) {
    const QString caption = QString::fromUtf8(ProgramName.data(), static_cast<qsizetype>(ProgramName.size()));
    QMessageBox::warning(owner, caption, message);
  };
}

TAskYesNo GridQuestions(TAsker& asker, QWidget* parent) {
  return [&asker, owner = QPointer<QWidget>(parent)](const QString& question) {
    return asker.AskYesNo(owner, question, false);
  };
}

}  // namespace ombrel
