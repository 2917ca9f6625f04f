// The t tests' writers: the text report and the record, both from a
// computed TTTestResult.
#include <cmath>
#include <string_view>

#include "core/analysis/ColumnSummaryData.h"
#include "core/analysis/TTests.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

constexpr std::int32_t OneSampleHelpTopic = 538;
constexpr std::int32_t PairedHelpTopic = 104;
constexpr std::int32_t UnpairedHelpTopic = 93;

constexpr int Digits = -5;

bool IsUnpaired(const TTTestRequest& request) {
  return request.Kind == TTTestKind::Unpaired || request.Kind == TTTestKind::Welch;
}

void WriteTAndDF(TReportText& report, std::string_view label, const TTStatistic& t) {
  report.WriteText(label);
  report.WriteNumber(t.T, Digits);
  report.WriteText(" with ");
  report.WriteInteger(t.DF);
  report.WriteLine(" degrees of freedom.");
}

void WritePValue(TReportText& report, const TTTestResult& result) {
  report.WritePValueSentence(result.Request.Tails == 1 ? 1 : 2, true, result.P);
}

void WriteSDZeroLines(TReportText& report, std::string_view last) {
  report.WriteLine();
  report.WriteLine("The t test cannot be performed when the standard deviation");
  report.WriteLine(last);
}

// The Kolmogorov-Smirnov result of one column (the tested values, or the
// paired differences), under its heading and three lines of explanation.
void WriteNormalityBlock(TReportText& report, std::string_view heading, std::string_view firstLine,
                         const TColumnSummary& summary) {
  WriteUnderlinedLine(report, heading);
  report.WriteLine(firstLine);
  report.WriteLine("Gaussian distribution. This assumption is tested using the ");
  report.WriteLine("method of Kolmogorov and Smirnov:");
  const TReal ks = summary.NormalityKS;
  const TReal p = summary.NormalityP;
  if (IsEmpty(ks) || IsEmpty(p)) {
    // Fewer than five values are not tested; an empty P must not read as
    // a passed test.
    report.WriteLine("   Too few values to test.");
    return;
  }
  report.WriteText("   The Kolmogorov-Smirnov distance (KS) is ");
  report.WriteNumberIn(6, ks, 2);
  report.NewLine();
  report.WriteText("   The P value is ");
  if (p > 0.1L) {
    report.WriteText(">0.10");
  } else if (p < 0.0001L) {
    report.WriteText("<0.0001");
    report.NewLine();
  } else {
    report.WriteNumber(p, 4);
  }
  report.NewLine();
  if (p < 0.05L) {
    report.WriteLine("The data failed the normality test with P<0.05.");
    report.WriteLine("Consider using a nonparametric test or transforming the data ");
    report.WriteLine("(i.e. converting to logarithms or reciprocals). ");
  } else {
    report.WriteLine("The data passed the normality test with P>0.05.");
  }
}

void WriteOneSampleReport(const TTTestResult& result, TReportText& report) {
  const TTTestRequest& request = result.Request;
  report.HelpTopic = OneSampleHelpTopic;
  report.WriteLine();
  WriteCenteredTitle(report, "One sample t test");
  WriteOneColumnQuestion(report, "mean", result.A.Title, request.HypotheticalMean, Digits);
  report.WriteLine();
  if (result.T.SDZero) {
    WriteSDZeroLines(report, "is zero.");
    return;
  }
  WriteUnderlinedLine(report, "P value");
  WritePValue(report, result);
  report.WriteLine();
  WriteTAndDF(report, "t = ", result.T);
  report.WriteLine();
  WriteUnderlinedLine(report, "95% Confidence interval");
  report.WriteText("Mean difference = ");
  report.WriteNumber(result.T.Difference, Digits);
  report.WriteText(" (Mean of ");
  report.WriteText(result.A.Title);
  report.WriteText(" minus ");
  report.WriteNumber(request.HypotheticalMean, Digits);
  report.WriteLine(") ");
  report.WriteLine("The 95% confidence interval of the difference:");
  report.WriteText("   ");
  report.WriteNumber(result.T.Lower, Digits);
  report.WriteText(" to ");
  report.WriteNumber(result.T.Upper, Digits);
  report.NewLine();
  report.WriteLine();
  if (!request.First.Averaged)
    WriteNormalityBlock(report, "Assumption test: Are the data sampled from a Gaussian distribution?",
                        "The one sample t test assumes that the differences are sampled from a ", result.A);
  report.NewLine();
  report.NewLine();
  WriteCenteredTitle(report, "Summary of Data");
  WriteColumnSummaryTable(report, result.A);
}

