#include "gui/document/DataEntryPage.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <optional>

#include "gui/common/Asker.h"
#include "gui/document/Analyze.h"
#include "gui/document/BlockCommands.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/GridPopupMenu.h"
#include "gui/document/PageSupport.h"
#include "gui/entry/GridModels.h"
#include "gui/entry/OBIntEdit.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"
#include "gui/document/DataCommands.h"
#include "gui/document/ImportExportCommands.h"
#include "core/entry/TwoByTwoBlock.h"
#include "core/shell/FileKinds.h"
#include "gui/common/CoreText.h"

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
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  mStack = new QStackedWidget;
  layout->addWidget(mStack);
  CreateGridPage();
  mStack->addWidget(mGridPage);
  CreateTwoByTwoPage();
  mStack->addWidget(mTwoByTwoPage);

  // Text files and workbooks dropped onto the grid are imported at its
  // current cell.
  RawDataGrid->viewport()->setAcceptDrops(true);
  RawDataGrid->viewport()->installEventFilter(this);
}

void TDataEntryPage::CreateGridPage() {
  TDocument& document = Document();
  mGridPage = new QWidget;
  auto* gridLayout = new QVBoxLayout(mGridPage);
  gridLayout->setContentsMargins(2, 2, 2, 2);
  DataSetTitle = new TDataSetTitleField(document.Table, DataSetTitleFieldLength, mGridPage);
  DataSetTitle->setObjectName(QStringLiteral("DataSetTitle"));
  DataSetTitle->setPlaceholderText(QStringLiteral("Data set title"));
  RawDataGrid = new TSpreadGrid(TGridKind::RawData, document.Table, mGridPage);
  RawDataGrid->setObjectName(QStringLiteral("RawDataGrid"));
  RawDataGrid->SetDataSetTitleField(DataSetTitle);
  RawDataGrid->SetAsker(GridQuestions(Form().Host().Asker(), this));
  gridLayout->addWidget(DataSetTitle);
  gridLayout->addWidget(RawDataGrid, 1);
  connect(DataSetTitle, &TDataSetTitleField::TitleEdited, this, [this] { Form().NoteDataTyped(); });
  connect(DataSetTitle, &QLineEdit::editingFinished, this, [this] { Form().FinishTyping(); });
  connect(RawDataGrid, &TSpreadGrid::DataChanged, this, [this] { Form().NoteDataChanged(TypingAction()); });
  connect(RawDataGrid, &TSpreadGrid::CopyRequested, this, [this] { Form().RunCommand(TCommand::Copy); });
  connect(RawDataGrid, &TSpreadGrid::PasteRequested, this, [this] { Form().RunCommand(TCommand::Paste); });
  RawDataGrid->setContextMenuPolicy(Qt::CustomContextMenu);
  RawDataPopupMenu = new TGridPopupMenu(*this, *RawDataGrid);
  connect(RawDataGrid, &QWidget::customContextMenuRequested, RawDataPopupMenu, &TGridPopupMenu::ShowAt);
}

void TDataEntryPage::CreateTwoByTwoPage() {
  TDocument& document = Document();
  mTwoByTwoPage = new QWidget;
  auto* twoLayout = new QVBoxLayout(mTwoByTwoPage);
  TwoByTwoTitle = new TDataSetTitleField(document.Table, TwoByTwoTitleFieldLength, mTwoByTwoPage);
  TwoByTwoTitle->setObjectName(QStringLiteral("TwoByTwoTitle"));
  connect(TwoByTwoTitle, &TDataSetTitleField::TitleEdited, this, [this] { Form().NoteDataTyped(); });
  connect(TwoByTwoTitle, &QLineEdit::editingFinished, this, [this] { Form().FinishTyping(); });
  twoLayout->addWidget(TwoByTwoTitle);
  CreateTwoByTwoFields();
  LabelTwoByTwoTable();
  twoLayout->addLayout(TwoByTwoCells());
  twoLayout->addStretch(1);
  const std::array<TOBIntEdit*, 4> counts = {TwoByTwoA, TwoByTwoB, TwoByTwoC, TwoByTwoD};
  for (TOBIntEdit* field : counts) {
    connect(field, &TOBIntEdit::ValueCommitted, this, [this, field](TReal value) { CountCommitted(field, value); });
    field->installEventFilter(this);
  }
}

void TDataEntryPage::CreateTwoByTwoFields() {
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
}

