#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "support/ScriptedProgress.h"
#include "support/ReportAgreement.h"
#include "support/StatsTestSupport.h"
#include "core/base/CalcProgress.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/analysis/RankAnova.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/stats/ColumnStats.h"

// Golden reports of the Kruskal-Wallis and Friedman tests, kept in
// tests/data/reports/rank-anova and laid out by hand from the report rules
// (titles centred in 65 columns, the rank-sum, rank comparison, control
// comparison and median tables with their tab stops, numbers by the digit
// rule). The figures come from an independent python3 computation
// (tools/expected/rank_anova.py): ranks and statistics in exact rationals,
// exact P values by complete enumeration, approximate P values from the
// chi-square tail in mpmath 1.3, and Dunn's critical z by the same
// bisection on the normal tail (t with 5000 degrees of freedom) to 1e-6 in
// probability. None of the comparisons lies within 1e-9 of its critical
// value. Each golden report has its JSON beside it.

namespace ombrel {
namespace {

using test::FillColumn;
using test::TScriptedProgress;

struct TColumn {
  std::string Title;
  std::vector<TReal> Values;  // EmptyValue leaves a cell empty
};

// A table as the multi-column driver hands it over: raw columns with their
// summaries computed.
TDataTable MakeTable(const std::vector<TColumn>& columns) {
  TDataTable table;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const int column = static_cast<int>(c);
    FillColumn(table, column, columns[c].Values);
    table.Summary(column).Title = columns[c].Title;
    ComputeRawColumnStatistics(table, column);
  }
  table.UseColumnSelection = 1;
  return table;
}

struct TRun {
  TPostTestCondition Mode = TPostTestCondition::Always;
  TRankPostTest PostTest = TRankPostTest::Dunn;
  bool UseSelectedPairs = false;
  TPairFlags Pairs{};
  int ControlColumn = 0;
};

TRankAnovaRequest RequestOf(TRankAnovaKind kind, const TRun& run) {
  TRankAnovaRequest request;
  request.Kind = kind;
  request.PostTest = run.PostTest;
  request.PostTestCondition = run.Mode;
  request.UseSelectedPairs = run.UseSelectedPairs;
  request.PairSelected = run.Pairs;
  request.ControlColumn = run.ControlColumn;
  return request;
}

// The report as the driver leaves it: the test's body, then the two empty
// lines that the error report adds for code 0.
struct TRanTest {
  TReportText Report;
  TReportResults Results;
  TStatusCode Status = TStatusCode::Ok;
};

void Run(TRankAnovaKind kind, TDataTable& table, const TRun& run, TCalcProgress& progress, TRanTest& out) {
  out.Status = test::RunRecorded(RunRankAnova, RequestOf(kind, run), table, progress, out.Report, out.Results);
  EXPECT_FALSE(out.Report.Bold());
}

std::vector<std::string> ReportLines(TRankAnovaKind kind, TDataTable& table, const TRun& run, TCalcProgress& progress,
                                     TStatusCode* code = nullptr) {
  TRanTest ran;
  Run(kind, table, run, progress, ran);
  if (code != nullptr) *code = ran.Status;
  std::vector<std::string> lines = test::VisibleLines(ran.Report);
  lines.resize(static_cast<std::size_t>(ran.Results.Analyses.front().EndLine));
  return lines;
}

void ExpectGoldenTest(TRankAnovaKind kind, TDataTable& table, const TRun& run, std::string_view golden) {
  TSilentCalcProgress progress;
  TRanTest ran;
  Run(kind, table, run, progress, ran);
  EXPECT_EQ(ran.Status, TStatusCode::Ok);
  test::ExpectGoldenRun(ran.Report, ran.Results, "", TDataFormat::Raw, golden);
}

constexpr TRankAnovaKind KruskalWallis = TRankAnovaKind::KruskalWallis;
constexpr TRankAnovaKind Friedman = TRankAnovaKind::Friedman;

TEST(KruskalWallisReport, ExactPWithDunnOverAllPairs) {
  // Untied ranks 1..9 with rank sums 6, 18, 21: H = 5.6, which has the exact
  // P of 84/1680 = 0.0500 (Siegel and Castellan, Table O).
  TDataTable table =
      MakeTable({{"Control", {2.1L, 3.4L, 1.9L}}, {"Drug A", {5.6L, 4.8L, 6.2L}}, {"Drug B", {3.9L, 7.1L, 8.0L}}});
  ExpectGoldenTest(KruskalWallis, table, TRun{}, "rank-anova/kruskal-wallis-exact-p-dunn");
}

TEST(KruskalWallisReport, TiesGiveTheApproximatePAndDunnTakesTheSelectedPairs) {
  // 15, 18 and 22 are tied across groups: KW = 15.423 after the tie
  // correction, chi-square P with 3 df = 0.0014888.
  TDataTable table = MakeTable({{"Placebo", {12, 15, 11, 15, 13}},
                                {"Low", {16, 18, 15, 17}},
                                {"Medium", {19, 21, 18, 22, 20}},
                                {"High", {25, 23, 24, 22}}});
  TRun run;
  run.UseSelectedPairs = true;
  // Pairs in flag order: 0-1, 0-2, 0-3, 1-2, 1-3, 2-3.
  run.Pairs[2] = 1;
  run.Pairs[3] = 1;
  run.Pairs[5] = 1;
  ExpectGoldenTest(KruskalWallis, table, run, "rank-anova/kruskal-wallis-ties-selected-pairs");
}

TEST(KruskalWallisReport, FewArrangementsAndASkippedPostTest) {
  // Sizes 1, 1, 2: only 12 arrangements, exact P = 10/12; the post test
  // only runs for P <= 0.05.
  TDataTable table = MakeTable({{"A", {5}}, {"B", {3}}, {"C", {4, 6}}});
  TRun run;
  run.Mode = TPostTestCondition::IfSignificant;
  ExpectGoldenTest(KruskalWallis, table, run, "rank-anova/kruskal-wallis-skipped-post-test");
}

TEST(KruskalWallisReport, NinetyArrangementsCountedExactly) {
  // Sizes 2, 2, 2: 90 arrangements. Rank sums 3, 7, 11 give
  // KW = 12 / 42 x (9 + 49 + 121) / 2 - 21 = 4.5714; 6 of the 90
  // arrangements reach it (one per order of the three pairs {1,2}, {3,4},
  // {5,6}), so P = 0.0667. Below 0.05 is out of reach here too, but the
  // note saying so is kept for fewer than 20 arrangements.
  TDataTable table = MakeTable({{"A", {1.1L, 1.2L}}, {"B", {2.1L, 2.2L}}, {"C", {3.1L, 3.2L}}});
  TRun run;
  run.Mode = TPostTestCondition::IfSignificant;
  ExpectGoldenTest(KruskalWallis, table, run, "rank-anova/kruskal-wallis-ninety-arrangements");
}

TEST(FriedmanReport, ExactPWithDunnAndAnEmptyRowSkipped) {
  // Rank sums 4, 11, 9 over four rows: Fr = 6.5, exact P = 54/1296 (Siegel
  // and Castellan, Table M: 0.042). The third row is empty and skipped.
  const TReal e = EmptyValue;
  TDataTable table = MakeTable({{"Before", {10.1L, 9.8L, e, 11.2L, 10.4L}},
                                {"During", {12.3L, 11.0L, e, 11.9L, 12.8L}},
                                {"After", {11.4L, 10.2L, e, 13.0L, 11.7L}}});
  ExpectGoldenTest(Friedman, table, TRun{}, "rank-anova/friedman-exact-p-empty-row");
}

TEST(FriedmanReport, TiesGiveTheApproximatePAndDunnWarnsOfThem) {
  // Ties in three rows: T = 38, Fr = 13.085 after the correction, chi-square
  // P with 3 df = 0.0044561; post tests run because P <= 0.05.
  TDataTable table =
      MakeTable({{"W1", {3, 2, 4, 1, 2}}, {"W2", {5, 4, 4, 3, 5}}, {"W3", {5, 6, 5, 6, 4}}, {"W4", {7, 6, 8, 7, 9}}});
  TRun run;
  run.Mode = TPostTestCondition::IfSignificant;
  ExpectGoldenTest(Friedman, table, run, "rank-anova/friedman-ties-dunn-warning");
}

TEST(FriedmanReport, ComparisonsWithAControlInOrderOfTheMeans) {
  // Rank sums 6, 16, 24, 14 over six untied rows: Fr = 16.4, exact P below
  // 0.0001. SE = sqrt(4 x 6 x 5 / 6) = sqrt(20), critical values for three
  // comparisons 2.35 (5%) and 2.92 (1%); the groups follow their means 4.40,
  // 5.18, 5.40, 6.57, so Dose 3 comes before Dose 1.
  TDataTable table = MakeTable({{"Vehicle", {4.2L, 3.9L, 5.1L, 4.4L, 4.8L, 4.0L}},
                                {"Dose 1", {5.5L, 4.8L, 5.9L, 5.2L, 6.1L, 4.9L}},
                                {"Dose 2", {6.8L, 6.1L, 7.2L, 6.6L, 6.9L, 5.8L}},
                                {"Dose 3", {5.0L, 5.2L, 5.3L, 4.9L, 5.6L, 5.1L}}});
  TRun run;
  run.PostTest = TRankPostTest::ControlComparisons;
  run.ControlColumn = 0;
  ExpectGoldenTest(Friedman, table, run, "rank-anova/friedman-control-comparisons");
}

// Through a document: the unselected column B takes no part, and the
// control is the table's column C (Dose 1, rank sum 16), which is the
// block's second column. Differences 16 - 6 = 10 (Vehicle), 16 - 14 = 2
// (Dose 3), 16 - 24 = -8 (Dose 2), in the order of the means; none reaches
// sqrt(20) x 2.35 = 10.510, and each interval is the difference -+ 10.510.
TEST(FriedmanReport, ThroughADocumentWithAControlAfterAnUnselectedColumn) {
  TDocument document;
  document.Table.SetTitle("Dose finding");
  test::TypeColumn(document, 0, "Vehicle", {4.2L, 3.9L, 5.1L, 4.4L, 4.8L, 4.0L});
  test::TypeColumn(document, 1, "Unused", {1, 2, 3});
  test::TypeColumn(document, 2, "Dose 1", {5.5L, 4.8L, 5.9L, 5.2L, 6.1L, 4.9L});
  test::TypeColumn(document, 3, "Dose 2", {6.8L, 6.1L, 7.2L, 6.6L, 6.9L, 5.8L});
  test::TypeColumn(document, 4, "Dose 3", {5.0L, 5.2L, 5.3L, 4.9L, 5.6L, 5.1L});
  document.RefreshSummaries();
  document.Table.ColumnSelected[1] = 0;
  document.Choices.AllColumns = 0;
  document.Choices.LastColumnCount = 5;
  document.Choices.ColumnCountKind = TColumnCountKind::ThreeOrMore;
  document.Choices.MultiColumnNonparametric = 1;
  document.Choices.OrdinaryAnova = 0;
  document.Choices.PairSet = TPairSet::AgainstControl;
  document.Choices.ControlColumn = 2;
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  test::ExpectGoldenDocument(document, "rank-anova/friedman-document-control-after-unselected-column");
}

// The section that closes a report when asked for: epsilon squared or
// Kendall's W, the method and the APA sentence. From SciPy on the raw data
// (tools/expected/effect_sizes.py): H 5.6 of nine values, epsilon squared
// 0.7; Friedman chi-square 6.5 of four rows and three columns, W 0.8125.
TEST(RankAnovaReports, EffectSectionOfEachTest) {
  const TReal e = EmptyValue;
  struct TRow {
    const char* Golden;
    int Ordinary;
    std::vector<TColumn> Columns;
    TReal Size;
  };
  const TRow rows[] = {
      {"rank-anova/effect-section-kruskal-wallis",
       1,
       {{"Control", {2.1L, 3.4L, 1.9L}}, {"Drug A", {5.6L, 4.8L, 6.2L}}, {"Drug B", {3.9L, 7.1L, 8.0L}}},
       0.7L},
      {"rank-anova/effect-section-friedman",
       0,
       {{"Before", {10.1L, 9.8L, e, 11.2L, 10.4L}},
        {"During", {12.3L, 11.0L, e, 11.9L, 12.8L}},
        {"After", {11.4L, 10.2L, e, 13.0L, 11.7L}}},
       0.8125L},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Golden);
    TDocument document;
    for (std::size_t c = 0; c < row.Columns.size(); ++c)
      test::TypeColumn(document, static_cast<int>(c), row.Columns[c].Title, row.Columns[c].Values);
    document.Choices.MultiColumnNonparametric = 1;
    document.Choices.OrdinaryAnova = row.Ordinary;
    test::ExpectGoldenEffectSection(document, row.Golden, row.Size);
  }
}

