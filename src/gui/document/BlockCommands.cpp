#include "gui/document/BlockCommands.h"

#include <vector>

#include "gui/common/Asker.h"
#include "gui/common/BusyGuard.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "core/shell/ShellRules.h"
#include "gui/entry/BlockForms.h"
#include "core/entry/BlockOperations.h"
#include "gui/entry/SpreadGrid.h"

namespace ombrel {

const char* const InsertDropsRowsQuestion =
    "Inserting here pushes values past row 1000, and they will be lost. Insert anyway?";
const char* const InsertDropsColumnsQuestion =
    "Inserting here pushes data past column Z, and it will be lost. Insert anyway?";

namespace {

// The hourglass and a disabled window while the table changes; afterwards
// the grid shows the new state and the document is marked changed.
template <typename TChange>
void ChangeBlock(TDataEntryPage& page, TChange change) {
  TSpreadGrid& grid = *page.RawDataGrid;
  {
    const TBusyGuard busy(&page.Form());
    change(grid.Table());
    grid.RefreshAll();
  }
  NoteDocumentChanged(page);
  grid.setFocus();
}

// Deletes or inserts a block, asking first when an insertion would drop data.
void ShiftBlock(TDataEntryPage& page, TBlockShift shift, bool insert) {
  const TCellBlock block = BlockFromGridRect(page.RawDataGrid->Selection());
  // Shifting never wraps; what would fall off the grid is only dropped when
  // the user says so.
  if (insert && InsertPushesOutData(page.RawDataGrid->Table(), block, shift)) {
    const char* const question = shift == TBlockShift::Columns ? InsertDropsColumnsQuestion : InsertDropsRowsQuestion;
    if (!page.Form().Host().Asker().AskYesNo(&page, QString::fromLatin1(question), false)) return;
  }
  ChangeBlock(page, [&](TDataTable& table) {
    if (insert)
      InsertBlock(table, block, shift);
    else
      DeleteBlock(table, block, shift);
  });
}

}  // namespace

void DeleteCellsCommand(TDataEntryPage& page) {
  // Whole columns or rows go at once, from the Edit menu as from the grid's
  // menu; whole columns first, so that a whole table counts as columns.
  const TSpreadGrid& grid = *page.RawDataGrid;
  if (grid.WholeColumnsSelected() || grid.WholeRowsSelected()) {
    DeleteWholeCommand(page, grid.WholeColumnsSelected() ? TBlockShift::Columns : TBlockShift::Rows);
    return;
  }
  TDeleteForm dialog(&page);
  if (ExecPageDialog(page, dialog, HelpTopicInsertDelete) != QDialog::Accepted) return;
  ShiftBlock(page, dialog.Choice(), false);
}

void InsertCellsCommand(TDataEntryPage& page) {
  TInsertForm dialog(&page);
  if (ExecPageDialog(page, dialog, HelpTopicInsertDelete) != QDialog::Accepted) return;
  ShiftBlock(page, dialog.Choice(), true);
}

void DeleteWholeCommand(TDataEntryPage& page, TBlockShift shift) { ShiftBlock(page, shift, false); }

void InsertWholeCommand(TDataEntryPage& page, TBlockShift shift) { ShiftBlock(page, shift, true); }

void NumberFormatCommand(TDataEntryPage& page) {
  TSpreadGrid& grid = *page.RawDataGrid;
  TDataTable& table = grid.Table();
  const TNumberFormatScope scope =
      NumberFormatScope(table, grid.Selection(), grid.CurrentDataColumn(), grid.LastGridRow());
  TNumberFormatForm dialog(table, scope, &page);
  if (ExecPageDialog(page, dialog, HelpTopicNumberFormat) != QDialog::Accepted) return;
  std::vector<int> changed;
  {
    const TBusyGuard busy(&page.Form());
    changed = ApplyNumberFormat(table, scope.FirstColumn, scope.LastColumn, dialog.Places());
    for (const int column : changed) grid.RefreshColumn(column + FirstDataGridColumn);
  }
  NoteDocumentChanged(page);
  grid.setFocus();
}

}  // namespace ombrel
