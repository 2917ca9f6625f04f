#pragma once

#include "core/graph/GraphModel.h"

class QChart;

namespace ombrel {

class TChartOverlay;

// Fills a chart with the graph of a model: titles, margins, series, axes,
// and the overlay's legend. Whatever the chart held before is removed. The
// graph page, printing and every exported picture draw through this, so
// they show the same graph.
void FillChart(QChart& chart, TChartOverlay& overlay, const TGraphModel& model);

}  // namespace ombrel
