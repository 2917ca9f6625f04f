#include "core/analysis/Anova.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/ColumnStats.h"
#include "core/stats/PValue.h"
#include "core/analysis/Friedman.h"
#include "core/analysis/KruskalWallis.h"

namespace ombrel {

namespace {

std::size_t At(int index) { return static_cast<std::size_t>(index); }

// The column map of the groups, built for the length of a test and reset to
// the identity on every path out.
class TColumnMapScope {
 public:
  explicit TColumnMapScope(TDataTable& table) : mTable(table) { mTable.BuildColumnMap(); }
  ~TColumnMapScope() { mTable.ResetColumnMap(); }
  TColumnMapScope(const TColumnMapScope&) = delete;
  TColumnMapScope& operator=(const TColumnMapScope&) = delete;

 private:
  TDataTable& mTable;
};

// ---------------------------------------------------------------------------
// Report pieces

std::string NotWhen(bool condition) { return condition ? "not " : ""; }

// "Variation among column means is [not ]significantly greater than
// expected" / "by chance." and an empty line.
void WriteVerdict(TReportText& report, TReal p) {
  report.WriteLine("Variation among column means is " + NotWhen(p > 0.05L) + "significantly greater than expected");
  report.WriteLine("by chance.");
  report.WriteLine();
}

// The post test as the mode says: always, or only when P <= 0.05 with a
// note when it was skipped for P; never for any other mode.
TStatusCode WritePostTestSection(TReportText& report, const TPostTestInput& input, const TPostTestRequest& request,
                                 TPostTestCondition mode, TReal p, const TTrendAnova& anova, bool emptyLineBeforeNote) {
  if (mode == TPostTestCondition::Always || (mode == TPostTestCondition::IfSignificant && p <= 0.05L))
    return RunPostTest(report, input, request, anova);
  if (mode == TPostTestCondition::IfSignificant) {
    if (emptyLineBeforeNote) report.WriteLine();
    WriteUnderlinedLine(report, "Post tests");
    report.WriteLine("Post tests were not calculated because the P value was greater");
    report.WriteLine("than 0.05.");
  }
  return TStatusCode::Ok;
}

void WriteBartlettSection(TReportText& report, const TBartlettResult& bartlett) {
  report.WriteLine();
  report.WriteLine();
  WriteUnderlinedLine(report, "Assumption test: Are the standard deviations of the groups equal?");
  report.WriteLine();
  report.WriteLine("ANOVA assumes that the data are sampled from populations with identical");
  report.WriteLine("SDs. This assumption is tested using the method of Bartlett.");
  report.WriteLine();
  if (IsEmpty(bartlett.Statistic)) {
    report.WriteLine("Bartlett's test cannot be performed because at least one column's");
    report.WriteLine("standard deviation is zero.");
    return;
  }
  if (!bartlett.EveryGroupHasFive) {
    report.WriteLine("Bartlett's test can only be performed when every column has");
    report.WriteLine("at least five values.");
    return;
  }
  report.WriteText("Bartlett statistic (corrected) = ");
  report.WriteNumber(bartlett.Statistic, -5);
  report.NewLine();
  report.WritePValueSentence(0, false, bartlett.P);
  report.WriteLine("Bartlett's test suggests that the differences among the SDs is");
  report.WriteSignificanceWord(bartlett.P);
  report.WriteText("significant.");
  report.NewLine();
  if (bartlett.P < 0.05L) {
    report.WriteLine("Since ANOVA assumes populations with equal SDs, you should consider");
    report.WriteLine("transforming your data (reciprocal or log) or selecting a");
    report.WriteLine("nonparametric test.");
  }
}

void WriteNormalitySection(TReportText& report, std::span<const TColumnSummary> groups,
                           const std::vector<bool>& averaged) {
  report.WriteLine();
  report.WriteLine();
  WriteUnderlinedLine(report, "Assumption test: Are the data sampled from Gaussian distributions?");
  report.WriteLine();
  report.WriteLine("ANOVA assumes that the data are sampled from populations that follow ");
  report.WriteLine("Gaussian distributions. This assumption is tested using the method ");
  report.WriteLine("Kolmogorov and Smirnov:");
  WriteNormalityHeading(report);
  bool anyFailed = false;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    WriteNormalityRow(report, groups[i], i < averaged.size() && averaged[i]);
    if (groups[i].N > 0 && !IsEmpty(groups[i].NormalityP) && groups[i].NormalityP <= 0.05L) anyFailed = true;
  }
  if (anyFailed) {
    report.WriteLine();
    report.WriteLine("At least one column failed the normality test with P<0.05.");
    report.WriteLine("Consider using a nonparametric test or transforming the data");
    report.WriteLine("(i.e. converting to logarithms or reciprocals). ");
  }
}

// "Summary of Data": the group summary table, then the scratch report with
// the group range table.
void WriteSummaryOfData(TReportText& report, TReportText& scratch, std::span<const TColumnSummary> groups) {
  WriteCenteredTitle(report, "Summary of Data");
  report.WriteLine();
  WriteGroupSummaryHeading(report);
  WriteGroupRangeHeading(scratch);
  for (const TColumnSummary& group : groups) {
    WriteGroupSummaryRow(report, group);
    WriteGroupRangeRow(scratch, group);
  }
  scratch.TerminateReport();
  report.AppendReport(scratch);
}

// ---------------------------------------------------------------------------
// Running the tests on a table

// The mapped groups with N > 0, whether each holds typed averaged data, and
// the group that is the control column.
struct TMappedGroups {
  std::vector<TColumnSummary> Groups;
  std::vector<bool> Averaged;
  std::size_t Control = 0;
};

TMappedGroups MappedGroups(const TDataTable& table, int controlColumn) {
  TMappedGroups mapped;
  for (int i = 0; i < table.ColumnMapCount(); ++i) {
    const int column = table.MapColumn(i);
    const TColumnSummary& summary = table.Summary(column);
    if (summary.N <= 0) continue;
    if (column == controlColumn) mapped.Control = mapped.Groups.size();
    mapped.Groups.push_back(summary);
    mapped.Averaged.push_back(table.MeanEntryColumn[At(column)] == 1);
  }
  return mapped;
}

void RunOneWayAnova(TDataTable& table, TReportText& report, TPostTestRequest request, int controlColumn,
                    TPostTestCondition postTestMode) {
  const TMappedGroups mapped = MappedGroups(table, controlColumn);
  const TOneWayAnovaResult anova = ComputeOneWayAnova(mapped.Groups);
  if (anova.Status != TStatusCode::Ok) {
    table.StatusCode = anova.Status;
    return;
  }
  request.ControlGroup = mapped.Control;
  table.StatusCode = WriteOneWayAnovaReport(report, mapped.Groups, mapped.Averaged, anova,
                                            ComputeBartlett(mapped.Groups), request, postTestMode);
}

void RunRepeatedMeasuresAnova(TDataTable& table, TReportText& report, TPostTestRequest request, int controlColumn,
                              TPostTestCondition postTestMode) {
  const TCompleteBlock block = ReadCompleteBlock(table, table.ColumnMapCount());
  if (block.Status != TStatusCode::Ok) {
    table.StatusCode = block.Status;
    return;
  }
  const TRepeatedMeasuresResult anova = ComputeRepeatedMeasuresAnova(block);
  if (anova.Status != TStatusCode::Ok) {
    table.StatusCode = anova.Status;
    return;
  }
  std::vector<TColumnSummary> groups;
  for (const int column : block.Columns) {
    const int dataColumn = table.MapColumn(column);
    if (dataColumn == controlColumn) request.ControlGroup = groups.size();
    groups.push_back(table.Summary(dataColumn));
    groups.back().N = anova.Rows;
  }
  table.StatusCode = WriteRepeatedMeasuresReport(report, groups, anova, request, postTestMode);
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
// Reports

TStatusCode WriteOneWayAnovaReport(TReportText& report, std::span<const TColumnSummary> groups,
                                   const std::vector<bool>& averaged, const TOneWayAnovaResult& anova,
                                   const TBartlettResult& bartlett, const TPostTestRequest& postTest,
                                   TPostTestCondition postTestMode) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteCenteredTitle(report, "One-way Analysis of Variance (ANOVA)");
  report.WriteLine();
  const bool computed = anova.Residual.MS != 0;
  if (computed) {
    report.WritePValueSentence(anova.Groups == 2 ? 2 : 0, true, anova.P);
    WriteVerdict(report, anova.P);
  } else {
    report.WriteLine("The standard deviation of each column is zero.  In this situation, which");
    report.WriteLine("is unlikely to occur with experimental data, it is impossible to calculate");
    report.WriteLine("ANOVA.");
  }
  if (anova.Groups == 2) {
    report.WriteLine("Because there are only two columns, this ANOVA is identical to");
    report.WriteLine("an unpaired two tailed t test.");
    report.WriteLine();
  }
  if (computed) {
    const TPostTestInput input{groups, anova.Residual.MS, anova.Residual.DF, TAnovaDesign::Ordinary};
    const TTrendAnova trend{anova.Treatment, {}, anova.Residual, anova.Total};
    const TStatusCode status = WritePostTestSection(report, input, postTest, postTestMode, anova.P, trend, false);
    if (status != TStatusCode::Ok) return status;
  }
  WriteBartlettSection(report, bartlett);
  WriteNormalitySection(report, groups, averaged);

  report.WriteLine();
  WriteUnderlinedLine(report, "Intermediate calculations. ANOVA table");
  report.WriteLine();
  WriteOneWayAnovaTable(report, anova.Treatment, anova.Residual, anova.Total);
  report.WriteLine();
  report.WriteText("F = ");
  report.WriteNumber(anova.F, -5);
  report.WriteText("  =(MStreatment/MSresidual) ");
  report.NewLine();
  report.NewLine();
  report.NewLine();
  WriteSummaryOfData(report, *scratch, groups);
  return TStatusCode::Ok;
}

TStatusCode WriteRepeatedMeasuresReport(TReportText& report, std::span<const TColumnSummary> groups,
                                        const TRepeatedMeasuresResult& anova, const TPostTestRequest& postTest,
                                        TPostTestCondition postTestMode) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteCenteredTitle(report, "Repeated Measures Analysis of Variance");
  report.WriteLine();
  const bool computed = anova.Residual.MS != 0;
  if (computed) {
    report.WritePValueSentence(0, true, anova.P);
    WriteVerdict(report, anova.P);
    const TPostTestInput input{groups, anova.Residual.MS, anova.Residual.DF, TAnovaDesign::RepeatedMeasures};
    const TTrendAnova trend{anova.Treatment, anova.Individual, anova.Residual, anova.Total};
    const TStatusCode status = WritePostTestSection(report, input, postTest, postTestMode, anova.P, trend, true);
    if (status != TStatusCode::Ok) return status;
  } else {
    report.WriteLine("After accounting for systematic variation between columns and rows,");
    report.WriteLine("there is no random scatter.  In this situation, which is unlikely to occur");
    report.WriteLine("with real experimental data, it is impossible to calculate ANOVA.");
  }

