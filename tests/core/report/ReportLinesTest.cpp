#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/report/ReportLines.h"
#include "core/report/ReportText.h"

namespace ombrel {
namespace {

TEST(DisplayLineOf, MarkersFlipAttributesFromTheirPositionToTheLineEnd) {
  struct Row {
    const char* Raw;
    const char* Text;
    std::vector<std::uint8_t> Attributes;
    bool HasAttributes;
  };
  const Row rows[] = {
      {"plain", "plain", {0, 0, 0, 0, 0}, false},
      // A line that starts and ends with the bold marker is bold throughout.
      {"\x80"
       "ab"
       "\x80",
       "ab",
       {1, 1},
       true},
      {"a\x81"
       "b\x82"
       "c\x81"
       "d",
       "abcd",
       {0, 2, 6, 4},
       true},
      {"\x80\x80"
       "x",
       "x",
       {0},
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Raw);
    const TDisplayLine line = DisplayLineOf(row.Raw);
    EXPECT_EQ(line.Text, row.Text);
    EXPECT_EQ(line.Attributes, row.Attributes);
    EXPECT_EQ(line.HasAttributes, row.HasAttributes);
  }
}

TEST(GetLineText, WithoutAReportEveryLineNamesItsNumber) {
  EXPECT_EQ(GetLineText(nullptr, 0)->Text, "Text line #0");
  EXPECT_EQ(GetLineText(nullptr, 17)->Text, "Text line #17");
}

TEST(GetLineText, OutsideTheReportGivesNoLine) {
  TReportText report;
  report.BeginReport();
  report.WriteLine("one");
  report.EndReport();
  report.FinishReport();
  ASSERT_GE(report.LineCount(), 1);
  EXPECT_EQ(GetLineText(&report, 0)->Text, "one");
  EXPECT_FALSE(GetLineText(&report, -1));
  EXPECT_FALSE(GetLineText(&report, report.LineCount()));
}

TEST(SaveReportToTextFile, WritesMarkerFreeLinesAndReportsFailure) {
  TReportText report;
  report.BeginReport();
  report.ToggleBold();
  report.WriteText("Bold");
  report.ToggleBold();
  report.WriteLine(" text");
  report.WriteLine("second");
  report.EndReport();
  report.FinishReport();
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "ombrel-report-lines-test.txt";
  ASSERT_TRUE(SaveReportToTextFile(report, path.string()));
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  in.close();
  std::filesystem::remove(path);
  // The system's line ends: a report file is a text file of its own.
  EXPECT_EQ(content.str().substr(0, 17), "Bold text\nsecond\n");
  EXPECT_EQ(content.str().find('\x80'), std::string::npos);
  EXPECT_FALSE(SaveReportToTextFile(report, "/nonexistent-folder/report.txt"));
}

}  // namespace
}  // namespace ombrel
