"""Figures of the analysis-of-variance golden reports
(tests/data/reports/anova): sums of squares in exact fractions, F, t and
chi-square tails with mpmath."""

from math import comb

from common import Fraction, f_upper, chi2_upper, mean, mpf, real, show, show_p, sqrt, sum_of_squares, t_quantile
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
