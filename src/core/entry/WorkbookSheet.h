#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/entry/Workbook.h"
#include "core/entry/WorkbookParts.h"

// What the readers of the two workbook formats share (Workbook.cpp holds the
// xlsx reader, WorkbookOds.cpp the OpenDocument one): the text helpers, the
// sheet choice, the collector of kept cells and the turning of a part's
// failure into the sheet's problem. Internal to those files.

namespace ombrel::detail {

// Parts that describe a workbook rather than hold its cells are small.
inline constexpr std::uint64_t SmallPartBytes = 16ULL * 1024 * 1024;
// The most rows or columns a sheet can have; repeat counts are cut to it.
inline constexpr std::int64_t MaxSheetLines = 1 << 24;

inline std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// Appends up to the cell text limit, never cutting a UTF-8 sequence.
inline void AppendCapped(std::string& text, std::string_view more) {
  if (text.size() >= MaxWorkbookCellText) return;
  std::size_t room = MaxWorkbookCellText - text.size();
  if (more.size() > room) {
    while (room > 0 && (static_cast<unsigned char>(more[room]) & 0xC0) == 0x80) --room;
    more = more.substr(0, room);
  }
  text.append(more);
}

inline bool ParseCount(const char* text, std::int64_t& value) {
  if (text == nullptr) return false;
  const std::string_view t = Trimmed(text);
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  return error == std::errc{} && end == t.data() + t.size();
}

// A repeat count or 1-based index: at least 1, at most MaxSheetLines.
inline std::int64_t CountAttribute(const char** attributes, std::string_view name, std::int64_t fallback) {
  std::int64_t value = 0;
  if (!ParseCount(XmlAttribute(attributes, name), value)) return fallback;
  return std::clamp<std::int64_t>(value, 1, MaxSheetLines);
}

inline bool IsTrue(const char* text) {
  if (text == nullptr) return false;
  const std::string_view t = Trimmed(text);
  return t == "1" || t == "true";
}

// The sheet to read: its exact name first, then its 1-based number.
struct TSheetChoice {
  std::string Name;
  int Number = 0;  // 1-based; 0 when the choice is no number
  bool Empty() const { return Name.empty(); }
  bool NameMatches(std::string_view name) const { return !Name.empty() && name == Name; }
};

inline TSheetChoice MakeChoice(std::string_view sheet) {
  TSheetChoice choice;
  choice.Name = std::string(sheet);
  const std::string_view t = Trimmed(sheet);
  int number = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), number);
  if (!t.empty() && error == std::errc{} && end == t.data() + t.size() && number > 0) choice.Number = number;
  return choice;
}

inline int ChooseSheet(const std::vector<std::string>& names, const TSheetChoice& choice) {
  if (names.empty()) return -1;
  if (choice.Empty()) return 0;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == choice.Name) return static_cast<int>(i);
  if (choice.Number > 0 && choice.Number <= static_cast<int>(names.size())) return choice.Number - 1;
  return -1;
}

// Cells as they are found: kept by row (relative to the first row holding a
// value) and column, with the row's hidden flag.
class TSheetCollector {
 public:
  TSheetCollector(TWorkbookSheet& sheet, const TWorkbookLimits& limits) : mSheet(sheet), mLimits(limits) {
    mSheet.HiddenColumns.assign(static_cast<std::size_t>(std::max(limits.Columns, 0)), 0);
  }

  // Keeps a cell that holds something; answers the row it went to (relative
  // to the first row kept), -1 when it was not kept, and sets `more` once a
  // value lies below the kept rows (reading may stop then).
  std::int64_t Store(std::int64_t row, std::int64_t column, bool hiddenRow, TWorkbookCell cell, bool& more) {
    more = false;
    if (cell.Kind == TWorkbookCellKind::Empty || column < 0) return -1;
    if (column >= mLimits.Columns) {
      mSheet.MoreColumns = true;
      return -1;
    }
    if (mSheet.Rows.empty()) mSheet.FirstRow = row + 1;
    const std::int64_t relative = row + 1 - mSheet.FirstRow;
    if (relative < 0) return -1;  // rows out of order: not in a sound file
    if (relative >= mLimits.Rows) {
      mSheet.MoreRows = more = true;
      return -1;
    }
    const auto r = static_cast<std::size_t>(relative);
    if (mSheet.Rows.size() <= r) {
      mSheet.Rows.resize(r + 1);
      mSheet.HiddenRows.resize(r + 1, 0);
    }
    if (hiddenRow) mSheet.HiddenRows[r] = 1;
    auto& cells = mSheet.Rows[r];
    const auto c = static_cast<std::size_t>(column);
    if (cells.size() <= c) cells.resize(c + 1);
    cells[c] = std::move(cell);
    return relative;
  }

  void HideColumns(std::int64_t first, std::int64_t count) {
    for (std::int64_t c = std::max<std::int64_t>(first, 0); c < first + count && c < mLimits.Columns; ++c)
      mSheet.HiddenColumns[static_cast<std::size_t>(c)] = 1;
  }

  void Clear() {
    mSheet.Rows.clear();
    mSheet.HiddenRows.clear();
    std::fill(mSheet.HiddenColumns.begin(), mSheet.HiddenColumns.end(), 0);
    mSheet.MoreRows = mSheet.MoreColumns = false;
    mSheet.FirstRow = 0;
  }

 private:
  TWorkbookSheet& mSheet;
  const TWorkbookLimits& mLimits;
};

// Collects the text of chosen elements, capped.
class TTextCapture {
 public:
  void Begin() {
    mOn = true;
    mText.clear();
  }
  void Resume() { mOn = true; }
  void Pause() { mOn = false; }
  void Add(std::string_view text) {
    if (mOn) AppendCapped(mText, text);
  }
  bool On() const { return mOn; }
  std::string Take() {
    mOn = false;
    return std::move(mText);
  }
  const std::string& Text() const { return mText; }

 private:
  bool mOn = false;
  std::string mText;
};

inline bool ParseDigits(std::string_view text, std::int64_t& value) {
  text = Trimmed(text);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

inline TWorkbookSheet Failed(TWorkbookSheet sheet, TWorkbookProblem problem, std::string detail) {
  sheet.Problem = problem;
  sheet.Detail = std::move(detail);
  sheet.Rows.clear();
  sheet.HiddenRows.clear();
  return sheet;
}

// Turns a part's failure into the sheet's problem; true when it failed.
inline bool PartFailed(const TPartResult& result, TWorkbookSheet& sheet) {
  if (result.Ok()) return false;
  sheet = Failed(std::move(sheet),
                 result.Status == TPartStatus::TooLarge ? TWorkbookProblem::TooLarge : TWorkbookProblem::Damaged,
                 result.Detail);
  return true;
}

// A tiny part holding the package's media type.
class TRawText {
 public:
  std::string Text;
  bool Add(std::string_view chunk) {
    Text.append(chunk.substr(0, std::min<std::size_t>(chunk.size(), 200 - std::min<std::size_t>(Text.size(), 200))));
    return Text.size() < 200;
  }
};

inline constexpr std::string_view OdsMediaType = "application/vnd.oasis.opendocument.spreadsheet";

// The sheet of an OpenDocument spreadsheet.
TWorkbookSheet ReadOds(TWorkbookParts& parts, const TSheetChoice& choice, const TWorkbookLimits& limits);

}  // namespace ombrel::detail
