#include "core/entry/TextImport.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <vector>

#include "core/base/FileText.h"
#include "core/base/NumberText.h"
#include "core/entry/CellStore.h"
#include "core/entry/CellText.h"
#include "core/entry/WrittenNumbers.h"

namespace ombrel {

namespace {

constexpr TReal MaxEntryMagnitude = 1.5e38L;
constexpr int CutLength = 14;
constexpr char EndOfFileMark = 26;

// Reads lines ended by CR LF, LF or CR, keeping at most ImportLineLength
// bytes of each so that no input can make a line grow without bound.
class TImportLineReader {
 public:
  explicit TImportLineReader(std::istream& in) : mBuffer(in.rdbuf()) {}

  bool ReadLine(std::string& line) {
    line.clear();
    if (mBuffer == nullptr) return false;
    using traits = std::char_traits<char>;
    auto ch = mBuffer->sbumpc();
    if (traits::eq_int_type(ch, traits::eof())) return false;
    while (!traits::eq_int_type(ch, traits::eof())) {
      const char c = traits::to_char_type(ch);
      if (c == '\n') break;
      if (c == '\r') {
        if (traits::eq_int_type(mBuffer->sgetc(), traits::to_int_type('\n'))) mBuffer->sbumpc();
        break;
      }
      if (line.size() < ImportLineLength) line.push_back(c);
      ch = mBuffer->sbumpc();
    }
    return true;
  }

 private:
  std::streambuf* mBuffer;
};

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char ch) { return static_cast<unsigned char>(ch) <= ' '; });
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

