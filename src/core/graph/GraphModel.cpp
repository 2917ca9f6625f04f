#include "core/graph/GraphModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "core/base/Index.h"
#include "core/base/NumberText.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/graph/ErrorBars.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::string_view MeanSdTitle = "Mean and Standard Deviation";
constexpr std::string_view MeanSemTitle = "Mean and Standard Error";
constexpr std::string_view ColumnTotalsTitle = "Column Totals";
constexpr std::string_view RowTotalsTitle = "Row Totals";
constexpr std::string_view ResidualsText = "Residuals";
constexpr char ResidualsKey = '*';

// Graphs with few bars get wide margins so that the bars stay slim.
constexpr std::size_t ManyBars = 4;

// Collects the smallest and largest of the values it is shown.
struct TSpan {
  TReal Low = EmptyValue;
  TReal High = EmptyValue;
  void Add(TReal value) {
    if (IsEmpty(Low) || value < Low) Low = value;
    if (IsEmpty(High) || value > High) High = value;
  }
  bool Any() const { return !IsEmpty(Low); }
};

// A scatter's axis keeps its outermost points off the frame.
TAxisRange ScatterAxisRange(const TSpan& values) {
  if (!values.Any()) return NiceAxisRange(EmptyValue, EmptyValue, false);
  const TReal pad = (values.High - values.Low) / 40;
  return NiceAxisRange(values.Low - pad, values.High + pad, false);
}

void SetBarMargins(TGraphModel& model, std::size_t bars) {
  if (bars > ManyBars) {
    model.MarginLeft = 50;
    model.MarginRight = 80;
  } else {
    model.MarginLeft = 150;
    model.MarginRight = 150;
  }
}

// The category texts of bar positions: each bar's label at its position,
// empty texts for the positions between.
void SetCategories(TGraphModel& model, const TGraphSeries& labelled) {
  model.Categories.clear();
  if (labelled.Points.empty()) return;
  TSpan positions;
  for (const TGraphPoint& point : labelled.Points) positions.Add(point.X);
  model.CategoryFirst = static_cast<std::int32_t>(positions.Low);
  model.Categories.assign(static_cast<std::size_t>(positions.High - positions.Low) + 1, std::string());
  for (const TGraphPoint& point : labelled.Points)
    model.Categories[static_cast<std::size_t>(point.X - positions.Low)] = point.Label;
}

std::string VariableText(const TDocument& document, int column) {
  const std::string& title = document.Table.Summary(column).Title;
  const std::string letter(1, ColumnLetter(column));
  return letter + ": " + (title.empty() ? "Column " + letter : title);
}

int ColumnOfKey(char key) { return key - 'A'; }

// What names a column on the graph: its title, or its letter.
std::string ColumnName(const TDataTable& table, int column) {
  const std::string& title = table.Summary(column).Title;
  return title.empty() ? std::string(1, ColumnLetter(column)) : title;
}

