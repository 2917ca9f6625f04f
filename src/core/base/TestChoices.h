#pragma once

#include <array>
#include <cstdint>

#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"

namespace ombrel {

// The kind of data a document holds. The values are the format codes of the
// document file; multiple regression is stored there as code 1 with a marker
// line and has its own value here.
enum class TDataFormat : std::int32_t {
  Raw = 1,
  MeanSdN = 2,
  MeanSemN = 3,
  LargerTable = 4,
  TwoByTwo = 5,
  XY = 6,
  MultipleRegression = 7,
};

// XY data has titles for its first columns only, X and the first Y.
inline constexpr int XYTitledColumns = 2;

// The goal chosen on the data-format page; it decides which formats can be
// chosen.
enum class TTestFamily : std::int32_t {
  CompareMeans = 0,
  Regression = 1,
  Contingency = 2,
};

// The answers of the choose-test pages that pick one of several
// alternatives. The values are the numbers the document file stores; a
// number read from a file outside the list is kept as it is (the underlying
// type holds it), so that saving writes it back unchanged, and every test of
// a choice treats it as the code always has.

// XY data: the correlation run after (or instead of) the regression.
enum class TRegressionKind : std::int32_t {
  Linear = 0,  // no correlation
  Pearson = 1,
  Spearman = 2,
};

// Two-by-two table: the test.
enum class TTwoByTwoTest : std::int32_t {
  Fisher = 0,
  ChiSquare = 1,
};

// Compare means: the selected columns that hold data, capped at three.
enum class TColumnCountKind : std::int32_t {
  None = 0,
  One = 1,
  Two = 2,
  ThreeOrMore = 3,
};

// One column: the test.
enum class TOneColumnTest : std::int32_t {
  OneSampleT = 0,
  Wilcoxon = 1,
};

// One column: the hypothetical mean (or median) radio.
enum class THypotheticalMeanChoice : std::int32_t {
  Zero = 0,     // 0.0
  One = 1,      // 1.0
  Hundred = 2,  // 100
  Typed = 3,    // the number typed in the field
};

// Three or more columns: when the post test runs.
enum class TPostTestCondition : std::int32_t {
  Always = 0,
  Never = 1,
  IfSignificant = 2,  // only when P < 0.05
};

// Three or more columns: the pairs the post test compares.
enum class TPairSet : std::int32_t {
  AllPairs = 0,
  SelectedPairs = 1,
  AgainstControl = 2,  // each column against the control column
};

// Three or more columns: the post test.
enum class TPostTestMethod : std::int32_t {
  Bonferroni = 0,  // Dunn's test when nonparametric
  Tukey = 1,
  Dunnett = 2,
  StudentNewmanKeuls = 3,
  LinearTrend = 4,
};

// One flag per unordered pair of selected columns (see PairIndex); 26
// columns give 325 pairs, the document keeps 352 flags.
inline constexpr int PairFlagCount = 352;
using TPairFlags = std::array<std::uint8_t, PairFlagCount>;
using TColumnFlags = std::array<std::uint8_t, MaxColumns>;

namespace detail {
template <std::size_t Count>
constexpr std::array<std::uint8_t, Count> FilledFlags() {
  std::array<std::uint8_t, Count> flags{};
  for (auto& flag : flags) flag = 1;
  return flags;
}
}  // namespace detail

// Every answer of the choose-test pages, saved with the document. Flags are
// bytes holding 0 or 1 so that the document file writes exactly what is
// stored; the defaults are those of a new document.
struct TTestChoices {
  // XY data.
  std::uint8_t IsRegression = 1;  // 1 regression, 0 correlation
  std::uint8_t RunsTest = 0;      // test for departure from linearity
  std::uint8_t ForceThrough = 0;  // line forced through (ForceX, ForceY)
  TReal ForceX = 0;
  TReal ForceY = 0;
  TRegressionKind RegressionKind = TRegressionKind::Linear;
  std::uint8_t InterpolateUnknowns = 1;  // read unknowns from the standard curve

  // Two-by-two table.
  TTwoByTwoTest UseChiSquare = TTwoByTwoTest::Fisher;
  std::uint8_t Yates = 1;
  std::int32_t TwoByTwoTwoSided = 1;
  std::uint8_t ReportRelativeRisk = 1;
  std::uint8_t ReportOddsRatio = 0;
  std::uint8_t ReportRiskDifference = 1;
  std::uint8_t ReportSensitivity = 0;

  // Multiple regression.
  std::int32_t MultipleRegression = 1;  // 1 multiple regression, 0 correlation matrix

  // Compare means: one column.
  TColumnCountKind ColumnCountKind = TColumnCountKind::None;
  TOneColumnTest OneColumnTest = TOneColumnTest::OneSampleT;
  TReal HypotheticalMean = 0;
  std::int32_t OneColumnTwoTailed = 1;
  std::int32_t OneColumn = -1;  // column of the last one-column analysis
  THypotheticalMeanChoice HypotheticalMeanChoice = THypotheticalMeanChoice::Zero;

  // Compare means: two columns.
  std::int32_t TwoColumnNonparametric = 0;
  std::int32_t TwoColumnUnpaired = 1;
  std::int32_t TwoColumnTwoTailed = 1;
  std::int32_t FirstColumn = 0;
  std::int32_t SecondColumn = 1;
  std::uint8_t EqualSDs = 1;  // 1 Student, 0 Welch correction

  // Compare means: three or more columns.
  std::int32_t OrdinaryAnova = 1;  // 1 ordinary, 0 repeated measures
  std::int32_t MultiColumnNonparametric = 0;
  TPostTestCondition PostTestCondition = TPostTestCondition::IfSignificant;
  TPairSet PairSet = TPairSet::AllPairs;
  std::int32_t ControlColumn = 0;
  TPostTestMethod PostTestMethod = TPostTestMethod::Tukey;
  TPairFlags PairSelected = detail::FilledFlags<PairFlagCount>();
  std::uint8_t AllColumns = 1;       // 1 all columns with data, 0 the selected ones
  std::int32_t LastColumnCount = 0;  // columns with data when step 3 was last shown

  // Multiple regression variables.
  std::int32_t DependentColumn = 0;
  TColumnFlags IndependentSelected = detail::FilledFlags<MaxColumns>();
};

// The family a format belongs to.
TTestFamily FamilyOfFormat(TDataFormat format);
// The format a family selects when it is chosen.
TDataFormat DefaultFormat(TTestFamily family);
// Mean/SD/N or mean/SEM/N.
bool IsAveragedFormat(TDataFormat format);
// Raw data and both averaged formats: the compare-means analyses.
bool IsCompareMeansFormat(TDataFormat format);
// Whether a format's radio button is enabled: it belongs to the family, and
// the averaged formats only while the table holds no value.
bool FormatEnabled(TTestFamily family, TDataFormat format, bool tableHasData);
// A format as read from a file's code (1 to 7); false for any other code.
bool DataFormatFromCode(std::int32_t code, TDataFormat& format);

}  // namespace ombrel
