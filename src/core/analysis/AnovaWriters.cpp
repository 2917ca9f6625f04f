// The analyses of variance's writers: the text report and the record, both
// from a computed TAnovaResult.
#include <memory>
#include <string>
#include <string_view>

#include "core/analysis/Anova.h"
#include "core/analysis/ColumnSummaryData.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

bool IsOrdinary(const TAnovaResult& result) { return result.Request.Design == TAnovaDesign::Ordinary; }

std::string NotWhen(bool condition) { return condition ? "not " : ""; }

// "Variation among column means is [not ]significantly greater than
// expected" / "by chance." and an empty line.
void WriteVerdict(TReportText& report, TReal p) {
  report.WriteLine("Variation among column means is " + NotWhen(p > 0.05L) + "significantly greater than expected");
  report.WriteLine("by chance.");
  report.WriteLine();
}

// The post test that ran, or the note that P kept it from running.
TStatusCode WritePostTestSection(TReportText& report, const TAnovaResult& result, bool emptyLineBeforeNote) {
  if (result.PostTest.Outcome == TPostTestOutcome::SkippedForP) {
    if (emptyLineBeforeNote) report.WriteLine();
    WriteUnderlinedLine(report, "Post tests");
    report.WriteLine("Post tests were not calculated because the P value was greater");
    report.WriteLine("than 0.05.");
    return TStatusCode::Ok;
  }
  return WritePostTestReport(report, PostTestInputOf(result), TrendAnovaOf(result), result.PostTest);
}

// What Bartlett's test could say of the groups.
enum class TBartlettOutcome { Tested, SDZero, TooFewValues };

TBartlettOutcome BartlettOutcomeOf(const TBartlettResult& bartlett) {
  if (IsEmpty(bartlett.Statistic)) return TBartlettOutcome::SDZero;
  return bartlett.EveryGroupHasFive ? TBartlettOutcome::Tested : TBartlettOutcome::TooFewValues;
}

