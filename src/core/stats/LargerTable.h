#pragma once

#include <cstdint>

#include "document/DataTable.h"

namespace ombrel {

class TReportText;

// Entry point of the larger contingency table: the chi-square test for
// independence and, where it applies, for trend. Rows are groups (named by
// their row titles), columns outcomes; the driver has given every column
// with an empty title its bare letter. Sets StatusCode to 0, writes the
// report body, sets the report's help topic and returns StatusCode. The
// caller runs it inside RunGuarded and then calls WriteErrorReport.
std::int32_t RunLargerTable(TDataTable& table, TReportText& report);

}  // namespace ombrel
