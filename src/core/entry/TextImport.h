#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/DataTable.h"

namespace ombrel {

// Reading plain text files of numbers into a scratch table, and copying the
// chosen part of it into a document's table. Nothing here shows anything;
// the caller turns the flags and outcomes into messages.

inline constexpr int MaxImportRows = 1000;
inline constexpr std::size_t ImportLineLength = 20000;

inline constexpr std::string_view NotAsciiMessage = "The file is not an ASCII file.";
inline constexpr std::string_view TooManyImportRowsMessage =
    "There are too many rows of data in this file.Only the first 1000 rows will be read.";
inline constexpr std::string_view TooManyImportColumnsMessage =
    "There are too many columns of data in this file. Only the first 26 columns will be read.";
inline constexpr std::string_view SameIndexColumnsMessage =
    "The column with values and the column with group assignments must be different.";
inline constexpr std::string_view ImportOutOfRangeMessage =
    "Some numbers in this file are beyond +-1.5E38, the largest value Ombrel can hold. Those cells were left empty.";

// The user's separators: the list separator splits fields like "," and ";";
// the system's decimal separator is used when the file does not show its
// own. `ChosenDecimal` ("." or ",", chosen in the import dialog) overrides
// both; "\0" detects. `ChosenSeparator` makes one character alone split
// the fields (a blank: column-aligned fields); "\0" takes tab, ";", the list
// separator and "," (unless it is the decimal comma) alike.
struct TImportSeparators {
  char ListSeparator = ',';
  char DecimalSeparator = '.';
  char ChosenDecimal = '\0';
  char ChosenSeparator = '\0';
};

// How a file is read, as the import dialog (or the command line) sets it:
// the separators, whether the first lines are titles, whether a first
// column of row names becomes row titles, and a workbook's sheet.
enum class TImportHeader {
  Detect,  // title lines (text) or a first row of text (workbooks) are titles
  On,      // the first line or row gives the column titles
  Off,     // every line or row is data
};

struct TImportOptions {
  TImportSeparators Separators;
  TImportHeader Header = TImportHeader::Detect;
  // Take a first column of row names as row titles (see TakeRowNames).
  bool RowNames = true;
  // A sheet's name or its 1-based number; empty: the first sheet.
  std::string Sheet;
};

enum class TImportSource { Text, Xlsx, Ods };

// Per column of the scratch table, what its fields were.
struct TImportColumnCounts {
  int Numbers = 0;
  int Empty = 0;
  int NotNumbers = 0;  // text, markers, errors, numbers beyond the range
  int Dates = 0;       // dates and times of a workbook
};

// A field of the first rows as the preview shows it: numbers as the table
// holds them, the rest by the text that was left out.
enum class TPreviewKind : std::uint8_t { Empty, Number, NotNumber, Date };
struct TPreviewField {
  TPreviewKind Kind = TPreviewKind::Empty;
  std::string Text;  // as the file has it (quotes dropped)
};
inline constexpr int PreviewRowCount = 100;

// Why a file could not be read (Problem), with the message to show.
enum class TImportProblem {
  None,
  CannotOpen,
  NotAscii,     // a text file with bytes of 128 and more after its first line
  NotWorkbook,  // looked like a workbook (a zip archive), but is none
  OldWorkbook,  // a workbook of the older binary format, or locked by a password
  Damaged,
  TooLarge,
  NoSuchSheet,
};

// The file read into a scratch table (the import dialog's "TEMP.ARR").
struct TImportedFile {
  // Heap-held: a table is large and the dialog keeps it for its lifetime.
  std::unique_ptr<TDataTable> Table = std::make_unique<TDataTable>();
  int DataRows = 0;
  int DataColumns = 0;
  bool Delimited = false;
  // The separator of the first data line's fields (the first one found in
  // it), or a blank for column-aligned fields.
  char FieldSeparator = ' ';
  // More data lines than MaxImportRows: only the first ones were read.
  bool TooManyRows = false;
  // Fields holding numbers beyond the entry range (stored as empty cells).
  int OutOfRangeFields = 0;
  // Non-empty fields that are not numbers ("NA", "-", "1.2.3"), stored as
  // empty cells, and the 1-based row and column of the first (0 when none).
  int NotNumberFields = 0;
  int FirstNotNumberRow = 0;
  int FirstNotNumberColumn = 0;
  // The decimal separator the numbers were read with, and whether the file
  // itself showed it (else it is the system's or the user's choice).
  char DecimalSeparator = '.';
  bool DecimalFromFile = false;
  // The errno of a file that could not be opened; 0 when it was read.
  int ReadError = 0;
  bool HasHeader = false;
  bool HasSheetTitle = false;
  bool HasColumnTitles = false;
  std::string SheetTitle;
  std::array<std::string, MaxColumns> ColumnTitles{};

