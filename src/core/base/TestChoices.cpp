#include "core/base/TestChoices.h"

namespace ombrel {

TTestFamily FamilyOfFormat(TDataFormat format) {
  switch (format) {
    case TDataFormat::XY:
    case TDataFormat::MultipleRegression:
      return TTestFamily::Regression;
    case TDataFormat::TwoByTwo:
    case TDataFormat::LargerTable:
      return TTestFamily::Contingency;
    case TDataFormat::Raw:
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      break;
  }
  return TTestFamily::CompareMeans;
}

TDataFormat DefaultFormat(TTestFamily family) {
  switch (family) {
    case TTestFamily::Regression:
      return TDataFormat::XY;
    case TTestFamily::Contingency:
      return TDataFormat::TwoByTwo;
    case TTestFamily::CompareMeans:
      break;
  }
  return TDataFormat::Raw;
}

bool IsAveragedFormat(TDataFormat format) { return format == TDataFormat::MeanSdN || format == TDataFormat::MeanSemN; }

bool IsCompareMeansFormat(TDataFormat format) { return format == TDataFormat::Raw || IsAveragedFormat(format); }

bool FormatEnabled(TTestFamily family, TDataFormat format, bool tableHasData) {
  if (FamilyOfFormat(format) != family) return false;
  return !(IsAveragedFormat(format) && tableHasData);
}

bool DataFormatFromCode(std::int32_t code, TDataFormat& format) {
  if (code < static_cast<std::int32_t>(TDataFormat::Raw) ||
      code > static_cast<std::int32_t>(TDataFormat::MultipleRegression))
    return false;
  format = static_cast<TDataFormat>(code);
  return true;
}

}  // namespace ombrel
