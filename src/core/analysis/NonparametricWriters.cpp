// The rank tests' writers: the text report and the record, both from a
// computed TNonparametricResult.
#include <algorithm>
#include <string>
#include <string_view>

#include "core/analysis/ColumnSummaryData.h"
#include "core/analysis/Nonparametric.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

constexpr int Digits = -5;

// Help topics of the three reports.
constexpr std::int32_t OneColumnHelpTopic = 662;
constexpr std::int32_t MatchedPairsHelpTopic = 658;
constexpr std::int32_t MannWhitneyHelpTopic = 114;

constexpr std::string_view ApproximateRemark = "(The P value is an estimate based on a normal approximation.)";

void WriteNumberLine(TReportText& report, std::string_view label, TReal value) {
  report.WriteText(label);
  report.WriteNumber(value, Digits);
  report.NewLine();
}

void WriteFewDataLines(TReportText& report, std::string_view what) {
  report.WriteLine("Regardless of what data you enter, it is impossible for this test to");
  report.WriteLine(std::string("yield P < 0.05 with so few ") + std::string(what) + ".");
}

void WritePValue(TReportText& report, const TNonparametricResult& result) {
  report.WritePValueSentence(result.Request.Tails == 2 ? 2 : 1, true, result.P);
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

void WriteSignedRankReport(const TNonparametricResult& result, TReportText& report) {
  const TSignedRankResult& ranks = result.SignedRank;
  report.HelpTopic = OneColumnHelpTopic;
  report.WriteLine();
  WriteCenteredTitle(report, "Wilcoxon signed rank test");
  WriteOneColumnQuestion(report, "median", result.A.Title, result.Request.HypotheticalMedian, Digits);
  report.WriteLine();
  WritePValue(report, result);
  report.WriteLine();
  if (result.Exact != TExactStatus::Exact) {
    report.WriteLine(ApproximateRemark);
  } else if (ranks.Ties) {
    report.WriteLine("(P value may be inaccurate because of ties.)");
  }
  report.WriteLine();
  if (result.TooFewArrangements) WriteFewDataLines(report, "data points");
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
  WriteColumnSummaryTable(report, result.A);
}

void WritePairingCheck(const TPairingCorrelation& pairing, TReportText& report) {
  WriteUnderlinedLine(report, "Assumption test: Was the pairing effective?");
  WriteNumberLine(report, "Nonparametric Spearman correlation coefficient (r) = ", pairing.R);
  if (pairing.R < 0) {
    report.WriteLine("The negative correlation coefficient indicates that the pairing or");
    report.WriteLine("matching was NOT effective.");
    return;
  }
  const TReal oneTailed = pairing.TwoTailedP / 2;
  report.WritePValueSentence(1, true, oneTailed);
  report.WriteLine("Effective pairing results in a significant correlation between the");
  report.WriteText("columns.  With these data, the pairing (or matching) appears ");
  report.WriteLine(oneTailed <= 0.05L ? "to be effective."
                                      : "not to be effective.  The unpaired test may be more appropriate.");
}

void WriteMatchedPairsReport(const TNonparametricResult& result, TReportText& report) {
  const TSignedRankResult& ranks = result.SignedRank;
  report.HelpTopic = MatchedPairsHelpTopic;
  WriteCenteredTitle(report, "Wilcoxon matched-pairs signed-ranks test");
  WriteTwoColumnQuestion(report, "median", result.A.Title, result.B.Title, true);
  report.WriteLine();
  WritePValue(report, result);
  if (result.Exact != TExactStatus::Exact) report.WriteLine(ApproximateRemark);
  report.WriteLine();
  if (result.TooFewArrangements) {
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
  WritePairingCheck(result.Pairing, report);
  report.WriteLine();
  WriteCenteredTitle(report, "Summary of Data");
  report.WriteLine();
  WriteColumnSummaryTable(report, result.A, result.B, result.Differences);
}

void WriteMannWhitneyReport(const TNonparametricResult& result, TReportText& report) {
  const TMannWhitneyResult& test = result.MannWhitney;
  report.HelpTopic = MannWhitneyHelpTopic;
  report.WriteLine();
  WriteCenteredTitle(report, "Mann-Whitney Test");
  WriteTwoColumnQuestion(report, "median", result.A.Title, result.B.Title, false);
  report.WriteLine();
  WritePValue(report, result);
  report.WriteLine(result.Exact == TExactStatus::Exact ? std::string_view("(The P value is exact.)")
                                                       : ApproximateRemark);
  report.WriteLine();
  if (result.TooFewArrangements) WriteFewDataLines(report, "data points");
  report.WriteLine();
  WriteUnderlinedLine(report, "Calculation details");
  WriteNumberLine(report, "Mann-Whitney U-statistic = ", test.U);
  WriteNumberLine(report, "U' = ", test.UPrime);
  report.WriteText("Sum of ranks in ");
  report.WriteText(result.A.Title);
  report.WriteText(" = ");
  report.WriteNumber(test.RankSumA, Digits);
  report.WriteText(".  Sum of ranks in ");
  report.WriteText(result.B.Title);
  report.WriteText(" = ");
  report.WriteNumber(test.RankSumB, Digits);
  report.WriteLine(". ");
  report.WriteLine();
  WriteCenteredTitle(report, "Summary of Data");
  WriteColumnSummaryTable(report, result.A, result.B);
}

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view KindNames[] = {"signedRank", "matchedPairs", "mannWhitney"};
constexpr std::string_view AnalysisNames[] = {"wilcoxonSignedRank", "wilcoxonMatchedPairs", "mannWhitney"};
constexpr std::string_view ExactStatusNames[] = {"cancelled", "exact", "tooLong", "ties"};

bool OneColumn(const TNonparametricRequest& request) { return request.Kind == TNonparametricKind::SignedRank; }

TResultValue ChoicesOf(const TNonparametricResult& result) {
  const TNonparametricRequest& request = result.Request;
  TResultValue choices = TResultValue::Object();
  choices.AddText("test", KindNames[static_cast<int>(request.Kind)]);
  choices.AddInteger("tails", request.Tails);
  if (OneColumn(request)) choices.AddReal("hypotheticalMedian", request.HypotheticalMedian);
  TResultValue columns = TResultValue::Array();
  columns.Push(TestColumnValue(request.First, result.A));
  if (!OneColumn(request)) columns.Push(TestColumnValue(request.Second, result.B));
  choices.Add("columns", columns);
  return choices;
}

TResultValue PValuesOf(const TNonparametricResult& result) {
  TResultValue results = TResultValue::Object();
  results.AddReal("p", result.P).AddReal("pTwoTailed", result.PTwoTailed);
  results.AddReal("pApproximate", result.PApproximate);
  return results;
}

TResultValue PairingTree(const TPairingCorrelation& pairing) {
  TResultValue tree = TResultValue::Object();
  tree.AddInteger("nPairs", pairing.N).AddReal("r", pairing.R);
  // The check states the one-tailed P only for r >= 0.
  const bool stated = pairing.R >= 0;
  tree.AddReal("pOneTailed", stated ? pairing.TwoTailedP / 2 : EmptyValue);
  tree.AddReal("pTwoTailed", std::min<TReal>(1, pairing.TwoTailedP));
  tree.AddBool("effective", stated && pairing.TwoTailedP / 2 <= 0.05L);
  tree.AddText("pValue", pairing.Status == TExactStatus::Exact ? "exact" : "tDistribution");
  return tree;
}

TResultValue SignedRankResults(const TNonparametricResult& result) {
  const TSignedRankResult& ranks = result.SignedRank;
  TResultValue results = PValuesOf(result);
  results.AddReal("z", ranks.Z).AddReal("w", ranks.W).AddReal("tPlus", ranks.TPlus).AddReal("tMinus", ranks.TMinus);
  results.AddInteger("nRanked", ranks.N).AddInteger("nZeros", ranks.Zeros);
  results.Add("pairing", result.Request.Kind == TNonparametricKind::MatchedPairs ? PairingTree(result.Pairing)
                                                                                 : TResultValue::Null());
  return results;
}

TResultValue MannWhitneyResults(const TNonparametricResult& result) {
  const TMannWhitneyResult& test = result.MannWhitney;
  TResultValue results = PValuesOf(result);
  results.AddReal("z", test.Z).AddReal("u", test.U).AddReal("uPrime", test.UPrime);
  results.AddReal("rankSumA", test.RankSumA).AddReal("rankSumB", test.RankSumB);
  return results;
}

TResultValue MethodOf(const TNonparametricResult& result) {
  const bool mannWhitney = result.Request.Kind == TNonparametricKind::MannWhitney;
  const bool exact = result.Exact == TExactStatus::Exact;
  TResultValue method = TResultValue::Object();
  method.AddText("test", KindNames[static_cast<int>(result.Request.Kind)]);
  method.AddInteger("tails", result.Request.Tails);
  method.AddText("pValue", exact ? "exact" : "approximate");
  method.AddText("exactStatus", ExactStatusNames[static_cast<int>(result.Exact)]);
  method.Add("arrangements",
             exact ? TResultValue::Integer(static_cast<std::int64_t>(result.Arrangements)) : TResultValue::Null());
  method.AddText("approximatePValue", "normal").AddBool("continuityCorrection", true);
  // Signed ranks: tied |differences|; Mann-Whitney: values of A equal to
  // values of B, the only ties its variance corrects for.
  method.AddBool("ties", mannWhitney ? result.MannWhitney.TieTerm > 0 : result.SignedRank.Ties);
  method.AddReal("tieTerm", mannWhitney ? result.MannWhitney.TieTerm : result.SignedRank.TieTerm);
  method.Add("columns", ColumnUseTree(result.Columns));
  return method;
}

TResultValue TablesOf(const TNonparametricResult& result) {
  const TNonparametricRequest& request = result.Request;
  TResultValue summary = TResultValue::Array();
  summary.Push(ColumnSummaryRow(result.A, request.First.Column));
  if (!OneColumn(request)) summary.Push(ColumnSummaryRow(result.B, request.Second.Column));
  if (request.Kind == TNonparametricKind::MatchedPairs) summary.Push(ColumnSummaryRow(result.Differences, -1));
  TResultValue tables = TResultValue::Object();
  tables.Add("columnSummary", summary);
  return tables;
}

// ---------------------------------------------------------------------------
// The effect section

// How the P value was found: exact, or the normal approximation and why.
void SetPMethod(const TNonparametricResult& result, TMethodFacts& facts) {
  const bool mannWhitney = result.Request.Kind == TNonparametricKind::MannWhitney;
  // Ties the variance of the approximation, or the exact count, allows for.
  const bool ties = mannWhitney ? result.MannWhitney.TieTerm > 0 : result.SignedRank.Ties;
  if (result.Exact == TExactStatus::Exact) {
    facts.PMethod = TPMethod::Exact;
    facts.Arrangements = result.Arrangements;
    // The count runs over untied ranks 1..N.
    if (ties) facts.Notes.emplace_back("P may be inaccurate because of ties");
    return;
  }
  facts.PMethod = TPMethod::Approximate;
  facts.Source = "the normal approximation with continuity correction";
  const bool anyTies = mannWhitney ? result.MannWhitney.Ties : ties;
  facts.Ties = ties ? TTieHandling::Corrected : anyTies ? TTieHandling::NotCorrected : TTieHandling::NoTies;
  if (result.Exact == TExactStatus::Cancelled) {
    facts.Notes.emplace_back("exact count cancelled");
  } else if (result.TooManyArrangements) {
    facts.Notes.emplace_back("too many arrangements for an exact count");
  } else {
    facts.Notes.emplace_back("exact count would have taken too long");
  }
}

// The rank-biserial r, the method and the APA sentence: Wilcoxon's T (the
// smaller of the two rank sums) or Mann-Whitney's U, p and r.
TEffectSection EffectSectionOf(const TNonparametricResult& result) {
  TEffectSection section;
  section.Sizes.push_back({"rank-biserial r", {result.RankBiserial}});
  TMethodFacts& facts = section.Method;
  SetPMethod(result, facts);
  const bool mannWhitney = result.Request.Kind == TNonparametricKind::MannWhitney;
  const std::int32_t zeros = result.SignedRank.Zeros;
  if (!mannWhitney && zeros > 0)
    facts.Notes.push_back(std::to_string(zeros) + (zeros == 1 ? " zero difference" : " zero differences") +
                          " not ranked");
  facts.Tails = result.Request.Tails;
  facts.Groups = GroupCountsOf(result.Columns);
  const TSignedRankResult& ranks = result.SignedRank;
  const std::string statistic = mannWhitney ? ApaStatistic(Italic("U"), "", result.MannWhitney.U)
                                            : ApaStatistic(Italic("T"), "", std::min(ranks.TPlus, -ranks.TMinus));
  section.Apa = {statistic, ApaP(result.P), ApaEffect(Italic("r"), result.RankBiserial, EmptyValue, EmptyValue, false)};
  return section;
}

}  // namespace

void WriteNonparametricReport(const TNonparametricResult& result, TReportText& report) {
  switch (result.Request.Kind) {
    case TNonparametricKind::SignedRank:
      WriteSignedRankReport(result, report);
      break;
    case TNonparametricKind::MatchedPairs:
      WriteMatchedPairsReport(result, report);
      break;
    case TNonparametricKind::MannWhitney:
      WriteMannWhitneyReport(result, report);
      break;
  }
}

void FillNonparametricRecord(const TNonparametricResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, AnalysisNames[static_cast<int>(result.Request.Kind)], ChoicesOf(result), result.Status))
    return;
  const bool mannWhitney = result.Request.Kind == TNonparametricKind::MannWhitney;
  record.Results = mannWhitney ? MannWhitneyResults(result) : SignedRankResults(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
