#include <gtest/gtest.h>

#include <cmath>

#include "core/stats/AssumptionTests.h"
#include "core/stats/ColumnStats.h"

namespace ombrel {
namespace {

// Lilliefors (1967), On the Kolmogorov-Smirnov test for normality with mean
// and variance unknown, J. Amer. Statist. Assoc. 62, 399-402, Table 1: the
// 5% and 1% points of the distance. They come from 1,000 simulated samples
// each, so they carry a sampling error of about 0.007 at 5% and 0.003 at 1%;
// the approximation must come within 2.5 of those of the nominal level.
TEST(LillieforsP, ComesNearTheLevelAtLillieforsTabledPoints) {
  struct TRow {
    int N;
    TReal FivePercent;
    TReal OnePercent;
  };
  const TRow rows[] = {{5, 0.337L, 0.405L},  {6, 0.319L, 0.364L},  {8, 0.285L, 0.331L},
                       {10, 0.258L, 0.294L}, {12, 0.242L, 0.275L}, {15, 0.220L, 0.257L},
                       {20, 0.190L, 0.231L}, {25, 0.173L, 0.200L}, {30, 0.161L, 0.187L}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "n " << row.N);
    const TLillieforsP five = LillieforsP(row.FivePercent, row.N);
    const TLillieforsP one = LillieforsP(row.OnePercent, row.N);
    EXPECT_NEAR(static_cast<double>(five.P), 0.05, 0.017);
    EXPECT_NEAR(static_cast<double>(one.P), 0.01, 0.008);
    EXPECT_FALSE(five.AboveLimit);
  }
}

// A control group with one outlier: its distance lies beyond the 1% point
// for n = 8, so it fails the normality test (P 0.003117 by
// tools/expected/effect_sizes.py), where the known-parameter series passed it.
TEST(LillieforsP, FailsTheGroupWithAnOutlier) {
  const TReal values[] = {12.5L, 14.1L, -3.2L, 10, 11.7L, 13.3L, 9.8L, 12.0L};
  const TNormalityResult old = TestNormality(values, 10.025L, 5.54352904616854L);
  EXPECT_NEAR(static_cast<double>(old.KS), 0.3588, 1e-4);
  const TLillieforsP p = LillieforsP(old.KS, 8);
  EXPECT_NEAR(static_cast<double>(p.P), 0.003117, 2e-5);
  EXPECT_FALSE(p.AboveLimit);
}

TEST(LillieforsP, MarksValuesAboveTheLimitAndRefusesTheUndefined) {
  const TLillieforsP small = LillieforsP(0.05L, 20);
  EXPECT_TRUE(small.AboveLimit);
  EXPECT_GT(small.P, LillieforsPLimit);
  EXPECT_LE(small.P, 1);
  // n above 100 is scaled: the 5% point 0.886/sqrt(n) stays near 5%.
  EXPECT_NEAR(static_cast<double>(LillieforsP(0.886L / std::sqrt(TReal{400}), 400).P), 0.05, 0.01);
  EXPECT_TRUE(IsEmpty(LillieforsP(0.3L, 4).P));
  EXPECT_TRUE(IsEmpty(LillieforsP(0, 10).P));
  EXPECT_TRUE(IsEmpty(LillieforsP(EmptyValue, 10).P));
}

// Twice the smaller tail of F (scipy.stats.f, tools/expected/effect_sizes.py).
// The first row is the two groups of eight of the normality example above:
// F = 13.101 with 7 and 7 df, whose upper tail alone is 0.0015.
TEST(VarianceRatioTwoSidedP, DoublesTheSmallerTail) {
  struct TRow {
    TReal F;
    int DfTop;
    int DfBelow;
    double Expected;
  };
  const TRow rows[] = {{13.101L, 7, 7, 0.0030712147007115917},
                       {2.5L, 9, 9, 0.18845405421316347},
                       {0.25L, 5, 9, 0.14113232089380756},
                       {1, 4, 4, 1.0},
                       {40, 3, 20, 2.443709571458899e-08}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "F " << static_cast<double>(row.F));
    EXPECT_NEAR(static_cast<double>(VarianceRatioTwoSidedP(row.F, row.DfTop, row.DfBelow)), row.Expected,
                row.Expected * 1e-6);
  }
  EXPECT_TRUE(IsEmpty(VarianceRatioTwoSidedP(0, 3, 3)));
  EXPECT_TRUE(IsEmpty(VarianceRatioTwoSidedP(2, 0, 3)));
}

}  // namespace
}  // namespace ombrel
