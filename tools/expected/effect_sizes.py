#!/usr/bin/python3
"""Expected values of the effect-size numerics (tests/core/stats/
EffectSizesTest.cpp, NoncentralTest.cpp, AssumptionTestsTest.cpp), computed
independently with Debian's SciPy (python3-scipy) and mpmath.

Run with Debian's python3: /usr/bin/python3 tools/expected/effect_sizes.py"""

from math import exp, sqrt

import numpy as np
from mpmath import mp, mpf, betainc, exp as mexp, findroot, gamma, log as mlog, loggamma, nsum, inf, quad, erfc as merfc, sqrt as msqrt
from scipy import optimize, stats

mp.dps = 30


def row(*values):
    print("{" + ", ".join(v if isinstance(v, str) else repr(float(v)) for v in values) + "},")


print("Lilliefors: the issue's control group")
control = np.array([12.5, 14.1, -3.2, 10, 11.7, 13.3, 9.8, 12.0])
ks = stats.kstest(control, "norm", args=(control.mean(), control.std(ddof=1))).statistic
n = len(control)
p = exp(-7.01256 * ks * ks * (n + 2.78019) + 2.99587 * ks * sqrt(n + 2.78019) - 0.122119 + 0.974598 / sqrt(n) + 1.67997 / n)
print(f"KS {ks:.6f}  Dallal-Wilkinson P {p:.6f}")

print("\nF test of equal variances, two-sided (scipy.stats.f)")
for f, d1, d2 in [(13.101, 7, 7), (2.5, 9, 9), (0.25, 5, 9), (1.0, 4, 4), (40.0, 3, 20)]:
    row(f, d1, d2, min(1.0, 2 * min(stats.f.sf(f, d1, d2), stats.f.cdf(f, d1, d2))))

print("\nNoncentral t: {t, df, delta, lower, upper} (scipy.stats.nct)")
nct_rows = [(2, 10, 1), (3.26, 14, 0), (-1, 1, 2), (1.5, 1, 0), (10, 2, 1), (5, 100, 4), (-40, 3, -45),
            (0.5, 30, -0.5), (60, 10000, 50), (-55, 10000, -50), (48, 5, 50), (2.2, 4000, 2.0)]
for t, df, d in nct_rows:
    row(t, df, d, stats.nct.cdf(t, df, d), stats.nct.sf(t, df, d))


def nct_lower_mp(t, df, d):
    """P(T <= t) as E[Phi(t sqrt(V/df) - d)], V chi-square: mpmath's own quadrature."""
    t, df, d = mpf(t), mpf(df), mpf(d)
    half = df / 2
    def density(s):
        return 2 * mexp(half * mlog(half) - loggamma(half) + (df - 1) * mlog(s) - df * s * s / 2)
    return quad(lambda s: merfc(-(t * s - d) / msqrt(2)) / 2 * density(s), [0, 1, 2, inf])


print("check with mpmath at (2, 10, 1):", mp.nstr(nct_lower_mp(2, 10, 1), 20))


def nct_interval(t, df, level=0.95):
    tail = (1 - level) / 2
    lo = optimize.brentq(lambda d: stats.nct.sf(t, df, d) - tail, t - 60, t + 60, xtol=1e-14)
    hi = optimize.brentq(lambda d: stats.nct.cdf(t, df, d) - tail, t - 60, t + 60, xtol=1e-14)
    return lo, hi


print("\nNoncentral t intervals: {t, df, lower, upper}")
for t, df in [(3.26, 14), (0.0, 9), (-2.5, 20), (1.2, 1), (12.0, 40), (0.8, 3000)]:
    row(t, df, *nct_interval(t, df))

print("\nCohen's d: {difference, sd, n, d, lower, upper} one sample / d_z")
for diff, sd, n in [(1.2, 2.0, 10), (-0.35, 1.1, 25), (5.0, 1.0, 3)]:
    t = diff / (sd / sqrt(n))
    lo, hi = nct_interval(t, n - 1)
    row(diff, sd, n, diff / sd, lo / sqrt(n), hi / sqrt(n))

print("\nTwo groups: {difference, sdA, nA, sdB, nB, d, lower, upper, g, gLower, gUpper}")
for diff, sa, na, sb, nb in [(1.5, 1.2, 8, 1.0, 8), (-0.8, 2.0, 12, 3.0, 20), (0.2, 1.0, 2, 1.0, 2)]:
    df = na + nb - 2
    sp = sqrt(((na - 1) * sa * sa + (nb - 1) * sb * sb) / df)
    scale = sqrt(1 / na + 1 / nb)
    lo, hi = nct_interval(diff / sp / scale, df)
    j = float(gamma(mpf(df) / 2) / (msqrt(mpf(df) / 2) * gamma(mpf(df - 1) / 2)))
    row(diff, sa, na, sb, nb, diff / sp, lo * scale, hi * scale, j * diff / sp, j * lo * scale, j * hi * scale)

print("\nHedges' J: {df, J} (mpmath)")
for df in [2, 3, 10, 38, 1000]:
    row(df, gamma(mpf(df) / 2) / (msqrt(mpf(df) / 2) * gamma(mpf(df - 1) / 2)))

