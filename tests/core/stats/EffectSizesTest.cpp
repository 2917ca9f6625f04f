#include <gtest/gtest.h>

#include "core/stats/EffectSizes.h"

namespace ombrel {
namespace {

// Expected values: tools/expected/effect_sizes.py (the interval of the
// noncentrality by scipy brentq on scipy.stats.nct, J by mpmath's gamma).
constexpr double Tolerance = 1e-9;

void ExpectSize(const TEffectSize& size, double value, double lower, double upper) {
  EXPECT_NEAR(static_cast<double>(size.Value), value, Tolerance);
  EXPECT_NEAR(static_cast<double>(size.Lower), lower, Tolerance);
  EXPECT_NEAR(static_cast<double>(size.Upper), upper, Tolerance);
}

TEST(CohensD, OneSampleAndPairedDifferences) {
  struct TRow {
    TReal Difference;
    TReal Sd;
    int N;
    double D, Lower, Upper;
  };
  const TRow rows[] = {
      {1.2L, 2.0L, 10, 0.6, -0.0909858843190087, 1.263595804214208},
      {-0.35L, 1.1L, 25, -0.3181818181818181, -0.7171321047687762, 0.08704317636529996},
      {5, 1, 3, 5.0, 0.5812442433659807, 9.713058248161836},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "difference " << static_cast<double>(row.Difference));
    ExpectSize(CohensDOneSample(row.Difference, row.Sd, row.N), row.D, row.Lower, row.Upper);
  }
}

TEST(CohensD, TwoGroupsPooledAndHedgesG) {
  struct TRow {
    TReal Difference, SdA;
    int NA;
    TReal SdB;
    int NB;
    double D, Lower, Upper, G, GLower, GUpper;
  };
  const TRow rows[] = {
      {1.5L, 1.2L, 8, 1.0L, 8, 1.358036190637778, 0.23951904415504496, 2.438309913590567, 1.283734946964456,
       0.22641441337506013, 2.3049044415643123},
      {-0.8L, 2.0L, 12, 3.0L, 20, -0.29883494705505137, -1.0160091174105619, 0.4232457026431951, -0.29129067300538036,
       -0.9903593355016955, 0.4125606017118853},
      {0.2L, 1, 2, 1, 2, 0.2, -1.7908782887960315, 2.145840607168984, 0.11283791670955126, -1.0103948759405514,
       1.2106609185185337},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "difference " << static_cast<double>(row.Difference));
    ExpectSize(CohensDPooled(row.Difference, row.SdA, row.NA, row.SdB, row.NB), row.D, row.Lower, row.Upper);
    ExpectSize(HedgesG(row.Difference, row.SdA, row.NA, row.SdB, row.NB), row.G, row.GLower, row.GUpper);
  }
  EXPECT_NEAR(static_cast<double>(HedgesCorrection(3)), 0.7236012545582676, 1e-15);
  EXPECT_NEAR(static_cast<double>(HedgesCorrection(1000)), 0.9992497811797164, 1e-15);
}

TEST(CohensD, WelchWithTheMeanOfTheVariances) {
  ExpectSize(CohensDWelch(1.5L, 1.2L, 8, 3.0L, 15, 20), 0.6565321642986128, -0.13523072561673555, 1.4330496853407444);
  ExpectSize(CohensDWelch(-2, 0.5L, 6, 2.5L, 6, 5), -1.1094003924504583, -2.384874295292173, 0.24375685331848274);
}

