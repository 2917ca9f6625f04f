#pragma once

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QString>

class QChart;

namespace ombrel {

// An entry of the two-entry legend drawn on the chart.
struct TChartLegendEntry {
  QString Text;
  QColor Color;
  bool Line = false;    // a line sample rather than a bar
  bool Dotted = false;  // with a dotted line
};

// What the chart component does not draw itself: the error bars of the
// chart's TErrorBarSeries and the page's two-entry legend. An item of the
// chart's own scene above its series, so that whatever draws the scene (the
// window, a printer, an SVG or PDF file) draws them too, in vector form.
class TChartOverlay : public QGraphicsItem {
 public:
  explicit TChartOverlay(QChart* chart);

  // The legend shown beside or over the plot area; empty hides it.
  void SetLegend(const QList<TChartLegendEntry>& entries);
  const QList<TChartLegendEntry>& Legend() const { return mLegend; }

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 private:
  void DrawErrorBars(QPainter& painter) const;
  void DrawLegend(QPainter& painter) const;

  QChart* mChart;
  QList<TChartLegendEntry> mLegend;
};

}  // namespace ombrel
