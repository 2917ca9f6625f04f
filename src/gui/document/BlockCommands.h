#pragma once

namespace ombrel {

class TDataEntryPage;

// Where an insert or delete command came from: the Edit menu asks more
// often, the grid's context menu acts on whole rows and columns at once.
enum class TBlockCommandOrigin { EditMenu, GridMenu };

// Delete cells on the data table page. Whole columns (a whole table counts
// as whole columns) and whole rows are deleted at once from the grid's menu
// and cleared from the Edit menu; any other selection opens "Delete".
void DeleteCellsCommand(TDataEntryPage& page, TBlockCommandOrigin origin);

// Insert cells. From the grid's menu whole columns and rows are inserted at
// once; otherwise "Insert " asks what to shift. Before anything would be
// pushed past row 1000 or column Z the user is asked (default No).
void InsertCellsCommand(TDataEntryPage& page, TBlockCommandOrigin origin);

// "Number Format" for the selected columns, or the current one.
void NumberFormatCommand(TDataEntryPage& page);

// The question asked before an insertion drops data.
extern const char* const InsertDropsRowsQuestion;
extern const char* const InsertDropsColumnsQuestion;

}  // namespace ombrel
