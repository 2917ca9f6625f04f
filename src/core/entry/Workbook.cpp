#include "core/entry/Workbook.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <map>
#include <unordered_map>

#include "core/base/FileText.h"
#include "core/entry/WorkbookParts.h"

namespace ombrel {

using detail::LocalName;
using detail::ReadXmlPart;
using detail::TPartResult;
using detail::TPartStatus;
using detail::TWorkbookParts;
using detail::TXmlHandler;
using detail::XmlAttribute;

namespace {

// Parts that describe a workbook rather than hold its cells are small.
constexpr std::uint64_t SmallPartBytes = 16ULL * 1024 * 1024;
// The most rows or columns a sheet can have; repeat counts are cut to it.
constexpr std::int64_t MaxSheetLines = 1 << 24;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// Appends up to the cell text limit, never cutting a UTF-8 sequence.
void AppendCapped(std::string& text, std::string_view more) {
  if (text.size() >= MaxWorkbookCellText) return;
  std::size_t room = MaxWorkbookCellText - text.size();
  if (more.size() > room) {
    while (room > 0 && (static_cast<unsigned char>(more[room]) & 0xC0) == 0x80) --room;
    more = more.substr(0, room);
  }
  text.append(more);
}

bool ParseCount(const char* text, std::int64_t& value) {
  if (text == nullptr) return false;
  const std::string_view t = Trimmed(text);
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  return error == std::errc{} && end == t.data() + t.size();
}

// A repeat count or 1-based index: at least 1, at most MaxSheetLines.
std::int64_t CountAttribute(const char** attributes, std::string_view name, std::int64_t fallback) {
  std::int64_t value = 0;
  if (!ParseCount(XmlAttribute(attributes, name), value)) return fallback;
  return std::clamp<std::int64_t>(value, 1, MaxSheetLines);
}

bool IsTrue(const char* text) {
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

TSheetChoice MakeChoice(std::string_view sheet) {
  TSheetChoice choice;
  choice.Name = std::string(sheet);
  const std::string_view t = Trimmed(sheet);
  int number = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), number);
  if (!t.empty() && error == std::errc{} && end == t.data() + t.size() && number > 0) choice.Number = number;
  return choice;
}

int ChooseSheet(const std::vector<std::string>& names, const TSheetChoice& choice) {
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

bool ParseDigits(std::string_view text, std::int64_t& value) {
  text = Trimmed(text);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

// ---------------------------------------------------------------- xlsx

// "_rels/.rels" and "xl/_rels/workbook.xml.rels": relationship ids to targets.
class TRelationships : public TXmlHandler {
 public:
  struct TTarget {
    std::string Type;
    std::string Target;
  };
  std::map<std::string, TTarget> ById;
  void StartElement(std::string_view name, const char** attributes) override {
    if (name != "Relationship") return;
    const char* id = XmlAttribute(attributes, "Id");
    const char* target = XmlAttribute(attributes, "Target");
    const char* type = XmlAttribute(attributes, "Type");
    const char* mode = XmlAttribute(attributes, "TargetMode");
    if (id == nullptr || target == nullptr || (mode != nullptr && std::string_view(mode) == "External")) return;
    if (ById.size() < 100000) ById[id] = {type != nullptr ? type : "", target};
  }
  void EndElement(std::string_view) override {}
  void Characters(std::string_view) override {}

  // The target of the first relationship whose type ends with `suffix`.
  std::string TargetOfType(std::string_view suffix) const {
    for (const auto& [id, target] : ById)
      if (target.Type.ends_with(suffix)) return target.Target;
    return {};
  }
};

// A relationship's target, relative to the folder of the part `from`.
std::string ResolvePart(const std::string& from, std::string_view target) {
  std::vector<std::string> segments;
  std::string_view rest = target;
  if (rest.starts_with('/')) {
    rest.remove_prefix(1);
  } else {
    std::string_view folder = from;
    const auto slash = folder.rfind('/');
    folder = slash == std::string_view::npos ? std::string_view() : folder.substr(0, slash);
    while (!folder.empty()) {
      const auto next = folder.find('/');
      segments.emplace_back(folder.substr(0, next));
      folder = next == std::string_view::npos ? std::string_view() : folder.substr(next + 1);
    }
  }
  while (!rest.empty()) {
    const auto next = rest.find('/');
    const std::string_view segment = rest.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.emplace_back(segment);
    }
  }
  std::string path;
  for (const std::string& segment : segments) {
    if (!path.empty()) path += '/';
    path += segment;
  }
  return path;
}

std::string RelationshipsPartOf(const std::string& part) {
  const auto slash = part.rfind('/');
  if (slash == std::string::npos) return "_rels/" + part + ".rels";
  return part.substr(0, slash) + "/_rels/" + part.substr(slash + 1) + ".rels";
}

class TWorkbookPart : public TXmlHandler {
 public:
  bool IsWorkbook = false;
  std::vector<std::string> Names;
  std::vector<std::string> Ids;
  void StartElement(std::string_view name, const char** attributes) override {
    if (mDepth++ == 0) {
      IsWorkbook = name == "workbook";
      if (!IsWorkbook) RequestStop();
      return;
    }
    if (name != "sheet" || Names.size() >= 100000) return;
    const char* sheetName = XmlAttribute(attributes, "name");
    const char* id = XmlAttribute(attributes, "id");
    Names.emplace_back(sheetName != nullptr ? sheetName : "");
    Ids.emplace_back(id != nullptr ? id : "");
  }
  void EndElement(std::string_view) override { --mDepth; }
  void Characters(std::string_view) override {}

 private:
  int mDepth = 0;
};

// The styles part: which cell formats show dates or times.
class TStylesPart : public TXmlHandler {
 public:
  std::vector<std::uint8_t> DateStyle;  // by the cell's style index
  void StartElement(std::string_view name, const char** attributes) override {
    if (name == "numFmt") {
      std::int64_t id = 0;
      const char* code = XmlAttribute(attributes, "formatCode");
      if (ParseCount(XmlAttribute(attributes, "numFmtId"), id) && code != nullptr && mCodes.size() < 100000)
        mCodes[id] = IsDateFormatCode(code);
    } else if (name == "cellXfs") {
      mInCellFormats = true;
    } else if (name == "xf" && mInCellFormats && DateStyle.size() < 1000000) {
      std::int64_t id = 0;
      bool date = false;
      if (ParseCount(XmlAttribute(attributes, "numFmtId"), id)) {
        const auto custom = mCodes.find(id);
        date = custom != mCodes.end() ? custom->second : id <= 1000 && IsBuiltInDateFormat(static_cast<int>(id));
      }
      DateStyle.push_back(date ? 1 : 0);
    }
  }
  void EndElement(std::string_view name) override {
    if (name == "cellXfs") mInCellFormats = false;
  }
  void Characters(std::string_view) override {}

 private:
  std::unordered_map<std::int64_t, bool> mCodes;
  bool mInCellFormats = false;
};

// Column letters of a cell reference ("AB12") as a 0-based index; -1 when
// it holds none.
std::int64_t ReferenceColumn(const char* reference) {
  if (reference == nullptr) return -1;
  std::int64_t column = 0;
  bool any = false;
  for (const char* p = reference; *p != '\0'; ++p) {
    char ch = *p;
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch < 'A' || ch > 'Z') break;
    any = true;
    column = std::min<std::int64_t>(column * 26 + (ch - 'A' + 1), MaxSheetLines);
  }
  return any ? column - 1 : -1;
}

// A worksheet: its cells, hidden rows and columns. Shared strings are kept
// as their index (in Text) until the strings are read.
class TWorksheetPart : public TXmlHandler {
 public:
  TWorksheetPart(TSheetCollector& collector, const std::vector<std::uint8_t>& dateStyles, std::int64_t cellLimit)
      : mCollector(collector), mDateStyles(dateStyles), mCellLimit(cellLimit) {}

