// The post tests' writers: their report sections and their part of the
// record of the analysis of variance, both from computed results.
#include <memory>
#include <string>

#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/PostTests.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/CriticalTables.h"

namespace ombrel {

namespace {

const std::string& Name(const TPostTestInput& input, std::size_t group) { return input.Groups[group].Title; }

void WriteBoldLine(TReportText& report, std::string_view text) {
  report.ToggleBold();
  report.WriteText(text);
  report.ToggleBold();
  report.NewLine();
}

// "If the value of <statistic> is greater than <critical> then the P value
// is less" / "than 0.05."
void WriteCriticalSentence(TReportText& report, std::string_view statistic, TReal critical) {
  report.WriteText("If the value of ");
  report.WriteText(statistic);
  report.WriteText(" is greater than ");
  report.WriteNumber(critical, -5);
  report.WriteText(" then the P value is less");
  report.NewLine();
  report.WriteLine("than 0.05.");
}

// Said when a table lookup had to stop at its last column: the critical
// values used are those of fewer means or groups, so too small.
void WriteBeyondTableNote(TReportText& report, std::int32_t last, std::string_view what) {
  report.WriteText("Note: The table of critical values ends at ");
  report.WriteInteger(last);
  report.WriteText(" ");
  report.WriteText(what);
  report.WriteLine(". The values");
  report.WriteText("for ");
  report.WriteInteger(last);
  report.WriteText(" ");
  report.WriteText(what);
  report.WriteLine(" were used, so the P values are too small.");
}

std::string_view NotWhen(bool condition) { return condition ? "not " : ""; }

// The scratch report of a section's companion table, appended after its
// main table.
void AppendScratch(TReportText& report, TReportText& scratch) {
  scratch.TerminateReport();
  report.AppendReport(scratch);
}

// The comparison table of every pair, with its companion table of
// differences and intervals written to the scratch report and appended.
void WritePairComparisons(TReportText& report, TReportText& scratch, const TPostTestInput& input,
                          const std::vector<TPairComparison>& pairs, TComparisonStatistic statistic) {
  WriteComparisonHeading(report, statistic);
  WriteDifferenceIntervalHeading(scratch);
  for (const TPairComparison& pair : pairs) {
    const std::string& first = Name(input, pair.First);
    const std::string& second = Name(input, pair.Second);
    WriteComparisonRow(report, first, second, pair.Difference, pair.Statistic, pair.P);
    WriteDifferenceIntervalRow(scratch, first, second, pair.Difference, pair.Lower, pair.Upper);
  }
  report.NewLine();
  AppendScratch(report, scratch);
  report.NewLine();
}

}  // namespace

TStatusCode WriteBonferroniReport(TReportText& report, const TPostTestInput& input, const TBonferroniResult& result) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteUnderlinedLine(report, "Bonferroni Multiple Comparisons Test");
  if (result.Comparisons > 0) WriteCriticalSentence(report, "t", result.CriticalT);
  report.WriteLine();
  report.WriteLine();
  WritePairComparisons(report, *scratch, input, result.Pairs, TComparisonStatistic::T);
  if (result.Comparisons >= 9) {
    WriteBoldLine(report, "Warning: With so many comparisons, the Bonferroni method");
    WriteBoldLine(report, "is said to be too conservative.  This means that the P");
    WriteBoldLine(report, "values are too high.  You should consider using a different");
    WriteBoldLine(report, "post-test.");
  }
  return TStatusCode::Ok;
}

TStatusCode WriteTukeyKramerReport(TReportText& report, const TPostTestInput& input, const TRangeTestResult& result) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteUnderlinedLine(report, "Tukey-Kramer Multiple Comparisons Test");
  WriteCriticalSentence(report, "q", result.CriticalQ);
  if (result.BeyondTable) WriteBeyondTableNote(report, RangeTableMeans.back(), "means");
  report.WriteLine();
  report.WriteLine();
  WritePairComparisons(report, *scratch, input, result.Pairs, TComparisonStatistic::Q);
  return TStatusCode::Ok;
}

