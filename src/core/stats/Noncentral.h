#pragma once

#include "core/base/EmptyValue.h"

// Distributions behind the confidence intervals of effect sizes, computed to
// full extended precision (unlike the P values of PValue.h, whose constants
// fix what the reports print). Every function validates its arguments and
// gives the empty marker for those outside its domain or for a search that
// does not converge; none throws, and none leaves a floating-point
// exception flag raised (a flag an analysis would report as a fault).

namespace ombrel {

// Both tails of one distribution at a point, each computed directly rather
// than as 1 minus the other, so a tiny tail keeps its relative accuracy.
struct TTails {
  TReal Lower = EmptyValue;  // P(X <= x)
  TReal Upper = EmptyValue;  // P(X > x)
};

// A confidence interval of a parameter; both limits empty when none.
struct TInterval {
  TReal Lower = EmptyValue;
  TReal Upper = EmptyValue;
};

// Regularized incomplete beta I_x(a, b) and its complement, a, b > 0,
// 0 <= x <= 1. Continued fraction (modified Lentz) on the side where it
// converges; relative error below 1e-15 against mpmath for a, b up to 1e4.
TTails RegularizedBeta(TReal a, TReal b, TReal x);

// Noncentral t with df > 0 degrees of freedom and noncentrality delta, at t.
// Both tails as E[Phi(+-(t sqrt(V/df) - delta))] over V ~ chi-square(df),
// integrated by adaptive Gauss-Kronrod (7/15); absolute error below 1e-12
// against SciPy and mpmath for df 1 to 1e4 and |delta| <= 50.
TTails NoncentralTTails(TReal t, TReal df, TReal delta);

// The confidence interval of the noncentrality of an observed t: the deltas
// whose upper and lower tails at t are (1 - level)/2 (Steiger & Fouladi,
// 1997; Cumming & Finch, 2001). Bisection to 1e-12 relative; level in (0, 1).
TInterval NoncentralTInterval(TReal t, TReal df, TReal level = 0.95L);

// Noncentral F with (df1, df2) degrees of freedom and noncentrality lambda,
// at f >= 0: the Poisson(lambda/2) mixture of central tails
// I(df1/2 + j, df2/2), summed outward from the largest weight until the
// weights fall below 1e-20. Absolute error below 1e-12 against mpmath.
TTails NoncentralFTails(TReal f, TReal df1, TReal df2, TReal lambda);

// The confidence interval of the noncentrality of an observed F: the lambdas
// whose upper and lower tails at F are (1 - level)/2, a limit that would be
// negative taken as 0 (Steiger, 2004). Bisection to 1e-10 relative.
TInterval NoncentralFInterval(TReal f, TReal df1, TReal df2, TReal level = 0.95L);

}  // namespace ombrel
