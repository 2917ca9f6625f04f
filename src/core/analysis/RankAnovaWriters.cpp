// The Kruskal-Wallis and Friedman tests' writers: the text report and the
// record, both from a computed TRankAnovaResult.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/ColumnSummaryData.h"
#include "core/analysis/RankAnova.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

constexpr int Digits = -5;

bool IsFriedman(const TRankAnovaResult& result) { return result.Request.Kind == TRankAnovaKind::Friedman; }

const std::string& NameOf(const TRankAnovaResult& result, std::size_t group) {
  return result.Groups[group].Summary.Title;
}

// The P-value sentence with its verdict on the column medians, then the
// lines saying how the P value was found.
void WriteVerdict(const TRankAnovaResult& result, TReportText& report) {
  const TReal p = result.P;
  report.WritePValueSentence(0, true, p);
  report.WriteText("Variation among column medians is ");
  if (p > 0.05L) report.WriteText("not ");
  report.WriteLine("significantly greater than expected");
  report.WriteLine("by chance.");
  report.WriteLine();
  if (result.Exact == TExactStatus::Exact) {
    report.WriteLine("The P value is exactly correct (no approximations). ");
    if (result.Arrangements < 20) {
      report.WriteLine("Regardless of what data you enter, it is impossible for this test to");
      report.WriteLine("yield P < 0.05 with so few data points.");
    }
    return;
  }
  report.WriteLine("The P value is approximate (from chi-square distribution) because");
  switch (result.Exact) {
    case TExactStatus::Cancelled:
      report.WriteLine("you interrupted the exact computations.");
      break;
    case TExactStatus::TooLong:
      report.WriteLine("exact calculations would have taken too long.");
      break;
    default:
      report.WriteLine(IsFriedman(result) ? "at least one row has two or more identical values."
                                          : "at least one column has two or more identical values.");
      break;
  }
}

// The head of both reports: title, verdict, "Calculation detail".
void WriteHead(const TRankAnovaResult& result, TReportText& report, std::string_view title) {
  WriteCenteredTitle(report, title);
  report.WriteLine();
  WriteVerdict(result, report);
  report.WriteLine();
  WriteUnderlinedLine(report, "Calculation detail");
  report.WriteLine();
}

void WritePostTestWithheld(TReportText& report) {
  report.ToggleBold();
  report.WriteLine("Post tests were not calculated because the P value was greater");
  report.WriteText("than 0.05.");
  report.ToggleBold();
  report.NewLine();
}

void WriteMedians(const TRankAnovaResult& result, TReportText& report) {
  WriteCenteredTitle(report, "Summary of Data");
  report.WriteLine();
  WriteMedianHeading(report);
  for (const TRankGroup& group : result.Groups) WriteMedianRow(report, group.Summary);
}

// Dunn's section. Dunn's test has no companion table, but the section keeps
// the layout of the post tests that append one. False, with nothing
// written, when the scratch report cannot be opened.
bool WriteDunnSection(const TRankAnovaResult& result, TReportText& report) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return false;
  const bool friedman = IsFriedman(result);
  report.NewLine();
  if (result.DunnPairs > 0) {
    WriteUnderlinedLine(report, "Dunn's Multiple Comparisons Test");
    if (friedman) {
      report.WriteText("If the difference between rank sum means is greater than ");
      report.WriteNumber(result.DunnThreshold, Digits);
      report.WriteLine(" then the P value");
      report.WriteLine("is less than 0.05.");
      report.WriteLine();
    }
  }
  report.WriteLine();
  WriteRankComparisonHeading(report, friedman ? TRankDifference::RankSum : TRankDifference::MeanRank);
  for (const TRankComparison& comparison : result.Comparisons)
    WriteRankComparisonRow(report, NameOf(result, static_cast<std::size_t>(comparison.First)),
                           NameOf(result, static_cast<std::size_t>(comparison.Second)), comparison.Difference,
                           comparison.P);
  report.NewLine();
  scratch->TerminateReport();
  report.AppendReport(*scratch);
  if (friedman && !result.Friedman.Untied())
    report.WriteLine("The data contain ties, however, this post test does not correct for ties.");
  return true;
}

