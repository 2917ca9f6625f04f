#include "core/document/ReportPrinter.h"

#include <string>

#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"

namespace ombrel {

namespace {

bool IsMarker(char ch) { return ch == BoldMarker || ch == UnderlineMarker || ch == ItalicMarker; }

}  // namespace

TStatusCode PrintReport(TDocument& document, std::ostream& out, bool keepMarkers) {
  TSilentCalcProgress progress;
  // The report on file may be stale or absent; print what the data say now.
  document.MarkChanged();
  document.Table.StatusCode = TStatusCode::Ok;
  RunAnalysis(document, progress);
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