  bool TooManyCells = false;
  // Where each shared-string cell is: row (relative), column.
  std::vector<std::pair<std::size_t, std::size_t>> SharedCells;

  void StartElement(std::string_view name, const char** attributes) override {
    if (name == "col") {
      std::int64_t first = 0;
      std::int64_t last = 0;
      if (IsTrue(XmlAttribute(attributes, "hidden")) && ParseCount(XmlAttribute(attributes, "min"), first) &&
          ParseCount(XmlAttribute(attributes, "max"), last) && first >= 1 && last >= first)
        mCollector.HideColumns(first - 1, std::min(last, MaxSheetLines) - first + 1);
    } else if (name == "row") {
      mRow = CountAttribute(attributes, "r", mRow + 2) - 1;
      mRowHidden = IsTrue(XmlAttribute(attributes, "hidden"));
      mColumn = -1;
    } else if (name == "c") {
      if (++mCells > mCellLimit) {
        TooManyCells = true;
        RequestStop();
        return;
      }
      const std::int64_t column = ReferenceColumn(XmlAttribute(attributes, "r"));
      mColumn = column >= 0 ? column : mColumn + 1;
      const char* type = XmlAttribute(attributes, "t");
      mType = type != nullptr ? Trimmed(type) : "n";
      std::int64_t style = -1;
      mDateStyle = ParseCount(XmlAttribute(attributes, "s"), style) && style >= 0 &&
                   style < static_cast<std::int64_t>(mDateStyles.size()) &&
                   mDateStyles[static_cast<std::size_t>(style)] != 0;
      mInCell = true;
      mHasValue = mHasFormula = false;
      mValue.clear();
      mFormula.clear();
      mInline.clear();
    } else if (mInCell && name == "v") {
      mHasValue = true;
      mCapture = &mValue;
    } else if (mInCell && name == "f") {
      mHasFormula = true;
      mCapture = &mFormula;
    } else if (mInCell && name == "rPh") {
      ++mSkip;
    } else if (mInCell && name == "t" && mSkip == 0) {
      mCapture = &mInline;
    }
  }

