#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <optional>

#include "gui/common/TabChain.h"

namespace ombrel {

// The hourglass for the length of a scope, and optionally a window disabled
// meanwhile; both restored on every path out of the scope, and the keyboard
// given back to the control that had it.
class TBusyGuard {
 public:
  explicit TBusyGuard(QWidget* disabled = nullptr) : mDisabled(disabled) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (mDisabled) {
      mFocus.emplace(mDisabled);
      mWasEnabled = mDisabled->isEnabled();
      mDisabled->setEnabled(false);
    }
  }
  ~TBusyGuard() {
    if (mDisabled) mDisabled->setEnabled(mWasEnabled);
    mFocus.reset();
    QApplication::restoreOverrideCursor();
  }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;

 private:
  QPointer<QWidget> mDisabled;
  bool mWasEnabled = true;
  std::optional<TKeepFocus> mFocus;
};

}  // namespace ombrel
