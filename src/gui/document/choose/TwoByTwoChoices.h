#pragma once

#include "gui/document/choose/ChoicesPanel.h"

class QRadioButton;

namespace ombrel {

// The two-by-two table: Fisher's test or chi-square (with or without
// Yates' correction), the sides of P, and what else to calculate.
class TTwoByTwoChoices : public TChoicesPanel {
  Q_OBJECT

 public:
  explicit TTwoByTwoChoices(TChooseTestPage& host);

  void ShowChoices() override;

  QRadioButton* FisherRadio;
  QRadioButton* ChiSquareRadio;
  QRadioButton* YatesYesRadio;
  QRadioButton* YatesNoRadio;
  QRadioButton* OneSidedRadio;
  QRadioButton* TwoSidedRadio;
  QRadioButton* OddsRatioRadio;
  QRadioButton* RelativeRiskRadio;
  QRadioButton* SensitivityRadio;
};

}  // namespace ombrel
