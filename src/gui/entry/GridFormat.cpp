#include "gui/entry/GridFormat.h"

#include "core/base/DataTable.h"

namespace ombrel {

QString ColumnHeading(TGridFormat format, int dataColumn) {
  const QChar letter = QLatin1Char(ColumnLetter(dataColumn));
  switch (format) {
    case TGridFormat::XY:
      return dataColumn == 0 ? QStringLiteral("X") : QStringLiteral("Y%1").arg(dataColumn);
    case TGridFormat::MultipleRegression:
      return QStringLiteral("Variable ") + letter;
    case TGridFormat::ContingencyTable:
      return QStringLiteral("Outcome ") + letter;
    case TGridFormat::RawData:
    case TGridFormat::MeanSDN:
    case TGridFormat::MeanSEMN:
    case TGridFormat::TwoByTwo:
      break;
  }
  return QStringLiteral("Group ") + letter;
}

bool ShowsFullStatistics(TGridFormat format) {
  return format == TGridFormat::RawData || format == TGridFormat::XY || format == TGridFormat::MultipleRegression;
}

}  // namespace ombrel
