#pragma once

// The rank tests of one and two columns: the Wilcoxon signed-rank test
// against a hypothetical median, the Wilcoxon matched-pairs test and the
// Mann-Whitney test. The family follows docs/ARCHITECTURE.md, "Results as
// data": ComputeNonparametric returns every figure the report prints,
// WriteNonparametricReport formats it and FillNonparametricRecord puts it
// into the record; RunNonparametric is the entry point RunAnalysis calls.

#include <cstdint>
#include <span>

#include <vector>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/TTests.h"
#include "core/base/DataTable.h"
#include "core/stats/ExactRankCounts.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// ---------------------------------------------------------------------------
// The rank statistics

// Signed ranks of the differences from a hypothetical median and the P value
// of the signed-rank test.
struct TSignedRankResult {
  std::int32_t N = 0;      // values with a non-zero difference
  std::int32_t Zeros = 0;  // differences of exactly 0, never ranked
  bool Ties = false;       // some |differences| share a rank
  TReal TMinus = 0;        // sum of the negative ranks, kept negative
  TReal TPlus = 0;
  TReal W = 0;                      // TPlus + TMinus
  TReal TieTerm = 0;                // sum of t^3 - t over the groups of tied |differences|
  TReal Z = EmptyValue;             // of the normal approximation
  TReal ApproximateP = EmptyValue;  // one-tailed, normal approximation
  TExactStatus Status = TExactStatus::TooLong;
  std::uint64_t Arrangements = 0;  // 2^N when the exact count finished
  TReal OneTailedP = EmptyValue;   // exact when Status is Exact, else ApproximateP
};

// Ranks |value - median| over the values (empty markers skipped): zeros are
// counted and left out, ties share the average of their ranks. Fills N,
// Zeros, Ties, TMinus, TPlus, W and TieTerm.
TSignedRankResult RankSignedDifferences(std::span<const TReal> values, TReal median);

// Wilcoxon signed-rank test of a column's analysis values (rows 0 to
// LastRow) against a hypothetical median. The exact one-tailed P is the
// share of the 2^N sign patterns of the ranks 1..N whose positive sum is at
// least the larger of T+ and |T-|, counted for N < 30 between
// StartExactProgress and EndExactProgress; a cancelled count, or N >= 30,
// gives the normal approximation with its tie correction.
TSignedRankResult signed_rank_test(const TDataTable& table, int column, TReal median, bool twoTailed,
                                   TCalcProgress& progress);

// The Mann-Whitney statistics of two groups and the P value of the test.
struct TMannWhitneyResult {
  std::int32_t NA = 0;
  std::int32_t NB = 0;
  TReal U = 0;       // the smaller of the two U values
  TReal UPrime = 0;  // the larger
  TReal RankSumA = 0;
  TReal RankSumB = 0;
  TReal TieTerm = 0;
  bool Ties = false;                // some values are equal (in a group or across)
  TReal Z = EmptyValue;             // of the normal approximation
  TReal ApproximateP = EmptyValue;  // one-tailed, normal approximation
  TExactStatus Status = TExactStatus::TooLong;
  std::int64_t Arrangements = 0;  // count_combinations(NA + NB, larger N)
  TReal OneTailedP = EmptyValue;  // exact when Status is Exact, else ApproximateP
};

// U, U', rank sums and tie term of two groups by comparing every pair (a tie
// counts one half), and whether any two values are equal; empty markers are
// skipped.
TMannWhitneyResult CountMannWhitneyU(std::span<const TReal> a, std::span<const TReal> b);

// Mann-Whitney test of two columns' analysis values. The exact one-tailed P
// is the share of the sets of n' ranks out of N (n' the larger group) whose
// sum is at most U + n'(n' + 1)/2, counted between StartExactProgress and
// EndExactProgress when there are fewer than 2,000,000,000 such sets; a
// cancelled count or more sets give the normal approximation.
TMannWhitneyResult mann_whitney_test(const TDataTable& table, int columnA, int columnB, bool twoTailed,
                                     TCalcProgress& progress);

