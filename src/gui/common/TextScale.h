#pragma once

#include <QFont>
#include <QObject>
#include <functional>

class QWidget;

namespace ombrel {

// View > Text size: one size, in percent, for the text of the grids, the
// report, the guide and Help in every window. Those widgets follow it with
// FollowTextScale; the menus, dialogs and buttons follow the desktop's own
// font and scale.
class TTextScale : public QObject {
  Q_OBJECT

 public:
  static TTextScale& Instance();

  int Percent() const { return mPercent; }
  void SetPercent(int percent);

  // A size in pixels or points at the current text size.
  int Pixels(int pixels) const;
  qreal Points(qreal points) const;

 signals:
  void Changed(int percent);

 private:
  int mPercent = 100;
};

// Runs `apply` now and again whenever the text size changes, while
// `widget` lives.
void FollowTextScale(QWidget* widget, const std::function<void()>& apply);

// `font` with its pixel or point size scaled from `normal` (a pixel size
// when `pixels`, else points) to the current text size.
QFont ScaledFont(QFont font, qreal normal, bool pixels);

}  // namespace ombrel
