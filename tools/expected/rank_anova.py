"""Figures of the Kruskal-Wallis and Friedman golden reports
(tests/data/reports/rank-anova): ranks and statistics in exact fractions,
exact P values by complete enumeration, approximate P values from the
chi-square tail with mpmath."""

from itertools import permutations

from common import Fraction, chi2_upper, dec, real, show, show_p


def ranks(values):
    """Ranks with ties given their mean rank."""
    order = sorted(values)
    return [Fraction(2 * order.index(v) + order.count(v) + 1, 2) for v in values]


def kruskal_wallis_h(rank_groups):
    n = sum(len(g) for g in rank_groups)
    return Fraction(12, n * (n + 1)) * sum(sum(g) ** 2 / len(g) for g in rank_groups) - 3 * (n + 1)


def kruskal_wallis(groups):
    sizes = [len(g) for g in groups]
    r = ranks([v for g in groups for v in g])
    split, start = [], 0
    for size in sizes:
        split.append(r[start:start + size])
        start += size
    h = kruskal_wallis_h(split)
    # Every assignment of the ranks to the groups, each counted once.
    seen = set()
    count = 0
    for p in permutations(r):
        key, start = [], 0
        for size in sizes:
            key.append(tuple(sorted(p[start:start + size])))
            start += size
        key = tuple(key)
        if key in seen:
            continue
        seen.add(key)
        parts = [list(k) for k in key]
        count += kruskal_wallis_h(parts) >= h
    return h, Fraction(count, len(seen))


def friedman(rows):
    k = len(rows[0])
    rank_rows = [ranks(row) for row in rows]
    sums = [sum(col) for col in zip(*rank_rows)]
    n = len(rows)

    def statistic(column_sums):
        return Fraction(12, n * k * (k + 1)) * sum(s * s for s in column_sums) - 3 * n * (k + 1)

    fr = statistic(sums)
    # Every row's ranks permuted independently: k!^n equally likely tables.
    tables = [[]]
    for row in rank_rows:
        tables = [t + [p] for t in tables for p in set(permutations(row))]
    count = sum(1 for t in tables if statistic([sum(c) for c in zip(*t)]) >= fr)
    return fr, Fraction(count, len(tables))


print("Kruskal-Wallis, three groups of three")
h, p = kruskal_wallis([[dec("2.1"), dec("3.4"), dec("1.9")], [dec("5.6"), dec("4.8"), dec("6.2")],
                       [dec("3.9"), dec("7.1"), dec("8.0")]])
show("KW", h)
show_p("exact P", p)
show_p("approximate P", chi2_upper(real(h), 2))

print("\nFriedman, three columns over four rows")
rows = [[dec("10.1"), dec("12.3"), dec("11.4")], [dec("9.8"), dec("11.0"), dec("10.2")],
        [dec("11.2"), dec("11.9"), dec("13.0")], [dec("10.4"), dec("12.8"), dec("11.7")]]
fr, p = friedman(rows)
show("Fr", fr)
show_p("exact P", p)
show_p("approximate P", chi2_upper(real(fr), 2))
