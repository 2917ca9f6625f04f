#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/NistFile.h"
#include "core/base/DataTable.h"

namespace ombrel::test {

// Full-precision text of an extended value for failure messages.
inline std::string Digits(TReal value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 21);
  return std::string(buffer, result.ptr);
}

// |actual - expected| <= tolerance, compared in extended precision (EXPECT_NEAR
// would round both to double first).
inline ::testing::AssertionResult NearExtended(const char* actualText, const char* expectedText, const char*,
                                               TReal actual, TReal expected, TReal tolerance) {
  if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actualText << " = " << Digits(actual) << ", " << expectedText << " = "
                                       << Digits(expected) << ", difference " << Digits(actual - expected)
                                       << " exceeds " << Digits(tolerance);
}

#define EXPECT_NEAR_EXTENDED(actual, expected, tolerance) \
  EXPECT_PRED_FORMAT3(::ombrel::test::NearExtended, actual, expected, tolerance)

// Writes values into rows 0.. of a column, as typing would.
inline void FillColumn(TDataTable& table, int column, const std::vector<TReal>& values) {
  for (std::size_t row = 0; row < values.size(); ++row) table.SetValue(static_cast<int>(row), column, values[row]);
  table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
}

// The data block of a NIST univariate reference file: one value a line from
// line 61 on.
inline std::vector<TReal> ReadNistUnivariate(const std::string& name) {
  std::ifstream file = OpenNistFile(name);
  std::vector<TReal> values;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (number < 61) continue;
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    const auto last = line.find_last_not_of(" \t\r");
    TReal value = 0;
    const char* begin = line.data() + first;
    const char* end = line.data() + last + 1;
    if (std::from_chars(begin, end, value).ptr == end) values.push_back(value);
  }
  return values;
}

}  // namespace ombrel::test