QGridLayout* TDataEntryPage::TwoByTwoCells() {
  auto* cells = new QGridLayout;
  cells->addWidget(TwoByTwoTitles[0], 1, 2);
  cells->addWidget(TwoByTwoTitles[1], 1, 3);
  cells->addWidget(new QLabel(QStringLiteral("Total")), 1, 4);
  cells->addWidget(TwoByTwoTitles[2], 2, 1);
  cells->addWidget(TwoByTwoA, 2, 2);
  cells->addWidget(TwoByTwoB, 2, 3);
  cells->addWidget(TwoByTwoR1, 2, 4);
  cells->addWidget(TwoByTwoTitles[3], 3, 1);
  cells->addWidget(TwoByTwoC, 3, 2);
  cells->addWidget(TwoByTwoD, 3, 3);
  cells->addWidget(TwoByTwoR2, 3, 4);
  cells->addWidget(new QLabel(QStringLiteral("Total")), 4, 1);
  cells->addWidget(TwoByTwoC1, 4, 2);
  cells->addWidget(TwoByTwoC2, 4, 3);
  cells->addWidget(TwoByTwoTotal, 4, 4);
  // Captions of the table's rows and columns, beside their title fields.
  const auto caption = [this](const QString& text, QWidget* titleField) {
    auto* label = new QLabel(text, mTwoByTwoPage);
    label->setBuddy(titleField);
    return label;
  };
  cells->addWidget(caption(QStringLiteral("Column A"), TwoByTwoTitles[0]), 0, 2);
  cells->addWidget(caption(QStringLiteral("Column B"), TwoByTwoTitles[1]), 0, 3);
  cells->addWidget(caption(QStringLiteral("Row 1"), TwoByTwoTitles[2]), 2, 0);
  cells->addWidget(caption(QStringLiteral("Row 2"), TwoByTwoTitles[3]), 3, 0);
  return cells;
}

void TDataEntryPage::LabelTwoByTwoTable() {
  // The titles stand beside their row and column; empty, they show the
  // names the report gives them.
  const std::array<QString, 4> names = {QStringLiteral("Column A"), QStringLiteral("Column B"), QStringLiteral("Row 1"),
                                        QStringLiteral("Row 2")};
  for (std::size_t i = 0; i < TwoByTwoTitles.size(); ++i) {
    TwoByTwoTitles[i]->setPlaceholderText(names[i]);
    TwoByTwoTitles[i]->setAccessibleName(names[i] + QStringLiteral(" title"));
  }
  const std::array<std::pair<TOBIntEdit*, QString>, 9> cells = {{
      {TwoByTwoA, QStringLiteral("Row 1, Column A")},
      {TwoByTwoB, QStringLiteral("Row 1, Column B")},
      {TwoByTwoC, QStringLiteral("Row 2, Column A")},
      {TwoByTwoD, QStringLiteral("Row 2, Column B")},
      {TwoByTwoR1, QStringLiteral("Total of row 1")},
      {TwoByTwoR2, QStringLiteral("Total of row 2")},
      {TwoByTwoC1, QStringLiteral("Total of column A")},
      {TwoByTwoC2, QStringLiteral("Total of column B")},
      {TwoByTwoTotal, QStringLiteral("Grand total")},
  }};
  for (const auto& [field, name] : cells) {
    field->setAccessibleName(name);
    field->setToolTip(name);
  }
}

bool TDataEntryPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == RawDataGrid->viewport()) {
    if (const auto kind = event->type(); kind == QEvent::DragEnter || kind == QEvent::DragMove) {
      auto* drag = static_cast<QDropEvent*>(event);
      if (!DroppedDataFile(drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
    } else if (kind == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString path = DroppedDataFile(drop->mimeData());
      if (!path.isEmpty()) {
        drop->acceptProposedAction();
        // After the drop is over: the import asks its questions in dialogs.
        QTimer::singleShot(0, this, [this, path] {
          if (!Form().Calculating() && mStack->currentWidget() == mGridPage) {
            CommitPendingEdit();
            const Analyze::TDataCommand change(Form(), QStringLiteral("Import"));
            ImportDataFile(*this, path);
          }
        });
        return true;
      }
    }
  }
  // Ctrl+C and Ctrl+V in a count field take the whole block of counts, as
  // the Edit menu does; a selected text or a single pasted value stays the
  // field's own.
  if (event->type() == QEvent::KeyPress && mStack->currentWidget() == mTwoByTwoPage) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* field = qobject_cast<TOBIntEdit*>(watched);
    if (field != nullptr && key->matches(QKeySequence::Copy) && !field->hasSelectedText()) {
      Form().RunCommand(TCommand::Copy);
      return true;
    }
    if (field != nullptr && key->matches(QKeySequence::Paste) &&
        ParseTwoByTwoBlock(QApplication::clipboard()->text().toStdString())) {
      Form().RunCommand(TCommand::Paste);
      return true;
    }
  }
  return TDocumentPage::eventFilter(watched, event);
}

QString TDataEntryPage::DroppedDataFile(const QMimeData* mime) const {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1 || mStack->currentWidget() != mGridPage ||
      !RawDataGrid->AllowEditing())
    return {};
  const QUrl url = mime->urls().first();
  if (!url.isLocalFile()) return {};
  const QString path = url.toLocalFile();
  const TFileKind kind = FileKindOfPath(path.toStdString());
  return kind == TFileKind::ImportText || kind == TFileKind::ImportWorkbook ? path : QString();
}