TStatusCode WriteStudentNewmanKeulsReport(TReportText& report, const TPostTestInput& input,
                                          const TRangeTestResult& result) {
  // No intervals: the scratch report stays empty but keeps the section's
  // layout.
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  report.WriteLine();
  WriteUnderlinedLine(report, "Student-Newman-Keuls Multiple Comparisons Test");
  report.WriteLine();
  if (result.BeyondTable) {
    WriteBeyondTableNote(report, RangeTableMeans.back(), "means");
    report.WriteLine();
  }
  WriteSnkHeading(report);
  for (const TPairComparison& pair : result.Pairs) {
    WriteSnkRow(report, Name(input, pair.First), Name(input, pair.Second), pair.Difference, pair.Statistic, pair.P);
  }
  report.WriteLine();
  report.WriteLine("With Student-Newman-Keuls test, it is impossible to calculate confidence");
  report.WriteLine("intervals.");
  report.NewLine();
  AppendScratch(report, *scratch);
  report.NewLine();
  return TStatusCode::Ok;
}

TStatusCode WriteDunnettReport(TReportText& report, const TPostTestInput& input, const TDunnettResult& result) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return TStatusCode::OutOfMemory;
  WriteUnderlinedLine(report, "Dunnett Multiple Comparisons Test");
  if (result.TooFewDF) {
    report.WriteText("Too few data points. DF must exceed 5. ");
  } else {
    report.WriteLine("Control column: " + Name(input, result.Control));
    WriteCriticalSentence(report, "q", result.Critical5);
    if (result.BeyondTable) WriteBeyondTableNote(report, result.LastTabulated, "groups");
    report.NewLine();
    report.NewLine();
    WriteControlComparisonHeading(report, TQColumn::Shown);
    WriteControlIntervalHeading(*scratch);
    for (const TPairComparison& pair : result.Pairs) {
      const std::string& control = Name(input, pair.First);
      const std::string& group = Name(input, pair.Second);
      WriteControlComparisonRow(report, TQColumn::Shown, control, group, pair.Difference, pair.Statistic, pair.P);
      WriteControlIntervalRow(*scratch, control, group, pair.Difference, pair.Lower, pair.Upper);
    }
  }
  report.NewLine();
  AppendScratch(report, *scratch);
  return TStatusCode::Ok;
}

void WriteLinearTrendReport(TReportText& report, const TPostTestInput& input, const TTrendAnova& anova,
                            const TLinearTrendResult& result) {
  WriteUnderlinedLine(report, "Test for linear trend between column means and column number");
  report.WriteLine();
  report.WriteText("Slope = ");
  report.WriteNumber(result.Slope, -5);
  report.WriteText("    r squared = ");
  report.WriteNumber(result.RSquared, 4);
  report.NewLine();
  report.WriteLine();
  WriteBoldLine(report, "Is the linear trend statistically significant?");
  report.WritePValueSentence(0, true, result.PLinear);
  report.WriteLine("There is " + std::string(NotWhen(result.PLinear > 0.05L)) + "a significant linear trend.");
  report.WriteLine();
  const bool nonlinearTested = result.NotLinear.DF > 0;
  if (nonlinearTested) {
    WriteBoldLine(report, "Is the nonlinear variation statistically significant?");
    report.WritePValueSentence(0, true, result.PNotLinear);
    report.WriteLine("After accounting for the linear trend, the remaining variation among");
    report.WriteLine("column means is " + std::string(NotWhen(result.PNotLinear > 0.05L)) + "significant.");
  }
  report.WriteLine();
  report.WriteLine();
  report.WriteLine("This result was obtained from dividing variation among columns into");
  report.WriteLine("linear and nonlinear components:");
  report.WriteLine();
  if (input.Design == TAnovaDesign::Ordinary) {
    WriteOneWayTrendAnovaTable(report, result.SSLinear, result.NotLinear, anova.Residual, anova.Total);
  } else {
    WriteRepeatedMeasuresTrendAnovaTable(report, result.SSLinear, result.NotLinear, anova.Individual, anova.Residual,
                                         anova.Total);
  }
  report.WriteLine();
  report.WriteText("F (linear trend) = ");
  report.WriteNumber(result.FLinear, 4);
  report.WriteText("    =MSlinear/MSresidual");
  report.NewLine();
  if (nonlinearTested) {
    report.WriteLine();
    report.WriteText("F (nonlinear trend) = ");
    report.WriteNumber(result.FNotLinear, 4);
    report.WriteText("   =MSnonlinear/MSresidual");
    report.NewLine();
  }
}

