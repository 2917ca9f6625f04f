#include "core/analysis/TTests.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/ColumnStats.h"
#include "core/analysis/Correlation.h"
#include "core/analysis/Nonparametric.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::int32_t OneSampleHelpTopic = 538;
constexpr std::int32_t PairedHelpTopic = 104;
constexpr std::int32_t UnpairedHelpTopic = 93;

constexpr int Digits = -5;

constexpr std::array<TReal, 13> CriticalT = {12.706L, 4.303L, 3.182L, 2.776L, 2.571L, 2.447L, 2.365L,
                                             2.306L,  2.262L, 2.228L, 2.201L, 2.179L, 2.160L};

TReal Square(TReal x) { return x * x; }

// A typed summary holds the mean, N and one of SD and SEM; the other one
// and the limits follow from them.
void CompleteAveragedSummary(TColumnSummary& summary) {
  if (summary.N <= 0) return;
  const TReal root = std::sqrt(static_cast<TReal>(summary.N));
  if (IsEmpty(summary.SEM) && !IsEmpty(summary.SD)) {
    summary.SEM = summary.SD / root;
  } else if (IsEmpty(summary.SD) && !IsEmpty(summary.SEM)) {
    summary.SD = summary.SEM * root;
  }
  if ((IsEmpty(summary.LowerCI) || IsEmpty(summary.UpperCI)) && !IsEmpty(summary.Mean) && !IsEmpty(summary.SEM)) {
    const TReal t = summary.N > 1 ? t_critical_95(summary.N - 1) : 0;
    summary.LowerCI = summary.Mean - t * summary.SEM;
    summary.UpperCI = summary.Mean + t * summary.SEM;
  }
}

void SetNormality(TColumnSummary& summary, const std::vector<TReal>& values) {
  const TNormalityResult normality = TestNormality(values, summary.Mean, summary.SD);
  summary.NormalityKS = normality.KS;
  summary.NormalityP = normality.P;
  summary.PassedNormality = normality.Passed ? 1 : 0;
}

// Statistics of an analysis column (the scratch column included) into a
// summary that keeps its title, with the column's normality test.
void FillRawSummary(const TDataTable& table, int column, TColumnSummary& summary) {
  const std::string title = summary.Title;
  summary = ComputeRawSummary(table, column);
  summary.Title = title;
  SetNormality(summary, ColumnValues(table, column));
}

void FillSummary(const TDataTable& table, int column, TColumnSummary& summary) {
  if (column < 0) {
    CompleteAveragedSummary(summary);
  } else {
    FillRawSummary(table, column, summary);
  }
}

void WriteTAndDF(TReportText& report, std::string_view label, const TTTestResult& result) {
  report.WriteText(label);
  report.WriteNumber(result.T, Digits);
  report.WriteText(" with ");
  report.WriteInteger(result.DF);
  report.WriteLine(" degrees of freedom.");
}

void WritePValue(TReportText& report, bool twoTailed, TReal p) {
  if (twoTailed) {
    report.WritePValueSentence(2, true, p);
  } else {
    // t is taken positive, so one tail is the direction the data show.
    report.WritePValueSentence(1, true, p / 2);
  }
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
  if (p < 0.05L) {
    report.NewLine();
    report.WriteLine("The data failed the normality test with P<0.05.");
    report.WriteLine("Consider using a nonparametric test or transforming the data ");
    report.WriteLine("(i.e. converting to logarithms or reciprocals). ");
  } else {
    report.NewLine();
    report.WriteLine("The data passed the normality test with P>0.05.");
  }
}

