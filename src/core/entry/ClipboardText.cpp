#include "core/entry/ClipboardText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "core/base/Index.h"
#include "core/entry/CellText.h"
#include "core/base/NumberText.h"
#include "core/entry/SummaryCells.h"
#include "core/entry/WrittenNumbers.h"

namespace ombrel {

namespace {

constexpr int LastRawGridRow = RawGridRowCount - 1;
constexpr int SummaryMeanGridRow = 2;
constexpr int SummaryDispersionGridRow = 3;
constexpr int SummaryNGridRow = 4;
constexpr int LastSummaryEntryGridRow = 16;
constexpr int PastedNumberLength = 14;
constexpr int PastedNumberDecimals = 12;
// A field is kept up to this many bytes: far more than any title or number
// needs, and a bound on memory for a clipboard holding one enormous field.
constexpr std::size_t MaxFieldBytes = 1024;

bool IsBlank(char ch) { return static_cast<unsigned char>(ch) < 33; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Text cut to `maxBytes` without splitting a UTF-8 character.
std::string_view CutText(std::string_view text, int maxBytes) {
  std::size_t size = static_cast<std::size_t>(maxBytes);
  if (text.size() <= size) return text;
  while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0U) == 0x80U) --size;
  return text.substr(0, size);
}

// The data part of a rectangle: grid columns 1 to 26, grid rows 2 to `lastRow`.
TGridRect DataRect(const TGridRect& rect, int lastRow) {
  TGridRect r = NormalizedRect(rect.Left, rect.Top, rect.Right, rect.Bottom);
  r.Left = std::clamp(r.Left, FirstDataGridColumn, LastDataGridColumn);
  r.Right = std::clamp(r.Right, FirstDataGridColumn, LastDataGridColumn);
  r.Top = std::clamp(r.Top, FirstDataGridRow, lastRow);
  r.Bottom = std::clamp(r.Bottom, FirstDataGridRow, lastRow);
  return r;
}

// Builds copied text up to the clipboard limit: once a piece does not fit,
// nothing more is added.
class TLimitedText {
 public:
  void Add(std::string_view piece) {
    if (mFull) return;
    if (mText.size() + piece.size() + 2 >= ClipboardTextLimit) {
      mFull = true;
      return;
    }
    mText.append(piece);
  }
  // A field with the tab before it, as one piece, so that a cut text never
  // ends in a dangling separator.
  void AddField(bool first, std::string_view field) {
    if (first) {
      Add(field);
      return;
    }
    mPiece.assign(1, '\t');
    mPiece.append(field);
    Add(mPiece);
  }
  void EndLine() { Add("\r\n"); }
  bool Full() const { return mFull; }

  TClipboardText Take() {
    TClipboardText result;
    result.Text = std::move(mText);
    result.Status = mFull ? TCopyStatus::Truncated : TCopyStatus::Complete;
    return result;
  }