TStatusCode WritePostTestReport(TReportText& report, const TPostTestInput& input, const TTrendAnova& anova,
                                const TPostTestResult& result) {
  if (result.Outcome != TPostTestOutcome::Ran) return TStatusCode::Ok;
  switch (result.Kind) {
    case TPostTestKind::Bonferroni:
      return WriteBonferroniReport(report, input, result.Bonferroni);
    case TPostTestKind::TukeyKramer:
      return WriteTukeyKramerReport(report, input, result.Range);
    case TPostTestKind::Dunnett:
      return WriteDunnettReport(report, input, result.Dunnett);
    case TPostTestKind::StudentNewmanKeuls:
      return WriteStudentNewmanKeulsReport(report, input, result.Range);
    case TPostTestKind::LinearTrend:
      WriteLinearTrendReport(report, input, anova, result.Trend);
      return TStatusCode::Ok;
    case TPostTestKind::None:
      break;
  }
  return TStatusCode::Ok;
}

// ---------------------------------------------------------------------------
// The record

namespace {

constexpr std::string_view KindNames[] = {"bonferroni",         "tukeyKramer", "dunnett",
                                          "studentNewmanKeuls", "linearTrend", "none"};
constexpr std::string_view OutcomeNames[] = {"ran", "skippedPAboveFivePercent", "notRequested", "notComputed"};

int ColumnOf(const TPostTestInput& input, std::size_t group) {
  return group < input.Columns.size() ? input.Columns[group] : -1;
}

// The two groups of a comparison row, by letter and title.
TResultValue PairRow(const TPostTestInput& input, const TPairComparison& pair) {
  TResultValue row = TResultValue::Object();
  row.Add("firstColumn", ColumnLetterValue(ColumnOf(input, pair.First))).AddText("firstTitle", Name(input, pair.First));
  row.Add("secondColumn", ColumnLetterValue(ColumnOf(input, pair.Second)));
  row.AddText("secondTitle", Name(input, pair.Second));
  row.AddReal("difference", pair.Difference);
  return row;
}

// The significance class the report's mark names: "P<0.001" ... "P>0.05".
std::string_view SignificanceOf(const std::string& mark) { return std::string_view(mark).substr(4); }

TResultValue ComparisonRows(const TPostTestInput& input, const TPostTestResult& result) {
  TResultValue rows = TResultValue::Array();
  const auto add = [&](const std::vector<TPairComparison>& pairs, std::string_view statistic, bool control) {
    for (const TPairComparison& pair : pairs) {
      TResultValue row = PairRow(input, pair);
      row.AddReal(statistic, pair.Statistic);
      // Bonferroni's P is the two-tailed P times the comparisons, at most 1.
      if (result.Kind == TPostTestKind::Bonferroni) row.AddReal("pAdjusted", pair.P < 1 ? pair.P : 1);
      if (result.Kind == TPostTestKind::StudentNewmanKeuls) row.AddBool("tested", !IsEmpty(pair.Statistic));
      row.AddText("significance", SignificanceOf(control ? ControlSignificanceMark(pair.P) : SignificanceMark(pair.P)));
      rows.Push(std::move(row));
    }
  };
  if (result.Kind == TPostTestKind::Bonferroni) add(result.Bonferroni.Pairs, "t", false);
  if (result.Kind == TPostTestKind::TukeyKramer || result.Kind == TPostTestKind::StudentNewmanKeuls)
    add(result.Range.Pairs, "q", false);
  if (result.Kind == TPostTestKind::Dunnett) add(result.Dunnett.Pairs, "q", true);
  return rows;
}

TResultValue IntervalRows(const TPostTestInput& input, const std::vector<TPairComparison>& pairs) {
  TResultValue rows = TResultValue::Array();
  for (const TPairComparison& pair : pairs) {
    TResultValue row = PairRow(input, pair);
    row.AddReal("lower95", pair.Lower).AddReal("upper95", pair.Upper);
    rows.Push(std::move(row));
  }
  return rows;
}

TResultValue TrendAnovaRows(const TPostTestInput& input, const TTrendAnova& anova, const TLinearTrendResult& trend) {
  TResultValue rows = TResultValue::Array();
  rows.Push(AnovaSourceRow("linear", {1, trend.SSLinear, trend.SSLinear}));
  rows.Push(AnovaSourceRow("notLinear", trend.NotLinear));
  if (input.Design == TAnovaDesign::RepeatedMeasures) rows.Push(AnovaSourceRow("individual", anova.Individual));
  rows.Push(AnovaSourceRow("residual", anova.Residual));
  rows.Push(AnovaSourceRow("total", anova.Total));
  return rows;
}

void AddTrend(TResultValue& tree, const TLinearTrendResult& trend) {
  tree.AddReal("slope", trend.Slope).AddReal("rSquared", trend.RSquared);
  tree.AddReal("fLinear", trend.FLinear).AddReal("pLinear", trend.PLinear);
  tree.AddInteger("dfNonlinear", trend.NotLinear.DF);
  tree.AddReal("fNonlinear", trend.FNotLinear).AddReal("pNonlinear", trend.PNotLinear);
}

void AddDunnett(TResultValue& tree, const TPostTestInput& input, const TDunnettResult& dunnett) {
  tree.AddBool("tooFewDf", dunnett.TooFewDF);
  tree.Add("controlColumn", ColumnLetterValue(ColumnOf(input, dunnett.Control)));
  tree.AddText("controlTitle", dunnett.Control < input.Groups.size() ? Name(input, dunnett.Control) : "");
  tree.AddInteger("nGroups", dunnett.Groups);
  tree.AddReal("critical5Percent", dunnett.Critical5).AddReal("critical1Percent", dunnett.Critical1);
}

}  // namespace

