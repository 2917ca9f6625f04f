#include <gtest/gtest.h>

#include <cmath>

#include "core/analysis/TwoByTwo.h"

// Expected values in this file were computed independently in python3:
// exact rationals (fractions, math.comb) for table probabilities, Fisher's
// tails and chi-square statistics; mpmath 1.3 at 40 digits for chi-square
// tails, intervals and the exact Clopper-Pearson limits.

namespace ombrel {
namespace {

double Relative(long double value) { return static_cast<double>(std::fabs(value)); }

TTwoByTwoResult Compute(long double a, long double b, long double c, long double d, TTwoByTwoRequest request) {
  request.A = a;
  request.B = b;
  request.C = c;
  request.D = d;
  return ComputeTwoByTwo(request);
}

TEST(TableProbability, MatchesExactHypergeometricUpToTwoThousand) {
  struct Row {
    int S, R, Q, P;
    long double Expected;  // C(s+r, s) C(q+p, q) / C(N, s+q)
  };
  const Row rows[] = {
      {3, 1, 1, 3, 0.2285714285714285714286L},
      {10, 3, 4, 12, 0.006711298633449013367413L},
      {0, 7, 9, 0, 0.00008741258741258741258741L},
      {520, 480, 470, 530, 0.002931586311819358820311L},
      {13, 250, 700, 1037, 2.377097344688344439218e-36L},
      {1000, 0, 0, 1000, 4.882451019848891273011e-601L},  // 1 / C(2000, 1000)
      {1, 1999, 0, 0, 1.0L},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.S << " " << row.R << " " << row.Q << " " << row.P);
    const long double value = table_probability(row.S, row.R, row.Q, row.P);
    EXPECT_LT(Relative(value / row.Expected - 1), 1e-15) << static_cast<double>(value / row.Expected);
  }
}

TEST(FisherExact, MatchesExactTails) {
  struct Row {
    int A, B, C, D;
    long double OneTailed;
    long double TwoTailed;
    std::int64_t Arrangements = 0;  // tables with the observed margins, where checked
  };
  // One-sided: the tail on the observed side. Two-sided: the tables at most
  // as probable as the observed one, or twice the one-sided P when two
  // margins are equal (marked "equal"), at most 1.
  const Row rows[] = {
      {10, 3, 4, 12, 0.007294804610078861498044L, 0.009220570313398512302156L, 14},
      {5, 0, 3, 7, 0.01864801864801864801865L, 0.02564102564102564102564L},
      {2, 7, 8, 2, 0.01852172595206650934205L, 0.02301413756522115655243L},
      {3, 1, 1, 3, 0.2428571428571428571429L, 0.4857142857142857142857L, 5},    // equal
      {1, 9, 11, 3, 0.001379728092610041728362L, 0.002759456185220083456724L},  // equal
      {0, 5, 5, 0, 0.003968253968253968253968L, 0.007936507936507936507937L},   // equal
      {5, 0, 0, 5, 0.003968253968253968253968L, 0.007936507936507936507937L},   // equal
      {12, 5, 3, 14, 0.00244789628646087513428L, 0.004895792572921750268561L},  // equal
      {5, 5, 5, 5, 0.671859100651670311113L, 1.0L},                             // equal, capped
      {0, 1, 1, 0, 0.5L, 1.0L},                                                 // equal, capped
      {530, 470, 480, 519, 0.01501295443537699316815L, 0.02839369637067839989009L},
      {13, 250, 700, 1037, 2.572893972858605796445e-36L, 4.889459050563117454255e-36L, 264},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.A << " " << row.B << " " << row.C << " " << row.D);
    const TFisherResult result = fisher_exact(row.A, row.B, row.C, row.D);
    EXPECT_LT(Relative(result.OneTailed / row.OneTailed - 1), 1e-14) << static_cast<double>(result.OneTailed);
    EXPECT_LT(Relative(result.TwoTailed / row.TwoTailed - 1), 1e-14) << static_cast<double>(result.TwoTailed);
    EXPECT_LE(result.TwoTailed, 1.0L);
    const bool equalMargins = row.A + row.B == row.C + row.D || row.A + row.C == row.B + row.D;
    EXPECT_EQ(result.TwoSidedMethod,
              equalMargins ? TFisherTwoSided::DoubledOneSided : TFisherTwoSided::SumOfSmallerProbabilities);
    if (row.Arrangements != 0) {
      EXPECT_EQ(result.Arrangements, row.Arrangements);
    }
  }
}

