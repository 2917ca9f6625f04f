#pragma once

#include <vector>

#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"
#include "core/entry/CellStore.h"

namespace ombrel::test {

// A fresh document table: every column ready for typed means.
inline TDataTable NewTable() {
  TDataTable table;
  table.ResetForNewDocument();
  return table;
}

// Stores values into rows 0.. of a column as typing does; empty values leave
// their cells alone.
inline void StoreColumn(TDataTable& table, int column, const std::vector<TReal>& values) {
  for (std::size_t r = 0; r < values.size(); ++r)
    if (!IsEmpty(values[r])) StoreCell(table, static_cast<int>(r), column, values[r]);
}

}  // namespace ombrel::test