char Upper(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

struct TFieldValue {
  TReal Value = EmptyValue;
  std::string Text;  // the rounded number's text, for its decimals
  bool OutOfRange = false;
  bool NotNumber = false;
};

std::string TrimmedZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

bool ReadNumber(std::string_view text, TReal& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

// 15 significant digits, for values the 14-character fixed text cannot hold.
TFieldValue SignificantRounding(TReal value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  TFieldValue field;
  field.Text.assign(buffer, result.ptr);
  field.Value = value;
  TReal reread = 0;
  if (ReadNumber(field.Text, reread)) field.Value = reread;
  return field;
}

TFieldValue RoundedField(TReal value) {
  if (value == 0) return {0, "0", false, false};
  if (std::fabs(value) <= 1e-4L) return SignificantRounding(value);
  std::string text = TrimmedZeros(FormatFixed(value, 12));
  const std::size_t integerLength = std::min(text.find('.'), text.size());
  if (integerLength > static_cast<std::size_t>(CutLength) || text == "0" || text == "-0")
    return SignificantRounding(value);
  if (text.size() > static_cast<std::size_t>(CutLength)) text = TrimmedZeros(text.substr(0, CutLength));
  TReal reread = 0;
  if (!ReadNumber(text, reread)) return SignificantRounding(value);
  return {reread, text, false, false};
}

TFieldValue ReadField(std::string_view raw, char decimalSeparator) {
  std::string text(raw);
  if (const auto star = text.find('*'); star != std::string::npos) text.erase(star, 1);
  TFieldValue field;
  const TWrittenField written = ReadWrittenNumber(text, decimalSeparator);
  if (written.Kind == TFieldKind::Empty) return field;
  if (written.Kind == TFieldKind::NotNumber) {
    field.NotNumber = true;
    return field;
  }
  if (!(std::fabs(written.Value) <= MaxEntryMagnitude)) {
    field.OutOfRange = true;
    return field;
  }
  return RoundedField(written.Value);
}

// A workbook's stored number, taken exactly as its XML writes it: the
// rounding of typed and pasted text is for text, whose digits a person
// wrote; a workbook's digits are the value itself. The rounded text still
// teaches the column its decimals, so the grid shows it as before.
TFieldValue StoredNumber(std::string_view text) {
  const auto begin = text.find_first_not_of(" \t\r\n");
  const auto end = text.find_last_not_of(" \t\r\n");
  std::string_view digits = begin == std::string_view::npos ? std::string_view() : text.substr(begin, end - begin + 1);
  if (digits.starts_with('+')) digits.remove_prefix(1);
  TReal value = 0;
  if (digits.empty() || !ReadNumber(digits, value) || !std::isfinite(value)) return ReadField(text, '.');
  if (!(std::fabs(value) <= MaxEntryMagnitude)) {
    TFieldValue field;
    field.OutOfRange = true;
    return field;
  }
  TFieldValue field = RoundedField(value);
  field.Value = value == 0 ? 0 : value;
  return field;
}

// The characters that end a delimited field: tab, ";", the list separator
// and "," unless it is the decimal comma.
std::string FieldSeparators(const TImportSeparators& separators, char decimalSeparator) {
  if (separators.ChosenSeparator != '\0') return std::string(1, separators.ChosenSeparator);
  std::string result = "\t;";
  if (decimalSeparator != ',') result.push_back(',');
  const char list = separators.ListSeparator;
  if (list != '\0' && list != decimalSeparator && list != '.' && list != '"' && result.find(list) == std::string::npos)
    result.push_back(list);
  return result;
}

// The first of `separators` in a line outside double quotes, or "\0".
char FirstSeparator(std::string_view line, std::string_view separators) {
  bool quoted = false;
  for (const char ch : line) {
    if (ch == '"') quoted = !quoted;
    if (!quoted && separators.find(ch) != std::string_view::npos) return ch;
  }
  return '\0';
}

// Fields of a delimited line; double quotes hold separators in and are not
// part of the text, but mark the field as a label.
TSourceRow DelimitedFields(std::string_view line, std::string_view separators) {
  TSourceRow fields(1);
  bool quoted = false;
  for (const char ch : line) {
    if (ch == '"') {
      quoted = !quoted;
      fields.back().Label = true;
    } else if (!quoted && separators.find(ch) != std::string_view::npos) {
      if (fields.size() > static_cast<std::size_t>(MaxColumns)) break;
      fields.emplace_back();
    } else {
      fields.back().Text.push_back(ch);
    }
  }
  return fields;
}

bool IsNumericCharacter(char ch) { return IsDigit(ch) || ch == '.' || ch == '+' || ch == '-'; }

// The cut positions of column-aligned lines: a position that holds a
// separator (blank, ";" and "," unless it is the decimal comma) on every
// line reaching it (and is not that line's last character), between the
// first and the last numeric character; of a run of such positions the
// last one.
std::vector<std::size_t> AlignedBoundaries(const std::vector<std::string>& lines, char decimalSeparator) {
  const auto isSeparator = [decimalSeparator](char ch) {
    return ch == ' ' || ch == ';' || (ch == ',' && decimalSeparator != ',');
  };
  std::size_t first = std::string::npos;
  std::size_t last = 0;
  std::size_t longest = 0;
  for (const std::string& line : lines) {
    longest = std::max(longest, line.size());
    for (std::size_t p = 0; p < line.size(); ++p)
      if (IsNumericCharacter(line[p])) {
        first = std::min(first, p);
        last = std::max(last, p);
      }
  }
  std::vector<std::size_t> boundaries;
  if (first == std::string::npos) return boundaries;
  std::vector<bool> candidate(longest, false);
  for (std::size_t p = first; p < last; ++p) {
    bool all = true;
    for (const std::string& line : lines) {
      if (p >= line.size()) continue;
      if (!isSeparator(line[p]) || p + 1 == line.size()) {
        all = false;
        break;
      }
    }
    candidate[p] = all;
  }
  for (std::size_t p = first; p < last; ++p)
    if (candidate[p] && !(p + 1 < candidate.size() && candidate[p + 1])) boundaries.push_back(p);
  return boundaries;
}

TSourceRow AlignedFields(std::string_view line, const std::vector<std::size_t>& boundaries) {
  TSourceRow fields;
  const auto add = [&fields](std::string_view text) {
    fields.emplace_back();
    fields.back().Text = std::string(text);
    fields.back().Label = text.find('"') != std::string_view::npos;
  };
  std::size_t start = 0;
  for (const std::size_t boundary : boundaries) {
    if (start >= line.size()) break;
    add(line.substr(start, boundary - start));
    start = boundary + 1;
  }
  if (start < line.size()) add(line.substr(start));
  return fields;
}

// Titles of a header line: double quotes toggle a quoted part and are not
// part of a title; ",", ";", the list separator and tab outside quotes end
// a title; the end-of-file mark ends the line.
std::vector<std::string> TitleFields(std::string_view line, char listSeparator) {
  std::vector<std::string> titles(1);
  bool quoted = false;
  for (const char ch : line) {
    if (ch == EndOfFileMark) break;
    if (ch == '"') {
      quoted = !quoted;
    } else if (!quoted && (ch == '\t' || ch == ',' || ch == ';' || ch == listSeparator)) {
      titles.emplace_back();
    } else {
      titles.back().push_back(ch);
    }
  }
  for (std::string& title : titles) {
    const auto begin = title.find_first_not_of(' ');
    const auto end = title.find_last_not_of(' ');
    title = begin == std::string::npos ? std::string() : title.substr(begin, end - begin + 1);
    if (title.size() > static_cast<std::size_t>(MaxColumnTitleLength)) title.resize(MaxColumnTitleLength);
  }
  return titles;
}

// `fieldColumns`: the most fields a data line holds. A first header line
// with as many titles names the columns (also when the last of them hold no
// numbers at all); else it is the sheet title.
void ReadTitles(TImportedFile& file, const std::vector<std::string>& header, char listSeparator, int fieldColumns) {
  if (header.empty()) return;
  file.HasHeader = true;
  std::string_view titleLine;
  const auto count = static_cast<int>(TitleFields(header[0], listSeparator).size());
  if (file.DataColumns > 0 && (count == file.DataColumns || count == fieldColumns)) {
    titleLine = header[0];
  } else {
    std::string_view sheet = header[0];
    while (!sheet.empty() && static_cast<unsigned char>(sheet.back()) <= ' ') sheet.remove_suffix(1);
    while (!sheet.empty() && static_cast<unsigned char>(sheet.front()) <= ' ') sheet.remove_prefix(1);
    file.SheetTitle = std::string(sheet.substr(0, static_cast<std::size_t>(MaxTableTitleLength)));
    file.HasSheetTitle = !file.SheetTitle.empty();
    file.Table->SetTitle(file.SheetTitle);
    // Only a further header line can hold titles; a data line holds numbers.
    if (header.size() > 1 && !IsBlankLine(header[1])) titleLine = header[1];
  }
  if (titleLine.empty()) return;
  const std::vector<std::string> titles = TitleFields(titleLine, listSeparator);
  file.HasColumnTitles = true;
  // A titled column whose fields are all empty is still one of the file's.
  file.DataColumns = std::max(file.DataColumns, std::min(static_cast<int>(titles.size()), fieldColumns));
  for (std::size_t c = 0; c < titles.size() && c < file.ColumnTitles.size(); ++c) {
    file.ColumnTitles[c] = titles[c];
    StoreColumnTitle(*file.Table, static_cast<int>(c), titles[c]);
  }
}

std::string WithoutQuotes(std::string_view text) {
  std::string result;
  for (const char ch : text)
    if (ch != '"') result.push_back(ch);
  const auto begin = result.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  return result.substr(begin, result.find_last_not_of(" \t") - begin + 1);
}

// What a field of a row gives: its value and how it counts.
TFieldValue SourceValue(const TSourceField& source, char decimalSeparator) {
  switch (source.Kind) {
    case TSourceKind::Written:
      return ReadField(source.Text, decimalSeparator);
    case TSourceKind::Number:
      return StoredNumber(source.Text);
    case TSourceKind::NotNumber: {
      TFieldValue field;
      field.NotNumber = true;
      return field;
    }
    case TSourceKind::Date:
    case TSourceKind::Empty:
      break;
  }
  return {};
}

// Stores one row of fields from field `skip` on; answers whether it held
// any non-empty field.
bool StoreRow(TImportedFile& file, int row, const TSourceRow& fields, int skip) {
  bool any = false;
  TDataTable& table = *file.Table;
  const bool preview = row < PreviewRowCount;
  if (preview && file.PreviewRows.size() <= static_cast<std::size_t>(row))
    file.PreviewRows.resize(static_cast<std::size_t>(row) + 1);
  for (std::size_t k = static_cast<std::size_t>(std::max(skip, 0)); k < fields.size(); ++k) {
    const TSourceField& source = fields[k];
    const int column = static_cast<int>(k) - skip;
    const TFieldValue field = SourceValue(source, file.DecimalSeparator);
    const bool date = source.Kind == TSourceKind::Date;
    const bool holds = date || field.OutOfRange || field.NotNumber || !IsEmpty(field.Value);
    if (column >= MaxColumns) {
      if (holds) file.TooManyColumns = true;
      continue;
    }
    if (!holds) continue;
    any = true;
    file.DataColumns = std::max(file.DataColumns, column + 1);
    auto& counts = file.Counts[static_cast<std::size_t>(column)];
    TPreviewKind kind = TPreviewKind::Number;
    if (date) {
      ++file.DateFields;
      ++counts.Dates;
      kind = TPreviewKind::Date;
    } else if (field.OutOfRange || field.NotNumber) {
      if (field.OutOfRange) ++file.OutOfRangeFields;
      if (field.NotNumber && file.NotNumberFields++ == 0) {
        file.FirstNotNumberRow = row + 1;
        file.FirstNotNumberColumn = column + 1;
        file.FirstNotNumberText = WithoutQuotes(source.Text);
      }
      ++counts.NotNumbers;
      kind = TPreviewKind::NotNumber;
    } else {
      ++counts.Numbers;
    }
    if (preview) {
      auto& previewRow = file.PreviewRows[static_cast<std::size_t>(row)];
      if (previewRow.size() <= static_cast<std::size_t>(column))
        previewRow.resize(static_cast<std::size_t>(column) + 1);
      previewRow[static_cast<std::size_t>(column)] = {kind, WithoutQuotes(source.Text)};
    }
    if (IsEmpty(field.Value)) continue;
    StoreCell(table, row, column, field.Value);
    if (NeedsScientific(field.Value)) continue;
    const TTextDigits digits = CountTextDigits(field.Text);
    auto& decimals = table.AutoDecimals[static_cast<std::size_t>(column)];
    if (digits.Decimals + digits.IntegerDigits <= CutLength && decimals < digits.Decimals) decimals = digits.Decimals;
  }
  return any;
}

// Whether the first fields of the rows holding data are row names.
bool AreRowNames(const TImportedFile& file, const std::vector<TSourceRow>& rows, bool& numbered) {
  if (!file.HasColumnTitles || !WithoutQuotes(file.ColumnTitles[0]).empty() || file.DataColumns < 2 ||
      file.DataRows < 1)
    return false;
  bool labels = true;
  numbered = true;
  for (int r = 0; r < file.DataRows && r < static_cast<int>(rows.size()); ++r) {
    const TSourceRow& row = rows[static_cast<std::size_t>(r)];
    const bool empty = std::all_of(row.begin(), row.end(), [](const TSourceField& field) {
      return field.Kind == TSourceKind::Empty || WithoutQuotes(field.Text).empty();
    });
    if (empty) continue;
    if (row.empty() || row[0].Kind == TSourceKind::Empty || WithoutQuotes(row[0].Text).empty()) return false;
    if (!row[0].Label) labels = false;
    const TWrittenField number = ReadWrittenNumber(row[0].Text, '.');
    if (number.Kind != TFieldKind::Number || number.Value != static_cast<TReal>(r + 1)) numbered = false;
    if (!labels && !numbered) return false;
  }
  return true;
}

TReal ScratchValue(const TDataTable& table, int row, int column1Based) {
  if (column1Based < 1 || column1Based > MaxColumns) return EmptyValue;
  return table.GetValue(row, column1Based - 1);
}

void MarkImportedColumn(TDataTable& target, int column, std::int32_t decimals) {
  const auto c = static_cast<std::size_t>(column);
  target.AutoDecimals[c] = std::max(target.AutoDecimals[c], decimals);
  target.MeanEntryColumn[c] = 0;
  target.ColumnChanged[c] = 1;
}

void ImportIndexed(const TImportedFile& file, const TImportChoices& choices, TDataTable& target) {
  const TDataTable& scratch = *file.Table;
  target.Clear();
  std::vector<TReal> groups;
  std::array<int, MaxColumns> filled{};
  const int valueColumn = choices.ValueColumn;
  const std::int32_t decimals = valueColumn >= 1 && valueColumn <= MaxColumns
                                    ? scratch.AutoDecimals[static_cast<std::size_t>(valueColumn - 1)]
                                    : 0;
  for (int s = 0; s < file.DataRows; ++s) {
    const TReal group = ScratchValue(scratch, s, choices.GroupColumn);
    if (IsEmpty(group)) continue;
    const TReal value = ScratchValue(scratch, s, valueColumn);
    auto known = std::find(groups.begin(), groups.end(), group);
    if (known == groups.end()) {
      if (groups.size() >= static_cast<std::size_t>(MaxColumns)) continue;
      groups.push_back(group);
      known = groups.end() - 1;
      const int column = static_cast<int>(groups.size()) - 1;
      StoreColumnTitle(target, column, GroupTitle(group));
      MarkImportedColumn(target, column, decimals);
    }
    const auto k = static_cast<std::size_t>(known - groups.begin());
    if (filled[k] >= MaxImportRows) continue;
    const int column = static_cast<int>(k);
    StoreCell(target, filled[k], column, value);
    target.SetExcluded(filled[k], column, false);
    ++filled[k];
  }
  if (file.HasSheetTitle) target.SetTitle(file.SheetTitle);
}

void ImportStandard(const TImportedFile& file, const TImportChoices& choices, TDataTable& target, int startRow,
                    int startColumn) {
  const TDataTable& scratch = *file.Table;
  // Where each scratch column goes: the columns in range, side by side.
  std::array<int, MaxColumns> targetOf{};
  targetOf.fill(-1);
  int next = startColumn;
  for (int c = 0; c < file.DataColumns && next < MaxColumns; ++c) {
    const bool inRange =
        choices.Columns != TImportColumns::Range || (c + 1 >= choices.StartColumn && c + 1 <= choices.EndColumn);
    if (inRange) targetOf[static_cast<std::size_t>(c)] = next++;
  }
  int t = startRow;
  for (int s = 0; s < file.DataRows; ++s) {
    if (t >= MaxImportRows) break;
    if (choices.FilterRows &&
        !PassesFilter(ScratchValue(scratch, s, choices.FilterColumn), choices.Condition, choices.FilterValue))
      continue;
    const bool rowInRange = !choices.RowRange || (s + 1 >= choices.StartRow && s + 1 <= choices.EndRow);
    for (int c = 0; c < file.DataColumns && rowInRange; ++c) {
      const int column = targetOf[static_cast<std::size_t>(c)];
      if (column < 0) continue;
      StoreCell(target, t, column, scratch.GetValue(s, c));
      target.SetExcluded(t, column, false);
      MarkImportedColumn(target, column, scratch.AutoDecimals[static_cast<std::size_t>(c)]);
    }
    if (rowInRange && file.RowNamesTaken && !file.RowNamesNumbered) target.SetRowTitle(t, scratch.RowTitle(s));
    ++t;
  }
  if (file.HasSheetTitle) target.SetTitle(file.SheetTitle);
  if (file.HasColumnTitles)
    for (int c = 0; c < MaxColumns; ++c)
      if (const int column = targetOf[static_cast<std::size_t>(c)]; column >= 0)
        StoreColumnTitle(target, column, file.ColumnTitles[static_cast<std::size_t>(c)]);
}

}  // namespace

bool IsAsciiText(std::istream& in) {
  TImportLineReader reader(in);
  std::string line;
  bool first = true;
  while (reader.ReadLine(line)) {
    if (!first && std::any_of(line.begin(), line.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 128; }))
      return false;
    first = false;
  }
  return true;
}

