#pragma once

// Opens one of NIST's Statistical Reference Datasets kept in tests/data/nist.
// A file that is not there fails the calling test with its full path, so a
// missing copy is never mistaken for a wrong result.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace ombrel::test {

inline std::ifstream OpenNistFile(const std::string& name) {
  const std::string path = std::string(OMBREL_NIST_DIR) + "/" + name;
  std::ifstream file(path);
  if (!file) ADD_FAILURE() << "NIST reference file missing: " << path;
  return file;
}

}  // namespace ombrel::test
