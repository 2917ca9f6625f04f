#!/usr/bin/python3
"""Effect sizes of the contingency tables (tests/core/analysis/
TwoByTwoTest.cpp, LargerTableTest.cpp and the effect-section golden
reports), computed independently with Debian's SciPy and NumPy: phi as the
Pearson correlation of the two categories over the individual subjects,
Cramer's V from scipy.stats.contingency.association, chi-square from
scipy.stats.chi2_contingency and Fisher's P from scipy.stats.fisher_exact.

Run with Debian's python3: /usr/bin/python3 tools/expected/contingency_effect_sizes.py"""

import numpy as np
from scipy import stats


def subjects(table):
    """One (row, column) pair per subject of the table."""
    pairs = [(i, j) for i, row in enumerate(table) for j, count in enumerate(row) for _ in range(count)]
    return np.array(pairs, dtype=float)


def phi(table):
    """Signed: positive when the top row goes with the left column. The
    categories are coded 1 for the top row and the left column."""
    pairs = subjects(table)
    return np.corrcoef(1 - pairs[:, 0], 1 - pairs[:, 1])[0, 1]


print("phi: {A, B, C, D, phi}")
for a, b, c, d in [(10, 3, 4, 12), (30, 20, 18, 32), (5, 0, 3, 7), (1000, 500, 300, 201), (0, 5, 5, 0)]:
    print("{%d, %d, %d, %d, %r}," % (a, b, c, d, float(phi([[a, b], [c, d]]))))

print("\nCramer's V: {table, V}")
for table in [[[20, 10], [15, 25]], [[10, 20], [15, 15], [25, 5]], [[5, 10, 15, 20], [20, 15, 10, 5]],
              [[3, 20, 30], [5, 25, 25]]]:
    print(table, repr(float(stats.contingency.association(np.array(table), method="cramer"))))

print("\nThe golden reports' APA lines")
fisher = [[10, 3], [4, 12]]
print("Fisher 10 3 / 4 12: p =", stats.fisher_exact(fisher)[1], " phi =", phi(fisher))
chi = [[30, 20], [18, 32]]
statistic, p, _, _ = stats.chi2_contingency(chi, correction=False)
print("chi-square 30 20 / 18 32, no Yates:", statistic, "p =", p, " phi =", phi(chi))
larger = np.array([[5, 10, 15, 20], [20, 15, 10, 5]])
statistic, p, df, _ = stats.chi2_contingency(larger, correction=False)
print("2 x 4:", statistic, "df", df, "p =", p, "N =", larger.sum(), " V =",
      stats.contingency.association(larger, method="cramer"))
