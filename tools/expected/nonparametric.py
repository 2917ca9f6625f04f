"""Figures of the rank-test golden reports (tests/data/reports/nonparametric):
ranks and exact P values by counting sign patterns, rank sets and
permutations in exact fractions (the permutations of eight pairs take a
minute); the normal approximation as t with 5000
degrees of freedom with mpmath."""

from itertools import combinations, permutations, product

from common import Fraction, dec, mpf, real, show, show_p, sqrt, t_two_tailed


def ranks(values):
    """Ranks with ties given their mean rank."""
    order = sorted(values)
    return [Fraction(2 * order.index(v) + order.count(v) + 1, 2) for v in values]


def signed_ranks(differences):
    """Ranks of |d| for the nonzero differences, signed."""
    d = [x for x in differences if x != 0]
    r = ranks([abs(x) for x in d])
    return [ri if x > 0 else -ri for ri, x in zip(r, d)]


def wilcoxon(differences, two_tailed):
    s = signed_ranks(differences)
    t_plus = sum(r for r in s if r > 0)
    magnitudes = [abs(r) for r in s]
    total = sum(magnitudes)
    # Sign patterns whose positive sum is at least as far from the middle.
    count = sum(1 for signs in product((0, 1), repeat=len(s))
                if abs(sum(m for m, sign in zip(magnitudes, signs) if sign) - total / 2) >= abs(t_plus - total / 2))
    p = Fraction(count, 2 ** len(s))
    return t_plus, p if two_tailed else p / 2


def wilcoxon_z(differences):
    s = signed_ranks(differences)
    n = len(s)
    t_plus = sum(r for r in s if r > 0)
    mean = Fraction(n * (n + 1), 4)
    return (abs(real(t_plus - mean)) - mpf(1) / 2) / sqrt(mpf(n * (n + 1) * (2 * n + 1)) / 24)


def mann_whitney(a, b):
    """U (a tie counting one half) and its exact one-tailed P: the share of
    the rank sets of a's size, drawn from the untied ranks 1..N, whose U is
    no larger than the smaller of U and U'."""
    u = sum(Fraction(1) if x > y else Fraction(1, 2) if x == y else 0 for x in a for y in b)
    smaller = min(u, len(a) * len(b) - u)
    k = len(a)
    sets = list(combinations(range(1, len(a) + len(b) + 1), k))
    count = sum(1 for s in sets if sum(s) - k * (k + 1) // 2 <= smaller)
    return u, Fraction(count, len(sets))


weight = [dec(v) for v in "3.1 4.7 1.2 6.5 5.8 2.4".split()]
print("Wilcoxon signed rank test of Weight against 2")
t_plus, p = wilcoxon([w - 2 for w in weight], True)
show("T+", t_plus)
show_p("exact two-tailed P", p)
show_p("approximate two-tailed P", t_two_tailed(wilcoxon_z([w - 2 for w in weight]), 5000))

print("\nWilcoxon signed rank test of Score against 5, one-tailed")
t_plus, p = wilcoxon([v - 5 for v in (5, 7, 3, 5, 8, 2, 6, 9)], False)
show("T+", t_plus)
show_p("exact one-tailed P", p)

print("\nWilcoxon matched pairs, Before against After")
before = [dec(v) for v in "12.1 14.3 9.8 11.0 15.2 13.7 10.4 12.9".split()]
after = [dec(v) for v in "11.0 12.1 9.5 11.0 12.8 13.0 9.1 11.3".split()]
t_plus, p = wilcoxon([x - y for x, y in zip(before, after)], True)
show_p("exact two-tailed P", p)
rb, ra = ranks(before), ranks(after)
d2 = sum((x - y) ** 2 for x, y in zip(rb, ra))
n = len(before)
# Permutations of the After ranks giving a sum of squared differences no
# larger than the observed one: the one-tailed P of the pairing.
count = sum(1 for p in permutations(ra) if sum((x - y) ** 2 for x, y in zip(rb, p)) <= d2)
show_p("one-tailed P of the pairing", Fraction(count, 40320))

print("\nMann-Whitney, Old against New")
old = [dec(v) for v in "1.5 2.5 3 4 6.5".split()]
new = [3, 5, 6, 7, 8, 9]
u, p = mann_whitney(old, new)
show("U", u)
show_p("exact one-tailed P", p)

print("\nMann-Whitney, every A below every B")
u, p = mann_whitney([1, 2, 3], [4, 5, 6])
show("U", u)
show_p("exact two-tailed P", 2 * p)
