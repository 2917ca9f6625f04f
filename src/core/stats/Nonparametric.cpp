#include "stats/Nonparametric.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-ins until the rank tests land.
std::int32_t RunWilcoxonOneColumn(TDataTable& table, int, TColumnSummary&, TReportText& report, bool, TReal,
                                  TCalcProgress&) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return 0;
}

std::int32_t RunWilcoxonMatchedPairs(TDataTable& table, int, int, TReportText& report, bool, TColumnSummary&,
                                     TColumnSummary&, TCalcProgress&) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return 0;
}

std::int32_t RunMannWhitney(TDataTable& table, int, int, TReportText& report, bool, TColumnSummary&, TColumnSummary&,
                            TCalcProgress&) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return 0;
}

}  // namespace ombrel
