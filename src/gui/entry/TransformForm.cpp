#include "gui/entry/TransformForm.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "gui/common/Asker.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TTransformForm::TTransformForm(TAsker& asker, QWidget* parent) : QDialog(parent), mAsker(asker) {
  setWindowTitle(QStringLiteral("Transform"));
  auto* layout = new QVBoxLayout(this);
  auto* hint = new QLabel(
      QStringLiteral("Ombrel will transform the selected cells. If nothing is selected, then Ombrel will transform "
                     "just the current cell. "));
  hint->setWordWrap(true);
  layout->addWidget(hint);

  layout->addWidget(new QLabel(QStringLiteral("Pick a transform:")));
  TransformComboBox = new QListWidget;
  TransformComboBox->setAccessibleName(QStringLiteral("Transform"));
  TransformComboBox->setObjectName(QStringLiteral("TransformComboBox"));
  for (int code = 1; code <= TransformCount; ++code)
    TransformComboBox->addItem(FromCore(TransformCaption(TransformFromCode(code))));
  layout->addWidget(TransformComboBox, 1);

  auto* kRow = new QHBoxLayout;
  KLabel = new QLabel(QStringLiteral("K = "));
  KField = new QLineEdit(FromCore(KFieldText(1)));
  KField->setObjectName(QStringLiteral("KField"));
  KField->setMaxLength(KFieldLength);
  KField->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,.eE+-]*")), KField));
  KLabel->setBuddy(KField);
  kRow->addWidget(KLabel);
  kRow->addWidget(KField);
  kRow->addStretch(1);
  layout->addLayout(kRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(TransformComboBox, &QListWidget::currentRowChanged, this, &TTransformForm::TransformChosen);
  connect(TransformComboBox, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  TransformComboBox->setCurrentRow(0);
}

void TTransformForm::TransformChosen(int row) {
  if (row < 0) return;
  const TKFieldRule rule = KFieldRule(TransformFromCode(row + 1));
  KField->setEnabled(rule.Enabled);
  KLabel->setEnabled(rule.Enabled);
  if (rule.Enabled) KField->setText(FromCore(KFieldText(rule.Preset)));
}

TTransform TTransformForm::SelectedTransform() const { return TransformFromCode(TransformComboBox->currentRow() + 1); }

TReal TTransformForm::K() const { return ParseKFieldText(KField->text().toStdString()); }

void TTransformForm::accept() {
  if (TransformComboBox->currentRow() < 0) return;
  if (KField->isEnabled() && IsEmpty(K())) {
    mAsker.Inform(this, QStringLiteral("K must be a number."));
    KField->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace ombrel
