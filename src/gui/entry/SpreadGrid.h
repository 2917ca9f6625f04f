#pragma once

#include <QColor>
#include <QPointer>
#include <QTableView>

#include "core/base/DataTable.h"
#include "core/entry/CellStore.h"
#include "gui/entry/GridAsker.h"
#include "core/base/TestChoices.h"
#include "core/entry/GridSelection.h"
#include "gui/entry/SpreadInplaceEdit.h"

class QLineEdit;

namespace ombrel {

class TGridModel;
class TGridHeader;
class TGridCorner;
class TTitleField;

// RawDataGrid shows the data table (27 x 1002 grid cells); StatDataGrid the
// column summaries (27 x 18).
enum class TGridKind { RawData, StatData };

// The spreadsheet grid of a document page: a view straight over the
// document's TDataTable, which it never copies. Arguments named gridColumn and
// gridRow are grid coordinates (data columns from grid column 1, data rows
// from grid row 2); dataColumn and dataRow are 0-based table coordinates.
//
// A typed text stays in the in-place editor until CommitEdit stores it; the
// grid commits on a cell change, on leaving the grid and on header clicks,
// and every command of the document must call CommitEdit first.
class TSpreadGrid : public QTableView {
  Q_OBJECT

 public:
  TSpreadGrid(TGridKind kind, TDataTable& table, QWidget* parent = nullptr);
  ~TSpreadGrid() override;

  TGridKind Kind() const { return mKind; }
  TDataTable& Table() const { return mTable; }
  int LastGridRow() const;

  // Settings of the document.
  void SetDataFormat(TDataFormat format);
  TDataFormat DataFormat() const;
  void SetMeanIsSD(bool meanIsSD);
  bool MeanIsSD() const;
  // Questions go through the asker; the default shows a message box.
  void SetAsker(TAskYesNo asker) { mAsker = std::move(asker); }
  // Refusals of a typed text go through the teller; the default shows a
  // message box.
  void SetTeller(TTellUser teller) { mTeller = std::move(teller); }
  // A read-only preview grid switches editing off.
  void SetAllowEditing(bool allow);
  bool AllowEditing() const;
  // Fonts, row heights and default column widths at the text size of
  // View > Text size (the grid follows it by itself).
  void ApplyTextScale();
  // Ctrl+Tab (Ctrl+Shift+Tab, `next` false): the pending edit stored, the
  // keyboard goes to the next (previous) control after the grid.
  void LeaveGrid(bool next);
  // Replaces the editor's character filter (OnEditAcceptKey).
  void SetAcceptKey(TAcceptKey acceptKey) { mAcceptKey = std::move(acceptKey); }
  // Up in a column title moves the focus to this field.
  void SetDataSetTitleField(QLineEdit* field) { mDataSetTitleField = field; }

  // The current cell.
  int CurrentDataRow() const;
  int CurrentDataColumn() const;
  void SetCurrentCell(int gridColumn, int gridRow);
  // Widens or narrows a column to its widest value (a double click on the
  // edge of its heading does it too).
  void FitColumnToValues(int dataColumn);
  // Whether a cell's value shows whole; one that does not shows as "###"
  // with the value in its tooltip.
  bool CellShowsWhole(int dataRow, int dataColumn) const;

  // Editing. CommitEdit stores a pending edit and switches the editor off;
  // CancelEdit drops it. Both do nothing while no editor is open. A text that
  // is not a number is refused: the user is told why, the editor stays open
  // with the text selected, and CommitEdit answers false.
  bool CommitEdit();
  void CancelEdit();
  void EditorOn();
  bool EditorActive() const { return !mEditor.isNull(); }
  void SelectEditorText();
  // A paste while the editor is open: a single field goes into the text
  // (true); more than one field or line drops the edit (false), so that the
  // caller pastes into the cells from the edited one.
  bool PasteIntoEditor(const QString& clipboardText);
  TSpreadInplaceEdit* Editor() const { return mEditor; }

  // Storing from commands, with redisplay.
  void SetColumnTitle(const QString& title, int dataColumn);
  void SetRowTitle(const QString& title, int gridRow);
  void StoreCell(int gridColumn, int gridRow, TReal value);
  void StoreCellAdjusted(int gridColumn, int gridRow, TReal value);
  void MarkColumnIfEmpty(int dataColumn);

