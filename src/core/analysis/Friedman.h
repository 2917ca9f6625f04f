#pragma once

#include <cstdint>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"
#include "core/stats/ExactRankCounts.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// Everything the Friedman report is written from.
struct TFriedmanResult {
  std::vector<int> Columns;     // analysis columns of the complete block
  std::vector<int> BlockRows;   // rows holding values
  std::vector<TReal> RankSums;  // R_j, one per block column
  TReal TieSum = 0;             // T: sum of t^3 over the runs of t equal values in each row
  TReal Fr = EmptyValue;
  TReal ApproximateP = EmptyValue;  // upper chi-square tail, k - 1 df
  TExactStatus Status = TExactStatus::Ties;
  std::uint64_t Arrangements = 0;  // M = (k!)^r; 0 when not computed or above the limit
  TReal P = EmptyValue;            // exact with Status Exact, else approximate

  std::int32_t Rows() const { return static_cast<std::int32_t>(BlockRows.size()); }
  std::int32_t ColumnCount() const { return static_cast<std::int32_t>(Columns.size()); }
  // No tie anywhere: T = r k.
  bool Untied() const { return TieSum == static_cast<TReal>(Rows()) * ColumnCount(); }
};

// The complete block of the analysis columns 0 .. LastMappedColumn: the
// first row holding a value fixes the columns; every later row holding a
// value must hold values in exactly those columns, and empty rows are
// skipped. Returns Ok, or the refusal: MissingValues when values are missing
// from the block, NotEnoughData with fewer than two rows or two columns.
TStatusCode FindFriedmanBlock(const TDataTable& table, TFriedmanResult& result);

// Ranks each row 1..k (ties share their mean rank), sums the ranks per
// column and computes Fr with its tie correction and the approximate P. Fr
// is computed from the squared deviations of the rank sums from r (k + 1) / 2,
// which equals the usual 12 sum R^2 - 3 r^2 k (k + 1)^2 in the numerator.
void RankFriedman(const TDataTable& table, TFriedmanResult& result);

// The P value: exact (by counting, see ExactRankCounts.h) when there are no
// ties, k <= 6 and (k!)^r <= 1e9, through the progress display; otherwise, or
// when the user stops it or it would take too long, the approximate P with
// the status saying why.
void FindFriedmanP(TFriedmanResult& result, TCalcProgress& progress);

// The critical value of the nonparametric comparisons with a control:
// Dunnett's value for infinite degrees of freedom with `comparisons`
// comparisons (1 to 12, 15 and 20 tabled, linear in between, the value for
// 20 beyond), two- or one-sided, for alpha 0.05 or 0.01 (any other alpha
// reads as 0.01).
TReal ControlCriticalValue(std::int32_t comparisons, bool twoTailed, TReal alpha);

}  // namespace ombrel
