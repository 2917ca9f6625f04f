#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"

namespace ombrel {

// The decisions of the choose-test pages, kept out of the windows so that
// they can be tested: which columns take part, what the labels say, which
// answers are enabled and what each answer stores in TTestChoices.

// ---- Columns ---------------------------------------------------------------

// A column holds data when its summary has N > 0.
bool ColumnHoldsData(const TDataTable& table, int column);
// A column holds typed averaged data: it takes typed means and its summary
// holds something (N not 0 and not all of Mean, SD and SEM empty).
bool ColumnHoldsTypedMeans(const TDataTable& table, int column);
bool AnyColumnHoldsTypedMeans(const TDataTable& table);
int CountColumnsWithData(const TDataTable& table);
int CountSelectedColumnsWithData(const TDataTable& table);
// The selected columns with data, ascending.
std::vector<int> SelectedColumnsWithData(const TDataTable& table);

// The column rules of entering step 3 for the compare-means pages: selects
// every column with data when no selected column holds any; selects them
// again when more columns hold data than last time and AllColumns is set;
// clears AllColumns when fewer do; then stores LastColumnCount and
// ColumnCountKind (selected columns with data, capped at 3). Returns the kind.
TColumnCountKind UpdateColumnChoices(TDataTable& table, TTestChoices& choices);

// The selected columns with data as runs of letters, in the form a caption
// stores it: "A&&B,D-F,H" (a run of two joined by a doubled ampersand).
std::string SelectedColumnsList(const TDataTable& table);
// "Selected: " followed by the list.
std::string SelectedColumnsCaption(const TDataTable& table);
// What a label shows for a caption: each doubled ampersand as one.
std::string LabelText(std::string_view caption);

// One entry of a column list box: the column and letter + ": " + title.
struct TColumnEntry {
  int Column = 0;
  std::string Text;
};
TColumnEntry MakeColumnEntry(const TDataTable& table, int column);

// ---- Which answers can be changed -------------------------------------------

// Enabled state of the answers that need raw values. When an answer is
// disabled, ApplyChoiceAvailability checks the answer that stays possible.
struct TChoiceAvailability {
  bool OneColumnTest = true;             // t test / Wilcoxon radios
  bool TwoColumnPairing = true;          // unpaired / paired
  bool TwoColumnNonparametric = true;    // the nonparametric answer
  bool MultiColumnPairing = true;        // ordinary / repeated measures
  bool MultiColumnNonparametric = true;  // parametric / nonparametric
};

// One-column and two-column answers need raw data in a non-empty table with
// no typed means; the multi-column pairing needs a raw format and data; the
// multi-column nonparametric answer also no typed means.
TChoiceAvailability ChoiceAvailability(const TDataTable& table, TDataFormat format);
// Forces the answers a disabled control shows: the one-sample t test, the
// unpaired test, the equal-SD t test, ordinary ANOVA, the parametric test.
// Returns whether any choice changed.
bool ApplyChoiceAvailability(TTestChoices& choices, const TChoiceAvailability& availability);

// ---- One column --------------------------------------------------------------

// "Hypothetical mean=0.0.", "...=1.0.", "...=100." and "Hypothetical mean="
// for the typed value; "median" in place of "mean" for the Wilcoxon test.
std::string HypotheticalMeanCaption(THypotheticalMeanChoice choice, bool wilcoxon);
// Choosing a radio stores 0.0, 1.0 or 100, or the typed value.
void ChooseHypotheticalMean(TTestChoices& choices, THypotheticalMeanChoice choice, TReal typedValue);
// The radio that leaving the field selects: the one whose value equals the
// typed one, else the typed value's.
THypotheticalMeanChoice HypotheticalMeanChoiceFor(TReal value);
// The radio checked on entry; a stored number below the list shows as the
// first radio, one above it as the typed value's.
THypotheticalMeanChoice ShownHypotheticalMeanChoice(const TTestChoices& choices);

// ---- Two columns -------------------------------------------------------------

enum class TGaussianAnswer { Nonparametric, EqualSDs, UnequalSDs };

TGaussianAnswer GaussianAnswer(const TTestChoices& choices);
void ChooseGaussianAnswer(TTestChoices& choices, TGaussianAnswer answer);
// Choosing paired while the Welch answer is checked checks the equal-SD one.
void ChooseTwoColumnUnpaired(TTestChoices& choices, bool unpaired);
// The Welch answer exists only for the unpaired test.
bool WelchAnswerEnabled(const TTestChoices& choices);
// "Mann-Whitney test", "Unpaired t test", "Unpaired t test, Welch corrected",
// "Wilcoxon matched pairs test" or "Paired t test".
std::string_view TwoColumnTestName(const TTestChoices& choices);

// ---- Three or more columns ---------------------------------------------------

// The rows of the post-test list.
const std::vector<std::string_view>& PostTestRowCaptions(bool nonparametric);
// The row shown on entry: 0 when no post test is wanted, else from
// PostTestMethod and PairSet; the nonparametric list shows rows above 2 as 2.
int PostTestRowFromChoices(const TTestChoices& choices);
// Choosing a row stores PostTestMethod and PairSet; row 0 means no post
// test. A post test row keeps "only if P<0.05" while the box is checked and
// means always otherwise.
void ChoosePostTestRow(TTestChoices& choices, int row, bool onlyIfSignificantChecked);
// The "Only perform post test if P<0.05." box: checked gives IfSignificant;
// unchecked gives Always for a post test row and Never for row 0.
void ChoosePostTestOnlyIfSignificant(TTestChoices& choices, bool checked, int row);
bool PostTestOnlyIfSignificantChecked(const TTestChoices& choices);
// "Select pairs..." belongs to row 1 and needs two selected columns with data.
bool SelectPairsVisible(int row);
bool SelectPairsEnabled(const TDataTable& table);
// "Control column:" belongs to row 5 of the parametric list.
bool ControlColumnVisible(int row, bool nonparametric);
// One entry per selected column with data.
std::vector<TColumnEntry> ControlColumnEntries(const TDataTable& table);
// Keeps ControlColumn while that column is selected, else makes the first
// selected column with data the control (unchanged when there is none).
void KeepOrChooseControlColumn(const TDataTable& table, TTestChoices& choices);
// "One-way ANOVA", "Repeated measures ANOVA", "Kruskal-Wallis test" or
// "Friedman test", then " with post-test" or " without post-test".
std::string MultiColumnTestName(const TTestChoices& choices, int row);

// ---- Column pairs ------------------------------------------------------------

struct TColumnPair {
  int First = 0;
  int Second = 0;
};

// The selected columns from 0 to lastColumn, ascending.
std::vector<int> SelectedColumnsUpTo(const TDataTable& table, int lastColumn);
// Pairs in the order of the pair flags: first with second, first with
// third, ..., then second with third.
std::vector<TColumnPair> ColumnPairs(const std::vector<int>& columns);
// The pair-flag index of positions first < second among `count` columns.
int PairIndex(int first, int second, int count);
// Sets the flag of every pair among `columns` that contains the control
// column and clears the others; flags past the last pair keep their values.
void RebuildPairsForControl(TPairFlags& flags, const std::vector<int>& columns, int controlColumn);

// ---- Two-by-two table --------------------------------------------------------

enum class TAlsoCalculate { OddsRatio, RelativeRisk, Sensitivity };

// Odds ratio sets ReportOddsRatio alone; relative risk sets
// ReportRelativeRisk and ReportRiskDifference; sensitivity sets
// ReportSensitivity alone.
void ChooseAlsoCalculate(TTestChoices& choices, TAlsoCalculate choice);
// The radio shown on entry: odds ratio, else relative risk when
// ReportRiskDifference is set, else sensitivity.
TAlsoCalculate AlsoCalculateFromChoices(const TTestChoices& choices);
// The continuity correction applies to the chi-square test only.
bool YatesEnabled(const TTestChoices& choices);

// ---- XY data -----------------------------------------------------------------

enum class TRegressionChoice { Linear, ForcedLinear, Pearson, Spearman };

void ChooseRegression(TTestChoices& choices, TRegressionChoice choice);
TRegressionChoice RegressionChoiceFromChoices(const TTestChoices& choices);
// The runs test and the standard curve belong to regression, not correlation.
bool LinearityOptionsEnabled(const TTestChoices& choices);

// ---- Multiple regression -----------------------------------------------------

// Every column holding raw values (MeanEntryColumn 0), ascending.
std::vector<TColumnEntry> RawColumnEntries(const TDataTable& table);
// Entering the page: DependentColumn stays when it is listed, else becomes
// the first listed column; with multiple regression the dependent column
// is no X variable.
void UpdateMultipleRegressionChoices(const TDataTable& table, TTestChoices& choices);
// The X check list: the raw columns, without the Y column for regression.
std::vector<TColumnEntry> IndependentEntries(const TDataTable& table, const TTestChoices& choices);
bool DependentListEnabled(const TDataTable& table, const TTestChoices& choices);
bool IndependentListEnabled(const TDataTable& table, const TTestChoices& choices);
std::string_view IndependentListLabel(const TTestChoices& choices);

}  // namespace ombrel
