#include "core/analysis/Nonparametric.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/CalcProgress.h"
#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/ColumnStats.h"
#include "core/stats/PValue.h"

namespace ombrel {
namespace {

constexpr int Digits = -5;

// The exact signed-rank count is tried below this many ranks.
constexpr std::int32_t MaxExactSignedRanks = 30;

// Help topics of the three reports.
constexpr std::int32_t OneColumnHelpTopic = 662;
constexpr std::int32_t MatchedPairsHelpTopic = 658;
constexpr std::int32_t MannWhitneyHelpTopic = 114;

// Fewer arrangements than these cannot reach P < 0.05 in one or two tails.
constexpr std::uint64_t FewOneTailed = 20;
constexpr std::uint64_t FewTwoTailed = 40;

// A two-tailed P is twice the one-tailed one; when that passes 1 the sentence
// reads "> 0.9999" either way, but no P above 1 is handed on.
TReal TailedP(TReal oneTailed, bool twoTailed) { return twoTailed ? std::min<TReal>(1, 2 * oneTailed) : oneTailed; }

// Average ranks (1-based) of values, equal values sharing the mean of the
// ranks they span; adds (t^3 - t)/12 of each tie group of size t to `ties`.
std::vector<TReal> AverageRanks(std::span<const TReal> values, TReal& ties) {
  std::vector<std::size_t> order(values.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&values](std::size_t i, std::size_t j) { return values[i] < values[j]; });
  std::vector<TReal> ranks(values.size(), 0);
  std::size_t start = 0;
  while (start < order.size()) {
    std::size_t end = start + 1;
    while (end < order.size() && values[order[end]] == values[order[start]]) ++end;
    const auto t = static_cast<TReal>(end - start);
    const TReal rank = static_cast<TReal>(start + end + 1) / 2;
    for (std::size_t k = start; k < end; ++k) ranks[order[k]] = rank;
    if (end - start >= 2) ties += (t * t * t - t) / 12;
    start = end;
  }
  return ranks;
}

// Computes a column's statistics into the table and keeps the caller's
// record (normally the same one) in step with it.
void FillSummary(TDataTable& table, int column, TColumnSummary& summary) {
  ComputeRawColumnStatistics(table, column);
  const TColumnSummary& stored = table.Summary(table.MapColumn(column));
  if (&stored == &summary) return;
  std::string title = summary.Title;
  summary = stored;
  summary.Title = std::move(title);
}

// ---------------------------------------------------------------------------
// Report pieces

void WriteNumberLine(TReportText& report, std::string_view label, TReal value) {
  report.WriteText(label);
  report.WriteNumber(value, Digits);
  report.NewLine();
}

void WriteFewDataLines(TReportText& report, std::string_view what) {
  report.WriteLine("Regardless of what data you enter, it is impossible for this test to");
  report.WriteLine(std::string("yield P < 0.05 with so few ") + std::string(what) + ".");
}

bool TooFewToBeSignificant(TExactStatus status, std::uint64_t arrangements, bool twoTailed) {
  return status == TExactStatus::Exact && arrangements < (twoTailed ? FewTwoTailed : FewOneTailed);
}

void WriteSignedRankDetails(TReportText& report, const TSignedRankResult& ranks, bool tiesRemark) {
  WriteUnderlinedLine(report, "Calculation details");
  report.WriteText("Sum of all signed ranks (W) = ");
  report.WriteNumber(ranks.W, Digits);
  if (tiesRemark && ranks.Ties) report.WriteText(" (corrected for ties)");
  report.NewLine();
  WriteNumberLine(report, "Sum of positive ranks (T+) = ", ranks.TPlus);
  WriteNumberLine(report, "Sum of negative ranks (T-) = ", ranks.TMinus);
  report.WriteText("Number of pairs = ");
  report.WriteInteger(ranks.N);
  report.NewLine();
}

constexpr std::string_view ApproximateRemark = "(The P value is an estimate based on a normal approximation.)";

}  // namespace

// ---------------------------------------------------------------------------
// Signed-rank test

