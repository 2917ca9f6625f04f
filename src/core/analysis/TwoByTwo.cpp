#include "core/analysis/TwoByTwo.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <limits>
#include <utility>

#include "core/base/DataTable.h"
#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::int32_t HelpTopic = 557;

// The primes below 2000 cover every factor of N! for N <= 2000.
constexpr int PrimeLimit = 2000;
constexpr std::size_t PrimeCount = 303;

constexpr std::array<std::int32_t, PrimeCount> MakePrimes() {
  std::array<bool, PrimeLimit> composite{};
  std::array<std::int32_t, PrimeCount> primes{};
  std::size_t count = 0;
  for (int i = 2; i < PrimeLimit; ++i) {
    if (composite[static_cast<std::size_t>(i)]) continue;
    primes[count++] = i;
    for (int j = i * i; j < PrimeLimit; j += i) composite[static_cast<std::size_t>(j)] = true;
  }
  return primes;
}
constexpr std::array<std::int32_t, PrimeCount> Primes = MakePrimes();
static_assert(Primes[PrimeCount - 1] == 1999, "303 primes run from 2 to 1999");

using TPrimeExponents = std::array<std::int32_t, PrimeCount>;

// Adds sign times the exponents of n!'s prime factors (Legendre's formula).
void AddFactorial(TPrimeExponents& exponents, std::int32_t n, std::int32_t sign) {
  for (std::size_t i = 0; i < PrimeCount && Primes[i] <= n; ++i) {
    for (std::int64_t power = Primes[i]; power <= n; power *= Primes[i])
      exponents[i] += sign * static_cast<std::int32_t>(n / power);
  }
}

// Each pass multiplies prime powers into an integer numerator and
// denominator kept below this bound, so both stay exact in 64 bits and the
// running product never leaves the range of the extended type.
constexpr std::int64_t PassLimit = 1074278;

TReal MultiplyOut(TPrimeExponents& exponents) {
  TReal result = 1;
  bool remaining = true;
  while (remaining) {
    remaining = false;
    std::int64_t numerator = 1;
    std::int64_t denominator = 1;
    for (std::size_t i = 0; i < PrimeCount; ++i) {
      const std::int64_t prime = Primes[i];
      std::int32_t& exponent = exponents[i];
      while (exponent > 0 && numerator * prime < PassLimit) {
        numerator *= prime;
        --exponent;
      }
      while (exponent < 0 && denominator * prime < PassLimit) {
        denominator *= prime;
        ++exponent;
      }
      if (exponent != 0) remaining = true;
    }
    result *= static_cast<TReal>(numerator) / static_cast<TReal>(denominator);
  }
  return result;
}

TReal CapAtOne(TReal p) { return std::min<TReal>(p, 1); }

// The F quantiles take doubled counts as degrees of freedom; a count beyond
// the 32-bit range gives the largest one, where F has long reached its limit.
std::int32_t DoubledCount(TReal count) {
  const TReal doubled = std::trunc(2 * count);
  constexpr TReal Largest = std::numeric_limits<std::int32_t>::max();
  return doubled >= Largest ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(doubled);
}

bool IsWhole(TReal value) { return value == std::trunc(value); }

TReal NormalCritical() { return critical_z(2, 0.05L); }

TInterval LogScaleInterval(TReal estimate, TReal standardError) {
  const TReal logEstimate = std::log(estimate);
  const TReal z = NormalCritical();
  return {std::exp(logEstimate - z * standardError), std::exp(logEstimate + z * standardError)};
}

