#include <gtest/gtest.h>

#include <vector>

#include "core/graph/ErrorBars.h"

using namespace ombrel;

// Screen coordinates grow downwards: a bar from value 0 (y 200) up to its
// top at y 100, 40 pixels wide.
TEST(ErrorBarShape, FollowsTheBarAndTheWhiskerRule) {
  struct TCase {
    const char* Name;
    TBarRect Bar;
    TReal Y;
    TReal Error;
    int EndY;
    int Width;
    TErrorWidthUnits Units;
    bool Pen;
    TErrorBarShape Expected;
  };
  const TBarRect up{10, 50, 100, 200};
  const TBarRect down{10, 50, 200, 260};
  const std::vector<TCase> cases = {
      {"full width at 100%", up, 10, 3, 70, 100, TErrorWidthUnits::ewuPercent, true, {true, 30, 100, 70, 10, 50}},
      {"width 0 is the bar's width", up, 10, 3, 70, 0, TErrorWidthUnits::ewuPercent, true, {true, 30, 100, 70, 10, 50}},
      // 35% of 40 is 14 pixels: 7 each side.
      {"percent of the bar", up, 10, 3, 70, 35, TErrorWidthUnits::ewuPercent, true, {true, 30, 100, 70, 23, 37}},
      // 12.5% of 40 is 5 pixels: halves by integer division.
      {"percent rounds to pixels", up, 10, 3, 70, 13, TErrorWidthUnits::ewuPercent, true, {true, 30, 100, 70, 28, 32}},
      {"pixels", up, 10, 3, 70, 8, TErrorWidthUnits::ewuPixels, true, {true, 30, 100, 70, 26, 34}},
      {"negative bar starts at its bottom",
       down,
       -6,
       2,
       280,
       100,
       TErrorWidthUnits::ewuPercent,
       true,
       {true, 30, 260, 280, 10, 50}},
      {"error 0 draws nothing", up, 10, 0, 100, 100, TErrorWidthUnits::ewuPercent, true, {}},
      {"hidden pen draws nothing", up, 10, 3, 70, 100, TErrorWidthUnits::ewuPercent, false, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TErrorBarShape shape = ErrorBarShape(c.Bar, c.Y, c.Error, c.EndY, c.Width, c.Units, c.Pen);
    EXPECT_EQ(shape.Draw, c.Expected.Draw);
    if (!c.Expected.Draw) continue;
    EXPECT_EQ(shape.X, c.Expected.X);
    EXPECT_EQ(shape.LineFromY, c.Expected.LineFromY);
    EXPECT_EQ(shape.LineToY, c.Expected.LineToY);
    EXPECT_EQ(shape.WhiskerLeft, c.Expected.WhiskerLeft);
    EXPECT_EQ(shape.WhiskerRight, c.Expected.WhiskerRight);
  }
}

TEST(ErrorBarShape, ShiftsByHalfThe3DOffsets) {
  const TErrorBarShape shape =
      ErrorBarShape({10, 50, 100, 200}, 10, 3, 70, 100, TErrorWidthUnits::ewuPercent, true, 9, 7);
  EXPECT_EQ(shape.X, 34);
  EXPECT_EQ(shape.LineFromY, 97);
  EXPECT_EQ(shape.LineToY, 67);
}

TEST(ErrorEndValue, PointsAwayFromTheOrigin) {
  EXPECT_EQ(ErrorEndValue(10, 3, 0), 13);
  EXPECT_EQ(ErrorEndValue(0, 3, 0), 3);
  EXPECT_EQ(ErrorEndValue(-6, 2, 0), -8);
  EXPECT_EQ(ErrorEndValue(4, 1, 5), 3);
}

TEST(ErrorBarRange, IncludesTheErrorEnds) {
  struct TCase {
    const char* Name;
    std::vector<TReal> Y;
    std::vector<TReal> Errors;
    TReal Largest;
    TReal Smallest;
  };
  const std::vector<TCase> cases = {
      {"a bar of 10 with error 3", {10}, {3}, 13, 10},
      {"negative bar reaches down", {10, -6}, {1, 2}, 11, -8},
      {"errors of 0", {4, 2}, {0, 0}, 4, 2},
      {"no bars", {}, {}, EmptyValue, EmptyValue},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(LargestErrorBarY(c.Y, c.Errors), c.Largest);
    EXPECT_EQ(SmallestErrorBarY(c.Y, c.Errors), c.Smallest);
  }
}
