#include "core/analysis/MultipleRegression.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/stats/EffectSizes.h"
#include "core/stats/LeastSquares.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

// What a coefficient with no standard error counts as in its t test.
constexpr TReal InfiniteT = 1000;

// A VIF within rounding of a whole number is that number, so that data whose
// VIF is exactly 4 or 10 get the verdict of the boundary, as printed.
TReal WholeWithinRounding(TReal value) {
  const TReal whole = std::round(value);
  const TReal tolerance = 1024 * std::numeric_limits<TReal>::epsilon() * std::fabs(value);
  return std::fabs(value - whole) <= tolerance ? whole : value;
}

std::string VariableName(const TDataTable& table, int column) {
  return std::string(1, ColumnLetter(column)) + ":" + table.Summary(column).Title;
}

// r from a cross product and two sums of squares about the means; a constant
// column leaves 0/0, which the fault frame reports.
TReal Correlation(TReal cross, TReal ssA, TReal ssB) { return cross / std::sqrt(ssA * ssB); }

// The analysed values: one vector per variable and the dependent values,
// over the complete rows.
struct TCases {
  std::vector<std::vector<TReal>> Columns;
  std::vector<TReal> Y;
};

// The dependent column and the variables, in the order of the checks.
TStatusCode ChooseVariables(const TMultipleRegressionRequest& request, const TDataTable& table,
                            TMultipleRegressionResult& result) {
  if (!table.HasData()) return TStatusCode::NoMultipleRegressionData;
  const int lastColumn = table.LastColumn();
  const int dependent = request.DependentColumn;
  if (result.Regression) {
    // A dependent column outside the table (a damaged document) is no choice.
    if (dependent < 0 || dependent >= MaxColumns) return TStatusCode::NoDependentVariable;
    bool otherHasData = false;
    for (int c = 0; c <= lastColumn && !otherHasData; ++c) otherHasData = c != dependent && !table.IsColumnEmpty(c);
    if (!otherHasData) return TStatusCode::NoDependentVariable;
    result.DependentColumn = dependent;
    result.DependentName = VariableName(table, dependent);
    result.DependentTitle = table.Summary(dependent).Title;
  }
  for (int c = 0; c <= lastColumn; ++c) {
    if (result.Regression && c == dependent) continue;
    if (request.Selected[static_cast<std::size_t>(c)] == 0 || table.IsColumnEmpty(c)) continue;
    result.Variables.push_back(c);
    result.Names.push_back(VariableName(table, c));
    result.Titles.push_back(table.Summary(c).Title);
  }
  const std::size_t p = result.Variables.size();
  if (result.Regression && p == 0) return TStatusCode::NoIndependentVariables;
  if (!result.Regression && p < 2) return TStatusCode::TooFewMatrixVariables;
  return TStatusCode::Ok;
}

// Complete cases only: a row missing any analysed value counts once.
TCases CollectCases(const TDataTable& table, TMultipleRegressionResult& result) {
  const std::size_t p = result.Variables.size();
  TCases cases;
  cases.Columns.resize(p);
  for (int row = 0; row <= table.LastRow(); ++row) {
    bool complete = !result.Regression || !IsEmpty(table.GetAnalysisValue(row, result.DependentColumn));
    for (std::size_t j = 0; j < p && complete; ++j)
      complete = !IsEmpty(table.GetAnalysisValue(row, result.Variables[j]));
    if (!complete) {
      ++result.MissingRows;
      continue;
    }
    result.RowsUsed.push_back(row);
    for (std::size_t j = 0; j < p; ++j) cases.Columns[j].push_back(table.GetAnalysisValue(row, result.Variables[j]));
    if (result.Regression) cases.Y.push_back(table.GetAnalysisValue(row, result.DependentColumn));
  }
  return cases;
}

std::vector<TColumnUse> ColumnUse(const TDataTable& table, const TMultipleRegressionResult& result) {
  const auto used = static_cast<std::int32_t>(result.RowsUsed.size());
  std::vector<TColumnUse> columns;
  const auto add = [&](int column, const std::string& title) {
    columns.push_back(ColumnUseOf(table, column, title, used));
  };
  if (result.Regression) add(result.DependentColumn, result.DependentTitle);
  for (std::size_t j = 0; j < result.Variables.size(); ++j) add(result.Variables[j], result.Titles[j]);
  return columns;
}

