// Feeds arbitrary bytes to the text importer, imports what it read into a
// document and exports it again: nothing may crash or hang, no stored value
// may leave the entry range, and every field the reader took for a number
// must come back unchanged from the document file. The first byte picks the
// user's separators (point and comma, or comma and semicolon).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/entry/TextExport.h"
#include "core/entry/TextImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool decimalComma = (data[0] & 1U) != 0;
  const ombrel::TImportSeparators separators{decimalComma ? ';' : ',', decimalComma ? ',' : '.'};
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  const ombrel::TImportedFile file = ombrel::ReadImportText(in, separators);

  ombrel::TDocument document;
  document.Format = ombrel::TDataFormat::Raw;
  (void)ombrel::ApplyImport(file, ombrel::TImportChoices{}, document.Table, 0, 0);
  std::stringstream saved;
  ombrel::WriteDocument(saved, document);
  ombrel::TDocument reread;
  if (!ombrel::ReadDocument(saved, reread).Ok()) __builtin_trap();

  for (int r = 0; r < ombrel::MaxRows; ++r)
    for (int c = 0; c < ombrel::MaxColumns; ++c) {
      const long double read = file.Table->GetValue(r, c);
      const long double imported = document.Table.GetValue(r, c);
      if (!ombrel::IsEmpty(imported) && !(std::isfinite(imported) && std::fabs(imported) <= 1.5e38L)) __builtin_trap();
      // Import copies numbers unchanged; the document file keeps them.
      if (imported != read) __builtin_trap();
      if (reread.Table.GetValue(r, c) != imported) __builtin_trap();
    }
  (void)ombrel::ExportDataText(document.Table, ombrel::TExportChoices{});
  return 0;
}
