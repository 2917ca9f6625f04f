#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/analysis/ChooseTest.h"

namespace ombrel {
namespace {

// A table whose listed columns hold data (N > 0) and are the only selected
// ones.
TDataTable TableWithColumns(const std::vector<int>& withData, const std::vector<int>& selected) {
  TDataTable table;
  table.ResetForNewDocument();
  table.ColumnSelected.fill(0);
  for (int c : withData) table.Summary(c).N = 3;
  for (int c : selected) table.ColumnSelected[static_cast<std::size_t>(c)] = 1;
  return table;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> columns;
  for (int c = first; c <= last; ++c) columns.push_back(c);
  return columns;
}

TEST(SelectedColumnsCaption, JoinsRunsOfLetters) {
  struct TRow {
    std::vector<int> Selected;
    std::string Caption;
    std::string Label;
  };
  const TRow rows[] = {
      {{0, 1, 3, 4, 5, 7}, "Selected: A&&B,D-F,H", "Selected: A&B,D-F,H"},
      {{0}, "Selected: A", "Selected: A"},
      {{}, "Selected: ", "Selected: "},
      {{0, 1, 2}, "Selected: A-C", "Selected: A-C"},
      {{24, 25}, "Selected: Y&&Z", "Selected: Y&Z"},
      {{0, 2, 4}, "Selected: A,C,E", "Selected: A,C,E"},
      {{1, 2, 4, 5}, "Selected: B&&C,E&&F", "Selected: B&C,E&F"},
      {Range(0, 25), "Selected: A-Z", "Selected: A-Z"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Caption);
    const TDataTable table = TableWithColumns(Range(0, 25), row.Selected);
    EXPECT_EQ(SelectedColumnsCaption(table), row.Caption);
    EXPECT_EQ(LabelText(SelectedColumnsCaption(table)), row.Label);
  }
}

TEST(SelectedColumnsCaption, LeavesOutSelectedColumnsWithoutData) {
  // B is selected but empty, so A and C are separate runs.
  const TDataTable table = TableWithColumns({0, 2}, {0, 1, 2});
  EXPECT_EQ(SelectedColumnsList(table), "A,C");
}

TEST(UpdateColumnChoices, AppliesTheRulesOfEnteringTheChooseTestPage) {
  struct TRow {
    const char* Name;
    std::vector<int> WithData;
    std::vector<int> Selected;
    std::int32_t LastColumnCount;
    std::uint8_t AllColumns;
    std::vector<int> ExpectedSelected;  // selected columns with data afterwards
    std::uint8_t ExpectedAllColumns;
    TColumnCountKind ExpectedKind;
  };
  using K = TColumnCountKind;
  const TRow rows[] = {
      {"nothing selected selects every column with data", {0, 1}, {}, 2, 0, {0, 1}, 0, K::Two},
      {"more columns and all columns reselects", {0, 1, 2}, {0}, 2, 1, {0, 1, 2}, 1, K::ThreeOrMore},
      {"more columns keeps a chosen selection", {0, 1, 2}, {0}, 2, 0, {0}, 0, K::One},
      {"fewer columns turns to the selection", {0, 1}, {0, 1}, 3, 1, {0, 1}, 0, K::Two},
      {"same count keeps everything", {0, 1, 4}, {4}, 3, 1, {4}, 1, K::One},
      {"kind is capped at three", Range(0, 9), Range(0, 9), 10, 1, Range(0, 9), 1, K::ThreeOrMore},
      {"no data gives kind zero", {}, {0, 1}, 0, 1, {}, 1, K::None},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table = TableWithColumns(row.WithData, row.Selected);
    TTestChoices choices;
    choices.LastColumnCount = row.LastColumnCount;
    choices.AllColumns = row.AllColumns;
    EXPECT_EQ(UpdateColumnChoices(table, choices), row.ExpectedKind);
    EXPECT_EQ(SelectedColumnsWithData(table), row.ExpectedSelected);
    EXPECT_EQ(choices.AllColumns, row.ExpectedAllColumns);
    EXPECT_EQ(choices.ColumnCountKind, row.ExpectedKind);
    EXPECT_EQ(choices.LastColumnCount, static_cast<std::int32_t>(row.WithData.size()));
  }
}

TEST(PostTestRow, MapsRowsToMethodAndPairSetAndBack) {
  struct TRow {
    int Row;
    TPostTestMethod Method;
    TPairSet PairSet;
    int NonparametricRow;  // the row the rank list shows for the same choice
  };
  using M = TPostTestMethod;
  using P = TPairSet;
  const TRow rows[] = {
      {1, M::Bonferroni, P::SelectedPairs, 1}, {2, M::Bonferroni, P::AllPairs, 2},
      {3, M::Tukey, P::AllPairs, 2},           {4, M::StudentNewmanKeuls, P::AllPairs, 2},
      {5, M::Dunnett, P::AgainstControl, 2},   {6, M::LinearTrend, P::AllPairs, 2},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE("row " + std::to_string(row.Row));
    for (const bool checked : {false, true}) {
      TTestChoices choices;
      ChoosePostTestRow(choices, row.Row, checked);
      EXPECT_EQ(choices.PostTestMethod, row.Method);
      EXPECT_EQ(choices.PairSet, row.PairSet);
      EXPECT_EQ(choices.PostTestCondition, checked ? TPostTestCondition::IfSignificant : TPostTestCondition::Always);
      EXPECT_EQ(PostTestRowFromChoices(choices), row.Row);
      choices.MultiColumnNonparametric = 1;
      EXPECT_EQ(PostTestRowFromChoices(choices), row.NonparametricRow);
    }
  }
}

TEST(PostTestRow, RowZeroMeansNoPostTestAndKeepsTheMethod) {
  TTestChoices choices;
  ChoosePostTestRow(choices, 5, true);
  ChoosePostTestRow(choices, 0, false);
  EXPECT_EQ(choices.PostTestCondition, TPostTestCondition::Never);
  EXPECT_EQ(PostTestRowFromChoices(choices), 0);
  EXPECT_FALSE(PostTestOnlyIfSignificantChecked(choices));
  // Choosing the post test again brings back its method.
  choices.PostTestCondition = TPostTestCondition::IfSignificant;
  EXPECT_EQ(PostTestRowFromChoices(choices), 5);
}

TEST(PostTestRow, TheSignificanceBoxSetsTheCondition) {
  TTestChoices choices;
  ChoosePostTestOnlyIfSignificant(choices, false, 3);
  EXPECT_EQ(choices.PostTestCondition, TPostTestCondition::Always);
  ChoosePostTestOnlyIfSignificant(choices, false, 0);
  EXPECT_EQ(choices.PostTestCondition, TPostTestCondition::Never);
  ChoosePostTestOnlyIfSignificant(choices, true, 3);
  EXPECT_EQ(choices.PostTestCondition, TPostTestCondition::IfSignificant);
  EXPECT_TRUE(PostTestOnlyIfSignificantChecked(choices));
}

TEST(PostTestRow, NamesTheTestAndShowsTheRightControls) {
  TTestChoices choices;
  EXPECT_EQ(MultiColumnTestName(choices, 3), "One-way ANOVA with post-test");
  choices.MultiColumnNonparametric = 1;
  EXPECT_EQ(MultiColumnTestName(choices, 0), "Kruskal-Wallis test without post-test");
  choices.OrdinaryAnova = 0;
  EXPECT_EQ(MultiColumnTestName(choices, 2), "Friedman test with post-test");
  choices.MultiColumnNonparametric = 0;
  EXPECT_EQ(MultiColumnTestName(choices, 0), "Repeated measures ANOVA without post-test");
  // A Tukey choice shows as Dunn on all pairs in the rank list.
  TTestChoices tukey;
  tukey.MultiColumnNonparametric = 1;
  EXPECT_EQ(PostTestRowCaptions(true)[static_cast<std::size_t>(PostTestRowFromChoices(tukey))],
            "Dunn: Compare all pairs of columns.");
  EXPECT_TRUE(ControlColumnVisible(5, false));
  EXPECT_FALSE(ControlColumnVisible(2, true));
  EXPECT_TRUE(SelectPairsVisible(1));
  EXPECT_FALSE(SelectPairsVisible(2));
}

TEST(AlsoCalculate, SetsTheFourFlagsAndReadsThemBack) {
  struct TRow {
    TAlsoCalculate Choice;
    std::uint8_t RelativeRisk, OddsRatio, RiskDifference, Sensitivity;
  };
  const TRow rows[] = {
      {TAlsoCalculate::OddsRatio, 0, 1, 0, 0},
      {TAlsoCalculate::RelativeRisk, 1, 0, 1, 0},
      {TAlsoCalculate::Sensitivity, 0, 0, 0, 1},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Choice));
    TTestChoices choices;
    ChooseAlsoCalculate(choices, row.Choice);
    EXPECT_EQ(choices.ReportRelativeRisk, row.RelativeRisk);
    EXPECT_EQ(choices.ReportOddsRatio, row.OddsRatio);
    EXPECT_EQ(choices.ReportRiskDifference, row.RiskDifference);
    EXPECT_EQ(choices.ReportSensitivity, row.Sensitivity);
    EXPECT_EQ(AlsoCalculateFromChoices(choices), row.Choice);
  }
  EXPECT_EQ(AlsoCalculateFromChoices(TTestChoices{}), TAlsoCalculate::RelativeRisk);
}