void RunOneSampleTTest(TDataTable& table, int column, TColumnSummary& summary, TReportText& report, bool twoTailed,
                       TReal hypotheticalMean) {
  FillSummary(table, column, summary);
  // A single value has SEM 0 as well; its count is the cause to name.
  if (summary.N < 2) {
    table.StatusCode = TStatusCode::SingleValue;
    return;
  }
  if (summary.SEM == 0) {
    table.StatusCode = TStatusCode::SDZero;
    return;
  }
  const TTTestResult result = OneSampleTTest(summary, hypotheticalMean);
  report.HelpTopic = OneSampleHelpTopic;

  report.WriteLine();
  WriteCenteredTitle(report, "One sample t test");
  report.WriteText("Does the mean of ");
  report.WriteText(summary.Title);
  report.WriteText(" differ significantly from ");
  report.WriteNumber(hypotheticalMean, Digits);
  report.WriteLine("? ");
  report.WriteLine();
  if (result.SDZero) {
    WriteSDZeroLines(report, "is zero.");
    return;
  }
  WriteUnderlinedLine(report, "P value");
  WritePValue(report, twoTailed, result.P);
  report.WriteLine();
  WriteTAndDF(report, "t = ", result);
  report.WriteLine();
  WriteUnderlinedLine(report, "95% Confidence interval");
  report.WriteText("Mean difference = ");
  report.WriteNumber(result.Difference, Digits);
  report.WriteText(" (Mean of ");
  report.WriteText(summary.Title);
  report.WriteText(" minus ");
  report.WriteNumber(hypotheticalMean, Digits);
  report.WriteLine(") ");
  report.WriteLine("The 95% confidence interval of the difference:");
  report.WriteText("   ");
  report.WriteNumber(result.Lower, Digits);
  report.WriteText(" to ");
  report.WriteNumber(result.Upper, Digits);
  report.NewLine();
  report.WriteLine();
  if (column >= 0)
    WriteNormalityBlock(report, "Assumption test: Are the data sampled from a Gaussian distribution?",
                        "The one sample t test assumes that the differences are sampled from a ", summary);
  report.NewLine();
  report.NewLine();
  WriteCenteredTitle(report, "Summary of Data");
  WriteColumnSummaryTable(report, summary);
}

// The differences first minus second of every row holding both values go to
// the scratch column; every other row of it is empty.
void FillDifferences(TDataTable& table, int firstColumn, int secondColumn) {
  table.ClearScratchColumn();
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal a = table.GetAnalysisValue(row, firstColumn);
    const TReal b = table.GetAnalysisValue(row, secondColumn);
    table.SetAnalysisValue(row, ScratchColumn, IsEmpty(a) || IsEmpty(b) ? EmptyValue : a - b);
  }
}

