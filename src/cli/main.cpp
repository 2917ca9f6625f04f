// ombrel-cli: Ombrel's analyses without the windows.
#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

#include "core/base/FileText.h"
#include "core/base/Version.h"
#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/document/ReportData.h"
#include "core/document/ReportPrinter.h"
#include "core/graph/PictureSize.h"
#include "core/report/JsonText.h"
#include "core/report/ReportHtml.h"

#ifdef OMBREL_CLI_PICTURES
#include "cli/Pictures.h"
#endif
#include "core/entry/ImportData.h"

namespace {

constexpr int UsageError = 2;
constexpr int FileError = 2;

void PrintHelp(std::ostream& out) {
  out << "Usage: ombrel-cli COMMAND [ARGUMENTS]\n"
         "\n"
         "Commands:\n"
         "  report [--markers] FILE.omd   print the report of a saved Ombrel document\n"
         "                                (--markers keeps the bold, underline and italic bytes)\n"
         "  report --html FILE.omd        print the report as an HTML page (tables as tables)\n"
         "  report --json FILE.omd        print the report's results as one JSON object\n"
         "  report --pdf OUT.pdf FILE.omd write the report as a PDF, paginated as printed\n"
         "  report --odt OUT.odt FILE.omd write the report as an OpenDocument text (tables as\n"
         "                                tables) for a word processor\n"
         "  report --effect-sizes ...     end the report with its effect sizes, method and APA\n"
         "                                sentence (the JSON always holds them)\n"
         "  graph [--sem] [--size WxH{cm|px}] [--dpi N] FILE.omd OUT.svg|OUT.pdf|OUT.png\n"
         "                                draw the document's graph (SD error bars unless\n"
         "                                --sem; 16x12cm and 300 dpi unless told)\n"
         "  import [--decimal-comma|--decimal-point] [--sheet NAME|NUMBER] [--no-row-names]\n"
         "         DATAFILE OUT.omd       read a text file of numbers or a workbook (.xlsx, .ods)\n"
         "                                as File > Import does and save it as a raw-data\n"
         "                                document (a text file's decimal separator is its own\n"
         "                                unless chosen, else the point; a workbook's first\n"
         "                                sheet unless --sheet names another or gives its number;\n"
         "                                a first column of row names becomes the row titles\n"
         "                                unless --no-row-names)\n"
         "  --version                     print the program version\n"
         "  --help                        print this help\n";
}

int Usage(std::string_view command, const std::string& message) {
  std::cerr << "ombrel-cli " << command << ": " << message << '\n';
  return UsageError;
}

// Opens the document, or says why not on standard error.
bool Open(const std::string& path, ombrel::TDocument& document) {
  const ombrel::TFileOutcome outcome = ombrel::OpenDocumentFile(path, document);
  if (!outcome.Loaded()) {
    std::cerr << path << ": " << outcome.Message << '\n';
    return false;
  }
  // What a cut file held still makes a report or a graph, under the same
  // warning the program gives.
  if (!outcome.Ok()) std::cerr << outcome.Message << '\n';
  return true;
}

int Report(int argc, char** argv) {
  bool keepMarkers = false;
  bool html = false;
  bool json = false;
  bool effectSizes = false;
  std::string pdf;
  std::string odt;
  std::string path;
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--markers") {
      keepMarkers = true;
    } else if (argument == "--html") {
      html = true;
    } else if (argument == "--json") {
      json = true;
    } else if (argument == "--effect-sizes") {
      effectSizes = true;
    } else if (argument == "--pdf") {
      if (++i >= argc) return Usage("report", "name the PDF file after --pdf.");
      pdf = argv[i];
    } else if (argument == "--odt") {
      if (++i >= argc) return Usage("report", "name the ODT file after --odt.");
      odt = argv[i];
    } else if (path.empty()) {
      path = argument;
    } else {
      return Usage("report", "name one document.");
    }
  }
  if (path.empty()) return Usage("report", "name the document to report on.");
  if (static_cast<int>(html) + static_cast<int>(json) + static_cast<int>(!pdf.empty()) +
          static_cast<int>(!odt.empty()) >
      1)
    return Usage("report", "choose one of --html, --json, --pdf and --odt.");
  ombrel::TDocument document;
  if (!Open(path, document)) return FileError;
  document.EffectSizes = effectSizes;
  if (!pdf.empty() || !odt.empty()) {
#ifdef OMBREL_CLI_PICTURES
    const std::string message = pdf.empty()
                                    ? ombrel::WriteReportFile(document, path, odt, ombrel::TReportFileForm::Odt)
                                    : ombrel::WriteReportFile(document, path, pdf, ombrel::TReportFileForm::Pdf);
    if (message.empty()) return 0;
    std::cerr << message << '\n';
    return FileError;
#else
    return Usage("report", "this build writes no PDF or ODT files.");
#endif
  }
  if (html) {
    ombrel::ComputeReport(document);
    std::cout << ombrel::ReportHtmlPage(document.Report, ombrel::ReportPageTitle(document, path));
  } else if (json) {
    ombrel::ComputeReport(document);
    std::cout << ombrel::JsonText(ombrel::ReportResultTree(document, path));
  } else {
    ombrel::PrintReport(document, std::cout, keepMarkers);
  }
  std::cout.flush();
  return std::cout ? 0 : FileError;
}

