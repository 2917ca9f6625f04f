// Whole t-test reports through RunAnalysis, compared line for line with
// reports laid out by hand from the report layouts. The numbers were
// computed independently with mpmath at 40 digits (t and F tails from the
// regularized incomplete beta function, the Kolmogorov-Smirnov distance
// against the normal taken as t with 5000 degrees of freedom) and rounded
// by hand to the report's digit rule; tools/expected/t_tests.py redoes
// them. The reports are kept in tests/data/reports/t-tests.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/GoldenReport.h"
#include "support/ReportAgreement.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"

namespace ombrel {
namespace {

using namespace ombrel::test;

const std::vector<TReal> SleepDrug1 = {0.7L, -1.6L, -0.2L, -1.2L, -0.1L, 3.4L, 3.7L, 0.8L, 0.0L, 2.0L};
const std::vector<TReal> SleepDrug2 = {1.9L, 0.8L, 1.1L, 0.1L, -0.1L, 4.4L, 5.5L, 1.6L, 4.6L, 3.4L};

void Expect(TDocument& document, std::string_view golden) {
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  ExpectGoldenDocument(document, golden);
  EXPECT_FALSE(document.Report.Bold());
  EXPECT_FALSE(document.Report.Underline());
}

void Expect(TDocument& document, const std::vector<std::string>& expected) {
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  ExpectReportLines(document.Report, expected);
  EXPECT_FALSE(document.Report.Bold());
  EXPECT_FALSE(document.Report.Underline());
}

TEST(TTestReports, OneSampleTwoTailedWithNormalityBlock) {
  TDocument document;
  document.Table.SetTitle("Growth trial");
  TypeColumn(document, 0, "Weight", {5.1L, 4.9L, 5.6L, 5.8L, 6.0L, 5.2L, 5.5L});
  document.Choices.HypotheticalMean = 5;
  Expect(document, "t-tests/one-sample-two-tailed-with-normality-block");
  EXPECT_EQ(document.Report.ReportHelpTopic, 538);
}

TEST(TTestReports, OneSampleOneTailedOfTypedMeansHasNoNormalityBlock) {
  // Mean 10, SD 2, N 4 against 8: t = 2 exactly with 3 df, two-tailed P
  // 0.13933, halved; the SEM and limits (10 -/+ 3.182) are derived.
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::MeanSdN));
  TypeMean(document, 0, "Dose", 10, 2, 4);
  document.Choices.HypotheticalMean = 8;
  document.Choices.OneColumnTwoTailed = 0;
  Expect(document, "t-tests/one-sample-one-tailed-of-typed-means-has-no-normality-block");
}

TEST(TTestReports, PairedWithEffectivePairing) {
  // Cushny and Peebles' sleep data (Student 1908): t = 4.0621, df 9,
  // P = 0.002833; r between the drugs 0.7952.
  TDocument document;
  TypeColumn(document, 0, "Drug 1", SleepDrug1);
  TypeColumn(document, 1, "Drug 2", SleepDrug2);
  document.Choices.TwoColumnUnpaired = 0;
  Expect(document, "t-tests/paired-with-effective-pairing");
  EXPECT_EQ(document.Report.ReportHelpTopic, 104);
}

TEST(TTestReports, PairedWithThreePairsHasTooFewPairsForR) {
  // Differences 2, 1, 3: mean 2, SD 1, t = 2 sqrt 3 with 2 df.
  TDocument document;
  TypeColumn(document, 0, "Before", {10, 12, 15});
  TypeColumn(document, 1, "After", {8, 11, 12});
  document.Choices.TwoColumnUnpaired = 0;
  Expect(document, "t-tests/paired-with-three-pairs-has-too-few-pairs-for-r");
}

TEST(TTestReports, PairedWithEqualDifferencesCannotComputeT) {
  TDocument document;
  TypeColumn(document, 0, "Left", {3, 5, 9, 4});
  TypeColumn(document, 1, "Right", {1, 3, 7, 2});
  document.Choices.TwoColumnUnpaired = 0;
  Expect(document, "t-tests/paired-with-equal-differences-cannot-compute-t");
}

