#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/analysis/Anova.h"
#include "core/stats/ColumnStats.h"

// Golden reports of the analyses of variance and their post tests. The
// lines follow the report rules (sections in order, titles centred in 65 and
// underlined, the shared report tables); every number in them was checked
// against an independent exact computation: Python fractions for means and
// sums of squares, mpmath at 30 digits for the F, t and chi-square tails.
// '^' stands for the bold marker byte and '_' for the underline marker.

namespace ombrel {
namespace {

using TColumns = std::vector<std::vector<TReal>>;

std::string Visible(std::string_view line) {
  std::string text(line);
  for (char& ch : text) {
    if (ch == BoldMarker) ch = '^';
    if (ch == UnderlineMarker) ch = '_';
  }
  return text;
}

std::vector<std::string> Lines(const TReportText& report) {
  std::vector<std::string> lines;
  for (int i = 0; i < report.LineCount(); ++i) lines.push_back(Visible(*report.GetLine(i)));
  return lines;
}

// Types raw columns into the table; the empty marker leaves a cell empty.
void TypeColumns(TDataTable& table, const TColumns& columns) {
  for (std::size_t c = 0; c < columns.size(); ++c) {
    for (std::size_t r = 0; r < columns[c].size(); ++r) {
      if (!IsEmpty(columns[c][r])) table.SetValue(static_cast<int>(r), static_cast<int>(c), columns[c][r]);
    }
    table.MeanEntryColumn[c] = 0;
  }
}

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
  document.Choices.PostTestCondition = choice.Mode;
  if (choice.Method == 5) {
    document.Choices.PairSet = 2;
    document.Choices.PostTestMethod = 2;
  } else {
    document.Choices.PostTestMethod = choice.Method;
  }
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  if (status != nullptr) *status = document.Table.StatusCode;
  return Lines(document.Report);
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
  const std::vector<std::string> golden = {
      "",
      "_              One-way Analysis of Variance (ANOVA)               _",
      "",
      "The P value is < 0.0001, considered extremely significant.",
      "Variation among column means is significantly greater than expected",
      "by chance.",
      "",
      "",
      "_Tukey-Kramer Multiple Comparisons Test_",
      "If the value of q is greater than 3.734 then the P value is less",
      "than 0.05.",
      "",
      "",
      "^                                      Mean   ^",
      "^            Comparison             Difference    q      P value  ^",
      "^================================== ========== ======= ===========^",
      "       Column A vs Column B            -3.500   4.813  *   P<0.05",
      "       Column A vs Column C            -7.000   9.216 *** P<0.001",
      "       Column B vs Column C            -3.500   4.813  *   P<0.05",
      "",
      "^                                      Mean    95% Confidence Interval^",
      "^            Difference             Difference  From     To   ^",
      "^================================== ========== ======= =======^",
      "       Column A - Column B             -3.500  -6.215 -0.7846",
      "       Column A - Column C             -7.000  -9.836  -4.164",
      "       Column B - Column C             -3.500  -6.215 -0.7846",
      "",
      "",
      "",
      "",
      "_Assumption test: Are the standard deviations of the groups equal?_",
      "",
      "ANOVA assumes that the data are sampled from populations with identical",
      "SDs. This assumption is tested using the method of Bartlett.",
      "",
      "Bartlett statistic (corrected) = 0.1612",
      "The P value is 0.9226. ",
      "Bartlett's test suggests that the differences among the SDs is",
      "not significant.",
      "",
      "",
      "_Assumption test: Are the data sampled from Gaussian distributions?_",
      "",
      "ANOVA assumes that the data are sampled from populations that follow ",
      "Gaussian distributions. This assumption is tested using the method ",
      "Kolmogorov and Smirnov:",
      "",
      "^     Group        KS     P Value  Passed normality test?^",
      "^=============== ======   ======== =======================^",
      "       Column A   0.1364 >0.10     Yes",
      "       Column B   0.1220 >0.10     Yes",
      "       Column C   0.1364 >0.10     Yes",
      "",
      "_Intermediate calculations. ANOVA table_",
      "",
      "        Source of             Degrees of   Sum of     Mean  ",
      "        variation              freedom    squares    square ",
      "============================  ==========  ========  ========",
      "Treatments (between columns)           2    122.50    61.250",
      "Residuals (within columns)            13    37.500     2.885",
      "----------------------------  ----------  --------",
      "Total                                 15    160.00",
      "",
      "F = 21.233  =(MStreatment/MSresidual) ",
      "",
      "",
      "_                         Summary of Data                         _",
      "",
      "^                Number                       Standard^",
      "^                  of              Standard   Error of^",
      "^     Group      Points     Mean   Deviation    Mean     Median ^",
      "^=============== ======   ======== =========  ========  ========^",
      "       Column A     5       5.000    1.581     0.7071     5.000",
      "       Column B     6       8.500    1.871     0.7638     8.500",
      "       Column C     5      12.000    1.581     0.7071    12.000",
      "",
      "^                                  95% Confidence Interval^",
      "^     Group      Minimum  Maximum     From        To    ^",
      "^=============== ======== ======== ========== ==========^",
      "       Column A    3.000    7.000      3.037      6.963",
      "       Column B    6.000   11.000      6.536     10.464",
      "       Column C   10.000   14.000     10.037     13.963",
  };
  const std::vector<std::string> lines = Report(ThreeGroups, {1, 0, true});
  ExpectReport(lines, 0, golden);
  ExpectReportEnds(lines, golden.size());
}

TEST(OneWayAnovaReport, PostTestSections) {
  struct TCase {
    const char* Name;
    TColumns Columns;
    TChoice Choice;
    std::vector<std::string> Golden;
  };
  const TCase cases[] = {
      {"Bonferroni, g = 3", ThreeGroups, {0, 0, true}, {
      "_Bonferroni Multiple Comparisons Test_",
      "If the value of t is greater than 2.746 then the P value is less",
      "than 0.05.",
      "",
      "",
      "^                                      Mean   ^",
      "^            Comparison             Difference    t      P value  ^",
      "^================================== ========== ======= ===========^",
      "       Column A vs Column B            -3.500   3.403  *   P<0.05",
      "       Column A vs Column C            -7.000   6.517 *** P<0.001",
      "       Column B vs Column C            -3.500   3.403  *   P<0.05",
      "",
      "^                                      Mean    95% Confidence Interval^",
      "^            Difference             Difference  From     To   ^",
      "^================================== ========== ======= =======^",
      "       Column A - Column B             -3.500  -6.324 -0.6760",
      "       Column A - Column C             -7.000  -9.950  -4.050",
      "       Column B - Column C             -3.500  -6.324 -0.6760",
  }},
      // The widest range is not significant, so no other pair is tested.
      {"Student-Newman-Keuls",
       {{8, 12, 10, 9, 11}, {8.5, 12.5, 10.5, 9.5, 11.5}, {9, 13, 11, 10, 12}, {9.5, 13.5, 11.5, 10.5, 12.5}},
       {3, 0, true},
       {
      "_Student-Newman-Keuls Multiple Comparisons Test_",
      "",
      "^                                      Mean   ^",
      "^            Comparison             Difference    q      P value  ^",
      "^================================== ========== ======= ===========^",
      "       Column A vs Column D            -1.500   2.121  ns  P>0.05",
      "       Column A vs Column C            -1.000   ---    ns  P>0.05",
      "       Column A vs Column B           -0.5000   ---    ns  P>0.05",
      "       Column B vs Column D            -1.000   ---    ns  P>0.05",
      "       Column B vs Column C           -0.5000   ---    ns  P>0.05",
      "       Column C vs Column D           -0.5000   ---    ns  P>0.05",
      "",
      "With Student-Newman-Keuls test, it is impossible to calculate confidence",
      "intervals.",
  }},
      {"Dunnett, df 4", {{1, 3}, {4, 6}, {7, 8, 9}}, {5, 0, true}, {
      "_Dunnett Multiple Comparisons Test_",
      "Too few data points. DF must exceed 5. ",
      "",
  }},
      // MS residual 1.2 and SE exactly 1: q equals the difference; the
      // critical values for 3 groups and df 5 are 3.03 and 4.63.
      {"Dunnett, df 5", {{1, 3}, {4, 6, 5}, {7, 8, 9}}, {5, 0, true}, {
      "_Dunnett Multiple Comparisons Test_",
      "Control column: Column A",
      "If the value of q is greater than 3.030 then the P value is less",
      "than 0.05.",
      "",
      "",
      "^                                      Mean   ^",
      "^            Comparison             Difference    q      P value  ^",
      "^================================== ========== ======== ==========^",
      "       Column A vs Column B            -3.000    3.000 ns  P>0.05",
      "       Column A vs Column C            -6.000    6.000 **  P<0.01",
      "",
      "^                                      Mean     Lower    Upper  ^",
      "^            Difference             Difference  95% CI   95% CI ^",
      "^================================== ========== ======== ========^",
      "       Column A - Column B             -3.000   -6.030  0.03000",
      "       Column A - Column C             -6.000   -9.030   -2.970",
  }},
      // Means 1, 2, 3, 4: slope 1 and nothing left beyond the line.
      {"linear trend", {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}}, {4, 0, true}, {
      "_Test for linear trend between column means and column number_",
      "",
      "Slope = 1.000    r squared = 0.6522",
      "",
      "^Is the linear trend statistically significant?^",
      "The P value is 0.0047, considered very significant.",
      "There is a significant linear trend.",
      "",
      "^Is the nonlinear variation statistically significant?^",
      "The P value is > 0.9999, considered not significant.",
      "After accounting for the linear trend, the remaining variation among",
      "column means is not significant.",
      "",
      "",
      "This result was obtained from dividing variation among columns into",
      "linear and nonlinear components:",
      "",
      "        Source of             Degrees of   Sum of     Mean  ",
      "        variation              freedom    squares    square ",
      "============================  ==========  ========  ========",
      "Between columns: Linear                1    15.000    15.000",
      "Between columns: Not linear            2     0.000     0.000",
      "Residuals (within columns)             8     8.000     1.000",
      "----------------------------  ----------  --------",
      "Total                                 11    23.000",
      "",
      "F (linear trend) = 15.0000    =MSlinear/MSresidual",
      "",
      "F (nonlinear trend) = 0.0000   =MSnonlinear/MSresidual",
  }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TStatusCode status = TStatusCode::Ok;
    ExpectSection(Report(c.Columns, c.Choice, &status), c.Golden);
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
  EXPECT_EQ(RunMultiColumnTest(table, false, true, report, pairs, false, true, 0, 1, 1, progress), TStatusCode::Ok);
  EXPECT_FALSE(table.ColumnMapActive());
  report.FinishReport();
  ExpectReport(Lines(report), 3,
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
    EXPECT_EQ(WriteOneWayAnovaReport(report, groups, {false, false, false}, anova, bartlett, tukey, 2),
              TStatusCode::Ok);
    report.FinishReport();
    const std::vector<std::string> lines = Lines(report);
    const bool ran = std::find(lines.begin(), lines.end(), "_Tukey-Kramer Multiple Comparisons Test_") != lines.end();
    EXPECT_EQ(ran, p <= 0.05L);
    if (!ran) {
      ExpectReport(lines, 3,
                   {"The P value is 0.0501, considered not quite significant.",
                    "Variation among column means is not significantly greater than expected", "by chance.", "",
                    "_Post tests_", "Post tests were not calculated because the P value was greater", "than 0.05.",
                    "", ""});
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
    EXPECT_EQ(RunMultiColumnTest(table, c.Nonparametric, c.Ordinary, report, pairs, false, true, 0, 1, 1, progress),
              c.Status);
    EXPECT_FALSE(table.ColumnMapActive());
    report.FinishReport();
    const std::vector<std::string> lines = Lines(report);
    if (c.Status == TStatusCode::Ok) {
      // No raw values: the normality rows say so, the medians are unknown.
      ExpectSection(lines, {"        Typed A   Normality test requires raw data."});
      ExpectSection(lines, {"        Typed A     6      10.000    2.000     0.8165   Unknown"});
    }
  }
}

const TColumns MatchedRows = {{4, 6, 5, 7, 3}, {8, 9, 7, 10, 6}, {12, 10, 14, 11, 13}};

TEST(RepeatedMeasuresReport, ThreeColumnsWithTukeyKramer) {
  const std::vector<std::string> golden = {
      "",
      "_             Repeated Measures Analysis of Variance              _",
      "",
      "The P value is 0.0006, considered extremely significant.",
      "Variation among column means is significantly greater than expected",
      "by chance.",
      "",
      "",
      "_Tukey-Kramer Multiple Comparisons Test_",
      "If the value of q is greater than 4.041 then the P value is less",
      "than 0.05.",
      "",
      "",
      "^                                      Mean   ^",
      "^            Comparison             Difference    q      P value  ^",
      "^================================== ========== ======= ===========^",
      "       Column A vs Column B            -3.000   3.928  ns  P>0.05",
      "       Column A vs Column C            -7.000   9.165 *** P<0.001",
      "       Column B vs Column C            -4.000   5.237  *   P<0.05",
      "",
      "^                                      Mean    95% Confidence Interval^",
      "^            Difference             Difference  From     To   ^",
      "^================================== ========== ======= =======^",
      "       Column A - Column B             -3.000  -6.086 0.08636",
      "       Column A - Column C             -7.000 -10.086  -3.914",
      "       Column B - Column C             -4.000  -7.086 -0.9136",
      "",
      "",
      "",
      "_Intermediate calculations. ANOVA Table:_",
      "",
      "        Source of            Degrees of   Sum of     Mean  ",
      "        variation             freedom    squares    square ",
      "=========================    ==========  ========  ========",
      "Treatment (between columns)           2    123.33    61.667",
      "Individual (between rows)             4     6.667     1.667",
      "Random (residual)                     8    23.333     2.917",
      "-------------------------    ----------  --------",
      "Total                                14    153.33",
      "",
      "F = 21.143  =MStreatment/MSresidual",
      "",
      "_Assumption test: Was the matching effective?_",
      "This test uses a second value of F and a different P value.",
      "F = 0.5714   =(MSindividual/MSresidual)",
      "",
      "The P value is 0.6912, considered not significant.",
      "Effective matching (or blocking) results in significant variation among",
      "means.  With these data, the matching appears not to be effective.",
      "Ordinary ANOVA may be more appropriate.",
      "",
      "_                         Summary of Data                         _",
      "",
      "^                Number                       Standard^",
      "^                  of              Standard   Error of^",
      "^     Group      Points     Mean   Deviation    Mean     Median ^",
      "^=============== ======   ======== =========  ========  ========^",
      "       Column A     5       5.000    1.581     0.7071     5.000",
      "       Column B     5       8.000    1.581     0.7071     8.000",
      "       Column C     5      12.000    1.581     0.7071    12.000",
      "",
      "^                                  95% Confidence Interval^",
      "^     Group      Minimum  Maximum     From        To    ^",
      "^=============== ======== ======== ========== ==========^",
      "       Column A    3.000    7.000      3.037      6.963",
      "       Column B    6.000   10.000      6.037      9.963",
      "       Column C   10.000   14.000     10.037     13.963",
  };
  const std::vector<std::string> lines = Report(MatchedRows, {1, 0, false});
  ExpectReport(lines, 0, golden);
  ExpectReportEnds(lines, golden.size());
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
  ExpectSection(lines, {"by chance.", "", "", "_Post tests_", "Post tests were not calculated because the P value was greater",
                        "than 0.05.", "", "_Intermediate calculations. ANOVA Table:_"});
}

}  // namespace
}  // namespace ombrel
