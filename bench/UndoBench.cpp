// The cost of an undo step on a full table (1001 rows by 26 columns): the
// copy taken as the baseline of each data change, and the change recorded
// when every cell differs.
#include <string>

#include "Bench.h"
#include "core/base/TableChange.h"
#include "core/document/DataChange.h"
#include "core/document/Document.h"

namespace {

using namespace ombrel;

// Every cell filled, every row titled.
const TDocument& FullDocument(TReal offset) {
  static TDocument documents[2];
  TDocument& document = documents[offset == 0 ? 0 : 1];
  if (!document.Table.HasData()) {
    for (int r = 0; r < MaxRows; ++r) {
      document.Table.SetRowTitle(r, "row " + std::to_string(r));
      for (int c = 0; c < MaxColumns; ++c) document.Table.SetValue(r, c, static_cast<TReal>(r * c) + offset + 0.5L);
    }
  }
  return document;
}

OMBREL_BENCHMARK("CaptureDataState, full table", 5) {
  const TDataState state = CaptureDataState(FullDocument(0));
  static_cast<void>(state.Table.LastRow());
}

OMBREL_BENCHMARK("TDataChange::Between, every cell changed", 10) {
  static const TDataState before = CaptureDataState(FullDocument(0));
  const TDataChange change = TDataChange::Between(before, FullDocument(1));
  static_cast<void>(change.IsEmpty());
}

std::size_t TableBytes(const TDataTable& table) {
  std::size_t bytes = sizeof(TDataTable) + std::size_t{MaxRows} * MaxColumns * (sizeof(TReal) + 1) +
                      std::size_t{MaxRows} * sizeof(TReal);
  for (int r = 0; r < MaxRows; ++r) bytes += sizeof(std::string) + table.RowTitle(r).capacity();
  return bytes;
}

const bench::TNoteRegistrar MemoryNote([] {
  const TDataState before = CaptureDataState(FullDocument(0));
  const TDataChange change = TDataChange::Between(before, FullDocument(1));
  return "Memory: baseline copy of a full table " + std::to_string(TableBytes(before.Table) / 1024) +
         " kB; undo step with every cell changed " + std::to_string(change.MemoryUsed() / 1024) + " kB";
});

}  // namespace
