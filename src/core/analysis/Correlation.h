#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/analysis/AnalysisRecord.h"
#include "core/base/CalcProgress.h"
#include "core/base/DataTable.h"
#include "core/stats/ExactRankCounts.h"

namespace ombrel {

class TReportText;

// The pairs a correlation is computed from: for every row whose reference
// value is not empty, each non-empty value of the other columns forms one
// pair with it (so a row with three Y replicates gives three pairs). Values
// come through GetAnalysisValue, in row order.
struct TCorrelationPairs {
  std::vector<TReal> X;
  std::vector<TReal> Y;
};
TCorrelationPairs CollectPairs(const TDataTable& table, int referenceColumn, std::span<const int> otherColumns);

// The other columns of XY data: every analysis column after the reference
// column 0 up to the last one.
std::vector<int> YColumns(const TDataTable& table);

// The values of XY data that formed pairs: the reference column counts the
// rows whose value formed a pair, each other column its pairs; left out are
// the column's other values (excluded, or without a partner).
std::vector<TColumnUse> PairedColumnUse(const TDataTable& table, int xColumn, std::span<const int> yColumns);

// Pearson's r of the pairs, its 95% limits (from N = 4 on) and its
// two-tailed P (t with N - 2 degrees of freedom). Refusals go to the table's
// StatusCode: NoCorrelationData no pair, OneXValue all X equal, OneYValue
// all Y equal, TooFewCorrelationPoints fewer than three pairs; the other fields are then empty. The sums of squares are
// taken about the means, so r keeps full precision for data with a large
// common offset. |r| = 1 gives P = 0 and both limits r.
struct TPearsonResult {
  std::int32_t N = 0;
  TReal R = EmptyValue;
  TReal RSquared = EmptyValue;
  TReal SE = EmptyValue;
  TReal Lower = EmptyValue;  // empty for N < 4
  TReal Upper = EmptyValue;
  TReal P = EmptyValue;
};
TPearsonResult ComputePearson(TDataTable& table, int referenceColumn, std::span<const int> otherColumns);

// Spearman's rank correlation of the pairs. X is ranked over all pairs (a
// row's X once per pair of that row), Y over all pairs; ties share their
// average rank and enter the coefficient through (t^3 - t) / 12 terms.
// Refusals as Pearson's: 47, 37 (all X equal), 38 (all Y equal). For N <= 12
// the P value is exact (two-tailed, from the number of rank assignments at
// least as far from the identity as the data, CountSpearmanPermutations),
// with progress reported to `progress`; an answer other than Continue stops
// the count and the approximate P (t with N - 2 degrees of freedom) is used
// instead.
struct TSpearmanResult {
  std::int32_t N = 0;
  TReal R = EmptyValue;
  TReal RSquared = EmptyValue;
  TReal SE = EmptyValue;     // sqrt((1 - rs^2) / (N - 2)); empty for N <= 2
  TReal Lower = EmptyValue;  // 95% limits, only for N > 10
  TReal Upper = EmptyValue;
  TReal P = EmptyValue;  // the exact P when Status is Exact, else ApproximateP
  TReal ApproximateP = EmptyValue;
  bool Ties = false;
  TExactStatus Status = TExactStatus::Exact;
  // The rank assignments counted (N!) when the count finished; 0 otherwise.
  std::uint64_t Arrangements = 0;
};
TSpearmanResult ComputeSpearman(TDataTable& table, int referenceColumn, std::span<const int> otherColumns,
                                TCalcProgress& progress);

// ---------------------------------------------------------------------------
// The correlation of XY data as an analysis: request, result, writers (the
// pattern of docs/ARCHITECTURE.md, "Results as data").

enum class TCorrelationMethod { Pearson, Spearman };

struct TCorrelationRequest {
  TCorrelationMethod Method = TCorrelationMethod::Pearson;
  // The reference (X) column and the columns paired with it (Y).
  int XColumn = 0;
  std::vector<int> YColumns;
};

struct TCorrelationResult {
  // Ok, or the refusal of ComputePearson or ComputeSpearman.
  TStatusCode Status = TStatusCode::Ok;
  TCorrelationRequest Request;
  TPearsonResult Pearson;    // Pearson's method
  TSpearmanResult Spearman;  // Spearman's method
  // X first, then each Y column.
  std::vector<TColumnUse> Columns;
};

// Computes the correlation; Spearman's exact count reports through
// `progress`. Sets the table's StatusCode: Ok, or the refusal.
TCorrelationResult ComputeCorrelation(const TCorrelationRequest& request, TDataTable& table, TCalcProgress& progress);

// The report of a computed correlation (Status Ok).
void WriteCorrelationReport(const TCorrelationResult& result, TReportText& report);

// The record: choices, results, method facts (tables: none).
void FillCorrelationRecord(const TCorrelationResult& result, TAnalysisRecord& record);

// Entry point: computes, sets the table's StatusCode, fills the record and,
// unless refused, writes the report. The caller runs it inside RunGuarded
// and then calls WriteErrorReport.
void RunCorrelation(const TCorrelationRequest& request, TAnalysisRun& run);

}  // namespace ombrel