// The noncentral F interval of lambda, turned into eta squared by
// lambda / (lambda + N): brentq on mpmath's Poisson mixture.
TEST(EtaSquared, IntervalFromTheNoncentralF) {
  struct TRow {
    TReal F, Df1, Df2;
    double Eta, Lower, Upper, Omega;
  };
  const TRow rows[] = {
      {5.43L, 2, 27, 0.2868462757527734, 0.020239646958898398, 0.48370584826165847, 0.22799794132784354},
      {1.2L, 3, 40, 0.08256880733944953, 0.0, 0.2179764481136934, 0.013452914798206275},
      {0.5L, 2, 12, 0.07692307692307693, 0.0, 0.3211342617899785, -0.07142857142857142},
      {25, 4, 95, 0.5128205128205128, 0.35255795967705134, 0.6009721183869422, 0.4897959183673469},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "F " << static_cast<double>(row.F));
    ExpectSize(EtaSquared(row.F, row.Df1, row.Df2), row.Eta, row.Lower, row.Upper);
    EXPECT_NEAR(static_cast<double>(OmegaSquared(row.F, row.Df1, row.Df2)), row.Omega, 1e-15);
  }
}

// The figures of small samples by scipy.stats (rank sums, T+ and T-, H,
// Friedman's chi-square, the association of a table).
TEST(EffectSizes, FromRankAndTableStatistics) {
  EXPECT_NEAR(static_cast<double>(RankBiserialMannWhitney(27, 6, 64, 7)), 0.7142857142857142, 1e-15);
  EXPECT_NEAR(static_cast<double>(RankBiserialMannWhitney(64, 7, 27, 6)), -0.7142857142857142, 1e-15);
  EXPECT_NEAR(static_cast<double>(RankBiserialSignedRank(25, -3)), 0.7857142857142857, 1e-15);
  EXPECT_NEAR(static_cast<double>(RankBiserialSignedRank(25, 3)), 0.7857142857142857, 1e-15);
  EXPECT_NEAR(static_cast<double>(EpsilonSquared(8.480769230769234L, 12)), 0.7709790209790213, 1e-14);
  EXPECT_NEAR(static_cast<double>(KendallsW(6.4L, 5, 3)), 0.64, 1e-15);
  EXPECT_NEAR(static_cast<double>(PhiCoefficient(12, 5, 3, 10)), 0.4708709557974187, 1e-15);
  EXPECT_NEAR(static_cast<double>(PhiCoefficient(5, 12, 10, 3)), -0.4708709557974187, 1e-15);
  EXPECT_NEAR(static_cast<double>(CramersV(23.333333333333336L, 105, 2, 3)), 0.4714045207910317, 1e-15);
  EXPECT_NEAR(static_cast<double>(CohensFSquared(0.2L)), 0.25, 1e-15);
  EXPECT_NEAR(static_cast<double>(PartialEtaSquared(30, 90)), 0.25, 1e-15);
}

// What cannot be computed is empty, never a fault or a throw.
TEST(EffectSizes, RefuseUnusableFigures) {
  EXPECT_TRUE(IsEmpty(CohensDOneSample(1, 0, 10).Value));
  EXPECT_TRUE(IsEmpty(CohensDOneSample(1, 1, 1).Value));
  EXPECT_TRUE(IsEmpty(CohensDPooled(1, 0, 5, 0, 5).Value));
  EXPECT_TRUE(IsEmpty(HedgesG(EmptyValue, 1, 5, 1, 5).Value));
  EXPECT_TRUE(IsEmpty(CohensDWelch(1, 1, 5, 1, 5, 0.5L).Lower));
  EXPECT_TRUE(IsEmpty(HedgesCorrection(1)));
  EXPECT_TRUE(IsEmpty(EtaSquared(2, 0, 10).Value));
  EXPECT_TRUE(IsEmpty(RankBiserialSignedRank(0, 0)));
  EXPECT_TRUE(IsEmpty(PhiCoefficient(0, 0, 3, 4)));
  EXPECT_TRUE(IsEmpty(CramersV(3, 50, 1, 4)));
  EXPECT_TRUE(IsEmpty(CohensFSquared(1)));
  EXPECT_TRUE(IsEmpty(EpsilonSquared(3, 1)));
  EXPECT_TRUE(IsEmpty(KendallsW(3, 4, 1)));
}

}  // namespace
}  // namespace ombrel
