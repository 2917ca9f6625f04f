// The two-by-two table's writers: the text report and the record, both from
// a computed TTwoByTwoResult.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/analysis/TwoByTwo.h"
#include "core/report/EffectSizeLines.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

constexpr int Digits = -5;

bool IsTwoTailed(const TTwoByTwoRequest& request) { return request.Tails != 1; }

void WriteBoldLine(TReportText& report, std::string_view text) {
  report.ToggleBold();
  report.WriteLine(text);
  report.ToggleBold();
}

void WriteIntervalLine(TReportText& report, std::string_view label, const TInterval& interval, bool mayBeInfinite) {
  report.WriteText(label);
  if (mayBeInfinite) {
    WriteValueOrInfinity(report, interval.Lower);
    report.WriteText(" to ");
    WriteValueOrInfinity(report, interval.Upper);
  } else {
    report.WriteNumber(interval.Lower, Digits);
    report.WriteText(" to ");
    report.WriteNumber(interval.Upper, Digits);
  }
  report.NewLine();
}

void WriteNumberLine(TReportText& report, std::string_view label, TReal value) {
  report.WriteText(label);
  report.WriteNumber(value, Digits);
  report.NewLine();
}

void WriteAssociationLine(TReportText& report, bool significant) {
  report.WriteText("The row/column association is ");
  if (!significant) report.WriteText("not ");
  report.WriteLine("statistically significant.");
}

void WriteFisherSection(TReportText& report, const TTwoByTwoResult& result) {
  const bool twoTailed = IsTwoTailed(result.Request);
  if (result.Fisher) {
    WriteTwoByTwoPSentence(report, twoTailed ? 2 : 1, true, result.P);
    WriteAssociationLine(report, !(result.P > 0.05L));
  } else if (result.FisherTooLarge) {
    report.WriteLine("The numbers are too large for Fisher's exact test.  The");
    report.WriteLine("chi-square approximation was performed instead.");
    report.WriteLine();
  }
}

void WriteChiSquareSection(TReportText& report, const TTwoByTwoChiSquare& chi, bool twoTailed) {
  WriteTwoByTwoPSentence(report, twoTailed ? 2 : 1, true, twoTailed ? chi.TwoTailedP : chi.OneTailedP);
  WriteAssociationLine(report, !(chi.TwoTailedP > (twoTailed ? 0.05L : 0.1L)));
  if (chi.SmallValuesWarning) {
    report.WriteLine();
    report.WriteLine("Note: With such small values, the chi-square P value");
    report.WriteLine("is not accurate.  Use Fisher's exact test instead.");
  }
  report.WriteLine();
  WriteUnderlinedLine(report, "Calculation details:");
  report.WriteText("Chi-square statistic ");
  report.WriteText(chi.Yates ? "(with Yates correction) " : "(no Yates correction) ");
  WriteNumberLine(report, "= ", chi.ChiSquare);
  report.WriteText("Degrees of freedom = ");
  report.WriteInteger(1);
  report.NewLine();
}

void WriteRelativeRiskSection(TReportText& report, const TRelativeRisk& risk) {
  report.WriteLine();
  WriteUnderlinedLine(report, "Relative Risk");
  report.WriteText("Relative risk = ");
  WriteValueOrInfinity(report, risk.RelativeRisk);
  report.NewLine();
  WriteIntervalLine(report, "95% Confidence Interval: ", risk.Interval, true);
  report.WriteLine("(using the approximation of Katz.)");
}

void WriteOddsRatioSection(TReportText& report, const TOddsRatio& odds) {
  report.WriteLine();
  WriteUnderlinedLine(report, "Odds Ratio");
  report.WriteText("Odds ratio= ");
  WriteValueOrInfinity(report, odds.OddsRatio);
  report.NewLine();
  WriteIntervalLine(report, "95% Confidence Interval: ", odds.Interval, true);
  report.WriteLine("(using the approximation of Woolf.)");
  if (odds.HalfAdded) {
    report.WriteLine("Note that at least one value is zero.  To make calculations possible,");
    report.WriteLine("0.5 was added to each value.");
  }
}

