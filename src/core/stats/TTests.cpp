#include "stats/TTests.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-ins until the t tests and rank tests are built: they refuse nothing
// and say so in the report.

std::int32_t RunOneColumnTest(TDataTable& table, int /*column*/, TColumnSummary& /*summary*/, TReportText& report,
                              std::int32_t /*oneColumnTest*/, bool /*twoTailed*/, TReal /*hypotheticalMean*/,
                              TCalcProgress& /*progress*/) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

std::int32_t RunTwoColumnTest(TDataTable& table, int /*firstColumn*/, int /*secondColumn*/, TReportText& report,
                              bool /*equalSDs*/, bool /*nonparametric*/, bool /*twoTailed*/, bool /*unpaired*/,
                              TColumnSummary& /*secondSummary*/, TColumnSummary& /*firstSummary*/,
                              TCalcProgress& /*progress*/) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
