#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/stats/CriticalTables.h"

namespace ombrel {
namespace {

constexpr std::size_t InfiniteRangeRow = RangeTableDF.size() - 1;
constexpr std::size_t InfiniteDunnettRow = DunnettTableDF.size() - 1;

TEST(CriticalTables, HoldThePublishedEntries) {
  struct TRow {
    const char* Name;
    TReal Stored;
    TReal Published;
  };
  const TRow rows[] = {
      {"q(5%; 2, 1)", StudentizedRangeEntry(TCriticalLevel::Five, 0, 0), 17.97L},
      {"q(5%; 2, 2)", StudentizedRangeEntry(TCriticalLevel::Five, 1, 0), 6.085L},
      {"q(5%; 2, inf)", StudentizedRangeEntry(TCriticalLevel::Five, InfiniteRangeRow, 0), 2.772L},
      {"q(1%; 2, 1)", StudentizedRangeEntry(TCriticalLevel::One, 0, 0), 90.03L},
      {"q(0.1%; 2, 1)", StudentizedRangeEntry(TCriticalLevel::PointOne, 0, 0), 900.3L},
      {"q(0.1%; 2, 2)", StudentizedRangeEntry(TCriticalLevel::PointOne, 1, 0), 44.69L},
      {"two-sided 5%, k 2, df 5", DunnettEntry(true, TCriticalLevel::Five, 0, 0), 2.57L},
      {"two-sided 5%, k 2, df inf", DunnettEntry(true, TCriticalLevel::Five, InfiniteDunnettRow, 0), 1.96L},
      {"one-sided 5%, k 2, df 5", DunnettEntry(false, TCriticalLevel::Five, 0, 0), 2.02L},
      {"two-sided 1%, k 2, df 5", DunnettEntry(true, TCriticalLevel::One, 0, 0), 4.03L},
      {"one-sided 1%, k 2, df inf", DunnettEntry(false, TCriticalLevel::One, InfiniteDunnettRow, 0), 2.33L},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_NEAR(static_cast<double>(row.Stored), static_cast<double>(row.Published), 1e-12);
  }
}

// With two means the Studentized range is sqrt 2 |t|, so q(a; 2, df) =
// sqrt 2 t(a/2; df). Expected values: mpmath at 30 digits (t quantile by
// bisection on the regularized incomplete beta function), one per df row,
// the last being the normal limit.
TEST(CriticalTables, TwoMeansAreStudentsTimesRootTwo) {
  struct TLevel {
    TCriticalLevel Level;
    std::array<double, 26> Exact;
  };
  const TLevel levels[] = {
      {TCriticalLevel::Five, {17.96928706, 6.084869845, 4.500658726, 3.926486323, 3.635351695, 3.460455926, 3.344083687,
                              3.261182323, 3.19917334,  3.151064183, 3.112663064, 3.081306654, 3.055222654, 3.033186422,
                              3.014324855, 2.997998825, 2.983729804, 2.971152443, 2.959983004, 2.949997798, 2.918793337,
                              2.888209406, 2.858232228, 2.828848309, 2.800044431, 2.771807649}},
      {TCriticalLevel::One, {90.02422669, 14.03584786, 8.260293162, 6.51117341,  5.702311293, 5.243094989, 4.94901674,
                             4.745234271, 4.595961498, 4.482028396, 4.392273696, 4.319771314, 4.260001345, 4.209891368,
                             4.167281324, 4.130608983, 4.098716908, 4.070729555, 4.045972522, 4.023918007, 3.955469781,
                             3.88908115,  3.824682975, 3.762208339, 3.701592482, 3.642772735}},
      {TCriticalLevel::PointOne,
       {900.3155757, 44.68781154, 18.27726587, 12.17680527, 9.713987772, 8.427038656, 7.647900805,
        7.129482516, 6.76123142,  6.486847504, 6.274836356, 6.106278993, 5.969157474, 5.855486361,
        5.759759776, 5.678062259, 5.607535351, 5.546044713, 5.491965225, 5.444038125, 5.296793524,
        5.15616415,  5.021823939, 4.893462432, 4.770784072, 4.653507531}},
  };
  for (const TLevel& level : levels) {
    for (std::size_t row = 0; row < RangeTableDF.size(); ++row) {
      SCOPED_TRACE(testing::Message() << "level " << static_cast<int>(level.Level) << " df " << RangeTableDF[row]);
      // The published 90.03 is the one entry not correctly rounded (90.024).
      const bool published = level.Level == TCriticalLevel::One && row == 0;
      const double unit = static_cast<double>(RangeTableScale(level.Level, row));
      EXPECT_NEAR(static_cast<double>(StudentizedRangeEntry(level.Level, row, 0)), level.Exact[row],
                  (published ? 1.0 : 0.5) * unit + 1e-9);
    }
  }
}

// Dunnett's statistic with one comparison is Student's t: two-sided t(a/2)
// and one-sided t(a). Expected values: mpmath as above, df 5 to 20, 24, 30,
// 40, 60, 120 and the normal limit.
TEST(CriticalTables, DunnettWithOneComparisonIsStudentsT) {
  struct TColumn {
    bool TwoTailed;
    TCriticalLevel Level;
    std::array<double, 22> Exact;
  };
  const TColumn columns[] = {
      {true, TCriticalLevel::Five, {2.570581836, 2.446911851, 2.364624252, 2.306004135, 2.262157163, 2.228138852,
                                    2.20098516,  2.17881283,  2.160368656, 2.144786688, 2.131449546, 2.119905299,
                                    2.109815578, 2.10092204,  2.093024054, 2.085963447, 2.063898562, 2.042272456,
                                    2.02107539,  2.000297822, 1.979930405, 1.959963985}},
      {false, TCriticalLevel::Five, {2.015048373, 1.943180281, 1.894578605, 1.859548038, 1.833112933, 1.812461123,
                                     1.795884819, 1.782287556, 1.770933396, 1.761310136, 1.753050356, 1.745883676,
                                     1.739606726, 1.734063607, 1.729132812, 1.724718243, 1.71088208,  1.697260887,
                                     1.683851013, 1.670648865, 1.657650899, 1.644853627}},
      {true, TCriticalLevel::One, {4.032142984, 3.707428021, 3.499483297, 3.355387331, 3.249835542, 3.169272673,
                                   3.105806516, 3.054539589, 3.012275839, 2.976842734, 2.946712883, 2.920781622,
                                   2.89823052,  2.878440473, 2.860934606, 2.84533971,  2.796939505, 2.749995654,
                                   2.704459267, 2.660283029, 2.617421145, 2.575829304}},
      {false, TCriticalLevel::One, {3.364929999, 3.142668403, 2.997951567, 2.896459448, 2.821437925, 2.763769458,
                                    2.718079184, 2.680997993, 2.650308838, 2.624494068, 2.602480295, 2.583487185,
                                    2.566933984, 2.55237963,  2.539483191, 2.527977003, 2.492159473, 2.457261542,
                                    2.423256779, 2.390119473, 2.357824613, 2.326347874}},
  };
  for (const TColumn& column : columns) {
    for (std::size_t row = 0; row < DunnettTableDF.size(); ++row) {
      SCOPED_TRACE(testing::Message() << (column.TwoTailed ? "two" : "one") << "-sided, level "
                                      << static_cast<int>(column.Level) << ", df " << DunnettTableDF[row]);
      EXPECT_NEAR(static_cast<double>(DunnettEntry(column.TwoTailed, column.Level, row, 0)), column.Exact[row],
                  0.005 + 1e-9);
    }
  }
}

// Entries for more than two means, against an independent computation:
// mpmath quadrature of the range distribution (20 digits), q rounded to the
// stored unit of 0.001. For the finite df rows mpmath gave the tail on both
// sides of the rounded value: P(Q > 3.8765) = 0.050016 and P(Q > 3.8775) =
// 0.049958 for 3 means and df 10; P(Q > 5.0175) = 0.010008 and
// P(Q > 5.0185) = 0.009992 for 4 means and df 20.
TEST(CriticalTables, MoreMeansAgreeWithAnIndependentIntegration) {
  struct TRow {
    TCriticalLevel Level;
    std::size_t Row;
    std::int32_t Means;
    double Exact;
  };
  const TRow rows[] = {
      {TCriticalLevel::Five, InfiniteRangeRow, 3, 3.31449316},
      {TCriticalLevel::Five, InfiniteRangeRow, 10, 4.47412422},
      {TCriticalLevel::One, InfiniteRangeRow, 5, 4.60282104},
      {TCriticalLevel::PointOne, InfiniteRangeRow, 20, 6.41118736},
      {TCriticalLevel::Five, InfiniteRangeRow, 100, 6.08463754},
      {TCriticalLevel::Five, 9, 3, 3.877},
      {TCriticalLevel::One, 19, 4, 5.018},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "level " << static_cast<int>(row.Level) << " df " << RangeTableDF[row.Row]
                                    << " means " << row.Means);
    std::size_t column = 0;
    while (RangeTableMeans[column] != row.Means) ++column;
    EXPECT_NEAR(static_cast<double>(StudentizedRangeEntry(row.Level, row.Row, column)), row.Exact, 0.0005 + 1e-9);
  }
}

// A larger table never falls as the number of means or groups grows, nor
// rises as the degrees of freedom grow.
template <class TEntry>
void ExpectMonotone(std::size_t rows, std::size_t columns, const TEntry& entry) {
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
      if (column > 0) {
        EXPECT_GE(entry(row, column), entry(row, column - 1));
      }
      if (row > 0) {
        EXPECT_LE(entry(row, column), entry(row - 1, column));
      }
    }
  }
}

