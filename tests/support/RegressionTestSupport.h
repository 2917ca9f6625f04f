#pragma once

// Shared by the regression tests: tables filled from vectors, line
// comparisons, and the number text a report prints for a value.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/base/DataTable.h"
#include "core/base/NumberText.h"
#include "core/report/ReportText.h"

namespace ombrel::test {

// Column c of the table gets columns[c]; rows beyond a column's length stay
// empty, as do values equal to the empty marker.
inline void FillColumns(TDataTable& table, const std::vector<std::vector<long double>>& columns) {
  for (std::size_t c = 0; c < columns.size(); ++c)
    for (std::size_t r = 0; r < columns[c].size(); ++r)
      if (!IsEmpty(columns[c][r])) table.SetValue(static_cast<int>(r), static_cast<int>(c), columns[c][r]);
}

inline void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(actual[i], expected[i]);
  }
  EXPECT_EQ(actual.size(), expected.size());
}

// The digits WriteNumber prints for a value with digits -5.
inline std::string PrintedDigits(long double value) { return NumberText(value, 0, DecimalsForDigits(value, -5)); }

// The reference value rounded to the decimals the computed value is printed
// with: equal texts mean every printed digit is right. (The digit rule gives
// 0.99999999999996 one decimal more than 1: "1.0000" against "1.000".)
inline std::string ReferenceDigits(long double reference, long double printed) {
  return NumberText(reference, 0, DecimalsForDigits(printed, -5));
}

// Number of agreeing significant digits (log relative error), capped at 19.
inline double AgreeingDigits(long double actual, long double expected) {
  if (actual == expected) return 19;
  if (expected == 0) return -std::log10(std::fabs(static_cast<double>(actual)));
  const double lre = -std::log10(std::fabs(static_cast<double>((actual - expected) / expected)));
  return lre > 19 ? 19 : lre;
}

}  // namespace ombrel::test
