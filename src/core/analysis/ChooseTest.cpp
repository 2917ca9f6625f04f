#include "core/analysis/ChooseTest.h"

#include <algorithm>

namespace ombrel {

namespace {

std::size_t At(int column) { return static_cast<std::size_t>(std::clamp(column, 0, MaxColumns - 1)); }

bool ValidColumn(int column) { return column >= 0 && column < MaxColumns; }

bool IsSelected(const TDataTable& table, int column) { return table.ColumnSelected[At(column)] != 0; }

void SelectColumnsWithData(TDataTable& table) {
  for (int c = 0; c < MaxColumns; ++c)
    if (ColumnHoldsData(table, c)) table.ColumnSelected[At(c)] = 1;
}

}  // namespace

// ---- Columns ---------------------------------------------------------------

bool ColumnHoldsData(const TDataTable& table, int column) { return table.Summary(column).N > 0; }

bool ColumnHoldsTypedMeans(const TDataTable& table, int column) {
  if (table.MeanEntryColumn[At(column)] != 1) return false;
  const TColumnSummary& summary = table.Summary(column);
  if (summary.N == 0) return false;
  return !(IsEmpty(summary.Mean) && IsEmpty(summary.SD) && IsEmpty(summary.SEM));
}

bool AnyColumnHoldsTypedMeans(const TDataTable& table) {
  for (int c = 0; c < MaxColumns; ++c)
    if (ColumnHoldsTypedMeans(table, c)) return true;
  return false;
}

int CountColumnsWithData(const TDataTable& table) {
  int count = 0;
  for (int c = 0; c < MaxColumns; ++c)
    if (ColumnHoldsData(table, c)) ++count;
  return count;
}

int CountSelectedColumnsWithData(const TDataTable& table) {
  return static_cast<int>(SelectedColumnsWithData(table).size());
}

std::vector<int> SelectedColumnsWithData(const TDataTable& table) {
  std::vector<int> columns;
  for (int c = 0; c < MaxColumns; ++c)
    if (IsSelected(table, c) && ColumnHoldsData(table, c)) columns.push_back(c);
  return columns;
}

TColumnCountKind UpdateColumnChoices(TDataTable& table, TTestChoices& choices) {
  if (CountSelectedColumnsWithData(table) == 0) SelectColumnsWithData(table);
  const int withData = CountColumnsWithData(table);
  if (withData > choices.LastColumnCount && choices.AllColumns == 1) SelectColumnsWithData(table);
  if (withData < choices.LastColumnCount) choices.AllColumns = 0;
  choices.LastColumnCount = withData;
  // The kinds are the counts 0 to 3.
  choices.ColumnCountKind = static_cast<TColumnCountKind>(std::min(CountSelectedColumnsWithData(table), 3));
  return choices.ColumnCountKind;
}

std::string SelectedColumnsList(const TDataTable& table) {
  const std::vector<int> columns = SelectedColumnsWithData(table);
  std::string list;
  std::size_t i = 0;
  while (i < columns.size()) {
    std::size_t last = i;
    while (last + 1 < columns.size() && columns[last + 1] == columns[last] + 1) ++last;
    if (!list.empty()) list += ',';
    list += ColumnLetter(columns[i]);
    if (last == i + 1) {
      list += "&&";
      list += ColumnLetter(columns[last]);
    } else if (last > i + 1) {
      list += '-';
      list += ColumnLetter(columns[last]);
    }
    i = last + 1;
  }
  return list;
}

std::string SelectedColumnsCaption(const TDataTable& table) { return "Selected: " + SelectedColumnsList(table); }

std::string LabelText(std::string_view caption) {
  std::string text;
  text.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    text += caption[i];
    if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&') ++i;
  }
  return text;
}

TColumnEntry MakeColumnEntry(const TDataTable& table, int column) {
  return {column, std::string(1, ColumnLetter(column)) + ": " + table.Summary(column).Title};
}

// ---- Which answers can be changed -------------------------------------------

