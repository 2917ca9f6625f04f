#pragma once

// The sample files of tests/data/import, written as other programs write
// them, and what a column of an imported table adds up to.

#include <string>

#include "core/base/DataTable.h"

namespace ombrel {

inline std::string ImportSamplePath(const std::string& name) {
  return std::string(OMBREL_TEST_DATA_DIR) + "/import/" + name;
}

struct TColumnNMean {
  int N = 0;
  long double Mean = 0;
};

// N and mean of the values of a column (empty cells left out).
inline TColumnNMean ColumnNMean(const TDataTable& table, int column) {
  TColumnNMean result;
  long double sum = 0;
  for (int r = 0; r < MaxRows; ++r) {
    const long double v = table.GetValue(r, column);
    if (IsEmpty(v)) continue;
    ++result.N;
    sum += v;
  }
  if (result.N > 0) result.Mean = sum / result.N;
  return result;
}

}  // namespace ombrel
