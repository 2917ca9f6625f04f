#include "core/shell/TextSize.h"

#include <algorithm>
#include <array>

namespace ombrel {

namespace {

constexpr std::array<int, 10> TextSizes = {80, 90, 100, 110, 125, 150, 175, 200, 250, 300};

}  // namespace

int StepTextSize(int percent, int steps) {
  int size = TextSizeFromProfile(percent) == percent ? percent : NormalTextSize;
  for (; steps > 0; --steps) {
    const auto next = std::upper_bound(TextSizes.begin(), TextSizes.end(), size);
    if (next != TextSizes.end()) size = *next;
  }
  for (; steps < 0; ++steps) {
    const auto at = std::lower_bound(TextSizes.begin(), TextSizes.end(), size);
    if (at != TextSizes.begin()) size = *(at - 1);
  }
  return size;
}

int TextSizeFromProfile(int percent) {
  return std::find(TextSizes.begin(), TextSizes.end(), percent) != TextSizes.end() ? percent : NormalTextSize;
}

}  // namespace ombrel
