#include "core/analysis/LinearRegression.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/analysis/Correlation.h"
#include "core/stats/LeastSquares.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

// A point on the scale of rounding: a residual this small, against the size
// of the terms it was formed from, means the point lies on the line.
constexpr TReal OnLineUnits = 1024;

struct TPoint {
  std::int32_t Row = 0;
  TReal X = 0;
  TReal Y = 0;
};

// The points of every row with an X, one per non-empty Y, in row order and
// within a row in column order.
std::vector<TPoint> CollectPoints(const TDataTable& table) {
  std::vector<TPoint> points;
  const int lastColumn = table.LastMappedColumn();
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal x = table.GetAnalysisValue(row, 0);
    if (IsEmpty(x)) continue;
    for (int column = 1; column <= lastColumn; ++column) {
      const TReal y = table.GetAnalysisValue(row, column);
      if (!IsEmpty(y)) points.push_back({row, x, y});
    }
  }
  return points;
}

// The points of one table row: [First, First + Count) in the point list.
struct TRowRange {
  std::size_t First = 0;
  std::size_t Count = 0;
};

std::vector<TRowRange> RowRanges(const std::vector<TPoint>& points) {
  std::vector<TRowRange> rows;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (rows.empty() || points[i].Row != points[rows.back().First].Row) rows.push_back({i, 0});
    ++rows.back().Count;
  }
  return rows;
}

TReal RowMeanY(const std::vector<TPoint>& points, const TRowRange& range) {
  std::vector<TReal> ys;
  ys.reserve(range.Count);
  for (std::size_t i = range.First; i < range.First + range.Count; ++i) ys.push_back(points[i].Y);
  return AccurateMean(ys);
}

// log of the binomial coefficient (n over k), 0 <= k <= n.
TReal LogChoose(std::int32_t n, std::int32_t k) {
  return std::lgamma(static_cast<TReal>(n) + 1) - std::lgamma(static_cast<TReal>(k) + 1) -
         std::lgamma(static_cast<TReal>(n - k) + 1);
}

// log of (n - 1 over i - 1), the ways to cut n like points into i runs;
// empty when there are none.
TReal LogRunSplits(std::int32_t n, std::int32_t i) {
  if (i < 1 || i > n) return EmptyValue;
  return LogChoose(n - 1, i - 1);
}

TReal LogSum(TReal a, TReal b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  const TReal top = std::max(a, b);
  return top + std::log(std::exp(a - top) + std::exp(b - top));
}

TReal LogProduct(TReal a, TReal b) { return IsEmpty(a) || IsEmpty(b) ? EmptyValue : a + b; }

void StandardCurve(const TDataTable& table, TLinearRegressionResult& result) {
  TReal low = EmptyValue;
  TReal high = EmptyValue;
  const int lastColumn = table.LastMappedColumn();
  const auto hasY = [&](int row) {
    for (int column = 1; column <= lastColumn; ++column)
      if (!IsEmpty(table.GetAnalysisValue(row, column))) return true;
    return false;
  };
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal x = table.GetAnalysisValue(row, 0);
    if (IsEmpty(x) || !hasY(row)) continue;
    if (IsEmpty(low) || x < low) low = x;
    if (IsEmpty(high) || x > high) high = x;
  }
  const auto add = [&](int row, TReal x, TReal y) {
    const bool outside = !IsEmpty(x) && (x < low || x > high);
    result.Unknowns.push_back({row, x, y, outside});
    result.AnyOutsideCurve = result.AnyOutsideCurve || outside;
  };
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal x = table.GetAnalysisValue(row, 0);
    if (!IsEmpty(x)) {
      if (!hasY(row)) add(row, x, result.Slope * x + result.Intercept);
      continue;
    }
    for (int column = 1; column <= lastColumn; ++column) {
      const TReal y = table.GetAnalysisValue(row, column);
      if (IsEmpty(y)) continue;
      // A flat line gives no X for a Y: the cell stays blank rather than
      // the division turning the whole report into a fault.
      add(row, result.Slope == 0 ? EmptyValue : (y - result.Intercept) / result.Slope, y);
    }
  }
  result.HasStandardCurve = true;
}

