#include "core/graph/GraphDescription.h"

#include <cmath>
#include <string_view>

#include "core/base/NumberText.h"

namespace ombrel {

namespace {

// Four significant digits, "." as the decimal point, never "nan" or "inf".
std::string Number(TReal value) {
  if (IsEmpty(value) || !std::isfinite(value)) return "no value";
  const std::string text = NumberText(value, 0, DecimalsForDigits(value, -4));
  return text.empty() ? "no value" : text;
}

void Sentence(std::string& text, std::string_view words) {
  if (words.empty()) return;
  if (!text.empty()) text += ' ';
  text += words;
  text += '.';
}

std::string Bars(const TGraphSeries& series) {
  std::string words = "Bars:";
  for (std::size_t i = 0; i < series.Points.size(); ++i) {
    const TGraphPoint& point = series.Points[i];
    words += i == 0 ? " " : ", ";
    words += point.Label.empty() ? "bar " + std::to_string(i + 1) : point.Label;
    words += ' ' + Number(point.Y);
    if (series.Kind == TSeriesKind::ErrorBars && point.Error > 0) words += " (error " + Number(point.Error) + ")";
  }
  return words;
}

// A straight line through its first and last point.
std::string Line(const TGraphSeries& series) {
  const TGraphPoint& first = series.Points.front();
  const TGraphPoint& last = series.Points.back();
  const std::string kind = series.Dotted ? "Dotted line" : "Line";
  if (series.Points.size() < 2 || last.X == first.X) return kind;
  const TReal slope = (last.Y - first.Y) / (last.X - first.X);
  const TReal intercept = first.Y - slope * first.X;
  const std::string sign = intercept < 0 ? " - " : " + ";
  return kind + ": Y = " + Number(slope) + " * X" + sign + Number(std::fabs(intercept));
}

}  // namespace

std::string GraphDescription(const TGraphModel& model) {
  if (model.Kind == TGraphKind::Empty || !model.ChartVisible) return "The graph is empty.";
  std::string text;
  const bool titled = !model.TitleLines.empty() && !model.TitleLines.front().empty();
  Sentence(text, titled ? "Graph of " + model.TitleLines.front() : std::string("Graph"));
  for (std::size_t i = 1; i < model.TitleLines.size(); ++i) Sentence(text, model.TitleLines[i]);
  if (!model.Bottom.Title.empty()) Sentence(text, "Horizontal axis: " + model.Bottom.Title);
  if (!model.Left.Title.empty()) Sentence(text, "Vertical axis: " + model.Left.Title);
  for (const TGraphSeries& series : model.Series) {
    if (series.Points.empty()) continue;
    switch (series.Kind) {
      case TSeriesKind::Bars:
      case TSeriesKind::ErrorBars:
        Sentence(text, Bars(series));
        break;
      case TSeriesKind::Points:
        Sentence(text, std::to_string(series.Points.size()) + (series.Points.size() == 1 ? " point" : " points"));
        break;
      case TSeriesKind::Line:
        Sentence(text, Line(series));
        break;
    }
  }
  return text;
}

}  // namespace ombrel