  void EndElement(std::string_view name) override {
    if (name == "v" || name == "f" || name == "t") {
      mCapture = nullptr;
    } else if (name == "rPh") {
      if (mSkip > 0) --mSkip;
    } else if (name == "c" && mInCell) {
      mInCell = false;
      mCapture = nullptr;
      CellEnded();
    } else if (name == "sheetData") {
      // Nothing after the cells matters.
      RequestStop();
    }
  }

  void Characters(std::string_view text) override {
    if (mCapture != nullptr) AppendCapped(*mCapture, text);
  }

 private:
  void CellEnded() {
    TWorkbookCell cell;
    const std::string_view value = Trimmed(mValue);
    if (mType == "s") {
      if (value.empty()) return;
      cell.Kind = TWorkbookCellKind::Text;
      cell.Text = std::string(value);
      if (!Keep(std::move(cell))) return;
      SharedCells.emplace_back(static_cast<std::size_t>(mRowKept), static_cast<std::size_t>(mColumn));
      return;
    }
    if (mType == "inlineStr") {
      cell.Kind = TWorkbookCellKind::Text;
      cell.Text = mInline.empty() ? mValue : mInline;
    } else if (mType == "str") {
      cell.Kind = TWorkbookCellKind::Text;
      cell.Text = mValue;
    } else if (mType == "b") {
      cell.Kind = TWorkbookCellKind::Boolean;
      cell.Text = value == "1" ? "TRUE" : "FALSE";
      if (!mHasValue) cell.Kind = TWorkbookCellKind::Empty;
    } else if (mType == "e") {
      cell.Kind = TWorkbookCellKind::Error;
      cell.Text = value.empty() ? "#VALUE!" : std::string(value);
    } else if (mType == "d") {
      cell.Kind = TWorkbookCellKind::Date;
      cell.Text = std::string(value);
    } else if (!value.empty()) {
      cell.Kind = mType == "n" && !mDateStyle ? TWorkbookCellKind::Number
                  : mType == "n"              ? TWorkbookCellKind::Date
                                              : TWorkbookCellKind::Text;
      cell.Text = std::string(value);
    } else if (mHasFormula) {
      cell.Kind = TWorkbookCellKind::Formula;
      AppendCapped(cell.Text = "=", mFormula);
    }
    // A formula's empty text result shows nothing: an empty cell.
    if (cell.Kind == TWorkbookCellKind::Text && Trimmed(cell.Text).empty()) cell.Kind = TWorkbookCellKind::Empty;
    Keep(std::move(cell));
  }

  // Stores a cell; false when it was not kept.
  bool Keep(TWorkbookCell cell) {
    bool more = false;
    mRowKept = mCollector.Store(mRow, mColumn, mRowHidden, std::move(cell), more);
    if (more) RequestStop();
    return mRowKept >= 0;
  }