// The points of a fit, grouped by table row, with their values, the values
// centred on their means, and the mean Y of each row.
struct TFitPoints {
  std::vector<TPoint> Points;
  std::vector<TRowRange> Rows;
  std::vector<TReal> Xs;
  std::vector<TReal> Ys;
  std::vector<TReal> Dx;
  std::vector<TReal> Dy;
  std::vector<TReal> RowMeans;
};

// The means of X and Y and the sums of squares and products about them.
void CentrePoints(TFitPoints& data, TLinearRegressionResult& result) {
  const std::size_t n = data.Points.size();
  data.Xs.resize(n);
  data.Ys.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    data.Xs[i] = data.Points[i].X;
    data.Ys[i] = data.Points[i].Y;
  }
  result.MeanX = AccurateMean(data.Xs);
  result.MeanY = AccurateMean(data.Ys);
  data.Dx = CentredValues(data.Xs, result.MeanX);
  data.Dy = CentredValues(data.Ys, result.MeanY);
  result.Sxx = DotProduct(data.Dx, data.Dx);
  result.Syy = DotProduct(data.Dy, data.Dy);
  result.Sxy = DotProduct(data.Dx, data.Dy);
}

// The mean Y of each row, and the sum of squares between rows about the
// overall mean; the same for the shifted values of a forced fit.
void FindRowMeans(TFitPoints& data, TLinearRegressionResult& result) {
  data.RowMeans.reserve(data.Rows.size());
  for (const TRowRange& range : data.Rows) {
    data.RowMeans.push_back(RowMeanY(data.Points, range));
    const TReal d = data.RowMeans.back() - result.MeanY;
    result.SSBetweenRows += static_cast<TReal>(range.Count) * d * d;
  }
}

// The residuals of the fitted line, and the size of the terms each was
// formed from, which sets the rounding level below which a residual is zero.
struct TFit {
  std::vector<TReal> Residuals;
  std::vector<TReal> Scales;
  TReal SumXX = 0;  // Σ(X - X0)² of a forced fit
};

// Slope and intercept by least squares, or through (X0, Y0) when forced;
// the residual sum of squares, zero when it is at the rounding level.
TFit FitLine(const TFitPoints& data, const TLinearRegressionRequest& request, TLinearRegressionResult& result) {
  const std::size_t n = data.Points.size();
  const std::vector<TReal>& xs = data.Xs;
  const std::vector<TReal>& ys = data.Ys;
  TFit fit;
  std::vector<TReal>& residuals = fit.Residuals;
  std::vector<TReal>& scales = fit.Scales;
  residuals.resize(n);
  scales.resize(n);
  const TReal x0 = request.ForceX;
  const TReal y0 = request.ForceY;
  if (!result.Forced) {
    result.Slope = result.Sxy / result.Sxx;
    result.Intercept = result.MeanY - result.Slope * result.MeanX;
    for (std::size_t i = 0; i < n; ++i) {
      residuals[i] = data.Dy[i] - result.Slope * data.Dx[i];
      scales[i] = std::fabs(ys[i]) + std::fabs(result.MeanY) +
                  std::fabs(result.Slope) * (std::fabs(xs[i]) + std::fabs(result.MeanX));
    }
  } else {
    TReal sumXY = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const TReal x = xs[i] - x0;
      fit.SumXX += x * x;
      sumXY += x * (ys[i] - y0);
    }
    result.Slope = sumXY / fit.SumXX;
    result.Intercept = y0 - result.Slope * x0;
    for (std::size_t i = 0; i < n; ++i) {
      residuals[i] = (ys[i] - y0) - result.Slope * (xs[i] - x0);
      scales[i] = std::fabs(ys[i]) + std::fabs(y0) + std::fabs(result.Slope) * (std::fabs(xs[i]) + std::fabs(x0));
    }
  }
  TReal sumScaleSquares = 0;
  for (std::size_t i = 0; i < n; ++i) {
    result.SSResidual += residuals[i] * residuals[i];
    sumScaleSquares += scales[i] * scales[i];
  }
  if (IsRoundingLevel(result.SSResidual, sumScaleSquares)) {
    result.SSResidual = 0;
    std::fill(residuals.begin(), residuals.end(), TReal{0});
  }
  return fit;
}

