#include "gui/entry/SpreadGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolTip>
#include <cmath>
#include <algorithm>
#include <array>
#include <climits>

#include "core/entry/CellStore.h"
#include "core/entry/CellText.h"
#include "core/entry/ClipboardText.h"
#include "gui/entry/ClipboardCommands.h"
#include "gui/entry/GridDelegate.h"
#include "gui/entry/GridHeader.h"
#include "gui/entry/GridModels.h"
#include "gui/entry/TitleFields.h"
#include "gui/common/CoreText.h"
#include "gui/common/TextScale.h"

namespace ombrel {

namespace {

constexpr int GridFontPixels = 13;
constexpr int RawRowHeight = 18;
constexpr int RawColumnWidth = 90;
constexpr int RawRowTitleWidth = 90;
constexpr int StatRowHeight = 20;
constexpr int StatColumnWidth = 105;
constexpr int StatCaptionWidth = 180;
constexpr int RowTitleIndent = 18;
constexpr int CaptionIndent = 4;
// Clicks in the leftmost pixels of a row title edit it; clicks left of the
// rightmost pixels select the row.
constexpr int RowTitleEditZone = 13;
constexpr int HeaderSelectMargin = 14;
constexpr int SummaryNGridRow = 4;

constexpr QAbstractItemView::EditTriggers EditingTriggers =
    QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed;

// Tab moves between cells; Ctrl+Tab leaves the grid, as it leaves other
// controls that take Tab themselves. The document area switches documents
// on Ctrl+Tab through a filter over the whole application, so the grid
// puts this filter in front of it whenever it takes the keyboard.
class TLeaveGridFilter : public QObject {
 public:
  explicit TLeaveGridFilter(TSpreadGrid* grid) : QObject(grid), mGrid(grid) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & Qt::ControlModifier) || (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab))
      return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != mGrid && !mGrid->isAncestorOf(widget))) return false;
    mGrid->LeaveGrid(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
    return true;
  }

 private:
  TSpreadGrid* mGrid;
};

}  // namespace

TSpreadGrid::TSpreadGrid(TGridKind kind, TDataTable& table, QWidget* parent)
    : QTableView(parent), mKind(kind), mTable(table), mAsker(MessageBoxAsker(this)), mTeller(MessageBoxTeller(this)) {
  const bool raw = kind == TGridKind::RawData;
  setObjectName(raw ? QStringLiteral("RawDataGrid") : QStringLiteral("StatDataGrid"));
  setAccessibleName(raw ? QStringLiteral("Data table") : QStringLiteral("Column statistics"));
  setAccessibleDescription(QStringLiteral("Tab and the arrow keys move between cells; Ctrl+Tab leaves the table."));
  mColumnHeader = new TGridHeader(Qt::Horizontal, this);
  mRowHeader = new TGridHeader(Qt::Vertical, this);
  setHorizontalHeader(mColumnHeader);
  setVerticalHeader(mRowHeader);
  if (raw)
    mModel = new TRawDataModel(table, this);
  else
    mModel = new TStatDataModel(table, this);
  setModel(mModel);

  mColumnHeader->setDefaultSectionSize(raw ? RawColumnWidth : StatColumnWidth);
  mColumnHeader->setSectionResizeMode(QHeaderView::Interactive);
  mRowHeader->setSectionResizeMode(QHeaderView::Fixed);
  mRowHeader->SetTextIndent(raw ? RowTitleIndent : CaptionIndent);

  setCornerButtonEnabled(false);
  mCorner = new TGridCorner(this);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(EditingTriggers);
  setTabKeyNavigation(true);
  setWordWrap(false);

  mColumnTitleField = new TTitleField(ColumnTitleFieldLength, true, this);
  mColumnTitleField->setObjectName(raw ? QStringLiteral("RawDataColTitleField")
                                       : QStringLiteral("StatDataColTitleField"));
  mColumnTitleField->setAccessibleName(QStringLiteral("Column title"));
  mRowTitleField = new TTitleField(RowTitleFieldLength, false, this);
  mRowTitleField->setAccessibleName(QStringLiteral("Row title"));
  mRowTitleField->setObjectName(QStringLiteral("RawDataRowTitleField"));
  if (!raw) mAcceptKey = [this](QChar& character) { AcceptSummaryKey(character); };

  connect(mColumnHeader, &TGridHeader::SectionPressed, this, &TSpreadGrid::OnColumnHeaderPressed);
  connect(mRowHeader, &TGridHeader::SectionPressed, this, &TSpreadGrid::OnRowHeaderPressed);
  connect(mColumnHeader, &TGridHeader::SectionDragged, this, &TSpreadGrid::OnHeaderDragged);
  connect(mColumnHeader, &TGridHeader::FitSectionRequested, this, &TSpreadGrid::FitColumnToValues);
  connect(mRowHeader, &TGridHeader::SectionDragged, this, &TSpreadGrid::OnHeaderDragged);
  connect(mColumnHeader, &TGridHeader::PressReleased, this, [this] { mDrag = TDrag::None; });
  connect(mRowHeader, &TGridHeader::PressReleased, this, [this] { mDrag = TDrag::None; });
  connect(mColumnHeader, &QHeaderView::sectionResized, this, [this] { PlaceTitleEditors(); });
  connect(mCorner, &TGridCorner::Pressed, this, &TSpreadGrid::OnCornerPressed);
  connect(mColumnTitleField, &TTitleField::Navigate, this, &TSpreadGrid::OnColumnTitleNavigate);
  connect(mColumnTitleField, &TTitleField::Cancelled, this, [this] {
    CloseColumnTitleEditor(false);
    setFocus();
  });
  connect(mColumnTitleField, &TTitleField::FocusLeft, this, [this] { CloseColumnTitleEditor(true); });
  connect(mRowTitleField, &TTitleField::Navigate, this, &TSpreadGrid::OnRowTitleNavigate);
  connect(mRowTitleField, &TTitleField::Cancelled, this, [this] {
    CloseRowTitleEditor(false);
    setFocus();
  });
  connect(mRowTitleField, &TTitleField::FocusLeft, this, [this] { CloseRowTitleEditor(true); });

  FollowTextScale(this, [this] { ApplyTextScale(); });
  mLeaveFilter = new TLeaveGridFilter(this);
  UpdateCorner();
  setCurrentIndex(mModel->index(0, 0));
}