// The comparisons of every column with the control, in ascending order of
// the column means.
bool WriteControlSection(const TRankAnovaResult& result, TReportText& report) {
  const std::unique_ptr<TReportText> scratch = OpenScratchReport();
  if (!scratch) return false;
  WriteUnderlinedLine(report, "Nonparametric Multiple Comparisons Test with Control Group");
  report.WriteLine();
  report.WriteText("If the value of q is greater than ");
  report.WriteNumber(result.Critical05, Digits);
  report.WriteLine(" then the P value is less");
  report.WriteLine("than 0.05.");
  report.WriteLine();
  report.WriteLine();
  WriteControlComparisonHeading(report, TQColumn::Hidden);
  WriteControlIntervalHeading(*scratch);
  const std::string& control = NameOf(result, result.ControlGroup);
  for (const TControlComparison& comparison : result.ControlComparisons) {
    const std::string& name = NameOf(result, comparison.Group);
    WriteControlComparisonRow(report, TQColumn::Hidden, control, name, comparison.Difference, EmptyValue, comparison.P);
    WriteControlIntervalRow(*scratch, control, name, comparison.Difference, comparison.Lower, comparison.Upper);
  }
  report.NewLine();
  scratch->TerminateReport();
  report.AppendReport(*scratch);
  report.NewLine();
  return true;
}

bool WritePostTest(const TRankAnovaResult& result, TReportText& report) {
  switch (result.PostTestRun) {
    case TRankPostTest::Dunn:
      return WriteDunnSection(result, report);
    case TRankPostTest::ControlComparisons:
      return WriteControlSection(result, report);
    default:
      return true;
  }
}

TStatusCode WriteKruskalWallisReport(const TRankAnovaResult& result, TReportText& report) {
  const TKruskalWallisResult& kw = result.KruskalWallis;
  WriteHead(result, report, "Kruskal-Wallis Test (Nonparametric ANOVA)");
  WriteKruskalWallisRankHeading(report);
  for (std::size_t i = 0; i < kw.Groups.size(); ++i) {
    const TKruskalWallisGroup& group = kw.Groups[i];
    WriteKruskalWallisRankRow(report, NameOf(result, i), group.N, group.N * group.MeanRank, group.MeanRank);
  }
  report.WriteLine();
  report.WriteText("Kruskal-Wallis Statistic KW = ");
  report.WriteNumber(kw.KW, Digits);
  if (kw.TieSum > 0) report.WriteText(" (corrected for ties)");
  report.NewLine();
  if (!WritePostTest(result, report)) return TStatusCode::OutOfMemory;
  report.NewLine();
  if (result.PostTestWithheld) WritePostTestWithheld(report);
  WriteMedians(result, report);
  return TStatusCode::Ok;
}

TStatusCode WriteFriedmanReport(const TRankAnovaResult& result, TReportText& report) {
  const TFriedmanResult& fr = result.Friedman;
  WriteHead(result, report, "Friedman Test (Nonparametric Repeated Measures ANOVA)");
  WriteFriedmanRankHeading(report);
  for (std::size_t j = 0; j < result.Groups.size(); ++j)
    WriteFriedmanRankRow(report, NameOf(result, j), fr.RankSums[j]);
  report.WriteLine();
  report.WriteText("Number of Rows = ");
  report.WriteInteger(fr.Rows());
  report.NewLine();
  report.WriteText("Number of Columns = ");
  report.WriteInteger(fr.ColumnCount());
  report.NewLine();
  report.WriteLine();
  report.WriteText("Friedman Statistic Fr = ");
  report.WriteNumber(fr.Fr, Digits);
  if (!fr.Untied()) report.WriteText(" (corrected for ties)");
  report.NewLine();
  report.WriteLine();
  if (!WritePostTest(result, report)) return TStatusCode::OutOfMemory;
  report.NewLine();
  if (result.PostTestWithheld) WritePostTestWithheld(report);
  report.WriteLine();
  WriteMedians(result, report);
  report.NewLine();
  return TStatusCode::Ok;
}

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view KindNames[] = {"kruskalWallis", "friedman"};
constexpr std::string_view PostTestNames[] = {"none", "dunn", "controlComparisons"};
constexpr std::string_view ConditionNames[] = {"always", "never", "ifSignificant"};
constexpr std::string_view ExactStatusNames[] = {"cancelled", "exact", "tooLong", "ties"};

