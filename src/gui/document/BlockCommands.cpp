#include "gui/document/BlockCommands.h"

#include <vector>

#include "gui/app/Asker.h"
#include "gui/app/BusyGuard.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "gui/entry/BlockDialogs.h"
#include "core/entry/BlockOperations.h"
#include "gui/entry/SpreadGrid.h"

namespace ombrel {

const char* const InsertDropsRowsQuestion =
    "Inserting here pushes values past row 1000, and they will be lost. Insert anyway?";
const char* const InsertDropsColumnsQuestion =
    "Inserting here pushes data past column Z, and it will be lost. Insert anyway?";

namespace {

// Whole columns are tested first, so a whole table counts as whole columns.
enum class TWholeSelection { None, Columns, Rows };

TWholeSelection WholeSelectionOf(const TSpreadGrid& grid) {
  if (grid.WholeColumnsSelected()) return TWholeSelection::Columns;
  if (grid.WholeRowsSelected()) return TWholeSelection::Rows;
  return TWholeSelection::None;
}

TBlockShift ShiftFor(TWholeSelection whole) {
  return whole == TWholeSelection::Columns ? TBlockShift::Columns : TBlockShift::Rows;
}

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

}  // namespace

void DeleteCellsCommand(TDataEntryPage& page, TBlockCommandOrigin origin) {
  TSpreadGrid& grid = *page.RawDataGrid;
  const TCellBlock block = BlockFromGridRect(grid.Selection());
  const TWholeSelection whole = WholeSelectionOf(grid);
  TBlockShift shift = ShiftFor(whole);
  if (whole != TWholeSelection::None && origin == TBlockCommandOrigin::EditMenu) {
    page.RunCommand(TPageCommand::Clear);
    return;
  }
  if (whole == TWholeSelection::None) {
    TDeleteForm dialog(&page);
    if (page.Form().Host().Asker().Exec(dialog) != QDialog::Accepted) return;
    shift = dialog.Choice();
  }
  ChangeBlock(page, [&](TDataTable& table) { DeleteBlock(table, block, shift); });
}

void InsertCellsCommand(TDataEntryPage& page, TBlockCommandOrigin origin) {
  TSpreadGrid& grid = *page.RawDataGrid;
  const TCellBlock block = BlockFromGridRect(grid.Selection());
  const TWholeSelection whole =
      origin == TBlockCommandOrigin::GridMenu ? WholeSelectionOf(grid) : TWholeSelection::None;
  TBlockShift shift = ShiftFor(whole);
  if (whole == TWholeSelection::None) {
    TInsertForm dialog(&page);
    if (page.Form().Host().Asker().Exec(dialog) != QDialog::Accepted) return;
    shift = dialog.Choice();
  }
  // Shifting never wraps; what would fall off the grid is only dropped when
  // the user says so.
  if (InsertPushesOutData(grid.Table(), block, shift)) {
    const char* const question = shift == TBlockShift::Columns ? InsertDropsColumnsQuestion : InsertDropsRowsQuestion;
    if (!page.Form().Host().Asker().AskYesNo(&page, QString::fromLatin1(question), false)) return;
  }
  ChangeBlock(page, [&](TDataTable& table) { InsertBlock(table, block, shift); });
}

void NumberFormatCommand(TDataEntryPage& page) {
  TSpreadGrid& grid = *page.RawDataGrid;
  TDataTable& table = grid.Table();
  const TNumberFormatScope scope =
      NumberFormatScope(table, grid.Selection(), grid.CurrentDataColumn(), grid.LastGridRow());
  TNumberFormatForm dialog(table, scope, &page);
  if (page.Form().Host().Asker().Exec(dialog) != QDialog::Accepted) return;
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
