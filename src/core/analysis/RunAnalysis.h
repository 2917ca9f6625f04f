#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/Anova.h"
#include "core/analysis/Correlation.h"
#include "core/analysis/LinearRegression.h"
#include "core/analysis/MultipleRegression.h"
#include "core/analysis/LargerTable.h"
#include "core/analysis/Nonparametric.h"
#include "core/analysis/RankAnova.h"
#include "core/analysis/RegressionOutputs.h"
#include "core/analysis/TTests.h"
#include "core/analysis/TwoByTwo.h"
#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"
#include "core/base/TwoByTwoTable.h"
#include "core/report/ReportText.h"

namespace ombrel {

class TCalcProgress;

inline constexpr std::string_view NoDataMessage = "Until you enter data, you won't see any results!";
inline constexpr std::string_view NoColumnsSelectedMessage = "Columns must be selected to perform test.";
inline constexpr std::string_view NoPairSelectedMessage = "At least one column pair must be selected.";

// The analysis entry points RunAnalysis dispatches to. The defaults are the
// real routines of core/analysis; tests put recording stand-ins in their
// place. A family whose results are data takes its request and the run
// (table, report, progress, record); the others still take positional
// arguments until they are converted.
struct TAnalysisRoutines {
  std::function<void(const TTTestRequest&, TAnalysisRun&)> TTest;
  std::function<void(const TCorrelationRequest&, TAnalysisRun&)> Correlation;
  std::function<void(const TNonparametricRequest&, TAnalysisRun&)> Nonparametric;
  std::function<void(const TRankAnovaRequest&, TAnalysisRun&)> RankAnova;
  std::function<void(const TAnovaRequest&, TAnalysisRun&)> Anova;
  std::function<void(const TTwoByTwoRequest&, TAnalysisRun&)> TwoByTwo;
  std::function<void(const TLargerTableRequest&, TAnalysisRun&)> LargerTable;
  // The regressions also hand their graph its outputs.
  std::function<void(const TLinearRegressionRequest&, TAnalysisRun&, TRegressionOutputs&)> LinearRegression;
  std::function<void(const TMultipleRegressionRequest&, TAnalysisRun&, TMultipleRegressionOutputs&)> MultipleRegression;
};

// What one run reads and writes: the parts of a document an analysis sees.
// The members refer to the document's own fields.
struct TAnalysisJob {
  TDataTable& Table;
  const TTwoByTwoTable& TwoByTwo;
  TTestChoices& Choices;
  TDataFormat Format;
  bool& ResultsStale;
  TReportText& Report;
  // The report's results as data, one record per analysis run.
  TReportResults& Results;
  TRegressionOutputs& Regression;
  TMultipleRegressionOutputs& MultipleRegressionResults;
  // The selected-pairs flag of the multi-column test, carried between runs.
  std::uint8_t& SelectedPairsInUse;
  // The report ends with the "Effect size and method" section (the JSON
  // always holds it).
  bool EffectSizes = false;
};

// The real analysis routines.
const TAnalysisRoutines& DefaultAnalysisRoutines();

// Computes the job's report from its data format and choices: runs
// `prepare` (the document brings its choose-test state up to date there),
// dispatches to the driver of the format
// (each analysis inside RunGuarded, followed by WriteErrorReport), and
// clears ResultsStale. Never throws.
void RunAnalysis(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines,
                 const std::function<void()>& prepare = {});

// The drivers RunAnalysis dispatches to, callable on their own.
//
// Compare means (raw and averaged data): the one-, two- or multi-column
// test by ColumnCountKind. For the duration of the call every empty column
// title reads "Column " + letter and every unselected column has N = 0;
// both are restored on every path.
void RunCompareMeansDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines);
// XY data: linear regression, then the correlation RegressionKind asks for.
void RunXYDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines);
// Larger contingency table; empty column titles read as the bare letter for
// the duration of the call.
void RunLargerTableDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines);
// Two-by-two table; empty titles are passed as "Column A", "Column B",
// "Row 1", "Row 2" (the stored titles stay empty).
void RunTwoByTwoDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines);
// Multiple regression or correlation matrix, which writes its whole report.
void RunMultipleRegressionDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines);

// The report of a precondition that stops an analysis: an empty line, the
// message, an empty line; ended and finished.
void WriteNoResultsReport(TReportText& report, std::string_view message);

// What the multi-column test receives for the post test.
struct TPostTestArguments {
  std::int32_t Kind = 0;          // the post-test method passed
  bool UseSelectedPairs = false;  // the selected-pairs flag
  bool RebuildPairs = false;      // PairSelected becomes "pairs with the control"
};

// From the choices and the selected-pairs flag of the previous run:
// parametric all pairs pass PostTestMethod, selected pairs Bonferroni, the
// control Dunnett; nonparametric pass Dunn (1), except the repeated-measures
// comparison with a control (2); control comparisons keep the previous
// flag, except nonparametric ordinary ones, which use rebuilt pairs.
TPostTestArguments ComputePostTestArguments(const TTestChoices& choices, bool previousUseSelectedPairs);

}  // namespace ombrel