std::string_view PostTestName(TRankPostTest test) { return PostTestNames[static_cast<int>(test)]; }

// {"column", "title"} of a group.
TResultValue GroupTree(const TRankGroup& group) {
  TResultValue tree = TResultValue::Object();
  tree.Add("column", ColumnLetterValue(group.Column)).AddText("title", group.Summary.Title);
  return tree;
}

TResultValue ChoicesOf(const TRankAnovaResult& result) {
  const TRankAnovaRequest& request = result.Request;
  TResultValue choices = TResultValue::Object();
  choices.AddText("test", KindNames[static_cast<int>(request.Kind)]);
  choices.AddText("postTest", PostTestName(request.PostTest));
  choices.AddText("postTestCondition", ConditionNames[static_cast<int>(request.PostTestCondition)]);
  choices.AddBool("selectedPairs", request.UseSelectedPairs);
  const bool control = request.PostTest == TRankPostTest::ControlComparisons;
  choices.Add("controlColumn", control ? ColumnLetterValue(request.ControlColumn) : TResultValue::Null());
  choices.Add("tails", control ? TResultValue::Integer(request.Tails) : TResultValue::Null());
  TResultValue columns = TResultValue::Array();
  for (const TRankGroup& group : result.Groups) columns.Push(GroupTree(group));
  choices.Add("columns", columns);
  return choices;
}

TResultValue DunnTree(const TRankAnovaResult& result) {
  if (result.PostTestRun != TRankPostTest::Dunn) return TResultValue::Null();
  TResultValue dunn = TResultValue::Object();
  dunn.AddInteger("nPairs", result.DunnPairs);
  dunn.AddReal("z05", result.DunnCritical.Z05).AddReal("z01", result.DunnCritical.Z01);
  dunn.AddReal("z001", result.DunnCritical.Z001).AddReal("threshold05", result.DunnThreshold);
  return dunn;
}

TResultValue ControlTree(const TRankAnovaResult& result) {
  if (result.PostTestRun != TRankPostTest::ControlComparisons) return TResultValue::Null();
  TResultValue control = GroupTree(result.Groups[result.ControlGroup]);
  control.AddInteger("tails", result.Request.Tails).AddReal("se", result.ControlSE);
  control.AddReal("critical05", result.Critical05).AddReal("critical01", result.Critical01);
  return control;
}

TResultValue ResultsOf(const TRankAnovaResult& result) {
  TResultValue results = TResultValue::Object();
  if (IsFriedman(result)) {
    const TFriedmanResult& fr = result.Friedman;
    results.AddReal("fr", fr.Fr).AddInteger("nRows", fr.Rows()).AddInteger("nColumns", fr.ColumnCount());
  } else {
    results.AddReal("kw", result.KruskalWallis.KW).AddInteger("n", result.KruskalWallis.TotalN);
  }
  results.AddInteger("df", result.DF).AddReal("p", result.P).AddReal("pApproximate", result.PApproximate);
  results.Add("dunn", DunnTree(result)).Add("controlComparisons", ControlTree(result));
  return results;
}

