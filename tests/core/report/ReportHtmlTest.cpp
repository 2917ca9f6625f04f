#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/report/ReportHtml.h"
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

// The page's text without its tags and entities is the plain report, line
// for line; the title is escaped into <title>.
TEST(ReportHtml, PageTextIsThePlainReport) {
  const TReportText report =
      FinishedReport({"\x81"
                      "Unpaired t test\x81",
                      "", "\x80    Parameter:\x80   Group <A> & B", "Mean:   1.5"});
  const std::string page = ReportHtmlPage(report, "Dose & <response>");
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<title>Dose &amp; &lt;response&gt;</title>"), std::string::npos);
  const std::size_t open = page.find("<pre");
  std::string text;
  bool inTag = false;
  for (std::size_t i = page.find('>', open) + 1; i < page.find("</pre>"); ++i) {
    if (page[i] == '<') inTag = true;
    if (!inTag) text.push_back(page[i]);
    if (page[i] == '>') inTag = false;
  }
  for (const auto& [entity, ch] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}}) {
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, entity.size(), ch);
  }
  EXPECT_EQ(text, ReportPlainText(report, "\n"));
  EXPECT_NE(page.find("<u>Unpaired t test</u>"), std::string::npos);
  EXPECT_NE(page.find("<b>    Parameter:</b>"), std::string::npos);
}

}  // namespace
}  // namespace ombrel
