#include "gui/entry/GridAsker.h"

#include <QMessageBox>
#include <QPointer>

#include "core/base/Version.h"

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

}  // namespace ombrel
