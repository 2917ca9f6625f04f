#include "core/entry/Workbook.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <map>
#include <unordered_map>

#include "core/base/FileText.h"
#include "core/entry/WorkbookParts.h"
#include "core/entry/WorkbookSheet.h"

namespace ombrel {

using detail::LocalName;
using detail::ReadXmlPart;
using detail::TPartResult;
using detail::TPartStatus;
using detail::TWorkbookParts;
using detail::TXmlHandler;
using detail::XmlAttribute;
using namespace detail;

namespace {

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
