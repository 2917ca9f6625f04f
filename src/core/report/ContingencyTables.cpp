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

// Totals are summed in 64 bits so that large counts cannot overflow.
void WriteCount(TTableWriter& t, std::int64_t count) { t.Right(15, std::to_string(count)); }

// "(" right-aligned in 10, the percentage in 3 without decimals, "%)".
void WritePercentCell(TTableWriter& t, TReal fraction) {
  t.Right(10, "(");
  t.Report().WriteNumberIn(3, IsEmpty(fraction) ? EmptyValue : 100 * fraction, 0);
  t.Text("%)");
}

TReal Fraction(std::int64_t count, std::int64_t total) {
  return total == 0 ? EmptyValue : static_cast<TReal>(count) / static_cast<TReal>(total);
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

void WriteTwoByTwoCountTable(TReportText& report, const TTwoByTwoCounts& counts, bool suppressStar) {
  const std::int64_t topTotal = std::int64_t{counts.A} + counts.B;
  const std::int64_t bottomTotal = std::int64_t{counts.C} + counts.D;
  const std::int64_t leftTotal = std::int64_t{counts.A} + counts.C;
  const std::int64_t rightTotal = std::int64_t{counts.B} + counts.D;
  const std::int64_t grandTotal = topTotal + bottomTotal;

  TTableWriter t(report, TTabSet::T15);
  t.Bold();
  t.At(1).Right(15, counts.LeftColumnTitle).At(2).Right(15, counts.RightColumnTitle).At(3).Right(15, "Total");
  t.Bold().EndLine();

  const auto writeDataRow = [&](std::string_view title, std::int32_t left, std::int32_t right, std::int64_t total) {
    t.Bold().At(0).Right(15, title).Bold();
    t.At(1).Integer(15, left).At(2).Integer(15, right);
    if (!suppressStar) t.Text("* ");
    t.At(3);
    WriteCount(t, total);
    t.EndLine();
    t.At(1);
    WritePercentCell(t, Fraction(left, grandTotal));
    t.At(2);
    WritePercentCell(t, Fraction(right, grandTotal));
    t.At(3);
    WritePercentCell(t, Fraction(total, grandTotal));
    t.EndLine();
  };
  writeDataRow(counts.TopRowTitle, counts.A, counts.B, topTotal);
  t.EndLine();
  writeDataRow(counts.BottomRowTitle, counts.C, counts.D, bottomTotal);

  t.Bold().SingleRules({65}).EndLine();
  t.At(0).Right(15, "Total").Bold();
  t.At(1);
  WriteCount(t, leftTotal);
  t.At(2);
  WriteCount(t, rightTotal);
  t.At(3);
  WriteCount(t, grandTotal);
  t.EndLine();
  t.At(1);
  WritePercentCell(t, Fraction(leftTotal, grandTotal));
  t.At(2);
  WritePercentCell(t, Fraction(rightTotal, grandTotal));
  t.At(3);
  WritePercentCell(t, 1);
  t.EndLine();
}

}  // namespace ombrel
