#pragma once

#include "gui/document/DocumentPage.h"
#include "core/graph/GraphModel.h"

class QButtonGroup;
class QCheckBox;
class QChart;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;

namespace ombrel {

class TGraphChartView;

// Step 5: one simple graph of the document's data, chosen by the data
// format, with the few controls that format offers. Every control change
// redraws it from the document.
class TGraphPage : public TDocumentPage {
  Q_OBJECT

 public:
  explicit TGraphPage(Analyze& form);

  void EnterPage() override;
  bool RunCommand(TCommand command) override;
  // Prints the chart itself, as large as the page allows, in vector form.
  void Print(QPrinter& printer) override;

  // Draws the graph afresh (computing a stale report first).
  void Redraw();
  // What was drawn last.
  const TGraphModel& Model() const { return mModel; }
  QChart* Chart() const;

  TGraphChartView* GraphChart;
  QPushButton* GraphSDButton;
  QPushButton* GraphSEMButton;
  QGroupBox* GraphRowsColumnsGroup;
  QRadioButton* GraphColRadioButton;
  QRadioButton* GraphRowsRadioButton;
  QCheckBox* GraphSelectedDataCheckBox;
  // Raw data: each value as a point over its bar (journals ask for it).
  QCheckBox* GraphValuesCheckBox;
  QLabel* MultRegGraphXLabel;
  QComboBox* MultRegGraphXComboBox;
  QLabel* MultRegGraphYLabel;
  QComboBox* MultRegGraphYComboBox;

 private:
  // The error-bar buttons, rows or columns, the axes of multiple regression
  // and the check boxes above the chart.
  void CreateControls(QHBoxLayout& controls);
  // Each control changes the document's graph settings and redraws.
  void ConnectControls();
  void ShowControls();
  void BuildChart();
  // Edit Copy: the graph as a picture and as SVG.
  void CopyGraph();
  // File Export: SVG, PDF or PNG by the file's extension, at a chosen size.
  void ExportGraph();

  TGraphModel mModel;
  bool mShowing = false;
};

}  // namespace ombrel
