#include "gui/document/GraphPage.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include "gui/app/Asker.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/graph/ErrorBarSeries.h"
#include "gui/graph/GraphChartView.h"

namespace ombrel {

namespace {

QColor ColourOf(TGraphColour colour) {
  switch (colour) {
    case TGraphColour::Red:
      return QColor(255, 0, 0);
    case TGraphColour::Blue:
      return QColor(0, 0, 255);
    case TGraphColour::Default:
      break;
  }
  return QColor(Qt::black);
}

constexpr qreal BarWidth = 0.5;

// A category axis needs distinct texts, so the gaps between bars are told
// apart by their number of blanks.
QStringList CategoryTexts(const std::vector<std::string>& categories) {
  QStringList texts;
  int blanks = 0;
  for (const std::string& text : categories)
    texts << (text.empty() ? QString(++blanks, QLatin1Char(' ')) : FromCore(text));
  return texts;
}

QValueAxis* ValueAxis(const TGraphAxis& axis) {
  auto* value = new QValueAxis;
  value->setRange(static_cast<qreal>(axis.Range.Min), static_cast<qreal>(axis.Range.Max));
  value->setTickCount(std::max(2, static_cast<int>(axis.Range.Ticks)));
  // Whole numbers, grouped in thousands the user's way (the chart is
  // localised for this axis only).
  if (axis.Labels == TAxisLabels::Thousands) value->setLabelFormat(QStringLiteral("%.0f"));
  value->setTitleText(FromCore(axis.Title));
  return value;
}

}  // namespace

TGraphPage::TGraphPage(Analyze& form) : TDocumentPage(form, TStep::Graph) {
  auto* layout = new QVBoxLayout(this);
  auto* controls = new QHBoxLayout;
  layout->addLayout(controls);

  GraphSDButton = new QPushButton(QStringLiteral("SD"));
  GraphSDButton->setObjectName(QStringLiteral("GraphSDButton"));
  GraphSEMButton = new QPushButton(QStringLiteral("SEM"));
  GraphSEMButton->setObjectName(QStringLiteral("GraphSEMButton"));
  auto* errorGroup = new QButtonGroup(this);
  for (QPushButton* button : {GraphSDButton, GraphSEMButton}) {
    button->setCheckable(true);
    errorGroup->addButton(button);
    controls->addWidget(button);
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
  controls->addWidget(GraphRowsColumnsGroup);

  MultRegGraphXLabel = new QLabel(QStringLiteral("X"));
  MultRegGraphXComboBox = new QComboBox;
  MultRegGraphXComboBox->setObjectName(QStringLiteral("MultRegGraphXComboBox"));
  MultRegGraphYLabel = new QLabel(QStringLiteral("Y"));
  MultRegGraphYComboBox = new QComboBox;
  MultRegGraphYComboBox->setObjectName(QStringLiteral("MultRegGraphYComboBox"));
  GraphSelectedDataCheckBox = new QCheckBox(QStringLiteral("Analyzed data only"));
  GraphSelectedDataCheckBox->setObjectName(QStringLiteral("GraphSelectedDataCheckBox"));
  controls->addWidget(MultRegGraphXLabel);
  controls->addWidget(MultRegGraphXComboBox);
  controls->addWidget(MultRegGraphYLabel);
  controls->addWidget(MultRegGraphYComboBox);
  controls->addWidget(GraphSelectedDataCheckBox);
  controls->addStretch(1);

  GraphChart = new TGraphChartView;
  GraphChart->setObjectName(QStringLiteral("GraphChart"));
  QChart* chart = GraphChart->chart();
  chart->setBackgroundBrush(Qt::white);
  chart->setBackgroundRoundness(0);
  chart->legend()->hide();
  chart->setAnimationOptions(QChart::NoAnimation);
  layout->addWidget(GraphChart, 1);

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
  ShowControls();
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
  QChart* chart = GraphChart->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  GraphChart->setVisible(mModel.ChartVisible);
  QStringList title;
  for (const std::string& line : mModel.TitleLines) title << FromCore(line).toHtmlEscaped();
  chart->setTitle(title.join(QStringLiteral("<br>")));
  chart->setMargins(QMargins(mModel.MarginLeft, 10, mModel.MarginRight, 10));
  chart->setLocalizeNumbers(mModel.Left.Labels == TAxisLabels::Thousands);

  QList<TChartLegendEntry> legend;
  for (const TLegendEntry& entry : mModel.Legend)
    legend << TChartLegendEntry{FromCore(entry.Text), ColourOf(entry.Colour), entry.Line, entry.Dotted};
  GraphChart->SetLegend(legend);

  const std::size_t categories = mModel.Categories.size();
  QStackedBarSeries* stacked = nullptr;
  QList<QAbstractSeries*> added;
  for (const TGraphSeries& model : mModel.Series) {
    const QString name = FromCore(model.Name);
    const QColor colour = ColourOf(model.Colour);
    switch (model.Kind) {
      case TSeriesKind::ErrorBars: {
        auto* series = new TErrorBarSeries;
        series->setName(name);
        series->setBarWidth(BarWidth);
        for (const TGraphPoint& point : model.Points)
          series->AddBar(static_cast<int>(point.X), static_cast<double>(point.Y), static_cast<double>(point.Error),
                         FromCore(point.Label), colour);
        added << series;
        break;
      }
      case TSeriesKind::Bars: {
        // The bar series of one graph stack on the same bars.
        if (stacked == nullptr) {
          stacked = new QStackedBarSeries;
          stacked->setName(name);
          stacked->setBarWidth(BarWidth);
          added << stacked;
        }
        auto* set = new QBarSet(name);
        set->setColor(colour);
        set->setBorderColor(colour);
        QList<qreal> values(static_cast<qsizetype>(categories), 0.0);
        for (const TGraphPoint& point : model.Points) {
          const auto index = static_cast<qsizetype>(point.X) - mModel.CategoryFirst;
          if (index >= 0 && index < values.size()) values[index] = static_cast<qreal>(point.Y);
        }
        set->append(values);
        stacked->append(set);
        break;
      }
      case TSeriesKind::Points: {
        auto* series = new QScatterSeries;
        series->setName(name);
        series->setColor(colour);
        series->setBorderColor(colour);
        series->setMarkerSize(7);
        for (const TGraphPoint& point : model.Points)
          series->append(static_cast<qreal>(point.X), static_cast<qreal>(point.Y));
        added << series;
        break;
      }
      case TSeriesKind::Line: {
        auto* series = new QLineSeries;
        series->setName(name);
        QPen pen(colour, model.Dotted ? 1 : 2);
        if (model.Dotted) pen.setStyle(Qt::DotLine);
        series->setPen(pen);
        for (const TGraphPoint& point : model.Points)
          series->append(static_cast<qreal>(point.X), static_cast<qreal>(point.Y));
        added << series;
        break;
      }
    }
  }
  for (QAbstractSeries* series : added) chart->addSeries(series);
  if (mModel.Kind == TGraphKind::Empty) return;

  QAbstractAxis* bottom = nullptr;
  if (mModel.Bottom.Labels == TAxisLabels::Categories) {
    auto* axis = new QBarCategoryAxis;
    axis->append(CategoryTexts(mModel.Categories));
    axis->setTitleText(FromCore(mModel.Bottom.Title));
    bottom = axis;
  } else {
    bottom = ValueAxis(mModel.Bottom);
  }
  QValueAxis* left = ValueAxis(mModel.Left);
  chart->addAxis(bottom, Qt::AlignBottom);
  chart->addAxis(left, Qt::AlignLeft);
  for (QAbstractSeries* series : added) {
    series->attachAxis(bottom);
    series->attachAxis(left);
  }
}

bool TGraphPage::RunCommand(TPageCommand command) {
  switch (command) {
    case TPageCommand::Copy:
      QApplication::clipboard()->setPixmap(GraphChart->grab());
      return true;
    case TPageCommand::Export:
      ExportGraph();
      return true;
    default:
      return false;
  }
}

void TGraphPage::ExportGraph() {
  TAsker& asker = Form().Host().Asker();
  const QString suggested = Form().FileName().isEmpty()
                                ? QStringLiteral("graph.png")
                                : QFileInfo(Form().FileName()).completeBaseName() + QStringLiteral(".png");
  const QString fileName =
      asker.GetSaveFileName(this, QStringLiteral("Export Graph"), suggested,
                            QStringLiteral("PNG pictures (*.png);;All files (*)"), QStringLiteral("png"));
  if (fileName.isEmpty()) return;
  if (!GraphChart->grab().save(fileName, "PNG"))
    asker.Inform(this, QStringLiteral("The graph could not be saved in %1.").arg(fileName));
}

}  // namespace ombrel
