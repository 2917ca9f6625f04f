#pragma once

#include <cstdint>

#include "core/base/EmptyValue.h"

// P values and critical values of the t, F, normal and chi-square
// distributions. These functions define the P values Ombrel prints: the
// constants and algorithms are fixed (a Lanczos log-gamma and the classic
// continued fractions converged to 3e-7 relative), so results agree with
// exact values to about 3e-7. Arguments outside a function's domain raise a
// floating-point fault, which the calling analysis reports.

namespace ombrel {

// ln Gamma(x), x > 0, by Lanczos' series with six coefficients.
TReal ln_gamma(TReal x);
// Continued-fraction part of the incomplete beta function (at most 200 steps).
TReal beta_cf(TReal a, TReal b, TReal x);
// Regularized incomplete beta I_x(a, b), 0 <= x <= 1.
TReal incomplete_beta(TReal a, TReal b, TReal x);
// Lower regularized incomplete gamma P(a, x) by its series.
TReal gamma_series(TReal a, TReal x);
// Upper regularized incomplete gamma Q(a, x) by its continued fraction;
// 0 when 200 steps do not converge.
TReal GCF(TReal a, TReal x);
// Q(a, x): the continued fraction for x >= a + 1, else 1 - series.
TReal gamma_q(TReal a, TReal x);

// Upper tail of F with (df1, df2) degrees of freedom; 0 for F < 0.
TReal p_value_f(std::int32_t df1, std::int32_t df2, TReal f);
// Two-tailed P of |T| >= |t|.
TReal p_value_t(std::int32_t df, TReal t);
// Two-tailed P of |Z| >= |z|, taken as t with 5000 degrees of freedom.
TReal p_value_z(TReal z);
// Upper tail of chi-square; 0 for x > 1000 or x < 0.
TReal p_value_chi_square(std::int32_t df, TReal x);

// z whose one-tailed P is p, by bisection on [0, 8] to 1e-6 in probability.
TReal z_for_p(TReal p);
// t whose one-tailed P is p, by bisection to 0.0001 in t.
TReal t_for_p(std::int32_t df, TReal p);
// F whose upper-tail P is p, by bisection to 0.01 in F.
TReal f_for_p(std::int32_t df1, std::int32_t df2, TReal p);

// Two-sided 5% point of t: a table for df 1..30, straight lines through
// 2.042 (30), 2.021 (40), 2.000 (60) and 1.980 (120), 1.96 above 120.
// Empty for df < 1.
TReal t_critical_95(std::int32_t df);
// Critical z for one or two tails at alpha 0.2, 0.1, 0.05, 0.02 or 0.01
// (exact equality); 0 otherwise.
TReal critical_z(std::int32_t tails, TReal alpha);

// x to the power y as exp(y ln x), x > 0.
TReal power(TReal x, TReal y);

}  // namespace ombrel
