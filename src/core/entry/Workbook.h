#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reading one sheet of a spreadsheet workbook: Office Open XML (.xlsx) or
// OpenDocument (.ods). Only what an import needs is read: the sheet names,
// and of one sheet the cells' stored values (never their displayed text),
// which rows and columns are hidden, and whether values lie beyond what was
// kept. The sheet's XML is streamed; every part is unpacked up to a size
// limit and the cells are counted, so no file can make reading crash, hang
// or take memory without bound.

namespace ombrel {

namespace detail {
class TWorkbookParts;
}

enum class TWorkbookFormat { Xlsx, Ods };

enum class TWorkbookCellKind : std::uint8_t {
  Empty,
  Number,   // Text holds the stored value as the file writes it ("0.1", "1.5E-3")
  Text,     // Text holds the text (cut to MaxWorkbookCellText bytes)
  Boolean,  // "TRUE" or "FALSE"
  Error,    // "#N/A", "#DIV/0!", ...
  Date,     // a date or a time (its stored number or text in Text)
  Formula,  // a formula without a stored result: "=" and its text
};

inline constexpr std::size_t MaxWorkbookCellText = 256;

struct TWorkbookCell {
  TWorkbookCellKind Kind = TWorkbookCellKind::Empty;
  std::string Text;
};

enum class TWorkbookProblem {
  None,
  CannotOpen,   // the file cannot be opened or read (Errno)
  NotWorkbook,  // not an .xlsx or .ods workbook
  Damaged,      // a workbook that cannot be read (Detail says why)
  TooLarge,     // beyond the limits (Detail says which)
  NoSuchSheet,  // the chosen sheet is not there
};

// What is kept of a sheet. Reading stops once a value lies beyond Rows.
struct TWorkbookLimits {
  int Rows = 1002;                                 // counted from the first row that holds a value
  int Columns = 64;                                // counted from the sheet's column A
  std::uint64_t PartBytes = 128ULL * 1024 * 1024;  // unpacked bytes of any part
  std::int64_t Cells = 5'000'000;                  // cells of the XML read
};

struct TWorkbookSheet {
  TWorkbookFormat Format = TWorkbookFormat::Xlsx;
  std::vector<std::string> SheetNames;
  int Sheet = -1;  // 0-based index of the sheet read
  // Rows[0] is the first row of the sheet that holds a value (FirstRow,
  // 1-based, in the sheet's own numbering); each row holds the cells from
  // column A on, trailing empty cells left out.
  std::vector<std::vector<TWorkbookCell>> Rows;
  std::int64_t FirstRow = 0;
  std::vector<std::uint8_t> HiddenRows;     // one flag per entry of Rows
  std::vector<std::uint8_t> HiddenColumns;  // one flag per column from A
  bool MoreRows = false;                    // a value lies below the rows kept
  bool MoreColumns = false;                 // a value lies right of the columns kept
  TWorkbookProblem Problem = TWorkbookProblem::None;
  std::string Detail;  // Damaged, TooLarge: a clause saying what is wrong
  int Errno = 0;       // CannotOpen
  bool Ok() const { return Problem == TWorkbookProblem::None; }
};

// Reads the sheet named `sheet` (exactly; else, when it is a number, the
// sheet of that 1-based number; empty: the first sheet) of the workbook at
// `path`, or of workbook bytes in memory.
TWorkbookSheet ReadWorkbookFile(const std::string& path, std::string_view sheet, const TWorkbookLimits& limits = {});
TWorkbookSheet ReadWorkbookBytes(std::string_view bytes, std::string_view sheet, const TWorkbookLimits& limits = {});
// The same from parts already unpacked (tests, fuzzing).
TWorkbookSheet ReadWorkbookParts(detail::TWorkbookParts& parts, std::string_view sheet,
                                 const TWorkbookLimits& limits = {});

// Whether the file is a zip archive holding a workbook, and of which format
// (by its parts, without reading the sheets).
bool WorkbookFormatOf(const std::string& path, TWorkbookFormat& format);

// The message for a sheet that could not be read, naming the file by
// `fileName`: "BOOK.XLSX is damaged: ...", "BOOK.XLSX is not a workbook.",
// "BOOK.XLSX has no sheet named "Data".", ...
std::string WorkbookProblemMessage(const TWorkbookSheet& sheet, std::string_view fileName, std::string_view chosen);

// Number formats that show a number as a date or a time: the built-in ones
// 14 to 22 and 45 to 47, and format codes with d, m, y, h or s outside
// quoted text, brackets and escapes.
bool IsBuiltInDateFormat(int id);
bool IsDateFormatCode(std::string_view code);

}  // namespace ombrel
