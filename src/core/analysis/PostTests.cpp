#include "core/analysis/PostTests.h"

#include <cmath>
#include <memory>
#include <string>

#include "core/analysis/AnalysisFrame.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/CriticalTables.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

// The groups that take part: those with N > 0, in their order.
std::vector<std::size_t> TakingPart(const TPostTestInput& input) {
  std::vector<std::size_t> groups;
  for (std::size_t i = 0; i < input.Groups.size(); ++i) {
    if (input.Groups[i].N > 0) groups.push_back(i);
  }
  return groups;
}

TReal Mean(const TPostTestInput& input, std::size_t group) { return input.Groups[group].Mean; }
TReal Count(const TPostTestInput& input, std::size_t group) { return static_cast<TReal>(input.Groups[group].N); }
const std::string& Name(const TPostTestInput& input, std::size_t group) { return input.Groups[group].Title; }

// The level a range statistic reaches: 0.001, 0.01 or 0.05 when it exceeds
// that level's critical value, else 1.
TReal CodedP(TReal statistic, TReal critical001, TReal critical01, TReal critical05) {
  if (statistic > critical001) return 0.001L;
  if (statistic > critical01) return 0.01L;
  if (statistic > critical05) return 0.05L;
  return 1;
}

// The three critical values of the Studentized range for `means` means.
struct TRangeCriticals {
  TReal Q05 = EmptyValue;
  TReal Q01 = EmptyValue;
  TReal Q001 = EmptyValue;
  bool BeyondTable = false;
};

TRangeCriticals RangeCriticals(std::int32_t df, std::int32_t means) {
  const TCriticalValue q05 = CriticalQ(df, means, TCriticalLevel::Five);
  const TCriticalValue q01 = CriticalQ(df, means, TCriticalLevel::One);
  const TCriticalValue q001 = CriticalQ(df, means, TCriticalLevel::PointOne);
  return {q05.Value, q01.Value, q001.Value, q05.BeyondTable};
}

// Standard error of a range statistic: sqrt(MS/2 (1/N(i) + 1/N(j))).
TReal RangeStandardError(const TPostTestInput& input, std::size_t first, std::size_t second) {
  return std::sqrt(input.MSResidual / 2 * (1 / Count(input, first) + 1 / Count(input, second)));
}

std::int32_t Int32(std::size_t value) { return static_cast<std::int32_t>(value); }

// ---------------------------------------------------------------------------
// Report pieces

void WriteBoldLine(TReportText& report, std::string_view text) {
  report.ToggleBold();
  report.WriteText(text);
  report.ToggleBold();
  report.NewLine();
}

// "If the value of <statistic> is greater than <critical> then the P value
// is less" / "than 0.05."
void WriteCriticalSentence(TReportText& report, std::string_view statistic, TReal critical) {
  report.WriteText("If the value of ");
  report.WriteText(statistic);
  report.WriteText(" is greater than ");
  report.WriteNumber(critical, -5);
  report.WriteText(" then the P value is less");
  report.NewLine();
  report.WriteLine("than 0.05.");
}

// Said when a table lookup had to stop at its last column: the critical
// values used are those of fewer means or groups, so too small.
void WriteBeyondTableNote(TReportText& report, std::int32_t last, std::string_view what) {
  const std::string count = std::to_string(last);
  report.WriteLine("Note: The table of critical values ends at " + count + " " + std::string(what) + ". The values");
  report.WriteLine("for " + count + " " + std::string(what) + " were used, so the P values are too small.");
}

std::string_view NotWhen(bool condition) { return condition ? "not " : ""; }

// The scratch report of a section's companion table, appended after its
// main table.
void AppendScratch(TReportText& report, TReportText& scratch) {
  scratch.TerminateReport();
  report.AppendReport(scratch);
}

}  // namespace

// ---------------------------------------------------------------------------
// Computations