TEST(BinomialCi, FollowsBisectedFQuantilesAndApproachesClopperPearson) {
  struct Row {
    long double N, X;
    long double Lower, Upper;       // the same bisection on the exact F tail
    double ExactLower, ExactUpper;  // exact Clopper-Pearson limits
  };
  const Row rows[] = {
      {12, 6, 0.2109021007826445146231L, 0.7890978992173554853769L, 0.2109446382, 0.7890553618},
      {5, 5, 0.4782811770200840728631L, 1.0L, 0.4781762499, 1},
      {10, 0, 0.0L, 0.3083417764268828098615L, 0, 0.3084971078},
      {45, 40, 0.7593059469079044935489L, 0.9629318583301960557181L, 0.7594641915, 0.9629233387},
      {55, 5, 0.03016235831939109739143L, 0.199299386963593144001L, 0.03018086785, 0.1995396158},
      {20, 7, 0.1540312876052948255114L, 0.5925563173359451518119L, 0.1539092048, 0.5921885345},
      {1, 1, 0.02500061036646402500061L, 1.0L, 0.025, 1},
      {1, 0, 0.0L, 0.9749993896335359749994L, 0, 0.975},
      {1000, 1, 0.00002531769253759034509795L, 0.005560437680325382814748L, 2.531748749e-5, 0.00555892428},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(row.X) << " of " << static_cast<double>(row.N));
    const TInterval interval = binomial_ci(row.N, row.X);
    EXPECT_NEAR(static_cast<double>(interval.Lower), static_cast<double>(row.Lower), 1e-15);
    EXPECT_NEAR(static_cast<double>(interval.Upper), static_cast<double>(row.Upper), 1e-15);
    // The F quantiles are bisected to 0.01 only.
    EXPECT_NEAR(static_cast<double>(interval.Lower), row.ExactLower, 5e-4);
    EXPECT_NEAR(static_cast<double>(interval.Upper), row.ExactUpper, 5e-4);
  }
}

TEST(TwoByTwoChiSquare, MatchesExactStatisticsAndTails) {
  struct Row {
    long double A, B, C, D;
    bool Yates;
    long double ChiSquare;  // Yates: N (|AD - BC| - N/2)^2 / (margins) when |AD - BC| / N > 1/2
    double P;
  };
  const Row rows[] = {
      {15, 10, 5, 10, false, 2.666666666666666666667L, 0.10247043485974942769},
      {15, 10, 5, 10, true, 1.706666666666666666667L, 0.19141842523760726861},
      {30, 20, 18, 32, false, 5.769230769230769230769L, 0.016309171877754978471},
      {30, 20, 18, 32, true, 4.84775641025641025641L, 0.027682116497835529234},
      {1000, 500, 300, 201, false, 7.599711145031346283621L, 0.0058377652720331533561},
      {1000, 500, 300, 201, true, 7.304459007658993436369L, 0.0068783702918340182875},
      {12, 13, 14, 11, true, 0.08012820512820512820513L, 0.77712374635726241828},
      {11, 11, 11, 11, true, 0.0L, 1.0},
      {3, 1, 1, 3, true, 0.5L, 0.47950012218695346232},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(row.A) << " " << static_cast<double>(row.B) << " "
                                    << static_cast<double>(row.C) << " " << static_cast<double>(row.D)
                                    << (row.Yates ? " Yates" : ""));
    const TTwoByTwoResult result =
        Compute(row.A, row.B, row.C, row.D, {.Test = TTwoByTwoTest::ChiSquare, .Yates = row.Yates});
    ASSERT_TRUE(result.ChiSquare);
    EXPECT_NEAR(static_cast<double>(result.ChiSquare->ChiSquare), static_cast<double>(row.ChiSquare),
                1e-15 * static_cast<double>(row.ChiSquare) + 1e-18);
    EXPECT_NEAR(static_cast<double>(result.ChiSquare->TwoTailedP), row.P, 1e-6 * row.P);
    EXPECT_EQ(result.ChiSquare->OneTailedP, result.ChiSquare->TwoTailedP / 2);
  }
}

