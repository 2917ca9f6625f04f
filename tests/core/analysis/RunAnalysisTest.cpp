#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/analysis/AnalysisFrame.h"
#include "core/base/CalcProgress.h"
#include "core/analysis/ChooseTest.h"
#include "core/document/DocumentAnalysis.h"

namespace ombrel {
namespace {

// What an analysis routine saw of the table when it was called, and with
// which arguments.
struct TCall {
  std::string Routine;
  std::array<std::string, MaxColumns> Titles;
  std::array<std::int32_t, MaxColumns> Counts{};
  int LastColumn = 0;
  std::uint8_t UseColumnSelection = 0;
  bool Calculating = false;
  int First = -2;
  int Second = -2;
  std::string FirstSummaryTitle;
  std::string SecondSummaryTitle;
  int ControlColumn = -1;
  std::int32_t Kind = -1;
  bool UseSelectedPairs = false;
  TPairFlags Pairs{};
  std::array<std::string, 2> ColumnTitles;
  std::array<std::string, 2> RowTitles;
};

enum class TBehaviour { Succeed, Refuse, Throw, InvalidArithmetic };

// Stand-in analyses that record their calls and then behave as told.
class TRecorder {
 public:
  std::vector<TCall> Calls;
  TBehaviour Behaviour = TBehaviour::Succeed;
  TCalcProgress* Progress = nullptr;

  TAnalysisRoutines Routines() {
    TAnalysisRoutines routines;
    routines.TTest = [this](const TTTestRequest& request, TAnalysisRun& run) {
      const bool one = request.Kind == TTTestKind::OneSample;
      TCall& call = Record(one ? "one column" : "two columns", run.Table);
      call.First = request.First.Averaged ? -1 : request.First.Column;
      call.FirstSummaryTitle = run.Table.Summary(request.First.Column).Title;
      if (!one) {
        call.Second = request.Second.Averaged ? -1 : request.Second.Column;
        call.SecondSummaryTitle = run.Table.Summary(request.Second.Column).Title;
      }
      Finish(run.Table, run.Report);
    };
    routines.Nonparametric = [this](const TNonparametricRequest& request, TAnalysisRun& run) {
      const bool one = request.Kind == TNonparametricKind::SignedRank;
      TCall& call = Record(one ? "one column, nonparametric" : "two columns, nonparametric", run.Table);
      call.First = request.First.Averaged ? -1 : request.First.Column;
      call.FirstSummaryTitle = run.Table.Summary(request.First.Column).Title;
      if (!one) {
        call.Second = request.Second.Averaged ? -1 : request.Second.Column;
        call.SecondSummaryTitle = run.Table.Summary(request.Second.Column).Title;
      }
      Finish(run.Table, run.Report);
    };
    routines.RankAnova = [this](const TRankAnovaRequest& request, TAnalysisRun& run) {
      TCall& call = Record("multi column, nonparametric", run.Table);
      call.Pairs = request.PairSelected;
      call.UseSelectedPairs = request.UseSelectedPairs;
      call.ControlColumn = request.ControlColumn;
      call.Kind = static_cast<std::int32_t>(request.PostTest);
      Finish(run.Table, run.Report);
    };
    routines.Anova = [this](const TAnovaRequest& request, TAnalysisRun& run) {
      TCall& call = Record("anova", run.Table);
      call.Pairs = request.PairSelected;
      call.UseSelectedPairs = request.UseSelectedPairs;
      call.ControlColumn = request.ControlColumn;
      call.Kind = static_cast<std::int32_t>(request.PostTest);
      Finish(run.Table, run.Report);
    };
    routines.TwoByTwo = [this](const TTwoByTwoRequest& request, TAnalysisRun& run) {
      TCall& call = Record("two by two", run.Table);
      call.ColumnTitles = {request.Titles.LeftColumn, request.Titles.RightColumn};
      call.RowTitles = {request.Titles.TopRow, request.Titles.BottomRow};
      Finish(run.Table, run.Report);
    };
    routines.LargerTable = [this](const TLargerTableRequest&, TAnalysisRun& run) {
      Record("larger table", run.Table);
      Finish(run.Table, run.Report);
    };
    routines.LinearRegression = [this](const TLinearRegressionRequest&, TAnalysisRun& run,
                                       TRegressionOutputs& outputs) {
      Record("linear regression", run.Table);
      outputs.Slope = 2;
      outputs.Intercept = 1;
      Finish(run.Table, run.Report);
    };
    routines.Correlation = [this](const TCorrelationRequest& request, TAnalysisRun& run) {
      Record(request.Method == TCorrelationMethod::Pearson ? "pearson" : "spearman", run.Table);
      Finish(run.Table, run.Report);
    };
    routines.MultipleRegression = [this](const TMultipleRegressionRequest&, TAnalysisRun& run,
                                         TMultipleRegressionOutputs&) {
      Record("multiple regression", run.Table);
      Finish(run.Table, run.Report);
    };
    return routines;
  }