  report.WriteLine();
  WriteUnderlinedLine(report, "Intermediate calculations. ANOVA Table:");
  report.WriteLine();
  WriteRepeatedMeasuresAnovaTable(report, anova.Treatment, anova.Individual, anova.Residual, anova.Total);
  report.WriteLine();
  if (computed) {
    report.WriteText("F = ");
    report.WriteNumber(anova.F, -5);
    report.WriteText("  =MStreatment/MSresidual");
    report.NewLine();

    report.WriteLine();
    WriteUnderlinedLine(report, "Assumption test: Was the matching effective?");
    report.WriteLine("This test uses a second value of F and a different P value.");
    report.WriteText("F = ");
    report.WriteNumber(anova.MatchingF, -5);
    report.WriteText("   =(MSindividual/MSresidual)");
    report.NewLine();
    report.WriteLine();
    report.WritePValueSentence(0, true, anova.MatchingP);
    report.WriteLine("Effective matching (or blocking) results in significant variation among");
    report.WriteText("means.  With these data, the matching appears ");
    if (anova.MatchingP <= 0.05L) {
      report.WriteLine("to be effective.");
    } else {
      report.WriteLine("not to be effective.");
      report.WriteLine("Ordinary ANOVA may be more appropriate.");
    }
  }
  report.WriteLine();
  WriteSummaryOfData(report, *scratch, groups);
  return TStatusCode::Ok;
}

