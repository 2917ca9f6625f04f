#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/base/DataTable.h"
#include "core/entry/GridSelection.h"

namespace ombrel {

// The transforms of the Transform command, in the order of the dialog's
// list; the transform code is the list position + 1.
enum class TTransform {
  Square = 1,
  Log10,
  Ln,
  Power10,
  Exp,
  Reciprocal,
  Sqrt,
  Logit,
  Sin,
  Cos,
  Tan,
  ArcSin,
  Abs,
  TimesK,
  PlusK,
  MinusK,
  DivideK,
};

inline constexpr int TransformCount = 17;

// The transform with code 1..17 (Square for codes out of range).
TTransform TransformFromCode(int code);
int TransformCode(TTransform transform);

// The list caption ("Y=Y squared", "Y=Log(Y)", ...).
std::string_view TransformCaption(TTransform transform);

// Whether the transform uses the constant K, and the value K is preset to
// when the transform is chosen (only meaningful when it uses K).
struct TKFieldRule {
  bool Enabled = false;
  TReal Preset = 1;
};
TKFieldRule KFieldRule(TTransform transform);

// The text of the K field (10 characters, up to 9 decimals, trailing zeros
// dropped: "1", "0.25") and its reading (the cell rules: "1,5" is 1.5; the
// empty marker when it is not a number).
inline constexpr int KFieldLength = 10;
std::string KFieldText(TReal k);
TReal ParseKFieldText(std::string_view text);

// The new value of one cell: the empty marker when the formula is
// impossible for y (log of 0 or less, 1/0, square root of a negative, logit
// outside 0 < y < 1, arc sine outside -1..1, Y/0) or when its result is not
// a finite number within the table's value range (+-1.5E38). Computed in
// 80-bit precision with the library's long double functions; sine and
// cosine of |y| >= 2^63, where the argument has no fractional digits left,
// give 0. The caller's floating-point flags are left as they were.
TReal TransformValue(TTransform transform, TReal y, TReal k);

// The cells of a grid selection in data coordinates, clipped to the data
// table (rows 0..999, columns 0..25).
struct TDataRange {
  int FirstRow = 0;
  int LastRow = -1;
  int FirstColumn = 0;
  int LastColumn = -1;
};
TDataRange DataRangeOf(const TGridRect& selection);

// Counting pass: how many cells of the range hold a number whose transform
// is impossible. Empty cells are not counted.
int CountImpossibleValues(const TDataTable& table, const TDataRange& range, TTransform transform, TReal k);

// The question asked before impossible values are erased.
std::string ImpossibleValuesQuestion(int count);

// What the writing pass did, for the redisplay.
struct TTransformOutcome {
  int Transformed = 0;  // cells that held a number
  int Erased = 0;       // of them, cells left empty
  std::array<bool, MaxColumns> ColumnTouched{};
};

// Writing pass, row by row from the top, column by column from the left:
// every cell of the range that holds a number gets its transformed value
// (StoreCellAdjusted: the column's decimals follow the new values); an
// impossible value empties the cell, clears its exclude flag and lets an
// emptied column take typed means again (MarkColumnIfEmpty); the extents
// shrink past erased cells. Empty cells stay empty.
TTransformOutcome ApplyTransform(TDataTable& table, const TDataRange& range, TTransform transform, TReal k);

}  // namespace ombrel
