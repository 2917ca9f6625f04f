#include "stats/RankTests.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-ins until the rank tests of three or more columns are built.
std::int32_t RunKruskalWallis(TDataTable& table, TReportText& report, std::int32_t, std::int32_t, const TPairFlags&,
                              bool, int, bool, TCalcProgress&) {
  report.WriteLine();
  report.WriteLine("The Kruskal-Wallis test is not available yet.");
  return table.StatusCode;
}

std::int32_t RunFriedman(TDataTable& table, TReportText& report, std::int32_t, std::int32_t, const TPairFlags&, bool,
                         int, bool, TCalcProgress&) {
  report.WriteLine();
  report.WriteLine("The Friedman test is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