  TSheetCollector& mCollector;
  const std::vector<std::uint8_t>& mDateStyles;
  std::int64_t mCellLimit;
  std::int64_t mCells = 0;
  std::int64_t mRow = -1;
  std::int64_t mColumn = -1;
  std::int64_t mRowKept = -1;
  bool mRowHidden = false;
  bool mInCell = false;
  bool mDateStyle = false;
  bool mHasValue = false;
  bool mHasFormula = false;
  int mSkip = 0;
  std::string mType;
  std::string mValue;
  std::string mFormula;
  std::string mInline;
  std::string* mCapture = nullptr;
};

// The shared strings: only those the kept cells use are held.
class TSharedStringsPart : public TXmlHandler {
 public:
  explicit TSharedStringsPart(std::unordered_map<std::int64_t, std::string>& wanted) : mWanted(wanted) {}

  void StartElement(std::string_view name, const char**) override {
    if (name == "si") {
      ++mIndex;
      mWantedHere = mWanted.count(mIndex) > 0;
      mText.clear();
    } else if (name == "rPh") {
      ++mSkip;
    } else if (name == "t" && mSkip == 0 && mWantedHere) {
      mCapture = true;
    }
  }
  void EndElement(std::string_view name) override {
    if (name == "t") {
      mCapture = false;
    } else if (name == "rPh") {
      if (mSkip > 0) --mSkip;
    } else if (name == "si" && mWantedHere) {
      mWanted[mIndex] = std::move(mText);
      mText.clear();
      mWantedHere = false;
    }
  }
  void Characters(std::string_view text) override {
    if (mCapture) AppendCapped(mText, text);
  }

