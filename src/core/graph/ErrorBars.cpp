#include "core/graph/ErrorBars.h"

#include <algorithm>
#include <cmath>

namespace ombrel {

TReal ErrorEndValue(TReal y, TReal error, TReal origin) { return y >= origin ? y + error : y - error; }

TErrorBarShape ErrorBarShape(const TBarRect& bar, TReal y, TReal error, int errorEndScreenY, int errorWidth,
                             TErrorWidthUnits units, bool penVisible, int offset3DX, int offset3DY) {
  TErrorBarShape shape;
  if (!penVisible || error == 0) return shape;
  const int barWidth = bar.Right - bar.Left;
  int whisker = barWidth;
  if (errorWidth != 0) {
    whisker = units == TErrorWidthUnits::ewuPixels
                  ? errorWidth
                  : static_cast<int>(std::lround(static_cast<double>(errorWidth) * barWidth / 100.0));
  }
  shape.Draw = true;
  shape.X = (bar.Left + bar.Right) / 2 + offset3DX / 2;
  shape.LineFromY = (y > 0 ? bar.Top : bar.Bottom) - offset3DY / 2;
  shape.LineToY = errorEndScreenY - offset3DY / 2;
  shape.WhiskerLeft = shape.X - whisker / 2;
  shape.WhiskerRight = shape.X + whisker / 2;
  return shape;
}

TReal LargestErrorBarY(std::span<const TReal> y, std::span<const TReal> errors) {
  TReal largest = EmptyValue;
  const std::size_t count = std::min(y.size(), errors.size());
  for (std::size_t i = 0; i < count; ++i) {
    const TReal top = std::max(y[i], y[i] + errors[i]);
    largest = IsEmpty(largest) ? top : std::max(largest, top);
  }
  return largest;
}

TReal SmallestErrorBarY(std::span<const TReal> y, std::span<const TReal> errors) {
  TReal smallest = EmptyValue;
  const std::size_t count = std::min(y.size(), errors.size());
  for (std::size_t i = 0; i < count; ++i) {
    const TReal end = y[i] >= 0 ? y[i] + errors[i] : y[i] - errors[i];
    const TReal low = std::min(y[i], end);
    smallest = IsEmpty(smallest) ? low : std::min(smallest, low);
  }
  return smallest;
}

}  // namespace ombrel
