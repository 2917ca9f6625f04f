#include <gtest/gtest.h>

#include <cmath>

#include "core/stats/PValue.h"

namespace ombrel {
namespace {

// Expected upper-tail probabilities computed independently with mpmath at 30
// digits (regularized incomplete beta and gamma functions;
// tools/expected/p_values.py prints them). The functions
// under test converge their continued fractions to 3e-7 relative, so a
// relative tolerance of 1e-6 is generous enough and still catches any wrong
// argument or tail.
constexpr double RelativeTolerance = 1e-6;

struct TailRow {
  int Df1;
  int Df2;  // unused by t and chi-square rows
  long double X;
  double Expected;
};

TEST(PValue, StudentTTwoTailedAgainstIndependentValues) {
  const TailRow rows[] = {
      {10, 0, 2.228L, 0.0500117718171114}, {1, 0, 12.706L, 0.0500008023581332},  {5, 0, 0.5L, 0.638298871640929},
      {30, 0, 3.5L, 0.00147680743764425},  {100, 0, 1.984L, 0.0499967737961674}, {3, 0, 10.0L, 0.00212839905841415},
      {20, 0, 6.0L, 7.24369993041657e-6},  {2, 0, 0.1L, 0.92946543841414},       {10, 0, -2.228L, 0.0500117718171114},
  };
  for (const TailRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "df " << row.Df1 << " t " << static_cast<double>(row.X));
    EXPECT_NEAR(static_cast<double>(p_value_t(row.Df1, row.X)), row.Expected, row.Expected * RelativeTolerance);
  }
}

TEST(PValue, FUpperTailAgainstIndependentValues) {
  const TailRow rows[] = {
      {1, 10, 4.965L, 0.0499924438573651}, {3, 12, 2.5L, 0.109154712395006}, {5, 5, 1.0L, 0.5},
      {2, 100, 3.09L, 0.0498728227743686}, {10, 3, 0.2L, 0.977386077248904}, {4, 40, 20.0L, 4.11075985346917e-9},
  };
  for (const TailRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "df " << row.Df1 << "," << row.Df2 << " F " << static_cast<double>(row.X));
    EXPECT_NEAR(static_cast<double>(p_value_f(row.Df1, row.Df2, row.X)), row.Expected,
                row.Expected * RelativeTolerance);
  }
}

TEST(PValue, ChiSquareUpperTailAgainstIndependentValues) {
  const TailRow rows[] = {
      {1, 0, 3.841L, 0.0500136837639567}, {2, 0, 5.991L, 0.0500116150265791}, {10, 0, 18.307L, 0.0500005890913981},
      {4, 0, 1.0L, 0.90979598956895},     {1, 0, 0.01L, 0.920344325445942},   {3, 0, 50.0L, 7.98917924495147e-11},
      {30, 0, 25.0L, 0.7250318841806},    {7, 0, 0.5L, 0.999446481390425},    {2, 0, 999.0L, 1.17464406665226e-217},
  };
  for (const TailRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "df " << row.Df1 << " x " << static_cast<double>(row.X));
    EXPECT_NEAR(static_cast<double>(p_value_chi_square(row.Df1, row.X)), row.Expected,
                row.Expected * RelativeTolerance);
  }
}

TEST(PValue, SpecialArguments) {
  for (int df : {1, 2, 7, 500}) {
    SCOPED_TRACE(df);
    EXPECT_EQ(p_value_t(df, 0), 1);
    EXPECT_EQ(p_value_f(df, 3, 0), 1);
  }
  EXPECT_EQ(p_value_f(2, 3, -1), 0);
  EXPECT_EQ(p_value_chi_square(2, 1000.5L), 0);
  EXPECT_EQ(p_value_chi_square(2, -1), 0);
  EXPECT_GT(p_value_chi_square(2, 999), 0);
  EXPECT_EQ(incomplete_beta(2, 3, 0), 0);
  EXPECT_EQ(incomplete_beta(2, 3, 1), 1);
}