void TSpreadGrid::LeaveGrid(bool next) {
  if (!CommitEdit()) return;
  QWidget::focusNextPrevChild(next);
}

void TSpreadGrid::focusInEvent(QFocusEvent* event) {
  qApp->installEventFilter(mLeaveFilter);
  QTableView::focusInEvent(event);
}

void TSpreadGrid::ApplyTextScale() {
  const bool raw = mKind == TGridKind::RawData;
  const TTextScale& scale = TTextScale::Instance();
  CommitEdit();
  setFont(ScaledFont(QFont(QStringLiteral("Arial")), GridFontPixels, true));
  mRowHeight = scale.Pixels(raw ? RawRowHeight : StatRowHeight);
  mColumnHeader->SetRowHeight(mRowHeight);
  mRowHeader->setDefaultSectionSize(mRowHeight);
  mRowHeader->setFixedWidth(scale.Pixels(raw ? RawRowTitleWidth : StatCaptionWidth));
  mCorner->SetRowHeight(mRowHeight);
  // Columns keep the widths the user gave them, in proportion.
  const int oldDefault = mColumnHeader->defaultSectionSize();
  const int newDefault = scale.Pixels(raw ? RawColumnWidth : StatColumnWidth);
  if (oldDefault != newDefault) {
    for (int section = 0; section < mColumnHeader->count(); ++section)
      mColumnHeader->resizeSection(section, static_cast<int>(std::lround(mColumnHeader->sectionSize(section) *
                                                                         double(newDefault) / oldDefault)));
    mColumnHeader->setDefaultSectionSize(newDefault);
  }
  // The painter prepares its glyphs for one font.
  QAbstractItemDelegate* old = itemDelegate();
  setItemDelegate(new TGridDelegate(this));
  delete old;
  updateGeometries();
  PlaceTitleEditors();
  viewport()->update();
}

TSpreadGrid::~TSpreadGrid() {
  // Children lose their focus while the base classes tear them down; their
  // signals must not reach a grid that is half gone.
  mColumnTitleField->disconnect(this);
  mRowTitleField->disconnect(this);
  if (mEditor) mEditor->disconnect(this);
}

int TSpreadGrid::LastGridRow() const { return (mKind == TGridKind::RawData ? RawGridRowCount : StatGridRowCount) - 1; }

