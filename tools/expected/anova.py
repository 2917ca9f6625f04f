"""Figures of the analysis-of-variance golden reports
(tests/data/reports/anova): sums of squares in exact fractions, F, t and
chi-square tails with mpmath."""

from math import comb

from common import (Fraction, chi2_upper, dec, f_upper, mean, mpf, real, rounded, show, show_p, shown, sqrt,
                    sum_of_squares, t_quantile)
from mpmath import log

groups = [[4, 6, 5, 7, 3], [8, 9, 7, 10, 6, 11], [12, 10, 14, 11, 13]]


def one_way(groups):
    values = [v for g in groups for v in g]
    grand = mean(values)
    between = sum(len(g) * (mean(g) - grand) ** 2 for g in groups)
    within = sum(sum_of_squares(g) for g in groups)
    df1, df2 = len(groups) - 1, len(values) - len(groups)
    f = real(between / df1) / real(within / df2)
    return between, within, df1, df2, f


print("One-way ANOVA of three groups")
between, within, df1, df2, f = one_way(groups)
show("SS between columns", between)
show("SS within columns", within)
show("F", f)
show_p("P", f_upper(f, df1, df2))
mse = real(within / df2)

# Bartlett's test with its correction factor.
k = len(groups)
n = [len(g) for g in groups]
variances = [real(sum_of_squares(g) / (len(g) - 1)) for g in groups]
pooled = sum((ni - 1) * v for ni, v in zip(n, variances)) / (sum(n) - k)
stat = (sum(n) - k) * log(pooled) - sum((ni - 1) * log(v) for ni, v in zip(n, variances))
correction = 1 + (sum(mpf(1) / (ni - 1) for ni in n) - mpf(1) / (sum(n) - k)) / (3 * (k - 1))
show("Bartlett statistic (corrected)", stat / correction)
show_p("Bartlett P", chi2_upper(stat / correction, k - 1))

# Tukey-Kramer interval of A - B with the stored q of 3.734 (3 groups,
# 13 df), and Bonferroni's t for three comparisons.
diff = real(mean(groups[0]) - mean(groups[1]))
half = mpf("3.734") / sqrt(2) * sqrt(mse * (mpf(1) / 5 + mpf(1) / 6))
show("Tukey-Kramer A - B lower", diff - half)
show("Tukey-Kramer A - B upper", diff + half)
t_bonferroni = t_quantile(mpf("0.05") / comb(3, 2), df2)
show("Bonferroni critical t", t_bonferroni)
half = t_bonferroni * sqrt(mse * (mpf(1) / 5 + mpf(1) / 6))
show("Bonferroni A - B lower", diff - half)
show("Bonferroni A - B upper", diff + half)

print("\nRepeated measures ANOVA")
rows = list(zip([4, 6, 5, 7, 3], [8, 9, 7, 10, 6], [12, 10, 14, 11, 13]))
values = [v for r in rows for v in r]
grand = mean(values)
columns = list(zip(*rows))
ss_treatment = sum(len(c) * (mean(c) - grand) ** 2 for c in columns)
ss_rows = sum(len(r) * (mean(r) - grand) ** 2 for r in rows)
ss_total = sum_of_squares(values)
ss_residual = ss_total - ss_treatment - ss_rows
df_t, df_r = len(columns) - 1, len(rows) - 1
df_e = df_t * df_r
show("SS treatment", ss_treatment)
show("SS individual", ss_rows)
show("SS residual", ss_residual)
f = real(ss_treatment / df_t) / real(ss_residual / df_e)
show("F", f)
show_p("P", f_upper(f, df_t, df_e))
f = real(ss_rows / df_r) / real(ss_residual / df_e)
show("F of the matching", f)
show_p("P of the matching", f_upper(f, df_r, df_e))



def from_summaries(label, summaries):
    """One-way ANOVA and Bartlett's test from typed (N, mean, variance)
    summaries, exactly: SS within = sum (N - 1) variance, SS between =
    sum N (mean - grand mean)^2."""
    print(f"\n{label}")
    total = sum(n for n, _, _ in summaries)
    k = len(summaries)
    grand = sum(n * m for n, m, _ in summaries) / total
    between = sum(n * (m - grand) ** 2 for n, m, _ in summaries)
    within = sum((n - 1) * v for n, _, v in summaries)
    df1, df2 = k - 1, total - k
    show("SS between columns", between)
    show("SS within columns", within)
    f = real(between / df1) / real(within / df2)
    show("F", f)
    show_p("P", f_upper(f, df1, df2))
    stat = df2 * log(real(within / df2)) - sum((n - 1) * log(real(v)) for n, _, v in summaries)
    correction = 1 + (sum(mpf(1) / (n - 1) for n, _, _ in summaries) - mpf(1) / df2) / (3 * (k - 1))
    show("Bartlett statistic (corrected)", stat / correction)
    show_p("Bartlett P", chi2_upper(stat / correction, k - 1))
    return real(within / df2), df2