void WriteFTest(TReportText& report, const TFTestResult& f) {
  WriteUnderlinedLine(report, "Assumption test: Are the standard deviations equal?");
  report.WriteLine("The t test assumes that the columns come from populations with equal SDs.");
  report.WriteLine("The following calculations test that assumption.");
  report.WriteLine();
  report.WriteText("F = ");
  report.WriteNumber(f.F, Digits);
  report.NewLine();
  report.WritePValueSentence(0, false, f.P);
  report.WriteLine("This test suggests that the difference between the two SDs is");
  report.WriteSignificanceWord(f.P);
  report.WriteText("significant.  ");
  if (f.P < 0.05L) {
    report.WriteLine("Since the t test assumes populations with equal");
    report.WriteLine("SDs, you should consider transforming your data (reciprocal or log),");
    report.WriteLine("selecting a nonparametric test, or selecting the alternate (Welch) t test.");
  } else {
    report.NewLine();
  }
}

void WriteUnpairedNormality(TReportText& report, const TTTestResult& result) {
  report.WriteLine();
  WriteUnderlinedLine(report, "Assumption test: Are the data sampled from Gaussian distributions?");
  report.WriteLine("The t test assumes that the data are sampled from populations that follow ");
  report.WriteLine("Gaussian distributions. This assumption is tested using the method ");
  report.WriteLine("Kolmogorov and Smirnov:");
  WriteNormalityHeading(report);
  WriteNormalityRow(report, result.A, result.Request.First.Averaged);
  WriteNormalityRow(report, result.B, result.Request.Second.Averaged);
  const auto failed = [](const TColumnSummary& s) { return !IsEmpty(s.NormalityP) && s.NormalityP <= 0.05L; };
  if (failed(result.A) || failed(result.B)) {
    report.WriteLine();
    report.WriteLine("At least one column failed the normality test with P<0.05.");
    report.WriteLine("Consider using a nonparametric test or transforming the data ");
    report.WriteLine("(i.e. converting to logarithms or reciprocals). ");
  }
  report.NewLine();
}

void WritePairingCheck(TReportText& report, const TTTestResult& result) {
  WriteUnderlinedLine(report, "Assumption test: Was the pairing effective?");
  if (result.Pairing == TPairingCheck::TooFewPairs) {
    report.WriteLine("There are too few pairs to calculate r.");
    return;
  }
  if (result.Pairing == TPairingCheck::NoVariability) {
    report.WriteLine("Can't calculate r. One group has no variability.");
    return;
  }
  report.WriteText("Correlation coefficient (r) = ");
  report.WriteNumber(result.PairingR.R, Digits);
  report.NewLine();
  if (result.PairingR.R < 0) {
    report.WriteLine("The negative correlation coefficient indicates that the pairing or");
    report.WriteLine("matching was NOT effective.");
    return;
  }
  report.WritePValueSentence(1, true, result.PairingPOneTailed);
  report.WriteLine("Effective pairing results in a significant correlation between the columns.");
  report.WriteText("With these data, the pairing (or matching) appears ");
  if (result.PairingPOneTailed <= 0.05L) {
    report.WriteLine("to be effective.");
  } else {
    report.WriteLine("not to be effective.");
    report.WriteLine("The unpaired test may be more appropriate.");
  }
}

std::string_view TwoSampleTitle(TTTestKind kind) {
  if (kind == TTTestKind::Paired) return "Paired t test";
  if (kind == TTTestKind::Unpaired) return "Unpaired t test";
  return "Unpaired t test with Welch correction";
}

// What follows the interval: the assumption tests of the kind.
void WriteAssumptionTests(const TTTestResult& result, TReportText& report) {
  const TTTestKind kind = result.Request.Kind;
  if (kind != TTTestKind::Paired) {
    if (kind == TTTestKind::Unpaired) WriteFTest(report, result.F);
    WriteUnpairedNormality(report, result);
    return;
  }
  WritePairingCheck(report, result);
  report.WriteLine();
  WriteNormalityBlock(report, "Assumption test: Are the differences sampled from a Gaussian distribution?",
                      "The paired t test assumes that the differences are sampled from a ", result.Differences);
  report.NewLine();
}