void WriteFractionLines(TReportText& report, std::string_view rowName, std::string_view title, TReal fraction,
                        const std::optional<TInterval>& interval) {
  report.ToggleBold();
  report.WriteText(rowName);
  report.WriteText(" (");
  report.WriteText(title);
  report.WriteLine("):");
  report.ToggleBold();
  WriteNumberLine(report, "  Fraction in the left column: ", fraction);
  if (interval) WriteIntervalLine(report, "  95% Confidence Interval of that fraction: ", *interval, false);
}

void WriteDifferenceSection(TReportText& report, const TProportionDifference& difference,
                            const TTwoByTwoTitles& titles) {
  report.WriteLine();
  WriteUnderlinedLine(report, "Difference between the two proportions");
  WriteFractionLines(report, "Top row", titles.TopRow, difference.TopFraction, difference.TopInterval);
  WriteFractionLines(report, "Bottom row", titles.BottomRow, difference.BottomFraction, difference.BottomInterval);
  WriteBoldLine(report, "Difference:");
  WriteNumberLine(report, "  Difference between the fractions: ", difference.Difference);
  if (difference.StandardError && difference.Interval) {
    WriteNumberLine(report, "  Standard error of the difference: ", *difference.StandardError);
    WriteIntervalLine(report, "  95% confidence interval of difference: ", *difference.Interval, false);
  } else {
    report.WriteLine();
    report.WriteLine("The standard error and the confidence interval of the difference between");
    report.WriteLine("proportions can only be calculated when each cell is greater than five.");
  }
}

// The rows of the sensitivity table: its label, its key in the record and
// its estimate.
struct TDiagnosticRow {
  std::string_view Label;
  std::string_view Key;
  const TProportionEstimate& Estimate;
};

std::array<TDiagnosticRow, 4> DiagnosticRows(const TDiagnosticFigures& figures) {
  return {{{"Sensitivity", "sensitivity", figures.Sensitivity},
           {"Specificity", "specificity", figures.Specificity},
           {"Positive Predictive Value", "positivePredictiveValue", figures.PositivePredictive},
           {"Negative Predictive Value", "negativePredictiveValue", figures.NegativePredictive}}};
}

constexpr std::string_view LikelihoodRatioLabel = "Likelihood Ratio";

void WriteDiagnosticSection(TReportText& report, const TDiagnosticFigures& figures) {
  report.WriteLine();
  WriteUnderlinedLine(report, "Sensitivity and specificity");
  WriteDiagnosticHeading(report);
  for (const TDiagnosticRow& row : DiagnosticRows(figures))
    WriteDiagnosticRow(report, row.Label, row.Estimate.Value, row.Estimate.Interval.Lower, row.Estimate.Interval.Upper);
  WriteDiagnosticValueRow(report, LikelihoodRatioLabel, figures.LikelihoodRatio);
}

// ---------------------------------------------------------------------------
// The record

// A value the report may show as "Infinity" or "-Infinity": null then, as
// JSON has no infinities.
TResultValue OpenValue(TReal value) { return IsEmpty(-value) ? TResultValue::Null() : TResultValue::Real(value); }

TResultValue IntervalTree(TResultValue tree, const TInterval& interval) {
  tree.Add("lower95", OpenValue(interval.Lower)).Add("upper95", OpenValue(interval.Upper));
  return tree;
}

TResultValue TitlesTree(const TTwoByTwoTitles& titles) {
  TResultValue tree = TResultValue::Object();
  tree.AddText("topRow", titles.TopRow).AddText("bottomRow", titles.BottomRow);
  tree.AddText("leftColumn", titles.LeftColumn).AddText("rightColumn", titles.RightColumn);
  return tree;
}

