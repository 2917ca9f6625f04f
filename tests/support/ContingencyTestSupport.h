#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"

namespace ombrel::test {

// Runs an analysis entry point as the analysis drivers do: inside the fault
// frame, followed by the error report.
inline TStatusCode RunFramed(TDataTable& table, TReportText& report, const std::function<void()>& routine) {
  RunGuarded(table, &report, routine);
  report.WriteErrorReport(table.StatusCode);
  return table.StatusCode;
}

}  // namespace ombrel::test