  TImportSource Source = TImportSource::Text;
  // Fields beyond column Z held something (they were dropped).
  bool TooManyColumns = false;
  // The text of the first field that is not a number, and for workbooks
  // its cell in the sheet's own terms ("C7").
  std::string FirstNotNumberText;
  std::string FirstNotNumberCell;
  // Dates and times (workbooks), left empty and counted apart from
  // NotNumberFields.
  int DateFields = 0;
  // Hidden rows and columns among those read (workbooks; they are read),
  // counted and flagged by data row and column.
  int HiddenRows = 0;
  int HiddenColumns = 0;
  std::vector<std::uint8_t> RowHidden;
  std::array<std::uint8_t, MaxColumns> ColumnHidden{};
  // Workbooks: the sheets by name and the 0-based index of the one read.
  std::vector<std::string> SheetNames;
  int Sheet = -1;
  std::array<TImportColumnCounts, MaxColumns> Counts{};
  // A first column of row names was found (RowNamesFound) and taken as row
  // titles rather than data (RowNamesTaken); when they are the row numbers
  // 1, 2, 3, ... they give no titles (RowNamesNumbered). RowNames holds them
  // by data row.
  bool RowNamesFound = false;
  bool RowNamesTaken = false;
  bool RowNamesNumbered = false;
  std::vector<std::string> RowNames;
  // The first PreviewRowCount data rows, field by field.
  std::vector<std::vector<TPreviewField>> PreviewRows;
  TImportProblem Problem = TImportProblem::None;
  std::string ProblemMessage;
  bool Read() const { return Problem == TImportProblem::None; }
};

// True unless a line after the first holds a byte of 128 or more. A stream
// that cannot be read counts as ASCII.
bool IsAsciiText(std::istream& in);
bool IsAsciiFile(const std::string& path);

// A header line: holds no "*" and, upper-cased and without its double
// quotes, starts with a character other than blank, tab, "+", ",", "-", ".",
// a digit, ";" or one of the user's separators, or holds a character other
// than those and "E"; unless its fields are numbers and missing-value
// markers ("1.5,NA"), at least one a number: that is data.
bool IsTitleLine(std::string_view line, const TImportSeparators& separators = {});

// Reads a text file of numbers: a UTF-8 byte-order mark is skipped; leading
// blank and title lines form the header (sheet title and column titles);
// the decimal separator is the file's own when its numbers show it, else
// the system's; the first data line decides between delimited fields
// (",", tab, ";" or the list separator; "," not with a decimal comma;
// separators inside double quotes do not count) and column-aligned ones.
// At most 1000 data rows and 26 columns; lines end with CR LF, LF or CR.
// Each number, with "e" or "E" exponents, is rounded to its 14-character
// text and teaches its column its decimals; any other non-empty field is
// left empty and counted. Memory stays bounded whatever the input.
TImportedFile ReadImportText(std::istream& in, const TImportSeparators& separators);
// The same with the header and row names as `options` say.
TImportedFile ReadTextForImport(std::istream& in, const TImportOptions& options);
// The same from a file; a file that cannot be opened reads as empty with
// its ReadError set.
TImportedFile ReadImportFile(const std::string& path, const TImportSeparators& separators);
TImportedFile ReadTextFileForImport(const std::string& path, const TImportOptions& options);

// A field of a data row as its source gives it, for filling the scratch
// table the same way from text files and workbooks.
enum class TSourceKind : std::uint8_t {
  Written,    // text of a text file, read as a number if it is one
  Number,     // a workbook's stored number ("." as decimal point), kept unrounded
  NotNumber,  // a workbook's text, truth value, error or formula
  Date,       // a workbook's date or time
  Empty,
};
struct TSourceField {
  TSourceKind Kind = TSourceKind::Written;
  std::string Text;
  // Written as a label: quoted in a text file, a text cell in a workbook.
  bool Label = false;
};
using TSourceRow = std::vector<TSourceField>;

// Fills the scratch table with `rows` (the data rows, at most
// MaxImportRows) from their field `skip` on, counting what each field was
// and keeping the first rows for the preview.
void StoreImportRows(TImportedFile& file, const std::vector<TSourceRow>& rows, int skip = 0);

// Row names: once the titles are known, a first column titled with nothing
// whose fields are all labels (quoted, or text cells) or the row numbers
// 1, 2, 3, ..., beside at least one other column, holds row names, as a
// data frame written by a statistics language has them. They are noted,
// and with `take` the table is filled again without them, the titles move
// one column left and the names become the scratch table's row titles
// (except plain row numbers, which the rows have anyway).
void TakeRowNames(TImportedFile& file, const std::vector<TSourceRow>& rows, bool take);

// Completes the per-column counts once the rows and columns are final.
void CountEmptyFields(TImportedFile& file);

// The value of one field: the first "*" removed, empty -> empty marker, a
// text that is not a number (ReadWrittenNumber) -> empty marker with
// `notNumber` set, a number beyond +-1.5E38 -> empty marker with
// `outOfRange` set. Numbers are rounded as pasted ones are: fixed text
// with 12 decimals, trailing zeros dropped, cut to 14 characters. Values
// that text would spoil keep 15 significant digits instead: those shown in
// scientific form below 1E-4 (12 decimals would leave few digits or none)
// and those with more than 14 integer characters (cutting would drop
// integer digits).
struct TImportField {
  TReal Value = EmptyValue;
  bool NotNumber = false;
  bool OutOfRange = false;
};
TImportField ImportFieldValue(std::string_view field, char decimalSeparator = '.');

enum class TImportColumns { All, Range, Indexed };
enum class TFilterCondition { Equal, Greater, GreaterOrEqual, Less, LessOrEqual, NotEqual };

// The import dialog's choices; columns and rows count from 1.
struct TImportChoices {
  TImportColumns Columns = TImportColumns::All;
  int StartColumn = 1;
  int EndColumn = 1;
  int ValueColumn = 1;
  int GroupColumn = 2;
  bool RowRange = false;
  int StartRow = 1;
  int EndRow = 1;
  bool FilterRows = false;
  int FilterColumn = 1;
  TFilterCondition Condition = TFilterCondition::Equal;
  TReal FilterValue = 0;
};

// Whether `value` passes `condition` against `limit` (the empty marker
// compares as the number it is).
bool PassesFilter(TReal value, TFilterCondition condition, TReal limit);

enum class TImportOutcome { Imported, SameIndexColumns };

// Copies the scratch table into `target`. Row names taken from the file
// become the row titles of the rows they came with (standard layout only).
// Standard layout: from data row
// `startRow` and column `startColumn` on, the rows passing the filter, the
// cells within the ranges; a row left empty by the row range still takes
// its target row. Indexed layout: the target's values are cleared and each
// group of the group column fills a column of its own, titled with the
// group (at most 26 groups, 1000 values each; rows with an empty group are
// skipped). Stored cells lose their exclude flags, their columns become raw
// data columns, are flagged changed and take the scratch column's decimals.
// The file's sheet title and column titles (when it had them) go with the
// data: titles to the columns their data went to.
TImportOutcome ApplyImport(const TImportedFile& file, const TImportChoices& choices, TDataTable& target, int startRow,
                           int startColumn);

// The title of an indexed group: at most 2 decimals, trailing zeros removed.
std::string GroupTitle(TReal group);

}  // namespace ombrel
