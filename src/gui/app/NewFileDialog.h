#pragma once

#include <QDialog>

#include "gui/common/Asker.h"

class QRadioButton;

namespace ombrel {

// "Create a new file": asked by File New while documents are open.
class Newanal : public QDialog {
  Q_OBJECT

 public:
  explicit Newanal(QWidget* parent = nullptr);

  TNewFileChoice Choice() const;

 private:
  QRadioButton* CloseRadio;
  QRadioButton* AnotherRadio;
  QRadioButton* DuplicateRadio;
};

}  // namespace ombrel
