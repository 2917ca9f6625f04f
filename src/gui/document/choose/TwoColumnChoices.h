#pragma once

#include "gui/document/choose/ChoicesPanel.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace ombrel {

// Two columns: paired or not, Gaussian or not (and with equal SDs or not),
// and the tails; the test those answers choose is named below them.
class TTwoColumnChoices : public TChoicesPanel {
  Q_OBJECT

 public:
  explicit TTwoColumnChoices(TChooseTestPage& host);

  void ShowChoices() override;

  QLabel* TwoColumnSelectedLabel;
  QRadioButton* UnpairedRadio;
  QRadioButton* PairedRadio;
  QRadioButton* NonparametricRadio;
  QRadioButton* EqualSDsRadio;
  QRadioButton* UnequalSDsRadio;
  QRadioButton* TwoColumnOneTailRadio;
  QRadioButton* TwoColumnTwoTailRadio;
  QLabel* TwoColumnTestLabel;
  QPushButton* SelectOtherColumnsButton;
};

}  // namespace ombrel