print("\nWelch d: {difference, sdA, nA, sdB, nB, df, d, lower, upper}")
for diff, sa, na, sb, nb in [(1.5, 1.2, 8, 3.0, 15), (-2.0, 0.5, 6, 2.5, 6)]:
    va, vb = sa * sa / na, sb * sb / nb
    df = int((va + vb) ** 2 / (va * va / (na - 1) + vb * vb / (nb - 1)))
    se = sqrt(va + vb)
    av = sqrt((sa * sa + sb * sb) / 2)
    lo, hi = nct_interval(diff / se, df)
    row(diff, sa, na, sb, nb, df, diff / av, lo * se / av, hi * se / av)


def ncf_tails(f, d1, d2, lam):
    """Both tails of the noncentral F by its Poisson mixture, in mpmath,
    summed over every weight above 1e-40."""
    f, d1, d2, mu = mpf(f), mpf(d1), mpf(d2), mpf(lam) / 2
    x = d1 * f / (d1 * f + d2)
    if mu == 0:
        return betainc(d1 / 2, d2 / 2, 0, x, regularized=True), betainc(d1 / 2, d2 / 2, x, 1, regularized=True)
    spread = int(20 * msqrt(mu) + 60)
    lower = upper = mpf(0)
    for j in range(max(0, int(mu) - spread), int(mu) + spread):
        w = mexp(-mu + j * mlog(mu) - loggamma(j + 1))
        lower += w * betainc(d1 / 2 + j, d2 / 2, 0, x, regularized=True)
        upper += w * betainc(d1 / 2 + j, d2 / 2, x, 1, regularized=True)
    return lower, upper


print("\nNoncentral F: {f, df1, df2, lambda, lower, upper} (mpmath; scipy.stats.ncf beside)")
for f, d1, d2, lam in [(3.5, 2, 27, 5), (3.5, 2, 27, 0), (1.0, 1, 10, 0.5), (20.0, 4, 60, 40), (0.2, 3, 12, 8), (8.0, 2, 1000, 300)]:
    lo, up = ncf_tails(f, d1, d2, lam)
    row(f, d1, d2, lam, lo, up)
    print("   scipy", stats.ncf.cdf(f, d1, d2, lam) if lam > 0 else stats.f.cdf(f, d1, d2))


def eta_interval(f, d1, d2, level=0.95):
    tail = (1 - level) / 2
    n = d1 + d2 + 1
    lower0, upper0 = ncf_tails(f, d1, d2, 0)
    if lower0 <= tail:
        return 0, 0
    top = 4 * d1 * f + 50
    hi = optimize.brentq(lambda lam: float(ncf_tails(f, d1, d2, lam)[0]) - tail, 0, top, xtol=1e-13)
    lo = 0 if upper0 >= tail else optimize.brentq(lambda lam: float(ncf_tails(f, d1, d2, lam)[1]) - tail, 0, hi, xtol=1e-13)
    return lo / (lo + n), hi / (hi + n)


print("\nEta squared: {F, df1, df2, eta2, lower, upper, omega2}")
for f, d1, d2 in [(5.43, 2, 27), (1.2, 3, 40), (0.5, 2, 12), (25.0, 4, 95)]:
    lo, hi = eta_interval(f, d1, d2)
    n = d1 + d2 + 1
    row(f, d1, d2, d1 * f / (d1 * f + d2), lo, hi, d1 * (f - 1) / (d1 * (f - 1) + n))

print("\nRank statistics of small samples (scipy.stats)")
a = [1.1, 2.3, 2.3, 4.0, 5.2, 6.1]
b = [3.0, 4.4, 5.5, 6.6, 7.0, 8.2, 9.9]
ranks = stats.rankdata(a + b)
u_b = stats.mannwhitneyu(b, a).statistic
print("Mann-Whitney rank sums A, B:", ranks[:len(a)].sum(), ranks[len(a):].sum(),
      " r = 2 U_B/(nA nB) - 1 =", 2 * u_b / (len(a) * len(b)) - 1)
diffs = np.array([1.5, -0.5, 2.0, 3.1, 0.0, -1.2, 2.2, 4.0])
nz = diffs[diffs != 0]
r = stats.rankdata(abs(nz))
tp, tm = r[nz > 0].sum(), r[nz < 0].sum()
print("Signed ranks T+, T-:", tp, tm, " r =", (tp - tm) / (tp + tm))
groups = [[2.1, 3.4, 1.9, 2.8], [4.5, 3.9, 5.1, 4.2, 4.8], [3.0, 2.7, 3.6]]
h = stats.kruskal(*groups).statistic
n = sum(len(g) for g in groups)
print("Kruskal-Wallis H, n:", h, n, " epsilon squared =", h / ((n * n - 1) / (n + 1)))
blocks = np.array([[1.0, 2.5, 3.1], [2.2, 2.9, 4.0], [1.8, 1.7, 3.3], [2.6, 3.5, 3.4], [2.0, 3.1, 3.9]])
chi = stats.friedmanchisquare(*blocks.T).statistic
print("Friedman chi-square:", chi, " W =", chi / (blocks.shape[0] * (blocks.shape[1] - 1)))
table = np.array([[12, 5], [3, 10]])
phi = (12 * 10 - 5 * 3) / sqrt(17 * 13 * 15 * 15)
print("Phi of 12 5 / 3 10:", phi, " Cramer's V (scipy):", stats.contingency.association(table, method="cramer"))
big = np.array([[10, 20, 30], [25, 15, 5]])
chi2 = stats.chi2_contingency(big, correction=False)[0]
print("Larger table chi-square, N:", chi2, big.sum(), " V =", stats.contingency.association(big, method="cramer"))

