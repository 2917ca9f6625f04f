#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "support/ReportAgreement.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/analysis/Anova.h"
#include "core/analysis/RankAnova.h"
#include "core/entry/SummaryCells.h"
#include "core/stats/ColumnStats.h"

// Golden reports of the analyses of variance and their post tests, kept in
// tests/data/reports/anova. The lines follow the report rules (sections in
// order, titles centred in 65 and underlined, the shared report tables);
// every number in them was checked against an independent exact
// computation: Python fractions for means and sums of squares, mpmath at 30
// digits for the F, t and chi-square tails (tools/expected/anova.py). Each
// run's text also agrees with its results as data, and the golden ones with
// their golden JSON.

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

// Runs the analysis of a raw-data document; its report agrees with its
// results as data.
void RunDocument(TDocument& document, const TColumns& columns, TChoice choice) {
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
  ExpectReportAgreesWithResults(document.Report, document.Results);
}

// The report RunAnalysis gives a raw-data document.
std::vector<std::string> Report(const TColumns& columns, TChoice choice, TStatusCode* status = nullptr) {
  TDocument document;
  RunDocument(document, columns, choice);
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
  TDocument document;
  RunDocument(document, ThreeGroups, {1, 0, true});
  ExpectGoldenDocument(document, "anova/one-way-three-groups-with-tukey-kramer");
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
    TDocument document;
    RunDocument(document, c.Columns, c.Choice);
    EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
    ExpectGoldenSection(VisibleLines(document.Report), c.Golden);
    ExpectGoldenJson(ReportResultTree(document, std::string(c.Golden) + ".omd"), c.Golden);
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

// Two groups through the entry point: the P value is that of
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
  TAnovaRequest request;
  request.PostTestMode = TPostTestCondition::Never;
  TAnalysisRecord record;
  TAnalysisRun run{table, report, progress, record};
  RunAnova(request, run);
  EXPECT_EQ(table.StatusCode, TStatusCode::Ok);
  EXPECT_FALSE(table.ColumnMapActive());
  // The effect section's method line names the tails too.
  ASSERT_TRUE(record.Effect.has_value());
  EXPECT_NE(MethodLineText(record.Effect->Method).find("; two-tailed;"), std::string::npos);
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
  TAnovaResult result;
  result.Request.PostTest = TPostTestKind::TukeyKramer;
  const TReal means[] = {5, 8.5, 12};
  const std::int32_t counts[] = {5, 6, 5};
  for (std::size_t i = 0; i < 3; ++i) {
    TColumnSummary group;
    group.Title = std::string("Column ") + static_cast<char>('A' + i);
    group.N = counts[i];
    group.Mean = means[i];
    group.SD = 1.5L;
    result.Groups.push_back(group);
    result.Averaged.push_back(false);
  }
  result.OneWay = ComputeOneWayAnova(result.Groups);
  ASSERT_EQ(result.OneWay.Status, TStatusCode::Ok);
  result.Bartlett = ComputeBartlett(result.Groups);
  for (const TReal p : {0.05L, 0.0501L}) {
    SCOPED_TRACE(static_cast<double>(p));
    result.OneWay.P = p;
    TPostTestRequest tukey;
    tukey.Kind = TPostTestKind::TukeyKramer;
    result.PostTest = ComputePostTest(PostTestInputOf(result), tukey, TrendAnovaOf(result),
                                      TPostTestCondition::IfSignificant, p, true);
    TReportText report;
    report.BeginReport();
    EXPECT_EQ(WriteAnovaReport(result, report), TStatusCode::Ok);
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

// A typed mean, SD or SEM (as the format says) and N, stored as the summary
// grid stores them (grid rows 2, 3 and 4), which derives the rest.
void TypeAveraged(TDocument& document, int column, std::string_view title, TReal mean, TReal spread, TReal n) {
  const bool sdFormat = document.MeanIsSD == 1;
  document.Table.Summary(column).Title = std::string(title);
  for (const auto& [row, value] : {std::pair{2, mean}, {3, spread}, {4, n}})
    SetSummaryValue(document.Table, column, row, sdFormat, value);
  document.MarkChanged();
}

// Typed means go through the same sums as raw data (from N, mean and SD);
// their normality rows say the test needs raw data.
TEST(OneWayAnovaReport, TypedMeansGoldenDocuments) {
  {
    SCOPED_TRACE("mean, SD and N with Bonferroni");
    TDocument document;
    ASSERT_TRUE(document.ChooseFormat(TDataFormat::MeanSdN));
    TypeAveraged(document, 0, "Placebo", 10, 2, 6);
    TypeAveraged(document, 1, "Low dose", 12, 2.5L, 6);
    TypeAveraged(document, 2, "High dose", 15, 3, 5);
    document.Choices.PostTestMethod = TPostTestMethod::Bonferroni;
    document.Choices.PostTestCondition = TPostTestCondition::Always;
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    ExpectGoldenDocument(document, "anova/one-way-typed-mean-sd-n-with-bonferroni");
  }
  {
    SCOPED_TRACE("mean, SEM and N with Dunnett");
    TDocument document;
    ASSERT_TRUE(document.ChooseFormat(TDataFormat::MeanSemN));
    TypeAveraged(document, 0, "Control", 20, 1.2L, 8);
    TypeAveraged(document, 1, "Drug A", 23.5L, 1, 8);
    TypeAveraged(document, 2, "Drug B", 26, 1.5L, 7);
    document.Choices.PairSet = TPairSet::AgainstControl;
    document.Choices.PostTestMethod = TPostTestMethod::Dunnett;
    document.Choices.ControlColumn = 0;
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    ExpectGoldenDocument(document, "anova/one-way-typed-mean-sem-n-with-dunnett");
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
    TAnalysisRecord record;
    TAnalysisRun run{table, report, progress, record};
    if (c.Nonparametric) {
      TRankAnovaRequest request;
      request.PostTestCondition = TPostTestCondition::Never;
      RunRankAnova(request, run);
    } else {
      TAnovaRequest request;
      request.Design = c.Ordinary ? TAnovaDesign::Ordinary : TAnovaDesign::RepeatedMeasures;
      request.PostTestMode = TPostTestCondition::Never;
      RunAnova(request, run);
    }
    EXPECT_EQ(table.StatusCode, c.Status);
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
  TDocument document;
  RunDocument(document, MatchedRows, {1, 0, false});
  ExpectGoldenDocument(document, "anova/repeated-measures-three-columns-with-tukey-kramer");
}

// The trend table of repeated measures keeps the rows' line.
TEST(RepeatedMeasuresReport, LinearTrend) {
  TDocument document;
  RunDocument(document, {{3, 5, 4, 6, 2}, {4, 7, 5, 7, 4}, {6, 8, 6, 9, 5}, {7, 9, 8, 10, 6}}, {4, 0, false});
  ExpectGoldenDocument(document, "anova/repeated-measures-with-linear-trend");
}

// The closing section when asked for: eta squared with its interval and
// omega squared, or partial eta squared; the method and the APA sentence.
TEST(AnovaReport, EffectSectionOfEachDesign) {
  struct TRow {
    const char* Golden;
    const TColumns& Columns;
    bool Ordinary;
  };
  const TRow rows[] = {{"anova/one-way-with-effect-sizes", ThreeGroups, true},
                       {"anova/repeated-measures-with-effect-sizes", MatchedRows, false}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Golden);
    TDocument document;
    document.EffectSizes = true;
    RunDocument(document, row.Columns, {1, 0, row.Ordinary});
    ExpectGoldenDocument(document, row.Golden);
  }
}

// Against SciPy, with the eta squared interval from the noncentral F
// (tools/expected/effect_sizes.py). With F below 1 the interval starts at 0
// and omega squared is negative.
TEST(AnovaReport, EffectSizesAgainstIndependentValues) {
  struct TRow {
    const char* Name;
    TColumns Columns;
    bool Ordinary;
    std::vector<std::vector<double>> Sizes;  // value, lower, upper (NaN: none)
  };
  const double none = std::nan("");
  const TRow rows[] = {
      {"one-way", ThreeGroups, true, {{0.765625, 0.3868621980, 0.8513261053}, {0.7166469894, none, none}}},
      {"F below 1",
       {{8, 12, 10, 9, 11}, {8.5, 12.5, 10.5, 9.5, 11.5}, {9, 13, 11, 10, 12}, {9.5, 13.5, 11.5, 10.5, 12.5}},
       true,
       {{0.1351351351, 0, 0.3313604854}, {-0.0256410256, none, none}}},
      {"repeated measures", MatchedRows, false, {{0.8409090909, none, none}}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document;
    RunDocument(document, row.Columns, {1, 1, row.Ordinary});
    ASSERT_EQ(document.Results.Analyses.size(), 1u);
    const std::optional<TEffectSection>& effect = document.Results.Analyses[0].Effect;
    ASSERT_TRUE(effect.has_value());
    ASSERT_EQ(effect->Sizes.size(), row.Sizes.size());
    for (std::size_t i = 0; i < row.Sizes.size(); ++i) {
      const TEffectSize& size = effect->Sizes[i].Size;
      const TReal got[] = {size.Value, size.Lower, size.Upper};
      for (std::size_t j = 0; j < 3; ++j) {
        if (std::isnan(row.Sizes[i][j])) {
          EXPECT_TRUE(IsEmpty(got[j])) << effect->Sizes[i].Name << " " << j;
        } else {
          EXPECT_NEAR(static_cast<double>(got[j]), row.Sizes[i][j], 1e-9) << effect->Sizes[i].Name << " " << j;
        }
      }
    }
  }
}

// The record's method facts: what became of the post test, and the values
// each group used and left out.
TEST(AnovaRecord, MethodFactsSayWhatRanAndWhatWasLeftOut) {
  struct TCase {
    const char* Name;
    TColumns Columns;
    TChoice Choice;
    std::string Outcome;
    std::vector<std::int64_t> LeftOut;
    std::string MethodEnd;  // of the effect section's method line
  };
  const TCase cases[] = {
      // B's last value is excluded below.
      {"an excluded value",
       ThreeGroups,
       {1, 0, true},
       "ran",
       {0, 1, 0},
       "left out: Column B 1 excluded; post test: Tukey-Kramer (critical q from the Studentized range table)."},
      {"P above 0.05 in mode 2",
       {{1, 2, 3, 4}, {2, 1, 4, 3}, {1, 3, 2, 4}},
       {1, 2, true},
       "skippedPAboveFivePercent",
       {0, 0, 0},
       "no values left out; post test: Tukey-Kramer, not calculated because P > 0.05."},
      // Rows and columns explain every value: no residual, no F.
      {"no residual", {{1, 2, 3}, {2, 3, 4}, {4, 5, 6}}, {1, 0, false}, "notComputed", {0, 0, 0}, "left out."},
      {"never", ThreeGroups, {0, 1, true}, "notRequested", {0, 0, 0}, "left out."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDocument document;
    TypeColumns(document.Table, c.Columns);
    document.Table.SetExcluded(5, 1, c.LeftOut[1] == 1);
    RunDocument(document, c.Columns, c.Choice);
    ASSERT_EQ(document.Results.Analyses.size(), 1u);
    const TAnalysisRecord& record = document.Results.Analyses[0];
    ASSERT_FALSE(record.Method.IsNull());
    EXPECT_EQ(record.Method.Find("postTest")->Find("outcome")->AsText(), c.Outcome);
    EXPECT_EQ(record.Results.Find("postTest")->IsNull(), c.Outcome != "ran");
    const std::vector<TResultValue>& columns = record.Method.Find("columns")->Items();
    ASSERT_EQ(columns.size(), c.LeftOut.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
      EXPECT_EQ(columns[i].Find("nLeftOut")->AsInteger(), c.LeftOut[i]) << "group " << i;
    ASSERT_TRUE(record.Effect.has_value());
    const std::string method = MethodLineText(record.Effect->Method);
    EXPECT_TRUE(method.ends_with(c.MethodEnd)) << method;
  }
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
