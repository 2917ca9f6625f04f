#include "stats/Anova.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-in until the analyses of variance are built.
std::int32_t RunMultiColumnTest(TDataTable& table, bool /*nonparametric*/, bool /*ordinary*/, TReportText& report,
                                const TPairFlags& /*pairSelected*/, bool /*useSelectedPairs*/, bool /*twoSided*/,
                                int /*controlColumn*/, std::int32_t /*postTestMode*/, std::int32_t /*postTestKind*/,
                                TCalcProgress& /*progress*/) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
