#include "core/report/ReportRecorder.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "core/report/ReportText.h"

namespace ombrel::detail {

namespace {

std::string Trimmed(std::string_view text) {
  const auto blank = [](char ch) { return static_cast<unsigned char>(ch) < 33; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::uint8_t MarkerBit(char ch) {
  if (ch == BoldMarker) return CellBold;
  if (ch == UnderlineMarker) return CellUnderline;
  if (ch == ItalicMarker) return CellItalic;
  return 0;
}

// The cells of `row` by key; several pieces under one key join.
TReportCell CellOf(const std::vector<std::pair<int, TReportCell>>& cells, int key) {
  TReportCell joined;
  for (const auto& [cellKey, cell] : cells) {
    if (cellKey != key) continue;
    joined.Text += cell.Text;
    joined.Style |= cell.Style;
    if (cell.HasNumber && !joined.HasNumber) {
      joined.HasNumber = true;
      joined.Value = cell.Value;
      joined.Form = cell.Form;
      joined.Decimals = cell.Decimals;
    }
  }
  joined.Text = Trimmed(joined.Text);
  return joined;
}

}  // namespace

void TReportRecorder::OnChar(char ch, int line) {
  if (const std::uint8_t bit = MarkerBit(ch); bit != 0) {
    mStyle ^= bit;
    return;
  }
  // Every line starts plain, as the viewer shows it; a line break reopens
  // what stays on with markers of its own.
  if (ch == '\n') mStyle = 0;
  if (mWriterDepth == 0) {
    if (mTableOpen) CloseTable();
    return;
  }
  if (ch == '\r' || ch == '\n' || ch == EndMarker || line == mRuleLine) return;
  TReportCell& cell = CurrentCell(line);
  cell.Text.push_back(ch);
  if (ch != ' ') cell.Style |= mStyle;
}

TReportCell& TReportRecorder::CurrentCell(int line) {
  mTableOpen = true;
  if (mRows.empty() || mRows.back().Line != line) mRows.push_back({line, {}});
  TRawRow& row = mRows.back();
  if (row.Cells.empty()) row.Cells.emplace_back(0, TReportCell{});
  return row.Cells.back().second;
}

void TReportRecorder::StartCell(int key, int line) {
  if (mWriterDepth == 0 || line == mRuleLine) return;
  mTableOpen = true;
  if (mRows.empty() || mRows.back().Line != line) mRows.push_back({line, {}});
  TRawRow& row = mRows.back();
  if (row.Cells.empty() || row.Cells.back().first != key) row.Cells.emplace_back(key, TReportCell{});
}

void TReportRecorder::OnNumber(const TReportNumber& number) {
  mStructure.Numbers.push_back(number);
  if (mWriterDepth == 0 || mRows.empty() || mRows.back().Line != number.Line || mRows.back().Cells.empty()) return;
  TReportCell& cell = mRows.back().Cells.back().second;
  if (cell.HasNumber) return;
  cell.HasNumber = true;
  cell.Value = number.Value;
  cell.Form = number.Form;
  cell.Decimals = number.Decimals;
}

void TReportRecorder::RuleLine(int line, bool endsHeading) {
  mRuleLine = line;
  if (!mRows.empty() && mRows.back().Line == line) mRows.pop_back();
  if (endsHeading) EndHeading();
}

void TReportRecorder::EndHeading() {
  if (mHeadingEnded) return;
  mHeadingEnded = true;
  mHeaderRows = mRows.size();
}

TReportTable TReportRecorder::FinishedTable() const {
  std::set<int> keys;
  for (const TRawRow& row : mRows)
    for (const auto& [key, cell] : row.Cells)
      if (!Trimmed(cell.Text).empty()) keys.insert(key);
  TReportTable table;
  table.FirstLine = -1;
  for (std::size_t r = 0; r < mRows.size(); ++r) {
    TReportRow cells;
    bool any = false;
    for (const int key : keys) {
      cells.push_back(CellOf(mRows[r].Cells, key));
      any = any || !cells.back().Text.empty();
    }
    if (!any) continue;
    if (table.FirstLine < 0) table.FirstLine = mRows[r].Line;
    table.EndLine = mRows[r].Line + 1;
    (r < mHeaderRows ? table.Header : table.Body).push_back(std::move(cells));
  }
  // A heading of several lines becomes one row: "Number" / "of" / "Points"
  // is the heading "Number of Points".
  if (table.Header.size() > 1) {
    TReportRow merged = table.Header.front();
    for (std::size_t r = 1; r < table.Header.size(); ++r) {
      for (std::size_t c = 0; c < merged.size(); ++c) {
        const TReportCell& cell = table.Header[r][c];
        if (cell.Text.empty()) continue;
        merged[c].Text += merged[c].Text.empty() ? cell.Text : " " + cell.Text;
        merged[c].Style |= cell.Style;
      }
    }
    table.Header = {merged};
  }
  return table;
}

void TReportRecorder::CloseTable() {
  if (mTableOpen) {
    TReportTable table = FinishedTable();
    if (table.FirstLine >= 0) mStructure.Tables.push_back(std::move(table));
  }
  mTableOpen = false;
  mRows.clear();
  mHeaderRows = 0;
  mHeadingEnded = false;
  mRuleLine = -1;
}

void TReportRecorder::Clear() {
  mStructure = {};
  mTableOpen = false;
  mRows.clear();
  mHeaderRows = 0;
  mHeadingEnded = false;
  mRuleLine = -1;
  mStyle = 0;
}

void TReportRecorder::Append(const TReportStructure& source, int lineOffset) {
  for (TReportNumber number : source.Numbers) {
    number.Line += lineOffset;
    mStructure.Numbers.push_back(std::move(number));
  }
  for (TReportHeading heading : source.Headings) {
    heading.Line += lineOffset;
    mStructure.Headings.push_back(heading);
  }
  for (TReportTable table : source.Tables) {
    table.FirstLine += lineOffset;
    table.EndLine += lineOffset;
    mStructure.Tables.push_back(std::move(table));
  }
}

}  // namespace ombrel::detail
