#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/EmptyValue.h"

// The graph of a document's sixth step as plain data: which series to draw
// with which points, the axes, the title lines, the legend and which of the
// page's controls show. The page turns it into chart series; everything
// here is computed from the document alone.

namespace ombrel {

class TCalcProgress;
class TDocument;

inline constexpr std::string_view NoCustomGraphMessage =
    "It is not possible to customize Ombrel's graphs. If you wish to make publication quality graphs, please ask "
    "about Quillvex Vexal.";

// What the graph shows, by data format.
enum class TGraphKind {
  Empty,               // nothing to show yet
  Means,               // raw and averaged data: column means with error bars
  TwoByTwo,            // stacked bars of a 2x2 table
  Totals,              // bars of a larger table's row or column totals
  XY,                  // scatter, regression line and confidence band
  MultipleRegression,  // scatter of two variables
};

enum class TGraphColor { Default, Red, Blue };

enum class TSeriesKind { ErrorBars, Bars, Points, Line };

// One point of a series. Bars use X as their position on the category
// axis, Label as the category's text and, with error bars, Error.
struct TGraphPoint {
  TReal X = 0;
  TReal Y = 0;
  TReal Error = 0;
  std::string Label;
};

struct TGraphSeries {
  std::string Name;  // ErrorBarSeries1, BarSeries1, PointSeries1, ...
  TSeriesKind Kind = TSeriesKind::Points;
  TGraphColor Color = TGraphColor::Default;
  bool Dotted = false;
  std::vector<TGraphPoint> Points;
};

// An entry of the two-entry legend: a bar (filled shape) or a line sample.
struct TLegendEntry {
  std::string Text;
  TGraphColor Color = TGraphColor::Default;
  bool Line = false;
  bool Dotted = false;
};

enum class TAxisLabels {
  Categories,  // the bars' labels
  Values,      // numbers
  Thousands,   // whole numbers with thousands separators
};

// A value axis from Min to Max with Ticks evenly spaced labels.
struct TAxisRange {
  TReal Min = 0;
  TReal Max = 1;
  std::int32_t Ticks = 2;
};

struct TGraphAxis {
  std::string Title;
  TAxisLabels Labels = TAxisLabels::Values;
  TAxisRange Range;
};

// An entry of the multiple-regression variable lists: the column letter,
// or '*' for the residuals.
struct TGraphVariable {
  char Key = 'A';
  std::string Text;
};

struct TGraphModel {
  TGraphKind Kind = TGraphKind::Empty;
  bool ChartVisible = true;
  std::vector<std::string> TitleLines;
  TGraphAxis Bottom;
  TGraphAxis Left;
  // Bar graphs: the category axis runs over positions CategoryFirst ..
  // CategoryFirst + Categories.size() - 1; gaps have an empty text.
  std::int32_t CategoryFirst = 0;
  std::vector<std::string> Categories;
  // The chart's left and right margins, in pixels.
  std::int32_t MarginLeft = 50;
  std::int32_t MarginRight = 80;
  // Which of the page's controls show.
  bool ShowErrorChoice = false;      // the SD and SEM buttons
  bool ShowRowsColumns = false;      // the Columns / Rows group
  bool ShowVariableLists = false;    // the X and Y lists with the "Analyzed data only" box
  bool ShowValuesChoice = false;     // the "Show individual values" box (raw data)
  std::vector<TLegendEntry> Legend;  // top entry first; empty when hidden
  // The active series in drawing order.
  std::vector<TGraphSeries> Series;
  // Multiple regression: the lists and their chosen entries (-1 for none).
  std::vector<TGraphVariable> XVariables;
  std::vector<TGraphVariable> YVariables;
  std::int32_t XIndex = -1;
  std::int32_t YIndex = -1;

  // The series of that name, or nullptr.
  const TGraphSeries* FindSeries(std::string_view name) const;
};

// An XY graph draws at most this many points.
inline constexpr std::int32_t MaxGraphPoints = 5000;

// Whether the graph has nothing to draw from: no title and no data (for
// averaged data no column with N > 0, for the 2x2 format no count).
bool GraphHoldsNothing(const TDocument& document);

// Builds the graph from the document as it stands (the report is not
// computed here).
TGraphModel BuildGraphModel(const TDocument& document);

// Draws the graph as entering the graph step or changing one of its
// controls does: the 2x2 format marks its results stale; unless the
// document holds nothing, a stale report is computed first (so that the
// summaries and the regression outputs are current); then BuildGraphModel.
TGraphModel DrawGraph(TDocument& document, TCalcProgress& progress);

// The multiple-regression lists as the document's data and settings give
// them: every raw-data column in both lists, or the analysed variables
// (with "Residuals" and the dependent variable as Y after a regression).
std::vector<TGraphVariable> GraphXVariables(const TDocument& document);
std::vector<TGraphVariable> GraphYVariables(const TDocument& document);

// The chosen entries: those of GraphXVariable and GraphYVariable; when
// neither is listed the first X and the second Y entry; when one is, the
// other becomes the first entry of a different letter. -1 for an empty list.
struct TVariableChoice {
  std::int32_t X = -1;
  std::int32_t Y = -1;
};
TVariableChoice ChooseGraphVariables(const std::vector<TGraphVariable>& xList, const std::vector<TGraphVariable>& yList,
                                     char xKey, char yKey);

// A change of the X or Y list stores the entry's key; when X and Y become
// equal, Y moves to the first entry of the Y list with another letter.
void SetGraphXVariable(TDocument& document, char key);
void SetGraphYVariable(TDocument& document, char key);

// A value axis that covers lo..hi (and 0 when includeZero) with 3 to 11
// ticks at 1, 2 or 5 times a power of ten (at least 1 when wholeSteps, for
// counts). A single value is widened by half its size on each side (0 to
// 0..1 with includeZero, else -0.5..0.5); an empty marker or a non-finite
// bound gives 0..1.
TAxisRange NiceAxisRange(TReal lo, TReal hi, bool includeZero, bool wholeSteps = false);

// The labels of a value axis's ticks, Min to Max, in a form a reader takes
// in at a glance: the decimals the step needs and thousands grouped with ","
// from `groupFrom` on ("12,500", "0.25"); scientific as reports write large and
// tiny numbers ("1.5E+12", "2E-05") when the largest tick exceeds
// 10,000,000 or is below 0.001. Zero is always "0".
std::vector<std::string> AxisTickTexts(const TAxisRange& range, TReal groupFrom = 10000);

}  // namespace ombrel