TBonferroniResult ComputeBonferroni(const TPostTestInput& input, std::span<const std::uint8_t> pairSelected,
                                    bool useSelectedPairs) {
  TBonferroniResult result;
  const std::vector<std::size_t> groups = TakingPart(input);
  std::size_t pair = 0;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    for (std::size_t j = i + 1; j < groups.size(); ++j, ++pair) {
      const bool selected = !useSelectedPairs || (pair < pairSelected.size() && pairSelected[pair] != 0);
      if (selected) result.Pairs.push_back({groups[i], groups[j]});
    }
  }
  result.Comparisons = Int32(result.Pairs.size());
  if (result.Comparisons == 0) return result;

  const std::int32_t df = input.DFResidual;
  result.CriticalT = t_for_p(df, 0.05L / (2 * result.Comparisons));
  for (TPairComparison& pairResult : result.Pairs) {
    const std::size_t i = pairResult.First;
    const std::size_t j = pairResult.Second;
    const TReal se = input.Design == TAnovaDesign::Ordinary
                         ? std::sqrt(input.MSResidual / Count(input, i) + input.MSResidual / Count(input, j))
                         : std::sqrt(2 * input.MSResidual / Count(input, i));
    pairResult.Difference = Mean(input, i) - Mean(input, j);
    pairResult.Statistic = std::fabs(pairResult.Difference) / se;
    pairResult.P = result.Comparisons * p_value_t(df, pairResult.Statistic);
    pairResult.Lower = pairResult.Difference - result.CriticalT * se;
    pairResult.Upper = pairResult.Difference + result.CriticalT * se;
  }
  return result;
}

TRangeTestResult ComputeTukeyKramer(const TPostTestInput& input) {
  TRangeTestResult result;
  const std::vector<std::size_t> groups = TakingPart(input);
  const TRangeCriticals critical = RangeCriticals(input.DFResidual, Int32(groups.size()));
  result.CriticalQ = critical.Q05;
  result.BeyondTable = critical.BeyondTable;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    for (std::size_t j = i + 1; j < groups.size(); ++j) {
      TPairComparison pair{groups[i], groups[j]};
      const TReal se = RangeStandardError(input, pair.First, pair.Second);
      pair.Difference = Mean(input, pair.First) - Mean(input, pair.Second);
      pair.Statistic = std::fabs(pair.Difference) / se;
      pair.P = CodedP(pair.Statistic, critical.Q001, critical.Q01, critical.Q05);
      pair.Lower = pair.Difference - critical.Q05 * se;
      pair.Upper = pair.Difference + critical.Q05 * se;
      result.Pairs.push_back(pair);
    }
  }
  return result;
}

TRangeTestResult ComputeStudentNewmanKeuls(const TPostTestInput& input) {
  TRangeTestResult result;
  std::vector<std::size_t> order = TakingPart(input);
  // Exchange sort of neighbours, swapping only a strictly larger first mean,
  // so that equal means keep their column order.
  for (std::size_t pass = 0; pass + 1 < order.size(); ++pass) {
    for (std::size_t i = 0; i + 1 < order.size() - pass; ++i) {
      if (Mean(input, order[i]) > Mean(input, order[i + 1])) std::swap(order[i], order[i + 1]);
    }
  }
  // A range found not significant hides every range inside it: after the
  // pair (i, j) fails, pairs ending at or below j are not tested.
  std::size_t boundary = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    for (std::size_t j = order.size() - 1; j > i; --j) {
      TPairComparison pair{order[i], order[j]};
      pair.Difference = Mean(input, pair.First) - Mean(input, pair.Second);
      if (j > boundary) {
        const TRangeCriticals critical = RangeCriticals(input.DFResidual, Int32(j - i + 1));
        result.BeyondTable = result.BeyondTable || critical.BeyondTable;
        pair.Statistic = std::fabs(pair.Difference) / RangeStandardError(input, pair.First, pair.Second);
        pair.P = CodedP(pair.Statistic, critical.Q001, critical.Q01, critical.Q05);
        if (pair.P > 0.05L) boundary = j;
      }
      result.Pairs.push_back(pair);
    }
  }
  return result;
}