// The regression and total sums of squares with their degrees of freedom,
// the residual mean square and the standard error of the slope.
void PartitionSumsOfSquares(const TFit& fit, const TLinearRegressionRequest& request, TReal count,
                            TLinearRegressionResult& result) {
  if (!result.Forced) {
    result.SSRegression = result.Slope * result.Sxy;
    result.SSTotal = result.Syy;
    result.DFResidual = result.N - 2;
    result.DFTotal = result.N - 1;
    result.MSResidual = result.SSResidual / static_cast<TReal>(result.DFResidual);
    result.SlopeSE = std::sqrt(result.MSResidual / result.Sxx);
  } else {
    // A line through a fixed point explains the squares about that point,
    // not about the mean: the total is Σ(Y - Y0)² (uncentred), so that
    // the model's share is b²·Σ(X - X0)² and F = t², as for a line through
    // the origin (NIST's NoInt data).
    const TReal shiftedMeanY = result.MeanY - request.ForceY;
    result.SSTotal = result.Syy + count * shiftedMeanY * shiftedMeanY;
    result.SSRegression = result.SSTotal - result.SSResidual;
    result.DFResidual = result.N - 1;
    result.DFTotal = result.N;
    result.MSResidual = result.SSResidual / static_cast<TReal>(result.DFResidual);
    result.SlopeSE = std::sqrt(result.MSResidual / fit.SumXX);
  }
}

// r², Sy.x, the X intercept, the 95% limits of slope and intercept and the
// P value of the slope.
void DescribeLine(TReal count, TLinearRegressionResult& result) {
  result.MSRegression = result.SSRegression;
  if (result.Slope != 0) result.XIntercept = -result.Intercept / result.Slope;
  result.SyX = std::sqrt(result.MSResidual);
  result.PerfectLine = result.SSResidual == 0;
  result.RSquared = result.PerfectLine ? TReal{1} : std::fabs(1 - result.SSResidual / result.SSTotal);
  result.R = std::sqrt(result.RSquared);
  if (result.Slope < 0) result.R = -result.R;
  const TReal t95 = t_critical_95(result.DFResidual);
  result.CriticalT95 = t95;
  result.SlopeLower = result.Slope - t95 * result.SlopeSE;
  result.SlopeUpper = result.Slope + t95 * result.SlopeSE;
  if (!result.Forced) {
    result.InterceptSE = std::sqrt((result.MeanX * result.MeanX / result.Sxx + 1 / count) * result.MSResidual);
    result.InterceptLower = result.Intercept - t95 * result.InterceptSE;
    result.InterceptUpper = result.Intercept + t95 * result.InterceptSE;
  }

  if (!result.PerfectLine) result.SlopeT = result.Slope / result.SlopeSE;
  if (result.PerfectLine) {
    result.SlopeP = 0;
  } else if (!result.Forced) {
    result.F = result.MSRegression / result.MSResidual;
    result.SlopeP = p_value_f(1, result.DFResidual, result.F);
  } else {
    result.T = result.Slope / result.SlopeSE;
    result.SlopeP = p_value_t(result.DFResidual, result.T);
  }
}

