#pragma once

#include <QMenu>
#include <vector>

#include "core/shell/ShellRules.h"
#include "gui/document/DocumentPage.h"

namespace ombrel {

class TSpreadGrid;

// The context menu of a page's grid: RawDataPopupMenu on the data table
// page (the Edit commands, Insert and Delete, Transform and Exclude),
// StatDataPopupMenu on the summary page (Cut, Copy, Paste and Delete). Its
// items run through the document window like the menu commands; each time
// it opens they are enabled for the selection and the clipboard.
class TGridPopupMenu : public QMenu {
  Q_OBJECT

 public:
  TGridPopupMenu(TDocumentPage& page, TSpreadGrid& grid);

  // Enables and checks the items for the grid's selection now.
  void UpdateItems();
  // Opens at a position of the grid's viewport.
  void ShowAt(const QPoint& viewportPosition);
  // The item that runs `command` (the whole-row and whole-column variants
  // of Insert and Delete are the items for InsertCells and DeleteCells).
  QAction* Action(TCommand command) const;

 private:
  // What an item runs: on whole rows or columns Insert and Delete of the
  // data grid act without a dialog.
  TCommand CommandFor(TCommand command) const;

  TDocumentPage& mPage;
  TSpreadGrid& mGrid;
  struct TItem {
    QAction* Action;
    TCommand Command;
  };
  std::vector<TItem> mItems;
};

}  // namespace ombrel
