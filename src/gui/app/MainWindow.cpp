#include "app/MainWindow.h"

#include <QLabel>

#include "document/Version.h"

namespace ombrel {

Obmain::Obmain(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromUtf8(MainWindowCaption.data(), static_cast<int>(MainWindowCaption.size())));
  auto* empty = new QLabel(tr("No Ombrel documents are open. Pull down the File menu and choose New or Open."), this);
  empty->setAlignment(Qt::AlignCenter);
  setCentralWidget(empty);
  resize(800, 600);
}

}  // namespace ombrel
