"""Figures of the multiple-regression golden reports
(tests/data/reports/multiple-regression): the normal equations solved in
exact fractions, square roots and the incomplete beta of the P values with
mpmath, the limits with the program's two-sided 5% t table."""

from common import Fraction, dec, f_upper, real, show, show_p, sqrt, t_table, t_two_tailed


def solve(matrix, vector):
    """Gauss-Jordan elimination in fractions; returns the solution and the
    inverse of the matrix."""
    n = len(matrix)
    a = [list(row) + [vector[i]] + [Fraction(int(i == j)) for j in range(n)] for i, row in enumerate(matrix)]
    for c in range(n):
        pivot = next(r for r in range(c, n) if a[r][c] != 0)
        a[c], a[pivot] = a[pivot], a[c]
        a[c] = [v / a[c][c] for v in a[c]]
        for r in range(n):
            if r != c and a[r][c] != 0:
                a[r] = [v - a[r][c] * w for v, w in zip(a[r], a[c])]
    return [row[n] for row in a], [row[n + 1:] for row in a]


def regress(y, xs):
    """Least squares of y on a constant and the columns xs."""
    rows = [[Fraction(1)] + [Fraction(x[i]) for x in xs] for i in range(len(y))]
    k = len(rows[0])
    xtx = [[sum(r[i] * r[j] for r in rows) for j in range(k)] for i in range(k)]
    xty = [sum(r[i] * yi for r, yi in zip(rows, y)) for i in range(k)]
    beta, inverse = solve(xtx, xty)
    fitted = [sum(b * v for b, v in zip(beta, r)) for r in rows]
    ss_residual = sum((yi - f) ** 2 for yi, f in zip(y, fitted))
    my = Fraction(sum(y), len(y))
    ss_total = sum((yi - my) ** 2 for yi in y)
    return beta, inverse, ss_residual, ss_total


y = [dec(v) for v in "-3.2 -1.1 -2.5 1.4 2.2 0.9 4.1 3.3 6.8 6.9".split()]
dose = list(range(1, 11))
second = [dec(v) for v in "2.5 3.1 2.2 4.8 5.5 4.9 7.2 6.1 8.8 9.3".split()]
age = [7, 3, 5, 2, 8, 6, 1, 9, 4, 5]
xs = [dose, second, age]
names = ["constant", "Dose", "Second", "Age"]

print("Y on Dose, Second and Age (rows 1 to 10)")
beta, inverse, ss_residual, ss_total = regress(y, xs)
df = len(y) - len(beta)
mse = real(ss_residual / df)
t_crit = t_table(df)
for name, b, i in zip(names, beta, range(len(beta))):
    se = sqrt(mse * real(inverse[i][i]))
    show(name + " coefficient", b)
    show(name + " SE", se)
    show(name + " lower", real(b) - t_crit * se)
    show(name + " upper", real(b) + t_crit * se)
    show(name + " t ratio", abs(real(b)) / se)
    show_p(name + " P", t_two_tailed(real(b) / se, df))
r2 = 1 - ss_residual / ss_total
show("R squared", r2)
show("adjusted R squared", 1 - (1 - r2) * (len(y) - 1) / df)
f = real((ss_total - ss_residual) / (len(beta) - 1)) / mse
show("F", f)
show_p("P of the model", f_upper(f, len(beta) - 1, df))
for i, name in enumerate(names[1:]):
    others = [x for j, x in enumerate(xs) if j != i]
    _, _, res, tot = regress([Fraction(v) for v in xs[i]], others)
    r2_x = 1 - res / tot
    show(name + " VIF", 1 / (1 - r2_x))
    show(name + " R squared with the other X", r2_x)

# The effect section: Cohen's f squared = R² / (1 - R²) (Cohen, 1988) with
# the 95% interval lambda / N of the noncentral F's lambda (Steiger, 2004),
# here from SciPy's noncentral F (Debian's python3 has it).
from scipy import optimize, stats  # noqa: E402


def f_squared_interval(f, d1, d2, level=0.95):
    f, tail = float(f), (1 - level) / 2
    n = d1 + d2 + 1
    if stats.f.cdf(f, d1, d2) <= tail:
        return 0.0, 0.0
    top = 10 * d1 * f + 100
    hi = optimize.brentq(lambda lam: stats.ncf.cdf(f, d1, d2, lam) - tail, 1e-12, top, xtol=1e-13)
    lo = 0.0
    if stats.f.sf(f, d1, d2) < tail:
        lo = optimize.brentq(lambda lam: stats.ncf.sf(f, d1, d2, lam) - tail, 1e-12, hi, xtol=1e-13)
    return lo / n, hi / n


print("\nEffect section: Cohen's f squared and its interval")
show("f squared", r2 / (1 - r2))
lo, hi = f_squared_interval(f, len(beta) - 1, df)
show("f squared lower", lo)
show("f squared upper", hi)
print("APA: F(%d, %d) = %.2f, R squared = %s" % (len(beta) - 1, df, float(f), ("%.2f" % float(r2))[1:]))

print("\nY on Age alone: a fit whose f squared interval starts at 0")
_, _, res_age, tot_age = regress(y, [age])
r2_age = 1 - res_age / tot_age
f_age = real((tot_age - res_age) / (res_age / (len(y) - 2)))
show("f squared", r2_age / (1 - r2_age))
lo, hi = f_squared_interval(f_age, 1, len(y) - 2)
show("f squared lower", lo)
show("f squared upper", hi)

print("\nThe effect section's document (rows 1 to 10 and 12)")
y12, dose12 = y + [dec("2")], dose + [4]
second12, age12 = second + [3], age + [2]
beta12, _, res12, tot12 = regress(y12, [dose12, second12, age12])
r2_12 = 1 - res12 / tot12
df12 = len(y12) - 4
f12 = real((tot12 - res12) / 3) / real(res12 / df12)
show("F", f12)
show("R squared", r2_12)
show("f squared", r2_12 / (1 - r2_12))
lo, hi = f_squared_interval(f12, 3, df12)
show("f squared lower", lo)
show("f squared upper", hi)