TChoiceAvailability ChoiceAvailability(const TDataTable& table, TDataFormat format) {
  const bool hasData = table.HasData();
  const bool typedMeans = AnyColumnHoldsTypedMeans(table);
  const bool rawOnly = hasData && !typedMeans && !IsAveragedFormat(format);
  TChoiceAvailability availability;
  availability.OneColumnTest = rawOnly;
  availability.TwoColumnPairing = rawOnly;
  availability.TwoColumnNonparametric = rawOnly;
  availability.MultiColumnPairing = hasData && !IsAveragedFormat(format);
  availability.MultiColumnNonparametric = availability.MultiColumnPairing && !typedMeans;
  return availability;
}

bool ApplyChoiceAvailability(TTestChoices& choices, const TChoiceAvailability& availability) {
  const TTestChoices before = choices;
  if (!availability.OneColumnTest) choices.OneColumnTest = TOneColumnTest::OneSampleT;
  if (!availability.TwoColumnPairing) choices.TwoColumnUnpaired = 1;
  // Only a nonparametric choice is replaced: a Welch choice stays possible
  // for averaged data and must survive a visit of the page.
  if (!availability.TwoColumnNonparametric && choices.TwoColumnNonparametric != 0) {
    choices.TwoColumnNonparametric = 0;
    choices.EqualSDs = 1;
  }
  // Repeated measures of averaged data would be refused; with its answers
  // disabled the user could not undo the choice on this page.
  if (!availability.MultiColumnPairing) choices.OrdinaryAnova = 1;
  if (!availability.MultiColumnNonparametric) choices.MultiColumnNonparametric = 0;
  return before.OneColumnTest != choices.OneColumnTest || before.TwoColumnUnpaired != choices.TwoColumnUnpaired ||
         before.TwoColumnNonparametric != choices.TwoColumnNonparametric || before.EqualSDs != choices.EqualSDs ||
         before.OrdinaryAnova != choices.OrdinaryAnova ||
         before.MultiColumnNonparametric != choices.MultiColumnNonparametric;
}

// ---- One column --------------------------------------------------------------

std::string HypotheticalMeanCaption(THypotheticalMeanChoice choice, bool wilcoxon) {
  std::string caption = wilcoxon ? "Hypothetical median=" : "Hypothetical mean=";
  switch (choice) {
    case THypotheticalMeanChoice::Zero:
      return caption + "0.0.";
    case THypotheticalMeanChoice::One:
      return caption + "1.0.";
    case THypotheticalMeanChoice::Hundred:
      return caption + "100.";
    case THypotheticalMeanChoice::Typed:
      break;
  }
  return caption;
}

void ChooseHypotheticalMean(TTestChoices& choices, THypotheticalMeanChoice choice, TReal typedValue) {
  switch (choice) {
    case THypotheticalMeanChoice::Zero:
    case THypotheticalMeanChoice::One:
    case THypotheticalMeanChoice::Hundred: {
      constexpr TReal Values[] = {0.0L, 1.0L, 100.0L};
      choices.HypotheticalMeanChoice = choice;
      choices.HypotheticalMean = Values[static_cast<std::size_t>(choice)];
      return;
    }
    case THypotheticalMeanChoice::Typed:
      break;
  }
  choices.HypotheticalMeanChoice = THypotheticalMeanChoice::Typed;
  // An unreadable field leaves the last value rather than testing against
  // the empty marker.
  if (!IsEmpty(typedValue)) choices.HypotheticalMean = typedValue;
}

THypotheticalMeanChoice HypotheticalMeanChoiceFor(TReal value) {
  if (value == 0) return THypotheticalMeanChoice::Zero;
  if (value == 1) return THypotheticalMeanChoice::One;
  if (value == 100) return THypotheticalMeanChoice::Hundred;
  return THypotheticalMeanChoice::Typed;
}

THypotheticalMeanChoice ShownHypotheticalMeanChoice(const TTestChoices& choices) {
  constexpr auto First = static_cast<std::int32_t>(THypotheticalMeanChoice::Zero);
  constexpr auto Last = static_cast<std::int32_t>(THypotheticalMeanChoice::Typed);
  return static_cast<THypotheticalMeanChoice>(
      std::clamp(static_cast<std::int32_t>(choices.HypotheticalMeanChoice), First, Last));
}

