#pragma once

#include <array>
#include <string>

#include "core/base/EmptyValue.h"

namespace ombrel {

// The four counts of a two-by-two contingency table and their titles. Kept
// apart from the data table; the table's title is the data set title.
//   A B
//   C D
struct TTwoByTwoTable {
  TReal A = EmptyValue;
  TReal B = EmptyValue;
  TReal C = EmptyValue;
  TReal D = EmptyValue;

  enum TitleIndex { Column1Title, Column2Title, Row1Title, Row2Title };
  std::array<std::string, 4> Titles;

  static constexpr int MaxTitleLength = 15;

  // Derived totals: empty unless both terms are present.
  TReal Row1Total() const { return Sum(A, B); }
  TReal Row2Total() const { return Sum(C, D); }
  TReal Column1Total() const { return Sum(A, C); }
  TReal Column2Total() const { return Sum(B, D); }
  TReal GrandTotal() const { return Sum(Row1Total(), Row2Total()); }

  bool AllCountsEmpty() const { return IsEmpty(A) && IsEmpty(B) && IsEmpty(C) && IsEmpty(D); }

  void Reset() { *this = TTwoByTwoTable{}; }

  bool operator==(const TTwoByTwoTable&) const = default;

 private:
  static TReal Sum(TReal x, TReal y) { return IsEmpty(x) || IsEmpty(y) ? EmptyValue : x + y; }
};

}  // namespace ombrel