// Cohen's f² (Cohen, 1988) with the interval lambda / N, N the rows used,
// from the noncentral F interval of lambda (Steiger, 2004): the interval of
// R² (eta squared) carried over by f² = R² / (1 - R²).
TEffectSize FSquaredOf(TReal rSquared, TReal f, TReal dfModel, TReal dfResidual) {
  const TEffectSize r2 = EtaSquared(f, dfModel, dfResidual);
  const auto carried = [](TReal value) { return IsEmpty(value) ? EmptyValue : value / (1 - value); };
  return {CohensFSquared(rSquared), carried(r2.Lower), carried(r2.Upper)};
}

// The fit's figures: goodness of fit with its F test, the coefficients with
// their tests, and the variance inflation factors.
void DescribeFit(const TLeastSquaresFit& fit, TMultipleRegressionResult& result) {
  const std::size_t p = result.Variables.size();
  const auto df = static_cast<TReal>(result.DF);
  result.SD = std::sqrt(result.SSResidual / df);
  result.RSquared = 1 - result.SSResidual / result.SSTotal;
  result.AdjustedRSquared = 1 - (1 - result.RSquared) * static_cast<TReal>(result.RowsUsed.size() - 1) / df;
  result.MultipleR = std::sqrt(result.RSquared);
  if (result.SSResidual > 0) {
    result.F = ((result.SSTotal - result.SSResidual) / static_cast<TReal>(p)) / (result.SSResidual / df);
    result.P = p_value_f(static_cast<std::int32_t>(p), result.DF, result.F);
    result.FSquared = FSquaredOf(result.RSquared, result.F, static_cast<TReal>(p), df);
  }
  result.CriticalT95 = t_critical_95(result.DF);
  for (std::size_t i = 0; i <= p; ++i) {
    TCoefficient c;
    c.Column = i == 0 ? -1 : result.Variables[i - 1];
    c.Name = i == 0 ? "(constant)" : result.Names[i - 1];
    c.Value = fit.Coefficients[i];
    c.SE = std::sqrt(fit.VarianceFactors[i]) * result.SD;
    c.Lower = c.Value - result.CriticalT95 * c.SE;
    c.Upper = c.Value + result.CriticalT95 * c.SE;
    const TReal t = c.SE == 0 ? InfiniteT : std::fabs(c.Value / c.SE);
    if (c.SE != 0) c.T = t;
    c.P = p_value_t(result.DF, t);
    result.Coefficients.push_back(c);
  }
  // VIF = 1 / (1 - R² of Xi on the other X) = [(XcᵀXc)⁻¹]ii · SSi; it
  // depends on the X variables only, so a perfect fit of Y leaves it as is.
  for (std::size_t j = 0; j < p; ++j) {
    result.VIF.push_back(WholeWithinRounding(fit.VarianceFactors[j + 1] * fit.SumsOfSquares[j]));
    result.MaxVIF = std::max(result.MaxVIF, result.VIF.back());
  }
  result.Verdict = CollinearityVerdict(result.MaxVIF);
}

TStatusCode FitRegression(const TCases& cases, TMultipleRegressionResult& result) {
  const TLeastSquaresFit fit = FitLeastSquares(cases.Columns, cases.Y);
  if (fit.Singular) return TStatusCode::SingularRegression;
  result.DF = static_cast<std::int32_t>(result.RowsUsed.size() - result.Variables.size() - 1);
  result.SSResidual = fit.SSResidual;
  result.SSTotal = fit.SSTotal;
  // Every Y the same: R² is 0/0.
  if (result.SSTotal == 0) return TStatusCode::InvalidOperation;
  DescribeFit(fit, result);
  result.Outputs.Dependent = cases.Y;
  result.Outputs.Residuals = fit.Residuals;
  result.Outputs.Coefficients = fit.Coefficients;
  return TStatusCode::Ok;
}