// One summary per table row: its X, mean Y, replicates and their SD, the
// predicted Y and the residual; the scatter within rows adds up to the pure
// error.
void SummariseRows(const TFitPoints& data, TLinearRegressionResult& result) {
  const std::vector<TPoint>& points = data.Points;
  for (std::size_t r = 0; r < data.Rows.size(); ++r) {
    const TRowRange& range = data.Rows[r];
    TRegressionRowSummary summary;
    summary.Row = points[range.First].Row;
    summary.X = points[range.First].X;
    summary.MeanY = data.RowMeans[r];
    summary.Replicates = static_cast<std::int32_t>(range.Count);
    summary.PredictedY = result.Slope * summary.X + result.Intercept;
    if (range.Count > 1) {
      TReal ss = 0;
      for (std::size_t i = range.First; i < range.First + range.Count; ++i) {
        const TReal d = points[i].Y - summary.MeanY;
        ss += d * d;
      }
      summary.SD = std::sqrt(ss / static_cast<TReal>(range.Count - 1));
      result.SSPureError += ss;
    }
    summary.Residual = summary.MeanY - summary.PredictedY;
    result.RowSummaries.push_back(summary);
  }
}

// Residual = scatter within rows + the row means' distances from the line;
// the second part is the lack of fit, taken directly so that no difference
// of two large sums is formed. A forced line has one parameter, so its
// deviations keep one more degree of freedom.
void TestLackOfFit(const TFitPoints& data, const TLinearRegressionRequest& request, TLinearRegressionResult& result) {
  const std::vector<TRowRange>& rows = data.Rows;
  const TReal x0 = request.ForceX;
  const TReal y0 = request.ForceY;
  result.HasLackOfFit = true;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const TReal fitted = result.Forced ? result.Slope * (data.Points[rows[r].First].X - x0)
                                       : result.Slope * (data.Points[rows[r].First].X - result.MeanX);
    const TReal mean = result.Forced ? data.RowMeans[r] - y0 : data.RowMeans[r] - result.MeanY;
    const TReal d = mean - fitted;
    result.SSDeviation += static_cast<TReal>(rows[r].Count) * d * d;
  }
  if (result.PerfectLine) result.SSDeviation = 0;
  result.DFDeviation = result.Rows - (result.Forced ? 1 : 2);
  result.DFPureError = result.N - result.Rows;
  result.MSDeviation = result.SSDeviation / static_cast<TReal>(result.DFDeviation);
  result.MSPureError = result.SSPureError / static_cast<TReal>(result.DFPureError);
  if (result.MSPureError > 0) {
    result.LackOfFitF = result.MSDeviation / result.MSPureError;
    result.LackOfFitP = p_value_f(result.DFDeviation, result.DFPureError, result.LackOfFitF);
  } else {
    // Replicates that agree exactly leave no scatter to compare with:
    // F is infinite.
    result.LackOfFitP = result.MSDeviation > 0 ? TReal{0} : TReal{1};
  }
}

// The points above and below the line in point order (those on it skipped),
// the runs of like signs, and the P value of so few runs.
void TestRuns(const TFit& fit, TLinearRegressionResult& result) {
  result.HasRunsTest = true;
  int side = 0;
  for (std::size_t i = 0; i < fit.Residuals.size(); ++i) {
    const TReal e = fit.Residuals[i];
    const TReal tolerance = OnLineUnits * std::numeric_limits<TReal>::epsilon() * fit.Scales[i];
    const int pointSide = e > tolerance ? 1 : e < -tolerance ? -1 : 0;
    if (pointSide == 0) continue;
    (pointSide > 0 ? result.Above : result.Below) += 1;
    if (pointSide != side) ++result.Runs;
    side = pointSide;
  }
  if (result.Above < 2 || result.Below < 2) {
    result.RunsOutcome = TRunsOutcome::TooFewOnOneSide;
  } else if (result.Above + result.Below <= 5) {
    result.RunsOutcome = TRunsOutcome::TooFewPoints;
  } else {
    result.RunsP = RunsTestP(result.Above, result.Below, result.Runs);
  }
}

}  // namespace

