#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/GoldenReport.h"
#include "support/ScriptedProgress.h"
#include "support/ReportAgreement.h"
#include "core/analysis/AnalysisFrame.h"
#include "core/base/CalcProgress.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/analysis/Nonparametric.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"

// Golden reports of the three rank tests, kept in
// tests/data/reports/nonparametric. Each expected line was laid out by hand
// from the report layouts; the statistics were worked out separately in
// Python with exact fractions (ranks, T+, U, exact P as a count of sign
// patterns, rank sets or permutations) and mpmath at 40 digits (summary SDs,
// confidence limits with the 95% t table, the normal-approximation P as
// Student's t with 5000 degrees of freedom), then written with the digit
// rule (-5: 3.95 -> 3.950, 0.84 -> 0.8401, 177 -> 177.00);
// tools/expected/nonparametric.py redoes them. The reports run inside the
// analysis frame, as RunAnalysis runs them, so that a floating-point fault
// would show as a status code; each golden report has its JSON beside it.

namespace ombrel {
namespace {

struct TColumn {
  std::string Title;
  std::vector<std::optional<TReal>> Values;  // nullopt: an empty cell
};

TDataTable MakeTable(const std::vector<TColumn>& columns) {
  TDataTable table;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const int column = static_cast<int>(c);
    table.Summary(column).Title = columns[c].Title;
    table.MeanEntryColumn[c] = 0;
    for (std::size_t r = 0; r < columns[c].Values.size(); ++r)
      if (columns[c].Values[r]) table.SetValue(static_cast<int>(r), column, *columns[c].Values[r]);
  }
  return table;
}

std::vector<std::optional<TReal>> Values(std::initializer_list<TReal> values) { return {values.begin(), values.end()}; }

using test::TScriptedProgress;

TNonparametricRequest Request(TNonparametricKind kind, bool twoTailed, TReal median = 0) {
  TNonparametricRequest request;
  request.Kind = kind;
  request.Tails = twoTailed ? 2 : 1;
  request.HypotheticalMedian = median;
  request.First = {0, false};
  request.Second = {1, false};
  return request;
}

// Runs the test on the table; its report and JSON equal the golden files and
// agree with each other.
TAnalysisRecord ExpectGoldenTest(TDataTable& table, const TNonparametricRequest& request, TCalcProgress& progress,
                                 std::string_view golden, std::int32_t helpTopic) {
  TReportText report;
  TReportResults results;
  EXPECT_EQ(test::RunRecorded(RunNonparametric, request, table, progress, report, results), TStatusCode::Ok);
  EXPECT_EQ(report.HelpTopic, helpTopic);
  EXPECT_FALSE(report.Bold());
  EXPECT_FALSE(report.Underline());
  test::ExpectGoldenRun(report, results, "", TDataFormat::Raw, golden);
  return results.Analyses.front();
}

const std::string FewLine1 = "Regardless of what data you enter, it is impossible for this test to";

// ---------------------------------------------------------------------------
// One-column Wilcoxon test

struct TOneColumnCase {
  const char* Name;
  TColumn Column;
  TReal Median;
  bool TwoTailed;
  const char* Golden;
};

TAnalysisRecord RunOneColumnCase(const TOneColumnCase& c, TCalcProgress& progress) {
  SCOPED_TRACE(c.Name);
  TDataTable table = MakeTable({c.Column});
  return ExpectGoldenTest(table, Request(TNonparametricKind::SignedRank, c.TwoTailed, c.Median), progress, c.Golden,
                          662);
}

const TColumn Weight{"Weight", Values({3.1L, 4.7L, 1.2L, 6.5L, 5.8L, 2.4L})};
TEST(WilcoxonOneColumn, ReportsMatchTheirLayouts) {
  const std::vector<TOneColumnCase> cases = {
      // Differences 1.1 2.7 -0.8 4.5 3.8 0.4: T+ = 19, T- = -2; 3 of the 64
      // sign patterns reach 19, so the two-tailed P is 6/64 = 0.09375.
      {"exact, two-tailed", Weight, 2, true, "nonparametric/wilcoxon-one-column-exact-two-tailed"},
      // Differences 0 2 -2 0 3 -3 1 4: two zeros; |2| and |3| tie (ranks
      // 2.5 and 4.5); T- = -7, T+ = 14; 18 of 64 patterns reach 14: 0.28125.
      {"ties and zeros, one-tailed",
       {"Score", Values({5, 7, 3, 5, 8, 2, 6, 9})},
       5,
       false,
       "nonparametric/wilcoxon-one-column-ties-and-zeros-one-tailed"},
      // Four positive differences and one zero: 1 of 16 patterns, 0.0625,
      // and 16 < 20 patterns cannot give P < 0.05 in one tail.
      {"four ranks, one zero, one-tailed",
       {"Dose", Values({10, 12, 15, 11, 14})},
       10,
       false,
       "nonparametric/wilcoxon-one-column-four-ranks-one-zero"},
      // 1..30 against 12.25: N = 30 is not counted exactly. T+ = 321,
      // z = (|321 - 232.5| - 0.5) / sqrt(30 31 61 / 24) = 1.81001.
      {"thirty ranks, normal approximation",
       {"Rank", Values({1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                        16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30})},
       12.25L,
       true,
       "nonparametric/wilcoxon-one-column-thirty-ranks"},
  };
  for (const TOneColumnCase& c : cases) {
    TSilentCalcProgress progress;
    RunOneColumnCase(c, progress);
  }
}

TEST(WilcoxonOneColumn, CancelledOrTooLongCountGivesTheApproximateP) {
  // z = (19 - 10.5 - 0.5) / sqrt(6 7 13 / 24) = 1.67726; two-tailed P by t
  // with 5000 degrees of freedom 0.093555.
  {
    SCOPED_TRACE("cancel pressed during the second report");
    TScriptedProgress progress(2, 1000);
    const TAnalysisRecord record =
        RunOneColumnCase({"cancelled", Weight, 2, true, "nonparametric/wilcoxon-one-column-approximate"}, progress);
    EXPECT_EQ(progress.Reports(), 2);
    EXPECT_NEAR(static_cast<double>(progress.ApproximateP()), 0.093555, 1e-6);
    EXPECT_EQ(record.Method.Find("exactStatus")->AsText(), "cancelled");
  }
  {
    // Each reading of the clock is 1000 s later: the first estimate is far
    // beyond ten minutes. The same report, but the method says why.
    SCOPED_TRACE("too long");
    TScriptedProgress progress(0, 1'000'000);
    TDataTable table = MakeTable({Weight});
    TReportText report;
    TReportResults results;
    test::RunRecorded(RunNonparametric, Request(TNonparametricKind::SignedRank, true, 2), table, progress, report,
                      results);
    EXPECT_EQ(progress.Reports(), 1);
    test::ExpectGoldenReport(report, "nonparametric/wilcoxon-one-column-approximate");
    EXPECT_EQ(results.Analyses[0].Method.Find("exactStatus")->AsText(), "tooLong");
    EXPECT_TRUE(results.Analyses[0].Method.Find("arrangements")->IsNull());
  }
}

TEST(WilcoxonOneColumn, FewPatternsCannotBeSignificant) {
  // 2^N patterns below 20 (one tail) or 40 (two tails) print the two lines.
  struct TCase {
    std::initializer_list<TReal> Values;
    bool TwoTailed;
    bool Expected;
  };
  const TCase cases[] = {
      {{1, 2, 3, 4}, false, true},      // 16 < 20
      {{1, 2, 3, 4, 5}, false, false},  // 32
      {{1, 2, 3, 4, 5}, true, true},    // 32 < 40
      {{1, 2, 3, 4, 5, 6}, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Values.size()) + (c.TwoTailed ? " two-tailed" : " one-tailed"));
    TDataTable table = MakeTable({{"A", Values(c.Values)}});
    TReportText report;
    TReportResults results;
    TSilentCalcProgress progress;
    ASSERT_EQ(test::RunRecorded(RunNonparametric, Request(TNonparametricKind::SignedRank, c.TwoTailed), table, progress,
                                report, results),
              TStatusCode::Ok);
    bool found = false;
    for (const std::string& line : test::VisibleLines(report)) found = found || line == FewLine1;
    EXPECT_EQ(found, c.Expected);
  }
}

