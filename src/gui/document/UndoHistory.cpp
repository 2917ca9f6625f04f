#include "gui/document/UndoHistory.h"

#include <QUndoStack>
#include <utility>
#include <vector>

#include "gui/document/Analyze.h"

namespace ombrel {

// One step of the history. The change is already done when it is pushed, so
// the push's redo does nothing.
class TDataUndoCommand : public QUndoCommand {
 public:
  TDataUndoCommand(TUndoHistory& history, const QString& action, TDataChange change)
      : QUndoCommand(action), mHistory(history), mChange(std::move(change)) {}

  void undo() override {
    if (!mHistory.mRebuilding) mHistory.Restore(mChange, false);
  }
  void redo() override {
    if (std::exchange(mPushed, false) || mHistory.mRebuilding) return;
    mHistory.Restore(mChange, true);
  }

  const TDataChange& Change() const { return mChange; }
  TDataChange TakeChange() { return std::move(mChange); }

 private:
  TUndoHistory& mHistory;
  TDataChange mChange;
  bool mPushed = true;
};

TUndoHistory::TUndoHistory(Analyze& form)
    : QObject(&form), mForm(form), mStack(new QUndoStack(this)), mBaseline(CaptureDataState(form.Document())) {
  mStack->setUndoLimit(DefaultStepLimit);
}

TUndoHistory::~TUndoHistory() = default;

void TUndoHistory::Sync() { mBaseline = CaptureDataState(mForm.Document()); }

bool TUndoHistory::Record(const QString& action) {
  mForm.Document().KeepFormatTitles();
  TDataChange change = TDataChange::Between(mBaseline, mForm.Document());
  if (change.IsEmpty()) return false;
  Sync();
  mStack->push(new TDataUndoCommand(*this, action, std::move(change)));
  KeepWithinMemory();
  return true;
}

bool TUndoHistory::HasUnrecordedChange() const { return !TDataChange::Between(mBaseline, mForm.Document()).IsEmpty(); }

void TUndoHistory::SetLimits(int steps, std::size_t bytes) {
  mStack->setUndoLimit(steps);
  mMemoryLimit = bytes;
}

std::size_t TUndoHistory::MemoryUsed() const {
  std::size_t bytes = 0;
  for (int i = 0; i < mStack->count(); ++i)
    bytes += static_cast<const TDataUndoCommand*>(mStack->command(i))->Change().MemoryUsed();
  return bytes;
}

void TUndoHistory::Restore(const TDataChange& change, bool redo) {
  if (redo)
    change.Redo(mForm.Document());
  else
    change.Undo(mForm.Document());
  Sync();
  mForm.DataRestored();
}

void TUndoHistory::KeepWithinMemory() {
  // Right after a push the newest step is the current one: nothing to redo.
  const int count = mStack->count();
  std::size_t bytes = MemoryUsed();
  int dropped = 0;
  while (bytes > mMemoryLimit && count - dropped > 1) {
    bytes -= static_cast<const TDataUndoCommand*>(mStack->command(dropped))->Change().MemoryUsed();
    ++dropped;
  }
  if (dropped == 0) return;
  // QUndoStack cannot drop its oldest steps on demand: it is rebuilt from
  // the rest, with its clean state where it was (or gone with the dropped).
  std::vector<std::pair<QString, TDataChange>> kept;
  for (int i = dropped; i < count; ++i) {
    auto* command = static_cast<TDataUndoCommand*>(const_cast<QUndoCommand*>(mStack->command(i)));
    kept.emplace_back(command->text(), command->TakeChange());
  }
  const int clean = mStack->cleanIndex();
  mRebuilding = true;
  mStack->clear();
  for (auto& [action, change] : kept) mStack->push(new TDataUndoCommand(*this, action, std::move(change)));
  if (clean - dropped >= 0) {
    mStack->setIndex(clean - dropped);
    mStack->setClean();
    mStack->setIndex(mStack->count());
  } else {
    mStack->resetClean();
  }
  mRebuilding = false;
}

}  // namespace ombrel
