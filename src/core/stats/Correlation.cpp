#include "stats/Correlation.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-ins until the correlations are built.

std::int32_t RunPearsonCorrelation(TDataTable& table, TReportText& report) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

std::int32_t RunSpearmanCorrelation(TDataTable& table, TReportText& report, TCalcProgress& /*progress*/) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
