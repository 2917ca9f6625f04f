#include "core/stats/AssumptionTests.h"

#include <algorithm>
#include <cmath>

#include "core/stats/FloatingPointGuard.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::int32_t LillieforsSmallestN = 5;
constexpr std::int32_t LillieforsLargestTabledN = 100;

}  // namespace

// Dallal, G. E. and Wilkinson, L. (1986), An analytic approximation to the
// distribution of Lilliefors's test statistic for normality, The American
// Statistician 40(4), 294-296: with Kd = D and nd = n for n <= 100, else
// Kd = D (n/100)^0.49 and nd = 100,
// P = exp(-7.01256 Kd^2 (nd + 2.78019) + 2.99587 Kd sqrt(nd + 2.78019)
//         - 0.122119 + 0.974598 / sqrt(nd) + 1.67997 / nd).
TLillieforsP LillieforsP(TReal ks, std::int32_t n) {
  TLillieforsP result;
  if (n < LillieforsSmallestN || !std::isfinite(ks) || ks <= 0 || ks > 1) return result;
  TReal kd = ks;
  TReal nd = static_cast<TReal>(n);
  if (n > LillieforsLargestTabledN) {
    kd = ks * std::pow(nd / LillieforsLargestTabledN, 0.49L);
    nd = LillieforsLargestTabledN;
  }
  const TReal shifted = nd + 2.78019L;
  const TReal p = std::exp(-7.01256L * kd * kd * shifted + 2.99587L * kd * std::sqrt(shifted) - 0.122119L +
                           0.974598L / std::sqrt(nd) + 1.67997L / nd);
  result.P = std::min(p, TReal{1});
  result.AboveLimit = p > LillieforsPLimit;
  return result;
}

TReal VarianceRatioTwoSidedP(TReal f, std::int32_t dfTop, std::int32_t dfBelow) {
  if (!std::isfinite(f) || f <= 0 || dfTop < 1 || dfBelow < 1) return EmptyValue;
  // The lower tail of F(dfTop, dfBelow) at f is the upper tail of
  // F(dfBelow, dfTop) at 1/f: both tails are computed directly.
  TFloatingPointGuard guard;
  const TReal upper = p_value_f(dfTop, dfBelow, f);
  const TReal lower = p_value_f(dfBelow, dfTop, 1 / f);
  const TReal p = std::min(TReal{1}, 2 * std::min(upper, lower));
  return guard.Clean() ? p : EmptyValue;
}

}  // namespace ombrel
