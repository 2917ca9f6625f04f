#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/shell/ShellRules.h"

// The rules of the open documents: at most ten at a time, a file is never
// opened twice, an empty active document gives its place to a file, new
// and duplicated documents take the next untitled name, and a duplicate is
// made by writing the document out and reading it back.

namespace ombrel {

// One open document as these rules see it.
struct TOpenDocument {
  std::string Name;      // the caption: the file's path or the untitled name
  std::string FilePath;  // the file it shows, as the caller compares paths; empty while untitled
  bool Empty = false;    // no title, values, 2x2 counts or notes: nothing is lost by closing it
};

// What File Open does with a file.
enum class TOpenAction {
  Activate,  // the file is open already: that document comes to the front
  Open,      // a new document reads it
  TooMany,   // ten are open and none gives way
};

struct TOpenPlan {
  TOpenAction Action = TOpenAction::Open;
  // Activate: the document showing the file. Open: the empty active
  // document that closes for it, or -1.
  int Document = -1;
};

// The open documents in the order their windows were made, and the active
// one; the window layer builds one whenever it needs a decision.
class TDocumentManager {
 public:
  TDocumentManager() = default;
  // `active` is an index into `open`, or -1.
  TDocumentManager(std::vector<TOpenDocument> open, int active);

  int Count() const { return static_cast<int>(mOpen.size()); }
  // Another document may be made: fewer than ten are open, or one closes
  // to make room.
  bool HasRoom(bool oneCloses = false) const;
  // The document showing the file at `path`, or -1. Untitled documents show
  // no file, whatever their names.
  int FindFile(std::string_view path) const;
  // File Open: an open file is activated; otherwise it is read into a new
  // document, for which an empty active document gives its place.
  TOpenPlan PlanOpen(std::string_view path) const;
  // The name of a new or duplicated document: the smallest untitled number
  // that no open document's name uses.
  std::string NextUntitledName() const;

 private:
  std::vector<TOpenDocument> mOpen;
  int mActive = -1;
};

// The step a document read from a file is shown on: its own, unless that is
// step 0 or the loading page, then the step for its format.
TStep OpeningStep(const TDocument& document);

// Duplicate: writes `source` to `scratchPath` (removing a file left there
// first), reads it back into `copy` as File Open does, and removes the file.
// The failures are told as the user sees them: the file could not be
// removed, a write error with its number, or the reader's message.
TFileOutcome DuplicateDocument(const TDocument& source, const std::string& scratchPath, TDocument& copy);

}  // namespace ombrel
