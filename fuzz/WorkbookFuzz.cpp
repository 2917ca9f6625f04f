// Feeds arbitrary bytes to the workbook reader and imports what it read into
// a document: nothing may crash, hang or grow without bound, no stored value
// may leave the entry range, and the document must read back as written.
// The first byte chooses how the rest is taken: as a whole zip archive, or
// (so that the XML readers see more than checksum failures) as the parts of
// an .xlsx or .ods workbook, separated by "\n--part--\n"; and which sheet,
// header and row-name choices the import makes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/entry/ImportData.h"
#include "core/entry/WorkbookParts.h"
#include "ImportRoundTrip.h"

namespace {

constexpr std::string_view PartSeparator = "\n--part--\n";

std::map<std::string, std::string> SplitParts(std::string_view rest, bool ods) {
  static const char* const xlsx[] = {"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml",
                                     "xl/sharedStrings.xml", "xl/styles.xml"};
  static const char* const odf[] = {"mimetype", "content.xml"};
  std::map<std::string, std::string> parts;
  const std::size_t count = ods ? 2 : 5;
  for (std::size_t i = 0; i < count && !rest.empty(); ++i) {
    const std::size_t end = rest.find(PartSeparator);
    parts[ods ? odf[i] : xlsx[i]] = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + PartSeparator.size());
  }
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  ombrel::TImportOptions options;
  static const char* const sheets[] = {"", "2", "Sheet1", "Doses"};
  options.Sheet = sheets[(mode >> 2) & 3];
  options.Header = static_cast<ombrel::TImportHeader>(((mode >> 4) & 3) % 3);
  options.RowNames = (mode & 0x40) == 0;

  ombrel::TWorkbookSheet sheet;
  if ((mode & 1) == 0) {
    sheet = ombrel::ReadWorkbookBytes(rest, options.Sheet);
  } else {
    ombrel::detail::TMemoryParts parts(SplitParts(rest, (mode & 2) != 0));
    sheet = ombrel::ReadWorkbookParts(parts, options.Sheet);
  }
  if (sheet.Ok() && sheet.Rows.size() > 1002) __builtin_trap();
  const ombrel::TImportedFile file = ombrel::ImportWorkbookSheet(sheet, "fuzz.xlsx", options);
  if (!file.Read()) {
    if (file.ProblemMessage.empty()) __builtin_trap();
    return 0;
  }
  (void)ombrel::ImportSummary(file);

  ombrel::TDocument document;
  CheckImportRoundTrip(file, document);
  return 0;
}
