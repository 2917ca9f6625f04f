#include "core/analysis/Anova.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/analysis/AnalysisFrame.h"
#include "core/stats/ColumnStats.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

std::size_t At(int index) { return static_cast<std::size_t>(index); }

// ---------------------------------------------------------------------------
// Running the tests on a table

// The values of analysis column `index` used and left out, named by its
// data column.
TColumnUse UseOf(const TDataTable& table, int index, const TColumnSummary& group, bool averaged) {
  const int column = table.MapColumn(index);
  if (averaged) return {column, group.Title, group.N};
  TColumnUse use = ColumnUseOf(table, index, group.Title, group.N);
  use.Column = column;
  return use;
}

// The groups of the ordinary design: the mapped columns with N > 0.
void TakeMappedGroups(const TDataTable& table, TAnovaResult& result) {
  for (int i = 0; i < table.ColumnMapCount(); ++i) {
    const int column = table.MapColumn(i);
    const TColumnSummary& summary = table.Summary(column);
    if (summary.N <= 0) continue;
    const bool averaged = table.MeanEntryColumn[At(column)] == 1;
    if (column == result.Request.ControlColumn) result.ControlGroup = result.Groups.size();
    result.Groups.push_back(summary);
    result.Averaged.push_back(averaged);
    result.GroupColumns.push_back(column);
    result.Columns.push_back(UseOf(table, i, summary, averaged));
  }
}

// The groups of the repeated-measures design: the block's columns, each
// with N the number of rows.
void TakeBlockGroups(const TDataTable& table, const TCompleteBlock& block, TAnovaResult& result) {
  result.Groups.clear();
  result.Averaged.clear();
  result.GroupColumns.clear();
  result.Columns.clear();
  result.ControlGroup = 0;
  for (const int column : block.Columns) {
    const int dataColumn = table.MapColumn(column);
    if (dataColumn == result.Request.ControlColumn) result.ControlGroup = result.Groups.size();
    result.Groups.push_back(table.Summary(dataColumn));
    result.Groups.back().N = static_cast<std::int32_t>(block.Rows.size());
    result.Averaged.push_back(false);
    result.GroupColumns.push_back(dataColumn);
    result.Columns.push_back(UseOf(table, column, result.Groups.back(), false));
  }
}

void ComputeOrdinary(TAnovaResult& result) {
  result.OneWay = ComputeOneWayAnova(result.Groups);
  result.Status = result.OneWay.Status;
  if (result.Status == TStatusCode::Ok) result.Bartlett = ComputeBartlett(result.Groups);
}

void ComputeRepeated(TAnovaResult& result, const TDataTable& table) {
  const TCompleteBlock block = ReadCompleteBlock(table, table.ColumnMapCount());
  result.Status = block.Status;
  if (result.Status != TStatusCode::Ok) return;
  result.Repeated = ComputeRepeatedMeasuresAnova(block);
  result.Status = result.Repeated.Status;
  if (result.Status == TStatusCode::Ok) TakeBlockGroups(table, block, result);
}

// Eta squared with its interval from the noncentral F (Steiger, 2004) and
// omega squared (Hays, 1963) of the ordinary design; partial eta squared
// (Cohen, 1973) of the columns against the residual of repeated measures.
void ComputeEffectSizes(TAnovaResult& result) {
  if (result.Request.Design == TAnovaDesign::Ordinary) {
    const TOneWayAnovaResult& anova = result.OneWay;
    if (IsEmpty(anova.F)) return;
    const auto dfBetween = static_cast<TReal>(anova.Treatment.DF);
    const auto dfWithin = static_cast<TReal>(anova.Residual.DF);
    result.EtaSquared = EtaSquared(anova.F, dfBetween, dfWithin);
    result.OmegaSquared = OmegaSquared(anova.F, dfBetween, dfWithin);
    return;
  }
  const TRepeatedMeasuresResult& anova = result.Repeated;
  if (!IsEmpty(anova.F)) result.PartialEtaSquared = PartialEtaSquared(anova.Treatment.SS, anova.Residual.SS);
}

// Pairs and control of the post test, taken from the request.
TPostTestRequest PostTestRequestOf(const TAnovaResult& result) {
  const TAnovaRequest& request = result.Request;
  return {request.PostTest, request.PairSelected, request.UseSelectedPairs, result.ControlGroup,
          request.DunnettTails != 1};
}

}  // namespace

// ---------------------------------------------------------------------------
// Computations

