#include "core/analysis/RunAnalysis.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/CalcProgress.h"
#include "core/analysis/ChooseTest.h"
#include "core/analysis/Anova.h"
#include "core/analysis/Correlation.h"
#include "core/analysis/LargerTable.h"
#include "core/analysis/LinearRegression.h"
#include "core/analysis/MultipleRegression.h"
#include "core/analysis/Nonparametric.h"
#include "core/analysis/TTests.h"
#include "core/analysis/TwoByTwo.h"

namespace ombrel {

namespace {

std::size_t At(int column) { return static_cast<std::size_t>(column); }

void WriteTitle(const TDataTable& table, TReportText& report) {
  if (table.Title().empty()) return;
  report.MarkHeading(1);
  report.WriteLine(table.Title());
  report.WriteLine();
}

void BeginDocumentReport(const TAnalysisJob& job) {
  job.Results = TReportResults{};
  job.Report.ResetReport();
  job.Report.BeginReport();
  WriteTitle(job.Table, job.Report);
}

void EndDocumentReport(TReportText& report) {
  report.EndReport();
  report.FinishReport();
}

// The effect-size section of every analysis that has one, when asked for,
// and then the report's end.
void EndDocumentReport(const TAnalysisJob& job) {
  if (job.EffectSizes) {
    bool headed = false;
    for (const TAnalysisRecord& record : job.Results.Analyses) {
      if (record.Status != TStatusCode::Ok || !record.Effect) continue;
      if (!headed) WriteEffectSizeHeading(job.Report);
      headed = true;
      WriteEffectSection(job.Report, *record.Effect);
    }
  }
  EndDocumentReport(job.Report);
}

// One analysis call: inside the fault frame, then its error report. The
// analysis's record is named `analysis` until the routine names it, and
// holds no results once the analysis was refused or met a fault.
void RunAndRecord(const TAnalysisJob& job, TCalcProgress& progress, std::string_view analysis,
                  const std::function<void(TAnalysisRun&)>& routine) {
  TDataTable& table = job.Table;
  TReportText& report = job.Report;
  std::vector<TAnalysisRecord>& records = job.Results.Analyses;
  records.push_back(TAnalysisRecord{});
  records.back().Analysis = std::string(analysis);
  records.back().FirstLine = report.LineCount();
  RunGuarded(table, &report, [&] {
    TAnalysisRun run{table, report, progress, records.back()};
    routine(run);
  });
  TAnalysisRecord& record = records.back();
  record.Status = table.StatusCode;
  if (record.Status != TStatusCode::Ok) {
    record.Results = record.Method = record.Tables = TResultValue::Null();
    // The refusal replaces the whole report, the earlier analyses' lines too.
    for (TAnalysisRecord& earlier : records) earlier.FirstLine = earlier.EndLine = 0;
  }
  report.WriteErrorReport(table.StatusCode);
  record.EndLine = report.LineCount();
}

// The report and results of a check that stops the analysis.
void NoResults(const TAnalysisJob& job, std::string_view message) {
  job.Results = TReportResults{};
  job.Results.Notice = std::string(message);
  WriteNoResultsReport(job.Report, message);
}

std::string_view MultiColumnAnalysis(const TTestChoices& choices) {
  if (choices.MultiColumnNonparametric != 0) return choices.OrdinaryAnova != 0 ? "kruskalWallis" : "friedman";
  return choices.OrdinaryAnova != 0 ? "oneWayAnova" : "repeatedMeasuresAnova";
}

// Empty column titles replaced by prefix + letter while an analysis runs,
// and emptied again on every path out.
class TTemporaryTitles {
 public:
  TTemporaryTitles(TDataTable& table, std::string_view prefix) : mTable(table) {
    for (int c = 0; c < MaxColumns; ++c) {
      std::string& title = mTable.Summary(c).Title;
      if (!title.empty()) continue;
      title = std::string(prefix) + ColumnLetter(c);
      mFilled[At(c)] = true;
    }
  }
  ~TTemporaryTitles() {
    for (int c = 0; c < MaxColumns; ++c)
      if (mFilled[At(c)]) mTable.Summary(c).Title.clear();
  }
  TTemporaryTitles(const TTemporaryTitles&) = delete;
  TTemporaryTitles& operator=(const TTemporaryTitles&) = delete;