TTwoByTwoChiSquare ComputeChiSquare(TReal a, TReal b, TReal c, TReal d, bool yates) {
  TTwoByTwoChiSquare result;
  result.Yates = yates;
  result.ChiSquare = TwoByTwoChiSquare(a, b, c, d, yates);
  result.TwoTailedP = CapAtOne(p_value_chi_square(1, result.ChiSquare));
  result.OneTailedP = result.TwoTailedP / 2;
  const TReal n = a + b + c + d;
  const TReal top = a + b;
  const TReal bottom = c + d;
  const bool largeEnough = n > 40 && a * top / n > 5 && b * top / n > 5 && c * bottom / n > 5 && d * bottom / n > 5;
  result.SmallValuesWarning = !(n >= 2000 || largeEnough);
  return result;
}

TRelativeRisk ComputeRelativeRisk(TReal a, TReal b, TReal c, TReal d) {
  TRelativeRisk result;
  const TReal top = a + b;
  const TReal bottom = c + d;
  result.RelativeRisk = c * top == 0 ? EmptyValue : a * bottom / (c * top);
  if (a * top == 0 || c * bottom == 0) {
    result.Interval = {-EmptyValue, EmptyValue};
  } else {
    const TReal se = std::sqrt(b / (a * top) + d / (c * bottom));
    result.Interval = LogScaleInterval(result.RelativeRisk, se);
  }
  return result;
}

TOddsRatio ComputeOddsRatio(TReal a, TReal b, TReal c, TReal d) {
  TOddsRatio result;
  result.HalfAdded = a == 0 || b == 0 || c == 0 || d == 0;
  if (result.HalfAdded) {
    a += 0.5L;
    b += 0.5L;
    c += 0.5L;
    d += 0.5L;
  }
  result.OddsRatio = a * d / (b * c);
  const TReal se = std::sqrt(1 / a + 1 / b + 1 / c + 1 / d);
  result.Interval = LogScaleInterval(result.OddsRatio, se);
  return result;
}

TProportionDifference ComputeDifference(TReal a, TReal b, TReal c, TReal d) {
  TProportionDifference result;
  const TReal top = a + b;
  const TReal bottom = c + d;
  result.TopFraction = a / top;
  result.BottomFraction = c / bottom;
  result.Difference = std::fabs(result.TopFraction - result.BottomFraction);
  if (a > 5 && b > 5) result.TopInterval = binomial_ci(top, a);
  if (c > 5 && d > 5) result.BottomInterval = binomial_ci(bottom, c);
  if (a > 5 && b > 5 && c > 5 && d > 5) {
    const TReal pooled = (a + c) / (top + bottom);
    const TReal se = std::sqrt(pooled * (1 - pooled) * (1 / top + 1 / bottom));
    const TReal z = NormalCritical();
    result.StandardError = se;
    result.Interval = TInterval{result.Difference - z * se, result.Difference + z * se};
  }
  return result;
}

TProportionEstimate EstimateProportion(TReal n, TReal x) { return {x / n, binomial_ci(n, x)}; }

TDiagnosticFigures ComputeDiagnostic(TReal a, TReal b, TReal c, TReal d) {
  TDiagnosticFigures result;
  result.Sensitivity = EstimateProportion(a + c, a);
  result.Specificity = EstimateProportion(b + d, d);
  result.PositivePredictive = EstimateProportion(a + b, a);
  result.NegativePredictive = EstimateProportion(c + d, d);
  // With no false positives the ratio is infinite; it is reported as such
  // rather than failing the whole analysis on a division by zero.
  const TReal falsePositiveRate = 1 - d / (b + d);
  result.LikelihoodRatio = falsePositiveRate == 0 ? EmptyValue : result.Sensitivity.Value / falsePositiveRate;
  return result;
}

// ---------------------------------------------------------------------------
// Report pieces

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
    report.WriteNumber(interval.Lower, -5);
    report.WriteText(" to ");
    report.WriteNumber(interval.Upper, -5);
  }
  report.NewLine();
}

void WriteNumberLine(TReportText& report, std::string_view label, TReal value) {
  report.WriteText(label);
  report.WriteNumber(value, -5);
  report.NewLine();
}

