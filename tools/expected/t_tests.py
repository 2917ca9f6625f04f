"""Figures of the t-test golden reports (tests/data/reports/t-tests)."""

from common import dec, mean, mpf, real, sd, show, show_p, sqrt, t_table, t_two_tailed, f_upper

weight = [dec(x) for x in "5.1 4.9 5.6 5.8 6.0 5.2 5.5".split()]
n = len(weight)
m, s = mean(weight), sd(weight)
sem = s / sqrt(n)
t = (real(m) - 5) / sem
print("One sample t test, Weight against 5")
show("t", t)
show_p("two-tailed P", t_two_tailed(t, n - 1))
margin = t_table(n - 1) * sem
show("mean difference", real(m) - 5)
show("lower limit of the difference", real(m) - 5 - margin)
show("upper limit of the difference", real(m) - 5 + margin)
show("SD", s)
show("SEM", sem)

print("\nOne sample t test of typed means: mean 10, SD 2, N 4 against 8")
show_p("one-tailed P", t_two_tailed(2, 3) / 2)

drug1 = [dec(x) for x in "0.7 -1.6 -0.2 -1.2 -0.1 3.4 3.7 0.8 0.0 2.0".split()]
drug2 = [dec(x) for x in "1.9 0.8 1.1 0.1 -0.1 4.4 5.5 1.6 4.6 3.4".split()]
d = [a - b for a, b in zip(drug1, drug2)]
sem_d = sd(d) / sqrt(len(d))
t = real(mean(d)) / sem_d
print("\nPaired t test, sleep data")
show("t", t)
show_p("two-tailed P", t_two_tailed(t, len(d) - 1))
show("lower limit", real(mean(d)) - t_table(9) * sem_d)
show("upper limit", real(mean(d)) + t_table(9) * sem_d)
m1, m2 = mean(drug1), mean(drug2)
sxy = sum((a - m1) * (b - m2) for a, b in zip(drug1, drug2))
r = real(sxy) / sqrt(real(sum((a - m1) ** 2 for a in drug1) * sum((b - m2) ** 2 for b in drug2)))
show("r between the drugs", r)

print("\nUnpaired t test, sleep data")
s1, s2 = sd(drug1), sd(drug2)
pooled = sqrt((9 * s1 ** 2 + 9 * s2 ** 2) / 18 * (mpf(1) / 10 + mpf(1) / 10))
t = (real(m2) - real(m1)) / pooled
show("t (equal SDs)", t)
show_p("two-tailed P (equal SDs)", t_two_tailed(t, 18))
f = max(s1, s2) ** 2 / min(s1, s2) ** 2
show("F of the SDs", f)
show_p("two-tailed P of F", 2 * f_upper(f, 9, 9))
se = sqrt(s1 ** 2 / 10 + s2 ** 2 / 10)
df = (s1 ** 2 / 10 + s2 ** 2 / 10) ** 2 / ((s1 ** 2 / 10) ** 2 / 9 + (s2 ** 2 / 10) ** 2 / 9)
show("Welch degrees of freedom (truncated for P)", df)
show_p("Welch two-tailed P", t_two_tailed((real(m2) - real(m1)) / se, int(df)))
