#pragma once

#include "gui/document/choose/ChoicesPanel.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace ombrel {

// Multiple regression data: the regression or the correlation matrix, the
// outcome variable and the variables of the model.
class TMultipleRegressionChoices : public TChoicesPanel {
  Q_OBJECT

 public:
  explicit TMultipleRegressionChoices(TChooseTestPage& host);

  void ShowChoices() override;

  QRadioButton* MultipleRegressionRadio;
  QRadioButton* CorrelationMatrixRadio;
  QListWidget* DependentList;
  QLabel* IndependentLabel;
  QListWidget* IndependentList;
  QPushButton* SelectAllXButton;
  QPushButton* DeselectAllXButton;
};

}  // namespace ombrel
