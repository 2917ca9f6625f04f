#include "core/analysis/TwoByTwo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/stats/EffectSizes.h"
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

// The smallest expected count, row total x column total / N.
TReal SmallestExpected(TReal a, TReal b, TReal c, TReal d) {
  const TReal n = a + b + c + d;
  const TReal rows[2] = {a + b, c + d};
  const TReal columns[2] = {a + c, b + d};
  TReal smallest = EmptyValue;
  for (const TReal row : rows)
    for (const TReal column : columns) smallest = std::min(smallest, row * column / n);
  return smallest;
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
  result.SmallestExpected = SmallestExpected(a, b, c, d);
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

TTwoByTwoCountRow CountRow(std::int64_t left, std::int64_t right, std::int64_t n) {
  const auto percent = [n](std::int64_t count) {
    return n == 0 ? EmptyValue : 100 * (static_cast<TReal>(count) / static_cast<TReal>(n));
  };
  return {left, right, left + right, percent(left), percent(right), percent(left + right)};
}

TTwoByTwoCounts CountTable(const TTwoByTwoResult& result) {
  const TTwoByTwoTitles& titles = result.Request.Titles;
  TTwoByTwoCounts counts;
  counts.LeftColumnTitle = titles.LeftColumn;
  counts.RightColumnTitle = titles.RightColumn;
  counts.TopRowTitle = titles.TopRow;
  counts.BottomRowTitle = titles.BottomRow;
  const auto a = static_cast<std::int64_t>(result.A);
  const auto b = static_cast<std::int64_t>(result.B);
  const auto c = static_cast<std::int64_t>(result.C);
  const auto d = static_cast<std::int64_t>(result.D);
  const std::int64_t n = a + b + c + d;
  counts.Top = CountRow(a, b, n);
  counts.Bottom = CountRow(c, d, n);
  counts.Total = CountRow(a + c, b + d, n);
  counts.Total.TotalPercent = 100;
  return counts;
}

// The count table shows 32-bit counts, as every count of a report does.
bool FitsCountTable(TReal count) { return count <= static_cast<TReal>(std::numeric_limits<std::int32_t>::max()); }

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

  TFisherResult result;
  const std::int64_t top = std::int64_t{a} + b;
  const std::int64_t left = std::int64_t{a} + c;
  const std::int64_t n = top + c + d;
  result.Arrangements = std::min(top, left) - std::max<std::int64_t>(0, top + left - n) + 1;
  TReal twoTailed = oneTailed;
  if (s + r == q + p || p + r == q + s) {
    // Equal margins make the distribution symmetric.
    twoTailed = 2 * oneTailed;
    result.TwoSidedMethod = TFisherTwoSided::DoubledOneSided;
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
  result.TwoTailed = CapAtOne(twoTailed);
  result.OneTailed = CapAtOne(oneTailed);
  return result;
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

TTwoByTwoResult ComputeTwoByTwo(const TTwoByTwoRequest& request) {
  TTwoByTwoResult result;
  result.Request = request;
  result.Status = CheckTwoByTwoCounts(request.A, request.B, request.C, request.D);
  if (result.Status != TStatusCode::Ok) return result;
  const TReal a = result.A = std::trunc(request.A);
  const TReal b = result.B = std::trunc(request.B);
  const TReal c = result.C = std::trunc(request.C);
  const TReal d = result.D = std::trunc(request.D);
  if (!FitsCountTable(a) || !FitsCountTable(b) || !FitsCountTable(c) || !FitsCountTable(d)) {
    result.Status = TStatusCode::InvalidOperation;
    return result;
  }
  const TReal n = result.N = a + b + c + d;
  const bool twoTailed = request.Tails != 1;

  if (request.Test == TTwoByTwoTest::Fisher) {
    if (n <= MaxFisherTotal) {
      result.Fisher = fisher_exact(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b),
                                   static_cast<std::int32_t>(c), static_cast<std::int32_t>(d));
      result.P = twoTailed ? result.Fisher->TwoTailed : result.Fisher->OneTailed;
    } else {
      result.FisherTooLarge = true;
    }
  }
  if (request.Test == TTwoByTwoTest::ChiSquare || result.FisherTooLarge) {
    result.ChiSquare = ComputeChiSquare(a, b, c, d, request.Yates);
    result.P = twoTailed ? result.ChiSquare->TwoTailedP : result.ChiSquare->OneTailedP;
  }
  if (request.RelativeRisk) result.RelativeRisk = ComputeRelativeRisk(a, b, c, d);
  if (request.OddsRatio) result.OddsRatio = ComputeOddsRatio(a, b, c, d);
  if (request.Difference) result.Difference = ComputeDifference(a, b, c, d);
  if (request.Sensitivity) result.Diagnostic = ComputeDiagnostic(a, b, c, d);
  result.Phi = PhiCoefficient(a, b, c, d);
  result.Counts = CountTable(result);
  return result;
}

void RunTwoByTwo(const TTwoByTwoRequest& request, TAnalysisRun& run) {
  run.Report.HelpTopic = HelpTopic;
  const TTwoByTwoResult result = ComputeTwoByTwo(request);
  run.Table.StatusCode = result.Status;
  FillTwoByTwoRecord(result, run.Record);
  if (result.Status == TStatusCode::Ok) WriteTwoByTwoReport(result, run.Report);
}

}  // namespace ombrel