TSignedRankResult RankSignedDifferences(std::span<const TReal> values, TReal median) {
  struct TDifference {
    TReal Size;
    bool Negative;
  };
  TSignedRankResult result;
  std::vector<TDifference> differences;
  for (const TReal value : values) {
    if (IsEmpty(value)) continue;
    const TReal d = value - median;
    if (d == 0) {
      ++result.Zeros;
    } else {
      differences.push_back({std::fabs(d), d < 0});
    }
  }
  // Ascending |d|, each group of equal sizes taking the next ranks; the
  // order of the groups is that of the ranking passes.
  std::sort(differences.begin(), differences.end(),
            [](const TDifference& a, const TDifference& b) { return a.Size < b.Size; });
  std::int32_t counter = 0;
  std::size_t start = 0;
  while (start < differences.size()) {
    std::size_t end = start;
    std::int32_t negatives = 0;
    while (end < differences.size() && differences[end].Size == differences[start].Size) {
      if (differences[end].Negative) ++negatives;
      ++end;
    }
    const auto t = static_cast<std::int32_t>(end - start);
    const TReal rankSum = static_cast<TReal>(t) * counter + static_cast<TReal>(t) * (t + 1) / 2;
    counter += t;
    if (negatives >= 1) result.TMinus -= rankSum * negatives / t;
    if (t >= 2) {
      result.Ties = true;
      result.TieTerm += power(t, 3) - t;
    }
    start = end;
  }
  result.N = counter;
  const TReal n = counter;
  result.TPlus = n * (n + 1) / 2 + result.TMinus;
  result.W = result.TPlus + result.TMinus;
  return result;
}

TSignedRankResult signed_rank_test(const TDataTable& table, int column, TReal median, bool twoTailed,
                                   TCalcProgress& progress) {
  const std::vector<TReal> values = ColumnValues(table, column);
  TSignedRankResult result = RankSignedDifferences(values, median);
  const TReal n = result.N;
  if (result.N > 0) {
    const TReal z = (std::fabs(result.TPlus - n * (n + 1) / 4) - 0.5L) /
                    std::sqrt((n * (n + 1) * (2 * n + 1) - result.TieTerm / 2) / 24);
    result.ApproximateP = p_value_z(z) / 2;
  } else {
    result.ApproximateP = 1;  // no ranks, no evidence either way
  }
  result.Status = result.N < MaxExactSignedRanks ? TExactStatus::Exact : TExactStatus::TooLong;
  progress.StartExactProgress(TailedP(result.ApproximateP, twoTailed));
  if (result.Status == TExactStatus::Exact) {
    const TReal threshold = std::max(result.TPlus, -result.TMinus);
    const TExactCount count = CountSignedRankPatterns(result.N, threshold, ExactProgressReport(progress));
    result.Status = count.Status;
    if (count.Status == TExactStatus::Exact) {
      result.Arrangements = count.Total;
      result.OneTailedP = static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total);
    }
  }
  progress.EndExactProgress();
  if (result.Status != TExactStatus::Exact) result.OneTailedP = result.ApproximateP;
  return result;
}

// ---------------------------------------------------------------------------
// Mann-Whitney test

TMannWhitneyResult CountMannWhitneyU(std::span<const TReal> a, std::span<const TReal> b) {
  TMannWhitneyResult result;
  TReal u = 0;
  for (const TReal x : a) {
    if (IsEmpty(x)) continue;
    ++result.NA;
    // Only ties between this A value and B values enter the tie term.
    TReal t = 1;
    for (const TReal y : b) {
      if (IsEmpty(y)) continue;
      if (y > x) {
        u += 1;
      } else if (y == x) {
        u += 0.5L;
        t += 1;
      }
    }
    if (t >= 2) result.TieTerm += (t - 1) * t * (t + 1) / t;
  }
  for (const TReal y : b)
    if (!IsEmpty(y)) ++result.NB;
  const TReal na = result.NA;
  const TReal nb = result.NB;
  result.RankSumA = na * (na + 1) / 2 + na * nb - u;
  if (na * nb / 2 < u) u = na * nb - u;
  result.U = u;
  result.UPrime = na * nb - u;
  const TReal total = na + nb;
  result.RankSumB = total * (total + 1) / 2 - result.RankSumA;
  return result;
}

