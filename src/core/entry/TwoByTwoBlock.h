#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/TwoByTwoTable.h"

// The four counts of the two-by-two table as clipboard text: the block a
// spreadsheet exchanges, two lines of two tab-separated fields.

namespace ombrel {

// "A<tab>B<CR LF>C<tab>D<CR LF>"; an empty count is an empty field.
std::string TwoByTwoBlockText(const TTwoByTwoTable& table);

// The counts A, B, C, D of a pasted block: exactly two lines (a final line
// end and trailing empty lines allowed; CR LF, LF or CR) of exactly two
// tab-separated fields, each read as the count fields read their text (an
// empty field is an empty count). Nothing when the text is no such block or
// a field is not a valid count.
std::optional<std::array<TReal, 4>> ParseTwoByTwoBlock(std::string_view text);

}  // namespace ombrel
