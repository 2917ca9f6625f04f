#include "core/entry/Transforms.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "core/base/Index.h"
#include "core/entry/CellStore.h"
#include "core/entry/CellText.h"
#include "core/base/NumberText.h"

namespace ombrel {

namespace {

constexpr std::array<std::string_view, TransformCount> Captions = {
    "Y=Y squared", "Y=Log(Y)", "Y=Ln(Y)",     "Y=10^Y",   "Y=exp(Y)", "Y=1/Y", "Y=SQRT(Y)", "Y=LOGIT(Y)", "Y=sin(Y)",
    "Y=cos(Y)",    "Y=tan(Y)", "Y=arcsin(Y)", "Y=abs(Y)", "Y=K*Y",    "Y=Y+K", "Y=Y-K",     "Y=Y/K",
};

// The processor's sine and cosine instructions refuse arguments from 2^63 on;
// there the argument has no fractional digits and the old rule gives 0.
constexpr TReal LargestTrigArgument = 9223372036854775808.0L;  // 2^63

TReal Sine(TReal y) { return std::fabs(y) >= LargestTrigArgument ? 0.0L : std::sin(y); }
TReal Cosine(TReal y) { return std::fabs(y) >= LargestTrigArgument ? 0.0L : std::cos(y); }

// The formula alone; domain faults return the empty marker here so that no
// NaN is ever produced on purpose.
TReal Evaluate(TTransform transform, TReal y, TReal k) {
  switch (transform) {
    case TTransform::Square:
      return y * y;
    case TTransform::Log10:
      return y <= 0 ? EmptyValue : std::log10(y);
    case TTransform::Ln:
      return y <= 0 ? EmptyValue : std::log(y);
    case TTransform::Power10:
      return std::pow(10.0L, y);
    case TTransform::Exp:
      return std::exp(y);
    case TTransform::Reciprocal:
      return y == 0 ? EmptyValue : 1 / y;
    case TTransform::Sqrt:
      return y < 0 ? EmptyValue : std::sqrt(y);
    case TTransform::Logit: {
      if (y <= 0 || y >= 1) return EmptyValue;
      const TReal rest = k - y;
      if (rest == 0) return EmptyValue;
      const TReal ratio = y / rest;
      return ratio > 0 && std::isfinite(ratio) ? std::log(ratio) : EmptyValue;
    }
    case TTransform::Sin:
      return Sine(y);
    case TTransform::Cos:
      return Cosine(y);
    case TTransform::Tan: {
      const TReal cosine = Cosine(y);
      return cosine == 0 ? EmptyValue : Sine(y) / cosine;
    }
    case TTransform::ArcSin:
      return y < -1 || y > 1 ? EmptyValue : std::asin(y);
    case TTransform::Abs:
      return std::fabs(y);
    case TTransform::TimesK:
      return k * y;
    case TTransform::PlusK:
      return y + k;
    case TTransform::MinusK:
      return y - k;
    case TTransform::DivideK:
      return k == 0 ? EmptyValue : y / k;
  }
  return EmptyValue;
}

// The data rows the grid shows (the table's row 1000 is not reachable).
constexpr int LastGridDataRow = RawGridRowCount - 1 - FirstDataGridRow;

}  // namespace

TTransform TransformFromCode(int code) {
  if (code < 1 || code > TransformCount) return TTransform::Square;
  return static_cast<TTransform>(code);
}

int TransformCode(TTransform transform) { return static_cast<int>(transform); }

std::string_view TransformCaption(TTransform transform) {
  return Captions[static_cast<std::size_t>(TransformCode(transform) - 1)];
}

TKFieldRule KFieldRule(TTransform transform) {
  switch (transform) {
    case TTransform::Logit:
    case TTransform::TimesK:
    case TTransform::DivideK:
      return {true, 1};
    case TTransform::PlusK:
    case TTransform::MinusK:
      return {true, 0};
    default:
      return {false, 1};
  }
}

std::string KFieldText(TReal k) {
  if (IsEmpty(k)) return {};
  std::string text = FormatFixed(k, 9);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text.substr(0, static_cast<std::size_t>(KFieldLength));
}

TReal ParseKFieldText(std::string_view text) { return ParseCellText(text); }

TReal TransformValue(TTransform transform, TReal y, TReal k) {
  std::fexcept_t saved{};
  std::fegetexceptflag(&saved, FE_ALL_EXCEPT);
  std::feclearexcept(FE_ALL_EXCEPT);
  TReal value = Evaluate(transform, y, k);
  const bool faulted = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
  std::fesetexceptflag(&saved, FE_ALL_EXCEPT);
  // Values beyond the entry range would collide with the empty marker or
  // not survive saving and reading the document.
  if (faulted || !std::isfinite(value) || std::fabs(value) > MaxEnteredValue) value = EmptyValue;
  return value;
}

TDataRange DataRangeOf(const TGridRect& selection) {
  TDataRange range;
  range.FirstRow = std::max(selection.Top - FirstDataGridRow, 0);
  range.LastRow = std::min(selection.Bottom - FirstDataGridRow, LastGridDataRow);
  range.FirstColumn = std::max(selection.Left - FirstDataGridColumn, 0);
  range.LastColumn = std::min(selection.Right - FirstDataGridColumn, MaxColumns - 1);
  return range;
}

int CountImpossibleValues(const TDataTable& table, const TDataRange& range, TTransform transform, TReal k) {
  int count = 0;
  const int lastRow = std::min(range.LastRow, table.LastRow());
  for (int r = range.FirstRow; r <= lastRow; ++r)
    for (int c = range.FirstColumn; c <= range.LastColumn; ++c) {
      const TReal y = table.GetValue(r, c);
      if (!IsEmpty(y) && IsEmpty(TransformValue(transform, y, k))) ++count;
    }
  return count;
}

std::string ImpossibleValuesQuestion(int count) {
  return "The transformation you have selected is mathematically impossible with " + std::to_string(count) +
         " of the values. These values will be erased. Continue?";
}

TTransformOutcome ApplyTransform(TDataTable& table, const TDataRange& range, TTransform transform, TReal k) {
  TTransformOutcome outcome;
  // Rows past LastRow hold nothing to transform; erasing may lower LastRow
  // during the pass, so it is read once.
  const int lastRow = std::min(range.LastRow, table.LastRow());
  for (int r = range.FirstRow; r <= lastRow; ++r)
    for (int c = range.FirstColumn; c <= range.LastColumn; ++c) {
      const TReal y = table.GetValue(r, c);
      if (IsEmpty(y)) continue;
      const TReal value = TransformValue(transform, y, k);
      StoreCellAdjusted(table, r, c, value);
      ++outcome.Transformed;
      outcome.ColumnTouched[At(c)] = true;
      if (IsEmpty(value)) {
        ++outcome.Erased;
        MarkColumnIfEmpty(table, c);
        table.ShrinkExtentsAfterErase(r, c);
      }
    }
  return outcome;
}

}  // namespace ombrel
