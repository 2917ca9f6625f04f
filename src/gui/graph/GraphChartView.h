#pragma once

#include <QChartView>
#include <QColor>
#include <QList>
#include <QString>

namespace ombrel {

// An entry of the two-entry legend drawn on the chart.
struct TChartLegendEntry {
  QString Text;
  QColor Colour;
  bool Line = false;    // a line sample rather than a bar
  bool Dotted = false;  // with a dotted line
};

// The graph page's chart: a chart view without zoom or panning that draws
// the error bars of its TErrorBarSeries and the page's own two-entry legend
// over the chart, and reports double-clicks.
class TGraphChartView : public QChartView {
  Q_OBJECT

 public:
  explicit TGraphChartView(QWidget* parent = nullptr);

  // The legend shown at the top left of the plot area; empty hides it.
  void SetLegend(const QList<TChartLegendEntry>& entries);
  const QList<TChartLegendEntry>& Legend() const { return mLegend; }

 signals:
  void DoubleClicked();

 protected:
  void drawForeground(QPainter* painter, const QRectF& rect) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void DrawErrorBars(QPainter& painter) const;
  void DrawLegend(QPainter& painter) const;

  QList<TChartLegendEntry> mLegend;
};

}  // namespace ombrel
