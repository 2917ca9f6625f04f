#pragma once

#include <array>

#include "core/base/TestChoices.h"
#include "gui/document/choose/ChoicesPanel.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ombrel {

// One column: the one-sample t test or Wilcoxon's test, the tails and the
// hypothetical mean (or median).
class TOneColumnChoices : public TChoicesPanel {
  Q_OBJECT

 public:
  explicit TOneColumnChoices(TChooseTestPage& host);

  void ShowChoices() override;

  QLabel* OneColumnSelectedLabel;
  QRadioButton* OneSampleTRadio;
  QRadioButton* WilcoxonRadio;
  QRadioButton* OneColumnOneTailRadio;
  QRadioButton* OneColumnTwoTailRadio;
  // Indexed by THypotheticalMeanChoice.
  std::array<QRadioButton*, 4> HypotheticalMeanRadios{};
  QLineEdit* HypotheticalMeanField;
  QPushButton* SelectAnotherColumnButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QRadioButton* RadioOf(THypotheticalMeanChoice choice) const;
  void HypotheticalFieldLeft();
};

}  // namespace ombrel
