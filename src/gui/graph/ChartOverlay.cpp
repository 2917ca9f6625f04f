#include "gui/graph/ChartOverlay.h"

#include <QChart>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/graph/ErrorBars.h"
#include "gui/graph/ErrorBarSeries.h"

namespace ombrel {

namespace {

int Pixel(qreal value) { return static_cast<int>(std::lround(value)); }

}  // namespace

TChartOverlay::TChartOverlay(QChart* chart) : QGraphicsItem(chart), mChart(chart) {
  // Above the series and axes, which the chart draws at lower levels.
  setZValue(1000);
  QObject::connect(chart, &QChart::plotAreaChanged, chart, [this](const QRectF&) {
    prepareGeometryChange();
    update();
  });
}

void TChartOverlay::SetLegend(const QList<TChartLegendEntry>& entries) {
  mLegend = entries;
  update();
}

QRectF TChartOverlay::boundingRect() const { return mChart->rect(); }

void TChartOverlay::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  painter->save();
  DrawErrorBars(*painter);
  DrawLegend(*painter);
  painter->restore();
}

// Each bar's rectangle comes from the chart's own mapping (in the chart's
// coordinates, which are this item's); the shape of its error bar from the
// core's rule.
void TChartOverlay::DrawErrorBars(QPainter& painter) const {
  for (QAbstractSeries* abstract : mChart->series()) {
    auto* series = qobject_cast<TErrorBarSeries*>(abstract);
    if (series == nullptr || !series->isVisible()) continue;
    const qreal half = series->barWidth() / 2;
    const QPen pen = series->ErrorPen();
    painter.setPen(pen);
    for (int i = 0; i < series->Count(); ++i) {
      const qreal position = series->X(i) - series->First();
      const qreal y = series->Y(i);
      const qreal error = series->ErrorValues().at(i);
      const QPointF end = mChart->mapToPosition(QPointF(position, y), series);
      const QPointF origin = mChart->mapToPosition(QPointF(position, 0), series);
      const TBarRect bar{Pixel(mChart->mapToPosition(QPointF(position - half, y), series).x()),
                         Pixel(mChart->mapToPosition(QPointF(position + half, y), series).x()),
                         Pixel(std::min(end.y(), origin.y())), Pixel(std::max(end.y(), origin.y()))};
      const qreal endValue = static_cast<qreal>(ErrorEndValue(y, error, 0));
      const int endY = Pixel(mChart->mapToPosition(QPointF(position, endValue), series).y());
      const TErrorBarShape shape =
          ErrorBarShape(bar, y, error, endY, series->ErrorWidth(), series->ErrorWidthUnits(), pen.style() != Qt::NoPen);
      if (!shape.Draw) continue;
      painter.drawLine(shape.X, shape.LineFromY, shape.X, shape.LineToY);
      painter.drawLine(shape.WhiskerLeft, shape.LineToY, shape.WhiskerRight, shape.LineToY);
    }
  }
}

void TChartOverlay::DrawLegend(QPainter& painter) const {
  if (mLegend.isEmpty()) return;
  const QRectF plot = mChart->plotArea();
  const QFontMetrics metrics(painter.font());
  const int lineHeight = metrics.height() + 4;
  int width = 0;
  for (const TChartLegendEntry& entry : mLegend) width = std::max(width, metrics.horizontalAdvance(entry.Text));
  const int boxWidth = width + 44;
  // Beside the plot when the margin has room, else in its top left corner.
  const qreal right = mChart->size().width();
  const int left = right - plot.right() >= boxWidth + 16 ? Pixel(plot.right()) + 8 : Pixel(plot.left()) + 8;
  const QRect box(left, Pixel(plot.top()) + 8, boxWidth, lineHeight * static_cast<int>(mLegend.size()) + 6);
  painter.setPen(QPen(Qt::black));
  painter.setBrush(Qt::white);
  painter.drawRect(box);
  int top = box.top() + 3;
  for (const TChartLegendEntry& entry : mLegend) {
    const int middle = top + lineHeight / 2;
    if (entry.Line) {
      QPen pen(entry.Color, 2);
      if (entry.Dotted) pen.setStyle(Qt::DotLine);
      painter.setPen(pen);
      painter.drawLine(box.left() + 6, middle, box.left() + 30, middle);
    } else {
      painter.setPen(QPen(entry.Color));
      painter.setBrush(entry.Color);
      painter.drawRect(box.left() + 12, middle - 6, 12, 12);
    }
    painter.setPen(QPen(Qt::black));
    painter.drawText(QRect(box.left() + 36, top, width + 4, lineHeight), Qt::AlignVCenter | Qt::AlignLeft, entry.Text);
    top += lineHeight;
  }
}

}  // namespace ombrel
