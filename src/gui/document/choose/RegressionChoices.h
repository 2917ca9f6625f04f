#pragma once

#include "gui/document/choose/ChoicesPanel.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ombrel {

// XY data: regression (free or forced through a point) or correlation, the
// runs test, and reading unknowns from the standard curve.
class TRegressionChoices : public TChoicesPanel {
  Q_OBJECT

 public:
  explicit TRegressionChoices(TChooseTestPage& host);

  void ShowChoices() override;

  QRadioButton* LinearRegressionRadio;
  QRadioButton* ForceThroughRadio;
  QLineEdit* ForceXField;
  QLineEdit* ForceYField;
  QRadioButton* PearsonRadio;
  QRadioButton* SpearmanRadio;
  QRadioButton* RunsTestYesRadio;
  QRadioButton* RunsTestNoRadio;
  QCheckBox* InterpolateCheckBox;
  QPushButton* UnknownsHelpButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadForceFields();
};

}  // namespace ombrel
