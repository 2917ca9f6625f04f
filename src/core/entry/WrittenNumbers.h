#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/base/EmptyValue.h"

namespace ombrel {

// Numbers as other programs write them into text files and onto the
// clipboard, shared by import and paste. Statistics programs and scripting
// languages write "2.5e3", "1.2e-05" or "5.063103e+06", quote fields, mark
// missing values with words such as "NA", and spreadsheets in much of Europe
// write "8,977" with ";" between the fields.

enum class TFieldKind {
  Empty,      // nothing but blanks (and quotes)
  Number,     // a complete number
  NotNumber,  // anything else: a missing-value marker, a word, "1.2.3"
};

struct TWrittenField {
  TFieldKind Kind = TFieldKind::Empty;
  // The number as written, not yet rounded; beyond the long double range it
  // is an infinity of the number's sign (tiny numbers read as 0).
  TReal Value = EmptyValue;
};

// Reads one field: blanks at both ends and one pair of enclosing double
// quotes are dropped; the rest must be a whole number in the form
// [+|-]digits[.digits][(e|E)[+|-]digits], where `decimalSeparator` serves
// as the decimal point as well as ".". Nothing else is dropped or guessed:
// "1 kg", "1.2.3" and "NA" are not numbers.
TWrittenField ReadWrittenNumber(std::string_view field, char decimalSeparator);

// A word other programs write for a missing value: "NA", "NaN", "N/A",
// "NULL", "None", "inf", "-", ".", "?" or a spreadsheet error such as
// "#N/A" or "#DIV/0!" (letters in any case, quotes and blanks ignored).
bool IsMissingMarker(std::string_view field);

enum class TTextSource {
  // A file: without ";", tab or the list separator between fields, the
  // fields are separated by ",", which then cannot be a decimal comma.
  File,
  // Clipboard text: fields are separated by tabs (or ";"), so a "," inside
  // a field can be a decimal comma; one between numbers with points
  // separates them.
  Clipboard,
};

struct TDecimalGuess {
  char Separator = '.';
  bool FromText = false;  // the text decided it; else the system's
};

// The decimal separator the text itself shows: "," when its fields hold
// numbers such as "8,977" and none such as "1.5"; "." the other way round;
// else (no decimals, or both kinds) the system's `systemSeparator`. Fields
// are split outside double quotes at ";", tab and `listSeparator` (and, for
// a file without those, at ",").
TDecimalGuess GuessDecimalSeparator(const std::vector<std::string>& lines, char systemSeparator, char listSeparator,
                                    TTextSource source);

// The one message after an import that left fields empty because they
// were not numbers: how many, and the (1-based) row and column of the first.
std::string NotNumbersMessage(int count, int firstRow, int firstColumn);

}  // namespace ombrel