TEST(HypotheticalMean, ChoosesRadiosAndCaptions) {
  using H = THypotheticalMeanChoice;
  EXPECT_EQ(HypotheticalMeanChoiceFor(100), H::Hundred);
  EXPECT_EQ(HypotheticalMeanChoiceFor(0), H::Zero);
  EXPECT_EQ(HypotheticalMeanChoiceFor(1), H::One);
  EXPECT_EQ(HypotheticalMeanChoiceFor(1.5L), H::Typed);
  EXPECT_EQ(HypotheticalMeanCaption(H::Zero, false), "Hypothetical mean=0.0.");
  EXPECT_EQ(HypotheticalMeanCaption(H::Hundred, true), "Hypothetical median=100.");
  EXPECT_EQ(HypotheticalMeanCaption(H::Typed, true), "Hypothetical median=");

  TTestChoices choices;
  ChooseHypotheticalMean(choices, H::Hundred, 7);
  EXPECT_EQ(choices.HypotheticalMean, 100);
  ChooseHypotheticalMean(choices, H::Typed, 7.25L);
  EXPECT_EQ(choices.HypotheticalMeanChoice, H::Typed);
  EXPECT_EQ(choices.HypotheticalMean, 7.25L);
  ChooseHypotheticalMean(choices, H::Typed, EmptyValue);
  EXPECT_EQ(choices.HypotheticalMean, 7.25L);
}

