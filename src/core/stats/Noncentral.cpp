#include "core/stats/Noncentral.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/stats/FloatingPointGuard.h"

namespace ombrel {

namespace {

// Standard normal lower tail Phi(x) by erfc, accurate in both tails.
TReal NormalLower(TReal x) { return std::erfc(-x / std::numbers::sqrt2_v<TReal>) / 2; }

constexpr TReal Epsilon = std::numeric_limits<TReal>::epsilon();
constexpr TReal Tiny = std::numeric_limits<TReal>::min() / Epsilon;
constexpr int BetaFractionSteps = 20000;

bool Finite(TReal value) { return std::isfinite(value); }

TReal LogBeta(TReal a, TReal b) { return std::lgamma(a) + std::lgamma(b) - std::lgamma(a + b); }

// The continued fraction of I_x(a, b) (x below its mean), by the modified
// Lentz method; NaN-free: 0 when it does not converge (the caller then
// rejects the result).
TReal BetaFraction(TReal a, TReal b, TReal x, bool& converged) {
  const TReal qab = a + b;
  const TReal qap = a + 1;
  const TReal qam = a - 1;
  const auto guard = [](TReal value) { return std::fabs(value) < Tiny ? Tiny : value; };
  TReal c = 1;
  TReal d = 1 / guard(1 - qab * x / qap);
  TReal h = d;
  for (int m = 1; m <= BetaFractionSteps; ++m) {
    const TReal em = m;
    const TReal m2 = 2 * em;
    TReal aa = em * (b - em) * x / ((qam + m2) * (a + m2));
    d = 1 / guard(1 + aa * d);
    c = guard(1 + aa / c);
    h *= d * c;
    aa = -(a + em) * (qab + em) * x / ((a + m2) * (qap + m2));
    d = 1 / guard(1 + aa * d);
    c = guard(1 + aa / c);
    const TReal step = d * c;
    h *= step;
    if (std::fabs(step - 1) < 4 * Epsilon) {
      converged = true;
      return h;
    }
  }
  converged = false;
  return 0;
}

// I_x(a, b) and its complement with y = 1 - x given separately, so that a
// y computed without cancellation keeps its accuracy. {empty, empty} when
// the fraction does not converge.
TTails BetaTails(TReal a, TReal b, TReal x, TReal y) {
  if (x <= 0) return {0, 1};
  if (y <= 0) return {1, 0};
  const TReal front = std::exp(a * std::log(x) + b * std::log(y) - LogBeta(a, b));
  bool converged = false;
  if (x < (a + 1) / (a + b + 2)) {
    const TReal lower = front * BetaFraction(a, b, x, converged) / a;
    if (!converged) return {};
    return {lower, 1 - lower};
  }
  const TReal upper = front * BetaFraction(b, a, y, converged) / b;
  if (!converged) return {};
  return {1 - upper, upper};
}

// Gauss-Kronrod 7/15 nodes and weights (Piessens et al., QUADPACK, 1983).
constexpr std::array<TReal, 8> KronrodNodes = {
    0.991455371120812639206854697526329L, 0.949107912342758524526189684047851L,
    0.864864423359769072789712788640926L, 0.741531185599394439863864773280788L,
    0.586087235467691130294144845693013L, 0.405845151377397166906606412076961L,
    0.207784955007898467600689403773245L, 0.0L};
constexpr std::array<TReal, 8> KronrodWeights = {
    0.022935322010529224963732008058970L, 0.063092092629978553290700663189204L, 0.104790010322250183839876322541518L,
    0.140653259715525918745189590510238L, 0.169004726639267902826583426598550L, 0.190350578064785409913256402421014L,
    0.204432940075298892414161999234649L, 0.209482141084727828012999174891714L};
// Weights of the 7-point Gauss rule at the odd-indexed Kronrod nodes.
constexpr std::array<TReal, 4> GaussWeights = {
    0.129484966168869693270611432679082L, 0.279705391489276667901467771423780L, 0.381830050505118944950369775488975L,
    0.417959183673469387755102040816327L};

constexpr int InitialPanels = 16;
constexpr int MaxPanels = 20000;
constexpr TReal PanelRelativeTolerance = 1e-15L;
// Below this share of the largest density the integrand is left out.
constexpr TReal DensityCutOff = 90;

// Both tails of the noncentral t as integrals over s = sqrt(V/df), whose
// density is 2 (df/2)^(df/2) / Gamma(df/2) s^(df-1) exp(-df s^2 / 2).
class TNoncentralTIntegral {
 public:
  TNoncentralTIntegral(TReal t, TReal df, TReal delta) : mT(t), mDf(df), mDelta(delta) {
    const TReal half = df / 2;
    mMode = df > 1 ? std::sqrt((df - 1) / df) : 0;
    mLogAtMode = std::numbers::ln2_v<TReal> + half * std::log(half) - std::lgamma(half) - df * mMode * mMode / 2;
    if (df > 1) mLogAtMode += (df - 1) * std::log(mMode);
  }