void BuildMeans(const TDocument& document, TGraphModel& model) {
  const TDataTable& table = document.Table;
  model.Kind = TGraphKind::Means;
  model.ShowErrorChoice = true;
  model.Bottom.Title = "Column";
  model.Bottom.Labels = TAxisLabels::Categories;
  model.TitleLines = {table.Title(), std::string(document.MeanIsSD == 1 ? MeanSdTitle : MeanSemTitle)};
  TGraphSeries bars{"ErrorBarSeries1", TSeriesKind::ErrorBars, TGraphColor::Red, false, {}};
  // Raw data may show every analysed value over its bar.
  model.ShowValuesChoice = document.Format == TDataFormat::Raw;
  const bool showValues = model.ShowValuesChoice && document.GraphShowValues != 0;
  TGraphSeries values{"IndividualValues", TSeriesKind::Points, TGraphColor::Default, false, {}};
  std::vector<TReal> heights;
  std::vector<TReal> errors;
  for (int c = 0; c < MaxColumns; ++c) {
    const TColumnSummary& summary = table.Summary(c);
    // A typed N without a mean has no bar to draw.
    if (table.ColumnSelected[At(c)] != 1 || summary.N <= 0 || IsEmpty(summary.Mean)) continue;
    const TReal spread = document.MeanIsSD == 1 ? summary.SD : summary.SEM;
    // An unavailable SD (a single value) draws no error bar.
    const TReal error = IsEmpty(spread) ? 0 : std::fabs(spread);
    bars.Points.push_back({static_cast<TReal>(c), summary.Mean, error, ColumnName(table, c)});
    heights.push_back(summary.Mean);
    errors.push_back(error);
    if (!showValues) continue;
    for (int row = 0; row <= table.LastRow(); ++row) {
      // The values the column's summary is made of: excluded ones are not.
      const TReal value = table.GetValue(row, c);
      if (!IsEmpty(value) && !table.IsExcluded(row, c)) values.Points.push_back({static_cast<TReal>(c), value, 0, {}});
    }
  }
  SetBarMargins(model, bars.Points.size());
  SetCategories(model, bars);
  TReal low = SmallestErrorBarY(heights, errors);
  TReal high = LargestErrorBarY(heights, errors);
  for (const TGraphPoint& point : values.Points) {
    low = std::min(low, point.Y);
    high = std::max(high, point.Y);
  }
  model.Left.Range = NiceAxisRange(low, high, true);
  model.Series.push_back(std::move(bars));
  if (showValues) model.Series.push_back(std::move(values));
}

void BuildTwoByTwo(const TDocument& document, TGraphModel& model) {
  const TTwoByTwoTable& counts = document.TwoByTwo;
  if (counts.AllCountsEmpty()) {
    model.ChartVisible = false;
    return;
  }
  const auto titleOr = [&](int index, std::string_view fallback) {
    const std::string& title = counts.Titles[At(index)];
    return title.empty() ? std::string(fallback) : title;
  };
  const std::string column1 = titleOr(TTwoByTwoTable::Column1Title, "Column A");
  const std::string column2 = titleOr(TTwoByTwoTable::Column2Title, "Column B");
  const std::string row1 = titleOr(TTwoByTwoTable::Row1Title, "Row 1");
  const std::string row2 = titleOr(TTwoByTwoTable::Row2Title, "Row 2");
  const auto count = [](TReal value) { return IsEmpty(value) ? TReal{0} : value; };

  model.Kind = TGraphKind::TwoByTwo;
  model.ShowRowsColumns = true;
  model.Bottom.Labels = TAxisLabels::Categories;
  model.Left.Labels = TAxisLabels::Thousands;
  model.MarginLeft = 150;
  model.MarginRight = 150;
  TGraphSeries red{"BarSeries1", TSeriesKind::Bars, TGraphColor::Red, false, {}};
  TGraphSeries blue{"BarSeries2", TSeriesKind::Bars, TGraphColor::Blue, false, {}};
  // Red is drawn first, so blue stacks on top of it; the legend lists them
  // top down.
  if (document.GraphByColumns == 1) {
    model.Bottom.Title = "Columns";
    model.TitleLines = {document.Table.Title(), std::string(ColumnTotalsTitle)};
    red.Points = {{0, count(counts.C), 0, column1}, {1, count(counts.D), 0, column2}};
    blue.Points = {{0, count(counts.A), 0, column1}, {1, count(counts.B), 0, column2}};
    model.Legend = {{row1, TGraphColor::Blue, false, false}, {row2, TGraphColor::Red, false, false}};
  } else {
    model.Bottom.Title = "Rows";
    model.TitleLines = {document.Table.Title(), std::string(RowTotalsTitle)};
    red.Points = {{0, count(counts.A), 0, row1}, {1, count(counts.C), 0, row2}};
    blue.Points = {{0, count(counts.B), 0, row1}, {1, count(counts.D), 0, row2}};
    model.Legend = {{column2, TGraphColor::Blue, false, false}, {column1, TGraphColor::Red, false, false}};
  }
  TSpan heights;
  for (std::size_t i = 0; i < red.Points.size(); ++i) {
    heights.Add(red.Points[i].Y);
    heights.Add(red.Points[i].Y + blue.Points[i].Y);
  }
  model.Left.Range = NiceAxisRange(heights.Low, heights.High, true, true);
  SetCategories(model, red);
  model.Series.push_back(std::move(red));
  model.Series.push_back(std::move(blue));
}