 private:
  TCall& Record(const std::string& routine, const TDataTable& table) {
    TCall call;
    call.Routine = routine;
    for (int c = 0; c < MaxColumns; ++c) {
      call.Titles[static_cast<std::size_t>(c)] = table.Summary(c).Title;
      call.Counts[static_cast<std::size_t>(c)] = table.Summary(c).N;
    }
    call.LastColumn = table.LastColumn();
    call.UseColumnSelection = table.UseColumnSelection;
    call.Calculating = Progress != nullptr && Progress->Calculating();
    Calls.push_back(call);
    return Calls.back();
  }

  TStatusCode Finish(TDataTable& table, TReportText& report) {
    table.StatusCode = TStatusCode::Ok;
    report.WriteLine("routine ran");
    switch (Behaviour) {
      case TBehaviour::Succeed:
        break;
      case TBehaviour::Refuse:
        table.StatusCode = TStatusCode::SDZero;
        break;
      case TBehaviour::Throw:
        throw std::runtime_error("fault");
      case TBehaviour::InvalidArithmetic: {
        volatile double zero = 0.0;
        volatile double invalid = zero / zero;
        static_cast<void>(invalid);
        break;
      }
    }
    return table.StatusCode;
  }
};

// Raw values typed into a column, as the grid stores them.
void TypeColumn(TDocument& document, int column, const std::vector<TReal>& values) {
  for (std::size_t r = 0; r < values.size(); ++r) document.Table.SetValue(static_cast<int>(r), column, values[r]);
  document.Table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
}

// A typed mean, SD and N.
void TypeMean(TDocument& document, int column, std::int32_t n) {
  TColumnSummary& summary = document.Table.Summary(column);
  summary.N = n;
  summary.Mean = 10;
  summary.SD = 2;
}

class RunAnalysisTest : public ::testing::Test {
 protected:
  RunAnalysisTest() { Recorder.Progress = &Progress; }
  void Run() { RunAnalysis(Document, Progress, Recorder.Routines()); }

