#include "core/entry/ImportData.h"

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "core/base/FileText.h"
#include "core/entry/CellStore.h"
#include "core/entry/WrittenNumbers.h"

namespace ombrel {

namespace {

std::string FileNameOf(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The first bytes of a file, and errno when it cannot be opened.
struct THead {
  std::string Bytes;
  int Error = 0;
};

THead ReadHead(const std::string& path, std::size_t size) {
  THead head;
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    head.Error = errno != 0 ? errno : EIO;
    return head;
  }
  head.Bytes.resize(size);
  in.read(head.Bytes.data(), static_cast<std::streamsize>(size));
  head.Bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return head;
}

bool IsZip(std::string_view head) { return head.starts_with("PK\x03\x04") || head.starts_with("PK\x05\x06"); }

// The compound-file signature of the older binary workbooks (and of
// workbooks encrypted with a password).
bool IsCompoundFile(std::string_view head) { return head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"); }

TImportProblem ProblemOf(TWorkbookProblem problem) {
  switch (problem) {
    case TWorkbookProblem::None:
      return TImportProblem::None;
    case TWorkbookProblem::CannotOpen:
      return TImportProblem::CannotOpen;
    case TWorkbookProblem::NotWorkbook:
      return TImportProblem::NotWorkbook;
    case TWorkbookProblem::Damaged:
      return TImportProblem::Damaged;
    case TWorkbookProblem::TooLarge:
      return TImportProblem::TooLarge;
    case TWorkbookProblem::NoSuchSheet:
      return TImportProblem::NoSuchSheet;
  }
  return TImportProblem::Damaged;
}

TSourceField SourceOf(const TWorkbookCell& cell) {
  TSourceField field;
  field.Text = cell.Text;
  switch (cell.Kind) {
    case TWorkbookCellKind::Empty:
      field.Kind = TSourceKind::Empty;
      break;
    case TWorkbookCellKind::Number:
      field.Kind = TSourceKind::Number;
      break;
    case TWorkbookCellKind::Text:
      field.Kind = TSourceKind::NotNumber;
      field.Label = true;
      break;
    case TWorkbookCellKind::Boolean:
    case TWorkbookCellKind::Error:
    case TWorkbookCellKind::Formula:
      field.Kind = TSourceKind::NotNumber;
      break;
    case TWorkbookCellKind::Date:
      field.Kind = TSourceKind::Date;
      break;
  }
  return field;
}

bool IsHeaderRow(const std::vector<TWorkbookCell>& row) {
  bool text = false;
  for (const TWorkbookCell& cell : row) {
    if (cell.Kind == TWorkbookCellKind::Number || cell.Kind == TWorkbookCellKind::Date) return false;
    if (cell.Kind == TWorkbookCellKind::Text) text = true;
  }
  return text;
}

// "A" to "Z", then "AA", ... as spreadsheets name their columns.
std::string SheetColumnName(std::int64_t column) {
  std::string name;
  for (std::int64_t c = column + 1; c > 0; c = (c - 1) / 26)
    name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
  return name;
}

std::string Plural(int count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// Columns left of every value are the sheet's margin, not data.
std::size_t MarginColumns(const TWorkbookSheet& sheet) {
  std::size_t lead = SIZE_MAX;
  for (const auto& row : sheet.Rows)
    for (std::size_t c = 0; c < row.size() && c < lead; ++c)
      if (row[c].Kind != TWorkbookCellKind::Empty) lead = c;
  return lead == SIZE_MAX ? 0 : lead;
}

// The imported rows and columns that were hidden in the sheet, whose data
// starts at row `firstRow` and column `firstColumn`.
void MarkHiddenLines(const TWorkbookSheet& sheet, std::size_t firstRow, std::size_t firstColumn, TImportedFile& file) {
  file.RowHidden.assign(static_cast<std::size_t>(file.DataRows), 0);
  for (int r = 0; r < file.DataRows; ++r) {
    const std::size_t at = firstRow + static_cast<std::size_t>(r);
    if (at >= sheet.HiddenRows.size() || sheet.HiddenRows[at] == 0) continue;
    file.RowHidden[static_cast<std::size_t>(r)] = 1;
    ++file.HiddenRows;
  }
  for (int c = 0; c < file.DataColumns; ++c) {
    const std::size_t at = firstColumn + static_cast<std::size_t>(c);
    if (at >= sheet.HiddenColumns.size() || sheet.HiddenColumns[at] == 0) continue;
    file.ColumnHidden[static_cast<std::size_t>(c)] = 1;
    ++file.HiddenColumns;
  }
}

}  // namespace

TImportedFile ImportWorkbookSheet(const TWorkbookSheet& sheet, std::string_view fileName,
                                  const TImportOptions& options) {
  TImportedFile file;
  file.Source = sheet.Format == TWorkbookFormat::Ods ? TImportSource::Ods : TImportSource::Xlsx;
  file.SheetNames = sheet.SheetNames;
  file.Sheet = sheet.Sheet;
  if (!sheet.Ok()) {
    file.Problem = ProblemOf(sheet.Problem);
    file.ProblemMessage = WorkbookProblemMessage(sheet, fileName, options.Sheet);
    if (sheet.Problem == TWorkbookProblem::CannotOpen) {
      file.ReadError = sheet.Errno != 0 ? sheet.Errno : EIO;
      file.ProblemMessage = FileErrorMessage(file.ReadError, false);
    }
    return file;
  }
  const std::size_t lead = MarginColumns(sheet);

  const auto& rows = sheet.Rows;
  std::size_t first = 0;
  const bool header = !rows.empty() && (options.Header == TImportHeader::On ||
                                        (options.Header == TImportHeader::Detect && IsHeaderRow(rows[0])));
  if (header) {
    first = 1;
    file.HasHeader = file.HasColumnTitles = true;
    for (std::size_t c = lead; c < rows[0].size() && c - lead < file.ColumnTitles.size(); ++c) {
      std::string title = rows[0][c].Text;
      if (title.size() > static_cast<std::size_t>(MaxColumnTitleLength)) title.resize(MaxColumnTitleLength);
      file.ColumnTitles[c - lead] = title;
      StoreColumnTitle(*file.Table, static_cast<int>(c - lead), title);
    }
  }
  std::vector<TSourceRow> data;
  for (std::size_t r = first; r < rows.size(); ++r) {
    if (data.size() >= static_cast<std::size_t>(MaxImportRows)) {
      if (std::any_of(rows[r].begin(), rows[r].end(),
                      [](const TWorkbookCell& cell) { return cell.Kind != TWorkbookCellKind::Empty; }))
        file.TooManyRows = true;
      continue;
    }
    TSourceRow row;
    for (std::size_t c = lead; c < rows[r].size(); ++c) row.push_back(SourceOf(rows[r][c]));
    data.push_back(std::move(row));
  }
  file.TooManyRows = file.TooManyRows || sheet.MoreRows;
  StoreImportRows(file, data);
  // A titled column whose fields are all empty is still one of the sheet's.
  if (header)
    for (int c = MaxColumns - 1; c >= 0; --c)
      if (!file.ColumnTitles[static_cast<std::size_t>(c)].empty()) {
        file.DataColumns = std::max(file.DataColumns, c + 1);
        break;
      }
  TakeRowNames(file, data, options.RowNames);
  file.TooManyColumns = file.TooManyColumns || sheet.MoreColumns;
  CountEmptyFields(file);

  const std::size_t skip = file.RowNamesTaken ? 1 : 0;
  MarkHiddenLines(sheet, first, lead + skip, file);
  if (file.NotNumberFields > 0)
    file.FirstNotNumberCell =
        SheetColumnName(static_cast<std::int64_t>(lead + skip) + file.FirstNotNumberColumn - 1) +
        std::to_string(sheet.FirstRow + static_cast<std::int64_t>(first) + file.FirstNotNumberRow - 1);
  return file;
}

TImportedFile ReadImportWorkbookBytes(std::string_view bytes, std::string_view fileName,
                                      const TImportOptions& options) {
  return ImportWorkbookSheet(ReadWorkbookBytes(bytes, options.Sheet), fileName, options);
}

TImportedFile ReadImportData(const std::string& path, const TImportOptions& options) {
  const THead head = ReadHead(path, 8);
  if (head.Error != 0) {
    TImportedFile file;
    file.ReadError = head.Error;
    file.Problem = TImportProblem::CannotOpen;
    file.ProblemMessage = FileErrorMessage(head.Error, false);
    return file;
  }
  if (IsZip(head.Bytes)) return ImportWorkbookSheet(ReadWorkbookFile(path, options.Sheet), path, options);
  if (IsCompoundFile(head.Bytes)) {
    TImportedFile file;
    file.Problem = TImportProblem::OldWorkbook;
    file.ProblemMessage = OldWorkbookMessage(path);
    return file;
  }
  if (!IsAsciiFile(path)) {
    TImportedFile file;
    file.Problem = TImportProblem::NotAscii;
    file.ProblemMessage = std::string(NotAsciiMessage);
    return file;
  }
  return ReadTextFileForImport(path, options);
}

TDataFileKind DataFileKindOf(const std::string& path) {
  const THead head = ReadHead(path, 64 * 1024);
  if (head.Error != 0) return TDataFileKind::Other;
  if (IsCompoundFile(head.Bytes)) return TDataFileKind::OldWorkbook;
  if (IsZip(head.Bytes)) {
    TWorkbookFormat format = TWorkbookFormat::Xlsx;
    return WorkbookFormatOf(path, format) ? (format == TWorkbookFormat::Ods ? TDataFileKind::Ods : TDataFileKind::Xlsx)
                                          : TDataFileKind::Other;
  }
  if (head.Bytes.find('\0') != std::string::npos) return TDataFileKind::Other;
  TImportOptions options;
  options.RowNames = false;
  const TImportedFile file = ReadTextFileForImport(path, options);
  return file.Read() && file.Table->HasData() ? TDataFileKind::TextData : TDataFileKind::Other;
}

std::string NotDocumentMessage(std::string_view path, TDataFileKind kind) {
  const std::string name = FileNameOf(path);
  switch (kind) {
    case TDataFileKind::TextData:
      return name + " is a text file of data, not an Ombrel document.";
    case TDataFileKind::Xlsx:
    case TDataFileKind::Ods:
      return name + " is a workbook, not an Ombrel document.";
    case TDataFileKind::OldWorkbook:
      return name + " is a workbook of an older format, not an Ombrel document.";
    case TDataFileKind::Other:
      break;
  }
  return {};
}

std::string OldWorkbookMessage(std::string_view path) {
  return FileNameOf(path) +
         " is a workbook of an older format, or one locked by a password, which Ombrel cannot read: save it as .xlsx "
         "or .ods (without a password) and import that.";
}

std::string DatesLeftOutMessage(int count) {
  const std::string what = count == 1 ? "1 date or time was" : std::to_string(count) + " dates and times were";
  return what + " left out: Ombrel analyses numbers, not dates.";
}

std::string FirstNotNumberLine(const TImportedFile& file) {
  if (file.NotNumberFields == 0) return "Every field is a number or empty.";
  std::string place = file.FirstNotNumberCell.empty() ? "row " + std::to_string(file.FirstNotNumberRow) + ", column " +
                                                            std::to_string(file.FirstNotNumberColumn)
                                                      : "cell " + file.FirstNotNumberCell;
  return "The first field that is not a number: \"" + file.FirstNotNumberText + "\", " + place + ".";
}

std::string HiddenLinesNote(const TImportedFile& file) {
  if (file.Source == TImportSource::Text) return {};
  std::string note = "Hidden rows and columns are imported";
  if (file.HiddenRows > 0) note += ": " + Plural(file.HiddenRows, "hidden row", "hidden rows");
  if (file.HiddenColumns > 0)
    note += (file.HiddenRows > 0 ? ", " : ": ") + Plural(file.HiddenColumns, "hidden column", "hidden columns");
  return note + ".";
}

std::string LeftOutMessage(const TImportedFile& file) {
  std::string text;
  if (file.NotNumberFields > 0 && file.FirstNotNumberCell.empty())
    text = NotNumbersMessage(file.NotNumberFields, file.FirstNotNumberRow, file.FirstNotNumberColumn);
  else if (file.NotNumberFields == 1)
    text = "1 cell of this sheet is not a number and was left empty: " + file.FirstNotNumberCell + ".";
  else if (file.NotNumberFields > 1)
    text = std::to_string(file.NotNumberFields) +
           " cells of this sheet are not numbers and were left empty; the first is " + file.FirstNotNumberCell + ".";
  if (file.DateFields > 0) text += (text.empty() ? "" : "\n") + DatesLeftOutMessage(file.DateFields);
  return text;
}

std::string ImportSummary(const TImportedFile& file) {
  std::string text;
  if (file.Source != TImportSource::Text && file.Sheet >= 0 &&
      static_cast<std::size_t>(file.Sheet) < file.SheetNames.size())
    text += "sheet \"" + file.SheetNames[static_cast<std::size_t>(file.Sheet)] + "\", ";
  const int leftEmpty = file.NotNumberFields + file.OutOfRangeFields;
  text += Plural(file.DataRows, "row", "rows") + ", " + Plural(file.DataColumns, "column", "columns") + ", " +
          Plural(leftEmpty, "field", "fields") + " left empty";
  if (file.NotNumberFields > 0) {
    if (!file.FirstNotNumberCell.empty())
      text += " (the first not a number in cell " + file.FirstNotNumberCell + ")";
    else
      text += " (the first not a number in row " + std::to_string(file.FirstNotNumberRow) + ", column " +
              std::to_string(file.FirstNotNumberColumn) + ")";
  }
  if (file.DateFields > 0) text += ", " + Plural(file.DateFields, "date", "dates") + " left out";
  if (file.RowNamesTaken) text += ", row names taken as row titles";
  if (file.HiddenRows > 0) text += ", " + Plural(file.HiddenRows, "hidden row", "hidden rows") + " imported";
  if (file.HiddenColumns > 0)
    text += ", " + Plural(file.HiddenColumns, "hidden column", "hidden columns") + " imported";
  if (file.Source == TImportSource::Text) text += std::string(", decimal separator '") + file.DecimalSeparator + "'";
  if (file.TooManyRows) text += ", only the first " + std::to_string(MaxImportRows) + " rows were read";
  if (file.TooManyColumns) text += ", only the first " + std::to_string(MaxColumns) + " columns were read";
  return text + ".";
}

}  // namespace ombrel
