#include <cstdint>
#include <random>

#include "Bench.h"
#include "core/analysis/AnalysisFrame.h"
#include "core/base/CalcProgress.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/analysis/MultipleRegression.h"

namespace {

using namespace ombrel;

// 1,000 rows of 26 correlated columns (each column a mix of a common factor
// and its own noise), fixed seed.
const TDataTable& FullTable() {
  static const TDataTable table = [] {
    TDataTable t;
    std::mt19937 generator(20240303);
    std::normal_distribution<double> normal;
    for (int row = 0; row < 1000; ++row) {
      const double common = normal(generator);
      for (int column = 0; column < MaxColumns; ++column)
        t.SetValue(row, column, static_cast<TReal>(100 + 10 * column + common + 0.5 * normal(generator)));
    }
    return t;
  }();
  return table;
}

void RunWholeAnalysis(bool regression) {
  TDataTable table = FullTable();
  TReportText report;
  report.BeginReport();
  TMultipleRegressionRequest request;
  request.Mode = regression ? TMultipleRegressionMode::Regression : TMultipleRegressionMode::CorrelationMatrix;
  TMultipleRegressionOutputs outputs;
  TSilentCalcProgress progress;
  TAnalysisRecord record;
  RunGuarded(table, &report, [&] {
    TAnalysisRun run{table, report, progress, record};
    RunMultipleRegression(request, run, outputs);
  });
  report.EndReport();
  report.FinishReport();
}

}  // namespace

// The whole analysis as the document runs it: checks, fit, report.
OMBREL_BENCHMARK("Multiple regression, 1000 rows x 25 X (with report)", 100) { RunWholeAnalysis(true); }

OMBREL_BENCHMARK("Correlation matrix, 1000 rows x 26 variables (with report)", 100) { RunWholeAnalysis(false); }
