"""Shared arithmetic for the scripts that recompute the figures of the
golden reports in tests/data/reports: tails of t, F, chi-square and the
normal distribution with mpmath, and the report's digit rule.

Run any script of this folder with python3 (mpmath 1.3 needed:
apt-get install python3-mpmath); each prints the figures it recomputes,
raw and as the report prints them."""

from decimal import ROUND_HALF_UP, Decimal
from fractions import Fraction

from mpmath import mp, mpf, betainc, erfc, findroot, gammainc, inf, sqrt

mp.dps = 40


def t_two_tailed(t, df):
    """P(|T| >= |t|) for Student's t with df degrees of freedom."""
    t = mpf(t)
    return betainc(mpf(df) / 2, mpf(1) / 2, 0, df / (df + t * t), regularized=True)


def f_upper(f, df1, df2):
    """P(F >= f) for Fisher's F with df1 and df2 degrees of freedom."""
    f = mpf(f)
    return betainc(mpf(df2) / 2, mpf(df1) / 2, 0, df2 / (df2 + df1 * f), regularized=True)


def chi2_upper(x, df):
    """P(X >= x) for chi-square with df degrees of freedom."""
    return gammainc(mpf(df) / 2, mpf(x) / 2, inf, regularized=True)


def normal_two_tailed(z):
    """Two-tailed P of a z, taken as Student's t with 5000 degrees of freedom
    as the program does."""
    return t_two_tailed(z, 5000)


def t_quantile(p_two, df):
    """The t whose two-tailed P is p_two."""
    return findroot(lambda t: t_two_tailed(t, df) - p_two, mpf(2))


def t_table(df):
    """The two-sided 5% point of t as the program's table holds it: three
    decimals."""
    return round(float(t_quantile(mpf("0.05"), df)), 3)


def real(value):
    """An exact Fraction (or any number) as an mpmath real."""
    if isinstance(value, Fraction):
        return mpf(value.numerator) / value.denominator
    return mpf(value)


def mean(values):
    return Fraction(sum(Fraction(v) for v in values), len(values))


def sum_of_squares(values):
    m = mean(values)
    return sum((Fraction(v) - m) ** 2 for v in values)


def sd(values):
    return sqrt(real(sum_of_squares(values) / (len(values) - 1)))


def dec(text):
    """A decimal typed as text, exactly."""
    return Fraction(text)


def shown(value):
    """A number as the report writes it with digits -5: four significant
    digits below 1, three decimals below 100, two below 1000, then fewer."""
    v = float(value)
    a = abs(v)
    if a == 0:
        return "0.000"
    if a < 1:
        from math import floor, log10
        decimals = 3 - floor(log10(a))
    elif a < 100:
        decimals = 3
    elif a < 1000:
        decimals = 2
    elif a < 10000:
        decimals = 1
    else:
        decimals = 0
    return rounded(value, decimals)


def rounded(value, decimals):
    """The value with its decimals rounded half away from zero, as the
    report's number text rounds."""
    text = mp.nstr(real(value), 30, strip_zeros=False, min_fixed=-inf, max_fixed=inf)
    return str(Decimal(text).quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_UP))


def p_shown(p):
    """A P value as the P sentence writes it."""
    if real(p) < mpf("0.0001"):
        return "< 0.0001"
    return rounded(p, 4)


def show(label, value):
    print(f"{label:<48} {shown(value):>12}   ({mp.nstr(real(value), 12)})")


def show_p(label, p):
    print(f"{label:<48} {p_shown(p):>12}   ({mp.nstr(real(p), 12)})")
