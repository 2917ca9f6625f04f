#include "gui/graph/ErrorBarSeries.h"

#include <QBarSet>
#include <algorithm>

namespace ombrel {

TErrorBarSeries::TErrorBarSeries(QObject* parent) : QBarSeries(parent) {
  mSet = new QBarSet(QString());
  append(mSet);
  setLabelsVisible(false);
}

int TErrorBarSeries::AddBar(int x, double y, double error, const QString& label, const QColor& color) {
  mX.append(x);
  mY.append(y);
  mErrors.append(error);
  mLabels.append(label);
  mSet->setColor(color);
  mSet->setBorderColor(color);
  Refill();
  return Count() - 1;
}

int TErrorBarSeries::First() const { return mX.isEmpty() ? 0 : *std::min_element(mX.begin(), mX.end()); }

int TErrorBarSeries::Last() const { return mX.isEmpty() ? 0 : *std::max_element(mX.begin(), mX.end()); }

void TErrorBarSeries::Refill() {
  QList<qreal> values(Last() - First() + 1, 0.0);
  for (int i = 0; i < Count(); ++i) values[mX[i] - First()] = mY[i];
  mSet->remove(0, mSet->count());
  mSet->append(values);
}

}  // namespace ombrel
