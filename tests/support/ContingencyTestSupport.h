#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"

namespace ombrel::test {

// The report's lines as written so far, split at CR LF, with the bold and
// underline markers shown as "{b}" and "{u}" so that expected reports can be
// written as plain strings.
inline std::vector<std::string> ReportLines(const TReportText& report) {
  std::vector<std::string> lines(1);
  const std::string& text = report.Text();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      lines.emplace_back();
      ++i;
    } else if (ch == BoldMarker) {
      lines.back() += "{b}";
    } else if (ch == UnderlineMarker) {
      lines.back() += "{u}";
    } else {
      lines.back() += ch;
    }
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

// Runs an analysis entry point as the analysis drivers do: inside the fault
// frame, followed by the error report.
inline TStatusCode RunFramed(TDataTable& table, TReportText& report, const std::function<void()>& routine) {
  RunGuarded(table, &report, routine);
  report.WriteErrorReport(table.StatusCode);
  return table.StatusCode;
}

}  // namespace ombrel::test