void WriteAssociationLine(TReportText& report, bool significant) {
  report.WriteText("The row/column association is ");
  if (!significant) report.WriteText("not ");
  report.WriteLine("statistically significant.");
}

void WriteFisherSection(TReportText& report, const TTwoByTwoResult& result, bool twoTailed) {
  if (result.Fisher) {
    const TReal p = twoTailed ? result.Fisher->TwoTailed : result.Fisher->OneTailed;
    WriteTwoByTwoPSentence(report, twoTailed ? 2 : 1, true, p);
    WriteAssociationLine(report, !(p > 0.05L));
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
  report.WriteLine("Degrees of freedom = 1");
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

void WriteDiagnosticRow(TReportText& report, std::string_view label, const TProportionEstimate& estimate) {
  report.WriteText(label);
  report.NextTabStop();
  report.WriteNumber(estimate.Value, -5);
  report.NextTabStop();
  report.WriteNumber(estimate.Interval.Lower, -5);
  report.NextTabStop();
  report.WriteText("to");
  report.NextTabStop();
  report.WriteNumber(estimate.Interval.Upper, -5);
  report.NewLine();
}

void WriteDiagnosticSection(TReportText& report, const TDiagnosticFigures& figures) {
  report.WriteLine();
  WriteUnderlinedLine(report, "Sensitivity and specificity");
  report.ClearTabStops();
  for (const int stop : {30, 40, 48, 52}) report.AddTabStop(stop);
  report.ToggleBold();
  report.WriteText("Variable");
  report.NextTabStop();
  report.WriteText("Value");
  report.NextTabStop();
  report.WriteLine("95% Confidence Interval");
  report.ToggleBold();
  WriteDiagnosticRow(report, "Sensitivity", figures.Sensitivity);
  WriteDiagnosticRow(report, "Specificity", figures.Specificity);
  WriteDiagnosticRow(report, "Positive Predictive Value", figures.PositivePredictive);
  WriteDiagnosticRow(report, "Negative Predictive Value", figures.NegativePredictive);
  report.WriteText("Likelihood Ratio");
  report.NextTabStop();
  WriteValueOrInfinity(report, figures.LikelihoodRatio);
  report.NewLine();
}

// The count table takes 32-bit counts, as every count of a report does; a
// larger one cannot be converted, which is an invalid operation (code 5).
std::int32_t CountForTable(TReal count) {
  if (count > static_cast<TReal>(std::numeric_limits<std::int32_t>::max())) {
    std::feraiseexcept(FE_INVALID);
    return 0;
  }
  return static_cast<std::int32_t>(count);
}

void WriteCountTable(TReportText& report, const TTwoByTwoResult& result, const TTwoByTwoTitles& titles,
                     bool suppressStar) {
  TTwoByTwoCounts counts;
  counts.LeftColumnTitle = titles.LeftColumn;
  counts.RightColumnTitle = titles.RightColumn;
  counts.TopRowTitle = titles.TopRow;
  counts.BottomRowTitle = titles.BottomRow;
  counts.A = CountForTable(result.A);
  counts.B = CountForTable(result.B);
  counts.C = CountForTable(result.C);
  counts.D = CountForTable(result.D);
  WriteTwoByTwoCountTable(report, counts, suppressStar);
}

}  // namespace

TReal table_probability(std::int32_t s, std::int32_t r, std::int32_t q, std::int32_t p) {
  TPrimeExponents exponents{};
  AddFactorial(exponents, s + r, 1);
  AddFactorial(exponents, q + p, 1);
  AddFactorial(exponents, s + q, 1);
  AddFactorial(exponents, r + p, 1);
  AddFactorial(exponents, s + r + q + p, -1);
  AddFactorial(exponents, s, -1);
  AddFactorial(exponents, r, -1);
  AddFactorial(exponents, q, -1);
  AddFactorial(exponents, p, -1);
  return MultiplyOut(exponents);
}

TFisherResult fisher_exact(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  // Reflections of the table that keep its probability and the set of its
  // margins, chosen so that lowering s walks away from independence.
  std::int32_t s = a;
  std::int32_t r = b;
  std::int32_t q = c;
  std::int32_t p = d;
  if (p < s) std::swap(s, p);
  if (q < r) std::swap(r, q);
  if (static_cast<std::int64_t>(s + r) * q < static_cast<std::int64_t>(q + p) * s) {
    std::swap(s, r);
    std::swap(q, p);
  }
  const TReal observed = table_probability(s, r, q, p);

  TReal oneTailed = observed;
  {
    TReal ws = s, wr = r, wq = q, wp = p;
    TReal probability = observed;
    while (ws > 0) {
      wr += 1;
      wq += 1;
      probability = probability * ws * wp / (wr * wq);
      ws -= 1;
      wp -= 1;
      if (probability <= observed) oneTailed += probability;
    }
  }

  TReal twoTailed = oneTailed;
  if (s + r == q + p || p + r == q + s) {
    // Equal margins make the distribution symmetric.
    twoTailed = 2 * oneTailed;
  } else {
    TReal ws = s, wr = r, wq = q, wp = p;
    TReal probability = observed;
    while (wr > 0) {
      ws += 1;
      wp += 1;
      probability = probability * wr * wq / (ws * wp);
      wr -= 1;
      wq -= 1;
      if (probability <= observed) twoTailed += probability;
    }
  }
  // Doubling counts the observed table twice; a P above 1 is meaningless.
  return {CapAtOne(twoTailed), CapAtOne(oneTailed)};
}

TInterval binomial_ci(TReal n, TReal x) {
  const TReal m = n - x;
  TInterval interval;
  if (x == 0) {
    interval.Lower = 0;
  } else {
    const TReal f1 = f_for_p(DoubledCount(m + 1), DoubledCount(x), 0.025L);
    interval.Lower = x / (x + (m + 1) * f1);
  }
  if (m == 0) {
    interval.Upper = 1;
  } else {
    const TReal f2 = f_for_p(DoubledCount(x + 1), DoubledCount(m), 0.025L);
    interval.Upper = (x + 1) * f2 / (m + (x + 1) * f2);
  }
  return interval;
}

TStatusCode CheckTwoByTwoCounts(TReal a, TReal b, TReal c, TReal d) {
  const std::array<TReal, 4> counts = {a, b, c, d};
  if (std::any_of(counts.begin(), counts.end(), IsEmpty)) return TStatusCode::MissingCount;
  TStatusCode code = TStatusCode::Ok;
  if (!std::all_of(counts.begin(), counts.end(), IsWhole)) code = TStatusCode::Fraction;
  if (std::any_of(counts.begin(), counts.end(), [](TReal count) { return count < 0; })) code = TStatusCode::Negative;
  if (a + b == 0 || c + d == 0) code = TStatusCode::ZeroRow;
  if (a + c == 0 || b + d == 0) code = TStatusCode::ZeroColumn;
  return code;
}

TReal TwoByTwoChiSquare(TReal a, TReal b, TReal c, TReal d, bool yates) {
  const TReal top = a + b;
  const TReal bottom = c + d;
  const TReal left = a + c;
  const TReal right = b + d;
  const TReal n = top + bottom;
  const TReal denominator = top * bottom * left * right;
  if (denominator == 0) return EmptyValue;
  if (!yates) {
    const TReal cross = a * d - b * c;
    return n * cross * cross / denominator;
  }
  struct TCell {
    TReal Observed;
    TReal RowTotal;
    TReal ColumnTotal;
  };
  const std::array<TCell, 4> cells = {{{a, top, left}, {b, top, right}, {c, bottom, left}, {d, bottom, right}}};
  TReal chiSquare = 0;
  for (const TCell& cell : cells) {
    const TReal expected = cell.RowTotal * cell.ColumnTotal / n;
    TReal deviation = std::fabs(cell.Observed - expected);
    if (deviation > 0.5L) deviation -= 0.5L;
    chiSquare += deviation * deviation / expected;
  }
  return chiSquare;
}

TTwoByTwoResult ComputeTwoByTwo(TReal a, TReal b, TReal c, TReal d, const TTwoByTwoChoices& choices) {
  TTwoByTwoResult result;
  result.StatusCode = CheckTwoByTwoCounts(a, b, c, d);
  if (result.StatusCode != TStatusCode::Ok) return result;
  result.A = a = std::trunc(a);
  result.B = b = std::trunc(b);
  result.C = c = std::trunc(c);
  result.D = d = std::trunc(d);
  const TReal n = a + b + c + d;

  if (choices.Fisher) {
    if (n <= MaxFisherTotal) {
      result.Fisher = fisher_exact(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b),
                                   static_cast<std::int32_t>(c), static_cast<std::int32_t>(d));
    } else {
      result.FisherTooLarge = true;
    }
  }
  if (choices.ChiSquare || result.FisherTooLarge) result.ChiSquare = ComputeChiSquare(a, b, c, d, choices.Yates);
  if (choices.RelativeRisk) result.RelativeRisk = ComputeRelativeRisk(a, b, c, d);
  if (choices.OddsRatio) result.OddsRatio = ComputeOddsRatio(a, b, c, d);
  if (choices.Difference) result.Difference = ComputeDifference(a, b, c, d);
  if (choices.Sensitivity) result.Diagnostic = ComputeDiagnostic(a, b, c, d);
  return result;
}

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

