#pragma once

#include <array>
#include <map>

#include "gui/document/DocumentPage.h"
#include "core/document/Steps.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace ombrel {

// Step 3: the questions of the test page that fits the data format and the
// number of selected columns. Every answer goes straight into the
// document's TTestChoices; double-clicking an answer goes to the results.
class TChooseTestPage : public TDocumentPage {
  Q_OBJECT

 public:
  explicit TChooseTestPage(Analyze& form);

  void EnterPage() override;
  TTestPage ShownTestPage() const { return mShown; }

  // One column.
  QLabel* OneColumnSelectedLabel;
  QRadioButton* OneSampleTRadio;
  QRadioButton* WilcoxonRadio;
  QRadioButton* OneColumnOneTailRadio;
  QRadioButton* OneColumnTwoTailRadio;
  std::array<QRadioButton*, 4> HypotheticalMeanRadios{};
  QLineEdit* HypotheticalMeanField;
  QPushButton* SelectAnotherColumnButton;

  // Two columns.
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

  // Three or more columns.
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

  // XY data.
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

  // Two-by-two table.
  QRadioButton* FisherRadio;
  QRadioButton* ChiSquareRadio;
  QRadioButton* YatesYesRadio;
  QRadioButton* YatesNoRadio;
  QRadioButton* OneSidedRadio;
  QRadioButton* TwoSidedRadio;
  QRadioButton* OddsRatioRadio;
  QRadioButton* RelativeRiskRadio;
  QRadioButton* SensitivityRadio;

  // Multiple regression.
  QRadioButton* MultipleRegressionRadio;
  QRadioButton* CorrelationMatrixRadio;
  QListWidget* DependentList;
  QLabel* IndependentLabel;
  QListWidget* IndependentList;
  QPushButton* SelectAllXButton;
  QPushButton* DeselectAllXButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildNonePage();
  QWidget* BuildOneColumnPage();
  QWidget* BuildTwoColumnPage();
  QWidget* BuildMultiColumnPage();
  QWidget* BuildRegressionPage();
  QWidget* BuildTwoByTwoPage();
  QWidget* BuildMultipleRegressionPage();
  QRadioButton* Radio(const QString& caption);

  void ShowOneColumn();
  void ShowTwoColumns();
  void ShowMultiColumn();
  void ShowRegression();
  void ShowTwoByTwo();
  void ShowMultipleRegression();
  void ShowPage();

  // An answer changed: results stale, controls shown again.
  void Changed();
  void HypotheticalFieldLeft();
  void PostTestRowChosen(int row);
  void OpenSelectColumns();
  void OpenSelectPairs();
  void ColumnsChanged();
  void ReadForceFields();

  QStackedWidget* mStack;
  std::map<TTestPage, QWidget*> mPages;
  TTestPage mShown = TTestPage::None;
  bool mShowing = false;
};

}  // namespace ombrel
