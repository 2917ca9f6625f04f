#include "gui/entry/GridModels.h"

#include <QApplication>

#include "core/entry/CellText.h"
#include "core/entry/GridSelection.h"
#include "core/entry/SummaryCells.h"
#include "gui/entry/GridFormat.h"
#include "gui/common/CoreText.h"

namespace ombrel {

std::string ToTableText(const QString& text, int maxBytes) {
  QString shortened = text;
  QByteArray bytes = shortened.toUtf8();
  while (bytes.size() > maxBytes && !shortened.isEmpty()) {
    shortened.chop(shortened.size() >= 2 && shortened.at(shortened.size() - 1).isLowSurrogate() ? 2 : 1);
    bytes = shortened.toUtf8();
  }
  return bytes.toStdString();
}

TGridModel::TGridModel(TDataTable& table, QObject* parent) : QAbstractTableModel(parent), mTable(table) {}

void TGridModel::SetDataFormat(TDataFormat format) {
  if (format == mFormat) return;
  mFormat = format;
  RefreshAll();
}

void TGridModel::SetMeanIsSD(bool meanIsSD) {
  if (meanIsSD == mMeanIsSD) return;
  mMeanIsSD = meanIsSD;
  RefreshAll();
}

void TGridModel::SetAllowEditing(bool allow) { mAllowEditing = allow; }

int TGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : MaxColumns; }

QString TGridModel::ColumnName(int column) const {
  const QString title = FromCore(mTable.Summary(column).Title).trimmed();
  const QString heading = ColumnHeading(mFormat, column);
  return title.isEmpty() ? heading : heading + QStringLiteral(": ") + title;
}

QString TGridModel::CellName(const QModelIndex& index) const {
  const QString value = data(index, Qt::DisplayRole).toString().trimmed();
  QString name = ColumnName(index.column()) + QStringLiteral(", ") + RowName(index.row()) + QStringLiteral(", ") +
                 (value.isEmpty() ? QStringLiteral("empty") : value);
  if (data(index, static_cast<int>(TGridRole::Excluded)).toBool()) name += QStringLiteral(", excluded");
  return name;
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= MaxColumns) return {};
    if (role == Qt::DisplayRole) return ColumnHeading(mFormat, section);
    if (role == Qt::AccessibleTextRole) return ColumnName(section);
    if (role == static_cast<int>(TGridRole::ColumnTitle)) return FromCore(mTable.Summary(section).Title);
    return {};
  }
  if (section < 0 || section >= rowCount()) return {};
  if (role == Qt::DisplayRole) return RowCaption(section);
  if (role == Qt::AccessibleTextRole) return RowName(section);
  return {};
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (mAllowEditing && IsEditable(index)) result |= Qt::ItemIsEditable;
  return result;
}

void TGridModel::RefreshAll() {
  emit headerDataChanged(Qt::Horizontal, 0, MaxColumns - 1);
  emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  emit dataChanged(index(0, 0), index(rowCount() - 1, MaxColumns - 1));
}

void TGridModel::RefreshColumn(int dataColumn) {
  emit dataChanged(index(0, dataColumn), index(rowCount() - 1, dataColumn));
}

void TGridModel::RefreshCell(int dataRow, int dataColumn) {
  const QModelIndex cell = index(dataRow, dataColumn);
  emit dataChanged(cell, cell);
}

void TGridModel::RefreshTitles() { emit headerDataChanged(Qt::Horizontal, 0, MaxColumns - 1); }

void TGridModel::RefreshRowTitle(int dataRow) { emit headerDataChanged(Qt::Vertical, dataRow, dataRow); }

TRawDataModel::TRawDataModel(TDataTable& table, QObject* parent) : TGridModel(table, parent) {}

int TRawDataModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : RawGridRowCount - FirstDataGridRow;
}

QVariant TRawDataModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row();
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return FromCore(FormatCellValue(Table().GetValue(row, column), Table().DisplayDecimals(column)));
    case Qt::EditRole:
      return FromCore(FormatCellValue(Table().GetValue(row, column), Table().DisplayDecimals(column))).trimmed();
    case static_cast<int>(TGridRole::Excluded):
      return Table().IsExcluded(row, column) && !Table().IsCellEmpty(row, column);
    case static_cast<int>(TGridRole::MeanDataColumn):
      return HoldsMeanData(Table(), column);
    case Qt::AccessibleTextRole:
      return CellName(index);
    default:
      return {};
  }
}

TCommitResult TRawDataModel::CommitValue(const QModelIndex& index, TReal value, const TAskEraseMeanData& askErase) {
  const TCommitResult result = CommitCellValue(Table(), index.row(), index.column(), value, askErase);
  if (result.Redisplay == TRedisplay::Column)
    RefreshColumn(index.column());
  else
    RefreshCell(index.row(), index.column());
  return result;
}

bool TRawDataModel::IsEditable(const QModelIndex& index) const { return index.isValid(); }

QString TRawDataModel::RowCaption(int row) const { return FromCore(Table().RowTitle(row)); }

QString TRawDataModel::RowName(int row) const {
  // Untitled rows show their number as their title.
  const QString title = RowCaption(row).trimmed();
  const QString number = QStringLiteral("row %1").arg(row + 1);
  return title.isEmpty() || title == QString::number(row + 1) ? number : number + QStringLiteral(": ") + title;
}

TStatDataModel::TStatDataModel(TDataTable& table, QObject* parent) : TGridModel(table, parent) {}

int TStatDataModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : StatGridRowCount - FirstDataGridRow;
}

QVariant TStatDataModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::AccessibleTextRole) return CellName(index);
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const QString text = FromCore(SummaryCellText(Table(), index.column(), index.row() + FirstDataGridRow, MeanIsSD(),
                                                ShowsFullStatistics(DataFormat())));
  return role == Qt::EditRole ? text.trimmed() : text;
}

TCommitResult TStatDataModel::CommitValue(const QModelIndex& index, TReal value, const TAskEraseMeanData&) {
  TCommitResult result;
  if (!IsEditable(index)) return result;
  const int column = index.column();
  const int gridRow = index.row() + FirstDataGridRow;
  if (value == SummaryEntryValue(Table(), column, gridRow, MeanIsSD())) return result;
  SetSummaryValue(Table(), column, gridRow, MeanIsSD(), value);
  if (gridRow == FirstDataGridRow && IsEmpty(Table().Summary(column).Mean)) QApplication::beep();
  result.Outcome = TCommitOutcome::Stored;
  result.Redisplay = TRedisplay::Column;
  RefreshColumn(column);
  return result;
}

bool TStatDataModel::IsEditable(const QModelIndex& index) const {
  return index.isValid() && DataFormat() != TDataFormat::MultipleRegression &&
         IsSummaryEntryCell(Table(), index.column(), index.row() + FirstDataGridRow);
}

QString TStatDataModel::RowName(int row) const {
  const QString caption = RowCaption(row).trimmed();
  return caption.isEmpty() ? QStringLiteral("row %1").arg(row + 1) : caption;
}

QString TStatDataModel::RowCaption(int row) const {
  return FromCore(SummaryRowLabel(row + FirstDataGridRow, MeanIsSD(), ShowsFullStatistics(DataFormat())));
}

}  // namespace ombrel