  TDocument Document;
  TSilentCalcProgress Progress;
  TRecorder Recorder;
};

TEST_F(RunAnalysisTest, PreconditionsGiveTheirThreeLineReports) {
  struct TRow {
    const char* Name;
    TDataFormat Format;
    void (*Prepare)(TDocument&);
    std::string_view Message;
  };
  const TRow rows[] = {
      {"no raw data", TDataFormat::Raw, [](TDocument&) {}, NoDataMessage},
      {"no typed means", TDataFormat::MeanSdN, [](TDocument&) {}, NoDataMessage},
      {"empty XY table", TDataFormat::XY, [](TDocument&) {}, NoDataMessage},
      {"empty larger table", TDataFormat::LargerTable, [](TDocument&) {}, NoDataMessage},
      {"Bonferroni without pairs", TDataFormat::MeanSdN,
       [](TDocument& document) {
         for (int c = 0; c < 3; ++c) TypeMean(document, c, 4);
         document.Choices.PairSet = TPairSet::SelectedPairs;
         document.Choices.PostTestMethod = TPostTestMethod::Bonferroni;
         document.Choices.PairSelected.fill(0);
       },
       NoPairSelectedMessage},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document;
    TRecorder recorder;
    document.ChooseFormat(row.Format);
    document.Table.SetTitle("Data set");
    row.Prepare(document);
    RunAnalysis(document, Progress, recorder.Routines());
    const std::vector<std::string> lines = test::VisibleLines(document.Report);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], row.Message);
    EXPECT_EQ(lines[2], "");
    EXPECT_TRUE(recorder.Calls.empty());
    EXPECT_FALSE(document.ResultsStale);
    EXPECT_FALSE(Progress.Calculating());
  }
}

TEST_F(RunAnalysisTest, NoSelectedColumnIsReported) {
  // Nothing left selected after the choose-test page was last visited.
  Document.ChooseFormat(TDataFormat::MeanSdN);
  TypeMean(Document, 0, 4);
  TypeMean(Document, 1, 4);
  Document.Table.ColumnSelected.fill(0);
  Document.Choices.ColumnCountKind = TColumnCountKind::One;
  Document.Choices.AllColumns = 0;
  RunCompareMeansDriver(AnalysisJobOf(Document), Progress, Recorder.Routines());
  const std::vector<std::string> lines = test::VisibleLines(Document.Report);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], NoColumnsSelectedMessage);
  EXPECT_TRUE(Recorder.Calls.empty());
}

TEST_F(RunAnalysisTest, TemporaryTitlesAndCountsAreRestoredOnEveryPath) {
  struct TRow {
    const char* Name;
    TBehaviour Behaviour;
    TStatusCode Code;  // StatusCode afterwards
  };
  const TRow rows[] = {
      {"success", TBehaviour::Succeed, TStatusCode::Ok},
      {"refusal", TBehaviour::Refuse, TStatusCode::SDZero},
      {"exception", TBehaviour::Throw, TStatusCode::InvalidOperation},
      {"invalid arithmetic", TBehaviour::InvalidArithmetic, TStatusCode::InvalidOperation},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document;
    TRecorder recorder;
    recorder.Progress = &Progress;
    recorder.Behaviour = row.Behaviour;
    TypeColumn(document, 0, {1, 2, 3});
    TypeColumn(document, 1, {4, 5});
    TypeColumn(document, 2, {6, 7, 8, 9});
    TypeColumn(document, 3, {1});
    document.Table.Summary(0).Title = "Control";
    document.Choices.AllColumns = 0;
    document.Choices.LastColumnCount = 4;
    document.RefreshSummaries();
    document.Table.ColumnSelected[1] = 0;  // B takes no part
    RunAnalysis(document, Progress, recorder.Routines());

    ASSERT_EQ(recorder.Calls.size(), 1u);
    const TCall& call = recorder.Calls[0];
    EXPECT_EQ(call.Routine, "anova");
    EXPECT_EQ(call.Titles[0], "Control");
    EXPECT_EQ(call.Titles[2], "Column C");
    EXPECT_EQ(call.Titles[25], "Column Z");
    EXPECT_EQ(call.Counts[1], 0);
    EXPECT_EQ(call.Counts[2], 4);
    EXPECT_EQ(call.UseColumnSelection, 1);
    EXPECT_TRUE(call.Calculating);

    EXPECT_EQ(document.Table.StatusCode, row.Code);
    // The record keeps the final status, and no results after a fault.
    ASSERT_EQ(document.Results.Analyses.size(), 1u);
    EXPECT_EQ(document.Results.Analyses[0].Analysis, "oneWayAnova");
    EXPECT_EQ(document.Results.Analyses[0].Status, row.Code);
    for (int c = 1; c < MaxColumns; ++c) EXPECT_EQ(document.Table.Summary(c).Title, "") << ColumnLetter(c);
    EXPECT_EQ(document.Table.Summary(0).Title, "Control");
    EXPECT_EQ(document.Table.Summary(1).N, 2);
    EXPECT_EQ(document.Table.Summary(2).N, 4);
    EXPECT_FALSE(Progress.Calculating());
    EXPECT_FALSE(document.ResultsStale);
    const std::vector<std::string> lines = test::VisibleLines(document.Report);
    ASSERT_GE(lines.size(), 2u);
    if (row.Code == TStatusCode::Ok) {
      EXPECT_EQ(lines[0], "routine ran");
    } else {
      EXPECT_EQ(lines[1], ErrorMessageLines(row.Code).front());
    }
  }
}