void TDataEntryPage::CopyTwoByTwo() {
  QApplication::clipboard()->setText(FromCore(TwoByTwoBlockText(Document().TwoByTwo)));
}

void TDataEntryPage::PasteTwoByTwo() {
  const QString text = QApplication::clipboard()->text();
  const std::optional<std::array<TReal, 4>> counts = ParseTwoByTwoBlock(text.toStdString());
  if (!counts) {
    // One value goes into the field being typed in, as its own Paste would.
    auto* field = qobject_cast<TOBIntEdit*>(QApplication::focusWidget());
    const QString single = text.trimmed();
    if (field != nullptr && field->isEnabled() && !single.contains(QLatin1Char('\t')) &&
        !single.contains(QLatin1Char('\n'))) {
      field->insert(single);
      return;
    }
    Form().Host().Asker().Inform(this, QString::fromLatin1(TwoByTwoPasteMessage));
    return;
  }
  TTwoByTwoTable& table = Document().TwoByTwo;
  bool changed = false;
  for (int i = 0; i < 4; ++i) {
    TReal& count = CountOf(table, i);
    const TReal value = (*counts)[static_cast<std::size_t>(i)];
    if (count == value) continue;
    count = value;
    changed = true;
  }
  ShowTwoByTwo();
  if (changed) NoteDocumentChanged(*this);
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
  for (std::size_t i = 0; i < TwoByTwoTitles.size(); ++i) TwoByTwoTitles[i]->setText(FromCore(table.Titles[i]));
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
  // Typing goes straight into the grid, at its current cell.
  if (!RawDataGrid->currentIndex().isValid()) RawDataGrid->SetCurrentCell(1, 2);
  RawDataGrid->setFocus(Qt::OtherFocusReason);
}

bool TDataEntryPage::PasteIntoOpenEditor() { return RawDataGrid->PasteIntoEditor(QApplication::clipboard()->text()); }

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

bool TDataEntryPage::RunCommand(TCommand command) {
  if (mStack->currentWidget() == mTwoByTwoPage) {
    switch (command) {
      case TCommand::Export:
        ExportTwoByTwoData(*this);
        return true;
      case TCommand::Copy:
        CopyTwoByTwo();
        return true;
      case TCommand::Paste:
        PasteTwoByTwo();
        return true;
      default:
        return false;
    }
  }
  if (mStack->currentWidget() != mGridPage) return false;
  switch (command) {
    case TCommand::Import:
      ImportTextData(*this);
      return true;
    case TCommand::Export:
      ExportGridData(*this);
      return true;
    case TCommand::SelectAll:
      RawDataGrid->SelectAll();
      return true;
    case TCommand::SelectColumn:
      RawDataGrid->SelectColumn(RawDataGrid->CurrentDataColumn() + 1);
      return true;
    case TCommand::SelectRow:
      RawDataGrid->SelectRow(RawDataGrid->CurrentDataRow() + 2);
      return true;
    case TCommand::Copy:
      CopyRawData(*RawDataGrid, Form().Host().Asker(), this);
      return true;
    case TCommand::Cut:
      CutRawData(*RawDataGrid, Form().Host().Asker(), this);
      return true;
    case TCommand::Paste:
    case TCommand::TransposePaste:
      PasteRawData(*RawDataGrid, Form().Host().Asker(), this, command == TCommand::TransposePaste,
                   TakeOpenTitleField(*RawDataGrid, mOpenTitleField));
      return true;
    case TCommand::Clear:
      ClearRawData(*RawDataGrid, TakeOpenTitleField(*RawDataGrid, mOpenTitleField));
      return true;
    case TCommand::Exclude:
      ToggleExclude(*RawDataGrid);
      return true;
    case TCommand::Transform:
      RunTransformCommand(*this);
      return true;
    case TCommand::CombineVariables:
      RunCombineCommand(*this);
      return true;
    case TCommand::DeleteCells:
      DeleteCellsCommand(*this);
      return true;
    case TCommand::InsertCells:
      InsertCellsCommand(*this);
      return true;
    case TCommand::DeleteRows:
    case TCommand::DeleteColumns:
      DeleteWholeCommand(*this, command == TCommand::DeleteRows ? TBlockShift::Rows : TBlockShift::Columns);
      return true;
    case TCommand::InsertRows:
    case TCommand::InsertColumns:
      InsertWholeCommand(*this, command == TCommand::InsertRows ? TBlockShift::Rows : TBlockShift::Columns);
      return true;
    case TCommand::NumberFormat:
      NumberFormatCommand(*this);
      return true;
    default:
      return false;
  }
}

bool TDataEntryPage::SelectionExcluded() const { return RawSelectionExcluded(*RawDataGrid); }

}  // namespace ombrel