TEST(CriticalTables, GrowWithMeansAndFallWithDegreesOfFreedom) {
  for (const TCriticalLevel level : {TCriticalLevel::Five, TCriticalLevel::One, TCriticalLevel::PointOne}) {
    SCOPED_TRACE(testing::Message() << "range level " << static_cast<int>(level));
    ExpectMonotone(RangeTableDF.size(), RangeTableMeans.size(),
                   [level](std::size_t r, std::size_t c) { return StudentizedRangeEntry(level, r, c); });
  }
  for (const TCriticalLevel level : {TCriticalLevel::Five, TCriticalLevel::One}) {
    for (const bool twoTailed : {true, false}) {
      SCOPED_TRACE(testing::Message() << "Dunnett level " << static_cast<int>(level) << " two-sided " << twoTailed);
      ExpectMonotone(DunnettTableDF.size(), twoTailed ? DunnettTwoTailedGroups.size() : DunnettOneTailedGroups.size(),
                     [level, twoTailed](std::size_t r, std::size_t c) { return DunnettEntry(twoTailed, level, r, c); });
    }
  }
}

// Interpolation rules. Expected values are worked by hand from the stored
// entries they name (5% table: q(2; 24) = 2.919, q(2; 30) = 2.888,
// q(2; 120) = 2.800, q(2; inf) = 2.772, q(20; 10) = 6.467, q(22; 10) = 6.582,
// q(20; 24) = 5.594, q(22; 24) = 5.683, q(20; 30) = 5.475, q(22; 30) = 5.561,
// q(100; 10) = 8.276, q(100; inf) = 6.085; Dunnett two-sided 5%, df 10:
// k 13 = 3.36, k 16 = 3.45, k 21 = 3.57; one-sided 5%, df 10, k 10 = 2.81).
TEST(CriticalQ, ReadsAndInterpolatesTheTable) {
  struct TRow {
    const char* Name;
    TCriticalValue Found;
    double Expected;
    bool Beyond;
  };
  const TRow rows[] = {
      {"listed", CriticalQ(10, 3, TCriticalLevel::Five), 3.877, false},
      {"df between rows", CriticalQ(25, 2, TCriticalLevel::Five), 2.919 + (1.0 / 6.0) * (2.888 - 2.919), false},
      {"df between 120 and infinity", CriticalQ(310, 2, TCriticalLevel::Five),
       2.800 + (190.0 / 380.0) * (2.772 - 2.800), false},
      {"df 500 is the infinite row", CriticalQ(500, 2, TCriticalLevel::Five), 2.772, false},
      {"df beyond 500", CriticalQ(1000, 2, TCriticalLevel::Five), 2.772, false},
      {"means between columns", CriticalQ(10, 21, TCriticalLevel::Five), (6.467 + 6.582) / 2, false},
      {"neither listed", CriticalQ(25, 21, TCriticalLevel::Five),
       ((5.594 + (5.475 - 5.594) / 6) + (5.683 + (5.561 - 5.683) / 6)) / 2, false},
      {"means between columns at infinity", CriticalQ(2000, 2, TCriticalLevel::Five), 2.772, false},
      {"more means than the table", CriticalQ(10, 101, TCriticalLevel::Five), 8.276, true},
      {"more means at infinity", CriticalQ(100000, 150, TCriticalLevel::Five), 6.085, true},
      {"Dunnett between columns", CriticalDunnett(10, 14, true, TCriticalLevel::Five), 3.36 + (3.45 - 3.36) / 3, false},
      {"Dunnett two-sided, 21 groups", CriticalDunnett(10, 21, true, TCriticalLevel::Five), 3.57, false},
      {"Dunnett two-sided, 26 groups", CriticalDunnett(10, 26, true, TCriticalLevel::Five), 3.57, true},
      {"Dunnett one-sided, 11 groups", CriticalDunnett(10, 11, false, TCriticalLevel::Five), 2.81, true},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_NEAR(static_cast<double>(row.Found.Value), row.Expected, 1e-12);
    EXPECT_EQ(row.Found.BeyondTable, row.Beyond);
  }
}

}  // namespace
}  // namespace ombrel
