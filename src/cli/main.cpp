// ombrel-cli: Ombrel's analyses without the windows.
#include <iostream>
#include <string>
#include <string_view>

#include "core/base/FileText.h"
#include "core/base/Version.h"
#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/document/ReportPrinter.h"
#include "core/entry/TextImport.h"
#include "core/entry/WrittenNumbers.h"

namespace {

constexpr int UsageError = 2;
constexpr int FileError = 2;

void PrintHelp(std::ostream& out) {
  out << "Usage: ombrel-cli COMMAND [ARGUMENTS]\n"
         "\n"
         "Commands:\n"
         "  report [--markers] FILE.omd   print the report of a saved Ombrel document\n"
         "                                (--markers keeps the bold, underline and italic bytes)\n"
         "  import [--decimal-comma|--decimal-point] TEXTFILE OUT.omd\n"
         "                                read a text file of numbers as File > Import does and\n"
         "                                save it as a raw-data document (the decimal separator\n"
         "                                is the file's own unless chosen; else the point)\n"
         "  --version                     print the program version\n"
         "  --help                        print this help\n";
}

int Report(int argc, char** argv) {
  bool keepMarkers = false;
  std::string path;
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--markers") {
      keepMarkers = true;
    } else if (path.empty()) {
      path = argument;
    } else {
      std::cerr << "ombrel-cli report: name one document.\n";
      return UsageError;
    }
  }
  if (path.empty()) {
    std::cerr << "ombrel-cli report: name the document to report on.\n";
    return UsageError;
  }
  ombrel::TDocument document;
  const ombrel::TFileOutcome outcome = ombrel::OpenDocumentFile(path, document);
  if (!outcome.Ok()) {
    std::cerr << path << ": " << outcome.Message << '\n';
    return FileError;
  }
  ombrel::PrintReport(document, std::cout, keepMarkers);
  std::cout.flush();
  return std::cout ? 0 : FileError;
}

int Import(int argc, char** argv) {
  ombrel::TImportSeparators separators;
  std::string textPath;
  std::string documentPath;
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--decimal-comma" || argument == "--decimal-point") {
      const char chosen = argument == "--decimal-comma" ? ',' : '.';
      if (separators.ChosenDecimal != '\0' && separators.ChosenDecimal != chosen) {
        std::cerr << "ombrel-cli import: choose one decimal separator.\n";
        return UsageError;
      }
      separators.ChosenDecimal = chosen;
    } else if (textPath.empty()) {
      textPath = argument;
    } else if (documentPath.empty()) {
      documentPath = argument;
    } else {
      std::cerr << "ombrel-cli import: name one text file and one document.\n";
      return UsageError;
    }
  }
  if (documentPath.empty()) {
    std::cerr << "ombrel-cli import: name the text file and the document to write.\n";
    return UsageError;
  }
  if (ombrel::IsSpreadsheetFileName(textPath)) {
    std::cerr << textPath << ":";
    for (const std::string_view line : ombrel::SpreadsheetAdviceLines) std::cerr << ' ' << line;
    std::cerr << '\n';
    return FileError;
  }
  if (!ombrel::IsAsciiFile(textPath)) {
    std::cerr << textPath << ": " << ombrel::NotAsciiMessage << '\n';
    return FileError;
  }
  const ombrel::TImportedFile file = ombrel::ReadImportFile(textPath, separators);
  if (file.ReadError != 0) {
    std::cerr << textPath << ": " << ombrel::FileErrorMessage(file.ReadError, false) << '\n';
    return FileError;
  }
  if (!file.Table->HasData()) {
    std::cerr << textPath << ": the file holds no numbers.\n";
    return FileError;
  }
  ombrel::TDocument document;
  document.Format = ombrel::TDataFormat::Raw;
  (void)ombrel::ApplyImport(file, ombrel::TImportChoices{}, document.Table, 0, 0);
  const ombrel::TFileOutcome saved = ombrel::SaveDocumentFile(documentPath, document);
  if (!saved.Ok()) {
    std::cerr << documentPath << ": " << saved.Message << '\n';
    return FileError;
  }
  const int leftEmpty = file.NotNumberFields + file.OutOfRangeFields;
  std::cerr << documentPath << ": " << file.DataRows << (file.DataRows == 1 ? " row, " : " rows, ")
            << file.DataColumns << (file.DataColumns == 1 ? " column, " : " columns, ") << leftEmpty
            << (leftEmpty == 1 ? " field" : " fields") << " left empty";
  if (file.NotNumberFields > 0)
    std::cerr << " (the first not a number in row " << file.FirstNotNumberRow << ", column "
              << file.FirstNotNumberColumn << ")";
  std::cerr << ", decimal separator '" << file.DecimalSeparator << "'";
  if (file.TooManyRows) std::cerr << ", only the first " << ombrel::MaxImportRows << " rows were read";
  std::cerr << ".\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintHelp(std::cerr);
    return UsageError;
  }
  const std::string_view command = argv[1];
  if (command == "--version") {
    std::cout << ombrel::ProgramName << ' ' << ombrel::ProgramVersion << '\n';
    return 0;
  }
  if (command == "--help" || command == "-h") {
    PrintHelp(std::cout);
    return 0;
  }
  if (command == "report") return Report(argc, argv);
  if (command == "import") return Import(argc, argv);
  std::cerr << "ombrel-cli: unknown command '" << command << "'.\n";
  PrintHelp(std::cerr);
  return UsageError;
}