// r between every two variables and, in regression mode, with Y; a
// constant column is an invalid operation.
TStatusCode CorrelationMatrix(const TCases& cases, TMultipleRegressionResult& result) {
  const std::size_t p = result.Variables.size();
  std::vector<std::vector<TReal>> centred(p);
  std::vector<TReal> sumsOfSquares(p);
  for (std::size_t j = 0; j < p; ++j) {
    centred[j] = CentredValues(cases.Columns[j], AccurateMean(cases.Columns[j]));
    sumsOfSquares[j] = DotProduct(centred[j], centred[j]);
  }
  result.Correlations.assign(p, std::vector<TReal>(p, 1));
  for (std::size_t i = 0; i < p; ++i) {
    if (sumsOfSquares[i] == 0) return TStatusCode::InvalidOperation;
    for (std::size_t j = 0; j < i; ++j) {
      const TReal r = Correlation(DotProduct(centred[i], centred[j]), sumsOfSquares[i], sumsOfSquares[j]);
      result.Correlations[i][j] = r;
      result.Correlations[j][i] = r;
    }
  }
  if (result.Regression) {
    const std::vector<TReal> centredY = CentredValues(cases.Y, AccurateMean(cases.Y));
    for (std::size_t i = 0; i < p; ++i)
      result.CorrelationsWithY.push_back(
          Correlation(DotProduct(centred[i], centredY), sumsOfSquares[i], result.SSTotal));
  }
  return TStatusCode::Ok;
}

}  // namespace

TCollinearityVerdict CollinearityVerdict(TReal maxVif) {
  if (maxVif < 4) return TCollinearityVerdict::Low;
  if (maxVif > 4 && maxVif < 10) return TCollinearityVerdict::High;
  if (maxVif > 10) return TCollinearityVerdict::VeryHigh;
  return TCollinearityVerdict::None;
}

TMultipleRegressionResult ComputeMultipleRegression(const TMultipleRegressionRequest& request,
                                                    const TDataTable& table) {
  TMultipleRegressionResult result;
  result.Request = request;
  result.Regression = request.Mode == TMultipleRegressionMode::Regression;
  result.TableTitle = table.Title();
  result.Status = ChooseVariables(request, table, result);
  if (result.Status != TStatusCode::Ok) return result;
  TCases cases = CollectCases(table, result);
  result.Columns = ColumnUse(table, result);
  if (result.RowsUsed.size() <= result.Variables.size() + 1) {
    result.Status = TStatusCode::TooFewRegressionRows;
    return result;
  }
  if (result.Regression) result.Status = FitRegression(cases, result);
  if (result.Status == TStatusCode::Ok && result.Variables.size() > 1) result.Status = CorrelationMatrix(cases, result);
  if (result.Status != TStatusCode::Ok) return result;
  result.Outputs.Regression = result.Regression ? 1 : 0;
  result.Outputs.DependentColumn = result.DependentColumn;
  result.Outputs.Variables = result.Variables;
  result.Outputs.Rows = result.RowsUsed;
  result.Outputs.Values = std::move(cases.Columns);
  return result;
}

void RunMultipleRegression(const TMultipleRegressionRequest& request, TAnalysisRun& run,
                           TMultipleRegressionOutputs& outputs) {
  TDataTable& table = run.Table;
  // The column selection of the compare-means analyses does not apply here;
  // restored on every path out, a fault's included.
  struct TSelectionOff {
    TDataTable& Table;
    std::uint8_t Saved;
    ~TSelectionOff() { Table.UseColumnSelection = Saved; }
  } selectionOff{table, table.UseColumnSelection};
  table.UseColumnSelection = 0;
  TMultipleRegressionResult result = ComputeMultipleRegression(request, table);
  result.When = CurrentDateTime();
  table.StatusCode = result.Status;
  FillMultipleRegressionRecord(result, run.Record);
  if (result.Status != TStatusCode::Ok) return;
  WriteMultipleRegressionHeading(result, run.Report);
  run.Record.FirstLine = run.Report.LineCount();
  WriteMultipleRegressionReport(result, run.Report);
  outputs = std::move(result.Outputs);
}

}  // namespace ombrel
