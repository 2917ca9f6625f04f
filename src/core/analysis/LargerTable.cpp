#include "core/analysis/LargerTable.h"

#include <cmath>
#include <memory>
#include <string_view>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/DataTable.h"
#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/PValue.h"
#include "core/analysis/TwoByTwo.h"

namespace ombrel {

namespace {

constexpr std::int32_t HelpTopic = 612;

bool IsWhole(TReal value) { return value == std::trunc(value); }

// ---------------------------------------------------------------------------
// Report pieces

void WriteTrendSection(TReportText& report, const TTrendResult& trend) {
  const bool byColumns = trend.Categories == TTrendCategories::Columns;
  report.WriteLine();
  WriteCenteredTitle(report, "Chi-Squared Test for Trend.");
  report.WriteLine("Note: This analysis is useful only if the categories defining the");
  if (byColumns) {
    report.WriteLine("columns are arranged in a natural order (i.e. age groups, dose");
    report.WriteLine("or time), with equal spacing between columns.");
  } else {
    report.WriteLine("rows are arranged in a natural order (i.e. age groups, dose");
    report.WriteLine("or time), with equal spacing between rows.");
  }
  report.WriteLine();
  report.WriteText("Chi-squared for trend = ");
  report.WriteNumber(trend.ChiSquare, -5);
  report.WriteLine(" (1 degree of freedom)");
  report.WritePValueSentence(0, false, trend.P);
  report.WriteLine(trend.P < 0.05L ? "There is a significant linear trend among the ordered categories"
                                   : "There is not a significant linear trend among the ordered categories");
  report.WriteLine(byColumns ? "defining the columns and the proportion of subjects in the top row."
                             : "defining the rows and the proportion of subjects in the left column.");
}

}  // namespace

TContingencyExtent FindContingencyExtent(const TDataTable& table) {
  TContingencyExtent extent;
  bool found = false;
  for (int row = 0; row <= table.LastRow(); ++row) {
    int first = -1;
    int last = -1;
    for (int column = 0; column <= table.LastColumn(); ++column) {
      if (IsEmpty(table.GetAnalysisValue(row, column))) continue;
      if (first < 0) first = column;
      last = column;
    }
    if (first < 0) continue;
    if (!found) {
      found = true;
      extent.FirstRow = row;
      extent.FirstColumn = first;
      extent.LastColumn = last;
    }
    extent.LastRow = row;
    ++extent.Rows;
    if (first != extent.FirstColumn || last != extent.LastColumn) {
      extent.Rectangular = false;
    } else {
      for (int column = first; column <= last; ++column)
        if (IsEmpty(table.GetAnalysisValue(row, column))) extent.Rectangular = false;
    }
  }
  extent.Columns = found ? extent.LastColumn - extent.FirstColumn + 1 : 0;
  return extent;
}

TTrendResult chi_square_trend(const TDataTable& table, const TContingencyExtent& extent, TTrendCategories categories) {
  TReal sumN = 0;
  TReal sumO = 0;
  TReal sumNX = 0;
  TReal sumNX2 = 0;
  TReal sumOX = 0;
  const auto add = [&](TReal o, TReal other, TReal x) {
    if (IsEmpty(o)) return;
    const TReal n = o + other;
    sumN += n;
    sumO += o;
    sumNX += n * x;
    sumNX2 += n * x * x;
    sumOX += o * x;
  };
  if (categories == TTrendCategories::Columns) {
    for (int column = extent.FirstColumn; column <= extent.LastColumn; ++column)
      add(table.GetAnalysisValue(extent.FirstRow, column), table.GetAnalysisValue(extent.LastRow, column),
          static_cast<TReal>(column + 1));
  } else {
    for (int row = extent.FirstRow; row <= extent.LastRow; ++row)
      add(table.GetAnalysisValue(row, extent.FirstColumn), table.GetAnalysisValue(row, extent.FirstColumn + 1),
          static_cast<TReal>(row + 1));
  }
  const TReal meanX = sumNX / sumN;
  const TReal proportion = sumO / sumN;
  const TReal t = sumOX - sumO * meanX;
  TTrendResult result;
  result.Categories = categories;
  result.ChiSquare = t * t / ((sumNX2 - sumN * meanX * meanX) * proportion * (1 - proportion));
  result.P = p_value_chi_square(1, result.ChiSquare);
  return result;
}

TLargerTableResult chi_square_independence(const TDataTable& table) {
  TLargerTableResult result;
  result.Extent = FindContingencyExtent(table);
  const TContingencyExtent& extent = result.Extent;
  if (!extent.Rectangular) {
    result.StatusCode = TStatusCode::NotRectangular;
    return result;
  }
  if (extent.Rows == 0 || extent.Columns == 0) {
    result.StatusCode = TStatusCode::NoContingencyData;
    return result;
  }

  TStatusCode code = TStatusCode::Ok;
  std::vector<TReal> columnTotals;
  for (int column = extent.FirstColumn; column <= extent.LastColumn; ++column) {
    TReal total = 0;
    for (int row = extent.FirstRow; row <= extent.LastRow; ++row) {
      const TReal count = table.GetAnalysisValue(row, column);
      if (IsEmpty(count)) continue;
      if (!IsWhole(count)) code = TStatusCode::Fraction;
      if (count < 0) code = TStatusCode::Negative;
      total += count;
    }
    if (total == 0 && code == TStatusCode::Ok) code = TStatusCode::ZeroColumn;
    columnTotals.push_back(total);
  }
  std::vector<TReal> rowTotals;
  std::vector<bool> rowHasValues;
  for (int row = extent.FirstRow; row <= extent.LastRow; ++row) {
    TReal total = 0;
    bool hasValues = false;
    for (int column = extent.FirstColumn; column <= extent.LastColumn; ++column) {
      const TReal count = table.GetAnalysisValue(row, column);
      if (IsEmpty(count)) continue;
      hasValues = true;
      total += count;
    }
    if (hasValues && total == 0) code = TStatusCode::ZeroRow;
    rowTotals.push_back(total);
    rowHasValues.push_back(hasValues);
  }
  if (code != TStatusCode::Ok) {
    result.StatusCode = code;
    return result;
  }

  TReal n = 0;
  for (const TReal total : columnTotals) n += total;
  result.N = n;

  std::int32_t smallCells = 0;
  for (std::size_t i = 0; i < rowTotals.size(); ++i) {
    const int row = extent.FirstRow + static_cast<int>(i);
    result.RowTotals.push_back({row + 1, rowTotals[i], 100 * rowTotals[i] / n});
    if (!rowHasValues[i]) continue;
    for (std::size_t j = 0; j < columnTotals.size(); ++j) {
      const TReal observed = table.GetAnalysisValue(row, extent.FirstColumn + static_cast<int>(j));
      if (IsEmpty(observed)) continue;
      const TReal expected = rowTotals[i] * columnTotals[j] / n;
      if (expected <= 1) result.Invalid = true;
      if (expected <= 5) ++smallCells;
      result.ChiSquare += (observed - expected) * (observed - expected) / expected;
    }
  }
  for (std::size_t j = 0; j < columnTotals.size(); ++j) {
    if (!(columnTotals[j] > 0)) continue;
    const int column = extent.FirstColumn + static_cast<int>(j);
    result.ColumnTotals.push_back({table.Summary(column).Title, columnTotals[j], 100 * columnTotals[j] / n});
  }
  // At least a fifth of the cells expect five or fewer.
  if (5 * smallCells >= extent.Rows * extent.Columns) result.Invalid = true;

  result.DF = (extent.Rows - 1) * (extent.Columns - 1);
  result.P = p_value_chi_square(result.DF, result.ChiSquare);

  if (extent.Rows == 2 && extent.Columns > 2) {
    result.Trend = chi_square_trend(table, extent, TTrendCategories::Columns);
  } else if (extent.Rows > 2 && extent.Columns == 2) {
    result.Trend = chi_square_trend(table, extent, TTrendCategories::Rows);
  }
  return result;
}

void WriteTotalsTables(TReportText& report, const TLargerTableResult& result) {
  WriteTotalsHeading(report, TTotalsOf::Rows);
  for (const TRowTotal& line : result.RowTotals) WriteTotalsNumberedRow(report, line.Number, line.Total, line.Percent);
  WriteTotalsNumberedRow(report, 0, result.N, 100);
  report.WriteLine();
  WriteTotalsHeading(report, TTotalsOf::Columns);
  for (const TColumnTotal& line : result.ColumnTotals)
    WriteTotalsTitledRow(report, line.Title, line.Total, line.Percent);
  WriteTotalsNumberedRow(report, 0, result.N, 100);
  report.WriteLine();
}

void WriteLargerTableReport(TReportText& report, TReportText& totals, const TLargerTableResult& result) {
  WriteCenteredTitle(report, "Chi-squared Test for Independence");
  report.WriteLine();
  report.WriteText("Chi-square: ");
  report.WriteNumber(result.ChiSquare, -5);
  report.NewLine();
  report.WriteText("Degrees of Freedom: ");
  report.WriteInteger(result.DF);
  report.NewLine();
  report.WriteLine();
  report.WriteText("Table size: ");
  report.WriteInteger(result.Extent.Rows);
  report.WriteText(" rows, ");
  report.WriteInteger(result.Extent.Columns);
  report.WriteLine(" columns.");
  WriteTwoByTwoPSentence(report, 0, false, result.P);
  report.WriteLine(result.P < 0.05L ? "The row and column variables are significantly associated."
                                    : "The row and column variables are not significantly associated.");
  report.WriteLine();
  if (result.Invalid) {
    report.WriteLine("  Chi-square calculations are only valid when all expected");
    report.WriteLine("values are greater than 1.0 and at least 20% of the expected");
    report.WriteLine("values are greater than 5.  These conditions have not been");
    report.WriteLine("met, and thus the chi-square calculations are not valid.  To");
    report.WriteLine("avoid this problem, combine two or more rows or columns.");
  }
  if (result.Trend) WriteTrendSection(report, *result.Trend);
  report.WriteLine();
  WriteCenteredTitle(report, "Summary of Data");
  report.WriteLine();
  totals.TerminateReport();
  report.AppendReport(totals);
}

TStatusCode RunLargerTable(TDataTable& table, TReportText& report) {
  table.StatusCode = TStatusCode::Ok;
  report.HelpTopic = HelpTopic;
  const std::unique_ptr<TReportText> totals = OpenScratchReport();
  if (!totals) {
    table.StatusCode = TStatusCode::OutOfMemory;
    return table.StatusCode;
  }
  const TLargerTableResult result = chi_square_independence(table);
  table.StatusCode = result.StatusCode;
  if (result.StatusCode != TStatusCode::Ok) return table.StatusCode;
  WriteTotalsTables(*totals, result);
  WriteLargerTableReport(report, *totals, result);
  // The totals reach the report as copied text, so a number that could not
  // be written there is checked here.
  if (totals->SawNonFinite()) table.StatusCode = TStatusCode::InvalidOperation;
  return table.StatusCode;
}

}  // namespace ombrel