void TSpreadGrid::SetDataFormat(TDataFormat format) {
  CommitEdit();
  mModel->SetDataFormat(format);
}

TDataFormat TSpreadGrid::DataFormat() const { return mModel->DataFormat(); }

void TSpreadGrid::SetMeanIsSD(bool meanIsSD) {
  CommitEdit();
  mModel->SetMeanIsSD(meanIsSD);
}

bool TSpreadGrid::MeanIsSD() const { return mModel->MeanIsSD(); }

void TSpreadGrid::SetAllowEditing(bool allow) {
  if (!allow) {
    CommitEdit();
    CloseTitleEditors();
  }
  mModel->SetAllowEditing(allow);
  setEditTriggers(allow ? EditingTriggers : QAbstractItemView::NoEditTriggers);
}

bool TSpreadGrid::AllowEditing() const { return mModel->AllowEditing(); }

int TSpreadGrid::CurrentDataRow() const { return currentIndex().row(); }

int TSpreadGrid::CurrentDataColumn() const { return currentIndex().column(); }

void TSpreadGrid::SetCurrentCell(int gridColumn, int gridRow) {
  setCurrentIndex(mModel->index(gridRow - FirstDataGridRow, gridColumn - FirstDataGridColumn));
}

TAskEraseMeanData TSpreadGrid::MeanDataAsker() {
  return [this](int column) { return mAsker && mAsker(FromCore(MeanDataQuestion(column))); };
}

void TSpreadGrid::EditorCreated(TSpreadInplaceEdit* editor, const QModelIndex& index) {
  mEditor = editor;
  mEditorIndex = index;
  editor->SetAcceptKey(mAcceptKey);
  connect(editor, &TSpreadInplaceEdit::Navigate, this, &TSpreadGrid::OnEditorNavigate);
  connect(editor, &TSpreadInplaceEdit::Cancelled, this, &TSpreadGrid::CancelEdit);
  connect(editor, &TSpreadInplaceEdit::PasteRequested, this, &TSpreadGrid::PasteRequested);
  connect(editor, &TSpreadInplaceEdit::FocusLeft, this, [this, editor] {
    if (QApplication::focusWidget() != editor) CommitEdit();
  });
}

bool TSpreadGrid::CommitEdit() {
  if (mCommitting || mEditor.isNull()) return true;
  const QScopedValueRollback<bool> guard(mCommitting, true);
  TSpreadInplaceEdit* const editor = mEditor;
  const QPersistentModelIndex index = mEditorIndex;
  const bool changed = editor->IsChanged();
  const QString text = editor->text();
  // A decimal comma is read as paste reads it, whatever the user's separator.
  const TTypedNumber typed =
      ReadTypedNumber(text.toStdString(), TextDecimalSeparator(text.toStdString(), UserDecimalSeparator()));
  if (changed && index.isValid() && (typed.Kind == TTypedKind::NotANumber || typed.Kind == TTypedKind::OutOfRange)) {
    // Nothing is reinterpreted: the text stays for the user to mend, or
    // Escape brings the old value back.
    if (mTeller) mTeller(FromCore(TypedNumberMessage(typed, text.toStdString())));
    if (mEditor) {
      mEditor->selectAll();
      mEditor->setFocus();
    }
    return false;
  }
  // The editor goes first, so that a question about the value never has a
  // live editor behind it.
  mEditor.clear();
  QAbstractItemView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  if (!changed || !index.isValid()) return true;
  const TCommitResult result = mModel->CommitValue(index, typed.Value, MeanDataAsker());
  if (result.Outcome == TCommitOutcome::Stored) emit DataChanged();
  return true;
}

bool TSpreadGrid::PasteIntoEditor(const QString& clipboardText) {
  if (mEditor.isNull()) return false;
  QString field = clipboardText;
  while (field.endsWith(QLatin1Char('\n')) || field.endsWith(QLatin1Char('\r'))) field.chop(1);
  if (field.contains(QLatin1Char('\t')) || field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'))) {
    CancelEdit();
    return false;
  }
  mEditor->insert(field);
  return true;
}

