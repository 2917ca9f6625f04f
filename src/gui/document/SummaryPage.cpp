#include "gui/document/SummaryPage.h"

#include <QApplication>
#include <QClipboard>
#include <QVBoxLayout>

#include "gui/common/Asker.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/GridPopupMenu.h"
#include "gui/document/PageSupport.h"
#include "gui/document/ImportExportCommands.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"

namespace ombrel {

TSummaryPage::TSummaryPage(Analyze& form) : TDocumentPage(form, TStep::ColumnStats) {
  TDocument& document = form.Document();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  DataSetTitle = new TDataSetTitleField(document.Table, DataSetTitleFieldLength, this);
  DataSetTitle->setObjectName(QStringLiteral("DataSetTitle"));
  StatDataGrid = new TSpreadGrid(TGridKind::StatData, document.Table, this);
  StatDataGrid->setObjectName(QStringLiteral("StatDataGrid"));
  StatDataGrid->SetDataSetTitleField(DataSetTitle);
  StatDataGrid->SetAsker(GridQuestions(form.Host().Asker(), this));
  StatDataGrid->SetTeller(GridMessages(form.Host().Asker(), this));
  layout->addWidget(DataSetTitle);
  layout->addWidget(StatDataGrid, 1);
  connect(DataSetTitle, &TDataSetTitleField::TitleEdited, this, [this] { Form().NoteDataTyped(); });
  connect(DataSetTitle, &QLineEdit::editingFinished, this, [this] { Form().FinishTyping(); });
  connect(StatDataGrid, &TSpreadGrid::DataChanged, this, [this] { Form().NoteDataChanged(TypingAction()); });
  connect(StatDataGrid, &TSpreadGrid::CopyRequested, this, [this] { Form().RunCommand(TCommand::Copy); });
  connect(StatDataGrid, &TSpreadGrid::PasteRequested, this, [this] { Form().RunCommand(TCommand::Paste); });
  StatDataGrid->setContextMenuPolicy(Qt::CustomContextMenu);
  StatDataPopupMenu = new TGridPopupMenu(*this, *StatDataGrid);
  connect(StatDataGrid, &QWidget::customContextMenuRequested, StatDataPopupMenu, &TGridPopupMenu::ShowAt);
}

void TSummaryPage::EnterPage() {
  const TDocument& document = Document();
  StatDataGrid->SetDataFormat(document.Format);
  StatDataGrid->SetMeanIsSD(document.MeanIsSD != 0);
  StatDataGrid->RefreshAll();
  DataSetTitle->Refresh();
  StatDataGrid->setFocus();
}

bool TSummaryPage::PasteIntoOpenEditor() { return StatDataGrid->PasteIntoEditor(QApplication::clipboard()->text()); }

void TSummaryPage::CommitPendingEdit() {
  mOpenTitleField = OpenTitleFieldOf(*StatDataGrid);
  StatDataGrid->CommitEdit();
  StatDataGrid->CloseTitleEditors();
}

void TSummaryPage::DocumentReset() {
  StatDataGrid->CancelEdit();
  StatDataGrid->CloseTitleEditors(false);
  StatDataGrid->SetCurrentCell(FirstDataGridColumn, FirstDataGridRow);
  StatDataGrid->RefreshAll();
  DataSetTitle->Refresh();
}

bool TSummaryPage::RunCommand(TCommand command) {
  TAsker& asker = Form().Host().Asker();
  switch (command) {
    case TCommand::SelectAll:
      StatDataGrid->SelectAll();
      return true;
    case TCommand::Copy:
      CopySummary(*StatDataGrid, asker, this);
      return true;
    case TCommand::Cut:
      CutSummary(*StatDataGrid, asker, this);
      return true;
    case TCommand::Paste:
      PasteSummary(*StatDataGrid, asker, this, TakeOpenTitleField(*StatDataGrid, mOpenTitleField));
      return true;
    case TCommand::Clear:
      ClearSummary(*StatDataGrid, TakeOpenTitleField(*StatDataGrid, mOpenTitleField));
      return true;
    case TCommand::DeleteCells:
      // Clears the typed entries of the selected columns, never a title.
      ClearSummary(*StatDataGrid, TOpenTitleField{});
      return true;
    case TCommand::Export:
      ExportSummaryData(*this);
      return true;
    default:
      return false;
  }
}

}  // namespace ombrel
