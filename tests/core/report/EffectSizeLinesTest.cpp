#include <gtest/gtest.h>

#include <string>

#include "core/report/EffectSizeLines.h"
#include "core/report/ReportHtml.h"
#include "core/report/ReportLines.h"
#include "core/report/ReportText.h"

namespace ombrel {
namespace {

// A text with its markers shown as '*' (italic) and '_' (underline).
std::string Shown(std::string text) {
  for (char& ch : text) {
    if (ch == ItalicMarker) ch = '*';
    if (ch == UnderlineMarker) ch = '_';
  }
  return text;
}

TEST(EffectSizeLines, WritesNameValueAndInterval) {
  struct TRow {
    TReal Value, Lower, Upper;
    const char* Expected;
  };
  const TRow rows[] = {
      {1.63352L, 0.47201L, 2.75049L, "Cohen's d = 1.634, 95% CI 0.4720 to 2.750"},
      {-0.29883L, -1.01601L, 0.42324L, "Cohen's d = -0.2988, 95% CI -1.016 to 0.4232"},
      {0.5L, EmptyValue, EmptyValue, "Cohen's d = 0.5000"},
      {0.5L, 0.1L, EmptyValue, "Cohen's d = 0.5000"},
      {EmptyValue, 0.1L, 0.2L, "Cohen's d cannot be calculated from these data."},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Expected);
    EXPECT_EQ(EffectSizeLineText("Cohen's d", row.Value, row.Lower, row.Upper), row.Expected);
  }
}

TEST(EffectSizeLines, SaysTheMethodInPlainWords) {
  TMethodFacts exact;
  exact.PMethod = TPMethod::Exact;
  exact.Arrangements = 3432;
  exact.Tails = 2;
  exact.Groups = {{"Control", 7, 0, 0}, {"Treated", 6, 1, 2}};
  exact.PostTest = "Dunn";
  EXPECT_EQ(MethodLineText(exact),
            "Method: exact P by complete enumeration of 3432 arrangements; two-tailed; N used: Control 7, Treated 6; "
            "left out: Treated 1 empty, 2 excluded; post test: Dunn.");

  TMethodFacts approximate;
  approximate.PMethod = TPMethod::Approximate;
  approximate.Source = "the normal approximation";
  approximate.Ties = TTieHandling::Corrected;
  approximate.Notes = {"exact count cancelled"};
  approximate.Tails = 1;
  approximate.Groups = {{"A", 40, 0, 0}};
  EXPECT_EQ(MethodLineText(approximate),
            "Method: P by the normal approximation, corrected for ties; exact count cancelled; one-tailed; "
            "N used: A 40; no values left out.");

  TMethodFacts distribution;
  distribution.Source = "the F distribution";
  EXPECT_EQ(MethodLineText(distribution), "Method: P from the F distribution.");
}

TEST(EffectSizeLines, WritesApaNumbersAndPValues) {
  EXPECT_EQ(Shown(ApaP(0.0064L)), "*p* = .006");
  EXPECT_EQ(Shown(ApaP(0.00099L)), "*p* < .001");
  EXPECT_EQ(Shown(ApaP(0.001L)), "*p* = .001");
  EXPECT_EQ(Shown(ApaP(0.0495L)), "*p* = .050");  // half away from zero, on the value's digits
  EXPECT_EQ(Shown(ApaP(0.9996L)), "*p* > .999");
  EXPECT_EQ(ApaP(EmptyValue), "");
  EXPECT_EQ(ApaNumber(3.2649L), "3.26");
  EXPECT_EQ(ApaNumber(-0.004L), "0.00");
  EXPECT_EQ(ApaNumber(0.285L, false), ".29");
  EXPECT_EQ(ApaNumber(-0.285L, false), "-.29");
  EXPECT_EQ(ApaDf(14), "14");
  EXPECT_EQ(ApaDf(13.468L), "13.47");
}

TEST(EffectSizeLines, BuildsTheApaSentence) {
  const std::string statistic = ApaStatistic(Italic("t"), ApaDf(14), 3.2649L);
  const std::string effect = ApaEffect(Italic("d"), 1.63352L, 0.47201L, 2.75049L);
  const std::string text = ApaLineText({statistic, ApaP(0.0057L), effect});
  EXPECT_EQ(Shown(text), "APA: *t*(14) = 3.26, *p* = .006, *d* = 1.63, 95% CI [0.47, 2.75]");
  EXPECT_EQ(ApaLineText({ApaStatistic("chi-square", "2", EmptyValue), ApaP(0.2L),
                         ApaEffect("eta squared", 0.05L, EmptyValue, 0.1L, false)}),
            "APA: " + Italic("p") + " = .200, eta squared = .05");

  // In HTML the symbols are italic.
  TReportText report;
  report.BeginReport();
  WriteApaLine(report, {statistic, ApaP(0.0057L), effect});
  report.FinishReport();
  EXPECT_NE(ReportHtmlBlock(report).find("<i>t</i>(14) = 3.26, <i>p</i> = .006, <i>d</i> = 1.63"), std::string::npos);
}

TEST(EffectSizeLines, WrapsLongLinesWithoutCuttingItalics) {
  TReportText report;
  report.BeginReport();
  WriteEffectSizeHeading(report);
  TMethodFacts facts;
  facts.PMethod = TPMethod::Approximate;
  facts.Source = "the chi-square approximation";
  facts.Ties = TTieHandling::Corrected;
  facts.Groups = {{"Placebo", 12, 1, 0}, {"Low dose", 11, 0, 1}, {"High dose", 12, 0, 0}};
  facts.PostTest = "Dunn's multiple comparisons";
  WriteMethodLine(report, facts);
  WriteApaLine(report, {ApaStatistic(Italic("H"), "2", 7.3L), ApaP(0.026L),
                        ApaEffect("epsilon squared", 0.21L, EmptyValue, EmptyValue, false),
                        ApaEffect(Italic("very long symbol name"), 0.5L)});
  report.FinishReport();
  const std::vector<std::string> expected = {
      "",
      "_Effect size and method_",
      "Method: P by the chi-square approximation, corrected for ties; N used: Placebo",
      "        12, Low dose 11, High dose 12; left out: Placebo 1 empty; Low dose 1",
      "        excluded; post test: Dunn's multiple comparisons.",
      "APA: *H*(2) = 7.30, *p* = .026, epsilon squared = .21, *very long symbol name* =",
      "     0.50",
  };
  ASSERT_GE(report.LineCount(), static_cast<int>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string_view line = *report.GetLine(static_cast<int>(i));
    EXPECT_EQ(Shown(std::string(line)), expected[i]) << "line " << i;
    EXPECT_LE(DisplayLineOf(line).Text.size(), 78u) << "line " << i;
  }
}

}  // namespace
}  // namespace ombrel