// ---------------------------------------------------------------------------
// Matched pairs

TEST(WilcoxonMatchedPairs, ReportsMatchTheirLayouts) {
  struct TCase {
    const char* Name;
    TColumn First;
    TColumn Second;
    bool TwoTailed;
    const char* Golden;
  };
  const std::vector<TCase> cases = {
      // Differences 1.1 2.2 0.3 0 2.4 0.7 1.3 1.6: one zero, the other seven
      // positive, so 1 of 128 patterns: two-tailed 2/128. Spearman rs of the
      // eight pairs 0.89822; (504 x 1.89822 / 6 rounded) = 159 is reached by
      // 92 of the 8! permutations, one-tailed 92/40320 = 0.00228.
      {"effective pairing, a zero difference, two-tailed",
       {"Before", Values({12.1L, 14.3L, 9.8L, 11.0L, 15.2L, 13.7L, 10.4L, 12.9L})},
       {"After", Values({11.0L, 12.1L, 9.5L, 11.0L, 12.8L, 13.0L, 9.1L, 11.3L})},
       true,
       "nonparametric/wilcoxon-matched-pairs-effective-pairing"},
      // Four complete pairs (the fifth row has no second value): differences
      // -6 -2 6 2, ranks 3.5 1.5 3.5 1.5, T- = -5; 9 of 16 patterns reach 5.
      // The pairs are in exactly opposite order: rs = -1.
      {"negative correlation, four pairs, one-tailed",
       {"Left", Values({3, 5, 8, 6, 7})},
       {"Right", Values({9, 7, 2, 4})},
       false,
       "nonparametric/wilcoxon-matched-pairs-negative-correlation"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = MakeTable({c.First, c.Second});
    TSilentCalcProgress progress;
    ExpectGoldenTest(table, Request(TNonparametricKind::MatchedPairs, c.TwoTailed), progress, c.Golden, 658);
  }
}

TEST(WilcoxonMatchedPairs, WeakPositivePairingIsNotEffective) {
  // rs = 9/35; 237 of the 720 permutations are as extreme: one-tailed P
  // 237/720 = 0.32917.
  TDataTable table = MakeTable({{"X", Values({1, 2, 3, 4, 5, 6})}, {"Y", Values({6, 1, 5, 2, 4, 8})}});
  TReportText report;
  TReportResults results;
  TSilentCalcProgress progress;
  ASSERT_EQ(test::RunRecorded(RunNonparametric, Request(TNonparametricKind::MatchedPairs, true), table, progress,
                              report, results),
            TStatusCode::Ok);
  const std::vector<std::string> lines = test::VisibleLines(report);
  const std::vector<std::string> expected = {
      "Nonparametric Spearman correlation coefficient (r) = 0.2571",
      "The one-tailed P value is 0.3292, considered not significant.",
      "Effective pairing results in a significant correlation between the",
      "columns.  With these data, the pairing (or matching) appears not to be effective.  The unpaired test may be "
      "more appropriate.",
  };
  const auto at = std::find(lines.begin(), lines.end(), expected[0]);
  ASSERT_GE(lines.end() - at, 4);
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(*(at + static_cast<std::ptrdiff_t>(i)), expected[i]);
}

// ---------------------------------------------------------------------------
// Mann-Whitney test

struct TMannWhitneyCase {
  const char* Name;
  TColumn First;
  TColumn Second;
  bool TwoTailed;
  const char* Golden;
};

void RunMannWhitneyCase(const TMannWhitneyCase& c, TCalcProgress& progress) {
  SCOPED_TRACE(c.Name);
  TDataTable table = MakeTable({c.First, c.Second});
  ExpectGoldenTest(table, Request(TNonparametricKind::MannWhitney, c.TwoTailed), progress, c.Golden, 114);
}

const TColumn Old{"Old", Values({1.5L, 2.5L, 3, 4, 6.5L})};
const TColumn New{"New", Values({3, 5, 6, 7, 8, 9})};
TEST(MannWhitney, ReportsMatchTheirLayouts) {
  const std::vector<TMannWhitneyCase> cases = {
      // Every A below every B: U = 0, one of the C(6, 3) = 20 rank sets, so
      // two-tailed 2/20 = 0.1 exactly ("not", not "not quite"); 20 < 40.
      {"exact, all A below B, two-tailed",
       {"Control", Values({1.5L, 2, 3.25L})},
       {"Treated", Values({4, 5.5L, 6})},
       true,
       "nonparametric/mann-whitney-exact-all-a-below-b-two-tailed"},
      // Ranks 1 4 5 against 2 3 6: U = 4, U' = 5; 10 of the 20 rank sets
      // sum to at most 10, so one tail is 0.5 and the doubled P, 1, reads
      // "> 0.9999". Summaries by hand: SD sqrt(13/3) = 2.0817, SEM 1.20185,
      // limits mean -+ 4.303 (the tabled t for 2 df) x SEM.
      {"two-tailed P reaching 1",
       {"Early", Values({1, 4, 5})},
       {"Late", Values({2, 3, 6})},
       true,
       "nonparametric/mann-whitney-two-tailed-p-reaching-1"},
      // A tie between the 3s counts one half: U = 4.5, U' = 25.5; rank sets
      // of the six New ranks out of 11 summing to at most 4.5 + 21: 12 of
      // 462 = 0.025974.
      {"exact with a tie, one-tailed", Old, New, false, "nonparametric/mann-whitney-exact-with-a-tie-one-tailed"},
      // 20 and 20 values: C(40, 20) sets are too many. U = 78,
      // z = (|78 - 200| - 0.5) / sqrt((64000 - 40) / 12 x 400 / 1560) = 3.28659.
      {"twenty against twenty, normal approximation",
       {"Low", Values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})},
       {"High", Values({8.5L,  9.5L,  10.5L, 11.5L, 12.5L, 13.5L, 14.5L, 15.5L, 16.5L, 17.5L,
                        18.5L, 19.5L, 20.5L, 21.5L, 22.5L, 23.5L, 24.5L, 25.5L, 26.5L, 27.5L})},
       true,
       "nonparametric/mann-whitney-twenty-against-twenty"},
  };
  for (const TMannWhitneyCase& c : cases) {
    TSilentCalcProgress progress;
    RunMannWhitneyCase(c, progress);
  }
}

