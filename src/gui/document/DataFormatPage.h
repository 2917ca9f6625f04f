#pragma once

#include <map>

#include "gui/document/DocumentPage.h"
#include "core/base/TestChoices.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace ombrel {

// Step 0: the goal, the data format with two example lines, the tests the
// format offers, and the arrow to the next step.
class TDataFormatPage : public TDocumentPage {
  Q_OBJECT

 public:
  explicit TDataFormatPage(Analyze& form);

  void EnterPage() override;
  void DocumentReset() override { EnterPage(); }

  QRadioButton* FamilyRadio(TTestFamily family) const { return mFamilyRadios.at(family); }
  QRadioButton* FormatRadio(TDataFormat format) const { return mFormatRadios.at(format); }

  QLabel* HeadingLabel;
  QLabel* ExampleLine1;
  QLabel* ExampleLine2;
  QLabel* AvailableTestsLabel;
  QLabel* TestListLabel;
  QPushButton* NextStepArrow;
  QLabel* NextStepLabel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowState();
  void FamilyClicked(TTestFamily family);
  void FormatClicked(TDataFormat format);
  void GoToNextStep();

  std::map<TTestFamily, QRadioButton*> mFamilyRadios;
  std::map<TDataFormat, QRadioButton*> mFormatRadios;
};

}  // namespace ombrel
