#pragma once

// The analysis of a two-by-two contingency table
//   A B
//   C D
// (rows: top, bottom; columns: left, right): Fisher's exact test or the
// chi-square test, relative risk, odds ratio, difference between the two
// proportions and the diagnostic-test figures, each with a 95% interval.
// The family follows "Results as data" (docs/ARCHITECTURE.md): a request,
// ComputeTwoByTwo into a TTwoByTwoResult, then the writers of the report and
// of the record (TwoByTwoWriters.cpp); RunTwoByTwo is the entry point.

#include <cstdint>
#include <optional>
#include <string>

#include "core/analysis/AnalysisRecord.h"
#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"
#include "core/base/TestChoices.h"
#include "core/report/ReportTables.h"

namespace ombrel {

class TReportText;

// A 95% confidence interval. An open side is the empty marker (upper) or its
// negative (lower); the report writes them as "Infinity" and "-Infinity".
struct TInterval {
  TReal Lower = EmptyValue;
  TReal Upper = EmptyValue;
};

// How the two-sided P of Fisher's test was found: the sum over every table
// at most as probable as the observed one, or twice the one-sided P when a
// pair of margins is equal and the distribution symmetric.
enum class TFisherTwoSided { SumOfSmallerProbabilities, DoubledOneSided };

// The two P values of Fisher's exact test, each at most 1, and the number of
// tables with the observed margins.
struct TFisherResult {
  TReal TwoTailed = EmptyValue;
  TReal OneTailed = EmptyValue;
  TFisherTwoSided TwoSidedMethod = TFisherTwoSided::SumOfSmallerProbabilities;
  std::int64_t Arrangements = 0;
};

// The largest table Fisher's exact test is run on; larger ones get the
// chi-square test in its place.
inline constexpr std::int32_t MaxFisherTotal = 2000;

// Probability of the table (s r / q p) among all tables with its margins:
// (s+r)! (q+p)! (s+q)! (r+p)! / (N! s! r! q! p!), from the exponents of the
// primes below 2000, so it neither overflows nor loses more than a few
// units of rounding for N <= 2000. Counts must be >= 0 with N <= 2000.
TReal table_probability(std::int32_t s, std::int32_t r, std::int32_t q, std::int32_t p);

// Fisher's exact test of the table (a b / c d), N <= 2000. One-sided: the
// tail in the observed direction. Two-sided: every table at most as
// probable as the observed one, or twice the one-sided P when a pair of
// margins is equal. Both are capped at 1.
TFisherResult fisher_exact(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);

// Exact (Clopper-Pearson) 95% interval of the proportion x / n, 0 <= x <= n,
// n > 0, through F quantiles found by bisection to 0.01 in F.
TInterval binomial_ci(TReal n, TReal x);

// The titles the report shows; empty ones are already replaced by the
// driver ("Row 1", "Column A", ...).
struct TTwoByTwoTitles {
  std::string LeftColumn;
  std::string RightColumn;
  std::string TopRow;
  std::string BottomRow;
};

// What the analysis of a two-by-two table is asked: the counts as entered
// (the empty marker when blank), their titles, the test and the estimates.
struct TTwoByTwoRequest {
  TReal A = EmptyValue;
  TReal B = EmptyValue;
  TReal C = EmptyValue;
  TReal D = EmptyValue;
  TTwoByTwoTitles Titles{};
  TTwoByTwoTest Test = TTwoByTwoTest::Fisher;
  // Yates' continuity correction of the chi-square statistic.
  bool Yates = true;
  std::int32_t Tails = 2;  // 1 or 2
  bool RelativeRisk = false;
  bool OddsRatio = false;
  bool Difference = false;
  bool Sensitivity = false;
};

struct TTwoByTwoChiSquare {
  TReal ChiSquare = EmptyValue;
  TReal TwoTailedP = EmptyValue;
  TReal OneTailedP = EmptyValue;
  bool Yates = false;
  bool SmallValuesWarning = false;
  // The smallest of the four expected counts, row total x column total / N.
  TReal SmallestExpected = EmptyValue;
};

struct TRelativeRisk {
  TReal RelativeRisk = EmptyValue;  // empty (infinite) when C = 0
  TInterval Interval;
};

struct TOddsRatio {
  TReal OddsRatio = EmptyValue;
  TInterval Interval;
  bool HalfAdded = false;  // a count was zero: 0.5 was added to all four
};

struct TProportionDifference {
  TReal TopFraction = EmptyValue;
  std::optional<TInterval> TopInterval;  // only when A > 5 and B > 5
  TReal BottomFraction = EmptyValue;
  std::optional<TInterval> BottomInterval;  // only when C > 5 and D > 5
  TReal Difference = EmptyValue;            // |top - bottom|
  // Only when every count is above five.
  std::optional<TReal> StandardError;
  std::optional<TInterval> Interval;
};

struct TProportionEstimate {
  TReal Value = EmptyValue;
  TInterval Interval;
};

// Columns are the true condition, rows the test result.
struct TDiagnosticFigures {
  TProportionEstimate Sensitivity;
  TProportionEstimate Specificity;
  TProportionEstimate PositivePredictive;
  TProportionEstimate NegativePredictive;
  TReal LikelihoodRatio = EmptyValue;  // empty (infinite) when B = 0
};

// Every figure the report prints. A Status other than Ok means the counts
// were refused and nothing but the request is set.
struct TTwoByTwoResult {
  TStatusCode Status = TStatusCode::Ok;
  TTwoByTwoRequest Request;
  // The counts as analysed (whole numbers) and their total.
  TReal A = 0;
  TReal B = 0;
  TReal C = 0;
  TReal D = 0;
  TReal N = 0;
  std::optional<TFisherResult> Fisher;  // Fisher chosen and N <= 2000
  bool FisherTooLarge = false;          // Fisher chosen but N > 2000
  std::optional<TTwoByTwoChiSquare> ChiSquare;
  // The P the report's association sentence states: Fisher's when it ran,
  // else the chi-square test's, with the tails asked for.
  TReal P = EmptyValue;
  std::optional<TRelativeRisk> RelativeRisk;
  std::optional<TOddsRatio> OddsRatio;
  std::optional<TProportionDifference> Difference;
  std::optional<TDiagnosticFigures> Diagnostic;
  // The phi coefficient of the counts, signed: positive when A and D
  // outweigh B and C.
  TReal Phi = EmptyValue;
  // The "Data analyzed" table: counts, totals and their percentages of N.
  TTwoByTwoCounts Counts;
};

// The refusal code of four counts, Ok when they can be analysed: MissingCount
// for a blank count; otherwise the last that applies of Fraction, Negative,
// ZeroRow, ZeroColumn.
TStatusCode CheckTwoByTwoCounts(TReal a, TReal b, TReal c, TReal d);

// Chi-square statistic of the table, with or without Yates' correction;
// the empty marker when a margin is zero.
TReal TwoByTwoChiSquare(TReal a, TReal b, TReal c, TReal d, bool yates);

// Checks the counts and computes every section the request asks for. A
// count beyond the 32-bit range, which the count table cannot show, is an
// invalid operation (InvalidOperation, code 5).
TTwoByTwoResult ComputeTwoByTwo(const TTwoByTwoRequest& request);

// "The two-sided P value is 0.0123, considered significant." (tails 1 or 2,
// nothing for other values), "< 0.0001" below 0.0001, else four decimals;
// without wording the sentence ends in ". ". Ends the line.
void WriteTwoByTwoPSentence(TReportText& report, int tails, bool withWording, TReal p);

// The report of a computed table (Status Ok).
void WriteTwoByTwoReport(const TTwoByTwoResult& result, TReportText& report);

// The record of the table: choices, results, method facts and tables.
void FillTwoByTwoRecord(const TTwoByTwoResult& result, TAnalysisRecord& record);

// Entry point of the two-by-two table analysis: computes (leaving the
// table's StatusCode Ok or the refusal), fills the record, sets the report's
// help topic (557) and, unless refused, writes the report. The caller runs
// it inside RunGuarded and then calls WriteErrorReport.
void RunTwoByTwo(const TTwoByTwoRequest& request, TAnalysisRun& run);

}  // namespace ombrel
