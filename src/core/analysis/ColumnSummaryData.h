#pragma once

// Column statistics as data: the rows of the column summary ("Parameter:")
// table and of the normality table, for every family that prints them.

#include <string_view>

#include "core/base/DataTable.h"
#include "core/base/ResultValue.h"

namespace ombrel {

// What the normality table says of a column: tested (KS and P shown), too
// few values (fewer than five, or no test run), or averaged data.
enum class TNormalityOutcome { Tested, TooFewValues, AveragedData };

// The outcome as the normality table and the normality block decide it.
TNormalityOutcome NormalityOutcomeOf(const TColumnSummary& summary, bool averagedData);

// {"column", "title", "n", "mean", "sd", "sem", "minimum", "maximum",
// "median", "lower95", "upper95"}; `column` is the column index, or -1 for a
// computed column (the paired differences).
TResultValue ColumnSummaryRow(const TColumnSummary& summary, int column);

// {"column", "title", "n", "outcome" ("tested", "tooFewValues",
// "averagedData"), "ks", "p", "passed"}; ks, p and passed are null unless
// tested.
TResultValue NormalityRow(const TColumnSummary& summary, int column, bool averagedData);

}  // namespace ombrel
