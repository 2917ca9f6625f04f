#pragma once

// The post tests that follow an analysis of variance: Bonferroni, Tukey-
// Kramer, Student-Newman-Keuls, Dunnett and the test for a linear trend of
// the column means. Each is computed into a plain result holding every
// printed figure, then written as its report section; the sections with
// confidence intervals write them to a scratch report appended after the
// main table.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/ResultValue.h"
#include "core/base/TestChoices.h"
#include "core/report/ReportTables.h"

namespace ombrel {

class TReportText;

enum class TAnovaDesign { Ordinary, RepeatedMeasures };

// What every post test takes from the analysis of variance. Groups are in
// column-map order; only groups with N > 0 take part (for repeated measures
// each group's N is the number of rows).
struct TPostTestInput {
  std::span<const TColumnSummary> Groups;
  TReal MSResidual = 0;
  std::int32_t DFResidual = 0;
  TAnovaDesign Design = TAnovaDesign::Ordinary;
  // The data column of each group, for the record's column letters; may
  // be left empty (the letters are then null).
  std::span<const int> Columns;
};

// One compared pair as its table rows show it: "First vs Second",
// Difference = mean(First) - mean(Second). The indices are into the input's
// groups.
struct TPairComparison {
  std::size_t First = 0;
  std::size_t Second = 0;
  TReal Difference = 0;
  // t (Bonferroni) or q; the empty marker for a pair the Student-Newman-Keuls
  // test did not test.
  TReal Statistic = EmptyValue;
  // Bonferroni: g times the two-tailed P of t, not capped (it only chooses
  // the mark). The others: 0.001, 0.01, 0.05 or 1, the smallest level whose
  // critical value the statistic exceeds.
  TReal P = 1;
  TReal Lower = EmptyValue;
  TReal Upper = EmptyValue;
};

struct TBonferroniResult {
  std::int32_t Comparisons = 0;  // g
  TReal CriticalT = EmptyValue;  // t for a one-tail P of 0.05 / (2g)
  std::vector<TPairComparison> Pairs;
};

// Bonferroni t tests of all pairs i < j, or of the pairs whose flag is set
// (flags in pair order) when useSelectedPairs is on. Standard error
// sqrt(MS/N(i) + MS/N(j)), or sqrt(2 MS / N(i)) for repeated measures;
// intervals difference +- t* SE.
TBonferroniResult ComputeBonferroni(const TPostTestInput& input, std::span<const std::uint8_t> pairSelected,
                                    bool useSelectedPairs);

// Tukey-Kramer and Student-Newman-Keuls.
struct TRangeTestResult {
  // Tukey-Kramer: q(0.05; K, df), used for the intervals and printed.
  TReal CriticalQ = EmptyValue;
  // Set when more means were compared than the range table holds.
  bool BeyondTable = false;
  std::vector<TPairComparison> Pairs;
};

// Tukey-Kramer: q = |difference| / sqrt(MS/2 (1/N(i) + 1/N(j))) for all pairs
// i < j, P coded against q(0.001), q(0.01), q(0.05) for K means; intervals
// difference +- q(0.05; K, df) SE.
TRangeTestResult ComputeTukeyKramer(const TPostTestInput& input);

// Student-Newman-Keuls: the groups ordered by mean (ties keep their order),
// pairs from the smallest mean up, each against the largest mean down; q and
// P as in Tukey-Kramer for the number of means spanned. A pair inside a
// span already found not significant is not tested (empty statistic, P 1).
// The smaller mean is named first. No intervals.
TRangeTestResult ComputeStudentNewmanKeuls(const TPostTestInput& input);

struct TDunnettResult {
  // df <= 4: the table starts at df 5, nothing is compared.
  bool TooFewDF = false;
  std::size_t Control = 0;
  std::int32_t Groups = 0;  // K, control included
  TReal Critical5 = EmptyValue;
  TReal Critical1 = EmptyValue;
  // Set when there are more groups than Dunnett's table holds, whose last
  // column is then used.
  bool BeyondTable = false;
  std::int32_t LastTabulated = 0;
  // First is the control, Second the group.
  std::vector<TPairComparison> Pairs;
};

// Dunnett's comparisons of every other group with the control group (an
// index into the input's groups): q = |mean(control) - mean(group)| /
// sqrt(MS (1/N(control) + 1/N(group))), P coded 0.01 or 0.05 against
// Dunnett's critical values for K groups, or 1; intervals difference +-
// Dunnett(0.05) SE.
TDunnettResult ComputeDunnett(const TPostTestInput& input, std::size_t controlGroup, bool twoTailed);

// The analysis of variance a trend test splits: between columns, the
// residual and the total; for repeated measures also the rows.
struct TTrendAnova {
  TAnovaSource Between;
  TAnovaSource Individual;
  TAnovaSource Residual;
  TAnovaSource Total;
};

struct TLinearTrendResult {
  TReal Slope = EmptyValue;
  TReal RSquared = EmptyValue;
  TReal SSLinear = EmptyValue;
  TReal FLinear = EmptyValue;
  TReal PLinear = EmptyValue;
  // DF = K - 2 (between columns less the linear one), MS = SS / DF.
  TAnovaSource NotLinear;
  TReal FNotLinear = EmptyValue;
  TReal PNotLinear = EmptyValue;
};

// Test for a linear trend of the group means with group number t = 1..K:
// weights w = t - (K + 1)/2, L = sum w mean, SS linear = L^2 / sum(w^2/N),
// slope = L / sum w^2, r^2 = SS linear / SS total; F tests of the linear and
// the remaining variation against the residual mean square. With two groups
// nothing is left beyond the line: the not-linear F and P stay empty.
TLinearTrendResult ComputeLinearTrend(const TPostTestInput& input, const TTrendAnova& anova);

// ---------------------------------------------------------------------------
// The post test of an analysis of variance

// Which post test follows the analysis of variance.
enum class TPostTestKind { Bonferroni, TukeyKramer, Dunnett, StudentNewmanKeuls, LinearTrend, None };

// The kind of a stored post-test number: 0 Bonferroni, 1 Tukey-Kramer,
// 2 Dunnett, 3 Student-Newman-Keuls, 4 linear trend; any other runs nothing.
TPostTestKind PostTestKindOf(std::int32_t kind);

// Which post test to run and its settings.
struct TPostTestRequest {
  TPostTestKind Kind = TPostTestKind::TukeyKramer;
  // Bonferroni: the pair flags, in pair order; used when UseSelectedPairs.
  std::span<const std::uint8_t> PairSelected;
  bool UseSelectedPairs = false;
  // Dunnett: the control (an index into the groups) and the sides.
  std::size_t ControlGroup = 0;
  bool TwoTailed = true;
};

// What became of the post test.
enum class TPostTestOutcome {
  Ran,           // computed (nothing for the kind None)
  SkippedForP,   // asked for only when P <= 0.05, and P was larger
  NotRequested,  // never asked for, or the kind None
  NotComputed,   // the analysis of variance had no residual variation
};

// The post test's figures: the member of its kind is filled when it ran.
struct TPostTestResult {
  TPostTestKind Kind = TPostTestKind::None;
  TPostTestOutcome Outcome = TPostTestOutcome::NotRequested;
  TBonferroniResult Bonferroni;
  TRangeTestResult Range;  // Tukey-Kramer or Student-Newman-Keuls
  TDunnettResult Dunnett;
  TLinearTrendResult Trend;
};

// The post test as the mode says: always, only when p <= 0.05, or never.
// `computed` is false when the analysis of variance had no F.
TPostTestResult ComputePostTest(const TPostTestInput& input, const TPostTestRequest& request, const TTrendAnova& anova,
                                TPostTestCondition mode, TReal p, bool computed);

// The report sections. Each returns Ok, or OutOfMemory when its scratch
// report cannot be opened, in which case it writes nothing.
[[nodiscard]] TStatusCode WriteBonferroniReport(TReportText& report, const TPostTestInput& input,
                                                const TBonferroniResult& result);
[[nodiscard]] TStatusCode WriteTukeyKramerReport(TReportText& report, const TPostTestInput& input,
                                                 const TRangeTestResult& result);
[[nodiscard]] TStatusCode WriteStudentNewmanKeulsReport(TReportText& report, const TPostTestInput& input,
                                                        const TRangeTestResult& result);
[[nodiscard]] TStatusCode WriteDunnettReport(TReportText& report, const TPostTestInput& input,
                                             const TDunnettResult& result);
void WriteLinearTrendReport(TReportText& report, const TPostTestInput& input, const TTrendAnova& anova,
                            const TLinearTrendResult& result);

// The section of a post test that ran (nothing for the others); returns Ok
// or OutOfMemory as above.
[[nodiscard]] TStatusCode WritePostTestReport(TReportText& report, const TPostTestInput& input,
                                              const TTrendAnova& anova, const TPostTestResult& result);

// The post test as data, for the record of its analysis of variance.
// "test" names: "bonferroni", "tukeyKramer", "dunnett",
// "studentNewmanKeuls", "linearTrend", "none".
std::string_view PostTestName(TPostTestKind kind);
// Its figures beyond the tables (test, critical values, the trend's F
// tests); null unless it ran.
TResultValue PostTestResultsTree(const TPostTestInput& input, const TPostTestResult& result);
// How it was done: test, outcome, the source of its critical values, and
// whether Bonferroni compared selected pairs, Dunnett's tails.
TResultValue PostTestMethodTree(const TPostTestResult& result, bool selectedPairs, std::int32_t dunnettTails);
// The post test as the method line of the effect section names it: the
// test and where its critical values come from, or why it was not
// calculated; empty when none was asked for.
std::string PostTestMethodText(const TPostTestResult& result, std::int32_t dunnettTails);
// One row of an ANOVA table: {"source", "df", "ss", "ms"} (ms null for a
// total).
TResultValue AnovaSourceRow(std::string_view source, const TAnovaSource& row);
// Adds its tables (comparisons, intervals, trendAnova) to `tables`.
void AddPostTestTables(TResultValue& tables, const TPostTestInput& input, const TTrendAnova& anova,
                       const TPostTestResult& result);

}  // namespace ombrel
