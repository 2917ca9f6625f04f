#pragma once

#include <QDialog>

class QCheckBox;

namespace ombrel {

// "Copy to clipboard": whether copying the whole table writes the column
// titles as a first line and the row titles as a first field.
class TIncludeTitlesForm : public QDialog {
  Q_OBJECT

 public:
  explicit TIncludeTitlesForm(QWidget* parent = nullptr);

  QCheckBox* ColumnTitlesCheckBox;
  QCheckBox* RowTitlesCheckBox;
};

}  // namespace ombrel
