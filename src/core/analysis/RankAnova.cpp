#include "core/analysis/RankAnova.h"

#include <cmath>
#include <memory>

#include "core/analysis/ChooseTest.h"
#include "core/base/NumberText.h"
#include "core/report/ReportText.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr int TitleWidth = 65;

}  // namespace

bool RankPairSelected(const TPairFlags& flags, bool useSelectedPairs, int first, int second, int groups) {
  if (!useSelectedPairs) return true;
  const int index = PairIndex(first, second, groups);
  return index >= 0 && index < PairFlagCount && flags[static_cast<std::size_t>(index)] != 0;
}

std::int32_t RankPairCount(const TPairFlags& flags, bool useSelectedPairs, int groups) {
  std::int32_t count = 0;
  for (int i = 0; i < groups; ++i)
    for (int j = i + 1; j < groups; ++j)
      if (RankPairSelected(flags, useSelectedPairs, i, j, groups)) ++count;
  return count;
}

bool RankPostTestRuns(TPostTestCondition postTestMode, TReal p) {
  return postTestMode == TPostTestCondition::Always ||
         (postTestMode == TPostTestCondition::IfSignificant && p <= 0.05L);
}

TDunnCriticalValues DunnCriticalValues(std::int32_t pairs) {
  TDunnCriticalValues critical;
  if (pairs < 1) return critical;
  const TReal twice = 2 * static_cast<TReal>(pairs);
  critical.Z05 = z_for_p(0.05L / twice);
  critical.Z01 = z_for_p(0.01L / twice);
  critical.Z001 = z_for_p(0.001L / twice);
  return critical;
}

TReal DunnCodedP(TReal difference, TReal se, const TDunnCriticalValues& critical) {
  const TReal size = std::fabs(difference);
  if (size >= se * critical.Z001) return 0.001L;
  if (size >= se * critical.Z01) return 0.01L;
  if (size >= se * critical.Z05) return 0.05L;
  return 1;
}

std::vector<TRankComparison> DunnComparisons(std::span<const TReal> values, const TPairFlags& flags,
                                             bool useSelectedPairs,
                                             const std::function<TReal(int, int)>& standardError) {
  const int groups = static_cast<int>(values.size());
  const TDunnCriticalValues critical = DunnCriticalValues(RankPairCount(flags, useSelectedPairs, groups));
  std::vector<TRankComparison> comparisons;
  for (int i = 0; i < groups; ++i) {
    for (int j = i + 1; j < groups; ++j) {
      if (!RankPairSelected(flags, useSelectedPairs, i, j, groups)) continue;
      TRankComparison comparison;
      comparison.First = i;
      comparison.Second = j;
      comparison.Difference = values[static_cast<std::size_t>(i)] - values[static_cast<std::size_t>(j)];
      comparison.P = DunnCodedP(comparison.Difference, standardError(i, j), critical);
      comparisons.push_back(comparison);
    }
  }
  return comparisons;
}

namespace detail {

void WriteRankUnderlinedLine(TReportText& report, std::string_view text) {
  report.ToggleUnderline();
  report.WriteText(text);
  report.ToggleUnderline();
  report.NewLine();
}

void WriteRankTestTitle(TReportText& report, std::string_view title) {
  WriteRankUnderlinedLine(report, CenterText(title, TitleWidth));
}

void WriteRankTestVerdict(TReportText& report, TReal p, TExactStatus status, std::uint64_t arrangements,
                          std::string_view tieReason) {
  report.WritePValueSentence(0, true, p);
  report.WriteText("Variation among column medians is ");
  if (p > 0.05L) report.WriteText("not ");
  report.WriteLine("significantly greater than expected");
  report.WriteLine("by chance.");
  report.WriteLine();
  if (status == TExactStatus::Exact) {
    report.WriteLine("The P value is exactly correct (no approximations). ");
    if (arrangements < 20) {
      report.WriteLine("Regardless of what data you enter, it is impossible for this test to");
      report.WriteLine("yield P < 0.05 with so few data points.");
    }
    return;
  }
  report.WriteLine("The P value is approximate (from chi-square distribution) because");
  switch (status) {
    case TExactStatus::Cancelled:
      report.WriteLine("you interrupted the exact computations.");
      break;
    case TExactStatus::TooLong:
      report.WriteLine("exact calculations would have taken too long.");
      break;
    default:
      report.WriteLine(tieReason);
      break;
  }
}

void WriteRankCalculationDetail(TReportText& report) {
  report.WriteLine();
  WriteRankUnderlinedLine(report, "Calculation detail");
  report.WriteLine();
}

void WriteRankPostTestSkipped(TReportText& report) {
  report.ToggleBold();
  report.WriteLine("Post tests were not calculated because the P value was greater");
  report.WriteText("than 0.05.");
  report.ToggleBold();
  report.NewLine();
}

void WriteRankSummaryHeading(TReportText& report) {
  WriteRankTestTitle(report, "Summary of Data");
  report.WriteLine();
}

bool WriteDunnSection(TReportText& report, TRankDifference kind, std::int32_t pairs,
                      std::span<const TRankComparison> comparisons, std::span<const std::string> names, TReal threshold,
                      bool tiesNote) {
  // Dunn's test has no companion table, but the section keeps the layout of
  // the post tests that append one.
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return false;
  report.NewLine();
  if (pairs > 0) {
    WriteRankUnderlinedLine(report, "Dunn's Multiple Comparisons Test");
    if (!IsEmpty(threshold)) {
      report.WriteText("If the difference between rank sum means is greater than ");
      report.WriteNumber(threshold, -5);
      report.WriteLine(" then the P value");
      report.WriteLine("is less than 0.05.");
      report.WriteLine();
    }
  }
  report.WriteLine();
  WriteRankComparisonHeading(report, kind);
  for (const TRankComparison& comparison : comparisons)
    WriteRankComparisonRow(report, names[static_cast<std::size_t>(comparison.First)],
                           names[static_cast<std::size_t>(comparison.Second)], comparison.Difference, comparison.P);
  report.NewLine();
  scratch->TerminateReport();
  report.AppendReport(*scratch);
  if (tiesNote) report.WriteLine("The data contain ties, however, this post test does not correct for ties.");
  return true;
}

}  // namespace detail

}  // namespace ombrel
