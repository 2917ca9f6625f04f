#pragma once

// The number type of every statistic and cell, and the one marker that stands
// for "no value": an empty or excluded cell, an unavailable statistic, a blank
// report field.

namespace ombrel {

using TReal = long double;

// Compared by equality everywhere. Written once: a double literal 1.7e38
// widened to long double is not equal to 1.7e38L.
inline constexpr TReal EmptyValue = 1.7e38L;

// Typed and imported values are kept inside this range so that none collides
// with the marker.
inline constexpr TReal MaxEnteredValue = 1.5e38L;

constexpr bool IsEmpty(TReal value) { return value == EmptyValue; }

}  // namespace ombrel
