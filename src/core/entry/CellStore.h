#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/base/DataTable.h"

namespace ombrel {

// Storing values and titles into a data table the way the grids do it. All
// rows and columns are data coordinates (0-based); nothing here shows anything:
// questions go through a callback the caller supplies.

// Asked before raw values replace the typed mean data of `column`; answers
// true (Yes) to erase the mean data, false (No) to keep it.
using TAskEraseMeanData = std::function<bool(int column)>;

// The text of that question for a column ("Column B contains data ...").
std::string MeanDataQuestion(int column);

// True when the column's MeanEntryColumn flag is set and its summary holds
// typed data (N not 0 and at least one of Mean, SD and SEM present).
bool HoldsMeanData(const TDataTable& table, int column);

// Clears the way for a raw value in `column`. A column reserved for mean data
// but holding none silently becomes a raw column; one holding mean data asks:
// Yes empties Mean, SD and SEM and makes it a raw column. Answers whether a
// raw value may be stored (false only after No).
bool AllowRawValue(TDataTable& table, int column, const TAskEraseMeanData& askErase);

// Stores a value placed by a program operation; a number makes the column a
// raw-data column (MeanEntryColumn 0).
void StoreCell(TDataTable& table, int row, int column, TReal value);

// Stores a computed value and lets the column's decimals follow it: a number
// whose own decimals (OwnDecimals) exceed the column's display decimals raises
// the column's AutoDecimals to them. Answers whether AutoDecimals changed, so
// that the caller redisplays the whole column.
bool StoreCellAdjusted(TDataTable& table, int row, int column, TReal value);

// Makes an empty column ready for typed mean data again: MeanEntryColumn 1,
// N -1 and Mean, SD and SEM empty. A column holding any value is left alone.
void MarkColumnIfEmpty(TDataTable& table, int column);

// Stores a column title, cut to MaxColumnTitleLength characters.
void StoreColumnTitle(TDataTable& table, int column, std::string_view title);

// The outcome of committing an edited cell, and how much of the grid shows
// something new: the cell alone, or the whole column (its decimals or its
// mean-data state changed).
enum class TCommitOutcome { Unchanged, Declined, Stored };
enum class TRedisplay { Cell, Column };
struct TCommitResult {
  TCommitOutcome Outcome = TCommitOutcome::Unchanged;
  TRedisplay Redisplay = TRedisplay::Cell;
};

// Commits a typed value (the empty marker erases). An unchanged value does
// nothing. A number first passes AllowRawValue (No declines and stores
// nothing), then teaches the column its decimals (TDataTable::LearnDecimals).
// The value is stored with SetValue; an erased cell lets the extents shrink.
TCommitResult CommitCellValue(TDataTable& table, int row, int column, TReal value, const TAskEraseMeanData& askErase);

// ParseCellText, then CommitCellValue.
TCommitResult CommitCellText(TDataTable& table, int row, int column, std::string_view text,
                             const TAskEraseMeanData& askErase);

// The answer Yes to "a number as the column title": the title's number goes
// into the first data row of the column (StoreCellAdjusted) and the title is
// emptied. Declined when the user keeps the column's mean data; Unchanged
// when the title does not read as a number.
TCommitOutcome StoreTitleAsValue(TDataTable& table, int column, std::string_view title,
                                 const TAskEraseMeanData& askErase);

// Summary grid rows 2 to 4 (Mean, SD or SEM, N) are the only ones that take
// typing, and only for a column reserved for mean data.
bool IsSummaryEntryCell(const TDataTable& table, int column, int gridRow);

// The stored value behind summary entry row 2, 3 or 4 (N as a number); the
// empty marker for other rows. `sdFormat` puts SD, not SEM, in row 3.
TReal SummaryEntryValue(const TDataTable& table, int column, int gridRow, bool sdFormat);

}  // namespace ombrel