// ---- Two columns -------------------------------------------------------------

TGaussianAnswer GaussianAnswer(const TTestChoices& choices) {
  if (choices.TwoColumnNonparametric != 0) return TGaussianAnswer::Nonparametric;
  return choices.EqualSDs != 0 ? TGaussianAnswer::EqualSDs : TGaussianAnswer::UnequalSDs;
}

void ChooseGaussianAnswer(TTestChoices& choices, TGaussianAnswer answer) {
  switch (answer) {
    case TGaussianAnswer::Nonparametric:
      choices.TwoColumnNonparametric = 1;
      return;
    case TGaussianAnswer::EqualSDs:
      choices.TwoColumnNonparametric = 0;
      choices.EqualSDs = 1;
      return;
    case TGaussianAnswer::UnequalSDs:
      choices.TwoColumnNonparametric = 0;
      choices.EqualSDs = 0;
      return;
  }
}

void ChooseTwoColumnUnpaired(TTestChoices& choices, bool unpaired) {
  choices.TwoColumnUnpaired = unpaired ? 1 : 0;
  if (!unpaired && GaussianAnswer(choices) == TGaussianAnswer::UnequalSDs) choices.EqualSDs = 1;
}

bool WelchAnswerEnabled(const TTestChoices& choices) { return choices.TwoColumnUnpaired != 0; }

std::string_view TwoColumnTestName(const TTestChoices& choices) {
  const bool nonparametric = choices.TwoColumnNonparametric != 0;
  if (choices.TwoColumnUnpaired != 0) {
    if (nonparametric) return "Mann-Whitney test";
    return choices.EqualSDs != 0 ? "Unpaired t test" : "Unpaired t test, Welch corrected";
  }
  return nonparametric ? "Wilcoxon matched pairs test" : "Paired t test";
}

// ---- Three or more columns ---------------------------------------------------

namespace {

struct TPostTestRowChoice {
  TPostTestMethod Method;
  TPairSet PairSet;
};

// Rows 1 to 6 of the list; the nonparametric list shares rows 1 and 2.
constexpr TPostTestRowChoice PostTestRows[] = {
    {TPostTestMethod::Bonferroni, TPairSet::SelectedPairs}, {TPostTestMethod::Bonferroni, TPairSet::AllPairs},
    {TPostTestMethod::Tukey, TPairSet::AllPairs},           {TPostTestMethod::StudentNewmanKeuls, TPairSet::AllPairs},
    {TPostTestMethod::Dunnett, TPairSet::AgainstControl},   {TPostTestMethod::LinearTrend, TPairSet::AllPairs}};
constexpr int PostTestRowCount = 7;
constexpr int NonparametricPostTestRowCount = 3;

}  // namespace

const std::vector<std::string_view>& PostTestRowCaptions(bool nonparametric) {
  static const std::vector<std::string_view> parametric = {
      "(No post test)",
      "Bonferroni: Compare selected pairs of columns.",
      "Bonferroni: Compare all pairs of columns.",
      "Tukey: Compare all pairs of columns.",
      "Student-Newman-Keuls: Compare all pairs of columns.",
      "Dunnett: Compare all vs. control.",
      "Test for linear trend between column mean and column number",
  };
  static const std::vector<std::string_view> rank = {
      "(No post test)",
      "Dunn: Compare selected pairs of columns.",
      "Dunn: Compare all pairs of columns.",
  };
  return nonparametric ? rank : parametric;
}

int PostTestRowFromChoices(const TTestChoices& choices) {
  if (choices.PostTestCondition == TPostTestCondition::Never) return 0;
  int row = 0;
  switch (choices.PostTestMethod) {
    case TPostTestMethod::Bonferroni:
      row = choices.PairSet == TPairSet::SelectedPairs ? 1 : 2;
      break;
    case TPostTestMethod::Tukey:
      row = 3;
      break;
    case TPostTestMethod::Dunnett:
      row = 5;
      break;
    case TPostTestMethod::StudentNewmanKeuls:
      row = 4;
      break;
    case TPostTestMethod::LinearTrend:
      row = 6;
      break;
  }
  if (choices.MultiColumnNonparametric != 0 && row >= NonparametricPostTestRowCount)
    row = NonparametricPostTestRowCount - 1;
  return row;
}

