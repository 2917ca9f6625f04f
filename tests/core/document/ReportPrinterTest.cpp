#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/document/ReportPrinter.h"

namespace ombrel {
namespace {

const std::string Stars = "                       *     *     *";

void TypeValues(TDocument& document, std::initializer_list<TReal> values) {
  int row = 0;
  for (const TReal v : values) document.Table.SetValue(row++, 0, v);
  document.Table.MeanEntryColumn[0] = 0;
  document.Table.Summary(0).Title = "Weight";
}

TEST(PrintReport, PrintsEveryLineWithNewlines) {
  TDocument document;
  std::ostringstream out;
  EXPECT_EQ(PrintReport(document, out, false), TStatusCode::Ok);
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("\nUntil you enter data, you won't see any results!\n\n\n" + Stars + "\n", 0), 0u);
  EXPECT_EQ(static_cast<int>(std::count(text.begin(), text.end(), '\n')), document.Report.LineCount());
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(PrintReport, RemovesMarkersUnlessAskedToKeepThem) {
  TDocument document;
  TypeValues(document, {5.1L, 4.9L, 5.6L, 5.8L, 6.0L});
  std::ostringstream plain;
  PrintReport(document, plain, false);
  EXPECT_NE(plain.str().find("\nP value\n"), std::string::npos);
  for (const char ch : plain.str()) EXPECT_FALSE(ch == BoldMarker || ch == UnderlineMarker || ch == ItalicMarker);

  std::ostringstream marked;
  PrintReport(document, marked, true);
  EXPECT_NE(marked.str().find("\n\x81P value\x81\n"), std::string::npos);
  EXPECT_NE(marked.str().find("\x80    Parameter:"), std::string::npos);
}

TEST(PrintReport, RecomputesFromTheCurrentDataAndReturnsTheRefusal) {
  TDocument document;
  TypeValues(document, {5.1L, 4.9L, 5.6L});
  std::ostringstream first;
  EXPECT_EQ(PrintReport(document, first, false), TStatusCode::Ok);
  // The data change without the document being told; the printed report
  // must still describe them.
  document.Table.SetValue(1, 0, EmptyValue);
  document.Table.SetValue(2, 0, EmptyValue);
  std::ostringstream second;
  EXPECT_EQ(PrintReport(document, second, false), TStatusCode::SingleValue);
  EXPECT_EQ(second.str().rfind("\nIt is not possible to analyze your data because one column contains a\n", 0), 0u);
}

TEST(PrintReport, ReportsTheExamplePairedTest) {
  // Reaction times before and after sleep loss: differences with mean
  // -16.5, t = 6.771 with 9 df, P = 8.2e-5 (mpmath).
  TDocument document;
  ASSERT_TRUE(OpenDocumentFile(OMBREL_EXAMPLES_DIR "/paired-t.omd", document).Ok());
  std::ostringstream out;
  EXPECT_EQ(PrintReport(document, out, false), TStatusCode::Ok);
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("Reaction time (ms) before and after sleep loss\n\n", 0), 0u);
  for (const char* line :
       {"Does the mean of the differences between Rested and Sleep loss\n",
        "The two-tailed P value is < 0.0001, considered extremely significant.\n",
        "t = 6.771 with 9 degrees of freedom.\n", "Mean difference = -16.500 (Mean of paired differences)\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace ombrel