 private:
  std::string mText;
  std::string mPiece;
  bool mFull = false;
};

std::string CopiedNumber(TReal value, int decimals, char decimalSeparator) {
  std::string text(Trimmed(FormatCellValue(value, decimals)));
  if (decimalSeparator != '.') std::replace(text.begin(), text.end(), '.', decimalSeparator);
  return text;
}

// How the fields of pasted text are told apart.
struct TScanRules {
  char DecimalSeparator = '.';  // read as "." before anything else
  bool SemicolonSeparates = true;
};

struct TScanStop {
  bool Stopped = false;
  std::size_t FieldStart = 0;  // where the field that stopped the scan began
};

// Calls visit(line, index, field, overlong) for every ended field, in text
// order; visit answers false to end the scan. Fields longer than
// MaxFieldBytes arrive cut, with `overlong` set.
template <typename TVisit>
TScanStop ScanFields(std::string_view text, const TScanRules& rules, TVisit&& visit) {
  std::string field;
  bool overlong = false;
  bool lineHasBytes = false;
  std::int64_t line = 0;
  std::int64_t index = 0;
  std::size_t fieldStart = 0;
  const auto end = [&](std::size_t next) {
    const bool go = visit(line, index, std::string_view(field), overlong);
    TScanStop stop;
    if (!go) {
      stop.Stopped = true;
      stop.FieldStart = fieldStart;
    }
    field.clear();
    overlong = false;
    fieldStart = next;
    return stop;
  };
  for (std::size_t i = 0; i <= text.size(); ++i) {
    char ch = i < text.size() ? text[i] : '\0';
    if (ch != '\0' && ch == rules.DecimalSeparator) ch = '.';
    if (ch == '\0') {
      // The empty line after a final line end holds no field.
      if (index == 0 && !lineHasBytes) return {};
      const TScanStop stop = end(i);
      return stop;
    }
    if (ch == '\t' || ch == ',' || (ch == ';' && rules.SemicolonSeparates)) {
      if (const TScanStop stop = end(i + 1); stop.Stopped) return stop;
      ++index;
      lineHasBytes = true;
    } else if (ch == '\n') {
      if (const TScanStop stop = end(i + 1); stop.Stopped) return stop;
      ++line;
      index = 0;
      lineHasBytes = false;
    } else if (ch != '\r') {
      lineHasBytes = true;
      if (field.size() < MaxFieldBytes)
        field.push_back(ch);
      else
        overlong = true;
    }
  }
  return {};
}

// Whether text holds anything but blanks and separators before its end.
bool HasContent(std::string_view text) {
  for (const char ch : text) {
    if (ch == '\0') return false;
    if (!IsBlank(ch) && ch != ',' && ch != ';') return true;
  }
  return false;
}

std::int64_t Clamped(std::int64_t value) { return std::clamp<std::int64_t>(value, -2, 1 << 20); }

// The decimal separator pasted text shows by its numbers, else the user's.
// Only the lines that can reach the table are looked at.
char PastedDecimalSeparator(std::string_view text, char userSeparator) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  text = text.substr(0, std::min(text.find('\0'), text.size()));
  while (start < text.size() && lines.size() <= static_cast<std::size_t>(PasteRowLimit)) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string line(text.substr(start, end - start));
    std::erase(line, '\r');
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return GuessDecimalSeparator(lines, userSeparator, '\0', TTextSource::Clipboard).Separator;
}

// Whether the first line holds text but no number, over a later line that
// holds one.
bool FirstLineIsTitles(std::string_view text, const TScanRules& rules) {
  bool words = false;
  bool titleNumber = false;
  bool laterNumber = false;
  ScanFields(text, rules, [&](std::int64_t line, std::int64_t, std::string_view field, bool overlong) {
    const bool number = !overlong && !IsEmpty(ReadPastedValue(field).Value);
    if (line == 0) {
      titleNumber = titleNumber || number;
      words = words || !Trimmed(field).empty();
      return !titleNumber;
    }
    laterNumber = number;
    return !laterNumber && line < PasteRowLimit;
  });
  return words && !titleNumber && laterNumber;
}

}  // namespace

TTitleQuestion TitleQuestionFor(TSelectionKind kind) {
  switch (kind) {
    case TSelectionKind::Table:
      return TTitleQuestion::Dialog;
    case TSelectionKind::Columns:
      return TTitleQuestion::ColumnTitles;
    case TSelectionKind::Rows:
      return TTitleQuestion::RowTitles;
    case TSelectionKind::Cells:
      break;
  }
  return TTitleQuestion::None;
}

TClipboardText SelectionText(const TDataTable& table, const TGridRect& rect, const TCopyOptions& options) {
  try {
    const TGridRect r = DataRect(rect, LastRawGridRow);
    int lastDataRow = -1;
    for (int column = r.Left - FirstDataGridColumn; column <= r.Right - FirstDataGridColumn; ++column) {
      for (int row = PasteRowLimit - 1; row > lastDataRow; --row) {
        if (!table.IsCellEmpty(row, column)) {
          lastDataRow = row;
          break;
        }
      }
    }
    const int lastGridRow = std::min(r.Bottom, lastDataRow + FirstDataGridRow);

    TLimitedText text;
    if (options.ColumnTitles) {
      bool first = true;
      if (options.RowTitles) {
        text.AddField(true, {});
        first = false;
      }
      for (int gridColumn = r.Left; gridColumn <= r.Right; ++gridColumn) {
        text.AddField(first, table.Summary(gridColumn - FirstDataGridColumn).Title);
        first = false;
      }
      text.EndLine();
    }
    for (int gridRow = r.Top; gridRow <= lastGridRow && !text.Full(); ++gridRow) {
      const int row = gridRow - FirstDataGridRow;
      bool first = true;
      if (options.RowTitles) {
        text.AddField(true, table.RowTitle(row));
        first = false;
      }
      for (int gridColumn = r.Left; gridColumn <= r.Right; ++gridColumn) {
        const int column = gridColumn - FirstDataGridColumn;
        text.AddField(
            first, CopiedNumber(table.GetValue(row, column), table.DisplayDecimals(column), options.DecimalSeparator));
        first = false;
      }
      if (gridRow != r.Bottom) text.EndLine();
    }
    return text.Take();
  } catch (const std::bad_alloc&) {
    TClipboardText failed;
    failed.Status = TCopyStatus::NoMemory;
    return failed;
  }
}

