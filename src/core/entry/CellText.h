#pragma once

#include <string>
#include <string_view>

#include "core/base/EmptyValue.h"

namespace ombrel {

// The texts of the spreadsheet cells: what a typed cell means and how a
// stored value is shown. Locale-free: "." is the decimal point always.

inline constexpr int MaxCellTextLength = 14;

// Reads a typed cell. The text is cut to 14 characters and cleaned: blanks and
// "+" are dropped, the first "," or "." becomes the decimal point and later ones
// are dropped, the first "-" stays and later ones are dropped, the first "E"/"e"
// becomes "E" and later ones are dropped; a sign directly after the "E" is kept
// as the exponent's sign. Trailing "-", "." and "E" are removed. An empty,
// unreadable or non-finite text, or one beyond +-1.5E38, gives the empty marker.
// So "1,5" -> 1.5, "1.2.3" -> 1.23, "--5" -> -5, "12-" -> 12, "-2e-3" -> -0.002.
TReal ParseCellText(std::string_view text);

// What a committed cell text is. Only a well-formed number is stored: blanks
// at both ends, an optional sign, digits with at most one decimal point ("."
// or `decimalSeparator`) and at least one digit, an optional exponent ("e" or
// "E", optional sign, digits). Nothing else is reinterpreted: "1 2", "1.2.3",
// "--5" and "12-" are not numbers. A number beyond +-1.5E38 (or too large to
// read at all, as "1e999") is out of range.
enum class TTypedKind { Empty, Number, NotANumber, OutOfRange };
struct TTypedNumber {
  TTypedKind Kind = TTypedKind::Empty;
  TReal Value = EmptyValue;  // the number when Kind is Number, else empty
};
TTypedNumber ReadTypedNumber(std::string_view text, char decimalSeparator = '.');

// The message for a refused cell text: "“TEXT” is not a number." or "The
// number is out of range."; empty for an empty text or a number.
std::string TypedNumberMessage(const TTypedNumber& typed, std::string_view text);

// The text a cell shows for a stored value with `places` decimals: empty for
// the empty marker; scientific form for values that need it (a blank or "-",
// 7 significant digits, "E", sign and at least two exponent digits, e.g.
// " 1.234568E+07"); else fixed point with `places` decimals, cut to 14
// characters. Rounding is half away from zero on 18 significant digits.
std::string FormatCellValue(TReal value, int places);

// Integer digits and decimals of a number text (blanks at both ends ignored).
// Integer digits: the characters (a sign included) before the first "." or
// "E", plus the exponent when there is one; a result of 0 or less, or an
// unreadable exponent, gives 1. Decimals: the characters after the "." when
// there is no exponent, else the size of a negative exponent, else 0.
struct TTextDigits {
  int IntegerDigits = 0;
  int Decimals = 0;
};
TTextDigits CountTextDigits(std::string_view text);

// The decimals a value brings with it when it is stored by a program
// operation: those of its fixed-point text with 8 decimals and trailing zeros
// removed, or of its scientific cell text when it needs scientific form.
int OwnDecimals(TReal value);

// A character the cell editor accepts: "0".."9", ",", "-", ".", "E", "e".
bool IsCellCharacter(char ch);

// True when a text consists only of cell characters and holds a digit; such
// a column title is probably a value typed into the wrong row.
bool LooksLikeNumber(std::string_view text);

}  // namespace ombrel