void BuildTotals(const TDocument& document, TGraphModel& model) {
  const TDataTable& table = document.Table;
  if (!table.HasData()) {
    model.ChartVisible = false;
    return;
  }
  model.Kind = TGraphKind::Totals;
  model.ShowRowsColumns = true;
  model.Bottom.Labels = TAxisLabels::Categories;
  TGraphSeries bars{"BarSeries1", TSeriesKind::Bars, TGraphColor::Red, false, {}};
  // Stored values, excluded ones included: the table holds counts.
  const auto sum = [&](int fromRow, int toRow, int fromColumn, int toColumn) {
    TReal total = 0;
    for (int r = fromRow; r <= toRow; ++r)
      for (int c = fromColumn; c <= toColumn; ++c)
        if (!table.IsCellEmpty(r, c)) total += table.GetValue(r, c);
    return total;
  };
  const bool byColumns = document.GraphByColumns == 1;
  model.Bottom.Title = byColumns ? "Columns" : "Rows";
  model.TitleLines = {table.Title(), std::string(byColumns ? ColumnTotalsTitle : RowTotalsTitle)};
  const int last = byColumns ? table.LastColumn() : table.LastRow();
  for (int i = 0; i <= last; ++i) {
    const TReal total = byColumns ? sum(0, table.LastRow(), i, i) : sum(i, i, 0, table.LastColumn());
    if (total <= 0) continue;
    const std::string label = byColumns ? ColumnName(table, i) : std::to_string(i + 1);
    bars.Points.push_back({static_cast<TReal>(bars.Points.size()), total, 0, label});
  }
  SetBarMargins(model, bars.Points.size());
  SetCategories(model, bars);
  TSpan heights;
  for (const TGraphPoint& point : bars.Points) heights.Add(point.Y);
  model.Left.Range = NiceAxisRange(heights.Low, heights.High, true);
  model.Series.push_back(std::move(bars));
}

// The regression line's confidence band: straight lines through the forced
// point with the slope's limits, or the curved 95% band of the fitted line.
void AddConfidenceBand(const TRegressionOutputs& regression, TReal xmin, TReal xmax, TGraphSeries& lower,
                       TGraphSeries& upper) {
  if (regression.ForceThrough != 0) {
    if (IsEmpty(regression.SlopeLower95) || IsEmpty(regression.SlopeUpper95)) return;
    for (const TReal x : {xmin, xmax}) {
      lower.Points.push_back({x, regression.ForceY + regression.SlopeLower95 * (x - regression.ForceX), 0, {}});
      upper.Points.push_back({x, regression.ForceY + regression.SlopeUpper95 * (x - regression.ForceX), 0, {}});
    }
    return;
  }
  // The band belongs to the fit, so it takes the fit's n (the points drawn
  // include those of excluded X values and stop at the drawing limit).
  const std::int32_t n = regression.N;
  if (n <= 2 || IsEmpty(regression.SyX) || IsEmpty(regression.Sxx) || IsEmpty(regression.MeanX) ||
      !(regression.Sxx > 0))
    return;
  const TReal t = t_critical_95(n - 2);
  for (int k = 0; k < 100; ++k) {
    const TReal x = xmin + (xmax - xmin) * static_cast<TReal>(k) / 100;
    const TReal dx = x - regression.MeanX;
    const TReal half = t * regression.SyX * std::sqrt(dx * dx / regression.Sxx + TReal{1} / static_cast<TReal>(n));
    const TReal y = regression.Slope * x + regression.Intercept;
    lower.Points.push_back({x, y - half, 0, {}});
    upper.Points.push_back({x, y + half, 0, {}});
  }
}

