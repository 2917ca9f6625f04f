#pragma once

#include <cstdint>
#include <vector>

#include "core/base/EmptyValue.h"

namespace ombrel {

// What the last linear regression hands to the graph: the line, the slope's
// 95% limits and what the confidence band needs. Slope is the empty marker
// when there is no line to draw (no regression run, or it failed).
struct TRegressionOutputs {
  TReal Slope = EmptyValue;
  TReal Intercept = EmptyValue;
  TReal SlopeLower95 = EmptyValue;
  TReal SlopeUpper95 = EmptyValue;
  TReal SyX = EmptyValue;  // standard deviation of the residuals
  TReal RSquared = EmptyValue;
  std::int32_t N = 0;  // points
  TReal MeanX = EmptyValue;
  TReal Sxx = EmptyValue;  // sum of squared deviations of X
  // The point the line was forced through, when it was.
  std::uint8_t ForceThrough = 0;
  TReal ForceX = 0;
  TReal ForceY = 0;
};

// What the last multiple regression or correlation matrix hands to the
// graph: the analysed variables and, per analysed row, the residual.
struct TMultipleRegressionOutputs {
  std::uint8_t Regression = 1;             // 1 multiple regression, 0 correlation matrix
  std::int32_t DependentColumn = -1;       // -1 for the correlation matrix
  std::vector<std::int32_t> Variables;     // the analysed X columns (or matrix columns), ascending
  std::vector<std::int32_t> Rows;          // the rows used, ascending
  std::vector<TReal> Residuals;            // one per row used (regression only)
  std::vector<std::vector<TReal>> Values;  // Values[variable][case], in the order of Variables and Rows
  std::vector<TReal> Dependent;            // the dependent value of each row used (regression only)
  std::vector<TReal> Coefficients;         // b0..bp (regression only)

  // The graph offers its "analysed data" view only after at least one case.
  bool HasCases() const { return !Rows.empty(); }
};

}  // namespace ombrel
