#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QImage>
#include <QTemporaryDir>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/GraphExportForm.h"
#include "gui/document/GraphPage.h"
#include "gui/graph/ErrorBarSeries.h"
#include "gui/graph/GraphChartView.h"

using namespace ombrel;

namespace {

void FillColumn(TDocument& document, int column, std::initializer_list<TReal> values) {
  int row = 0;
  for (const TReal value : values) document.Table.SetValue(row++, column, value);
  document.Table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
  document.MarkChanged();
}

template <typename T>
T* SeriesNamed(QChart* chart, const QString& name) {
  for (QAbstractSeries* series : chart->series())
    if (series->name() == name) return qobject_cast<T*>(series);
  return nullptr;
}

QStringList Categories(QChart* chart) {
  for (QAbstractAxis* axis : chart->axes(Qt::Horizontal))
    if (auto* categories = qobject_cast<QBarCategoryAxis*>(axis)) return categories->categories();
  return {};
}

}  // namespace

// Walks documents of each format to the graph step and reads the chart.
class GraphPageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;

  TDocument& Document() const { return mForm->Document(); }
  TGraphPage* Page() const { return qobject_cast<TGraphPage*>(mForm->Page(TStep::Graph)); }
  void ShowGraph() {
    mForm->GoToStep(TStep::Graph);
    QVERIFY(Page() != nullptr);
    QVERIFY(Page()->isVisible());
  }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mHost = std::make_unique<TTestHost>();
    mForm = ShowDocumentWindow(*mHost, std::make_unique<TDocument>());
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
  }

  // A = 1..4 (SD 1.2909944, SEM 0.6454972), C = 10, 12, 17 (SD 3.6055513,
  // SEM 2.0816660), from python3's statistics module.
  void MeansDrawErrorBarsAndSwitchToSem() {
    FillColumn(Document(), 0, {1, 2, 3, 4});
    FillColumn(Document(), 2, {10, 12, 17});
    ShowGraph();
    QChart* chart = Page()->Chart();
    QCOMPARE(chart->series().size(), 1);
    auto* bars = SeriesNamed<TErrorBarSeries>(chart, QStringLiteral("ErrorBarSeries1"));
    QVERIFY(bars != nullptr);
    QCOMPARE(bars->Count(), 2);
    QCOMPARE(bars->X(0), 0);
    QCOMPARE(bars->X(1), 2);
    QCOMPARE(bars->Y(1), 13.0);
    QVERIFY(qAbs(bars->ErrorValues().at(0) - 1.2909944487358056) < 1e-12);
    QCOMPARE(bars->barSets().first()->count(), 3);
    QCOMPARE(Categories(chart), (QStringList{QStringLiteral("A"), QStringLiteral(" "), QStringLiteral("C")}));
    QVERIFY(chart->title().contains(QStringLiteral("Mean and Standard Deviation")));
    QVERIFY(Page()->GraphSDButton->isVisible());
    QVERIFY(Page()->GraphSDButton->isChecked());
    QVERIFY(!Page()->GraphRowsColumnsGroup->isVisible());
    QVERIFY(!Page()->MultRegGraphXComboBox->isVisible());
    QCOMPARE(chart->margins().left(), 150);

    Page()->GraphSEMButton->click();
    QCOMPARE(int(Document().MeanIsSD), 0);
    bars = SeriesNamed<TErrorBarSeries>(Page()->Chart(), QStringLiteral("ErrorBarSeries1"));
    QVERIFY(bars != nullptr);
    QVERIFY(qAbs(bars->ErrorValues().at(1) - 2.0816659994661326) < 1e-12);
    QVERIFY(Page()->Chart()->title().contains(QStringLiteral("Mean and Standard Error")));
    // Drawing the picture with its error bars must not fail.
    QVERIFY(!Page()->GraphChart->grab().isNull());
  }

  // "Show individual values" adds the values over the bars; Export writes
  // the chosen size and format.
  void ShowsValuesAndExportsTheChosenSize() {
    FillColumn(Document(), 0, {1, 2, 3, 4});
    ShowGraph();
    QVERIFY(Page()->GraphValuesCheckBox->isVisible());
    QVERIFY(!Page()->GraphValuesCheckBox->isChecked());
    Page()->GraphValuesCheckBox->click();
    auto* values = SeriesNamed<QScatterSeries>(Page()->Chart(), QStringLiteral("IndividualValues"));
    QVERIFY(values != nullptr);
    QCOMPARE(values->count(), 4);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("graph.png"));
    mHost->Questions.SaveNames = {path};
    mHost->Questions.Dialog = [](QDialog& dialog) {
      auto* export_ = qobject_cast<TGraphExportForm*>(&dialog);
      if (export_ == nullptr) return static_cast<int>(QDialog::Rejected);
      export_->WidthSpinBox->setValue(8);
      export_->HeightSpinBox->setValue(6);
      export_->DpiSpinBox->setValue(600);
      return static_cast<int>(QDialog::Accepted);
    };
    QVERIFY(Page()->RunCommand(TCommand::Export));
    QCOMPARE(QImage(path).size(), QSize(1890, 1417));
    QVERIFY(mHost->Questions.Shown.isEmpty());
  }

  void TwoByTwoStacksAndSwitchesToRows() {
    Document().ChooseFormat(TDataFormat::TwoByTwo);
    Document().TwoByTwo.A = 10;
    Document().TwoByTwo.B = 20;
    Document().TwoByTwo.C = 30;
    Document().TwoByTwo.D = 40;
    ShowGraph();
    auto* stacked = SeriesNamed<QStackedBarSeries>(Page()->Chart(), QStringLiteral("BarSeries1"));
    QVERIFY(stacked != nullptr);
    QCOMPARE(stacked->count(), 2);
    QBarSet* red = stacked->barSets().at(0);
    QBarSet* blue = stacked->barSets().at(1);
    QCOMPARE(red->label(), QStringLiteral("BarSeries1"));
    QCOMPARE(red->color(), QColor(255, 0, 0));
    QCOMPARE(blue->color(), QColor(0, 0, 255));
    QCOMPARE(red->at(0), 30.0);
    QCOMPARE(blue->at(1), 20.0);
    QCOMPARE(Categories(Page()->Chart()), (QStringList{QStringLiteral("Column A"), QStringLiteral("Column B")}));
    QVERIFY(Page()->GraphRowsColumnsGroup->isVisible());
    QVERIFY(!Page()->GraphSDButton->isVisible());
    QCOMPARE(Page()->GraphChart->Legend().size(), 2);
    QCOMPARE(Page()->GraphChart->Legend().at(0).Text, QStringLiteral("Row 1"));

    Page()->GraphRowsRadioButton->click();
    QCOMPARE(int(Document().GraphByColumns), 0);
    stacked = SeriesNamed<QStackedBarSeries>(Page()->Chart(), QStringLiteral("BarSeries1"));
    QVERIFY(stacked != nullptr);
    QCOMPARE(stacked->barSets().at(0)->at(1), 30.0);
    QCOMPARE(stacked->barSets().at(1)->at(0), 20.0);
    QCOMPARE(Categories(Page()->Chart()), (QStringList{QStringLiteral("Row 1"), QStringLiteral("Row 2")}));
    QCOMPARE(Page()->GraphChart->Legend().at(0).Text, QStringLiteral("Column B"));
  }

  void XYDrawsPointsLineAndBand() {
    Document().ChooseFormat(TDataFormat::XY);
    FillColumn(Document(), 0, {1, 2, 3, 4, 5});
    FillColumn(Document(), 1, {2.1L, 3.9L, 6.2L, 7.8L, 10.1L});
    ShowGraph();
    QChart* chart = Page()->Chart();
    QCOMPARE(chart->series().size(), 4);
    auto* points = SeriesNamed<QScatterSeries>(chart, QStringLiteral("PointSeries1"));
    QVERIFY(points != nullptr);
    QCOMPARE(points->count(), 5);
    QCOMPARE(points->at(2), QPointF(3, 6.2));
    auto* line = SeriesNamed<QLineSeries>(chart, QStringLiteral("LineSeries1"));
    QVERIFY(line != nullptr);
    QCOMPARE(line->count(), 2);
    // slope 1.99 and intercept 0.05 (python3 least squares)
    QVERIFY(qAbs(line->at(1).y() - 10.0) < 1e-9);
    auto* lower = SeriesNamed<QLineSeries>(chart, QStringLiteral("LowerCILineSeries"));
    QVERIFY(lower != nullptr);
    QCOMPARE(lower->count(), 100);
    QCOMPARE(lower->pen().style(), Qt::DotLine);
    QCOMPARE(Page()->GraphChart->Legend().at(1).Text, QStringLiteral("95% Confidence Interval"));
  }

  void MultipleRegressionListsChooseTheVariables() {
    Document().ChooseFormat(TDataFormat::MultipleRegression);
    FillColumn(Document(), 0, {1, 2, 3, 4, 5, 6});
    FillColumn(Document(), 1, {2, 1, 4, 3, 6, 5});
    FillColumn(Document(), 2, {5, 6, 11, 10, 16, 18});
    Document().Choices.DependentColumn = 2;
    ShowGraph();
    QComboBox* x = Page()->MultRegGraphXComboBox;
    QComboBox* y = Page()->MultRegGraphYComboBox;
    QVERIFY(x->isVisible());
    QVERIFY(Page()->GraphSelectedDataCheckBox->isVisible());
    QCOMPARE(x->count(), 3);
    QCOMPARE(x->currentText(), QStringLiteral("A: Column A"));
    QCOMPARE(y->currentText(), QStringLiteral("B: Column B"));

    y->setCurrentIndex(2);
    emit y->activated(2);
    QCOMPARE(Document().GraphYVariable, 'C');
    auto* points = SeriesNamed<QScatterSeries>(Page()->Chart(), QStringLiteral("PointSeries1"));
    QVERIFY(points != nullptr);
    QCOMPARE(points->count(), 6);
    QCOMPARE(points->at(5), QPointF(6, 18));

    Page()->GraphSelectedDataCheckBox->click();
    QCOMPARE(int(Document().GraphAnalyzedOnly), 1);
    QCOMPARE(y->count(), 2);
    QCOMPARE(y->itemText(0), QStringLiteral("Residuals"));
    QCOMPARE(x->count(), 2);
  }

  void EmptyDocumentDrawsNothingAndDoubleClickExplains() {
    ShowGraph();
    QVERIFY(Page()->Chart()->series().isEmpty());
    QTest::mouseDClick(Page()->GraphChart->viewport(), Qt::LeftButton);
    QCOMPARE(mHost->Questions.Shown.size(), 1);
    QVERIFY(mHost->Questions.Shown.at(0).startsWith(QStringLiteral("It is not possible to customize")));

    // A title alone shows the means graph without bars.
    Document().Table.SetTitle("Pilot");
    Page()->Redraw();
    auto* bars = SeriesNamed<TErrorBarSeries>(Page()->Chart(), QStringLiteral("ErrorBarSeries1"));
    QVERIFY(bars != nullptr);
    QCOMPARE(bars->Count(), 0);
    QVERIFY(Page()->Chart()->title().startsWith(QStringLiteral("Pilot")));
    QVERIFY(!Page()->GraphChart->grab().isNull());
  }
};

QTEST_MAIN(GraphPageTest)
#include "GraphPageTest.moc"
