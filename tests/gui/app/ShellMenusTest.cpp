#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "support/ShellTestSupport.h"
#include "gui/document/Analyze.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/help/HelpWindow.h"

using namespace ombrel;

Q_DECLARE_METATYPE(ombrel::TStep)
Q_DECLARE_METATYPE(ombrel::TDataFormat)

namespace {

// The commands whose state follows the step, grouped as the step table
// groups them.
const TCommand ImportGroup[] = {TCommand::Import,           TCommand::Paste,        TCommand::SelectColumn,
                                TCommand::SelectRow,        TCommand::InsertCells,  TCommand::Transform,
                                TCommand::CombineVariables, TCommand::NumberFormat, TCommand::TransposePaste};

// A window with one document, put into a format and onto a step.
void PutOnStep(Obmain& window, TDataFormat format, TStep step) {
  Analyze* form = window.ActiveDocument();
  QVERIFY(form->Document().ChooseFormat(format));
  window.GoToStep(step);
  QCOMPARE(form->Step(), step);
  window.UpdateMenus();
}

}  // namespace

class ShellMenusTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void MenusFollowTheStep_data() {
    QTest::addColumn<TDataFormat>("format");
    QTest::addColumn<TStep>("step");
    QTest::addColumn<bool>("import");
    QTest::addColumn<bool>("exclude");
    QTest::addColumn<bool>("exportOn");
    QTest::addColumn<bool>("copyPrint");
    QTest::addColumn<bool>("cutClearDelete");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<bool>("appendToNotes");
    QTest::addColumn<QString>("printCaption");
    QTest::newRow("0") << TDataFormat::Raw << TStep::DataFormat << false << false << false << false << false << false
                       << false << "Print";
    QTest::newRow("1 grid") << TDataFormat::Raw << TStep::DataEntry << true << true << true << true << true << true
                            << false << "Print Data";
    QTest::newRow("1 larger table") << TDataFormat::LargerTable << TStep::DataEntry << true << false << true << true
                                    << true << true << false << "Print Data";
    QTest::newRow("1 2x2 page") << TDataFormat::TwoByTwo << TStep::DataEntry << false << false << true << false << false
                                << false << false << "Print Data";
    QTest::newRow("2") << TDataFormat::Raw << TStep::ColumnStats << false << false << true << true << true << false
                       << false << "Print Stats";
    QTest::newRow("3") << TDataFormat::Raw << TStep::ChooseTest << false << false << false << false << false << false
                       << false << "Print";
    QTest::newRow("4") << TDataFormat::Raw << TStep::Results << false << false << true << true << false << true << true
                       << "Print Results";
    QTest::newRow("5") << TDataFormat::Raw << TStep::Graph << false << false << true << true << false << false << false
                       << "Print Graph";
  }

  void MenusFollowTheStep() {
    QFETCH(TDataFormat, format);
    QFETCH(TStep, step);
    QFETCH(bool, import);
    QFETCH(bool, exclude);
    QFETCH(bool, exportOn);
    QFETCH(bool, copyPrint);
    QFETCH(bool, cutClearDelete);
    QFETCH(bool, selectAll);
    QFETCH(bool, appendToNotes);
    QFETCH(QString, printCaption);
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    QApplication::clipboard()->setText(QStringLiteral("1"));
    PutOnStep(window, format, step);
    // The 2x2 page copies and pastes its block of counts.
    const bool twoByTwoPage = format == TDataFormat::TwoByTwo && step == TStep::DataEntry;
    for (const TCommand command : ImportGroup)
      QCOMPARE(window.Action(command)->isEnabled(), import || (command == TCommand::Paste && twoByTwoPage));
    QCOMPARE(window.Action(TCommand::Exclude)->isEnabled(), exclude);
    QCOMPARE(window.Action(TCommand::Export)->isEnabled(), exportOn);
    QCOMPARE(window.Action(TCommand::Copy)->isEnabled(), copyPrint || twoByTwoPage);
    QCOMPARE(window.Action(TCommand::Print)->isEnabled(), copyPrint);
    for (const TCommand command : {TCommand::Cut, TCommand::Clear, TCommand::DeleteCells})
      QCOMPARE(window.Action(command)->isEnabled(), cutClearDelete);
    QCOMPARE(window.Action(TCommand::SelectAll)->isEnabled(), selectAll);
    QCOMPARE(window.Action(TCommand::AppendToNotes)->isEnabled(), appendToNotes);
    QCOMPARE(window.Action(TCommand::Print)->text(), printCaption);
    // The step buttons: the current one pressed; back and forward at the ends.
    for (int i = 0; i < StepCount; ++i) QCOMPARE(window.StepButton(i)->isChecked(), i == static_cast<int>(step));
    QCOMPARE(window.BackButton()->isEnabled(), step != TStep::DataFormat);
    QCOMPARE(window.ForwardButton()->isEnabled(), step != TStep::Graph);
    QCOMPARE(window.ClearAllButton()->isEnabled(), step == TStep::DataEntry);
    for (const TCommand command : {TCommand::Save, TCommand::SaveAs, TCommand::Close, TCommand::ClearAll,
                                   TCommand::ViewNotes, TCommand::NextStep, TCommand::PreviousStep})
      QVERIFY(window.Action(command)->isEnabled());
  }

  void PasteFollowsTheClipboard() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    QApplication::clipboard()->setText(QStringLiteral("1\t2"));
    PutOnStep(window, TDataFormat::Raw, TStep::DataEntry);
    QVERIFY(window.Action(TCommand::Paste)->isEnabled());
    // No menu is opened: the toolbar button shows the state by itself.
    QApplication::clipboard()->clear();
    QVERIFY(!window.Action(TCommand::Paste)->isEnabled());
    QVERIFY(!window.Action(TCommand::TransposePaste)->isEnabled());
    QApplication::clipboard()->setText(QStringLiteral("3"));
    QVERIFY(window.Action(TCommand::Paste)->isEnabled());
  }

  void WithoutDocumentsOnlyFileCommandsRemain() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    window.CloseCommand();
    QVERIFY(window.NoDocumentsPanelShown());
    for (const TCommand command :
         {TCommand::Print, TCommand::Save, TCommand::SaveAs, TCommand::Export, TCommand::Close, TCommand::NextStep,
          TCommand::PreviousStep, TCommand::ViewNotes, TCommand::Cut, TCommand::Copy, TCommand::Paste,
          TCommand::SelectAll, TCommand::Cascade, TCommand::Tile, TCommand::ClearAll, TCommand::Import, TCommand::Step0,
          TCommand::Step5})
      QVERIFY(!window.Action(command)->isEnabled());
    for (int i = 0; i < StepCount; ++i) QVERIFY(!window.StepButton(i)->isEnabled());
    for (const TCommand command : {TCommand::New, TCommand::Open, TCommand::Exit, TCommand::HelpContents})
      QVERIFY(window.Action(command)->isEnabled());
  }

  void StepButtonsFollowReachability() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    PutOnStep(window, TDataFormat::MeanSdN, TStep::DataFormat);
    // Averaged data has no data-entry step: Next goes to the summaries.
    QVERIFY(!window.StepButton(1)->isEnabled());
    QVERIFY(!window.Action(TCommand::Step1)->isEnabled());
    window.GoToStep(TStep::DataEntry);
    QCOMPARE(window.ActiveDocument()->Step(), TStep::DataFormat);
    window.Action(TCommand::NextStep)->trigger();
    QCOMPARE(window.ActiveDocument()->Step(), TStep::ColumnStats);
    window.Action(TCommand::PreviousStep)->trigger();
    QCOMPARE(window.ActiveDocument()->Step(), TStep::DataFormat);
    window.StepButton(4)->click();
    QCOMPARE(window.ActiveDocument()->Step(), TStep::Results);
    QVERIFY(window.StepButton(4)->isChecked());
    // Arranging needs two documents.
    QVERIFY(!window.Action(TCommand::Tile)->isEnabled());
    QVERIFY(window.Action(TCommand::Duplicate)->isEnabled());
    fixture.Asker.NewFileChoices.push_back(TNewFileChoice::CreateAnother);
    window.NewFileCommand();
    QVERIFY(window.Action(TCommand::Tile)->isEnabled());
    QVERIFY(window.Action(TCommand::NextWindow)->isEnabled());
  }

  void HelpButtonsChangeWithTheStep() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    QCOMPARE(window.HelpButton(0)->text(), QStringLiteral("Explain my choices"));
    QCOMPARE(window.HelpButton(0)->toolTip(), QStringLiteral("Choosing an appropriate data format"));
    QCOMPARE(window.HelpButton(1)->text(), QStringLiteral("Ombrel Guide"));
    int guideShownFor = -1;
    window.SetGuideHandler([&](TStep step) { guideShownFor = static_cast<int>(step); });
    window.HelpButton(1)->click();
    QCOMPARE(guideShownFor, 0);
    window.HelpButton(0)->click();
    QCOMPARE(window.HelpWindow().CurrentPage(), QStringLiteral("695"));

    // With the guide flag on, every step change shows the guide.
    window.GoToStep(TStep::DataEntry);
    QCOMPARE(guideShownFor, 1);
    QCOMPARE(window.HelpButton(1)->text(), QStringLiteral("Importing data"));
    window.HelpButton(1)->click();
    QCOMPARE(window.HelpWindow().CurrentPage(), QStringLiteral("21"));
    window.SetGuideShown(false);
    window.GoToStep(TStep::ChooseTest);
    QCOMPARE(guideShownFor, 1);
    // No column holds data: the multi-column page and its topic.
    QCOMPARE(window.HelpButton(0)->text(), QStringLiteral("Help me choose"));
    window.HelpButton(0)->click();
    QCOMPARE(window.HelpWindow().CurrentPage(), QStringLiteral("134"));
    window.GoToStep(TStep::Results);
    QCOMPARE(window.HelpButton(0)->text(), QStringLiteral("Checklist"));
    window.HelpButton(0)->click();
    QCOMPARE(window.HelpWindow().CurrentPage(), QStringLiteral("checklist"));
    window.GoToStep(TStep::Graph);
    QCOMPARE(window.HelpButton(0)->toolTip(), QStringLiteral("Learn about Quillvex's graphics program, Vexal"));
  }

  void HelpMenuOpensItsTopicsAndSearches() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    const std::pair<TCommand, const char*> topics[] = {
        {TCommand::HelpWhatOmbrelDoes, "509"}, {TCommand::HelpTutorial, "496"}, {TCommand::HelpCommands, "505"},
        {TCommand::HelpNumbrant, "238"},       {TCommand::HelpVexal, "302"},    {TCommand::HelpTechnicalSupport, "229"},
        {TCommand::HelpHowToCite, "507"},
    };
    for (const auto& [command, page] : topics) {
      window.Action(command)->trigger();
      QCOMPARE(window.HelpWindow().CurrentPage(), QString::fromLatin1(page));
    }
    window.Action(TCommand::HelpSearch)->trigger();
    QCOMPARE(window.HelpWindow().CurrentPage(), QStringLiteral("contents"));
    const QStringList matches = window.HelpWindow().Search(QStringLiteral("mann-whitney"));
    QVERIFY2(matches.contains(QStringLiteral("114")) && matches.contains(QStringLiteral("88")),
             qPrintable(matches.join(' ')));
    QVERIFY(window.HelpWindow().Search(QStringLiteral("Mann-Whitney trend")).isEmpty());
    // Every topic the program opens has a page.
    for (const int topic : {695, 528, 21,  515, 471, 134, 161, 88,  73,  182, 463, 529, 504, 302,
                            202, 538, 104, 93,  662, 658, 114, 557, 612, 540, 541, 542, 543, 544})
      QVERIFY2(window.HelpWindow().HasTopic(topic), qPrintable(QString::number(topic)));
    window.Action(TCommand::About)->trigger();
    QCOMPARE(fixture.Asker.AboutShown, 1);
  }

  void CommandsWaitWhileCalculating() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    Analyze* form = window.ActiveDocument();
    form->Document().Table.SetValue(0, 0, 2.0L);
    window.GoToStep(TStep::DataEntry);
    fixture.Asker.NewFileChoices = {TNewFileChoice::CreateAnother};
    fixture.Asker.YesNo = {true};
    fixture.Asker.YesNoCancel = {TAnswer::No};

    form->Progress().BeginCalculation();
    QVERIFY(window.Calculating());
    for (const TCommand command : {TCommand::New, TCommand::Open, TCommand::Close, TCommand::Save, TCommand::ClearAll,
                                   TCommand::NextStep, TCommand::PreviousStep, TCommand::Step4, TCommand::Duplicate,
                                   TCommand::About, TCommand::ViewNotes, TCommand::Import})
      window.Action(command)->trigger();
    window.ClearAllButton()->click();
    window.StepButton(0)->click();
    QCOMPARE(window.Documents().size(), 1);
    QCOMPARE(form->Step(), TStep::DataEntry);
    QVERIFY(form->Document().Table.HasData());
    QCOMPARE(fixture.Asker.OpenDialogs, 0);
    QCOMPARE(fixture.Asker.AboutShown, 0);
    QVERIFY(fixture.Asker.SaveTitles.isEmpty());
    QVERIFY(fixture.Asker.Shown.isEmpty());
    // Exit asks the computation to stop instead.
    QVERIFY(!form->Progress().CancelRequested());
    window.Action(TCommand::Exit)->trigger();
    QVERIFY(form->Progress().CancelRequested());
    QCOMPARE(window.Documents().size(), 1);
    form->Progress().EndCalculation();

    QVERIFY(!window.Calculating());
    window.Action(TCommand::NextStep)->trigger();
    QCOMPARE(form->Step(), TStep::ColumnStats);
  }

  void PrintsTheVisiblePageToPdf_data() {
    QTest::addColumn<TStep>("step");
    QTest::newRow("data") << TStep::DataEntry;
    QTest::newRow("stats") << TStep::ColumnStats;
    QTest::newRow("results") << TStep::Results;
    QTest::newRow("graph") << TStep::Graph;
  }

  void PrintsTheVisiblePageToPdf() {
    QFETCH(TStep, step);
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    TDocument& document = window.ActiveDocument()->Document();
    for (int r = 0; r < 5; ++r) {
      document.Table.SetValue(r, 0, 10.0L + r);
      document.Table.SetValue(r, 1, 12.5L + 2 * r);
    }
    window.GoToStep(step);
    const QString pdf = fixture.Path(QStringLiteral("page.pdf"));
    fixture.Asker.Print = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    };
    window.Action(TCommand::Print)->trigger();
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() > 500);
  }
};

QTEST_MAIN(ShellMenusTest)
#include "ShellMenusTest.moc"
