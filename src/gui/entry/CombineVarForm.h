#pragma once

#include <QDialog>

#include "core/base/DataTable.h"
#include "core/entry/CombineVariables.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace ombrel {

// "Combine Variables": two raw-data columns and an operator for the target
// column named in the prompt. Each list item keeps its column number, so an
// untitled column ("Column B") is taken as B. Double-clicking an operator
// means OK.
class TCombineVarForm : public QDialog {
  Q_OBJECT

 public:
  TCombineVarForm(const TDataTable& table, int targetColumn, QWidget* parent = nullptr);

  int FirstColumn() const;
  int SecondColumn() const;
  TCombineOperator Operator() const;

  QLabel* Prompt;
  QComboBox* FirstColumnComboBox;
  QComboBox* SecondColumnComboBox;
  QRadioButton* PlusRadioButton;
  QRadioButton* MinusRadioButton;
  QRadioButton* MultiplyRadioButton;
  QRadioButton* DivideRadioButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ombrel
