#include "core/report/EffectSizeLines.h"

#include <cmath>

#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

// The digits the analyses write their statistics with.
constexpr int StatisticDigits = -5;
constexpr int LineWidth = 78;

std::string StatisticText(TReal value) { return NumberText(value, 0, DecimalsForDigits(value, StatisticDigits)); }

bool Usable(TReal value) { return std::isfinite(value) && !IsEmpty(value); }

// The columns a text takes on its line: marker bytes take none.
int VisibleWidth(std::string_view text) {
  int width = 0;
  for (const char ch : text)
    if (ch != ItalicMarker && ch != BoldMarker && ch != UnderlineMarker) ++width;
  return width;
}

// Writes "label text" in lines of at most LineWidth columns, broken at the
// spaces outside italics (a line starts plain, so an italic run must not be
// cut), the continuations indented under the text.
void WriteWrapped(TReportText& report, std::string_view text, int indent) {
  std::vector<std::string_view> words;
  bool italic = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ItalicMarker) italic = !italic;
    if (text[i] == ' ' && !italic) {
      if (i > start) words.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) words.push_back(text.substr(start));
  int column = 0;
  for (const std::string_view word : words) {
    const int width = VisibleWidth(word);
    if (column > 0 && column + 1 + width > LineWidth) {
      report.NewLine();
      report.WriteText(std::string(static_cast<std::size_t>(indent), ' '));
      column = indent;
    } else if (column > 0) {
      report.WriteText(" ");
      ++column;
    }
    report.WriteText(word);
    column += width;
  }
  report.NewLine();
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

std::string PPart(const TMethodFacts& facts) {
  switch (facts.PMethod) {
    case TPMethod::Exact:
      return "exact P by complete enumeration of " + std::to_string(facts.Arrangements) + " arrangements";
    case TPMethod::Approximate: {
      std::string text = "P by " + facts.Source;
      switch (facts.Ties) {
        case TTieHandling::Corrected:
          return text + ", corrected for ties";
        case TTieHandling::NotCorrected:
          return text + ", not corrected for ties";
        case TTieHandling::NoTies:
          return text + " (no ties)";
        case TTieHandling::NotStated:
          break;
      }
      return text;
    }
    case TPMethod::Distribution:
      break;
  }
  return facts.Source.empty() ? std::string() : "P from " + facts.Source;
}

std::string LeftOut(const TGroupCount& group) {
  std::vector<std::string> counts;
  if (group.Empty > 0) counts.push_back(std::to_string(group.Empty) + " empty");
  if (group.Excluded > 0) counts.push_back(std::to_string(group.Excluded) + " excluded");
  if (group.Unpaired > 0) counts.push_back(std::to_string(group.Unpaired) + " without a partner");
  if (counts.empty()) return std::string();
  return group.Name + " " + Joined(counts, ", ");
}

}  // namespace

void WriteEffectSizeHeading(TReportText& report) {
  report.NewLine();
  WriteUnderlinedLine(report, EffectSizeHeading);
}

std::string EffectSizeLineText(std::string_view name, TReal value, TReal lower, TReal upper) {
  std::string text(name);
  if (!Usable(value)) return text + " cannot be calculated from these data.";
  text += " = " + StatisticText(value);
  if (Usable(lower) && Usable(upper)) text += ", 95% CI " + StatisticText(lower) + " to " + StatisticText(upper);
  return text;
}

void WriteEffectSizeLine(TReportText& report, std::string_view name, TReal value, TReal lower, TReal upper) {
  WriteWrapped(report, EffectSizeLineText(name, value, lower, upper), 2);
}

std::string MethodLineText(const TMethodFacts& facts) {
  std::vector<std::string> parts;
  parts.push_back(PPart(facts));
  parts.insert(parts.end(), facts.Notes.begin(), facts.Notes.end());
  if (facts.Tails == 1) parts.emplace_back("one-tailed");
  if (facts.Tails == 2) parts.emplace_back("two-tailed");
  std::vector<std::string> used;
  std::vector<std::string> leftOut;
  for (const TGroupCount& group : facts.Groups) {
    used.push_back(group.Name + " " + std::to_string(group.Used));
    leftOut.push_back(LeftOut(group));
  }
  if (!used.empty()) {
    parts.push_back("N used: " + Joined(used, ", "));
    const std::string left = Joined(leftOut, "; ");
    parts.push_back(left.empty() ? "no values left out" : "left out: " + left);
  }
  if (!facts.PostTest.empty()) parts.push_back("post test: " + facts.PostTest);
  return "Method: " + Joined(parts, "; ") + ".";
}

void WriteMethodLine(TReportText& report, const TMethodFacts& facts) {
  WriteWrapped(report, MethodLineText(facts), static_cast<int>(std::string_view("Method: ").size()));
}

std::string Italic(std::string_view text) { return ItalicMarker + std::string(text) + ItalicMarker; }

std::string ApaNumber(TReal value, bool leadingZero) {
  std::string text = FormatFixed(value, 2);
  if (!leadingZero) {
    if (text.starts_with("0.")) text.erase(0, 1);
    if (text.starts_with("-0.")) text.erase(1, 1);
  }
  return text;
}

std::string ApaDf(TReal df) {
  if (!Usable(df)) return std::string();
  if (df == std::floor(df) && std::fabs(df) < 1e15L) return FormatFixed(df, 0);
  return FormatFixed(df, 2);
}

std::string ApaP(TReal p) {
  if (!Usable(p)) return std::string();
  const std::string symbol = Italic("p");
  if (p < 0.001L) return symbol + " < .001";
  std::string text = FormatFixed(p, 3);
  if (text == "1.000") return symbol + " > .999";
  if (text.starts_with("0.")) text.erase(0, 1);
  return symbol + " = " + text;
}

std::string ApaStatistic(std::string_view symbol, std::string_view df, TReal value) {
  if (!Usable(value)) return std::string();
  std::string text(symbol);
  if (!df.empty()) text += "(" + std::string(df) + ")";
  return text + " = " + ApaNumber(value);
}

std::string ApaEffect(std::string_view symbol, TReal value, TReal lower, TReal upper, bool leadingZero) {
  if (!Usable(value)) return std::string();
  std::string text = std::string(symbol) + " = " + ApaNumber(value, leadingZero);
  if (Usable(lower) && Usable(upper))
    text += ", 95% CI [" + ApaNumber(lower, leadingZero) + ", " + ApaNumber(upper, leadingZero) + "]";
  return text;
}

std::string ApaLineText(std::initializer_list<std::string_view> parts) {
  return ApaLineText(std::vector<std::string>(parts.begin(), parts.end()));
}

std::string ApaLineText(const std::vector<std::string>& parts) { return "APA: " + Joined(parts, ", "); }

void WriteApaLine(TReportText& report, std::initializer_list<std::string_view> parts) {
  WriteApaLine(report, std::vector<std::string>(parts.begin(), parts.end()));
}

void WriteApaLine(TReportText& report, const std::vector<std::string>& parts) {
  WriteWrapped(report, ApaLineText(parts), static_cast<int>(std::string_view("APA: ").size()));
}

}  // namespace ombrel