std::string_view PostTestName(TPostTestKind kind) { return KindNames[static_cast<int>(kind)]; }

std::string PostTestMethodText(const TPostTestResult& result, std::int32_t dunnettTails) {
  constexpr std::string_view Titles[] = {"Bonferroni", "Tukey-Kramer", "Dunnett", "Student-Newman-Keuls",
                                         "test for linear trend"};
  if (result.Kind == TPostTestKind::None) return std::string();
  const std::string title(Titles[static_cast<int>(result.Kind)]);
  if (result.Outcome == TPostTestOutcome::SkippedForP) return title + ", not calculated because P > 0.05";
  if (result.Outcome != TPostTestOutcome::Ran) return std::string();
  switch (result.Kind) {
    case TPostTestKind::Bonferroni:
      return title + " (critical t from the t distribution)";
    case TPostTestKind::TukeyKramer:
    case TPostTestKind::StudentNewmanKeuls:
      return title + " (critical q from the Studentized range table" +
             (result.Range.BeyondTable ? ", whose last column was used" : "") + ")";
    case TPostTestKind::Dunnett:
      if (result.Dunnett.TooFewDF) return title + ", not calculated because DF < 5";
      return title + " (" + (dunnettTails == 1 ? "one" : "two") + "-sided critical values from Dunnett's table" +
             (result.Dunnett.BeyondTable ? ", whose last column was used" : "") + ")";
    default:
      return title + " (F distribution)";
  }
}