void BuildXY(const TDocument& document, TGraphModel& model) {
  const TDataTable& table = document.Table;
  if (!table.HasData()) {
    model.ChartVisible = false;
    return;
  }
  model.Kind = TGraphKind::XY;
  model.Left.Title = table.Summary(1).Title;
  model.Bottom.Title = table.Summary(0).Title;
  model.TitleLines = {table.Title()};
  model.MarginLeft = 30;
  model.MarginRight = 80;

  TGraphSeries points{"PointSeries1", TSeriesKind::Points, TGraphColor::Blue, false, {}};
  TSpan xs;
  TSpan ys;
  TSpan dataX;  // rows holding a Y
  TSpan lineX;  // the same without excluded X, as the fit saw them
  std::int32_t counted = 0;
  std::array<bool, MaxColumns> plotted{};
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal x = table.XValue(row);
    if (IsEmpty(x)) continue;
    bool anyY = false;
    bool anyAnalysedY = false;
    for (int c = 1; c <= table.LastColumn(); ++c) {
      const TReal y = table.GetValue(row, c);
      if (IsEmpty(y)) continue;
      anyY = true;
      const bool excluded = table.IsExcluded(row, c);
      if (!excluded) anyAnalysedY = true;
      // Every Y counts toward the limit, drawn or excluded.
      if (counted >= MaxGraphPoints) continue;
      ++counted;
      if (excluded) continue;
      plotted[At(c)] = true;
      points.Points.push_back({x, y, 0, {}});
      xs.Add(x);
      ys.Add(y);
    }
    if (anyY) dataX.Add(x);
    if (anyAnalysedY && !table.IsExcluded(row, 0)) lineX.Add(x);
  }
  // The Y axis names every replicate it shows.
  model.Left.Title.clear();
  for (int c = 1; c < MaxColumns; ++c) {
    if (!plotted[At(c)]) continue;
    if (!model.Left.Title.empty()) model.Left.Title += ", ";
    model.Left.Title += ColumnName(table, c);
  }
  if (dataX.Any()) {
    xs.Add(dataX.Low);
    xs.Add(dataX.High);
  }
  model.Series.push_back(std::move(points));

  const TRegressionOutputs& regression = document.Regression;
  if (!IsEmpty(regression.Slope) && !IsEmpty(regression.Intercept) && lineX.Any()) {
    model.Legend = {{"Linear Regression", TGraphColor::Red, true, false},
                    {"95% Confidence Interval", TGraphColor::Red, true, true}};
    TGraphSeries line{"LineSeries1", TSeriesKind::Line, TGraphColor::Red, false, {}};
    for (const TReal x : {lineX.Low, lineX.High})
      line.Points.push_back({x, regression.Slope * x + regression.Intercept, 0, {}});
    TGraphSeries lower{"LowerCILineSeries", TSeriesKind::Line, TGraphColor::Red, true, {}};
    TGraphSeries upper{"UpperCILineSeries", TSeriesKind::Line, TGraphColor::Red, true, {}};
    // A perfect fit has no band.
    if (regression.RSquared != 1) AddConfidenceBand(regression, lineX.Low, lineX.High, lower, upper);
    for (const TGraphSeries* series : {&line, &lower, &upper})
      for (const TGraphPoint& point : series->Points) {
        xs.Add(point.X);
        ys.Add(point.Y);
      }
    model.Series.push_back(std::move(line));
    if (!lower.Points.empty()) {
      model.Series.push_back(std::move(lower));
      model.Series.push_back(std::move(upper));
    }
  }
  model.Bottom.Range = ScatterAxisRange(xs);
  model.Left.Range = ScatterAxisRange(ys);
}

int IndexOfKey(const std::vector<TGraphVariable>& list, char key) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].Key == key) return static_cast<int>(i);
  return -1;
}

