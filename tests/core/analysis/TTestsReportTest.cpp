// Whole t-test reports through RunAnalysis, compared line for line with
// reports laid out by hand from the report layouts. The numbers were
// computed independently with mpmath at 40 digits (t and F tails from the
// regularized incomplete beta function, the Kolmogorov-Smirnov distance
// against the normal taken as t with 5000 degrees of freedom) and rounded
// by hand to the report's digit rule.

#include <gtest/gtest.h>

#include "support/GoldenReport.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"

namespace ombrel {
namespace {

using namespace ombrel::testing;

const std::vector<TReal> SleepDrug1 = {0.7L, -1.6L, -0.2L, -1.2L, -0.1L, 3.4L, 3.7L, 0.8L, 0.0L, 2.0L};
const std::vector<TReal> SleepDrug2 = {1.9L, 0.8L, 1.1L, 0.1L, -0.1L, 4.4L, 5.5L, 1.6L, 4.6L, 3.4L};

void Expect(TDocument& document, std::vector<std::string> expected, bool refused = false) {
  if (!refused) AppendClosing(expected);
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
  Expect(document, {
                       "Growth trial",
                       "",
                       "",
                       TitleLine("One sample t test", 24, 24),
                       "Does the mean of Weight differ significantly from 5.000? ",
                       "",
                       "_P value_",
                       "The two-tailed P value is 0.0251, considered significant.",
                       "",
                       "t = 2.965 with 6 degrees of freedom.",
                       "",
                       "_95% Confidence interval_",
                       "Mean difference = 0.4429 (Mean of Weight minus 5.000) ",
                       "The 95% confidence interval of the difference:",
                       "   0.07734 to 0.8084",
                       "",
                       "_Assumption test: Are the data sampled from a Gaussian distribution?_",
                       "The one sample t test assumes that the differences are sampled from a ",
                       "Gaussian distribution. This assumption is tested using the ",
                       "method of Kolmogorov and Smirnov:",
                       "   The Kolmogorov-Smirnov distance (KS) is   0.16",
                       "   The P value is >0.10",
                       "The data passed the normality test with P>0.05.",
                       "",
                       "",
                       TitleLine("Summary of Data", 25, 25),
                       "",
                       SummaryHeader({"Weight"}),
                       SummaryRow("Mean:", {"5.443"}),
                       SummaryRow("# of points:", {"7"}),
                       SummaryRow("Std deviation:", {"0.3952"}),
                       SummaryRow("Std error:", {"0.1494"}),
                       SummaryRow("Minimum:", {"4.900"}),
                       SummaryRow("Maximum:", {"6.000"}),
                       SummaryRow("Median:", {"5.500"}),
                       SummaryRow("Lower 95% CI:", {"5.077"}),
                       SummaryRow("Upper 95% CI:", {"5.808"}),
                   });
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
  Expect(document, {
                       "",
                       TitleLine("One sample t test", 24, 24),
                       "Does the mean of Dose differ significantly from 8.000? ",
                       "",
                       "_P value_",
                       "The one-tailed P value is 0.0697, considered not quite significant.",
                       "",
                       "t = 2.000 with 3 degrees of freedom.",
                       "",
                       "_95% Confidence interval_",
                       "Mean difference = 2.000 (Mean of Dose minus 8.000) ",
                       "The 95% confidence interval of the difference:",
                       "   -1.182 to 5.182",
                       "",
                       "",
                       "",
                       TitleLine("Summary of Data", 25, 25),
                       "",
                       SummaryHeader({"Dose"}),
                       SummaryRow("Mean:", {"10.000"}),
                       SummaryRow("# of points:", {"4"}),
                       SummaryRow("Std deviation:", {"2.000"}),
                       SummaryRow("Std error:", {"1.000"}),
                       SummaryRow("Minimum:", {"Unknown"}),
                       SummaryRow("Maximum:", {"Unknown"}),
                       SummaryRow("Median:", {"Unknown"}),
                       SummaryRow("Lower 95% CI:", {"6.818"}),
                       SummaryRow("Upper 95% CI:", {"13.182"}),
                   });
}

TEST(TTestReports, PairedWithEffectivePairing) {
  // Cushny and Peebles' sleep data (Student 1908): t = 4.0621, df 9,
  // P = 0.002833; r between the drugs 0.7952.
  TDocument document;
  TypeColumn(document, 0, "Drug 1", SleepDrug1);
  TypeColumn(document, 1, "Drug 2", SleepDrug2);
  document.Choices.TwoColumnUnpaired = 0;
  Expect(document, {
                       TitleLine("Paired t test", 26, 26),
                       "Does the mean of the differences between Drug 1 and Drug 2",
                       " differ significantly from zero?",
                       "",
                       "_P value_",
                       "The two-tailed P value is 0.0028, considered very significant.",
                       "",
                       "t = 4.062 with 9 degrees of freedom.",
                       "",
                       "_95% confidence interval_",
                       "Mean difference = -1.580 (Mean of paired differences)",
                       "The 95% confidence interval of the difference: -2.460 to -0.7002",
                       "",
                       "_Assumption test: Was the pairing effective?_",
                       "Correlation coefficient (r) = 0.7952",
                       "The one-tailed P value is 0.0030, considered very significant.",
                       "Effective pairing results in a significant correlation between the columns.",
                       "With these data, the pairing (or matching) appears to be effective.",
                       "",
                       "_Assumption test: Are the differences sampled from a Gaussian distribution?_",
                       "The paired t test assumes that the differences are sampled from a ",
                       "Gaussian distribution. This assumption is tested using the ",
                       "method of Kolmogorov and Smirnov:",
                       "   The Kolmogorov-Smirnov distance (KS) is   0.26",
                       "   The P value is >0.10",
                       "The data passed the normality test with P>0.05.",
                       "",
                       TitleLine("Summary of Data", 25, 25),
                       "",
                       SummaryHeader({"Drug 1", "Drug 2", "Difference"}),
                       SummaryRow("Mean:", {"0.7500", "2.330", "-1.580"}),
                       SummaryRow("# of points:", {"10", "10", "10"}),
                       SummaryRow("Std deviation:", {"1.789", "2.002", "1.230"}),
                       SummaryRow("Std error:", {"0.5657", "0.6332", "0.3890"}),
                       SummaryRow("Minimum:", {"-1.600", "-0.1000", "-4.600"}),
                       SummaryRow("Maximum:", {"3.700", "5.500", "0.000"}),
                       SummaryRow("Median:", {"0.3500", "1.750", "-1.300"}),
                       SummaryRow("Lower 95% CI:", {"-0.5297", "0.8978", "-2.460"}),
                       SummaryRow("Upper 95% CI:", {"2.030", "3.762", "-0.7002"}),
                   });
  EXPECT_EQ(document.Report.ReportHelpTopic, 104);
}

TEST(TTestReports, PairedWithThreePairsHasTooFewPairsForR) {
  // Differences 2, 1, 3: mean 2, SD 1, t = 2 sqrt 3 with 2 df.
  TDocument document;
  TypeColumn(document, 0, "Before", {10, 12, 15});
  TypeColumn(document, 1, "After", {8, 11, 12});
  document.Choices.TwoColumnUnpaired = 0;
  Expect(document, {
                       TitleLine("Paired t test", 26, 26),
                       "Does the mean of the differences between Before and After",
                       " differ significantly from zero?",
                       "",
                       "_P value_",
                       "The two-tailed P value is 0.0742, considered not quite significant.",
                       "",
                       "t = 3.464 with 2 degrees of freedom.",
                       "",
                       "_95% confidence interval_",
                       "Mean difference = 2.000 (Mean of paired differences)",
                       "The 95% confidence interval of the difference: -0.4843 to 4.484",
                       "",
                       "_Assumption test: Was the pairing effective?_",
                       "There are too few pairs to calculate r.",
                       "",
                       "_Assumption test: Are the differences sampled from a Gaussian distribution?_",
                       "The paired t test assumes that the differences are sampled from a ",
                       "Gaussian distribution. This assumption is tested using the ",
                       "method of Kolmogorov and Smirnov:",
                       "   Too few values to test.",
                       "",
                       TitleLine("Summary of Data", 25, 25),
                       "",
                       SummaryHeader({"Before", "After", "Difference"}),
                       SummaryRow("Mean:", {"12.333", "10.333", "2.000"}),
                       SummaryRow("# of points:", {"3", "3", "3"}),
                       SummaryRow("Std deviation:", {"2.517", "2.082", "1.000"}),
                       SummaryRow("Std error:", {"1.453", "1.202", "0.5774"}),
                       SummaryRow("Minimum:", {"10.000", "8.000", "1.000"}),
                       SummaryRow("Maximum:", {"15.000", "12.000", "3.000"}),
                       SummaryRow("Median:", {"12.000", "11.000", "2.000"}),
                       SummaryRow("Lower 95% CI:", {"6.081", "5.162", "-0.4843"}),
                       SummaryRow("Upper 95% CI:", {"18.585", "15.505", "4.484"}),
                   });
}

TEST(TTestReports, PairedWithEqualDifferencesCannotComputeT) {
  TDocument document;
  TypeColumn(document, 0, "Left", {3, 5, 9, 4});
  TypeColumn(document, 1, "Right", {1, 3, 7, 2});
  document.Choices.TwoColumnUnpaired = 0;
  Expect(document, {
                       TitleLine("Paired t test", 26, 26),
                       "Does the mean of the differences between Left and Right",
                       " differ significantly from zero?",
                       "",
                       "_P value_",
                       "",
                       "_95% confidence interval_",
                       "Mean difference = 2.000 (Mean of paired differences)",
                       "",
                       "The t test cannot be performed when the standard deviation",
                       "is zero. ",
                       TitleLine("Summary of Data", 25, 25),
                       "",
                       SummaryHeader({"Left", "Right", "Difference"}),
                       SummaryRow("Mean:", {"5.250", "3.250", "2.000"}),
                       SummaryRow("# of points:", {"4", "4", "4"}),
                       SummaryRow("Std deviation:", {"2.630", "2.630", "0.000"}),
                       SummaryRow("Std error:", {"1.315", "1.315", "0.000"}),
                       SummaryRow("Minimum:", {"3.000", "1.000", "2.000"}),
                       SummaryRow("Maximum:", {"9.000", "7.000", "2.000"}),
                       SummaryRow("Median:", {"4.500", "2.500", "2.000"}),
                       SummaryRow("Lower 95% CI:", {"1.066", "-0.9343", "2.000"}),
                       SummaryRow("Upper 95% CI:", {"9.434", "7.434", "2.000"}),
                   });
}

TEST(TTestReports, UnpairedEqualSDsWithSignificantFTest) {
  // SDs 1.581 and 12.649: F = 64 with 4 and 4 df, upper tail 0.000703.
  TDocument document;
  TypeColumn(document, 0, "Steady", {10, 11, 12, 13, 14});
  TypeColumn(document, 1, "Spread", {2, 10, 18, 26, 34});
  Expect(document, {
                       TitleLine("Unpaired t test", 25, 25),
                       "Do the means of Steady and Spread differ significantly?",
                       "",
                       "_P value_",
                       "The two-tailed P value is 0.3233, considered not significant.",
                       "",
                       "t = 1.052 with 8 degrees of freedom.",
                       "",
                       "_95% confidence interval_",
                       "Mean difference = 6.000 (Mean of Spread minus mean of Steady) ",
                       "The 95% confidence interval of the difference: -7.146 to 19.146",
                       "",
                       "_Assumption test: Are the standard deviations equal?_",
                       "The t test assumes that the columns come from populations with equal SDs.",
                       "The following calculations test that assumption.",
                       "",
                       "F = 64.000",
                       "The P value is 0.0007. ",
                       "This test suggests that the difference between the two SDs is",
                       "extremely significant.  Since the t test assumes populations with equal",
                       "SDs, you should consider transforming your data (reciprocal or log),",
                       "selecting a nonparametric test, or selecting the alternate (Welch) t test.",
                       "",
                       "_Assumption test: Are the data sampled from Gaussian distributions?_",
                       "The t test assumes that the data are sampled from populations that follow ",
                       "Gaussian distributions. This assumption is tested using the method ",
                       "Kolmogorov and Smirnov:",
                       "",
                       "^     Group        KS     P Value  Passed normality test?^",
                       "^=============== ======   ======== =======================^",
                       "         Steady   0.1364 >0.10     Yes",
                       "         Spread   0.1364 >0.10     Yes",
                       "",
                       TitleLine("Summary of Data", 25, 25),
                       "",
                       SummaryHeader({"Steady", "Spread"}),
                       SummaryRow("Mean:", {"12.000", "18.000"}),
                       SummaryRow("# of points:", {"5", "5"}),
                       SummaryRow("Std deviation:", {"1.581", "12.649"}),
                       SummaryRow("Std error:", {"0.7071", "5.657"}),
                       SummaryRow("Minimum:", {"10.000", "2.000"}),
                       SummaryRow("Maximum:", {"14.000", "34.000"}),
                       SummaryRow("Median:", {"12.000", "18.000"}),
                       SummaryRow("Lower 95% CI:", {"10.037", "2.297"}),
                       SummaryRow("Upper 95% CI:", {"13.963", "33.703"}),
                   });
  EXPECT_EQ(document.Report.ReportHelpTopic, 93);
}

TEST(TTestReports, UnpairedWithWelchCorrection) {
  // Sleep data as two groups: Welch's df 17.776 truncated to 17, so
  // P = 0.08016 (not the 0.0794 of fractional df).
  TDocument document;
  TypeColumn(document, 0, "Drug 1", SleepDrug1);
  TypeColumn(document, 1, "Drug 2", SleepDrug2);
  document.Choices.EqualSDs = 0;
  Expect(document, {
                       TitleLine("Unpaired t test with Welch correction", 14, 14),
                       "Do the means of Drug 1 and Drug 2 differ significantly?",
                       "",
                       "_P value_",
                       "The two-tailed P value is 0.0802, considered not quite significant.",
                       "Welch correction applied. This test does not assume equal variances.",
                       "",
                       "Welch's approximate t = 1.861 with 17 degrees of freedom.",
                       "",
                       "_95% confidence interval_",
                       "Mean difference = 1.580 (Mean of Drug 2 minus mean of Drug 1) ",
                       "The 95% confidence interval of the difference: -0.2114 to 3.371",
                       "",
                       "",
                       "_Assumption test: Are the data sampled from Gaussian distributions?_",
                       "The t test assumes that the data are sampled from populations that follow ",
                       "Gaussian distributions. This assumption is tested using the method ",
                       "Kolmogorov and Smirnov:",
                       "",
                       "^     Group        KS     P Value  Passed normality test?^",
                       "^=============== ======   ======== =======================^",
                       "         Drug 1   0.1889 >0.10     Yes",
                       "         Drug 2   0.1850 >0.10     Yes",
                       "",
                       TitleLine("Summary of Data", 25, 25),
                       "",
                       SummaryHeader({"Drug 1", "Drug 2"}),
                       SummaryRow("Mean:", {"0.7500", "2.330"}),
                       SummaryRow("# of points:", {"10", "10"}),
                       SummaryRow("Std deviation:", {"1.789", "2.002"}),
                       SummaryRow("Std error:", {"0.5657", "0.6332"}),
                       SummaryRow("Minimum:", {"-1.600", "-0.1000"}),
                       SummaryRow("Maximum:", {"3.700", "5.500"}),
                       SummaryRow("Median:", {"0.3500", "1.750"}),
                       SummaryRow("Lower 95% CI:", {"-0.5297", "0.8978"}),
                       SummaryRow("Upper 95% CI:", {"2.030", "3.762"}),
                   });
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
         d.Choices.OneColumnTest = 1;
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
  Expect(empty, MessageReport({"Until you enter data, you won't see any results!"}), true);

  TDocument unselected;
  ASSERT_TRUE(unselected.ChooseFormat(TDataFormat::MeanSdN));
  TypeMean(unselected, 0, "A", 10, 2, 4);
  TypeMean(unselected, 1, "B", 10, 2, 4);
  unselected.Table.ColumnSelected.fill(0);
  unselected.Choices.ColumnCountKind = 1;
  unselected.Choices.AllColumns = 0;
  TSilentCalcProgress progress;
  RunCompareMeansDriver(AnalysisJobOf(unselected), progress, DefaultAnalysisRoutines());
  ExpectReportLines(unselected.Report, MessageReport({"Columns must be selected to perform test."}));

  TDocument noPair;
  ASSERT_TRUE(noPair.ChooseFormat(TDataFormat::MeanSdN));
  for (int c = 0; c < 3; ++c) TypeMean(noPair, c, "", 10, 2, 4);
  noPair.Choices.PairSet = 1;
  noPair.Choices.PostTestMethod = 0;
  noPair.Choices.PairSelected.fill(0);
  Expect(noPair, MessageReport({"At least one column pair must be selected."}), true);
}

}  // namespace
}  // namespace ombrel