TResultValue ChoicesOf(const TTwoByTwoRequest& request) {
  TResultValue choices = TResultValue::Object();
  choices.AddText("test", request.Test == TTwoByTwoTest::Fisher ? "fisher" : "chiSquare");
  choices.AddBool("yates", request.Yates).AddInteger("tails", request.Tails);
  choices.AddBool("relativeRisk", request.RelativeRisk).AddBool("oddsRatio", request.OddsRatio);
  choices.AddBool("difference", request.Difference).AddBool("sensitivity", request.Sensitivity);
  choices.Add("titles", TitlesTree(request.Titles));
  return choices;
}

TResultValue FisherTree(const TTwoByTwoResult& result) {
  if (!result.Fisher) return TResultValue::Null();
  TResultValue tree = TResultValue::Object();
  tree.AddReal("pTwoTailed", result.Fisher->TwoTailed).AddReal("pOneTailed", result.Fisher->OneTailed);
  return tree;
}

TResultValue ChiSquareTree(const TTwoByTwoResult& result) {
  if (!result.ChiSquare) return TResultValue::Null();
  const TTwoByTwoChiSquare& chi = *result.ChiSquare;
  TResultValue tree = TResultValue::Object();
  tree.AddReal("chiSquare", chi.ChiSquare).AddInteger("df", 1).AddBool("yates", chi.Yates);
  tree.AddReal("pTwoTailed", chi.TwoTailedP).AddReal("pOneTailed", chi.OneTailedP);
  tree.AddBool("smallValuesWarning", chi.SmallValuesWarning);
  return tree;
}

TResultValue RelativeRiskTree(const TTwoByTwoResult& result) {
  if (!result.RelativeRisk) return TResultValue::Null();
  TResultValue tree = TResultValue::Object();
  tree.Add("relativeRisk", OpenValue(result.RelativeRisk->RelativeRisk));
  return IntervalTree(std::move(tree), result.RelativeRisk->Interval);
}

TResultValue OddsRatioTree(const TTwoByTwoResult& result) {
  if (!result.OddsRatio) return TResultValue::Null();
  TResultValue tree = TResultValue::Object();
  tree.Add("oddsRatio", OpenValue(result.OddsRatio->OddsRatio));
  tree = IntervalTree(std::move(tree), result.OddsRatio->Interval);
  tree.AddBool("halfAdded", result.OddsRatio->HalfAdded);
  return tree;
}

TResultValue OptionalInterval(const std::optional<TInterval>& interval) {
  return interval ? IntervalTree(TResultValue::Object(), *interval) : TResultValue::Null();
}

TResultValue DifferenceTree(const TTwoByTwoResult& result) {
  if (!result.Difference) return TResultValue::Null();
  const TProportionDifference& difference = *result.Difference;
  TResultValue tree = TResultValue::Object();
  tree.AddReal("topFraction", difference.TopFraction).Add("topInterval", OptionalInterval(difference.TopInterval));
  tree.AddReal("bottomFraction", difference.BottomFraction);
  tree.Add("bottomInterval", OptionalInterval(difference.BottomInterval));
  tree.AddReal("difference", difference.Difference);
  tree.AddReal("se", difference.StandardError.value_or(EmptyValue));
  tree.Add("interval", OptionalInterval(difference.Interval));
  return tree;
}

TResultValue ResultsOf(const TTwoByTwoResult& result) {
  TResultValue results = TResultValue::Object();
  results.AddInteger("n", static_cast<std::int64_t>(result.N)).AddReal("p", result.P);
  results.AddReal("pTwoTailed", result.Fisher      ? result.Fisher->TwoTailed
                                : result.ChiSquare ? result.ChiSquare->TwoTailedP
                                                   : EmptyValue);
  results.Add("fisher", FisherTree(result)).AddBool("fisherTooLarge", result.FisherTooLarge);
  results.Add("chiSquare", ChiSquareTree(result));
  results.Add("relativeRisk", RelativeRiskTree(result)).Add("oddsRatio", OddsRatioTree(result));
  results.Add("difference", DifferenceTree(result));
  return results;
}