int FirstOtherKey(const std::vector<TGraphVariable>& list, char key) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].Key != key) return static_cast<int>(i);
  return list.empty() ? -1 : 0;
}

// The analysed values of one list entry, one per analysed case; empty when
// the entry is not among them.
const std::vector<TReal>* AnalysedValues(const TMultipleRegressionOutputs& results, char key) {
  if (key == ResidualsKey) return &results.Residuals;
  const int column = ColumnOfKey(key);
  if (results.Regression == 1 && column == results.DependentColumn) return &results.Dependent;
  for (std::size_t j = 0; j < results.Variables.size() && j < results.Values.size(); ++j)
    if (results.Variables[j] == column) return &results.Values[j];
  return nullptr;
}

void BuildMultipleRegression(const TDocument& document, TGraphModel& model) {
  const TDataTable& table = document.Table;
  const TMultipleRegressionOutputs& results = document.MultipleRegressionResults;
  if (!table.HasData() || !results.HasCases()) {
    model.ChartVisible = false;
    return;
  }
  model.Kind = TGraphKind::MultipleRegression;
  model.ShowVariableLists = true;
  model.TitleLines = {table.Title()};
  model.MarginLeft = 50;
  model.MarginRight = 80;
  model.XVariables = GraphXVariables(document);
  model.YVariables = GraphYVariables(document);
  const TVariableChoice choice =
      ChooseGraphVariables(model.XVariables, model.YVariables, document.GraphXVariable, document.GraphYVariable);
  model.XIndex = choice.X;
  model.YIndex = choice.Y;

  TGraphSeries points{"PointSeries1", TSeriesKind::Points, TGraphColor::Blue, false, {}};
  TSpan xs;
  TSpan ys;
  const auto add = [&](TReal x, TReal y) {
    if (IsEmpty(x) || IsEmpty(y)) return;
    points.Points.push_back({x, y, 0, {}});
    xs.Add(x);
    ys.Add(y);
  };
  if (choice.X >= 0 && choice.Y >= 0) {
    const TGraphVariable& x = model.XVariables[At(choice.X)];
    const TGraphVariable& y = model.YVariables[At(choice.Y)];
    model.Bottom.Title = x.Text;
    model.Left.Title = y.Key == ResidualsKey ? std::string(ResidualsText) : y.Text;
    if (document.GraphAnalyzedOnly == 0) {
      for (int row = 0; row <= table.LastRow(); ++row)
        add(table.GetValue(row, ColumnOfKey(x.Key)), table.GetValue(row, ColumnOfKey(y.Key)));
    } else {
      const std::vector<TReal>* xValues = AnalysedValues(results, x.Key);
      const std::vector<TReal>* yValues = AnalysedValues(results, y.Key);
      if (xValues != nullptr && yValues != nullptr)
        for (std::size_t k = 0; k < xValues->size() && k < yValues->size(); ++k) add((*xValues)[k], (*yValues)[k]);
    }
  }
  model.Series.push_back(std::move(points));
  model.Bottom.Range = ScatterAxisRange(xs);
  model.Left.Range = ScatterAxisRange(ys);
}

}  // namespace

const TGraphSeries* TGraphModel::FindSeries(std::string_view name) const {
  for (const TGraphSeries& series : Series)
    if (series.Name == name) return &series;
  return nullptr;
}

bool GraphHoldsNothing(const TDocument& document) {
  if (!document.Table.Title().empty()) return false;
  switch (document.Format) {
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      return std::none_of(document.Table.Summaries.begin(), document.Table.Summaries.end(),
                          [](const TColumnSummary& summary) { return summary.N > 0; });
    case TDataFormat::TwoByTwo:
      return document.TwoByTwo.AllCountsEmpty();
    case TDataFormat::Raw:
    case TDataFormat::XY:
    case TDataFormat::LargerTable:
    case TDataFormat::MultipleRegression:
      break;
  }
  return !document.Table.HasData();
}

