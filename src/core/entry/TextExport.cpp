#include "core/entry/TextExport.h"

#include <algorithm>
#include <vector>

#include "core/base/FileReplace.h"
#include "core/base/FileText.h"
#include "core/entry/CellText.h"

namespace ombrel {

namespace {

constexpr std::string_view LineEnd = "\r\n";

bool AnyColumnTitle(const TDataTable& table, int lastColumn) {
  for (int c = 0; c <= lastColumn; ++c)
    if (!table.Summary(c).Title.empty()) return true;
  return false;
}

char Upper(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }

// What follows the last "." of the name's last part; empty when none.
std::string_view Extension(std::string_view fileName) {
  const auto slash = fileName.find_last_of("/\\");
  const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  const auto dot = base.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? std::string_view() : base.substr(dot + 1);
}

// The general number form, blanks dropped.
std::string NumberField(TReal value) { return std::string(TrimBlanks(FileNumberText(value))); }

}  // namespace

char ExportSeparator(std::string_view fileName, char listSeparator, char decimalSeparator) {
  const std::string_view extension = Extension(fileName);
  const auto is = [extension](std::string_view name) {
    return extension.size() == name.size() &&
           std::equal(extension.begin(), extension.end(), name.begin(), [](char a, char b) { return Upper(a) == b; });
  };
  if (!is("TXT") && !is("CSV")) return '\t';
  // A list separator that is also the decimal separator would split numbers.
  if (listSeparator == decimalSeparator || listSeparator == '\0') return decimalSeparator == ',' ? ';' : ',';
  return listSeparator;
}

std::string WithExtension(std::string_view fileName, std::string_view extension) {
  std::string name(fileName);
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  if (!Extension(fileName).empty() || base.empty() || extension.empty()) return name;
  if (name.back() != '.') name += '.';
  name += extension;
  return name;
}

std::string ExportValueText(TReal value, int decimals, char decimalSeparator) {
  if (IsEmpty(value)) return std::string();
  // The scientific cell form keeps only 7 digits; the file form keeps them all.
  std::string text = NeedsScientific(value) ? std::string(TrimBlanks(FileCellText(value, decimals)))
                                            : FormatCellValue(value, decimals);
  if (decimalSeparator != '.')
    for (char& ch : text)
      if (ch == '.') ch = decimalSeparator;
  return text;
}

std::string ExportDataText(const TDataTable& table, const TExportChoices& choices) {
  const TDataTable::TExtents extents = table.FindExtents();
  const int lastRow = extents.LastRow;
  const int lastColumn = extents.LastColumn;
  const auto value = [&](int row, int column) {
    return ExportValueText(table.GetValue(row, column), table.AutoDecimals[static_cast<std::size_t>(column)],
                           choices.DecimalSeparator);
  };
  std::string text;
  if (choices.SheetTitle) {
    text += table.Title();
    text += LineEnd;
  }
  const bool titles = choices.ColumnTitles && AnyColumnTitle(table, lastColumn);
  if (choices.Arrangement == TExportArrangement::Standard) {
    if (titles) {
      for (int c = 0; c <= lastColumn; ++c) {
        if (c > 0) text += choices.Separator;
        text += table.Summary(c).Title;
      }
      text += LineEnd;
    }
    for (int r = 0; r <= lastRow; ++r) {
      for (int c = 0; c <= lastColumn; ++c) {
        if (c > 0) text += choices.Separator;
        text += value(r, c);
      }
      text += LineEnd;
    }
    return text;
  }
  if (titles) {
    text += "value";
    text += choices.Separator;
    text += "group";
    text += LineEnd;
  }
  for (int c = 0; c <= lastColumn; ++c)
    for (int r = 0; r <= lastRow; ++r) {
      text += value(r, c);
      text += choices.Separator;
      text += std::to_string(c + 1);
      text += LineEnd;
    }
  return text;
}

std::string ExportTwoByTwoText(const TTwoByTwoTable& table, char separator) {
  std::string text;
  text += NumberField(table.A);
  text += separator;
  text += NumberField(table.B);
  text += LineEnd;
  text += NumberField(table.C);
  text += separator;
  text += NumberField(table.D);
  text += LineEnd;
  return text;
}

std::string ExportSummaryText(const TDataTable& table) {
  std::vector<int> columns;
  for (int c = 0; c < MaxColumns; ++c)
    if (table.Summary(c).N > 0) columns.push_back(c);
  std::string text;
  if (columns.empty()) return text;
  const auto line = [&](auto field) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) text += ',';
      text += field(table.Summary(columns[i]));
    }
    text += LineEnd;
  };
  line([](const TColumnSummary& s) { return s.Title; });
  line([](const TColumnSummary& s) { return std::to_string(s.N); });
  for (TReal TColumnSummary::*member :
       {&TColumnSummary::Mean, &TColumnSummary::SD, &TColumnSummary::SEM, &TColumnSummary::Median,
        &TColumnSummary::Minimum, &TColumnSummary::Maximum, &TColumnSummary::LowerCI, &TColumnSummary::UpperCI})
    line([member](const TColumnSummary& s) { return NumberField(s.*member); });
  return text;
}

int WriteExportFile(const std::string& path, std::string_view text) { return ReplaceFileContents(path, text); }

}  // namespace ombrel
