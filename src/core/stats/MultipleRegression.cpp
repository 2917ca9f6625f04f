#include "stats/MultipleRegression.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-in until the multiple regression is built; leaves the outputs alone.
std::int32_t RunMultipleRegression(TDataTable& table, TReportText& report, bool /*multipleRegression*/,
                                   int /*dependentColumn*/, const TColumnFlags& /*independentSelected*/,
                                   TMultipleRegressionOutputs& /*outputs*/) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
