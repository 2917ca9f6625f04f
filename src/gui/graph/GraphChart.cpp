#include "gui/graph/GraphChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

#include "gui/graph/ChartOverlay.h"
#include "gui/graph/ErrorBarSeries.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

QColor ColorOf(TGraphColor color) {
  switch (color) {
    case TGraphColor::Red:
      return QColor(255, 0, 0);
    case TGraphColor::Blue:
      return QColor(0, 0, 255);
    case TGraphColor::Default:
      break;
  }
  return QColor(Qt::black);
}

constexpr qreal BarWidth = 0.5;

// A category axis needs distinct texts, so the gaps between bars are told
// apart by their number of blanks.
QStringList CategoryTexts(const std::vector<std::string>& categories) {
  QStringList texts;
  int blanks = 0;
  for (const std::string& text : categories)
    texts << (text.empty() ? QString(++blanks, QLatin1Char(' ')) : FromCore(text));
  return texts;
}

// A value axis whose tick labels are the core's readable texts (the chart's
// own printf-style formats write 8000000000000.0), each at its value.
QValueAxis* ValueAxis(const TGraphAxis& axis) {
  auto* value = new QCategoryAxis;
  const auto min = static_cast<qreal>(axis.Range.Min);
  const auto max = static_cast<qreal>(axis.Range.Max);
  value->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  const std::vector<std::string> texts =
      AxisTickTexts(axis.Range, axis.Labels == TAxisLabels::Thousands ? 1000 : 10000);
  const qreal step = texts.size() > 1 ? (max - min) / static_cast<qreal>(texts.size() - 1) : 0;
  // The first label sits on the start of the axis, just inside its range.
  value->setStartValue(min - (max - min) * 1e-9);
  for (std::size_t i = 0; i < texts.size(); ++i) value->append(FromCore(texts[i]), min + step * static_cast<qreal>(i));
  // Set last: appending may stretch the range.
  value->setRange(min, max);
  value->setTitleText(FromCore(axis.Title));
  return value;
}

// The chart emptied of its series and axes, with the model's title.
void ResetChart(QChart& chart, const TGraphModel& model) {
  chart.removeAllSeries();
  for (QAbstractAxis* axis : chart.axes()) {
    chart.removeAxis(axis);
    delete axis;
  }
  chart.setBackgroundBrush(Qt::white);
  chart.setBackgroundRoundness(0);
  chart.legend()->hide();
  chart.setAnimationOptions(QChart::NoAnimation);
  QStringList title;
  for (const std::string& line : model.TitleLines) title << FromCore(line).toHtmlEscaped();
  chart.setTitle(title.join(QStringLiteral("<br>")));
  chart.setMargins(QMargins(model.MarginLeft, 10, model.MarginRight, 10));
}

TErrorBarSeries* ErrorBars(const TGraphSeries& series) {
  auto* bars = new TErrorBarSeries;
  bars->setName(FromCore(series.Name));
  bars->setBarWidth(BarWidth);
  for (const TGraphPoint& point : series.Points)
    bars->AddBar(static_cast<int>(point.X), static_cast<double>(point.Y), static_cast<double>(point.Error),
                 FromCore(point.Label), ColorOf(series.Color));
  return bars;
}

// One set of bars over the model's categories.
QBarSet* BarSet(const TGraphSeries& series, const TGraphModel& model) {
  const QColor color = ColorOf(series.Color);
  auto* set = new QBarSet(FromCore(series.Name));
  set->setColor(color);
  set->setBorderColor(color);
  QList<qreal> values(static_cast<qsizetype>(model.Categories.size()), 0.0);
  for (const TGraphPoint& point : series.Points) {
    const auto index = static_cast<qsizetype>(point.X) - model.CategoryFirst;
    if (index >= 0 && index < values.size()) values[index] = static_cast<qreal>(point.Y);
  }
  set->append(values);
  return set;
}

QScatterSeries* Points(const TGraphSeries& series, const TGraphModel& model) {
  const QColor color = ColorOf(series.Color);
  auto* points = new QScatterSeries;
  points->setName(FromCore(series.Name));
  points->setColor(color);
  points->setBorderColor(color);
  // Values over bars are smaller than the points of a scatter, and sit at
  // their bar's place on the category axis.
  const bool overBars = model.Bottom.Labels == TAxisLabels::Categories;
  points->setMarkerSize(overBars ? 6 : 7);
  const qreal shift = overBars ? static_cast<qreal>(model.CategoryFirst) : 0;
  for (const TGraphPoint& point : series.Points)
    points->append(static_cast<qreal>(point.X) - shift, static_cast<qreal>(point.Y));
  return points;
}

QLineSeries* Line(const TGraphSeries& series) {
  auto* line = new QLineSeries;
  line->setName(FromCore(series.Name));
  QPen pen(ColorOf(series.Color), series.Dotted ? 1 : 2);
  if (series.Dotted) pen.setStyle(Qt::DotLine);
  line->setPen(pen);
  for (const TGraphPoint& point : series.Points) line->append(static_cast<qreal>(point.X), static_cast<qreal>(point.Y));
  return line;
}

// The series of the model in order; the bar series of one graph stack on
// the same bars.
QList<QAbstractSeries*> SeriesOf(const TGraphModel& model) {
  QStackedBarSeries* stacked = nullptr;
  QList<QAbstractSeries*> added;
  for (const TGraphSeries& series : model.Series) {
    switch (series.Kind) {
      case TSeriesKind::ErrorBars:
        added << ErrorBars(series);
        break;
      case TSeriesKind::Bars:
        if (stacked == nullptr) {
          stacked = new QStackedBarSeries;
          stacked->setName(FromCore(series.Name));
          stacked->setBarWidth(BarWidth);
          added << stacked;
        }
        stacked->append(BarSet(series, model));
        break;
      case TSeriesKind::Points:
        added << Points(series, model);
        break;
      case TSeriesKind::Line:
        added << Line(series);
        break;
    }
  }
  return added;
}

// The bottom axis (categories or values) and the left one, attached to
// every series.
void AttachAxes(QChart& chart, const TGraphModel& model, const QList<QAbstractSeries*>& series) {
  QAbstractAxis* bottom = nullptr;
  if (model.Bottom.Labels == TAxisLabels::Categories) {
    auto* axis = new QBarCategoryAxis;
    axis->append(CategoryTexts(model.Categories));
    axis->setTitleText(FromCore(model.Bottom.Title));
    bottom = axis;
  } else {
    bottom = ValueAxis(model.Bottom);
  }
  QValueAxis* left = ValueAxis(model.Left);
  chart.addAxis(bottom, Qt::AlignBottom);
  chart.addAxis(left, Qt::AlignLeft);
  for (QAbstractSeries* one : series) {
    one->attachAxis(bottom);
    one->attachAxis(left);
  }
}

}  // namespace

void FillChart(QChart& chart, TChartOverlay& overlay, const TGraphModel& model) {
  ResetChart(chart, model);
  QList<TChartLegendEntry> legend;
  for (const TLegendEntry& entry : model.Legend)
    legend << TChartLegendEntry{FromCore(entry.Text), ColorOf(entry.Color), entry.Line, entry.Dotted};
  overlay.SetLegend(legend);

  const QList<QAbstractSeries*> series = SeriesOf(model);
  for (QAbstractSeries* one : series) chart.addSeries(one);
  if (model.Kind != TGraphKind::Empty) AttachAxes(chart, model, series);
}

}  // namespace ombrel
