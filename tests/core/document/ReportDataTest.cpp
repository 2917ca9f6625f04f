// The results of a report as data: the JSON of the example documents, the
// check that a report agrees with its results, and the JSON writer.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "core/document/DocumentFile.h"
#include "core/document/ReportData.h"
#include "core/document/ReportPrinter.h"
#include "core/report/JsonText.h"
#include "core/report/ReportTables.h"
#include "support/ReportAgreement.h"

namespace ombrel {
namespace {

using namespace ombrel::test;

TEST(ReportData, ExamplesAgreeWithTheirReports) {
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(OMBREL_EXAMPLES_DIR)) {
    if (entry.path().extension() != ".omd") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++examples;
    TDocument document;
    ASSERT_TRUE(OpenDocumentFile(entry.path().string(), document).Ok());
    ComputeReport(document);
    EXPECT_FALSE(document.Results.Analyses.empty());
    ExpectReportAgreesWithResults(document.Report, document.Results);
    const TResultValue tree = ReportResultTree(document, entry.path().filename().string());
    EXPECT_EQ(tree.Find("document")->Find("title")->AsText(), document.Table.Title());
  }
  EXPECT_GE(examples, 3);
}

TEST(ReportData, NoticeStandsForAReportWithoutAnalysis) {
  TDocument document;
  ComputeReport(document);
  const TResultValue tree = ReportResultTree(document, "empty.omd");
  EXPECT_EQ(tree.Find("notice")->AsText(), "Until you enter data, you won't see any results!");
  EXPECT_TRUE(tree.Find("analyses")->Items().empty());
  EXPECT_EQ(tree.Find("document")->Find("dataFormat")->AsText(), "raw");
}

TEST(ReportData, RefusalHasCodeAndMessageAndNoResults) {
  TDocument document;
  TypeColumn(document, 0, "Flat", {3, 3, 3});
  ComputeReport(document);
  ASSERT_EQ(document.Results.Analyses.size(), 1u);
  const TResultValue entry = AnalysisRecordTree(document.Results.Analyses[0]);
  EXPECT_EQ(entry.Find("analysis")->AsText(), "oneSampleTTest");
  EXPECT_EQ(entry.Find("refusal")->Find("code")->AsInteger(), 40);
  EXPECT_EQ(entry.Find("refusal")->Find("message")->AsText(),
            "It is not possible to analyze your data because one column's SD is zero.");
  EXPECT_TRUE(entry.Find("results")->IsNull());
  EXPECT_FALSE(entry.Find("choices")->IsNull());
}

// The check itself: a printed number that no result holds fails, and so
// does a number written as plain text.
TEST(ReportAgreement, FindsNumbersTheResultsLack) {
  TReportText report;
  report.BeginReport();
  report.WriteText("t = ");
  report.WriteNumber(2.5L, -5);
  report.NewLine();
  report.WriteLine("with 7 degrees of freedom");
  report.FinishReport();
  TReportResults results;
  results.Analyses.push_back({});
  TAnalysisRecord& record = results.Analyses.back();
  record.Analysis = "someTest";
  record.EndLine = 2;
  record.Results = TResultValue::Object().AddReal("t", 2.5004L);
  EXPECT_NONFATAL_FAILURE(ExpectReportAgreesWithResults(report, results), "line 2 is not in its results");
  record.Results.AddReal("t", 2.5006L);
  EXPECT_NONFATAL_FAILURE(ExpectNumbersInRecord(report, record), "\"2.500\" on line 1");
}

TEST(JsonText, WritesNullForWhatIsNotANumber) {
  TResultValue tree = TResultValue::Object();
  tree.AddReal("empty", EmptyValue).AddReal("infinite", std::numeric_limits<TReal>::infinity());
  tree.AddReal("nan", std::numeric_limits<TReal>::quiet_NaN()).AddReal("huge", 1e4000L);
  tree.AddReal("third", 1.0L / 3).AddReal("tenth", 0.1L).AddInteger("n", 12).AddBool("flag", true);
  tree.AddText("title", "Caf\xE9 \"A\"").Add("list", TResultValue::Array().Push(TResultValue::Null()));
  EXPECT_EQ(JsonText(tree),
            "{\n  \"empty\": null,\n  \"infinite\": null,\n  \"nan\": null,\n  \"huge\": null,\n"
            "  \"third\": 0.3333333333333333,\n  \"tenth\": 0.1,\n  \"n\": 12,\n  \"flag\": true,\n"
            "  \"title\": \"Caf\xC3\xA9 \\\"A\\\"\",\n  \"list\": [\n    null\n  ]\n}\n");
}

}  // namespace
}  // namespace ombrel
