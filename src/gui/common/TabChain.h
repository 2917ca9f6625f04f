#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace ombrel {

// The widgets under `root` that Tab stops at, in the order Tab visits them:
// shown, enabled, taking tab focus.
QList<QWidget*> TabChain(QWidget* root);

// Whether a Tab (`next`) or Shift+Tab from `focus` would leave `root`'s
// chain: `focus` is its last (or first) stop, or not in it at all.
bool TabLeaves(QWidget* root, QWidget* focus, bool next);

// Gives the keyboard to the first (`first`) or last stop of `root`'s
// chain; false when it has none.
bool FocusChainEnd(QWidget* root, bool first);

// Tab stops at one button of each set of radio buttons under `root`: the
// checked one (the first enabled while none is); the arrow keys move
// within the set. Call again after the choices changed.
void TabToCheckedRadios(QWidget* root);

// Gives the keyboard to the first checked radio button under `root` that
// Tab reaches, so a page of choices opens on the current choice.
void FocusCheckedRadio(QWidget* root);

// Gives the keyboard back, at the end of a scope, to the control of
// `window` that had it at the start: a dialog, or a window disabled while
// busy, would otherwise leave it on whatever control came next.
class TKeepFocus {
 public:
  explicit TKeepFocus(QWidget* window);
  ~TKeepFocus();
  TKeepFocus(const TKeepFocus&) = delete;
  TKeepFocus& operator=(const TKeepFocus&) = delete;

 private:
  QPointer<QWidget> mWindow;
  QPointer<QWidget> mFocus;
};

}  // namespace ombrel
