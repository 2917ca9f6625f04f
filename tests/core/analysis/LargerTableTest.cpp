#include <gtest/gtest.h>

#include <vector>

#include "core/base/DataTable.h"
#include "core/analysis/LargerTable.h"

// Expected statistics computed independently in python3: Pearson's
// chi-square with exact rationals (fractions); the trend statistic as N r^2,
// r the correlation between score and outcome over the N individual
// subjects (a different route to the same statistic); tails with mpmath 1.3.

namespace ombrel {
namespace {

constexpr long double Blank = EmptyValue;

// Fills the table from the given top-left cell; Blank leaves a cell empty.
void Fill(TDataTable& table, const std::vector<std::vector<long double>>& rows, int firstRow = 0, int firstColumn = 0) {
  int row = firstRow;
  for (const std::vector<long double>& values : rows) {
    for (std::size_t j = 0; j < values.size(); ++j)
      if (!IsEmpty(values[j])) table.SetValue(row, firstColumn + static_cast<int>(j), values[j]);
    ++row;
  }
}

TEST(ChiSquareIndependence, MatchesPearsonAndTrendStatistics) {
  struct Row {
    const char* Name;
    std::vector<std::vector<long double>> Counts;
    int FirstRow;
    int FirstColumn;
    long double ChiSquare;
    int DF;
    double P;
    bool Invalid;
    bool HasTrend;
    TTrendCategories Categories;
    long double TrendChiSquare;
    double TrendP;
  };
  const Row rows[] = {
      {"2 x 2: no trend test",
       {{20, 10}, {15, 25}},
       0,
       0,
       5.833333333333333333333L,
       1,
       0.0157252997545053503964,
       false,
       false,
       TTrendCategories::Columns,
       0,
       0},
      {"3 x 2: trend over rows",
       {{10, 20}, {15, 15}, {25, 5}},
       0,
       0,
       15.75L,
       2,
       0.0003801289578694636568311,
       false,
       true,
       TTrendCategories::Rows,
       15.1875L,
       0.00009734567564713251752141},
      {"2 x 4: trend over columns",
       {{5, 10, 15, 20}, {20, 15, 10, 5}},
       3,
       1,
       20.0L,
       3,
       0.0001697424355528264307959,
       false,
       true,
       TTrendCategories::Columns,
       20.0L,
       0.000007744216431044083637676},
      {"empty grid row inside",
       {{10, 20}, {Blank, Blank}, {15, 15}, {25, 5}},
       0,
       0,
       15.75L,
       2,
       0.0003801289578694636568311,
       false,
       true,
       TTrendCategories::Rows,
       13.58035714285714285714L,
       0.000228564744722621165382},
      {"2 of 6 cells expect 5 or fewer",
       {{3, 20, 30}, {5, 25, 25}},
       0,
       0,
       1.47356931233432091065L,
       2,
       0.4786504697581648932033,
       true,
       true,
       TTrendCategories::Columns,
       1.45638950533524208766L,
       0.2275054629950491070622},
      {"3 x 3",
       {{12, 7, 9}, {8, 11, 6}, {5, 9, 14}},
       0,
       0,
       6.952528078817733990148L,
       4,
       0.1384182665643368570875,
       false,
       false,
       TTrendCategories::Columns,
       0,
       0},
      {"chi-square above 1000",
       {{1000, 1}, {1, 1000}},
       0,
       0,
       1994.007992007992007992L,
       1,
       0.0,
       false,
       false,
       TTrendCategories::Columns,
       0,
       0},
      {"one cell expects at most 1, only 2 of 12 at most 5",
       {{1, 0}, {20, 25}, {30, 20}, {25, 30}, {20, 20}, {30, 25}},
       0,
       0,
       4.320875420875420875421L,
       5,
       0.5042011223543361958681,
       true,
       true,
       TTrendCategories::Rows,
       0.09355771973432215476142L,
       0.7597020566486707958894},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    Fill(table, row.Counts, row.FirstRow, row.FirstColumn);
    const TLargerTableResult result = ComputeLargerTable({}, table);
    ASSERT_EQ(result.Status, TStatusCode::Ok);
    EXPECT_EQ(result.DF, row.DF);
    EXPECT_EQ(result.Invalid, row.Invalid);
    EXPECT_NEAR(static_cast<double>(result.ChiSquare), static_cast<double>(row.ChiSquare),
                1e-15 * static_cast<double>(row.ChiSquare));
    EXPECT_NEAR(static_cast<double>(result.P), row.P, 1e-6 * row.P);
    ASSERT_EQ(result.Trend.has_value(), row.HasTrend);
    if (!row.HasTrend) continue;
    EXPECT_EQ(result.Trend->Categories, row.Categories);
    EXPECT_NEAR(static_cast<double>(result.Trend->ChiSquare), static_cast<double>(row.TrendChiSquare),
                1e-15 * static_cast<double>(row.TrendChiSquare));
    EXPECT_NEAR(static_cast<double>(result.Trend->P), row.TrendP, 1e-6 * row.TrendP);
  }
}

TEST(ChiSquareIndependence, ListsEveryRowAndEachColumnInTheTotals) {
  TDataTable table;
  Fill(table, {{10, 20}, {Blank, Blank}, {15, 15}}, 2, 1);
  table.Summary(1).Title = "Yes";
  table.Summary(2).Title = "No";
  const TLargerTableResult result = ComputeLargerTable({}, table);
  ASSERT_EQ(result.Status, TStatusCode::Ok);
  EXPECT_EQ(result.Extent.Rows, 2);
  EXPECT_EQ(result.Extent.Columns, 2);
  EXPECT_EQ(result.N, 60);
  ASSERT_EQ(result.RowTotals.size(), 3u);
  EXPECT_EQ(result.RowTotals[0].Number, 3);
  EXPECT_EQ(result.RowTotals[0].Total, 30);
  EXPECT_EQ(result.RowTotals[0].Percent, 50);
  EXPECT_EQ(result.RowTotals[1].Number, 4);
  EXPECT_EQ(result.RowTotals[1].Total, 0);
  EXPECT_EQ(result.RowTotals[1].Percent, 0);
  ASSERT_EQ(result.ColumnTotals.size(), 2u);
  EXPECT_EQ(result.ColumnTotals[0].Title, "Yes");
  EXPECT_EQ(result.ColumnTotals[0].Total, 25);
  EXPECT_EQ(result.ColumnTotals[1].Title, "No");
  EXPECT_EQ(result.ColumnTotals[1].Total, 35);
}

TEST(ChiSquareIndependence, RefusesTablesItCannotTest) {
  struct Row {
    const char* Name;
    std::vector<std::vector<long double>> Counts;
    TStatusCode Code;
  };
  const Row rows[] = {
      {"second data row lacks a value", {{1, 2, 3}, {4, Blank, 6}, {7, 8, 9}}, TStatusCode::NotRectangular},
      {"a value outside the first row's columns", {{1, 2}, {3, 4, 5}}, TStatusCode::NotRectangular},
      {"a gap inside the first row", {{1, Blank, 3}, {4, 5, 6}}, TStatusCode::NotRectangular},
      {"a fraction", {{1.5L, 2}, {3, 4}}, TStatusCode::Fraction},
      {"a negative count", {{-1, 2}, {3, 4}}, TStatusCode::Negative},
      {"negative in A, then a fraction in B", {{-1, 2.5L}, {3, 4}}, TStatusCode::Fraction},
      {"fraction in A, then negative in B", {{1.5L, -2}, {3, 4}}, TStatusCode::Negative},
      {"a row of zeros", {{0, 0}, {3, 4}}, TStatusCode::ZeroRow},
      {"a column of zeros", {{0, 2}, {0, 4}}, TStatusCode::ZeroColumn},
      {"a zero column, then a zero row", {{0, 0}, {0, 4}}, TStatusCode::ZeroRow},
      {"a zero column after a fraction", {{1.5L, 0}, {2, 0}}, TStatusCode::Fraction},
      {"a zero row after a fraction", {{1.5L, 2}, {0, 0}}, TStatusCode::ZeroRow},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    Fill(table, row.Counts);
    EXPECT_EQ(ComputeLargerTable({}, table).Status, row.Code);
  }
}

TEST(ChiSquareIndependence, ExcludedCellsCountAsBlank) {
  TDataTable table;
  Fill(table, {{1, 2}, {3, 4}});
  table.SetExcluded(1, 1, true);
  EXPECT_EQ(ComputeLargerTable({}, table).Status, TStatusCode::NotRectangular);
  table.ExcludeAllFilled();
  EXPECT_EQ(ComputeLargerTable({}, table).Status, TStatusCode::NoContingencyData);
}

// Cramer's V of the effect section, against SciPy's
// (tools/expected/contingency_effect_sizes.py); a single row has none.
TEST(LargerTableEffectSize, CramersVMatchesSciPy) {
  struct Row {
    std::vector<std::vector<long double>> Counts;
    double V;
  };
  const Row rows[] = {
      {{{20, 10}, {15, 25}}, 0.2886751345948129},
      {{{10, 20}, {15, 15}, {25, 5}}, 0.4183300132670378},
      {{{5, 10, 15, 20}, {20, 15, 10, 5}}, 0.4472135954999579},
      {{{3, 20, 30}, {5, 25, 25}}, 0.11680822017046513},
  };
  for (const Row& row : rows) {
    TDataTable table;
    Fill(table, row.Counts);
    EXPECT_NEAR(static_cast<double>(ComputeLargerTable({}, table).CramersV), row.V, 1e-14);
  }
  TDataTable single;
  Fill(single, {{3, 4, 5}});
  EXPECT_TRUE(IsEmpty(ComputeLargerTable({}, single).CramersV));
}

}  // namespace
}  // namespace ombrel