TGraphModel BuildGraphModel(const TDocument& document) {
  TGraphModel model;
  if (GraphHoldsNothing(document)) return model;
  switch (document.Format) {
    case TDataFormat::Raw:
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      BuildMeans(document, model);
      break;
    case TDataFormat::TwoByTwo:
      BuildTwoByTwo(document, model);
      break;
    case TDataFormat::LargerTable:
      BuildTotals(document, model);
      break;
    case TDataFormat::XY:
      BuildXY(document, model);
      break;
    case TDataFormat::MultipleRegression:
      BuildMultipleRegression(document, model);
      break;
  }
  return model;
}

TGraphModel DrawGraph(TDocument& document, TCalcProgress& progress) {
  // The 2x2 graph always recomputes its report, so the two never disagree.
  if (document.Format == TDataFormat::TwoByTwo) document.MarkChanged();
  if (!GraphHoldsNothing(document) && document.ResultsStale) RunAnalysis(document, progress);
  return BuildGraphModel(document);
}

std::vector<TGraphVariable> GraphXVariables(const TDocument& document) {
  std::vector<TGraphVariable> list;
  if (document.GraphAnalyzedOnly == 0) {
    for (int c = 0; c < MaxColumns; ++c)
      if (document.Table.MeanEntryColumn[At(c)] == 0) list.push_back({ColumnLetter(c), VariableText(document, c)});
  } else {
    for (const std::int32_t c : document.MultipleRegressionResults.Variables)
      list.push_back({ColumnLetter(c), VariableText(document, c)});
  }
  return list;
}

std::vector<TGraphVariable> GraphYVariables(const TDocument& document) {
  const TMultipleRegressionOutputs& results = document.MultipleRegressionResults;
  if (document.GraphAnalyzedOnly == 0 || results.Regression != 1) return GraphXVariables(document);
  std::vector<TGraphVariable> list{{ResidualsKey, std::string(ResidualsText)}};
  if (results.DependentColumn >= 0 && results.DependentColumn < MaxColumns)
    list.push_back({ColumnLetter(results.DependentColumn), VariableText(document, results.DependentColumn)});
  return list;
}

TVariableChoice ChooseGraphVariables(const std::vector<TGraphVariable>& xList, const std::vector<TGraphVariable>& yList,
                                     char xKey, char yKey) {
  TVariableChoice choice{IndexOfKey(xList, xKey), IndexOfKey(yList, yKey)};
  if (choice.X < 0 && choice.Y < 0) {
    choice.X = xList.empty() ? -1 : 0;
    choice.Y = yList.size() > 1 ? 1 : (yList.empty() ? -1 : 0);
  } else if (choice.Y < 0) {
    choice.Y = FirstOtherKey(yList, xList[At(choice.X)].Key);
  } else if (choice.X < 0) {
    choice.X = FirstOtherKey(xList, yList[At(choice.Y)].Key);
  }
  // X and Y never show the same variable while another is listed.
  if (choice.X >= 0 && choice.Y >= 0 && xList[At(choice.X)].Key == yList[At(choice.Y)].Key)
    choice.Y = FirstOtherKey(yList, xList[At(choice.X)].Key);
  return choice;
}

namespace {

void MoveYOffX(TDocument& document) {
  if (document.GraphYVariable != document.GraphXVariable) return;
  const std::vector<TGraphVariable> yList = GraphYVariables(document);
  const int other = FirstOtherKey(yList, document.GraphXVariable);
  if (other >= 0) document.GraphYVariable = yList[At(other)].Key;
}

}  // namespace

void SetGraphXVariable(TDocument& document, char key) {
  document.GraphXVariable = key;
  MoveYOffX(document);
}

void SetGraphYVariable(TDocument& document, char key) {
  document.GraphYVariable = key;
  MoveYOffX(document);
}

