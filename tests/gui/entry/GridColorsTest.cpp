// The grids stay legible in light and dark themes: every state's text
// keeps a contrast of 4.5:1, and the grid paints with the palette rather
// than colours of its own.

#include <QApplication>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

#include "core/base/DataTable.h"
#include "core/entry/CellStore.h"
#include "gui/common/Contrast.h"
#include "gui/entry/GridColors.h"
#include "gui/entry/SpreadGrid.h"
#include "support/AccessibleTree.h"

using namespace ombrel;

class GridColorsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

  void EveryStateIsLegible_data() {
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("light") << QApplication::style()->standardPalette();
    QTest::newRow("dark") << DarkPalette();
    // A theme whose highlight is too pale for its white text.
    QPalette pale = QApplication::style()->standardPalette();
    pale.setColor(QPalette::Highlight, QColor(120, 170, 230));
    pale.setColor(QPalette::HighlightedText, Qt::white);
    QTest::newRow("pale highlight") << pale;
  }

  void EveryStateIsLegible() {
    QFETCH(QPalette, palette);
    const TGridColors colors(palette);
    const char* const names[CellLookCount] = {"value", "current", "selected", "excluded", "mean data", "title"};
    for (std::size_t look = 0; look < CellLookCount; ++look) {
      const TCellColors cell = colors.Cell(static_cast<TCellLook>(look));
      const double ratio = ContrastRatio(cell.Text, cell.Background);
      QVERIFY2(ratio >= LegibleContrast, qPrintable(QStringLiteral("%1: %2").arg(names[look]).arg(ratio)));
    }
    // Excluded values differ from the others by colour as well as slant.
    QVERIFY(colors.Cell(TCellLook::Excluded).Text != colors.Cell(TCellLook::Value).Text);
  }

  void ContrastFollowsTheDefinition() {
    QCOMPARE(ContrastRatio(Qt::black, Qt::white), 21.0);
    QCOMPARE(ContrastRatio(Qt::white, Qt::white), 1.0);
    QVERIFY(qAbs(ContrastRatio(QColor(0x76, 0x76, 0x76), Qt::white) - 4.54) < 0.01);
  }

  // The grid's cells and headings show the dark palette's colours.
  void TheGridPaintsWithThePalette() {
    TDataTable table;
    StoreCell(table, 0, 0, 1.5L);
    TSpreadGrid grid(TGridKind::RawData, table);
    grid.setPalette(DarkPalette());
    grid.resize(500, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QImage image = grid.grab().toImage();
    const TGridColors colors(DarkPalette());
    const QRect emptyCell = grid.visualRect(grid.model()->index(3, 2));
    const QPoint inCell = grid.viewport()->mapTo(&grid, emptyCell.center());
    QCOMPARE(image.pixelColor(inCell), colors.Cell(TCellLook::Value).Background);
    QCOMPARE(image.pixelColor(QPoint(inCell.x(), 5)), colors.Cell(TCellLook::Title).Background);
  }
};

QTEST_MAIN(GridColorsTest)
#include "GridColorsTest.moc"
