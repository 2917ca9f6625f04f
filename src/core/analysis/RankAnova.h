#pragma once

// What the Kruskal-Wallis and Friedman tests share: how their P value was
// found, the head of their reports, the post-test conditions and Dunn's
// multiple comparisons.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/EmptyValue.h"
#include "core/base/TestChoices.h"
#include "core/report/ReportTables.h"
#include "core/stats/ExactRankCounts.h"

namespace ombrel {

class TReportText;

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
// mean ranks (or rank sums) and its coded P (0.001, 0.01, 0.05 or 1).
struct TRankComparison {
  int First = 0;
  int Second = 0;
  TReal Difference = 0;
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

namespace detail {

// A line written underlined.
void WriteRankUnderlinedLine(TReportText& report, std::string_view text);
// The title of a rank test: centred in 65 columns, underlined.
void WriteRankTestTitle(TReportText& report, std::string_view title);
// The P-value sentence with its verdict on the column medians, then the
// lines saying how the P value was found. `arrangements` (M) below 20 with
// an exact P adds the note that P < 0.05 is impossible.
void WriteRankTestVerdict(TReportText& report, TReal p, TExactStatus status, std::uint64_t arrangements,
                          std::string_view tieReason);
// An empty line, "Calculation detail" underlined, an empty line.
void WriteRankCalculationDetail(TReportText& report);
// The bold note of a post test skipped because P > 0.05.
void WriteRankPostTestSkipped(TReportText& report);
// "Summary of Data" centred and underlined, an empty line.
void WriteRankSummaryHeading(TReportText& report);

// Dunn's section. `threshold` is the rank-sum difference needed for P <
// 0.05 (the Friedman test states it; the empty marker for none); `tiesNote`
// adds the Friedman warning that ties are not corrected for. False, with
// nothing written, when the scratch report cannot be opened.
bool WriteDunnSection(TReportText& report, TRankDifference kind, std::int32_t pairs,
                      std::span<const TRankComparison> comparisons, std::span<const std::string> names, TReal threshold,
                      bool tiesNote);

}  // namespace detail

}  // namespace ombrel
