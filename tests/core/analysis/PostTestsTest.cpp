#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/report/ReportText.h"
#include "core/stats/CriticalTables.h"
#include "core/analysis/PostTests.h"

// Post-test figures against independent values: Student's t points and
// tails from mpmath at 30 digits (bisection on the regularized incomplete
// beta function), sums of squares from Python fractions.

namespace ombrel {
namespace {

std::vector<TColumnSummary> Groups(const std::vector<TReal>& means, const std::vector<std::int32_t>& counts) {
  std::vector<TColumnSummary> groups(means.size());
  for (std::size_t i = 0; i < means.size(); ++i) {
    groups[i].Title = std::string("Group ") + ColumnLetter(static_cast<int>(i));
    groups[i].Mean = means[i];
    groups[i].N = counts[i];
  }
  return groups;
}

bool Contains(const std::vector<std::string>& lines, std::string_view text) {
  return std::any_of(lines.begin(), lines.end(),
                     [text](const std::string& line) { return line.find(text) != std::string::npos; });
}

// Means 5, 8.5 and 12 with N 5, 6, 5 and MS residual 75/26 (13 df).
const std::vector<TColumnSummary> ThreeGroups = Groups({5, 8.5L, 12}, {5, 6, 5});
const TPostTestInput ThreeGroupsInput{ThreeGroups, 75.0L / 26, 13, TAnovaDesign::Ordinary, {}};

TEST(Bonferroni, ComparesEveryPairAtTheCorrectedLevel) {
  const TBonferroniResult result = ComputeBonferroni(ThreeGroupsInput, {}, false);
  EXPECT_EQ(result.Comparisons, 3);
  // t_for_p bisects to 1e-4 in t.
  EXPECT_NEAR(static_cast<double>(result.CriticalT), 2.74593872317257, 1e-4);
  ASSERT_EQ(result.Pairs.size(), 3u);
  struct TExpected {
    double Difference;
    double T;
    double P;
  };
  const TExpected expected[] = {
      {-3.5, 3.40320704363078, 0.0141395738571927},
      {-7, 6.51664535375884, 5.85678414478230e-5},
      {-3.5, 3.40320704363078, 0.0141395738571927},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(static_cast<double>(result.Pairs[i].Difference), expected[i].Difference, 1e-15);
    EXPECT_NEAR(static_cast<double>(result.Pairs[i].Statistic), expected[i].T, 1e-12);
    EXPECT_NEAR(static_cast<double>(result.Pairs[i].P), expected[i].P, 1e-6 * expected[i].P);
    const TReal halfWidth = (result.Pairs[i].Upper - result.Pairs[i].Lower) / 2;
    EXPECT_NEAR(static_cast<double>(halfWidth * result.Pairs[i].Statistic / std::fabs(result.Pairs[i].Difference)),
                static_cast<double>(result.CriticalT), 1e-12);
  }
}

// Repeated measures: SE = sqrt(2 MS / N) with MS 35/12 on 8 df, N 5.
TEST(Bonferroni, RepeatedMeasuresUseTheRowCount) {
  const std::vector<TColumnSummary> groups = Groups({5, 8, 12}, {5, 5, 5});
  const TBonferroniResult result =
      ComputeBonferroni({groups, 35.0L / 12, 8, TAnovaDesign::RepeatedMeasures, {}}, {}, false);
  ASSERT_EQ(result.Pairs.size(), 3u);
  EXPECT_NEAR(static_cast<double>(result.Pairs[0].Statistic), 2.77746029931765, 1e-12);
  EXPECT_NEAR(static_cast<double>(result.Pairs[0].P), 0.0720555277462651, 1e-6 * 0.072);
  EXPECT_NEAR(static_cast<double>(result.CriticalT), 3.01576183688717, 1e-4);
}

// Five groups: ten pairs draw the warning; a selection of eight does not.
TEST(Bonferroni, SelectedPairsAndTheWarning) {
  const std::vector<TColumnSummary> groups = Groups({1, 2, 3, 4, 5}, {5, 5, 5, 5, 5});
  const TPostTestInput input{groups, 1, 20, TAnovaDesign::Ordinary, {}};
  std::vector<std::uint8_t> flags(10, 1);
  flags[1] = 0;  // A with C
  flags[9] = 0;  // D with E
  struct TCase {
    bool UseSelection;
    std::int32_t Comparisons;
    double CriticalT;
    bool Warning;
  };
  for (const TCase c : {TCase{false, 10, 3.15340053290645, true}, TCase{true, 8, 3.05502142077079, false}}) {
    SCOPED_TRACE(c.UseSelection ? "selected pairs" : "all pairs");
    const TBonferroniResult result = ComputeBonferroni(input, flags, c.UseSelection);
    EXPECT_EQ(result.Comparisons, c.Comparisons);
    EXPECT_EQ(static_cast<std::int32_t>(result.Pairs.size()), c.Comparisons);
    EXPECT_NEAR(static_cast<double>(result.CriticalT), c.CriticalT, 1e-4);
    TReportText report;
    report.BeginReport();
    EXPECT_EQ(WriteBonferroniReport(report, input, result), TStatusCode::Ok);
    EXPECT_EQ(Contains(test::FinishedLines(report), "Warning: With so many comparisons, the Bonferroni method"),
              c.Warning);
    if (c.UseSelection) {
      const bool skipped = std::any_of(result.Pairs.begin(), result.Pairs.end(), [](const TPairComparison& pair) {
        return (pair.First == 0 && pair.Second == 2) || (pair.First == 3 && pair.Second == 4);
      });
      EXPECT_FALSE(skipped);
    }
  }
}

// SE = sqrt(0.5 / 2 x 2 / 5) = 0.3162 with 16 df. Sorted means 0, 0.5, 1, 5:
// (A, D) is significant, (A, C) with q 3.162 is not (q(0.05; 3, 16) =
// 3.649), which hides (A, B) and (B, C); (B, D) and (C, D) are tested.
TEST(StudentNewmanKeuls, StopsInsideARangeFoundNotSignificant) {
  const std::vector<TColumnSummary> groups = Groups({5, 0, 1, 0.5L}, {5, 5, 5, 5});
  const TRangeTestResult result = ComputeStudentNewmanKeuls({groups, 0.5L, 16, TAnovaDesign::Ordinary, {}});
  struct TExpected {
    std::size_t First;
    std::size_t Second;
    bool Tested;
    double P;
  };
  // Group indices: A 5, B 0, C 1, D 0.5 in sorted order B, D, C, A.
  const TExpected expected[] = {
      {1, 0, true, 0.001}, {1, 2, true, 1},  {1, 3, false, 1},
      {3, 0, true, 0.001}, {3, 2, false, 1}, {2, 0, true, 0.001},
  };
  ASSERT_EQ(result.Pairs.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const TPairComparison& pair = result.Pairs[i];
    EXPECT_EQ(pair.First, expected[i].First);
    EXPECT_EQ(pair.Second, expected[i].Second);
    EXPECT_EQ(!IsEmpty(pair.Statistic), expected[i].Tested);
    EXPECT_NEAR(static_cast<double>(pair.P), expected[i].P, 1e-15);
    EXPECT_LE(pair.Difference, 0) << "the smaller mean is named first";
  }
}

TEST(Dunnett, NeedsFiveDegreesOfFreedom) {
  const std::vector<TColumnSummary> groups = Groups({2, 5, 8}, {2, 3, 3});
  EXPECT_TRUE(ComputeDunnett({groups, 1.2L, 4, TAnovaDesign::Ordinary, {}}, 0, true).TooFewDF);
  const TDunnettResult result = ComputeDunnett({groups, 1.2L, 5, TAnovaDesign::Ordinary, {}}, 1, true);
  EXPECT_FALSE(result.TooFewDF);
  EXPECT_EQ(result.Control, 1u);
  ASSERT_EQ(result.Pairs.size(), 2u);
  // The control is named first; the difference is control minus group.
  EXPECT_EQ(result.Pairs[0].First, 1u);
  EXPECT_EQ(result.Pairs[0].Second, 0u);
  EXPECT_NEAR(static_cast<double>(result.Pairs[0].Difference), 3, 1e-15);
  EXPECT_NEAR(static_cast<double>(result.Critical5), 3.03, 1e-15);
  EXPECT_NEAR(static_cast<double>(result.Critical1), 4.63, 1e-15);
}

// More groups than Dunnett's table holds: the last column is used and the
// report says so.
TEST(Dunnett, BeyondTheTableUsesItsLastColumnAndSaysSo) {
  struct TCase {
    std::size_t Groups;
    bool TwoTailed;
    bool Beyond;
    std::int32_t LastTabulated;
  };
  for (const TCase c : {TCase{22, true, true, 21}, TCase{21, true, false, 21}, TCase{11, false, true, 10},
                        TCase{10, false, false, 10}}) {
    SCOPED_TRACE(testing::Message() << c.Groups << " groups, two-sided " << c.TwoTailed);
    const std::vector<TColumnSummary> groups =
        Groups(std::vector<TReal>(c.Groups, 1), std::vector<std::int32_t>(c.Groups, 4));
    const TPostTestInput input{groups, 1, 60, TAnovaDesign::Ordinary, {}};
    const TDunnettResult result = ComputeDunnett(input, 0, c.TwoTailed);
    EXPECT_EQ(result.BeyondTable, c.Beyond);
    EXPECT_EQ(result.Critical5, CriticalDunnett(60, c.LastTabulated, c.TwoTailed, TCriticalLevel::Five).Value);
    TReportText report;
    report.BeginReport();
    EXPECT_EQ(WriteDunnettReport(report, input, result), TStatusCode::Ok);
    EXPECT_EQ(Contains(test::FinishedLines(report),
                       "Note: The table of critical values ends at " + std::to_string(c.LastTabulated) + " groups."),
              c.Beyond);
  }
}

// Means 2, 3, 7 with N 3, 4, 5: L = 5, SS linear 46.875, slope 2.5,
// SS between 58.91667 (Python fractions).
TEST(LinearTrend, SplitsTheVariationBetweenColumns) {
  const std::vector<TColumnSummary> groups = Groups({2, 3, 7}, {3, 4, 5});
  const TTrendAnova anova{{2, 58.916666666666667L, 29.458333333333333L}, {}, {9, 18, 2}, {11, 76.916666666666667L}};
  const TLinearTrendResult result = ComputeLinearTrend({groups, 2, 9, TAnovaDesign::Ordinary, {}}, anova);
  EXPECT_NEAR(static_cast<double>(result.SSLinear), 46.875, 1e-15 * 47);
  EXPECT_NEAR(static_cast<double>(result.Slope), 2.5, 1e-15);
  EXPECT_NEAR(static_cast<double>(result.RSquared), 46.875 / 76.916666666666667, 1e-15);
  EXPECT_EQ(result.NotLinear.DF, 1);
  EXPECT_NEAR(static_cast<double>(result.NotLinear.SS), 12.041666666666667, 1e-14 * 12);
  EXPECT_NEAR(static_cast<double>(result.FLinear), 46.875 / 2, 1e-13);
  EXPECT_NEAR(static_cast<double>(result.FNotLinear), 12.041666666666667 / 2, 1e-13);
}

// With two groups nothing is left beyond the line: no nonlinear test.
TEST(LinearTrend, TwoGroupsHaveNoNonlinearPart) {
  const std::vector<TColumnSummary> groups = Groups({2, 3}, {4, 4});
  const TTrendAnova anova{{1, 2, 2}, {}, {6, 6, 1}, {7, 8}};
  const TPostTestInput input{groups, 1, 6, TAnovaDesign::Ordinary, {}};
  const TLinearTrendResult result = ComputeLinearTrend(input, anova);
  EXPECT_NEAR(static_cast<double>(result.SSLinear), 2, 1e-15);
  EXPECT_EQ(result.NotLinear.DF, 0);
  EXPECT_TRUE(IsEmpty(result.FNotLinear));
  TReportText report;
  report.BeginReport();
  WriteLinearTrendReport(report, input, anova, result);
  const std::vector<std::string> lines = test::FinishedLines(report);
  EXPECT_FALSE(Contains(lines, "Is the nonlinear variation statistically significant?"));
  EXPECT_FALSE(Contains(lines, "F (nonlinear trend)"));
  EXPECT_FALSE(report.SawNonFinite());
}

}  // namespace
}  // namespace ombrel
