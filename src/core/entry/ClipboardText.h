#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/base/DataTable.h"
#include "core/entry/CellStore.h"
#include "core/entry/GridSelection.h"

namespace ombrel {

// The text the grids exchange with the clipboard, and the data operations of
// the Edit commands behind it: copy, paste, transpose paste, clear and
// exclude. Rectangles are grid coordinates (data columns from grid column 1,
// data rows from grid row 2); the user's decimal separator comes in as an
// argument, "." when it is the point.

// Copied text stops before it would reach this many bytes (with the two bytes
// kept free for the terminating zero and a spare).
inline constexpr std::size_t ClipboardTextLimit = 65000;
// Pasted data rows run 0 to 999: the grid's rows.
inline constexpr int PasteRowLimit = 1000;

inline constexpr std::string_view NotEnoughMemoryMessage = "Not enough memory.";
inline constexpr std::string_view ClipboardTooLargeMessage =
    "Contents were too large (>64K) to copy completely to the clipboard.";
inline constexpr std::string_view IncludeColumnTitlesQuestion = "Include column titles?";
inline constexpr std::string_view IncludeRowTitlesQuestion = "Include row titles?";
// Shown after a paste that had to leave values out.
inline constexpr std::string_view PasteClippedMessage =
    "Not all of the pasted data fits in the table: values beyond row 1000 or column Z were left out.";

// How titles are settled before a copy: the whole table asks in a dialog
// for both kinds, whole columns ask about column titles, whole rows about
// row titles, any other selection copies values only.
enum class TTitleQuestion { None, Dialog, ColumnTitles, RowTitles };
TTitleQuestion TitleQuestionFor(TSelectionKind kind);

enum class TCopyStatus {
  Complete,
  Truncated,  // cut at the last field that fitted below ClipboardTextLimit
  NoMemory,   // nothing built
};

struct TClipboardText {
  std::string Text;
  TCopyStatus Status = TCopyStatus::Complete;
};

struct TCopyOptions {
  bool ColumnTitles = false;
  bool RowTitles = false;
  char DecimalSeparator = '.';
};

// The text of a selection of the data grid: tab-separated fields, CR LF after
// every line but the one of the selection's last row. Rows below the last
// value of the selected columns are left out. Values are written as the
// cells show them (FormatCellValue with the column's decimals), with the
// decimal separator in place of the point.
TClipboardText SelectionText(const TDataTable& table, const TGridRect& rect, const TCopyOptions& options);

// The text of a selection of the summary grid: the cell texts of the Mean
// and the SD or SEM rows inside the selection (never the N row), tabs between
// fields, CR LF between lines. Same size limit as SelectionText.
TClipboardText SummaryText(const TDataTable& table, const TGridRect& rect, bool sdFormat, bool fullStatistics);

// Where a paste starts: data row and column of the current cell; row -1 (the
// column titles) when whole columns are selected, column -1 (the row titles)
// when whole rows are, both for the whole table.
struct TPasteStart {
  int Row = 0;
  int Column = 0;
};
TPasteStart PasteStartFor(TSelectionKind kind, int currentDataRow, int currentDataColumn);

// A pasted field read as a value: blanks trimmed; empty, "#"-holding or
// unreadable text and numbers beyond +-1.5E38 give the empty marker. Numbers
// shown in fixed point are rounded to 12 decimals and kept to 14 characters,
// as a cell holds them; those shown in scientific form are kept as read, since
// that rounding would turn them to 0 or cut their integer digits.
// `Decimals` is what the column learns from the value, -1 for nothing.
struct TPastedValue {
  TReal Value = EmptyValue;
  int Decimals = -1;
};
TPastedValue ReadPastedValue(std::string_view field);

struct TPasteOptions {
  int StartRow = 0;
  int StartColumn = 0;
  bool Transpose = false;
  char DecimalSeparator = '.';
};

enum class TPasteOutcome { Pasted, Declined };

struct TPasteResult {
  TPasteOutcome Outcome = TPasteOutcome::Pasted;
  int FieldsStored = 0;
  bool Clipped = false;  // a non-blank field fell beyond row 1000 or column Z
};

// Pastes clipboard text into the data table. The decimal separator is the
// one the text's numbers show ("1,5" and no "1.5": a comma; the other way
// round a point), else the user's `DecimalSeparator`. Fields end at tab, ","
// and ";" (the decimal separator is read as the point first, so with a
// decimal comma only tab and ";" separate), lines at line feed; carriage
// returns are ignored and a zero byte ends the text. A first line that holds
// words and no number gives the column titles of the pasted columns, and
// the next line goes to StartRow (not when transposing, nor when the paste
// starts at the titles anyway). Line l, field i goes to data row
// StartRow + l and column StartColumn + i (row and column swapped when
// transposed); row -1 takes column titles, column -1 row titles, both the
// row-title heading. A row past 999 ends the paste, a column past Z drops
// the field (transposed: ends the paste). The empty line after a final line
// end is not a field, so pasting a copied block never empties the cell below
// it. Each column about to receive a number over typed mean data is asked
// about first; No declines the whole paste before anything changes.
TPasteResult PasteText(TDataTable& table, std::string_view text, const TPasteOptions& options,
                       const TAskEraseMeanData& askErase);

// The decimal separator PasteText reads `text` with: the one its numbers
// show, else `userSeparator`. A cell typed or pasted into an open editor is
// read by the same rule.
char TextDecimalSeparator(std::string_view text, char userSeparator);

// Pastes into the summary grid from data column `startColumn` on: line 0 to
// the Mean, line 1 to the SD (or SEM), line 2 to N; fields end at tab and ","
// only, no decimal separator is translated. Columns holding raw data drop
// their fields. Answers the number of entries stored.
TPasteResult PasteSummaryText(TDataTable& table, std::string_view text, int startColumn, bool sdFormat);

// The first line's fields (tab, "," or ";" separated) become the column
// titles from `startColumn` on, up to column Z. Answers the titles stored.
int PasteTitleText(TDataTable& table, std::string_view text, int startColumn);

// Empties the selected cells. The whole table empties every value and every
// summary and makes each column ready for typed means again; otherwise each
// cell is emptied, its flag cleared and its column re-marked when empty.
// Then the extents are recomputed and the AutoDecimals of every column ready
// for typed means reset to 0.
void ClearSelection(TDataTable& table, const TGridRect& rect, bool wholeTable);

// The Mean, SD, SEM, N and the statistics derived from them (summary rows 2
// to 16) of every selected column that holds no raw data.
void ClearSummaryEntries(TDataTable& table, const TGridRect& rect, bool sdFormat);

// Whether the selection (the whole table, rows 1000 included, when
// `wholeTable`) holds an excluded value.
bool SelectionHasExcluded(const TDataTable& table, const TGridRect& rect, bool wholeTable);

// The Exclude command: clears every flag of the selection when it holds an
// excluded value, else excludes every value of it. Answers whether the
// selection is excluded afterwards.
bool ToggleExcluded(TDataTable& table, const TGridRect& rect, bool wholeTable);

}  // namespace ombrel
