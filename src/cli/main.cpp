// ombrel-cli: Ombrel's analyses without the windows.
#include <cstring>
#include <iostream>
#include <string_view>

#include "document/Version.h"

namespace {

constexpr int UsageError = 2;

void PrintHelp(std::ostream& out) {
  out << "Usage: ombrel-cli COMMAND [ARGUMENTS]\n"
         "\n"
         "Commands:\n"
         "  report FILE.omd   print the report of a saved Ombrel document\n"
         "  --version         print the program version\n"
         "  --help            print this help\n";
}

int Report(int argc, char** /*argv*/) {
  if (argc < 3) {
    std::cerr << "ombrel-cli report: name the document to report on.\n";
    return UsageError;
  }
  std::cerr << "ombrel-cli report: reading documents is not implemented yet.\n";
  return UsageError;
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
