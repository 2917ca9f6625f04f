#include "gui/common/Contrast.h"

#include <algorithm>
#include <cmath>

namespace ombrel {

namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& color) {
  const QColor rgb = color.toRgb();
  return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

}  // namespace

double ContrastRatio(const QColor& first, const QColor& second) {
  const double a = Luminance(first);
  const double b = Luminance(second);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor LegibleOn(const QColor& background, std::initializer_list<QColor> candidates, const QColor& fallback) {
  for (const QColor& candidate : candidates)
    if (ContrastRatio(candidate, background) >= LegibleContrast) return candidate;
  return fallback;
}

}  // namespace ombrel
