#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/base/DataTable.h"
#include "core/base/TableChange.h"
#include "core/base/TestChoices.h"
#include "core/base/TwoByTwoTable.h"

namespace ombrel {

class TDocument;

// The part of a document that editing changes and undo restores: the data
// table, the two-by-two table and the data format with what comes with it.
// Test choices, notes, the step and the results are not part of it.
struct TDataState {
  TDataTable Table;
  TTwoByTwoTable TwoByTwo;
  TDataFormat Format = TDataFormat::Raw;
  TTestFamily Family = TTestFamily::CompareMeans;
  std::uint8_t MeanIsSD = 1;
};

// A copy of the document's data state (about half a megabyte: the table).
TDataState CaptureDataState(const TDocument& document);

// What one edit did to a document's data state: a TTableChange plus the
// two-by-two table and format fields before and after when they differ.
class TDataChange {
 public:
  // The change from `before` to the document's present data state.
  static TDataChange Between(const TDataState& before, const TDocument& after);

  bool IsEmpty() const { return mTable.IsEmpty() && !mRest; }
  // Takes the document back to the state before the edit, or forward to the
  // state after it; either way its results become stale.
  void Undo(TDocument& document) const;
  void Redo(TDocument& document) const;
  std::size_t MemoryUsed() const;

 private:
  struct TRest {
    TTwoByTwoTable TwoByTwo;
    TDataFormat Format = TDataFormat::Raw;
    TTestFamily Family = TTestFamily::CompareMeans;
    std::uint8_t MeanIsSD = 1;

    bool operator==(const TRest&) const = default;
  };
  struct TRestChange {
    TRest Before;
    TRest After;
  };

  void Restore(TDocument& document, bool after) const;

  TTableChange mTable;
  std::optional<TRestChange> mRest;
};

}  // namespace ombrel
