#pragma once

// The Kruskal-Wallis and Friedman tests with their post tests. Their
// statistics are in KruskalWallis.h and Friedman.h; this header holds what
// both share (the post-test conditions and Dunn's multiple comparisons) and
// the analysis: ComputeRankAnova returns every figure the report prints,
// WriteRankAnovaReport (RankAnovaWriters.cpp) formats it,
// FillRankAnovaRecord puts it into the record, and RunRankAnova is the entry
// point RunAnalysis calls.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/Friedman.h"
#include "core/analysis/KruskalWallis.h"
#include "core/base/EmptyValue.h"
#include "core/base/TestChoices.h"
#include "core/stats/ExactRankCounts.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// Whether pair (first, second), first < second, of `groups` groups takes
// part in a post test: always without a selection, else when its flag (in
// the order first with second, first with third, ..., second with third) is
// set.
bool RankPairSelected(const TPairFlags& flags, bool useSelectedPairs, int first, int second, int groups);
// The number of pairs taking part.
std::int32_t RankPairCount(const TPairFlags& flags, bool useSelectedPairs, int groups);

// The post-test mode: always, only when P <= 0.05, or (any other) never.
bool RankPostTestRuns(TPostTestCondition postTestMode, TReal p);

// One comparison of Dunn's test: groups by index, the difference of their
// mean ranks (or rank sums), its standard error and its coded P (0.001,
// 0.01, 0.05 or 1).
struct TRankComparison {
  int First = 0;
  int Second = 0;
  TReal Difference = 0;
  TReal SE = 0;
  TReal P = 1;
};

// Dunn's critical values z(alpha / (2g)) for alpha 0.05, 0.01 and 0.001 and
// g pairs, each the z whose one-tailed normal P is that probability (by the
// bisection of z_for_p, to 1e-6 in probability).
struct TDunnCriticalValues {
  TReal Z05 = 0;
  TReal Z01 = 0;
  TReal Z001 = 0;
};
TDunnCriticalValues DunnCriticalValues(std::int32_t pairs);

// The coded P of a difference with standard error `se`: 0.001 when |d| >=
// se z(0.001/2g), else 0.01, 0.05 likewise, else 1.
TReal DunnCodedP(TReal difference, TReal se, const TDunnCriticalValues& critical);

// Dunn's comparisons of every selected pair i < j, in pair order: the
// difference values[i] - values[j] with the standard error se(i, j).
std::vector<TRankComparison> DunnComparisons(std::span<const TReal> values, const TPairFlags& flags,
                                             bool useSelectedPairs,
                                             const std::function<TReal(int, int)>& standardError);

// ---------------------------------------------------------------------------
// The Kruskal-Wallis and Friedman tests as an analysis: request, result,
// writers (the pattern of docs/ARCHITECTURE.md, "Results as data").

enum class TRankAnovaKind { KruskalWallis, Friedman };

// The post test asked for. The Kruskal-Wallis test has Dunn's test only.
enum class TRankPostTest { None, Dunn, ControlComparisons };

struct TRankAnovaRequest {
  TRankAnovaKind Kind = TRankAnovaKind::KruskalWallis;
  TRankPostTest PostTest = TRankPostTest::Dunn;
  // Always, only when P <= 0.05, or never.
  TPostTestCondition PostTestCondition = TPostTestCondition::Always;
  // Dunn's test over the pairs whose flags are set (in the order first with
  // second, first with third, ..., second with third), or over all pairs.
  bool UseSelectedPairs = false;
  TPairFlags PairSelected{};
  // The comparisons with a control: the control's table column (the first
  // group when it is none of them) and the tails of the critical values.
  int ControlColumn = 0;
  std::int32_t Tails = 2;
};

// A group as the report names it: its table column and its summary (title,
// N, mean, median, minimum, maximum).
struct TRankGroup {
  int Column = 0;
  TColumnSummary Summary;
};

