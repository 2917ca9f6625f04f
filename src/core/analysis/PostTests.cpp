#include "core/analysis/PostTests.h"

#include <cmath>
#include <utility>

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

TPostTestKind PostTestKindOf(std::int32_t kind) {
  if (kind < 0 || kind > static_cast<std::int32_t>(TPostTestKind::LinearTrend)) return TPostTestKind::None;
  return static_cast<TPostTestKind>(kind);
}

TPostTestResult ComputePostTest(const TPostTestInput& input, const TPostTestRequest& request, const TTrendAnova& anova,
                                TPostTestCondition mode, TReal p, bool computed) {
  TPostTestResult result;
  result.Kind = request.Kind;
  if (!computed) {
    result.Outcome = TPostTestOutcome::NotComputed;
    return result;
  }
  const bool run = mode == TPostTestCondition::Always || (mode == TPostTestCondition::IfSignificant && p <= 0.05L);
  if (!run) {
    result.Outcome =
        mode == TPostTestCondition::IfSignificant ? TPostTestOutcome::SkippedForP : TPostTestOutcome::NotRequested;
    return result;
  }
  result.Outcome = TPostTestOutcome::Ran;
  switch (request.Kind) {
    case TPostTestKind::Bonferroni:
      result.Bonferroni = ComputeBonferroni(input, request.PairSelected, request.UseSelectedPairs);
      break;
    case TPostTestKind::TukeyKramer:
      result.Range = ComputeTukeyKramer(input);
      break;
    case TPostTestKind::Dunnett:
      result.Dunnett = ComputeDunnett(input, request.ControlGroup, request.TwoTailed);
      break;
    case TPostTestKind::StudentNewmanKeuls:
      result.Range = ComputeStudentNewmanKeuls(input);
      break;
    case TPostTestKind::LinearTrend:
      result.Trend = ComputeLinearTrend(input, anova);
      break;
    case TPostTestKind::None:
      result.Outcome = TPostTestOutcome::NotRequested;
      break;
  }
  return result;
}

}  // namespace ombrel