TEST(MannWhitney, CancelledCountGivesTheApproximatePAndClaimsNoExactness) {
  // Tie term (2 - 1) 2 3 / 2 = 3; z = (|4.5 - 15| - 0.5) /
  // sqrt((1331 - 11 - 3) / 12 x 30 / 110) = 1.82782; one-tailed 0.033818.
  TScriptedProgress progress(1, 1000);
  RunMannWhitneyCase({"cancelled", Old, New, false, "nonparametric/mann-whitney-cancelled"}, progress);
  EXPECT_EQ(progress.Reports(), 1);
}

// Through a document, as the application runs it: the data set title heads
// the report, and an excluded value of New is left out and counted so; the
// figures are those of the exact case above.
TEST(MannWhitney, DocumentLeavesOutAnExcludedValue) {
  TDocument document;
  document.Table.SetTitle("Hearing trial");
  test::TypeColumn(document, 0, "Old", {1.5L, 2.5L, 3, 4, 6.5L});
  test::TypeColumn(document, 1, "New", {3, 5, 6, 40, 7, 8, 9});
  document.Table.SetExcluded(3, 1, true);
  document.Choices.TwoColumnNonparametric = 1;
  document.Choices.TwoColumnTwoTailed = 0;
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  test::ExpectGoldenDocument(document, "nonparametric/mann-whitney-document-with-excluded-value");
  ASSERT_EQ(document.Results.Analyses.size(), 1u);
  const TResultValue* columns = document.Results.Analyses[0].Method.Find("columns");
  ASSERT_NE(columns, nullptr);
  EXPECT_EQ(columns->Items()[1].Find("nUsed")->AsInteger(), 6);
  EXPECT_EQ(columns->Items()[1].Find("nLeftOut")->AsInteger(), 1);
}

