// ombrel-cli: Ombrel's analyses without the windows.
#include <iostream>
#include <string>
#include <string_view>

#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/document/ReportPrinter.h"
#include "core/base/Version.h"

namespace {

constexpr int UsageError = 2;
constexpr int FileError = 2;

void PrintHelp(std::ostream& out) {
  out << "Usage: ombrel-cli COMMAND [ARGUMENTS]\n"
         "\n"
         "Commands:\n"
         "  report [--markers] FILE.omd   print the report of a saved Ombrel document\n"
         "                                (--markers keeps the bold, underline and italic bytes)\n"
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
  if (!outcome.Loaded()) {
    std::cerr << path << ": " << outcome.Message << '\n';
    return FileError;
  }
  // What a cut file held still makes a report, under the same warning the
  // program gives.
  if (!outcome.Ok()) std::cerr << outcome.Message << '\n';
  ombrel::PrintReport(document, std::cout, keepMarkers);
  std::cout.flush();
  return std::cout ? 0 : FileError;
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
  std::cerr << "ombrel-cli: unknown command '" << command << "'.\n";
  PrintHelp(std::cerr);
  return UsageError;
}
