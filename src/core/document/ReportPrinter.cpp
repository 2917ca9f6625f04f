#include "core/document/ReportPrinter.h"

#include <string>

#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"

namespace ombrel {

namespace {

bool IsMarker(char ch) { return ch == BoldMarker || ch == UnderlineMarker || ch == ItalicMarker; }

}  // namespace

TStatusCode ComputeReport(TDocument& document) {
  TSilentCalcProgress progress;
  // The report on file may be stale or absent; compute what the data say now.
  document.MarkChanged();
  document.Table.StatusCode = TStatusCode::Ok;
  RunAnalysis(document, progress);
  return document.Table.StatusCode;
}

std::string ReportPageTitle(const TDocument& document, std::string_view fileName) {
  if (!document.Table.Title().empty()) return document.Table.Title();
  const std::size_t slash = fileName.find_last_of("/\\");
  if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
  const std::size_t dot = fileName.rfind('.');
  if (dot != std::string_view::npos && dot > 0) fileName = fileName.substr(0, dot);
  return fileName.empty() ? std::string("Ombrel Results") : std::string(fileName);
}

TStatusCode PrintReport(TDocument& document, std::ostream& out, bool keepMarkers) {
  ComputeReport(document);
  const TReportText& report = document.Report;
  std::string text;
  for (int i = 0; i < report.LineCount(); ++i) {
    const auto line = report.GetLine(i);
    if (!line) break;
    text.clear();
    for (const char ch : *line)
      if (keepMarkers || !IsMarker(ch)) text.push_back(ch);
    text.push_back('\n');
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  return document.Table.StatusCode;
}

}  // namespace ombrel
