// What a screen reader meets: every control that takes the keyboard on the
// six steps, in every dialog, in Help and the guide is named and has a
// fitting role; the grids name their cells by column and row; the report
// and the graph can be read as text.

#include <QAccessibleTableInterface>
#include <QPlainTextEdit>
#include <QtTest>
#include <functional>
#include <memory>
#include <sstream>

#include "core/entry/BlockOperations.h"
#include "core/entry/CellStore.h"
#include "core/entry/TextImport.h"
#include "gui/app/AboutBox.h"
#include "gui/app/NewFileDialog.h"
#include "gui/app/RecoverForm.h"
#include "gui/document/GraphExportForm.h"
#include "gui/document/GraphPage.h"
#include "gui/document/ResultsPage.h"
#include "gui/entry/BlockForms.h"
#include "gui/entry/CombineVarForm.h"
#include "gui/entry/ImportExportForms.h"
#include "gui/entry/IncludeTitlesForm.h"
#include "gui/entry/SelectForms.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TransformForm.h"
#include "gui/guide/OmbrelGuide.h"
#include "gui/help/HelpWindow.h"
#include "gui/report/NotesForm.h"
#include "support/AccessibleTree.h"
#include "support/PageTestSupport.h"

using namespace ombrel;

Q_DECLARE_METATYPE(ombrel::TStep)
Q_DECLARE_METATYPE(ombrel::TDataFormat)

namespace {

using TMakeWindow = std::function<std::unique_ptr<QWidget>(TDataTable&, TAsker&)>;

// A main window shown with one document of `format` holding two columns.
struct TShownShell {
  TShellFixture Fixture;
  std::unique_ptr<Obmain> Window;

  explicit TShownShell(TDataFormat format, std::initializer_list<int> columns = {0, 1}) {
    Window = std::make_unique<Obmain>(Fixture.Options());
    Window->SetGuideShown(false);
    Window->resize(1100, 800);
    Window->show();
    Window->Start({});
    Analyze& form = *Window->ActiveDocument();
    form.Document().ChooseFormat(format);
    Fill(form.Document(), columns, 6);
    form.Document().Table.SetTitle("Weights");
  }
  Analyze& Form() const { return *Window->ActiveDocument(); }
};

TImportedFile SampleImport() {
  std::istringstream in("1\t2\n3\t4\n");
  return ReadImportText(in, {});
}

QString Unfit(QWidget& window) { return UnfitControls(window).join(QLatin1Char('\n')); }

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void EveryStepNamesItsControls_data() {
    QTest::addColumn<TDataFormat>("format");
    QTest::addColumn<TStep>("step");
    QTest::addColumn<bool>("oneColumn");
    const char* const names[StepCount] = {"first", "data", "stats", "test", "results", "graph"};
    for (int step = 0; step < StepCount; ++step)
      QTest::newRow(names[step]) << TDataFormat::Raw << static_cast<TStep>(step) << false;
    QTest::newRow("one-column test") << TDataFormat::Raw << TStep::ChooseTest << true;
    QTest::newRow("2x2 data") << TDataFormat::TwoByTwo << TStep::DataEntry << false;
    QTest::newRow("xy test") << TDataFormat::XY << TStep::ChooseTest << false;
    QTest::newRow("xy graph") << TDataFormat::XY << TStep::Graph << false;
  }

  void EveryStepNamesItsControls() {
    QFETCH(TDataFormat, format);
    QFETCH(TStep, step);
    QFETCH(bool, oneColumn);
    TShownShell shell(format, oneColumn ? std::initializer_list<int>{0} : std::initializer_list<int>{0, 1});
    shell.Window->GoToStep(step);
    QCOMPARE(shell.Form().Step(), step);
    const QString unfit = Unfit(*shell.Window);
    QVERIFY2(unfit.isEmpty(), qPrintable(unfit));
  }

