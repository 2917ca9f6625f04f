#pragma once

#include <cstdint>
#include <vector>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/RegressionOutputs.h"
#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"

// Linear regression of X/Y data (column A = X, columns B.. = Y replicates):
// the least-squares line, optionally forced through a point, the test of its
// slope, the tests for departure from linearity (runs, lack of fit) and the
// unknowns read off a standard curve.
//
// The family follows the pattern of every analysis (docs/ARCHITECTURE.md,
// "Results as data"): ComputeLinearRegression returns every figure of the
// report in a TLinearRegressionResult, WriteLinearRegressionReport and
// FillLinearRegressionRecord (LinearRegressionWriters.cpp) only format it,
// and RunLinearRegression is the entry point RunAnalysis calls.

namespace ombrel {

class TReportText;

// The choices that shape a linear regression.
struct TLinearRegressionRequest {
  bool TestLinearity = false;  // the runs test, and with replicates the lack-of-fit test
  bool ForceThrough = false;   // line forced through (ForceX, ForceY)
  TReal ForceX = 0;
  TReal ForceY = 0;
  bool InterpolateUnknowns = false;  // read unknowns off the standard curve
};

// One line of the residual table: a table row that has points.
struct TRegressionRowSummary {
  std::int32_t Row = 0;  // table row, 0-based
  TReal X = 0;
  TReal MeanY = 0;
  std::int32_t Replicates = 0;
  TReal PredictedY = 0;
  TReal SD = EmptyValue;  // of the row's Y values; empty for one replicate
  TReal Residual = 0;     // mean Y - predicted Y
};

// One value read off the standard curve.
struct TStandardCurveUnknown {
  std::int32_t Row = 0;  // table row, 0-based
  TReal X = EmptyValue;
  TReal Y = EmptyValue;
  bool OutsideCurve = false;  // X beyond the X range of the curve
};

// What the runs test could do with the points above and below the line.
enum class TRunsOutcome { Computed, TooFewOnOneSide, TooFewPoints };

// Every figure of a linear regression report. Values are in the user's
// units (a forced fit is computed on shifted values and shifted back).
struct TLinearRegressionResult {
  // Ok, or the refusal: TooFewRegressionPoints fewer than three rows with
  // points, OneXValue all X equal, OneYValue slope and its SE both 0.
  TStatusCode Status = TStatusCode::Ok;
  TLinearRegressionRequest Request;
  bool Forced = false;
  std::int32_t N = 0;              // points
  std::int32_t Rows = 0;           // rows with at least one point
  std::int32_t MaxReplicates = 0;  // most points in one row
  TReal MeanX = 0;
  TReal MeanY = 0;
  TReal Sxx = 0;
  TReal Syy = 0;
  TReal Sxy = 0;

  TReal Slope = 0;
  TReal SlopeSE = 0;
  TReal SlopeLower = 0;
  TReal SlopeUpper = 0;
  TReal Intercept = 0;
  TReal InterceptSE = EmptyValue;  // empty for a forced fit
  TReal InterceptLower = EmptyValue;
  TReal InterceptUpper = EmptyValue;
  TReal XIntercept = EmptyValue;  // empty when the slope is 0 ("Undefined")
  TReal R = 0;
  TReal RSquared = 0;
  TReal SyX = 0;
  TReal CriticalT95 = EmptyValue;  // the t of the 95% limits, DFResidual degrees of freedom
  bool PerfectLine = false;        // r² = 1: every point on the line

  // Slope test: ANOVA for the ordinary fit, t for the forced fit.
  TReal SSRegression = 0;
  TReal SSResidual = 0;
  TReal SSTotal = 0;
  TReal MSRegression = 0;
  TReal MSResidual = 0;
  std::int32_t DFRegression = 1;
  std::int32_t DFResidual = 0;
  std::int32_t DFTotal = 0;
  TReal F = EmptyValue;
  TReal T = EmptyValue;
  TReal SlopeP = EmptyValue;
  // b / SE(b), signed, with DFResidual degrees of freedom: the t of the APA
  // sentence (the ordinary fit's F is its square); empty for a perfect line.
  TReal SlopeT = EmptyValue;

  // Lack of fit (replicates and the linearity test).
  bool HasLackOfFit = false;
  TReal SSBetweenRows = 0;
  TReal SSDeviation = 0;
  TReal SSPureError = 0;
  std::int32_t DFDeviation = 0;
  std::int32_t DFPureError = 0;
  TReal MSDeviation = 0;
  TReal MSPureError = 0;
  TReal LackOfFitF = EmptyValue;  // empty when the replicates agree exactly (F infinite)
  TReal LackOfFitP = EmptyValue;

  // Runs test (the linearity test): exact one-tailed P of so few runs.
  bool HasRunsTest = false;
  std::int32_t Above = 0;
  std::int32_t Below = 0;
  std::int32_t Runs = 0;
  TRunsOutcome RunsOutcome = TRunsOutcome::Computed;
  TReal RunsP = EmptyValue;  // empty when the test cannot be performed

  std::vector<TRegressionRowSummary> RowSummaries;
  // The report lists the rows only for replicates and at most this many points.
  static constexpr std::int32_t MaxPointsForRowTable = 50;
  bool ShowsRowTable() const { return MaxReplicates >= 2 && N <= MaxPointsForRowTable; }

  bool HasStandardCurve = false;
  std::vector<TStandardCurveUnknown> Unknowns;
  bool AnyOutsideCurve = false;

  // X first (the rows whose X formed points), then each Y column (its
  // points); left out are excluded values and values without a partner
  // (the unknowns of a standard curve among them).
  std::vector<TColumnUse> Columns;
};

// Computes every figure of the report from the table's analysis values
// (empty and excluded cells are skipped); never writes text. Arithmetic
// faults raise floating-point flags for the caller's frame. Accuracy: the
// certified values of NIST's Norris and NoInt data to 14 digits; sums are
// taken about accurate means, the residual sum of squares from the
// residuals themselves.
TLinearRegressionResult ComputeLinearRegression(const TLinearRegressionRequest& request, const TDataTable& table);

// The exact one-tailed probability of at most `runs` runs among `above` +
// `below` points in random order (Wald-Wolfowitz), summed in logarithms so
// that any count is safe.
TReal RunsTestP(std::int32_t above, std::int32_t below, std::int32_t runs);

// The report of a computed regression (Status Ok).
void WriteLinearRegressionReport(const TLinearRegressionResult& result, TReportText& report);

// The record: choices, results, method facts and tables.
void FillLinearRegressionRecord(const TLinearRegressionResult& result, TAnalysisRecord& record);

// Fills what the graph keeps of a computed regression (the line, the
// slope's limits, Sy.x, r², n, mean X and Sxx); the forced point is the
// caller's.
void FillRegressionOutputs(const TLinearRegressionResult& result, TRegressionOutputs& outputs);

// Entry point: computes, sets the table's StatusCode (Ok or the refusal),
// fills the record and, unless refused, writes the report and fills
// `outputs` for the graph. The caller runs it inside RunGuarded and then
// calls WriteErrorReport.
void RunLinearRegression(const TLinearRegressionRequest& request, TAnalysisRun& run, TRegressionOutputs& outputs);

}  // namespace ombrel
