#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/GoldenReport.h"
#include "core/report/ReportText.h"

namespace ombrel {
namespace {

std::string FirstLine(void (*write)(TReportText&)) {
  TReportText report;
  report.BeginReport();
  write(report);
  report.FinishReport();
  return std::string(report.GetLine(0).value_or("<none>"));
}

TEST(WritePValueSentence, ChoosesFormAndWording) {
  struct Row {
    int Tails;
    bool Wording;
    TReal P;
    const char* Line;
  };
  const Row rows[] = {
      {2, true, 0.0001L, "The two-tailed P value is < 0.0001, considered extremely significant."},
      {2, true, 0.05L, "The two-tailed P value is 0.0500, considered not quite significant."},
      {2, true, 0.9999L, "The two-tailed P value is > 0.9999, considered not significant."},
      {2, true, 0.0123L, "The two-tailed P value is 0.0123, considered significant."},
      {1, true, 0.00001L, "The one-tailed P value is < 0.0001, considered extremely significant."},
      {0, true, 0.0712L, "The P value is 0.0712, considered not quite significant."},
      {0, false, 0.2L, "The P value is 0.2000. "},
      {2, true, 0.00999L, "The two-tailed P value is 0.0100, considered very significant."},
      {2, true, 0.000999L, "The two-tailed P value is 0.0010, considered extremely significant."},
      {2, true, 0.1L, "The two-tailed P value is 0.1000, considered not significant."},
      {7, true, 0.5L, "The P value is 0.5000, considered not significant."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Line);
    TReportText report;
    report.BeginReport();
    report.WritePValueSentence(row.Tails, row.Wording, row.P);
    report.FinishReport();
    EXPECT_EQ(report.GetLine(0).value_or(""), row.Line);
    EXPECT_EQ(report.GetLine(1).value_or("x"), "");  // the sentence ended its line
  }
}

TEST(FinishReport, PadsAShortReportToTwentyTwoLinesWithTheStarLine) {
  TReportText report;
  report.ResetReport();
  report.BeginReport();
  report.WriteLine("one");
  report.WriteLine("two");
  report.WriteLine("three");
  report.EndReport();
  report.FinishReport();
  const auto lines = test::VisibleLines(report);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "one");
  EXPECT_EQ(lines[4], "                       *     *     *");
  EXPECT_EQ(report.Text().back(), EndMarker);
}

TEST(FinishReport, LeavesALongReportAloneAndIndexesEveryLine) {
  TReportText report;
  report.BeginReport();
  for (int i = 0; i < 1500; ++i) report.WriteLine("line " + std::to_string(i));
  report.EndReport();
  report.FinishReport();
  EXPECT_EQ(report.LineCount(), 1504);
  EXPECT_EQ(report.GetLine(1499).value_or(""), "line 1499");
  EXPECT_FALSE(report.GetLine(1504).has_value());
  EXPECT_FALSE(report.GetLine(-1).has_value());
}

TEST(NewLine, ClosesAndReopensAttributesOnEveryLine) {
  TReportText report;
  report.BeginReport();
  report.ToggleBold();
  report.WriteText("a");
  report.NewLine();
  report.WriteText("b");
  report.ToggleBold();
  report.NewLine();
  report.FinishReport();
  EXPECT_EQ(report.GetLine(0).value_or(""),
            "\x80"
            "a\x80");
  EXPECT_EQ(report.GetLine(1).value_or(""),
            "\x80"
            "b\x80");
  EXPECT_EQ(report.Text().substr(0, 7),
            "\x80"
            "a\x80\r\n\x80"
            "b");
}

TEST(Columns, MarkersTakeNoColumnAndTabsMoveOnlyForward) {
  TReportText report;
  report.BeginReport();
  report.ToggleUnderline();
  report.WriteText("abcdefghijk");  // column 12
  EXPECT_EQ(report.Column(), 12);
  report.TabTo(15);
  EXPECT_EQ(report.Column(), 15);
  report.TabTo(10);  // already beyond, after a blank: nothing
  EXPECT_EQ(report.Column(), 15);
  EXPECT_EQ(report.Text(),
            "\x81"
            "abcdefghijk   ");
}

// A field that ends at or beyond the stop of the next one keeps one blank
// before it; a line that does not overflow is laid out as before.
TEST(TabStops, FieldsThatOverflowTheirStopKeepOneBlank) {
  struct TCase {
    const char* Name;
    bool UseTabTo;  // TabTo(12), else NextTabStop with stops 6 and 12
    const char* First;
    const char* Next;
    const char* Expected;
  };
  const TCase cases[] = {
      {"short field, tab", true, "abc", "|", "abc        |"},
      {"short field, next stop", false, "abc", "|", "abc  |"},
      {"ends just before the stop, tab", true, "abcdefghij", "|", "abcdefghij |"},
      {"ends on the column before the stop", true, "abcdefghijk", "|", "abcdefghijk |"},
      {"ends beyond the stop", true, "abcdefghijklm", "|", "abcdefghijklm |"},
      {"ends on the last stop, next stop", false, "abcdefghijk", "|", "abcdefghijk |"},
      {"beyond every stop, next stop", false, "abcdefghijklmn", "|", "abcdefghijklmn |"},
      {"beyond every stop after a blank", false, "abcdefghijklm ", "|", "abcdefghijklm |"},
      {"next field brings its own blanks", true, "abcdefghijklm", "   5", "abcdefghijklm   5"},
      {"markers take no column", false, "abcdefghijklm\x80", "\x80|", "abcdefghijklm\x80\x80 |"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TReportText report;
    report.BeginReport();
    report.ClearTabStops();
    report.AddTabStop(6);
    report.AddTabStop(12);
    report.WriteText(c.First);
    if (c.UseTabTo) {
      report.TabTo(12);
    } else {
      report.NextTabStop();
    }
    report.WriteText(c.Next);
    EXPECT_EQ(report.Text(), c.Expected);
  }
}

TEST(TabStops, NextTabStopWalksTheListInOrderAndStopsAtAnUnsetEntry) {
  TReportText report;
  report.BeginReport();
  report.ClearTabStops();
  report.AddTabStop(5);
  report.AddTabStop(12);
  report.AddTabStop(8);  // after 12 in list order, so never reached from column 6
  report.WriteText("x");
  report.NextTabStop();
  EXPECT_EQ(report.Column(), 5);
  report.WriteText("y");
  report.NextTabStop();
  EXPECT_EQ(report.Column(), 12);
  report.NextTabStop();  // no later stop, and the line ends in a blank: nothing
  EXPECT_EQ(report.Column(), 12);

  report.ClearTabStops();
  for (int i = 1; i <= 20; ++i) report.AddTabStop(i * 2);
  report.AddTabStop(100);  // the twenty-first is ignored
  report.NewLine();
  report.TabTo(40);
  report.NextTabStop();
  EXPECT_EQ(report.Column(), 40);
}

TEST(WriteText, CutsAtEightyCharacters) {
  TReportText report;
  report.BeginReport();
  report.WriteText(std::string(100, 'x'));
  EXPECT_EQ(report.Text().size(), 80u);
  EXPECT_EQ(report.Column(), 81);
}

TEST(Rules, WriteIntegersAndRules) {
  TReportText report;
  report.BeginReport();
  report.WriteInteger(-42);
  report.WriteIntegerIn(5, 7);
  report.WriteDoubleRule(3);
  report.WriteSingleRule(2);
  EXPECT_EQ(report.Text(), "-42    7===--");
}

// Every code keeps the number its reports have always shown, and has a
// message of its own.
TEST(ErrorMessageLines, EveryStatusCodeKeepsItsNumberAndHasAMessage) {
  using enum TStatusCode;
  const struct {
    TStatusCode Code;
    std::int32_t Number;
  } rows[] = {{DivideByZero, 2},
              {Underflow, 3},
              {Overflow, 4},
              {InvalidOperation, 5},
              {OutOfMemory, 10},
              {NotEnoughData, 11},
              {AnovaSingleValue, 12},
              {AllSDsZero, 13},
              {AllMeansIdentical, 14},
              {MissingValues, 15},
              {Fraction, 30},
              {Negative, 31},
              {ZeroRow, 32},
              {ZeroColumn, 33},
              {NotRectangular, 34},
              {NoConvergence, 35},
              {TooFewRegressionPoints, 36},
              {OneXValue, 37},
              {OneYValue, 38},
              {TooFewCorrelationPoints, 39},
              {SDZero, 40},
              {SameDifferences, 41},
              {AveragedNonparametric, 42},
              {AveragedAnova, 43},
              {AveragedPaired, 44},
              {MissingCount, 45},
              {NoContingencyData, 46},
              {NoCorrelationData, 47},
              {SingleValue, 49},
              {SinglePair, 50},
              {NoMultipleRegressionData, 60},
              {NoDependentVariable, 61},
              {NoIndependentVariables, 62},
              {TooFewMatrixVariables, 63},
              {TooFewRegressionRows, 64},
              {SingularRegression, 65}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Number);
    EXPECT_EQ(static_cast<std::int32_t>(row.Code), row.Number);
    const auto& lines = ErrorMessageLines(row.Code);
    ASSERT_FALSE(lines.empty());
    for (const std::string_view line : lines) EXPECT_FALSE(line.empty());
  }
  EXPECT_TRUE(ErrorMessageLines(TStatusCode::Ok).empty());
}

TEST(WriteErrorReport, ReplacesTheReportByTheMessage) {
  TReportText report;
  report.BeginReport();
  report.WriteLine("Title");
  report.WriteText("partial");
  report.WriteErrorReport(TStatusCode::SameDifferences);
  report.EndReport();
  report.FinishReport();
  const auto lines = test::VisibleLines(report);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "Paired t test requires at least two distinct paired differences.");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines.size(), 22u);
}