void ChoosePostTestRow(TTestChoices& choices, int row, bool onlyIfSignificantChecked) {
  if (row == 0) {
    choices.PostTestCondition = TPostTestCondition::Never;
    return;
  }
  if (row < 0 || row >= PostTestRowCount) return;
  const TPostTestRowChoice& choice = PostTestRows[row - 1];
  choices.PostTestMethod = choice.Method;
  choices.PairSet = choice.PairSet;
  choices.PostTestCondition = onlyIfSignificantChecked ? TPostTestCondition::IfSignificant : TPostTestCondition::Always;
}

void ChoosePostTestOnlyIfSignificant(TTestChoices& choices, bool checked, int row) {
  if (checked) {
    choices.PostTestCondition = TPostTestCondition::IfSignificant;
  } else {
    choices.PostTestCondition = row == 0 ? TPostTestCondition::Never : TPostTestCondition::Always;
  }
}

bool PostTestOnlyIfSignificantChecked(const TTestChoices& choices) {
  return choices.PostTestCondition == TPostTestCondition::IfSignificant;
}

bool SelectPairsVisible(int row) { return row == 1; }

bool SelectPairsEnabled(const TDataTable& table) { return CountSelectedColumnsWithData(table) > 1; }

bool ControlColumnVisible(int row, bool nonparametric) { return !nonparametric && row == 5; }

std::vector<TColumnEntry> ControlColumnEntries(const TDataTable& table) {
  std::vector<TColumnEntry> entries;
  for (int column : SelectedColumnsWithData(table)) entries.push_back(MakeColumnEntry(table, column));
  return entries;
}

void KeepOrChooseControlColumn(const TDataTable& table, TTestChoices& choices) {
  const int control = choices.ControlColumn;
  if (ValidColumn(control) && IsSelected(table, control) && ColumnHoldsData(table, control)) return;
  const std::vector<int> columns = SelectedColumnsWithData(table);
  if (!columns.empty()) choices.ControlColumn = columns.front();
}

std::string MultiColumnTestName(const TTestChoices& choices, int row) {
  const bool nonparametric = choices.MultiColumnNonparametric != 0;
  std::string name;
  if (choices.OrdinaryAnova != 0) {
    name = nonparametric ? "Kruskal-Wallis test" : "One-way ANOVA";
  } else {
    name = nonparametric ? "Friedman test" : "Repeated measures ANOVA";
  }
  return name + (row != 0 ? " with post-test" : " without post-test");
}

// ---- Column pairs ------------------------------------------------------------

std::vector<int> SelectedColumnsUpTo(const TDataTable& table, int lastColumn) {
  std::vector<int> columns;
  for (int c = 0; c <= std::min(lastColumn, MaxColumns - 1); ++c)
    if (IsSelected(table, c)) columns.push_back(c);
  return columns;
}

std::vector<TColumnPair> ColumnPairs(const std::vector<int>& columns) {
  std::vector<TColumnPair> pairs;
  for (std::size_t j = 0; j < columns.size(); ++j)
    for (std::size_t k = j + 1; k < columns.size(); ++k) pairs.push_back({columns[j], columns[k]});
  return pairs;
}

int PairIndex(int first, int second, int count) {
  return first * count - first * (first + 1) / 2 + (second - first - 1);
}

void RebuildPairsForControl(TPairFlags& flags, const std::vector<int>& columns, int controlColumn) {
  const std::vector<TColumnPair> pairs = ColumnPairs(columns);
  for (std::size_t i = 0; i < pairs.size() && i < flags.size(); ++i)
    flags[i] = (pairs[i].First == controlColumn || pairs[i].Second == controlColumn) ? 1 : 0;
}

// ---- Two-by-two table --------------------------------------------------------

