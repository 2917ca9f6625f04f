"""Expected tails of tests/core/stats/PValueTest.cpp: upper tails of t
(two-tailed), F and chi-square at 30 digits with mpmath."""

from common import chi2_upper, f_upper, mp, mpf, t_two_tailed

mp.dps = 30

t_rows = [(10, "2.228"), (1, "12.706"), (5, "0.5"), (30, "3.5"), (100, "1.984"), (3, "10.0"), (20, "6.0"),
          (2, "0.1"), (10, "-2.228")]
f_rows = [(1, 10, "4.965"), (3, 12, "2.5"), (5, 5, "1.0"), (2, 100, "3.09"), (10, 3, "0.2"), (4, 40, "20.0")]
chi_rows = [(1, "3.841"), (2, "5.991"), (10, "18.307"), (4, "1.0"), (1, "0.01"), (3, "50.0"), (30, "25.0"),
            (7, "0.5"), (2, "999.0")]

print("t, two-tailed")
for df, t in t_rows:
    print(f"  df {df:>3}  t {t:>7}  {mp.nstr(t_two_tailed(mpf(t), df), 15)}")
print("F, upper tail")
for df1, df2, f in f_rows:
    print(f"  df {df1:>2},{df2:>3}  F {f:>5}  {mp.nstr(f_upper(mpf(f), df1, df2), 15)}")
print("chi-square, upper tail")
for df, x in chi_rows:
    print(f"  df {df:>2}  x {x:>6}  {mp.nstr(chi2_upper(mpf(x), df), 15)}")
print("normal as t with 5000 df, z = 1.96")
print(f"  {mp.nstr(t_two_tailed(mpf('1.96'), 5000), 15)}")
