#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace ombrel {

// The hourglass for the length of a scope, and optionally a window disabled
// meanwhile; both restored on every path out of the scope.
class TBusyGuard {
 public:
  explicit TBusyGuard(QWidget* disabled = nullptr) : mDisabled(disabled) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (mDisabled) {
      mWasEnabled = mDisabled->isEnabled();
      mDisabled->setEnabled(false);
    }
  }
  ~TBusyGuard() {
    if (mDisabled) mDisabled->setEnabled(mWasEnabled);
    QApplication::restoreOverrideCursor();
  }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;

 private:
  QPointer<QWidget> mDisabled;
  bool mWasEnabled = true;
};

}  // namespace ombrel