TOneWayAnovaResult ComputeOneWayAnova(std::span<const TColumnSummary> groups) {
  TOneWayAnovaResult result;
  bool singleValue = false;
  bool unusable = false;
  bool anySpread = false;
  TReal weightedSum = 0;
  TReal residualSS = 0;
  for (const TColumnSummary& group : groups) {
    if (group.N == 1) singleValue = true;
    if (group.N < 2) continue;
    if (IsEmpty(group.Mean) || IsEmpty(group.SD)) {
      unusable = true;
      continue;
    }
    ++result.Groups;
    result.Count += group.N;
    weightedSum += group.N * group.Mean;
    residualSS += (group.N - 1) * group.SD * group.SD;
    if (group.SD != 0) anySpread = true;
  }
  if (singleValue) {
    result.Status = TStatusCode::AnovaSingleValue;
    return result;
  }
  // One usable group leaves nothing to compare.
  if (unusable || result.Groups < 2) {
    result.Status = TStatusCode::NotEnoughData;
    return result;
  }
  if (!anySpread) {
    result.Status = TStatusCode::AllSDsZero;
    return result;
  }

  const TReal grandMean = weightedSum / result.Count;
  TReal treatmentSS = 0;
  for (const TColumnSummary& group : groups) {
    if (group.N < 2) continue;
    const TReal deviation = group.Mean - grandMean;
    treatmentSS += group.N * deviation * deviation;
  }
  const std::int32_t k = result.Groups;
  const std::int32_t n = result.Count;
  result.Treatment = {k - 1, treatmentSS, treatmentSS / (k - 1)};
  result.Residual = {n - k, residualSS, residualSS / (n - k)};
  result.Total = {n - 1, treatmentSS + residualSS, EmptyValue};
  if (result.Residual.MS != 0) {
    result.F = result.Treatment.MS / result.Residual.MS;
    result.P = p_value_f(k - 1, n - k, result.F);
  }
  return result;
}

TBartlettResult ComputeBartlett(std::span<const TColumnSummary> groups) {
  TBartlettResult result;
  result.EveryGroupHasFive = std::all_of(groups.begin(), groups.end(),
                                         [](const TColumnSummary& group) { return group.N <= 0 || group.N >= 5; });
  TReal sumNu = 0;
  TReal sumNuVariance = 0;
  TReal sumNuLogVariance = 0;
  TReal sumReciprocalNu = 0;
  std::int32_t m = 0;
  for (const TColumnSummary& group : groups) {
    if (group.N < 2 || IsEmpty(group.SD)) continue;
    if (group.SD == 0) return result;
    const TReal nu = group.N - 1;
    const TReal variance = group.SD * group.SD;
    sumNu += nu;
    sumNuVariance += nu * variance;
    sumNuLogVariance += nu * std::log(variance);
    sumReciprocalNu += 1 / nu;
    ++m;
  }
  if (m < 2) return result;
  const TReal b = sumNu * std::log(sumNuVariance / sumNu) - sumNuLogVariance;
  const TReal correction = 1 + (sumReciprocalNu - 1 / sumNu) / (3 * m - 3);
  // B is never negative (the log of a weighted mean is at least the weighted
  // mean of the logs); equal SDs can leave it a rounding error below zero.
  result.Statistic = std::max(TReal{0}, b / correction);
  result.DF = m - 1;
  result.P = p_value_chi_square(result.DF, result.Statistic);
  return result;
}

TCompleteBlock ReadCompleteBlock(const TDataTable& table, int columnCount) {
  TCompleteBlock block;
  std::vector<bool> used;
  for (int row = 0; row <= table.LastRow(); ++row) {
    std::vector<bool> present(At(columnCount));
    bool any = false;
    for (int column = 0; column < columnCount; ++column) {
      present[At(column)] = !IsEmpty(table.GetAnalysisValue(row, column));
      any = any || present[At(column)];
    }
    if (!any) continue;
    if (used.empty()) {
      used = present;
      for (int column = 0; column < columnCount; ++column) {
        if (used[At(column)]) block.Columns.push_back(column);
      }
    } else if (present != used) {
      block.Status = TStatusCode::MissingValues;
      block.Rows.clear();
      return block;
    }
    std::vector<TReal> values;
    for (const int column : block.Columns) values.push_back(table.GetAnalysisValue(row, column));
    block.Rows.push_back(std::move(values));
  }
  if (block.Rows.size() < 2 || block.Columns.size() < 2) block.Status = TStatusCode::NotEnoughData;
  return block;
}