 private:
  std::unordered_map<std::int64_t, std::string>& mWanted;
  std::int64_t mIndex = -1;
  bool mWantedHere = false;
  bool mCapture = false;
  int mSkip = 0;
  std::string mText;
};

TWorkbookSheet Failed(TWorkbookSheet sheet, TWorkbookProblem problem, std::string detail) {
  sheet.Problem = problem;
  sheet.Detail = std::move(detail);
  sheet.Rows.clear();
  sheet.HiddenRows.clear();
  return sheet;
}

// Turns a part's failure into the sheet's problem; true when it failed.
bool PartFailed(const TPartResult& result, TWorkbookSheet& sheet) {
  if (result.Ok()) return false;
  sheet = Failed(std::move(sheet),
                 result.Status == TPartStatus::TooLarge ? TWorkbookProblem::TooLarge : TWorkbookProblem::Damaged,
                 result.Detail);
  return true;
}

TWorkbookSheet ReadXlsx(TWorkbookParts& parts, const TSheetChoice& choice, const TWorkbookLimits& limits) {
  TWorkbookSheet sheet;
  sheet.Format = TWorkbookFormat::Xlsx;
  std::string workbookPart = "xl/workbook.xml";
  if (parts.Has("_rels/.rels")) {
    TRelationships package;
    if (PartFailed(ReadXmlPart(parts, "_rels/.rels", SmallPartBytes, package), sheet)) return sheet;
    if (const std::string target = package.TargetOfType("/officeDocument"); !target.empty())
      workbookPart = ResolvePart("", target);
  }
  if (!parts.Has(workbookPart)) return Failed(std::move(sheet), TWorkbookProblem::NotWorkbook, {});
  TWorkbookPart workbook;
  const TPartResult read = ReadXmlPart(parts, workbookPart, SmallPartBytes, workbook);
  if (!workbook.IsWorkbook && read.Ok()) return Failed(std::move(sheet), TWorkbookProblem::NotWorkbook, {});
  if (PartFailed(read, sheet)) return sheet;
  sheet.SheetNames = workbook.Names;
  if (sheet.SheetNames.empty()) return Failed(std::move(sheet), TWorkbookProblem::Damaged, "it holds no sheet");

  TRelationships relationships;
  const std::string relationshipsPart = RelationshipsPartOf(workbookPart);
  if (parts.Has(relationshipsPart) &&
      PartFailed(ReadXmlPart(parts, relationshipsPart, SmallPartBytes, relationships), sheet))
    return sheet;
  sheet.Sheet = ChooseSheet(sheet.SheetNames, choice);
  if (sheet.Sheet < 0) return Failed(std::move(sheet), TWorkbookProblem::NoSuchSheet, {});
  const auto index = static_cast<std::size_t>(sheet.Sheet);
  std::string sheetPart = "xl/worksheets/sheet" + std::to_string(index + 1) + ".xml";
  if (const auto found = relationships.ById.find(workbook.Ids[index]); found != relationships.ById.end())
    sheetPart = ResolvePart(workbookPart, found->second.Target);
  const auto related = [&](std::string_view type, const char* fallback) {
    const std::string target = relationships.TargetOfType(type);
    return target.empty() ? std::string(fallback) : ResolvePart(workbookPart, target);
  };
  const std::string stylesPart = related("/styles", "xl/styles.xml");
  const std::string stringsPart = related("/sharedStrings", "xl/sharedStrings.xml");

  TStylesPart styles;
  if (parts.Has(stylesPart) && PartFailed(ReadXmlPart(parts, stylesPart, SmallPartBytes, styles), sheet)) return sheet;

  TSheetCollector collector(sheet, limits);
  TWorksheetPart worksheet(collector, styles.DateStyle, limits.Cells);
  const TPartResult cells = ReadXmlPart(parts, sheetPart, limits.PartBytes, worksheet);
  if (worksheet.TooManyCells)
    return Failed(std::move(sheet), TWorkbookProblem::TooLarge,
                  "its sheet holds more than " + std::to_string(limits.Cells) + " cells");
  if (PartFailed(cells, sheet)) return sheet;

  if (worksheet.SharedCells.empty()) return sheet;
  std::unordered_map<std::int64_t, std::string> wanted;
  for (const auto& [row, column] : worksheet.SharedCells) {
    std::int64_t stringIndex = -1;
    if (ParseDigits(sheet.Rows[row][column].Text, stringIndex)) wanted.emplace(stringIndex, std::string());
  }
  if (!parts.Has(stringsPart))
    return Failed(std::move(sheet), TWorkbookProblem::Damaged, "its part " + stringsPart + " is missing");
  TSharedStringsPart strings(wanted);
  if (PartFailed(ReadXmlPart(parts, stringsPart, limits.PartBytes, strings), sheet)) return sheet;
  for (const auto& [row, column] : worksheet.SharedCells) {
    TWorkbookCell& cell = sheet.Rows[row][column];
    std::int64_t stringIndex = -1;
    const auto text = ParseDigits(cell.Text, stringIndex) ? wanted.find(stringIndex) : wanted.end();
    cell.Text = text != wanted.end() ? text->second : std::string();
    if (Trimmed(cell.Text).empty()) cell.Kind = TWorkbookCellKind::Empty;
  }
  return sheet;
}

// ---------------------------------------------------------------- ods

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

// A tiny part holding the package's media type.
class TRawText {
 public:
  std::string Text;
  bool Add(std::string_view chunk) {
    Text.append(chunk.substr(0, std::min<std::size_t>(chunk.size(), 200 - std::min<std::size_t>(Text.size(), 200))));
    return Text.size() < 200;
  }
};

constexpr std::string_view OdsMediaType = "application/vnd.oasis.opendocument.spreadsheet";

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

std::string FileNameOf(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

TWorkbookSheet ReadZip(detail::TZipParts& zip, detail::TZipOpen opened, std::string_view sheet,
                       const TWorkbookLimits& limits) {
  using detail::TZipOpen;
  switch (opened) {
    case TZipOpen::Ok:
      return ReadWorkbookParts(zip, sheet, limits);
    case TZipOpen::NotZip:
      return Failed({}, TWorkbookProblem::NotWorkbook, {});
    case TZipOpen::CannotRead: {
      TWorkbookSheet failed = Failed({}, TWorkbookProblem::CannotOpen, zip.OpenDetail());
      failed.Errno = EIO;
      return failed;
    }
    case TZipOpen::TooMany:
      return Failed({}, TWorkbookProblem::Damaged, zip.OpenDetail());
    case TZipOpen::Damaged:
      break;
  }
  return Failed({}, TWorkbookProblem::Damaged, "its zip archive cannot be read (" + zip.OpenDetail() + ")");
}

}  // namespace

TWorkbookSheet ReadWorkbookParts(TWorkbookParts& parts, std::string_view sheet, const TWorkbookLimits& limits) {
  const TSheetChoice choice = MakeChoice(sheet);
  if (parts.Has("content.xml") || parts.Has("mimetype")) return ReadOds(parts, choice, limits);
  if (parts.Has("_rels/.rels") || parts.Has("xl/workbook.xml")) return ReadXlsx(parts, choice, limits);
  return Failed({}, TWorkbookProblem::NotWorkbook, {});
}

TWorkbookSheet ReadWorkbookBytes(std::string_view bytes, std::string_view sheet, const TWorkbookLimits& limits) {
  detail::TZipParts zip;
  const detail::TZipOpen opened = zip.OpenBytes(bytes);
  // A zip archive whose end is missing was most likely cut short.
  if (opened == detail::TZipOpen::NotZip && bytes.starts_with("PK\x03\x04"))
    return Failed({}, TWorkbookProblem::Damaged, "its zip archive ends early (the file may have been cut short)");
  return ReadZip(zip, opened, sheet, limits);
}

TWorkbookSheet ReadWorkbookFile(const std::string& path, std::string_view sheet, const TWorkbookLimits& limits) {
  char head[4] = {};
  {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      TWorkbookSheet failed = Failed({}, TWorkbookProblem::CannotOpen, {});
      failed.Errno = errno != 0 ? errno : EIO;
      return failed;
    }
    in.read(head, sizeof head);
  }
  detail::TZipParts zip;
  const detail::TZipOpen opened = zip.OpenFile(path);
  if (opened == detail::TZipOpen::NotZip && std::string_view(head, sizeof head) == "PK\x03\x04")
    return Failed({}, TWorkbookProblem::Damaged, "its zip archive ends early (the file may have been cut short)");
  return ReadZip(zip, opened, sheet, limits);
}

