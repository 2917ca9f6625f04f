#pragma once

// The analyses of variance: ordinary one-way ANOVA of raw or typed averaged
// columns and repeated-measures ANOVA of raw columns, each with its post
// test. The rank comparisons of three or more columns are in RankAnova.h.
//
// The family follows the pattern of every analysis (docs/ARCHITECTURE.md,
// "Results as data"): a TAnovaRequest names the choices, ComputeAnova
// returns every figure the report prints in a TAnovaResult and never writes
// text, WriteAnovaReport only formats that result, and FillAnovaRecord puts
// it into the record `report --json` writes. RunAnova is the entry point
// RunAnalysis calls.

#include <cstdint>
#include <span>
#include <vector>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/PostTests.h"
#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"
#include "core/report/ReportTables.h"
#include "core/stats/EffectSizes.h"

namespace ombrel {

class TReportText;
class TCalcProgress;

// ---------------------------------------------------------------------------
// One-way ANOVA

struct TOneWayAnovaResult {
  // Ok, or the refusal: AnovaSingleValue a group with one value,
  // NotEnoughData fewer than two groups with two or more values, AllSDsZero.
  TStatusCode Status = TStatusCode::Ok;
  std::int32_t Groups = 0;  // k: groups with N >= 2
  std::int32_t Count = 0;   // n = sum of their N
  TAnovaSource Treatment;
  TAnovaSource Residual;
  TAnovaSource Total;  // DF and SS
  // Empty when the residual mean square is 0.
  TReal F = EmptyValue;
  TReal P = EmptyValue;
};

// One-way ANOVA from each group's N, mean and SD, so typed averaged data
// serves as well as raw data. SS residual = sum (N - 1) SD^2 and
// SS treatment = sum N (mean - grand mean)^2, which keep their digits when
// the values share many leading digits; P from F(k - 1, n - k). A group with
// a missing mean or SD counts as having too few values (11).
TOneWayAnovaResult ComputeOneWayAnova(std::span<const TColumnSummary> groups);

struct TBartlettResult {
  // Corrected statistic; empty when a group's SD is 0 (the test is then
  // impossible).
  TReal Statistic = EmptyValue;
  std::int32_t DF = 0;
  TReal P = EmptyValue;
  // The test is reported only when every group has five values or more.
  bool EveryGroupHasFive = false;
};

// Bartlett's test of equal SDs over the groups with N >= 2:
// B = sum(nu) ln(pooled variance) - sum nu ln(SD^2), divided by
// 1 + (sum 1/nu - 1/sum nu) / (3m - 3); P from chi-square with m - 1 df.
TBartlettResult ComputeBartlett(std::span<const TColumnSummary> groups);

// ---------------------------------------------------------------------------
// Repeated-measures ANOVA

// The rows of a repeated-measures design: the first row holding any value
// fixes the columns used; every later row holding a value must hold values
// in exactly those columns; rows without any value are skipped.
struct TCompleteBlock {
  // Ok, MissingValues for a row with a hole, NotEnoughData for fewer than two
  // rows or columns.
  TStatusCode Status = TStatusCode::Ok;
  std::vector<int> Columns;              // analysis columns, ascending
  std::vector<std::vector<TReal>> Rows;  // one value per column
};

// Reads the block from analysis columns 0 to columnCount - 1 (through the
// column map), rows 0 to LastRow.
TCompleteBlock ReadCompleteBlock(const TDataTable& table, int columnCount);

struct TRepeatedMeasuresResult {
  // Ok, or AllSDsZero when every column's values are all equal.
  TStatusCode Status = TStatusCode::Ok;
  std::int32_t Rows = 0;
  std::int32_t Columns = 0;
  TReal GrandMean = EmptyValue;
  TAnovaSource Treatment;   // between columns
  TAnovaSource Individual;  // between rows
  TAnovaSource Residual;
  TAnovaSource Total;  // DF and SS
  // Empty when the residual mean square is 0.
  TReal F = EmptyValue;
  TReal P = EmptyValue;
  TReal MatchingF = EmptyValue;
  TReal MatchingP = EmptyValue;
};

// Two-way ANOVA without replication of a complete block (Status 0). The
// residual is summed from x - row mean - column mean + grand mean, and a
// residual at the rounding level of the values counts as none.
TRepeatedMeasuresResult ComputeRepeatedMeasuresAnova(const TCompleteBlock& block);

// ---------------------------------------------------------------------------
// Request, result, writers

struct TAnovaRequest {
  TAnovaDesign Design = TAnovaDesign::Ordinary;
  TPostTestKind PostTest = TPostTestKind::TukeyKramer;
  // Always, only when P <= 0.05, or never.
  TPostTestCondition PostTestMode = TPostTestCondition::IfSignificant;
  // Bonferroni: the pairs to compare, in the order of ColumnPairs over the
  // groups; used when UseSelectedPairs is set.
  TPairFlags PairSelected{};
  bool UseSelectedPairs = false;
  // Dunnett: the control's data column (the first group when it takes no
  // part) and the tails of its critical values (1 or 2).
  int ControlColumn = 0;
  std::int32_t DunnettTails = 2;
};

struct TAnovaResult {
  // Ok, or the refusal: AveragedAnova typed means with repeated measures,
  // AnovaSingleValue, NotEnoughData, MissingValues (a hole in the repeated
  // measures' rectangle), AllSDsZero.
  TStatusCode Status = TStatusCode::Ok;
  TAnovaRequest Request;
  // The groups: the table's selected columns holding data, in column order,
  // with their summaries as the tables print them (for repeated measures
  // N is the number of rows); whether each holds typed averaged data; the
  // values each used and left out (Column is the data column).
  std::vector<TColumnSummary> Groups;
  std::vector<bool> Averaged;
  std::vector<TColumnUse> Columns;
  std::vector<int> GroupColumns;  // the data column of each group
  std::size_t ControlGroup = 0;
  // The ordinary design's figures, or the repeated-measures ones.
  TOneWayAnovaResult OneWay;
  TBartlettResult Bartlett;
  TRepeatedMeasuresResult Repeated;
  TPostTestResult PostTest;
  // Effect sizes, empty without an F: the ordinary design's eta squared
  // (with its 95% interval) and omega squared, repeated measures' partial
  // eta squared.
  TEffectSize EtaSquared;
  TReal OmegaSquared = EmptyValue;
  TReal PartialEtaSquared = EmptyValue;
};

// What the post test of a computed result took from the analysis of
// variance (the input refers to the result's groups).
TPostTestInput PostTestInputOf(const TAnovaResult& result);
TTrendAnova TrendAnovaOf(const TAnovaResult& result);

// Computes the analysis over the table's selected columns with data (raw
// columns' summaries recomputed into the table, typed ones as they are),
// with the column map built for the computation and reset on every path.
// Leaves the table's StatusCode Ok.
TAnovaResult ComputeAnova(const TAnovaRequest& request, TDataTable& table);

// The report of a computed analysis (Status Ok): the one-way or the
// repeated-measures report with its post test. Returns Ok, or OutOfMemory
// when a scratch report cannot be opened.
[[nodiscard]] TStatusCode WriteAnovaReport(const TAnovaResult& result, TReportText& report);

// The record of the analysis: choices, results, method facts and tables.
void FillAnovaRecord(const TAnovaResult& result, TAnalysisRecord& record);

// Entry point: computes (leaving the table's StatusCode), fills the record
// and, unless refused, writes the report. The caller runs it inside
// RunGuarded and then calls WriteErrorReport.
void RunAnova(const TAnovaRequest& request, TAnalysisRun& run);

}  // namespace ombrel