 private:
  TDataTable& mTable;
  std::array<bool, MaxColumns> mFilled{};
};

// Every column's N remembered, unselected columns at N = 0 while an
// analysis runs, every N restored on every path out.
class TTemporaryCounts {
 public:
  explicit TTemporaryCounts(TDataTable& table) : mTable(table) {
    for (int c = 0; c < MaxColumns; ++c) {
      mCounts[At(c)] = mTable.Summary(c).N;
      if (mTable.ColumnSelected[At(c)] == 0) mTable.Summary(c).N = 0;
    }
  }
  ~TTemporaryCounts() {
    for (int c = 0; c < MaxColumns; ++c) mTable.Summary(c).N = mCounts[At(c)];
  }
  TTemporaryCounts(const TTemporaryCounts&) = delete;
  TTemporaryCounts& operator=(const TTemporaryCounts&) = delete;

  bool AnyData() const {
    return std::any_of(mCounts.begin(), mCounts.end(), [](std::int32_t n) { return n > 0; });
  }

 private:
  TDataTable& mTable;
  std::array<std::int32_t, MaxColumns> mCounts{};
};

// LastColumn raised to the last analysed column while an analysis runs.
class TRaisedLastColumn {
 public:
  TRaisedLastColumn(TDataTable& table, int column) : mTable(table), mSaved(table.LastColumn()) {
    mTable.SetLastColumn(std::max(mSaved, column));
  }
  ~TRaisedLastColumn() { mTable.SetLastColumn(mSaved); }
  TRaisedLastColumn(const TRaisedLastColumn&) = delete;
  TRaisedLastColumn& operator=(const TRaisedLastColumn&) = delete;