TMannWhitneyResult mann_whitney_test(const TDataTable& table, int columnA, int columnB, bool twoTailed,
                                     TCalcProgress& progress) {
  const std::vector<TReal> a = ColumnValues(table, columnA);
  const std::vector<TReal> b = ColumnValues(table, columnB);
  TMannWhitneyResult result = CountMannWhitneyU(a, b);
  const std::int32_t smaller = std::min(result.NA, result.NB);
  const std::int32_t larger = std::max(result.NA, result.NB);
  const std::int32_t all = result.NA + result.NB;
  const TReal n = smaller;
  const TReal nPrime = larger;
  const TReal big = all;
  if (smaller > 0) {
    const TReal z = (std::fabs(result.U - nPrime * n / 2) - 0.5L) /
                    std::sqrt((big * big * big - big - result.TieTerm) / 12 * n * nPrime / (big * big - big));
    result.ApproximateP = p_value_z(z) / 2;
  } else {
    result.ApproximateP = 1;  // an empty group: nothing to compare
  }
  progress.StartExactProgress(TailedP(result.ApproximateP, twoTailed));
  result.Arrangements = count_combinations(all, larger);
  result.Status = TExactStatus::TooLong;
  if (result.Arrangements < MaxRankSumArrangements) {
    const TReal threshold = result.U + nPrime * (nPrime + 1) / 2;
    const TExactCount count = CountRankSumSets(all, larger, threshold, ExactProgressReport(progress));
    result.Status = count.Status;
    if (count.Status == TExactStatus::Exact) {
      result.OneTailedP =
          count.Total == 0 ? TReal{1} : static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total);
    }
  }
  progress.EndExactProgress();
  if (result.Status != TExactStatus::Exact) result.OneTailedP = result.ApproximateP;
  return result;
}

// ---------------------------------------------------------------------------
// Spearman pairing check

TPairingCorrelation SpearmanPairs(std::span<const TReal> x, std::span<const TReal> y) {
  TPairingCorrelation result;
  const std::size_t pairs = std::min(x.size(), y.size());
  result.N = static_cast<std::int32_t>(pairs);
  if (pairs == 0) {
    result.StatusCode = TStatusCode::NoCorrelationData;
    return result;
  }
  TReal tx = 0;
  TReal ty = 0;
  const std::vector<TReal> rx = AverageRanks(x.first(pairs), tx);
  const std::vector<TReal> ry = AverageRanks(y.first(pairs), ty);
  TReal d = 0;
  for (std::size_t i = 0; i < pairs; ++i) d += (ry[i] - rx[i]) * (ry[i] - rx[i]);
  const TReal n = result.N;
  const TReal s = (n * n * n - n) / 6;
  if (s - 2 * tx == 0) {
    result.StatusCode = TStatusCode::OneXValue;
    return result;
  }
  if (s - 2 * ty == 0) {
    result.StatusCode = TStatusCode::OneYValue;
    return result;
  }
  // Rounding can carry a perfect correlation just past 1.
  result.R = std::clamp<TReal>((s - d - tx - ty) / std::sqrt((s - 2 * tx) * (s - 2 * ty)), -1, 1);
  result.Ties = tx > 0 || ty > 0;
  if (result.N <= MaxSpearmanCount) {
    const TExactCount count = CountSpearmanPermutations(result.N, SpearmanThreshold(result.N, result.R));
    result.Status = count.Status;
    result.TwoTailedP = 2 * static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total);
  } else {
    result.Status = TExactStatus::TooLong;
    // A perfect correlation leaves t infinite: its P is 0.
    if (std::fabs(result.R) == 1) {
      result.TwoTailedP = 0;
    } else {
      const TReal t = result.R * std::sqrt((n - 2) / (1 - result.R * result.R));
      result.TwoTailedP = p_value_t(result.N - 2, t);
    }
  }
  return result;
}

// ---------------------------------------------------------------------------
// Reports

TStatusCode RunWilcoxonOneColumn(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                                 bool twoTailed, TReal hypotheticalMedian, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  FillSummary(table, column, summary);
  // A single value also has an SEM of 0; the message names the real cause.
  if (summary.N < 2) {
    table.StatusCode = TStatusCode::SingleValue;
  } else if (summary.SEM == 0) {
    table.StatusCode = TStatusCode::SDZero;
  }
  if (table.StatusCode != TStatusCode::Ok) return table.StatusCode;

  const TSignedRankResult ranks = signed_rank_test(table, column, hypotheticalMedian, twoTailed, progress);

  report.HelpTopic = OneColumnHelpTopic;
  report.WriteLine();
  WriteCenteredTitle(report, "Wilcoxon signed rank test");
  report.WriteText("Does the median of ");
  report.WriteText(summary.Title);
  report.WriteText(" differ significantly from ");
  report.WriteNumber(hypotheticalMedian, Digits);
  report.WriteLine("? ");
  report.WriteLine();
  report.WritePValueSentence(twoTailed ? 2 : 1, true, TailedP(ranks.OneTailedP, twoTailed));
  report.WriteLine();
  if (ranks.Status != TExactStatus::Exact) {
    report.WriteLine(ApproximateRemark);
  } else if (ranks.Ties) {
    report.WriteLine("(P value may be inaccurate because of ties.)");
  }
  report.WriteLine();
  if (TooFewToBeSignificant(ranks.Status, ranks.Arrangements, twoTailed)) WriteFewDataLines(report, "data points");
  report.WriteLine();
  WriteSignedRankDetails(report, ranks, true);
  if (ranks.Zeros > 0) {
    report.WriteText("Note: ");
    report.WriteInteger(ranks.Zeros);
    report.WriteText(" zero value");
    report.WriteLine(ranks.Zeros == 1 ? " was excluded from calculations." : "s were excluded from calculations.");
  }
  WriteCenteredTitle(report, "Summary of Data");
  report.WriteLine();
  WriteColumnSummaryTable(report, summary);
  return table.StatusCode;
}

