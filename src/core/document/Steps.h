#pragma once

#include <array>
#include <cstdint>

#include "core/base/TestChoices.h"

namespace ombrel {

// The pages of a document window, in order; the value is the page number.
// Loading is the empty page shown while a document is read from a file, so
// that no page-entry action runs meanwhile.
enum class TStep : std::int32_t {
  DataFormat = 0,
  DataEntry = 1,
  ColumnStats = 2,
  ChooseTest = 3,
  Results = 4,
  Graph = 5,
  Loading = 6,
};

inline constexpr int StepCount = 6;  // the six steps a user can visit

// Whether a step can be reached with this data format. The data format,
// results and graph steps always can; the loading page never.
bool StepReachable(TDataFormat format, TStep step);
// The enabled state of the six step buttons, indexed by step number.
std::array<bool, StepCount> ReachableSteps(TDataFormat format);
// The step "Next step" goes to: the first reachable step after this one;
// the graph step stays where it is.
TStep NextStep(TDataFormat format, TStep step);
// The mirror image: the first reachable step before this one; step 0 stays.
TStep PreviousStep(TDataFormat format, TStep step);

// The test page that step 3 shows.
enum class TTestPage : std::int32_t {
  None,        // larger contingency table: nothing to choose
  Regression,  // XY data
  OneColumn,
  TwoColumns,
  MultiColumn,  // three or more columns, also shown for none
  TwoByTwo,
  MultipleRegression,
};

// The page for a format and, for the compare-means formats, ColumnCountKind.
TTestPage TestPageFor(TDataFormat format, TColumnCountKind columnCountKind);
// The help topic of the first help button on step 3 for a test page; -1 for
// the page that offers nothing.
std::int32_t TestPageHelpTopic(TTestPage page);

}  // namespace ombrel