 private:
  TDataTable& mTable;
  int mSaved;
};

// Bonferroni on selected pairs needs a pair. The flags are checked over
// b(b + 1) / 2 entries, b being one more than the last column in use.
bool NoPairSelected(const TDataTable& table, const TTestChoices& choices, int lastDataColumn) {
  const int b = 1 + std::max(table.LastColumn(), lastDataColumn);
  const int count = std::min(b * (b + 1) / 2, PairFlagCount);
  const auto end = choices.PairSelected.begin() + count;
  return std::none_of(choices.PairSelected.begin(), end, [](std::uint8_t flag) { return flag != 0; });
}

TTestColumn TestColumnOf(const TDataTable& table, int column) {
  return {column, table.MeanEntryColumn[At(column)] == 1};
}

void RunOneColumn(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines, int column) {
  TDataTable& table = job.Table;
  const TTestChoices& choices = job.Choices;
  if (choices.OneColumnTest == TOneColumnTest::OneSampleT) {
    TTTestRequest request;
    request.Kind = TTTestKind::OneSample;
    request.Tails = choices.OneColumnTwoTailed != 0 ? 2 : 1;
    request.HypotheticalMean = choices.HypotheticalMean;
    request.First = TestColumnOf(table, column);
    RunAndRecord(job, progress, "oneSampleTTest", [&](TAnalysisRun& run) { routines.TTest(request, run); });
    return;
  }
  TNonparametricRequest request;
  request.Kind = TNonparametricKind::SignedRank;
  request.Tails = choices.OneColumnTwoTailed != 0 ? 2 : 1;
  request.HypotheticalMedian = choices.HypotheticalMean;
  request.First = TestColumnOf(table, column);
  RunAndRecord(job, progress, "wilcoxonSignedRank", [&](TAnalysisRun& run) { routines.Nonparametric(request, run); });
}

void RunTwoColumns(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines, int first,
                   int second) {
  TDataTable& table = job.Table;
  const TTestChoices& choices = job.Choices;
  const bool unpaired = choices.TwoColumnUnpaired != 0;
  if (choices.TwoColumnNonparametric == 0) {
    TTTestRequest request;
    request.Kind = !unpaired ? TTTestKind::Paired : choices.EqualSDs != 0 ? TTTestKind::Unpaired : TTTestKind::Welch;
    request.Tails = choices.TwoColumnTwoTailed != 0 ? 2 : 1;
    request.First = TestColumnOf(table, first);
    request.Second = TestColumnOf(table, second);
    const std::string_view name = request.Kind == TTTestKind::Paired     ? "pairedTTest"
                                  : request.Kind == TTTestKind::Unpaired ? "unpairedTTest"
                                                                         : "welchTTest";
    RunAndRecord(job, progress, name, [&](TAnalysisRun& run) { routines.TTest(request, run); });
    return;
  }
  TNonparametricRequest request;
  request.Kind = unpaired ? TNonparametricKind::MannWhitney : TNonparametricKind::MatchedPairs;
  request.Tails = choices.TwoColumnTwoTailed != 0 ? 2 : 1;
  request.First = TestColumnOf(table, first);
  request.Second = TestColumnOf(table, second);
  RunAndRecord(job, progress, unpaired ? "mannWhitney" : "wilcoxonMatchedPairs",
               [&](TAnalysisRun& run) { routines.Nonparametric(request, run); });
}

// Kruskal-Wallis or Friedman, with the post test the arguments name.
void RunRankTest(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines,
                 const TPostTestArguments& arguments) {
  const TTestChoices& choices = job.Choices;
  TRankAnovaRequest request;
  request.Kind = choices.OrdinaryAnova != 0 ? TRankAnovaKind::KruskalWallis : TRankAnovaKind::Friedman;
  request.PostTest = arguments.Kind == 2 ? TRankPostTest::ControlComparisons : TRankPostTest::Dunn;
  request.PostTestCondition = choices.PostTestCondition;
  request.UseSelectedPairs = arguments.UseSelectedPairs;
  request.PairSelected = choices.PairSelected;
  request.ControlColumn = choices.ControlColumn;
  request.Tails = 2;
  RunAndRecord(job, progress, MultiColumnAnalysis(choices),
               [&](TAnalysisRun& run) { routines.RankAnova(request, run); });
}

// The analysis of variance the choices ask for; Dunnett is two-sided.
TAnovaRequest AnovaRequestOf(const TTestChoices& choices, const TPostTestArguments& arguments) {
  TAnovaRequest request;
  request.Design = choices.OrdinaryAnova != 0 ? TAnovaDesign::Ordinary : TAnovaDesign::RepeatedMeasures;
  request.PostTest = PostTestKindOf(arguments.Kind);
  request.PostTestMode = choices.PostTestCondition;
  request.PairSelected = choices.PairSelected;
  request.UseSelectedPairs = arguments.UseSelectedPairs;
  request.ControlColumn = choices.ControlColumn;
  return request;
}

void RunSelectedTest(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines,
                     const std::vector<int>& selected) {
  TTestChoices& choices = job.Choices;
  switch (choices.ColumnCountKind) {
    case TColumnCountKind::One:
      choices.OneColumn = selected.front();
      RunOneColumn(job, progress, routines, selected.front());
      return;
    case TColumnCountKind::Two:
      choices.FirstColumn = selected[0];
      choices.SecondColumn = selected[1];
      RunTwoColumns(job, progress, routines, selected[0], selected[1]);
      return;
    default: {
      const TPostTestArguments arguments = ComputePostTestArguments(choices, job.SelectedPairsInUse != 0);
      if (arguments.RebuildPairs) RebuildPairsForControl(choices.PairSelected, selected, choices.ControlColumn);
      job.SelectedPairsInUse = arguments.UseSelectedPairs ? 1 : 0;
      if (choices.MultiColumnNonparametric != 0) {
        RunRankTest(job, progress, routines, arguments);
        return;
      }
      const TAnovaRequest request = AnovaRequestOf(choices, arguments);
      RunAndRecord(job, progress, MultiColumnAnalysis(choices),
                   [&](TAnalysisRun& run) { routines.Anova(request, run); });
      return;
    }
  }
}

TStatusCode CurrentExceptionCode() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return TStatusCode::OutOfMemory;
  } catch (...) {
    return TStatusCode::InvalidOperation;
  }
}

}  // namespace

