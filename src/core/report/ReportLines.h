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

// Every line of a finished report without markers, each followed by CR LF.
std::string PlainReportText(const TReportText& report);

// Writes PlainReportText to a file, created or replaced. False when the file
// cannot be opened or written completely.
bool SaveReportToTextFile(const TReportText& report, const std::string& fileName);

}  // namespace ombrel
