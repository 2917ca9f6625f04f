#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "support/SmallDisk.h"
#include "core/base/FileReplace.h"

namespace ombrel {
namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every way a write can fail leaves the old file as it was and nothing
// else in the folder, and answers why.
TEST(ReplaceFileContents, AFailureLeavesTheOldFileAndNoPartOfTheNew) {
  enum class TFault { None, FullDisk, ReadOnlyDisk, FolderRemoved, NameIsAFolder };
  struct TCase {
    const char* name;
    TFault fault;
    int error;
    bool needsMount;
  };
  const TCase cases[] = {
      {"no fault", TFault::None, 0, false},
      {"a full disk", TFault::FullDisk, ENOSPC, true},
      {"a read-only disk", TFault::ReadOnlyDisk, EROFS, true},
      {"a folder that was removed", TFault::FolderRemoved, ENOENT, false},
      {"a name that is now a folder", TFault::NameIsAFolder, EISDIR, false},
  };
  const std::string old = "the old file\r\n";
  const std::string replacement(64 * 1024, 'n');
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TSmallDisk disk(128);
    if (c.needsMount && !disk.Mounted()) {
      std::cout << c.name << ": " << TSmallDisk::SkipReason() << '\n';
      continue;
    }
    std::string path = disk.File("data.omd");
    if (c.fault == TFault::NameIsAFolder)
      std::filesystem::create_directory(path);
    else
      std::ofstream(path, std::ios::binary) << old;
    if (c.fault == TFault::FullDisk) disk.Fill();
    if (c.fault == TFault::ReadOnlyDisk) {
      ASSERT_TRUE(disk.MakeReadOnly());
    }
    if (c.fault == TFault::FolderRemoved) path = disk.File("gone/data.omd");

    EXPECT_EQ(ReplaceFileContents(path, replacement), c.error);
    EXPECT_EQ(disk.Names(), std::vector<std::string>{"data.omd"});
    if (c.fault == TFault::NameIsAFolder) {
      EXPECT_TRUE(std::filesystem::is_empty(path));
    } else {
      EXPECT_EQ(Contents(disk.File("data.omd")), c.error == 0 ? replacement : old);
    }
  }
}

}  // namespace
}  // namespace ombrel
