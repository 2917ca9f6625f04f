#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"
#include "core/report/ReportTables.h"
#include "core/analysis/PostTests.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// Entry point of the comparisons of three or more columns: one-way or
// repeated-measures ANOVA with their post tests, or the Kruskal-Wallis or
// Friedman test with Dunn's post test. Sets StatusCode to 0, takes the
// columns with N > 0 (summaries of raw columns recomputed, averaged ones as
// typed), builds the column map, runs the test or refuses (43 for averaged
// data with anything but ordinary parametric ANOVA), resets the column map
// on every path and returns StatusCode. The caller runs it inside RunGuarded
// and then calls WriteErrorReport.
//
//   pairSelected      the pair flags, in the order of ColumnPairs over the
//                     selected columns; used when useSelectedPairs is set
//   twoTailed          Dunnett and comparisons with a control: two-sided
//   controlColumn     the control's data column (Dunnett, comparisons with a
//                     control); the first group when it is not one
//   postTestMode      always run the post test, only when P <= 0.05, or
//                     (any other value) never
//   postTestKind      parametric: 0 Bonferroni, 1 Tukey-Kramer, 2 Dunnett,
//                     3 Student-Newman-Keuls, 4 linear trend; nonparametric:
//                     1 Dunn, 2 comparisons with the control (Friedman)
// The Kruskal-Wallis and Friedman exact enumerations report through
// `progress`.
TStatusCode RunMultiColumnTest(TDataTable& table, bool nonparametric, bool ordinary, TReportText& report,
                               const TPairFlags& pairSelected, bool useSelectedPairs, bool twoTailed, int controlColumn,
                               TPostTestCondition postTestMode, std::int32_t postTestKind, TCalcProgress& progress);

// ---------------------------------------------------------------------------
// One-way ANOVA

struct TOneWayAnovaResult {
  // Ok, or the refusal: AnovaSingleValue a group with one value,
  // NotEnoughData fewer than two groups with two or more values, AllSDsZero.
  TStatusCode Status = TStatusCode::Ok;
  std::int32_t Groups = 0;  // k: groups with N >= 2
  std::int32_t Count = 0;   // n = sum of their N
  TAnovaSource Treatment;
  TAnovaSource Residual;
  TAnovaSource Total;  // DF and SS
  // Empty when the residual mean square is 0.
  TReal F = EmptyValue;
  TReal P = EmptyValue;
};

// One-way ANOVA from each group's N, mean and SD, so typed averaged data
// serves as well as raw data. SS residual = sum (N - 1) SD^2 and
// SS treatment = sum N (mean - grand mean)^2, which keep their digits when
// the values share many leading digits; P from F(k - 1, n - k). A group with
// a missing mean or SD counts as having too few values (11).
TOneWayAnovaResult ComputeOneWayAnova(std::span<const TColumnSummary> groups);

struct TBartlettResult {
  // Corrected statistic; empty when a group's SD is 0 (the test is then
  // impossible).
  TReal Statistic = EmptyValue;
  std::int32_t DF = 0;
  TReal P = EmptyValue;
  // The test is reported only when every group has five values or more.
  bool EveryGroupHasFive = false;
};

// Bartlett's test of equal SDs over the groups with N >= 2:
// B = sum(nu) ln(pooled variance) - sum nu ln(SD^2), divided by
// 1 + (sum 1/nu - 1/sum nu) / (3m - 3); P from chi-square with m - 1 df.
TBartlettResult ComputeBartlett(std::span<const TColumnSummary> groups);

// Writes the one-way ANOVA report with its post test; `averaged` flags the
// groups given as typed mean and error (their normality row says so).
// Returns Ok, or OutOfMemory when a scratch report cannot be opened.
[[nodiscard]] TStatusCode WriteOneWayAnovaReport(TReportText& report, std::span<const TColumnSummary> groups,
                                                 const std::vector<bool>& averaged, const TOneWayAnovaResult& anova,
                                                 const TBartlettResult& bartlett, const TPostTestRequest& postTest,
                                                 TPostTestCondition postTestMode);

// ---------------------------------------------------------------------------
// Repeated-measures ANOVA

// The rows of a repeated-measures design: the first row holding any value
// fixes the columns used; every later row holding a value must hold values
// in exactly those columns; rows without any value are skipped.
struct TCompleteBlock {
  // Ok, MissingValues for a row with a hole, NotEnoughData for fewer than two
  // rows or columns.
  TStatusCode Status = TStatusCode::Ok;
  std::vector<int> Columns;              // analysis columns, ascending
  std::vector<std::vector<TReal>> Rows;  // one value per column
};

// Reads the block from analysis columns 0 to columnCount - 1 (through the
// column map), rows 0 to LastRow.
TCompleteBlock ReadCompleteBlock(const TDataTable& table, int columnCount);

struct TRepeatedMeasuresResult {
  // Ok, or AllSDsZero when every column's values are all equal.
  TStatusCode Status = TStatusCode::Ok;
  std::int32_t Rows = 0;
  std::int32_t Columns = 0;
  TReal GrandMean = EmptyValue;
  TAnovaSource Treatment;   // between columns
  TAnovaSource Individual;  // between rows
  TAnovaSource Residual;
  TAnovaSource Total;  // DF and SS
  // Empty when the residual mean square is 0.
  TReal F = EmptyValue;
  TReal P = EmptyValue;
  TReal MatchingF = EmptyValue;
  TReal MatchingP = EmptyValue;
};

// Two-way ANOVA without replication of a complete block (Status 0). The
// residual is summed from x - row mean - column mean + grand mean, and a
// residual at the rounding level of the values counts as none.
TRepeatedMeasuresResult ComputeRepeatedMeasuresAnova(const TCompleteBlock& block);

// Writes the repeated-measures report with its post test; groups are the
// block's columns with N the number of rows. Returns Ok or OutOfMemory as above.
[[nodiscard]] TStatusCode WriteRepeatedMeasuresReport(TReportText& report, std::span<const TColumnSummary> groups,
                                                      const TRepeatedMeasuresResult& anova,
                                                      const TPostTestRequest& postTest,
                                                      TPostTestCondition postTestMode);

}  // namespace ombrel