// One comparison with the control: the control's rank sum minus the
// group's, its coded P (0.01, 0.05 or 1) and its 95% interval.
struct TControlComparison {
  std::size_t Group = 0;  // index into Groups
  TReal Difference = 0;
  TReal P = 1;
  TReal Lower = 0;
  TReal Upper = 0;
};

struct TRankAnovaResult {
  // Ok, or the refusal: AveragedAnova typed averaged data, NotEnoughData no
  // value (Kruskal-Wallis) or fewer than two rows or columns (Friedman),
  // MissingValues a Friedman block with a value missing; OutOfMemory when
  // the post test's report could not be opened, and the codes of arithmetic
  // faults (the Friedman test keeps their kind).
  TStatusCode Status = TStatusCode::Ok;
  TRankAnovaRequest Request;
  // Kruskal-Wallis: the columns with values; Friedman: the block's columns.
  std::vector<TRankGroup> Groups;
  TKruskalWallisResult KruskalWallis;
  TFriedmanResult Friedman;
  // The P the report states (exact or approximate) and the chi-square one.
  TReal P = EmptyValue;
  TReal PApproximate = EmptyValue;
  std::int32_t DF = 0;  // groups - 1
  TExactStatus Exact = TExactStatus::Ties;
  // M when the exact P was computed; 0 otherwise.
  std::uint64_t Arrangements = 0;
  // The exact count was not tried: too many arrangements (or, Friedman,
  // more than six columns).
  bool TooManyArrangements = false;
  // Kruskal-Wallis: epsilon squared, KW / ((N^2 - 1) / (N + 1)) (Tomczak &
  // Tomczak, 2014). Friedman: Kendall's W, Fr / (r (k - 1)) (Kendall &
  // Babington Smith, 1939). Both from the tie-corrected statistic.
  TReal EpsilonSquared = EmptyValue;
  TReal KendallsW = EmptyValue;
  // The post test the report shows (None when it was not asked for, does
  // not apply, or the condition withheld it), and whether the condition
  // withheld it (the report then says so).
  TRankPostTest PostTestRun = TRankPostTest::None;
  bool PostTestWithheld = false;
  // Dunn's test: the pairs compared, their critical z values, the
  // comparisons and (Friedman) the rank-sum difference needed for P < 0.05.
  std::int32_t DunnPairs = 0;
  TDunnCriticalValues DunnCritical;
  std::vector<TRankComparison> Comparisons;
  TReal DunnThreshold = EmptyValue;
  // Comparisons with the control, in ascending order of the group means.
  std::size_t ControlGroup = 0;
  TReal ControlSE = EmptyValue;
  TReal Critical05 = EmptyValue;
  TReal Critical01 = EmptyValue;
  std::vector<TControlComparison> ControlComparisons;
  std::vector<TColumnUse> Columns;
};

// Computes the test over the selected columns with values, as the
// analysis frame hands them over: raw columns have their
// summaries recomputed into the table, typed averaged ones refuse (43), and
// the column map is built for the computation and reset on every path.
// Exact counts report through `progress`. Sets the table's StatusCode.
TRankAnovaResult ComputeRankAnova(const TRankAnovaRequest& request, TDataTable& table, TCalcProgress& progress);

// The report of a computed test (Status Ok). Returns Ok, or OutOfMemory when
// the post test's scratch report could not be opened.
TStatusCode WriteRankAnovaReport(const TRankAnovaResult& result, TReportText& report);

// The record: choices, results, method facts and tables.
void FillRankAnovaRecord(const TRankAnovaResult& result, TAnalysisRecord& record);

// Entry point: computes and writes inside the fault frame (the Friedman
// test maps faults by kind: DivideByZero, Overflow, InvalidOperation),
// leaves the table's StatusCode and fills the record. The caller runs it
// inside RunGuarded and then calls WriteErrorReport.
void RunRankAnova(const TRankAnovaRequest& request, TAnalysisRun& run);

}  // namespace ombrel