int Graph(int argc, char** argv) {
  bool sem = false;
  ombrel::TPictureSize size;
  int dpi = ombrel::DefaultPictureDpi;
  std::string paths[2];
  int named = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--sem") {
      sem = true;
    } else if (argument == "--size") {
      if (++i >= argc) return Usage("graph", "give the size after --size, as 16x12cm or 800x600px.");
      const auto parsed = ombrel::ParsePictureSize(argv[i]);
      if (!parsed) return Usage("graph", "the size reads as 16x12cm or 800x600px (2 to 100 cm, 50 to 20000 px).");
      size = *parsed;
    } else if (argument == "--dpi") {
      const std::string_view text = ++i < argc ? std::string_view(argv[i]) : std::string_view();
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), dpi);
      if (text.empty() || error != std::errc() || end != text.data() + text.size() || dpi < ombrel::MinPictureDpi ||
          dpi > ombrel::MaxPictureDpi)
        return Usage("graph", "the resolution after --dpi is a whole number from 36 to 2400.");
    } else if (named < 2) {
      paths[named++] = argument;
    } else {
      return Usage("graph", "name one document and one picture file.");
    }
  }
  if (named < 2) return Usage("graph", "name the document and the picture file (.svg, .pdf or .png).");
#ifdef OMBREL_CLI_PICTURES
  ombrel::TDocument document;
  if (!Open(paths[0], document)) return FileError;
  const std::string message = ombrel::WriteGraphFile(document, sem, size, dpi, paths[1]);
  if (message.empty()) return 0;
  std::cerr << message << '\n';
  return FileError;
#else
  (void)sem;
  (void)size;
  (void)dpi;
  return Usage("graph", "this build draws no graphs.");
#endif
}

int Import(int argc, char** argv) {
  ombrel::TImportOptions options;
  bool sheetChosen = false;
  std::string dataPath;
  std::string documentPath;
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--decimal-comma" || argument == "--decimal-point") {
      const char chosen = argument == "--decimal-comma" ? ',' : '.';
      char& decimal = options.Separators.ChosenDecimal;
      if (decimal != '\0' && decimal != chosen) return Usage("import", "choose one decimal separator.");
      decimal = chosen;
    } else if (argument == "--sheet") {
      if (++i >= argc || std::string_view(argv[i]).empty())
        return Usage("import", "name the sheet after --sheet, or give its number (1 for the first).");
      options.Sheet = argv[i];
      sheetChosen = true;
    } else if (argument == "--no-row-names") {
      options.RowNames = false;
    } else if (dataPath.empty()) {
      dataPath = argument;
    } else if (documentPath.empty()) {
      documentPath = argument;
    } else {
      return Usage("import", "name one data file and one document.");
    }
  }
  if (documentPath.empty()) return Usage("import", "name the data file and the document to write.");
  const ombrel::TImportedFile file = ombrel::ReadImportData(dataPath, options);
  if (!file.Read()) {
    // Messages about a workbook name it; the others need the name before them.
    if (file.Problem == ombrel::TImportProblem::CannotOpen || file.Problem == ombrel::TImportProblem::NotAscii)
      std::cerr << dataPath << ": ";
    std::cerr << file.ProblemMessage << '\n';
    return FileError;
  }
  if (sheetChosen && file.Source == ombrel::TImportSource::Text)
    return Usage("import", "--sheet chooses a sheet of a workbook (.xlsx, .ods), and " + dataPath + " is a text file.");
  if (!file.Table->HasData()) {
    std::cerr << dataPath
              << (file.Source == ombrel::TImportSource::Text ? ": the file holds no numbers.\n"
                                                             : ": the sheet holds no numbers.\n");
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
  std::cerr << documentPath << ": " << ombrel::ImportSummary(file) << '\n';
  if (file.DateFields > 0) std::cerr << ombrel::DatesLeftOutMessage(file.DateFields) << '\n';
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
  if (command == "graph") return Graph(argc, argv);
  if (command == "import") return Import(argc, argv);
  std::cerr << "ombrel-cli: unknown command '" << command << "'.\n";
  PrintHelp(std::cerr);
  return UsageError;
}
