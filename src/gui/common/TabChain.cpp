#include "gui/common/TabChain.h"

#include <QButtonGroup>
#include <QMap>
#include <QRadioButton>
#include <QWidget>

namespace ombrel {

QList<QWidget*> TabChain(QWidget* root) {
  QList<QWidget*> chain;
  if (root == nullptr) return chain;
  for (QWidget* widget = root->nextInFocusChain(); widget != nullptr && widget != root;
       widget = widget->nextInFocusChain()) {
    if (!root->isAncestorOf(widget) || widget->focusProxy() != nullptr) continue;
    if ((widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget->isVisibleTo(root) && widget->isEnabled() &&
        !chain.contains(widget))
      chain << widget;
  }
  return chain;
}

bool TabLeaves(QWidget* root, QWidget* focus, bool next) {
  const QList<QWidget*> chain = TabChain(root);
  if (chain.isEmpty()) return true;
  // A focus inside a control (the grid's cell editor) counts as the control.
  for (QWidget* widget = focus; widget != nullptr && widget != root; widget = widget->parentWidget()) {
    if (chain.contains(widget)) return widget == (next ? chain.last() : chain.first());
  }
  return true;
}

bool FocusChainEnd(QWidget* root, bool first) {
  const QList<QWidget*> chain = TabChain(root);
  if (chain.isEmpty()) return false;
  (first ? chain.first() : chain.last())->setFocus(first ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

void TabToCheckedRadios(QWidget* root) {
  // The sets: a button group, or the auto-exclusive radios of one parent.
  QMap<QObject*, QList<QRadioButton*>> sets;
  for (QRadioButton* radio : root->findChildren<QRadioButton*>()) {
    QObject* set = radio->group() != nullptr ? static_cast<QObject*>(radio->group()) : radio->parent();
    if (radio->group() != nullptr || radio->autoExclusive()) sets[set] << radio;
  }
  for (const QList<QRadioButton*>& radios : sets) {
    QRadioButton* stop = nullptr;
    for (QRadioButton* radio : radios)
      if (radio->isChecked() && radio->isEnabled()) stop = radio;
    for (QRadioButton* radio : radios)
      if (stop == nullptr && radio->isEnabled()) stop = radio;
    for (QRadioButton* radio : radios) radio->setFocusPolicy(radio == stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

void FocusCheckedRadio(QWidget* root) {
  for (QWidget* stop : TabChain(root)) {
    if (auto* radio = qobject_cast<QRadioButton*>(stop); radio != nullptr && radio->isChecked()) {
      radio->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

TKeepFocus::TKeepFocus(QWidget* window)
    : mWindow(window != nullptr ? window->window() : nullptr),
      mFocus(mWindow != nullptr ? mWindow->focusWidget() : nullptr) {}

TKeepFocus::~TKeepFocus() {
  if (mWindow == nullptr || mFocus == nullptr || mWindow->focusWidget() == mFocus) return;
  if (mFocus->isVisible() && mFocus->isEnabled()) mFocus->setFocus(Qt::OtherFocusReason);
}

}  // namespace ombrel
