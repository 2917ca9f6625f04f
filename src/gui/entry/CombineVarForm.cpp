#include "gui/entry/CombineVarForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

QComboBox* ColumnList(const TDataTable& table) {
  auto* list = new QComboBox;
  for (const int column : CombineSourceColumns(table))
    list->addItem(FromCore(CombineColumnItem(table, column)), column);
  list->setCurrentIndex(0);
  return list;
}

int ColumnOf(const QComboBox& list) { return list.currentIndex() < 0 ? -1 : list.currentData().toInt(); }

}  // namespace

TCombineVarForm::TCombineVarForm(const TDataTable& table, int targetColumn, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Combine Variables"));
  auto* layout = new QVBoxLayout(this);
  Prompt = new QLabel(FromCore(CombinePrompt(targetColumn)));
  Prompt->setObjectName(QStringLiteral("Prompt"));
  layout->addWidget(Prompt);

  auto* row = new QHBoxLayout;
  FirstColumnComboBox = ColumnList(table);
  FirstColumnComboBox->setObjectName(QStringLiteral("FirstColumnComboBox"));
  SecondColumnComboBox = ColumnList(table);
  SecondColumnComboBox->setObjectName(QStringLiteral("SecondColumnComboBox"));

  auto* operators = new QGroupBox;
  auto* operatorLayout = new QVBoxLayout(operators);
  PlusRadioButton = new QRadioButton(QStringLiteral("&Plus"));
  MinusRadioButton = new QRadioButton(QStringLiteral("&Minus"));
  MultiplyRadioButton = new QRadioButton(QStringLiteral("Times"));
  DivideRadioButton = new QRadioButton(QStringLiteral("&Divided by"));
  for (QRadioButton* button : {PlusRadioButton, MinusRadioButton, MultiplyRadioButton, DivideRadioButton}) {
    operatorLayout->addWidget(button);
    button->installEventFilter(this);
  }
  MinusRadioButton->setChecked(true);

  row->addWidget(FirstColumnComboBox, 0, Qt::AlignTop);
  row->addWidget(operators);
  row->addWidget(SecondColumnComboBox, 0, Qt::AlignTop);
  layout->addLayout(row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

bool TCombineVarForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (auto* button = qobject_cast<QRadioButton*>(watched)) {
      button->setChecked(true);
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

int TCombineVarForm::FirstColumn() const { return ColumnOf(*FirstColumnComboBox); }
int TCombineVarForm::SecondColumn() const { return ColumnOf(*SecondColumnComboBox); }

TCombineOperator TCombineVarForm::Operator() const {
  if (PlusRadioButton->isChecked()) return TCombineOperator::Plus;
  if (MultiplyRadioButton->isChecked()) return TCombineOperator::Times;
  if (DivideRadioButton->isChecked()) return TCombineOperator::DividedBy;
  return TCombineOperator::Minus;
}

}  // namespace ombrel
