#pragma once

#include <cstdint>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"
#include "core/analysis/RegressionOutputs.h"
#include "core/report/ReportText.h"

// Linear regression of X/Y data (column A = X, columns B.. = Y replicates):
// the least-squares line, optionally forced through a point, the test of its
// slope, the tests for departure from linearity (runs, lack of fit) and the
// unknowns read off a standard curve.

namespace ombrel {

// The choices that shape a linear regression.
struct TLinearRegressionOptions {
  bool RunsTest = false;      // test for departure from linearity
  bool ForceThrough = false;  // line forced through (ForceX, ForceY)
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
  TReal X = EmptyValue;
  TReal Y = EmptyValue;
  bool OutsideCurve = false;  // X beyond the X range of the curve
};

// Every figure of a linear regression report. Values are in the user's
// units (a forced fit is computed on shifted values and shifted back).
struct TLinearRegressionResult {
  TStatusCode StatusCode = TStatusCode::Ok;
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
  bool PerfectLine = false;  // r² = 1: every point on the line

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

  // Runs test (the linearity test).
  bool HasRunsTest = false;
  std::int32_t Above = 0;
  std::int32_t Below = 0;
  std::int32_t Runs = 0;
  TReal RunsP = EmptyValue;  // empty when the test cannot be performed

  std::vector<TRegressionRowSummary> RowSummaries;

  bool HasStandardCurve = false;
  std::vector<TStandardCurveUnknown> Unknowns;
  bool AnyOutsideCurve = false;
};

// Computes every figure of the report from the table's analysis values
// (empty and excluded cells are skipped). Refusals: 36 fewer than three rows
// with points, 37 all X equal, 38 slope and its SE both 0. Arithmetic faults
// raise floating-point flags for the caller's frame. Accuracy: the certified
// slope and intercept of NIST's Norris and NoInt data to 14 digits; sums are
// taken about accurate means, the residual sum of squares from the
// residuals themselves.
TLinearRegressionResult ComputeLinearRegression(const TDataTable& table, const TLinearRegressionOptions& options);

// The exact one-tailed probability of at most `runs` runs among `above` +
// `below` points in random order (Wald-Wolfowitz), summed in logarithms so
// that any count is safe.
TReal RunsTestP(std::int32_t above, std::int32_t below, std::int32_t runs);

// Writes the report of a computed regression (no refusal) into the report.
void WriteLinearRegressionReport(TReportText& report, const TLinearRegressionResult& result,
                                 const TLinearRegressionOptions& options);

// Fills what the graph keeps of a computed regression (the line, the
// slope's limits, Sy.x, r², n, mean X and Sxx); the forced point is the
// caller's.
void FillRegressionOutputs(const TLinearRegressionResult& result, TRegressionOutputs& outputs);

// Entry point of the linear regression of XY data (column A is X, the
// other columns Y replicates), optionally forced through (forceX, forceY),
// with the runs and lack-of-fit tests on request and unknowns read from the
// standard curve on request. Sets StatusCode to 0, writes the report body,
// fills `outputs` for the graph on success and returns StatusCode. The
// caller runs it inside RunGuarded and then calls WriteErrorReport.
TStatusCode RunLinearRegression(TDataTable& table, bool runsTest, bool forceThrough, TReportText& report,
                                bool interpolateUnknowns, TRegressionOutputs& outputs, TReal forceX, TReal forceY);

}  // namespace ombrel
