#pragma once

#include <QMainWindow>

namespace ombrel {

// The application's main window; for now the frame alone.
class Obmain : public QMainWindow {
  Q_OBJECT

 public:
  explicit Obmain(QWidget* parent = nullptr);
};

}  // namespace ombrel