void TSpreadGrid::CancelEdit() {
  if (mCommitting || mEditor.isNull()) return;
  const QScopedValueRollback<bool> guard(mCommitting, true);
  TSpreadInplaceEdit* const editor = mEditor;
  mEditor.clear();
  QAbstractItemView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void TSpreadGrid::EditorOn() {
  if (!AllowEditing() || EditorActive()) return;
  const QModelIndex index = currentIndex();
  if (index.isValid() && (mModel->flags(index) & Qt::ItemIsEditable)) edit(index);
}

void TSpreadGrid::SelectEditorText() {
  if (mEditor) mEditor->selectAll();
}

void TSpreadGrid::commitData(QWidget* editor) {
  if (editor == mEditor) CommitEdit();
}

void TSpreadGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (!mRestoringCurrent && !CommitEdit()) {
    // A refused text keeps its cell current until it is mended or dropped;
    // the move is undone once the event that made it is over.
    const QPersistentModelIndex back = mEditorIndex;
    QTimer::singleShot(0, this, [this, back] {
      if (mEditor.isNull() || mEditorIndex != back) return;
      const QScopedValueRollback<bool> guard(mRestoringCurrent, true);
      setCurrentIndex(back);
      mEditor->setFocus();
    });
    viewport()->update();
    return;
  }
  QTableView::currentChanged(current, previous);
}

void TSpreadGrid::OnEditorNavigate(int key) {
  if (!CommitEdit()) return;
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  keyPressEvent(&press);
}

void TSpreadGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      // Enter moves down like a spreadsheet; it never toggles the editor.
      QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, event->modifiers());
      QTableView::keyPressEvent(&down);
      return;
    }
    case Qt::Key_Up:
      if (currentIndex().row() == 0 && event->modifiers() == Qt::NoModifier && AllowEditing()) {
        OpenColumnTitleEditor(currentIndex().column());
        return;
      }
      break;
    case Qt::Key_F9:
    case Qt::Key_F10:
      event->ignore();
      return;
    case Qt::Key_Insert:
      if (event->modifiers() == Qt::ControlModifier) {
        emit CopyRequested();
        return;
      }
      if (event->modifiers() == Qt::ShiftModifier) {
        emit PasteRequested();
        return;
      }
      break;
    default:
      break;
  }
  if (TellWhyReadOnly(event)) return;
  QTableView::keyPressEvent(event);
}

QModelIndex TSpreadGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if (action == MoveEnd && (modifiers & Qt::ControlModifier) && mKind == TGridKind::RawData) {
    const TDataTable::TExtents last = mTable.FindExtents();
    return mModel->index(last.LastRow, last.LastColumn);
  }
  return QTableView::moveCursor(action, modifiers);
}

void TSpreadGrid::FitColumnToValues(int dataColumn) {
  const auto* delegate = static_cast<const TGridDelegate*>(itemDelegate());
  int width = MinimumFittedWidth;
  for (int row = 0; row < mModel->rowCount(); ++row) {
    const QModelIndex index = mModel->index(row, dataColumn);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) continue;
    width = std::max(width, delegate->ColumnWidthFor(text, index.data(static_cast<int>(TGridRole::Excluded)).toBool()));
  }
  setColumnWidth(dataColumn, width);
}

bool TSpreadGrid::CellShowsWhole(int dataRow, int dataColumn) const {
  const QModelIndex index = mModel->index(dataRow, dataColumn);
  const QString text = index.data(Qt::DisplayRole).toString();
  const auto* delegate = static_cast<const TGridDelegate*>(itemDelegate());
  return text.isEmpty() ||
         delegate->Fits(text, columnWidth(dataColumn), index.data(static_cast<int>(TGridRole::Excluded)).toBool());
}

bool TSpreadGrid::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid() && !CellShowsWhole(index.row(), index.column())) {
      QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(), viewport());
      return true;
    }
    QToolTip::hideText();
  }
  return QTableView::viewportEvent(event);
}