TStatusCode RunWilcoxonMatchedPairs(TDataTable& table, int firstColumn, int secondColumn, TReportText& report,
                                    bool twoTailed, TColumnSummary& secondSummary, TColumnSummary& firstSummary,
                                    TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  FillSummary(table, firstColumn, firstSummary);
  FillSummary(table, secondColumn, secondSummary);
  if (firstSummary.N < 2 || secondSummary.N < 2) {
    table.StatusCode = TStatusCode::SingleValue;
  } else if (firstSummary.SEM == 0 || secondSummary.SEM == 0) {
    table.StatusCode = TStatusCode::SDZero;
  }
  if (table.StatusCode != TStatusCode::Ok) return table.StatusCode;

  table.ClearScratchColumn();
  std::vector<TReal> firstOfPair;
  std::vector<TReal> secondOfPair;
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal a = table.GetAnalysisValue(row, firstColumn);
    const TReal b = table.GetAnalysisValue(row, secondColumn);
    if (IsEmpty(a) || IsEmpty(b)) continue;
    table.SetAnalysisValue(row, ScratchColumn, a - b);
    firstOfPair.push_back(a);
    secondOfPair.push_back(b);
  }
  TColumnSummary differences = ComputeRawSummary(table, ScratchColumn);
  differences.Title = "Difference";
  if (differences.N < 2) {
    table.StatusCode = TStatusCode::SinglePair;
  } else if (differences.SD == 0) {
    table.StatusCode = TStatusCode::SameDifferences;
  }
  if (table.StatusCode != TStatusCode::Ok) return table.StatusCode;

  const TSignedRankResult ranks = signed_rank_test(table, ScratchColumn, 0, twoTailed, progress);
  const TPairingCorrelation pairing = SpearmanPairs(firstOfPair, secondOfPair);
  if (pairing.StatusCode != TStatusCode::Ok) {
    table.StatusCode = pairing.StatusCode;
    return table.StatusCode;
  }

  report.HelpTopic = MatchedPairsHelpTopic;
  WriteCenteredTitle(report, "Wilcoxon matched-pairs signed-ranks test");
  report.WriteText("Does the median of the differences between ");
  report.WriteText(firstSummary.Title);
  report.WriteText(" and ");
  report.WriteText(secondSummary.Title);
  report.NewLine();
  report.WriteLine(" differ significantly from zero?");
  report.WriteLine();
  report.WritePValueSentence(twoTailed ? 2 : 1, true, TailedP(ranks.OneTailedP, twoTailed));
  if (ranks.Status != TExactStatus::Exact) report.WriteLine(ApproximateRemark);
  report.WriteLine();
  if (TooFewToBeSignificant(ranks.Status, ranks.Arrangements, twoTailed)) {
    WriteFewDataLines(report, "data pairs");
    report.WriteLine();
  }
  report.WriteLine();
  WriteSignedRankDetails(report, ranks, false);
  if (ranks.Zeros > 0) {
    report.WriteText("Note: ");
    report.WriteInteger(ranks.Zeros);
    report.WriteText(" pair");
    report.WriteLine(ranks.Zeros == 1 ? " was excluded from calculations because both"
                                      : "s were excluded from calculations because both ");
    report.WriteLine("values were equal.");
  }
  report.WriteLine();
  WriteUnderlinedLine(report, "Assumption test: Was the pairing effective?");
  WriteNumberLine(report, "Nonparametric Spearman correlation coefficient (r) = ", pairing.R);
  if (pairing.R < 0) {
    report.WriteLine("The negative correlation coefficient indicates that the pairing or");
    report.WriteLine("matching was NOT effective.");
  } else {
    const TReal oneTailed = pairing.TwoTailedP / 2;
    report.WritePValueSentence(1, true, oneTailed);
    report.WriteLine("Effective pairing results in a significant correlation between the");
    report.WriteText("columns.  With these data, the pairing (or matching) appears ");
    report.WriteLine(oneTailed <= 0.05L ? "to be effective."
                                        : "not to be effective.  The unpaired test may be more appropriate.");
  }
  report.WriteLine();
  WriteCenteredTitle(report, "Summary of Data");
  report.WriteLine();
  WriteColumnSummaryTable(report, firstSummary, secondSummary, differences);
  return table.StatusCode;
}

