#pragma once

// What a report holds besides its text, recorded while the text is written:
// every number it printed (with its value and format), its headings, and each
// report table as header and body rows of cells. The text stays the report;
// the structure lets the HTML (and other rich) writers show headings,
// paragraphs and real tables, and lets tests match printed numbers with the
// results as data.

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/EmptyValue.h"

namespace ombrel {

// How a number was printed.
enum class TNumberForm {
  Fixed,       // a fixed number of decimals (Decimals)
  Scientific,  // four significant digits with an exponent (1.235E+07)
  Integer,     // a whole number
};

// One number as the report printed it, on line Line (0-based, as GetLine
// counts) from display column FirstColumn up to, not including, EndColumn
// (0-based, markers take none; blanks of its field included).
struct TReportNumber {
  int Line = 0;
  int FirstColumn = 0;
  int EndColumn = 0;
  TReal Value = EmptyValue;
  std::string Text;  // as printed, without the blanks of its field
  TNumberForm Form = TNumberForm::Fixed;
  int Decimals = 0;
};

// Character attributes of a cell or heading (the report's marker bits).
inline constexpr std::uint8_t CellBold = 1;
inline constexpr std::uint8_t CellUnderline = 2;
inline constexpr std::uint8_t CellItalic = 4;

// One cell of a report table: its text without the blanks that aligned it,
// the attributes any of its characters had, and, when it shows a number,
// that number's value and format.
struct TReportCell {
  std::string Text;
  std::uint8_t Style = 0;
  bool HasNumber = false;
  TReal Value = EmptyValue;
  TNumberForm Form = TNumberForm::Fixed;
  int Decimals = 0;
};

// A row of cells, one per column of its table (empty cells included).
using TReportRow = std::vector<TReportCell>;

// A report table over the lines FirstLine up to, not including, EndLine:
// its heading rows (one, merged from the heading's lines) and body rows.
struct TReportTable {
  int FirstLine = 0;
  int EndLine = 0;
  std::vector<TReportRow> Header;
  std::vector<TReportRow> Body;
};

// A line that is a heading: 1 the data set title, 2 a report or section
// title, 3 an underlined sub-heading.
struct TReportHeading {
  int Line = 0;
  int Level = 2;
};

struct TReportStructure {
  std::vector<TReportNumber> Numbers;
  std::vector<TReportHeading> Headings;
  std::vector<TReportTable> Tables;
};

}  // namespace ombrel
