#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrel {

class TReportText;

// Character attributes of a displayed report line, one byte per character.
inline constexpr std::uint8_t BoldAttribute = 1;
inline constexpr std::uint8_t UnderlineAttribute = 2;
inline constexpr std::uint8_t ItalicAttribute = 4;

// A report line as the viewer draws it: the text without marker bytes and
// the attributes in force at each character.
struct TDisplayLine {
  std::string Text;
  std::vector<std::uint8_t> Attributes;
  bool HasAttributes = false;  // any character is bold, underlined or italic
};

// Removes the markers of one report line: each marker flips its attribute
// from there to the end of the line; every line starts plain.
TDisplayLine DisplayLineOf(std::string_view rawLine);

// The display text of line `index` (0-based): "Text line #" and the number
// when no report is attached, nothing outside the report's lines.
std::optional<TDisplayLine> GetLineText(const TReportText* report, int index);

// The line end of this system's text files (a document file keeps CR LF
// whatever the system).
#ifdef _WIN32
inline constexpr std::string_view PlatformLineEnd = "\r\n";
#else
inline constexpr std::string_view PlatformLineEnd = "\n";
#endif

// Every line of a finished report without markers, each followed by
// `lineEnd`.
std::string PlainReportText(const TReportText& report, std::string_view lineEnd = "\r\n");

// Writes the report's lines to a text file, created or replaced, each ended
// by the system's line end. False when the file cannot be opened or written
// completely.
bool SaveReportToTextFile(const TReportText& report, const std::string& fileName);

}  // namespace ombrel
