#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/analysis/AnalysisFrame.h"
#include "core/analysis/AnalysisRecord.h"
#include "core/base/CalcProgress.h"
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

// Runs an entry point that fills a record, as RunAnalysis does, on a new
// report: framed, its record in `results` naming the lines it wrote and
// holding no results once refused; then the report is finished.
inline TStatusCode RunRecorded(TDataTable& table, TReportText& report, TReportResults& results,
                               const std::function<void(TAnalysisRun&)>& routine) {
  report.BeginReport();
  TAnalysisRecord& record = results.Analyses.emplace_back();
  record.FirstLine = report.LineCount();
  TSilentCalcProgress progress;
  TAnalysisRun run{table, report, progress, record};
  RunFramed(table, report, [&] { routine(run); });
  record.Status = table.StatusCode;
  if (record.Status != TStatusCode::Ok) record.Results = record.Method = record.Tables = TResultValue::Null();
  record.EndLine = report.LineCount();
  report.FinishReport();
  return table.StatusCode;
}

}  // namespace ombrel::test