// ---------------------------------------------------------------------------
// Entry point

TStatusCode RunMultiColumnTest(TDataTable& table, bool nonparametric, bool ordinary, TReportText& report,
                               const TPairFlags& pairSelected, bool useSelectedPairs, bool twoTailed, int controlColumn,
                               TPostTestCondition postTestMode, std::int32_t postTestKind, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  bool averagedData = false;
  for (int column = 0; column < MaxColumns; ++column) {
    if (table.Summary(column).N <= 0 || table.ColumnSelected[At(column)] == 0) continue;
    if (table.MeanEntryColumn[At(column)] == 1) {
      averagedData = true;
    } else {
      ComputeRawColumnStatistics(table, column);
    }
  }
  const TColumnMapScope columnMap(table);
  if (averagedData && (nonparametric || !ordinary)) {
    table.StatusCode = TStatusCode::AveragedAnova;
    return table.StatusCode;
  }
  if (nonparametric) {
    if (ordinary) {
      return RunKruskalWallis(table, report, pairSelected, useSelectedPairs, twoTailed, controlColumn, postTestMode,
                              postTestKind, progress);
    }
    return RunFriedman(table, report, pairSelected, useSelectedPairs, twoTailed, controlColumn, postTestMode,
                       postTestKind, progress);
  }
  const TPostTestRequest request{postTestKind, pairSelected, useSelectedPairs, 0, twoTailed};
  if (ordinary) {
    RunOneWayAnova(table, report, request, controlColumn, postTestMode);
  } else {
    RunRepeatedMeasuresAnova(table, report, request, controlColumn, postTestMode);
  }
  return table.StatusCode;
}

}  // namespace ombrel
