#include "gui/document/choose/MultiColumnChoices.h"

#include <string_view>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/analysis/ChooseTest.h"
#include "core/document/Document.h"
#include "gui/common/Asker.h"
#include "gui/document/Analyze.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "core/shell/ShellRules.h"
#include "gui/entry/SelectForms.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TMultiColumnChoices::TMultiColumnChoices(TChooseTestPage& host) : TChoicesPanel(host) {
  auto* layout = new QVBoxLayout(this);
  CreateColumnsQuestion(*layout);
  CreatePairingQuestion(*layout);
  CreateGaussianQuestion(*layout);
  CreatePostTestQuestion(*layout);
  auto* result = new QHBoxLayout;
  result->addWidget(new QLabel(QStringLiteral("Based on your answers above, Ombrel will perform this test:  ")));
  MultiColumnTestLabel = new QLabel;
  result->addWidget(MultiColumnTestLabel);
  result->addStretch(1);
  layout->addLayout(result);
  layout->addStretch(1);
}

void TMultiColumnChoices::CreateColumnsQuestion(QVBoxLayout& layout) {
  QVBoxLayout* columns = nullptr;
  layout.addWidget(Group(QStringLiteral("1. Select columns"), columns));
  auto* columnRow = new QHBoxLayout;
  AllColumnsRadio = Radio(QStringLiteral("All columns"));
  SelectedColumnsRadio = Radio(QStringLiteral("Selected columns"));
  SelectColumnsButton = new QPushButton(QStringLiteral("Select"));
  MultiColumnSelectedLabel = new QLabel;
  columnRow->addWidget(AllColumnsRadio);
  columnRow->addWidget(SelectedColumnsRadio);
  columnRow->addWidget(SelectColumnsButton);
  columnRow->addStretch(1);
  columns->addLayout(columnRow);
  columns->addWidget(MultiColumnSelectedLabel);
  Exclusive({AllColumnsRadio, SelectedColumnsRadio});
  connect(AllColumnsRadio, &QRadioButton::clicked, this, [this] {
    TDocument& document = Document();
    document.Choices.AllColumns = 1;
    for (int c = 0; c < MaxColumns; ++c)
      if (ColumnHoldsData(document.Table, c)) document.Table.ColumnSelected[static_cast<std::size_t>(c)] = 1;
    Host().ColumnsChanged();
  });
  connect(SelectedColumnsRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.AllColumns = 0;
    Changed();
  });
  connect(SelectColumnsButton, &QPushButton::clicked, this, [this] { Host().OpenSelectColumns(); });
}

void TMultiColumnChoices::CreatePairingQuestion(QVBoxLayout& layout) {
  QVBoxLayout* pairing = nullptr;
  layout.addWidget(Group(QStringLiteral("2. Are the values in each row matched (paired)?"), pairing));
  OrdinaryAnovaRadio = Radio(QStringLiteral("No. Perform ordinary ANOVA."));
  RepeatedMeasuresRadio = Radio(QStringLiteral("Yes. Perform repeated measures ANOVA. "));
  pairing->addWidget(OrdinaryAnovaRadio);
  pairing->addWidget(RepeatedMeasuresRadio);
  Exclusive({OrdinaryAnovaRadio, RepeatedMeasuresRadio});
  connect(OrdinaryAnovaRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OrdinaryAnova = 1;
    Changed();
  });
  connect(RepeatedMeasuresRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OrdinaryAnova = 0;
    Changed();
  });
}

void TMultiColumnChoices::CreateGaussianQuestion(QVBoxLayout& layout) {
  QVBoxLayout* gaussian = nullptr;
  layout.addWidget(Group(QStringLiteral("3. Assume values are sampled from Gaussian distributions?"), gaussian));
  ParametricRadio = Radio(QStringLiteral("Yes. Use standard (parametric) methods."));
  MultiNonparametricRadio = Radio(QStringLiteral("No. Use nonparametric methods."));
  gaussian->addWidget(ParametricRadio);
  gaussian->addWidget(MultiNonparametricRadio);
  Exclusive({ParametricRadio, MultiNonparametricRadio});
  connect(ParametricRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultiColumnNonparametric = 0;
    Changed();
  });
  connect(MultiNonparametricRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultiColumnNonparametric = 1;
    Changed();
  });
}