// The section that closes a report when asked for: the rank-biserial r, the
// method and the APA sentence. From SciPy on the raw data
// (tools/expected/effect_sizes.py): Score against 5, T+ 14, T- 7, r 1/3;
// Before minus After, T+ 24, T- 4, r 5/7, two-tailed P 0.109375; Old and
// New, U 4.5, r 0.7.
TEST(RankTests, EffectSectionOfEachTest) {
  struct TRow {
    const char* Golden;
    TNonparametricKind Kind;
    TColumn First;
    TColumn Second;
    TReal RankBiserial;
  };
  const TRow rows[] = {
      {"nonparametric/effect-section-signed-rank",
       TNonparametricKind::SignedRank,
       {"Score", Values({5, 7, 3, 5, 8, 2, 6, 9})},
       {},
       1.0L / 3},
      {"nonparametric/effect-section-matched-pairs",
       TNonparametricKind::MatchedPairs,
       {"Before", Values({12.1L, 14.3L, 9.8L, 11.0L, 15.2L, 13.7L, 10.4L, 12.9L})},
       {"After", Values({11.0L, 12.1L, 9.5L, 11.0L, 12.8L, 13.9L, 10.9L, 11.3L})},
       5.0L / 7},
      {"nonparametric/effect-section-mann-whitney", TNonparametricKind::MannWhitney, Old, New, 0.7L},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Golden);
    TDocument document;
    const auto type = [&document](int column, const TColumn& typed) {
      std::vector<TReal> values;
      for (const std::optional<TReal>& value : typed.Values) values.push_back(value.value_or(EmptyValue));
      test::TypeColumn(document, column, typed.Title, values);
    };
    type(0, row.First);
    if (row.Kind != TNonparametricKind::SignedRank) type(1, row.Second);
    document.Choices.OneColumnTest = TOneColumnTest::Wilcoxon;
    document.Choices.HypotheticalMeanChoice = THypotheticalMeanChoice::Typed;
    document.Choices.HypotheticalMean = 5;
    document.Choices.OneColumnTwoTailed = 0;
    document.Choices.TwoColumnNonparametric = 1;
    document.Choices.TwoColumnUnpaired = row.Kind == TNonparametricKind::MannWhitney ? 1 : 0;
    test::ExpectGoldenEffectSection(document, row.Golden, row.RankBiserial);
  }
}

