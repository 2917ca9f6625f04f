#pragma once

#include <string>
#include <string_view>

#include "core/base/EmptyValue.h"

namespace ombrel {

// The signed whole-number field of the two-by-two table: at most 10
// characters, each "+", "-" or a digit.
inline constexpr int IntFieldLength = 10;
inline constexpr std::string_view IntFieldNotValidMessage = "The number is not valid.";
inline constexpr std::string_view IntFieldOutOfRangeMessage = "The number is out of range.";

enum class TIntFieldStatus { Empty, Valid, NotValid, OutOfRange };

struct TIntFieldValue {
  TIntFieldStatus Status = TIntFieldStatus::Empty;
  TReal Value = EmptyValue;  // the number when valid, else the empty marker
};

// Reads the field: blanks at both ends are ignored; an empty text is the
// empty marker; one optional sign and digits are a number, anything else is
// not valid; a number beyond the signed 32-bit range is out of range.
TIntFieldValue ParseIntFieldText(std::string_view text);
// The field's text for a count: empty for the empty marker.
std::string IntFieldText(TReal value);

}  // namespace ombrel
