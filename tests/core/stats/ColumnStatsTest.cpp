#include "core/stats/ColumnStats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "support/StatsTestSupport.h"
#include "core/stats/PValue.h"

namespace ombrel {
namespace {

using test::FillColumn;

// Small columns whose statistics follow by hand; the limits use the
// two-sided 5% t of the printed table (12.706 for 1 df, 4.303 for 2, 3.182
// for 3; a single value has SEM 0). Values are out of order so the median
// needs the sort.
TEST(ColumnStatistics, SmallColumnsByHand) {
  struct TRow {
    const char* Name;
    std::vector<TReal> Values;
    std::int32_t N;
    TReal Mean, SD, Median, Minimum, Maximum, T;
  };
  const TRow rows[] = {
      {"1 2 3 4", {4, 1, 3, 2}, 4, 2.5L, 1.29099444873580562839L, 2.5L, 1, 4, 3.182L},  // SD = sqrt(5/3)
      {"1 2 3", {3, 1, 2}, 3, 2, 1, 2, 1, 3, 4.303L},
      {"two values", {7, -1}, 2, 3, 5.65685424949238019520L, 3, -1, 7, 12.706L},  // SD = sqrt(32)
      {"single value", {5}, 1, 5, 0, 5, 5, 5, 0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    FillColumn(table, 2, row.Values);
    EXPECT_NEAR_EXTENDED(ComputeRawColumnStatistics(table, 2), row.Mean, 1e-18L);
    const TColumnSummary& s = table.Summary(2);
    EXPECT_EQ(s.N, row.N);
    EXPECT_NEAR_EXTENDED(s.SD, row.SD, 1e-18L);
    const TReal sem = row.SD / std::sqrt(static_cast<TReal>(row.N));
    EXPECT_NEAR_EXTENDED(s.SEM, sem, 1e-18L);
    EXPECT_EQ(s.Median, row.Median);
    EXPECT_EQ(s.Minimum, row.Minimum);
    EXPECT_EQ(s.Maximum, row.Maximum);
    EXPECT_NEAR_EXTENDED(s.LowerCI, row.Mean - row.T * sem, 1e-17L);
    EXPECT_NEAR_EXTENDED(s.UpperCI, row.Mean + row.T * sem, 1e-17L);
  }
}

TEST(ColumnStatistics, EmptyColumnEmptiesEveryStatisticAndDeselects) {
  TDataTable table;
  FillColumn(table, 1, {1, 2, 3, 4, 5, 6});
  RefreshColumnSummaries(table);
  for (int row = 0; row < 6; ++row) table.SetValue(row, 1, EmptyValue);
  table.Summary(1).Title = "kept";
  EXPECT_TRUE(IsEmpty(ComputeRawColumnStatistics(table, 1)));
  const TColumnSummary& s = table.Summary(1);
  EXPECT_EQ(s.N, 0);
  EXPECT_EQ(s.Title, "kept");
  for (TReal field :
       {s.Mean, s.SD, s.SEM, s.Minimum, s.Maximum, s.Median, s.UpperCI, s.LowerCI, s.NormalityKS, s.NormalityP})
    EXPECT_TRUE(IsEmpty(field));
  EXPECT_EQ(table.ColumnSelected[1], 0);
}

// Identical values whose sum is inexact in binary must still give an SD of
// exactly 0, or the normality test would run on rounding noise.
TEST(ColumnStatistics, IdenticalValuesHaveZeroSdAndNoNormalityTest) {
  TDataTable table;
  FillColumn(table, 0, {0.1L, 0.1L, 0.1L, 0.1L, 0.1L, 0.1L, 0.1L});
  RefreshColumnSummaries(table);
  const TColumnSummary& s = table.Summary(0);
  EXPECT_EQ(s.Mean, 0.1L);
  EXPECT_EQ(s.SD, 0);
  EXPECT_TRUE(IsEmpty(s.NormalityKS));
  EXPECT_TRUE(IsEmpty(s.NormalityP));
}

TEST(ColumnStatistics, ExcludedAndUnselectedValuesAreSkipped) {
  TDataTable table;
  FillColumn(table, 0, {1, 2, 100, 3});
  table.SetExcluded(2, 0, true);
  FillColumn(table, 1, {10, 20});
  table.UseColumnSelection = 1;
  table.ColumnSelected[1] = 0;

  EXPECT_EQ(ComputeRawColumnStatistics(table, 0), 2);
  EXPECT_EQ(table.Summary(0).N, 3);
  EXPECT_EQ(table.Summary(0).Maximum, 3);
  EXPECT_TRUE(IsEmpty(ComputeRawColumnStatistics(table, 1)));
  EXPECT_EQ(table.Summary(1).N, 0);

  // The summary page reads every column, selected or not.
  table.ColumnChanged[1] = 1;
  RefreshColumnSummaries(table);
  EXPECT_EQ(table.UseColumnSelection, 0);
  EXPECT_EQ(table.Summary(1).N, 2);
  EXPECT_EQ(table.Summary(1).Mean, 15);
}

// Columns through the column map land in the mapped column's summary; the
// scratch column is computed without touching any summary.
TEST(ColumnStatistics, MappedAndScratchColumns) {
  TDataTable table;
  FillColumn(table, 0, {1, 2});
  FillColumn(table, 2, {5, 7});
  RefreshColumnSummaries(table);
  table.ColumnSelected[1] = 0;
  table.BuildColumnMap();
  table.Summary(2).Mean = 0;
  EXPECT_EQ(ComputeRawColumnStatistics(table, 1), 6);
  EXPECT_EQ(table.Summary(2).Mean, 6);
  EXPECT_EQ(table.Summary(1).N, 0);
  table.ResetColumnMap();

  for (int row = 0; row < 2; ++row) table.SetAnalysisValue(row, ScratchColumn, 3 + row);
  EXPECT_EQ(ComputeRawColumnStatistics(table, ScratchColumn), 3.5L);
  EXPECT_TRUE(IsEmpty(table.Summary(25).Mean));
}

TEST(ColumnStatistics, MedianIsEmptyWhileAnAnalysisHasRefused) {
  TDataTable table;
  FillColumn(table, 0, {3, 1, 2});
  table.StatusCode = TStatusCode::SDZero;
  EXPECT_TRUE(IsEmpty(ColumnMedian(table, 0)));
  ComputeRawColumnStatistics(table, 0);
  EXPECT_TRUE(IsEmpty(table.Summary(0).Median));
  EXPECT_EQ(table.Summary(0).Mean, 2);

  // A refusal left behind by the last analysis does not blank the summary
  // page, and stays for the report that shows it.
  table.ColumnChanged[0] = 1;
  RefreshColumnSummaries(table);
  EXPECT_EQ(table.Summary(0).Median, 2);
  EXPECT_EQ(table.StatusCode, TStatusCode::SDZero);
}

// Certified values of the NIST StRD univariate data sets (mean and SD with
// divisor n - 1, from the files' headers). NumAcc3 and NumAcc4 are values
// like 10000000.2 differing in the last digit: a one-pass sum of squares
// fails them completely, and double precision keeps about 8 digits of the
// SD. The decimal inputs themselves are rounded to 64 bits, which bounds the
// SD's agreement to about 1e-11 relative for NumAcc4.
TEST(ColumnStatistics, NistCertifiedMeanAndSd) {
  struct TRow {
    const char* File;
    std::int32_t N;
    TReal Mean, SD, SdTolerance;
  };
  const TRow rows[] = {
      {"Lew.dat", 200, -177.435000000000L, 277.332168044316L, 1e-14L},
      {"Lottery.dat", 218, 518.958715596330L, 291.699727470969L, 1e-14L},
      {"Mavro.dat", 50, 2.00185600000000L, 0.000429123454003053L, 1e-14L},
      {"Michelso.dat", 100, 299.852400000000L, 0.0790105478190518L, 1e-14L},
      {"NumAcc1.dat", 3, 10000002, 1, 1e-14L},
      {"NumAcc2.dat", 1001, 1.2L, 0.1L, 1e-14L},
      {"NumAcc3.dat", 1001, 1000000.2L, 0.1L, 1e-11L},
      {"NumAcc4.dat", 1001, 10000000.2L, 0.1L, 1e-10L},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.File);
    const std::vector<TReal> values = test::ReadNistUnivariate(row.File);
    ASSERT_EQ(static_cast<std::int32_t>(values.size()), row.N);
    TDataTable table;
    FillColumn(table, 4, values);
    const TReal mean = ComputeRawColumnStatistics(table, 4);
    EXPECT_EQ(table.Summary(4).N, row.N);
    EXPECT_NEAR_EXTENDED(mean, row.Mean, 1e-14L * std::fabs(row.Mean));
    EXPECT_NEAR_EXTENDED(table.Summary(4).SD, row.SD, row.SdTolerance * row.SD);
  }
}

// 1,000 values exactly representable in binary, so that exact rational
// arithmetic gives the true statistics. Expected values from python3:
// fractions.Fraction for the mean, sum of squares and median, the SD as
// decimal.Decimal(variance).sqrt() at 40 digits.
//   mixed:  x_i = s * m * 2^e, m = (7919 i mod 1000) + 1, e = (31 i mod 51) - 20,
//           s = -1 when i mod 3 = 0 (magnitudes from 1e-6 to 1e12)
//   offset: x_i = 1e9 + (7919 i mod 1000) / 1024
TEST(ColumnStatistics, ThousandValuesMatchExactArithmetic) {
  std::vector<TReal> mixed;
  std::vector<TReal> offset;
  for (int i = 0; i < 1000; ++i) {
    const int m = (i * 7919) % 1000;
    const int e = (i * 31) % 51 - 20;
    mixed.push_back((i % 3 == 0 ? -1 : 1) * std::ldexp(static_cast<TReal>(m + 1), e));
    offset.push_back(1e9L + static_cast<TReal>(m) / 1024);
  }
  struct TRow {
    const char* Name;
    const std::vector<TReal>* Values;
    TReal Mean, SD, Median;
  };
  const TRow rows[] = {
      {"mixed", &mixed, 14839262547.42545324897766L, 98903705988.30279201594323L, 1.91796875L},
      {"offset", &offset, 1000000000.48779296875L, 0.2820502305622552654017259L, 1000000000.48779296875L},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    FillColumn(table, 0, *row.Values);
    ComputeRawColumnStatistics(table, 0);
    const TColumnSummary& s = table.Summary(0);
    EXPECT_EQ(s.N, 1000);
    EXPECT_NEAR_EXTENDED(s.Mean, row.Mean, 1e-17L * std::fabs(row.Mean));
    EXPECT_NEAR_EXTENDED(s.SD, row.SD, 1e-17L * row.SD);
    EXPECT_EQ(s.Median, row.Median);
  }
}

// Every increment path (sizes around the halving steps 95, 48, 24, ... and
// the full 1,001 rows) must give what the standard sort gives.
TEST(ShellSort, AgreesWithStandardSort) {
  std::mt19937 generator(20240601);
  std::uniform_int_distribution<int> digits(-50, 50);
  for (const int size : {0, 1, 2, 3, 4, 7, 13, 25, 47, 48, 49, 95, 96, 97, 500, 1001}) {
    SCOPED_TRACE(size);
    std::vector<TReal> values(static_cast<std::size_t>(size));
    for (TReal& value : values) value = static_cast<TReal>(digits(generator)) / 4;
    std::vector<TReal> expected = values;
    std::sort(expected.begin(), expected.end());
    ShellSort(values);
    EXPECT_EQ(values, expected);
  }
}

// KS distances computed with mpmath at 40 digits, with the normal
// probabilities taken, as here, from t with 5000 df (regularized incomplete
// beta); the values with exact normal probabilities differ by about 1e-5
// (Michelso: 0.0834243742739857). The six-value row is one where leaving out
// the smallest value's distance to 0 matters: including it gives
// 0.193902992284939. P is Dallal and Wilkinson's approximation to
// Lilliefors' distribution at those distances, from their formula in Python
// (above 0.10 it only orders the distances, capped at 1).
TEST(NormalityTest, DistanceAndPMatchHighPrecision) {
  struct TRow {
    const char* Name;
    std::vector<TReal> Values;
    TReal KS, P;
  };
  const TRow rows[] = {
      {"Michelso.dat", test::ReadNistUnivariate("Michelso.dat"), 0.0834317295202289L, 0.08283564273422381L},
      {"Lew.dat", test::ReadNistUnivariate("Lew.dat"), 0.109945756816111L, 3.715117146862417e-06L},
      {"Mavro.dat", test::ReadNistUnivariate("Mavro.dat"), 0.144587547565089L, 0.010658488747288586L},
      {"ten values",
       {2.1L, 3.4L, 1.9L, 5.6L, 4.4L, 3.8L, 2.9L, 4.1L, 3.3L, 7.2L},
       0.169910524627108L,
       0.6613169540073706L},
      {"six values", {3.6L, 5.5L, 9.9L, 3.5L, 4.4L, 6.7L}, 0.189170278994407L, 1.0L},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    FillColumn(table, 3, row.Values);
    RefreshColumnSummaries(table);
    const TColumnSummary& s = table.Summary(3);
    EXPECT_NEAR_EXTENDED(s.NormalityKS, row.KS, 2e-6L);
    EXPECT_NEAR_EXTENDED(s.NormalityP, row.P, 2e-5L);
    EXPECT_EQ(s.PassedNormality, row.P > 0.05L ? 1 : 0);
  }
}

// A column of the 50 normal quantiles at (i - 0.5)/50 fits so well
// (sqrt(n) KS = 0.075 by mpmath) that P is 1.
TEST(NormalityTest, NearPerfectFitHasPOfOne) {
  TDataTable table;
  std::vector<TReal> quantiles;
  for (int i = 1; i <= 50; ++i) {
    const TReal q = (static_cast<TReal>(i) - 0.5L) / 50;
    quantiles.push_back(q < 0.5L ? -z_for_p(q) : z_for_p(1 - q));
  }
  FillColumn(table, 0, quantiles);
  RefreshColumnSummaries(table);
  EXPECT_NEAR_EXTENDED(std::sqrt(50.0L) * table.Summary(0).NormalityKS, 0.0752L, 0.001L);
  EXPECT_EQ(table.Summary(0).NormalityP, 1);
  EXPECT_EQ(table.Summary(0).PassedNormality, 1);
}

TEST(NormalityTest, RunsOnlyWhenDue) {
  TDataTable table;
  FillColumn(table, 0, {1, 2, 3, 4});      // too few values
  FillColumn(table, 1, {1, 2, 3, 4, 10});  // tested
  table.Summary(2).N = 5;                  // typed averaged data
  table.Summary(2).Mean = 3;
  table.Summary(2).SD = 1;
  RefreshColumnSummaries(table);
  EXPECT_TRUE(IsEmpty(table.Summary(0).NormalityKS));
  EXPECT_FALSE(IsEmpty(table.Summary(1).NormalityKS));
  EXPECT_TRUE(IsEmpty(table.Summary(2).NormalityKS));

  // Unchanged columns keep their result; one whose result is missing gets
  // tested again although nothing changed.
  table.Summary(1).NormalityKS = 0.5L;
  RefreshColumnSummaries(table);
  EXPECT_EQ(table.Summary(1).NormalityKS, 0.5L);
  table.Summary(1).NormalityKS = EmptyValue;
  table.Summary(1).NormalityP = EmptyValue;
  RefreshColumnSummaries(table);
  EXPECT_FALSE(IsEmpty(table.Summary(1).NormalityKS));
}

// Switching to a raw format marks every column changed; a column that only
// holds typed mean and error must keep it.
TEST(RefreshColumnSummaries, KeepsTypedAveragedData) {
  TDataTable table;
  table.ResetForNewDocument();
  TColumnSummary& typed = table.Summary(0);
  typed.N = 4;
  typed.Mean = 10;
  typed.SD = 2;
  DeriveAveragedStatistics(typed, true);
  table.ColumnChanged.fill(1);
  RefreshColumnSummaries(table);
  EXPECT_EQ(table.Summary(0).N, 4);
  EXPECT_EQ(table.Summary(0).Mean, 10);
  EXPECT_EQ(table.ColumnChanged[0], 0);
  EXPECT_EQ(table.Summary(1).N, 0);
  EXPECT_EQ(table.ColumnSelected[1], 0);
}

// Mean 10, SD 2, N 4: SEM 1, limits 10 -/+ 3.182 (t for 3 df from the
// printed table). In the SEM format the SD is derived instead.
TEST(DeriveAveragedStatistics, CompletesTypedSummaries) {
  TColumnSummary sdTyped;
  sdTyped.N = 4;
  sdTyped.Mean = 10;
  sdTyped.SD = 2;
  sdTyped.SEM = 99;  // stale, replaced
  DeriveAveragedStatistics(sdTyped, true);
  EXPECT_EQ(sdTyped.SEM, 1);
  EXPECT_NEAR_EXTENDED(sdTyped.LowerCI, 6.818L, 1e-17L);
  EXPECT_NEAR_EXTENDED(sdTyped.UpperCI, 13.182L, 1e-17L);

  TColumnSummary semTyped;
  semTyped.N = 4;
  semTyped.Mean = 10;
  semTyped.SEM = 1;
  semTyped.SD = 99;
  DeriveAveragedStatistics(semTyped, false);
  EXPECT_EQ(semTyped.SD, 2);
  EXPECT_NEAR_EXTENDED(semTyped.UpperCI, 13.182L, 1e-17L);
}

}  // namespace
}  // namespace ombrel