void TMultiColumnChoices::CreatePostTestQuestion(QVBoxLayout& layout) {
  QVBoxLayout* post = nullptr;
  layout.addWidget(Group(QStringLiteral("4. Choose a multiple comparison post test"), post));
  PostTestComboBox = new QComboBox;
  PostTestComboBox->setObjectName(QStringLiteral("PostTestComboBox"));
  post->addWidget(PostTestComboBox);
  connect(PostTestComboBox, &QComboBox::activated, this, &TMultiColumnChoices::PostTestRowChosen);
  OnlyIfSignificantCheckBox = new QCheckBox(QStringLiteral("Only perform post test if P<0.05."));
  post->addWidget(OnlyIfSignificantCheckBox);
  connect(OnlyIfSignificantCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
    ChoosePostTestOnlyIfSignificant(Document().Choices, checked, PostTestComboBox->currentIndex());
    Changed();
  });
  auto* postRow = new QHBoxLayout;
  SelectPairsButton = new QPushButton(QStringLiteral("Select pairs..."));
  ControlColumnLabel = new QLabel(QStringLiteral("Control column:"));
  ControlColumnComboBox = new QComboBox;
  postRow->addWidget(SelectPairsButton);
  postRow->addWidget(ControlColumnLabel);
  postRow->addWidget(ControlColumnComboBox);
  postRow->addStretch(1);
  post->addLayout(postRow);
  connect(SelectPairsButton, &QPushButton::clicked, this, &TMultiColumnChoices::OpenSelectPairs);
  connect(ControlColumnComboBox, &QComboBox::activated, this, [this](int index) {
    const QVariant column = ControlColumnComboBox->itemData(index);
    if (!column.isValid()) return;
    Document().Choices.ControlColumn = column.toInt();
    Changed();
  });
}

void TMultiColumnChoices::ShowChoices() {
  const TDocument& document = Document();
  const TTestChoices& choices = document.Choices;
  const TChoiceAvailability availability = ChoiceAvailability(document.Table, document.Format);
  SetChecked(choices.AllColumns != 0 ? AllColumnsRadio : SelectedColumnsRadio, true);
  SelectColumnsButton->setEnabled(CountColumnsWithData(document.Table) > 0);
  MultiColumnSelectedLabel->setText(Caption(SelectedColumnsCaption(document.Table)));
  OrdinaryAnovaRadio->setEnabled(availability.MultiColumnPairing);
  RepeatedMeasuresRadio->setEnabled(availability.MultiColumnPairing);
  SetChecked(choices.OrdinaryAnova != 0 ? OrdinaryAnovaRadio : RepeatedMeasuresRadio, true);
  ParametricRadio->setEnabled(availability.MultiColumnNonparametric);
  MultiNonparametricRadio->setEnabled(availability.MultiColumnNonparametric);
  const bool nonparametric = choices.MultiColumnNonparametric != 0;
  SetChecked(nonparametric ? MultiNonparametricRadio : ParametricRadio, true);

  const QSignalBlocker blocker(PostTestComboBox);
  PostTestComboBox->clear();
  for (const std::string_view caption : PostTestRowCaptions(nonparametric))
    PostTestComboBox->addItem(FromCore(caption));
  const int row = PostTestRowFromChoices(choices);
  PostTestComboBox->setCurrentIndex(row);
  SetChecked(OnlyIfSignificantCheckBox, PostTestOnlyIfSignificantChecked(choices));
  SelectPairsButton->setVisible(SelectPairsVisible(row));
  SelectPairsButton->setEnabled(SelectPairsEnabled(document.Table));
  const bool control = ControlColumnVisible(row, nonparametric);
  ControlColumnLabel->setVisible(control);
  ControlColumnComboBox->setVisible(control);
  const QSignalBlocker controlBlocker(ControlColumnComboBox);
  ControlColumnComboBox->clear();
  for (const TColumnEntry& entry : ControlColumnEntries(document.Table)) {
    ControlColumnComboBox->addItem(FromCore(entry.Text), entry.Column);
    if (entry.Column == choices.ControlColumn)
      ControlColumnComboBox->setCurrentIndex(ControlColumnComboBox->count() - 1);
  }
  MultiColumnTestLabel->setText(FromCore(MultiColumnTestName(choices, row)));
}

void TMultiColumnChoices::PostTestRowChosen(int row) {
  TTestChoices& choices = Document().Choices;
  ChoosePostTestRow(choices, row, OnlyIfSignificantCheckBox->isChecked());
  Changed();
}

void TMultiColumnChoices::OpenSelectPairs() {
  TDocument& document = Document();
  TSelectColPairsForm dialog(document.Table, document.Choices.PairSelected, Form().Host().Asker(), this);
  if (ExecPageDialog(Host(), dialog, HelpTopicSelectPairs) != QDialog::Accepted) return;
  Changed();
}

}  // namespace ombrel
