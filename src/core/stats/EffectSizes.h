#pragma once

#include <cstdint>

#include "core/base/EmptyValue.h"

// Effect sizes of the tests Ombrel runs, from the figures their results hold,
// with confidence intervals where one is defined. Every function gives empty
// fields for figures it cannot use (N too small, an SD of zero, a search
// that does not converge); none throws or leaves a floating-point exception
// flag raised.

namespace ombrel {

// An effect size and its confidence interval; the limits are empty where no
// interval is defined, every field is empty when the size is not.
struct TEffectSize {
  TReal Value = EmptyValue;
  TReal Lower = EmptyValue;
  TReal Upper = EmptyValue;
};

// Cohen's d of one mean against a hypothetical value, or of paired
// differences (d_z): difference / SD, n >= 2, SD > 0. Interval from the
// noncentral t with n - 1 df divided by sqrt(n) (Cumming & Finch, 2001).
// Matches SciPy-based values to 1e-9.
TEffectSize CohensDOneSample(TReal meanDifference, TReal sd, std::int32_t n, TReal level = 0.95L);

// Cohen's d of two groups with the pooled SD, nA, nB >= 2 (Cohen, 1988).
// Interval from the noncentral t with nA + nB - 2 df times
// sqrt(1/nA + 1/nB) (Steiger & Fouladi, 1997). Matches to 1e-9.
TEffectSize CohensDPooled(TReal meanDifference, TReal sdA, std::int32_t nA, TReal sdB, std::int32_t nB,
                          TReal level = 0.95L);

// Hedges' g: the pooled d and its limits times the exact correction J of
// HedgesCorrection with nA + nB - 2 df (Hedges, 1981). Matches to 1e-9.
TEffectSize HedgesG(TReal meanDifference, TReal sdA, std::int32_t nA, TReal sdB, std::int32_t nB, TReal level = 0.95L);

// Hedges' (1981) small-sample factor J = Gamma(df/2) / (sqrt(df/2)
// Gamma((df - 1)/2)), by log-gamma; df >= 2. Matches mpmath to 1e-15.
TReal HedgesCorrection(TReal df);

// Cohen's d of two groups with unequal variances: difference over the root
// of the mean of the two variances (Bonett, 2008). Interval: the noncentral
// t with the given (Welch) df for Welch's t, scaled by
// sqrt(vA/nA + vB/nB) / sqrt((vA + vB)/2). Matches to 1e-9.
TEffectSize CohensDWelch(TReal meanDifference, TReal sdA, std::int32_t nA, TReal sdB, std::int32_t nB, TReal df,
                         TReal level = 0.95L);

// Eta squared of a one-way ANOVA, dfBetween F / (dfBetween F + dfWithin),
// with the interval lambda / (lambda + N), N = dfBetween + dfWithin + 1, from
// the noncentral F interval of lambda (Steiger, 2004). Matches to 1e-9.
TEffectSize EtaSquared(TReal f, TReal dfBetween, TReal dfWithin, TReal level = 0.95L);

// Omega squared of a one-way ANOVA (Hays, 1963), from F:
// dfBetween (F - 1) / (dfBetween (F - 1) + N), N = dfBetween + dfWithin + 1;
// negative when F < 1, as the estimate is. Exact arithmetic.
TReal OmegaSquared(TReal f, TReal dfBetween, TReal dfWithin);

// Partial eta squared, SS effect / (SS effect + SS error) (Cohen, 1973).
TReal PartialEtaSquared(TReal ssEffect, TReal ssError);

// Epsilon squared of the Kruskal-Wallis test, H / ((n^2 - 1)/(n + 1)) with n
// values in all (Kelley, 1935; Tomczak & Tomczak, 2014); n >= 2.
TReal EpsilonSquared(TReal h, std::int32_t n);

// Kendall's W from Friedman's chi-square of n rows (blocks) and k
// treatments: chi-square / (n (k - 1)) (Kendall & Babington Smith, 1939).
TReal KendallsW(TReal friedmanChiSquare, std::int32_t rows, std::int32_t treatments);

// Rank-biserial r of the Mann-Whitney test from the rank sums: twice the
// difference of the mean ranks, B minus A, over nA + nB (Glass, 1965); equal
// to (U_B - U_A) / (nA nB) (Wendt, 1972). Positive when B ranks higher.
TReal RankBiserialMannWhitney(TReal rankSumA, std::int32_t nA, TReal rankSumB, std::int32_t nB);

// Rank-biserial r of the signed-rank test (matched-pairs form):
// (T+ - T-) / (T+ + T-) over the ranks of the non-zero differences (Kerby,
// 2014). T- may be given as a positive or a negative sum.
TReal RankBiserialSignedRank(TReal tPlus, TReal tMinus);

// Phi of a two-by-two table with cells a b / c d (rows, then columns),
// (ad - bc) / sqrt((a + b)(c + d)(a + c)(b + d)), signed (Yule, 1912).
TReal PhiCoefficient(TReal a, TReal b, TReal c, TReal d);

// Cramer's V, sqrt(chi-square / (N (min(rows, columns) - 1))) (Cramer, 1946).
TReal CramersV(TReal chiSquare, TReal total, std::int32_t rows, std::int32_t columns);

// Cohen's f squared of a multiple regression, R^2 / (1 - R^2) (Cohen, 1988).
TReal CohensFSquared(TReal rSquared);

}  // namespace ombrel
