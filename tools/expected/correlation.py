"""Figures of the correlation golden reports (tests/data/reports/correlation):
Pearson's and Spearman's r in exact fractions, their P values from t,
Pearson's interval by Fisher's z, and the exact Spearman P of few pairs by
counting every permutation."""

from itertools import permutations

from common import Fraction, dec, mpf, real, show, show_p, sqrt, t_two_tailed
from mpmath import atanh, tanh


# Where the program's bisection for a one-tailed 0.025 of t with 5000 degrees
# of freedom stops.
Z = mpf("1.96044921875")


def pearson(x, y):
    n = len(x)
    mx, my = Fraction(sum(x), n), Fraction(sum(y), n)
    sxy = sum((a - mx) * (b - my) for a, b in zip(x, y))
    sxx = sum((a - mx) ** 2 for a in x)
    syy = sum((b - my) ** 2 for b in y)
    return real(sxy) / sqrt(real(sxx * syy))


def ranks(values):
    """Ranks with ties given their mean rank."""
    order = sorted(values)
    return [Fraction(2 * order.index(v) + order.count(v) + 1, 2) for v in values]


def report_pearson(name, x, y, interval):
    r = pearson(x, y)
    n = len(x)
    print(name)
    show("r", r)
    show("r squared", r * r)
    show_p("two-tailed P", t_two_tailed(r * sqrt((n - 2) / (1 - r * r)), n - 2))
    if interval:
        z = Z / sqrt(n - 3)
        show("lower limit", tanh(atanh(r) - z))
        show("upper limit", tanh(atanh(r) + z))
    print()


report_pearson("Pearson, three points", [1, 2, 3], [2, 3, 5], False)
anscombe_x = [10, 8, 13, 9, 11, 14, 6, 4, 12, 7, 5]
anscombe_y = [dec(v) for v in "8.04 6.95 7.58 8.81 8.33 9.96 7.24 4.26 10.84 4.82 5.68".split()]
report_pearson("Pearson, Anscombe's first set", anscombe_x, anscombe_y, True)

print("Spearman, four pairs in order: exact two-tailed P")
n = 4
extreme = sum(1 for p in permutations(range(n)) if sum((i - j) ** 2 for i, j in enumerate(p)) == 0)
show_p("P", Fraction(2 * extreme, 24))
print()
for name, y in (("twelve pairs with a tie", [3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 7]),
                ("twelve pairs", [3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10]),
                ("thirteen pairs", [3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 13, 7, 10])):
    x = list(range(1, len(y) + 1))
    rs = pearson(ranks(x), ranks(y))
    print("Spearman,", name)
    show("rs", rs)
    show_p("approximate two-tailed P", t_two_tailed(rs * sqrt((len(y) - 2) / (1 - rs * rs)), len(y) - 2))
    print()
