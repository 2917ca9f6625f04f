#pragma once

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace ombrel {

// Makes a small window at least as wide as its caption needs in a window
// manager's title bar: the caption in bold (most title bars are) beside the
// window icon and three buttons, each about as wide as the bar is high.
// Narrower, the window manager shortens the caption ("Copy t... board").
inline void KeepCaptionWhole(QWidget& window) {
  QFont bold = QApplication::font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const int bar = std::max(metrics.height() + 8, window.style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const int caption = metrics.horizontalAdvance(window.windowTitle()) + 2 * metrics.averageCharWidth();
  window.setMinimumWidth(std::max(window.minimumWidth(), caption + 4 * bar));
}

}  // namespace ombrel
