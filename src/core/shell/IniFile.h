#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings file: a private profile file of "[Section]" headers and
// "Key=Value" lines. Names match without regard to case, as the settings
// file has always been read; lines the program does not know (comments,
// other sections) survive a rewrite unchanged.

namespace ombrel {

// The longest profile text a read returns.
inline constexpr std::size_t MaxProfileTextLength = 255;

class TIniFile {
 public:
  TIniFile() = default;
  // Takes the text of a settings file; CR LF or LF line ends.
  explicit TIniFile(std::string_view text);

  // The value of `key` in `section`, trimmed of blanks and of one pair of
  // enclosing double quotes; nothing when absent.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the value in place, or adds the key at the end of its section,
  // or the section at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // The file's text, LF line ends.
  std::string Text() const;

 private:
  // Index of the header line of `section`, or -1.
  std::int64_t FindSection(std::string_view section) const;
  // Index of the line holding `key` in the section starting at `header`, or -1.
  std::int64_t FindKey(std::int64_t header, std::string_view key) const;

  std::vector<std::string> mLines;
};

// The profile rules of reading a text as a number or a state.
//
// A state is true when the text, ignoring case, is "TRUE" or "YES", or is "1".
bool ProfileStateFromText(std::string_view text);
// The text as an integer; text that is not an integer gives 1 when it reads
// as a true state, else 0.
std::int32_t ProfileValueFromText(std::string_view text);
// "True" or "False", the form states are written in.
std::string_view ProfileStateText(bool state);

}  // namespace ombrel