// Values giving each row the ranks listed.
std::vector<TColumn> RankedRows(const std::vector<std::vector<TReal>>& rows) {
  std::vector<TColumn> columns(rows.front().size());
  for (std::size_t j = 0; j < columns.size(); ++j) {
    columns[j].Title = std::string(1, static_cast<char>('A' + j));
    for (const auto& row : rows) columns[j].Values.push_back(row[j]);
  }
  return columns;
}

const std::vector<std::vector<TReal>> TwelveRows{{1, 2, 3}, {1, 3, 2}, {2, 1, 3}, {1, 2, 3}, {3, 1, 2}, {1, 2, 3},
                                                 {2, 3, 1}, {1, 2, 3}, {1, 3, 2}, {2, 1, 3}, {1, 2, 3}, {3, 2, 1}};

TEST(RankTestStatus, SaysHowThePValueWasFound) {
  // The P value line and the lines saying how it was found (from the fifth
  // line on). Approximate P values from the chi-square tail in mpmath: KW =
  // 4.4118 with 2 df, 0.71429 with 3 df; Fr = 2 with 6 df, 4.1667 and 2.8
  // with 2 df. The exact P of the eleven rows, 0.0435, from a complete count
  // in python3.
  const std::vector<TColumn> sixteenRanks{{"A", {1.5L, 2.5L, 3.5L, 9.5L, 10.5L}},
                                          {"B", {4.5L, 5.5L, 11.5L, 12.5L, 13.5L}},
                                          {"C", {6.5L, 7.5L, 8.5L, 14.5L, 15.5L, 16.5L}}};
  const std::vector<TColumn> fourFives{
      {"A", {1, 5, 9, 13, 17}}, {"B", {2, 6, 10, 14, 18}}, {"C", {3, 7, 11, 15, 19}}, {"D", {4, 8, 12, 16, 20}}};
  const std::vector<std::vector<TReal>> elevenRows(TwelveRows.begin(), TwelveRows.end() - 1);
  const std::vector<std::vector<TReal>> fiveRows(TwelveRows.begin(), TwelveRows.begin() + 5);
  const std::string approximate = "The P value is approximate (from chi-square distribution) because";
  struct TRow {
    const char* Name;
    bool Friedman;
    std::vector<TColumn> Columns;
    int CancelAtReport;
    std::int64_t MillisecondsPerReading;
    std::vector<std::string> Expected;  // the P line, then the lines after the verdict
  };
  const std::vector<TRow> rows = {
      {"Kruskal-Wallis cancelled",
       false,
       sixteenRanks,
       1,
       1000,
       {"The P value is 0.1102, considered not significant.", approximate, "you interrupted the exact computations."}},
      {"Kruskal-Wallis estimated too long",
       false,
       sixteenRanks,
       0,
       10 * 60 * 1000,
       {"The P value is 0.1102, considered not significant.", approximate,
        "exact calculations would have taken too long."}},
      {"Kruskal-Wallis beyond 2e9 arrangements",
       false,
       fourFives,
       0,
       1000,
       {"The P value is 0.8698, considered not significant.", approximate,
        "exact calculations would have taken too long."}},
      {"Friedman with seven columns",
       true,
       RankedRows({{1, 2, 3, 4, 5, 6, 7}, {7, 6, 5, 4, 3, 2, 1}, {2, 4, 1, 7, 3, 6, 5}}),
       0,
       1000,
       {"The P value is 0.9197, considered not significant.", approximate,
        "exact calculations would have taken too long."}},
      {"Friedman beyond 1e9 arrangements",
       true,
       RankedRows(TwelveRows),
       0,
       1000,
       {"The P value is 0.1245, considered not significant.", approximate,
        "exact calculations would have taken too long."}},
      {"Friedman at 6^11 arrangements",
       true,
       RankedRows(elevenRows),
       0,
       1000,
       {"The P value is 0.0435, considered significant.", "The P value is exactly correct (no approximations). ", ""}},
      {"Friedman cancelled",
       true,
       RankedRows(fiveRows),
       1,
       1000,
       {"The P value is 0.2466, considered not significant.", approximate, "you interrupted the exact computations."}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table = MakeTable(row.Columns);
    TScriptedProgress progress(row.CancelAtReport, row.MillisecondsPerReading);
    TRun run;
    run.Mode = TPostTestCondition::Never;
    const std::vector<std::string> lines = ReportLines(row.Friedman ? Friedman : KruskalWallis, table, run, progress);
    ASSERT_GT(lines.size(), 8u);
    EXPECT_EQ(lines[2], row.Expected[0]);
    EXPECT_EQ(lines[6], row.Expected[1]);
    EXPECT_EQ(lines[7], row.Expected[2]);
    EXPECT_FALSE(progress.Panel().CancelVisible) << "the exact progress must end";
    if (row.CancelAtReport > 0) {
      EXPECT_EQ(progress.Reports(), row.CancelAtReport);
    }
  }
}

TEST(RankTestRefusals, LeaveTheirCodeAndMessage) {
  const TReal e = EmptyValue;
  struct TRow {
    const char* Name;
    bool Friedman;
    std::vector<TColumn> Columns;
    TStatusCode Code;
  };
  const std::vector<TRow> rows = {
      {"Friedman with a missing value",
       true,
       {{"A", {1, 2, 3}}, {"B", {4, e, 6}}, {"C", {7, 8, 9}}},
       TStatusCode::MissingValues},
      {"Friedman with a value outside the first row's columns",
       true,
       {{"A", {1, 2}}, {"B", {e, 5}}, {"C", {7, 8}}},
       TStatusCode::MissingValues},
      {"Friedman with one row", true, {{"A", {1}}, {"B", {2}}, {"C", {3}}}, TStatusCode::NotEnoughData},
      {"Friedman with every row tied",
       true,
       {{"A", {1, 2}}, {"B", {1, 2}}, {"C", {1, 2}}},
       TStatusCode::InvalidOperation},
      {"Kruskal-Wallis without values", false, {{"A", {}}, {"B", {}}}, TStatusCode::NotEnoughData},
      {"Kruskal-Wallis with every value equal",
       false,
       {{"A", {4, 4}}, {"B", {4}}, {"C", {4, 4}}},
       TStatusCode::InvalidOperation},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table = MakeTable(row.Columns);
    TSilentCalcProgress progress;
    TStatusCode code = TStatusCode::Ok;
    const std::vector<std::string> lines =
        ReportLines(row.Friedman ? Friedman : KruskalWallis, table, TRun{}, progress, &code);
    EXPECT_EQ(code, row.Code);
    std::vector<std::string> expected{""};
    for (const std::string_view line : ErrorMessageLines(row.Code)) expected.emplace_back(line);
    expected.emplace_back();
    EXPECT_EQ(lines, expected);
  }
}

TEST(DunnPostTest, CriticalValuesAndTheFivePercentBoundary) {
  // The bisection on [0, 8] stops once the one-tailed P is within 1e-6 of
  // 0.05/6, 0.01/6 and 0.001/6; replayed in python3 with exact tails of t
  // with 5000 df (mpmath 1.3) it stops at these midpoints, which lie within
  // 0.0008, 0.0014 and 0.0023 of the normal quantiles 2.39398, 2.93520 and
  // 3.58791.
  const TDunnCriticalValues critical = DunnCriticalValues(3);
  EXPECT_NEAR(static_cast<double>(critical.Z05), 2.394775390625, 1e-9);
  EXPECT_NEAR(static_cast<double>(critical.Z01), 2.9365234375, 1e-9);
  EXPECT_NEAR(static_cast<double>(critical.Z001), 3.58984375, 1e-9);
  const TReal se = 1.75L;
  EXPECT_EQ(DunnCodedP(se * critical.Z05, se, critical), 0.05L);
  EXPECT_EQ(DunnCodedP(-se * critical.Z05, se, critical), 0.05L);
  EXPECT_EQ(DunnCodedP(se * critical.Z05 * (1 - 1e-12L), se, critical), 1);
  EXPECT_EQ(DunnCodedP(se * critical.Z001, se, critical), 0.001L);
}

TEST(ControlCriticalValue, InterpolatesBetweenTabledComparisons) {
  struct TRow {
    std::int32_t Comparisons;
    bool TwoTailed;
    TReal Alpha;
    double Expected;
  };
  // Tabled: 12 -> 2.77, 15 -> 2.83, 20 -> 2.91 (two-sided 5%); 1% one-sided
  // 3 -> 2.69, 15 -> 3.14, 20 -> 3.21.
  const TRow rows[] = {
      {3, false, 0.01L, 2.69},   {13, true, 0.05L, 2.79}, {14, true, 0.05L, 2.81},
      {17, false, 0.01L, 3.168}, {20, true, 0.05L, 2.91}, {25, true, 0.05L, 2.91},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Comparisons);
    EXPECT_NEAR(static_cast<double>(ControlCriticalValue(row.Comparisons, row.TwoTailed, row.Alpha)), row.Expected,
                1e-12);
  }
}

}  // namespace
}  // namespace ombrel