// ---------------------------------------------------------------------------
// Refusals

TEST(RankTests, RefuseUnusableDataBeforeWritingAnything) {
  using enum TNonparametricKind;
  struct TCase {
    const char* Name;
    TNonparametricKind Kind;
    std::vector<TColumn> Columns;
    TStatusCode Code;
  };
  const std::vector<TCase> cases = {
      {"one column of equal values: SD 0", SignedRank, {{"A", Values({4, 4, 4})}}, TStatusCode::SDZero},
      {"one column with a single value: 49 names the cause",
       SignedRank,
       {{"A", Values({4})}},
       TStatusCode::SingleValue},
      {"one column without values", SignedRank, {{"A", {}}}, TStatusCode::SingleValue},
      {"unpaired, a column of equal values",
       MannWhitney,
       {{"A", Values({1, 2})}, {"B", Values({3, 3})}},
       TStatusCode::SDZero},
      {"unpaired, an empty column", MannWhitney, {{"A", Values({1, 2})}, {"B", {}}}, TStatusCode::SingleValue},
      {"paired, a column of equal values",
       MatchedPairs,
       {{"A", Values({1, 2})}, {"B", Values({3, 3})}},
       TStatusCode::SDZero},
      {"paired, all differences equal",
       MatchedPairs,
       {{"A", Values({1, 2, 4})}, {"B", Values({2, 3, 5})}},
       TStatusCode::SameDifferences},
      {"paired, a single pair: 50 names the cause",
       MatchedPairs,
       {{"A", Values({1, 2, 4})}, {"B", {std::nullopt, std::nullopt, 7, 8}}},
       TStatusCode::SinglePair},
      {"paired, no complete pair",
       MatchedPairs,
       {{"A", Values({1, 2})}, {"B", {std::nullopt, std::nullopt, 7, 8}}},
       TStatusCode::SinglePair},
      {"paired, the pairs share one first value",
       MatchedPairs,
       {{"A", Values({5, 5, 5, 1})}, {"B", Values({1, 2, 3})}},
       TStatusCode::OneXValue},
      {"paired, the pairs share one second value",
       MatchedPairs,
       {{"A", Values({1, 2, 3})}, {"B", Values({5, 5, 5, 1})}},
       TStatusCode::OneYValue},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = MakeTable(c.Columns);
    TReportText report;
    report.BeginReport();
    TSilentCalcProgress progress;
    TAnalysisRecord record;
    TAnalysisRun run{table, report, progress, record};
    RunNonparametric(Request(c.Kind, true), run);
    EXPECT_EQ(table.StatusCode, c.Code);
    EXPECT_EQ(record.Status, c.Code);
    EXPECT_TRUE(record.Results.IsNull());
    EXPECT_EQ(report.Text(), "");
  }
}

// Typed averaged columns have no ranks: the test refuses them with 42.
TEST(RankTests, RefuseTypedAveragedColumns) {
  for (const TNonparametricKind kind : {TNonparametricKind::SignedRank, TNonparametricKind::MannWhitney}) {
    TDataTable table = MakeTable({{"A", Values({1, 2, 3})}, {"B", Values({4, 5, 6})}});
    TNonparametricRequest request = Request(kind, true);
    request.Second.Averaged = true;
    request.First.Averaged = kind == TNonparametricKind::SignedRank;
    TSilentCalcProgress progress;
    EXPECT_EQ(ComputeNonparametric(request, table, progress).Status, TStatusCode::AveragedNonparametric);
  }
}