void ChooseAlsoCalculate(TTestChoices& choices, TAlsoCalculate choice) {
  choices.ReportOddsRatio = choice == TAlsoCalculate::OddsRatio ? 1 : 0;
  choices.ReportRelativeRisk = choice == TAlsoCalculate::RelativeRisk ? 1 : 0;
  choices.ReportRiskDifference = choice == TAlsoCalculate::RelativeRisk ? 1 : 0;
  choices.ReportSensitivity = choice == TAlsoCalculate::Sensitivity ? 1 : 0;
}

TAlsoCalculate AlsoCalculateFromChoices(const TTestChoices& choices) {
  if (choices.ReportOddsRatio != 0) return TAlsoCalculate::OddsRatio;
  if (choices.ReportRiskDifference != 0) return TAlsoCalculate::RelativeRisk;
  return TAlsoCalculate::Sensitivity;
}

bool YatesEnabled(const TTestChoices& choices) { return choices.UseChiSquare == TTwoByTwoTest::ChiSquare; }

// ---- XY data -----------------------------------------------------------------

void ChooseRegression(TTestChoices& choices, TRegressionChoice choice) {
  switch (choice) {
    case TRegressionChoice::Linear:
    case TRegressionChoice::ForcedLinear:
      choices.RegressionKind = TRegressionKind::Linear;
      choices.IsRegression = 1;
      choices.ForceThrough = choice == TRegressionChoice::ForcedLinear ? 1 : 0;
      return;
    case TRegressionChoice::Pearson:
      choices.RegressionKind = TRegressionKind::Pearson;
      choices.IsRegression = 0;
      return;
    case TRegressionChoice::Spearman:
      choices.RegressionKind = TRegressionKind::Spearman;
      choices.IsRegression = 0;
      return;
  }
}

TRegressionChoice RegressionChoiceFromChoices(const TTestChoices& choices) {
  if (choices.IsRegression == 0)
    return choices.RegressionKind == TRegressionKind::Spearman ? TRegressionChoice::Spearman
                                                               : TRegressionChoice::Pearson;
  return choices.ForceThrough != 0 ? TRegressionChoice::ForcedLinear : TRegressionChoice::Linear;
}

bool LinearityOptionsEnabled(const TTestChoices& choices) { return choices.IsRegression != 0; }

// ---- Multiple regression -----------------------------------------------------

std::vector<TColumnEntry> RawColumnEntries(const TDataTable& table) {
  std::vector<TColumnEntry> entries;
  for (int c = 0; c < MaxColumns; ++c)
    if (table.MeanEntryColumn[At(c)] == 0) entries.push_back(MakeColumnEntry(table, c));
  return entries;
}

void UpdateMultipleRegressionChoices(const TDataTable& table, TTestChoices& choices) {
  const std::vector<TColumnEntry> entries = RawColumnEntries(table);
  if (entries.empty()) return;
  const bool listed = std::any_of(entries.begin(), entries.end(),
                                  [&](const TColumnEntry& entry) { return entry.Column == choices.DependentColumn; });
  if (!listed) choices.DependentColumn = entries.front().Column;
  if (choices.MultipleRegression != 0) choices.IndependentSelected[At(choices.DependentColumn)] = 0;
}

std::vector<TColumnEntry> IndependentEntries(const TDataTable& table, const TTestChoices& choices) {
  std::vector<TColumnEntry> entries = RawColumnEntries(table);
  if (choices.MultipleRegression != 0)
    std::erase_if(entries, [&](const TColumnEntry& entry) { return entry.Column == choices.DependentColumn; });
  return entries;
}

bool DependentListEnabled(const TDataTable& table, const TTestChoices& choices) {
  return choices.MultipleRegression != 0 && CountColumnsWithData(table) > 1;
}

bool IndependentListEnabled(const TDataTable& table, const TTestChoices& choices) {
  return CountColumnsWithData(table) >= (choices.MultipleRegression != 0 ? 2 : 1);
}

std::string_view IndependentListLabel(const TTestChoices& choices) {
  if (choices.MultipleRegression != 0)
    return "Check variables you want to test for their effect on the outcome: Select one or more independent (X) "
           "variables:";
  return "Check the variables you want to include:";
}

}  // namespace ombrel