TStatusCode RunMannWhitney(TDataTable& table, int firstColumn, int secondColumn, TReportText& report, bool twoTailed,
                           TColumnSummary& secondSummary, TColumnSummary& firstSummary, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  FillSummary(table, firstColumn, firstSummary);
  FillSummary(table, secondColumn, secondSummary);
  if (firstSummary.N < 2 || secondSummary.N < 2) {
    table.StatusCode = TStatusCode::SingleValue;
  } else if (firstSummary.SEM == 0 || secondSummary.SEM == 0) {
    table.StatusCode = TStatusCode::SDZero;
  }
  if (table.StatusCode != TStatusCode::Ok) return table.StatusCode;

  const TMannWhitneyResult test = mann_whitney_test(table, firstColumn, secondColumn, twoTailed, progress);

  report.HelpTopic = MannWhitneyHelpTopic;
  report.WriteLine();
  WriteCenteredTitle(report, "Mann-Whitney Test");
  report.WriteText("Do the medians of ");
  report.WriteText(firstSummary.Title);
  report.WriteText(" and ");
  report.WriteText(secondSummary.Title);
  report.WriteLine(" differ significantly?");
  report.WriteLine();
  report.WritePValueSentence(twoTailed ? 2 : 1, true, TailedP(test.OneTailedP, twoTailed));
  report.WriteLine(test.Status == TExactStatus::Exact ? std::string_view("(The P value is exact.)")
                                                      : ApproximateRemark);
  report.WriteLine();
  if (TooFewToBeSignificant(test.Status, static_cast<std::uint64_t>(test.Arrangements), twoTailed))
    WriteFewDataLines(report, "data points");
  report.WriteLine();
  WriteUnderlinedLine(report, "Calculation details");
  WriteNumberLine(report, "Mann-Whitney U-statistic = ", test.U);
  WriteNumberLine(report, "U' = ", test.UPrime);
  report.WriteText("Sum of ranks in ");
  report.WriteText(firstSummary.Title);
  report.WriteText(" = ");
  report.WriteNumber(test.RankSumA, Digits);
  report.WriteText(".  Sum of ranks in ");
  report.WriteText(secondSummary.Title);
  report.WriteText(" = ");
  report.WriteNumber(test.RankSumB, Digits);
  report.WriteLine(". ");
  report.WriteLine();
  WriteCenteredTitle(report, "Summary of Data");
  WriteColumnSummaryTable(report, firstSummary, secondSummary);
  return table.StatusCode;
}

TStatusCode RunNonparametricOneColumn(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                                      bool twoTailed, TReal hypotheticalMedian, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  if (column < 0) {
    table.StatusCode = TStatusCode::AveragedNonparametric;
  } else {
    RunWilcoxonOneColumn(table, column, summary, report, twoTailed, hypotheticalMedian, progress);
  }
  return table.StatusCode;
}

TStatusCode RunNonparametricTwoColumns(TDataTable& table, int firstColumn, int secondColumn, TReportText& report,
                                       bool twoTailed, bool unpaired, TColumnSummary& secondSummary,
                                       TColumnSummary& firstSummary, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  if (firstColumn < 0 || secondColumn < 0) {
    table.StatusCode = TStatusCode::AveragedNonparametric;
  } else if (unpaired) {
    RunMannWhitney(table, firstColumn, secondColumn, report, twoTailed, secondSummary, firstSummary, progress);
  } else {
    RunWilcoxonMatchedPairs(table, firstColumn, secondColumn, report, twoTailed, secondSummary, firstSummary, progress);
  }
  return table.StatusCode;
}

}  // namespace ombrel
