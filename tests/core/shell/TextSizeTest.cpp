#include <gtest/gtest.h>

#include "core/shell/TextSize.h"

namespace ombrel {
namespace {

TEST(TextSize, StepsThroughTheSizesAndStopsAtTheEnds) {
  struct TRow {
    int Percent;
    int Steps;
    int Expected;
  };
  const TRow rows[] = {
      {100, 1, 110},
      {110, 1, 125},
      {200, 1, 250},
      {300, 1, 300},
      {100, -1, 90},
      {80, -1, 80},
      {100, 4, 175},
      {250, -3, 150},
      {100, 0, 100},
      // A size that is no step (an edited settings file) starts from normal.
      {117, 1, 110},
      {-5, -1, 90},
      {100000, 0, 100},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Percent << " by " << row.Steps);
    EXPECT_EQ(StepTextSize(row.Percent, row.Steps), row.Expected);
  }
  EXPECT_EQ(TextSizeFromProfile(150), 150);
  EXPECT_EQ(TextSizeFromProfile(0), NormalTextSize);
}

}  // namespace
}  // namespace ombrel