TDunnettResult ComputeDunnett(const TPostTestInput& input, std::size_t controlGroup, bool twoTailed) {
  TDunnettResult result;
  const std::vector<std::size_t> groups = TakingPart(input);
  result.Groups = Int32(groups.size());
  // A control that takes no part falls back to the first group.
  const bool controlTakesPart = controlGroup < input.Groups.size() && input.Groups[controlGroup].N > 0;
  result.Control = controlTakesPart || groups.empty() ? controlGroup : groups.front();
  result.TooFewDF = input.DFResidual <= 4;
  if (result.TooFewDF || groups.empty()) return result;

  const TCriticalValue five = CriticalDunnett(input.DFResidual, result.Groups, twoTailed, TCriticalLevel::Five);
  const TCriticalValue one = CriticalDunnett(input.DFResidual, result.Groups, twoTailed, TCriticalLevel::One);
  result.Critical5 = five.Value;
  result.Critical1 = one.Value;
  result.BeyondTable = five.BeyondTable;
  result.LastTabulated = twoTailed ? DunnettTwoTailedGroups.back() : DunnettOneTailedGroups.back();
  const std::size_t control = result.Control;
  for (const std::size_t group : groups) {
    if (group == control) continue;
    TPairComparison pair{control, group};
    const TReal se = std::sqrt(input.MSResidual * (1 / Count(input, control) + 1 / Count(input, group)));
    pair.Difference = Mean(input, control) - Mean(input, group);
    pair.Statistic = std::fabs(pair.Difference) / se;
    pair.P = pair.Statistic > result.Critical1 ? 0.01L : pair.Statistic > result.Critical5 ? 0.05L : 1;
    pair.Lower = pair.Difference - result.Critical5 * se;
    pair.Upper = pair.Difference + result.Critical5 * se;
    result.Pairs.push_back(pair);
  }
  return result;
}

TLinearTrendResult ComputeLinearTrend(const TPostTestInput& input, const TTrendAnova& anova) {
  TLinearTrendResult result;
  const std::vector<std::size_t> groups = TakingPart(input);
  const TReal centre = (static_cast<TReal>(groups.size()) + 1) / 2;
  TReal contrast = 0;
  TReal weightsOverN = 0;
  TReal weights = 0;
  for (std::size_t t = 0; t < groups.size(); ++t) {
    const TReal w = static_cast<TReal>(t + 1) - centre;
    contrast += w * Mean(input, groups[t]);
    weightsOverN += w * w / Count(input, groups[t]);
    weights += w * w;
  }
  if (weights == 0) return result;

  result.SSLinear = contrast * contrast / weightsOverN;
  result.Slope = contrast / weights;
  result.RSquared = anova.Total.SS != 0 ? result.SSLinear / anova.Total.SS : EmptyValue;
  result.FLinear = result.SSLinear / input.MSResidual;
  result.PLinear = p_value_f(1, input.DFResidual, result.FLinear);

  result.NotLinear.DF = anova.Between.DF - 1;
  TReal rest = anova.Between.SS - result.SSLinear;
  // What is left of the variation between columns after the line differs
  // from zero only by rounding when the means lie on a line.
  if (rest < 0 || std::fabs(rest) <= 1e-12L * anova.Between.SS) rest = 0;
  result.NotLinear.SS = rest;
  if (result.NotLinear.DF > 0) {
    result.NotLinear.MS = rest / result.NotLinear.DF;
    result.FNotLinear = result.NotLinear.MS / input.MSResidual;
    result.PNotLinear = p_value_f(result.NotLinear.DF, input.DFResidual, result.FNotLinear);
  }
  return result;
}

// ---------------------------------------------------------------------------
// Reports

