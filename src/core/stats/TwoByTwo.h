#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "document/DataTable.h"

namespace ombrel {

class TReportText;

// Entry point of the two-by-two table analysis: Fisher's exact test or the
// chi-square test (with Yates' correction on request), one- or two-sided,
// and the relative risk, odds ratio, difference of proportions or
// sensitivity block. Sets StatusCode to 0, checks the counts (codes 45, 30
// to 33), writes the report body, sets the report's help topic and returns
// StatusCode. The caller runs it inside RunGuarded and then calls
// WriteErrorReport.
//
// The titles arrive with empty ones already replaced ("Column A",
// "Column B", "Row 1", "Row 2"). The counts are the empty marker when blank.
// The driver always passes `reportFlag` = true; the analysis may ignore it.
std::int32_t RunTwoByTwoTable(TDataTable& table, TReportText& report, const std::array<std::string, 2>& columnTitles,
                              const std::array<std::string, 2>& rowTitles, bool fisher, bool yates, bool chiSquare,
                              bool sensitivity, bool riskDifference, bool oddsRatio, bool relativeRisk, bool twoSided,
                              bool reportFlag, TReal a, TReal b, TReal c, TReal d);

}  // namespace ombrel
