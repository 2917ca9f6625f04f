#pragma once

#include <cmath>
#include <sstream>

#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/entry/TextImport.h"

// Imports what a reader read into a new raw-data document with the default
// choices, writes the document and reads it back: a stored value beyond the
// entry range, one that differs from the scratch table's, or one the
// document file does not keep stops the fuzzer.
inline void CheckImportRoundTrip(const ombrel::TImportedFile& file, ombrel::TDocument& document) {
  document.Format = ombrel::TDataFormat::Raw;
  (void)ombrel::ApplyImport(file, ombrel::TImportChoices{}, document.Table, 0, 0);
  std::stringstream saved;
  ombrel::WriteDocument(saved, document);
  ombrel::TDocument reread;
  if (!ombrel::ReadDocument(saved, reread).Ok()) __builtin_trap();
  for (int r = 0; r < ombrel::MaxRows; ++r)
    for (int c = 0; c < ombrel::MaxColumns; ++c) {
      const long double imported = document.Table.GetValue(r, c);
      if (!ombrel::IsEmpty(imported) && !(std::isfinite(imported) && std::fabs(imported) <= 1.5e38L)) __builtin_trap();
      // Import copies numbers unchanged; the document file keeps them.
      if (imported != file.Table->GetValue(r, c)) __builtin_trap();
      if (reread.Table.GetValue(r, c) != imported) __builtin_trap();
    }
}
