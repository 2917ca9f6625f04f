#pragma once

// The t tests: one-sample, paired, unpaired and unpaired with Welch's
// correction, each from raw or typed averaged columns (the paired test from
// raw ones only).
//
// The family follows the pattern of every analysis (docs/ARCHITECTURE.md,
// "Results as data"): a request names the choices and columns,
// ComputeTTest returns every figure the report prints in a TTTestResult and
// never writes text, WriteTTestReport only formats that result, and
// TTestRecord puts it into the record `report --json` writes. RunTTest is
// the entry point RunAnalysis calls.

#include <cstdint>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/Correlation.h"
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

// The t statistic of one test, with its interval.
struct TTStatistic {
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
TTStatistic OneSampleTTest(const TColumnSummary& column, TReal hypotheticalMean);

// Unpaired t test of two summaries (N >= 2, SD > 0 each); the difference is
// mean B - mean A. Equal SDs pool the variances (N_A + N_B - 2 degrees of
// freedom); otherwise Welch's standard error with Satterthwaite's degrees of
// freedom truncated to a whole number (at least 1).
TTStatistic UnpairedTTest(const TColumnSummary& a, const TColumnSummary& b, bool equalSDs);

// F test of equal SDs: the larger variance over the smaller (B's on top when
// the SDs are equal); P is two-sided, twice the upper tail (at most 1).
struct TFTestResult {
  TReal F = EmptyValue;
  std::int32_t NumeratorDF = 0;
  std::int32_t DenominatorDF = 0;
  TReal P = EmptyValue;
};
TFTestResult EqualSDsFTest(const TColumnSummary& a, const TColumnSummary& b);

// ---------------------------------------------------------------------------
// Request, result, writers

enum class TTTestKind { OneSample, Paired, Unpaired, Welch };

// A column a test reads: its index (0..25), and whether it holds typed
// averaged data (mean, SD or SEM and N) rather than raw values.
struct TTestColumn {
  int Column = 0;
  bool Averaged = false;
};

// The column's entry in a test's recorded choices: its letter, its title and
// whether it holds averaged data.
TResultValue TestColumnValue(const TTestColumn& column, const TColumnSummary& summary);

struct TTTestRequest {
  TTTestKind Kind = TTTestKind::OneSample;
  std::int32_t Tails = 2;  // 1 or 2
  // The one-sample test's hypothetical mean.
  TReal HypotheticalMean = 0;
  // The one-sample test's column, or column A of a two-sample test.
  TTestColumn First;
  // Column B of a two-sample test.
  TTestColumn Second;
};

// What the paired test knows about the effectiveness of its pairing.
enum class TPairingCheck { TooFewPairs, NoVariability, Computed };

struct TTTestResult {
  // Ok, or the refusal: SingleValue a column with fewer than two values,
  // SDZero a column with SEM 0 (one-sample and unpaired), AveragedPaired the
  // paired test of averaged data, SinglePair fewer than two complete pairs,
  // OneXValue or OneYValue from the paired test's pairing check.
  TStatusCode Status = TStatusCode::Ok;
  TTTestRequest Request;
  // The summaries as the report prints them: A (the one-sample column), B,
  // and the paired differences (titled "Difference").
  TColumnSummary A;
  TColumnSummary B;
  TColumnSummary Differences;
  TTStatistic T;
  // The P the report states: two-tailed, or half of it for one tail.
  TReal P = EmptyValue;
  // Both unpaired tests compute it; the report shows it with equal SDs.
  TFTestResult F;
  TPairingCheck Pairing = TPairingCheck::Computed;
  TPearsonResult PairingR;
  TReal PairingPOneTailed = EmptyValue;
  std::vector<TColumnUse> Columns;
  // Cohen's d (d_z for the paired test; with the mean of the two variances
  // for Welch's test) and, for the unpaired test with equal SDs, Hedges' g,
  // each with its 95% interval; the sign follows Difference.
  TEffectSize CohensD;
  TEffectSize HedgesG;
};

// Computes the test; the table's StatusCode is Ok, or the refusal. Raw columns have their summary (and normality test)
// recomputed into the table's summary of that column; typed averaged
// columns have SEM or SD and their limits completed there. The paired test
// fills the scratch column with the differences first minus second.
TTTestResult ComputeTTest(const TTTestRequest& request, TDataTable& table);

// The report of a computed test (Status Ok).
void WriteTTestReport(const TTTestResult& result, TReportText& report);

// The record of the test: choices, results, method facts and tables.
void FillTTestRecord(const TTTestResult& result, TAnalysisRecord& record);

// Entry point: computes (leaving the table's StatusCode), fills the record and,
// unless refused, writes the report. The caller runs it inside RunGuarded
// and then calls WriteErrorReport.
void RunTTest(const TTTestRequest& request, TAnalysisRun& run);

}  // namespace ombrel