TClipboardText SummaryText(const TDataTable& table, const TGridRect& rect, bool sdFormat, bool fullStatistics) {
  try {
    const TGridRect r = DataRect(rect, StatGridRowCount - 1);
    const int lastGridRow = std::min(r.Bottom, SummaryDispersionGridRow);
    TLimitedText text;
    for (int gridRow = r.Top; gridRow <= lastGridRow; ++gridRow) {
      if (gridRow != r.Top) text.EndLine();
      for (int gridColumn = r.Left; gridColumn <= r.Right; ++gridColumn) {
        const std::string cell =
            SummaryCellText(table, gridColumn - FirstDataGridColumn, gridRow, sdFormat, fullStatistics);
        text.AddField(gridColumn == r.Left, Trimmed(cell));
      }
    }
    return text.Take();
  } catch (const std::bad_alloc&) {
    TClipboardText failed;
    failed.Status = TCopyStatus::NoMemory;
    return failed;
  }
}

TPasteStart PasteStartFor(TSelectionKind kind, int currentDataRow, int currentDataColumn) {
  TPasteStart start{currentDataRow, currentDataColumn};
  if (kind == TSelectionKind::Table || kind == TSelectionKind::Columns) start.Row = -1;
  if (kind == TSelectionKind::Table || kind == TSelectionKind::Rows) start.Column = -1;
  return start;
}

TPastedValue ReadPastedValue(std::string_view field) {
  TPastedValue result;
  field = Trimmed(field);
  if (field.empty() || field.find('#') != std::string_view::npos) return result;
  if (field.front() == '+') field.remove_prefix(1);
  TReal value = 0;
  const char* const end = field.data() + field.size();
  const auto read = std::from_chars(field.data(), end, value, std::chars_format::general);
  if (read.ec != std::errc{} || read.ptr != end) return result;
  if (!std::isfinite(value) || std::fabs(value) > MaxEnteredValue) return result;
  if (NeedsScientific(value)) {
    result.Value = value;
    return result;
  }

  std::string text = FormatFixed(value, PastedNumberDecimals);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text.size() > static_cast<std::size_t>(PastedNumberLength)) text.resize(PastedNumberLength);
  if (text.back() == '.') text.pop_back();
  TReal rounded = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), rounded, std::chars_format::general).ec != std::errc{})
    return result;
  result.Value = rounded;
  const TTextDigits digits = CountTextDigits(text);
  if (digits.Decimals + digits.IntegerDigits <= PastedNumberLength) result.Decimals = digits.Decimals;
  return result;
}

namespace {

// Where each pasted field goes: its cell, or a title (row or column -1).
class TPasteTargets {
 public:
  enum class TAction { Place, Drop, Stop };
  struct TTarget {
    TAction Action = TAction::Place;
    int Row = 0;
    int Column = 0;
  };

  TPasteTargets(const TPasteOptions& options, bool titleLine)
      : mStartRow(std::clamp(options.StartRow, -1, PasteRowLimit)),
        mStartColumn(std::clamp(options.StartColumn, -1, MaxColumns)),
        mTranspose(options.Transpose),
        mTitleLine(titleLine) {}

  // The field `index` of line `line`: placed, dropped (beyond column Z) or
  // the end of the paste (beyond row 1000, or column Z when transposed).
  TTarget Of(std::int64_t line, std::int64_t index) const {
    std::int64_t row = mStartRow + Clamped(mTranspose ? index : line);
    if (mTitleLine) row = line == 0 ? -1 : row - 1;
    const std::int64_t column = mStartColumn + Clamped(mTranspose ? line : index);
    TTarget t;
    if (row >= PasteRowLimit) {
      t.Action = TAction::Stop;
    } else if (column >= MaxColumns) {
      t.Action = mTranspose ? TAction::Stop : TAction::Drop;
    } else {
      t.Row = static_cast<int>(row);
      t.Column = static_cast<int>(column);
    }
    return t;
  }

