#include "gui/entry/GridFormat.h"

#include "core/base/DataTable.h"

namespace ombrel {

QString ColumnHeading(TDataFormat format, int dataColumn) {
  const QChar letter = QLatin1Char(ColumnLetter(dataColumn));
  switch (format) {
    case TDataFormat::XY:
      return dataColumn == 0 ? QStringLiteral("X") : QStringLiteral("Y%1").arg(dataColumn);
    case TDataFormat::MultipleRegression:
      return QStringLiteral("Variable ") + letter;
    case TDataFormat::LargerTable:
      return QStringLiteral("Outcome ") + letter;
    case TDataFormat::Raw:
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
    case TDataFormat::TwoByTwo:
      break;
  }
  return QStringLiteral("Group ") + letter;
}

}  // namespace ombrel
