#pragma once

#include "gui/document/DocumentPage.h"
#include "gui/entry/ClipboardCommands.h"

namespace ombrel {

class TDataSetTitleField;
class TGridPopupMenu;
class TSpreadGrid;

// Step 2: the column summaries, where averaged data is typed as well.
class TSummaryPage : public TDocumentPage {
  Q_OBJECT

 public:
  explicit TSummaryPage(Analyze& form);

  void EnterPage() override;
  void CommitPendingEdit() override;
  bool PasteIntoOpenEditor() override;
  void DocumentReset() override;
  bool RunCommand(TCommand command) override;

  TSpreadGrid* StatDataGrid;
  TGridPopupMenu* StatDataPopupMenu;
  TDataSetTitleField* DataSetTitle;

 private:
  // The title field the last commit closed, for Paste and Clear.
  TOpenTitleField mOpenTitleField;
};

}  // namespace ombrel
