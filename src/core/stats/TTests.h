#pragma once

#include <cstdint>

#include "document/DataTable.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// Entry points of the one-column and two-column comparisons. Each sets the
// table's StatusCode to 0, runs its test and writes the report body, leaves
// a refusal in StatusCode and returns it. The caller runs it inside
// RunGuarded and then calls WriteErrorReport; the entry point does not.
// A column index of -1 means the column holds typed averaged data; the test
// then works from the summary alone.

// One column: OneColumnTest 0 runs the one-sample t test, 1 the Wilcoxon
// signed-rank test (code 42 for an averaged column). The Wilcoxon test
// reports its exact enumeration through `progress`.
std::int32_t RunOneColumnTest(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                              std::int32_t oneColumnTest, bool twoTailed, TReal hypotheticalMean,
                              TCalcProgress& progress);

// Two columns: paired or unpaired t test (Welch when equalSDs is false), or
// with nonparametric the Wilcoxon matched-pairs test (paired) or the
// Mann-Whitney test (unpaired); nonparametric with an averaged column gives
// code 42. Note the order of the summaries: second column first.
std::int32_t RunTwoColumnTest(TDataTable& table, int firstColumn, int secondColumn, TReportText& report,
                              bool equalSDs, bool nonparametric, bool twoTailed, bool unpaired,
                              TColumnSummary& secondSummary, TColumnSummary& firstSummary, TCalcProgress& progress);

}  // namespace ombrel
