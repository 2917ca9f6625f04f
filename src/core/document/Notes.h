#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ombrel {

// A document's notes hold at most this many bytes of text.
inline constexpr std::size_t MaxNotesLength = 8000;
// Room kept free when a report is appended.
inline constexpr std::size_t NotesAppendMargin = 10;
inline constexpr std::string_view NotesTooLargeMessage = "The text is too large to copy to notes.";

// What the notes window's editor text becomes in the document: at most
// MaxNotesLength bytes (never cutting a UTF-8 character), and a final CR LF
// is not kept.
std::string StoreNotes(std::string_view editorText);

// A selection in a line viewer: lines and columns 0-based, the end column
// one past the last selected character.
struct TLineSelection {
  int StartLine = 0;
  int StartColumn = 0;
  int EndLine = 0;
  int EndColumn = 0;
};

// A selection within one line that covers exactly one character counts as
// no selection when the report is appended to the notes.
bool IsSingleCharacterSelection(const TLineSelection& selection);

// The lines of a selection: the first from its start column, the last up
// to its end column.
std::vector<std::string> SelectedLines(const std::vector<std::string>& lines, const TLineSelection& selection);

// Appends each line to the notes as a line of its own, stopping at the
// first that would take them past MaxNotesLength. Refused (false, notes
// untouched) when the free room is less than the lines' total length plus
// NotesAppendMargin.
bool AppendLinesToNotes(std::string& notes, const std::vector<std::string>& lines);

}  // namespace ombrel