  TTails Integrate() {
    const TReal mode = mMode;
    const TReal top = mLogAtMode;
    const TReal scale = 1 / std::sqrt(mDf);
    TReal step = scale;
    TReal high = mode + step;
    while (LogDensity(high) > top - DensityCutOff) {
      step *= 2;
      high = mode + step;
    }
    TReal low = 0;
    if (mDf > 1) {
      step = scale;
      while (mode - step > 0 && LogDensity(mode - step) > top - DensityCutOff) step *= 2;
      low = std::max(TReal{0}, mode - step);
    }
    std::array<TReal, InitialPanels + 2> cuts{};
    int count = 0;
    for (int i = 0; i <= InitialPanels; ++i)
      cuts[static_cast<std::size_t>(count++)] = low + (high - low) * i / InitialPanels;
    // The normal factor turns from 0 to 1 around s = delta / t, over a width
    // of 1/|t|: a cut there keeps that step inside one panel's reach.
    if (mT != 0) {
      const TReal turn = mDelta / mT;
      if (turn > low && turn < high) cuts[static_cast<std::size_t>(count++)] = turn;
    }
    std::sort(cuts.begin(), cuts.begin() + count);
    mWidth = high - low;
    mEstimate = {Tiny, Tiny};
    for (int i = 0; i + 1 < count; ++i) {
      const TRule rule = Apply(cuts[static_cast<std::size_t>(i)], cuts[static_cast<std::size_t>(i + 1)]);
      mEstimate.Lower += rule.Kronrod.Lower;
      mEstimate.Upper += rule.Kronrod.Upper;
    }
    TTails sum{0, 0};
    for (int i = 0; i + 1 < count; ++i) {
      const TTails part = Adaptive(cuts[static_cast<std::size_t>(i)], cuts[static_cast<std::size_t>(i + 1)], 0);
      sum.Lower += part.Lower;
      sum.Upper += part.Upper;
    }
    if (!mConverged) return {};
    // The two integrands add up to the density, whose integral is 1: dividing
    // by their sum removes the rounding of the density's constant and what
    // lies beyond the range.
    const TReal total = sum.Lower + sum.Upper;
    return {sum.Lower / total, sum.Upper / total};
  }

 private:
  // The log density taken about its mode: with large df the constant and
  // the terms in s are each in the thousands, and their sum near the mode
  // would otherwise carry a rounding error of 1e-15 relative.
  TReal LogDensity(TReal s) const {
    if (mDf == 1) return mLogAtMode - s * s / 2;
    if (s <= 0) return -std::numeric_limits<TReal>::max();
    return mLogAtMode + (mDf - 1) * std::log(s / mMode) - mDf * (s - mMode) * (s + mMode) / 2;
  }

  struct TRule {
    TTails Kronrod;
    TReal ErrorLower = 0;
    TReal ErrorUpper = 0;
  };

  TRule Apply(TReal a, TReal b) const {
    const TReal centre = (a + b) / 2;
    const TReal half = (b - a) / 2;
    TRule rule;
    rule.Kronrod = {0, 0};
    TTails gauss{0, 0};
    for (std::size_t i = 0; i < KronrodNodes.size(); ++i) {
      const int sides = i + 1 < KronrodNodes.size() ? 2 : 1;
      for (int side = 0; side < sides; ++side) {
        const TReal s = centre + (side == 0 ? half : -half) * KronrodNodes[i];
        const TReal density = std::exp(LogDensity(s));
        const TReal lower = NormalLower(mT * s - mDelta) * density;
        const TReal upper = NormalLower(mDelta - mT * s) * density;
        rule.Kronrod.Lower += KronrodWeights[i] * lower;
        rule.Kronrod.Upper += KronrodWeights[i] * upper;
        if (i % 2 == 1) {
          gauss.Lower += GaussWeights[i / 2] * lower;
          gauss.Upper += GaussWeights[i / 2] * upper;
        }
      }
    }
    rule.Kronrod.Lower *= half;
    rule.Kronrod.Upper *= half;
    rule.ErrorLower = std::fabs(rule.Kronrod.Lower - gauss.Lower * half);
    rule.ErrorUpper = std::fabs(rule.Kronrod.Upper - gauss.Upper * half);
    return rule;
  }

