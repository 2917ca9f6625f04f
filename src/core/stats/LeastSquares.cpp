#include "core/stats/LeastSquares.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace ombrel {

namespace {

// How many units of rounding a residual may hold and still count as zero:
// a backward-stable solve of points that lie exactly on a surface leaves
// residuals of a few units of the data's rounding, real scatter is many
// orders of magnitude above it.
constexpr TReal RoundingUnits = 1024;

constexpr int RefinementSteps = 1;

// A sum kept as an unevaluated pair high + low (twice the working precision):
// error-free transformations of sums (Knuth) and products (Dekker's split of
// the 64-bit significand into two halves of 32 bits).
struct TExactSum {
  TReal High = 0;
  TReal Low = 0;

  void Add(TReal value) {
    const TReal sum = High + value;
    const TReal virtualValue = sum - High;
    Low += (High - (sum - virtualValue)) + (value - virtualValue);
    High = sum;
  }
  void SubtractProduct(TReal a, TReal b) {
    const TReal product = a * b;
    const auto split = [](TReal x, TReal& high, TReal& low) {
      const TReal c = 4294967297.0L * x;  // 2^32 + 1
      high = c - (c - x);
      low = x - high;
    };
    TReal ah = 0, al = 0, bh = 0, bl = 0;
    split(a, ah, al);
    split(b, bh, bl);
    const TReal error = ((ah * bh - product) + ah * bl + al * bh) + al * bl;
    Add(-product);
    Low -= error;
  }
  TReal Value() const { return High + Low; }
};

TReal Norm(std::span<const TReal> values) { return std::sqrt(DotProduct(values, values)); }

}  // namespace

TReal AccurateMean(std::span<const TReal> values) {
  if (values.empty()) return 0;
  const auto n = static_cast<TReal>(values.size());
  TReal sum = 0;
  for (const TReal v : values) sum += v;
  const TReal mean = sum / n;
  TReal correction = 0;
  for (const TReal v : values) correction += v - mean;
  return mean + correction / n;
}

std::vector<TReal> CentredValues(std::span<const TReal> values, TReal mean) {
  std::vector<TReal> centered(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) centered[i] = values[i] - mean;
  return centered;
}

TReal DotProduct(std::span<const TReal> a, std::span<const TReal> b) {
  TReal sum = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) sum += a[i] * b[i];
  return sum;
}

bool IsRoundingLevel(TReal sumSquares, TReal sumScaleSquares) {
  const TReal unit = RoundingUnits * std::numeric_limits<TReal>::epsilon();
  return sumSquares <= unit * unit * sumScaleSquares;
}

