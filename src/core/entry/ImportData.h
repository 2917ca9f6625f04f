#pragma once

#include <string>
#include <string_view>

#include "core/entry/TextImport.h"
#include "core/entry/Workbook.h"

// Import from a file of either kind, text or workbook: the one routine the
// import preview shows and the import then uses, what kind of data file a
// path holds, and the summary of an import.

namespace ombrel {

// Reads a file for import as `options` say: a workbook (.xlsx or .ods,
// known by its content, not its name) through ReadWorkbookFile, anything
// else as text through ReadImportFile (refused with NotAscii when a line
// after the first holds a byte of 128 or more). Problem and ProblemMessage
// say why nothing was read. Calling it again with changed options (decimal
// separator, header, row names, sheet) gives what the import will then do.
TImportedFile ReadImportData(const std::string& path, const TImportOptions& options);

// The same from workbook bytes in memory; `fileName` names it in messages.
TImportedFile ReadImportWorkbookBytes(std::string_view bytes, std::string_view fileName, const TImportOptions& options);

// Fills the scratch table from a sheet read with ReadWorkbook*: leading
// empty columns are dropped; a first row of text (no numbers or dates)
// gives the column titles unless options.Header says otherwise; numbers
// from their stored values; text, truth values, errors and formulas
// without a stored result left empty and counted as not numbers; dates and
// times left empty and counted in DateFields; at most 1000 data rows and
// 26 columns; hidden rows and columns among those read counted.
TImportedFile ImportWorkbookSheet(const TWorkbookSheet& sheet, std::string_view fileName,
                                  const TImportOptions& options);

enum class TDataFileKind {
  TextData,     // a text file the import finds numbers in
  Xlsx,         // an Office Open XML workbook
  Ods,          // an OpenDocument spreadsheet
  OldWorkbook,  // a workbook of the older binary format (or one locked by a password)
  Other,
};

// What a file holds, by its content (not its name), for a file that is not
// an Ombrel document: File > Open offers to import data files.
TDataFileKind DataFileKindOf(const std::string& path);

// "DATA.CSV is a text file of data, not an Ombrel document.", "BOOK.XLSX is
// a workbook, not an Ombrel document." and so on, naming the file by its
// name without the folder; empty for Other.
std::string NotDocumentMessage(std::string_view path, TDataFileKind kind);

// The message for an older binary workbook offered for import.
std::string OldWorkbookMessage(std::string_view path);

// "2 dates and times were left out: Ombrel analyses numbers, not dates."
std::string DatesLeftOutMessage(int count);

// The import preview's line on the first field that is not a number:
// "The first field that is not a number: "NA", row 2, column 3." (a
// workbook names its cell: "... "NA", cell C5."), or "Every field is a
// number or empty." when there is none.
std::string FirstNotNumberLine(const TImportedFile& file);

// The preview's note on a workbook's hidden rows and columns: they are
// imported like the others ("Hidden rows and columns are imported: 1
// hidden row, 1 hidden column."); empty for text files.
std::string HiddenLinesNote(const TImportedFile& file);

// What an import left out, told once the data is in: the fields that are
// not numbers (NotNumbersMessage, or for a workbook by their first cell)
// and the dates; one message per line, empty when nothing was left out.
std::string LeftOutMessage(const TImportedFile& file);

// One line that sums up an import, as ombrel-cli prints it: the sheet of a
// workbook, rows, columns, fields left empty and where the first that is
// not a number is, dates left out, row names taken, hidden rows and columns,
// the decimal separator of a text file, and the row and column limits.
std::string ImportSummary(const TImportedFile& file);

}  // namespace ombrel