namespace {

// The comparison table of every pair, with its companion table of
// differences and intervals written to the scratch report and appended.
void WritePairComparisons(TReportText& report, TReportText& scratch, const TPostTestInput& input,
                          const std::vector<TPairComparison>& pairs, TComparisonStatistic statistic) {
  WriteComparisonHeading(report, statistic);
  WriteDifferenceIntervalHeading(scratch);
  for (const TPairComparison& pair : pairs) {
    const std::string& first = Name(input, pair.First);
    const std::string& second = Name(input, pair.Second);
    WriteComparisonRow(report, first, second, pair.Difference, pair.Statistic, pair.P);
    WriteDifferenceIntervalRow(scratch, first, second, pair.Difference, pair.Lower, pair.Upper);
  }
  report.NewLine();
  AppendScratch(report, scratch);
  report.NewLine();
}

}  // namespace

TStatusCode WriteBonferroniReport(TReportText& report, const TPostTestInput& input, const TBonferroniResult& result) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteUnderlinedLine(report, "Bonferroni Multiple Comparisons Test");
  if (result.Comparisons > 0) WriteCriticalSentence(report, "t", result.CriticalT);
  report.WriteLine();
  report.WriteLine();
  WritePairComparisons(report, *scratch, input, result.Pairs, TComparisonStatistic::T);
  if (result.Comparisons >= 9) {
    WriteBoldLine(report, "Warning: With so many comparisons, the Bonferroni method");
    WriteBoldLine(report, "is said to be too conservative.  This means that the P");
    WriteBoldLine(report, "values are too high.  You should consider using a different");
    WriteBoldLine(report, "post-test.");
  }
  return TStatusCode::Ok;
}

TStatusCode WriteTukeyKramerReport(TReportText& report, const TPostTestInput& input, const TRangeTestResult& result) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteUnderlinedLine(report, "Tukey-Kramer Multiple Comparisons Test");
  WriteCriticalSentence(report, "q", result.CriticalQ);
  if (result.BeyondTable) WriteBeyondTableNote(report, RangeTableMeans.back(), "means");
  report.WriteLine();
  report.WriteLine();
  WritePairComparisons(report, *scratch, input, result.Pairs, TComparisonStatistic::Q);
  return TStatusCode::Ok;
}

TStatusCode WriteStudentNewmanKeulsReport(TReportText& report, const TPostTestInput& input,
                                          const TRangeTestResult& result) {
  // No intervals: the scratch report stays empty but keeps the section's
  // layout.
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteUnderlinedLine(report, "Student-Newman-Keuls Multiple Comparisons Test");
  report.WriteLine();
  if (result.BeyondTable) {
    WriteBeyondTableNote(report, RangeTableMeans.back(), "means");
    report.WriteLine();
  }
  WriteSnkHeading(report);
  for (const TPairComparison& pair : result.Pairs) {
    WriteSnkRow(report, Name(input, pair.First), Name(input, pair.Second), pair.Difference, pair.Statistic, pair.P);
  }
  report.WriteLine();
  report.WriteLine("With Student-Newman-Keuls test, it is impossible to calculate confidence");
  report.WriteLine("intervals.");
  report.NewLine();
  AppendScratch(report, *scratch);
  report.NewLine();
  return TStatusCode::Ok;
}