TResultValue MethodOf(const TRankAnovaResult& result) {
  const bool exact = result.Exact == TExactStatus::Exact;
  const bool friedman = IsFriedman(result);
  TResultValue method = TResultValue::Object();
  method.AddText("test", KindNames[static_cast<int>(result.Request.Kind)]);
  method.AddText("pValue", exact ? "exact" : "approximate");
  method.AddText("exactStatus", ExactStatusNames[static_cast<int>(result.Exact)]);
  method.Add("arrangements",
             exact ? TResultValue::Integer(static_cast<std::int64_t>(result.Arrangements)) : TResultValue::Null());
  method.AddText("approximatePValue", "chiSquare").AddInteger("df", result.DF);
  const bool ties = friedman ? !result.Friedman.Untied() : result.KruskalWallis.TieSum > 0;
  method.AddBool("ties", ties);
  method.AddReal("tieSum", friedman ? result.Friedman.TieSum : result.KruskalWallis.TieSum);
  const bool ran = result.PostTestRun != TRankPostTest::None;
  method.Add("postTest", ran ? TResultValue::Text(PostTestName(result.PostTestRun)) : TResultValue::Null());
  method.AddBool("postTestWithheld", result.PostTestWithheld);
  method.Add("columns", ColumnUseTree(result.Columns));
  return method;
}

TResultValue RankSumRows(const TRankAnovaResult& result) {
  TResultValue rows = TResultValue::Array();
  for (std::size_t i = 0; i < result.Groups.size(); ++i) {
    TResultValue row = GroupTree(result.Groups[i]);
    if (IsFriedman(result)) {
      row.AddReal("rankSum", result.Friedman.RankSums[i]);
    } else {
      const TKruskalWallisGroup& group = result.KruskalWallis.Groups[i];
      row.AddInteger("n", group.N).AddReal("rankSum", group.RankSum).AddReal("meanRank", group.MeanRank);
    }
    rows.Push(std::move(row));
  }
  return rows;
}

// A pair of groups: first and second column and title.
TResultValue PairRow(const TRankAnovaResult& result, std::size_t first, std::size_t second) {
  TResultValue row = TResultValue::Object();
  row.Add("first", ColumnLetterValue(result.Groups[first].Column)).AddText("firstTitle", NameOf(result, first));
  row.Add("second", ColumnLetterValue(result.Groups[second].Column)).AddText("secondTitle", NameOf(result, second));
  return row;
}

// The coded P as its mark's bound ("P<0.05": 0.05); null for "P>0.05".
TResultValue PBelow(TReal coded) { return coded < 1 ? TResultValue::Real(coded) : TResultValue::Null(); }

TResultValue ComparisonRows(const TRankAnovaResult& result) {
  TResultValue rows = TResultValue::Array();
  for (const TRankComparison& comparison : result.Comparisons) {
    TResultValue row =
        PairRow(result, static_cast<std::size_t>(comparison.First), static_cast<std::size_t>(comparison.Second));
    row.AddReal("difference", comparison.Difference).AddReal("se", comparison.SE).Add("pBelow", PBelow(comparison.P));
    rows.Push(std::move(row));
  }
  return rows;
}

void AddControlTables(const TRankAnovaResult& result, TResultValue& tables) {
  TResultValue comparisons = TResultValue::Array();
  TResultValue intervals = TResultValue::Array();
  for (const TControlComparison& comparison : result.ControlComparisons) {
    TResultValue row = PairRow(result, result.ControlGroup, comparison.Group);
    TResultValue interval = row;
    row.AddReal("difference", comparison.Difference).Add("pBelow", PBelow(comparison.P));
    interval.AddReal("difference", comparison.Difference);
    interval.AddReal("lower95", comparison.Lower).AddReal("upper95", comparison.Upper);
    comparisons.Push(std::move(row));
    intervals.Push(std::move(interval));
  }
  tables.Add("controlComparisons", comparisons).Add("controlIntervals", intervals);
}

