#include "core/analysis/ColumnSummaryData.h"

#include "core/analysis/AnalysisRecord.h"
#include "core/stats/AssumptionTests.h"

namespace ombrel {

namespace {

constexpr std::string_view OutcomeNames[] = {"tested", "tooFewValues", "averagedData"};

}  // namespace

TNormalityOutcome NormalityOutcomeOf(const TColumnSummary& summary, bool averagedData) {
  if (summary.N < 5) return TNormalityOutcome::TooFewValues;
  if (averagedData) return TNormalityOutcome::AveragedData;
  // A column whose values are all equal is not tested.
  if (IsEmpty(summary.NormalityKS) || IsEmpty(summary.NormalityP)) return TNormalityOutcome::TooFewValues;
  return TNormalityOutcome::Tested;
}

TResultValue ColumnSummaryRow(const TColumnSummary& summary, int column) {
  TResultValue row = TResultValue::Object();
  row.Add("column", ColumnLetterValue(column));
  row.AddText("title", summary.Title);
  row.AddInteger("n", summary.N);
  row.AddReal("mean", summary.Mean);
  row.AddReal("sd", summary.SD);
  row.AddReal("sem", summary.SEM);
  row.AddReal("minimum", summary.Minimum);
  row.AddReal("maximum", summary.Maximum);
  row.AddReal("median", summary.Median);
  row.AddReal("lower95", summary.LowerCI);
  row.AddReal("upper95", summary.UpperCI);
  return row;
}

TResultValue NormalityRow(const TColumnSummary& summary, int column, bool averagedData) {
  const TNormalityOutcome outcome = NormalityOutcomeOf(summary, averagedData);
  const bool tested = outcome == TNormalityOutcome::Tested;
  TResultValue row = TResultValue::Object();
  row.Add("column", ColumnLetterValue(column));
  row.AddText("title", summary.Title);
  row.AddInteger("n", summary.N);
  row.AddText("outcome", OutcomeNames[static_cast<int>(outcome)]);
  row.AddReal("ks", tested ? summary.NormalityKS : EmptyValue);
  // Above the limit the approximation does not hold and the report says
  // ">0.10": the record says so too instead of giving a number.
  const bool above = tested && summary.NormalityP > LillieforsPLimit;
  row.AddReal("p", tested && !above ? summary.NormalityP : EmptyValue);
  row.AddReal("pAbove", above ? LillieforsPLimit : EmptyValue);
  row.Add("passed", tested ? TResultValue::Bool(summary.NormalityP > 0.05L) : TResultValue::Null());
  return row;
}

}  // namespace ombrel
