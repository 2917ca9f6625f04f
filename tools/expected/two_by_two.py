"""Figures of the two-by-two golden reports (tests/data/reports/two-by-two):
Fisher's P and chi-square in exact fractions, tails, intervals and the exact
binomial limits with mpmath."""

from math import comb

from common import Fraction, chi2_upper, f_upper, mpf, real, show, show_p, sqrt, t_quantile
from mpmath import exp, log


def fisher_two_sided(a, b, c, d):
    """Sum of the probabilities of the tables with the same margins that are
    no more likely than the observed one."""
    row1, col1, n = a + b, a + c, a + b + c + d

    def prob(x):
        return Fraction(comb(col1, x) * comb(n - col1, row1 - x), comb(n, row1))

    observed = prob(a)
    low, high = max(0, row1 + col1 - n), min(row1, col1)
    return sum(p for p in (prob(x) for x in range(low, high + 1)) if p <= observed)


def chi_square(a, b, c, d, yates=False):
    n = a + b + c + d
    num = abs(a * d - b * c)
    if yates:
        num = max(Fraction(0), num - Fraction(n, 2))
    return Fraction(n * num * num, (a + b) * (c + d) * (a + c) * (b + d))


def f_for_p(df1, df2, p):
    """The F whose upper tail is p, bisected as the program bisects it: the
    bracket [0, 4] widened tenfold while too narrow, halved to 0.01."""
    lower, upper = mpf(0), mpf(4)
    while f_upper(upper, df1, df2) > p:
        upper *= 10
    f = lower + upper
    q = f_upper(f, df1, df2)
    while upper - lower > mpf("0.01"):
        if q >= p:
            lower = f
        else:
            upper = f
        f = lower + (upper - lower) / 2
        q = f_upper(f, df1, df2)
    return f


def exact_limits(x, n):
    """The 95% limits of x successes in n trials from F quantiles."""
    lower = x / (x + (n - x + 1) * f_for_p(2 * (n - x + 1), 2 * x, mpf("0.025"))) if x > 0 else mpf(0)
    f = f_for_p(2 * (x + 1), 2 * (n - x), mpf("0.025"))
    upper = (x + 1) * f / (n - x + (x + 1) * f) if x < n else mpf(1)
    return lower, upper


# The normal's 97.5% point as the program takes it: t with 5000 df.
z = t_quantile(mpf("0.05"), 5000)

print("Fisher, 10 3 / 4 12, two-sided, odds ratio")
show_p("P", real(fisher_two_sided(10, 3, 4, 12)))
se = sqrt(mpf(1) / 10 + mpf(1) / 3 + mpf(1) / 4 + mpf(1) / 12)
show("odds ratio", Fraction(10 * 12, 3 * 4))
show("Woolf lower", exp(log(10) - z * se))
show("Woolf upper", exp(log(10) + z * se))

print("\nChi-square, 30 20 / 18 32, no Yates, one-sided")
x2 = chi_square(30, 20, 18, 32)
show("chi-square", x2)
show_p("one-sided P", chi2_upper(real(x2), 1) / 2)
p1, p2 = Fraction(30, 50), Fraction(18, 50)
rr = p1 / p2
se = sqrt(mpf(1) / 30 - mpf(1) / 50 + mpf(1) / 18 - mpf(1) / 50)
show("relative risk", rr)
show("Katz lower", exp(log(real(rr)) - z * se))
show("Katz upper", exp(log(real(rr)) + z * se))
for label, x in (("top row", 30), ("bottom row", 18)):
    lower, upper = exact_limits(x, 50)
    show(label + " fraction lower", lower)
    show(label + " fraction upper", upper)
pooled = Fraction(30 + 18, 100)
se = sqrt(real(pooled * (1 - pooled) * (Fraction(1, 50) + Fraction(1, 50))))
show("SE of the difference", se)
show("difference lower", real(p1 - p2) - z * se)
show("difference upper", real(p1 - p2) + z * se)

print("\nChi-square with Yates, 15 10 / 5 10")
x2 = chi_square(15, 10, 5, 10, yates=True)
show("chi-square", x2)
show_p("two-sided P", chi2_upper(real(x2), 1))
