// What a report records beside its text: the numbers it printed, and each
// report table as heading and body cells.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/report/TableWriter.h"

namespace ombrel {
namespace {

std::vector<std::string> Texts(const TReportRow& row) {
  std::vector<std::string> texts;
  for (const TReportCell& cell : row) texts.push_back(cell.Text);
  return texts;
}

TEST(ReportStructure, NumbersKeepValueFormatAndPlace) {
  TReportText report;
  report.BeginReport();
  report.WriteLine("Title");
  report.WriteText("t = ");
  report.WriteNumber(6.77066527939L, -5);
  report.WriteText(" df ");
  report.WriteInteger(9);
  report.WriteText(" P ");
  report.WriteNumberIn(10, 0.0000123L, -5);
  report.NewLine();
  const std::vector<TReportNumber>& numbers = report.Structure().Numbers;
  ASSERT_EQ(numbers.size(), 3u);
  EXPECT_EQ(numbers[0].Line, 1);
  EXPECT_EQ(numbers[0].Text, "6.771");
  EXPECT_EQ(numbers[0].Form, TNumberForm::Fixed);
  EXPECT_EQ(numbers[0].Decimals, 3);
  EXPECT_EQ(numbers[0].FirstColumn, 4);
  EXPECT_EQ(numbers[0].EndColumn, 9);
  EXPECT_EQ(numbers[0].Value, 6.77066527939L);
  EXPECT_EQ(numbers[1].Form, TNumberForm::Integer);
  EXPECT_EQ(numbers[2].Text, "1.230E-05");
  EXPECT_EQ(numbers[2].Form, TNumberForm::Scientific);
}

// The column summary's first line is its heading; the row labels are bold
// cells; a companion table written to a scratch report moves with the lines
// it is appended to.
TEST(ReportStructure, TablesComeWithTheirLines) {
  TColumnSummary a;
  a.Title = "Before";
  a.N = 3;
  a.Mean = 2;
  TReportText report;
  report.BeginReport();
  report.WriteLine("Intro");
  WriteColumnSummaryTable(report, a);
  const auto scratch = OpenScratchReport();
  WriteGroupRangeHeading(*scratch);
  WriteGroupRangeRow(*scratch, "Before", 3, 1, 3, 0.5L, 3.5L);
  report.AppendReport(*scratch);
  report.FinishReport();

  const std::vector<TReportTable>& tables = report.Structure().Tables;
  ASSERT_EQ(tables.size(), 2u);
  const TReportTable& summary = tables[0];
  EXPECT_EQ(summary.FirstLine, 2);
  EXPECT_EQ(summary.EndLine, 12);
  ASSERT_EQ(summary.Header.size(), 1u);
  EXPECT_EQ(Texts(summary.Header[0]), (std::vector<std::string>{"Parameter:", "Before"}));
  ASSERT_EQ(summary.Body.size(), 9u);
  EXPECT_EQ(Texts(summary.Body[1]), (std::vector<std::string>{"# of points:", "3"}));
  EXPECT_EQ(summary.Body[1][0].Style, CellBold);
  EXPECT_TRUE(summary.Body[1][1].HasNumber);
  EXPECT_EQ(summary.Body[1][1].Value, 3);

  const TReportTable& range = tables[1];
  EXPECT_EQ(range.FirstLine, 13);
  EXPECT_EQ(Texts(range.Header[0]),
            (std::vector<std::string>{"Group", "Minimum", "Maximum", "95% Confidence Interval From", "To"}));
  ASSERT_EQ(range.Body.size(), 1u);
  EXPECT_EQ(Texts(range.Body[0]), (std::vector<std::string>{"Before", "1.000", "3.000", "0.5000", "3.500"}));
  for (int line = range.FirstLine; line < range.EndLine; ++line)
    EXPECT_NE(report.GetLine(line).value_or(""), "") << line;
}

// A table on the report's own tab stops: At starts a cell where the line
// is, Next at the next stop; a field that reaches the last stop gets one
// blank before the next, which belongs to no cell.
TEST(ReportStructure, TablesOnTheReportsOwnStops) {
  TReportText report;
  report.BeginReport();
  report.ClearTabStops();
  report.AddTabStop(6);
  report.AddTabStop(12);
  {
    detail::TTableWriter t(report);
    t.Bold().At(0).Text("Name").Next(1).Text("Low").Next(2).Text("High").Bold().EndLine().EndHeading();
    t.At(0).Text("a").Next(1);
    report.WriteNumber(-12.345L, -5);
    t.Next(2);
    report.WriteNumber(-3.5L, -5);
    t.EndLine();
  }
  report.WriteLine("After the table.");
  report.FinishReport();
  EXPECT_EQ(report.GetLine(1).value_or(""), "a    -12.345 -3.500");
  ASSERT_EQ(report.Structure().Tables.size(), 1u);
  const TReportTable& table = report.Structure().Tables[0];
  EXPECT_EQ(Texts(table.Header[0]), (std::vector<std::string>{"Name", "Low", "High"}));
  ASSERT_EQ(table.Body.size(), 1u);
  EXPECT_EQ(Texts(table.Body[0]), (std::vector<std::string>{"a", "-12.345", "-3.500"}));
  EXPECT_EQ(table.EndLine, 2);
}

TEST(ReportStructure, ResetForgetsTheStructure) {
  TReportText report;
  report.BeginReport();
  WriteNormalityHeading(report);
  WriteNormalityRow(report, "A", 6, 0.1L, 0.5L, false);
  report.WriteErrorReport(TStatusCode::SDZero);
  report.FinishReport();
  EXPECT_TRUE(report.Structure().Tables.empty());
  EXPECT_TRUE(report.Structure().Numbers.empty());
}

}  // namespace
}  // namespace ombrel