void WriteQuestion(TReportText& report, bool unpaired, const TColumnSummary& a, const TColumnSummary& b) {
  if (unpaired) {
    report.WriteText("Do the means of ");
    report.WriteText(a.Title);
    report.WriteText(" and ");
    report.WriteText(b.Title);
    report.WriteLine(" differ significantly?");
  } else {
    report.WriteText("Does the mean of the differences between ");
    report.WriteText(a.Title);
    report.WriteText(" and ");
    report.WriteText(b.Title);
    report.NewLine();
    report.WriteLine(" differ significantly from zero?");
  }
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

void WriteUnpairedNormality(TReportText& report, const TColumnSummary& a, bool aAveraged, const TColumnSummary& b,
                            bool bAveraged) {
  report.WriteLine();
  WriteUnderlinedLine(report, "Assumption test: Are the data sampled from Gaussian distributions?");
  report.WriteLine("The t test assumes that the data are sampled from populations that follow ");
  report.WriteLine("Gaussian distributions. This assumption is tested using the method ");
  report.WriteLine("Kolmogorov and Smirnov:");
  WriteNormalityHeading(report);
  WriteNormalityRow(report, a, aAveraged);
  WriteNormalityRow(report, b, bAveraged);
  const auto failed = [](const TColumnSummary& s) { return !IsEmpty(s.NormalityP) && s.NormalityP <= 0.05L; };
  if (failed(a) || failed(b)) {
    report.WriteLine();
    report.WriteLine("At least one column failed the normality test with P<0.05.");
    report.WriteLine("Consider using a nonparametric test or transforming the data ");
    report.WriteLine("(i.e. converting to logarithms or reciprocals). ");
  }
  report.NewLine();
}

// What the paired test knows about the effectiveness of its pairing.
enum class TPairingCheck { TooFewPairs, NoVariability, Computed };

void WritePairingCheck(TReportText& report, TPairingCheck check, const TPearsonResult& pearson) {
  WriteUnderlinedLine(report, "Assumption test: Was the pairing effective?");
  if (check == TPairingCheck::TooFewPairs) {
    report.WriteLine("There are too few pairs to calculate r.");
    return;
  }
  if (check == TPairingCheck::NoVariability) {
    report.WriteLine("Can't calculate r. One group has no variability.");
    return;
  }
  report.WriteText("Correlation coefficient (r) = ");
  report.WriteNumber(pearson.R, Digits);
  report.NewLine();
  if (pearson.R < 0) {
    report.WriteLine("The negative correlation coefficient indicates that the pairing or");
    report.WriteLine("matching was NOT effective.");
    return;
  }
  const TReal oneTailed = pearson.P / 2;
  report.WritePValueSentence(1, true, oneTailed);
  report.WriteLine("Effective pairing results in a significant correlation between the columns.");
  report.WriteText("With these data, the pairing (or matching) appears ");
  if (oneTailed <= 0.05L) {
    report.WriteLine("to be effective.");
  } else {
    report.WriteLine("not to be effective.");
    report.WriteLine("The unpaired test may be more appropriate.");
  }
}

void RunTwoSampleTTest(TDataTable& table, int firstColumn, int secondColumn, TReportText& report, bool equalSDs,
                       bool twoTailed, bool unpaired, TColumnSummary& b, TColumnSummary& a) {
  if (!unpaired && (firstColumn < 0 || secondColumn < 0)) {
    table.StatusCode = TStatusCode::AveragedPaired;
    return;
  }
  FillSummary(table, firstColumn, a);
  FillSummary(table, secondColumn, b);
  if (a.N < 2 || b.N < 2) {
    table.StatusCode = TStatusCode::SingleValue;
    return;
  }
  if (unpaired && (a.SEM == 0 || b.SEM == 0)) {
    table.StatusCode = TStatusCode::SDZero;
    return;
  }

  TColumnSummary differences;
  differences.Title = "Difference";
  TTTestResult result;
  TFTestResult fTest;
  TPairingCheck pairing = TPairingCheck::Computed;
  TPearsonResult pearson;
  if (unpaired) {
    result = UnpairedTTest(a, b, equalSDs);
    fTest = EqualSDsFTest(a, b);
  } else {
    FillDifferences(table, firstColumn, secondColumn);
    FillRawSummary(table, ScratchColumn, differences);
    if (differences.N < 2) {
      table.StatusCode = TStatusCode::SinglePair;
      return;
    }
    result = OneSampleTTest(differences, 0);
    if (differences.N <= 3) {
      pairing = TPairingCheck::TooFewPairs;
    } else if (a.SEM == 0 || b.SEM == 0) {
      pairing = TPairingCheck::NoVariability;
    } else {
      const std::array<int, 1> second = {secondColumn};
      pearson = ComputePearson(table, firstColumn, second);
      if (table.StatusCode != TStatusCode::Ok) return;
    }
  }

  report.HelpTopic = unpaired ? UnpairedHelpTopic : PairedHelpTopic;
  if (!unpaired) {
    WriteCenteredTitle(report, "Paired t test");
  } else if (equalSDs) {
    WriteCenteredTitle(report, "Unpaired t test");
  } else {
    WriteCenteredTitle(report, "Unpaired t test with Welch correction");
  }
  WriteQuestion(report, unpaired, a, b);
  report.WriteLine();
  WriteUnderlinedLine(report, "P value");
  if (!result.SDZero) {
    WritePValue(report, twoTailed, result.P);
    if (unpaired && !equalSDs) report.WriteLine("Welch correction applied. This test does not assume equal variances.");
  }
  report.WriteLine();
  if (!result.SDZero) {
    WriteTAndDF(report, unpaired && !equalSDs ? "Welch's approximate t = " : "t = ", result);
    report.WriteLine();
  }
  WriteUnderlinedLine(report, "95% confidence interval");
  report.WriteText("Mean difference = ");
  report.WriteNumber(result.Difference, Digits);
  if (unpaired) {
    report.WriteText(" (Mean of ");
    report.WriteText(b.Title);
    report.WriteText(" minus mean of ");
    report.WriteText(a.Title);
    report.WriteLine(") ");
  } else {
    report.WriteLine(" (Mean of paired differences)");
  }
  if (result.SDZero) {
    WriteSDZeroLines(report, "is zero. ");
  } else {
    report.WriteText("The 95% confidence interval of the difference: ");
    report.WriteNumber(result.Lower, Digits);
    report.WriteText(" to ");
    report.WriteNumber(result.Upper, Digits);
    report.NewLine();
    report.WriteLine();
    if (unpaired) {
      if (equalSDs) WriteFTest(report, fTest);
      WriteUnpairedNormality(report, a, firstColumn < 0, b, secondColumn < 0);
    } else {
      WritePairingCheck(report, pairing, pearson);
      report.WriteLine();
      WriteNormalityBlock(report, "Assumption test: Are the differences sampled from a Gaussian distribution?",
                          "The paired t test assumes that the differences are sampled from a ", differences);
      report.NewLine();
    }
  }
  WriteCenteredTitle(report, "Summary of Data");
  if (unpaired) {
    WriteColumnSummaryTable(report, a, b);
  } else {
    WriteColumnSummaryTable(report, a, b, differences);
  }
}

}  // namespace