bool TSpreadGrid::TellWhyReadOnly(const QKeyEvent* event) {
  const QString typed = event->text();
  if (mKind != TGridKind::StatData || !AllowEditing() || typed.isEmpty() || !typed.at(0).isPrint() ||
      (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    return false;
  const QModelIndex index = currentIndex();
  if (!index.isValid() || (mModel->flags(index) & Qt::ItemIsEditable)) return false;
  // A computed cell takes no typing; the status bar says why instead of
  // letting the keys vanish.
  const QString why = HoldsMeanData(mTable, index.column()) ? QStringLiteral("Computed from the mean, SD or SEM and N")
                                                            : QStringLiteral("Computed from the raw data");
  if (auto* frame = qobject_cast<QMainWindow*>(window())) frame->statusBar()->showMessage(why, ReadOnlyTipMilliseconds);
  emit ReadOnlyTyped(why);
  return true;
}

void TSpreadGrid::mousePressEvent(QMouseEvent* event) {
  CloseTitleEditors();
  const QModelIndex index = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && index.isValid()) {
    const int gridColumn = index.column() + FirstDataGridColumn;
    const int gridRow = index.row() + FirstDataGridRow;
    if (event->modifiers() & Qt::ShiftModifier) {
      SetSelection(NormalizedRect(mColumnAnchor, mRowAnchor, gridColumn, gridRow));
      return;
    }
    // A click on the current cell edits it; the first click only moves.
    mClickEdits = index == currentIndex() && !EditorActive();
    mColumnAnchor = gridColumn;
    mRowAnchor = gridRow;
  }
  if (event->button() == Qt::RightButton && index.isValid()) {
    // The context menu acts on the selection a right click lands in; a click
    // elsewhere first makes its cell the current one.
    const TGridRect selection = Selection();
    const int gridColumn = index.column() + FirstDataGridColumn;
    const int gridRow = index.row() + FirstDataGridRow;
    if (gridColumn >= selection.Left && gridColumn <= selection.Right && gridRow >= selection.Top &&
        gridRow <= selection.Bottom)
      return;
    SetCurrentCell(gridColumn, gridRow);
    mColumnAnchor = gridColumn;
    mRowAnchor = gridRow;
    return;
  }
  QTableView::mousePressEvent(event);
}

void TSpreadGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (mClickEdits && indexAt(event->position().toPoint()) == currentIndex()) EditorOn();
  mClickEdits = false;
}

void TSpreadGrid::updateGeometries() {
  QTableView::updateGeometries();
  if (!mCorner) return;
  mCorner->setGeometry(mRowHeader->geometry().x(), mColumnHeader->geometry().y(), mRowHeader->width(),
                       mColumnHeader->height());
  mCorner->raise();
  PlaceTitleEditors();
}

void TSpreadGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  PlaceTitleEditors();
}

void TSpreadGrid::AcceptSummaryKey(QChar& character) const {
  // N is a count: no decimals. Other text reaches the commit, which says
  // what is not a number.
  const bool nRow = currentIndex().row() + FirstDataGridRow == SummaryNGridRow;
  if (nRow && (character == QLatin1Char(',') || character == QLatin1Char('.'))) character = QChar();
}

// Storing from commands.

void TSpreadGrid::SetColumnTitle(const QString& title, int dataColumn) {
  StoreColumnTitle(mTable, dataColumn, ToTableText(title, MaxColumnTitleLength));
  mModel->RefreshTitles();
}

void TSpreadGrid::SetRowTitle(const QString& title, int gridRow) {
  const int dataRow = gridRow - FirstDataGridRow;
  mTable.SetRowTitle(dataRow, ToTableText(title, MaxRowTitleLength));
  mModel->RefreshRowTitle(dataRow);
}

void TSpreadGrid::StoreCell(int gridColumn, int gridRow, TReal value) {
  ombrel::StoreCell(mTable, gridRow - FirstDataGridRow, gridColumn - FirstDataGridColumn, value);
  RefreshCell(gridColumn, gridRow);
}

void TSpreadGrid::StoreCellAdjusted(int gridColumn, int gridRow, TReal value) {
  if (ombrel::StoreCellAdjusted(mTable, gridRow - FirstDataGridRow, gridColumn - FirstDataGridColumn, value))
    RefreshColumn(gridColumn);
  else
    RefreshCell(gridColumn, gridRow);
}

void TSpreadGrid::MarkColumnIfEmpty(int dataColumn) {
  ombrel::MarkColumnIfEmpty(mTable, dataColumn);
  mModel->RefreshColumn(dataColumn);
}

void TSpreadGrid::RefreshTitles() {
  mModel->RefreshTitles();
  UpdateCorner();
}

void TSpreadGrid::RefreshAll() {
  CancelEdit();
  mModel->RefreshAll();
  UpdateCorner();
}

