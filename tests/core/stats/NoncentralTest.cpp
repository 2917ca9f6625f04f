#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "core/stats/Noncentral.h"

namespace ombrel {
namespace {

// Both tails of the noncentral t from scipy.stats.nct
// (tools/expected/effect_sizes.py; the first row agrees with mpmath's own
// quadrature to 20 digits). Absolute tolerance 1e-12; the tiny upper tail of
// the df 10,000 row is checked relative to itself.
TEST(NoncentralTTails, MatchesIndependentValues) {
  struct TRow {
    TReal T;
    TReal Df;
    TReal Delta;
    double Lower;
    double Upper;
  };
  const TRow rows[] = {
      {2, 10, 1, 0.8076115625303752, 0.19238843746962478},
      {3.26L, 14, 0, 0.997150898472183, 0.0028491015278170164},
      {-1, 1, 2, 0.00618576013466221, 0.9938142398653378},
      {1.5L, 1, 0, 0.8128329581890011, 0.18716704181099886},
      {10, 2, 1, 0.9812343783449522, 0.018765621655047755},
      {5, 100, 4, 0.824101702070467, 0.17589829792953307},
      {-40, 3, -45, 0.7153586236630685, 0.2846413763369315},
      {0.5L, 30, -0.5L, 0.8398400163511772, 0.16015998364882278},
      {60, 10000, 50, 1.0, 1.6264380942320696e-20},
      {-55, 10000, -50, 1.5819582826469016e-06, 0.9999984180417174},
      {48, 5, 50, 0.3665451233888778, 0.6334548766111222},
      {2.2L, 4000, 2.0L, 0.579182301196032, 0.420817698803968},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "t " << static_cast<double>(row.T) << " df " << static_cast<double>(row.Df)
                                    << " delta " << static_cast<double>(row.Delta));
    const TTails tails = NoncentralTTails(row.T, row.Df, row.Delta);
    EXPECT_NEAR(static_cast<double>(tails.Lower), row.Lower, 1e-12);
    EXPECT_NEAR(static_cast<double>(tails.Upper), row.Upper, std::min(1e-12, row.Upper * 1e-9));
  }
}

// Limits whose tails at t are 2.5% (scipy brentq on scipy.stats.nct).
TEST(NoncentralTInterval, MatchesIndependentLimits) {
  struct TRow {
    TReal T;
    TReal Df;
    double Lower;
    double Upper;
  };
  const TRow rows[] = {
      {3.26L, 14, 0.9217777732082293, 5.513981458997262},    {0, 9, -1.959963984540054, 1.9599639845400538},
      {-2.5L, 20, -4.578713550001155, -0.36731384297536224}, {1.2L, 1, -1.3472481533801195, 3.5002785836807506},
      {12, 40, 8.699319759650061, 15.243615391290676},       {0.8L, 3000, -1.1601351616058473, 2.760001847300689},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "t " << static_cast<double>(row.T) << " df " << static_cast<double>(row.Df));
    const TInterval interval = NoncentralTInterval(row.T, row.Df);
    EXPECT_NEAR(static_cast<double>(interval.Lower), row.Lower, 1e-9);
    EXPECT_NEAR(static_cast<double>(interval.Upper), row.Upper, 1e-9);
  }
}

// Both tails of the noncentral F by mpmath's Poisson mixture at 30 digits.
TEST(NoncentralFTails, MatchesIndependentValues) {
  struct TRow {
    TReal F;
    TReal Df1;
    TReal Df2;
    TReal Lambda;
    double Lower;
    double Upper;
  };
  const TRow rows[] = {
      {3.5L, 2, 27, 5, 0.5632712702660186, 0.43672872973398136},
      {3.5L, 2, 27, 0, 0.9554912460535998, 0.044508753946400234},
      {1, 1, 10, 0.5L, 0.5530460939369689, 0.44695390606303104},
      {20, 4, 60, 40, 0.9676516134544777, 0.032348386545522245},
      {0.2L, 3, 12, 8, 0.0032889099244085636, 0.9967110900755914},
      {8, 2, 1000, 300, 8.566221626395069e-41, 1.0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "F " << static_cast<double>(row.F) << " lambda "
                                    << static_cast<double>(row.Lambda));
    const TTails tails = NoncentralFTails(row.F, row.Df1, row.Df2, row.Lambda);
    EXPECT_NEAR(static_cast<double>(tails.Lower), row.Lower, std::max(1e-13, row.Lower * 1e-12));
    EXPECT_NEAR(static_cast<double>(tails.Upper), row.Upper, 1e-13);
  }
}

// Arguments outside the domains give the marker, and no computation leaves
// a fault flag behind for the analysis frame to find.
TEST(Noncentral, RefusesWithoutRaisingFaultFlags) {
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_TRUE(IsEmpty(NoncentralTTails(1, 0.5L, 0).Lower));
  EXPECT_TRUE(IsEmpty(NoncentralTTails(NAN, 5, 0).Upper));
  EXPECT_TRUE(IsEmpty(NoncentralTInterval(1, 5, 1).Lower));
  EXPECT_TRUE(IsEmpty(NoncentralFTails(-1, 2, 5, 1).Lower));
  EXPECT_TRUE(IsEmpty(NoncentralFTails(1, 2, 0, 1).Lower));
  EXPECT_TRUE(IsEmpty(RegularizedBeta(0, 1, 0.5L).Lower));
  const TInterval huge = NoncentralTInterval(1e6L, 2);
  EXPECT_TRUE(IsEmpty(huge.Lower) || huge.Lower > 0);
  const TInterval wide = NoncentralFInterval(1e9L, 3, 10);
  EXPECT_TRUE(IsEmpty(wide.Upper) || wide.Upper > 0);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

}  // namespace
}  // namespace ombrel
