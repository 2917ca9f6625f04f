#include "core/stats/LeastSquares.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

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

// The Householder QR factorisation of the centered columns: column k is
// reflected onto e_k; the reflector is left in the column below the
// diagonal, R's diagonal kept apart.
class THouseholderQR {
 public:
  // `columns` holds p columns of n values each.
  THouseholderQR(std::vector<std::vector<TReal>> columns, std::size_t n)
      : mA(std::move(columns)), mP(mA.size()), mN(n), mDiagonal(mP), mScales(mP) {}

  // Factors the columns; false when one is singular: what is left of it
  // once the earlier columns are removed, set against its own length
  // (`sumsOfSquares`), is zero for a constant column (it duplicates the
  // intercept) or one that repeats an earlier column.
  bool Factor(const std::vector<TReal>& sumsOfSquares) {
    for (std::size_t k = 0; k < mP; ++k) {
      std::vector<TReal>& col = mA[k];
      const TReal norm = Norm(std::span<const TReal>(col).subspan(k));
      if (norm <= SingularityTolerance * std::sqrt(sumsOfSquares[k])) return false;
      const TReal alpha = col[k] > 0 ? -norm : norm;
      col[k] -= alpha;                        // v = x - alpha e_k, without cancellation
      mScales[k] = norm * std::fabs(col[k]);  // vᵀv / 2
      for (std::size_t j = k + 1; j < mP; ++j) Reflect(k, mA[j]);
      mDiagonal[k] = alpha;
    }
    return true;
  }

  // R x = the first p entries of Qᵀv.
  std::vector<TReal> Solve(std::vector<TReal> v) const {
    for (std::size_t k = 0; k < mP; ++k) Reflect(k, v);
    std::vector<TReal> x(mP);
    for (std::size_t k = mP; k-- > 0;) {
      TReal sum = v[k];
      for (std::size_t j = k + 1; j < mP; ++j) sum -= R(k, j) * x[j];
      x[k] = sum / mDiagonal[k];
    }
    return x;
  }

  // RᵀR x = z: Rᵀw = z forward, then R x = w backward.
  std::vector<TReal> SolveNormal(std::vector<TReal> z) const {
    for (std::size_t k = 0; k < mP; ++k) {
      for (std::size_t i = 0; i < k; ++i) z[k] -= R(i, k) * z[i];
      z[k] /= mDiagonal[k];
    }
    for (std::size_t k = mP; k-- > 0;) {
      for (std::size_t j = k + 1; j < mP; ++j) z[k] -= R(k, j) * z[j];
      z[k] /= mDiagonal[k];
    }
    return z;
  }

  // R⁻¹, upper triangular, row by row from the bottom; (XcᵀXc)⁻¹ = R⁻¹R⁻ᵀ.
  std::vector<std::vector<TReal>> InverseR() const {
    std::vector<std::vector<TReal>> inverse(mP, std::vector<TReal>(mP, 0));
    for (std::size_t j = 0; j < mP; ++j) {
      inverse[j][j] = 1 / mDiagonal[j];
      for (std::size_t i = j; i-- > 0;) {
        TReal sum = 0;
        for (std::size_t k = i + 1; k <= j; ++k) sum += R(i, k) * inverse[k][j];
        inverse[i][j] = -sum / mDiagonal[i];
      }
    }
    return inverse;
  }

 private:
  TReal R(std::size_t i, std::size_t j) const { return i == j ? mDiagonal[i] : mA[j][i]; }

  void Reflect(std::size_t k, std::vector<TReal>& target) const {
    const std::vector<TReal>& v = mA[k];
    TReal s = 0;
    for (std::size_t i = k; i < mN; ++i) s += v[i] * target[i];
    s /= mScales[k];
    for (std::size_t i = k; i < mN; ++i) target[i] -= s * v[i];
  }

  std::vector<std::vector<TReal>> mA;  // the centered columns, then R and the reflectors
  std::size_t mP;
  std::size_t mN;
  std::vector<TReal> mDiagonal;
  std::vector<TReal> mScales;
};

// The coefficients as they are refined.
struct TLinearSolution {
  std::vector<TReal> Slopes;
  TReal Intercept = 0;
};

// Y - b0 - Σ bj·xj of row i of the data as given, formed in doubled
// precision: no rounding of means or centered values enters it.
TExactSum ResidualSum(const std::vector<std::vector<TReal>>& columns, std::span<const TReal> y,
                      const TLinearSolution& solution, std::size_t i) {
  TExactSum sum{y[i], 0};
  sum.Add(-solution.Intercept);
  for (std::size_t j = 0; j < columns.size(); ++j) sum.SubtractProduct(solution.Slopes[j], columns[j][i]);
  return sum;
}

std::vector<TReal> Residuals(const std::vector<std::vector<TReal>>& columns, std::span<const TReal> y,
                             const TLinearSolution& solution) {
  std::vector<TReal> e(y.size());
  for (std::size_t i = 0; i < y.size(); ++i) e[i] = ResidualSum(columns, y, solution, i).Value();
  return e;
}