bool IsAsciiFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return true;
  return IsAsciiText(in);
}

bool IsTitleLine(std::string_view line, const TImportSeparators& separators) {
  if (line.find('*') != std::string_view::npos) return false;
  std::string text;
  for (const char ch : line)
    if (ch != '"') text.push_back(ch);
  if (IsBlankLine(text)) return !line.empty() && !IsBlankLine(line);
  // A tab counts like a blank: a row whose first cell is empty starts with one.
  const auto dataCharacter = [&separators](char ch) {
    return ch == ' ' || ch == '\t' || ch == '+' || ch == ',' || ch == '-' || ch == '.' || ch == ';' || IsDigit(ch) ||
           ch == separators.ListSeparator || ch == separators.DecimalSeparator;
  };
  const bool spelled = !dataCharacter(Upper(text.front())) || std::any_of(text.begin(), text.end(), [&](char ch) {
    return !dataCharacter(Upper(ch)) && Upper(ch) != 'E';
  });
  if (!spelled) return false;
  // Numbers among missing-value markers are data: "1.5,NA", "NA  2"; so
  // are numbers after a quoted label, a row name ("mouse a",1.5).
  bool number = false;
  bool other = false;
  bool quoted = false;
  bool first = true;
  std::string field;
  const auto end = [&] {
    const std::string_view trimmed = TrimBlanks(field);
    const bool label = first && trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"';
    if (ReadWrittenNumber(field, ',').Kind == TFieldKind::Number)
      number = true;
    else if (!IsMissingMarker(field) && !label)
      other = true;
    if (!trimmed.empty()) first = false;
    field.clear();
  };
  for (const char ch : line) {
    if (ch == '"') quoted = !quoted;
    if (!quoted && (ch == '\t' || ch == ',' || ch == ';' || ch == ' ' || ch == separators.ListSeparator))
      end();
    else
      field.push_back(ch);
  }
  end();
  return other || !number;
}

