"""Figures of the linear-regression golden reports
(tests/data/reports/linear-regression): the fit in exact fractions, square
roots and the regularized incomplete beta of the P values with mpmath, the
limits with the program's two-sided 5% t table."""

from common import Fraction, dec, f_upper, real, show, show_p, sqrt, t_table, t_two_tailed


def fit(points):
    n = len(points)
    mx = Fraction(sum(x for x, _ in points), n)
    my = Fraction(sum(y for _, y in points), n)
    sxx = sum((x - mx) ** 2 for x, _ in points)
    sxy = sum((x - mx) * (y - my) for x, y in points)
    syy = sum((y - my) ** 2 for _, y in points)
    slope = sxy / sxx
    intercept = my - slope * mx
    ss_model = slope * sxy
    ss_residual = syy - ss_model
    df = n - 2
    sy_x = sqrt(real(ss_residual / df))
    se_slope = sy_x / sqrt(real(sxx))
    se_intercept = sy_x * sqrt(real(Fraction(1, n) + mx * mx / sxx))
    t = t_table(df)
    show("slope", slope)
    show("SE of the slope", se_slope)
    show("slope lower", real(slope) - t * se_slope)
    show("slope upper", real(slope) + t * se_slope)
    show("Y intercept", intercept)
    show("SE of the Y intercept", se_intercept)
    show("Y intercept lower", real(intercept) - t * se_intercept)
    show("Y intercept upper", real(intercept) + t * se_intercept)
    show("X intercept", -intercept / slope)
    r2 = ss_model / syy
    show("r", sqrt(real(r2)))
    show("r squared", r2)
    show("Sy.x", sy_x)
    show("SS model", ss_model)
    show("SS residual", ss_residual)
    f = real(ss_model) / real(ss_residual / df)
    show("F", f)
    show_p("P", f_upper(f, 1, df))
    # The APA sentence's t: the slope over its SE, the square root of F.
    show("t of the slope", real(slope) / se_slope)


print("Without replicates")
ys = [dec(v) for v in "2.1 3.9 6.2 7.8 10.1 12.2 13.8 16.1".split()]
fit(list(zip(range(1, 9), ys)))

print("\nWith two replicates in each of ten rows")
y1 = [dec(v) for v in "2.1 3.9 6.2 7.8 10.1 12.2 13.8 16.1 17.5 20.3".split()]
y2 = [dec(v) for v in "1.9 4.2 5.7 8.4 9.6 11.8 14.5 15.7 18.4 19.9".split()]
fit(list(zip(range(1, 11), y1)) + list(zip(range(1, 11), y2)))


def forced_fit(points, x0, y0):
    """The line through (x0, y0): sums of squares about that point, the lack
    of fit against the scatter within rows."""
    n = len(points)
    sxx = sum((x - x0) ** 2 for x, _ in points)
    sxy = sum((x - x0) * (y - y0) for x, y in points)
    ss_total = sum((y - y0) ** 2 for _, y in points)
    slope = sxy / sxx
    ss_model = slope * sxy
    ss_residual = ss_total - ss_model
    df = n - 1
    sy_x = sqrt(real(ss_residual / df))
    se_slope = sy_x / sqrt(real(sxx))
    t = t_table(df)
    show("slope", slope)
    show("SE of the slope", se_slope)
    show("slope lower", real(slope) - t * se_slope)
    show("slope upper", real(slope) + t * se_slope)
    show("Y intercept", y0 - slope * x0)
    show("Sy.x", sy_x)
    show("t", real(slope) / se_slope)
    show_p("P", t_two_tailed(real(slope) / se_slope, df))
    show("SS total", ss_total)
    show("SS model", ss_model)
    rows = {}
    for x, y in points:
        rows.setdefault(x, []).append(y)
    ss_pure = sum(sum((y - Fraction(sum(ys), len(ys))) ** 2 for y in ys) for ys in rows.values())
    ss_deviation = ss_residual - ss_pure
    df_deviation, df_pure = len(rows) - 1, n - len(rows)
    if df_pure == 0:
        return
    show("SS deviations", ss_deviation)
    show("SS pure error", ss_pure)
    f = real(ss_deviation / df_deviation) / real(ss_pure / df_pure)
    show("F lack of fit", f)
    show_p("P lack of fit", f_upper(f, df_deviation, df_pure))


print("\nForced through (1, 2), two replicates in each of five rows")
y1 = [dec(v) for v in "2.5 4.1 6.3 7.1 9.9".split()]
y2 = [dec(v) for v in "1.8 3.6 5.2 8.4 10.6".split()]
forced_fit(list(zip(range(1, 6), y1)) + list(zip(range(1, 6), y2)), 1, 2)

print("\nThe effect section's line (tests/data/reports/linear-regression/effect-section)")
ys = [dec(v) for v in "3.1 3.9 5.2 8.8 9.1 13.2 12.8 17.1".split()]
fit(list(zip(range(1, 9), ys)))
print("\nThe same forced through the origin")
forced_fit(list(zip(range(1, 9), ys)), 0, 0)
