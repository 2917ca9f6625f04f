#include "core/stats/EffectSizes.h"

#include <cmath>

#include "core/stats/FloatingPointGuard.h"
#include "core/stats/Noncentral.h"

namespace ombrel {

namespace {

bool Usable(TReal value) { return std::isfinite(value) && !IsEmpty(value); }

// The value when the computation raised no fault flag, else the marker.
TReal Checked(const TFloatingPointGuard& guard, TReal value) {
  return guard.Clean() && std::isfinite(value) ? value : EmptyValue;
}

// A standardized difference d = t x scale, with the interval of the
// noncentrality of t scaled the same way (the limits' order follows the
// scale's sign, which is positive here).
TEffectSize ScaledNoncentralT(TReal d, TReal scale, TReal df, TReal level) {
  TEffectSize size;
  if (!Usable(d) || !Usable(scale) || scale <= 0) return size;
  size.Value = d;
  const TInterval interval = NoncentralTInterval(d / scale, df, level);
  if (!IsEmpty(interval.Lower)) {
    size.Lower = interval.Lower * scale;
    size.Upper = interval.Upper * scale;
  }
  return size;
}

// The pooled SD of two groups, or the marker.
TReal PooledSd(TReal sdA, std::int32_t nA, TReal sdB, std::int32_t nB) {
  if (nA < 2 || nB < 2 || !Usable(sdA) || !Usable(sdB)) return EmptyValue;
  const TReal variance = ((nA - 1) * sdA * sdA + (nB - 1) * sdB * sdB) / static_cast<TReal>(nA + nB - 2);
  return variance > 0 ? std::sqrt(variance) : EmptyValue;
}

}  // namespace

TEffectSize CohensDOneSample(TReal meanDifference, TReal sd, std::int32_t n, TReal level) {
  if (n < 2 || !Usable(meanDifference) || !Usable(sd) || sd <= 0) return {};
  TFloatingPointGuard guard;
  const TReal d = Checked(guard, meanDifference / sd);
  const TReal scale = 1 / std::sqrt(static_cast<TReal>(n));
  return ScaledNoncentralT(d, scale, static_cast<TReal>(n - 1), level);
}

TEffectSize CohensDPooled(TReal meanDifference, TReal sdA, std::int32_t nA, TReal sdB, std::int32_t nB, TReal level) {
  const TReal pooled = PooledSd(sdA, nA, sdB, nB);
  if (IsEmpty(pooled) || !Usable(meanDifference)) return {};
  TFloatingPointGuard guard;
  const TReal d = Checked(guard, meanDifference / pooled);
  const TReal scale = std::sqrt(1 / static_cast<TReal>(nA) + 1 / static_cast<TReal>(nB));
  return ScaledNoncentralT(d, scale, static_cast<TReal>(nA + nB - 2), level);
}

TReal HedgesCorrection(TReal df) {
  if (!Usable(df) || df < 2) return EmptyValue;
  TFloatingPointGuard guard;
  return Checked(guard, std::exp(std::lgamma(df / 2) - std::lgamma((df - 1) / 2)) / std::sqrt(df / 2));
}

TEffectSize HedgesG(TReal meanDifference, TReal sdA, std::int32_t nA, TReal sdB, std::int32_t nB, TReal level) {
  const TEffectSize d = CohensDPooled(meanDifference, sdA, nA, sdB, nB, level);
  if (IsEmpty(d.Value)) return {};
  const TReal j = HedgesCorrection(static_cast<TReal>(nA + nB - 2));
  TEffectSize g;
  g.Value = j * d.Value;
  if (!IsEmpty(d.Lower)) {
    g.Lower = j * d.Lower;
    g.Upper = j * d.Upper;
  }
  return g;
}

TEffectSize CohensDWelch(TReal meanDifference, TReal sdA, std::int32_t nA, TReal sdB, std::int32_t nB, TReal df,
                         TReal level) {
  if (nA < 2 || nB < 2 || !Usable(meanDifference) || !Usable(sdA) || !Usable(sdB) || !Usable(df)) return {};
  TFloatingPointGuard guard;
  const TReal varianceA = sdA * sdA;
  const TReal varianceB = sdB * sdB;
  const TReal averageSd = std::sqrt((varianceA + varianceB) / 2);
  const TReal standardError = std::sqrt(varianceA / static_cast<TReal>(nA) + varianceB / static_cast<TReal>(nB));
  if (!guard.Clean() || !(averageSd > 0) || !(standardError > 0)) return {};
  const TReal d = Checked(guard, meanDifference / averageSd);
  return ScaledNoncentralT(d, standardError / averageSd, df, level);
}

TEffectSize EtaSquared(TReal f, TReal dfBetween, TReal dfWithin, TReal level) {
  if (!Usable(f) || !Usable(dfBetween) || !Usable(dfWithin) || f < 0 || dfBetween <= 0 || dfWithin <= 0) return {};
  TEffectSize size;
  {
    TFloatingPointGuard guard;
    size.Value = Checked(guard, dfBetween * f / (dfBetween * f + dfWithin));
  }
  if (IsEmpty(size.Value)) return {};
  const TInterval lambda = NoncentralFInterval(f, dfBetween, dfWithin, level);
  if (!IsEmpty(lambda.Lower)) {
    const TReal n = dfBetween + dfWithin + 1;
    size.Lower = lambda.Lower / (lambda.Lower + n);
    size.Upper = lambda.Upper / (lambda.Upper + n);
  }
  return size;
}

TReal OmegaSquared(TReal f, TReal dfBetween, TReal dfWithin) {
  if (!Usable(f) || !Usable(dfBetween) || !Usable(dfWithin) || f < 0 || dfBetween <= 0 || dfWithin <= 0)
    return EmptyValue;
  TFloatingPointGuard guard;
  const TReal effect = dfBetween * (f - 1);
  return Checked(guard, effect / (effect + dfBetween + dfWithin + 1));
}

TReal PartialEtaSquared(TReal ssEffect, TReal ssError) {
  if (!Usable(ssEffect) || !Usable(ssError) || ssEffect < 0 || ssError < 0 || ssEffect + ssError <= 0)
    return EmptyValue;
  TFloatingPointGuard guard;
  return Checked(guard, ssEffect / (ssEffect + ssError));
}

TReal EpsilonSquared(TReal h, std::int32_t n) {
  if (!Usable(h) || h < 0 || n < 2) return EmptyValue;
  const TReal count = static_cast<TReal>(n);
  TFloatingPointGuard guard;
  return Checked(guard, h / ((count * count - 1) / (count + 1)));
}

TReal KendallsW(TReal friedmanChiSquare, std::int32_t rows, std::int32_t treatments) {
  if (!Usable(friedmanChiSquare) || friedmanChiSquare < 0 || rows < 1 || treatments < 2) return EmptyValue;
  TFloatingPointGuard guard;
  return Checked(guard, friedmanChiSquare / (static_cast<TReal>(rows) * static_cast<TReal>(treatments - 1)));
}

TReal RankBiserialMannWhitney(TReal rankSumA, std::int32_t nA, TReal rankSumB, std::int32_t nB) {
  if (!Usable(rankSumA) || !Usable(rankSumB) || nA < 1 || nB < 1) return EmptyValue;
  TFloatingPointGuard guard;
  const TReal meanRankA = rankSumA / static_cast<TReal>(nA);
  const TReal meanRankB = rankSumB / static_cast<TReal>(nB);
  return Checked(guard, 2 * (meanRankB - meanRankA) / static_cast<TReal>(nA + nB));
}

TReal RankBiserialSignedRank(TReal tPlus, TReal tMinus) {
  if (!Usable(tPlus) || !Usable(tMinus) || tPlus < 0) return EmptyValue;
  const TReal negative = std::fabs(tMinus);
  if (tPlus + negative <= 0) return EmptyValue;
  TFloatingPointGuard guard;
  return Checked(guard, (tPlus - negative) / (tPlus + negative));
}

TReal PhiCoefficient(TReal a, TReal b, TReal c, TReal d) {
  if (!Usable(a) || !Usable(b) || !Usable(c) || !Usable(d) || a < 0 || b < 0 || c < 0 || d < 0) return EmptyValue;
  const TReal margins = (a + b) * (c + d) * (a + c) * (b + d);
  if (!(margins > 0)) return EmptyValue;
  TFloatingPointGuard guard;
  return Checked(guard, (a * d - b * c) / std::sqrt(margins));
}

TReal CramersV(TReal chiSquare, TReal total, std::int32_t rows, std::int32_t columns) {
  const std::int32_t smaller = rows < columns ? rows : columns;
  if (!Usable(chiSquare) || !Usable(total) || chiSquare < 0 || total <= 0 || smaller < 2) return EmptyValue;
  TFloatingPointGuard guard;
  return Checked(guard, std::sqrt(chiSquare / (total * static_cast<TReal>(smaller - 1))));
}

TReal CohensFSquared(TReal rSquared) {
  if (!Usable(rSquared) || rSquared < 0 || rSquared >= 1) return EmptyValue;
  TFloatingPointGuard guard;
  return Checked(guard, rSquared / (1 - rSquared));
}

}  // namespace ombrel