TImportField ImportFieldValue(std::string_view field, char decimalSeparator) {
  const TFieldValue value = ReadField(field, decimalSeparator);
  return {value.Value, value.NotNumber, value.OutOfRange};
}

TImportedFile ReadImportText(std::istream& in, const TImportSeparators& separators) {
  TImportOptions options;
  options.Separators = separators;
  options.RowNames = false;
  return ReadTextForImport(in, options);
}

TImportedFile ReadTextForImport(std::istream& in, const TImportOptions& options) {
  const TImportSeparators& separators = options.Separators;
  TImportedFile file;
  TImportLineReader reader(in);
  std::string line;
  std::vector<std::string> header;
  std::vector<std::string> data;
  bool inHeader = true;
  bool firstLine = true;
  while (reader.ReadLine(line)) {
    if (firstLine && line.starts_with(ByteOrderMark)) line.erase(0, ByteOrderMark.size());
    firstLine = false;
    const bool title = options.Header != TImportHeader::Off && IsTitleLine(line, separators);
    if (inHeader && (IsBlankLine(line) || title)) {
      // Only the first two header lines can hold titles.
      if (header.size() < 2) header.push_back(line);
      continue;
    }
    inHeader = false;
    if (data.size() < static_cast<std::size_t>(MaxImportRows)) {
      data.push_back(line);
    } else if (!IsBlankLine(line)) {
      file.TooManyRows = true;
      break;
    }
  }
  if (options.Header == TImportHeader::Off) {
    header.clear();
  } else if (options.Header == TImportHeader::On && !data.empty() &&
             std::all_of(header.begin(), header.end(), [](const std::string& h) { return IsBlankLine(h); })) {
    // The first data line names the columns.
    header.assign(1, data.front());
    data.erase(data.begin());
  }
  if (separators.ChosenDecimal == '.' || separators.ChosenDecimal == ',') {
    file.DecimalSeparator = separators.ChosenDecimal;
  } else {
    const TDecimalGuess guess =
        GuessDecimalSeparator(data, separators.DecimalSeparator, separators.ListSeparator, TTextSource::File);
    file.DecimalSeparator = guess.Separator == ',' ? ',' : '.';
    file.DecimalFromFile = guess.FromText;
  }
  int fieldColumns = 0;
  std::vector<TSourceRow> rows;
  if (!data.empty()) {
    const std::string fieldSeparators = FieldSeparators(separators, file.DecimalSeparator);
    const std::size_t separator = data.front().find_first_of(fieldSeparators);
    file.Delimited = separators.ChosenSeparator != ' ' && separator != std::string::npos;
    if (file.Delimited) {
      const char outside = FirstSeparator(data.front(), fieldSeparators);
      file.FieldSeparator = outside != '\0' ? outside : data.front()[separator];
    }
    std::vector<std::size_t> boundaries;
    if (!file.Delimited) boundaries = AlignedBoundaries(data, file.DecimalSeparator);
    rows.reserve(data.size());
    for (const std::string& text : data) {
      rows.push_back(file.Delimited ? DelimitedFields(text, fieldSeparators) : AlignedFields(text, boundaries));
      fieldColumns = std::max(fieldColumns, static_cast<int>(std::min<std::size_t>(rows.back().size(), MaxColumns)));
    }
    StoreImportRows(file, rows);
  }
  ReadTitles(file, header, separators.ListSeparator, fieldColumns);
  TakeRowNames(file, rows, options.RowNames);
  CountEmptyFields(file);
  return file;
}

