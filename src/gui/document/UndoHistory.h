#pragma once

#include <QObject>
#include <QString>
#include <cstddef>

#include "core/document/DataChange.h"

class QUndoStack;

namespace ombrel {

class Analyze;

// A document window's undo history: a QUndoStack of data changes, each the
// difference between the data state when the change began (the baseline)
// and after it (TDataChange). The stack keeps at most StepLimit changes and
// MemoryLimit bytes of them, dropping the oldest.
class TUndoHistory : public QObject {
  Q_OBJECT

 public:
  static constexpr int DefaultStepLimit = 100;
  static constexpr std::size_t DefaultMemoryLimit = std::size_t{64} << 20;

  explicit TUndoHistory(Analyze& form);
  ~TUndoHistory() override;

  QUndoStack& Stack() const { return *mStack; }
  // The present data state becomes the baseline: what changed so far is not
  // recorded.
  void Sync();
  // Pushes the change since the baseline as one step named `action`, and
  // makes the present state the baseline. False when nothing changed.
  bool Record(const QString& action);
  // Whether the data differs from the baseline: changed without a step.
  bool HasUnrecordedChange() const;
  // Only while the stack is empty (tests use small limits).
  void SetLimits(int steps, std::size_t bytes);
  std::size_t MemoryUsed() const;

 private:
  friend class TDataUndoCommand;
  // Undo or redo of one step (not while the stack is being rebuilt).
  void Restore(const TDataChange& change, bool redo);
  // Drops the oldest steps until the rest fit into the memory limit.
  void KeepWithinMemory();

  Analyze& mForm;
  QUndoStack* mStack;
  TDataState mBaseline;
  std::size_t mMemoryLimit = DefaultMemoryLimit;
  bool mRebuilding = false;
};

}  // namespace ombrel
