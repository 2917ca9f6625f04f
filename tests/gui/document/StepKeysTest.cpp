#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>
#include <functional>

#include "support/PageTestSupport.h"
#include "gui/document/Analyze.h"
#include "core/base/CalcProgress.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/choose/MultiColumnChoices.h"
#include "gui/document/choose/MultipleRegressionChoices.h"
#include "gui/document/choose/OneColumnChoices.h"
#include "gui/document/choose/RegressionChoices.h"
#include "gui/document/choose/TwoByTwoChoices.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/DataFormatPage.h"
#include "gui/document/ResultsPage.h"
#include "core/document/DocumentAnalysis.h"
#include "gui/document/SummaryPage.h"
#include "core/entry/CellStore.h"
#include "gui/entry/OBIntEdit.h"
#include "gui/entry/SpreadGrid.h"
#include "core/report/ReportLines.h"
#include "gui/report/ResultsViewer.h"
#include "core/stats/ColumnStats.h"

using namespace ombrel;

Q_DECLARE_METATYPE(ombrel::TStep)
Q_DECLARE_METATYPE(ombrel::TDataFormat)

namespace {

using TFill = std::function<void(TDocument&)>;

void Column(TDocument& document, int column, std::initializer_list<TReal> values) {
  int row = 0;
  for (const TReal value : values) StoreCell(document.Table, row++, column, value);
  document.MarkChanged();
}

// A typed mean with its SD (sdFormat) or SEM, and N.
void TypedMean(TDocument& document, int column, TReal mean, TReal spread, std::int32_t n, bool sdFormat) {
  TColumnSummary& summary = document.Table.Summary(column);
  summary.Mean = mean;
  (sdFormat ? summary.SD : summary.SEM) = spread;
  summary.N = n;
  DeriveAveragedStatistics(summary, sdFormat);
  document.MarkChanged();
}

// Counts the step keys that reach a widget, to see whether a control let
// one through to its parents.
class TStepKeySpy : public QObject {
 public:
  int Seen = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_F9 || key == Qt::Key_F10) ++Seen;
    }
    return false;
  }
};

}  // namespace

Q_DECLARE_METATYPE(TFill)

