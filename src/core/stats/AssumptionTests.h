#pragma once

#include <cstdint>

#include "core/base/EmptyValue.h"

// P values of the assumption checks that precede the t tests and ANOVA: the
// normality of a group and the equality of two variances.

namespace ombrel {

// The approximation below holds for P up to this value; above it a report
// prints ">0.10".
inline constexpr TReal LillieforsPLimit = 0.10L;

// The P value of a Kolmogorov-Smirnov distance whose mean and SD were
// estimated from the same values (Lilliefors' distribution).
struct TLillieforsP {
  // The approximation where it holds; above the limit only an ordering
  // (capped at 1), to be printed as ">0.10". Empty when not defined.
  TReal P = EmptyValue;
  bool AboveLimit = false;
};

// Dallal and Wilkinson's (1986) approximation to Lilliefors' (1967)
// distribution, for n >= 5 and 0 < D <= 1 (n above 100 scaled to 100). Tested
// at Lilliefors' tabulated 5% and 1% points for n = 5 to 30.
TLillieforsP LillieforsP(TReal ks, std::int32_t n);

// Two-sided P of the F test of equal variances, F = variance on top over
// variance below with (dfTop, dfBelow) degrees of freedom: twice the smaller
// tail, at most 1 (with the larger variance on top, twice the upper tail).
// Tails from p_value_f (3e-7 relative). Empty for F <= 0 or df < 1.
TReal VarianceRatioTwoSidedP(TReal f, std::int32_t dfTop, std::int32_t dfBelow);

}  // namespace ombrel