TEST(TwoColumnChoices, NameTheTestAndDropWelchForPairs) {
  struct TRow {
    bool Unpaired;
    TGaussianAnswer Answer;
    const char* Name;
  };
  const TRow rows[] = {
      {true, TGaussianAnswer::Nonparametric, "Mann-Whitney test"},
      {true, TGaussianAnswer::EqualSDs, "Unpaired t test"},
      {true, TGaussianAnswer::UnequalSDs, "Unpaired t test, Welch corrected"},
      {false, TGaussianAnswer::Nonparametric, "Wilcoxon matched pairs test"},
      {false, TGaussianAnswer::EqualSDs, "Paired t test"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TTestChoices choices;
    ChooseGaussianAnswer(choices, row.Answer);
    ChooseTwoColumnUnpaired(choices, row.Unpaired);
    EXPECT_EQ(TwoColumnTestName(choices), row.Name);
  }
  TTestChoices choices;
  ChooseGaussianAnswer(choices, TGaussianAnswer::UnequalSDs);
  ChooseTwoColumnUnpaired(choices, false);
  EXPECT_EQ(GaussianAnswer(choices), TGaussianAnswer::EqualSDs);
  EXPECT_FALSE(WelchAnswerEnabled(choices));
}

TEST(ChoiceAvailability, DisablesAnswersThatNeedRawValues) {
  TDataTable raw;
  raw.ResetForNewDocument();
  raw.SetValue(0, 0, 1);
  raw.MeanEntryColumn[0] = 0;
  raw.Summary(0).N = 1;

  TDataTable typed;  // a typed mean beside the raw values
  typed.ResetForNewDocument();
  typed.SetValue(0, 0, 1);
  typed.MeanEntryColumn[0] = 0;
  typed.Summary(1).N = 4;
  typed.Summary(1).Mean = 10;

  TDataTable empty;
  empty.ResetForNewDocument();

  struct TRow {
    const char* Name;
    const TDataTable* Table;
    TDataFormat Format;
    bool RawAnswers;
    bool MultiPairing;
    bool MultiNonparametric;
  };
  const TRow rows[] = {
      {"raw data", &raw, TDataFormat::Raw, true, true, true},
      {"typed means", &typed, TDataFormat::Raw, false, true, false},
      {"empty table", &empty, TDataFormat::Raw, false, false, false},
      {"averaged format", &empty, TDataFormat::MeanSdN, false, false, false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const TChoiceAvailability availability = ChoiceAvailability(*row.Table, row.Format);
    EXPECT_EQ(availability.OneColumnTest, row.RawAnswers);
    EXPECT_EQ(availability.TwoColumnPairing, row.RawAnswers);
    EXPECT_EQ(availability.TwoColumnNonparametric, row.RawAnswers);
    EXPECT_EQ(availability.MultiColumnPairing, row.MultiPairing);
    EXPECT_EQ(availability.MultiColumnNonparametric, row.MultiNonparametric);
  }
}

TEST(ChoiceAvailability, DisabledAnswersShowTheTestsThatRemain) {
  TTestChoices choices;
  choices.OneColumnTest = TOneColumnTest::Wilcoxon;
  choices.TwoColumnUnpaired = 0;
  choices.TwoColumnNonparametric = 1;
  choices.EqualSDs = 0;
  choices.OrdinaryAnova = 0;
  choices.MultiColumnNonparametric = 1;
  const TChoiceAvailability none{false, false, false, false, false};
  EXPECT_TRUE(ApplyChoiceAvailability(choices, none));
  EXPECT_EQ(choices.OneColumnTest, TOneColumnTest::OneSampleT);
  EXPECT_EQ(choices.TwoColumnUnpaired, 1);
  EXPECT_EQ(GaussianAnswer(choices), TGaussianAnswer::EqualSDs);
  EXPECT_EQ(choices.OrdinaryAnova, 1);
  EXPECT_EQ(choices.MultiColumnNonparametric, 0);
  EXPECT_FALSE(ApplyChoiceAvailability(choices, none));

  // A Welch choice survives: it is possible with averaged data.
  TTestChoices welch;
  ChooseGaussianAnswer(welch, TGaussianAnswer::UnequalSDs);
  EXPECT_FALSE(ApplyChoiceAvailability(welch, none));
  EXPECT_EQ(GaussianAnswer(welch), TGaussianAnswer::UnequalSDs);
}

TEST(ColumnPairs, FollowThePairFlagOrder) {
  const std::vector<TColumnPair> pairs = ColumnPairs({0, 2, 3, 7});
  const std::vector<std::pair<int, int>> expected = {{0, 2}, {0, 3}, {0, 7}, {2, 3}, {2, 7}, {3, 7}};
  ASSERT_EQ(pairs.size(), expected.size());
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(pairs[i].First, expected[i].first);
    EXPECT_EQ(pairs[i].Second, expected[i].second);
  }
  // PairIndex is the position of a pair in that order, for any count.
  for (const int count : {2, 3, 7, 26}) {
    SCOPED_TRACE(count);
    int index = 0;
    for (int j = 0; j < count; ++j)
      for (int k = j + 1; k < count; ++k) EXPECT_EQ(PairIndex(j, k, count), index++);
    if (count == 26) {
      EXPECT_EQ(index, 325);
    }
  }
}

TEST(ColumnPairs, RebuildForControlKeepsOnlyPairsWithTheControl) {
  TPairFlags flags{};
  flags.fill(1);
  RebuildPairsForControl(flags, {1, 3, 4}, 3);
  // Pairs B-D, B-E, D-E.
  EXPECT_EQ(flags[0], 1);
  EXPECT_EQ(flags[1], 0);
  EXPECT_EQ(flags[2], 1);
  EXPECT_EQ(flags[3], 1);  // past the last pair: untouched
}

TEST(ControlColumn, IsKeptWhileSelectedElseTheFirstSelectedColumn) {
  TDataTable table = TableWithColumns({1, 2, 4}, {2, 4});
  TTestChoices choices;
  choices.ControlColumn = 4;
  KeepOrChooseControlColumn(table, choices);
  EXPECT_EQ(choices.ControlColumn, 4);
  choices.ControlColumn = 1;  // has data but is not selected
  KeepOrChooseControlColumn(table, choices);
  EXPECT_EQ(choices.ControlColumn, 2);
  table.Summary(2).Title = "Dose";
  const std::vector<TColumnEntry> entries = ControlColumnEntries(table);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Text, "C: Dose");
  EXPECT_EQ(entries[1].Text, "E: ");
}

