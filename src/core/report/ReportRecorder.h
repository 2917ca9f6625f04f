#pragma once

// Internal to TReportText: builds the report's structure (ReportStructure.h)
// from what the text operations write. Table rows come from the report
// tables' writer (TableWriter.h), which opens a writer scope, names the cell
// each stop starts and marks rule lines; a character written outside any
// writer scope ends the table in progress.

#include <cstdint>
#include <utility>
#include <vector>

#include "core/report/ReportStructure.h"

namespace ombrel::detail {

class TReportRecorder {
 public:
  // Every character the report appends, markers included, on `line`.
  void OnChar(char ch, int line);
  // A number just printed; it also fills the table cell it was written in.
  void OnNumber(const TReportNumber& number);
  // The first mark of a line wins (a title is also an underlined line).
  void OnHeading(int line, int level) {
    if (mStructure.Headings.empty() || mStructure.Headings.back().Line != line)
      mStructure.Headings.push_back({line, level});
  }

  void OpenWriter() { ++mWriterDepth; }
  void CloseWriter() { --mWriterDepth; }
  // The cell `key` of the row on `line` starts here (0 is what a row holds
  // before its first stop, stop i is key i + 1).
  void StartCell(int key, int line);
  // `line` is a rule: nothing on it is a cell. A rule that ends a heading
  // makes the rows so far the table's heading.
  void RuleLine(int line, bool endsHeading);
  // The rows so far are the table's heading.
  void EndHeading();

  // Ends the table in progress, if any.
  void CloseTable();
  void Clear();
  // Adds another report's structure, its lines moved down by `lineOffset`.
  void Append(const TReportStructure& source, int lineOffset);

  const TReportStructure& Structure() const { return mStructure; }

 private:
  struct TRawRow {
    int Line = 0;
    std::vector<std::pair<int, TReportCell>> Cells;
  };
  TReportCell& CurrentCell(int line);
  TReportTable FinishedTable() const;

  TReportStructure mStructure;
  int mWriterDepth = 0;
  std::uint8_t mStyle = 0;
  bool mTableOpen = false;
  std::vector<TRawRow> mRows;
  std::size_t mHeaderRows = 0;
  bool mHeadingEnded = false;
  int mRuleLine = -1;
};

}  // namespace ombrel::detail
