#include "gui/document/GraphPage.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QMimeData>
#include <QPrinter>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/common/Asker.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/document/GraphExportForm.h"
#include "gui/graph/GraphChart.h"
#include "gui/output/GraphPictures.h"
#include "gui/graph/GraphChartView.h"
#include "core/graph/GraphDescription.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TGraphPage::TGraphPage(Analyze& form) : TDocumentPage(form, TStep::Graph) {
  auto* layout = new QVBoxLayout(this);
  auto* controls = new QHBoxLayout;
  layout->addLayout(controls);
  CreateControls(*controls);
  GraphChart = new TGraphChartView;
  GraphChart->setObjectName(QStringLiteral("GraphChart"));
  layout->addWidget(GraphChart, 1);
  ConnectControls();
  ShowControls();
}

void TGraphPage::CreateControls(QHBoxLayout& controls) {
  GraphSDButton = new QPushButton(QStringLiteral("SD"));
  GraphSDButton->setObjectName(QStringLiteral("GraphSDButton"));
  GraphSEMButton = new QPushButton(QStringLiteral("SEM"));
  GraphSEMButton->setObjectName(QStringLiteral("GraphSEMButton"));
  auto* errorGroup = new QButtonGroup(this);
  for (QPushButton* button : {GraphSDButton, GraphSEMButton}) {
    button->setCheckable(true);
    errorGroup->addButton(button);
    controls.addWidget(button);
  }
  GraphSDButton->setChecked(true);

  GraphRowsColumnsGroup = new QGroupBox;
  GraphRowsColumnsGroup->setObjectName(QStringLiteral("GraphRowsColumnsGroup"));
  auto* rowsColumns = new QHBoxLayout(GraphRowsColumnsGroup);
  GraphColRadioButton = new QRadioButton(QStringLiteral("Columns"));
  GraphColRadioButton->setObjectName(QStringLiteral("GraphColRadioButton"));
  GraphRowsRadioButton = new QRadioButton(QStringLiteral("Rows"));
  GraphRowsRadioButton->setObjectName(QStringLiteral("GraphRowsRadioButton"));
  rowsColumns->addWidget(GraphColRadioButton);
  rowsColumns->addWidget(GraphRowsRadioButton);
  GraphColRadioButton->setChecked(true);
  controls.addWidget(GraphRowsColumnsGroup);

  MultRegGraphXLabel = new QLabel(QStringLiteral("X"));
  MultRegGraphXComboBox = new QComboBox;
  MultRegGraphXComboBox->setObjectName(QStringLiteral("MultRegGraphXComboBox"));
  MultRegGraphYLabel = new QLabel(QStringLiteral("Y"));
  MultRegGraphYComboBox = new QComboBox;
  MultRegGraphYComboBox->setObjectName(QStringLiteral("MultRegGraphYComboBox"));
  GraphSelectedDataCheckBox = new QCheckBox(QStringLiteral("Analyzed data only"));
  GraphSelectedDataCheckBox->setObjectName(QStringLiteral("GraphSelectedDataCheckBox"));
  controls.addWidget(MultRegGraphXLabel);
  controls.addWidget(MultRegGraphXComboBox);
  controls.addWidget(MultRegGraphYLabel);
  controls.addWidget(MultRegGraphYComboBox);
  controls.addWidget(GraphSelectedDataCheckBox);
  GraphValuesCheckBox = new QCheckBox(QStringLiteral("Show individual values"));
  GraphValuesCheckBox->setObjectName(QStringLiteral("GraphValuesCheckBox"));
  controls.addWidget(GraphValuesCheckBox);
  controls.addStretch(1);
}

void TGraphPage::ConnectControls() {
  connect(GraphSDButton, &QPushButton::clicked, this, [this] {
    Document().MeanIsSD = 1;
    Redraw();
  });
  connect(GraphSEMButton, &QPushButton::clicked, this, [this] {
    Document().MeanIsSD = 0;
    Redraw();
  });
  connect(GraphColRadioButton, &QRadioButton::clicked, this, [this] {
    Document().GraphByColumns = 1;
    Redraw();
  });
  connect(GraphRowsRadioButton, &QRadioButton::clicked, this, [this] {
    Document().GraphByColumns = 0;
    Redraw();
  });
  connect(GraphSelectedDataCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
    Document().GraphAnalyzedOnly = checked ? 1 : 0;
    Redraw();
  });
  connect(GraphValuesCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
    Document().GraphShowValues = checked ? 1 : 0;
    Redraw();
  });
  connect(MultRegGraphXComboBox, &QComboBox::activated, this, [this](int index) {
    if (index < 0 || index >= static_cast<int>(mModel.XVariables.size())) return;
    SetGraphXVariable(Document(), mModel.XVariables[static_cast<std::size_t>(index)].Key);
    Redraw();
  });
  connect(MultRegGraphYComboBox, &QComboBox::activated, this, [this](int index) {
    if (index < 0 || index >= static_cast<int>(mModel.YVariables.size())) return;
    SetGraphYVariable(Document(), mModel.YVariables[static_cast<std::size_t>(index)].Key);
    Redraw();
  });
  connect(GraphChart, &TGraphChartView::DoubleClicked, this,
          [this] { Form().Host().Asker().Inform(this, FromCore(NoCustomGraphMessage)); });
}