TImportedFile ReadImportFile(const std::string& path, const TImportSeparators& separators) {
  TImportOptions options;
  options.Separators = separators;
  options.RowNames = false;
  return ReadTextFileForImport(path, options);
}

TImportedFile ReadTextFileForImport(const std::string& path, const TImportOptions& options) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    TImportedFile file;
    file.ReadError = errno != 0 ? errno : EIO;
    file.Problem = TImportProblem::CannotOpen;
    file.ProblemMessage = FileErrorMessage(file.ReadError, false);
    return file;
  }
  return ReadTextForImport(in, options);
}

void StoreImportRows(TImportedFile& file, const std::vector<TSourceRow>& rows, int skip) {
  const std::size_t count = std::min(rows.size(), static_cast<std::size_t>(MaxImportRows));
  for (std::size_t r = 0; r < count; ++r)
    if (StoreRow(file, static_cast<int>(r), rows[r], skip)) file.DataRows = static_cast<int>(r) + 1;
  file.PreviewRows.resize(static_cast<std::size_t>(std::min(file.DataRows, PreviewRowCount)));
}

void TakeRowNames(TImportedFile& file, const std::vector<TSourceRow>& rows, bool take) {
  bool numbered = false;
  if (!AreRowNames(file, rows, numbered)) return;
  file.RowNamesFound = true;
  file.RowNamesNumbered = numbered;
  file.RowNames.assign(static_cast<std::size_t>(file.DataRows), std::string());
  for (int r = 0; r < file.DataRows && r < static_cast<int>(rows.size()); ++r)
    if (!rows[static_cast<std::size_t>(r)].empty())
      file.RowNames[static_cast<std::size_t>(r)] = WithoutQuotes(rows[static_cast<std::size_t>(r)][0].Text);
  if (!take) return;

  // Fill the table again from the second field on; the counts start anew.
  const int columns = file.DataColumns;
  TImportedFile names;
  names.Table->SetTitle(file.Table->Title());
  names.DecimalSeparator = file.DecimalSeparator;
  StoreImportRows(names, rows, 1);
  file.Table = std::move(names.Table);
  file.DataColumns = std::max(names.DataColumns, columns - 1);
  file.TooManyColumns = names.TooManyColumns;
  file.OutOfRangeFields = names.OutOfRangeFields;
  file.NotNumberFields = names.NotNumberFields;
  file.FirstNotNumberRow = names.FirstNotNumberRow;
  file.FirstNotNumberColumn = names.FirstNotNumberColumn;
  file.FirstNotNumberText = names.FirstNotNumberText;
  file.DateFields = names.DateFields;
  file.Counts = names.Counts;
  file.PreviewRows = std::move(names.PreviewRows);
  file.PreviewRows.resize(static_cast<std::size_t>(std::min(file.DataRows, PreviewRowCount)));
  for (std::size_t c = 0; c + 1 < file.ColumnTitles.size(); ++c) file.ColumnTitles[c] = file.ColumnTitles[c + 1];
  file.ColumnTitles.back().clear();
  for (int c = 0; c < MaxColumns; ++c) StoreColumnTitle(*file.Table, c, file.ColumnTitles[static_cast<std::size_t>(c)]);
  if (!numbered)
    for (int r = 0; r < file.DataRows; ++r) file.Table->SetRowTitle(r, file.RowNames[static_cast<std::size_t>(r)]);
  file.RowNamesTaken = true;
}