void WriteTwoSampleReport(const TTTestResult& result, TReportText& report) {
  const TTTestKind kind = result.Request.Kind;
  const bool unpaired = IsUnpaired(result.Request);
  report.HelpTopic = unpaired ? UnpairedHelpTopic : PairedHelpTopic;
  WriteCenteredTitle(report, TwoSampleTitle(kind));
  WriteTwoColumnQuestion(report, "mean", result.A.Title, result.B.Title, !unpaired);
  report.WriteLine();
  WriteUnderlinedLine(report, "P value");
  if (!result.T.SDZero) {
    WritePValue(report, result);
    if (kind == TTTestKind::Welch)
      report.WriteLine("Welch correction applied. This test does not assume equal variances.");
  }
  report.WriteLine();
  if (!result.T.SDZero) {
    WriteTAndDF(report, kind == TTTestKind::Welch ? "Welch's approximate t = " : "t = ", result.T);
    report.WriteLine();
  }
  WriteUnderlinedLine(report, "95% confidence interval");
  report.WriteText("Mean difference = ");
  report.WriteNumber(result.T.Difference, Digits);
  if (unpaired) {
    report.WriteText(" (Mean of ");
    report.WriteText(result.B.Title);
    report.WriteText(" minus mean of ");
    report.WriteText(result.A.Title);
    report.WriteLine(") ");
  } else {
    report.WriteLine(" (Mean of paired differences)");
  }
  if (result.T.SDZero) {
    WriteSDZeroLines(report, "is zero. ");
  } else {
    report.WriteText("The 95% confidence interval of the difference: ");
    report.WriteNumber(result.T.Lower, Digits);
    report.WriteText(" to ");
    report.WriteNumber(result.T.Upper, Digits);
    report.NewLine();
    report.WriteLine();
    WriteAssumptionTests(result, report);
  }
  WriteCenteredTitle(report, "Summary of Data");
  if (unpaired) {
    WriteColumnSummaryTable(report, result.A, result.B);
  } else {
    WriteColumnSummaryTable(report, result.A, result.B, result.Differences);
  }
}

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view KindNames[] = {"oneSample", "paired", "unpaired", "welch"};
constexpr std::string_view AnalysisNames[] = {"oneSampleTTest", "pairedTTest", "unpairedTTest", "welchTTest"};
constexpr std::string_view PairingNames[] = {"tooFewPairs", "noVariability", "computed"};

std::string_view KindName(TTTestKind kind) { return KindNames[static_cast<int>(kind)]; }

TResultValue ChoicesOf(const TTTestResult& result) {
  const TTTestRequest& request = result.Request;
  TResultValue choices = TResultValue::Object();
  choices.AddText("test", KindName(request.Kind));
  choices.AddInteger("tails", request.Tails);
  if (request.Kind == TTTestKind::OneSample) choices.AddReal("hypotheticalMean", request.HypotheticalMean);
  TResultValue columns = TResultValue::Array();
  columns.Push(TestColumnValue(request.First, result.A));
  if (request.Kind != TTTestKind::OneSample) columns.Push(TestColumnValue(request.Second, result.B));
  choices.Add("columns", columns);
  return choices;
}

TResultValue FTestTree(const TTTestResult& result) {
  if (result.Request.Kind != TTTestKind::Unpaired && result.Request.Kind != TTTestKind::Welch)
    return TResultValue::Null();
  TResultValue f = TResultValue::Object();
  f.AddReal("f", result.F.F).AddInteger("dfNumerator", result.F.NumeratorDF);
  f.AddInteger("dfDenominator", result.F.DenominatorDF).AddReal("p", result.F.P);
  f.AddBool("reported", result.Request.Kind == TTTestKind::Unpaired);
  return f;
}

TResultValue PairingTree(const TTTestResult& result) {
  if (result.Request.Kind != TTTestKind::Paired) return TResultValue::Null();
  TResultValue pairing = TResultValue::Object();
  pairing.AddText("check", PairingNames[static_cast<int>(result.Pairing)]);
  pairing.AddInteger("nPairs", result.Differences.N);
  pairing.AddReal("r", result.PairingR.R);
  pairing.AddReal("pOneTailed", result.PairingPOneTailed);
  pairing.AddReal("pTwoTailed", result.PairingR.P);
  return pairing;
}

