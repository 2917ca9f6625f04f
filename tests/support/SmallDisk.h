#pragma once

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

// Folders that fail writes as a user's disks do: a small tmpfs of the test's
// own (mounting it needs root; where it cannot be mounted, Mounted() is
// false and SkipReason() is the one line a test skips with), which can be
// filled to its last byte and made read-only. Plain POSIX, for the core's
// tests and the GUI's alike.
class TSmallDisk {
 public:
  explicit TSmallDisk(int kilobytes = 256) {
    char pattern[] = "/tmp/ombrel-small-disk-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return;
    mPath = pattern;
    const std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0755";
    mMounted = ::mount("tmpfs", mPath.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~TSmallDisk() {
    if (mMounted) ::umount2(mPath.c_str(), MNT_DETACH);
    if (!mPath.empty()) ::rmdir(mPath.c_str());
  }
  TSmallDisk(const TSmallDisk&) = delete;
  TSmallDisk& operator=(const TSmallDisk&) = delete;

  bool Mounted() const { return mMounted; }
  static const char* SkipReason() { return "cannot mount a small tmpfs here (needs root): skipped"; }
  const std::string& Path() const { return mPath; }
  std::string File(const std::string& name) const { return mPath + "/" + name; }

  // Fills every free byte with one file, "filler".
  void Fill() const {
    std::ofstream out(File("filler"), std::ios::binary);
    const std::vector<char> block(4096, 'x');
    while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) out.flush();
    out.clear();
    // tmpfs may leave less than a block: fill it byte by byte.
    while (out.put('x')) out.flush();
  }
  void Free() const { std::filesystem::remove(File("filler")); }
  // Mounts the disk again read-only, as a folder that cannot be written
  // even by root.
  bool MakeReadOnly() const {
    return mMounted && ::mount("tmpfs", mPath.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

  // The names in the disk's top folder, "filler" left out.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(mPath, ignored)) {
      const std::string name = entry.path().filename().string();
      if (name != "filler") names.push_back(name);
    }
    return names;
  }

 private:
  std::string mPath;
  bool mMounted = false;
};
