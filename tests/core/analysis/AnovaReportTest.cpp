#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/analysis/Anova.h"
#include "core/stats/ColumnStats.h"

// Golden reports of the analyses of variance and their post tests, kept in
// tests/data/reports/anova. The lines follow the report rules (sections in
// order, titles centred in 65 and underlined, the shared report tables);
// every number in them was checked against an independent exact
// computation: Python fractions for means and sums of squares, mpmath at 30
// digits for the F, t and chi-square tails (tools/expected/anova.py).

namespace ombrel {
namespace {

using namespace ombrel::test;

using TColumns = std::vector<std::vector<TReal>>;

// Types raw columns into the table; the empty marker leaves a cell empty.
void TypeColumns(TDataTable& table, const TColumns& columns) {
  for (std::size_t c = 0; c < columns.size(); ++c) {
    for (std::size_t r = 0; r < columns[c].size(); ++r) {
      if (!IsEmpty(columns[c][r])) table.SetValue(static_cast<int>(r), static_cast<int>(c), columns[c][r]);
    }
    table.MeanEntryColumn[c] = 0;
  }
}

// The post test by the numbers the document file stores.
struct TChoice {
  std::int32_t Method = 1;  // PostTestMethod; 5 for Dunnett against the control
  std::int32_t Mode = 0;    // PostTestCondition
  bool Ordinary = true;
};

// The report RunAnalysis gives a raw-data document.
std::vector<std::string> Report(const TColumns& columns, TChoice choice, TStatusCode* status = nullptr) {
  TDocument document;
  document.ChooseFormat(TDataFormat::Raw);
  TypeColumns(document.Table, columns);
  document.Choices.OrdinaryAnova = choice.Ordinary ? 1 : 0;
  document.Choices.PostTestCondition = static_cast<TPostTestCondition>(choice.Mode);
  if (choice.Method == 5) {
    document.Choices.PairSet = TPairSet::AgainstControl;
    document.Choices.PostTestMethod = TPostTestMethod::Dunnett;
  } else {
    document.Choices.PostTestMethod = static_cast<TPostTestMethod>(choice.Method);
  }
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  if (status != nullptr) *status = document.Table.StatusCode;
  return VisibleLines(document.Report);
}

// The golden lines from line `first` on; after them, only empty lines up to
// the closing star line.
void ExpectReport(const std::vector<std::string>& lines, std::size_t first, const std::vector<std::string>& golden) {
  ASSERT_GE(lines.size(), first + golden.size());
  for (std::size_t i = 0; i < golden.size(); ++i) {
    SCOPED_TRACE("line " + std::to_string(first + i));
    EXPECT_EQ(lines[first + i], golden[i]);
  }
}

void ExpectReportEnds(const std::vector<std::string>& lines, std::size_t from) {
  std::size_t i = from;
  while (i < lines.size() && lines[i].empty()) ++i;
  ASSERT_LT(i, lines.size());
  EXPECT_EQ(lines[i], "                       *     *     *");
}

// The golden lines wherever the report holds their first line.
void ExpectSection(const std::vector<std::string>& lines, const std::vector<std::string>& golden) {
  const auto start = std::find(lines.begin(), lines.end(), golden.front());
  ASSERT_NE(start, lines.end()) << golden.front();
  ExpectReport(lines, static_cast<std::size_t>(start - lines.begin()), golden);
}

const TColumns ThreeGroups = {{4, 6, 5, 7, 3}, {8, 9, 7, 10, 6, 11}, {12, 10, 14, 11, 13}};

TEST(OneWayAnovaReport, ThreeGroupsWithTukeyKramer) {
  ExpectGoldenReport(Report(ThreeGroups, {1, 0, true}), "anova/one-way-three-groups-with-tukey-kramer");
}

TEST(OneWayAnovaReport, PostTestSections) {
  struct TCase {
    const char* Name;
    TColumns Columns;
    TChoice Choice;
    const char* Golden;
  };
  const TCase cases[] = {
      {"Bonferroni, g = 3", ThreeGroups, {0, 0, true}, "anova/post-test-bonferroni-g-3"},
      // The widest range is not significant, so no other pair is tested.
      {"Student-Newman-Keuls",
       {{8, 12, 10, 9, 11}, {8.5, 12.5, 10.5, 9.5, 11.5}, {9, 13, 11, 10, 12}, {9.5, 13.5, 11.5, 10.5, 12.5}},
       {3, 0, true},
       "anova/post-test-student-newman-keuls"},
      {"Dunnett, df 4", {{1, 3}, {4, 6}, {7, 8, 9}}, {5, 0, true}, "anova/post-test-dunnett-df-4"},
      // MS residual 1.2 and SE exactly 1: q equals the difference; the
      // critical values for 3 groups and df 5 are 3.03 and 4.63.
      {"Dunnett, df 5", {{1, 3}, {4, 6, 5}, {7, 8, 9}}, {5, 0, true}, "anova/post-test-dunnett-df-5"},
      // Means 1, 2, 3, 4: slope 1 and nothing left beyond the line.
      {"linear trend", {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}}, {4, 0, true}, "anova/post-test-linear-trend"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto status = static_cast<TStatusCode>(-1);
    ExpectGoldenSection(Report(c.Columns, c.Choice, &status), c.Golden);
    EXPECT_EQ(status, TStatusCode::Ok);
  }
}

TEST(OneWayAnovaReport, BartlettNeedsFiveValuesAndNoZeroSD) {
  {
    SCOPED_TRACE("four values per group");
    const std::vector<std::string> lines = Report({{1, 2, 3, 5}, {2, 4, 5, 6}, {6, 7, 9, 9}}, {1, 1, true});
    ExpectSection(lines, {
                             "Bartlett's test can only be performed when every column has",
                             "at least five values.",
                         });
    ExpectSection(lines, {
                             "       Column A   Too few values to test.",
                             "       Column B   Too few values to test.",
                             "       Column C   Too few values to test.",
                         });
  }
  {
    SCOPED_TRACE("one group with SD 0");
    const std::vector<std::string> lines = Report({{5, 5, 5, 5, 5}, {1, 2, 3, 4, 5}, {2, 4, 6, 8, 10}}, {1, 1, true});
    ExpectSection(lines, {
                             "The P value is 0.1005, considered not significant.",
                             "Variation among column means is not significantly greater than expected",
                             "by chance.",
                         });
    ExpectSection(lines, {
                             "Bartlett's test cannot be performed because at least one column's",
                             "standard deviation is zero.",
                         });
  }
}

// Two groups through the multi-column entry point: the P value is that of
// the unpaired t test, t = 3.30664 with 9 df (mpmath: 0.0091327).
TEST(OneWayAnovaReport, TwoGroupsAreTheUnpairedTTest) {
  TDataTable table;
  TypeColumns(table, {{4, 6, 5, 7, 3}, {8, 9, 7, 10, 6, 11}});
  table.Summary(0).Title = "Before";
  table.Summary(1).Title = "After";
  RefreshColumnSummaries(table);
  TReportText report;
  report.BeginReport();
  TSilentCalcProgress progress;
  TPairFlags pairs{};
  EXPECT_EQ(
      RunMultiColumnTest(table, false, true, report, pairs, false, true, 0, TPostTestCondition::Never, 1, progress),
      TStatusCode::Ok);
  EXPECT_FALSE(table.ColumnMapActive());
  report.FinishReport();
  ExpectReport(VisibleLines(report), 3,
               {"The two-tailed P value is 0.0091, considered very significant.",
                "Variation among column means is significantly greater than expected", "by chance.", "",
                "Because there are only two columns, this ANOVA is identical to", "an unpaired two tailed t test.", "",
                "", "", "_Assumption test: Are the standard deviations of the groups equal?_"});
}

// The post test runs for P up to 0.05 in mode 2; above it the report says
// why there is none. The figures are those of ThreeGroups with P replaced.
TEST(OneWayAnovaReport, PostTestModeTwoStopsAboveFivePercent) {
  const std::vector<TColumnSummary> groups = [] {
    std::vector<TColumnSummary> summaries(3);
    const TReal means[] = {5, 8.5, 12};
    const std::int32_t counts[] = {5, 6, 5};
    for (std::size_t i = 0; i < 3; ++i) {
      summaries[i].Title = std::string("Column ") + static_cast<char>('A' + i);
      summaries[i].N = counts[i];
      summaries[i].Mean = means[i];
      summaries[i].SD = 1.5L;
    }
    return summaries;
  }();
  TOneWayAnovaResult anova = ComputeOneWayAnova(groups);
  ASSERT_EQ(anova.Status, TStatusCode::Ok);
  const TBartlettResult bartlett = ComputeBartlett(groups);
  TPostTestRequest tukey;
  tukey.Kind = TukeyKramerKind;
  for (const TReal p : {0.05L, 0.0501L}) {
    SCOPED_TRACE(static_cast<double>(p));
    anova.P = p;
    TReportText report;
    report.BeginReport();
    EXPECT_EQ(WriteOneWayAnovaReport(report, groups, {false, false, false}, anova, bartlett, tukey,
                                     TPostTestCondition::IfSignificant),
              TStatusCode::Ok);
    report.FinishReport();
    const std::vector<std::string> lines = VisibleLines(report);
    const bool ran = std::find(lines.begin(), lines.end(), "_Tukey-Kramer Multiple Comparisons Test_") != lines.end();
    EXPECT_EQ(ran, p <= 0.05L);
    if (!ran) {
      ExpectReport(
          lines, 3,
          {"The P value is 0.0501, considered not quite significant.",
           "Variation among column means is not significantly greater than expected", "by chance.", "", "_Post tests_",
           "Post tests were not calculated because the P value was greater", "than 0.05.", "", ""});
    }
  }
}

// A refused analysis leaves only its message.
TEST(AnovaReport, RefusalsReplaceTheReport) {
  struct TCase {
    const char* Name;
    TColumns Columns;
    bool Ordinary;
    TStatusCode Status;
    std::vector<std::string> Message;
  };
  const TCase cases[] = {
      {"every SD zero",
       {{5, 5, 5}, {7, 7, 7}, {1, 1, 1}},
       true,
       TStatusCode::AllSDsZero,
       {"Standard deviations are all zero. ANOVA requires at least one", "column's standard deviation to be nonzero."}},
      {"a group of one value",
       {{5}, {7, 8, 9}, {1, 2, 4}},
       true,
       TStatusCode::AnovaSingleValue,
       {"Only one value was found in a column.  ANOVA requires at least", "two per column."}},
      {"repeated measures with a hole",
       {{1, 2, 3}, {4, EmptyValue, 6}, {7, 8, 9}},
       false,
       TStatusCode::MissingValues,
       {"Data are missing.  This test requires a complete rectangular",
        "matrix.  Missing values cannot be dealt with appropriately."}},
      {"repeated measures of one row",
       {{1}, {4}, {7}},
       false,
       TStatusCode::NotEnoughData,
       {"Not enough data.  ANOVA requires at least two columns and at", "least two rows in each column."}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TStatusCode status = TStatusCode::Ok;
    const std::vector<std::string> lines = Report(c.Columns, {1, 0, c.Ordinary}, &status);
    EXPECT_EQ(status, c.Status);
    std::vector<std::string> golden = {""};
    golden.insert(golden.end(), c.Message.begin(), c.Message.end());
    golden.push_back("");
    ExpectReport(lines, 0, golden);
    ExpectReportEnds(lines, golden.size());
  }
}

// Typed means with a matched or nonparametric choice are refused (43).
TEST(AnovaReport, AveragedDataOnlyForOrdinaryParametricAnova) {
  struct TCase {
    bool Ordinary;
    bool Nonparametric;
    TStatusCode Status;
  };
  for (const TCase c : {TCase{true, false, TStatusCode::Ok}, TCase{false, false, TStatusCode::AveragedAnova},
                        TCase{true, true, TStatusCode::AveragedAnova}}) {
    SCOPED_TRACE(testing::Message() << "ordinary " << c.Ordinary << " nonparametric " << c.Nonparametric);
    TDataTable table;
    for (int column = 0; column < 3; ++column) {
      TColumnSummary& summary = table.Summary(column);
      summary.Title = std::string("Typed ") + ColumnLetter(column);
      summary.N = 6;
      summary.Mean = 10 + column;
      summary.SD = 2;
      DeriveAveragedStatistics(summary, true);
      table.MeanEntryColumn[static_cast<std::size_t>(column)] = 1;
    }
    // As the compare-means driver does for typed means, which hold no cell.
    table.SetLastColumn(2);
    TReportText report;
    report.BeginReport();
    TSilentCalcProgress progress;
    const TPairFlags pairs{};
    EXPECT_EQ(RunMultiColumnTest(table, c.Nonparametric, c.Ordinary, report, pairs, false, true, 0,
                                 TPostTestCondition::Never, 1, progress),
              c.Status);
    EXPECT_FALSE(table.ColumnMapActive());
    report.FinishReport();
    const std::vector<std::string> lines = VisibleLines(report);
    if (c.Status == TStatusCode::Ok) {
      // No raw values: the normality rows say so, the medians are unknown.
      ExpectSection(lines, {"        Typed A   Normality test requires raw data."});
      ExpectSection(lines, {"        Typed A     6      10.000    2.000     0.8165   Unknown"});
    }
  }
}

const TColumns MatchedRows = {{4, 6, 5, 7, 3}, {8, 9, 7, 10, 6}, {12, 10, 14, 11, 13}};

TEST(RepeatedMeasuresReport, ThreeColumnsWithTukeyKramer) {
  ExpectGoldenReport(Report(MatchedRows, {1, 0, false}), "anova/repeated-measures-three-columns-with-tukey-kramer");
}

// Rows without any value are skipped: the same rows with an empty row in
// the middle give the same report.
TEST(RepeatedMeasuresReport, SkipsEmptyRows) {
  TColumns spaced = MatchedRows;
  for (auto& column : spaced) column.insert(column.begin() + 2, EmptyValue);
  EXPECT_EQ(Report(spaced, {1, 0, false}), Report(MatchedRows, {1, 0, false}));
}

// When the mode withholds the post test, the repeated-measures report puts
// an empty line before the note.
TEST(RepeatedMeasuresReport, PostTestNoteAboveFivePercent) {
  const std::vector<std::string> lines = Report({{1, 2, 3, 4}, {2, 1, 4, 3}, {1, 3, 2, 4}}, {1, 2, false});
  ExpectSection(lines,
                {"by chance.", "", "", "_Post tests_", "Post tests were not calculated because the P value was greater",
                 "than 0.05.", "", "_Intermediate calculations. ANOVA Table:_"});
}

}  // namespace
}  // namespace ombrel
