#pragma once

#include <cstdint>

#include "document/DataTable.h"
#include "document/RegressionOutputs.h"
#include "document/TestChoices.h"

namespace ombrel {

class TReportText;

// Entry point of the multiple regression (multipleRegression true) or the
// correlation matrix. The report has been reset and begun; the routine
// writes all of it, from the date line and the data set title on, and its
// own three-line report (empty line, message, empty line) for the problems
// it finds before computing. Sets StatusCode to 0, fills `outputs` for the
// graph and returns StatusCode. The caller runs it inside RunGuarded, calls
// WriteErrorReport only for a non-zero code, then ends the report.
std::int32_t RunMultipleRegression(TDataTable& table, TReportText& report, bool multipleRegression,
                                   int dependentColumn, const TColumnFlags& independentSelected,
                                   TMultipleRegressionOutputs& outputs);

}  // namespace ombrel
