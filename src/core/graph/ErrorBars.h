#pragma once

#include <cstdint>
#include <span>

#include "core/base/EmptyValue.h"

// The arithmetic of the error-bar series: bars that carry one error value
// each and draw a vertical line from the end of the bar to the end of the
// error, with a whisker across it. Pure functions, so that any chart
// component can draw them and the axis range can include the error ends.

namespace ombrel {

enum class TErrorWidthUnits { ewuPercent, ewuPixels };

// The value where an error bar ends: y + error for a bar at or above the
// origin, y - error below it, so that the error always points away from
// the origin.
TReal ErrorEndValue(TReal y, TReal error, TReal origin);

// One bar as the chart laid it out, in screen pixels (y grows downwards).
struct TBarRect {
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int Bottom = 0;
};

// What to draw for one bar's error: a vertical line at X from LineFromY to
// LineToY and a whisker from WhiskerLeft to WhiskerRight at LineToY. Draw
// is false when there is nothing to draw.
struct TErrorBarShape {
  bool Draw = false;
  int X = 0;
  int LineFromY = 0;
  int LineToY = 0;
  int WhiskerLeft = 0;
  int WhiskerRight = 0;
};

// The error bar of one bar: nothing when the pen is hidden or the error is
// 0. The whisker is as wide as the bar when errorWidth is 0, errorWidth
// pixels in pixel units, else errorWidth percent of the bar rounded to the
// nearest pixel. The line starts at the bar's end (top for y > 0, bottom
// otherwise); both ends and x are shifted by half the chart's 3D offsets.
// errorEndScreenY is ErrorEndValue converted by the chart's axis.
TErrorBarShape ErrorBarShape(const TBarRect& bar, TReal y, TReal error, int errorEndScreenY, int errorWidth,
                             TErrorWidthUnits units, bool penVisible, int offset3DX = 0, int offset3DY = 0);

// The largest value the series reaches: its largest y, or a larger y + error.
// The empty marker for no bars. The spans run in step.
TReal LargestErrorBarY(std::span<const TReal> y, std::span<const TReal> errors);
// The smallest value the series reaches: its smallest y, or a smaller
// y + error (y >= 0) or y - error (y < 0). The empty marker for no bars.
TReal SmallestErrorBarY(std::span<const TReal> y, std::span<const TReal> errors);

}  // namespace ombrel