 private:
  std::int64_t mStartRow;
  std::int64_t mStartColumn;
  bool mTranspose;
  bool mTitleLine;
};

// Typed mean data is only replaced with the user's consent, asked before
// anything changes: false when a column that would receive a number keeps
// its means.
bool AllowPasteOverMeans(TDataTable& table, std::string_view text, const TScanRules& rules,
                         const TPasteTargets& targets, const TAskEraseMeanData& askErase) {
  std::array<bool, MaxColumns> receivesNumber{};
  ScanFields(text, rules, [&](std::int64_t line, std::int64_t index, std::string_view field, bool overlong) {
    const TPasteTargets::TTarget t = targets.Of(line, index);
    if (t.Action == TPasteTargets::TAction::Stop) return false;
    if (t.Action == TPasteTargets::TAction::Place && t.Row >= 0 && t.Column >= 0 && !overlong &&
        !IsEmpty(ReadPastedValue(field).Value))
      receivesNumber[At(t.Column)] = true;
    return true;
  });
  for (int column = 0; column < MaxColumns; ++column)
    if (receivesNumber[At(column)] && HoldsMeanData(table, column) && !(askErase && askErase(column))) return false;
  for (int column = 0; column < MaxColumns; ++column)
    if (receivesNumber[At(column)]) AllowRawValue(table, column, [](int) { return true; });
  return true;
}

// Stores one placed field: a title, or a value with its decimals; answers
// whether a value cell became empty.
bool StorePastedField(TDataTable& table, const TPasteTargets::TTarget& t, std::string_view field, bool overlong) {
  if (t.Row < 0 && t.Column < 0) {
    table.SetRowTitleHeading(CutText(field, MaxRowTitleHeadingLength));
  } else if (t.Row < 0) {
    StoreColumnTitle(table, t.Column, CutText(field, MaxColumnTitleLength));
  } else if (t.Column < 0) {
    table.SetRowTitle(t.Row, CutText(field, MaxRowTitleLength));
  } else {
    const TPastedValue value = overlong ? TPastedValue{} : ReadPastedValue(field);
    if (value.Decimals >= 0)
      table.AutoDecimals[At(t.Column)] = std::max(table.AutoDecimals[At(t.Column)], value.Decimals);
    StoreCell(table, t.Row, t.Column, value.Value);
    table.SetExcluded(t.Row, t.Column, false);
    return IsEmpty(value.Value);
  }
  return false;
}

}  // namespace

char TextDecimalSeparator(std::string_view text, char userSeparator) {
  return PastedDecimalSeparator(text, userSeparator);
}

TPasteResult PasteText(TDataTable& table, std::string_view text, const TPasteOptions& options,
                       const TAskEraseMeanData& askErase) {
  TScanRules rules;
  rules.DecimalSeparator =
      PastedDecimalSeparator(text, options.DecimalSeparator == '\0' ? '.' : options.DecimalSeparator);
  // A first line of words over lines of numbers names the pasted columns.
  const bool titleLine =
      !options.Transpose && std::clamp(options.StartRow, -1, PasteRowLimit) >= 0 && FirstLineIsTitles(text, rules);
  const TPasteTargets targets(options, titleLine);

  TPasteResult result;
  if (!AllowPasteOverMeans(table, text, rules, targets, askErase)) {
    result.Outcome = TPasteOutcome::Declined;
    return result;
  }
  std::array<bool, MaxColumns> emptied{};
  const TScanStop stop =
      ScanFields(text, rules, [&](std::int64_t line, std::int64_t index, std::string_view field, bool overlong) {
        const TPasteTargets::TTarget t = targets.Of(line, index);
        if (t.Action == TPasteTargets::TAction::Stop) return false;
        if (t.Action == TPasteTargets::TAction::Drop) {
          if (HasContent(field)) result.Clipped = true;
          return true;
        }
        ++result.FieldsStored;
        if (StorePastedField(table, t, field, overlong)) emptied[At(t.Column)] = true;
        return true;
      });
  if (stop.Stopped && HasContent(text.substr(stop.FieldStart))) result.Clipped = true;

  bool anyEmptied = false;
  for (int column = 0; column < MaxColumns; ++column) {
    if (!emptied[At(column)]) continue;
    MarkColumnIfEmpty(table, column);
    anyEmptied = true;
  }
  if (anyEmptied) table.RecalcExtents();
  return result;
}