TLeastSquaresFit FitLeastSquares(const std::vector<std::vector<TReal>>& columns, std::span<const TReal> y) {
  TLeastSquaresFit fit;
  const std::size_t p = columns.size();
  const std::size_t n = y.size();

  if (n < p + 2) {
    fit.Singular = true;
    return fit;
  }
  fit.MeanY = AccurateMean(y);
  std::vector<TReal> centeredY = CentredValues(y, fit.MeanY);
  fit.SSTotal = DotProduct(centeredY, centeredY);

  // Centring removes the intercept from the system: its solution and
  // variance follow from the means afterwards.
  std::vector<std::vector<TReal>> a;  // the centered columns, then R and the reflectors
  a.reserve(p);
  fit.Means.resize(p);
  fit.SumsOfSquares.resize(p);
  for (std::size_t j = 0; j < p; ++j) {
    fit.Means[j] = AccurateMean(columns[j]);
    a.push_back(CentredValues(columns[j], fit.Means[j]));
    fit.SumsOfSquares[j] = DotProduct(a[j], a[j]);
  }

  // Householder QR: column k is reflected onto e_k; the reflector is left in
  // the column below the diagonal, R's diagonal kept apart.
  std::vector<TReal> diagonal(p);
  std::vector<TReal> scales(p);
  const auto reflect = [&](std::size_t k, std::vector<TReal>& target) {
    const std::vector<TReal>& v = a[k];
    TReal s = 0;
    for (std::size_t i = k; i < n; ++i) s += v[i] * target[i];
    s /= scales[k];
    for (std::size_t i = k; i < n; ++i) target[i] -= s * v[i];
  };
  for (std::size_t k = 0; k < p; ++k) {
    std::vector<TReal>& col = a[k];
    const TReal norm = Norm(std::span<const TReal>(col).subspan(k));
    // What is left of the column once the earlier columns are removed, set
    // against its own length: zero for a constant column (it duplicates
    // the intercept) or one that repeats an earlier column.
    if (norm <= SingularityTolerance * std::sqrt(fit.SumsOfSquares[k])) {
      fit.Singular = true;
      return fit;
    }
    const TReal alpha = col[k] > 0 ? -norm : norm;
    col[k] -= alpha;                       // v = x - alpha e_k, without cancellation
    scales[k] = norm * std::fabs(col[k]);  // vᵀv / 2
    for (std::size_t j = k + 1; j < p; ++j) reflect(k, a[j]);
    diagonal[k] = alpha;
  }
  const auto r = [&](std::size_t i, std::size_t j) { return i == j ? diagonal[i] : a[j][i]; };

  // R x = the first p entries of Qᵀv.
  const auto solve = [&](std::vector<TReal> v) {
    for (std::size_t k = 0; k < p; ++k) reflect(k, v);
    std::vector<TReal> x(p);
    for (std::size_t k = p; k-- > 0;) {
      TReal sum = v[k];
      for (std::size_t j = k + 1; j < p; ++j) sum -= r(k, j) * x[j];
      x[k] = sum / diagonal[k];
    }
    return x;
  };

  std::vector<TReal> slopes = solve(std::move(centeredY));
  TReal intercept = fit.MeanY;
  for (std::size_t j = 0; j < p; ++j) intercept -= slopes[j] * fit.Means[j];

  // Y - b0 - Σ bj·xj of the data as given, formed in doubled precision: no
  // rounding of means or centered values enters it.
  const auto residuals = [&] {
    std::vector<TReal> e(n);
    for (std::size_t i = 0; i < n; ++i) {
      TExactSum sum{y[i], 0};
      sum.Add(-intercept);
      for (std::size_t j = 0; j < p; ++j) sum.SubtractProduct(slopes[j], columns[j][i]);
      e[i] = sum.Value();
    }
    return e;
  };
  // Refinement: the least-squares solution of the residual, added to the
  // coefficients, removes the error that the condition of the columns and
  // the rounding of the means put into them; points that lie exactly on a
  // polynomial give its coefficients exactly.
  for (int step = 0; step < RefinementSteps; ++step) {
    std::vector<TReal> e = residuals();
    const TReal meanE = AccurateMean(e);
    for (TReal& value : e) value -= meanE;
    const std::vector<TReal> correction = solve(std::move(e));
    TReal interceptCorrection = meanE;
    for (std::size_t j = 0; j < p; ++j) {
      slopes[j] += correction[j];
      interceptCorrection -= correction[j] * fit.Means[j];
    }
    intercept += interceptCorrection;
  }

  // R⁻¹, upper triangular, row by row from the bottom; (XcᵀXc)⁻¹ = R⁻¹R⁻ᵀ.
  std::vector<std::vector<TReal>> inverse(p, std::vector<TReal>(p, 0));
  for (std::size_t j = 0; j < p; ++j) {
    inverse[j][j] = 1 / diagonal[j];
    for (std::size_t i = j; i-- > 0;) {
      TReal sum = 0;
      for (std::size_t k = i + 1; k <= j; ++k) sum += r(i, k) * inverse[k][j];
      inverse[i][j] = -sum / diagonal[i];
    }
  }

  fit.Coefficients.resize(p + 1);
  fit.VarianceFactors.resize(p + 1);
  for (std::size_t j = 0; j < p; ++j) {
    fit.Coefficients[j + 1] = slopes[j];
    TReal v = 0;
    for (std::size_t k = j; k < p; ++k) v += inverse[j][k] * inverse[j][k];
    fit.VarianceFactors[j + 1] = v;
  }
  fit.Coefficients[0] = intercept;
  // Var(b0) / σ² = 1/n + x̄ᵀ(XcᵀXc)⁻¹x̄ = 1/n + |R⁻ᵀx̄|².
  TReal v0 = 1 / static_cast<TReal>(n);
  for (std::size_t k = 0; k < p; ++k) {
    TReal w = 0;
    for (std::size_t j = 0; j <= k; ++j) w += inverse[j][k] * fit.Means[j];
    v0 += w * w;
  }
  fit.VarianceFactors[0] = v0;

  fit.Residuals = residuals();
  TReal sumScaleSquares = 0;
  for (std::size_t i = 0; i < n; ++i) {
    // The size of the terms the residual is the difference of: the data's
    // own rounding is a fraction of it.
    TReal scale = std::fabs(y[i]) + std::fabs(fit.MeanY);
    for (std::size_t j = 0; j < p; ++j)
      scale += std::fabs(slopes[j]) * (std::fabs(columns[j][i]) + std::fabs(fit.Means[j]));
    fit.SSResidual += fit.Residuals[i] * fit.Residuals[i];
    sumScaleSquares += scale * scale;
  }
  if (IsRoundingLevel(fit.SSResidual, sumScaleSquares)) {
    fit.SSResidual = 0;
    for (TReal& e : fit.Residuals) e = 0;
  }
  return fit;
}

}  // namespace ombrel
