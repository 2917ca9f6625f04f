#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/choose/MultiColumnChoices.h"
#include "gui/document/choose/MultipleRegressionChoices.h"
#include "gui/document/choose/RegressionChoices.h"
#include "gui/document/choose/TwoByTwoChoices.h"
#include "gui/document/DataFormatPage.h"
#include "gui/entry/SelectForms.h"
#include "core/report/ReportLines.h"
#include "core/shell/ShellRules.h"

using namespace ombrel;

namespace {

// The group box a control sits in, for its question caption.
QString GroupTitleOf(const QWidget* control) {
  for (const QWidget* parent = control->parentWidget(); parent != nullptr; parent = parent->parentWidget())
    if (const auto* group = qobject_cast<const QGroupBox*>(parent)) return group->title();
  return {};
}

QStringList ItemTexts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  return texts;
}

QStringList CheckedTexts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked) texts << list->item(i)->text();
  return texts;
}

}  // namespace

// The choose-test pages of XY data, the 2x2 table and multiple regression,
// driven through their widgets; every expectation is the behaviour the
// user sees on those pages.
class ChoosePagesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;

  TDocument& Document() const { return mForm->Document(); }
  TTestChoices& Choices() const { return mForm->Document().Choices; }
  TChooseTestPage* Page() const { return qobject_cast<TChooseTestPage*>(mForm->Page(TStep::ChooseTest)); }

  // The document in `format` with data in `columns`, on step 3; the panel
  // of questions, if it is the one shown.
  template <class TPanel>
  TPanel* Enter(TDataFormat format, std::initializer_list<int> columns) {
    if (!Document().ChooseFormat(format)) return nullptr;
    Fill(Document(), columns);
    if (format == TDataFormat::TwoByTwo) {
      TTwoByTwoTable& counts = Document().TwoByTwo;
      counts.A = 3;
      counts.B = 5;
      counts.C = 7;
      counts.D = 2;
    }
    mForm->GoToStep(TStep::ChooseTest);
    auto* panel = Page()->findChild<TPanel*>();
    return panel != nullptr && panel->isVisible() ? panel : nullptr;
  }

  // The report the results step shows now.
  QString ReportNow() {
    mForm->GoToStep(TStep::Results);
    return QString::fromLatin1(PlainReportText(Document().Report).c_str());
  }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mHost = std::make_unique<TTestHost>();
    mForm = std::make_unique<Analyze>(*mHost, std::make_unique<TDocument>());
    mForm->resize(900, 760);
    mForm->show();
    QApplication::setActiveWindow(mForm.get());
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
    mForm->GoToStep(TStep::DataFormat);
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
  }

  // ------------------------------------------------------------ XY data

  void RegressionPageShowsItsQuestions() {
    auto* page = Enter<TRegressionChoices>(TDataFormat::XY, {0, 1});
    QVERIFY(page != nullptr);
    QCOMPARE(Page()->ShownTestPage(), TTestPage::Regression);
    const QList<QPair<QAbstractButton*, QString>> captions = {
        {page->LinearRegressionRadio, QStringLiteral("Linear regression.")},
        {page->ForceThroughRadio, QStringLiteral("Linear regression. Force through")},
        {page->PearsonRadio, QStringLiteral("Correlation (Pearson r). Assume Gaussian distributions.")},
        {page->SpearmanRadio, QStringLiteral("Nonparametric correlation (Spearman r). No Gaussian assumptions.")},
        {page->RunsTestYesRadio, QStringLiteral("Yes. Perform runs test.")},
        {page->RunsTestNoRadio, QStringLiteral("No.")},
        {page->InterpolateCheckBox, QStringLiteral("Interpolate unknowns from the standard curve.")},
        {page->UnknownsHelpButton, QStringLiteral("Where do I enter the unknowns?")},
    };
    for (const auto& [control, caption] : captions) QCOMPARE(control->text(), caption);
    QCOMPARE(GroupTitleOf(page->LinearRegressionRadio), QStringLiteral("1. Which test?"));
    QCOMPARE(GroupTitleOf(page->RunsTestYesRadio), QStringLiteral("2. Test for departure from linearity?"));
    QCOMPARE(GroupTitleOf(page->InterpolateCheckBox), QStringLiteral("3. Read unknowns from standard curve?"));
    // The fields sit behind their labels "X=" and "Y=".
    const QList<QLabel*> labels = page->ForceXField->parentWidget()->findChildren<QLabel*>();
    QStringList labelTexts;
    for (const QLabel* label : labels) labelTexts << label->text();
    QVERIFY(labelTexts.contains(QStringLiteral("X=")));
    QVERIFY(labelTexts.contains(QStringLiteral("Y=")));
    // A new document: linear regression, no runs test, interpolation on.
    QVERIFY(page->LinearRegressionRadio->isChecked());
    QVERIFY(page->RunsTestNoRadio->isChecked());
    QVERIFY(page->InterpolateCheckBox->isChecked());
  }

  void RegressionRadiosSetTheChoices_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("isRegression");
    QTest::addColumn<TRegressionKind>("kind");
    QTest::addColumn<int>("forceThrough");
    QTest::newRow("linear") << "linear" << 1 << TRegressionKind::Linear << 0;
    QTest::newRow("forced") << "forced" << 1 << TRegressionKind::Linear << 1;
    QTest::newRow("Pearson") << "pearson" << 0 << TRegressionKind::Pearson << 0;
    QTest::newRow("Spearman") << "spearman" << 0 << TRegressionKind::Spearman << 0;
  }
  void RegressionRadiosSetTheChoices() {
    QFETCH(QString, radio);
    QFETCH(int, isRegression);
    QFETCH(TRegressionKind, kind);
    QFETCH(int, forceThrough);
    auto* page = Enter<TRegressionChoices>(TDataFormat::XY, {0, 1});
    QVERIFY(page != nullptr);
    // Start from another answer so that each click changes something.
    (radio == QLatin1String("spearman") ? page->PearsonRadio : page->SpearmanRadio)->click();
    const std::map<QString, QRadioButton*> radios = {{QStringLiteral("linear"), page->LinearRegressionRadio},
                                                     {QStringLiteral("forced"), page->ForceThroughRadio},
                                                     {QStringLiteral("pearson"), page->PearsonRadio},
                                                     {QStringLiteral("spearman"), page->SpearmanRadio}};
    Document().ResultsStale = false;
    radios.at(radio)->click();
    QVERIFY(Document().ResultsStale);
    QCOMPARE(int(Choices().IsRegression), isRegression);
    QCOMPARE(Choices().RegressionKind, kind);
    QCOMPARE(int(Choices().ForceThrough), forceThrough);
    // The runs test and the interpolation belong to regression only.
    const bool regression = isRegression != 0;
    QCOMPARE(page->RunsTestYesRadio->isEnabled(), regression);
    QCOMPARE(page->RunsTestNoRadio->isEnabled(), regression);
    QCOMPARE(page->InterpolateCheckBox->isEnabled(), regression);
    // Leaving and entering again shows the same answer.
    mForm->GoToStep(TStep::DataEntry);
    mForm->GoToStep(TStep::ChooseTest);
    QVERIFY(radios.at(radio)->isChecked());
  }

  void ForceFieldsChooseTheForcedLineAndKeepWhatIsTyped() {
    auto* page = Enter<TRegressionChoices>(TDataFormat::XY, {0, 1});
    QVERIFY(page != nullptr);
    QCOMPARE(int(Choices().ForceThrough), 0);
    // Clicking into either field chooses the forced line.
    QTest::mouseClick(page->ForceYField, Qt::LeftButton);
    QTRY_VERIFY(page->ForceYField->hasFocus());
    QVERIFY(page->ForceThroughRadio->isChecked());
    QCOMPARE(int(Choices().ForceThrough), 1);
    QCOMPARE(int(Choices().IsRegression), 1);
    page->ForceYField->selectAll();
    QTest::keyClicks(page->ForceYField, QStringLiteral("-1.25"));
    QTest::mouseClick(page->ForceXField, Qt::LeftButton);
    QTRY_VERIFY(page->ForceXField->hasFocus());
    QCOMPARE(Choices().ForceY, TReal(-1.25));
    // Ten characters at most (which leaves room for nine decimals at most).
    page->ForceXField->selectAll();
    QTest::keyClicks(page->ForceXField, QStringLiteral("0.1234567891"));
    QCOMPARE(page->ForceXField->text(), QStringLiteral("0.12345678"));
    page->ForceXField->selectAll();
    QTest::keyClicks(page->ForceXField, QStringLiteral("2.5"));
    page->RunsTestNoRadio->setFocus();
    QTRY_COMPARE(Choices().ForceX, TReal(2.5));
    QVERIFY(Document().ResultsStale);

    // Choosing the plain line keeps the typed point for later.
    page->LinearRegressionRadio->click();
    QCOMPARE(int(Choices().ForceThrough), 0);
    QCOMPARE(Choices().ForceX, TReal(2.5));
    mForm->GoToStep(TStep::DataEntry);
    mForm->GoToStep(TStep::ChooseTest);
    QCOMPARE(page->ForceXField->text(), QStringLiteral("2.5"));
    QCOMPARE(page->ForceYField->text(), QStringLiteral("-1.25"));
  }

  void RunsTestAndInterpolationAnswersReachTheReport() {
    auto* page = Enter<TRegressionChoices>(TDataFormat::XY, {});
    QVERIFY(page != nullptr);
    // A scattered standard curve, and two unknowns: X values without a Y.
    const std::array<std::pair<TReal, TReal>, 7> points = {
        {{1, 2.3L}, {2, 3.9L}, {3, 6.4L}, {4, 7.7L}, {5, 10.6L}, {6, 11.8L}, {7, 14.5L}}};
    for (std::size_t i = 0; i < points.size(); ++i) {
      StoreCell(Document().Table, int(i), 0, points[i].first);
      StoreCell(Document().Table, int(i), 1, points[i].second);
    }
    StoreCell(Document().Table, 7, 0, 2.5L);
    StoreCell(Document().Table, 8, 0, 4.5L);
    Document().MarkChanged();
    const QString plain = ReportNow();
    QVERIFY2(plain.contains(QStringLiteral("Standard Curve Calculations")), qPrintable(plain));
    QVERIFY(!plain.contains(QStringLiteral("Runs test")));

    mForm->GoToStep(TStep::ChooseTest);
    page->RunsTestYesRadio->click();
    QCOMPARE(int(Choices().RunsTest), 1);
    page->InterpolateCheckBox->click();
    QCOMPARE(int(Choices().InterpolateUnknowns), 0);
    const QString changed = ReportNow();
    QVERIFY2(changed.contains(QStringLiteral("Runs test: Do the number of runs indicate a linear model?")),
             qPrintable(changed));
    QVERIFY(!changed.contains(QStringLiteral("Standard Curve Calculations")));

    mForm->GoToStep(TStep::ChooseTest);
    page->RunsTestNoRadio->click();
    QCOMPARE(int(Choices().RunsTest), 0);
    page->InterpolateCheckBox->click();
    QCOMPARE(int(Choices().InterpolateUnknowns), 1);
    QCOMPARE(ReportNow(), plain);
  }

  void UnknownsHelpButtonOpensItsTopic() {
    auto* page = Enter<TRegressionChoices>(TDataFormat::XY, {0, 1});
    QVERIFY(page != nullptr);
    QTest::mouseClick(page->UnknownsHelpButton, Qt::LeftButton);
    QCOMPARE(mHost->HelpTopics, QList<int>{202});
  }

  void SelectDialogsAreFixedAndOpenTheirHelp_data() {
    QTest::addColumn<bool>("pairs");
    QTest::addColumn<int>("topic");
    QTest::newRow("Select Columns") << false << int(HelpTopicSelectColumns);
    QTest::newRow("Select Pairs") << true << int(HelpTopicSelectPairs);
  }
  void SelectDialogsAreFixedAndOpenTheirHelp() {
    QFETCH(bool, pairs);
    QFETCH(int, topic);
    auto* page = Enter<TMultiColumnChoices>(TDataFormat::Raw, {0, 1, 2});
    QVERIFY(page != nullptr);
    if (pairs) {
      page->PostTestComboBox->setCurrentIndex(1);
      emit page->PostTestComboBox->activated(1);
    }
    bool fixedSize = false;
    mHost->Questions.Dialog = PressHelpThenCancel(fixedSize);
    QTest::mouseClick(pairs ? page->SelectPairsButton : page->SelectColumnsButton, Qt::LeftButton);
    QCOMPARE(mHost->HelpTopics, QList<int>{topic});
    QVERIFY(fixedSize);
  }

  // ------------------------------------------------------------ post-test pairs

  void SelectedPairsAreChosenInTheirDialog() {
    Document().Table.Summary(0).Title = "Low";
    Document().Table.Summary(1).Title = "Mid";
    Document().Table.Summary(2).Title = "High";
    auto* page = Enter<TMultiColumnChoices>(TDataFormat::Raw, {0, 1, 2});
    QVERIFY(page != nullptr);
    QCOMPARE(Page()->ShownTestPage(), TTestPage::MultiColumn);
    QVERIFY(page->SelectPairsButton->isHidden());
    page->PostTestComboBox->setCurrentIndex(1);
    emit page->PostTestComboBox->activated(1);
    QCOMPARE(page->PostTestComboBox->currentText(), QStringLiteral("Bonferroni: Compare selected pairs of columns."));
    QCOMPARE(Choices().PairSet, TPairSet::SelectedPairs);
    QVERIFY(!page->SelectPairsButton->isHidden());
    QVERIFY(page->SelectPairsButton->isEnabled());
    QCOMPARE(page->SelectPairsButton->text(), QStringLiteral("Select pairs..."));

    QStringList listed;
    int shown = 0;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      ++shown;
      auto* pairs = qobject_cast<TSelectColPairsForm*>(&dialog);
      if (pairs == nullptr) return int(QDialog::Rejected);
      listed = ItemTexts(pairs->PairList);
      // Nothing checked is refused and the dialog stays.
      QTest::mouseClick(pairs->SelectNoneButton, Qt::LeftButton);
      pairs->accept();
      if (pairs->result() == QDialog::Accepted) return int(QDialog::Accepted);
      QTest::mouseClick(pairs->SelectAllButton, Qt::LeftButton);
      pairs->PairList->item(0)->setCheckState(Qt::Unchecked);
      pairs->PairList->item(1)->setCheckState(Qt::Unchecked);
      pairs->accept();
      return pairs->result();
    };
    Document().ResultsStale = false;
    QTest::mouseClick(page->SelectPairsButton, Qt::LeftButton);
    QCOMPARE(shown, 1);
    QCOMPARE(listed, (QStringList{QStringLiteral("A:Low-B:Mid"), QStringLiteral("A:Low-C:High"),
                                  QStringLiteral("B:Mid-C:High")}));
    QCOMPARE(mHost->Questions.Shown, QStringList{QStringLiteral("At least one column pair must be selected.")});
    QVERIFY(Document().ResultsStale);
    QCOMPARE(int(Choices().PairSelected[0]), 0);
    QCOMPARE(int(Choices().PairSelected[1]), 0);
    QCOMPARE(int(Choices().PairSelected[2]), 1);
    // Past the listed pairs the flags are cleared.
    QCOMPARE(int(Choices().PairSelected[3]), 0);
    QCOMPARE(int(Choices().PairSelected[350]), 0);
    const QString report = ReportNow();
    QVERIFY2(report.contains(QStringLiteral("Bonferroni Multiple Comparisons Test")), qPrintable(report));
  }

  // ------------------------------------------------------------ 2x2 table

  void TwoByTwoPageShowsItsQuestions() {
    auto* page = Enter<TTwoByTwoChoices>(TDataFormat::TwoByTwo, {});
    QVERIFY(page != nullptr);
    QCOMPARE(Page()->ShownTestPage(), TTestPage::TwoByTwo);
    // A new document: Fisher, Yates (disabled with Fisher), two-sided, and
    // the relative risk.
    QVERIFY(page->FisherRadio->isChecked());
    QVERIFY(page->YatesYesRadio->isChecked());
    QVERIFY(!page->YatesYesRadio->isEnabled());
    QVERIFY(!page->YatesNoRadio->isEnabled());
    QVERIFY(page->TwoSidedRadio->isChecked());
    QVERIFY(page->RelativeRiskRadio->isChecked());
  }

  void TwoByTwoTestAndYatesAnswers() {
    auto* page = Enter<TTwoByTwoChoices>(TDataFormat::TwoByTwo, {});
    QVERIFY(page != nullptr);
    page->ChiSquareRadio->click();
    QCOMPARE(Choices().UseChiSquare, TTwoByTwoTest::ChiSquare);
    QVERIFY(page->YatesYesRadio->isEnabled());
    QVERIFY(page->YatesNoRadio->isEnabled());
    page->YatesNoRadio->click();
    QCOMPARE(int(Choices().Yates), 0);
    page->OneSidedRadio->click();
    QCOMPARE(int(Choices().TwoByTwoTwoSided), 0);
    const QString chiSquare = ReportNow();
    QVERIFY2(chiSquare.contains(QStringLiteral("Chi-square Test")), qPrintable(chiSquare));
    QVERIFY2(chiSquare.contains(QStringLiteral("(no Yates correction)")), qPrintable(chiSquare));

    mForm->GoToStep(TStep::ChooseTest);
    page->FisherRadio->click();
    QCOMPARE(Choices().UseChiSquare, TTwoByTwoTest::Fisher);
    // Yates keeps its answer while it cannot be changed.
    QVERIFY(!page->YatesNoRadio->isEnabled());
    QVERIFY(page->YatesNoRadio->isChecked());
    page->TwoSidedRadio->click();
    QCOMPARE(int(Choices().TwoByTwoTwoSided), 1);
    const QString fisher = ReportNow();
    QVERIFY2(fisher.contains(QStringLiteral("Fisher's Exact Test")), qPrintable(fisher));
  }

  void AlsoCalculateSetsItsFlags_data() {
    QTest::addColumn<int>("answer");  // 0 odds ratio, 1 relative risk, 2 sensitivity
    QTest::addColumn<int>("relativeRisk");
    QTest::addColumn<int>("oddsRatio");
    QTest::addColumn<int>("riskDifference");
    QTest::addColumn<int>("sensitivity");
    QTest::newRow("odds ratio") << 0 << 0 << 1 << 0 << 0;
    QTest::newRow("relative risk") << 1 << 1 << 0 << 1 << 0;
    QTest::newRow("sensitivity") << 2 << 0 << 0 << 0 << 1;
  }
  void AlsoCalculateSetsItsFlags() {
    QFETCH(int, answer);
    QFETCH(int, relativeRisk);
    QFETCH(int, oddsRatio);
    QFETCH(int, riskDifference);
    QFETCH(int, sensitivity);
    auto* page = Enter<TTwoByTwoChoices>(TDataFormat::TwoByTwo, {});
    QVERIFY(page != nullptr);
    const std::array<QRadioButton*, 3> radios = {page->OddsRatioRadio, page->RelativeRiskRadio, page->SensitivityRadio};
    // Every answer can be chosen whatever the test.
    for (const bool chiSquare : {false, true}) {
      (chiSquare ? page->ChiSquareRadio : page->FisherRadio)->click();
      for (QRadioButton* radio : radios) QVERIFY(radio->isEnabled());
    }
    // From another answer, so that the flags really change.
    radios[std::size_t(answer == 2 ? 0 : 2)]->click();
    radios[std::size_t(answer)]->click();
    QCOMPARE(int(Choices().ReportRelativeRisk), relativeRisk);
    QCOMPARE(int(Choices().ReportOddsRatio), oddsRatio);
    QCOMPARE(int(Choices().ReportRiskDifference), riskDifference);
    QCOMPARE(int(Choices().ReportSensitivity), sensitivity);
    mForm->GoToStep(TStep::DataEntry);
    mForm->GoToStep(TStep::ChooseTest);
    for (std::size_t i = 0; i < radios.size(); ++i) QCOMPARE(radios[i]->isChecked(), int(i) == answer);
  }

  void AlsoCalculateShownFromStoredFlags_data() {
    QTest::addColumn<int>("oddsRatio");
    QTest::addColumn<int>("riskDifference");
    QTest::addColumn<int>("shown");  // 0 odds ratio, 1 relative risk, 2 sensitivity
    // The odds ratio wins, then the risk difference; sensitivity otherwise.
    QTest::newRow("odds ratio and risk difference") << 1 << 1 << 0;
    QTest::newRow("risk difference") << 0 << 1 << 1;
    QTest::newRow("neither") << 0 << 0 << 2;
  }
  void AlsoCalculateShownFromStoredFlags() {
    QFETCH(int, oddsRatio);
    QFETCH(int, riskDifference);
    QFETCH(int, shown);
    Choices().ReportOddsRatio = std::uint8_t(oddsRatio);
    Choices().ReportRiskDifference = std::uint8_t(riskDifference);
    Choices().ReportRelativeRisk = 0;
    Choices().ReportSensitivity = 0;
    auto* page = Enter<TTwoByTwoChoices>(TDataFormat::TwoByTwo, {});
    QVERIFY(page != nullptr);
    QCOMPARE(page->OddsRatioRadio->isChecked(), shown == 0);
    QCOMPARE(page->RelativeRiskRadio->isChecked(), shown == 1);
    QCOMPARE(page->SensitivityRadio->isChecked(), shown == 2);
  }

  // ------------------------------------------------------------ multiple regression

  void MultipleRegressionPageListsTheVariables() {
    Document().Table.Summary(0).Title = "Age";
    Document().Table.Summary(1).Title = "Weight";
    Document().Table.Summary(3).Title = "BP";
    auto* page = Enter<TMultipleRegressionChoices>(TDataFormat::MultipleRegression, {0, 1, 3});
    QVERIFY(page != nullptr);
    QCOMPARE(Page()->ShownTestPage(), TTestPage::MultipleRegression);
    QCOMPARE(page->MultipleRegressionRadio->text(), QStringLiteral("&Multiple Regression"));
    QCOMPARE(page->CorrelationMatrixRadio->text(),
             QStringLiteral("&Correlation matrix (compute r for every pair of variables)"));
    QCOMPARE(GroupTitleOf(page->MultipleRegressionRadio), QStringLiteral("1. Which analysis?"));
    QCOMPARE(GroupTitleOf(page->DependentList), QStringLiteral("2. Select variables"));
    QCOMPARE(page->SelectAllXButton->text(), QStringLiteral("Select &All"));
    QCOMPARE(page->DeselectAllXButton->text(), QStringLiteral("Deselect All"));
    QVERIFY(page->MultipleRegressionRadio->isChecked());

    // The outcome: every raw column, the first chosen.
    QCOMPARE(ItemTexts(page->DependentList),
             (QStringList{QStringLiteral("A: Age"), QStringLiteral("B: Weight"), QStringLiteral("D: BP")}));
    QCOMPARE(page->DependentList->currentRow(), 0);
    QCOMPARE(Choices().DependentColumn, 0);
    QVERIFY(page->DependentList->isEnabled());
    // The X variables: the others, all checked in a new document.
    QCOMPARE(page->IndependentLabel->text(),
             QStringLiteral("Check variables you want to test for their effect on the outcome: Select one or more "
                            "independent (X) variables:"));
    QCOMPARE(ItemTexts(page->IndependentList), (QStringList{QStringLiteral("B: Weight"), QStringLiteral("D: BP")}));
    QCOMPARE(CheckedTexts(page->IndependentList), ItemTexts(page->IndependentList));
    QCOMPARE(int(Choices().IndependentSelected[0]), 0);

    // Another outcome: it leaves the X list, unchecked for later.
    page->DependentList->setCurrentRow(2);
    QCOMPARE(Choices().DependentColumn, 3);
    QCOMPARE(int(Choices().IndependentSelected[3]), 0);
    QCOMPARE(ItemTexts(page->IndependentList), (QStringList{QStringLiteral("A: Age"), QStringLiteral("B: Weight")}));
  }

  void CorrelationMatrixListsEveryVariable() {
    auto* page = Enter<TMultipleRegressionChoices>(TDataFormat::MultipleRegression, {0, 1, 2});
    QVERIFY(page != nullptr);
    QCOMPARE(ItemTexts(page->IndependentList).size(), 2);
    Document().ResultsStale = false;
    page->CorrelationMatrixRadio->click();
    QVERIFY(Document().ResultsStale);
    QCOMPARE(int(Choices().MultipleRegression), 0);
    QVERIFY(!page->DependentList->isEnabled());
    QCOMPARE(page->IndependentLabel->text(), QStringLiteral("Check the variables you want to include:"));
    QCOMPARE(ItemTexts(page->IndependentList),
             (QStringList{QStringLiteral("A: "), QStringLiteral("B: "), QStringLiteral("C: ")}));
    // The outcome was unchecked when it became the outcome.
    QCOMPARE(CheckedTexts(page->IndependentList), (QStringList{QStringLiteral("B: "), QStringLiteral("C: ")}));
    const QString matrix = ReportNow();
    QVERIFY2(matrix.contains(QStringLiteral("Correlation Matrix Results")), qPrintable(matrix));

    mForm->GoToStep(TStep::ChooseTest);
    page->MultipleRegressionRadio->click();
    QCOMPARE(int(Choices().MultipleRegression), 1);
    QVERIFY(page->DependentList->isEnabled());
    QCOMPARE(ItemTexts(page->IndependentList), (QStringList{QStringLiteral("B: "), QStringLiteral("C: ")}));
  }

  void VariableListsNeedEnoughColumns_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<bool>("outcomeEnabled");
    QTest::addColumn<bool>("xEnabled");
    QTest::newRow("regression, one column") << 1 << false << false << false;
    QTest::newRow("regression, two columns") << 2 << false << true << true;
    QTest::newRow("matrix, one column") << 1 << true << false << true;
    QTest::newRow("matrix, two columns") << 2 << true << false << true;
  }
  void VariableListsNeedEnoughColumns() {
    QFETCH(int, columns);
    QFETCH(bool, matrix);
    QFETCH(bool, outcomeEnabled);
    QFETCH(bool, xEnabled);
    Choices().MultipleRegression = matrix ? 0 : 1;
    auto* page = columns == 1 ? Enter<TMultipleRegressionChoices>(TDataFormat::MultipleRegression, {0})
                              : Enter<TMultipleRegressionChoices>(TDataFormat::MultipleRegression, {0, 1});
    QVERIFY(page != nullptr);
    QCOMPARE(page->DependentList->isEnabled(), outcomeEnabled);
    QCOMPARE(page->IndependentList->isEnabled(), xEnabled);
    QCOMPARE(page->SelectAllXButton->isEnabled(), xEnabled);
    QCOMPARE(page->DeselectAllXButton->isEnabled(), xEnabled);
  }

  void XVariablesAreCheckedOneByOneOrAllAtOnce() {
    auto* page = Enter<TMultipleRegressionChoices>(TDataFormat::MultipleRegression, {});
    QVERIFY(page != nullptr);
    // Y in A; X variables in B, C and E that are not collinear.
    const std::array<std::array<TReal, 4>, 8> rows = {{{120, 40, 70, 3},
                                                       {125, 45, 72, 1},
                                                       {131, 52, 80, 4},
                                                       {118, 38, 65, 1},
                                                       {140, 61, 90, 5},
                                                       {135, 57, 85, 9},
                                                       {128, 49, 76, 2},
                                                       {122, 43, 70, 6}}};
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t v = 0; v < 4; ++v) StoreCell(Document().Table, int(r), v == 3 ? 4 : int(v), rows[r][v]);
    Document().MarkChanged();
    mForm->GoToStep(TStep::ChooseTest);
    QCOMPARE(ItemTexts(page->IndependentList),
             (QStringList{QStringLiteral("B: "), QStringLiteral("C: "), QStringLiteral("E: ")}));
    // Toggling an entry (the space key, as a click on its box) stores it.
    page->IndependentList->setFocus();
    page->IndependentList->setCurrentRow(1);
    Document().ResultsStale = false;
    QTest::keyClick(page->IndependentList, Qt::Key_Space);
    QCOMPARE(page->IndependentList->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(int(Choices().IndependentSelected[2]), 0);
    QVERIFY(Document().ResultsStale);

    QTest::mouseClick(page->DeselectAllXButton, Qt::LeftButton);
    QVERIFY(CheckedTexts(page->IndependentList).isEmpty());
    for (const std::size_t c : {1u, 2u, 4u}) QCOMPARE(int(Choices().IndependentSelected[c]), 0);
    QTest::mouseClick(page->SelectAllXButton, Qt::LeftButton);
    QCOMPARE(CheckedTexts(page->IndependentList), ItemTexts(page->IndependentList));
    for (const std::size_t c : {1u, 2u, 4u}) QCOMPARE(int(Choices().IndependentSelected[c]), 1);
    // The outcome stays out of the model.
    QCOMPARE(int(Choices().IndependentSelected[0]), 0);

    // The checked variables are the ones the report uses.
    page->IndependentList->item(1)->setCheckState(Qt::Unchecked);
    const QString withoutC = ReportNow();
    mForm->GoToStep(TStep::ChooseTest);
    page->IndependentList->item(1)->setCheckState(Qt::Checked);
    const QString withC = ReportNow();
    QVERIFY2(withC.contains(QStringLiteral("Multiple Regression Results")), qPrintable(withC));
    QVERIFY(withoutC != withC);
  }
};

QTEST_MAIN(ChoosePagesTest)
#include "ChoosePagesTest.moc"
