#pragma once

#include <string>

#include "core/graph/GraphModel.h"

namespace ombrel {

// The graph in words, for a screen reader: its title, its axes, then the
// value of each bar (with its error), the number of points of a scatter and
// the equation of a line, as in "Graph of Weights. Vertical axis: Mean.
// Bars: Control 12.5 (error 1.2), Treated 15.75 (error 0.9)."
std::string GraphDescription(const TGraphModel& model);

}  // namespace ombrel
