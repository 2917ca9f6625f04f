#pragma once

#include "gui/document/DocumentPage.h"

class QCheckBox;

namespace ombrel {

class TCalcStatusPanel;
class TResultsViewer;

// Step 4: the report in the results viewer, and the calculation status
// panel while a long computation runs.
class TResultsPage : public TDocumentPage {
  Q_OBJECT

 public:
  explicit TResultsPage(Analyze& form);

  void EnterPage() override;
  bool RunCommand(TCommand command) override;

  // Appends the report, or its selection, to the notes (ignored while a
  // computation runs).
  void AppendToNotes();
  // File Export: the report as a text file.
  void ExportReport();
  // Computations finished since the page was made.
  int ComputationCount() const { return mComputations; }

  TResultsViewer* ResultsViewer1;
  TCalcStatusPanel* StatusPanel;
  // "Effect sizes and method": the host's option; changing it re-runs the
  // report.
  QCheckBox* EffectSizesBox;

 private:
  void ShowReport();
  void ChooseEffectSizes(bool shown);
  std::string mShownText;
  bool mShown = false;
  bool mWasCalculating = false;
  int mComputations = 0;
  int mShownComputation = 0;
};

}  // namespace ombrel