void TSpreadGrid::RefreshColumn(int gridColumn) { mModel->RefreshColumn(gridColumn - FirstDataGridColumn); }

void TSpreadGrid::RefreshCell(int gridColumn, int gridRow) {
  mModel->RefreshCell(gridRow - FirstDataGridRow, gridColumn - FirstDataGridColumn);
}

void TSpreadGrid::UpdateCorner() {
  const std::string& heading = mTable.RowTitleHeading();
  mCorner->SetCaption(heading.empty() ? QStringLiteral("Col. title") : FromCore(heading));
}

// Selection.

TGridRect TSpreadGrid::Selection() const {
  const QItemSelection selection = selectionModel()->selection();
  if (selection.isEmpty()) {
    const QModelIndex current = currentIndex();
    const int column = std::max(current.column(), 0) + FirstDataGridColumn;
    const int row = std::max(current.row(), 0) + FirstDataGridRow;
    return TGridRect{column, row, column, row};
  }
  int left = INT_MAX;
  int top = INT_MAX;
  int right = INT_MIN;
  int bottom = INT_MIN;
  for (const QItemSelectionRange& range : selection) {
    left = std::min(left, range.left());
    top = std::min(top, range.top());
    right = std::max(right, range.right());
    bottom = std::max(bottom, range.bottom());
  }
  return TGridRect{left + FirstDataGridColumn, top + FirstDataGridRow, right + FirstDataGridColumn,
                   bottom + FirstDataGridRow};
}

TSelectionKind TSpreadGrid::SelectionKind() const { return SelectionKindOf(Selection(), LastGridRow()); }

bool TSpreadGrid::WholeTableSelected() const { return IsWholeTable(Selection(), LastGridRow()); }

bool TSpreadGrid::WholeRowsSelected() const { return IsWholeRows(Selection()); }

bool TSpreadGrid::WholeColumnsSelected() const { return IsWholeColumns(Selection(), LastGridRow()); }

void TSpreadGrid::SetSelection(const TGridRect& rect) {
  CommitEdit();
  const int lastRow = LastGridRow();
  TGridRect r = NormalizedRect(rect.Left, rect.Top, rect.Right, rect.Bottom);
  r.Left = std::clamp(r.Left, FirstDataGridColumn, LastDataGridColumn);
  r.Right = std::clamp(r.Right, FirstDataGridColumn, LastDataGridColumn);
  r.Top = std::clamp(r.Top, FirstDataGridRow, lastRow);
  r.Bottom = std::clamp(r.Bottom, FirstDataGridRow, lastRow);

  // Whole columns start the current cell in their first column, whole rows in
  // their first row, so that a paste begins there; the view does not scroll.
  const TSelectionKind kind = SelectionKindOf(r, lastRow);
  const QModelIndex current = currentIndex();
  int column = std::max(current.column(), 0) + FirstDataGridColumn;
  int row = std::max(current.row(), 0) + FirstDataGridRow;
  if (kind == TSelectionKind::Columns || column < r.Left || column > r.Right) column = r.Left;
  if (kind == TSelectionKind::Rows || row < r.Top || row > r.Bottom) row = r.Top;
  const bool scrolls = hasAutoScroll();
  setAutoScroll(false);
  selectionModel()->setCurrentIndex(mModel->index(row - FirstDataGridRow, column - FirstDataGridColumn),
                                    QItemSelectionModel::NoUpdate);
  setAutoScroll(scrolls);
  const QItemSelection selection(mModel->index(r.Top - FirstDataGridRow, r.Left - FirstDataGridColumn),
                                 mModel->index(r.Bottom - FirstDataGridRow, r.Right - FirstDataGridColumn));
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  viewport()->update();
}

void TSpreadGrid::SelectAll() {
  SetSelection(TGridRect{FirstDataGridColumn, FirstDataGridRow, LastDataGridColumn, LastGridRow()});
}

void TSpreadGrid::SelectColumn(int gridColumn) {
  SetSelection(TGridRect{gridColumn, FirstDataGridRow, gridColumn, LastGridRow()});
}

void TSpreadGrid::SelectRow(int gridRow) {
  SetSelection(TGridRect{FirstDataGridColumn, gridRow, LastDataGridColumn, gridRow});
}

void TSpreadGrid::ExtendColumns(int gridColumn) {
  SetSelection(NormalizedRect(mColumnAnchor, FirstDataGridRow, gridColumn, LastGridRow()));
}