TRepeatedMeasuresResult ComputeRepeatedMeasuresAnova(const TCompleteBlock& block) {
  TRepeatedMeasuresResult result;
  const std::size_t rows = block.Rows.size();
  const std::size_t columns = block.Columns.size();
  result.Rows = static_cast<std::int32_t>(rows);
  result.Columns = static_cast<std::int32_t>(columns);
  const TReal r = static_cast<TReal>(rows);
  const TReal c = static_cast<TReal>(columns);

  std::vector<TReal> columnMeans(columns, 0);
  std::vector<TReal> rowMeans(rows, 0);
  TReal total = 0;
  TReal largest = 0;
  bool anySpread = false;
  for (std::size_t i = 0; i < rows; ++i) {
    for (std::size_t j = 0; j < columns; ++j) {
      const TReal x = block.Rows[i][j];
      columnMeans[j] += x;
      rowMeans[i] += x;
      total += x;
      largest = std::max(largest, std::fabs(x));
      if (x != block.Rows[0][j]) anySpread = true;
    }
  }
  if (!anySpread) {
    result.Status = TStatusCode::AllSDsZero;
    return result;
  }
  for (TReal& mean : columnMeans) mean /= r;
  for (TReal& mean : rowMeans) mean /= c;
  const TReal grandMean = total / (r * c);
  result.GrandMean = grandMean;

  TReal columnsSS = 0;
  for (const TReal mean : columnMeans) columnsSS += (grandMean - mean) * (grandMean - mean);
  columnsSS *= r;
  TReal rowsSS = 0;
  for (const TReal mean : rowMeans) rowsSS += (grandMean - mean) * (grandMean - mean);
  rowsSS *= c;
  TReal totalSS = 0;
  TReal residualSS = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    for (std::size_t j = 0; j < columns; ++j) {
      const TReal x = block.Rows[i][j];
      totalSS += (grandMean - x) * (grandMean - x);
      const TReal residual = x - rowMeans[i] - columnMeans[j] + grandMean;
      residualSS += residual * residual;
    }
  }
  // Residuals no larger than the rounding of the values themselves are none:
  // data that rows and columns explain exactly have no random scatter.
  const TReal roundingLevel = 16 * std::numeric_limits<TReal>::epsilon() * largest;
  if (residualSS <= r * c * roundingLevel * roundingLevel) residualSS = 0;

  const std::int32_t dfColumns = result.Columns - 1;
  const std::int32_t dfRows = result.Rows - 1;
  const std::int32_t dfResidual = dfColumns * dfRows;
  result.Treatment = {dfColumns, columnsSS, columnsSS / dfColumns};
  result.Individual = {dfRows, rowsSS, rowsSS / dfRows};
  result.Residual = {dfResidual, residualSS, residualSS / dfResidual};
  result.Total = {dfColumns + dfRows + dfResidual, totalSS, EmptyValue};
  if (result.Residual.MS != 0) {
    result.F = result.Treatment.MS / result.Residual.MS;
    result.P = p_value_f(dfColumns, dfResidual, result.F);
    result.MatchingF = result.Individual.MS / result.Residual.MS;
    result.MatchingP = p_value_f(dfRows, dfResidual, result.MatchingF);
  }
  return result;
}

// ---------------------------------------------------------------------------
// The analysis

TPostTestInput PostTestInputOf(const TAnovaResult& result) {
  const bool ordinary = result.Request.Design == TAnovaDesign::Ordinary;
  const TAnovaSource& residual = ordinary ? result.OneWay.Residual : result.Repeated.Residual;
  return {result.Groups, residual.MS, residual.DF, result.Request.Design, result.GroupColumns};
}

TTrendAnova TrendAnovaOf(const TAnovaResult& result) {
  if (result.Request.Design == TAnovaDesign::Ordinary)
    return {result.OneWay.Treatment, {}, result.OneWay.Residual, result.OneWay.Total};
  const TRepeatedMeasuresResult& anova = result.Repeated;
  return {anova.Treatment, anova.Individual, anova.Residual, anova.Total};
}

TAnovaResult ComputeAnova(const TAnovaRequest& request, TDataTable& table) {
  table.StatusCode = TStatusCode::Ok;
  TAnovaResult result;
  result.Request = request;
  const bool averagedData = RefreshGroupSummaries(table);
  const TColumnMapScope columnMap(table);
  TakeMappedGroups(table, result);
  if (averagedData && request.Design != TAnovaDesign::Ordinary) {
    result.Status = TStatusCode::AveragedAnova;
    return result;
  }
  if (request.Design == TAnovaDesign::Ordinary) {
    ComputeOrdinary(result);
  } else {
    ComputeRepeated(result, table);
  }
  if (result.Status != TStatusCode::Ok) return result;
  const bool ordinary = request.Design == TAnovaDesign::Ordinary;
  const TReal p = ordinary ? result.OneWay.P : result.Repeated.P;
  const bool computed = (ordinary ? result.OneWay.Residual.MS : result.Repeated.Residual.MS) != 0;
  const TPostTestRequest postTest = PostTestRequestOf(result);
  result.PostTest =
      ComputePostTest(PostTestInputOf(result), postTest, TrendAnovaOf(result), request.PostTestMode, p, computed);
  ComputeEffectSizes(result);
  return result;
}

void RunAnova(const TAnovaRequest& request, TAnalysisRun& run) {
  const TAnovaResult result = ComputeAnova(request, run.Table);
  run.Table.StatusCode = result.Status;
  FillAnovaRecord(result, run.Record);
  if (result.Status == TStatusCode::Ok) run.Table.StatusCode = WriteAnovaReport(result, run.Report);
}

}  // namespace ombrel
