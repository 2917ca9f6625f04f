#include "gui/document/choose/TwoByTwoChoices.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/analysis/ChooseTest.h"
#include "core/document/Document.h"

namespace ombrel {

TTwoByTwoChoices::TTwoByTwoChoices(TChooseTestPage& host) : TChoicesPanel(host) {
  auto* layout = new QVBoxLayout(this);
  const auto pair = [this, layout](const QString& title, QRadioButton*& first, const QString& firstCaption,
                                   QRadioButton*& second, const QString& secondCaption) {
    QVBoxLayout* box = nullptr;
    layout->addWidget(Group(title, box));
    first = Radio(firstCaption);
    second = Radio(secondCaption);
    box->addWidget(first);
    box->addWidget(second);
    Exclusive({first, second});
  };
  pair(QStringLiteral("1. Select a test"), FisherRadio, QStringLiteral("&Fisher's exact test (recommended)"),
       ChiSquareRadio, QStringLiteral("&Chi-square test (less exact, but more widely known)"));
  pair(QStringLiteral("2. Use Yates' continuity correction?"), YatesYesRadio, QStringLiteral("Yes (recommended)"),
       YatesNoRadio, QStringLiteral("No"));
  pair(QStringLiteral("3. P value"), OneSidedRadio, QStringLiteral("One-sided."), TwoSidedRadio,
       QStringLiteral("Two-sided (recommended)."));
  const auto set = [this](QRadioButton* radio, auto store) {
    connect(radio, &QRadioButton::clicked, this, [this, store] {
      store(Document().Choices);
      Changed();
    });
  };
  set(FisherRadio, [](TTestChoices& c) { c.UseChiSquare = TTwoByTwoTest::Fisher; });
  set(ChiSquareRadio, [](TTestChoices& c) { c.UseChiSquare = TTwoByTwoTest::ChiSquare; });
  set(YatesYesRadio, [](TTestChoices& c) { c.Yates = 1; });
  set(YatesNoRadio, [](TTestChoices& c) { c.Yates = 0; });
  set(OneSidedRadio, [](TTestChoices& c) { c.TwoByTwoTwoSided = 0; });
  set(TwoSidedRadio, [](TTestChoices& c) { c.TwoByTwoTwoSided = 1; });

  QVBoxLayout* also = nullptr;
  layout->addWidget(Group(QStringLiteral("4. Also calculate"), also));
  OddsRatioRadio = Radio(QStringLiteral("Odds ratio  (to analyze retrospective case-control studies)."));
  RelativeRiskRadio = Radio(
      QStringLiteral("Relative risk, P1-P2, etc. (to analyze prospective, experimental and cross-sectional studies)"));
  SensitivityRadio =
      Radio(QStringLiteral("Sensitivity, specificity, predictive powers, etc . (to evaluate diagnostic tests)."));
  also->addWidget(OddsRatioRadio);
  also->addWidget(RelativeRiskRadio);
  also->addWidget(SensitivityRadio);
  Exclusive({OddsRatioRadio, RelativeRiskRadio, SensitivityRadio});
  set(OddsRatioRadio, [](TTestChoices& c) { ChooseAlsoCalculate(c, TAlsoCalculate::OddsRatio); });
  set(RelativeRiskRadio, [](TTestChoices& c) { ChooseAlsoCalculate(c, TAlsoCalculate::RelativeRisk); });
  set(SensitivityRadio, [](TTestChoices& c) { ChooseAlsoCalculate(c, TAlsoCalculate::Sensitivity); });
  layout->addStretch(1);
}

void TTwoByTwoChoices::ShowChoices() {
  const TTestChoices& choices = Document().Choices;
  SetChecked(choices.UseChiSquare != TTwoByTwoTest::Fisher ? ChiSquareRadio : FisherRadio, true);
  const bool yates = YatesEnabled(choices);
  YatesYesRadio->setEnabled(yates);
  YatesNoRadio->setEnabled(yates);
  SetChecked(choices.Yates != 0 ? YatesYesRadio : YatesNoRadio, true);
  SetChecked(choices.TwoByTwoTwoSided != 0 ? TwoSidedRadio : OneSidedRadio, true);
  switch (AlsoCalculateFromChoices(choices)) {
    case TAlsoCalculate::OddsRatio:
      SetChecked(OddsRatioRadio, true);
      break;
    case TAlsoCalculate::RelativeRisk:
      SetChecked(RelativeRiskRadio, true);
      break;
    case TAlsoCalculate::Sensitivity:
      SetChecked(SensitivityRadio, true);
      break;
  }
}

}  // namespace ombrel
