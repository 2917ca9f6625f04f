#include "core/shell/RecentFiles.h"

#include <algorithm>

namespace ombrel {

void TRecentFiles::Add(std::string_view path) {
  if (path.empty()) return;
  const auto old = std::find(mEntries.begin(), mEntries.end(), path);
  if (old != mEntries.end()) mEntries.erase(old);
  mEntries.insert(mEntries.begin(), std::string(path));
  if (mEntries.size() > static_cast<std::size_t>(MaxRecentFiles)) mEntries.resize(MaxRecentFiles);
}

void TRecentFiles::Load(const std::vector<std::string>& entries) {
  mEntries.clear();
  for (const std::string& entry : entries) {
    if (entry.empty() || mEntries.size() == static_cast<std::size_t>(MaxRecentFiles)) break;
    mEntries.push_back(entry);
  }
}

std::string RecentMenuCaption(int number, std::string_view path) {
  std::string caption = "&" + std::to_string(number) + " ";
  for (const char ch : path) {
    caption.push_back(ch);
    if (ch == '&') caption.push_back('&');
  }
  return caption;
}

}  // namespace ombrel
