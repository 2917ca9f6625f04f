#pragma once

#include <cstdint>

#include "document/DataTable.h"
#include "document/TestChoices.h"

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
//   twoSided          Dunnett and comparisons with a control: two-sided
//   postTestMode      0 always run the post test, 2 only when P <= 0.05,
//                     anything else never (PostTestCondition)
//   postTestKind      parametric: 0 Bonferroni, 1 Tukey-Kramer, 2 Dunnett,
//                     3 Student-Newman-Keuls, 4 linear trend; nonparametric:
//                     1 Dunn, 2 comparisons with the control (Friedman)
// The Kruskal-Wallis and Friedman exact enumerations report through
// `progress`.
std::int32_t RunMultiColumnTest(TDataTable& table, bool nonparametric, bool ordinary, TReportText& report,
                                const TPairFlags& pairSelected, bool useSelectedPairs, bool twoSided,
                                int controlColumn, std::int32_t postTestMode, std::int32_t postTestKind,
                                TCalcProgress& progress);

}  // namespace ombrel
