#include "stats/LinearRegression.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-in until the linear regression is built; leaves the outputs alone.
std::int32_t RunLinearRegression(TDataTable& table, bool /*runsTest*/, bool /*forceThrough*/, TReportText& report,
                                 bool /*interpolateUnknowns*/, TRegressionOutputs& /*outputs*/, TReal /*forceX*/,
                                 TReal /*forceY*/) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
