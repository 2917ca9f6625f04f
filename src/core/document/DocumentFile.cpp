#include "document/DocumentFile.h"

namespace ombrel {

// Placeholders until the reader and writer land.
TFileOutcome ReadDocument(std::istream&, TDocument&) { return {TFileResult::IoError, "Not implemented yet."}; }
void WriteDocument(std::ostream&, const TDocument&) {}
TFileOutcome OpenDocumentFile(const std::string&, TDocument&) { return {TFileResult::IoError, "Not implemented yet."}; }
TFileOutcome SaveDocumentFile(const std::string&, const TDocument&) {
  return {TFileResult::IoError, "Not implemented yet."};
}

}  // namespace ombrel
