// The reader of OpenDocument spreadsheets (.ods).

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/entry/WorkbookSheet.h"

namespace ombrel::detail {

namespace {

// content.xml: the names of all tables, and the cells of the chosen one.
// Repeated rows and cells are expanded only as far as values are kept.
class TOdsContent : public TXmlHandler {
 public:
  TOdsContent(TWorkbookSheet& sheet, TSheetCollector& collector, const TSheetChoice& choice,
              const TWorkbookLimits& limits)
      : mSheet(sheet), mCollector(collector), mChoice(choice), mLimits(limits) {}

  bool IsSpreadsheet = false;
  bool TooManyCells = false;
  bool ChosenByName = false;

  void StartElement(std::string_view name, const char** attributes) override {
    if (mNested > 0) {
      if (name == "table") ++mNested;
      return;
    }
    if (name == "spreadsheet") {
      IsSpreadsheet = true;
    } else if (name == "table") {
      if (!IsSpreadsheet || mInTable) {
        // A table inside a cell or outside the spreadsheet: not a sheet.
        ++mNested;
        return;
      }
      StartTable(attributes);
    } else if (!mInTable || !mReading) {
      if (mInTable && (name == "table-cell" || name == "covered-table-cell")) CountCell();
    } else if (name == "table-column") {
      const std::int64_t repeat = CountAttribute(attributes, "number-columns-repeated", 1);
      const char* visibility = XmlAttribute(attributes, "visibility");
      if (visibility != nullptr && std::string_view(visibility) != "visible") mCollector.HideColumns(mColumnAt, repeat);
      mColumnAt = std::min(mColumnAt + repeat, MaxSheetLines);
    } else if (name == "table-row") {
      mRowRepeat = CountAttribute(attributes, "number-rows-repeated", 1);
      const char* visibility = XmlAttribute(attributes, "visibility");
      mRowHidden = visibility != nullptr && std::string_view(visibility) != "visible";
      mRowCells.clear();
      mColumn = 0;
    } else if (name == "table-cell" || name == "covered-table-cell") {
      if (!CountCell()) return;
      StartCell(attributes);
    } else if (mInCell && name == "annotation") {
      ++mSkip;
    } else if (mInCell && mSkip == 0) {
      if (name == "p" || name == "h") {
        if (!mText.Text().empty()) mText.Add(" ");
        mText.Resume();
      } else if (name == "s") {
        const std::int64_t spaces = CountAttribute(attributes, "c", 1);
        mText.Add(std::string(static_cast<std::size_t>(std::min<std::int64_t>(spaces, 64)), ' '));
      } else if (name == "tab" || name == "line-break") {
        mText.Add(" ");
      }
    }
  }

  void EndElement(std::string_view name) override {
    if (mNested > 0) {
      if (name == "table") --mNested;
      return;
    }
    if (name == "table" && mInTable) {
      mInTable = false;
      mReading = false;
    } else if (!mInTable || !mReading) {
    } else if (name == "table-row") {
      EndRow();
    } else if ((name == "table-cell" || name == "covered-table-cell") && mInCell) {
      EndCell();
    } else if (name == "annotation") {
      if (mSkip > 0) --mSkip;
    } else if (name == "p" || name == "h") {
      mText.Pause();
    }
  }

  void Characters(std::string_view text) override {
    if (mInCell && mSkip == 0) mText.Add(text);
  }

 private:
  bool CountCell() {
    if (++mCells <= mLimits.Cells) return true;
    TooManyCells = true;
    RequestStop();
    return false;
  }

  void StartTable(const char** attributes) {
    mInTable = true;
    const char* tableName = XmlAttribute(attributes, "name");
    const std::string name = tableName != nullptr ? tableName : "";
    const int index = static_cast<int>(mSheet.SheetNames.size());
    if (mSheet.SheetNames.size() < 100000) mSheet.SheetNames.push_back(name);
    // The exact name wins over a number, even when a later sheet has it.
    bool take = false;
    if (!ChosenByName && mChoice.NameMatches(name)) {
      take = true;
      ChosenByName = true;
    } else if (mSheet.Sheet < 0 && !ChosenByName && (mChoice.Empty() ? index == 0 : mChoice.Number == index + 1)) {
      take = true;
    }
    if (!take) return;
    mCollector.Clear();
    mSheet.Sheet = index;
    mReading = true;
    mRow = 0;
    mColumnAt = 0;
  }

  void StartCell(const char** attributes) {
    mInCell = true;
    mSkip = 0;
    mCellRepeat = CountAttribute(attributes, "number-columns-repeated", 1);
    mText.Begin();
    mText.Pause();
    mCell = {};
    std::string_view type;
    for (const char** a = attributes; a != nullptr && a[0] != nullptr; a += 2) {
      const std::string_view qualified = a[0];
      // calcext:value-type says "error" where office:value-type says "string".
      if (LocalName(qualified) == "value-type" && (type.empty() || qualified.starts_with("calcext:"))) type = a[1];
    }
    const char* formula = XmlAttribute(attributes, "formula");
    if (type == "float" || type == "percentage" || type == "currency") {
      const char* value = XmlAttribute(attributes, "value");
      if (value != nullptr && !Trimmed(value).empty()) {
        mCell.Kind = TWorkbookCellKind::Number;
        AppendCapped(mCell.Text, Trimmed(value));
      } else {
        mCell.Kind = TWorkbookCellKind::Text;
      }
    } else if (type == "date" || type == "time") {
      mCell.Kind = TWorkbookCellKind::Date;
      const char* value = XmlAttribute(attributes, type == "date" ? "date-value" : "time-value");
      if (value != nullptr) AppendCapped(mCell.Text, value);
    } else if (type == "boolean") {
      mCell.Kind = TWorkbookCellKind::Boolean;
      mCell.Text = IsTrue(XmlAttribute(attributes, "boolean-value")) ? "TRUE" : "FALSE";
    } else if (type == "error") {
      mCell.Kind = TWorkbookCellKind::Error;
    } else if (type == "string") {
      mCell.Kind = TWorkbookCellKind::Text;
      if (const char* value = XmlAttribute(attributes, "string-value"); value != nullptr) {
        AppendCapped(mCell.Text, value);
        mStringValue = true;
        return;
      }
    } else if (formula != nullptr) {
      mCell.Kind = TWorkbookCellKind::Formula;
      AppendCapped(mCell.Text, formula);
    }
    mStringValue = false;
  }