TEST(WriteErrorReport, MessagesOfSeveralLinesAndCodeZero) {
  TReportText report;
  report.BeginReport();
  report.WriteErrorReport(TStatusCode::InvalidOperation);
  report.FinishReport();
  EXPECT_EQ(report.GetLine(1).value_or(""), "Invalid floating point operation.  This unanticipated error");
  EXPECT_EQ(report.GetLine(4).value_or(""), "problem can be reproduced and corrected.");
  EXPECT_EQ(report.GetLine(5).value_or("x"), "");

  TReportText ok;
  ok.BeginReport();
  ok.WriteLine("kept");
  ok.WriteErrorReport(TStatusCode::Ok);
  ok.FinishReport();
  EXPECT_EQ(ok.GetLine(0).value_or(""), "kept");

  TReportText unknown;
  unknown.BeginReport();
  unknown.WriteErrorReport(static_cast<TStatusCode>(99));
  unknown.FinishReport();
  EXPECT_EQ(unknown.GetLine(1).value_or(""), "The analysis could not be completed (error 99).");
}

TEST(AppendReport, CopiesEachLineAndTheTailAfterTheLastLineEnd) {
  auto scratch = OpenScratchReport();
  ASSERT_TRUE(scratch);
  scratch->WriteLine("first");
  scratch->ToggleBold();
  scratch->WriteText("second\xC4\xCD");
  scratch->ToggleBold();
  scratch->NewLine();
  scratch->TerminateReport();

  TReportText target;
  target.BeginReport();
  target.WriteLine("before");
  target.AppendReport(*scratch);
  target.FinishReport();
  EXPECT_EQ(target.GetLine(0).value_or(""), "before");
  EXPECT_EQ(target.GetLine(1).value_or(""), "first");
  EXPECT_EQ(target.GetLine(2).value_or(""), "\x80second-=\x80");
  EXPECT_EQ(target.GetLine(3).value_or("x"), "");
  // Three lines added: two written ones and the empty tail.
  EXPECT_EQ(target.GetLine(4).value_or("x"), "");
}

