"""Figures of the larger-table golden reports
(tests/data/reports/larger-table): Pearson's chi-square in exact fractions,
the trend statistic as N r^2 over the individual subjects, tails with
mpmath."""

from common import Fraction, chi2_upper, real, show, show_p


def pearson(table):
    rows = [sum(r) for r in table]
    cols = [sum(c) for c in zip(*table)]
    n = sum(rows)
    return sum(Fraction((table[i][j] * n - rows[i] * cols[j]) ** 2, rows[i] * cols[j] * n)
               for i in range(len(rows)) for j in range(len(cols)))


def trend(table, over_rows=True):
    """N r^2 between the category score (1, 2, ...) and the two-valued
    outcome, one pair per subject."""
    if not over_rows:
        table = [list(c) for c in zip(*table)]
    pairs = [(i + 1, 1 - j) for i, row in enumerate(table) for j, count in enumerate(row) for _ in range(count)]
    n = len(pairs)
    mx = Fraction(sum(x for x, _ in pairs), n)
    my = Fraction(sum(y for _, y in pairs), n)
    sxy = sum((x - mx) * (y - my) for x, y in pairs)
    sxx = sum((x - mx) ** 2 for x, _ in pairs)
    syy = sum((y - my) ** 2 for _, y in pairs)
    return n * sxy * sxy / (sxx * syy)


cases = {
    "two by two": ([[20, 10], [15, 25]], None),
    "three by two, trend over rows": ([[10, 20], [15, 15], [25, 5]], True),
    "two by four, trend over columns": ([[5, 10, 15, 20], [20, 15, 10, 5]], False),
    "huge chi-square": ([[1000, 1], [1, 1000]], None),
}
for name, (table, over_rows) in cases.items():
    print(name)
    x2 = pearson(table)
    df = (len(table) - 1) * (len(table[0]) - 1)
    show("chi-square", x2)
    show_p("P", chi2_upper(real(x2), df))
    if over_rows is not None:
        t = trend(table, over_rows)
        show("chi-square for trend", t)
        show_p("P for trend", chi2_upper(real(t), 1))
    print()