// ---------------------------------------------------------------------------
// The statistics on their own

TEST(RankSignedDifferences, AveragesTiedRanksAndSkipsZeros) {
  // Differences 0 2 -2 3 5 -1 1 (and an empty cell): |d| 1 1 2 2 3 5 take
  // ranks 1.5 1.5 3.5 3.5 5 6; negative ranks 3.5 + 1.5; tie term 6 + 6.
  const std::vector<TReal> values = {10, 12, 8, 13, EmptyValue, 15, 9, 11};
  const TSignedRankResult r = RankSignedDifferences(values, 10);
  EXPECT_EQ(r.N, 6);
  EXPECT_EQ(r.Zeros, 1);
  EXPECT_TRUE(r.Ties);
  EXPECT_EQ(r.TMinus, -5);
  EXPECT_EQ(r.TPlus, 16);
  EXPECT_EQ(r.W, 11);
  EXPECT_NEAR(static_cast<double>(r.TieTerm), 12, 1e-15);
}

TEST(CountMannWhitneyU, CountsPairsAndSharedValues) {
  struct TCase {
    std::vector<TReal> A;
    std::vector<TReal> B;
    TReal U;
    TReal UPrime;
    TReal RankSumA;
    TReal RankSumB;
    TReal TieTerm;
  };
  const TCase cases[] = {
      // Ranks of A 1 2 3: sum 6.
      {{1, 2, 3}, {4, 5, 6}, 0, 9, 6, 15, 0},
      // A above B: U counts B above A (none), then U is the smaller value.
      {{4, 5, 6}, {1, 2, 3}, 0, 9, 15, 6, 0},
      // Combined 1 2 2 2 3: A = {2, 3} takes ranks 3 and 5; A's 2 ties two B
      // values (t = 3: (2 3 4) / 3 = 8).
      {{2, 3}, {1, 2, 2}, 1, 5, 8, 7, 8},
  };
  for (const TCase& c : cases) {
    const TMannWhitneyResult r = CountMannWhitneyU(c.A, c.B);
    EXPECT_EQ(r.U, c.U);
    EXPECT_EQ(r.UPrime, c.UPrime);
    EXPECT_EQ(r.RankSumA, c.RankSumA);
    EXPECT_EQ(r.RankSumB, c.RankSumB);
    EXPECT_EQ(r.TieTerm, c.TieTerm);
  }
}

TEST(SpearmanPairs, ExactForTwelvePairsAndByTBeyond) {
  {
    // Four pairs in perfect order: 1 of 4! permutations reaches D = 20.
    const std::vector<TReal> x = {1, 2, 3, 4};
    const std::vector<TReal> y = {10, 20, 30, 40};
    const TPairingCorrelation r = SpearmanPairs(x, y);
    EXPECT_EQ(r.R, 1);
    EXPECT_EQ(r.Status, TExactStatus::Exact);
    EXPECT_EQ(r.TwoTailedP, 2.0L / 24);
  }
  {
    // Ties in both columns: rs is Pearson's r of the average ranks, 9/35
    // here; 237 of the 720 permutations reach D = 210 x (44/35) / 6 = 44:
    // P = 2 x 237/720 = 79/120.
    const std::vector<TReal> x = {1, 2, 3, 4, 5, 6};
    const std::vector<TReal> y = {6, 1, 5, 2, 4, 8};
    const TPairingCorrelation r = SpearmanPairs(x, y);
    EXPECT_NEAR(static_cast<double>(r.R), 9.0 / 35, 1e-15);
    EXPECT_NEAR(static_cast<double>(r.TwoTailedP), 79.0 / 120, 1e-15);
  }
  {
    // Thirteen pairs: rs = 87/91, t with 11 df gives 3.36510e-7 (mpmath).
    const std::vector<TReal> x = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    const std::vector<TReal> y = {2, 1, 4, 3, 6, 5, 8, 7, 10, 9, 13, 11, 12};
    const TPairingCorrelation r = SpearmanPairs(x, y);
    EXPECT_EQ(r.Status, TExactStatus::TooLong);
    EXPECT_NEAR(static_cast<double>(r.R), 87.0 / 91, 1e-15);
    EXPECT_NEAR(static_cast<double>(r.TwoTailedP), 3.365097e-7, 3.365097e-7 * 1e-5);
  }
}

}  // namespace
}  // namespace ombrel
