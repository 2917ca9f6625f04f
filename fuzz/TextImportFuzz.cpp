// Feeds arbitrary bytes to the text importer, imports what it read into a
// document and exports it again: nothing may crash or hang, no stored value
// may leave the entry range, and every field the reader took for a number
// must come back unchanged from the document file. The first byte picks the
// user's separators (point and comma, or comma and semicolon).
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/document/Document.h"
#include "core/entry/TextExport.h"
#include "core/entry/TextImport.h"
#include "ImportRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool decimalComma = (data[0] & 1U) != 0;
  const ombrel::TImportSeparators separators{decimalComma ? ';' : ',', decimalComma ? ',' : '.'};
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  const ombrel::TImportedFile file = ombrel::ReadImportText(in, separators);

  ombrel::TDocument document;
  CheckImportRoundTrip(file, document);
  (void)ombrel::ExportDataText(document.Table, ombrel::TExportChoices{});
  return 0;
}