void WriteBartlettSection(TReportText& report, const TBartlettResult& bartlett) {
  report.WriteLine();
  report.WriteLine();
  WriteUnderlinedLine(report, "Assumption test: Are the standard deviations of the groups equal?");
  report.WriteLine();
  report.WriteLine("ANOVA assumes that the data are sampled from populations with identical");
  report.WriteLine("SDs. This assumption is tested using the method of Bartlett.");
  report.WriteLine();
  const TBartlettOutcome outcome = BartlettOutcomeOf(bartlett);
  if (outcome == TBartlettOutcome::SDZero) {
    report.WriteLine("Bartlett's test cannot be performed because at least one column's");
    report.WriteLine("standard deviation is zero.");
    return;
  }
  if (outcome == TBartlettOutcome::TooFewValues) {
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

bool FailedNormality(const TColumnSummary& group) {
  return group.N > 0 && !IsEmpty(group.NormalityP) && group.NormalityP <= 0.05L;
}

void WriteNormalitySection(TReportText& report, const TAnovaResult& result) {
  report.WriteLine();
  report.WriteLine();
  WriteUnderlinedLine(report, "Assumption test: Are the data sampled from Gaussian distributions?");
  report.WriteLine();
  report.WriteLine("ANOVA assumes that the data are sampled from populations that follow ");
  report.WriteLine("Gaussian distributions. This assumption is tested using the method ");
  report.WriteLine("Kolmogorov and Smirnov:");
  WriteNormalityHeading(report);
  bool anyFailed = false;
  for (std::size_t i = 0; i < result.Groups.size(); ++i) {
    WriteNormalityRow(report, result.Groups[i], result.Averaged[i]);
    anyFailed = anyFailed || FailedNormality(result.Groups[i]);
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
void WriteSummaryOfData(TReportText& report, TReportText& scratch, const std::vector<TColumnSummary>& groups) {
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

// "F = <F><explanation>" and the end of the line.
void WriteFLine(TReportText& report, TReal f, std::string_view explanation) {
  report.WriteText("F = ");
  report.WriteNumber(f, -5);
  report.WriteText(explanation);
  report.NewLine();
}

TStatusCode WriteOneWayReport(const TAnovaResult& result, TReportText& report) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  const TOneWayAnovaResult& anova = result.OneWay;
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
    const TStatusCode status = WritePostTestSection(report, result, false);
    if (status != TStatusCode::Ok) return status;
  }
  WriteBartlettSection(report, result.Bartlett);
  WriteNormalitySection(report, result);

  report.WriteLine();
  WriteUnderlinedLine(report, "Intermediate calculations. ANOVA table");
  report.WriteLine();
  WriteOneWayAnovaTable(report, anova.Treatment, anova.Residual, anova.Total);
  report.WriteLine();
  WriteFLine(report, anova.F, "  =(MStreatment/MSresidual) ");
  report.NewLine();
  report.NewLine();
  WriteSummaryOfData(report, *scratch, result.Groups);
  return TStatusCode::Ok;
}

void WriteMatchingCheck(const TRepeatedMeasuresResult& anova, TReportText& report) {
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

TStatusCode WriteRepeatedMeasuresReport(const TAnovaResult& result, TReportText& report) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  const TRepeatedMeasuresResult& anova = result.Repeated;
  report.WriteLine();
  WriteCenteredTitle(report, "Repeated Measures Analysis of Variance");
  report.WriteLine();
  const bool computed = anova.Residual.MS != 0;
  if (computed) {
    report.WritePValueSentence(0, true, anova.P);
    WriteVerdict(report, anova.P);
    const TStatusCode status = WritePostTestSection(report, result, true);
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
    WriteFLine(report, anova.F, "  =MStreatment/MSresidual");
    WriteMatchingCheck(anova, report);
  }
  report.WriteLine();
  WriteSummaryOfData(report, *scratch, result.Groups);
  return TStatusCode::Ok;
}

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view BartlettOutcomeNames[] = {"tested", "sdZero", "tooFewValues"};

std::string_view DesignName(TAnovaDesign design) {
  return design == TAnovaDesign::Ordinary ? "ordinary" : "repeatedMeasures";
}

std::string_view ModeName(TPostTestCondition mode) {
  if (mode == TPostTestCondition::Always) return "always";
  return mode == TPostTestCondition::IfSignificant ? "ifSignificant" : "never";
}

TResultValue ChoicesOf(const TAnovaResult& result) {
  const TAnovaRequest& request = result.Request;
  TResultValue choices = TResultValue::Object();
  choices.AddText("design", DesignName(request.Design));
  choices.AddText("postTest", PostTestName(request.PostTest));
  choices.AddText("postTestWhen", ModeName(request.PostTestMode));
  choices.AddBool("selectedPairs", request.UseSelectedPairs);
  choices.Add("controlColumn", ColumnLetterValue(request.ControlColumn));
  choices.AddInteger("dunnettTails", request.DunnettTails);
  TResultValue columns = TResultValue::Array();
  for (std::size_t i = 0; i < result.Groups.size(); ++i) {
    TResultValue entry = TResultValue::Object();
    entry.Add("column", ColumnLetterValue(result.GroupColumns[i])).AddText("title", result.Groups[i].Title);
    columns.Push(entry.AddBool("averagedData", result.Averaged[i]));
  }
  choices.Add("columns", columns);
  return choices;
}

// F with its degrees of freedom and P.
void AddFTest(TResultValue& tree, TReal f, std::int32_t dfNumerator, std::int32_t dfDenominator, TReal p) {
  tree.AddReal("f", f).AddInteger("dfNumerator", dfNumerator).AddInteger("dfDenominator", dfDenominator);
  tree.AddReal("p", p);
}

// The statistic and P only where the report gives them.
TResultValue BartlettTree(const TBartlettResult& bartlett) {
  const TBartlettOutcome outcome = BartlettOutcomeOf(bartlett);
  const bool tested = outcome == TBartlettOutcome::Tested;
  TResultValue tree = TResultValue::Object();
  tree.AddText("outcome", BartlettOutcomeNames[static_cast<int>(outcome)]);
  tree.AddReal("statistic", tested ? bartlett.Statistic : EmptyValue).AddInteger("df", bartlett.DF);
  tree.AddReal("p", tested ? bartlett.P : EmptyValue);
  return tree;
}

TResultValue MatchingTree(const TRepeatedMeasuresResult& anova) {
  TResultValue tree = TResultValue::Object();
  AddFTest(tree, anova.MatchingF, anova.Individual.DF, anova.Residual.DF, anova.MatchingP);
  tree.Add("effective", IsEmpty(anova.MatchingP) ? TResultValue::Null() : TResultValue::Bool(anova.MatchingP <= 0.05L));
  return tree;
}

TResultValue ResultsOf(const TAnovaResult& result) {
  TResultValue results = TResultValue::Object();
  if (IsOrdinary(result)) {
    const TOneWayAnovaResult& anova = result.OneWay;
    results.AddInteger("nGroups", anova.Groups).AddInteger("n", anova.Count);
    AddFTest(results, anova.F, anova.Treatment.DF, anova.Residual.DF, anova.P);
    results.AddBool("residualZero", anova.Residual.MS == 0);
    results.Add("bartlett", BartlettTree(result.Bartlett));
  } else {
    const TRepeatedMeasuresResult& anova = result.Repeated;
    results.AddInteger("nRows", anova.Rows).AddInteger("nColumns", anova.Columns);
    results.AddReal("grandMean", anova.GrandMean);
    AddFTest(results, anova.F, anova.Treatment.DF, anova.Residual.DF, anova.P);
    results.AddBool("residualZero", anova.Residual.MS == 0);
    results.Add("matching", MatchingTree(anova));
  }
  results.Add("postTest", PostTestResultsTree(PostTestInputOf(result), result.PostTest));
  return results;
}

TResultValue MethodOf(const TAnovaResult& result) {
  const bool ordinary = IsOrdinary(result);
  const TAnovaSource& treatment = ordinary ? result.OneWay.Treatment : result.Repeated.Treatment;
  const TAnovaSource& residual = ordinary ? result.OneWay.Residual : result.Repeated.Residual;
  TResultValue method = TResultValue::Object();
  method.AddText("design", DesignName(result.Request.Design)).AddText("pValue", "fDistribution");
  method.AddInteger("dfNumerator", treatment.DF).AddInteger("dfDenominator", residual.DF);
  bool averaged = false;
  for (const bool a : result.Averaged) averaged = averaged || a;
  method.AddBool("averagedData", averaged);
  method.Add("postTest",
             PostTestMethodTree(result.PostTest, result.Request.UseSelectedPairs, result.Request.DunnettTails));
  method.Add("columns", ColumnUseTree(result.Columns));
  return method;
}

TResultValue AnovaRows(const TAnovaResult& result) {
  TResultValue rows = TResultValue::Array();
  if (IsOrdinary(result)) {
    rows.Push(AnovaSourceRow("treatment", result.OneWay.Treatment));
    rows.Push(AnovaSourceRow("residual", result.OneWay.Residual));
    rows.Push(AnovaSourceRow("total", result.OneWay.Total));
  } else {
    rows.Push(AnovaSourceRow("treatment", result.Repeated.Treatment));
    rows.Push(AnovaSourceRow("individual", result.Repeated.Individual));
    rows.Push(AnovaSourceRow("residual", result.Repeated.Residual));
    rows.Push(AnovaSourceRow("total", result.Repeated.Total));
  }
  return rows;
}

TResultValue TablesOf(const TAnovaResult& result) {
  TResultValue summary = TResultValue::Array();
  TResultValue normality = TResultValue::Array();
  for (std::size_t i = 0; i < result.Groups.size(); ++i) {
    summary.Push(ColumnSummaryRow(result.Groups[i], result.GroupColumns[i]));
    normality.Push(NormalityRow(result.Groups[i], result.GroupColumns[i], result.Averaged[i]));
  }
  TResultValue tables = TResultValue::Object();
  tables.Add("columnSummary", summary);
  if (IsOrdinary(result)) tables.Add("normality", normality);
  tables.Add("anova", AnovaRows(result));
  AddPostTestTables(tables, PostTestInputOf(result), TrendAnovaOf(result), result.PostTest);
  return tables;
}

// Eta squared and omega squared, or partial eta squared; the method; the
// APA sentence with F and the eta squared the design gives.
TEffectSection EffectSectionOf(const TAnovaResult& result) {
  const bool ordinary = IsOrdinary(result);
  const TAnovaSource& treatment = ordinary ? result.OneWay.Treatment : result.Repeated.Treatment;
  const TAnovaSource& residual = ordinary ? result.OneWay.Residual : result.Repeated.Residual;
  TEffectSection section;
  section.Method.Source = "the F distribution";
  // Two groups: the report states the P of the unpaired t test.
  if (ordinary && result.OneWay.Groups == 2) section.Method.Tails = 2;
  section.Method.Groups = GroupCountsOf(result.Columns);
  section.Method.PostTest = PostTestMethodText(result.PostTest, result.Request.DunnettTails);
  const std::string df = ApaDf(treatment.DF) + ", " + ApaDf(residual.DF);
  if (ordinary) {
    const TEffectSize& eta = result.EtaSquared;
    section.Sizes = {{"eta squared", eta}, {"omega squared", {result.OmegaSquared}}};
    section.Apa = {ApaStatistic(Italic("F"), df, result.OneWay.F), ApaP(result.OneWay.P),
                   ApaEffect("eta squared", eta.Value, eta.Lower, eta.Upper, false)};
  } else {
    const TReal partial = result.PartialEtaSquared;
    section.Sizes = {{"partial eta squared", {partial}}};
    section.Apa = {ApaStatistic(Italic("F"), df, result.Repeated.F), ApaP(result.Repeated.P),
                   ApaEffect("partial eta squared", partial, EmptyValue, EmptyValue, false)};
  }
  return section;
}

}  // namespace

TStatusCode WriteAnovaReport(const TAnovaResult& result, TReportText& report) {
  return IsOrdinary(result) ? WriteOneWayReport(result, report) : WriteRepeatedMeasuresReport(result, report);
}

void FillAnovaRecord(const TAnovaResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, IsOrdinary(result) ? "oneWayAnova" : "repeatedMeasuresAnova", ChoicesOf(result),
                   result.Status))
    return;
  record.Results = ResultsOf(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
