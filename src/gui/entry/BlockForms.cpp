#include "gui/entry/BlockForms.h"
#include "gui/common/CoreText.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ombrel {

namespace {

void AddButtons(QDialog& dialog, QVBoxLayout& layout) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout.addWidget(buttons);
  // Fixed size: the dialogs have nothing that could use more room.
  layout.setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace

TBlockShiftForm::TBlockShiftForm(const TCaptions& captions, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(captions.Title));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QString::fromLatin1(captions.Group));
  auto* groupLayout = new QVBoxLayout(group);
  for (std::size_t i = 0; i < mChoices.size(); ++i) {
    mChoices[i] = new QRadioButton(QString::fromLatin1(captions.Choices[i]), group);
    mChoices[i]->installEventFilter(this);
    groupLayout->addWidget(mChoices[i]);
  }
  mChoices[0]->setChecked(true);
  layout->addWidget(group);
  if (captions.Hint != nullptr) {
    auto* hint = new QLabel(QString::fromLatin1(captions.Hint));
    hint->setWordWrap(true);
    hint->setFixedWidth(320);
    layout->addWidget(hint);
  }
  AddButtons(*this, *layout);
}

TBlockShift TBlockShiftForm::Choice() const {
  if (mChoices[1]->isChecked()) return TBlockShift::Rows;
  if (mChoices[2]->isChecked()) return TBlockShift::Columns;
  return TBlockShift::Cells;
}

bool TBlockShiftForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (QRadioButton* choice : mChoices) {
      if (watched != choice) continue;
      choice->setChecked(true);
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

TDeleteForm::TDeleteForm(QWidget* parent)
    : TBlockShiftForm(TCaptions{"Delete",
                                "Delete",
                                {"&Shift cells up", "Delete entire &rows", "Delete entire &columns"},
                                "This command deletes the selected block of data and fills in the gap. If you want "
                                "to delete selected values without moving others, cancel from this dialog and then "
                                "press the DEL key."},
                      parent) {
  DeleteAndShiftRadioButton = mChoices[0];
  DeleteEntireRowRadioButton = mChoices[1];
  DeleteEntireColRadioButton = mChoices[2];
  DeleteAndShiftRadioButton->setObjectName(QStringLiteral("DeleteAndShiftRadioButton"));
  DeleteEntireRowRadioButton->setObjectName(QStringLiteral("DeleteEntireRowRadioButton"));
  DeleteEntireColRadioButton->setObjectName(QStringLiteral("DeleteEntireColRadioButton"));
}

TInsertForm::TInsertForm(QWidget* parent)
    : TBlockShiftForm(
          TCaptions{
              "Insert ", "Insert", {"&Shift cells down", "Insert entire &rows", "Insert entire &columns"}, nullptr},
          parent) {
  InsertAndShiftRadioButton = mChoices[0];
  InsertEntireRowRadioButton = mChoices[1];
  InsertEntireColRadioButton = mChoices[2];
  InsertAndShiftRadioButton->setObjectName(QStringLiteral("InsertAndShiftRadioButton"));
  InsertEntireRowRadioButton->setObjectName(QStringLiteral("InsertEntireRowRadioButton"));
  InsertEntireColRadioButton->setObjectName(QStringLiteral("InsertEntireColRadioButton"));
}

TNumberFormatForm::TNumberFormatForm(const TDataTable& table, const TNumberFormatScope& scope, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Number Format"));
  auto* layout = new QVBoxLayout(this);
  SelectColumnsLabel = new QLabel(FromCore(scope.Label));
  SelectColumnsLabel->setObjectName(QStringLiteral("SelectColumnsLabel"));
  layout->addWidget(SelectColumnsLabel);

  auto* fixedRow = new QHBoxLayout;
  FixedRadioButton = new QRadioButton(QStringLiteral("Show values with "));
  FixedRadioButton->setObjectName(QStringLiteral("FixedRadioButton"));
  NumDecField = new QSpinBox;
  NumDecField->setObjectName(QStringLiteral("NumDecField"));
  NumDecField->setAccessibleName(QStringLiteral("Digits after the decimal point"));
  NumDecField->setRange(0, 99);
  NumDecField->setSingleStep(1);
  fixedRow->addWidget(FixedRadioButton);
  fixedRow->addWidget(NumDecField);
  fixedRow->addWidget(new QLabel(QStringLiteral("digits after the decimal point.")));
  fixedRow->addStretch(1);
  layout->addLayout(fixedRow);
  AutoRadioButton = new QRadioButton(QStringLiteral("Choose the number of decimal points automatically."));
  AutoRadioButton->setObjectName(QStringLiteral("AutoRadioButton"));
  layout->addWidget(AutoRadioButton);

  const std::int32_t common = CommonUserDecimals(table, scope.FirstColumn, scope.LastColumn);
  NumDecField->setValue(common >= 0 ? common : 2);
  (common >= 0 ? FixedRadioButton : AutoRadioButton)->setChecked(true);
  connect(NumDecField, &QSpinBox::valueChanged, this, [this] { FixedRadioButton->setChecked(true); });
  AddButtons(*this, *layout);
}

std::int32_t TNumberFormatForm::Places() const {
  return FixedRadioButton->isChecked() ? static_cast<std::int32_t>(NumDecField->value()) : -1;
}

}  // namespace ombrel
