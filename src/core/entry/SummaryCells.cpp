#include "core/entry/SummaryCells.h"

#include <cmath>
#include <cstdint>

#include "core/base/NumberText.h"
#include "core/stats/ColumnStats.h"

namespace ombrel {

namespace {

// Grid rows of the summary fields.
constexpr int MeanRow = 2;
constexpr int TypedDispersionRow = 3;
constexpr int NRow = 4;
constexpr int DerivedDispersionRow = 6;
constexpr int LowerLimitRow = 7;
constexpr int UpperLimitRow = 8;
constexpr int MinimumRow = 10;
constexpr int MedianRow = 11;
constexpr int MaximumRow = 12;
constexpr int KSRow = 14;
constexpr int PRow = 15;
constexpr int PassedRow = 16;

constexpr int MeanDecimals = 10;
constexpr int SummaryDigits = -5;
constexpr TReal LargestN = 2147483647.0L;
// Means outside this range would show as 0 or as a long run of digits in
// fixed form; they are written in scientific form instead.
constexpr TReal SmallestFixedMean = 1e-6L;
constexpr TReal LargestFixedMean = 1e15L;
constexpr TReal PUpperLimit = 0.10L;
constexpr TReal PLowerLimit = 0.0001L;
constexpr int PDecimals = 4;
constexpr int PWidth = 6;

bool IsMissing(TReal value) { return IsEmpty(value) || !std::isfinite(value); }

std::string MeanText(TReal value) {
  if (IsMissing(value)) return std::string();
  const TReal magnitude = std::fabs(value);
  if (value != 0 && (magnitude < SmallestFixedMean || magnitude >= LargestFixedMean)) return FormatScientific(value);
  std::string text = FormatFixed(value, MeanDecimals);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

// The number text of WriteNumber at digits -5, without its added spaces.
std::string StatisticText(TReal value) {
  if (IsMissing(value)) return std::string();
  return NumberText(value, 0, DecimalsForDigits(value, SummaryDigits));
}

std::string PValueText(TReal p) {
  if (IsMissing(p)) return std::string();
  if (p > PUpperLimit) return ">0.10";
  if (p < PLowerLimit) return "<0.0001";
  return PadLeft(FormatFixed(p, PDecimals), PWidth);
}

bool RawDataColumn(const TDataTable& table, int column) {
  return table.MeanEntryColumn[static_cast<std::size_t>(column)] == 0;
}

// The summary field a row shows, for the rows that hold one number; null for
// N, the normality rows and the separators. (Const or not, as the summary.)
template <typename TSummary>
auto NumberField(TSummary& summary, int gridRow, bool sdFormat) -> decltype(&summary.Mean) {
  switch (gridRow) {
    case MeanRow:
      return &summary.Mean;
    case TypedDispersionRow:
      return sdFormat ? &summary.SD : &summary.SEM;
    case DerivedDispersionRow:
      return sdFormat ? &summary.SEM : &summary.SD;
    case LowerLimitRow:
      return &summary.LowerCI;
    case UpperLimitRow:
      return &summary.UpperCI;
    case MinimumRow:
      return &summary.Minimum;
    case MedianRow:
      return &summary.Median;
    case MaximumRow:
      return &summary.Maximum;
    default:
      return nullptr;
  }
}

std::int32_t TypedN(TReal value) {
  if (IsEmpty(value) || !(value >= 2 && value <= LargestN)) return 0;
  return static_cast<std::int32_t>(std::llround(value));
}

void ClearAllButMean(TColumnSummary& summary) {
  summary.N = 0;
  summary.SD = EmptyValue;
  summary.SEM = EmptyValue;
  summary.Median = EmptyValue;
  summary.Minimum = EmptyValue;
  summary.Maximum = EmptyValue;
  summary.UpperCI = EmptyValue;
  summary.LowerCI = EmptyValue;
  summary.NormalityKS = EmptyValue;
  summary.NormalityP = EmptyValue;
  summary.PassedNormality = 0;
}

}  // namespace

bool ShowsFullStatistics(TDataFormat format) {
  return format == TDataFormat::Raw || format == TDataFormat::XY || format == TDataFormat::MultipleRegression;
}

std::string SummaryRowLabel(int gridRow, bool sdFormat, bool fullStatistics) {
  switch (gridRow) {
    case MeanRow:
      return "Mean";
    case TypedDispersionRow:
      return sdFormat ? "Standard deviation (SD)" : "SEM";
    case NRow:
      return "Sample size (N)";
    case DerivedDispersionRow:
      return sdFormat ? "Std. error of mean(SEM)" : "SD";
    case LowerLimitRow:
      return "Lower 95% conf. limit";
    case UpperLimitRow:
      return "Upper 95% conf. limit";
    default:
      break;
  }
  if (!fullStatistics) return std::string();
  switch (gridRow) {
    case MinimumRow:
      return "Minimum";
    case MedianRow:
      return "Median (50th percentile)";
    case MaximumRow:
      return "Maximum";
    case KSRow:
      return "Normality test KS";
    case PRow:
      return "Normality test P value";
    case PassedRow:
      return "Passed normality test?";
    default:
      return std::string();
  }
}

std::string SummaryCellText(const TDataTable& table, int column, int gridRow, bool sdFormat, bool fullStatistics) {
  if (column < 0 || column >= MaxColumns) return std::string();
  if (gridRow >= MinimumRow && !fullStatistics) return std::string();
  const TColumnSummary& summary = table.Summary(column);
  switch (gridRow) {
    case MeanRow:
      return MeanText(summary.Mean);
    // N = -1 marks an emptied column; like 0 it shows nothing.
    case NRow:
      return summary.N > 0 ? std::to_string(summary.N) : std::string();
    case KSRow:
      return StatisticText(summary.NormalityKS);
    case PRow:
      if (IsEmpty(summary.NormalityKS))
        return RawDataColumn(table, column) && summary.N >= 1 && summary.N <= 4 ? "Too few values" : "";
      return PValueText(summary.NormalityP);
    case PassedRow:
      if (IsEmpty(summary.NormalityKS)) return std::string();
      return summary.PassedNormality != 0 ? "Yes" : "No";
    default:
      break;
  }
  const TReal* field = NumberField(summary, gridRow, sdFormat);
  return field != nullptr ? StatisticText(*field) : std::string();
}

TSummaryEdit SetSummaryValue(TDataTable& table, int column, int gridRow, bool sdFormat, TReal value) {
  TSummaryEdit edit;
  if (column < 0 || column >= MaxColumns) return edit;
  TColumnSummary& summary = table.Summary(column);
  if (gridRow == NRow) {
    const TReal shown = summary.N > 0 ? static_cast<TReal>(summary.N) : EmptyValue;
    if (value == shown) return edit;
    summary.N = TypedN(value);
    if (summary.N <= 1) ClearAllButMean(summary);
  } else {
    TReal* field = NumberField(summary, gridRow, sdFormat);
    if (field == nullptr || *field == value) return edit;
    *field = value;
  }
  edit.Changed = true;
  // A raw-data column's statistics come from its values whatever was typed.
  if (RawDataColumn(table, column)) {
    ComputeRawColumnStatistics(table, column);
  } else {
    DeriveAveragedStatistics(summary, sdFormat);
  }
  edit.MeanMissing = IsEmpty(summary.Mean);
  return edit;
}

}  // namespace ombrel