TReal t_test_critical_95(std::int32_t df) {
  if (df < 1) return EmptyValue;
  if (df <= static_cast<std::int32_t>(CriticalT.size())) return CriticalT[static_cast<std::size_t>(df - 1)];
  const TReal v = static_cast<TReal>(df);
  return v * 1.96L / (v - 1.20722L);
}

TTTestResult OneSampleTTest(const TColumnSummary& column, TReal hypotheticalMean) {
  TTTestResult result;
  result.DF = column.N - 1;
  result.Difference = column.Mean - hypotheticalMean;
  if (column.SD == 0) {
    result.SDZero = true;
    return result;
  }
  const TReal se = column.SD / std::sqrt(static_cast<TReal>(column.N));
  result.T = std::fabs(result.Difference) / se;
  const TReal margin = t_test_critical_95(result.DF) * se;
  result.Lower = result.Difference - margin;
  result.Upper = result.Difference + margin;
  result.P = p_value_t(result.DF, result.T);
  return result;
}

TTTestResult UnpairedTTest(const TColumnSummary& a, const TColumnSummary& b, bool equalSDs) {
  TTTestResult result;
  const TReal na = static_cast<TReal>(a.N);
  const TReal nb = static_cast<TReal>(b.N);
  result.Difference = b.Mean - a.Mean;
  TReal se = 0;
  if (equalSDs) {
    const TReal pooled = (Square(a.SD) * (na - 1) + Square(b.SD) * (nb - 1)) / (na + nb - 2);
    se = std::sqrt(pooled * (na + nb) / (na * nb));
    result.DF = a.N + b.N - 2;
  } else {
    const TReal va = Square(a.SD) / na;
    const TReal vb = Square(b.SD) / nb;
    se = std::sqrt(va + vb);
    const TReal df = Square(va + vb) / (Square(vb) / (nb - 1) + Square(va) / (na - 1));
    // Truncated toward zero; the allowance keeps a ratio that is whole in
    // exact arithmetic (equal SDs and Ns give 2(N - 1)) from losing a whole
    // degree of freedom to rounding. The ratio is never below 1 exactly.
    result.DF = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::trunc(df * (1 + 1e-12L))));
  }
  result.T = std::fabs(result.Difference / se);
  const TReal margin = t_test_critical_95(result.DF) * se;
  result.Lower = result.Difference - margin;
  result.Upper = result.Difference + margin;
  result.P = p_value_t(result.DF, result.T);
  return result;
}

TFTestResult EqualSDsFTest(const TColumnSummary& a, const TColumnSummary& b) {
  const bool bLarger = a.SD <= b.SD;
  const TColumnSummary& larger = bLarger ? b : a;
  const TColumnSummary& smaller = bLarger ? a : b;
  TFTestResult result;
  result.F = Square(larger.SD) / Square(smaller.SD);
  result.NumeratorDF = larger.N - 1;
  result.DenominatorDF = smaller.N - 1;
  result.P = p_value_f(result.NumeratorDF, result.DenominatorDF, result.F);
  return result;
}

TStatusCode RunOneColumnTest(TDataTable& table, int column, TColumnSummary& summary, TReportText& report,
                             TOneColumnTest oneColumnTest, bool twoTailed, TReal hypotheticalMean,
                             TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  if (oneColumnTest == TOneColumnTest::OneSampleT) {
    RunOneSampleTTest(table, column, summary, report, twoTailed, hypotheticalMean);
  } else if (column < 0) {
    table.StatusCode = TStatusCode::AveragedNonparametric;
  } else {
    RunWilcoxonOneColumn(table, column, summary, report, twoTailed, hypotheticalMean, progress);
  }
  return table.StatusCode;
}

TStatusCode RunTwoColumnTest(TDataTable& table, int firstColumn, int secondColumn, TReportText& report, bool equalSDs,
                             bool nonparametric, bool twoTailed, bool unpaired, TColumnSummary& secondSummary,
                             TColumnSummary& firstSummary, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  if (!nonparametric) {
    RunTwoSampleTTest(table, firstColumn, secondColumn, report, equalSDs, twoTailed, unpaired, secondSummary,
                      firstSummary);
  } else if (firstColumn < 0 || secondColumn < 0) {
    table.StatusCode = TStatusCode::AveragedNonparametric;
  } else if (unpaired) {
    RunMannWhitney(table, firstColumn, secondColumn, report, twoTailed, secondSummary, firstSummary, progress);
  } else {
    RunWilcoxonMatchedPairs(table, firstColumn, secondColumn, report, twoTailed, secondSummary, firstSummary, progress);
  }
  return table.StatusCode;
}

}  // namespace ombrel
