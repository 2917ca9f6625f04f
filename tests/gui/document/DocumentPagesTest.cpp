#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "gui/document/Analyze.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/choose/MultiColumnChoices.h"
#include "gui/document/choose/OneColumnChoices.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/DataFormatPage.h"
#include "gui/document/ResultsPage.h"
#include "core/document/DocumentAnalysis.h"
#include "core/document/DocumentFile.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/entry/SpreadGrid.h"
#include "core/report/ReportLines.h"
#include "gui/report/ResultsViewer.h"

using namespace ombrel;

// Drives the pages of a document window through their real widgets.
class DocumentPagesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;

  template <typename T>
  T* PageOf(TStep step) const {
    return qobject_cast<T*>(mForm->Page(step));
  }
  TDocument& Document() const { return mForm->Document(); }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mHost = std::make_unique<TTestHost>();
    mForm = ShowDocumentWindow(*mHost, std::make_unique<TDocument>());
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
    mForm->GoToStep(TStep::DataFormat);
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
  }

  void NextStepFollowsTheReachableSteps_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("larger table: step 1 to 4") << int(TDataFormat::LargerTable) << 1 << 4;
    QTest::newRow("mean/SD/N: step 0 to 2") << int(TDataFormat::MeanSdN) << 0 << 2;
    QTest::newRow("mean/SEM/N: step 0 to 2") << int(TDataFormat::MeanSemN) << 0 << 2;
    QTest::newRow("2x2: step 1 to 3") << int(TDataFormat::TwoByTwo) << 1 << 3;
    QTest::newRow("XY: step 1 to 3") << int(TDataFormat::XY) << 1 << 3;
    QTest::newRow("raw: step 1 to 2") << int(TDataFormat::Raw) << 1 << 2;
  }
  void NextStepFollowsTheReachableSteps() {
    QFETCH(int, format);
    QFETCH(int, from);
    QFETCH(int, to);
    auto* formatPage = PageOf<TDataFormatPage>(TStep::DataFormat);
    QVERIFY(formatPage != nullptr);
    const auto chosen = static_cast<TDataFormat>(format);
    formatPage->FamilyRadio(FamilyOfFormat(chosen))->click();
    formatPage->FormatRadio(chosen)->click();
    QCOMPARE(Document().Format, chosen);
    if (from == 1) mForm->GoToStep(TStep::DataEntry);
    QCOMPARE(int(mForm->Step()), from);
    mHost->RequestNextStep(*mForm);
    QCOMPARE(int(mForm->Step()), to);
  }

  void DataFormatPageShowsTheFamilyAndDisablesAveragedFormatsWithData() {
    auto* page = PageOf<TDataFormatPage>(TStep::DataFormat);
    QCOMPARE(page->HeadingLabel->text(), QStringLiteral("First step: What kind of data do you wish to enter?"));
    page->FamilyRadio(TTestFamily::Contingency)->click();
    QCOMPARE(Document().Format, TDataFormat::TwoByTwo);
    QCOMPARE(page->ExampleLine1->text(), QStringLiteral("Compare numbers of pregnant and nonpregnant"));
    QVERIFY(!page->FormatRadio(TDataFormat::Raw)->isEnabled());
    QVERIFY(page->TestListLabel->text().contains(QStringLiteral("Fisher's exact test")));
    page->FamilyRadio(TTestFamily::CompareMeans)->click();
    QVERIFY(page->FormatRadio(TDataFormat::MeanSdN)->isEnabled());
    Fill(Document(), {0});
    mForm->GoToStep(TStep::DataFormat);
    QVERIFY(!page->FormatRadio(TDataFormat::MeanSdN)->isEnabled());
    QVERIFY(page->FormatRadio(TDataFormat::Raw)->isChecked());
    // The arrow's label goes on like the arrow.
    QTest::mouseClick(page->NextStepLabel, Qt::LeftButton);
    QCOMPARE(mForm->Step(), TStep::DataEntry);
  }

  // Computing summaries, the choose-test state and the report is not a
  // change by the user: a document just opened closes without a question.
  void ViewingResultsLeavesAnOpenedDocumentUnmodified_data() {
    QTest::addColumn<QString>("example");
    for (const char* name : {"paired-t", "standard-curve", "two-by-two"}) QTest::newRow(name) << QString(name);
  }
  void ViewingResultsLeavesAnOpenedDocumentUnmodified() {
    QFETCH(QString, example);
    const QString path = QStringLiteral(OMBREL_EXAMPLES_DIR "/%1.omd").arg(example);
    auto document = std::make_unique<TDocument>();
    QCOMPARE(int(OpenDocumentFile(path.toStdString(), *document).Result), int(TFileResult::Ok));
    auto host = std::make_unique<TTestHost>();
    auto form = ShowDocumentWindow(*host, std::move(document));
    form->SetFileName(path);
    for (TStep step : {TStep::ColumnStats, TStep::ChooseTest, TStep::Results, TStep::Graph}) form->GoToStep(step);
    QVERIFY(!form->Document().ResultsStale);
    QVERIFY(!form->HasUnsavedChanges());
    form->Document().Table.SetTitle("Changed by the user");
    QVERIFY(form->HasUnsavedChanges());
    form->CloseWithoutAsking();
  }

  void TypedDataGivesTheCoreReport() {
    mForm->GoToStep(TStep::DataEntry);
    auto* entry = PageOf<TDataEntryPage>(TStep::DataEntry);
    entry->RawDataGrid->setFocus();
    QTRY_VERIFY(entry->RawDataGrid->hasFocus());
    for (const char* value : {"4.5", "5.25", "6", "3.75", "5"}) {
      for (const char* c = value; *c != '\0'; ++c) QTest::keyClick(QApplication::focusWidget(), *c);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    // The last value is still being typed when the step changes.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
    mForm->GoToStep(TStep::ChooseTest);
    QCOMPARE(Document().Table.GetValue(5, 0), TReal(7));
    QVERIFY(mHost->StateChanges > 0);

    // The same document computed by the core alone.
    TDocument expected = Document();
    TSilentCalcProgress silent;
    RunAnalysis(expected, silent);

    mForm->GoToStep(TStep::Results);
    auto* results = PageOf<TResultsPage>(TStep::Results);
    const QString want = ShownReportText(expected.Report);
    QCOMPARE(WithoutTimeLine(results->ResultsViewer1->PlainText()), want);
    QVERIFY(want.contains(QStringLiteral("One sample t test")));
    QCOMPARE(results->ComputationCount(), 1);

    // Entering the results again without a change computes nothing.
    mForm->GoToStep(TStep::ChooseTest);
    mForm->GoToStep(TStep::Results);
    QCOMPARE(results->ComputationCount(), 1);

    // Copy without a selection copies every line without markers.
    QVERIFY(Document().Report.Text().find(BoldMarker) != std::string::npos);
    results->RunCommand(TCommand::Copy);
    QCOMPARE(QApplication::clipboard()->text(), want);
    QVERIFY(!results->ResultsViewer1->textCursor().hasSelection());
  }

  void WilcoxonRenamesTheHypotheticalRadios() {
    Fill(Document(), {0});
    mForm->GoToStep(TStep::ChooseTest);
    auto* choose = PageOf<TChooseTestPage>(TStep::ChooseTest);
    auto* page = choose->OneColumn();
    QCOMPARE(choose->ShownTestPage(), TTestPage::OneColumn);
    QCOMPARE(page->HypotheticalMeanRadios[0]->text(), QStringLiteral("Hypothetical mean=0.0."));
    page->WilcoxonRadio->click();
    QCOMPARE(Document().Choices.OneColumnTest, TOneColumnTest::Wilcoxon);
    const QStringList expected = {QStringLiteral("Hypothetical median=0.0."),
                                  QStringLiteral("Hypothetical median=1.0."),
                                  QStringLiteral("Hypothetical median=100."), QStringLiteral("Hypothetical median=")};
    for (int i = 0; i < 4; ++i) QCOMPARE(page->HypotheticalMeanRadios[std::size_t(i)]->text(), expected[i]);
  }

  void TypingOneHundredChecksItsRadio() {
    Fill(Document(), {0});
    mForm->GoToStep(TStep::ChooseTest);
    auto* page = PageOf<TChooseTestPage>(TStep::ChooseTest)->OneColumn();
    page->HypotheticalMeanField->setFocus();
    QTRY_VERIFY(page->HypotheticalMeanField->hasFocus());
    QVERIFY(page->HypotheticalMeanRadios[3]->isChecked());  // clicking into the field
    page->HypotheticalMeanField->selectAll();
    QTest::keyClicks(page->HypotheticalMeanField, QStringLiteral("100"));
    page->OneColumnTwoTailRadio->setFocus();
    QTRY_VERIFY(page->HypotheticalMeanRadios[2]->isChecked());
    QCOMPARE(page->HypotheticalMeanRadios[2]->text(), QStringLiteral("Hypothetical mean=100."));
    QCOMPARE(Document().Choices.HypotheticalMeanChoice, THypotheticalMeanChoice::Hundred);
    QCOMPARE(Document().Choices.HypotheticalMean, TReal(100));
  }

  void NonparametricListShowsDunnForTukey() {
    Fill(Document(), {0, 1, 2});
    mForm->GoToStep(TStep::ChooseTest);
    auto* choose = PageOf<TChooseTestPage>(TStep::ChooseTest);
    auto* page = choose->MultiColumn();
    QCOMPARE(choose->ShownTestPage(), TTestPage::MultiColumn);
    QCOMPARE(page->PostTestComboBox->currentText(), QStringLiteral("Tukey: Compare all pairs of columns."));
    page->MultiNonparametricRadio->click();
    QCOMPARE(page->PostTestComboBox->currentText(), QStringLiteral("Dunn: Compare all pairs of columns."));
    QCOMPARE(page->MultiColumnTestLabel->text(), QStringLiteral("Kruskal-Wallis test with post-test"));
    // The Dunnett row shows the control column list.
    page->ParametricRadio->click();
    QVERIFY(page->ControlColumnComboBox->isHidden());
    page->PostTestComboBox->setCurrentIndex(5);
    emit page->PostTestComboBox->activated(5);
    QVERIFY(!page->ControlColumnComboBox->isHidden());
    QCOMPARE(Document().Choices.PairSet, TPairSet::AgainstControl);
  }

  void SelectedColumnsAreListedAsRuns() {
    Fill(Document(), {0, 1, 2, 3, 4, 5, 6, 7});
    Document().Table.ColumnSelected.fill(0);
    for (const int c : {0, 1, 3, 4, 5, 7}) Document().Table.ColumnSelected[std::size_t(c)] = 1;
    Document().Choices.AllColumns = 0;
    Document().Choices.LastColumnCount = 8;
    mForm->GoToStep(TStep::ChooseTest);
    auto* page = PageOf<TChooseTestPage>(TStep::ChooseTest)->MultiColumn();
    QCOMPARE(page->MultiColumnSelectedLabel->text(), QStringLiteral("Selected: A&B,D-F,H"));
  }

  void SelectColumnsRefusesAnEmptyChoice() {
    Fill(Document(), {0, 1, 2});
    mForm->GoToStep(TStep::ChooseTest);
    auto* choose = PageOf<TChooseTestPage>(TStep::ChooseTest);
    int shown = 0;
    mHost->Questions.Dialog = [&shown](QDialog& dialog) {
      auto* list = dialog.findChild<QListWidget*>();
      for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(Qt::Unchecked);
      dialog.accept();  // refused: stays open
      ++shown;
      if (dialog.result() == QDialog::Accepted) return int(QDialog::Accepted);
      list->item(1)->setCheckState(Qt::Checked);
      dialog.accept();
      return dialog.result();
    };
    choose->MultiColumn()->SelectColumnsButton->click();
    QCOMPARE(shown, 1);
    QVERIFY(mHost->Questions.Shown.contains(QStringLiteral("At least one column must be selected.")));
    QCOMPARE(choose->ShownTestPage(), TTestPage::OneColumn);
    QCOMPARE(choose->OneColumn()->OneColumnSelectedLabel->text(), QStringLiteral("Selected: B"));
  }

  void AppendToNotesKeepsTheLimit() {
    Document().Report.BeginReport();
    Document().Report.WriteLine("x");
    Document().Report.EndReport();
    Document().Report.FinishReport();
    Document().ResultsStale = false;
    mForm->GoToStep(TStep::Results);
    auto* results = PageOf<TResultsPage>(TStep::Results);
    Document().Notes = std::string(7995, 'n');
    results->AppendToNotes();
    QCOMPARE(Document().Notes.size(), std::size_t(7995));
    QCOMPARE(mHost->Questions.Shown.last(), QStringLiteral("The text is too large to copy to notes."));

    // One selected character counts as no selection: the whole report goes.
    Document().Notes = "note";
    Document().Report.ResetReport();
    Document().Report.BeginReport();
    Document().Report.WriteLine("first");
    Document().Report.WriteLine("second");
    Document().Report.EndReport();
    Document().Report.FinishReport();
    mForm->GoToStep(TStep::Results);
    QTextCursor cursor = results->ResultsViewer1->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    results->ResultsViewer1->setTextCursor(cursor);
    results->AppendToNotes();
    QVERIFY(QString::fromStdString(Document().Notes).startsWith(QStringLiteral("note\r\nfirst\r\nsecond")));
  }

  void CancelGivesTheApproximateAnswer() {
    mForm->GoToStep(TStep::Results);
    auto* results = PageOf<TResultsPage>(TStep::Results);
    TWindowCalcProgress& progress = mForm->Progress();
    bool panelShown = false;
    bool blocked = false;
    QTimer::singleShot(700, this, [&] {
      panelShown = results->StatusPanel->isVisible() && results->StatusPanel->CalcCancelButton->isVisible();
      blocked = mForm->Calculating();
      QTest::mouseClick(results->StatusPanel->CalcCancelButton, Qt::LeftButton);
    });
    // A slow exact computation standing in for an enumeration.
    const TReal approximate = 0.0123L;
    TReal p = 0.5L;
    {
      TCalculationScope scope(progress);
      progress.StartExactProgress(approximate);
      QElapsedTimer clock;
      clock.start();
      TProgressAnswer answer = TProgressAnswer::Continue;
      while (answer == TProgressAnswer::Continue && clock.elapsed() < 5000) {
        QTest::qWait(20);
        answer = progress.ReportExactProgress(TReal(clock.elapsed()) / 100);
      }
      if (answer != TProgressAnswer::Continue) p = approximate;
      progress.EndExactProgress();
    }
    QVERIFY(panelShown);
    QVERIFY(blocked);
    QCOMPARE(p, approximate);
    QVERIFY(results->StatusPanel->isHidden());
    QVERIFY(results->ResultsViewer1->isVisible());
  }
};

QTEST_MAIN(DocumentPagesTest)
#include "DocumentPagesTest.moc"
