#include "core/analysis/LargerTable.h"

#include <algorithm>
#include <cmath>

#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/stats/EffectSizes.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::int32_t HelpTopic = 612;

bool IsWhole(TReal value) { return value == std::trunc(value); }

// The totals of the table's columns and rows (empty rows included), and
// which rows hold values.
struct TMargins {
  std::vector<TReal> Columns;
  std::vector<TReal> Rows;
  std::vector<bool> RowHasValues;
};

// Sums the margins while checking the counts: 30, 31, 33 column by column,
// 32 row by row, a later code replacing an earlier one.
TStatusCode SumMargins(const TDataTable& table, const TContingencyExtent& extent, TMargins& margins) {
  TStatusCode code = TStatusCode::Ok;
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
    margins.Columns.push_back(total);
  }
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
    margins.Rows.push_back(total);
    margins.RowHasValues.push_back(hasValues);
  }
  return code;
}

// Pearson's chi-square over the non-blank cells, with the row totals and
// the expected counts' validity.
void AddChiSquare(const TDataTable& table, const TMargins& margins, TLargerTableResult& result) {
  const TContingencyExtent& extent = result.Extent;
  const TReal n = result.N;
  for (std::size_t i = 0; i < margins.Rows.size(); ++i) {
    const int row = extent.FirstRow + static_cast<int>(i);
    result.RowTotals.push_back({row + 1, margins.Rows[i], 100 * margins.Rows[i] / n});
    if (!margins.RowHasValues[i]) continue;
    for (std::size_t j = 0; j < margins.Columns.size(); ++j) {
      const TReal observed = table.GetAnalysisValue(row, extent.FirstColumn + static_cast<int>(j));
      if (IsEmpty(observed)) continue;
      const TReal expected = margins.Rows[i] * margins.Columns[j] / n;
      if (expected <= 1) result.Invalid = true;
      if (expected <= 5) ++result.SmallCells;
      result.SmallestExpected = std::min(result.SmallestExpected, expected);
      result.ChiSquare += (observed - expected) * (observed - expected) / expected;
    }
  }
  // At least a fifth of the cells expect five or fewer.
  if (5 * result.SmallCells >= extent.Rows * extent.Columns) result.Invalid = true;
}

// The counts of a column that are typed but excluded, which the table
// leaves out.
std::int32_t ExcludedCounts(const TDataTable& table, int column) {
  const int mapped = table.MapColumn(column);
  if (mapped < 0 || mapped >= MaxColumns) return 0;
  std::int32_t excluded = 0;
  for (int row = 0; row <= table.LastRow(); ++row)
    if (!table.IsCellEmpty(row, mapped) && table.IsExcluded(row, mapped)) ++excluded;
  return excluded;
}

void AddColumnTotals(const TDataTable& table, const TMargins& margins, TLargerTableResult& result) {
  for (std::size_t j = 0; j < margins.Columns.size(); ++j) {
    if (!(margins.Columns[j] > 0)) continue;
    const int column = result.Extent.FirstColumn + static_cast<int>(j);
    result.ColumnTotals.push_back({column, table.Summary(column).Title, margins.Columns[j],
                                   100 * margins.Columns[j] / result.N, ExcludedCounts(table, column)});
  }
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

TLargerTableResult ComputeLargerTable(const TLargerTableRequest&, const TDataTable& table) {
  TLargerTableResult result;
  result.Extent = FindContingencyExtent(table);
  const TContingencyExtent& extent = result.Extent;
  if (!extent.Rectangular) {
    result.Status = TStatusCode::NotRectangular;
    return result;
  }
  if (extent.Rows == 0 || extent.Columns == 0) {
    result.Status = TStatusCode::NoContingencyData;
    return result;
  }
  TMargins margins;
  result.Status = SumMargins(table, extent, margins);
  if (result.Status != TStatusCode::Ok) return result;

  for (const TReal total : margins.Columns) result.N += total;
  AddChiSquare(table, margins, result);
  AddColumnTotals(table, margins, result);
  result.DF = (extent.Rows - 1) * (extent.Columns - 1);
  result.P = p_value_chi_square(result.DF, result.ChiSquare);
  result.CramersV = CramersV(result.ChiSquare, result.N, extent.Rows, extent.Columns);

  if (extent.Rows == 2 && extent.Columns > 2) {
    result.Trend = chi_square_trend(table, extent, TTrendCategories::Columns);
  } else if (extent.Rows > 2 && extent.Columns == 2) {
    result.Trend = chi_square_trend(table, extent, TTrendCategories::Rows);
  }
  return result;
}

void RunLargerTable(const TLargerTableRequest& request, TAnalysisRun& run) {
  run.Report.HelpTopic = HelpTopic;
  const TLargerTableResult result = ComputeLargerTable(request, run.Table);
  run.Table.StatusCode = result.Status;
  FillLargerTableRecord(result, run.Record);
  if (result.Status == TStatusCode::Ok) WriteLargerTableReport(result, run.Report);
}

}  // namespace ombrel