print("\nAnalyses of variance of the golden reports (reports/anova/*-with-effect-sizes)")
one_way_sets = [[[4, 6, 5, 7, 3], [8, 9, 7, 10, 6, 11], [12, 10, 14, 11, 13]],
                # F below 1: the interval starts at 0 and omega squared is negative.
                [[8, 12, 10, 9, 11], [8.5, 12.5, 10.5, 9.5, 11.5], [9, 13, 11, 10, 12], [9.5, 13.5, 11.5, 10.5, 12.5]]]
for groups in one_way_sets:
    f, p = stats.f_oneway(*groups)
    d1, d2 = len(groups) - 1, sum(len(g) for g in groups) - len(groups)
    lo, hi = eta_interval(f, d1, d2)
    print(f"one-way: F({d1}, {d2}) = {f:.6f}, p = {p:.6g}, eta squared = {d1 * f / (d1 * f + d2):.10f}, "
          f"95% CI [{lo:.10f}, {hi:.10f}], omega squared = {d1 * (f - 1) / (d1 * (f - 1) + d1 + d2 + 1):.10f}")
block = np.array([[4, 8, 12], [6, 9, 10], [5, 7, 14], [7, 10, 11], [3, 6, 13]], dtype=float)
grand = block.mean()
ss_columns = block.shape[0] * ((block.mean(axis=0) - grand) ** 2).sum()
ss_rows = block.shape[1] * ((block.mean(axis=1) - grand) ** 2).sum()
ss_residual = ((block - grand) ** 2).sum() - ss_columns - ss_rows
d1, d2 = block.shape[1] - 1, (block.shape[0] - 1) * (block.shape[1] - 1)
f = (ss_columns / d1) / (ss_residual / d2)
print(f"repeated measures: F({d1}, {d2}) = {f:.6f}, p = {stats.f.sf(f, d1, d2):.6g}, "
      f"partial eta squared = {ss_columns / (ss_columns + ss_residual):.10f}")

print("\nEffect sections of the rank tests (tests/data/reports/nonparametric and rank-anova/effect-section-*), from the raw data")


def signed_rank(differences):
    """T+, T- (as a positive sum) and the matched-pairs rank-biserial r of the non-zero differences."""
    d = np.array([x for x in differences if x != 0])
    r = stats.rankdata(abs(d))
    tp, tm = r[d > 0].sum(), r[d < 0].sum()
    return tp, tm, (tp - tm) / (tp + tm)


score = [5, 7, 3, 5, 8, 2, 6, 9]
tp, tm, r = signed_rank([x - 5 for x in score])
print("signed rank, Score against 5: T+", tp, "T-", tm, "T", min(tp, tm), "r", r,
      " one-tailed P", stats.wilcoxon([x - 5 for x in score if x != 5], alternative="greater", method="exact").pvalue)
before = [12.1, 14.3, 9.8, 11.0, 15.2, 13.7, 10.4, 12.9]
after = [11.0, 12.1, 9.5, 11.0, 12.8, 13.9, 10.9, 11.3]
pairs = [round(x - y, 10) for x, y in zip(before, after)]
tp, tm, r = signed_rank(pairs)
print("matched pairs, Before - After: T+", tp, "T-", tm, "T", min(tp, tm), "r", r,
      " two-tailed P", stats.wilcoxon([x for x in pairs if x != 0], method="exact").pvalue)
old, new = [1.5, 2.5, 3, 4, 6.5], [3, 5, 6, 7, 8, 9]
ranks = stats.rankdata(old + new)
u_old = stats.mannwhitneyu(old, new).statistic
print("Mann-Whitney, Old and New: rank sums", ranks[:5].sum(), ranks[5:].sum(), "U", min(u_old, 30 - u_old),
      " r = 1 - 2 U_Old/(nA nB) =", 1 - 2 * u_old / 30)
groups = [[2.1, 3.4, 1.9], [5.6, 4.8, 6.2], [3.9, 7.1, 8.0]]
h = stats.kruskal(*groups).statistic
print("Kruskal-Wallis: H", h, " epsilon squared =", h / ((9 * 9 - 1) / (9 + 1)))
rows = np.array([[10.1, 12.3, 11.4], [9.8, 11.0, 10.2], [11.2, 11.9, 13.0], [10.4, 12.8, 11.7]])
chi = stats.friedmanchisquare(*rows.T).statistic
print("Friedman: chi-square", chi, " Kendall's W =", chi / (4 * (3 - 1)))
