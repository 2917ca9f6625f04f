#pragma once

#include <cstdint>

#include "document/DataTable.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// Entry points of the correlation reports of XY data, with column A as the
// reference column. Each sets StatusCode to 0, writes the report body and
// returns StatusCode. The caller runs it inside RunGuarded and then calls
// WriteErrorReport.

// Pearson correlation.
std::int32_t RunPearsonCorrelation(TDataTable& table, TReportText& report);
// Spearman rank correlation; its exact enumeration reports through
// `progress`.
std::int32_t RunSpearmanCorrelation(TDataTable& table, TReportText& report, TCalcProgress& progress);

}  // namespace ombrel
