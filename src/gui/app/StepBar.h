#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "core/shell/ShellRules.h"

class QPushButton;
class QToolButton;

namespace ombrel {

// The bar under the documents: the two help buttons, then the back button,
// one button per step and the forward button. It only shows and reports;
// the main window decides what a click does.
class TStepBar : public QWidget {
  Q_OBJECT

 public:
  explicit TStepBar(QWidget* parent = nullptr);

  // The enabled and pressed states of the step buttons and arrows, and the
  // help buttons of the active document (disabled without one).
  void ShowState(const TMenuState& state, const std::array<THelpButton, 2>& help, bool hasDocument);

  QToolButton* StepButton(int step) const;
  QToolButton* BackButton() const { return mBackButton; }
  QToolButton* ForwardButton() const { return mForwardButton; }
  QPushButton* HelpButton(int button) const;
  // Where Tab goes past the bar's last button (Shift+Tab, `next` false, past
  // its first): true when the keyboard went there.
  void SetFocusPast(std::function<bool(bool next)> focusPast) { mFocusPast = std::move(focusPast); }

 signals:
  void HelpClicked(int button);
  void BackClicked();
  void ForwardClicked();
  void StepClicked(TStep step);

 protected:
  bool focusNextPrevChild(bool next) override;

 private:
  std::function<bool(bool)> mFocusPast;
  std::array<QToolButton*, StepCount> mStepButtons{};
  QToolButton* mBackButton = nullptr;
  QToolButton* mForwardButton = nullptr;
  std::array<QPushButton*, 2> mHelpButtons{};
};

}  // namespace ombrel