def pair_intervals(label, summaries, critical, mse, control=None):
    """Each pair's statistic |difference| / SE and interval difference -/+
    critical x SE, SE = sqrt(MS (1/N(i) + 1/N(j))); all pairs, or the control
    against every other group."""
    pairs = [(i, j) for i in range(len(summaries)) for j in range(i + 1, len(summaries))]
    if control is not None:
        pairs = [(control, j) for j in range(len(summaries)) if j != control]
    for i, j in pairs:
        (ni, mi, _), (nj, mj, _) = summaries[i], summaries[j]
        se = sqrt(mse * (mpf(1) / ni + mpf(1) / nj))
        diff = real(mi - mj)
        print(f"{label} {i} - {j}: statistic {shown(abs(diff) / se)}, "
              f"interval {shown(diff - critical * se)} to {shown(diff + critical * se)}")


typed_sd = [(6, dec("10"), dec("2") ** 2), (6, dec("12"), dec("2.5") ** 2), (5, dec("15"), dec("3") ** 2)]
mse, df2 = from_summaries("Typed mean, SD and N (Bonferroni)", typed_sd)
t_bonferroni = t_quantile(mpf("0.05") / 3, df2)
show("Bonferroni critical t", t_bonferroni)
pair_intervals("Bonferroni", typed_sd, t_bonferroni, mse)

# Typed SEMs: the variance is N SEM^2. Dunnett's two-sided 5% point for
# 3 groups and 20 df is the published 2.38.
typed_sem = [(n, m, n * sem**2) for n, m, sem in [(8, dec("20"), dec("1.2")), (8, dec("23.5"), dec("1")),
                                                   (7, dec("26"), dec("1.5"))]]
mse, df2 = from_summaries("Typed mean, SEM and N (Dunnett)", typed_sem)
pair_intervals("Dunnett", typed_sem, mpf("2.38"), mse, control=0)

print("\nRepeated measures with a linear trend")
columns = [[3, 5, 4, 6, 2], [4, 7, 5, 7, 4], [6, 8, 6, 9, 5], [7, 9, 8, 10, 6]]
rows = list(zip(*columns))
values = [v for c in columns for v in c]
grand = mean(values)
ss_treatment = sum(len(c) * (mean(c) - grand) ** 2 for c in columns)
ss_rows = sum(len(r) * (mean(r) - grand) ** 2 for r in rows)
ss_total = sum_of_squares(values)
ss_residual = ss_total - ss_treatment - ss_rows
df_residual = (len(columns) - 1) * (len(rows) - 1)
ms_residual = ss_residual / df_residual
weights = [Fraction(2 * t - len(columns) - 1, 2) for t in range(1, len(columns) + 1)]
contrast = sum(w * mean(c) for w, c in zip(weights, columns))
ss_linear = contrast**2 / sum(w * w / len(c) for w, c in zip(weights, columns))
show("SS treatment", ss_treatment)
show("SS residual", ss_residual)
show("F", real(ss_treatment / 3 / ms_residual))
show("F of the matching", real(ss_rows / 4 / ms_residual))
show("Slope", contrast / sum(w * w for w in weights))
print(f"{'r squared':<48} {rounded(real(ss_linear / ss_total), 4):>12}")
show("SS linear", ss_linear)
show("SS not linear", ss_treatment - ss_linear)
show("MS not linear", (ss_treatment - ss_linear) / 2)
f_linear = real(ss_linear / ms_residual)
f_rest = real((ss_treatment - ss_linear) / 2 / ms_residual)
print(f"{'F (linear trend)':<48} {rounded(f_linear, 4):>12}")
show_p("P linear", f_upper(f_linear, 1, df_residual))
print(f"{'F (nonlinear trend)':<48} {rounded(f_rest, 4):>12}")
show_p("P not linear", f_upper(f_rest, 2, df_residual))
