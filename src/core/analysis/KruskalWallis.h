#pragma once

#include <cstdint>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"
#include "core/stats/ExactRankCounts.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// One group of the Kruskal-Wallis test: an analysis column with values.
struct TKruskalWallisGroup {
  int Column = 0;  // analysis column
  std::int32_t N = 0;
  TReal RankSum = 0;
  TReal MeanRank = 0;
};

// Everything the Kruskal-Wallis report is written from.
struct TKruskalWallisResult {
  std::vector<TKruskalWallisGroup> Groups;
  std::int32_t TotalN = 0;
  TReal TieSum = 0;     // T: the sum of t^3 - t over the runs of t tied values
  TReal TieFactor = 1;  // Q = 1 - T / (N^3 - N)
  TReal KW = EmptyValue;
  TReal ApproximateP = EmptyValue;  // upper chi-square tail, groups - 1 df
  TExactStatus Status = TExactStatus::Ties;
  std::uint64_t Arrangements = 0;  // M; 0 when not computed or above the limit
  TReal P = EmptyValue;            // the P reported: exact with Status Exact, else approximate
};

// Ranks all values of the analysis columns 0 .. LastMappedColumn together
// (ties share their mean rank) and computes KW with its tie correction and
// the approximate P. KW is computed from the squared deviations of the mean
// ranks from (N + 1) / 2, which equals 12 / (N (N + 1)) sum n R^2 - 3 (N + 1)
// but cannot come out slightly negative. Status and P are left as they are.
// TotalN is 0 when there is no value.
TKruskalWallisResult RankKruskalWallis(const TDataTable& table);

// The P value: exact (by counting, see ExactRankCounts.h) when there are no
// ties and M <= 2e9 arrangements, through the progress display; otherwise,
// or when the user stops it or it would take too long, the approximate P
// with the status saying why.
void FindKruskalWallisP(TKruskalWallisResult& result, TCalcProgress& progress);

}  // namespace ombrel