TReal RunsTestP(std::int32_t above, std::int32_t below, std::int32_t runs) {
  const std::int32_t longest = above + below;
  std::vector<TReal> logCounts(static_cast<std::size_t>(longest) + 1, EmptyValue);
  for (std::int32_t r = 2; r <= longest; ++r) {
    const std::int32_t k = r / 2;
    TReal logCount = EmptyValue;
    if (r % 2 == 0) {
      logCount = LogProduct(LogProduct(std::log(TReal{2}), LogRunSplits(above, k)), LogRunSplits(below, k));
    } else {
      logCount = LogSum(LogProduct(LogRunSplits(above, k + 1), LogRunSplits(below, k)),
                        LogProduct(LogRunSplits(above, k), LogRunSplits(below, k + 1)));
    }
    logCounts[static_cast<std::size_t>(r)] = logCount;
  }
  TReal top = EmptyValue;
  for (const TReal c : logCounts)
    if (!IsEmpty(c) && (IsEmpty(top) || c > top)) top = c;
  if (IsEmpty(top)) return 1;
  TReal atMost = 0;
  TReal total = 0;
  for (std::int32_t r = 0; r <= longest; ++r) {
    const TReal c = logCounts[static_cast<std::size_t>(r)];
    if (IsEmpty(c)) continue;
    const TReal weight = std::exp(c - top);
    total += weight;
    if (r <= runs) atMost += weight;
  }
  return atMost / total;
}

TLinearRegressionResult ComputeLinearRegression(const TLinearRegressionRequest& request, const TDataTable& table) {
  TLinearRegressionResult result;
  result.Request = request;
  result.Forced = request.ForceThrough;
  TFitPoints data;
  data.Points = CollectPoints(table);
  data.Rows = RowRanges(data.Points);
  result.N = static_cast<std::int32_t>(data.Points.size());
  result.Rows = static_cast<std::int32_t>(data.Rows.size());
  for (const TRowRange& range : data.Rows)
    result.MaxReplicates = std::max(result.MaxReplicates, static_cast<std::int32_t>(range.Count));
  if (result.Rows < 3) {
    result.Status = TStatusCode::TooFewRegressionPoints;
    return result;
  }
  CentrePoints(data, result);
  if (result.Sxx == 0) {
    result.Status = TStatusCode::OneXValue;
    return result;
  }
  FindRowMeans(data, result);
  const TFit fit = FitLine(data, request, result);
  PartitionSumsOfSquares(fit, request, static_cast<TReal>(data.Points.size()), result);
  if (result.Slope == 0 && result.SlopeSE == 0) {
    result.Status = TStatusCode::OneYValue;
    return result;
  }
  DescribeLine(static_cast<TReal>(data.Points.size()), result);
  SummariseRows(data, result);
  if (request.TestLinearity && result.MaxReplicates >= 2) TestLackOfFit(data, request, result);
  if (request.TestLinearity) TestRuns(fit, result);
  if (request.InterpolateUnknowns) StandardCurve(table, result);
  const std::vector<int> yColumns = YColumns(table);
  result.Columns = PairedColumnUse(table, 0, yColumns);
  return result;
}

void FillRegressionOutputs(const TLinearRegressionResult& result, TRegressionOutputs& outputs) {
  outputs.Slope = result.Slope;
  outputs.Intercept = result.Intercept;
  outputs.SlopeLower95 = result.SlopeLower;
  outputs.SlopeUpper95 = result.SlopeUpper;
  outputs.SyX = result.SyX;
  outputs.RSquared = result.RSquared;
  outputs.N = result.N;
  outputs.MeanX = result.MeanX;
  outputs.Sxx = result.Sxx;
}

void RunLinearRegression(const TLinearRegressionRequest& request, TAnalysisRun& run, TRegressionOutputs& outputs) {
  const TLinearRegressionResult result = ComputeLinearRegression(request, run.Table);
  run.Table.StatusCode = result.Status;
  FillLinearRegressionRecord(result, run.Record);
  if (result.Status != TStatusCode::Ok) return;
  WriteLinearRegressionReport(result, run.Report);
  FillRegressionOutputs(result, outputs);
}

}  // namespace ombrel
