#include "core/shell/RecoveryIndex.h"

#include <charconv>

namespace ombrel {

namespace {

constexpr std::string_view FirstLine = "Ombrel recovery index 1";
constexpr std::string_view NameKey = "name";
constexpr std::string_view OriginalKey = "original";
constexpr std::string_view ChangedKey = "changed";
constexpr std::string_view DocumentKey = "document";
// Far more than any caption or path; a longer index is not one of ours.
constexpr std::size_t MaxIndexLength = 64 * 1024;

std::string Escape(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '\\':
        text += "\\\\";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      default:
        text += c;
    }
  }
  return text;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string value;
  value.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      value += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        value += '\\';
        break;
      case 'n':
        value += '\n';
        break;
      case 'r':
        value += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return value;
}

// A name within the folder: not empty, no separator, not "." or "..", and
// no NUL, which would cut the path short when it is handed to the system.
bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\\') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

std::string WriteRecoveryIndex(const TRecoveryIndex& index) {
  std::string text(FirstLine);
  text += '\n';
  const auto line = [&text](std::string_view key, std::string_view value) {
    text += key;
    text += '=';
    text += Escape(value);
    text += '\n';
  };
  line(NameKey, index.Name);
  line(OriginalKey, index.OriginalPath);
  line(ChangedKey, std::to_string(index.ChangedSeconds));
  line(DocumentKey, index.DocumentFile);
  return text;
}

std::optional<TRecoveryIndex> ReadRecoveryIndex(std::string_view text) {
  if (text.size() > MaxIndexLength) return std::nullopt;
  std::optional<std::string> name, original, changed, document;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      if (line != FirstLine) return std::nullopt;
      first = false;
      continue;
    }
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = line.substr(0, equals);
    std::optional<std::string>* field = key == NameKey       ? &name
                                        : key == OriginalKey ? &original
                                        : key == ChangedKey  ? &changed
                                        : key == DocumentKey ? &document
                                                             : nullptr;
    if (field == nullptr) continue;
    if (field->has_value()) return std::nullopt;
    *field = Unescape(line.substr(equals + 1));
    if (!field->has_value()) return std::nullopt;
  }
  if (!name || !original || !changed || !document) return std::nullopt;
  if (name->empty() || !IsPlainFileName(*document)) return std::nullopt;
  TRecoveryIndex index;
  const char* begin = changed->data();
  const char* stop = begin + changed->size();
  const auto [parsed, error] = std::from_chars(begin, stop, index.ChangedSeconds);
  if (error != std::errc() || parsed != stop || changed->empty() || index.ChangedSeconds < 0) return std::nullopt;
  index.Name = std::move(*name);
  index.OriginalPath = std::move(*original);
  index.DocumentFile = std::move(*document);
  return index;
}

}  // namespace ombrel
