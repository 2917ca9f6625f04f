#pragma once

#include <cstdint>
#include <span>

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
  TReal ApproximateP = EmptyValue;  // one-tailed, normal approximation
  TExactStatus Status = TExactStatus::TooLong;
  std::uint64_t Arrangements = 0;  // 2^N when the exact count was tried
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
  TReal ApproximateP = EmptyValue;  // one-tailed, normal approximation
  TExactStatus Status = TExactStatus::TooLong;
  std::int64_t Arrangements = 0;  // count_combinations(NA + NB, larger N)
  TReal OneTailedP = EmptyValue;  // exact when Status is Exact, else ApproximateP
};

// U, U', rank sums and tie term of two groups by comparing every pair (a tie
// counts one half); empty markers are skipped.
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
// The reports

// The entry points RunAnalysis calls for a nonparametric test of one or two
// columns: StatusCode Ok, then AveragedNonparametric for a column of typed
// averaged data (index -1), else the rank test (Wilcoxon signed-rank for
// one column; Mann-Whitney when unpaired, Wilcoxon matched pairs when
// paired). The caller runs them inside RunGuarded and then calls
// WriteErrorReport. Note the order of the summaries: second column first.
TStatusCode RunNonparametricOneColumn(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                                      bool twoTailed, TReal hypotheticalMedian, TCalcProgress& progress);
TStatusCode RunNonparametricTwoColumns(TDataTable& table, int firstColumn, int secondColumn, TReportText& report,
                                       bool twoTailed, bool unpaired, TColumnSummary& secondSummary,
                                       TColumnSummary& firstSummary, TCalcProgress& progress);

// The rank tests of one and two columns, reached through the entry points
// above once those have refused averaged columns. Like every entry point they set StatusCode to Ok, fill the summaries
// of the columns they use, write the report body, leave a refusal in StatusCode and return it; exact P values report
// their count through `progress` and fall back to the normal approximation when it answers anything but Continue.

// Wilcoxon signed-rank test of one column against a hypothetical median.
// Codes 40 (SEM 0) and 49 (N < 2).
TStatusCode RunWilcoxonOneColumn(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                                 bool twoTailed, TReal hypotheticalMedian, TCalcProgress& progress);

// Wilcoxon matched-pairs signed-ranks test of two paired columns; the row
// differences (first minus second) go to the scratch column. Codes 40, 49,
// 41 (differences with SD 0), 50 (fewer than two pairs), and 37 or 38 from
// the Spearman pairing check.
TStatusCode RunWilcoxonMatchedPairs(TDataTable& table, int firstColumn, int secondColumn, TReportText& report,
                                    bool twoTailed, TColumnSummary& secondSummary, TColumnSummary& firstSummary,
                                    TCalcProgress& progress);

// Mann-Whitney test of two unpaired columns. Codes 40 and 49.
TStatusCode RunMannWhitney(TDataTable& table, int firstColumn, int secondColumn, TReportText& report, bool twoTailed,
                           TColumnSummary& secondSummary, TColumnSummary& firstSummary, TCalcProgress& progress);

}  // namespace ombrel
