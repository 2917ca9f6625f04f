#pragma once

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace ombrel {

// The width a small window needs for its caption to show whole in a window
// manager's title bar: the caption in bold (most title bars are) beside the
// window icon and three buttons, each about as wide as the bar is high.
// Narrower, the window manager shortens the caption ("Copy t... board").
inline int CaptionWidth(const QWidget& window) {
  QFont bold = QApplication::font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const int bar = std::max(metrics.height() + 8, window.style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const int caption = metrics.horizontalAdvance(window.windowTitle()) + 2 * metrics.averageCharWidth();
  return caption + 4 * bar;
}

inline void KeepCaptionWhole(QWidget& window) {
  window.setMinimumWidth(std::max(window.minimumWidth(), CaptionWidth(window)));
}

// A message box sizes itself from its text and buttons and drops a minimum
// width; a spacer across its grid holds it wide enough for its caption.
inline void KeepMessageCaptionWhole(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  grid->addItem(new QSpacerItem(CaptionWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                1, grid->columnCount());
}

}  // namespace ombrel
