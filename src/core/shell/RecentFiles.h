#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ombrel {

inline constexpr int MaxRecentFiles = 9;

// The recent-file list of the File menu: at most nine paths, the newest
// first.
class TRecentFiles {
 public:
  // Puts `path` at the head: an equal entry further down is removed, the
  // others move down one, and an entry pushed past the ninth is dropped.
  // Empty paths are ignored.
  void Add(std::string_view path);
  // Takes the entries as the settings file holds them (#1 first); the first
  // empty entry ends the list.
  void Load(const std::vector<std::string>& entries);
  const std::vector<std::string>& Entries() const { return mEntries; }

 private:
  std::vector<std::string> mEntries;
};

// The menu caption of entry `number` (1 to 9): "&" + number + " " + path,
// with every ampersand of the path doubled so that it shows as itself.
std::string RecentMenuCaption(int number, std::string_view path);

}  // namespace ombrel
