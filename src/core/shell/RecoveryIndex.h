#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The index kept beside each recovery copy of a modified document: which
// document it was (its caption and its file, if it had one), when it last
// changed, and the name of the copy. Crash recovery reads the indexes an
// ended instance left behind, so reading must survive anything a crash or a
// stranger may have left in the folder.

namespace ombrel {

struct TRecoveryIndex {
  // The document's caption: its file's path, or its untitled name.
  std::string Name;
  // The file the document was read from or saved to; empty while untitled.
  std::string OriginalPath;
  // The time of the last change, in seconds since 1970-01-01 UTC.
  std::int64_t ChangedSeconds = 0;
  // The recovery copy, a file name (no folder) in the index's own folder.
  std::string DocumentFile;
};

// The index as text: a first line naming the format, then one "key=value"
// line per field; backslashes and line ends within values are escaped, so
// any path round-trips.
std::string WriteRecoveryIndex(const TRecoveryIndex& index);

// Reads an index; nullopt for anything not written by WriteRecoveryIndex:
// another first line, a missing or repeated field, a time that is not a
// non-negative integer, a copy name that is empty or reaches outside the
// folder, an empty name, a bad escape. Unknown keys are ignored so that a
// later version may add fields.
std::optional<TRecoveryIndex> ReadRecoveryIndex(std::string_view text);

}  // namespace ombrel
