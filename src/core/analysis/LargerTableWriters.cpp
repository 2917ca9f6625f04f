// The larger contingency table's writers: the text report and the record,
// both from a computed TLargerTableResult.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/analysis/LargerTable.h"
#include "core/analysis/TwoByTwo.h"
#include "core/report/EffectSizeLines.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

constexpr int Digits = -5;

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
  report.WriteNumber(trend.ChiSquare, Digits);
  report.WriteText(" (");
  report.WriteInteger(1);
  report.WriteLine(" degree of freedom)");
  report.WritePValueSentence(0, false, trend.P);
  report.WriteLine(trend.P < 0.05L ? "There is a significant linear trend among the ordered categories"
                                   : "There is not a significant linear trend among the ordered categories");
  report.WriteLine(byColumns ? "defining the columns and the proportion of subjects in the top row."
                             : "defining the rows and the proportion of subjects in the left column.");
}

void WriteStatistics(TReportText& report, const TLargerTableResult& result) {
  report.WriteText("Chi-square: ");
  report.WriteNumber(result.ChiSquare, Digits);
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
}

void WriteValidityWarning(TReportText& report) {
  report.WriteLine("  Chi-square calculations are only valid when all expected");
  report.WriteLine("values are greater than 1.0 and at least 20% of the expected");
  report.WriteLine("values are greater than 5.  These conditions have not been");
  report.WriteLine("met, and thus the chi-square calculations are not valid.  To");
  report.WriteLine("avoid this problem, combine two or more rows or columns.");
}

// The row and column totals tables, each closed by the grand total and an
// empty line.
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

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view CategoryNames[] = {"columns", "rows"};

TResultValue TrendTree(const TLargerTableResult& result) {
  if (!result.Trend) return TResultValue::Null();
  TResultValue trend = TResultValue::Object();
  trend.AddText("categories", CategoryNames[static_cast<int>(result.Trend->Categories)]);
  trend.AddReal("chiSquare", result.Trend->ChiSquare).AddInteger("df", 1).AddReal("p", result.Trend->P);
  return trend;
}

TResultValue ResultsOf(const TLargerTableResult& result) {
  TResultValue results = TResultValue::Object();
  results.AddReal("chiSquare", result.ChiSquare).AddInteger("df", result.DF).AddReal("p", result.P);
  results.AddInteger("rows", result.Extent.Rows).AddInteger("columns", result.Extent.Columns);
  results.AddInteger("n", static_cast<std::int64_t>(result.N)).AddBool("valid", !result.Invalid);
  results.Add("trend", TrendTree(result));
  return results;
}

TResultValue MethodOf(const TLargerTableResult& result) {
  const TContingencyExtent& extent = result.Extent;
  TResultValue method = TResultValue::Object();
  method.AddText("pValue", "chiSquareDistribution").AddInteger("df", result.DF);
  method.AddInteger("n", static_cast<std::int64_t>(result.N));
  method.AddInteger("firstRow", extent.FirstRow + 1).AddInteger("lastRow", extent.LastRow + 1);
  method.Add("firstColumn", ColumnLetterValue(extent.FirstColumn));
  method.Add("lastColumn", ColumnLetterValue(extent.LastColumn));
  method.AddInteger("emptyRows", static_cast<std::int64_t>(result.RowTotals.size()) - extent.Rows);
  method.AddInteger("cells", std::int64_t{extent.Rows} * extent.Columns);
  method.AddInteger("cellsExpectingFiveOrFewer", result.SmallCells);
  std::int64_t excluded = 0;
  for (const TColumnTotal& column : result.ColumnTotals) excluded += column.Excluded;
  method.AddInteger("excludedCounts", excluded);
  method.AddReal("smallestExpected", result.SmallestExpected);
  method.Add("trendScores", result.Trend ? TResultValue::Text("gridPosition") : TResultValue::Null());
  return method;
}

TResultValue TotalRow(TResultValue row, TReal total, TReal percent) {
  row.AddInteger("total", static_cast<std::int64_t>(total)).AddReal("percent", percent);
  return row;
}

TResultValue TablesOf(const TLargerTableResult& result) {
  TResultValue rows = TResultValue::Array();
  for (const TRowTotal& line : result.RowTotals) {
    TResultValue row = TResultValue::Object();
    row.AddInteger("row", line.Number);
    rows.Push(TotalRow(std::move(row), line.Total, line.Percent));
  }
  rows.Push(TotalRow(TResultValue::Object().Add("row", TResultValue::Null()), result.N, 100));
  TResultValue columns = TResultValue::Array();
  for (const TColumnTotal& line : result.ColumnTotals) {
    TResultValue column = TResultValue::Object();
    column.Add("column", ColumnLetterValue(line.Column)).AddText("title", line.Title);
    columns.Push(TotalRow(std::move(column), line.Total, line.Percent));
  }
  TResultValue total = TResultValue::Object();
  total.Add("column", TResultValue::Null()).AddText("title", "Total");
  columns.Push(TotalRow(std::move(total), result.N, 100));
  TResultValue tables = TResultValue::Object();
  tables.Add("rowTotals", rows).Add("columnTotals", columns);
  return tables;
}

// Each column with its subjects, and its excluded counts as left out.
std::vector<TGroupCount> ColumnGroups(const TLargerTableResult& result) {
  std::vector<TGroupCount> groups;
  for (const TColumnTotal& column : result.ColumnTotals) {
    const TReal total = std::min<TReal>(column.Total, std::numeric_limits<std::int32_t>::max());
    groups.push_back({column.Title, static_cast<std::int32_t>(total), 0, column.Excluded});
  }
  return groups;
}

// The effect section: Cramer's V (Cramer, 1946), the method and the APA
// sentence "chi-square(2, N = 75) = 7.50, p = .024, V = .32" (APA 7; V
// without its leading zero, as it cannot exceed 1). V has no interval here.
TEffectSection EffectSectionOf(const TLargerTableResult& result) {
  TEffectSection section;
  section.Sizes.push_back({"Cramer's V", {result.CramersV}});
  section.Method.Source = "the chi-square distribution";
  section.Method.Groups = ColumnGroups(result);
  const std::string df = ApaDf(result.DF) + ", " + Italic("N") + " = " + ApaDf(result.N);
  section.Apa = {ApaStatistic("chi-square", df, result.ChiSquare), ApaP(result.P),
                 ApaEffect(Italic("V"), result.CramersV, EmptyValue, EmptyValue, false)};
  return section;
}

}  // namespace

void WriteLargerTableReport(const TLargerTableResult& result, TReportText& report) {
  WriteCenteredTitle(report, "Chi-squared Test for Independence");
  report.WriteLine();
  WriteStatistics(report, result);
  if (result.Invalid) WriteValidityWarning(report);
  if (result.Trend) WriteTrendSection(report, *result.Trend);
  report.WriteLine();
  WriteCenteredTitle(report, "Summary of Data");
  report.WriteLine();
  WriteTotalsTables(report, result);
  // The summary ends with an empty line of its own.
  report.WriteLine();
}

void FillLargerTableRecord(const TLargerTableResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, "largerTable", TResultValue::Object(), result.Status)) return;
  record.Results = ResultsOf(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