void CountEmptyFields(TImportedFile& file) {
  for (int c = 0; c < MaxColumns; ++c) {
    auto& counts = file.Counts[static_cast<std::size_t>(c)];
    counts.Empty =
        c < file.DataColumns ? std::max(0, file.DataRows - counts.Numbers - counts.NotNumbers - counts.Dates) : 0;
  }
}

bool PassesFilter(TReal value, TFilterCondition condition, TReal limit) {
  switch (condition) {
    case TFilterCondition::Equal:
      return value == limit;
    case TFilterCondition::Greater:
      return value > limit;
    case TFilterCondition::GreaterOrEqual:
      return value >= limit;
    case TFilterCondition::Less:
      return value < limit;
    case TFilterCondition::LessOrEqual:
      return value <= limit;
    case TFilterCondition::NotEqual:
      return value != limit;
  }
  return false;
}

TImportOutcome ApplyImport(const TImportedFile& file, const TImportChoices& choices, TDataTable& target, int startRow,
                           int startColumn) {
  if (choices.Columns == TImportColumns::Indexed) {
    if (choices.ValueColumn == choices.GroupColumn) return TImportOutcome::SameIndexColumns;
    ImportIndexed(file, choices, target);
    return TImportOutcome::Imported;
  }
  ImportStandard(file, choices, target, std::clamp(startRow, 0, MaxImportRows), std::clamp(startColumn, 0, MaxColumns));
  // Imported empty cells may have emptied the last row or column.
  target.RecalcExtents();
  return TImportOutcome::Imported;
}

std::string GroupTitle(TReal group) {
  std::string text = TrimmedZeros(FormatFixed(group, 2));
  if (text == "-0") text = "0";
  return text;
}

}  // namespace ombrel
