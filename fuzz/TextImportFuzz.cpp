// Feeds arbitrary bytes to the text importer, imports what it read into a
// document and exports it again: nothing may crash or hang, no stored value
// may leave the entry range, and every field the reader took for a number
// must come back unchanged from the document file. The first byte picks the
// user's separators (point and comma, or comma and semicolon), a chosen
// field separator, the header choice and whether row names are taken.
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
  static const char chosenSeparators[] = {'\0', '\0', ';', ' '};
  ombrel::TImportOptions options;
  options.Separators = {decimalComma ? ';' : ',', decimalComma ? ',' : '.', '\0', chosenSeparators[(data[0] >> 1) & 3]};
  options.Header = static_cast<ombrel::TImportHeader>(((data[0] >> 3) & 3) % 3);
  options.RowNames = (data[0] & 0x20) == 0;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  const ombrel::TImportedFile file = ombrel::ReadTextForImport(in, options);

  ombrel::TDocument document;
  CheckImportRoundTrip(file, document);
  (void)ombrel::ExportDataText(document.Table, ombrel::TExportChoices{});
  return 0;
}
