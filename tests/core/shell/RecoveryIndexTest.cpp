#include <gtest/gtest.h>

#include "core/shell/RecoveryIndex.h"

namespace ombrel {
namespace {

TEST(RecoveryIndex, RoundTripsAnyNameAndPath) {
  const TRecoveryIndex rows[] = {
      {"DATASET1.OMD", "", 0, "1.OMD"},
      {"/home/ann/bp data.omd", "/home/ann/bp data.omd", 1765238400, "2.OMD"},
      // Line ends and backslashes are legal in file names here.
      {"/tmp/a\\nb\nc\r.omd", "/tmp/a\\nb\nc\r.omd", 9223372036854775807, "x.OMD"},
      {"name=with=equals", "/tmp/é.omd", 1, "3.OMD"},
  };
  for (const TRecoveryIndex& row : rows) {
    SCOPED_TRACE(row.Name);
    const std::optional<TRecoveryIndex> read = ReadRecoveryIndex(WriteRecoveryIndex(row));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Name, row.Name);
    EXPECT_EQ(read->OriginalPath, row.OriginalPath);
    EXPECT_EQ(read->ChangedSeconds, row.ChangedSeconds);
    EXPECT_EQ(read->DocumentFile, row.DocumentFile);
  }
}

TEST(RecoveryIndex, RefusesWhatItDidNotWrite) {
  const std::string head = "Ombrel recovery index 1\n";
  const std::string good = "name=DATASET1.OMD\noriginal=\nchanged=12\ndocument=1.OMD\n";
  struct TRow {
    const char* Case;
    std::string Text;
    bool Accepted;
  };
  const TRow rows[] = {
      {"as written", head + good, true},
      {"CR LF lines and an unknown key",
       "Ombrel recovery index 1\r\nname=a\r\noriginal=\r\nchanged=12\r\nlater=x\r\n"
       "document=1.OMD\r\n",
       true},
      {"empty", "", false},
      {"another first line", "Ombrel recovery index 2\n" + good, false},
      {"a document file instead", "Quillvex Ombrel for Windows Version 3.00\n" + good, false},
      {"no name", head + "original=\nchanged=12\ndocument=1.OMD\n", false},
      {"empty name", head + "name=\noriginal=\nchanged=12\ndocument=1.OMD\n", false},
      {"no original", head + "name=a\nchanged=12\ndocument=1.OMD\n", false},
      {"no time", head + "name=a\noriginal=\ndocument=1.OMD\n", false},
      {"no copy", head + "name=a\noriginal=\nchanged=12\n", false},
      {"repeated field", head + good + "name=b\n", false},
      {"line without =", head + good + "garbage\n", false},
      {"negative time", head + "name=a\noriginal=\nchanged=-5\ndocument=1.OMD\n", false},
      {"time with text", head + "name=a\noriginal=\nchanged=12x\ndocument=1.OMD\n", false},
      {"empty time", head + "name=a\noriginal=\nchanged=\ndocument=1.OMD\n", false},
      {"time too large", head + "name=a\noriginal=\nchanged=99999999999999999999\ndocument=1.OMD\n", false},
      {"copy in another folder", head + "name=a\noriginal=\nchanged=12\ndocument=../x.OMD\n", false},
      {"copy by absolute path", head + "name=a\noriginal=\nchanged=12\ndocument=/etc/passwd\n", false},
      {"copy named ..", head + "name=a\noriginal=\nchanged=12\ndocument=..\n", false},
      {"copy with NUL", head + "name=a\noriginal=\nchanged=12\ndocument=1.OMD" + std::string(1, '\0') + "x\n", false},
      {"dangling escape", head + "name=a\\\noriginal=\nchanged=12\ndocument=1.OMD\n", false},
      {"unknown escape", head + "name=a\\t\noriginal=\nchanged=12\ndocument=1.OMD\n", false},
      {"far too long", head + good + std::string(70000, 'x') + "=\n", false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Case);
    EXPECT_EQ(ReadRecoveryIndex(row.Text).has_value(), row.Accepted);
  }
}

}  // namespace
}  // namespace ombrel
