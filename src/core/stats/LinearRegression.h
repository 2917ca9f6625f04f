#pragma once

#include <cstdint>

#include "document/DataTable.h"
#include "document/RegressionOutputs.h"

namespace ombrel {

class TReportText;

// Entry point of the linear regression of XY data (column A is X, the
// other columns Y replicates), optionally forced through (forceX, forceY),
// with the runs and lack-of-fit tests on request and unknowns read from the
// standard curve on request. Sets StatusCode to 0, writes the report body,
// fills `outputs` for the graph on success and returns StatusCode. The
// caller runs it inside RunGuarded and then calls WriteErrorReport.
std::int32_t RunLinearRegression(TDataTable& table, bool runsTest, bool forceThrough, TReportText& report,
                                 bool interpolateUnknowns, TRegressionOutputs& outputs, TReal forceX, TReal forceY);

}  // namespace ombrel
