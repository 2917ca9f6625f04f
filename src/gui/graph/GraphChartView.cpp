#include "gui/graph/GraphChartView.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace ombrel {

namespace {

// A screen reader meets the chart as a chart, named and described by the
// graph page, not as an anonymous scroll area.
QAccessibleInterface* ChartAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("ombrel::TGraphChartView") || !object->isWidgetType()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
}

}  // namespace

TGraphChartView::TGraphChartView(QWidget* parent) : QChartView(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(ChartAccessible);
    return true;
  }();
  Q_UNUSED(factoryInstalled);
  setAccessibleName(QStringLiteral("Graph"));
  // The view takes the keyboard as a whole; its drawing area is no control.
  viewport()->setFocusPolicy(Qt::NoFocus);
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