  // Redisplay after the table changed. None of them commits or keeps a
  // pending edit: RefreshAll drops it.
  void RefreshTitles();
  void RefreshAll();
  void RefreshColumn(int gridColumn);
  void RefreshCell(int gridColumn, int gridRow);

  // Selection, always one rectangle (the current cell when nothing else is
  // selected). The anchors are the grid column and row of the last click
  // without Shift; Shift-clicks and header drags extend from them.
  TGridRect Selection() const;
  TSelectionKind SelectionKind() const;
  bool WholeTableSelected() const;
  bool WholeRowsSelected() const;
  bool WholeColumnsSelected() const;
  void SetSelection(const TGridRect& rect);
  void SelectAll();
  void SelectColumn(int gridColumn);
  void SelectRow(int gridRow);
  void ExtendColumns(int gridColumn);
  void ExtendRows(int gridRow);

  // The title fields laid over one title cell.
  void OpenColumnTitleEditor(int dataColumn);
  void OpenRowTitleEditor(int dataRow);
  // Stores what the open title field holds (unless `store` is false) and hides it.
  void CloseTitleEditors(bool store = true);
  TTitleField* ColumnTitleField() const { return mColumnTitleField; }
  TTitleField* RowTitleField() const { return mRowTitleField; }
  int TitleEditorColumn() const { return mTitleColumn; }
  int TitleEditorRow() const { return mTitleRow; }

 signals:
  // A value, title or summary entry was stored: the document marks itself changed.
  void DataChanged();
  // A column title changed: the document's other grid shows it too.
  void TitleChanged(int dataColumn);
  // Ctrl+Insert and Shift+Insert.
  void CopyRequested();
  void PasteRequested();
  // Typing reached a computed summary cell; `why` is what the status bar shows.
  void ReadOnlyTyped(const QString& why);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Ctrl+End goes to the last cell that holds a value (Shift extends the
  // selection there), not to the grid's far corner.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void commitData(QWidget* editor) override;
  bool viewportEvent(QEvent* event) override;
  void updateGeometries() override;
  void scrollContentsBy(int dx, int dy) override;
  // Typing into a read-only cell must not jump to a matching row.
  void keyboardSearch(const QString&) override {}

 private:
  friend class TGridDelegate;
  void EditorCreated(TSpreadInplaceEdit* editor, const QModelIndex& index);
  void OnEditorNavigate(int key);
  void OnColumnHeaderPressed(int section, QPoint position, Qt::KeyboardModifiers modifiers);
  void OnRowHeaderPressed(int section, QPoint position, Qt::KeyboardModifiers modifiers);
  void OnCornerPressed(QPoint position);
  void OnHeaderDragged(int section);
  void OnColumnTitleNavigate(int key);
  void OnRowTitleNavigate(int key);
  void CloseColumnTitleEditor(bool store);
  void CloseRowTitleEditor(bool store);
  void StoreTypedColumnTitle(int dataColumn, const QString& text);
  void PlaceTitleEditors();
  void UpdateCorner();
  void AcceptSummaryKey(QChar& character) const;
  bool TellWhyReadOnly(const QKeyEvent* event);
  static constexpr int ReadOnlyTipMilliseconds = 5000;
  static constexpr int MinimumFittedWidth = 40;
  TAskEraseMeanData MeanDataAsker();

  enum class TDrag { None, Columns, Rows };

  TGridKind mKind;
  TDataTable& mTable;
  TGridModel* mModel = nullptr;
  TGridHeader* mColumnHeader = nullptr;
  TGridHeader* mRowHeader = nullptr;
  TGridCorner* mCorner = nullptr;
  TTitleField* mColumnTitleField = nullptr;
  TTitleField* mRowTitleField = nullptr;
  QObject* mLeaveFilter = nullptr;
  QPointer<QLineEdit> mDataSetTitleField;
  QPointer<TSpreadInplaceEdit> mEditor;
  QPersistentModelIndex mEditorIndex;
  TAskYesNo mAsker;
  TTellUser mTeller;
  TAcceptKey mAcceptKey;
  int mRowHeight = 18;
  int mColumnAnchor = 1;
  int mRowAnchor = 3;
  int mTitleColumn = -1;
  int mTitleRow = -1;
  TDrag mDrag = TDrag::None;
  bool mCommitting = false;
  bool mRestoringCurrent = false;
  bool mClosingTitle = false;
  bool mClickEdits = false;
};

}  // namespace ombrel
