#include "gui/entry/IncludeTitlesForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "gui/common/CaptionWidth.h"

namespace ombrel {

TIncludeTitlesForm::TIncludeTitlesForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Copy to clipboard"));
  auto* layout = new QVBoxLayout(this);
  ColumnTitlesCheckBox = new QCheckBox(QStringLiteral("Include &column titles"), this);
  ColumnTitlesCheckBox->setObjectName(QStringLiteral("ColumnTitlesCheckBox"));
  RowTitlesCheckBox = new QCheckBox(QStringLiteral("Include &row titles"), this);
  RowTitlesCheckBox->setObjectName(QStringLiteral("RowTitlesCheckBox"));
  // A whole table is usually copied to be read elsewhere, where the titles
  // say what the numbers are.
  ColumnTitlesCheckBox->setChecked(true);
  RowTitlesCheckBox->setChecked(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(ColumnTitlesCheckBox);
  layout->addWidget(RowTitlesCheckBox);
  layout->addWidget(buttons);
  KeepCaptionWhole(*this);
}

}  // namespace ombrel
