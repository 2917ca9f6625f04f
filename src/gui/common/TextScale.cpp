#include "gui/common/TextScale.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace ombrel {

TTextScale& TTextScale::Instance() {
  static TTextScale scale;
  return scale;
}

void TTextScale::SetPercent(int percent) {
  if (percent <= 0 || percent == mPercent) return;
  mPercent = percent;
  emit Changed(percent);
}

int TTextScale::Pixels(int pixels) const { return static_cast<int>(std::lround(pixels * mPercent / 100.0)); }

qreal TTextScale::Points(qreal points) const { return points * mPercent / 100.0; }

void FollowTextScale(QWidget* widget, const std::function<void()>& apply) {
  apply();
  QObject::connect(&TTextScale::Instance(), &TTextScale::Changed, widget, [apply] { apply(); });
}

QFont ScaledFont(QFont font, qreal normal, bool pixels) {
  const TTextScale& scale = TTextScale::Instance();
  if (pixels)
    font.setPixelSize(std::max(1, scale.Pixels(static_cast<int>(normal))));
  else
    font.setPointSizeF(scale.Points(normal));
  return font;
}

}  // namespace ombrel