const TAnalysisRoutines& DefaultAnalysisRoutines() {
  static const TAnalysisRoutines routines{
      .TTest = RunTTest,
      .Correlation = RunCorrelation,
      .Nonparametric = RunNonparametric,
      .RankAnova = RunRankAnova,
      .Anova = RunAnova,
      .TwoByTwo = RunTwoByTwo,
      .LargerTable = RunLargerTable,
      .LinearRegression = RunLinearRegression,
      .MultipleRegression = RunMultipleRegression,
  };
  return routines;
}

void WriteNoResultsReport(TReportText& report, std::string_view message) {
  report.ResetReport();
  report.BeginReport();
  report.WriteLine();
  report.WriteLine(message);
  report.WriteLine();
  EndDocumentReport(report);
}

TPostTestArguments ComputePostTestArguments(const TTestChoices& choices, bool previousUseSelectedPairs) {
  TPostTestArguments arguments;
  if (choices.MultiColumnNonparametric == 0) {
    switch (choices.PairSet) {
      case TPairSet::SelectedPairs:
        arguments.Kind = 0;
        arguments.UseSelectedPairs = true;
        break;
      case TPairSet::AgainstControl:
        arguments.Kind = 2;
        arguments.UseSelectedPairs = previousUseSelectedPairs;
        break;
      default:
        arguments.Kind = static_cast<std::int32_t>(choices.PostTestMethod);
        arguments.UseSelectedPairs = false;
        break;
    }
    return arguments;
  }
  switch (choices.PairSet) {
    case TPairSet::SelectedPairs:
      arguments.Kind = 1;
      arguments.UseSelectedPairs = true;
      break;
    case TPairSet::AgainstControl:
      if (choices.OrdinaryAnova != 0) {
        // Kruskal-Wallis has no comparison with a control: Dunn's test on
        // the pairs that contain the control column stands in for it.
        arguments.Kind = 1;
        arguments.UseSelectedPairs = true;
        arguments.RebuildPairs = true;
      } else {
        arguments.Kind = 2;
        arguments.UseSelectedPairs = previousUseSelectedPairs;
      }
      break;
    default:
      arguments.Kind = 1;
      arguments.UseSelectedPairs = false;
      break;
  }
  return arguments;
}

void RunCompareMeansDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines) {
  TDataTable& table = job.Table;
  TReportText& report = job.Report;
  TTestChoices& choices = job.Choices;
  if (CountColumnsWithData(table) == 0) {
    NoResults(job, NoDataMessage);
    return;
  }
  if (!job.ResultsStale && !report.Text().empty()) return;

  TCalculationScope calculation(progress);
  BeginDocumentReport(job);
  if (choices.ColumnCountKind != TColumnCountKind::One && choices.ColumnCountKind != TColumnCountKind::Two &&
      choices.AllColumns == 1)
    for (int c = 0; c < MaxColumns; ++c)
      if (table.Summary(c).N != 0) table.ColumnSelected[At(c)] = 1;

  {
    const TTemporaryTitles titles(table, "Column ");
    const TTemporaryCounts counts(table);
    for (int c = 0; c < MaxColumns; ++c)
      if (table.Summary(c).N < 1) table.ColumnSelected[At(c)] = 0;
    KeepOrChooseControlColumn(table, choices);

    const std::vector<int> selected = SelectedColumnsWithData(table);
    const bool multiColumn =
        choices.ColumnCountKind != TColumnCountKind::One && choices.ColumnCountKind != TColumnCountKind::Two;
    const std::size_t needed = choices.ColumnCountKind == TColumnCountKind::Two ? 2 : 1;
    if (!counts.AnyData()) {
      NoResults(job, NoDataMessage);
      return;
    }
    if (selected.size() < needed) {
      NoResults(job, NoColumnsSelectedMessage);
      return;
    }
    // Only the multi-column test uses pairs: a leftover pair choice must not
    // stop a one- or two-column test.
    if (multiColumn && choices.PairSet == TPairSet::SelectedPairs &&
        choices.PostTestMethod == TPostTestMethod::Bonferroni && NoPairSelected(table, choices, selected.back())) {
      NoResults(job, NoPairSelectedMessage);
      return;
    }

    table.UseColumnSelection = 1;
    const TRaisedLastColumn lastColumn(table, selected.back());
    RunSelectedTest(job, progress, routines, selected);
  }
  EndDocumentReport(job);
}

void RunXYDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines) {
  TDataTable& table = job.Table;
  const TTestChoices& choices = job.Choices;
  if (!table.HasData()) {
    NoResults(job, NoDataMessage);
    return;
  }
  if (!job.ResultsStale) return;

  TCalculationScope calculation(progress);
  BeginDocumentReport(job);
  for (auto& summary : table.Summaries) summary.N = 0;
  table.UseColumnSelection = 0;
  job.Regression = TRegressionOutputs{};
  if (choices.IsRegression != 0) {
    TRegressionOutputs& outputs = job.Regression;
    outputs.ForceThrough = choices.ForceThrough;
    outputs.ForceX = choices.ForceX;
    outputs.ForceY = choices.ForceY;
    TLinearRegressionRequest request;
    request.TestLinearity = choices.RunsTest != 0;
    request.ForceThrough = choices.ForceThrough != 0;
    request.ForceX = choices.ForceX;
    request.ForceY = choices.ForceY;
    request.InterpolateUnknowns = choices.InterpolateUnknowns != 0;
    RunAndRecord(job, progress, "linearRegression",
                 [&](TAnalysisRun& run) { routines.LinearRegression(request, run, outputs); });
    // No line on the graph after a failed fit.
    if (table.StatusCode != TStatusCode::Ok) outputs.Slope = EmptyValue;
  }
  if (choices.RegressionKind == TRegressionKind::Pearson || choices.RegressionKind == TRegressionKind::Spearman) {
    TCorrelationRequest request;
    request.Method =
        choices.RegressionKind == TRegressionKind::Pearson ? TCorrelationMethod::Pearson : TCorrelationMethod::Spearman;
    request.XColumn = 0;
    request.YColumns = YColumns(table);
    const bool pearson = request.Method == TCorrelationMethod::Pearson;
    RunAndRecord(job, progress, pearson ? "pearsonCorrelation" : "spearmanCorrelation",
                 [&](TAnalysisRun& run) { routines.Correlation(request, run); });
  }
  EndDocumentReport(job);
}

void RunLargerTableDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines) {
  TDataTable& table = job.Table;
  if (!table.HasData()) {
    NoResults(job, NoDataMessage);
    return;
  }
  if (!job.ResultsStale) return;

  TCalculationScope calculation(progress);
  BeginDocumentReport(job);
  for (auto& summary : table.Summaries) summary.N = 0;
  table.UseColumnSelection = 0;
  {
    const TTemporaryTitles titles(table, "");
    RunAndRecord(job, progress, "largerTable",
                 [&](TAnalysisRun& run) { routines.LargerTable(TLargerTableRequest{}, run); });
  }
  EndDocumentReport(job);
}

void RunTwoByTwoDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines) {
  const TTestChoices& choices = job.Choices;
  const TTwoByTwoTable& counts = job.TwoByTwo;

  TCalculationScope calculation(progress);
  BeginDocumentReport(job);
  const auto titleOr = [&](int index, std::string_view fallback) {
    const std::string& title = counts.Titles[At(index)];
    return title.empty() ? std::string(fallback) : title;
  };
  TTwoByTwoRequest request;
  request.A = counts.A;
  request.B = counts.B;
  request.C = counts.C;
  request.D = counts.D;
  request.Titles = {titleOr(TTwoByTwoTable::Column1Title, "Column A"),
                    titleOr(TTwoByTwoTable::Column2Title, "Column B"), titleOr(TTwoByTwoTable::Row1Title, "Row 1"),
                    titleOr(TTwoByTwoTable::Row2Title, "Row 2")};
  request.Test = choices.UseChiSquare;
  request.Yates = choices.Yates != 0;
  request.Tails = choices.TwoByTwoTwoSided != 0 ? 2 : 1;
  request.RelativeRisk = choices.ReportRelativeRisk != 0;
  request.OddsRatio = choices.ReportOddsRatio != 0;
  request.Difference = choices.ReportRiskDifference != 0;
  request.Sensitivity = choices.ReportSensitivity != 0;
  RunAndRecord(job, progress, "twoByTwo", [&](TAnalysisRun& run) { routines.TwoByTwo(request, run); });
  EndDocumentReport(job);
}

void RunMultipleRegressionDriver(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines) {
  TDataTable& table = job.Table;
  TReportText& report = job.Report;
  const TTestChoices& choices = job.Choices;
  job.MultipleRegressionResults = TMultipleRegressionOutputs{};
  if (!table.HasData()) {
    NoResults(job, NoDataMessage);
    return;
  }

  TCalculationScope calculation(progress);
  job.Results = TReportResults{};
  report.ResetReport();
  report.BeginReport();
  TMultipleRegressionRequest request;
  request.Mode = choices.MultipleRegression != 0 ? TMultipleRegressionMode::Regression
                                                 : TMultipleRegressionMode::CorrelationMatrix;
  request.DependentColumn = choices.DependentColumn;
  request.Selected = choices.IndependentSelected;
  job.Results.Analyses.push_back(TAnalysisRecord{});
  TAnalysisRecord& record = job.Results.Analyses.back();
  record.Analysis = choices.MultipleRegression != 0 ? "multipleRegression" : "correlationMatrix";
  RunGuarded(table, &report, [&] {
    TAnalysisRun run{table, report, progress, record};
    routines.MultipleRegression(request, run, job.MultipleRegressionResults);
  });
  // This analysis writes its whole report; only a refusal replaces it.
  record.Status = table.StatusCode;
  if (table.StatusCode != TStatusCode::Ok) {
    record.Results = record.Method = record.Tables = TResultValue::Null();
    record.FirstLine = 0;
    report.WriteErrorReport(table.StatusCode);
    job.MultipleRegressionResults = TMultipleRegressionOutputs{};
  }
  record.EndLine = report.LineCount();
  EndDocumentReport(job);
}

void RunAnalysis(const TAnalysisJob& job, TCalcProgress& progress, const TAnalysisRoutines& routines,
                 const std::function<void()>& prepare) {
  try {
    if (prepare) prepare();
    switch (job.Format) {
      case TDataFormat::Raw:
      case TDataFormat::MeanSdN:
      case TDataFormat::MeanSemN:
        RunCompareMeansDriver(job, progress, routines);
        break;
      case TDataFormat::XY:
        RunXYDriver(job, progress, routines);
        break;
      case TDataFormat::TwoByTwo:
        RunTwoByTwoDriver(job, progress, routines);
        break;
      case TDataFormat::LargerTable:
        RunLargerTableDriver(job, progress, routines);
        break;
      case TDataFormat::MultipleRegression:
        RunMultipleRegressionDriver(job, progress, routines);
        break;
    }
  } catch (...) {
    // Only bookkeeping outside the analyses can get here (memory for a
    // title or a column list); the report then says so instead of showing
    // a half-written text.
    job.Table.StatusCode = CurrentExceptionCode();
    job.Results = TReportResults{};
    job.Results.Notice = RefusalMessage(job.Table.StatusCode);
    TReportText& report = job.Report;
    report.ResetReport();
    report.BeginReport();
    report.WriteErrorReport(job.Table.StatusCode);
    EndDocumentReport(report);
  }
  job.ResultsStale = false;
}

}  // namespace ombrel