void TSpreadGrid::ExtendRows(int gridRow) {
  const int anchor = std::clamp(mRowAnchor, FirstDataGridRow, LastGridRow());
  SetSelection(NormalizedRect(FirstDataGridColumn, anchor, LastDataGridColumn, gridRow));
}

// Header clicks.

void TSpreadGrid::OnColumnHeaderPressed(int section, QPoint position, Qt::KeyboardModifiers modifiers) {
  CommitEdit();
  mDrag = TDrag::None;
  if (position.y() >= mRowHeight) {
    if (AllowEditing())
      OpenColumnTitleEditor(section);
    else
      CloseTitleEditors();
    return;
  }
  CloseTitleEditors();
  const int gridColumn = section + FirstDataGridColumn;
  if (modifiers & Qt::ShiftModifier) {
    ExtendColumns(gridColumn);
  } else {
    mColumnAnchor = gridColumn;
    SelectColumn(gridColumn);
  }
  mDrag = TDrag::Columns;
}

void TSpreadGrid::OnRowHeaderPressed(int section, QPoint position, Qt::KeyboardModifiers modifiers) {
  CommitEdit();
  mDrag = TDrag::None;
  const bool editsTitle = mKind == TGridKind::RawData && AllowEditing() && position.x() < RowTitleEditZone;
  if (!editsTitle) CloseTitleEditors();
  if (position.x() < mRowHeader->width() - HeaderSelectMargin) {
    const int gridRow = section + FirstDataGridRow;
    if (modifiers & Qt::ShiftModifier) {
      ExtendRows(gridRow);
    } else {
      mRowAnchor = gridRow;
      SelectRow(gridRow);
    }
    mDrag = TDrag::Rows;
  }
  if (editsTitle) OpenRowTitleEditor(section);
}

void TSpreadGrid::OnCornerPressed(QPoint position) {
  CommitEdit();
  CloseTitleEditors();
  if (position.x() < mCorner->width() - HeaderSelectMargin) SelectAll();
}

void TSpreadGrid::OnHeaderDragged(int section) {
  if (mDrag == TDrag::Columns && sender() == mColumnHeader) ExtendColumns(section + FirstDataGridColumn);
  if (mDrag == TDrag::Rows && sender() == mRowHeader) ExtendRows(section + FirstDataGridRow);
}

// Title fields.

void TSpreadGrid::OpenColumnTitleEditor(int dataColumn) {
  if (!AllowEditing()) return;
  // XY data keeps titles for X and the first Y only (the step drops the
  // others when entered): a title typed for another column would be lost.
  if (mKind == TGridKind::RawData && DataFormat() == TDataFormat::XY && dataColumn >= XYTitledColumns) return;
  CommitEdit();
  CloseTitleEditors();
  mTitleColumn = std::clamp(dataColumn, 0, MaxColumns - 1);
  scrollTo(mModel->index(std::max(rowAt(0), 0), mTitleColumn));
  mColumnTitleField->SetInitialText(FromCore(mTable.Summary(mTitleColumn).Title));
  PlaceTitleEditors();
  mColumnTitleField->show();
  mColumnTitleField->raise();
  mColumnTitleField->setFocus(Qt::OtherFocusReason);
  mColumnTitleField->selectAll();
}

void TSpreadGrid::OpenRowTitleEditor(int dataRow) {
  if (!AllowEditing() || mKind != TGridKind::RawData) return;
  CommitEdit();
  CloseTitleEditors();
  mTitleRow = std::clamp(dataRow, 0, mModel->rowCount() - 1);
  scrollTo(mModel->index(mTitleRow, std::max(columnAt(0), 0)));
  mRowTitleField->SetInitialText(FromCore(mTable.RowTitle(mTitleRow)));
  PlaceTitleEditors();
  mRowTitleField->show();
  mRowTitleField->raise();
  mRowTitleField->setFocus(Qt::OtherFocusReason);
  mRowTitleField->selectAll();
}

void TSpreadGrid::CloseTitleEditors(bool store) {
  CloseColumnTitleEditor(store);
  CloseRowTitleEditor(store);
}

