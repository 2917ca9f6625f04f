// The correlation's writers: the text report and the record, both from a
// computed TCorrelationResult.
#include "core/analysis/Correlation.h"
#include "core/report/EffectSizeLines.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

constexpr int Digits = -5;

void WriteNumberOfPoints(TReportText& report, std::int32_t n) {
  report.WriteText("Number of points = ");
  report.WriteInteger(n);
  report.NewLine();
  report.WriteLine();
}

void WritePearsonReport(const TPearsonResult& result, TReportText& report) {
  WriteCenteredTitle(report, "Linear Correlation");
  report.WriteLine();
  report.WriteLine();
  WriteNumberOfPoints(report, result.N);
  report.WriteText("Correlation coefficient (r) = ");
  report.WriteNumber(result.R, Digits);
  report.NewLine();
  report.WriteText("95% confidence interval: ");
  if (result.N >= 4) {
    report.WriteNumber(result.Lower, Digits);
    report.WriteText(" to ");
    report.WriteNumber(result.Upper, Digits);
    report.NewLine();
  } else {
    report.WriteText("(Requires more than 3 points) ");
  }
  report.NewLine();
  report.WriteText("Coefficient of determination (r squared) = ");
  report.WriteNumber(result.RSquared, Digits);
  report.NewLine();
  for (int i = 0; i < 3; ++i) report.WriteLine();
  WriteUnderlinedLine(report, "Test: Is r significantly different than zero?");
  report.WritePValueSentence(2, true, result.P);
}

// Whether the Spearman report states a P value: with more than ten pairs,
// or when the exact count finished.
bool StatesP(const TSpearmanResult& result) { return result.N > 10 || result.Status == TExactStatus::Exact; }

void WriteSpearmanPValue(const TSpearmanResult& result, TReportText& report) {
  for (int i = 0; i < 3; ++i) report.NewLine();
  WriteUnderlinedLine(report, "Test: Is r significantly different than zero?");
  report.WriteLine();
  report.WritePValueSentence(2, true, result.P);
  if (result.Ties && result.Status == TExactStatus::Exact)
    report.WriteLine("The P value may be inaccurate because of ties.");
  if (result.Status == TExactStatus::Cancelled)
    report.WriteLine("The P value is approximate because exact calculations were interrupted.");
  if (result.Status == TExactStatus::TooLong) {
    report.WriteLine("The P value is approximate because exact calculations would have taken");
    report.WriteLine("too long.");
  }
  if (result.Status == TExactStatus::Exact && result.N < 5) {
    report.WriteLine("Regardless of what data you enter, it is impossible for this test to");
    report.WriteLine("yield P < 0.05 with so few data points.");
  }
}

void WriteSpearmanReport(const TSpearmanResult& result, TReportText& report) {
  WriteCenteredTitle(report, "Spearman Rank Correlation");
  report.WriteLine();
  report.WriteLine();
  WriteNumberOfPoints(report, result.N);
  report.WriteText("Spearman r = ");
  report.WriteNumber(result.R, Digits);
  if (result.Ties) report.WriteText(" (corrected for ties)");
  report.NewLine();
  if (result.N > 10) {
    report.WriteText("95% confidence interval: ");
    report.WriteNumber(result.Lower, Digits);
    report.WriteText(" to ");
    report.WriteNumber(result.Upper, Digits);
    report.NewLine();
  }
  report.NewLine();
  if (StatesP(result)) {
    WriteSpearmanPValue(result, report);
  } else {
    report.NewLine();
    report.WriteLine("There were not enough points (N <= 10) to perform a linearity");
    report.WriteLine("check or compute the confidence interval of r.");
  }
}

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view ExactStatusNames[] = {"cancelled", "exact", "tooLong", "ties"};

TResultValue ChoicesOf(const TCorrelationRequest& request) {
  TResultValue choices = TResultValue::Object();
  choices.AddText("method", request.Method == TCorrelationMethod::Pearson ? "pearson" : "spearman");
  choices.Add("xColumn", ColumnLetterValue(request.XColumn));
  TResultValue y = TResultValue::Array();
  for (const int column : request.YColumns) y.Push(ColumnLetterValue(column));
  choices.Add("yColumns", y);
  return choices;
}

