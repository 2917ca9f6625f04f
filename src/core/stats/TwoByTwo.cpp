#include "stats/TwoByTwo.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-in until the two-by-two analysis is built.
std::int32_t RunTwoByTwoTable(TDataTable& table, TReportText& report,
                              const std::array<std::string, 2>& /*columnTitles*/,
                              const std::array<std::string, 2>& /*rowTitles*/, bool /*fisher*/, bool /*yates*/,
                              bool /*chiSquare*/, bool /*sensitivity*/, bool /*riskDifference*/, bool /*oddsRatio*/,
                              bool /*relativeRisk*/, bool /*twoSided*/, bool /*reportFlag*/, TReal /*a*/,
                              TReal /*b*/, TReal /*c*/, TReal /*d*/) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
