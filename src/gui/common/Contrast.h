#pragma once

#include <QColor>
#include <initializer_list>

namespace ombrel {

// Text needs this contrast against its background to be legible for most
// readers with low vision (WCAG 2.1, level AA, normal text).
inline constexpr double LegibleContrast = 4.5;

// The contrast ratio of two colours, from 1 (equal) to 21 (black on
// white), as WCAG 2.1 defines it from their relative luminance.
double ContrastRatio(const QColor& first, const QColor& second);

// The first of `candidates` legible on `background`; `fallback` when none is.
QColor LegibleOn(const QColor& background, std::initializer_list<QColor> candidates, const QColor& fallback);

}  // namespace ombrel
