#pragma once

#include <string>

#include "core/base/EmptyValue.h"

namespace ombrel {

// The report's number texts. Locale-free: "." is the decimal point always.

// Fixed form with exactly `decimals` digits after the point (none and no
// point for 0), rounded half away from zero on the value's 18 significant
// decimal digits. A negative value that rounds to zero carries no sign.
std::string FormatFixed(TReal value, int decimals);

// Scientific form with four significant digits: -4.500E-05, 1.235E+07,
// 1.000E+100 (three exponent digits from 100 on).
std::string FormatScientific(TReal value);

// The number text of every report number: empty for the empty marker,
// scientific for 0 < |v| <= 0.0001 or |v| > 10,000,000, else fixed with
// `decimals`; then right-aligned in `width` (a longer text is kept whole).
// Non-finite values give an empty text; the analysis frame reports them.
std::string NumberText(TReal value, int width, int decimals);

// floor(log10 |v|), and 1 for 0.
int Magnitude(TReal value);

// Digit rule: digits >= 0 are decimals; digits = -n asks for n significant
// digits (n - 1 below 10).
int DecimalsForDigits(TReal value, int digits);

// The minimal width WriteNumber uses: decimals + 2, plus m when m >= 2.
int WidthForDigits(TReal value, int digits);

// Removes characters below 33 at both ends, then pads to the width.
std::string PadRight(std::string_view text, int width);
std::string PadLeft(std::string_view text, int width);
// (width - length) div 2 spaces on the left, then pad right to the width.
std::string CenterText(std::string_view text, int width);

}  // namespace ombrel
