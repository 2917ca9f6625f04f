#pragma once

#include <string>
#include <string_view>

namespace ombrel {

// Writes `content` to `path` through a temporary file beside it that
// replaces the target only once completely written and flushed to the disk:
// a failure at any point (a full disk, a folder that cannot be written or
// is gone, a folder by the target's name) leaves the old file as it was and
// no partial file behind. A new file gets mode 0644, a replaced one keeps
// its mode. Answers 0, or the errno of the failure.
int ReplaceFileContents(const std::string& path, std::string_view content);

}  // namespace ombrel