TEST_F(RunAnalysisTest, TitlesAreRestoredAfterAFailedCheck) {
  Document.ChooseFormat(TDataFormat::MeanSdN);
  for (int c = 0; c < 3; ++c) TypeMean(Document, c, 4);
  Document.Choices.PairSet = TPairSet::SelectedPairs;
  Document.Choices.PostTestMethod = TPostTestMethod::Bonferroni;
  Document.Choices.PairSelected.fill(0);
  Document.Table.ColumnSelected[2] = 0;
  Document.Choices.AllColumns = 0;
  Document.Choices.LastColumnCount = 3;
  Document.Choices.ColumnCountKind = TColumnCountKind::ThreeOrMore;
  RunCompareMeansDriver(AnalysisJobOf(Document), Progress, Recorder.Routines());
  EXPECT_EQ(test::VisibleLines(Document.Report)[1], NoPairSelectedMessage);
  EXPECT_EQ(Document.Table.Summary(2).Title, "");
  EXPECT_EQ(Document.Table.Summary(2).N, 4);
}

TEST_F(RunAnalysisTest, LargerTableTitlesAreBareLettersForTheCall) {
  Document.ChooseFormat(TDataFormat::LargerTable);
  TypeColumn(Document, 0, {10, 20});
  TypeColumn(Document, 2, {5, 6});
  Document.Table.Summary(0).Title = "Cured";
  Document.Table.Summary(2).N = 9;
  Document.Table.UseColumnSelection = 1;
  Run();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  const TCall& call = Recorder.Calls[0];
  EXPECT_EQ(call.Titles[0], "Cured");
  EXPECT_EQ(call.Titles[2], "C");
  EXPECT_EQ(call.Counts[2], 0);
  EXPECT_EQ(call.UseColumnSelection, 0);
  EXPECT_EQ(Document.Table.Summary(2).Title, "");
  EXPECT_EQ(Document.Table.Summary(0).Title, "Cured");
}

TEST_F(RunAnalysisTest, ColumnCountKindChoosesTheTestAndItsColumns) {
  // One raw column: its index is passed.
  TypeColumn(Document, 3, {1, 2, 3});
  Document.Table.SetTitle("Blood pressure");
  Run();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_EQ(Recorder.Calls[0].Routine, "one column");
  EXPECT_EQ(Recorder.Calls[0].First, 3);
  EXPECT_EQ(Recorder.Calls[0].FirstSummaryTitle, "Column D");
  EXPECT_EQ(Document.Choices.OneColumn, 3);
  // The data set title heads the report.
  const std::vector<std::string> lines = test::VisibleLines(Document.Report);
  EXPECT_EQ(lines[0], "Blood pressure");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "routine ran");

  // Two averaged columns: passed as -1, summaries second then first, and
  // the extent raised to the last column for the call only.
  TDocument averaged;
  TRecorder recorder;
  averaged.ChooseFormat(TDataFormat::MeanSemN);
  TypeMean(averaged, 1, 5);
  TypeMean(averaged, 4, 6);
  averaged.Table.Summary(1).Title = "Before";
  averaged.Table.Summary(4).Title = "After";
  RunAnalysis(averaged, Progress, recorder.Routines());
  ASSERT_EQ(recorder.Calls.size(), 1u);
  const TCall& call = recorder.Calls[0];
  EXPECT_EQ(call.Routine, "two columns");
  EXPECT_EQ(call.First, -1);
  EXPECT_EQ(call.Second, -1);
  EXPECT_EQ(call.FirstSummaryTitle, "Before");
  EXPECT_EQ(call.SecondSummaryTitle, "After");
  EXPECT_EQ(call.LastColumn, 4);
  EXPECT_EQ(averaged.Table.LastColumn(), 0);
  EXPECT_EQ(averaged.Choices.FirstColumn, 1);
  EXPECT_EQ(averaged.Choices.SecondColumn, 4);
}

