#pragma once

#include <string>
#include <string_view>

#include "core/base/DataTable.h"
#include "core/base/TwoByTwoTable.h"

namespace ombrel {

// The texts Export writes, and writing them. Lines end with CR LF.

enum class TExportArrangement { Standard, Indexed };

struct TExportChoices {
  TExportArrangement Arrangement = TExportArrangement::Standard;
  bool SheetTitle = true;
  bool ColumnTitles = true;
  char Separator = '\t';
  char DecimalSeparator = '.';
};

// The list separator for a file whose extension is "txt" or "csv" in any
// case ("," where it would be the decimal separator ";"), else a tab.
char ExportSeparator(std::string_view fileName, char listSeparator, char decimalSeparator = '.');

// The file name with `extension` (the chosen file filter's) added when the
// name has none.
std::string WithExtension(std::string_view fileName, std::string_view extension);

// One exported value: empty for the empty marker; fixed point with
// `decimals`, trimmed; values that need scientific form in the " d.dddE+xx"
// shape with as many digits as it takes to read back the same value. The
// "." becomes the decimal separator.
std::string ExportValueText(TReal value, int decimals, char decimalSeparator);

// The data table as text: optionally the title line; then the standard
// layout (an optional line of the column titles, one line per row from row 1
// to the last row holding a value, fields separated by the separator) or the index layout (optionally "value" +
// separator + "group", then one line per cell: value, separator, column number from 1).
std::string ExportDataText(const TDataTable& table, const TExportChoices& choices);

// The 2x2 counts, one line per table row, separated by `separator`.
std::string ExportTwoByTwoText(const TTwoByTwoTable& table, char separator);

// The column statistics of the columns with N above 0, comma-separated: a
// line of titles, a line of N, then one line each for the mean, SD, SEM,
// median, minimum, maximum and the lower and upper 95% limits. Numbers use
// "." whatever the locale, since "," separates the fields.
std::string ExportSummaryText(const TDataTable& table);

// Writes the text to a file, as ReplaceFileContents does (a failure leaves
// the old file as it was); 0 on success, else the errno of the failure.
[[nodiscard]] int WriteExportFile(const std::string& path, std::string_view text);

}  // namespace ombrel
