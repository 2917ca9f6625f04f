#include "core/shell/FileKinds.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace ombrel {

TFileKind FileKindOfPath(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  // A leading dot names a hidden file, not a suffix.
  if (dot == std::string_view::npos || dot == 0) return TFileKind::Other;
  std::string suffix(name.substr(dot + 1));
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  if (suffix == "omd") return TFileKind::Document;
  constexpr std::array<std::string_view, 4> textSuffixes = {"txt", "csv", "dat", "prn"};
  if (std::find(textSuffixes.begin(), textSuffixes.end(), suffix) != textSuffixes.end()) return TFileKind::ImportText;
  if (suffix == "xlsx" || suffix == "ods") return TFileKind::ImportWorkbook;
  return TFileKind::Other;
}

}  // namespace ombrel