TEST_F(RunAnalysisTest, ControlColumnFollowsTheSelection) {
  Document.ChooseFormat(TDataFormat::MeanSdN);
  for (int c = 0; c < 4; ++c) TypeMean(Document, c, 4);
  Document.Choices.AllColumns = 0;
  Document.Choices.LastColumnCount = 4;
  Document.Table.ColumnSelected[0] = 0;
  Document.Choices.ControlColumn = 0;  // no longer selected
  ChoosePostTestRow(Document.Choices, 5, true);
  Run();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_EQ(Recorder.Calls[0].ControlColumn, 1);
  EXPECT_EQ(Recorder.Calls[0].Kind, 2);
  EXPECT_EQ(Document.Choices.ControlColumn, 1);

  Document.Choices.ControlColumn = 3;
  Document.MarkChanged();
  Run();
  EXPECT_EQ(Recorder.Calls.back().ControlColumn, 3);
}

TEST_F(RunAnalysisTest, KruskalWallisAgainstAControlComparesPairsWithTheControl) {
  for (int c : {0, 2, 3}) TypeColumn(Document, c, {1, 2, 3});
  Document.Choices.MultiColumnNonparametric = 1;
  Document.Choices.PairSet = TPairSet::AgainstControl;
  Document.Choices.ControlColumn = 2;
  Run();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  const TCall& call = Recorder.Calls[0];
  EXPECT_EQ(call.Kind, 1);
  EXPECT_TRUE(call.UseSelectedPairs);
  // Pairs A-C, A-D, C-D of the three selected columns.
  EXPECT_EQ(call.Pairs[0], 1);
  EXPECT_EQ(call.Pairs[1], 0);
  EXPECT_EQ(call.Pairs[2], 1);
}

TEST(ComputePostTestArguments, FollowsTheTableOfChoices) {
  struct TRow {
    std::int32_t Nonparametric, Ordinary;
    TPairSet PairSet;
    TPostTestMethod Method;
    bool Previous;
    std::int32_t Kind;
    bool UseSelectedPairs, Rebuild;
  };
  constexpr TPairSet All = TPairSet::AllPairs, Selected = TPairSet::SelectedPairs, Control = TPairSet::AgainstControl;
  constexpr TPostTestMethod Tukey = TPostTestMethod::Tukey, Snk = TPostTestMethod::StudentNewmanKeuls;
  const TRow rows[] = {
      {0, 1, All, Snk, true, 3, false, false},         // parametric, all pairs: the method itself
      {0, 1, Selected, Tukey, false, 0, true, false},  // selected pairs: Bonferroni
      {0, 1, Control, Tukey, true, 2, true, false},    // control: Dunnett, flag unchanged
      {0, 0, Control, Tukey, false, 2, false, false},
      {1, 1, All, Snk, true, 1, false, false},  // nonparametric: Dunn
      {1, 0, Selected, Snk, false, 1, true, false},
      {1, 1, Control, Snk, false, 1, true, true},  // Kruskal-Wallis with a control
      {1, 0, Control, Snk, true, 2, true, false},  // Friedman with a control
      {1, 0, Control, Snk, false, 2, false, false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::to_string(row.Nonparametric) + std::to_string(row.Ordinary) +
                 std::to_string(static_cast<int>(row.PairSet)));
    TTestChoices choices;
    choices.MultiColumnNonparametric = row.Nonparametric;
    choices.OrdinaryAnova = row.Ordinary;
    choices.PairSet = row.PairSet;
    choices.PostTestMethod = row.Method;
    const TPostTestArguments arguments = ComputePostTestArguments(choices, row.Previous);
    EXPECT_EQ(arguments.Kind, row.Kind);
    EXPECT_EQ(arguments.UseSelectedPairs, row.UseSelectedPairs);
    EXPECT_EQ(arguments.RebuildPairs, row.Rebuild);
  }
}