constexpr std::string_view TwoSidedNames[] = {"sumOfSmallerProbabilities", "doubledOneSided"};

TResultValue MethodOf(const TTwoByTwoResult& result) {
  TResultValue method = TResultValue::Object();
  method.AddText("test", result.Fisher ? "fisher" : "chiSquare").AddInteger("tails", result.Request.Tails);
  method.AddText("pValue", result.Fisher ? "exact" : "chiSquareDistribution");
  if (result.Fisher) {
    method.AddText("twoSided", TwoSidedNames[static_cast<int>(result.Fisher->TwoSidedMethod)]);
    method.AddInteger("arrangements", result.Fisher->Arrangements);
  }
  if (result.ChiSquare) {
    method.AddInteger("df", 1).AddBool("yates", result.ChiSquare->Yates);
    method.AddReal("smallestExpected", result.ChiSquare->SmallestExpected);
    method.AddBool("smallValuesWarning", result.ChiSquare->SmallValuesWarning);
  }
  method.AddBool("fisherTooLarge", result.FisherTooLarge).AddInteger("n", static_cast<std::int64_t>(result.N));
  return method;
}

TResultValue CountRowTree(std::string_view row, std::string_view title, const TTwoByTwoCountRow& counts) {
  TResultValue tree = TResultValue::Object();
  tree.AddText("row", row).AddText("title", title);
  tree.AddInteger("left", counts.Left).AddInteger("right", counts.Right).AddInteger("total", counts.Total);
  tree.AddReal("leftPercent", counts.LeftPercent).AddReal("rightPercent", counts.RightPercent);
  tree.AddReal("totalPercent", counts.TotalPercent);
  return tree;
}

TResultValue DiagnosticTable(const TTwoByTwoResult& result) {
  TResultValue rows = TResultValue::Array();
  if (!result.Diagnostic) return rows;
  for (const TDiagnosticRow& row : DiagnosticRows(*result.Diagnostic)) {
    TResultValue tree = TResultValue::Object();
    tree.AddText("measure", row.Key).AddText("label", row.Label).AddReal("value", row.Estimate.Value);
    rows.Push(IntervalTree(std::move(tree), row.Estimate.Interval));
  }
  TResultValue ratio = TResultValue::Object();
  ratio.AddText("measure", "likelihoodRatio").AddText("label", LikelihoodRatioLabel);
  ratio.Add("value", OpenValue(result.Diagnostic->LikelihoodRatio));
  ratio.Add("lower95", TResultValue::Null()).Add("upper95", TResultValue::Null());
  rows.Push(std::move(ratio));
  return rows;
}

TResultValue TablesOf(const TTwoByTwoResult& result) {
  const TTwoByTwoCounts& counts = result.Counts;
  TResultValue countRows = TResultValue::Array();
  countRows.Push(CountRowTree("top", counts.TopRowTitle, counts.Top));
  countRows.Push(CountRowTree("bottom", counts.BottomRowTitle, counts.Bottom));
  countRows.Push(CountRowTree("total", "Total", counts.Total));
  TResultValue tables = TResultValue::Object();
  tables.Add("counts", countRows).Add("sensitivity", DiagnosticTable(result));
  return tables;
}

// The row totals as the groups of the method line (a count beyond the
// 32-bit range is shown as the largest one).
std::vector<TGroupCount> RowGroups(const TTwoByTwoResult& result) {
  const auto count = [](std::int64_t n) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(n, std::numeric_limits<std::int32_t>::max()));
  };
  return {{result.Request.Titles.TopRow, count(result.Counts.Top.Total)},
          {result.Request.Titles.BottomRow, count(result.Counts.Bottom.Total)}};
}

