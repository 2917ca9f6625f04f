#pragma once

#include <QBarSeries>
#include <QColor>
#include <QList>
#include <QPen>

#include "core/graph/ErrorBars.h"

class QBarSet;

namespace ombrel {

// A bar series whose bars carry one error value each. The series holds one
// bar set over the category positions First() .. Last(); positions without
// a bar stay at 0 with no error. The error bars themselves are drawn by
// the chart's TChartOverlay, which reads the values kept here.
class TErrorBarSeries : public QBarSeries {
  Q_OBJECT

 public:
  explicit TErrorBarSeries(QObject* parent = nullptr);

  // Adds a bar at category position x with height y and its error; returns
  // its index. The color applies to every bar (one color per series).
  int AddBar(int x, double y, double error, const QString& label, const QColor& color);

  int Count() const { return static_cast<int>(mX.size()); }
  int X(int index) const { return mX.at(index); }
  double Y(int index) const { return mY.at(index); }
  const QList<double>& ErrorValues() const { return mErrors; }
  QString Label(int index) const { return mLabels.at(index); }
  // The smallest and largest category position; 0 for no bars.
  int First() const;
  int Last() const;

  // The error bars: a black pen, caps as wide as the bar.
  QPen ErrorPen() const { return QPen(Qt::black); }
  int ErrorWidth() const { return 100; }
  TErrorWidthUnits ErrorWidthUnits() const { return TErrorWidthUnits::ewuPercent; }

 private:
  void Refill();

  QBarSet* mSet;
  QList<int> mX;
  QList<double> mY;
  QList<double> mErrors;
  QStringList mLabels;
};

}  // namespace ombrel
