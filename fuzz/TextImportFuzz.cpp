// Feeds arbitrary bytes to the text importer, imports what it read into a
// document table and exports that again: nothing may crash or hang, and no
// stored value may leave the entry range.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/entry/TextExport.h"
#include "core/entry/TextImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const ombrel::TImportedFile file = ombrel::ReadImportText(in, {';', ','});
  ombrel::TDataTable table;
  (void)ombrel::ApplyImport(file, ombrel::TImportChoices{}, table, 0, 0);
  for (int r = 0; r < ombrel::MaxRows; ++r)
    for (int c = 0; c < ombrel::MaxColumns; ++c) {
      const long double v = table.GetValue(r, c);
      if (!ombrel::IsEmpty(v) && !(std::isfinite(v) && std::fabs(v) <= 1.5e38L)) __builtin_trap();
    }
  (void)ombrel::ExportDataText(table, ombrel::TExportChoices{});
  return 0;
}
