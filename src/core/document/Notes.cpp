#include "core/document/Notes.h"

#include <algorithm>

namespace ombrel {

namespace {

// The longest prefix of at most `limit` bytes that ends on a character boundary.
std::size_t Utf8Prefix(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) --end;
  return end;
}

}  // namespace

std::string StoreNotes(std::string_view editorText) {
  std::string notes(editorText.substr(0, Utf8Prefix(editorText, MaxNotesLength)));
  if (notes.size() >= 2 && notes.compare(notes.size() - 2, 2, "\r\n") == 0) notes.resize(notes.size() - 2);
  return notes;
}

bool IsSingleCharacterSelection(const TLineSelection& selection) {
  return selection.StartLine == selection.EndLine && selection.EndColumn - selection.StartColumn == 1;
}

std::vector<std::string> SelectedLines(const std::vector<std::string>& lines, const TLineSelection& selection) {
  std::vector<std::string> range;
  const int count = static_cast<int>(lines.size());
  const int first = std::max(selection.StartLine, 0);
  const int last = std::min(selection.EndLine, count - 1);
  for (int i = first; i <= last; ++i) {
    std::string_view line = lines[static_cast<std::size_t>(i)];
    std::size_t from = 0;
    std::size_t to = line.size();
    if (i == selection.EndLine) to = std::min(to, static_cast<std::size_t>(std::max(selection.EndColumn, 0)));
    if (i == selection.StartLine) from = std::min(to, static_cast<std::size_t>(std::max(selection.StartColumn, 0)));
    range.emplace_back(line.substr(from, to - from));
  }
  return range;
}

bool AppendLinesToNotes(std::string& notes, const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const std::string& line : lines) total += line.size();
  const std::size_t room = notes.size() >= MaxNotesLength ? 0 : MaxNotesLength - notes.size();
  if (room < total + NotesAppendMargin) return false;
  for (const std::string& line : lines) {
    const std::size_t separator = notes.empty() ? 0 : 2;
    if (notes.size() + separator + line.size() > MaxNotesLength) break;
    if (separator != 0) notes += "\r\n";
    notes += line;
  }
  return true;
}

}  // namespace ombrel
