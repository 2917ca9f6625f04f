#pragma once

#include <cstdint>

#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// Two-sided 95% point of Student's t for the confidence intervals of the t
// tests: three-decimal table values for df 1..13, then df x 1.96 /
// (df - 1.20722), within 0.001 of the true point from df 14 on. Empty for
// df < 1.
TReal t_test_critical_95(std::int32_t df);

// What a t test computes, before any of it is written.
struct TTTestResult {
  std::int32_t DF = 0;
  TReal T = EmptyValue;           // always positive
  TReal P = EmptyValue;           // two-tailed
  TReal Difference = EmptyValue;  // the mean difference the interval is about
  TReal Lower = EmptyValue;       // 95% confidence interval of the difference
  TReal Upper = EmptyValue;
  bool SDZero = false;  // no spread: only the difference is known
};

// One-sample t test of a column summary (N >= 2) against a hypothetical
// mean: t = |mean - mu0| / (SD / sqrt N) with N - 1 degrees of freedom. The
// paired t test is this test of the differences against 0.
TTTestResult OneSampleTTest(const TColumnSummary& column, TReal hypotheticalMean);

// Unpaired t test of two summaries (N >= 2, SD > 0 each); the difference is
// mean B - mean A. Equal SDs pool the variances (N_A + N_B - 2 degrees of
// freedom); otherwise Welch's standard error with Satterthwaite's degrees of
// freedom truncated to a whole number (at least 1).
TTTestResult UnpairedTTest(const TColumnSummary& a, const TColumnSummary& b, bool equalSDs);

// F test of equal SDs: the larger variance over the smaller (B's on top when
// the SDs are equal), with its upper-tail P alone.
struct TFTestResult {
  TReal F = EmptyValue;
  std::int32_t NumeratorDF = 0;
  std::int32_t DenominatorDF = 0;
  TReal P = EmptyValue;
};
TFTestResult EqualSDsFTest(const TColumnSummary& a, const TColumnSummary& b);

// Entry points of the one-column and two-column comparisons. Each sets the
// table's StatusCode to 0, runs its test and writes the report body, leaves
// a refusal in StatusCode and returns it. The caller runs it inside
// RunGuarded and then calls WriteErrorReport; the entry point does not.
// A column index of -1 means the column holds typed averaged data; the test
// then works from the summary alone. Raw columns have their summary (and
// normality test) recomputed into the summary passed.
//
// Refusals: SingleValue a column with fewer than two values (also when it is
// a single value with SEM 0), SDZero a column with SEM 0 (one-sample and
// unpaired), AveragedPaired the paired t test of averaged data, SinglePair
// fewer than two complete pairs, AveragedNonparametric a nonparametric test
// of averaged data; the paired test's pairing check can leave OneXValue or
// OneYValue (no spread among the complete pairs).

// One column: the one-sample t test, or (any other choice) the Wilcoxon
// signed-rank test (AveragedNonparametric for an averaged column). The Wilcoxon test
// reports its exact enumeration through `progress`.
TStatusCode RunOneColumnTest(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                             TOneColumnTest oneColumnTest, bool twoTailed, TReal hypotheticalMean,
                             TCalcProgress& progress);

// Two columns: paired or unpaired t test (Welch when equalSDs is false), or
// with nonparametric the Wilcoxon matched-pairs test (paired) or the
// Mann-Whitney test (unpaired); nonparametric with an averaged column gives
// AveragedNonparametric. Note the order of the summaries: second column first. The paired
// test fills the scratch column with the differences first minus second.
TStatusCode RunTwoColumnTest(TDataTable& table, int firstColumn, int secondColumn, TReportText& report, bool equalSDs,
                             bool nonparametric, bool twoTailed, bool unpaired, TColumnSummary& secondSummary,
                             TColumnSummary& firstSummary, TCalcProgress& progress);

}  // namespace ombrel