bool WorkbookFormatOf(const std::string& path, TWorkbookFormat& format) {
  detail::TZipParts zip;
  if (zip.OpenFile(path) != detail::TZipOpen::Ok) return false;
  if (zip.Has("mimetype")) {
    TRawText media;
    if (!zip.Read("mimetype", 4096, [&media](std::string_view chunk) { return media.Add(chunk); }).Ok()) return false;
    format = TWorkbookFormat::Ods;
    return Trimmed(media.Text).starts_with(OdsMediaType);
  }
  format = zip.Has("content.xml") ? TWorkbookFormat::Ods : TWorkbookFormat::Xlsx;
  return zip.Has("content.xml") || zip.Has("xl/workbook.xml");
}

std::string WorkbookProblemMessage(const TWorkbookSheet& sheet, std::string_view fileName, std::string_view chosen) {
  const std::string name = FileNameOf(fileName);
  switch (sheet.Problem) {
    case TWorkbookProblem::None:
      return {};
    case TWorkbookProblem::CannotOpen:
      return FileFailureMessage("open", fileName, sheet.Errno != 0 ? sheet.Errno : EIO);
    case TWorkbookProblem::NotWorkbook:
      return name + " is not a workbook.";
    case TWorkbookProblem::Damaged:
      return name + " is damaged: " + sheet.Detail + ".";
    case TWorkbookProblem::TooLarge:
      return name + " is too large to import: " + sheet.Detail + ".";
    case TWorkbookProblem::NoSuchSheet: {
      const std::string count =
          std::to_string(sheet.SheetNames.size()) + (sheet.SheetNames.size() == 1 ? " sheet" : " sheets");
      if (MakeChoice(chosen).Number > 0)
        return name + " has no sheet " + std::string(chosen) + ": it has " + count + ".";
      return name + " has no sheet named \"" + std::string(chosen) + "\".";
    }
  }
  return {};
}

bool IsBuiltInDateFormat(int id) { return (id >= 14 && id <= 22) || (id >= 45 && id <= 47); }

bool IsDateFormatCode(std::string_view code) {
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char ch = code[i];
    if (ch == '"') {
      const auto close = code.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (ch == '[') {
      const auto close = code.find(']', i + 1);
      if (close == std::string_view::npos) return false;
      // Elapsed time: [h], [mm], [ss].
      const std::string_view inside = code.substr(i + 1, close - i - 1);
      if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos) return true;
      i = close;
    } else if (ch == '\\' || ch == '_' || ch == '*') {
      ++i;  // the next character is shown (or sized, or repeated) as it is
    } else {
      switch (ch) {
        case 'd':
        case 'D':
        case 'm':
        case 'M':
        case 'y':
        case 'Y':
        case 'h':
        case 'H':
        case 's':
        case 'S':
          return true;
        default:
          break;
      }
    }
  }
  return false;
}

}  // namespace ombrel