  void EveryDialogNamesItsControls_data() {
    QTest::addColumn<TMakeWindow>("make");
    const auto row = [](const char* name, TMakeWindow make) { QTest::newRow(name) << std::move(make); };
    row("delete", [](TDataTable&, TAsker&) { return std::make_unique<TDeleteForm>(); });
    row("insert", [](TDataTable&, TAsker&) { return std::make_unique<TInsertForm>(); });
    row("number format", [](TDataTable& table, TAsker&) {
      return std::make_unique<TNumberFormatForm>(table, TNumberFormatScope{0, 1, "columns A:B"});
    });
    row("combine", [](TDataTable& table, TAsker&) { return std::make_unique<TCombineVarForm>(table, 2); });
    row("transform", [](TDataTable&, TAsker& asker) { return std::make_unique<TTransformForm>(asker); });
    row("select columns",
        [](TDataTable& table, TAsker& asker) { return std::make_unique<TSelectColumnForm>(table, asker); });
    row("select pairs", [](TDataTable& table, TAsker& asker) {
      static TPairFlags flags{};
      return std::make_unique<TSelectColPairsForm>(table, flags, asker);
    });
    row("import", [](TDataTable&, TAsker&) {
      return std::make_unique<TImportForm>(SampleImport(), QStringLiteral("sample.txt"),
                                           [](char) { return SampleImport(); });
    });
    row("export", [](TDataTable&, TAsker&) { return std::make_unique<TExportForm>(); });
    row("workbook warning", [](TDataTable&, TAsker&) { return std::make_unique<TExcelWarnForm>(); });
    row("copy titles", [](TDataTable&, TAsker&) { return std::make_unique<TIncludeTitlesForm>(); });
    row("graph export", [](TDataTable&, TAsker&) { return std::make_unique<TGraphExportForm>(true); });
    row("recover", [](TDataTable&, TAsker&) {
      TRecoverable copy;
      copy.Index.Name = "DATASET1.OMD";
      return std::make_unique<TRecoverForm>(std::vector<TRecoverable>{copy});
    });
    row("new file", [](TDataTable&, TAsker&) { return std::make_unique<Newanal>(); });
    row("about", [](TDataTable&, TAsker&) { return std::make_unique<TAboutBox>(); });
    row("notes", [](TDataTable&, TAsker&) { return std::make_unique<TNotesForm>(); });
    row("help", [](TDataTable&, TAsker&) { return std::make_unique<THelpWindow>(); });
    row("guide", [](TDataTable&, TAsker&) { return std::make_unique<TOmbrelGuide>(TStep::DataEntry); });
  }

  void EveryDialogNamesItsControls() {
    QFETCH(TMakeWindow, make);
    TDataTable table;
    StoreCell(table, 0, 0, 1.5L);
    StoreCell(table, 0, 1, 2.5L);
    TScriptedAsker asker;
    const std::unique_ptr<QWidget> window = make(table, asker);
    window->show();
    const QString unfit = Unfit(*window);
    QVERIFY2(unfit.isEmpty(), qPrintable(unfit));
  }

  // A screen reader announces a cell by its column and row, then its value.
  void GridsNameCellsByColumnAndRow() {
    TShownShell shell(TDataFormat::Raw);
    TDataTable& table = shell.Form().Document().Table;
    table.Summary(1).Title = "Control";
    table.SetRowTitle(2, "Mouse 3");
    table.SetExcluded(0, 0, true);
    shell.Window->GoToStep(TStep::DataEntry);
    auto* grid = shell.Form().findChild<TSpreadGrid*>(QStringLiteral("RawDataGrid"));
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(grid);
    QVERIFY(node != nullptr && node->tableInterface() != nullptr);
    QCOMPARE(node->text(QAccessible::Name), QStringLiteral("Data table"));
    const auto cell = [&](int row, int column) { return node->tableInterface()->cellAt(row, column); };
    QCOMPARE(cell(2, 1)->text(QAccessible::Name), QStringLiteral("Group B: Control, row 3: Mouse 3, 15"));
    QCOMPARE(cell(0, 0)->text(QAccessible::Name), QStringLiteral("Group A, row 1, 1, excluded"));
    QCOMPARE(cell(9, 2)->text(QAccessible::Name), QStringLiteral("Group C, row 10, empty"));
    const QList<QAccessibleInterface*> headers = cell(2, 1)->tableCellInterface()->columnHeaderCells();
    QVERIFY(!headers.isEmpty());
    QCOMPARE(headers.first()->text(QAccessible::Name), QStringLiteral("Group B: Control"));

    shell.Window->GoToStep(TStep::ColumnStats);
    auto* stats = shell.Form().findChild<TSpreadGrid*>(QStringLiteral("StatDataGrid"));
    QAccessibleInterface* summary = QAccessible::queryAccessibleInterface(stats);
    const QString mean = summary->tableInterface()->cellAt(0, 0)->text(QAccessible::Name);
    QVERIFY2(mean.startsWith(QStringLiteral("Group A, Mean, ")), qPrintable(mean));
  }

  // The report reads as text, and the graph tells what it plots.
  void ReportAndGraphReadAsText() {
    TShownShell shell(TDataFormat::Raw);
    shell.Window->GoToStep(TStep::Results);
    QWidget* viewer = shell.Form().CurrentPage()->findChild<QPlainTextEdit*>();
    QAccessibleInterface* report = QAccessible::queryAccessibleInterface(viewer);
    QVERIFY(report->textInterface() != nullptr);
    const QString text = report->textInterface()->text(0, report->textInterface()->characterCount());
    QVERIFY2(text.contains(QStringLiteral("Weights")), qPrintable(text.left(200)));

    shell.Window->GoToStep(TStep::Graph);
    QAccessibleInterface* graph = nullptr;
    for (QWidget* widget : shell.Form().CurrentPage()->findChildren<QWidget*>())
      if (QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
          node != nullptr && node->role() == QAccessible::Chart)
        graph = node;
    QVERIFY(graph != nullptr);
    const QString description = graph->text(QAccessible::Description);
    QVERIFY2(
        description.startsWith(QStringLiteral("Graph of Weights.")) && description.contains(QStringLiteral("Bars: ")),
        qPrintable(description));
  }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