// Spearman's rank correlation of the complete pairs of two columns, the
// check of the matched-pairs test.
struct TPairingCorrelation {
  TStatusCode StatusCode = TStatusCode::Ok;  // NoCorrelationData, OneXValue or OneYValue
  std::int32_t N = 0;
  TReal R = EmptyValue;
  bool Ties = false;
  TExactStatus Status = TExactStatus::TooLong;
  // Twice the exact tail for N <= 12 (it passes 1 when rs is near 0; the
  // pairing check reports half of it), else by t.
  TReal TwoTailedP = EmptyValue;
};

// Ranks each column over the pairs (ties averaged), rs = (S - D - Tx - Ty) /
// sqrt((S - 2Tx)(S - 2Ty)) with S = (N^3 - N)/6. P: for N <= 12 twice the
// share of the N! rank permutations whose sum of squared rank differences is
// at least (N^3 - N)(1 + |rs|)/6 rounded to an integer; otherwise the t
// distribution with N - 2 degrees of freedom.
TPairingCorrelation SpearmanPairs(std::span<const TReal> x, std::span<const TReal> y);

// ---------------------------------------------------------------------------
// Request, result, writers

enum class TNonparametricKind { SignedRank, MatchedPairs, MannWhitney };

struct TNonparametricRequest {
  TNonparametricKind Kind = TNonparametricKind::SignedRank;
  std::int32_t Tails = 2;  // 1 or 2
  // The signed-rank test's hypothetical median.
  TReal HypotheticalMedian = 0;
  // The signed-rank test's column, or column A of a two-column test.
  TTestColumn First;
  // Column B of a two-column test.
  TTestColumn Second;
};

struct TNonparametricResult {
  // Ok, or the refusal: AveragedNonparametric a column of typed averaged
  // data, SingleValue a column with fewer than two values, SDZero a column
  // with SEM 0, and for the matched pairs SinglePair (fewer than two pairs),
  // SameDifferences (differences with SD 0), OneXValue or OneYValue (from the
  // Spearman pairing check).
  TStatusCode Status = TStatusCode::Ok;
  TNonparametricRequest Request;
  // The summaries as the report prints them: A (the signed-rank column), B,
  // and the matched pairs' differences (titled "Difference").
  TColumnSummary A;
  TColumnSummary B;
  TColumnSummary Differences;
  TSignedRankResult SignedRank;  // signed-rank test and matched pairs
  TMannWhitneyResult MannWhitney;
  TPairingCorrelation Pairing;  // matched pairs
  // The P the report states, with the request's tails, and the two-tailed
  // one (twice the one tail, at most 1).
  TReal P = EmptyValue;
  TReal PTwoTailed = EmptyValue;
  // The normal approximation's P with the request's tails.
  TReal PApproximate = EmptyValue;
  // How the exact count ended, and the arrangements it counted (0 unless
  // Exact).
  TExactStatus Exact = TExactStatus::TooLong;
  std::uint64_t Arrangements = 0;
  // An exact P from so few arrangements cannot reach 0.05.
  bool TooFewArrangements = false;
  // The exact count was not tried: 30 or more ranks, or 2,000,000,000 or
  // more rank sets.
  bool TooManyArrangements = false;
  std::vector<TColumnUse> Columns;
  // The rank-biserial r. Signed ranks (Kerby, 2014): (T+ - |T-|) / (T+ +
  // |T-|), positive when the values lie above the median (the differences
  // first minus second above 0). Mann-Whitney (Glass, 1965): 2 (mean rank
  // of B - mean rank of A) / (nA + nB), positive when B ranks higher.
  TReal RankBiserial = EmptyValue;
};

// Computes the test; the table's StatusCode is Ok, or the refusal. The
// summaries of the columns read are recomputed into the table (normality
// test included); the matched pairs fill the scratch column with the
// differences first minus second. Exact counts report through `progress`.
TNonparametricResult ComputeNonparametric(const TNonparametricRequest& request, TDataTable& table,
                                          TCalcProgress& progress);

// The report of a computed test (Status Ok).
void WriteNonparametricReport(const TNonparametricResult& result, TReportText& report);

// The record of the test: choices, results, method facts and tables.
void FillNonparametricRecord(const TNonparametricResult& result, TAnalysisRecord& record);

// Entry point: computes (leaving the table's StatusCode), fills the record
// and, unless refused, writes the report. The caller runs it inside
// RunGuarded and then calls WriteErrorReport.
void RunNonparametric(const TNonparametricRequest& request, TAnalysisRun& run);

}  // namespace ombrel