TEST(TwoByTwoChiSquare, WarnsOfSmallValuesUnlessLargeEnough) {
  struct Row {
    long double A, B, C, D;
    bool Warning;
  };
  const Row rows[] = {
      {15, 10, 5, 10, true},    // N = 40 always warns
      {12, 13, 14, 11, false},  // N = 50, every A(A+B)/N-like product > 5
      {11, 11, 11, 11, false},  // 11 * 22 / 44 = 5.5
      {12, 10, 10, 12, true},   // 10 * 22 / 44 = 5 is not above 5
      {1990, 5, 1, 3, true},    // N = 1999, small products
      {1990, 5, 1, 4, false},   // N = 2000 never warns
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(row.A) << " " << static_cast<double>(row.B) << " "
                                    << static_cast<double>(row.C) << " " << static_cast<double>(row.D));
    const TTwoByTwoResult result = Compute(row.A, row.B, row.C, row.D, {.Test = TTwoByTwoTest::ChiSquare});
    ASSERT_TRUE(result.ChiSquare);
    EXPECT_EQ(result.ChiSquare->SmallValuesWarning, row.Warning);
  }
}

TEST(CheckTwoByTwoCounts, LastApplyingCodeWins) {
  struct Row {
    long double A, B, C, D;
    TStatusCode Code;
  };
  const Row rows[] = {
      {1, 2, 3, 4, TStatusCode::Ok},
      {EmptyValue, 2, 3, 4, TStatusCode::MissingCount},
      {2.5L, -1, 3, 4, TStatusCode::Negative},  // a fraction, then a negative count
      {2.5L, 2, 3, 4, TStatusCode::Fraction},
      {-1, 2, 3, 4, TStatusCode::Negative},
      {-2.5L, 2, 3, 4, TStatusCode::Negative},
      {0, 0, 3, 4, TStatusCode::ZeroRow},
      {-1, 1, 3, 4, TStatusCode::ZeroRow},  // negative, then a row total of 0
      {2.5L, -2.5L, 3, 4, TStatusCode::ZeroRow},
      {0, 2, 0, 4, TStatusCode::ZeroColumn},
      {0, 0, 0, 4, TStatusCode::ZeroColumn},  // a zero row and a zero column: the column wins
      {1, 2, EmptyValue, -1, TStatusCode::MissingCount},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(row.A) << " " << static_cast<double>(row.B) << " "
                                    << static_cast<double>(row.C) << " " << static_cast<double>(row.D));
    EXPECT_EQ(CheckTwoByTwoCounts(row.A, row.B, row.C, row.D), row.Code);
  }
}