TResultValue ResultsOf(const TTTestResult& result) {
  TResultValue results = TResultValue::Object();
  results.AddReal("t", result.T.T).AddInteger("df", result.T.DF).AddReal("p", result.P);
  results.AddReal("pTwoTailed", result.T.P);
  results.AddReal("meanDifference", result.T.Difference);
  results.AddReal("lower95", result.T.Lower).AddReal("upper95", result.T.Upper);
  results.AddBool("sdZero", result.T.SDZero);
  results.Add("fTest", FTestTree(result));
  results.Add("pairing", PairingTree(result));
  return results;
}

TResultValue MethodOf(const TTTestResult& result) {
  const TTTestKind kind = result.Request.Kind;
  TResultValue method = TResultValue::Object();
  method.AddText("test", KindName(kind)).AddInteger("tails", result.Request.Tails);
  method.AddText("pValue", "tDistribution").AddInteger("df", result.T.DF);
  if (kind == TTTestKind::Unpaired) method.AddText("standardError", "pooledVariance");
  if (kind == TTTestKind::Welch) method.AddText("standardError", "welch").AddText("dfRule", "welchTruncated");
  method.AddReal("criticalT95", t_test_critical_95(result.T.DF));
  method.Add("columns", ColumnUseTree(result.Columns));
  return method;
}

TResultValue TablesOf(const TTTestResult& result) {
  const TTTestRequest& request = result.Request;
  TResultValue summary = TResultValue::Array();
  TResultValue normality = TResultValue::Array();
  summary.Push(ColumnSummaryRow(result.A, request.First.Column));
  if (request.Kind == TTTestKind::OneSample) {
    if (!request.First.Averaged) normality.Push(NormalityRow(result.A, request.First.Column, false));
  } else {
    summary.Push(ColumnSummaryRow(result.B, request.Second.Column));
    if (request.Kind == TTTestKind::Paired) {
      summary.Push(ColumnSummaryRow(result.Differences, -1));
      normality.Push(NormalityRow(result.Differences, -1, false));
    } else {
      normality.Push(NormalityRow(result.A, request.First.Column, request.First.Averaged));
      normality.Push(NormalityRow(result.B, request.Second.Column, request.Second.Averaged));
    }
  }
  TResultValue tables = TResultValue::Object();
  tables.Add("columnSummary", summary).Add("normality", normality);
  return tables;
}

// Cohen's d (and Hedges' g), the method and the APA sentence. The APA t
// carries the sign of the mean difference, as d does; the report's t is
// its size.
TEffectSection EffectSectionOf(const TTTestResult& result) {
  const TTTestKind kind = result.Request.Kind;
  TEffectSection section;
  section.Sizes.push_back({"Cohen's d", result.CohensD});
  if (kind == TTTestKind::Unpaired) section.Sizes.push_back({"Hedges' g", result.HedgesG});
  section.Method.Source =
      kind == TTTestKind::Welch ? "the t distribution with Welch's degrees of freedom" : "the t distribution";
  section.Method.Tails = result.Request.Tails;
  section.Method.Groups = GroupCountsOf(result.Columns);
  const TReal t = IsEmpty(result.T.T) ? EmptyValue : std::copysign(result.T.T, result.T.Difference);
  const TEffectSize& d = result.CohensD;
  section.Apa = {ApaStatistic(Italic("t"), ApaDf(result.T.DF), t), ApaP(result.P),
                 ApaEffect(Italic("d"), d.Value, d.Lower, d.Upper)};
  return section;
}

}  // namespace

TResultValue TestColumnValue(const TTestColumn& column, const TColumnSummary& summary) {
  TResultValue entry = TResultValue::Object();
  entry.Add("column", ColumnLetterValue(column.Column))
      .AddText("title", summary.Title)
      .AddBool("averagedData", column.Averaged);
  return entry;
}

void WriteTTestReport(const TTTestResult& result, TReportText& report) {
  if (result.Request.Kind == TTTestKind::OneSample) {
    WriteOneSampleReport(result, report);
  } else {
    WriteTwoSampleReport(result, report);
  }
}

void FillTTestRecord(const TTTestResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, AnalysisNames[static_cast<int>(result.Request.Kind)], ChoicesOf(result), result.Status))
    return;
  record.Results = ResultsOf(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
