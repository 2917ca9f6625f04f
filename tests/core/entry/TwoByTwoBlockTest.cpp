#include <gtest/gtest.h>

#include "core/entry/TwoByTwoBlock.h"

using namespace ombrel;

TEST(TwoByTwoBlock, CopiedTextPastesBackToTheSameCounts) {
  TTwoByTwoTable table;
  table.A = 12;
  table.B = 0;
  table.D = 2147483647;
  const std::string text = TwoByTwoBlockText(table);
  EXPECT_EQ(text, "12\t0\r\n\t2147483647\r\n");
  const auto counts = ParseTwoByTwoBlock(text);
  ASSERT_TRUE(counts.has_value());
  EXPECT_EQ((*counts)[0], 12);
  EXPECT_EQ((*counts)[1], 0);
  EXPECT_TRUE(IsEmpty((*counts)[2]));
  EXPECT_EQ((*counts)[3], 2147483647);
}

TEST(TwoByTwoBlock, ReadsOnlyTwoLinesOfTwoValidCounts) {
  struct TRow {
    const char* Text;
    bool Block;
  };
  const TRow rows[] = {
      {"1\t2\n3\t4", true},           // no final line end, LF lines
      {"1\t2\r3\t4\r\n\r\n", true},   // CR lines, trailing empty line
      {" 5\t-6\r\n+7\t8\r\n", true},  // blanks and signs as the fields take them
      {"1\t2\r\n", false},            // one line
      {"1\t2\r\n3\t4\r\n5\t6\r\n", false},
      {"1\t2\t3\r\n4\t5\t6\r\n", false},      // three columns
      {"1 2\r\n3 4\r\n", false},              // no tabs
      {"1\tx\r\n3\t4\r\n", false},            // not a number
      {"1.5\t2\r\n3\t4\r\n", false},          // not a whole number
      {"1\t2\r\n3\t99999999999\r\n", false},  // beyond the count range
      {"", false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Text);
    EXPECT_EQ(ParseTwoByTwoBlock(row.Text).has_value(), row.Block);
  }
}