TPasteResult PasteSummaryText(TDataTable& table, std::string_view text, int startColumn, bool sdFormat) {
  TScanRules rules;
  rules.DecimalSeparator = '\0';
  rules.SemicolonSeparates = false;
  const std::int64_t start = std::clamp(startColumn, 0, MaxColumns);
  TPasteResult result;
  ScanFields(text, rules, [&](std::int64_t line, std::int64_t index, std::string_view field, bool overlong) {
    // Only the Mean, the SD or SEM and N take pasted entries.
    if (line > SummaryNGridRow - SummaryMeanGridRow) return false;
    const std::int64_t column = start + Clamped(index);
    if (column >= MaxColumns) {
      if (HasContent(field)) result.Clipped = true;
      return true;
    }
    const int c = static_cast<int>(column);
    if (table.MeanEntryColumn[At(c)] == 0) return true;
    const TReal value = overlong ? EmptyValue : ReadPastedValue(field).Value;
    SetSummaryValue(table, c, SummaryMeanGridRow + static_cast<int>(line), sdFormat, value);
    ++result.FieldsStored;
    return true;
  });
  return result;
}

int PasteTitleText(TDataTable& table, std::string_view text, int startColumn) {
  TScanRules rules;
  rules.DecimalSeparator = '\0';
  const std::int64_t start = std::clamp(startColumn, 0, MaxColumns);
  int stored = 0;
  ScanFields(text, rules, [&](std::int64_t line, std::int64_t index, std::string_view field, bool) {
    const std::int64_t column = start + Clamped(index);
    if (line > 0 || column >= MaxColumns) return false;
    StoreColumnTitle(table, static_cast<int>(column), CutText(field, MaxColumnTitleLength));
    ++stored;
    return true;
  });
  return stored;
}

void ClearSelection(TDataTable& table, const TGridRect& rect, bool wholeTable) {
  if (wholeTable) {
    table.Clear();
    for (int column = 0; column < MaxColumns; ++column) {
      table.MeanEntryColumn[At(column)] = 1;
      // Every statistic goes, the normality result too, so that no empty
      // column shows a stale test.
      table.Summary(column).ClearStatistics();
    }
  } else {
    const TGridRect r = DataRect(rect, LastRawGridRow);
    for (int gridColumn = r.Left; gridColumn <= r.Right; ++gridColumn) {
      const int column = gridColumn - FirstDataGridColumn;
      for (int gridRow = r.Top; gridRow <= r.Bottom; ++gridRow)
        StoreCell(table, gridRow - FirstDataGridRow, column, EmptyValue);
      MarkColumnIfEmpty(table, column);
    }
  }
  table.RecalcExtents();
  for (int column = 0; column < MaxColumns; ++column)
    if (table.MeanEntryColumn[At(column)] != 0) table.AutoDecimals[At(column)] = 0;
}

void ClearSummaryEntries(TDataTable& table, const TGridRect& rect, bool sdFormat) {
  const TGridRect r = DataRect(rect, StatGridRowCount - 1);
  for (int gridColumn = r.Left; gridColumn <= r.Right; ++gridColumn) {
    const int column = gridColumn - FirstDataGridColumn;
    if (table.MeanEntryColumn[At(column)] == 0) continue;
    for (int gridRow = SummaryMeanGridRow; gridRow <= LastSummaryEntryGridRow; ++gridRow)
      SetSummaryValue(table, column, gridRow, sdFormat, EmptyValue);
  }
}

bool SelectionHasExcluded(const TDataTable& table, const TGridRect& rect, bool wholeTable) {
  const TGridRect r =
      wholeTable ? TGridRect{FirstDataGridColumn, FirstDataGridRow, LastDataGridColumn, MaxRows - 1 + FirstDataGridRow}
                 : DataRect(rect, LastRawGridRow);
  for (int gridColumn = r.Left; gridColumn <= r.Right; ++gridColumn)
    for (int gridRow = r.Top; gridRow <= r.Bottom; ++gridRow)
      if (table.IsExcluded(gridRow - FirstDataGridRow, gridColumn - FirstDataGridColumn)) return true;
  return false;
}

bool ToggleExcluded(TDataTable& table, const TGridRect& rect, bool wholeTable) {
  const bool include = SelectionHasExcluded(table, rect, wholeTable);
  if (wholeTable) {
    if (include)
      table.ClearExcludeFlags();
    else
      table.ExcludeAllFilled();
    // The summaries must follow the flags like any other exclude change.
    table.ColumnChanged.fill(1);
  } else {
    const TGridRect r = DataRect(rect, LastRawGridRow);
    for (int gridColumn = r.Left; gridColumn <= r.Right; ++gridColumn)
      for (int gridRow = r.Top; gridRow <= r.Bottom; ++gridRow)
        table.SetExcluded(gridRow - FirstDataGridRow, gridColumn - FirstDataGridColumn, !include);
  }
  return SelectionHasExcluded(table, rect, wholeTable);
}

}  // namespace ombrel
