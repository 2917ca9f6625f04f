#pragma once

class QWidget;

namespace ombrel {

class TAsker;
class TSpreadGrid;

// The Edit commands of the two grids: Copy, Cut, Paste, Transpose Paste,
// Clear and Exclude, between the grid's selection and the system clipboard.
// The data work is the core's (entry/ClipboardText.h); these collect the
// answers, show the messages, redisplay the grid and mark the document
// changed through the grid's DataChanged signal.

// The title field that was open when a command began: a page's commit step
// closes it before the command runs, yet Paste and Clear act on it.
struct TOpenTitleField {
  int Column = -1;  // data column of the column-title field, -1 when closed
  int Row = -1;     // data row of the row-title field, -1 when closed
};

// The title field open in a grid now.
TOpenTitleField OpenTitleFieldOf(const TSpreadGrid& grid);

// The one a command acts on: the field still open in the grid, else the one
// recorded at the last commit, which is used up. Closes the open field.
TOpenTitleField TakeOpenTitleField(TSpreadGrid& grid, TOpenTitleField& recorded);

// Whether the clipboard holds text to paste (Paste is enabled only then).
bool ClipboardHasText();

// The user's decimal separator as one byte; "." when it is not a single
// plain character.
char UserDecimalSeparator();

// RawDataGrid. Copy asks about titles for whole tables, columns and rows;
// Cut clears only what was copied completely, so a cut that did not fit on
// the clipboard loses nothing.
enum class TCopyResult { Copied, Cancelled, Incomplete };
TCopyResult CopyRawData(TSpreadGrid& grid, TAsker& asker, QWidget* parent);
void CutRawData(TSpreadGrid& grid, TAsker& asker, QWidget* parent);
void PasteRawData(TSpreadGrid& grid, TAsker& asker, QWidget* parent, bool transpose, TOpenTitleField open);
void ClearRawData(TSpreadGrid& grid, TOpenTitleField open);
void ToggleExclude(TSpreadGrid& grid);
// Whether the selection holds an excluded value (the Exclude check mark).
bool RawSelectionExcluded(const TSpreadGrid& grid);

// StatDataGrid. Copy answers whether the text reached the clipboard whole;
// Cut clears the entries only then.
bool CopySummary(TSpreadGrid& grid, TAsker& asker, QWidget* parent);
void CutSummary(TSpreadGrid& grid, TAsker& asker, QWidget* parent);
void PasteSummary(TSpreadGrid& grid, TAsker& asker, QWidget* parent, TOpenTitleField open);
void ClearSummary(TSpreadGrid& grid, TOpenTitleField open);

}  // namespace ombrel