TAxisRange NiceAxisRange(TReal lo, TReal hi, bool includeZero, bool wholeSteps) {
  if (IsEmpty(lo) || IsEmpty(hi) || !std::isfinite(lo) || !std::isfinite(hi)) return {0, 1, 6};
  if (lo > hi) std::swap(lo, hi);
  if (includeZero) {
    lo = std::min(lo, TReal{0});
    hi = std::max(hi, TReal{0});
  }
  if (hi == lo && lo == 0 && includeZero) {
    hi = 1;
  } else if (hi == lo) {
    const TReal half = lo == 0 ? TReal{0.5} : std::fabs(lo) / 2;
    lo -= half;
    hi += half;
  }
  const TReal raw = (hi - lo) / 5;
  const TReal magnitude = std::pow(TReal{10}, std::floor(std::log10(raw)));
  const TReal fraction = raw / magnitude;
  TReal step = (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * magnitude;
  if (wholeSteps) step = std::max(step, TReal{1});
  TAxisRange range;
  range.Min = std::floor(lo / step) * step;
  range.Max = std::ceil(hi / step) * step;
  range.Ticks = static_cast<std::int32_t>(std::lround(static_cast<double>((range.Max - range.Min) / step))) + 1;
  return range;
}

namespace {

// The fewest decimals (up to 9) that write every multiple of `step` exactly.
int StepDecimals(TReal step) {
  TReal scaled = std::fabs(step);
  for (int decimals = 0; decimals < 9; ++decimals) {
    if (std::fabs(scaled - std::round(scaled)) <= 1e-6L * scaled) return decimals;
    scaled *= 10;
  }
  return 9;
}

std::string GroupThousands(std::string text) {
  const std::size_t digitsStart = text[0] == '-' ? 1 : 0;
  std::size_t point = text.find('.');
  if (point == std::string::npos) point = text.size();
  for (std::size_t at = point; at > digitsStart + 3; at -= 3) text.insert(at - 3, ",");
  return text;
}

// d.dddE+xx with the decimals the step needs at this tick's magnitude.
std::string AxisScientific(TReal value, TReal step) {
  int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  TReal scale = std::pow(TReal{10}, static_cast<TReal>(exponent));
  const int decimals = std::min(6, StepDecimals(step / scale));
  std::string mantissa = FormatFixed(value / scale, decimals);
  // 9.99 rounding up to 10.0 moves to the next power of ten.
  if (mantissa.starts_with("10") || mantissa.starts_with("-10")) {
    ++exponent;
    scale *= 10;
    mantissa = FormatFixed(value / scale, decimals);
  }
  const int magnitude = std::abs(exponent);
  std::string text = mantissa + "E" + (exponent < 0 ? "-" : "+");
  if (magnitude < 10) text += "0";
  return text + std::to_string(magnitude);
}

}  // namespace

std::vector<std::string> AxisTickTexts(const TAxisRange& range, TReal groupFrom) {
  const std::int32_t ticks = std::max<std::int32_t>(2, range.Ticks);
  const TReal step = (range.Max - range.Min) / static_cast<TReal>(ticks - 1);
  const TReal largest = std::max(std::fabs(range.Min), std::fabs(range.Max));
  const bool scientific = largest > 10000000 || (largest > 0 && largest < 0.001L);
  const int decimals = StepDecimals(step);
  std::vector<std::string> texts;
  for (std::int32_t i = 0; i < ticks; ++i) {
    TReal value = range.Min + step * static_cast<TReal>(i);
    // A tick that should be 0 and is off by rounding.
    if (std::fabs(value) <= std::fabs(step) * 1e-9L) value = 0;
    if (value == 0) {
      texts.emplace_back("0");
    } else if (scientific) {
      texts.push_back(AxisScientific(value, step));
    } else {
      std::string text = FormatFixed(value, decimals);
      if (std::fabs(value) >= groupFrom) text = GroupThousands(text);
      texts.push_back(std::move(text));
    }
  }
  return texts;
}

}  // namespace ombrel