TEST(RegressionChoice, StoresAndReadsEachRadio) {
  for (const TRegressionChoice choice : {TRegressionChoice::Linear, TRegressionChoice::ForcedLinear,
                                         TRegressionChoice::Pearson, TRegressionChoice::Spearman}) {
    SCOPED_TRACE(static_cast<int>(choice));
    TTestChoices choices;
    ChooseRegression(choices, choice);
    EXPECT_EQ(RegressionChoiceFromChoices(choices), choice);
    const bool regression = choice == TRegressionChoice::Linear || choice == TRegressionChoice::ForcedLinear;
    EXPECT_EQ(LinearityOptionsEnabled(choices), regression);
    const TRegressionKind kind = choice == TRegressionChoice::Pearson    ? TRegressionKind::Pearson
                                 : choice == TRegressionChoice::Spearman ? TRegressionKind::Spearman
                                                                         : TRegressionKind::Linear;
    EXPECT_EQ(choices.RegressionKind, kind);
  }
}

// A document file may hold any number for a choice; the pages show such a
// number as they always have.
TEST(StoredChoices, NumbersOutsideTheListsShowAsBefore) {
  TTestChoices choices;
  choices.HypotheticalMeanChoice = static_cast<THypotheticalMeanChoice>(-1);
  EXPECT_EQ(ShownHypotheticalMeanChoice(choices), THypotheticalMeanChoice::Zero);
  choices.HypotheticalMeanChoice = static_cast<THypotheticalMeanChoice>(9);
  EXPECT_EQ(ShownHypotheticalMeanChoice(choices), THypotheticalMeanChoice::Typed);
  // An unknown post test shows the "(No post test)" row.
  choices.PostTestMethod = static_cast<TPostTestMethod>(9);
  EXPECT_EQ(PostTestRowFromChoices(choices), 0);
  // An unknown correlation reads as Pearson's, an unknown 2x2 test has no
  // Yates question.
  choices.IsRegression = 0;
  choices.RegressionKind = static_cast<TRegressionKind>(5);
  EXPECT_EQ(RegressionChoiceFromChoices(choices), TRegressionChoice::Pearson);
  choices.UseChiSquare = static_cast<TTwoByTwoTest>(5);
  EXPECT_FALSE(YatesEnabled(choices));
}

TEST(MultipleRegressionChoices, DependentColumnIsListedAndNoXVariable) {
  TDataTable table;
  table.ResetForNewDocument();
  for (int c : {1, 2, 3}) table.MeanEntryColumn[static_cast<std::size_t>(c)] = 0;
  TTestChoices choices;  // DependentColumn 0 is not a raw column
  UpdateMultipleRegressionChoices(table, choices);
  EXPECT_EQ(choices.DependentColumn, 1);
  EXPECT_EQ(choices.IndependentSelected[1], 0);
  const std::vector<TColumnEntry> xs = IndependentEntries(table, choices);
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_EQ(xs[0].Column, 2);
  choices.MultipleRegression = 0;
  EXPECT_EQ(IndependentEntries(table, choices).size(), 3u);
  EXPECT_EQ(IndependentListLabel(choices), "Check the variables you want to include:");
}

}  // namespace
}  // namespace ombrel
