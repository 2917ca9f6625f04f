#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/base/DataTable.h"

namespace ombrel {

// The outcome of a Kolmogorov-Smirnov normality test; every field empty (and
// Passed false) when the test did not run.
struct TNormalityResult {
  TReal KS = EmptyValue;
  TReal P = EmptyValue;
  bool Passed = false;
};

// Recomputes the summary of every column whose ColumnChanged flag is set
// (clearing the flag), then runs the normality tests that are due. Reads all
// columns (UseColumnSelection becomes 0) and is meant for the column map's
// inactive state. A column holding typed averaged data and no raw value keeps
// its typed summary.
void RefreshColumnSummaries(TDataTable& table);

// Computes N, mean, SD, SEM, extremes, median and 95% limits of one column
// from its analysis values into the column's summary; returns the mean.
// Leaves the normality fields alone unless the column has no value, which
// empties every statistic and clears the column's ColumnSelected flag. The
// summary written is that of the column the analysis column maps to; the
// scratch column (26) is computed but stored nowhere.
TReal ComputeRawColumnStatistics(TDataTable& table, int column);

// The same statistics as ComputeRawColumnStatistics, returned instead of
// stored (normality fields empty). Sums are compensated and the squared
// deviations are taken about the mean in a second pass, so the SD of values
// sharing many leading digits keeps nearly full 64-bit precision.
TColumnSummary ComputeRawSummary(const TDataTable& table, int column);

// The non-empty analysis values of a column in row order.
std::vector<TReal> ColumnValues(const TDataTable& table, int column);

// Sorts ascending with the diminishing-increment sort whose increments start
// at 95 and are halved, rounded half to even, down to 1.
void ShellSort(std::span<TReal> values);

// Median of sorted values: the middle one, or the mean of the two middle ones;
// empty for none.
TReal MedianOfSorted(std::span<const TReal> sorted);

// Median of a column's analysis values; empty when the table's StatusCode is
// not 0 or the column has no value.
TReal ColumnMedian(const TDataTable& table, int column);

// Kolmogorov-Smirnov distance of sorted values from the normal distribution
// with the given mean and SD (SD > 0). The i-th value is compared with i/n and,
// from the second value on, with (i - 1)/n. The normal probabilities come from
// p_value_z, so the distance is accurate to about 1e-5.
TReal KolmogorovSmirnovDistance(std::span<const TReal> sorted, TReal mean, TReal sd);

// The normality test of a set of values (any order) against the normal
// distribution with the given mean and SD (estimated from the same values):
// the Kolmogorov-Smirnov distance with Lilliefors' P (LillieforsP); passed
// when P > 0.05. Values are
// not tested (empty result) when there are fewer than 5 or SD is not positive.
TNormalityResult TestNormality(std::span<const TReal> values, TReal mean, TReal sd);

// Runs TestNormality on a column's analysis values and stores KS, P and the
// passed flag in the column's summary (not for the scratch column).
TNormalityResult NormalityTest(TDataTable& table, int column, TReal mean, TReal sd);

// The 95% limits of a mean: mean -/+ t x SEM with t for N - 1 degrees of
// freedom; both the mean for N = 1; both empty when N < 1 or the mean or SEM
// is empty.
void SetConfidenceLimits(TColumnSummary& summary);

// Completes a typed averaged summary. The dispersion that was not typed (SEM
// when `sdFormat`, else SD) is emptied and derived from the typed one
// (SEM = SD / sqrt(N), SD = SEM x sqrt(N)); then the 95% limits. Needs N > 0.
void DeriveAveragedStatistics(TColumnSummary& summary, bool sdFormat);

// True when a column's summary holds typed averaged data: N is not 0 and one
// of mean, SD and SEM is present.
bool HoldsAveragedData(const TColumnSummary& summary);

}  // namespace ombrel