TEST(TwoByTwoEstimates, RelativeRiskAndOddsRatioWithIntervals) {
  struct Row {
    long double A, B, C, D;
    long double Risk, RiskLower, RiskUpper;  // Katz
    long double Odds, OddsLower, OddsUpper;  // Woolf, 0.5 added when a count is 0
  };
  const Row rows[] = {
      {10, 3, 4, 12, 3.0769230769230769231L, 1.2514541508010899569L, 7.5651637858577546902L, 10.0L,
       1.7968326736987502998L, 55.653484859083542929L},
      {30, 20, 18, 32, 1.6666666666666666667L, 1.0804244701466324988L, 2.5710059837878206756L, 2.6666666666666666667L,
       1.1878978193519913751L, 5.9862986489783138645L},
      {5, 0, 3, 7, 0, 0, 0, 23.571428571428571429L, 0.99838097140780836423L, 556.51325577098606696L},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(row.A) << " " << static_cast<double>(row.B) << " "
                                    << static_cast<double>(row.C) << " " << static_cast<double>(row.D));
    const TTwoByTwoResult result = Compute(row.A, row.B, row.C, row.D, {.RelativeRisk = true, .OddsRatio = true});
    ASSERT_TRUE(result.RelativeRisk && result.OddsRatio);
    EXPECT_NEAR(static_cast<double>(result.OddsRatio->OddsRatio), static_cast<double>(row.Odds),
                1e-15 * static_cast<double>(row.Odds));
    EXPECT_NEAR(static_cast<double>(result.OddsRatio->Interval.Lower), static_cast<double>(row.OddsLower),
                1e-14 * static_cast<double>(row.OddsLower));
    EXPECT_NEAR(static_cast<double>(result.OddsRatio->Interval.Upper), static_cast<double>(row.OddsUpper),
                1e-14 * static_cast<double>(row.OddsUpper));
    EXPECT_EQ(result.OddsRatio->HalfAdded, row.B == 0);
    if (row.B == 0) continue;  // relative risk of that row: see the next test
    EXPECT_NEAR(static_cast<double>(result.RelativeRisk->RelativeRisk), static_cast<double>(row.Risk),
                1e-15 * static_cast<double>(row.Risk));
    EXPECT_NEAR(static_cast<double>(result.RelativeRisk->Interval.Lower), static_cast<double>(row.RiskLower),
                1e-14 * static_cast<double>(row.RiskLower));
    EXPECT_NEAR(static_cast<double>(result.RelativeRisk->Interval.Upper), static_cast<double>(row.RiskUpper),
                1e-14 * static_cast<double>(row.RiskUpper));
  }
}

TEST(TwoByTwoEstimates, InfiniteRelativeRiskIsTheEmptyMarkerNotAFault) {
  const TTwoByTwoRequest choices{.RelativeRisk = true};
  // C = 0: the risk is infinite and the interval open on both sides.
  TTwoByTwoResult result = Compute(5, 5, 0, 10, choices);
  ASSERT_TRUE(result.RelativeRisk);
  EXPECT_EQ(result.RelativeRisk->RelativeRisk, EmptyValue);
  EXPECT_EQ(result.RelativeRisk->Interval.Lower, -EmptyValue);
  EXPECT_EQ(result.RelativeRisk->Interval.Upper, EmptyValue);
  // A = 0: the risk is 0, the interval again open.
  result = Compute(0, 5, 3, 7, choices);
  EXPECT_EQ(result.RelativeRisk->RelativeRisk, 0);
  EXPECT_EQ(result.RelativeRisk->Interval.Lower, -EmptyValue);
  EXPECT_EQ(result.RelativeRisk->Interval.Upper, EmptyValue);
}

TEST(TwoByTwoEstimates, DifferenceShowsIntervalsOnlyAboveFive) {
  const TTwoByTwoRequest choices{.Difference = true};
  TTwoByTwoResult result = Compute(6, 6, 3, 9, choices);
  ASSERT_TRUE(result.Difference);
  EXPECT_EQ(result.Difference->TopFraction, 0.5L);
  EXPECT_EQ(result.Difference->BottomFraction, 0.25L);
  EXPECT_EQ(result.Difference->Difference, 0.25L);
  ASSERT_TRUE(result.Difference->TopInterval);
  EXPECT_NEAR(static_cast<double>(result.Difference->TopInterval->Lower), 0.21090210078264451462, 1e-15);
  EXPECT_FALSE(result.Difference->BottomInterval);
  EXPECT_FALSE(result.Difference->StandardError);
  EXPECT_FALSE(result.Difference->Interval);

  result = Compute(30, 20, 18, 32, choices);
  ASSERT_TRUE(result.Difference->StandardError && result.Difference->Interval && result.Difference->BottomInterval);
  EXPECT_NEAR(static_cast<double>(*result.Difference->StandardError), 0.099919967974374371294, 1e-16);
  EXPECT_NEAR(static_cast<double>(result.Difference->Interval->Lower), 0.044111976852108742176, 1e-16);
  EXPECT_NEAR(static_cast<double>(result.Difference->Interval->Upper), 0.43588802314789125782, 1e-16);
  EXPECT_NEAR(static_cast<double>(result.Difference->BottomInterval->Lower), 0.22942494398805078417, 1e-15);
  EXPECT_NEAR(static_cast<double>(result.Difference->BottomInterval->Upper), 0.50789932119901483751, 1e-15);
}

