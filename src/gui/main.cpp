#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <iostream>
#include <string_view>

#include "core/base/Version.h"

#include "gui/common/Icons.h"
#include "gui/app/MainWindow.h"
#include "gui/app/Profile.h"
#include "gui/app/Recovery.h"
#include "gui/app/SingleInstance.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so it needs no display; the same line as ombrel-cli --version.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::cout << ombrel::ProgramName << ' ' << ombrel::ProgramVersion << '\n';
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ombrel");
  QApplication::setOrganizationName("Quillvex");
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("ombrel"), ombrel::OmbrelIcon()));

  const QStringList arguments = QApplication::arguments().mid(1);
  const QString file = arguments.value(0);

  // A second start hands its file to the running instance and ends.
  ombrel::TSingleInstance instance(ombrel::TSingleInstance::ServerNameFor(ombrel::TProfile::DefaultFileName()));
  if (instance.HandOver(file)) return 0;
  instance.Listen();

  ombrel::TShellOptions options;
  options.ShowSplash = true;
  options.RecoveryFolder = ombrel::TRecovery::DefaultFolder();
  ombrel::Obmain window(options);
  QObject::connect(&instance, &ombrel::TSingleInstance::ActivateRequested, &window, &ombrel::Obmain::BringToFront);
  QObject::connect(&instance, &ombrel::TSingleInstance::FileReceived, &window, &ombrel::Obmain::OpenHandedOverFile);
  window.show();
  window.Start(file.isEmpty() ? QStringList() : QStringList{file});
  // OMBREL_QUIT_AFTER_MS closes the window as File > Exit does: a check that an installation starts and ends.
  if (const int quitAfter = qEnvironmentVariableIntValue("OMBREL_QUIT_AFTER_MS"); quitAfter > 0)
    QTimer::singleShot(quitAfter, &window, &QWidget::close);
  return QApplication::exec();
}
