#pragma once

#include <QDialog>

namespace ombrel {

// The about box: the program's name and version line. As a splash window it
// has no frame and no button and is shown while the program starts.
class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr, bool splash = false);
};

}  // namespace ombrel
