#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/report/ReportHtml.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {
namespace {

TReportText FinishedReport(const std::vector<std::string>& lines) {
  TReportText report;
  report.BeginReport();
  for (const std::string& line : lines) report.WriteLine(line);
  report.FinishReport();
  return report;
}

// The block's text between <pre ...> and </pre>.
std::string Body(const std::string& block) {
  const std::size_t open = block.find('>') + 1;
  return block.substr(open, block.rfind("</pre>") - open);
}

// One line each; the markers flip independently, the tags nest.
TEST(ReportHtml, LinesBecomeTextWithNestedTags) {
  struct TCase {
    const char* Name;
    std::string Line;
    std::string Html;
  };
  const TCase cases[] = {
      {"plain", "Mean:  12.5", "Mean:  12.5"},
      {"bold word", "\x80P value\x80 is", "<b>P value</b> is"},
      {"bold left open closes at the line end", "\x80Variable", "<b>Variable</b>"},
      {"underline inside bold",
       "\x80"
       "a\x81"
       "b\x81"
       "c\x80",
       "<b>a</b><b><u>b</u></b><b>c</b>"},
      {"overlapping",
       "\x80"
       "a\x81"
       "b\x80"
       "c\x81",
       "<b>a</b><b><u>b</u></b><u>c</u>"},
      {"italic", "\x82n\x82 = 5", "<i>n</i> = 5"},
      {"markers around nothing", "\x80\x80x", "x"},
      {"special characters", "P<0.05 & \"ns\" > 1", "P&lt;0.05 &amp; &quot;ns&quot; &gt; 1"},
      {"UTF-8 title kept",
       "Temp\xC3\xA9rature \xC2\xB0"
       "C \xCE\xBCg",
       "Temp\xC3\xA9rature \xC2\xB0"
       "C \xCE\xBCg"},
      {"Latin-1 byte made UTF-8", "Caf\xE9 \xB1", "Caf\xC3\xA9 \xC2\xB1"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TReportText report = FinishedReport({c.Line});
    EXPECT_EQ(Body(ReportHtmlBlock(report, {0, 0, 0, 1000})), c.Html);
  }
}

TEST(ReportHtml, RangeCutsLinesByDisplayColumn) {
  const TReportText report =
      FinishedReport({"ab\x80"
                      "cd\x80"
                      "ef",
                      "ghij", "klmn"});
  EXPECT_EQ(Body(ReportHtmlBlock(report, {0, 3, 2, 2})), "<b>d</b>ef\nghij\nkl");
  EXPECT_EQ(Body(ReportHtmlBlock(report, {1, 1, 1, 3})), "hi");
}

// The page holds the report's lines as paragraphs, its title escaped into
// <title>, the markers as tags.
TEST(ReportHtml, PageHoldsTheReportAsParagraphs) {
  const TReportText report =
      FinishedReport({"\x81"
                      "Unpaired t test\x81",
                      "", "\x80    Parameter:\x80   Group <A> & B", "Mean:   1.5"});
  const std::string page = ReportHtmlPage(report, "Dose & <response>");
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<title>Dose &amp; &lt;response&gt;</title>"), std::string::npos);
  EXPECT_NE(page.find("<p><u>Unpaired t test</u></p>\n"
                      "<p><b>Parameter:</b>   Group &lt;A&gt; &amp; B<br>\nMean:   1.5</p>"),
            std::string::npos);
  EXPECT_EQ(page.find("<pre"), std::string::npos);
}

// Headings, paragraphs and each report table as a table: heading cells,
// numbers right-aligned, every text column a column of its own.
TEST(ReportHtml, ContentShowsHeadingsParagraphsAndTables) {
  TReportText report;
  report.BeginReport();
  report.MarkHeading(1);
  report.WriteLine("Growth & yield");
  report.WriteLine();
  WriteCenteredTitle(report, "Unpaired t test");
  report.WriteText("The P value is ");
  report.ToggleBold();
  report.WriteNumber(0.0123L, 4);
  report.ToggleBold();
  report.NewLine();
  WriteNormalityHeading(report);
  WriteNormalityRow(report, "Control", 8, 0.125L, 0.5L, false);
  WriteNormalityRow(report, "Treated", 3, EmptyValue, EmptyValue, false);
  report.WriteLine();
  report.FinishReport();
  const std::string html = ReportHtmlContent(report);
  EXPECT_EQ(html.substr(0, html.find("<table")),
            "<h1>Growth &amp; yield</h1>\n<h2>Unpaired t test</h2>\n"
            "<p>The P value is <b>0.0123</b></p>\n");
  EXPECT_NE(html.find("<tr><th>Group</th><th>KS</th><th>P Value</th><th>Passed normality test?</th></tr>"),
            std::string::npos);
  EXPECT_NE(html.find("<tr><td>Control</td><td align=\"right\" style=\"text-align: right;\">0.1250</td>"
                      "<td>&gt;0.10</td><td>Yes</td></tr>"),
            std::string::npos);
  EXPECT_NE(html.find("<tr><td>Treated</td><td>Too few values to test.</td><td></td><td></td></tr>"),
            std::string::npos);
  EXPECT_EQ(html.find("====="), std::string::npos);

  // A part: its lines cut at the range's columns, a table it reaches into
  // taken whole, nothing after the range.
  const int tableLine = report.Structure().Tables.at(0).FirstLine;
  const std::string part = ReportHtmlContent(report, {3, 4, tableLine + 1, 3});
  EXPECT_EQ(part.substr(0, part.find("<table")), "<p>P value is <b>0.0123</b></p>\n");
  EXPECT_NE(part.find("<td>Treated</td>"), std::string::npos);
  EXPECT_EQ(ReportHtmlContent(report, {3, 4, 3, 11}), "<p>P value</p>\n");
}

}  // namespace
}  // namespace ombrel
