#include "core/report/ReportLines.h"

#include <fstream>

#include "core/report/ReportText.h"

namespace ombrel {

TDisplayLine DisplayLineOf(std::string_view rawLine) {
  TDisplayLine line;
  line.Text.reserve(rawLine.size());
  line.Attributes.reserve(rawLine.size());
  std::uint8_t attributes = 0;
  for (const char ch : rawLine) {
    switch (ch) {
      case BoldMarker:
        attributes ^= BoldAttribute;
        break;
      case UnderlineMarker:
        attributes ^= UnderlineAttribute;
        break;
      case ItalicMarker:
        attributes ^= ItalicAttribute;
        break;
      case EndMarker:
        break;
      default:
        line.Text.push_back(ch);
        line.Attributes.push_back(attributes);
        if (attributes != 0) line.HasAttributes = true;
        break;
    }
  }
  return line;
}

std::optional<TDisplayLine> GetLineText(const TReportText* report, int index) {
  if (report == nullptr) {
    TDisplayLine line;
    line.Text = "Text line #" + std::to_string(index);
    line.Attributes.assign(line.Text.size(), 0);
    return line;
  }
  if (index < 0 || index >= report->LineCount()) return std::nullopt;
  const auto raw = report->GetLine(index);
  if (!raw) return std::nullopt;
  return DisplayLineOf(*raw);
}

std::string PlainReportText(const TReportText& report, std::string_view lineEnd) {
  std::string text;
  for (int i = 0; i < report.LineCount(); ++i) {
    const auto line = GetLineText(&report, i);
    if (!line) break;
    text += line->Text;
    text += lineEnd;
  }
  return text;
}

bool SaveReportToTextFile(const TReportText& report, const std::string& fileName) {
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  const std::string text = PlainReportText(report, PlatformLineEnd);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  return !file.fail();
}

}  // namespace ombrel
