// Redisplay timings of the raw-data grid over a full table (1000 rows x 26
// columns), painted offscreen: RefreshAll, a column redisplay after a change
// of decimals, and, for scale, formatting every cell of the table.

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <algorithm>
#include <ctime>
#include <iomanip>
#include <iostream>
#include <vector>

#include "core/entry/CellText.h"
#include "core/entry/GridSelection.h"
#include "gui/entry/SpreadGrid.h"

namespace {

using namespace ombrel;

constexpr int Repeats = 50;

void FillTable(TDataTable& table) {
  for (int row = 0; row < RawGridRowCount - FirstDataGridRow; ++row) {
    for (int column = 0; column < MaxColumns; ++column) {
      TReal value = static_cast<TReal>(row * MaxColumns + column) * 0.37L - 900.0L;
      if (column % 9 == 8) value *= 1e6L;  // some cells in scientific form
      table.SetValue(row, column, value);
      if ((row + column) % 17 == 0) table.SetExcluded(row, column, true);
    }
  }
  table.AutoDecimals.fill(2);
}

void RepaintAll(TSpreadGrid& grid) {
  grid.viewport()->repaint();
  grid.horizontalHeader()->viewport()->repaint();
  grid.verticalHeader()->viewport()->repaint();
}

// CPU time of this thread: other processes on a busy machine do not count.
double ThreadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <typename TStep>
void Measure(const char* name, TStep step) {
  std::vector<double> wall;
  std::vector<double> cpu;
  QElapsedTimer timer;
  for (int i = 0; i < Repeats; ++i) {
    const double cpuStart = ThreadMilliseconds();
    timer.start();
    step(i);
    wall.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    cpu.push_back(ThreadMilliseconds() - cpuStart);
  }
  std::cout << std::left << std::setw(48) << name << std::right << std::fixed << std::setprecision(2) << " median CPU "
            << std::setw(7) << Median(cpu) << " ms, wall " << std::setw(7) << Median(wall) << " ms, slowest wall "
            << std::setw(7) << *std::max_element(wall.begin(), wall.end()) << " ms\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);

  TDataTable table;
  table.ResetForNewDocument();
  FillTable(table);
  TSpreadGrid grid(TGridKind::RawData, table);
  grid.show();
  for (const QSize size : {QSize(1600, 1000), QSize(1000, 600)}) {
    grid.resize(size);
    grid.scrollToTop();
    QApplication::processEvents();
    RepaintAll(grid);

    std::cout << "Raw-data grid, 1000 x 26 values, " << grid.width() << " x " << grid.height() << " pixels, offscreen, "
              << Repeats << " runs\n";
    Measure("RefreshAll + repaint", [&](int) {
      grid.RefreshAll();
      RepaintAll(grid);
    });
    Measure("RefreshAll + repaint, scrolled to row 500", [&](int i) {
      if (i == 0) grid.scrollTo(grid.model()->index(500, 0), QAbstractItemView::PositionAtTop);
      grid.RefreshAll();
      RepaintAll(grid);
    });
    Measure("decimals of column C changed + RefreshColumn", [&](int i) {
      table.UserDecimals[2] = i % 6;
      grid.RefreshColumn(3);
      grid.viewport()->repaint();
    });
  }
  Measure("FormatCellValue of all 26,000 cells", [&](int) {
    std::size_t characters = 0;
    for (int row = 0; row < RawGridRowCount - FirstDataGridRow; ++row)
      for (int column = 0; column < MaxColumns; ++column)
        characters += FormatCellValue(table.GetValue(row, column), table.DisplayDecimals(column)).size();
    if (characters == 0) std::cout << "";
  });
  return 0;
}
