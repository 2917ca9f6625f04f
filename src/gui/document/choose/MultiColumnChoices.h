#pragma once

#include "gui/document/choose/ChoicesPanel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace ombrel {

// Three or more columns: which columns, repeated measures or not, Gaussian
// or not, and the post test with its pairs or control column.
class TMultiColumnChoices : public TChoicesPanel {
  Q_OBJECT

 public:
  explicit TMultiColumnChoices(TChooseTestPage& host);

  void ShowChoices() override;

  QRadioButton* AllColumnsRadio;
  QRadioButton* SelectedColumnsRadio;
  QPushButton* SelectColumnsButton;
  QLabel* MultiColumnSelectedLabel;
  QRadioButton* OrdinaryAnovaRadio;
  QRadioButton* RepeatedMeasuresRadio;
  QRadioButton* ParametricRadio;
  QRadioButton* MultiNonparametricRadio;
  QComboBox* PostTestComboBox;
  QCheckBox* OnlyIfSignificantCheckBox;
  QPushButton* SelectPairsButton;
  QLabel* ControlColumnLabel;
  QComboBox* ControlColumnComboBox;
  QLabel* MultiColumnTestLabel;

 private:
  // The four questions, each a group of the panel.
  void CreateColumnsQuestion(QVBoxLayout& layout);
  void CreatePairingQuestion(QVBoxLayout& layout);
  void CreateGaussianQuestion(QVBoxLayout& layout);
  void CreatePostTestQuestion(QVBoxLayout& layout);
  void PostTestRowChosen(int row);
  void OpenSelectPairs();
};

}  // namespace ombrel