TEST_F(RunAnalysisTest, XYRunsRegressionThenTheChosenCorrelation) {
  Document.ChooseFormat(TDataFormat::XY);
  TypeColumn(Document, 0, {1, 2, 3});
  TypeColumn(Document, 1, {2, 4, 7});
  Document.Table.Summary(1).N = 3;
  Run();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  EXPECT_EQ(Recorder.Calls[0].Routine, "linear regression");
  EXPECT_EQ(Recorder.Calls[0].Counts[1], 0);
  EXPECT_EQ(Document.Regression.Slope, 2);

  // A failed fit leaves no line for the graph.
  Recorder.Behaviour = TBehaviour::Refuse;
  Document.MarkChanged();
  Run();
  EXPECT_TRUE(IsEmpty(Document.Regression.Slope));

  Recorder.Behaviour = TBehaviour::Succeed;
  ChooseRegression(Document.Choices, TRegressionChoice::Spearman);
  Document.MarkChanged();
  Run();
  EXPECT_EQ(Recorder.Calls.back().Routine, "spearman");
  EXPECT_TRUE(IsEmpty(Document.Regression.Slope));
}

TEST_F(RunAnalysisTest, TwoByTwoPassesDefaultTitlesAndKeepsTheStoredOnes) {
  Document.ChooseFormat(TDataFormat::TwoByTwo);
  Document.TwoByTwo.Titles[TTwoByTwoTable::Row1Title] = "Smokers";
  Run();
  ASSERT_EQ(Recorder.Calls.size(), 1u);
  const TCall& call = Recorder.Calls[0];
  EXPECT_EQ(call.ColumnTitles[0], "Column A");
  EXPECT_EQ(call.ColumnTitles[1], "Column B");
  EXPECT_EQ(call.RowTitles[0], "Smokers");
  EXPECT_EQ(call.RowTitles[1], "Row 2");
  EXPECT_EQ(Document.TwoByTwo.Titles[TTwoByTwoTable::Row2Title], "");
}

// Progress that counts the calculations begun.
class TCountingProgress : public TCalcProgress {
 public:
  int Calculations = 0;

 protected:
  void PanelChanged() override {
    if (Calculating() && !mWasCalculating) ++Calculations;
    mWasCalculating = Calculating();
  }

 private:
  bool mWasCalculating = false;
};

TEST(EnterResultsStep, ComputesOnceWithoutChanges) {
  TDocument document;
  TypeColumn(document, 0, {1, 2, 3});
  TCountingProgress progress;
  EXPECT_TRUE(document.EnterStep(TStep::Results, progress));
  document.EnterStep(TStep::ChooseTest, progress);
  EXPECT_FALSE(document.EnterStep(TStep::Results, progress));
  EXPECT_EQ(progress.Calculations, 1);
  document.MarkChanged();
  EXPECT_TRUE(document.EnterStep(TStep::Results, progress));
  EXPECT_EQ(progress.Calculations, 2);
}

}  // namespace
}  // namespace ombrel
