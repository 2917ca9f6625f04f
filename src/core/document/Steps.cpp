#include "core/document/Steps.h"

namespace ombrel {

namespace {

// Steps 1, 2 and 3 by format; the others do not depend on it.
struct TMiddleSteps {
  bool DataEntry;
  bool ColumnStats;
  bool ChooseTest;
};

TMiddleSteps MiddleSteps(TDataFormat format) {
  switch (format) {
    case TDataFormat::XY:
    case TDataFormat::TwoByTwo:
      return {true, false, true};
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      return {false, true, true};
    case TDataFormat::LargerTable:
      return {true, false, false};
    case TDataFormat::Raw:
    case TDataFormat::MultipleRegression:
      break;
  }
  return {true, true, true};
}

}  // namespace

bool StepReachable(TDataFormat format, TStep step) {
  const TMiddleSteps middle = MiddleSteps(format);
  switch (step) {
    case TStep::DataFormat:
    case TStep::Results:
    case TStep::Graph:
      return true;
    case TStep::DataEntry:
      return middle.DataEntry;
    case TStep::ColumnStats:
      return middle.ColumnStats;
    case TStep::ChooseTest:
      return middle.ChooseTest;
    case TStep::Loading:
      break;
  }
  return false;
}

std::array<bool, StepCount> ReachableSteps(TDataFormat format) {
  std::array<bool, StepCount> reachable{};
  for (int i = 0; i < StepCount; ++i)
    reachable[static_cast<std::size_t>(i)] = StepReachable(format, static_cast<TStep>(i));
  return reachable;
}

TStep NextStep(TDataFormat format, TStep step) {
  const int from = static_cast<int>(step);
  if (from < 0 || from >= StepCount) return step;
  for (int i = from + 1; i < StepCount; ++i)
    if (StepReachable(format, static_cast<TStep>(i))) return static_cast<TStep>(i);
  return step;
}

TStep PreviousStep(TDataFormat format, TStep step) {
  const int from = static_cast<int>(step);
  if (from < 0 || from >= StepCount) return step;
  for (int i = from - 1; i >= 0; --i)
    if (StepReachable(format, static_cast<TStep>(i))) return static_cast<TStep>(i);
  return step;
}

TTestPage TestPageFor(TDataFormat format, TColumnCountKind columnCountKind) {
  switch (format) {
    case TDataFormat::XY:
      return TTestPage::Regression;
    case TDataFormat::TwoByTwo:
      return TTestPage::TwoByTwo;
    case TDataFormat::MultipleRegression:
      return TTestPage::MultipleRegression;
    case TDataFormat::LargerTable:
      return TTestPage::None;
    case TDataFormat::Raw:
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      break;
  }
  if (columnCountKind == TColumnCountKind::One) return TTestPage::OneColumn;
  if (columnCountKind == TColumnCountKind::Two) return TTestPage::TwoColumns;
  return TTestPage::MultiColumn;
}

std::int32_t TestPageHelpTopic(TTestPage page) {
  switch (page) {
    case TTestPage::MultiColumn:
      return 134;
    case TTestPage::TwoByTwo:
      return 161;
    case TTestPage::TwoColumns:
      return 88;
    case TTestPage::OneColumn:
      return 73;
    case TTestPage::Regression:
      return 182;
    case TTestPage::MultipleRegression:
      return 463;
    case TTestPage::None:
      break;
  }
  return -1;
}

}  // namespace ombrel
