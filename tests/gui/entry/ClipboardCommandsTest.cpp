#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLocale>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/SummaryPage.h"
#include "core/entry/ClipboardText.h"
#include "gui/entry/GridModels.h"
#include "gui/entry/IncludeTitlesForm.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"
#include "core/entry/SummaryCells.h"

using namespace ombrel;

// The Edit commands of the two grids, run as the main window runs them and
// checked on the system clipboard, the document and the messages shown.
class ClipboardCommandsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;

  TDocument& Document() const { return mForm->Document(); }
  TDataTable& Table() const { return mForm->Document().Table; }
  TSpreadGrid& RawGrid() const { return *qobject_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry))->RawDataGrid; }
  TSpreadGrid& StatGrid() const { return *qobject_cast<TSummaryPage*>(mForm->Page(TStep::ColumnStats))->StatDataGrid; }
  static QString Clipboard() { return QApplication::clipboard()->text(); }
  static void SetClipboard(const QString& text) { QApplication::clipboard()->setText(text); }
  // Values 1.5, 2.5, ... in the first `rows` rows of column A.
  void FillColumnA(int rows) {
    for (int row = 0; row < rows; ++row) StoreCell(Table(), row, 0, row + 1.5L);
    Table().AutoDecimals[0] = 1;
    RawGrid().RefreshAll();
  }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void CopyDialogLeavesItsCaptionWhole() {
    // A title bar holds the bold caption beside an icon and three buttons.
    TIncludeTitlesForm form;
    form.adjustSize();
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    QVERIFY(form.width() >= metrics.horizontalAdvance(form.windowTitle()) + 4 * metrics.height());
  }

  void init() {
    mHost = std::make_unique<TTestHost>();
    mForm = ShowDocumentWindow(*mHost, std::make_unique<TDocument>());
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
    mForm->GoToStep(TStep::DataEntry);
    SetClipboard(QStringLiteral("unchanged"));
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
    QLocale::setDefault(QLocale::c());
  }

  void CopyAsksAboutTitlesByTheSelection_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("expected");
    const QString values = QStringLiteral("1.5\r\n2.5\r\n3.5\r\n");
    QTest::newRow("Yes adds the title line") << int(TAnswer::Yes) << QStringLiteral("Height\r\n") + values;
    QTest::newRow("No copies values only") << int(TAnswer::No) << values;
    QTest::newRow("Cancel copies nothing") << int(TAnswer::Cancel) << QStringLiteral("unchanged");
  }
  void CopyAsksAboutTitlesByTheSelection() {
    QFETCH(int, answer);
    QFETCH(QString, expected);
    FillColumnA(3);
    Table().Summary(0).Title = "Height";
    RawGrid().SelectColumn(1);
    mHost->Questions.YesNoCancel.push_back(static_cast<TAnswer>(answer));
    QVERIFY(mForm->RunCommand(TCommand::Copy));
    QCOMPARE(mHost->Questions.Shown, QStringList{QStringLiteral("Include column titles?")});
    QCOMPARE(Clipboard(), expected);
  }

  void CopyOfTheWholeTableTakesTitlesFromTheDialog() {
    StoreCell(Table(), 0, 0, 1);
    Table().Summary(0).Title = "X";
    RawGrid().SelectAll();
    bool shown = false;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      auto* form = qobject_cast<TIncludeTitlesForm*>(&dialog);
      shown = form != nullptr && form->windowTitle() == QStringLiteral("Copy to clipboard");
      if (form != nullptr) form->RowTitlesCheckBox->setChecked(true);
      return int(QDialog::Accepted);
    };
    QVERIFY(mForm->RunCommand(TCommand::Copy));
    QVERIFY(shown);
    const QString tail(25, QLatin1Char('\t'));
    QCOMPARE(Clipboard(), QStringLiteral("\tX") + tail + QStringLiteral("\r\n1\t1") + tail + QStringLiteral("\r\n"));
  }

  void CtrlInsertCopiesWithTheUsersDecimalSeparator() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FillColumnA(2);
    RawGrid().SetSelection(TGridRect{1, 2, 1, 3});
    RawGrid().setFocus();
    QTest::keyClick(&RawGrid(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(Clipboard(), QStringLiteral("1,5\r\n2,5"));
  }

  void PasteFillsCellsAndMarksTheDocumentChanged_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("transpose");
    QTest::addColumn<QString>("expected");  // row 1 and 2 of columns A to D as the grid shows them
    QTest::newRow("point: comma separates") << "C"
                                            << "1.5\t2,5\t7" << false << "1.5 2 5 7|   ";
    QTest::newRow("comma: semicolon separates") << "de_DE"
                                                << "1,5;2\r\n3" << false << "1.5 2  |3.0   ";
    QTest::newRow("transposed") << "C"
                                << "1\t2\r\n3\t4\r\n"
                                << true << "1 3  |2 4  ";
    QTest::newRow("point: decimal commas without points") << "C"
                                                          << "1,5\t2,25\r\n3\t4" << false << "1.5 2.25  |3.0 4.00  ";
    QTest::newRow("comma: decimal points, commas between") << "de_DE"
                                                           << "1.5,2\r\n3" << false << "1.5 2  |3.0   ";
    QTest::newRow("a header line over numbers") << "C"
                                                << "Dose\tResponse\r\n1\t2" << false << "1 2  |   ";
  }
  void PasteFillsCellsAndMarksTheDocumentChanged() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, transpose);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(locale));
    SetClipboard(text);
    RawGrid().SetCurrentCell(1, 2);
    const int changes = mHost->StateChanges;
    QVERIFY(mForm->RunCommand(transpose ? TCommand::TransposePaste : TCommand::Paste));
    QVERIFY(mHost->StateChanges > changes);
    QStringList rows;
    for (int row = 0; row < 2; ++row) {
      QStringList cells;
      for (int column = 0; column < 4; ++column) cells << RawGrid().model()->index(row, column).data().toString();
      rows << cells.join(QLatin1Char(' '));
    }
    QCOMPARE(rows.join(QLatin1Char('|')), expected);
    QVERIFY(mHost->Questions.Shown.isEmpty());
  }

  // Ctrl+V in an open cell editor: a block goes into the cells from the
  // edited one, a single field into the editor's text.
  void CtrlVInAnOpenEditorPastesBlocksIntoCells() {
    TSpreadGrid& grid = RawGrid();
    grid.setFocus();
    grid.SetCurrentCell(1, 2);
    SetClipboard(QStringLiteral("7\t8\n9\t10"));
    grid.EditorOn();
    QVERIFY(grid.EditorActive());
    QTest::keyClick(grid.Editor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const TReal expected[2][2] = {{7, 8}, {9, 10}};
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 2; ++column)
        QCOMPARE(double(Table().GetValue(row, column)), double(expected[row][column]));

    SetClipboard(QStringLiteral("42\r\n"));
    grid.SetCurrentCell(3, 2);
    grid.EditorOn();
    QTest::keyClick(grid.Editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(grid.Editor()->text(), QString("42"));
    QTest::keyClick(grid.Editor(), Qt::Key_Return);
    QCOMPARE(double(Table().GetValue(0, 2)), 42.0);
    QVERIFY(Table().IsCellEmpty(1, 2));
  }

  void PasteFromATitleFieldFillsTitles() {
    SetClipboard(QStringLiteral("Before\tAfter\r\n1\t2"));
    RawGrid().OpenColumnTitleEditor(1);
    QVERIFY(mForm->RunCommand(TCommand::Paste));
    QCOMPARE(Table().Summary(1).Title, std::string("Before"));
    QCOMPARE(Table().Summary(2).Title, std::string("After"));
    QCOMPARE(Table().GetValue(0, 1), TReal(1));
    QCOMPARE(Table().GetValue(0, 2), TReal(2));
    QCOMPARE(RawGrid().TitleEditorColumn(), -1);

    SetClipboard(QStringLiteral("Left\t5\r\nRight\t6"));
    RawGrid().OpenRowTitleEditor(3);
    QVERIFY(mForm->RunCommand(TCommand::Paste));
    QCOMPARE(Table().RowTitle(3), std::string("Left"));
    QCOMPARE(Table().RowTitle(4), std::string("Right"));
    QCOMPARE(Table().GetValue(3, 0), TReal(5));
    QCOMPARE(Table().GetValue(4, 0), TReal(6));
  }

  void PasteReportsWhatDidNotFitAndWhatWasDeclined() {
    // Past row 1000.
    SetClipboard(QStringLiteral("1\n2\n3"));
    RawGrid().SetCurrentCell(1, 1000);
    QVERIFY(mForm->RunCommand(TCommand::Paste));
    QCOMPARE(Table().GetValue(998, 0), TReal(1));
    QCOMPARE(Table().GetValue(999, 0), TReal(2));
    QCOMPARE(mHost->Questions.Shown, QStringList{QString::fromLatin1(PasteClippedMessage.data())});

    // Over typed mean data: No keeps everything.
    mHost->Questions.Shown.clear();
    Table().Summary(1).Mean = 4;
    Table().Summary(1).N = 3;
    SetClipboard(QStringLiteral("8\t9"));
    RawGrid().SetCurrentCell(1, 2);
    const int changes = mHost->StateChanges;
    mHost->Questions.YesNo.push_back(false);
    QVERIFY(mForm->RunCommand(TCommand::Paste));
    QCOMPARE(mHost->Questions.Shown, QStringList{QString::fromStdString(MeanDataQuestion(1))});
    QVERIFY(Table().IsCellEmpty(0, 0));
    QCOMPARE(Table().Summary(1).Mean, TReal(4));
    QCOMPARE(mHost->StateChanges, changes);
  }

  void ClearEmptiesTheSelectionOrTheOpenTitle() {
    FillColumnA(3);
    Table().SetRowTitle(1, "Mouse");
    RawGrid().OpenRowTitleEditor(1);
    QVERIFY(mForm->RunCommand(TCommand::Clear));
    QCOMPARE(Table().RowTitle(1), std::string());
    QCOMPARE(Table().GetValue(1, 0), 2.5L);

    RawGrid().SetSelection(TGridRect{1, 3, 1, 4});
    QVERIFY(mForm->RunCommand(TCommand::Clear));
    QCOMPARE(Table().GetValue(0, 0), 1.5L);
    QVERIFY(Table().IsCellEmpty(1, 0));
    QVERIFY(Table().IsCellEmpty(2, 0));
    QCOMPARE(RawGrid().model()->index(1, 0).data().toString(), QString());
  }

  void CutKeepsWhatDidNotReachTheClipboard() {
    FillColumnA(3);
    RawGrid().SetSelection(TGridRect{1, 2, 1, 3});
    QVERIFY(mForm->RunCommand(TCommand::Cut));
    QCOMPARE(Clipboard(), QStringLiteral("1.5\r\n2.5"));
    QVERIFY(Table().IsCellEmpty(0, 0));
    QCOMPARE(Table().GetValue(2, 0), 3.5L);

    // 26 columns of 1000 values do not fit in 64K.
    for (int column = 0; column < MaxColumns; ++column)
      for (int row = 0; row < 1000; ++row) StoreCell(Table(), row, column, 12345.678L);
    RawGrid().SelectAll();
    mHost->Questions.Dialog = [](QDialog&) { return int(QDialog::Accepted); };
    QVERIFY(mForm->RunCommand(TCommand::Cut));
    QCOMPARE(mHost->Questions.Shown, QStringList{QString::fromLatin1(ClipboardTooLargeMessage.data())});
    QVERIFY(Clipboard().size() > 60000);
    QCOMPARE(Table().GetValue(999, 25), 12345.678L);
  }

  void ExcludeTogglesAndChecksTheMenuItem() {
    FillColumnA(2);
    auto* page = qobject_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry));
    Table().SetExcluded(1, 0, true);
    RawGrid().SetSelection(TGridRect{1, 2, 1, 3});
    QVERIFY(page->SelectionExcluded());
    QVERIFY(mForm->RunCommand(TCommand::Exclude));
    QVERIFY(!Table().IsExcluded(0, 0));
    QVERIFY(!Table().IsExcluded(1, 0));
    QVERIFY(!page->SelectionExcluded());
    QVERIFY(mForm->RunCommand(TCommand::Exclude));
    QVERIFY(Table().IsExcluded(0, 0));
    QVERIFY(Table().IsExcluded(1, 0));
    QVERIFY(RawGrid().model()->index(0, 0).data(int(TGridRole::Excluded)).toBool());
  }

  void SummaryPageCopiesPastesAndClearsItsEntries() {
    QVERIFY(Document().ChooseFormat(TDataFormat::MeanSdN));
    mForm->GoToStep(TStep::ColumnStats);
    (void)SetSummaryValue(Table(), 0, 2, true, 5);
    (void)SetSummaryValue(Table(), 0, 3, true, 2);
    (void)SetSummaryValue(Table(), 0, 4, true, 10);
    StatGrid().RefreshAll();
    StatGrid().SetSelection(TGridRect{1, 2, 1, 4});
    QVERIFY(mForm->RunCommand(TCommand::Copy));
    QCOMPARE(Clipboard(), QStringLiteral("5\r\n2.000"));

    // Shift+Insert pastes at the current column: the Mean, SD and N of B.
    SetClipboard(QStringLiteral("7\r\n1.5\r\n4"));
    StatGrid().SetCurrentCell(2, 2);
    StatGrid().setFocus();
    QTest::keyClick(&StatGrid(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(Table().Summary(1).Mean, TReal(7));
    QCOMPARE(Table().Summary(1).SD, 1.5L);
    QCOMPARE(Table().Summary(1).N, 4);

    StatGrid().SetSelection(TGridRect{1, 2, 2, 2});
    QVERIFY(mForm->RunCommand(TCommand::Clear));
    QVERIFY(IsEmpty(Table().Summary(0).Mean));
    QVERIFY(IsEmpty(Table().Summary(1).SD));
    QCOMPARE(StatGrid().model()->index(0, 1).data().toString(), QString());
  }
};

QTEST_MAIN(ClipboardCommandsTest)
#include "ClipboardCommandsTest.moc"