TResultValue AnovaSourceRow(std::string_view source, const TAnovaSource& row) {
  TResultValue tree = TResultValue::Object();
  tree.AddText("source", source).AddInteger("df", row.DF).AddReal("ss", row.SS).AddReal("ms", row.MS);
  return tree;
}

TResultValue PostTestResultsTree(const TPostTestInput& input, const TPostTestResult& result) {
  if (result.Outcome != TPostTestOutcome::Ran) return TResultValue::Null();
  TResultValue tree = TResultValue::Object();
  tree.AddText("test", PostTestName(result.Kind));
  switch (result.Kind) {
    case TPostTestKind::Bonferroni:
      tree.AddInteger("comparisons", result.Bonferroni.Comparisons).AddReal("criticalT", result.Bonferroni.CriticalT);
      tree.AddBool("tooManyComparisons", result.Bonferroni.Comparisons >= 9);
      break;
    case TPostTestKind::TukeyKramer:
      tree.AddReal("criticalQ", result.Range.CriticalQ);
      break;
    case TPostTestKind::Dunnett:
      AddDunnett(tree, input, result.Dunnett);
      break;
    case TPostTestKind::LinearTrend:
      AddTrend(tree, result.Trend);
      break;
    default:
      break;
  }
  return tree;
}

TResultValue PostTestMethodTree(const TPostTestResult& result, bool selectedPairs, std::int32_t dunnettTails) {
  TResultValue tree = TResultValue::Object();
  tree.AddText("test", PostTestName(result.Kind));
  tree.AddText("outcome", OutcomeNames[static_cast<int>(result.Outcome)]);
  if (result.Outcome != TPostTestOutcome::Ran || result.Kind == TPostTestKind::None) return tree;
  switch (result.Kind) {
    case TPostTestKind::Bonferroni:
      tree.AddText("criticalValues", "tDistribution").AddBool("selectedPairs", selectedPairs);
      break;
    case TPostTestKind::TukeyKramer:
    case TPostTestKind::StudentNewmanKeuls:
      tree.AddText("criticalValues", "studentizedRangeTable").AddBool("beyondTable", result.Range.BeyondTable);
      if (result.Range.BeyondTable) tree.AddInteger("lastTabulated", RangeTableMeans.back());
      break;
    case TPostTestKind::Dunnett:
      tree.AddText("criticalValues", "dunnettTable").AddInteger("tails", dunnettTails);
      tree.AddBool("beyondTable", result.Dunnett.BeyondTable);
      if (result.Dunnett.BeyondTable) tree.AddInteger("lastTabulated", result.Dunnett.LastTabulated);
      break;
    default:
      tree.AddText("criticalValues", "fDistribution");
      break;
  }
  return tree;
}

void AddPostTestTables(TResultValue& tables, const TPostTestInput& input, const TTrendAnova& anova,
                       const TPostTestResult& result) {
  if (result.Outcome != TPostTestOutcome::Ran) return;
  switch (result.Kind) {
    case TPostTestKind::Bonferroni:
      tables.Add("comparisons", ComparisonRows(input, result));
      tables.Add("intervals", IntervalRows(input, result.Bonferroni.Pairs));
      break;
    case TPostTestKind::TukeyKramer:
      tables.Add("comparisons", ComparisonRows(input, result));
      tables.Add("intervals", IntervalRows(input, result.Range.Pairs));
      break;
    case TPostTestKind::StudentNewmanKeuls:
      tables.Add("comparisons", ComparisonRows(input, result));
      break;
    case TPostTestKind::Dunnett:
      if (result.Dunnett.TooFewDF) break;
      tables.Add("comparisons", ComparisonRows(input, result));
      tables.Add("intervals", IntervalRows(input, result.Dunnett.Pairs));
      break;
    case TPostTestKind::LinearTrend:
      tables.Add("trendAnova", TrendAnovaRows(input, anova, result.Trend));
      break;
    case TPostTestKind::None:
      break;
  }
}

}  // namespace ombrel