// One step of refinement by the corrected semi-normal equations (Björck,
// 1987): the gradient Xᵀe of the sum of squares, X with its column of ones,
// summed in doubled precision from the doubled residuals, so that it is
// right even where the residuals are large against the coefficients
// (Wampler5); then RᵀR·δ = Xcᵀe for the slopes and the mean residual for
// the intercept. Points that lie exactly on a polynomial give its
// coefficients exactly.
void Refine(const THouseholderQR& qr, const std::vector<std::vector<TReal>>& columns, std::span<const TReal> y,
            const std::vector<TReal>& means, TLinearSolution& solution) {
  const std::size_t p = means.size();
  TExactSum total;
  std::vector<TExactSum> gradient(p);
  for (std::size_t i = 0; i < y.size(); ++i) {
    const TExactSum e = ResidualSum(columns, y, solution, i);
    total.Add(e.High);
    total.Add(e.Low);
    for (std::size_t j = 0; j < p; ++j) {
      gradient[j].SubtractProduct(-columns[j][i], e.High);
      gradient[j].SubtractProduct(-columns[j][i], e.Low);
    }
  }
  // Xcᵀe = Xᵀe - x̄·Σe.
  std::vector<TReal> z(p);
  for (std::size_t j = 0; j < p; ++j) {
    gradient[j].SubtractProduct(means[j], total.High);
    gradient[j].SubtractProduct(means[j], total.Low);
    z[j] = gradient[j].Value();
  }
  const std::vector<TReal> correction = qr.SolveNormal(std::move(z));
  TReal interceptCorrection = total.Value() / static_cast<TReal>(y.size());
  for (std::size_t j = 0; j < p; ++j) {
    solution.Slopes[j] += correction[j];
    interceptCorrection -= correction[j] * means[j];
  }
  solution.Intercept += interceptCorrection;
}

// The diagonal of (XᵀX)⁻¹ for b0 .. bp from R⁻¹ and the column means.
std::vector<TReal> VarianceFactors(const std::vector<std::vector<TReal>>& inverse, const std::vector<TReal>& means,
                                   std::size_t n) {
  const std::size_t p = means.size();
  std::vector<TReal> factors(p + 1);
  for (std::size_t j = 0; j < p; ++j) {
    TReal v = 0;
    for (std::size_t k = j; k < p; ++k) v += inverse[j][k] * inverse[j][k];
    factors[j + 1] = v;
  }
  // Var(b0) / σ² = 1/n + x̄ᵀ(XcᵀXc)⁻¹x̄ = 1/n + |R⁻ᵀx̄|².
  TReal v0 = 1 / static_cast<TReal>(n);
  for (std::size_t k = 0; k < p; ++k) {
    TReal w = 0;
    for (std::size_t j = 0; j <= k; ++j) w += inverse[j][k] * means[j];
    v0 += w * w;
  }
  factors[0] = v0;
  return factors;
}

// The residuals and their sum of squares, both 0 when they are no larger
// than the rounding of the data.
void SetResiduals(const std::vector<std::vector<TReal>>& columns, std::span<const TReal> y,
                  const TLinearSolution& solution, TLeastSquaresFit& fit) {
  fit.Residuals = Residuals(columns, y, solution);
  TReal sumScaleSquares = 0;
  for (std::size_t i = 0; i < y.size(); ++i) {
    // The size of the terms the residual is the difference of: the data's
    // own rounding is a fraction of it.
    TReal scale = std::fabs(y[i]) + std::fabs(fit.MeanY);
    for (std::size_t j = 0; j < columns.size(); ++j)
      scale += std::fabs(solution.Slopes[j]) * (std::fabs(columns[j][i]) + std::fabs(fit.Means[j]));
    fit.SSResidual += fit.Residuals[i] * fit.Residuals[i];
    sumScaleSquares += scale * scale;
  }
  if (IsRoundingLevel(fit.SSResidual, sumScaleSquares)) {
    fit.SSResidual = 0;
    for (TReal& e : fit.Residuals) e = 0;
  }
}

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
  std::vector<std::vector<TReal>> centered;
  centered.reserve(p);
  fit.Means.resize(p);
  fit.SumsOfSquares.resize(p);
  for (std::size_t j = 0; j < p; ++j) {
    fit.Means[j] = AccurateMean(columns[j]);
    centered.push_back(CentredValues(columns[j], fit.Means[j]));
    fit.SumsOfSquares[j] = DotProduct(centered[j], centered[j]);
  }
  THouseholderQR qr(std::move(centered), n);
  if (!qr.Factor(fit.SumsOfSquares)) {
    fit.Singular = true;
    return fit;
  }

  TLinearSolution solution{qr.Solve(std::move(centeredY)), fit.MeanY};
  for (std::size_t j = 0; j < p; ++j) solution.Intercept -= solution.Slopes[j] * fit.Means[j];
  for (int step = 0; step < RefinementSteps; ++step) Refine(qr, columns, y, fit.Means, solution);

  fit.Coefficients.resize(p + 1);
  fit.Coefficients[0] = solution.Intercept;
  for (std::size_t j = 0; j < p; ++j) fit.Coefficients[j + 1] = solution.Slopes[j];
  fit.VarianceFactors = VarianceFactors(qr.InverseR(), fit.Means, n);
  SetResiduals(columns, y, solution, fit);
  return fit;
}

}  // namespace ombrel
