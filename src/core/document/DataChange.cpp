#include "core/document/DataChange.h"

#include "core/document/Document.h"

namespace ombrel {

TDataState CaptureDataState(const TDocument& document) {
  return {document.Table, document.TwoByTwo, document.Format, document.Family, document.MeanIsSD};
}

TDataChange TDataChange::Between(const TDataState& before, const TDocument& after) {
  TDataChange change;
  change.mTable = TTableChange::Between(before.Table, after.Table);
  TRest restBefore{before.TwoByTwo, before.Format, before.Family, before.MeanIsSD};
  TRest restAfter{after.TwoByTwo, after.Format, after.Family, after.MeanIsSD};
  if (!(restBefore == restAfter)) change.mRest = TRestChange{std::move(restBefore), std::move(restAfter)};
  return change;
}

void TDataChange::Restore(TDocument& document, bool after) const {
  if (after)
    mTable.Apply(document.Table);
  else
    mTable.Revert(document.Table);
  if (mRest) {
    const TRest& rest = after ? mRest->After : mRest->Before;
    document.TwoByTwo = rest.TwoByTwo;
    document.Format = rest.Format;
    document.Family = rest.Family;
    document.MeanIsSD = rest.MeanIsSD;
  }
  document.MarkChanged();
}

void TDataChange::Undo(TDocument& document) const { Restore(document, false); }

void TDataChange::Redo(TDocument& document) const { Restore(document, true); }

std::size_t TDataChange::MemoryUsed() const { return mTable.MemoryUsed() + (mRest ? sizeof(TRestChange) : 0); }

}  // namespace ombrel