  void EndCell() {
    mInCell = false;
    std::string text = mText.Take();
    if ((mCell.Kind == TWorkbookCellKind::Text && !mStringValue) || mCell.Kind == TWorkbookCellKind::Error) {
      if (mCell.Kind == TWorkbookCellKind::Error || mCell.Text.empty()) mCell.Text = std::move(text);
    } else if (mCell.Kind == TWorkbookCellKind::Empty && !Trimmed(text).empty()) {
      // Text without a value type: text all the same.
      mCell.Kind = TWorkbookCellKind::Text;
      mCell.Text = std::move(text);
    }
    if (mCell.Kind == TWorkbookCellKind::Text && Trimmed(mCell.Text).empty()) mCell.Kind = TWorkbookCellKind::Empty;
    if (mCell.Kind == TWorkbookCellKind::Formula && !mCell.Text.starts_with("=")) {
      // "of:=SUM(...)" shows as "=SUM(...)".
      const auto equals = mCell.Text.find('=');
      mCell.Text = equals == std::string::npos ? "=" + mCell.Text : mCell.Text.substr(equals);
    }
    if (mCell.Kind != TWorkbookCellKind::Empty) {
      const std::int64_t last = std::min(mColumn + mCellRepeat, static_cast<std::int64_t>(mLimits.Columns));
      for (std::int64_t c = mColumn; c < last; ++c) mRowCells.emplace_back(c, mCell);
      if (mColumn + mCellRepeat > mLimits.Columns) mSheet.MoreColumns = true;
    }
    mColumn = std::min(mColumn + mCellRepeat, MaxSheetLines);
  }

  void EndRow() {
    if (!mRowCells.empty()) {
      for (std::int64_t k = 0; k < mRowRepeat; ++k) {
        bool more = false;
        for (const auto& [column, cell] : mRowCells) {
          (void)mCollector.Store(mRow + k, column, mRowHidden, cell, more);
          if (more) break;
        }
        // Further copies lie further down: none is kept.
        if (more) break;
      }
    }
    mRow = std::min(mRow + mRowRepeat, MaxSheetLines);
  }

  TWorkbookSheet& mSheet;
  TSheetCollector& mCollector;
  const TSheetChoice& mChoice;
  const TWorkbookLimits& mLimits;
  int mNested = 0;
  bool mInTable = false;
  bool mReading = false;
  bool mInCell = false;
  bool mRowHidden = false;
  bool mStringValue = false;
  int mSkip = 0;
  std::int64_t mCells = 0;
  std::int64_t mRow = 0;
  std::int64_t mRowRepeat = 1;
  std::int64_t mColumn = 0;
  std::int64_t mColumnAt = 0;
  std::int64_t mCellRepeat = 1;
  TWorkbookCell mCell;
  TTextCapture mText;
  std::vector<std::pair<std::int64_t, TWorkbookCell>> mRowCells;
};

}  // namespace

TWorkbookSheet ReadOds(TWorkbookParts& parts, const TSheetChoice& choice, const TWorkbookLimits& limits) {
  TWorkbookSheet sheet;
  sheet.Format = TWorkbookFormat::Ods;
  if (parts.Has("mimetype")) {
    TRawText media;
    if (PartFailed(parts.Read("mimetype", 4096, [&media](std::string_view chunk) { return media.Add(chunk); }), sheet))
      return sheet;
    if (!Trimmed(media.Text).starts_with(OdsMediaType))
      return Failed(std::move(sheet), TWorkbookProblem::NotWorkbook, {});
  }
  if (!parts.Has("content.xml"))
    return Failed(std::move(sheet), TWorkbookProblem::Damaged, "its part content.xml is missing");
  TSheetCollector collector(sheet, limits);
  TOdsContent content(sheet, collector, choice, limits);
  const TPartResult read = ReadXmlPart(parts, "content.xml", limits.PartBytes, content);
  if (content.TooManyCells)
    return Failed(std::move(sheet), TWorkbookProblem::TooLarge,
                  "it holds more than " + std::to_string(limits.Cells) + " cells");
  if (PartFailed(read, sheet)) return sheet;
  if (!content.IsSpreadsheet) return Failed(std::move(sheet), TWorkbookProblem::NotWorkbook, {});
  if (sheet.SheetNames.empty()) return Failed(std::move(sheet), TWorkbookProblem::Damaged, "it holds no sheet");
  if (sheet.Sheet < 0) return Failed(std::move(sheet), TWorkbookProblem::NoSuchSheet, {});
  return sheet;
}

}  // namespace ombrel::detail
