#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "support/ReportAgreement.h"
#include "core/analysis/AnalysisFrame.h"
#include "core/analysis/AnalysisRecord.h"
#include "core/base/CalcProgress.h"
#include "core/base/DataTable.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/report/ReportText.h"

namespace ombrel::test {

// A progress display driven by a script: its clock advances by a fixed step
// at every reading, and the user presses Cancel just before the given report
// (counted from 1; 0 never). With the default step every report is more than
// half a second after the last one, so a cancel is honoured at once; a step
// of minutes makes the first estimate exceed ten minutes (TooLong).
class TScriptedProgress : public TCalcProgress {
 public:
  explicit TScriptedProgress(int cancelAtReport = 0, std::int64_t millisecondsPerReading = 1000)
      : TCalcProgress([this] { return mNow += mStep; }), mCancelAt(cancelAtReport), mStep(millisecondsPerReading) {}

  int Reports() const { return mReports; }

 protected:
  void ProcessPendingEvents() override {
    if (++mReports == mCancelAt) RequestCancel();
  }

 private:
  int mCancelAt = 0;
  std::int64_t mStep = 1000;
  std::int64_t mNow = 0;
  int mReports = 0;
};

// Runs a family's entry point on a table as RunAnalysis runs it: inside the
// fault frame with a record of its own, then the error report. The report
// is finished; the record names the lines the analysis wrote and holds no
// results after a refusal. Returns the table's StatusCode.
template <typename TRequest>
TStatusCode RunRecorded(void (*entry)(const TRequest&, TAnalysisRun&), const TRequest& request, TDataTable& table,
                        TCalcProgress& progress, TReportText& report, TReportResults& results) {
  report.BeginReport();
  results.Analyses.assign(1, TAnalysisRecord{});
  TAnalysisRecord& record = results.Analyses.back();
  RunGuarded(table, &report, [&] {
    TAnalysisRun run{table, report, progress, record};
    entry(request, run);
  });
  record.Status = table.StatusCode;
  if (record.Status != TStatusCode::Ok) record.Results = record.Method = record.Tables = TResultValue::Null();
  report.WriteErrorReport(table.StatusCode);
  record.EndLine = report.LineCount();
  report.FinishReport();
  return table.StatusCode;
}

// A document's report with its effect section: the text and JSON equal the
// golden files, and the one analysis's first effect size is `size`.
inline void ExpectGoldenEffectSection(TDocument& document, std::string_view golden, TReal size) {
  document.EffectSizes = true;
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  ExpectGoldenDocument(document, golden);
  ASSERT_EQ(document.Results.Analyses.size(), 1u);
  ASSERT_TRUE(document.Results.Analyses[0].Effect.has_value());
  EXPECT_NEAR(static_cast<double>(document.Results.Analyses[0].Effect->Sizes[0].Size.Value), static_cast<double>(size),
              1e-15);
}

}  // namespace ombrel::test
