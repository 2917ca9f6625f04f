#include "gui/graph/GraphChartView.h"

#include <QMouseEvent>

namespace ombrel {

TGraphChartView::TGraphChartView(QWidget* parent) : QChartView(parent) {
  setRenderHint(QPainter::Antialiasing);
  setRubberBand(QChartView::NoRubberBand);
  setDragMode(QGraphicsView::NoDrag);
  // Owned by the chart, as its child item.
  mOverlay = new TChartOverlay(chart());
}

void TGraphChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  emit DoubleClicked();
}

}  // namespace ombrel
