#include <QApplication>

#include "app/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ombrel");
  QApplication::setOrganizationName("Quillvex");
  ombrel::Obmain window;
  window.showMaximized();
  return QApplication::exec();
}