  // Each tail is judged against a first estimate of its own total, shared
  // out over the panels by width, so a tiny tail stays accurate relative to
  // itself and a panel that adds nothing to either tail is not refined.
  TTails Adaptive(TReal a, TReal b, int depth) {
    ++mPanels;
    const TRule rule = Apply(a, b);
    const TReal share = (b - a) / mWidth;
    const bool lowerDone = rule.ErrorLower <= PanelRelativeTolerance * mEstimate.Lower * share;
    const bool upperDone = rule.ErrorUpper <= PanelRelativeTolerance * mEstimate.Upper * share;
    if (lowerDone && upperDone) return rule.Kronrod;
    if (depth >= 50 || mPanels >= MaxPanels) {
      if (rule.ErrorLower > 1e-9L * mEstimate.Lower || rule.ErrorUpper > 1e-9L * mEstimate.Upper) mConverged = false;
      return rule.Kronrod;
    }
    const TReal middle = (a + b) / 2;
    const TTails left = Adaptive(a, middle, depth + 1);
    const TTails right = Adaptive(middle, b, depth + 1);
    return {left.Lower + right.Lower, left.Upper + right.Upper};
  }

  TReal mT;
  TReal mDf;
  TReal mDelta;
  TReal mMode = 0;
  TReal mLogAtMode = 0;
  TReal mWidth = 1;
  TTails mEstimate;
  int mPanels = 0;
  bool mConverged = true;
};

// The root of a monotone function between two points where it lies on
// either side of the target, by bisection to a relative width.
template <typename TFunction>
TReal Bisect(TFunction above, TReal low, TReal high, TReal relativeWidth) {
  for (int step = 0; step < 400; ++step) {
    const TReal middle = (low + high) / 2;
    if (high - low <= relativeWidth * std::max(TReal{1}, std::fabs(middle))) return middle;
    if (above(middle)) {
      high = middle;
    } else {
      low = middle;
    }
  }
  return (low + high) / 2;
}

bool ValidLevel(TReal level) { return Finite(level) && level > 0 && level < 1; }

constexpr TReal LargestLambda = 1e7L;
constexpr TReal NoncentralWeightCutOff = 1e-22L;

}  // namespace

TTails RegularizedBeta(TReal a, TReal b, TReal x) {
  if (!Finite(a) || !Finite(b) || !Finite(x) || a <= 0 || b <= 0 || x < 0 || x > 1) return {};
  TFloatingPointGuard guard;
  const TTails tails = BetaTails(a, b, x, 1 - x);
  if (!guard.Clean()) return {};
  return tails;
}

TTails NoncentralTTails(TReal t, TReal df, TReal delta) {
  if (!Finite(t) || !Finite(df) || !Finite(delta) || df < 1) return {};
  TFloatingPointGuard guard;
  TNoncentralTIntegral integral(t, df, delta);
  const TTails tails = integral.Integrate();
  if (!guard.Clean()) return {};
  return tails;
}

TInterval NoncentralTInterval(TReal t, TReal df, TReal level) {
  if (!Finite(t) || !Finite(df) || df < 1 || !ValidLevel(level)) return {};
  const TReal tail = (1 - level) / 2;
  // Both tails at t move monotonically with delta: the upper one grows from
  // 0 to 1, the lower one falls from 1 to 0. Each limit is bracketed by
  // steps that double from the spread of t about delta, then bisected.
  const TReal spread = std::sqrt(1 + t * t / (2 * df));
  const TReal limit = 1e4L * (1 + std::fabs(t));
  const auto limitWhere = [&](auto beyond) -> TReal {
    TReal low = t;
    TReal high = t;
    for (TReal step = spread; !beyond(high); step *= 2) {
      if (step > limit) return EmptyValue;
      high = t + step;
    }
    for (TReal step = spread; beyond(low); step *= 2) {
      if (step > limit) return EmptyValue;
      low = t - step;
    }
    return Bisect(beyond, low, high, 1e-13L);
  };
  // A failed integral spoils the search it is met in: the interval is then
  // not given at all.
  bool failed = false;
  const auto tailAt = [&](TReal delta, bool upperTail) {
    const TTails tails = NoncentralTTails(t, df, delta);
    if (IsEmpty(tails.Lower)) failed = true;
    return upperTail ? tails.Upper : tails.Lower;
  };
  const auto upperBeyond = [&](TReal delta) { return tailAt(delta, true) > tail; };
  const auto lowerBeyond = [&](TReal delta) { return tailAt(delta, false) <= tail; };
  TInterval interval;
  interval.Lower = limitWhere(upperBeyond);
  interval.Upper = limitWhere(lowerBeyond);
  if (failed || IsEmpty(interval.Lower) || IsEmpty(interval.Upper)) return {};
  return interval;
}

TTails NoncentralFTails(TReal f, TReal df1, TReal df2, TReal lambda) {
  if (!Finite(f) || !Finite(df1) || !Finite(df2) || !Finite(lambda) || f < 0 || df1 <= 0 || df2 <= 0 || lambda < 0 ||
      lambda > LargestLambda)
    return {};
  TFloatingPointGuard guard;
  const TReal denominator = df1 * f + df2;
  const TReal x = df1 * f / denominator;
  const TReal y = df2 / denominator;
  const TReal b = df2 / 2;
  const TReal mu = lambda / 2;
  if (x <= 0) return {0, 1};
  if (mu == 0) {
    const TTails central = BetaTails(df1 / 2, b, x, y);
    return guard.Clean() ? central : TTails{};
  }
  // Start at the largest Poisson weight; the beta tails of the neighbouring
  // terms follow from I(a + 1, b) = I(a, b) - T(a), with
  // T(a) = x^a y^b / (a B(a, b)) carried as a logarithm so that it neither
  // underflows nor overflows on the way.
  const TReal start = std::floor(mu);
  const TReal a0 = df1 / 2 + start;
  const TTails central = BetaTails(a0, b, x, y);
  if (IsEmpty(central.Lower)) return {};
  const TReal logX = std::log(x);
  const TReal logY = std::log(y);
  const TReal logMu = std::log(mu);
  const TReal logWeight0 = -mu + start * logMu - std::lgamma(start + 1);
  const auto logTerm = [&](TReal a) { return a * logX + b * logY - LogBeta(a, b) - std::log(a); };

  TTails sum{0, 0};
  // Upward: j = start, start + 1, ...
  {
    TTails tails = central;
    TReal logWeight = logWeight0;
    TReal a = a0;
    TReal logT = logTerm(a);
    for (TReal j = start;; j += 1) {
      const TReal weight = std::exp(logWeight);
      sum.Lower += weight * tails.Lower;
      sum.Upper += weight * tails.Upper;
      if (j > mu && weight < NoncentralWeightCutOff) break;
      const TReal term = std::exp(logT);
      tails.Lower = std::max(TReal{0}, tails.Lower - term);
      tails.Upper = std::min(TReal{1}, tails.Upper + term);
      logT += logX + std::log(a + b) - std::log(a + 1);
      a += 1;
      logWeight += logMu - std::log(j + 1);
    }
  }
  // Downward: j = start - 1, ..., 0.
  {
    TTails tails = central;
    TReal logWeight = logWeight0;
    TReal a = a0;
    for (TReal j = start - 1; j >= 0; j -= 1) {
      a -= 1;
      const TReal term = std::exp(logTerm(a));
      tails.Lower = std::min(TReal{1}, tails.Lower + term);
      tails.Upper = std::max(TReal{0}, tails.Upper - term);
      logWeight -= logMu - std::log(j + 1);
      const TReal weight = std::exp(logWeight);
      sum.Lower += weight * tails.Lower;
      sum.Upper += weight * tails.Upper;
      if (weight < NoncentralWeightCutOff) break;
    }
  }
  if (!guard.Clean()) return {};
  return {std::min(sum.Lower, TReal{1}), std::min(sum.Upper, TReal{1})};
}

TInterval NoncentralFInterval(TReal f, TReal df1, TReal df2, TReal level) {
  if (!Finite(f) || !Finite(df1) || !Finite(df2) || f < 0 || df1 <= 0 || df2 <= 0 || !ValidLevel(level)) return {};
  const TReal tail = (1 - level) / 2;
  const auto tails = [&](TReal lambda) { return NoncentralFTails(f, df1, df2, lambda); };
  const TTails atZero = tails(0);
  if (IsEmpty(atZero.Lower)) return {};
  // Both tails move monotonically with lambda: the upper tail at f grows from
  // its central value towards 1, the lower tail falls towards 0.
  TInterval interval{0, 0};
  if (atZero.Lower <= tail) return interval;
  TReal high = std::max(TReal{1}, 2 * df1 * f);
  for (;;) {
    const TReal lower = tails(high).Lower;
    if (IsEmpty(lower)) return {};
    if (lower <= tail) break;
    if (high >= LargestLambda) return {};
    high = std::min(LargestLambda, high * 2);
  }
  interval.Upper = Bisect([&](TReal lambda) { return tails(lambda).Lower <= tail; }, 0, high, 1e-11L);
  if (atZero.Upper < tail)
    interval.Lower = Bisect([&](TReal lambda) { return tails(lambda).Upper >= tail; }, 0, interval.Upper, 1e-11L);
  return interval;
}

}  // namespace ombrel
