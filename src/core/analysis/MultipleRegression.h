#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"
#include "core/analysis/RegressionOutputs.h"
#include "core/base/TestChoices.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

// Multiple regression (one dependent column Y, one or more X columns) and the
// correlation matrix of a set of columns, over the rows where every analysed
// column has a value.

namespace ombrel {

// Why the data could not be analysed; each has its one-line message.
enum class TMultipleRegressionRefusal {
  None,
  NoData,           // "Until you enter data, you won't see any results!"
  NoDependent,      // "You must choose a dependent (Y) variable."
  NoIndependent,    // "You must choose one or more independent (X) variables."
  TooFewVariables,  // "You must choose two or more variables to analyze."
  TooFewRows,       // "Too few rows of data. Need at least two more rows than # of variables."
  Singular,         // "It is not possible to fit your data. Perhaps two X columns are identical?"
};

std::string_view RefusalMessage(TMultipleRegressionRefusal refusal);

// One coefficient of the fitted equation (b0 first).
struct TCoefficient {
  std::string Name;  // "(constant)" for b0, else "B:Title"
  TReal Value = 0;
  TReal SE = 0;
  TReal Lower = 0;
  TReal Upper = 0;
  TReal T = EmptyValue;  // empty when SE = 0 ("infinite")
  TReal P = 1;
};

// Every figure of the report.
struct TMultipleRegressionResult {
  // Nonzero for an arithmetic refusal (constant Y, or a constant column in
  // the matrix, where r is 0/0): the code of an invalid operation.
  TStatusCode StatusCode = TStatusCode::Ok;
  TMultipleRegressionRefusal Refusal = TMultipleRegressionRefusal::None;
  bool Regression = true;
  std::int32_t DependentColumn = -1;
  std::string DependentName;
  std::vector<std::int32_t> Variables;
  std::vector<std::string> Names;
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
  TReal F = EmptyValue;  // empty when R² = 1
  TReal P = EmptyValue;
  std::vector<TReal> VIF;  // per X variable
  TReal MaxVIF = 0;

  // Correlation matrix of the variables, and (regression) r with Y.
  std::vector<std::vector<TReal>> Correlations;
  std::vector<TReal> CorrelationsWithY;

  // The analysed cases and coefficients, for the graph.
  TMultipleRegressionOutputs Outputs;
};

// Runs the checks in order and computes every figure. Reads the cells
// through GetAnalysisValue (excluded cells are missing) with the column
// selection of compare-means analyses not applied. Accuracy: the certified
// coefficients, standard errors, residual SD and R² of NIST's Norris,
// Pontius, Longley and Wampler1-4 data to at least 12 digits (centred
// Householder QR, see LeastSquares.h).
TMultipleRegressionResult ComputeMultipleRegression(const TDataTable& table, bool multipleRegression,
                                                    int dependentColumn, const TColumnFlags& independentSelected);

// Which of the three multicollinearity verdicts the largest VIF gives.
enum class TCollinearityVerdict { None, Low, High, VeryHigh };
TCollinearityVerdict CollinearityVerdict(TReal maxVif);

// Writes the report of a computed result: the date line, the table's title,
// then the results, or the refusal's three lines.
void WriteMultipleRegressionReport(TReportText& report, const TMultipleRegressionResult& result,
                                   std::string_view tableTitle, const TReportDateTime& when);

// Entry point of the multiple regression (multipleRegression true) or the
// correlation matrix. The report has been reset and begun; the routine
// writes all of it, from the date line (the time now) and the data set title
// on, and its own three-line report (empty line, message, empty line) for
// the problems it finds before computing. Sets StatusCode to 0, fills
// `outputs` for the graph when it analysed the data and returns StatusCode.
// The caller runs it inside RunGuarded, calls WriteErrorReport only for a
// non-zero code, then ends the report.
TStatusCode RunMultipleRegression(TDataTable& table, TReportText& report, bool multipleRegression, int dependentColumn,
                                  const TColumnFlags& independentSelected, TMultipleRegressionOutputs& outputs);

}  // namespace ombrel
