#include "stats/LargerTable.h"

#include "report/ReportText.h"

namespace ombrel {

// Stand-in until the larger contingency table is built.
std::int32_t RunLargerTable(TDataTable& table, TReportText& report) {
  table.StatusCode = 0;
  report.WriteLine("This analysis is not available yet.");
  return table.StatusCode;
}

}  // namespace ombrel
