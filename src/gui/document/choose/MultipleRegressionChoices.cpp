#include "gui/document/choose/MultipleRegressionChoices.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/analysis/ChooseTest.h"
#include "core/document/Document.h"
#include "gui/document/PageSupport.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TMultipleRegressionChoices::TMultipleRegressionChoices(TChooseTestPage& host) : TChoicesPanel(host) {
  auto* layout = new QVBoxLayout(this);
  QVBoxLayout* which = nullptr;
  layout->addWidget(Group(QStringLiteral("1. Which analysis?"), which));
  MultipleRegressionRadio = Radio(QStringLiteral("&Multiple Regression"));
  CorrelationMatrixRadio = Radio(QStringLiteral("&Correlation matrix (compute r for every pair of variables)"));
  which->addWidget(MultipleRegressionRadio);
  which->addWidget(CorrelationMatrixRadio);
  Exclusive({MultipleRegressionRadio, CorrelationMatrixRadio});
  connect(MultipleRegressionRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultipleRegression = 1;
    UpdateMultipleRegressionChoices(Document().Table, Document().Choices);
    Changed();
  });
  connect(CorrelationMatrixRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultipleRegression = 0;
    Changed();
  });

  QVBoxLayout* variables = nullptr;
  layout->addWidget(Group(QStringLiteral("2. Select variables"), variables));
  variables->addWidget(new QLabel(QStringLiteral("Which variable is the outcome (dependent variable or Y)?")));
  DependentList = new QListWidget;
  variables->addWidget(DependentList);
  connect(DependentList, &QListWidget::currentRowChanged, this, [this](int row) {
    if (Showing() || row < 0) return;
    Document().Choices.DependentColumn = DependentList->item(row)->data(Qt::UserRole).toInt();
    UpdateMultipleRegressionChoices(Document().Table, Document().Choices);
    Changed();
  });
  IndependentLabel = new QLabel;
  IndependentLabel->setWordWrap(true);
  variables->addWidget(IndependentLabel);
  IndependentList = new QListWidget;
  variables->addWidget(IndependentList);
  connect(IndependentList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    if (Showing()) return;
    const auto column = static_cast<std::size_t>(item->data(Qt::UserRole).toInt());
    Document().Choices.IndependentSelected[column] = item->checkState() == Qt::Checked ? 1 : 0;
    Stored();
  });
  auto* buttons = new QHBoxLayout;
  SelectAllXButton = new QPushButton(QStringLiteral("Select &All"));
  DeselectAllXButton = new QPushButton(QStringLiteral("Deselect All"));
  buttons->addWidget(SelectAllXButton);
  buttons->addWidget(DeselectAllXButton);
  buttons->addStretch(1);
  variables->addLayout(buttons);
  const auto checkAll = [this](bool checked) {
    TTestChoices& choices = Document().Choices;
    for (const TColumnEntry& entry : IndependentEntries(Document().Table, choices))
      choices.IndependentSelected[static_cast<std::size_t>(entry.Column)] = checked ? 1 : 0;
    Changed();
  };
  connect(SelectAllXButton, &QPushButton::clicked, this, [checkAll] { checkAll(true); });
  connect(DeselectAllXButton, &QPushButton::clicked, this, [checkAll] { checkAll(false); });
}

void TMultipleRegressionChoices::ShowChoices() {
  const TDocument& document = Document();
  const TTestChoices& choices = document.Choices;
  SetChecked(choices.MultipleRegression != 0 ? MultipleRegressionRadio : CorrelationMatrixRadio, true);
  DependentList->clear();
  for (const TColumnEntry& entry : RawColumnEntries(document.Table)) {
    auto* item = new QListWidgetItem(FromCore(entry.Text), DependentList);
    item->setData(Qt::UserRole, entry.Column);
    if (entry.Column == choices.DependentColumn) DependentList->setCurrentItem(item);
  }
  DependentList->setEnabled(DependentListEnabled(document.Table, choices));
  IndependentLabel->setText(FromCore(IndependentListLabel(choices)));
  IndependentList->clear();
  for (const TColumnEntry& entry : IndependentEntries(document.Table, choices)) {
    auto* item = new QListWidgetItem(FromCore(entry.Text), IndependentList);
    item->setData(Qt::UserRole, entry.Column);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(choices.IndependentSelected[static_cast<std::size_t>(entry.Column)] != 0 ? Qt::Checked
                                                                                                 : Qt::Unchecked);
  }
  const bool independent = IndependentListEnabled(document.Table, choices);
  IndependentList->setEnabled(independent);
  SelectAllXButton->setEnabled(independent);
  DeselectAllXButton->setEnabled(independent);
}

}  // namespace ombrel
