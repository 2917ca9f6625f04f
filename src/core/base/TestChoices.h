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

// The goal chosen on the data-format page; it decides which formats can be
// chosen.
enum class TTestFamily : std::int32_t {
  CompareMeans = 0,
  Regression = 1,
  Contingency = 2,
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
  std::uint8_t IsRegression = 1;         // 1 regression, 0 correlation
  std::uint8_t RunsTest = 0;             // test for departure from linearity
  std::uint8_t ForceThrough = 0;         // line forced through (ForceX, ForceY)
  TReal ForceX = 0;
  TReal ForceY = 0;
  std::int32_t RegressionKind = 0;       // 0 linear regression, 1 Pearson, 2 Spearman
  std::uint8_t InterpolateUnknowns = 1;  // read unknowns from the standard curve

  // Two-by-two table.
  std::int32_t UseChiSquare = 0;         // 0 Fisher's exact test, 1 chi-square
  std::uint8_t Yates = 1;
  std::int32_t TwoByTwoTwoSided = 1;
  std::uint8_t ReportRelativeRisk = 1;
  std::uint8_t ReportOddsRatio = 0;
  std::uint8_t ReportRiskDifference = 1;
  std::uint8_t ReportSensitivity = 0;

  // Multiple regression.
  std::int32_t MultipleRegression = 1;   // 1 multiple regression, 0 correlation matrix

  // Compare means: one column.
  std::int32_t ColumnCountKind = 0;      // selected columns with data, capped at 3
  std::int32_t OneColumnTest = 0;        // 0 one-sample t test, 1 Wilcoxon
  TReal HypotheticalMean = 0;
  std::int32_t OneColumnTwoTailed = 1;
  std::int32_t OneColumn = -1;           // column of the last one-column analysis
  std::int32_t HypotheticalMeanChoice = 0;  // 0 = 0.0, 1 = 1.0, 2 = 100, 3 = typed

  // Compare means: two columns.
  std::int32_t TwoColumnNonparametric = 0;
  std::int32_t TwoColumnUnpaired = 1;
  std::int32_t TwoColumnTwoTailed = 1;
  std::int32_t FirstColumn = 0;
  std::int32_t SecondColumn = 1;
  std::uint8_t EqualSDs = 1;             // 1 Student, 0 Welch correction

  // Compare means: three or more columns.
  std::int32_t OrdinaryAnova = 1;        // 1 ordinary, 0 repeated measures
  std::int32_t MultiColumnNonparametric = 0;
  std::int32_t PostTestCondition = 2;    // 0 always, 1 no post test, 2 only if P<0.05
  std::int32_t PairSet = 0;              // 0 all pairs, 1 selected pairs, 2 against the control
  std::int32_t ControlColumn = 0;
  std::int32_t PostTestMethod = 1;       // 0 Bonferroni/Dunn, 1 Tukey, 2 Dunnett, 3 SNK, 4 trend
  TPairFlags PairSelected = detail::FilledFlags<PairFlagCount>();
  std::uint8_t AllColumns = 1;           // 1 all columns with data, 0 the selected ones
  std::int32_t LastColumnCount = 0;      // columns with data when step 3 was last shown

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