TResultValue TablesOf(const TRankAnovaResult& result) {
  TResultValue tables = TResultValue::Object();
  tables.Add("rankSums", RankSumRows(result));
  if (result.PostTestRun == TRankPostTest::Dunn) tables.Add("comparisons", ComparisonRows(result));
  if (result.PostTestRun == TRankPostTest::ControlComparisons) AddControlTables(result, tables);
  TResultValue medians = TResultValue::Array();
  for (const TRankGroup& group : result.Groups) {
    TResultValue row = GroupTree(group);
    row.AddInteger("n", group.Summary.N).AddReal("median", group.Summary.Median);
    row.AddReal("minimum", group.Summary.Minimum).AddReal("maximum", group.Summary.Maximum);
    medians.Push(std::move(row));
  }
  tables.Add("medians", medians);
  return tables;
}

// ---------------------------------------------------------------------------
// The effect section

// How the P value was found: exact, or the chi-square approximation and why.
void SetPMethod(const TRankAnovaResult& result, TMethodFacts& facts) {
  if (result.Exact == TExactStatus::Exact) {
    facts.PMethod = TPMethod::Exact;
    facts.Arrangements = result.Arrangements;
    return;
  }
  const bool ties = IsFriedman(result) ? !result.Friedman.Untied() : result.KruskalWallis.TieSum > 0;
  facts.PMethod = TPMethod::Approximate;
  facts.Source = "the chi-square approximation";
  facts.Ties = ties ? TTieHandling::Corrected : TTieHandling::NoTies;
  switch (result.Exact) {
    case TExactStatus::Cancelled:
      facts.Notes.emplace_back("exact count cancelled");
      break;
    case TExactStatus::Ties:
      facts.Notes.emplace_back("no exact count with ties");
      break;
    default:
      facts.Notes.emplace_back(result.TooManyArrangements ? "too many arrangements for an exact count"
                                                          : "exact count would have taken too long");
      break;
  }
}

std::string PostTestText(const TRankAnovaResult& result) {
  switch (result.PostTestRun) {
    case TRankPostTest::Dunn:
      return IsFriedman(result) && !result.Friedman.Untied() ? "Dunn's test, not corrected for ties" : "Dunn's test";
    case TRankPostTest::ControlComparisons:
      return "comparisons with the control " + NameOf(result, result.ControlGroup);
    default:
      return result.PostTestWithheld ? "not run because P > 0.05" : std::string();
  }
}

// Epsilon squared or Kendall's W, the method and the APA sentence: H or
// chi-square with its df, p, and the effect size.
TEffectSection EffectSectionOf(const TRankAnovaResult& result) {
  TEffectSection section;
  TMethodFacts& facts = section.Method;
  SetPMethod(result, facts);
  facts.Groups = GroupCountsOf(result.Columns);
  facts.PostTest = PostTestText(result);
  const std::string df = ApaDf(result.DF);
  if (IsFriedman(result)) {
    section.Sizes.push_back({"Kendall's W", {result.KendallsW}});
    section.Apa = {ApaStatistic("chi-square", df, result.Friedman.Fr), ApaP(result.P),
                   ApaEffect(Italic("W"), result.KendallsW, EmptyValue, EmptyValue, false)};
  } else {
    section.Sizes.push_back({"epsilon squared", {result.EpsilonSquared}});
    section.Apa = {ApaStatistic(Italic("H"), df, result.KruskalWallis.KW), ApaP(result.P),
                   ApaEffect("epsilon squared", result.EpsilonSquared, EmptyValue, EmptyValue, false)};
  }
  return section;
}

}  // namespace

TStatusCode WriteRankAnovaReport(const TRankAnovaResult& result, TReportText& report) {
  return IsFriedman(result) ? WriteFriedmanReport(result, report) : WriteKruskalWallisReport(result, report);
}

void FillRankAnovaRecord(const TRankAnovaResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, KindNames[static_cast<int>(result.Request.Kind)], ChoicesOf(result), result.Status)) return;
  record.Results = ResultsOf(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