TStatusCode WriteDunnettReport(TReportText& report, const TPostTestInput& input, const TDunnettResult& result) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  WriteUnderlinedLine(report, "Dunnett Multiple Comparisons Test");
  if (result.TooFewDF) {
    report.WriteText("Too few data points. DF must exceed 5. ");
  } else {
    report.WriteLine("Control column: " + Name(input, result.Control));
    WriteCriticalSentence(report, "q", result.Critical5);
    if (result.BeyondTable) WriteBeyondTableNote(report, result.LastTabulated, "groups");
    report.NewLine();
    report.NewLine();
    WriteControlComparisonHeading(report, TQColumn::Shown);
    WriteControlIntervalHeading(*scratch);
    for (const TPairComparison& pair : result.Pairs) {
      const std::string& control = Name(input, pair.First);
      const std::string& group = Name(input, pair.Second);
      WriteControlComparisonRow(report, TQColumn::Shown, control, group, pair.Difference, pair.Statistic, pair.P);
      WriteControlIntervalRow(*scratch, control, group, pair.Difference, pair.Lower, pair.Upper);
    }
  }
  report.NewLine();
  AppendScratch(report, *scratch);
  return TStatusCode::Ok;
}

void WriteLinearTrendReport(TReportText& report, const TPostTestInput& input, const TTrendAnova& anova,
                            const TLinearTrendResult& result) {
  WriteUnderlinedLine(report, "Test for linear trend between column means and column number");
  report.WriteLine();
  report.WriteText("Slope = ");
  report.WriteNumber(result.Slope, -5);
  report.WriteText("    r squared = ");
  report.WriteNumber(result.RSquared, 4);
  report.NewLine();
  report.WriteLine();
  WriteBoldLine(report, "Is the linear trend statistically significant?");
  report.WritePValueSentence(0, true, result.PLinear);
  report.WriteLine("There is " + std::string(NotWhen(result.PLinear > 0.05L)) + "a significant linear trend.");
  report.WriteLine();
  const bool nonlinearTested = result.NotLinear.DF > 0;
  if (nonlinearTested) {
    WriteBoldLine(report, "Is the nonlinear variation statistically significant?");
    report.WritePValueSentence(0, true, result.PNotLinear);
    report.WriteLine("After accounting for the linear trend, the remaining variation among");
    report.WriteLine("column means is " + std::string(NotWhen(result.PNotLinear > 0.05L)) + "significant.");
  }
  report.WriteLine();
  report.WriteLine();
  report.WriteLine("This result was obtained from dividing variation among columns into");
  report.WriteLine("linear and nonlinear components:");
  report.WriteLine();
  if (input.Design == TAnovaDesign::Ordinary) {
    WriteOneWayTrendAnovaTable(report, result.SSLinear, result.NotLinear, anova.Residual, anova.Total);
  } else {
    WriteRepeatedMeasuresTrendAnovaTable(report, result.SSLinear, result.NotLinear, anova.Individual, anova.Residual,
                                         anova.Total);
  }
  report.WriteLine();
  report.WriteText("F (linear trend) = ");
  report.WriteNumber(result.FLinear, 4);
  report.WriteText("    =MSlinear/MSresidual");
  report.NewLine();
  if (nonlinearTested) {
    report.WriteLine();
    report.WriteText("F (nonlinear trend) = ");
    report.WriteNumber(result.FNotLinear, 4);
    report.WriteText("   =MSnonlinear/MSresidual");
    report.NewLine();
  }
}

TStatusCode RunPostTest(TReportText& report, const TPostTestInput& input, const TPostTestRequest& request,
                        const TTrendAnova& anova) {
  switch (request.Kind) {
    case BonferroniKind:
      return WriteBonferroniReport(report, input,
                                   ComputeBonferroni(input, request.PairSelected, request.UseSelectedPairs));
    case TukeyKramerKind:
      return WriteTukeyKramerReport(report, input, ComputeTukeyKramer(input));
    case DunnettKind:
      return WriteDunnettReport(report, input, ComputeDunnett(input, request.ControlGroup, request.TwoTailed));
    case StudentNewmanKeulsKind:
      return WriteStudentNewmanKeulsReport(report, input, ComputeStudentNewmanKeuls(input));
    case LinearTrendKind:
      WriteLinearTrendReport(report, input, anova, ComputeLinearTrend(input, anova));
      return TStatusCode::Ok;
    default:
      return TStatusCode::Ok;
  }
}

}  // namespace ombrel
