// The t-test computations against published results and mpmath (40
// digits), and the report branches the whole-report goldens do not reach.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/analysis/TTests.h"

namespace ombrel {
namespace {

using namespace ombrel::test;

TColumnSummary Summary(std::int32_t n, TReal mean, TReal sd) {
  TColumnSummary s;
  s.N = n;
  s.Mean = mean;
  s.SD = sd;
  s.SEM = sd / std::sqrt(static_cast<TReal>(n));
  return s;
}

// Student's sleep data (Cushny and Peebles), summaries from mpmath.
const TColumnSummary Drug1 = Summary(10, 0.75L, 1.7890096577591504L);
const TColumnSummary Drug2 = Summary(10, 2.33L, 2.0022487358470582L);
const TColumnSummary Differences = Summary(10, -1.58L, 1.2299954832798713L);

TEST(TTests, PairedSleepDataMatchesPublishedResult) {
  // Published: t = 4.0621, df = 9, P = 0.002833 (R's t.test, paired).
  const TTStatistic r = OneSampleTTest(Differences, 0);
  EXPECT_FALSE(r.SDZero);
  EXPECT_EQ(r.DF, 9);
  EXPECT_NEAR(r.T, 4.0621277L, 1e-6L);
  EXPECT_NEAR(r.P, 0.0028329L, 1e-6L);
  EXPECT_NEAR(r.Difference, -1.58L, 1e-15L);
  // The interval takes 2.262 for 9 df: -1.58 -/+ 2.262 SD / sqrt 10.
  EXPECT_NEAR(r.Lower, -2.45982463L, 1e-7L);
  EXPECT_NEAR(r.Upper, -0.70017537L, 1e-7L);
}

TEST(TTests, UnpairedSleepDataMatchesPublishedResults) {
  // Published: t = 1.8608, df = 18, P = 0.07919 (equal variances).
  const TTStatistic pooled = UnpairedTTest(Drug1, Drug2, true);
  EXPECT_EQ(pooled.DF, 18);
  EXPECT_NEAR(pooled.T, 1.8608135L, 1e-6L);
  EXPECT_NEAR(pooled.P, 0.0791867L, 1e-6L);
  EXPECT_NEAR(pooled.Difference, 1.58L, 1e-15L);
  // Welch: Satterthwaite's 17.776 truncated to 17 for P and interval.
  const TTStatistic welch = UnpairedTTest(Drug1, Drug2, false);
  EXPECT_EQ(welch.DF, 17);
  EXPECT_NEAR(welch.T, 1.8608135L, 1e-6L);
  EXPECT_NEAR(welch.P, 0.0801572L, 1e-6L);
}

TEST(TTests, WelchKeepsAWholeDegreeOfFreedom) {
  // Equal SDs and Ns make Satterthwaite's ratio exactly 2(N - 1); rounding
  // must not truncate it to one less.
  for (const TReal sd : {0.1L, 2.0L, 3.3L, 1e-5L, 7e6L}) {
    SCOPED_TRACE(static_cast<double>(sd));
    EXPECT_EQ(UnpairedTTest(Summary(10, 1, sd), Summary(10, 2, sd), false).DF, 18);
    EXPECT_EQ(UnpairedTTest(Summary(7, 1, sd), Summary(7, 2, sd), false).DF, 12);
  }
}

TEST(TTests, FTestPutsTheLargerSDOnTop) {
  // Sleep data: F = (2.00225 / 1.78901)^2 = 1.252595 with 9 and 9 df,
  // upper tail 0.371360 (mpmath), so the two-sided P is 0.742720.
  const TFTestResult f = EqualSDsFTest(Drug1, Drug2);
  EXPECT_NEAR(f.F, 1.252595036L, 1e-8L);
  EXPECT_NEAR(f.P, 0.742720L, 1e-6L);
  // Equal SDs: B is the numerator, so its N gives the first df.
  const TFTestResult equal = EqualSDsFTest(Summary(5, 0, 2), Summary(8, 0, 2));
  EXPECT_EQ(equal.F, 1);
  EXPECT_EQ(equal.NumeratorDF, 7);
  EXPECT_EQ(equal.DenominatorDF, 4);
  const TFTestResult aLarger = EqualSDsFTest(Summary(5, 0, 4), Summary(8, 0, 2));
  EXPECT_EQ(aLarger.F, 4);
  EXPECT_EQ(aLarger.NumeratorDF, 4);
}

TEST(TTests, MeanEqualToTheHypotheticalMeanGivesPOne) {
  const TTStatistic r = OneSampleTTest(Summary(3, 2, 1), 2);
  EXPECT_EQ(r.T, 0);
  EXPECT_EQ(r.P, 1);
  EXPECT_EQ(r.Difference, 0);
}

TEST(TTests, CriticalValueTableAndFormula) {
  // Table values, then df 1.96 / (df - 1.20722) against the true two-sided
  // 5% points of t (mpmath): within 0.001 from df 14 on.
  struct TRow {
    std::int32_t DF;
    TReal Expected;
    TReal Tolerance;
  };
  const TRow rows[] = {
      {1, 12.706L, 0},
      {9, 2.262L, 0},
      {13, 2.160L, 0},
      {14, 2.144786688L, 0.001L},
      {30, 2.042272456L, 0.001L},
      {100, 1.983971519L, 0.001L},
      {1000, 1.962339081L, 0.001L},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.DF);
    EXPECT_NEAR(t_test_critical_95(row.DF), row.Expected, row.Tolerance);
  }
  EXPECT_NEAR(t_test_critical_95(14), 14 * 1.96L / 12.79278L, 1e-15L);
  EXPECT_TRUE(IsEmpty(t_test_critical_95(0)));
}

// Whether `needle` occurs in the report as consecutive lines.
bool HasLines(const std::vector<std::string>& lines, const std::vector<std::string>& needle) {
  return std::search(lines.begin(), lines.end(), needle.begin(), needle.end()) != lines.end();
}

TEST(TTestReports, BranchesOfTheAssumptionChecks) {
  struct TRow {
    const char* Name;
    void (*Prepare)(TDocument&);
    std::vector<std::string> Lines;
  };
  const TRow rows[] = {
      {"negative pairing correlation",
       [](TDocument& d) {
         TypeColumn(d, 0, "A", {1, 2, 3, 4, 5});
         TypeColumn(d, 1, "B", {9, 7, 8, 5, 6});
         d.Choices.TwoColumnUnpaired = 0;
       },
       {"Correlation coefficient (r) = -0.8000", "The negative correlation coefficient indicates that the pairing or",
        "matching was NOT effective."}},
      {"ineffective pairing: r = 0.1, one-tailed P = 0.4364",
       [](TDocument& d) {
         TypeColumn(d, 0, "A", {1, 2, 3, 4, 5});
         TypeColumn(d, 1, "B", {7, 6, 9, 5, 8});
         d.Choices.TwoColumnUnpaired = 0;
       },
       {"Correlation coefficient (r) = 0.1000", "The one-tailed P value is 0.4364, considered not significant.",
        "Effective pairing results in a significant correlation between the columns.",
        "With these data, the pairing (or matching) appears not to be effective.",
        "The unpaired test may be more appropriate."}},
      {"no variability in one column",
       [](TDocument& d) {
         TypeColumn(d, 0, "A", {4, 4, 4, 4, 4});
         TypeColumn(d, 1, "B", {1, 2, 3, 5, 4});
         d.Choices.TwoColumnUnpaired = 0;
       },
       {Underlined("Assumption test: Was the pairing effective?"), "Can't calculate r. One group has no variability."}},
      {"failed normality test: KS 0.52, Lilliefors P below 0.0001",
       [](TDocument& d) {
         TypeColumn(d, 0, "Skewed", {1, 1, 1, 1, 1, 1, 1, 1, 1, 10});
       },
       {"   The Kolmogorov-Smirnov distance (KS) is   0.52", "   The P value is <0.0001", "",
        "The data failed the normality test with P<0.05.",
        "Consider using a nonparametric test or transforming the data ",
        "(i.e. converting to logarithms or reciprocals). "}},
      {"normality P below 0.0001 ends its line twice",
       [](TDocument& d) {
         std::vector<TReal> values(20, 1);
         values.push_back(100);
         TypeColumn(d, 0, "Outlier", values);
       },
       {"   The Kolmogorov-Smirnov distance (KS) is   0.54", "   The P value is <0.0001", "",
        "The data failed the normality test with P<0.05."}},
      {"unpaired with a failed column",
       [](TDocument& d) {
         TypeColumn(d, 0, "Skewed", {1, 1, 1, 1, 1, 1, 1, 1, 1, 10});
         TypeColumn(d, 1, "Even", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
         d.Choices.EqualSDs = 0;
       },
       {"         Skewed   0.5241 <0.0001   No", "           Even  0.09550 >0.10     Yes", "",
        "At least one column failed the normality test with P<0.05.",
        "Consider using a nonparametric test or transforming the data ",
        "(i.e. converting to logarithms or reciprocals). ", "", TitleLine("Summary of Data", 25, 25)}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document;
    row.Prepare(document);
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
    EXPECT_TRUE(HasLines(VisibleLines(document.Report), row.Lines));
  }
}

TEST(TTestReports, RawNonparametricChoicesReachTheRankTests) {
  struct TRow {
    const char* Name;
    std::int32_t Columns;
    std::int32_t Unpaired;
    std::string Title;
  };
  const TRow rows[] = {
      {"one column", 1, 1, "Wilcoxon signed rank test"},
      {"paired", 2, 0, "Wilcoxon matched-pairs signed-ranks test"},
      {"unpaired", 2, 1, "Mann-Whitney Test"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document;
    TypeColumn(document, 0, "A", {1.5L, 2, 3, 4.5L, 5});
    if (row.Columns == 2) TypeColumn(document, 1, "B", {2, 4, 3, 7, 9});
    document.Choices.OneColumnTest = TOneColumnTest::Wilcoxon;
    document.Choices.TwoColumnNonparametric = 1;
    document.Choices.TwoColumnUnpaired = row.Unpaired;
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    const std::vector<std::string> lines = VisibleLines(document.Report);
    const bool found = std::any_of(lines.begin(), lines.end(),
                                   [&](const std::string& line) { return line.find(row.Title) != std::string::npos; });
    EXPECT_TRUE(found);
  }
}

TEST(TTestReports, ThreeNonparametricColumnsReachKruskalWallisAndFriedman) {
  for (const std::int32_t ordinary : {1, 0}) {
    SCOPED_TRACE(ordinary);
    TDocument document;
    TypeColumn(document, 0, "A", {1.5L, 2, 3, 4.5L, 5});
    TypeColumn(document, 1, "B", {2.5L, 4, 3.5L, 7, 9});
    TypeColumn(document, 2, "C", {6, 8, 10, 12, 14});
    document.Choices.MultiColumnNonparametric = 1;
    document.Choices.OrdinaryAnova = ordinary;
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    const std::string title = ordinary == 1 ? "Kruskal-Wallis Test (Nonparametric ANOVA)"
                                            : "Friedman Test (Nonparametric Repeated Measures ANOVA)";
    const std::vector<std::string> lines = VisibleLines(document.Report);
    const bool found = std::any_of(lines.begin(), lines.end(),
                                   [&](const std::string& line) { return line.find(title) != std::string::npos; });
    EXPECT_TRUE(found);
    EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
    EXPECT_FALSE(document.Table.ColumnMapActive());
  }
}

}  // namespace
}  // namespace ombrel

namespace ombrel {
namespace {

// The method facts count per column the values used and those left out:
// excluded cells and values without a partner.
TEST(TTestRecord, CountsValuesUsedAndLeftOut) {
  struct TRow {
    const char* Name;
    std::int32_t Unpaired;
    std::int64_t UsedA, LeftOutA, UsedB, LeftOutB;
  };
  const TRow rows[] = {
      {"paired: rows 1, 3 and 4 hold pairs", 0, 3, 2, 3, 1},
      {"unpaired: only the excluded cell is left out", 1, 4, 1, 4, 0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document;
    TypeColumn(document, 0, "Before", {1, 2, 3, 4, 5});
    TypeColumn(document, 1, "After", {2, 2, 5, 4.5L, EmptyValue});
    document.Table.SetExcluded(1, 0, true);
    document.Choices.TwoColumnUnpaired = row.Unpaired;
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    ASSERT_EQ(document.Results.Analyses.size(), 1u);
    const TResultValue* columns = document.Results.Analyses[0].Method.Find("columns");
    ASSERT_NE(columns, nullptr);
    ASSERT_EQ(columns->Items().size(), 2u);
    EXPECT_EQ(columns->Items()[0].Find("nUsed")->AsInteger(), row.UsedA);
    EXPECT_EQ(columns->Items()[0].Find("nLeftOut")->AsInteger(), row.LeftOutA);
    EXPECT_EQ(columns->Items()[1].Find("nUsed")->AsInteger(), row.UsedB);
    EXPECT_EQ(columns->Items()[1].Find("nLeftOut")->AsInteger(), row.LeftOutB);
  }
}

}  // namespace
}  // namespace ombrel