void TSpreadGrid::CloseColumnTitleEditor(bool store) {
  if (mTitleColumn < 0 || mClosingTitle) return;
  const QScopedValueRollback<bool> guard(mClosingTitle, true);
  const int column = mTitleColumn;
  const QString text = mColumnTitleField->text();
  const bool changed = mColumnTitleField->IsChanged();
  mTitleColumn = -1;
  if (mColumnTitleField->hasFocus()) setFocus(Qt::OtherFocusReason);
  mColumnTitleField->hide();
  if (store && changed) StoreTypedColumnTitle(column, text);
}

void TSpreadGrid::CloseRowTitleEditor(bool store) {
  if (mTitleRow < 0 || mClosingTitle) return;
  const QScopedValueRollback<bool> guard(mClosingTitle, true);
  const int row = mTitleRow;
  const QString text = mRowTitleField->text();
  const bool changed = mRowTitleField->IsChanged();
  mTitleRow = -1;
  if (mRowTitleField->hasFocus()) setFocus(Qt::OtherFocusReason);
  mRowTitleField->hide();
  if (!store || !changed) return;
  mTable.SetRowTitle(row, ToTableText(text, MaxRowTitleLength));
  mModel->RefreshRowTitle(row);
  emit DataChanged();
}

void TSpreadGrid::StoreTypedColumnTitle(int dataColumn, const QString& text) {
  const std::string title = ToTableText(text, MaxColumnTitleLength);
  StoreColumnTitle(mTable, dataColumn, title);
  mModel->RefreshTitles();
  emit TitleChanged(dataColumn);
  emit DataChanged();
  if (mKind != TGridKind::RawData || !LooksLikeNumber(title) || !NumericTitleQuestionEnabled()) return;
  if (!mAsker || !mAsker(QString::fromLatin1(NumericTitleQuestion))) {
    SetNumericTitleQuestionEnabled(false);
    return;
  }
  // The number goes to the first data row of the title's own column, never
  // to wherever the current cell happens to be.
  if (StoreTitleAsValue(mTable, dataColumn, title, MeanDataAsker()) != TCommitOutcome::Stored) return;
  mModel->RefreshColumn(dataColumn);
  mModel->RefreshTitles();
  emit TitleChanged(dataColumn);
  emit DataChanged();
}

void TSpreadGrid::OnColumnTitleNavigate(int key) {
  const int column = mTitleColumn;
  if (column < 0) return;
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Right:
      if (column + 1 < MaxColumns) OpenColumnTitleEditor(column + 1);
      return;
    case Qt::Key_Backtab:
    case Qt::Key_Left:
      if (column > 0) OpenColumnTitleEditor(column - 1);
      return;
    case Qt::Key_Return:
    case Qt::Key_Down:
      CloseColumnTitleEditor(true);
      SetCurrentCell(column + FirstDataGridColumn, FirstDataGridRow);
      setFocus(Qt::OtherFocusReason);
      return;
    case Qt::Key_Up:
      CloseColumnTitleEditor(true);
      if (mDataSetTitleField)
        mDataSetTitleField->setFocus(Qt::OtherFocusReason);
      else
        setFocus(Qt::OtherFocusReason);
      return;
    default:
      return;
  }
}

void TSpreadGrid::OnRowTitleNavigate(int key) {
  const int row = mTitleRow;
  if (row < 0) return;
  switch (key) {
    case Qt::Key_Up:
      if (row > 0) OpenRowTitleEditor(row - 1);
      return;
    case Qt::Key_Down:
      if (row + 1 < mModel->rowCount()) OpenRowTitleEditor(row + 1);
      return;
    default:
      CloseRowTitleEditor(true);
      setFocus(Qt::OtherFocusReason);
      return;
  }
}

void TSpreadGrid::PlaceTitleEditors() {
  if (mTitleColumn >= 0) {
    const QRect header = mColumnHeader->geometry();
    mColumnTitleField->setGeometry(header.x() + mColumnHeader->sectionViewportPosition(mTitleColumn),
                                   header.y() + mRowHeight, mColumnHeader->sectionSize(mTitleColumn),
                                   header.height() - mRowHeight);
  }
  if (mTitleRow >= 0) {
    const QRect header = mRowHeader->geometry();
    mRowTitleField->setGeometry(header.x(), header.y() + mRowHeader->sectionViewportPosition(mTitleRow), header.width(),
                                mRowHeader->sectionSize(mTitleRow));
  }
}

}  // namespace ombrel
