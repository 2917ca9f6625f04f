// Feeds arbitrary bytes to the document reader, then writes what it read and
// reads that again: nothing may crash, hang or leak, and a document the
// reader accepted, whole or cut short, must survive its own round trip.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/document/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ombrel::TDocument document;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  if (!ombrel::ReadDocument(in, document).Loaded()) return 0;
  std::ostringstream out;
  ombrel::WriteDocument(out, document);
  ombrel::TDocument again;
  std::istringstream back(out.str());
  if (!ombrel::ReadDocument(back, again).Ok()) __builtin_trap();
  std::ostringstream second;
  ombrel::WriteDocument(second, again);
  if (second.str() != out.str()) __builtin_trap();
  return 0;
}
