#pragma once

#include <cassert>
#include <cstddef>

namespace ombrel {

// A position counted in int (a row, a column, a group) as the index of a
// container. It never clamps: a negative position is the caller's fault,
// which debug builds (the sanitizer build among them) stop at.
constexpr std::size_t At(int position) {
  assert(position >= 0);
  return static_cast<std::size_t>(position);
}

}  // namespace ombrel
