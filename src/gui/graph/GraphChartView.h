#pragma once

#include <QChartView>
#include <QList>

#include "gui/graph/ChartOverlay.h"

namespace ombrel {

// The graph page's chart: a chart view without zoom or panning whose chart
// carries the overlay with the error bars and the two-entry legend, and that
// reports double-clicks.
class TGraphChartView : public QChartView {
  Q_OBJECT

 public:
  explicit TGraphChartView(QWidget* parent = nullptr);

  TChartOverlay& Overlay() { return *mOverlay; }
  const QList<TChartLegendEntry>& Legend() const { return mOverlay->Legend(); }

 signals:
  void DoubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TChartOverlay* mOverlay;
};

}  // namespace ombrel
