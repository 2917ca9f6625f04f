#pragma once

#include <cstdint>

#include "document/DataTable.h"
#include "document/TestChoices.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// The nonparametric tests of three or more columns, reached through
// RunMultiColumnTest once it has built the column map (analysis columns 0 to
// ColumnMapCount() - 1 are the groups) and refused averaged data. Like every
// entry point they write the report body, leave a refusal in StatusCode and
// return it; the exact enumerations report through `progress`.
//
//   postTestKind   1 Dunn's test; 2 comparisons with the control (Friedman)
//   postTestMode   0 always, 2 only when P <= 0.05, anything else never
//   controlColumn  a data column index (not an analysis column)

// Kruskal-Wallis test of independent groups.
std::int32_t RunKruskalWallis(TDataTable& table, TReportText& report, std::int32_t postTestKind,
                              std::int32_t postTestMode, const TPairFlags& pairSelected, bool useSelectedPairs,
                              int controlColumn, bool twoSided, TCalcProgress& progress);

// Friedman test of matched rows; the rows must form the complete block of
// ReadCompleteBlock (Anova.h).
std::int32_t RunFriedman(TDataTable& table, TReportText& report, std::int32_t postTestKind, std::int32_t postTestMode,
                         const TPairFlags& pairSelected, bool useSelectedPairs, int controlColumn, bool twoSided,
                         TCalcProgress& progress);

}  // namespace ombrel
