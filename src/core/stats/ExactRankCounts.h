#pragma once

// Exact null distributions of the Kruskal-Wallis and Friedman statistics for
// untied ranks. Both count the equally likely arrangements of the ranks whose
// statistic is at least the observed one, without visiting the arrangements
// one by one: the counts are built by dynamic programming over partial rank
// sums, by subset-sum tables, or by pairing the sorted statistics of two
// halves of the groups, so they equal a complete enumeration exactly while
// the largest cases take a fraction of a second.

#include <cstdint>
#include <span>

namespace ombrel {

class TCalcProgress;

// How an exact count ended.
enum class TRankCountRun {
  Completed,
  Cancelled,  // the user stopped it through the progress report
  TooLong,    // the progress report gave up, or memory ran out
};

// Of Total equally likely arrangements (all of them when Completed), Extreme
// have a statistic at least as large as the observed one.
struct TRankCount {
  TRankCountRun Run = TRankCountRun::Completed;
  std::uint64_t Extreme = 0;
  std::uint64_t Total = 0;
};

// The number of ways to hand ranks 1..N (N the sum of the sizes) to groups
// of the given sizes: the product, group after group, of the binomial
// coefficient of the ranks left over the group's size. Exact; 0 when the
// product exceeds `limit` (or a size is below 1).
std::uint64_t RankArrangements(std::span<const std::int32_t> sizes, std::uint64_t limit);

// How the Kruskal-Wallis arrangements are counted. All ways give the same
// counts; Automatic takes the one estimated to be quickest.
enum class TKruskalWallisMethod {
  Automatic,
  RankSumTable,      // ranks handed out one by one, states merged by rank sums
  VisitedRankSumTables,  // the smallest group visited, a rank-sum table for the rest of each visit
  GroupEnumeration,  // small groups visited, the largest but one counted
  SplitGroups,       // the groups split in two sides, each side's statistics listed per rank set
};

// Kruskal-Wallis. Counts the arrangements of ranks 1..N among groups of the
// given sizes whose S = sum of (rank sum)^2 / size is at least the S of the
// observed rank sums (one per group, same order). S is compared exactly, in
// integers scaled by the common multiple of the sizes. Reports progress in
// stages through `progress` (ReportExactProgress only; the caller starts and
// ends the progress display) and stops when it answers anything but Continue.
TRankCount CountKruskalWallisExtremes(std::span<const std::int32_t> sizes,
                                       std::span<const std::int64_t> observedRankSums, TCalcProgress& progress,
                                       TKruskalWallisMethod method = TKruskalWallisMethod::Automatic);

// (k!)^r for k columns and r rows; 0 when it exceeds `limit`.
std::uint64_t FriedmanArrangements(std::int32_t columns, std::int32_t rows, std::uint64_t limit);

// Friedman. Counts the (k!)^r ways of ranking each of r rows 1..k whose sum
// of squared column rank sums is at least `observedSumOfSquares`, by
// convolving the rows' rank-sum vectors one row at a time. Progress as above,
// once per row.
TRankCount CountFriedmanExtremes(std::int32_t columns, std::int32_t rows, std::int64_t observedSumOfSquares,
                                  TCalcProgress& progress);

}  // namespace ombrel
