#include <string>

#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
#include "core/report/TableWriter.h"

namespace ombrel {

using detail::TTableWriter;

namespace {

void WriteTotalsCells(TTableWriter& t, TReal total, TReal percent) {
  t.At(1);
  t.Report().WriteNumberIn(10, total, 0);
  t.At(2);
  t.Report().WriteNumberIn(7, percent, 2);
  t.Text("%").EndLine();
}

// A count in its cell of 15; totals are 64-bit, so large counts cannot
// overflow.
void WriteCount(TTableWriter& t, std::int64_t count) { t.Report().WriteIntegerIn(15, count); }

// "(" right-aligned in 10, the percentage in 3 without decimals, "%)".
void WritePercentCell(TTableWriter& t, TReal percent) {
  t.Right(10, "(");
  t.Report().WriteNumberIn(3, percent, 0);
  t.Text("%)");
}

// The percentages of a row, each below its count.
void WritePercentLine(TTableWriter& t, const TTwoByTwoCountRow& row) {
  t.At(1);
  WritePercentCell(t, row.LeftPercent);
  t.At(2);
  WritePercentCell(t, row.RightPercent);
  t.At(3);
  WritePercentCell(t, row.TotalPercent);
  t.EndLine();
}

}  // namespace

void WriteTotalsHeading(TReportText& report, TTotalsOf kind) {
  TTableWriter t(report, TTabSet::T14);
  t.Bold();
  t.At(0).Centred(15, kind == TTotalsOf::Rows ? "Row" : "Column").At(1).Centred(10, "Total");
  t.At(2).Centred(10, "Percent").EndLine();
  t.DoubleRules({15, 10, 8}).Bold().EndLine();
}

void WriteTotalsTitledRow(TReportText& report, std::string_view title, TReal total, TReal percent) {
  TTableWriter t(report, TTabSet::T14);
  t.At(0).Right(15, title);
  WriteTotalsCells(t, total, percent);
}

void WriteTotalsNumberedRow(TReportText& report, std::int32_t number, TReal total, TReal percent) {
  TTableWriter t(report, TTabSet::T14);
  if (number == 0) {
    t.SingleRules({15, 10, 8}).EndLine();
    t.At(0).Right(15, "Total");
  } else {
    t.At(0).Integer(15, number);
  }
  WriteTotalsCells(t, total, percent);
}

void WriteDiagnosticHeading(TReportText& report) {
  report.ClearTabStops();
  for (const int stop : {30, 40, 48, 52}) report.AddTabStop(stop);
  TTableWriter t(report);
  t.Bold().At(0).Text("Variable").Next(1).Text("Value").Next(2).Text("95% Confidence Interval");
  t.EndLine().EndHeading().Bold();
}

void WriteDiagnosticRow(TReportText& report, std::string_view label, TReal value, TReal lower, TReal upper) {
  TTableWriter t(report);
  t.At(0).Text(label).Next(1);
  report.WriteNumber(value, -5);
  t.Next(2);
  report.WriteNumber(lower, -5);
  t.Next(3).Text("to").Next(4);
  report.WriteNumber(upper, -5);
  t.EndLine();
}

void WriteDiagnosticValueRow(TReportText& report, std::string_view label, TReal value) {
  TTableWriter t(report);
  t.At(0).Text(label).Next(1);
  WriteValueOrInfinity(report, value);
  t.EndLine();
}

void WriteTwoByTwoCountTable(TReportText& report, const TTwoByTwoCounts& counts, bool suppressStar) {
  TTableWriter t(report, TTabSet::T15);
  t.Bold();
  t.At(1).Right(15, counts.LeftColumnTitle).At(2).Right(15, counts.RightColumnTitle).At(3).Right(15, "Total");
  t.Bold().EndLine().EndHeading();

  const auto writeDataRow = [&](std::string_view title, const TTwoByTwoCountRow& row) {
    t.Bold().At(0).Right(15, title).Bold();
    t.At(1);
    WriteCount(t, row.Left);
    t.At(2);
    WriteCount(t, row.Right);
    if (!suppressStar) t.Text("* ");
    t.At(3);
    WriteCount(t, row.Total);
    t.EndLine();
    WritePercentLine(t, row);
  };
  writeDataRow(counts.TopRowTitle, counts.Top);
  t.EndLine();
  writeDataRow(counts.BottomRowTitle, counts.Bottom);

  t.Bold().SingleRules({65}).EndLine();
  t.At(0).Right(15, "Total").Bold();
  t.At(1);
  WriteCount(t, counts.Total.Left);
  t.At(2);
  WriteCount(t, counts.Total.Right);
  t.At(3);
  WriteCount(t, counts.Total.Total);
  t.EndLine();
  WritePercentLine(t, counts.Total);
}

}  // namespace ombrel
