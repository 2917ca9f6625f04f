#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/RegressionOutputs.h"
#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"
#include "core/base/TestChoices.h"
#include "core/report/ReportTables.h"
#include "core/stats/EffectSizes.h"

// Multiple regression (one dependent column Y, one or more X columns) and the
// correlation matrix of a set of columns, over the rows where every analysed
// column has a value.
//
// The family follows the pattern of every analysis (docs/ARCHITECTURE.md,
// "Results as data"): ComputeMultipleRegression returns every figure of the
// report, the writers (MultipleRegressionWriters.cpp) only format it, and
// RunMultipleRegression is the entry point RunAnalysis calls.

namespace ombrel {

class TReportText;

enum class TMultipleRegressionMode { Regression, CorrelationMatrix };

struct TMultipleRegressionRequest {
  TMultipleRegressionMode Mode = TMultipleRegressionMode::Regression;
  int DependentColumn = 0;  // regression only
  // The columns chosen as variables (X variables in regression mode); the
  // dependent column is never one of them.
  TColumnFlags Selected = detail::FilledFlags<MaxColumns>();
};

// One coefficient of the fitted equation (b0 first).
struct TCoefficient {
  int Column = -1;   // -1 for b0
  std::string Name;  // "(constant)" for b0, else "B:Title"
  TReal Value = 0;
  TReal SE = 0;
  TReal Lower = 0;
  TReal Upper = 0;
  TReal T = EmptyValue;  // empty when SE = 0 ("infinite")
  TReal P = 1;
};

// Which of the three multicollinearity verdicts the largest VIF gives.
enum class TCollinearityVerdict { None, Low, High, VeryHigh };
TCollinearityVerdict CollinearityVerdict(TReal maxVif);

// Every figure of the report.
struct TMultipleRegressionResult {
  // Ok, or the refusal of the checks before computing (their codes are
  // NoMultipleRegressionData to SingularRegression, in the order they are
  // made), or InvalidOperation for a constant Y, or a constant column in
  // the matrix, where r is 0/0.
  TStatusCode Status = TStatusCode::Ok;
  TMultipleRegressionRequest Request;
  bool Regression = true;
  // The date line and the data set title that head the report.
  TReportDateTime When;
  std::string TableTitle;
  std::int32_t DependentColumn = -1;
  std::string DependentName;
  std::string DependentTitle;
  std::vector<std::int32_t> Variables;
  std::vector<std::string> Names;  // "B:Title"
  std::vector<std::string> Titles;
  std::vector<std::int32_t> RowsUsed;
  std::int32_t MissingRows = 0;

  // Regression.
  std::vector<TCoefficient> Coefficients;
  std::int32_t DF = 0;
  TReal SSResidual = 0;
  TReal SD = 0;
  TReal SSTotal = 0;
  TReal RSquared = 0;
  TReal AdjustedRSquared = 0;
  TReal MultipleR = 0;
  TReal F = EmptyValue;  // empty for a perfect fit
  TReal P = EmptyValue;
  TReal CriticalT95 = EmptyValue;  // the t of the 95% limits
  // Cohen's f² = R² / (1 - R²) with its 95% interval; empty for a perfect
  // fit.
  TEffectSize FSquared;
  std::vector<TReal> VIF;  // per X variable
  TReal MaxVIF = 0;
  TCollinearityVerdict Verdict = TCollinearityVerdict::None;

  // Correlation matrix of the variables, and (regression) r with Y.
  std::vector<std::vector<TReal>> Correlations;
  std::vector<TReal> CorrelationsWithY;

  // The dependent column (regression) and each variable: the rows used, and
  // the column's other values (excluded, or in a row missing another).
  std::vector<TColumnUse> Columns;

  // The analysed cases and coefficients, for the graph.
  TMultipleRegressionOutputs Outputs;

  bool PerfectFit() const { return SSResidual == 0; }
  TReal SSRegression() const { return SSTotal - SSResidual; }
};

// Runs the checks in order and computes every figure; never writes text.
// Reads the cells through GetAnalysisValue (excluded cells are missing)
// with the column selection of compare-means analyses not applied. The
// date line's time is the caller's (When). Accuracy: the certified
// coefficients, standard errors, residual SD and R² of NIST's Norris,
// Pontius, Longley and Wampler1-5 data to 14 digits, Filip's to 11.9
// (centred Householder QR, see LeastSquares.h; `make lre`).
TMultipleRegressionResult ComputeMultipleRegression(const TMultipleRegressionRequest& request, const TDataTable& table);

// The heading of a computed result's report: the date line and the data
// set title; then the report itself (Status Ok), from its centred title on.
void WriteMultipleRegressionHeading(const TMultipleRegressionResult& result, TReportText& report);
void WriteMultipleRegressionReport(const TMultipleRegressionResult& result, TReportText& report);

// The record: choices, results, method facts and tables.
void FillMultipleRegressionRecord(const TMultipleRegressionResult& result, TAnalysisRecord& record);

// Entry point of the multiple regression or the correlation matrix. The
// report has been reset and begun; the routine writes all of it, the date
// line (the time now) and the data set title included, and leaves its
// record's lines after them. Sets the table's StatusCode (Ok or the
// refusal), fills the record and, when it analysed the data, `outputs` for
// the graph. The caller runs it inside RunGuarded, calls WriteErrorReport
// only for a refusal, then ends the report.
void RunMultipleRegression(const TMultipleRegressionRequest& request, TAnalysisRun& run,
                           TMultipleRegressionOutputs& outputs);

}  // namespace ombrel
