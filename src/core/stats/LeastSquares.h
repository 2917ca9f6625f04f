#pragma once

#include <span>
#include <vector>

#include "core/base/EmptyValue.h"

// Least squares with an intercept, solved accurately: the columns are centered
// about their means and the centered system is solved by Householder QR in
// 80-bit arithmetic, never through the normal equations, whose condition
// number is the square of the data's. Data with large offsets (years) or
// polynomial columns (X, X², ... X⁵) keep all the digits a report prints.

namespace ombrel {

// A column (or Y) is judged linearly dependent on the others, and the fit
// refused, when what is left of it after removing them is at most this
// fraction of its length about its mean.
inline constexpr TReal SingularityTolerance = 1e-13L;

struct TLeastSquaresFit {
  // True when a column is constant or a combination of the other columns
  // (two identical X columns), or there are fewer than p + 2 rows; nothing
  // below is then computed.
  bool Singular = false;
  // b0 (intercept), then b1 .. bp in column order.
  std::vector<TReal> Coefficients;
  // Diagonal of (XᵀX)⁻¹ for b0 .. bp, X with its leading column of ones:
  // SE(bi) = sqrt(VarianceFactors[i]) x SD of residuals.
  std::vector<TReal> VarianceFactors;
  // Y - fitted value, one per row.
  std::vector<TReal> Residuals;
  // Σ residual²; exactly 0 when the residuals are no larger than the
  // rounding error of the data (the points lie on the fitted surface).
  TReal SSResidual = 0;
  TReal MeanY = 0;
  // Σ (Y - Ȳ)².
  TReal SSTotal = 0;
  // Mean and Σ (x - x̄)² of each column.
  std::vector<TReal> Means;
  std::vector<TReal> SumsOfSquares;
};

// The mean of the values, corrected by a second pass over the deviations so
// that it is correct to the last bit even for large offsets.
TReal AccurateMean(std::span<const TReal> values);

// The values minus their accurate mean.
std::vector<TReal> CentredValues(std::span<const TReal> values, TReal mean);

// Σ a·b.
TReal DotProduct(std::span<const TReal> a, std::span<const TReal> b);

// True when a sum of squared residuals is no larger than the rounding error
// of values of the given scale: sumScaleSquares is Σ scale², one scale per
// residual, the magnitude of the terms whose difference the residual is.
bool IsRoundingLevel(TReal sumSquares, TReal sumScaleSquares);

// Fits y = b0 + Σ bj·xj by least squares. `columns` holds the p X columns,
// each with one value per row, and y one value per row (at least p + 2
// rows). Method: centring, Householder QR (no pivoting, column order kept),
// back substitution, one step of refinement by the corrected semi-normal
// equations with the residual and the gradient formed in doubled
// precision, the triangular inverse for the variance factors. Accuracy:
// the certified values of NIST's linear least-squares reference data to 14
// significant digits (Norris, Pontius, Longley, Wampler1-5, Wampler1
// exactly), 11.9 for Filip with X..X¹⁰, the most its stored columns allow.
TLeastSquaresFit FitLeastSquares(const std::vector<std::vector<TReal>>& columns, std::span<const TReal> y);

}  // namespace ombrel