void WriteTwoByTwoReport(TReportText& report, const TTwoByTwoResult& result, const TTwoByTwoChoices& choices,
                         const TTwoByTwoTitles& titles, bool suppressStar) {
  WriteCenteredTitle(report, choices.Fisher ? "Fisher's Exact Test" : "Chi-square Test");
  if (choices.Fisher) WriteFisherSection(report, result, choices.TwoTailed);
  if (result.ChiSquare) WriteChiSquareSection(report, *result.ChiSquare, choices.TwoTailed);
  if (result.RelativeRisk) WriteRelativeRiskSection(report, *result.RelativeRisk);
  if (result.OddsRatio) WriteOddsRatioSection(report, *result.OddsRatio);
  if (result.Difference) WriteDifferenceSection(report, *result.Difference, titles);
  if (result.Diagnostic) WriteDiagnosticSection(report, *result.Diagnostic);
  report.WriteLine();
  WriteUnderlinedLine(report, "Data analyzed");
  WriteCountTable(report, result, titles, suppressStar);
  report.WriteLine();
}

TStatusCode RunTwoByTwoTable(TDataTable& table, TReportText& report, const std::array<std::string, 2>& columnTitles,
                             const std::array<std::string, 2>& rowTitles, bool fisher, bool yates, bool chiSquare,
                             bool sensitivity, bool riskDifference, bool oddsRatio, bool relativeRisk, bool twoTailed,
                             bool reportFlag, TReal a, TReal b, TReal c, TReal d) {
  table.StatusCode = TStatusCode::Ok;
  report.HelpTopic = HelpTopic;
  const TTwoByTwoChoices choices{fisher,         yates,     chiSquare,    sensitivity,
                                 riskDifference, oddsRatio, relativeRisk, twoTailed};
  const TTwoByTwoTitles titles{columnTitles[0], columnTitles[1], rowTitles[0], rowTitles[1]};
  const TTwoByTwoResult result = ComputeTwoByTwo(a, b, c, d, choices);
  table.StatusCode = result.StatusCode;
  if (result.StatusCode == TStatusCode::Ok) WriteTwoByTwoReport(report, result, choices, titles, reportFlag);
  return table.StatusCode;
}

}  // namespace ombrel
