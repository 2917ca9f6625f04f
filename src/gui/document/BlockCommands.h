#pragma once

#include "core/entry/BlockOperations.h"

namespace ombrel {

class TDataEntryPage;

// Delete cells from the Edit menu: whole columns (a whole table counts as
// whole columns) and whole rows are cleared; any other selection opens
// "Delete".
void DeleteCellsCommand(TDataEntryPage& page);

// Insert cells from the Edit menu: "Insert " asks what to shift.
void InsertCellsCommand(TDataEntryPage& page);

// Deletes or inserts the rows or the columns of the selection at once, as
// the grid's context menu does for whole rows and columns. Before anything
// would be pushed past row 1000 or column Z the user is asked (default No).
void DeleteWholeCommand(TDataEntryPage& page, TBlockShift shift);
void InsertWholeCommand(TDataEntryPage& page, TBlockShift shift);

// "Number Format" for the selected columns, or the current one.
void NumberFormatCommand(TDataEntryPage& page);

// The question asked before an insertion drops data.
extern const char* const InsertDropsRowsQuestion;
extern const char* const InsertDropsColumnsQuestion;

}  // namespace ombrel