TMethodFacts MethodFactsOf(const TTwoByTwoResult& result) {
  TMethodFacts facts;
  facts.Tails = result.Request.Tails;
  facts.Groups = RowGroups(result);
  if (result.Fisher) {
    facts.PMethod = TPMethod::Exact;
    facts.Arrangements = static_cast<std::uint64_t>(result.Fisher->Arrangements);
    return facts;
  }
  facts.Source = result.ChiSquare && result.ChiSquare->Yates ? "the chi-square distribution with Yates' correction"
                                                             : "the chi-square distribution without Yates' correction";
  if (result.FisherTooLarge) facts.Source += ", in place of Fisher's exact test (N above 2000)";
  return facts;
}

// APA 7: "Fisher's exact test, p = .031, phi = .25" or "chi-square(1, N =
// 80) = 5.12, p = .024, phi = .25"; phi without its leading zero, as it
// cannot exceed 1 in size.
std::vector<std::string> ApaPartsOf(const TTwoByTwoResult& result) {
  std::vector<std::string> parts;
  if (result.Fisher) {
    parts.emplace_back("Fisher's exact test");
  } else if (result.ChiSquare) {
    const std::string df = "1, " + Italic("N") + " = " + ApaDf(result.N);
    parts.push_back(ApaStatistic("chi-square", df, result.ChiSquare->ChiSquare));
  }
  parts.push_back(ApaP(result.P));
  parts.push_back(ApaEffect("phi", result.Phi, EmptyValue, EmptyValue, false));
  return parts;
}

// The effect section: phi (Yule, 1912), the method that gave P and the APA
// sentence. Phi has no interval here: the usual ones treat it as the
// correlation of two continuous variables, which two categories are not.
TEffectSection EffectSectionOf(const TTwoByTwoResult& result) {
  TEffectSection section;
  section.Sizes.push_back({"phi", {result.Phi}});
  section.Method = MethodFactsOf(result);
  section.Apa = ApaPartsOf(result);
  return section;
}

}  // namespace

void WriteTwoByTwoPSentence(TReportText& report, int tails, bool withWording, TReal p) {
  report.WriteText("The ");
  if (tails == 1) report.WriteText("one-sided ");
  if (tails == 2) report.WriteText("two-sided ");
  report.WriteText("P value is ");
  if (p < 0.0001L) {
    report.WriteText("< 0.0001");
  } else if (p == 0.0001L) {
    // The number format turns exactly 0.0001 into scientific form.
    report.WriteText("0.0001");
  } else {
    report.WriteNumber(p, 4);
  }
  if (withWording) {
    report.WriteText(", considered ");
    report.WriteSignificanceWord(p);
    report.WriteLine("significant.");
  } else {
    report.WriteLine(". ");
  }
}

void WriteTwoByTwoReport(const TTwoByTwoResult& result, TReportText& report) {
  const TTwoByTwoRequest& request = result.Request;
  const bool fisher = request.Test == TTwoByTwoTest::Fisher;
  WriteCenteredTitle(report, fisher ? "Fisher's Exact Test" : "Chi-square Test");
  if (fisher) WriteFisherSection(report, result);
  if (result.ChiSquare) WriteChiSquareSection(report, *result.ChiSquare, IsTwoTailed(request));
  if (result.RelativeRisk) WriteRelativeRiskSection(report, *result.RelativeRisk);
  if (result.OddsRatio) WriteOddsRatioSection(report, *result.OddsRatio);
  if (result.Difference) WriteDifferenceSection(report, *result.Difference, request.Titles);
  if (result.Diagnostic) WriteDiagnosticSection(report, *result.Diagnostic);
  report.WriteLine();
  WriteUnderlinedLine(report, "Data analyzed");
  WriteTwoByTwoCountTable(report, result.Counts, true);
  report.WriteLine();
}

void FillTwoByTwoRecord(const TTwoByTwoResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, "twoByTwo", ChoicesOf(result.Request), result.Status)) return;
  record.Results = ResultsOf(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