TEST(TTestReports, UnpairedEqualSDsWithSignificantFTest) {
  // SDs 1.581 and 12.649: F = 64 with 4 and 4 df, upper tail 0.000703.
  TDocument document;
  TypeColumn(document, 0, "Steady", {10, 11, 12, 13, 14});
  TypeColumn(document, 1, "Spread", {2, 10, 18, 26, 34});
  Expect(document, "t-tests/unpaired-equal-sds-with-significant-f-test");
  EXPECT_EQ(document.Report.ReportHelpTopic, 93);
}

TEST(TTestReports, UnpairedWithWelchCorrection) {
  // Sleep data as two groups: Welch's df 17.776 truncated to 17, so
  // P = 0.08016 (not the 0.0794 of fractional df).
  TDocument document;
  TypeColumn(document, 0, "Drug 1", SleepDrug1);
  TypeColumn(document, 1, "Drug 2", SleepDrug2);
  document.Choices.EqualSDs = 0;
  Expect(document, "t-tests/unpaired-with-welch-correction");
}

TEST(TTestReports, RefusalsReplaceTheReport) {
  const std::initializer_list<std::string> sdZero = {
      "It is not possible to analyze your data because one column's SD is zero."};
  const std::initializer_list<std::string> singleValue = {
      "It is not possible to analyze your data because one column contains a", "single value."};
  struct TRow {
    const char* Name;
    void (*Prepare)(TDocument&);
    TStatusCode Code;
    std::vector<std::string> Message;
  };
  const TRow rows[] = {
      {"one-sample, every value equal",
       [](TDocument& d) {
         TypeColumn(d, 0, "Flat", {3, 3, 3});
       },
       TStatusCode::SDZero, sdZero},
      {"unpaired, one column without spread",
       [](TDocument& d) {
         TypeColumn(d, 0, "Flat", {3, 3, 3});
         TypeColumn(d, 1, "Varied", {1, 2, 3});
       },
       TStatusCode::SDZero, sdZero},
      {"one-sample, a single value (SEM 0 as well)", [](TDocument& d) { TypeColumn(d, 0, "One", {5}); },
       TStatusCode::SingleValue, singleValue},
      {"unpaired, a single value in the second column",
       [](TDocument& d) {
         TypeColumn(d, 0, "Varied", {1, 2, 3});
         TypeColumn(d, 1, "One", {5});
       },
       TStatusCode::SingleValue, singleValue},
      {"Wilcoxon of typed means",
       [](TDocument& d) {
         static_cast<void>(d.ChooseFormat(TDataFormat::MeanSdN));
         TypeMean(d, 0, "Dose", 10, 2, 4);
         d.Choices.OneColumnTest = TOneColumnTest::Wilcoxon;
       },
       TStatusCode::AveragedNonparametric,
       {"Nonparametric tests require raw data exclusively.  No", "averaged data can be used."}},
      {"Mann-Whitney of typed means",
       [](TDocument& d) {
         static_cast<void>(d.ChooseFormat(TDataFormat::MeanSemN));
         TypeMean(d, 0, "Before", 10, 2, 4);
         TypeMean(d, 1, "After", 12, 2, 4);
         d.Choices.TwoColumnNonparametric = 1;
       },
       TStatusCode::AveragedNonparametric,
       {"Nonparametric tests require raw data exclusively.  No", "averaged data can be used."}},
      {"paired t of typed means",
       [](TDocument& d) {
         static_cast<void>(d.ChooseFormat(TDataFormat::MeanSdN));
         TypeMean(d, 0, "Before", 10, 2, 4);
         TypeMean(d, 1, "After", 12, 2, 4);
         d.Choices.TwoColumnUnpaired = 0;
       },
       TStatusCode::AveragedPaired,
       {"Paired t test must use raw data in order to determine the", "pairs' differences."}},
      {"paired t with a single complete pair",
       [](TDocument& d) {
         TypeColumn(d, 0, "Before", {1, 2, 3, EmptyValue});
         TypeColumn(d, 1, "After", {EmptyValue, EmptyValue, 4, 5});
         d.Choices.TwoColumnUnpaired = 0;
       },
       TStatusCode::SinglePair,
       {"It is not possible to analyze your data because there is only a single", "pair."}},
      {"paired t whose complete pairs have one X value",
       [](TDocument& d) {
         TypeColumn(d, 0, "Before", {1, 1, 1, 1, 2});
         TypeColumn(d, 1, "After", {2, 3, 5, 4, EmptyValue});
         d.Choices.TwoColumnUnpaired = 0;
       },
       TStatusCode::OneXValue,
       {"Points have only one x-value.  The slope is infinite."}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document;
    document.Table.SetTitle("Refused");
    row.Prepare(document);
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    EXPECT_EQ(document.Table.StatusCode, row.Code);
    std::vector<std::string> expected{""};
    expected.insert(expected.end(), row.Message.begin(), row.Message.end());
    expected.insert(expected.end(), {"", "", StarLine});
    ExpectReportLines(document.Report, expected);
  }
}

TEST(TTestReports, PreconditionsGiveTheirThreeLineReports) {
  TDocument empty;
  Expect(empty, MessageReport({"Until you enter data, you won't see any results!"}));

  TDocument unselected;
  ASSERT_TRUE(unselected.ChooseFormat(TDataFormat::MeanSdN));
  TypeMean(unselected, 0, "A", 10, 2, 4);
  TypeMean(unselected, 1, "B", 10, 2, 4);
  unselected.Table.ColumnSelected.fill(0);
  unselected.Choices.ColumnCountKind = TColumnCountKind::One;
  unselected.Choices.AllColumns = 0;
  TSilentCalcProgress progress;
  RunCompareMeansDriver(AnalysisJobOf(unselected), progress, DefaultAnalysisRoutines());
  ExpectReportLines(unselected.Report, MessageReport({"Columns must be selected to perform test."}));

  TDocument noPair;
  ASSERT_TRUE(noPair.ChooseFormat(TDataFormat::MeanSdN));
  for (int c = 0; c < 3; ++c) TypeMean(noPair, c, "", 10, 2, 4);
  noPair.Choices.PairSet = TPairSet::SelectedPairs;
  noPair.Choices.PostTestMethod = TPostTestMethod::Bonferroni;
  noPair.Choices.PairSelected.fill(0);
  Expect(noPair, MessageReport({"At least one column pair must be selected."}));
}

// The section that closes a report when asked for: Cohen's d (and Hedges'
// g), the method and the APA sentence. The sleep data's figures, from SciPy
// with noncentral t intervals: paired d_z -1.2846 [-2.1180, -0.4146]
// (Drug 1 minus Drug 2); unpaired d 0.8322 [-0.0955, 1.7388], g 0.7969.
TEST(TTestReports, EffectSectionOfEachTest) {
  struct TRow {
    const char* Golden;
    int TwoColumnUnpaired;
    int EqualSDs;
  };
  const TRow rows[] = {{"t-tests/effect-section-paired", 0, 1},
                       {"t-tests/effect-section-unpaired", 1, 1},
                       {"t-tests/effect-section-welch", 1, 0}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Golden);
    TDocument document;
    document.EffectSizes = true;
    TypeColumn(document, 0, "Drug 1", SleepDrug1);
    TypeColumn(document, 1, "Drug 2", SleepDrug2);
    document.Choices.TwoColumnUnpaired = static_cast<std::uint8_t>(row.TwoColumnUnpaired);
    document.Choices.EqualSDs = static_cast<std::uint8_t>(row.EqualSDs);
    Expect(document, row.Golden);
  }
}

// A control group with one outlier: its KS distance, 0.3588, lies beyond
// Lilliefors' 1% point for n = 8, and Dallal and Wilkinson's approximation
// puts P at 0.0031: the group fails the normality test.
TEST(TTestReports, AnOutlierFailsTheNormalityTest) {
  TDocument document;
  TypeColumn(document, 0, "Control", {12.5L, 14.1L, -3.2L, 10, 11.7L, 13.3L, 9.8L, 12.0L});
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  const std::vector<std::string> lines = VisibleLines(document.Report);
  const std::vector<std::string> expected = {"   The Kolmogorov-Smirnov distance (KS) is   0.36",
                                             "   The P value is 0.0031",
                                             "The data failed the normality test with P<0.05."};
  EXPECT_NE(std::search(lines.begin(), lines.end(), expected.begin(), expected.end()), lines.end());
}

}  // namespace
}  // namespace ombrel