TEST(TwoByTwoEstimates, DiagnosticFiguresAndAnInfiniteLikelihoodRatio) {
  const TTwoByTwoRequest choices{.Sensitivity = true};
  TTwoByTwoResult result = Compute(40, 10, 5, 45, choices);
  ASSERT_TRUE(result.Diagnostic);
  const TDiagnosticFigures& figures = *result.Diagnostic;
  EXPECT_NEAR(static_cast<double>(figures.Sensitivity.Value), 0.88888888888888888889, 1e-16);
  EXPECT_NEAR(static_cast<double>(figures.Specificity.Interval.Lower), 0.69068889022123628515, 1e-15);
  EXPECT_NEAR(static_cast<double>(figures.Specificity.Interval.Upper), 0.90916187637499112909, 1e-15);
  EXPECT_NEAR(static_cast<double>(figures.NegativePredictive.Interval.Lower), 0.78207739307535641548, 1e-15);
  EXPECT_NEAR(static_cast<double>(figures.LikelihoodRatio), 4.8888888888888888889, 1e-15);

  // No false positives: specificity 1 and an infinite likelihood ratio.
  result = Compute(5, 0, 0, 5, choices);
  EXPECT_EQ(result.Diagnostic->Specificity.Value, 1);
  EXPECT_EQ(result.Diagnostic->LikelihoodRatio, EmptyValue);
}

TEST(TwoByTwoFisher, LargeTablesFallBackToChiSquare) {
  const TTwoByTwoRequest choices;                                  // Fisher, two-sided, Yates
  TTwoByTwoResult result = Compute(1000, 500, 300, 200, choices);  // N = 2000
  EXPECT_TRUE(result.Fisher);
  EXPECT_FALSE(result.FisherTooLarge);
  EXPECT_FALSE(result.ChiSquare);
  result = Compute(1000, 500, 300, 201, choices);  // N = 2001
  EXPECT_FALSE(result.Fisher);
  EXPECT_TRUE(result.FisherTooLarge);
  ASSERT_TRUE(result.ChiSquare);
  EXPECT_NEAR(static_cast<double>(result.ChiSquare->ChiSquare), 7.304459007658993436369, 1e-14);
}

// Phi of the effect section, against the Pearson correlation of the two
// categories over the subjects (tools/expected/contingency_effect_sizes.py).
TEST(TwoByTwoEffectSize, PhiIsTheSignedCorrelationOfTheCategories) {
  struct Row {
    long double A, B, C, D;
    double Phi;
  };
  const Row rows[] = {
      {10, 3, 4, 12, 0.516752326586893},
      {30, 20, 18, 32, 0.2401922307076306},
      {5, 0, 3, 7, 0.6614378277661478},
      {1000, 500, 300, 201, 0.06162756359145573},
      {0, 5, 5, 0, -1.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(row.A) << " " << static_cast<double>(row.B) << " "
                                    << static_cast<double>(row.C) << " " << static_cast<double>(row.D));
    EXPECT_NEAR(static_cast<double>(Compute(row.A, row.B, row.C, row.D, {}).Phi), row.Phi, 1e-14);
  }
}

}  // namespace
}  // namespace ombrel
