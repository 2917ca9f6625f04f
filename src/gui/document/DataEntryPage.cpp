#include "gui/document/DataEntryPage.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/app/Asker.h"
#include "gui/document/Analyze.h"
#include "gui/document/BlockCommands.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "gui/entry/CombineDialog.h"
#include "gui/entry/GridModels.h"
#include "gui/entry/ImportExport.h"
#include "gui/entry/OBIntEdit.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"
#include "gui/entry/TransformDialog.h"

namespace ombrel {

namespace {

TReal& CountOf(TTwoByTwoTable& table, int index) {
  switch (index) {
    case 0:
      return table.A;
    case 1:
      return table.B;
    case 2:
      return table.C;
    default:
      return table.D;
  }
}

}  // namespace

TDataEntryPage::TDataEntryPage(Analyze& form) : TDocumentPage(form, TStep::DataEntry) {
  TDocument& document = form.Document();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  mStack = new QStackedWidget;
  layout->addWidget(mStack);

  // The grid.
  mGridPage = new QWidget;
  auto* gridLayout = new QVBoxLayout(mGridPage);
  gridLayout->setContentsMargins(2, 2, 2, 2);
  DataSetTitle = new TDataSetTitleField(document.Table, DataSetTitleFieldLength, mGridPage);
  DataSetTitle->setObjectName(QStringLiteral("DataSetTitle"));
  DataSetTitle->setPlaceholderText(QStringLiteral("Data set title"));
  RawDataGrid = new TSpreadGrid(TGridKind::RawData, document.Table, mGridPage);
  RawDataGrid->setObjectName(QStringLiteral("RawDataGrid"));
  RawDataGrid->SetDataSetTitleField(DataSetTitle);
  RawDataGrid->SetAsker(GridQuestions(form.Host().Asker(), this));
  gridLayout->addWidget(DataSetTitle);
  gridLayout->addWidget(RawDataGrid, 1);
  connect(DataSetTitle, &TDataSetTitleField::TitleEdited, this, [this] { Form().NoteDataTyped(); });
  connect(DataSetTitle, &QLineEdit::editingFinished, this, [this] { Form().FinishTyping(); });
  connect(RawDataGrid, &TSpreadGrid::DataChanged, this, [this] { Form().NoteDataChanged(TypingAction()); });
  connect(RawDataGrid, &TSpreadGrid::CopyRequested, this, [this] { Form().RunCommand(TPageCommand::Copy); });
  connect(RawDataGrid, &TSpreadGrid::PasteRequested, this, [this] { Form().RunCommand(TPageCommand::Paste); });
  mStack->addWidget(mGridPage);

  // The two-by-two table.
  mTwoByTwoPage = new QWidget;
  auto* twoLayout = new QVBoxLayout(mTwoByTwoPage);
  TwoByTwoTitle = new TDataSetTitleField(document.Table, TwoByTwoTitleFieldLength, mTwoByTwoPage);
  TwoByTwoTitle->setObjectName(QStringLiteral("TwoByTwoTitle"));
  connect(TwoByTwoTitle, &TDataSetTitleField::TitleEdited, this, [this] { Form().NoteDataTyped(); });
  connect(TwoByTwoTitle, &QLineEdit::editingFinished, this, [this] { Form().FinishTyping(); });
  twoLayout->addWidget(TwoByTwoTitle);
  auto* cells = new QGridLayout;
  const auto makeCount = [this](const char* name, bool total) {
    auto* field = new TOBIntEdit(mTwoByTwoPage);
    field->setObjectName(QString::fromLatin1(name));
    field->setEnabled(!total);
    field->SetInform([this](const QString& message) { Form().Host().Asker().Inform(this, message); });
    return field;
  };
  TwoByTwoA = makeCount("TwoByTwoA", false);
  TwoByTwoB = makeCount("TwoByTwoB", false);
  TwoByTwoC = makeCount("TwoByTwoC", false);
  TwoByTwoD = makeCount("TwoByTwoD", false);
  TwoByTwoR1 = makeCount("TwoByTwoR1", true);
  TwoByTwoR2 = makeCount("TwoByTwoR2", true);
  TwoByTwoC1 = makeCount("TwoByTwoC1", true);
  TwoByTwoC2 = makeCount("TwoByTwoC2", true);
  TwoByTwoTotal = makeCount("TwoByTwoTotal", true);
  for (std::size_t i = 0; i < TwoByTwoTitles.size(); ++i) {
    auto* title = new QLineEdit(mTwoByTwoPage);
    title->setMaxLength(TTwoByTwoTable::MaxTitleLength);
    connect(title, &QLineEdit::textEdited, this, [this, i](const QString& text) {
      Document().TwoByTwo.Titles[i] = ToTableText(text, TTwoByTwoTable::MaxTitleLength);
      Form().NoteDataTyped();
    });
    connect(title, &QLineEdit::editingFinished, this, [this] { Form().FinishTyping(); });
    TwoByTwoTitles[i] = title;
  }
  cells->addWidget(TwoByTwoTitles[0], 0, 1);
  cells->addWidget(TwoByTwoTitles[1], 0, 2);
  cells->addWidget(new QLabel(QStringLiteral("Total")), 0, 3);
  cells->addWidget(TwoByTwoTitles[2], 1, 0);
  cells->addWidget(TwoByTwoA, 1, 1);
  cells->addWidget(TwoByTwoB, 1, 2);
  cells->addWidget(TwoByTwoR1, 1, 3);
  cells->addWidget(TwoByTwoTitles[3], 2, 0);
  cells->addWidget(TwoByTwoC, 2, 1);
  cells->addWidget(TwoByTwoD, 2, 2);
  cells->addWidget(TwoByTwoR2, 2, 3);
  cells->addWidget(new QLabel(QStringLiteral("Total")), 3, 0);
  cells->addWidget(TwoByTwoC1, 3, 1);
  cells->addWidget(TwoByTwoC2, 3, 2);
  cells->addWidget(TwoByTwoTotal, 3, 3);
  twoLayout->addLayout(cells);
  twoLayout->addStretch(1);
  const std::array<TOBIntEdit*, 4> counts = {TwoByTwoA, TwoByTwoB, TwoByTwoC, TwoByTwoD};
  for (TOBIntEdit* field : counts)
    connect(field, &TOBIntEdit::ValueCommitted, this, [this, field](TReal value) { CountCommitted(field, value); });
  mStack->addWidget(mTwoByTwoPage);
}

void TDataEntryPage::CountCommitted(TOBIntEdit* field, TReal value) {
  const std::array<TOBIntEdit*, 4> counts = {TwoByTwoA, TwoByTwoB, TwoByTwoC, TwoByTwoD};
  for (int i = 0; i < 4; ++i) {
    if (counts[static_cast<std::size_t>(i)] != field) continue;
    TReal& count = CountOf(Document().TwoByTwo, i);
    if (count == value) return;
    count = value;
    Form().NoteDataChanged(TypingAction());
  }
  ShowTotals();
}

void TDataEntryPage::ShowTotals() {
  const TTwoByTwoTable& table = Document().TwoByTwo;
  TwoByTwoR1->SetValue(table.Row1Total());
  TwoByTwoR2->SetValue(table.Row2Total());
  TwoByTwoC1->SetValue(table.Column1Total());
  TwoByTwoC2->SetValue(table.Column2Total());
  TwoByTwoTotal->SetValue(table.GrandTotal());
}

void TDataEntryPage::ShowTwoByTwo() {
  TTwoByTwoTable& table = Document().TwoByTwo;
  TwoByTwoTitle->Refresh();
  TwoByTwoA->SetValue(table.A);
  TwoByTwoB->SetValue(table.B);
  TwoByTwoC->SetValue(table.C);
  TwoByTwoD->SetValue(table.D);
  for (std::size_t i = 0; i < TwoByTwoTitles.size(); ++i) TwoByTwoTitles[i]->setText(FromTableText(table.Titles[i]));
  ShowTotals();
}

void TDataEntryPage::EnterPage() {
  TDocument& document = Document();
  if (document.Format == TDataFormat::TwoByTwo) {
    ShowTwoByTwo();
    mStack->setCurrentWidget(mTwoByTwoPage);
    TwoByTwoA->setFocus();
    return;
  }
  RawDataGrid->SetDataFormat(document.Format);
  RawDataGrid->SetMeanIsSD(document.MeanIsSD != 0);
  RawDataGrid->RefreshAll();
  DataSetTitle->Refresh();
  mStack->setCurrentWidget(mGridPage);
  RawDataGrid->setFocus();
}

bool TDataEntryPage::PasteIntoOpenEditor() {
  return RawDataGrid->PasteIntoEditor(QApplication::clipboard()->text());
}

void TDataEntryPage::CommitPendingEdit() {
  if (mStack->currentWidget() == mTwoByTwoPage) {
    const std::array<TOBIntEdit*, 4> counts = {TwoByTwoA, TwoByTwoB, TwoByTwoC, TwoByTwoD};
    for (TOBIntEdit* field : counts) {
      if (!field->isModified()) continue;
      TReal value = EmptyValue;
      if (!field->Validate(value)) continue;
      field->setModified(false);
      CountCommitted(field, value);
    }
    return;
  }
  mOpenTitleField = OpenTitleFieldOf(*RawDataGrid);
  RawDataGrid->CommitEdit();
  RawDataGrid->CloseTitleEditors();
}

void TDataEntryPage::DocumentReset() {
  RawDataGrid->CancelEdit();
  RawDataGrid->CloseTitleEditors(false);
  RawDataGrid->SetCurrentCell(1, 2);
  RawDataGrid->RefreshAll();
  DataSetTitle->Refresh();
}

bool TDataEntryPage::RunCommand(TPageCommand command) {
  if (mStack->currentWidget() == mTwoByTwoPage && command == TPageCommand::Export) {
    ExportTwoByTwoData(*this);
    return true;
  }
  if (mStack->currentWidget() != mGridPage) return false;
  switch (command) {
    case TPageCommand::Import:
      ImportTextData(*this);
      return true;
    case TPageCommand::Export:
      ExportGridData(*this);
      return true;
    case TPageCommand::SelectAll:
      RawDataGrid->SelectAll();
      return true;
    case TPageCommand::SelectColumn:
      RawDataGrid->SelectColumn(RawDataGrid->CurrentDataColumn() + 1);
      return true;
    case TPageCommand::SelectRow:
      RawDataGrid->SelectRow(RawDataGrid->CurrentDataRow() + 2);
      return true;
    case TPageCommand::Copy:
      CopyRawData(*RawDataGrid, Form().Host().Asker(), this);
      return true;
    case TPageCommand::Cut:
      CutRawData(*RawDataGrid, Form().Host().Asker(), this);
      return true;
    case TPageCommand::Paste:
    case TPageCommand::TransposePaste:
      PasteRawData(*RawDataGrid, Form().Host().Asker(), this, command == TPageCommand::TransposePaste,
                   TakeOpenTitleField(*RawDataGrid, mOpenTitleField));
      return true;
    case TPageCommand::Clear:
      ClearRawData(*RawDataGrid, TakeOpenTitleField(*RawDataGrid, mOpenTitleField));
      return true;
    case TPageCommand::Exclude:
      ToggleExclude(*RawDataGrid);
      return true;
    case TPageCommand::Transform:
      RunTransformCommand(*this);
      return true;
    case TPageCommand::CombineVariables:
      RunCombineCommand(*this);
      return true;
    case TPageCommand::DeleteCells:
      DeleteCellsCommand(*this, TBlockCommandOrigin::EditMenu);
      return true;
    case TPageCommand::InsertCells:
      InsertCellsCommand(*this, TBlockCommandOrigin::EditMenu);
      return true;
    case TPageCommand::NumberFormat:
      NumberFormatCommand(*this);
      return true;
    default:
      return false;
  }
}

bool TDataEntryPage::SelectionExcluded() const { return RawSelectionExcluded(*RawDataGrid); }

}  // namespace ombrel