void FillPearson(const TCorrelationResult& result, TAnalysisRecord& record) {
  const TPearsonResult& r = result.Pearson;
  TResultValue results = TResultValue::Object();
  results.AddInteger("n", r.N).AddReal("r", r.R).AddReal("rSquared", r.RSquared).AddReal("se", r.SE);
  results.AddReal("lower95", r.Lower).AddReal("upper95", r.Upper).AddReal("p", r.P);
  record.Results = results;
  TResultValue method = TResultValue::Object();
  method.AddInteger("nPairs", r.N).AddInteger("tails", 2).AddText("pValue", "tDistribution");
  method.AddInteger("df", r.N - 2);
  method.Add("interval", r.N >= 4 ? TResultValue::Text("fisherZ") : TResultValue::Null());
  method.Add("columns", ColumnUseTree(result.Columns));
  record.Method = method;
}

void FillSpearman(const TCorrelationResult& result, TAnalysisRecord& record) {
  const TSpearmanResult& r = result.Spearman;
  const bool exact = r.Status == TExactStatus::Exact;
  TResultValue results = TResultValue::Object();
  results.AddInteger("n", r.N).AddReal("r", r.R).AddReal("rSquared", r.RSquared).AddReal("se", r.SE);
  results.AddReal("lower95", r.Lower).AddReal("upper95", r.Upper);
  results.AddReal("p", StatesP(r) ? r.P : EmptyValue);
  results.AddReal("pApproximate", r.ApproximateP);
  record.Results = results;
  TResultValue method = TResultValue::Object();
  method.AddInteger("nPairs", r.N).AddInteger("tails", 2);
  method.AddText("pValue", exact ? "exact" : "approximate");
  method.AddText("exactStatus", ExactStatusNames[static_cast<int>(r.Status)]);
  method.Add("arrangements",
             exact ? TResultValue::Integer(static_cast<std::int64_t>(r.Arrangements)) : TResultValue::Null());
  method.AddText("approximatePValue", "tDistribution").AddBool("ties", r.Ties);
  method.Add("interval", r.N > 10 ? TResultValue::Text("fisherZ") : TResultValue::Null());
  method.Add("columns", ColumnUseTree(result.Columns));
  record.Method = method;
}

// The method and the APA sentence; r and r squared are in the report
// already, so the section has no line of its own for a size. APA 7 writes
// a correlation without the leading zero and its df as N - 2:
// "r(9) = .82, 95% CI [.42, .95], p = .002"; Spearman's coefficient is r
// with the subscript s, written "rs".
TEffectSection EffectSectionOf(const TCorrelationResult& result) {
  TEffectSection section;
  section.Method.Tails = 2;
  section.Method.Groups = GroupCountsOf(result.Columns);
  const bool pearson = result.Request.Method == TCorrelationMethod::Pearson;
  const std::int32_t n = pearson ? result.Pearson.N : result.Spearman.N;
  const std::string df = ApaDf(n - 2);
  if (pearson) {
    const TPearsonResult& r = result.Pearson;
    section.Method.Source = "the t distribution";
    section.Apa = {ApaEffect(Italic("r") + "(" + df + ")", r.R, r.Lower, r.Upper, false), ApaP(r.P)};
    return section;
  }
  const TSpearmanResult& r = result.Spearman;
  if (r.Status == TExactStatus::Exact) {
    section.Method.PMethod = TPMethod::Exact;
    section.Method.Arrangements = r.Arrangements;
  } else if (StatesP(r)) {
    section.Method.PMethod = TPMethod::Approximate;
    section.Method.Source = "the t approximation";
    section.Method.Ties = r.Ties ? TTieHandling::Corrected : TTieHandling::NoTies;
  }
  section.Apa = {ApaEffect(Italic("r") + "s(" + df + ")", r.R, r.Lower, r.Upper, false),
                 StatesP(r) ? ApaP(r.P) : std::string()};
  return section;
}

}  // namespace

void WriteCorrelationReport(const TCorrelationResult& result, TReportText& report) {
  if (result.Request.Method == TCorrelationMethod::Pearson) {
    WritePearsonReport(result.Pearson, report);
  } else {
    WriteSpearmanReport(result.Spearman, report);
  }
}

void FillCorrelationRecord(const TCorrelationResult& result, TAnalysisRecord& record) {
  const bool pearson = result.Request.Method == TCorrelationMethod::Pearson;
  if (!BeginRecord(record, pearson ? "pearsonCorrelation" : "spearmanCorrelation", ChoicesOf(result.Request),
                   result.Status))
    return;
  if (pearson) {
    FillPearson(result, record);
  } else {
    FillSpearman(result, record);
  }
  record.Tables = TResultValue::Object();
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