// The step keys in a real main window: F10 and F9 through the window's
// shortcuts, Shift+F10 and Shift+F9 inside the choice controls of the pages.
class StepKeysTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TShellFixture> mFixture;
  std::unique_ptr<Obmain> mWindow;

  Analyze& Form() const { return *mWindow->ActiveDocument(); }
  TDocument& Document() const { return Form().Document(); }
  template <typename T>
  T* PageOf(TStep step) const {
    return qobject_cast<T*>(Form().Page(step));
  }

  // A key as the user presses it: to the widget with the focus.
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : mWindow.get(), Qt::Key(key), modifiers);
  }

  // Chooses a format with the step-0 radios.
  void ChooseFormat(TDataFormat format) {
    auto* page = PageOf<TDataFormatPage>(TStep::DataFormat);
    QVERIFY(page != nullptr);
    page->FamilyRadio(FamilyOfFormat(format))->click();
    page->FormatRadio(format)->click();
    QCOMPARE(Document().Format, format);
  }

  // Focuses a control the way a click would.
  static void Focus(QWidget* control) {
    control->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(control->hasFocus());
  }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mFixture = std::make_unique<TShellFixture>();
    mWindow = std::make_unique<Obmain>(mFixture->Options());
    mWindow->SetGuideShown(false);
    mWindow->Start({});
    mWindow->resize(1000, 800);
    mWindow->show();
    QApplication::setActiveWindow(mWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(mWindow.get()));
    QVERIFY(mWindow->ActiveDocument() != nullptr);
    QCOMPARE(Form().Step(), TStep::DataFormat);
  }

  void cleanup() {
    if (Analyze* form = mWindow->ActiveDocument()) form->CloseWithoutAsking();
    mWindow.reset();
    mFixture.reset();
  }

  // Every data format, filled through the core, walked with F10 from step 0
  // to the results; the viewer then shows the report the core computes.
  void F10WalksEveryFormatToItsReport_data() {
    QTest::addColumn<TDataFormat>("format");
    QTest::addColumn<TFill>("fill");
    QTest::addColumn<QList<TStep>>("steps");
    QTest::addColumn<QString>("title");
    using S = TStep;
    QTest::newRow("XY") << TDataFormat::XY << TFill([](TDocument& d) {
      Column(d, 0, {1, 2, 3, 4, 5, 6});
      Column(d, 1, {2.1L, 3.9L, 6.2L, 7.8L, 10.1L, 12.2L});
    }) << QList<TStep>{S::DataEntry, S::ChooseTest, S::Results}
                        << "Linear Regression";
    QTest::newRow("raw data") << TDataFormat::Raw << TFill([](TDocument& d) {
      Column(d, 0, {4.5L, 5.25L, 6, 3.75L, 5});
      Column(d, 1, {6.5L, 7.25L, 8, 5.5L});
      Column(d, 2, {5, 6, 7, 6.5L, 5.5L, 6.25L});
    }) << QList<TStep>{S::DataEntry, S::ColumnStats, S::ChooseTest, S::Results}
                              << "One-way Analysis of Variance (ANOVA)";
    QTest::newRow("mean/SD/N") << TDataFormat::MeanSdN << TFill([](TDocument& d) {
      TypedMean(d, 0, 10, 2, 8, true);
      TypedMean(d, 1, 12.5L, 2.5L, 9, true);
    }) << QList<TStep>{S::ColumnStats, S::ChooseTest, S::Results}
                               << "Unpaired t test";
    QTest::newRow("mean/SEM/N") << TDataFormat::MeanSemN
                                << TFill([](TDocument& d) { TypedMean(d, 0, 98.5L, 1.5L, 12, false); })
                                << QList<TStep>{S::ColumnStats, S::ChooseTest, S::Results} << "One sample t test";
    QTest::newRow("2x2") << TDataFormat::TwoByTwo << TFill([](TDocument& d) {
      d.TwoByTwo.A = 12;
      d.TwoByTwo.B = 5;
      d.TwoByTwo.C = 4;
      d.TwoByTwo.D = 14;
      d.MarkChanged();
    }) << QList<TStep>{S::DataEntry, S::ChooseTest, S::Results}
                         << "Fisher's Exact Test";
    QTest::newRow("larger table") << TDataFormat::LargerTable << TFill([](TDocument& d) {
      Column(d, 0, {12, 7});
      Column(d, 1, {9, 11});
      Column(d, 2, {5, 15});
    }) << QList<TStep>{S::DataEntry, S::Results}
                                  << "Chi-squared Test for Independence";
    QTest::newRow("multiple regression") << TDataFormat::MultipleRegression << TFill([](TDocument& d) {
      Column(d, 0, {120, 125, 131, 118, 140, 135, 128, 122});
      Column(d, 1, {40, 45, 52, 38, 61, 57, 49, 43});
      Column(d, 2, {70, 72, 80, 65, 90, 85, 76, 70});
    }) << QList<TStep>{S::DataEntry, S::ColumnStats, S::ChooseTest, S::Results}
                                         << "Multiple Regression Results";
  }
  void F10WalksEveryFormatToItsReport() {
    QFETCH(TDataFormat, format);
    QFETCH(TFill, fill);
    QFETCH(QList<TStep>, steps);
    QFETCH(QString, title);
    ChooseFormat(format);
    fill(Document());
    TDocument expected;
    for (const TStep step : steps) {
      // The document as it stands when the results are entered.
      if (step == TStep::Results) expected = Document();
      Press(Qt::Key_F10);
      QCOMPARE(Form().Step(), step);
      QVERIFY(Form().CurrentPage()->isVisible());
      if (step == TStep::ChooseTest) {
        // The questions that fit the format and the columns filled.
        const std::map<TDataFormat, TTestPage> pages = {
            {TDataFormat::XY, TTestPage::Regression},
            {TDataFormat::Raw, TTestPage::MultiColumn},
            {TDataFormat::MeanSdN, TTestPage::TwoColumns},
            {TDataFormat::MeanSemN, TTestPage::OneColumn},
            {TDataFormat::TwoByTwo, TTestPage::TwoByTwo},
            {TDataFormat::MultipleRegression, TTestPage::MultipleRegression}};
        QCOMPARE(PageOf<TChooseTestPage>(TStep::ChooseTest)->ShownTestPage(), pages.at(format));
      }
      if (step == TStep::DataEntry) {
        // The 2x2 format enters its counts in the table of four, the others in the grid.
        auto* entry = PageOf<TDataEntryPage>(TStep::DataEntry);
        QCOMPARE(entry->TwoByTwoA->isVisible(), format == TDataFormat::TwoByTwo);
        QCOMPARE(entry->RawDataGrid->isVisible(), format != TDataFormat::TwoByTwo);
      }
    }
    TSilentCalcProgress silent;
    RunAnalysis(expected, silent);
    const QString want = ShownReportText(expected.Report);
    auto* results = PageOf<TResultsPage>(TStep::Results);
    QCOMPARE(WithoutTimeLine(results->ResultsViewer1->PlainText()), want);
    QVERIFY2(want.contains(title), qPrintable(want));
    QVERIFY(!Document().ResultsStale);
    // The last step: F10 goes on to the graph, F9 comes back.
    Press(Qt::Key_F10);
    QCOMPARE(Form().Step(), TStep::Graph);
    Press(Qt::Key_F9);
    QCOMPARE(Form().Step(), TStep::Results);
  }

  // Shift+F10 and Shift+F9 in a choice control move one step and go no
  // further than the control.
  void ShiftStepKeysInChoiceControls_data() {
    QTest::addColumn<TDataFormat>("format");
    QTest::addColumn<int>("columns");
    QTest::addColumn<TStep>("from");
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<TStep>("to");
    using F = TDataFormat;
    using S = TStep;
    QTest::newRow("format radio, next") << F::Raw << 0 << S::DataFormat << "format radio" << true << S::DataEntry;
    QTest::newRow("goal radio, next") << F::XY << 0 << S::DataFormat << "goal radio" << true << S::DataEntry;
    QTest::newRow("test radio, next") << F::Raw << 1 << S::ChooseTest << "Wilcoxon" << true << S::Results;
    QTest::newRow("test radio, previous") << F::Raw << 1 << S::ChooseTest << "Wilcoxon" << false << S::ColumnStats;
    QTest::newRow("number field, next") << F::Raw << 1 << S::ChooseTest << "mean field" << true << S::Results;
    QTest::newRow("post test list, next") << F::Raw << 3 << S::ChooseTest << "post test" << true << S::Results;
    QTest::newRow("check box, previous") << F::Raw << 3 << S::ChooseTest << "P<0.05" << false << S::ColumnStats;
    QTest::newRow("outcome list, next") << F::MultipleRegression << 3 << S::ChooseTest << "outcome" << true
                                        << S::Results;
    QTest::newRow("X list, previous") << F::MultipleRegression << 3 << S::ChooseTest << "X list" << false
                                      << S::ColumnStats;
    QTest::newRow("XY check box, previous") << F::XY << 2 << S::ChooseTest << "interpolate" << false << S::DataEntry;
    QTest::newRow("force field, next") << F::XY << 2 << S::ChooseTest << "force X" << true << S::Results;
    QTest::newRow("2x2 radio, previous") << F::TwoByTwo << 0 << S::ChooseTest << "Fisher" << false << S::DataEntry;
  }
  void ShiftStepKeysInChoiceControls() {
    QFETCH(TDataFormat, format);
    QFETCH(int, columns);
    QFETCH(TStep, from);
    QFETCH(QString, control);
    QFETCH(bool, forward);
    QFETCH(TStep, to);
    ChooseFormat(format);
    for (int c = 0; c < columns; ++c) Column(Document(), c, {1, 2.5L, 4, 3, 5.5L, 7});
    mWindow->GoToStep(from);
    QCOMPARE(Form().Step(), from);
    auto* formatPage = PageOf<TDataFormatPage>(TStep::DataFormat);
    auto* choose = PageOf<TChooseTestPage>(TStep::ChooseTest);
    const std::map<QString, QWidget*> controls = {
        {QStringLiteral("format radio"), formatPage->FormatRadio(TDataFormat::Raw)},
        {QStringLiteral("goal radio"), formatPage->FamilyRadio(TTestFamily::Regression)},
        {QStringLiteral("Wilcoxon"), choose->OneColumn()->WilcoxonRadio},
        {QStringLiteral("mean field"), choose->OneColumn()->HypotheticalMeanField},
        {QStringLiteral("post test"), choose->MultiColumn()->PostTestComboBox},
        {QStringLiteral("P<0.05"), choose->MultiColumn()->OnlyIfSignificantCheckBox},
        {QStringLiteral("outcome"), choose->MultipleRegression()->DependentList},
        {QStringLiteral("X list"), choose->MultipleRegression()->IndependentList},
        {QStringLiteral("interpolate"), choose->Regression()->InterpolateCheckBox},
        {QStringLiteral("force X"), choose->Regression()->ForceXField},
        {QStringLiteral("Fisher"), choose->TwoByTwo()->FisherRadio},
    };
    QWidget* target = controls.at(control);
    QVERIFY2(target->isVisible(), qPrintable(control));
    Focus(target);
    TStepKeySpy spy;
    Form().installEventFilter(&spy);
    Press(forward ? Qt::Key_F10 : Qt::Key_F9, Qt::ShiftModifier);
    Form().removeEventFilter(&spy);
    QCOMPARE(Form().Step(), to);
    QCOMPARE(spy.Seen, 0);
  }

  // The grids hand plain F10 and F9 to the main window, once, and what is
  // being typed in a cell is kept.
  void GridsPassF10AndF9ToTheWindow() {
    ChooseFormat(TDataFormat::Raw);
    Press(Qt::Key_F10);
    QCOMPARE(Form().Step(), TStep::DataEntry);
    auto* entry = PageOf<TDataEntryPage>(TStep::DataEntry);
    Focus(entry->RawDataGrid);
    // The first key opens the cell's editor, which takes the next.
    QTest::keyClick(QApplication::focusWidget(), '4');
    QTest::keyClick(QApplication::focusWidget(), '2');
    Press(Qt::Key_F10);
    QCOMPARE(Form().Step(), TStep::ColumnStats);
    QCOMPARE(Document().Table.GetValue(0, 0), TReal(42));
    auto* summary = PageOf<TSummaryPage>(TStep::ColumnStats);
    Focus(summary->StatDataGrid);
    Press(Qt::Key_F9);
    QCOMPARE(Form().Step(), TStep::DataEntry);
    Focus(entry->RawDataGrid);
    Press(Qt::Key_F9);
    QCOMPARE(Form().Step(), TStep::DataFormat);
  }
};

QTEST_MAIN(StepKeysTest)
#include "StepKeysTest.moc"
