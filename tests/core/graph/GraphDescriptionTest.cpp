#include <gtest/gtest.h>

#include <limits>

#include "core/graph/GraphDescription.h"

namespace ombrel {
namespace {

TGraphSeries Series(TSeriesKind kind, std::vector<TGraphPoint> points, bool dotted = false) {
  return {"Series", kind, TGraphColor::Default, dotted, std::move(points)};
}

TEST(GraphDescription, SaysWhatThePictureShows) {
  struct TRow {
    const char* Name;
    TGraphModel Model;
    const char* Expected;
  };
  TGraphModel bars;
  bars.Kind = TGraphKind::Means;
  bars.TitleLines = {"Weights", "Mean and SD"};
  bars.Left.Title = "Mean";
  bars.Series = {Series(TSeriesKind::ErrorBars, {{1, 12.5L, 1.25L, "Control"}, {2, 15.75L, 0, "Treated"}})};
  TGraphModel xy;
  xy.Kind = TGraphKind::XY;
  xy.Bottom.Title = "Dose";
  xy.Series = {Series(TSeriesKind::Points, {{1, 2, 0, ""}, {2, 3, 0, ""}, {3, 5, 0, ""}}),
               Series(TSeriesKind::Line, {{0, -1, 0, ""}, {4, 7, 0, ""}}),
               Series(TSeriesKind::Line, {{0, 0, 0, ""}}, true)};
  TGraphModel faulty;
  faulty.Kind = TGraphKind::Totals;
  faulty.Series = {Series(TSeriesKind::Bars, {{1, std::numeric_limits<TReal>::quiet_NaN(), 0, ""}})};
  TGraphModel hidden = bars;
  hidden.ChartVisible = false;
  const TRow rows[] = {
      {"bars", bars,
       "Graph of Weights. Mean and SD. Vertical axis: Mean. Bars: Control 12.50 (error 1.25), Treated 15.75."},
      {"scatter and line", xy, "Graph. Horizontal axis: Dose. 3 points. Line: Y = 2.00 * X - 1.00. Dotted line."},
      {"no number", faulty, "Graph. Bars: bar 1 no value."},
      {"empty", TGraphModel{}, "The graph is empty."},
      {"hidden", hidden, "The graph is empty."},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_EQ(GraphDescription(row.Model), row.Expected);
  }
}

}  // namespace
}  // namespace ombrel
