#pragma once

// Reports compared with golden files, tests/data/reports/<name>.txt: one
// line of the report per line of the file, the bold marker shown as '^' and
// the underline marker as '_'. A report line holding a literal '^' or '_'
// fails, so the notation stays unambiguous. With OMBREL_UPDATE_GOLDEN=1 in
// the environment a differing file is rewritten from the report instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/DataTable.h"
#include "core/document/Document.h"
#include "core/report/ReportText.h"

namespace ombrel::test {

inline std::string Visible(std::string_view line) {
  std::string text(line);
  for (char& ch : text) {
    if (ch == '^' || ch == '_' || ch == '~') ADD_FAILURE() << "literal '" << ch << "' in report line: " << line;
    if (ch == BoldMarker) ch = '^';
    if (ch == UnderlineMarker) ch = '_';
    if (ch == ItalicMarker) ch = '~';
  }
  return text;
}

// The lines of a finished report, as the viewer reads them.
inline std::vector<std::string> VisibleLines(const TReportText& report) {
  std::vector<std::string> lines;
  for (int i = 0; i < report.LineCount(); ++i) {
    const std::optional<std::string_view> line = report.GetLine(i);
    if (!line) ADD_FAILURE() << "the report has no line " << i << " of " << report.LineCount();
    lines.push_back(Visible(line.value_or("")));
  }
  return lines;
}

// Finishes the report, then gives its lines without the empty padding lines
// at the end.
inline std::vector<std::string> FinishedLines(TReportText& report) {
  report.FinishReport();
  std::vector<std::string> lines = VisibleLines(report);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// The report reads `expected` line for line; every later line is empty.
inline void ExpectReportLines(const TReportText& report, const std::vector<std::string>& expected) {
  const std::vector<std::string> lines = VisibleLines(report);
  ASSERT_GE(lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
  for (std::size_t i = expected.size(); i < lines.size(); ++i) EXPECT_EQ(lines[i], "") << "line " << i;
}

// A text split at CR LF; no line follows the last CR LF.
inline std::vector<std::string> CrLfLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The lines of a report written so far.
inline std::vector<std::string> WrittenLines(const TReportText& report) {
  std::vector<std::string> lines = CrLfLines(report.Text());
  for (std::string& line : lines) line = Visible(line);
  return lines;
}

// tests/data/reports/<name>.txt, or <name> itself when it names its
// extension (".json").
inline std::filesystem::path GoldenPath(std::string_view name) {
  const std::string file = name.ends_with(".json") ? std::string(name) : std::string(name) + ".txt";
  return std::filesystem::path(OMBREL_TEST_DATA_DIR) / "reports" / file;
}

inline std::vector<std::string> ReadGolden(std::string_view name) {
  std::ifstream in(GoldenPath(name), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// `lines` equal the golden file line for line. A mismatch names the file
// and shows the first differing line with its neighbours, diff style.
inline void ExpectGolden(const std::vector<std::string>& lines, std::string_view name) {
  const std::filesystem::path path = GoldenPath(name);
  if (!std::filesystem::exists(path) && std::getenv("OMBREL_UPDATE_GOLDEN") == nullptr) {
    ADD_FAILURE() << "no golden file " << path.string();
    return;
  }
  const std::vector<std::string> golden = ReadGolden(name);
  if (lines == golden) return;
  if (const char* update = std::getenv("OMBREL_UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) out << line << '\n';
    return;
  }
  std::size_t first = 0;
  while (first < lines.size() && first < golden.size() && lines[first] == golden[first]) ++first;
  std::ostringstream diff;
  diff << "report differs from " << path.string() << " at line " << first + 1 << " (file has " << golden.size()
       << " lines, report " << lines.size() << ")\n--- " << path.filename().string() << "\n+++ report\n";
  for (std::size_t i = first > 3 ? first - 3 : 0; i < first; ++i) diff << " " << golden[i] << "\n";
  for (std::size_t i = first; i < std::min(golden.size(), first + 3); ++i) diff << "-" << golden[i] << "\n";
  for (std::size_t i = first; i < std::min(lines.size(), first + 3); ++i) diff << "+" << lines[i] << "\n";
  ADD_FAILURE() << diff.str() << "(OMBREL_UPDATE_GOLDEN=1 rewrites the file)";
}

// The lines of a finished report equal the golden file; lines after the
// file's may only be the empty padding lines.
inline void ExpectGoldenReport(std::vector<std::string> lines, std::string_view name) {
  const std::size_t size = ReadGolden(name).size();
  while (lines.size() > size && lines.back().empty()) lines.pop_back();
  ExpectGolden(lines, name);
}

inline void ExpectGoldenReport(const TReportText& report, std::string_view name) {
  ExpectGoldenReport(VisibleLines(report), name);
}

// The golden file's lines stand in `lines` from where its first line first
// appears.
inline void ExpectGoldenSection(const std::vector<std::string>& lines, std::string_view name) {
  const std::vector<std::string> golden = ReadGolden(name);
  ASSERT_FALSE(golden.empty()) << "no golden file " << GoldenPath(name).string();
  const auto start = std::find(lines.begin(), lines.end(), golden.front());
  ASSERT_NE(start, lines.end()) << "the report lacks the first line of " << GoldenPath(name).string() << ": "
                                << golden.front();
  const auto end = lines.end() - start > static_cast<std::ptrdiff_t>(golden.size())
                       ? start + static_cast<std::ptrdiff_t>(golden.size())
                       : lines.end();
  ExpectGolden({start, end}, name);
}

// A title centered in 65 columns and underlined; left and right are the
// spaces around it, (65 - length) div 2 on the left.
inline std::string TitleLine(std::string_view text, std::size_t left, std::size_t right) {
  return "_" + std::string(left, ' ') + std::string(text) + std::string(right, ' ') + "_";
}

inline std::string Underlined(std::string_view text) { return "_" + std::string(text) + "_"; }

inline const std::string StarLine = "                       *     *     *";

// A refusal or a precondition: the message between empty lines, then the
// closing newline and stars.
inline std::vector<std::string> MessageReport(std::initializer_list<std::string> message) {
  std::vector<std::string> lines{""};
  lines.insert(lines.end(), message);
  lines.insert(lines.end(), {"", "", StarLine});
  return lines;
}

// Raw values typed into a column under a title, as the grid stores them;
// empty values leave their cell empty.
inline void TypeColumn(TDocument& document, int column, std::string_view title, const std::vector<TReal>& values) {
  for (std::size_t row = 0; row < values.size(); ++row)
    if (!IsEmpty(values[row])) document.Table.SetValue(static_cast<int>(row), column, values[row]);
  document.Table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
  document.Table.Summary(column).Title = std::string(title);
  document.MarkChanged();
}

// A typed mean, SD and N of an averaged column.
inline void TypeMean(TDocument& document, int column, std::string_view title, TReal mean, TReal sd, std::int32_t n) {
  TColumnSummary& summary = document.Table.Summary(column);
  summary.Title = std::string(title);
  summary.Mean = mean;
  summary.SD = sd;
  summary.N = n;
  document.MarkChanged();
}

}  // namespace ombrel::test