TEST(PValue, NormalIsTWithFiveThousandDf) {
  EXPECT_EQ(p_value_z(1.96L), p_value_t(5000, 1.96L));
  // Slightly above the normal distribution's 0.049996 (mpmath: 0.0500512522918195).
  EXPECT_NEAR(static_cast<double>(p_value_z(1.96L)), 0.0500512522918195, 0.0500512522918195 * RelativeTolerance);
}

TEST(PValue, LnGammaMatchesFactorials) {
  // ln((n-1)!) for small n; Lanczos with these coefficients is good to ~2e-10.
  const double factorials[] = {1, 1, 2, 6, 24, 120, 720, 5040, 40320, 362880};
  for (int n = 1; n <= 10; ++n) {
    SCOPED_TRACE(n);
    EXPECT_NEAR(static_cast<double>(ln_gamma(n)), std::log(factorials[n - 1]), 1e-9);
  }
  EXPECT_NEAR(static_cast<double>(ln_gamma(0.5L)), 0.5723649429247001, 1e-9);  // ln sqrt(pi)
}

TEST(TCritical95, TableAndInterpolation) {
  struct Row {
    int Df;
    long double Expected;
  };
  const Row rows[] = {{1, 12.706L}, {3, 3.182L},  {30, 2.042L},  {31, 2.0399L}, {40, 2.021L},   {50, 2.0105L},
                      {60, 2.000L}, {90, 1.990L}, {120, 1.980L}, {121, 1.96L},  {100000, 1.96L}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Df);
    EXPECT_NEAR(static_cast<double>(t_critical_95(row.Df)), static_cast<double>(row.Expected), 1e-12);
  }
  EXPECT_TRUE(IsEmpty(t_critical_95(0)));
}

TEST(CriticalZ, ExactTableOnly) {
  EXPECT_EQ(critical_z(2, 0.05L), 1.9604492187L);
  EXPECT_EQ(critical_z(2, 0.05), 1.9604492187L);
  EXPECT_EQ(critical_z(1, 0.2L), 0.8416900634L);
  EXPECT_EQ(critical_z(1, 0.01L), 2.3270874023L);
  EXPECT_EQ(critical_z(1, 0.03L), 0);
  EXPECT_EQ(critical_z(3, 0.05L), 0);
}

TEST(Inverses, BisectionsLandWithinTheirTolerances) {
  // z_for_p stops once the one-tailed probability is within 1e-6.
  for (long double p : {0.025L, 0.05L, 0.001L, 0.3L}) {
    SCOPED_TRACE(static_cast<double>(p));
    const TReal z = z_for_p(p);
    EXPECT_LE(std::fabs(static_cast<double>(p_value_z(z) / 2 - p)), 1e-6);
  }
  EXPECT_NEAR(static_cast<double>(z_for_p(0.025L)), 1.96, 0.001);
  // t for one-tailed 0.025 with 10 df is 2.228 (table), to the 0.0001 bracket.
  EXPECT_NEAR(static_cast<double>(t_for_p(10, 0.025L)), 2.2281, 0.0002);
  EXPECT_NEAR(static_cast<double>(t_for_p(1, 0.025L)), 12.706, 0.0002);
  // F(2, 10) upper 5% point is 4.103 (published tables), bracket 0.01.
  EXPECT_NEAR(static_cast<double>(f_for_p(2, 10, 0.05L)), 4.103, 0.011);
  EXPECT_NEAR(static_cast<double>(f_for_p(1, 1, 0.05L)), 161.45, 0.011);
}

TEST(Inverses, ProbabilitiesOutOfRangeStillEnd) {
  // No z or t has a one-tailed P of 0.7: the searches end at a finite value.
  const TReal z = z_for_p(0.7L);
  EXPECT_TRUE(std::isfinite(z));
  EXPECT_TRUE(std::isfinite(t_for_p(5, 0.7L)));
}

TEST(Power, IsDefinedThroughNaturalLogs) { EXPECT_NEAR(static_cast<double>(power(2, 10)), 1024, 1e-12); }

}  // namespace
}  // namespace ombrel