TEST(ResetReport, KeepsColumnAndTabStopsButDropsText) {
  TReportText report;
  report.BeginReport();
  report.AddTabStop(30);
  report.WriteLine("x");
  report.WriteText("abc");
  report.ResetReport();
  EXPECT_EQ(report.Text(), "");
  EXPECT_EQ(report.LineCount(), 0);
  EXPECT_EQ(report.Column(), 4);
  report.NextTabStop();
  EXPECT_EQ(report.Column(), 30);
}

TEST(EndReport, KeepsTheHelpTopicTheAnalysisChose) {
  TReportText report;
  report.BeginReport();
  report.HelpTopic = 557;
  report.EndReport();
  EXPECT_EQ(report.ReportHelpTopic, 557);
}

TEST(FirstLineHelper, SignificanceWords) {
  EXPECT_EQ(FirstLine([](TReportText& r) { r.WriteSignificanceWord(0.0009L); }), "extremely ");
  EXPECT_EQ(FirstLine([](TReportText& r) { r.WriteSignificanceWord(0.001L); }), "very ");
  EXPECT_EQ(FirstLine([](TReportText& r) { r.WriteSignificanceWord(0.049L); }), "");
  EXPECT_EQ(FirstLine([](TReportText& r) { r.WriteSignificanceWord(0.05L); }), "not quite ");
  EXPECT_EQ(FirstLine([](TReportText& r) { r.WriteSignificanceWord(0.1L); }), "not ");
}

}  // namespace
}  // namespace ombrel
