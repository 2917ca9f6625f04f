#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "core/entry/CellStore.h"
#include "core/entry/SummaryCells.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/GridPopupMenu.h"
#include "gui/document/SummaryPage.h"
#include "gui/entry/SpreadGrid.h"

using namespace ombrel;

Q_DECLARE_METATYPE(ombrel::TDataFormat)
Q_DECLARE_METATYPE(ombrel::TGridRect)

// The context menus of the two grids, opened by a right click as the user
// opens them.
class GridPopupMenuTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;

  TDataTable& Table() const { return mForm->Document().Table; }
  TSpreadGrid& Grid(bool summary) const {
    return summary ? *static_cast<TSummaryPage*>(mForm->Page(TStep::ColumnStats))->StatDataGrid
                   : *static_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry))->RawDataGrid;
  }
  TGridPopupMenu& Menu(bool summary) const {
    return summary ? *static_cast<TSummaryPage*>(mForm->Page(TStep::ColumnStats))->StatDataPopupMenu
                   : *static_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry))->RawDataPopupMenu;
  }

  // Opens a grid's menu with a right click on a grid cell and answers its
  // enabled items in order, "*" marking a checked one.
  QString RightClick(bool summary, int gridColumn, int gridRow) {
    TSpreadGrid& grid = Grid(summary);
    const QPoint at =
        grid.visualRect(grid.model()->index(gridRow - FirstDataGridRow, gridColumn - FirstDataGridColumn)).center();
    QTest::mousePress(grid.viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(grid.viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid.viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid.viewport(), &event);
    TGridPopupMenu& menu = Menu(summary);
    if (!menu.isVisible()) return QStringLiteral("(no menu)");
    QStringList items;
    for (const QAction* action : menu.actions())
      if (!action->isSeparator() && action->isEnabled())
        items << action->text().remove(QLatin1Char('&')) + (action->isChecked() ? QStringLiteral("*") : QString());
    menu.hide();
    return items.join(QLatin1Char('|'));
  }

  // A document in `format` with raw values in columns A and B, shown on the
  // step of the grid.
  void Show(bool summary, TDataFormat format) {
    Fill(mForm->Document(), {0, 1});
    mForm->Document().Format = format;
    mForm->GoToStep(summary ? TStep::ColumnStats : TStep::DataEntry);
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

  void ItemsFollowTheSelection_data() {
    QTest::addColumn<bool>("summary");
    QTest::addColumn<TDataFormat>("format");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<TGridRect>("selection");
    QTest::addColumn<QPoint>("click");  // grid column and row
    QTest::addColumn<QString>("items");
    const QString raw = QStringLiteral("Cut|Copy|%1Clear|Delete cells...|Insert cells...|Transform%2");
    const QString paste = QStringLiteral("Paste|Transpose Paste|");
    // A2 (grid row 3) is excluded in every row.
    QTest::newRow("data cell, empty clipboard") << false << TDataFormat::Raw << QString() << TGridRect{1, 2, 1, 2}
                                                << QPoint(1, 2) << raw.arg(QString(), QStringLiteral("|Exclude"));
    QTest::newRow("data cell, text on the clipboard")
        << false << TDataFormat::XY << QStringLiteral("1") << TGridRect{1, 2, 1, 2} << QPoint(2, 4)
        << raw.arg(paste, QStringLiteral("|Exclude"));
    QTest::newRow("inside a selection with an excluded value")
        << false << TDataFormat::Raw << QString() << TGridRect{1, 2, 2, 4} << QPoint(2, 2)
        << raw.arg(QString(), QStringLiteral("|Exclude*"));
    QTest::newRow("outside that selection, on a plain cell")
        << false << TDataFormat::Raw << QString() << TGridRect{1, 2, 2, 4} << QPoint(3, 6)
        << raw.arg(QString(), QStringLiteral("|Exclude"));
    QTest::newRow("larger table") << false << TDataFormat::LargerTable << QStringLiteral("1") << TGridRect{1, 2, 1, 2}
                                  << QPoint(1, 3) << raw.arg(paste, QString());
    QTest::newRow("summary of raw columns") << true << TDataFormat::Raw << QStringLiteral("1") << TGridRect{1, 2, 2, 2}
                                            << QPoint(1, 2) << QStringLiteral("Copy");
    QTest::newRow("summary, column of typed entries")
        << true << TDataFormat::MeanSdN << QStringLiteral("1") << TGridRect{1, 2, 1, 2} << QPoint(3, 2)
        << QStringLiteral("Cut|Copy|Paste|Delete");
    QTest::newRow("summary, raw and typed columns, empty clipboard")
        << true << TDataFormat::MeanSemN << QString() << TGridRect{2, 2, 3, 4} << QPoint(2, 3)
        << QStringLiteral("Cut|Copy|Delete");
    QTest::newRow("multiple regression takes no typed entries")
        << true << TDataFormat::MultipleRegression << QStringLiteral("1") << TGridRect{1, 2, 1, 2} << QPoint(3, 2)
        << QStringLiteral("Copy");
  }
  void ItemsFollowTheSelection() {
    QFETCH(bool, summary);
    QFETCH(TDataFormat, format);
    QFETCH(QString, clipboard);
    QFETCH(TGridRect, selection);
    QFETCH(QPoint, click);
    QFETCH(QString, items);
    Show(summary, format);
    Table().SetExcluded(1, 0, true);
    QApplication::clipboard()->setText(clipboard);
    Grid(summary).SetSelection(selection);
    QCOMPARE(RightClick(summary, click.x(), click.y()), items);
  }

  void InsertAndDeleteActOnWholeRowsAndColumnsWithoutADialog_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("columns");
    QTest::addColumn<TReal>("a2");  // A's value of data row 1 afterwards
    QTest::addColumn<TReal>("b1");  // B's value of data row 0 afterwards
    // Fill gives A 1, 2, 5, 10, 17 and B 11, 12, 15, 20, 27.
    QTest::newRow("insert rows") << "Insert cells..." << false << EmptyValue << TReal(11);
    QTest::newRow("delete rows") << "Delete cells..." << false << TReal(5) << TReal(11);
    QTest::newRow("insert columns") << "Insert cells..." << true << TReal(2) << EmptyValue;
    QTest::newRow("delete columns") << "Delete cells..." << true << TReal(2) << EmptyValue;
  }
  void InsertAndDeleteActOnWholeRowsAndColumnsWithoutADialog() {
    QFETCH(QString, item);
    QFETCH(bool, columns);
    QFETCH(TReal, a2);
    QFETCH(TReal, b1);
    Show(false, TDataFormat::Raw);
    if (columns)
      Grid(false).SelectColumn(2);
    else
      Grid(false).SelectRow(3);
    int dialogs = 0;
    mHost->Questions.Dialog = [&dialogs](QDialog&) { return ++dialogs, int(QDialog::Rejected); };
    QVERIFY(RightClick(false, 2, 3).contains(item));
    TGridPopupMenu& menu = Menu(false);
    menu.UpdateItems();
    for (QAction* action : menu.actions())
      if (action->text().remove(QLatin1Char('&')) == item) action->trigger();
    QCOMPARE(dialogs, 0);
    QCOMPARE(Table().GetValue(1, 0), a2);
    QCOMPARE(Table().GetValue(0, 1), b1);
    QVERIFY(mForm->Document().ResultsStale);
  }

  void SummaryDeleteClearsTheTypedEntries_data() {
    QTest::addColumn<bool>("popup");
    QTest::newRow("context menu") << true;
    QTest::newRow("Edit menu") << false;
  }
  void SummaryDeleteClearsTheTypedEntries() {
    QFETCH(bool, popup);
    Show(true, TDataFormat::MeanSdN);
    (void)SetSummaryValue(Table(), 2, 2, true, 5);
    (void)SetSummaryValue(Table(), 2, 4, true, 10);
    Grid(true).RefreshAll();
    // Columns A to C: A and B hold raw data and keep their statistics.
    Grid(true).SetSelection(TGridRect{1, 2, 3, 2});
    const TReal meanA = Table().Summary(0).Mean;
    if (popup)
      Menu(true).Action(TCommand::DeleteCells)->trigger();
    else
      QVERIFY(mForm->RunCommand(TCommand::DeleteCells));
    QVERIFY(IsEmpty(Table().Summary(2).Mean));
    QCOMPARE(Table().Summary(2).N, 0);
    QCOMPARE(Table().Summary(0).Mean, meanA);
    QVERIFY(mForm->Document().ResultsStale);
  }
};

QTEST_MAIN(GridPopupMenuTest)
#include "GridPopupMenuTest.moc"
