#pragma once

#include <QAbstractTableModel>

#include "core/base/DataTable.h"
#include "core/entry/CellStore.h"
#include "core/base/TestChoices.h"

namespace ombrel {

// Extra data roles the grid's painter reads.
enum class TGridRole : int {
  Excluded = Qt::UserRole + 1,  // bool: the cell holds an excluded value
  MeanDataColumn,               // bool: the column holds typed mean-and-error data
  ColumnTitle,                  // QString (horizontal header): the column title under the heading
};

// A table model straight over a document's TDataTable: model row r, column c
// is data row r, data column c (grid row r + 2, grid column c + 1). Nothing is
// cached; every text is formatted from the table when it is asked for.
class TGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  TGridModel(TDataTable& table, QObject* parent);

  TDataTable& Table() const { return mTable; }
  void SetDataFormat(TDataFormat format);
  TDataFormat DataFormat() const { return mFormat; }
  void SetMeanIsSD(bool meanIsSD);
  bool MeanIsSD() const { return mMeanIsSD; }
  void SetAllowEditing(bool allow);
  bool AllowEditing() const { return mAllowEditing; }

  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Stores a typed value (the empty marker erases) and announces what shows
  // differently. The grid has checked the typed text already.
  virtual TCommitResult CommitValue(const QModelIndex& index, TReal value, const TAskEraseMeanData& askErase) = 0;
  // Whether typing into the cell is allowed at all (AllowEditing aside).
  virtual bool IsEditable(const QModelIndex& index) const = 0;

  // What a screen reader says for a cell ("Group B, row 3, 12.5") and for
  // a column or row heading.
  QString CellName(const QModelIndex& index) const;
  QString ColumnName(int column) const;
  virtual QString RowName(int row) const = 0;

  // The table changed behind the model's back: announce it.
  void RefreshAll();
  void RefreshColumn(int dataColumn);
  void RefreshCell(int dataRow, int dataColumn);
  void RefreshTitles();
  void RefreshRowTitle(int dataRow);

 protected:
  virtual QString RowCaption(int row) const = 0;

 private:
  TDataTable& mTable;
  TDataFormat mFormat = TDataFormat::Raw;
  bool mMeanIsSD = true;
  bool mAllowEditing = true;
};

// The data table page: 1000 rows of values.
class TRawDataModel : public TGridModel {
  Q_OBJECT

 public:
  TRawDataModel(TDataTable& table, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  TCommitResult CommitValue(const QModelIndex& index, TReal value, const TAskEraseMeanData& askErase) override;
  bool IsEditable(const QModelIndex& index) const override;
  QString RowName(int row) const override;

 protected:
  QString RowCaption(int row) const override;
};

// The summary page: model row r is summary grid row r + 2.
class TStatDataModel : public TGridModel {
  Q_OBJECT

 public:
  TStatDataModel(TDataTable& table, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  TCommitResult CommitValue(const QModelIndex& index, TReal value, const TAskEraseMeanData& askErase) override;
  bool IsEditable(const QModelIndex& index) const override;
  QString RowName(int row) const override;

 protected:
  QString RowCaption(int row) const override;
};

// Text for the table's 8-bit fields from an edit field: UTF-8, shortened by
// whole characters to at most `maxBytes` bytes.
std::string ToTableText(const QString& text, int maxBytes);

}  // namespace ombrel
