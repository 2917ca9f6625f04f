#pragma once

#include <cstdint>

#include "document/DataTable.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// The rank tests of one and two columns, reached through RunOneColumnTest
// and RunTwoColumnTest once those have refused averaged columns (code 42).
// Like every entry point they set StatusCode to 0, write the report body,
// leave a refusal in StatusCode and return it; exact P values report their
// enumeration through `progress` and fall back to the normal approximation
// when it answers anything but Continue.

// Wilcoxon signed-rank test of one column against a hypothetical median.
std::int32_t RunWilcoxonOneColumn(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                                  bool twoTailed, TReal hypotheticalMedian, TCalcProgress& progress);

// Wilcoxon matched-pairs signed-ranks test of two paired columns.
std::int32_t RunWilcoxonMatchedPairs(TDataTable& table, int firstColumn, int secondColumn, TReportText& report,
                                     bool twoTailed, TColumnSummary& secondSummary, TColumnSummary& firstSummary,
                                     TCalcProgress& progress);

// Mann-Whitney test of two unpaired columns.
std::int32_t RunMannWhitney(TDataTable& table, int firstColumn, int secondColumn, TReportText& report, bool twoTailed,
                            TColumnSummary& secondSummary, TColumnSummary& firstSummary, TCalcProgress& progress);

}  // namespace ombrel
