#include "core/shell/IniFile.h"

#include <algorithm>
#include <charconv>

namespace ombrel {

namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

char Upper(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

// The name of a "[Section]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return line.empty() || line.front() == ';';
}

}  // namespace

TIniFile::TIniFile(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    mLines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

std::int64_t TIniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < mLines.size(); ++i) {
    const auto name = SectionName(mLines[i]);
    if (name && SameName(*name, section)) return static_cast<std::int64_t>(i);
  }
  return -1;
}

std::int64_t TIniFile::FindKey(std::int64_t header, std::string_view key) const {
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < mLines.size(); ++i) {
    const std::string_view line = mLines[i];
    if (SectionName(line)) break;
    if (IsComment(line)) continue;
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos && SameName(Trim(line.substr(0, equals)), key))
      return static_cast<std::int64_t>(i);
  }
  return -1;
}

std::optional<std::string> TIniFile::Get(std::string_view section, std::string_view key) const {
  const std::int64_t header = FindSection(section);
  if (header < 0) return std::nullopt;
  const std::int64_t at = FindKey(header, key);
  if (at < 0) return std::nullopt;
  const std::string_view line = mLines[static_cast<std::size_t>(at)];
  std::string_view value = Trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return std::string(value);
}

void TIniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string line;
  line.append(key).append("=").append(value);
  std::int64_t header = FindSection(section);
  if (header < 0) {
    if (!mLines.empty() && !Trim(mLines.back()).empty()) mLines.emplace_back();
    mLines.push_back("[" + std::string(section) + "]");
    mLines.push_back(std::move(line));
    return;
  }
  const std::int64_t at = FindKey(header, key);
  if (at >= 0) {
    mLines[static_cast<std::size_t>(at)] = std::move(line);
    return;
  }
  // After the section's last key, before any blank lines that separate it
  // from the next section.
  std::size_t insert = static_cast<std::size_t>(header) + 1;
  for (std::size_t i = insert; i < mLines.size() && !SectionName(mLines[i]); ++i)
    if (!Trim(mLines[i]).empty()) insert = i + 1;
  mLines.insert(mLines.begin() + static_cast<std::ptrdiff_t>(insert), std::move(line));
}

std::string TIniFile::Text() const {
  std::string text;
  for (const std::string& line : mLines) text.append(line).append("\n");
  return text;
}

bool ProfileStateFromText(std::string_view text) {
  return SameName(text, "TRUE") || SameName(text, "YES") || text == "1";
}

std::int32_t ProfileValueFromText(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  std::int32_t value = 0;
  const char* const end = trimmed.data() + trimmed.size();
  const auto [ptr, error] = std::from_chars(trimmed.data(), end, value);
  if (error == std::errc{} && ptr == end && !trimmed.empty()) return value;
  return ProfileStateFromText(trimmed) ? 1 : 0;
}

std::string_view ProfileStateText(bool state) { return state ? "True" : "False"; }

}  // namespace ombrel
