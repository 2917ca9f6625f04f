#pragma once

// Internal to the report tables: writes one table's cells at the stops of its
// tab set, so that each table reads as its layout (stop, width, content).
// While it lives, what it writes is recorded as the cells of a report table
// (ReportStructure.h): each stop starts a cell, rule lines are no rows, and
// a double rule (or EndHeading) ends the table's heading. The rows of one
// table may come from several writers in a row (heading, then each row).

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "core/report/ReportTables.h"

namespace ombrel::detail {

class TTableWriter {
 public:
  TTableWriter(TReportText& report, TTabSet set) : mReport(report), mStops(TabStops(set)) {
    mReport.mRecorder.OpenWriter();
  }
  // A table laid out on the report's own tab stops (ClearTabStops,
  // AddTabStop) instead of a set: At starts a cell where the line is, Next
  // at the next stop beyond it.
  explicit TTableWriter(TReportText& report) : mReport(report) { mReport.mRecorder.OpenWriter(); }
  ~TTableWriter() { mReport.mRecorder.CloseWriter(); }
  TTableWriter(const TTableWriter&) = delete;
  TTableWriter& operator=(const TTableWriter&) = delete;

  // Spaces up to the stop with this index in the set (nothing when the line
  // is already there or beyond).
  TTableWriter& At(std::size_t stop);
  // Cell `cell` starts at the report's next tab stop (NextTabStop).
  TTableWriter& Next(std::size_t cell);
  TTableWriter& Text(std::string_view text);
  // CenterText, PadLeft and PadRight of the text in the width.
  TTableWriter& Centred(int width, std::string_view text);
  TTableWriter& Right(int width, std::string_view text);
  TTableWriter& Left(int width, std::string_view text);
  // WriteNumberIn with digits -5; the second writes "Unknown" for the empty
  // marker.
  TTableWriter& Number(int width, TReal value);
  TTableWriter& NumberOrUnknown(int width, TReal value);
  TTableWriter& Integer(int width, std::int32_t value);
  TTableWriter& Bold();
  TTableWriter& EndLine();
  // One rule per width, the i-th at stop i: "=" or "-".
  TTableWriter& DoubleRules(std::initializer_list<int> widths);
  TTableWriter& SingleRules(std::initializer_list<int> widths);
  // The rows written so far are the table's heading (for a table whose
  // heading has no double rule under it).
  TTableWriter& EndHeading();
  // The line about to be written is a rule, written by the caller; a double
  // rule ends the heading.
  TTableWriter& RuleLine(bool doubleRule);

  TReportText& Report() { return mReport; }

 private:
  int Line() const { return static_cast<int>(mReport.mLineCount); }

  TReportText& mReport;
  std::span<const std::int32_t> mStops;
};

}  // namespace ombrel::detail
