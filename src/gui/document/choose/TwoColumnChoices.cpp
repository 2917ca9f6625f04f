#include "gui/document/choose/TwoColumnChoices.h"

#include <array>
#include <utility>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/analysis/ChooseTest.h"
#include "core/document/Document.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/PageSupport.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TTwoColumnChoices::TTwoColumnChoices(TChooseTestPage& host) : TChoicesPanel(host) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  TwoColumnSelectedLabel = new QLabel;
  top->addWidget(TwoColumnSelectedLabel);
  top->addStretch(1);
  SelectOtherColumnsButton = new QPushButton(QStringLiteral("Select other columns"));
  top->addWidget(SelectOtherColumnsButton);
  layout->addLayout(top);
  connect(SelectOtherColumnsButton, &QPushButton::clicked, this, [this] { Host().OpenSelectColumns(); });

  QVBoxLayout* pairing = nullptr;
  layout->addWidget(Group(QStringLiteral("1. Is each value paired (matched) with the value next to it?"), pairing));
  UnpairedRadio = Radio(QStringLiteral("No. Perform unpaired test."));
  PairedRadio = Radio(QStringLiteral("Yes. Perform paired test."));
  pairing->addWidget(UnpairedRadio);
  pairing->addWidget(PairedRadio);
  Exclusive({UnpairedRadio, PairedRadio});
  connect(UnpairedRadio, &QRadioButton::clicked, this, [this] {
    ChooseTwoColumnUnpaired(Document().Choices, true);
    Changed();
  });
  connect(PairedRadio, &QRadioButton::clicked, this, [this] {
    ChooseTwoColumnUnpaired(Document().Choices, false);
    Changed();
  });

  QVBoxLayout* gaussian = nullptr;
  layout->addWidget(Group(QStringLiteral("2. Assume values are sampled from Gaussian distributions?"), gaussian));
  NonparametricRadio = Radio(QStringLiteral("No. Perform nonparametric test."));
  EqualSDsRadio = Radio(QStringLiteral("Yes. Also assume the populations have equal SDs. "));
  UnequalSDsRadio = Radio(QStringLiteral("Yes, but assume the populations may have different SDs. "));
  gaussian->addWidget(NonparametricRadio);
  gaussian->addWidget(EqualSDsRadio);
  gaussian->addWidget(UnequalSDsRadio);
  Exclusive({NonparametricRadio, EqualSDsRadio, UnequalSDsRadio});
  const std::array<std::pair<QRadioButton*, TGaussianAnswer>, 3> answers = {
      std::pair{NonparametricRadio, TGaussianAnswer::Nonparametric},
      std::pair{EqualSDsRadio, TGaussianAnswer::EqualSDs}, std::pair{UnequalSDsRadio, TGaussianAnswer::UnequalSDs}};
  for (const auto& [radio, answer] : answers)
    connect(radio, &QRadioButton::clicked, this, [this, answer = answer] {
      ChooseGaussianAnswer(Document().Choices, answer);
      Changed();
    });

  QVBoxLayout* tails = nullptr;
  layout->addWidget(Group(QStringLiteral("3. One- vs two-tail P value"), tails));
  TwoColumnOneTailRadio = Radio(QStringLiteral("One-tail P value."));
  TwoColumnTwoTailRadio = Radio(QStringLiteral("Two-tail P value. Recommended."));
  tails->addWidget(TwoColumnOneTailRadio);
  tails->addWidget(TwoColumnTwoTailRadio);
  Exclusive({TwoColumnOneTailRadio, TwoColumnTwoTailRadio});
  connect(TwoColumnOneTailRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.TwoColumnTwoTailed = 0;
    Changed();
  });
  connect(TwoColumnTwoTailRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.TwoColumnTwoTailed = 1;
    Changed();
  });

  auto* result = new QHBoxLayout;
  result->addWidget(new QLabel(QStringLiteral("Based on your answers above, Ombrel will perform this test:  ")));
  TwoColumnTestLabel = new QLabel;
  result->addWidget(TwoColumnTestLabel);
  result->addStretch(1);
  layout->addLayout(result);
  layout->addStretch(1);
}

void TTwoColumnChoices::ShowChoices() {
  const TDocument& document = Document();
  const TTestChoices& choices = document.Choices;
  const TChoiceAvailability availability = ChoiceAvailability(document.Table, document.Format);
  TwoColumnSelectedLabel->setText(Caption(SelectedColumnsCaption(document.Table)));
  UnpairedRadio->setEnabled(availability.TwoColumnPairing);
  PairedRadio->setEnabled(availability.TwoColumnPairing);
  SetChecked(choices.TwoColumnUnpaired != 0 ? UnpairedRadio : PairedRadio, true);
  NonparametricRadio->setEnabled(availability.TwoColumnNonparametric);
  UnequalSDsRadio->setEnabled(WelchAnswerEnabled(choices));
  switch (GaussianAnswer(choices)) {
    case TGaussianAnswer::Nonparametric:
      SetChecked(NonparametricRadio, true);
      break;
    case TGaussianAnswer::EqualSDs:
      SetChecked(EqualSDsRadio, true);
      break;
    case TGaussianAnswer::UnequalSDs:
      SetChecked(UnequalSDsRadio, true);
      break;
  }
  SetChecked(choices.TwoColumnTwoTailed != 0 ? TwoColumnTwoTailRadio : TwoColumnOneTailRadio, true);
  TwoColumnTestLabel->setText(FromCore(TwoColumnTestName(choices)));
  SelectOtherColumnsButton->setEnabled(CountColumnsWithData(document.Table) > 0);
}

}  // namespace ombrel
