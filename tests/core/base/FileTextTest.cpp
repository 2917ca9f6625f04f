#include <gtest/gtest.h>

#include <sstream>

#include "core/base/FileText.h"

namespace ombrel {
namespace {

TEST(FileCellText, WritesTheFileFormsAndNeverLosesADigit) {
  struct Row {
    TReal Value;
    int Decimals;
    const char* Text;
  };
  const Row rows[] = {
      {0.5L, 3, "0.500"},
      {12.5L, 2, "12.50"},
      {0.00001L, 0, " 1.000E-05"},
      {-2.5e-5L, 4, "-2.500E-05"},
      {1.5e38L, 0, " 1.500E+38"},
      {1.235e15L, 0, " 1.235E+15"},
      {12345678.0L, 0, " 1.2345678E+07"},  // four digits would read back as 12350000
      {-3.0L, 0, "-3"},
      {0.0L, 2, "0.00"},
      {2.25L, 1, "2.25"},  // one decimal would round the typed value
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    EXPECT_EQ(FileCellText(row.Value, row.Decimals), row.Text);
  }
}

TEST(FileCellText, ValuesFromTransformsReadBackExactly) {
  const TReal values[] = {
      1.0L / 3,           2.0L / 3 * 1e-3L,        12345678.9L,      -9876543.21L, 1e-4L, 1e7L, 0.1L,
      123456789012345.0L, 3.14159265358979323846L, -1.0L / 7 * 1e20L};
  for (TReal value : values) {
    SCOPED_TRACE(static_cast<double>(value));
    EXPECT_EQ(ParseFileNumber(FileCellText(value, 2)), value);
    EXPECT_EQ(ParseFileNumber(FileNumberText(value)), value);
  }
}

TEST(FileNumberText, GeneralNumbers) {
  EXPECT_EQ(FileNumberText(1.5L), "1.5");
  EXPECT_EQ(FileNumberText(100.0L), "100");
  EXPECT_EQ(FileNumberText(EmptyValue), "");
  EXPECT_EQ(FileNumberText(0.0L), "0");
  EXPECT_EQ(FileNumberText(0.00002L), " 2.000E-05");
}

TEST(ParseFileNumber, AcceptsNumbersOnly) {
  struct Row {
    const char* Text;
    TReal Value;
  };
  const Row rows[] = {
      {" 12.5 ", 12.5L},    {"-2.500E-05", -2.5e-5L}, {"+3", 3.0L},        {"", EmptyValue},
      {"*", EmptyValue},    {"nan", EmptyValue},      {"inf", EmptyValue}, {"12abc", EmptyValue},
      {"1e39", EmptyValue}, {"0x10", EmptyValue},     {"1.5e38", 1.5e38L}, {"--1", EmptyValue},
      {".5", 0.5L},         {"1e99999", EmptyValue},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    EXPECT_EQ(ParseFileNumber(row.Text), row.Value);
  }
}

TEST(TLineReader, SplitsLinesAndBoundsTheirLength) {
  std::istringstream in("one\r\ntwo\n\n" + std::string(100000, 'x') + "\r\nlast");
  TLineReader reader(in);
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "one");
  EXPECT_EQ(reader.NextLine(), "two");
  EXPECT_EQ(reader.NextLine(), "");
  EXPECT_EQ(reader.NextLine().size(), TLineReader::MaxLineLength);
  EXPECT_EQ(reader.NextLine(), "last");
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(FileErrorMessage, MapsSystemErrorsToOmbrelsNumbers) {
  EXPECT_EQ(FileErrorMessage(ENOENT, false), "Error: #2  File not found.");
  EXPECT_EQ(FileErrorMessage(EACCES, true), "Error: #5  File access denied.");
  EXPECT_EQ(FileErrorMessage(ENOSPC, true), "Error: #101  The disk is full.");
  EXPECT_EQ(FileErrorMessage(EROFS, true), "Error: #150  Disk is write-protected.");
  EXPECT_EQ(FileErrorMessage(EIO, false), "Error: #100  Disk read error.");
  EXPECT_EQ(FileErrorMessage(EIO, true), "Error: #101  The disk is full.");
  EXPECT_NE(FileErrorMessage(ENAMETOOLONG, false).find("Error: #"), std::string::npos);
}

}  // namespace
}  // namespace ombrel
