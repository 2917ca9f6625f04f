// The linear regression's writers: the text report and the record, both
// from a computed TLinearRegressionResult.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/analysis/LinearRegression.h"
#include "core/base/NumberText.h"
#include "core/report/EffectSizeLines.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/report/TableWriter.h"

namespace ombrel {

namespace {

constexpr int Digits = -5;

void WriteBlankLines(TReportText& report, int count) {
  for (int i = 0; i < count; ++i) report.NewLine();
}

void WritePerfectLine(TReportText& report, const TLinearRegressionResult& result) {
  report.WriteLine("Your data form a perfect line:");
  report.WriteText("Slope = ");
  report.WriteNumber(result.Slope, Digits);
  report.NewLine();
  report.WriteText("Y-intercept = ");
  report.WriteNumber(result.Intercept, Digits);
  report.NewLine();
  report.WriteText("P = ");
  report.WriteNumber(result.SlopeP, 4);
  report.NewLine();
  // A falling line correlates negatively.
  report.WriteText("r = ");
  report.WriteNumber(result.R, 4);
  report.NewLine();
}

void WriteFit(TReportText& report, const TLinearRegressionResult& result) {
  WriteRegressionParameterTable(report, {result.Slope, result.SlopeSE, result.SlopeLower, result.SlopeUpper},
                                {result.Intercept, result.InterceptSE, result.InterceptLower, result.InterceptUpper},
                                result.XIntercept, result.Forced);
  report.NewLine();
  if (result.Forced) {
    report.WriteLine("The line was forced through the point:");
    report.WriteText("X=");
    report.WriteNumber(result.Request.ForceX, Digits);
    report.WriteText("  Y=");
    report.WriteNumber(result.Request.ForceY, Digits);
    report.NewLine();
    WriteBlankLines(report, 2);
  } else {
    report.WriteText("Correlation coefficient (r) = ");
    report.WriteNumber(result.R, Digits);
    report.WriteText(".  r squared = ");
    report.WriteNumber(result.RSquared, Digits);
    report.NewLine();
    report.NewLine();
  }
  report.WriteText("Standard deviation of residuals from line (Sy.x) = ");
  report.WriteNumber(result.SyX, Digits);
  report.NewLine();
}

void WriteRowTable(TReportText& report, const TLinearRegressionResult& result) {
  WriteBlankLines(report, 2);
  WriteUnderlinedLine(report, "Descriptive statistics for each row");
  report.NewLine();
  WriteResidualHeading(report);
  for (const TRegressionRowSummary& row : result.RowSummaries) {
    WriteResidualRow(report, row.Row + 1, row.X, row.MeanY, row.Replicates, row.PredictedY, row.SD, row.Residual);
  }
  report.NewLine();
  report.WriteLine("  The residual values are the distances (biases) of the mean Y values");
  report.WriteLine("  from the best-fit line determined by linear regression.");
}

void WriteSlopeTest(TReportText& report, const TLinearRegressionResult& result) {
  report.NewLine();
  WriteUnderlinedLine(report, "Test: Is the slope significantly different from zero?");
  report.NewLine();
  report.WritePValueSentence(0, true, result.SlopeP);
  if (!result.Forced) {
    report.NewLine();
    report.WriteLine("This result was obtained from the following ANOVA table.");
    report.NewLine();
    WriteRegressionAnovaTable(report, {1, result.SSRegression, result.MSRegression},
                              {result.DFResidual, result.SSResidual, result.MSResidual},
                              {result.DFTotal, result.SSTotal, EmptyValue});
    report.WriteText("F = ");
    report.WriteNumber(result.F, Digits);
    report.NewLine();
  } else {
    report.WriteText("The slope is ");
    if (result.SlopeP > 0.05L) report.WriteText("not ");
    report.WriteLine("significantly different from zero.");
    report.NewLine();
    report.WriteText("t = ");
    report.WriteNumber(result.T, Digits);
    report.WriteText(" with ");
    report.WriteInteger(result.DFResidual);
    report.WriteLine(" degrees of freedom.");
  }
}

void WriteRunsTest(TReportText& report, const TLinearRegressionResult& result) {
  report.NewLine();
  WriteUnderlinedLine(report, "Runs test: Do the number of runs indicate a linear model?");
  report.WriteLine("One way to evaluate linearity is by counting runs.  If the data");
  report.WriteLine("deviate substantially from linearity, the number of runs will be");
  report.WriteLine("small.");
  report.NewLine();
  report.WriteText("There are ");
  report.WriteInteger(result.Above);
  report.WriteText(" points above the line, ");
  report.WriteInteger(result.Below);
  report.WriteText(" below, and ");
  report.WriteInteger(result.Runs);
  report.WriteLine(" runs.");
  report.NewLine();
  switch (result.RunsOutcome) {
    case TRunsOutcome::TooFewOnOneSide:
      report.WriteLine("Runs test cannot be performed because both the number above the");
      report.WriteLine("line and below the line must be greater than one.");
      return;
    case TRunsOutcome::TooFewPoints:
      report.WriteLine("Runs test cannot be performed because the sum of the number above");
      report.WriteLine("the line and below the line must be greater than five.");
      return;
    case TRunsOutcome::Computed:
      break;
  }
  report.WritePValueSentence(0, true, result.RunsP);
  if (result.RunsP < 0.05L) {
    report.WriteLine("There are significantly fewer runs than expected, suggesting that the data");
    report.WriteLine("follow a curve rather than a line.");
  } else {
    report.WriteLine("There is not a significant departure from linearity.");
  }
}

void WriteLackOfFit(TReportText& report, const TLinearRegressionResult& result) {
  report.NewLine();
  WriteUnderlinedLine(report, "Test: Are the data significantly nonlinear?");
  report.NewLine();
  report.WriteText("F = ");
  WriteValueOrInfinity(report, result.LackOfFitF);
  report.NewLine();
  report.WritePValueSentence(0, false, result.LackOfFitP);
  report.WriteText("The departures from linearity are ");
  report.WriteSignificanceWord(result.LackOfFitP);
  report.WriteLine("significant.");
  report.NewLine();
  report.WriteLine("This result was obtained from the following ANOVA table that compares");
  report.WriteLine("deviations from linearity with scatter among replicates.");
  WriteBlankLines(report, 2);
  WriteReplicateRegressionAnovaTable(
      report, {1, result.SSRegression, EmptyValue}, {result.DFDeviation, result.SSDeviation, result.MSDeviation},
      {result.DFPureError, result.SSPureError, result.MSPureError}, {result.DFTotal, result.SSTotal, EmptyValue});
}

// The unknowns at the report's tab stops 15 and 30, each value with three
// decimals, "*" after one beyond the curve.
void WriteUnknownsTable(TReportText& report, const TLinearRegressionResult& result) {
  detail::TTableWriter t(report);
  t.Bold().At(0).Text("X Values").Next(1).Text("Y Values").Bold().EndLine();
  t.RuleLine(true);
  report.WriteDoubleRule(8);
  report.NextTabStop();
  report.WriteDoubleRule(8);
  t.EndLine();
  for (const TStandardCurveUnknown& unknown : result.Unknowns) {
    t.At(0);
    report.WriteNumberTrimmed(unknown.X, 3);
    t.Next(1);
    report.WriteNumberTrimmed(unknown.Y, 3);
    if (unknown.OutsideCurve) t.Next(2).Text("*");
    t.EndLine();
  }
}

void WriteStandardCurve(TReportText& report, const TLinearRegressionResult& result) {
  report.NewLine();
  report.ClearTabStops();
  report.AddTabStop(15);
  report.AddTabStop(30);
  WriteUnderlinedLine(report, "Standard Curve Calculations");
  WriteUnknownsTable(report, result);
  report.NewLine();
  if (result.Unknowns.empty()) {
    report.WriteLine("To perform standard curve calculations, you must enter the unknowns");
    report.WriteLine("below the standard curve in the spreadsheet. Simply enter X values");
    report.WriteLine("without Y, or Y values without X.");
  } else if (result.AnyOutsideCurve) {
    report.WriteLine("* - Value is outside of standard curve.");
  }
}

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view RunsOutcomeNames[] = {"computed", "tooFewOnOneSide", "tooFewPoints"};

TResultValue ChoicesOf(const TLinearRegressionResult& result) {
  const TLinearRegressionRequest& request = result.Request;
  TResultValue choices = TResultValue::Object();
  choices.AddBool("forceThrough", request.ForceThrough);
  choices.Add("forceX", request.ForceThrough ? TResultValue::Real(request.ForceX) : TResultValue::Null());
  choices.Add("forceY", request.ForceThrough ? TResultValue::Real(request.ForceY) : TResultValue::Null());
  choices.AddBool("testLinearity", request.TestLinearity);
  choices.AddBool("standardCurve", request.InterpolateUnknowns);
  return choices;
}

TResultValue LackOfFitTree(const TLinearRegressionResult& result) {
  if (!result.HasLackOfFit) return TResultValue::Null();
  TResultValue tree = TResultValue::Object();
  tree.AddReal("f", result.LackOfFitF).AddBool("fInfinite", IsEmpty(result.LackOfFitF));
  tree.AddInteger("dfNumerator", result.DFDeviation).AddInteger("dfDenominator", result.DFPureError);
  tree.AddReal("p", result.LackOfFitP);
  return tree;
}

TResultValue RunsTree(const TLinearRegressionResult& result) {
  if (!result.HasRunsTest) return TResultValue::Null();
  TResultValue tree = TResultValue::Object();
  tree.AddInteger("nAbove", result.Above).AddInteger("nBelow", result.Below).AddInteger("runs", result.Runs);
  tree.AddText("outcome", RunsOutcomeNames[static_cast<int>(result.RunsOutcome)]);
  tree.AddReal("p", result.RunsP);
  return tree;
}

TResultValue ResultsOf(const TLinearRegressionResult& r) {
  TResultValue results = TResultValue::Object();
  results.AddInteger("n", r.N).AddInteger("nRows", r.Rows).AddInteger("maxReplicates", r.MaxReplicates);
  results.AddReal("meanX", r.MeanX).AddReal("meanY", r.MeanY);
  results.AddReal("sxx", r.Sxx).AddReal("syy", r.Syy).AddReal("sxy", r.Sxy);
  results.AddReal("slope", r.Slope).AddReal("slopeSE", r.SlopeSE);
  results.AddReal("slopeLower95", r.SlopeLower).AddReal("slopeUpper95", r.SlopeUpper);
  results.AddReal("yIntercept", r.Intercept).AddReal("yInterceptSE", r.InterceptSE);
  results.AddReal("yInterceptLower95", r.InterceptLower).AddReal("yInterceptUpper95", r.InterceptUpper);
  results.AddReal("xIntercept", r.XIntercept);
  results.AddReal("r", r.R).AddReal("rSquared", r.RSquared).AddReal("syx", r.SyX);
  results.AddBool("perfectLine", r.PerfectLine);
  results.AddReal("ssRegression", r.SSRegression).AddReal("ssResidual", r.SSResidual).AddReal("ssTotal", r.SSTotal);
  results.AddReal("msRegression", r.MSRegression).AddReal("msResidual", r.MSResidual);
  results.AddInteger("dfRegression", r.DFRegression).AddInteger("dfResidual", r.DFResidual);
  results.AddInteger("dfTotal", r.DFTotal);
  results.AddReal("f", r.F).AddReal("t", r.T).AddReal("p", r.SlopeP).AddReal("slopeT", r.SlopeT);
  results.Add("lackOfFit", LackOfFitTree(r));
  results.Add("runsTest", RunsTree(r));
  return results;
}

TResultValue MethodOf(const TLinearRegressionResult& result) {
  TResultValue method = TResultValue::Object();
  method.AddText("fit", result.Forced ? "forcedThroughPoint" : "leastSquares");
  method.AddText("slopeTest", result.Forced ? "tDistribution" : "fDistribution");
  method.AddInteger("tails", 2).AddInteger("df", result.DFResidual);
  method.AddReal("criticalT95", result.CriticalT95);
  if (result.HasRunsTest) {
    TResultValue runs = TResultValue::Object();
    runs.AddText("pValue", "exact").AddInteger("tails", 1);
    method.Add("runsTest", runs);
  } else {
    method.Add("runsTest", TResultValue::Null());
  }
  method.Add("lackOfFit", result.HasLackOfFit ? TResultValue::Text("fDistribution") : TResultValue::Null());
  method.Add("columns", ColumnUseTree(result.Columns));
  return method;
}

TResultValue AnovaRow(std::string_view source, std::int32_t df, TReal ss, TReal ms) {
  TResultValue row = TResultValue::Object();
  row.AddText("source", source).AddInteger("df", df).AddReal("ss", ss).AddReal("ms", ms);
  return row;
}

TResultValue TablesOf(const TLinearRegressionResult& r) {
  TResultValue tables = TResultValue::Object();
  TResultValue anova = TResultValue::Array();
  TResultValue lackOfFit = TResultValue::Array();
  TResultValue rows = TResultValue::Array();
  TResultValue unknowns = TResultValue::Array();
  if (!r.PerfectLine) {
    if (!r.Forced) {
      anova.Push(AnovaRow("model", r.DFRegression, r.SSRegression, r.MSRegression));
      anova.Push(AnovaRow("residual", r.DFResidual, r.SSResidual, r.MSResidual));
      anova.Push(AnovaRow("total", r.DFTotal, r.SSTotal, EmptyValue));
    }
    if (r.HasLackOfFit) {
      lackOfFit.Push(AnovaRow("model", r.DFRegression, r.SSRegression, EmptyValue));
      lackOfFit.Push(AnovaRow("deviations", r.DFDeviation, r.SSDeviation, r.MSDeviation));
      lackOfFit.Push(AnovaRow("scatterAmongReplicates", r.DFPureError, r.SSPureError, r.MSPureError));
      lackOfFit.Push(AnovaRow("total", r.DFTotal, r.SSTotal, EmptyValue));
    }
    if (r.ShowsRowTable()) {
      for (const TRegressionRowSummary& s : r.RowSummaries) {
        TResultValue row = TResultValue::Object();
        row.AddInteger("row", s.Row + 1).AddReal("x", s.X).AddReal("meanY", s.MeanY);
        row.AddInteger("nReplicates", s.Replicates).AddReal("predictedY", s.PredictedY).AddReal("sd", s.SD);
        row.AddReal("residual", s.Residual);
        rows.Push(std::move(row));
      }
    }
  }
  for (const TStandardCurveUnknown& u : r.Unknowns) {
    TResultValue row = TResultValue::Object();
    row.AddInteger("row", u.Row + 1).AddReal("x", u.X).AddReal("y", u.Y).AddBool("outsideCurve", u.OutsideCurve);
    unknowns.Push(std::move(row));
  }
  tables.Add("anova", anova).Add("lackOfFit", lackOfFit).Add("rows", rows);
  tables.Add("standardCurve", r.HasStandardCurve ? unknowns : TResultValue::Null());
  return tables;
}

// The slope as APA writes a coefficient: two decimals, or two significant
// digits for a slope below 0.1 in size, which two decimals would show as 0.
std::string ApaSlope(TReal slope) {
  const TReal size = std::fabs(slope);
  int decimals = 2;
  if (size > 0 && size < 0.1L) decimals = std::min(1 - static_cast<int>(std::floor(std::log10(size))), 18);
  return Italic("b") + " = " + FormatFixed(slope, decimals);
}

// No size of its own (the report gives r and r²): the method of the slope's
// P, and the APA sentence of the slope: b, its t (the square root of the
// report's F, signed as the slope) with the residual df, p, and R² (left out
// for a line forced through a point, whose r² is about that point).
TEffectSection EffectSectionOf(const TLinearRegressionResult& result) {
  TEffectSection section;
  section.Method.Source = result.Forced ? "the t distribution" : "the F distribution";
  section.Method.Tails = 2;
  section.Method.Groups = GroupCountsOf(result.Columns);
  for (std::size_t i = 0; i < section.Method.Groups.size(); ++i)
    if (section.Method.Groups[i].Name.empty())
      section.Method.Groups[i].Name = std::string("Column ") + ColumnLetter(result.Columns[i].Column);
  section.Apa = {ApaSlope(result.Slope), ApaStatistic(Italic("t"), ApaDf(result.DFResidual), result.SlopeT),
                 ApaP(result.SlopeP)};
  if (!result.Forced)
    section.Apa.push_back(ApaEffect(Italic("R") + " squared", result.RSquared, EmptyValue, EmptyValue, false));
  return section;
}

}  // namespace

void WriteLinearRegressionReport(const TLinearRegressionResult& result, TReportText& report) {
  WriteCenteredTitle(report, "Linear Regression");
  WriteBlankLines(report, 2);
  report.WriteText("Number of points = ");
  report.WriteInteger(result.N);
  report.NewLine();
  report.NewLine();
  if (result.PerfectLine) {
    WritePerfectLine(report, result);
  } else {
    WriteFit(report, result);
    if (result.ShowsRowTable()) WriteRowTable(report, result);
    WriteSlopeTest(report, result);
    if (result.HasRunsTest) WriteRunsTest(report, result);
    if (result.HasLackOfFit) WriteLackOfFit(report, result);
  }
  if (result.HasStandardCurve) WriteStandardCurve(report, result);
}

void FillLinearRegressionRecord(const TLinearRegressionResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, "linearRegression", ChoicesOf(result), result.Status)) return;
  record.Results = ResultsOf(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