QChart* TGraphPage::Chart() const { return GraphChart->chart(); }

void TGraphPage::EnterPage() { Redraw(); }

void TGraphPage::Redraw() {
  // A control clicked while a computation lets events through waits for
  // the drawing that is under way.
  if (Form().Calculating()) return;
  const bool wasStale = Document().ResultsStale;
  // Raw data may need exact P values that take a while: the results page
  // shows their progress and the cancel button meanwhile.
  const bool showProgress =
      wasStale && Document().Format == TDataFormat::Raw && !GraphHoldsNothing(Document()) && isVisible();
  if (showProgress) Form().ShowStepPage(TStep::Results);
  mModel = DrawGraph(Document(), Form().Progress());
  if (showProgress) Form().ShowStepPage(TStep::Graph);
  ShowControls();
  BuildChart();
  if (wasStale && !Document().ResultsStale) Form().Host().DocumentStateChanged(Form());
}

void TGraphPage::ShowControls() {
  const TDocument& document = Document();
  GraphSDButton->setVisible(mModel.ShowErrorChoice);
  GraphSEMButton->setVisible(mModel.ShowErrorChoice);
  GraphSDButton->setChecked(document.MeanIsSD == 1);
  GraphSEMButton->setChecked(document.MeanIsSD != 1);

  GraphRowsColumnsGroup->setVisible(mModel.ShowRowsColumns);
  GraphColRadioButton->setChecked(document.GraphByColumns == 1);
  GraphRowsRadioButton->setChecked(document.GraphByColumns != 1);

  for (QWidget* widget : std::initializer_list<QWidget*>{MultRegGraphXLabel, MultRegGraphXComboBox, MultRegGraphYLabel,
                                                         MultRegGraphYComboBox, GraphSelectedDataCheckBox})
    widget->setVisible(mModel.ShowVariableLists);
  GraphSelectedDataCheckBox->setChecked(document.GraphAnalyzedOnly != 0);
  GraphValuesCheckBox->setVisible(mModel.ShowValuesChoice);
  GraphValuesCheckBox->setChecked(document.GraphShowValues != 0);
  const auto fill = [](QComboBox* box, const std::vector<TGraphVariable>& entries, int chosen) {
    const QSignalBlocker blocker(box);
    box->clear();
    for (const TGraphVariable& entry : entries) box->addItem(FromCore(entry.Text));
    box->setCurrentIndex(chosen);
  };
  fill(MultRegGraphXComboBox, mModel.XVariables, mModel.XIndex);
  fill(MultRegGraphYComboBox, mModel.YVariables, mModel.YIndex);
}

void TGraphPage::BuildChart() {
  GraphChart->setVisible(mModel.ChartVisible);
  FillChart(*GraphChart->chart(), GraphChart->Overlay(), mModel);
  GraphChart->setAccessibleDescription(FromCore(GraphDescription(mModel)));
}

bool TGraphPage::RunCommand(TCommand command) {
  switch (command) {
    case TCommand::Copy:
      CopyGraph();
      return true;
    case TCommand::Export:
      ExportGraph();
      return true;
    default:
      return false;
  }
}

void TGraphPage::Print(QPrinter& printer) {
  printer.setResolution(LayoutDpi);
  PaintGraphPage(printer, mModel);
}

void TGraphPage::CopyGraph() {
  if (mModel.Kind == TGraphKind::Empty) return;
  QApplication::clipboard()->setMimeData(GraphMimeData(mModel).release());
}

void TGraphPage::ExportGraph() {
  TAsker& asker = Form().Host().Asker();
  const QString suggested = Form().FileName().isEmpty()
                                ? QStringLiteral("graph.svg")
                                : QFileInfo(Form().FileName()).completeBaseName() + QStringLiteral(".svg");
  const QString fileName = asker.GetSaveFileName(
      this, QStringLiteral("Export Graph"), ExportFolderPath(Form().Host(), suggested),
      QStringLiteral("SVG pictures (*.svg);;PDF documents (*.pdf);;PNG pictures (*.png)"), QStringLiteral("svg"));
  if (fileName.isEmpty()) return;
  Form().Host().SetExportFolder(QFileInfo(fileName).absolutePath());
  const std::optional<TPictureFormat> format = PictureFormatOf(fileName);
  if (!format) {
    asker.Inform(this, QStringLiteral("Graphs are exported as SVG (.svg), PDF (.pdf) or PNG (.png) files."));
    return;
  }
  TGraphExportForm dialog(*format == TPictureFormat::Png, this);
  if (asker.Exec(dialog) != QDialog::Accepted) return;
  const QString message = WriteGraphPicture(mModel, fileName, *format, dialog.Size(), dialog.Dpi());
  if (!message.isEmpty()) asker.Inform(this, message);
}

}  // namespace ombrel
