#pragma once

// The sample files of tests/data/import, written as other programs write
// them, reading a text as an import file, and what a column of an imported
// table adds up to.

#include <sstream>
#include <string>

#include "core/base/DataTable.h"
#include "core/entry/TextImport.h"

namespace ombrel {

inline std::string ImportSamplePath(const std::string& name) {
  return std::string(OMBREL_TEST_DATA_DIR) + "/import/" + name;
}

// A text read as an import file.
inline TImportedFile ReadImportString(const std::string& text, TImportSeparators separators = {}) {
  std::istringstream in(text);
  return ReadImportText(in, separators);
}

// An expected cell of an imported table: row, column, value (EmptyValue for
// an empty cell).
struct TImportedCell {
  int Row;
  int Column;
  long double Value;
};

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
