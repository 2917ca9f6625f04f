#include "core/analysis/MultipleRegression.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/NumberText.h"
#include "core/report/ReportTables.h"
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

}  // namespace

std::string_view RefusalMessage(TMultipleRegressionRefusal refusal) {
  switch (refusal) {
    case TMultipleRegressionRefusal::NoData:
      return "Until you enter data, you won't see any results!";
    case TMultipleRegressionRefusal::NoDependent:
      return "You must choose a dependent (Y) variable.";
    case TMultipleRegressionRefusal::NoIndependent:
      return "You must choose one or more independent (X) variables.";
    case TMultipleRegressionRefusal::TooFewVariables:
      return "You must choose two or more variables to analyze.";
    case TMultipleRegressionRefusal::TooFewRows:
      return "Too few rows of data. Need at least two more rows than # of variables.";
    case TMultipleRegressionRefusal::Singular:
      return "It is not possible to fit your data. Perhaps two X columns are identical?";
    case TMultipleRegressionRefusal::None:
      break;
  }
  return {};
}

TCollinearityVerdict CollinearityVerdict(TReal maxVif) {
  if (maxVif < 4) return TCollinearityVerdict::Low;
  if (maxVif > 4 && maxVif < 10) return TCollinearityVerdict::High;
  if (maxVif > 10) return TCollinearityVerdict::VeryHigh;
  return TCollinearityVerdict::None;
}

TMultipleRegressionResult ComputeMultipleRegression(const TDataTable& table, bool multipleRegression,
                                                    int dependentColumn, const TColumnFlags& independentSelected) {
  TMultipleRegressionResult result;
  result.Regression = multipleRegression;
  const auto refuse = [&](TMultipleRegressionRefusal refusal) {
    result.Refusal = refusal;
    return result;
  };
  if (!table.HasData()) return refuse(TMultipleRegressionRefusal::NoData);

  const int lastColumn = table.LastColumn();
  const int dependent = dependentColumn;
  if (multipleRegression) {
    // A dependent column outside the table (a damaged document) is no choice.
    if (dependent < 0 || dependent >= MaxColumns) return refuse(TMultipleRegressionRefusal::NoDependent);
    bool otherHasData = false;
    for (int c = 0; c <= lastColumn && !otherHasData; ++c) otherHasData = c != dependent && !table.IsColumnEmpty(c);
    if (!otherHasData) return refuse(TMultipleRegressionRefusal::NoDependent);
    result.DependentColumn = dependent;
    result.DependentName = VariableName(table, dependent);
  }
  for (int c = 0; c <= lastColumn; ++c) {
    if (multipleRegression && c == dependent) continue;
    if (independentSelected[static_cast<std::size_t>(c)] == 0 || table.IsColumnEmpty(c)) continue;
    result.Variables.push_back(c);
    result.Names.push_back(VariableName(table, c));
  }
  const std::size_t p = result.Variables.size();
  if (multipleRegression && p == 0) return refuse(TMultipleRegressionRefusal::NoIndependent);
  if (!multipleRegression && p < 2) return refuse(TMultipleRegressionRefusal::TooFewVariables);

  // Complete cases only.
  std::vector<std::vector<TReal>> columns(p);
  std::vector<TReal> y;
  for (int row = 0; row <= table.LastRow(); ++row) {
    bool complete = !multipleRegression || !IsEmpty(table.GetAnalysisValue(row, dependent));
    for (std::size_t j = 0; j < p && complete; ++j)
      complete = !IsEmpty(table.GetAnalysisValue(row, result.Variables[j]));
    if (!complete) {
      ++result.MissingRows;
      continue;
    }
    result.RowsUsed.push_back(row);
    for (std::size_t j = 0; j < p; ++j) columns[j].push_back(table.GetAnalysisValue(row, result.Variables[j]));
    if (multipleRegression) y.push_back(table.GetAnalysisValue(row, dependent));
  }
  const std::size_t rows = result.RowsUsed.size();
  if (rows <= p + 1) return refuse(TMultipleRegressionRefusal::TooFewRows);

  // Centred columns for the correlation matrix.
  std::vector<std::vector<TReal>> centred(p);
  std::vector<TReal> sumsOfSquares(p);
  for (std::size_t j = 0; j < p; ++j) {
    centred[j] = CentredValues(columns[j], AccurateMean(columns[j]));
    sumsOfSquares[j] = DotProduct(centred[j], centred[j]);
  }

  if (multipleRegression) {
    const TLeastSquaresFit fit = FitLeastSquares(columns, y);
    if (fit.Singular) return refuse(TMultipleRegressionRefusal::Singular);
    result.DF = static_cast<std::int32_t>(rows - p - 1);
    result.SSResidual = fit.SSResidual;
    result.SSTotal = fit.SSTotal;
    if (result.SSTotal == 0) {
      // Every Y the same: R² is 0/0.
      result.StatusCode = TStatusCode::InvalidOperation;
      return result;
    }
    const auto df = static_cast<TReal>(result.DF);
    result.SD = std::sqrt(result.SSResidual / df);
    result.RSquared = 1 - result.SSResidual / result.SSTotal;
    result.AdjustedRSquared = 1 - (1 - result.RSquared) * static_cast<TReal>(rows - 1) / df;
    result.MultipleR = std::sqrt(result.RSquared);
    if (result.SSResidual > 0) {
      result.F = ((result.SSTotal - result.SSResidual) / static_cast<TReal>(p)) / (result.SSResidual / df);
      result.P = p_value_f(static_cast<std::int32_t>(p), result.DF, result.F);
    }
    const TReal t95 = t_critical_95(result.DF);
    for (std::size_t i = 0; i <= p; ++i) {
      TCoefficient c;
      c.Name = i == 0 ? "(constant)" : result.Names[i - 1];
      c.Value = fit.Coefficients[i];
      c.SE = std::sqrt(fit.VarianceFactors[i]) * result.SD;
      c.Lower = c.Value - t95 * c.SE;
      c.Upper = c.Value + t95 * c.SE;
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
    result.Outputs.Dependent = y;
    result.Outputs.Residuals = fit.Residuals;
    result.Outputs.Coefficients = fit.Coefficients;
  }

  if (p > 1) {
    result.Correlations.assign(p, std::vector<TReal>(p, 1));
    for (std::size_t i = 0; i < p; ++i) {
      if (sumsOfSquares[i] == 0) {
        result.StatusCode = TStatusCode::InvalidOperation;
        return result;
      }
      for (std::size_t j = 0; j < i; ++j) {
        const TReal r = Correlation(DotProduct(centred[i], centred[j]), sumsOfSquares[i], sumsOfSquares[j]);
        result.Correlations[i][j] = r;
        result.Correlations[j][i] = r;
      }
    }
    if (multipleRegression) {
      const std::vector<TReal> centredY = CentredValues(y, AccurateMean(y));
      for (std::size_t i = 0; i < p; ++i)
        result.CorrelationsWithY.push_back(
            Correlation(DotProduct(centred[i], centredY), sumsOfSquares[i], result.SSTotal));
    }
  }

  result.Outputs.Regression = multipleRegression ? 1 : 0;
  result.Outputs.DependentColumn = result.DependentColumn;
  result.Outputs.Variables = result.Variables;
  result.Outputs.Rows = result.RowsUsed;
  result.Outputs.Values = std::move(columns);
  return result;
}

namespace {

// Columns of the correlation matrix per block.
constexpr std::size_t MatrixBlockWidth = 5;

void SetTabStops(TReportText& report, std::initializer_list<int> stops) {
  report.ClearTabStops();
  for (const int stop : stops) report.AddTabStop(stop);
}

// The underlined title centred in the report's width.
// A label that may be longer than one write allows.
void WriteLabel(TReportText& report, std::string_view text) {
  for (std::size_t at = 0; at < text.size(); at += TReportText::MaxTextPerWrite)
    report.WriteText(text.substr(at, TReportText::MaxTextPerWrite));
}

void WriteEquation(TReportText& report, const TMultipleRegressionResult& result) {
  report.WriteText(" [");
  WriteLabel(report, result.DependentName);
  report.WriteText("] = ");
  report.WriteNumber(result.Coefficients[0].Value, -5);
  for (std::size_t i = 1; i < result.Coefficients.size(); ++i) {
    // b0 is the first term; a new line starts before the 4th, 7th, ...
    const std::size_t term = i + 1;
    if (term >= 4 && term % 3 == 1) {
      report.NewLine();
      report.WriteText("     ");
    }
    const TCoefficient& c = result.Coefficients[i];
    report.WriteText(c.Value < 0 ? " - " : " + ");
    report.WriteNumber(std::fabs(c.Value), -5);
    report.WriteText("*[");
    WriteLabel(report, c.Name);
    report.WriteText("]");
  }
  report.NewLine();
}

void WriteCoefficientTable(TReportText& report, const TMultipleRegressionResult& result) {
  const bool single = result.Variables.size() == 1;
  SetTabStops(report, {20, 32, 42, 50, 54});
  report.ToggleBold();
  report.WriteText("Variable");
  report.NextTabStop();
  report.WriteText("Coefficient");
  report.NextTabStop();
  report.WriteText("SE");
  report.NextTabStop();
  report.WriteText("95% Confidence Interval");
  report.ToggleBold();
  report.NewLine();
  for (std::size_t i = 0; i < result.Coefficients.size(); ++i) {
    const TCoefficient& c = result.Coefficients[i];
    if (i == 0) {
      report.WriteText(single ? "Intercept  " : "(constant)  ");
    } else if (single) {
      report.WriteText("Slope    ");
    } else {
      WriteLabel(report, c.Name);
      report.WriteText("  ");
    }
    report.NextTabStop();
    report.WriteNumber(c.Value, -5);
    report.NextTabStop();
    report.WriteNumber(c.SE, -5);
    report.NextTabStop();
    report.WriteNumber(c.Lower, -5);
    report.NextTabStop();
    report.WriteText("to");
    report.NextTabStop();
    report.WriteNumber(c.Upper, -5);
    report.NewLine();
  }
}

void WriteGoodnessOfFit(TReportText& report, const TMultipleRegressionResult& result) {
  report.NewLine();
  WriteUnderlinedLine(report, "How good is the fit?");
  report.NewLine();
  report.WriteText("R squared = ");
  report.WriteNumber(100 * result.RSquared, 2);
  report.WriteLine("%.");
  report.WriteText("This is the percent of the variance in ");
  WriteLabel(report, result.DependentName);
  report.WriteLine(" explained by the model.");
  if (result.SSResidual == 0) {
    report.WriteLine("The model fits the data perfectly.");
    return;
  }
  report.NewLine();
  report.WritePValueSentence(0, true, result.P);
  report.WriteLine("The P value answers this question:");
  report.WriteLine("  If there were no linear relationship among the variables, what is ");
  report.WriteLine("  the chance that R squared would be that high (or higher) by chance?");
  if (result.P > 0.05L) {
    report.NewLine();
    report.WriteLine("Since P is high, the rest of the results will be of little interest.");
  }
  report.NewLine();
  SetTabStops(report, {25, 49});
  const auto line = [&](std::string_view label, TReal value, int digits) {
    report.WriteText(label);
    report.NextTabStop();
    report.WriteNumber(value, digits);
    report.NewLine();
  };
  line("Sum-of-squares ", result.SSResidual, -5);
  line("SD of residuals ", result.SD, -5);
  line("R squared", result.RSquared, 4);
  line("Adjusted R squared", result.AdjustedRSquared, 4);
  line(result.Variables.size() == 1 ? "r" : "Multiple R ", result.MultipleR, 4);
  line("F ", result.F, 4);
}

void WriteCoefficientTests(TReportText& report, const TMultipleRegressionResult& result) {
  report.NewLine();
  SetTabStops(report, {20, 32, 44, 56});
  WriteUnderlinedLine(report, "Which variable(s) make a significant contribution?");
  report.NewLine();
  report.ToggleBold();
  report.WriteText("Variable");
  report.NextTabStop();
  report.WriteText("t ratio");
  report.NextTabStop();
  report.WriteText("P value");
  report.NextTabStop();
  report.WriteText("Significant?");
  report.ToggleBold();
  report.NewLine();
  for (const TCoefficient& c : result.Coefficients) {
    WriteLabel(report, c.Name);
    report.NextTabStop();
    if (IsEmpty(c.T)) {
      report.WriteText("infinite");
    } else {
      report.WriteNumber(c.T, -5);
    }
    report.NextTabStop();
    if (c.P <= 0.0001L) {
      report.WriteText("< 0.0001");
    } else {
      report.WriteText("  ");
      report.WriteNumber(c.P, 4);
    }
    report.NextTabStop();
    report.WriteText(c.P <= 0.05L ? "  Yes" : "  No");
    report.NewLine();
  }
  report.NewLine();
  report.WriteLine("Each P value compares the full model with a simpler model omitting");
  report.WriteLine("one variable. It tests the effect of one variable, after accounting");
  report.WriteLine("for the effects of the others.");
}

void WriteCollinearity(TReportText& report, const TMultipleRegressionResult& result) {
  report.NewLine();
  SetTabStops(report, {20, 37, 47});
  WriteUnderlinedLine(report, "Is multicollinearity a problem?");
  report.NewLine();
  report.ToggleBold();
  report.WriteText("Variable");
  report.NextTabStop();
  report.WriteText("VIF");
  report.NextTabStop();
  report.WriteText("R2 with other X");
  report.ToggleBold();
  report.NewLine();
  for (std::size_t j = 0; j < result.Variables.size(); ++j) {
    WriteLabel(report, result.Names[j]);
    report.NextTabStop();
    report.WriteNumber(result.VIF[j], 2);
    report.NextTabStop();
    report.WriteNumber(1 - 1 / result.VIF[j], 4);
    report.NewLine();
  }
  report.NewLine();
  report.WriteLine("Each R squared quantifies how well that X variable is predicted from");
  report.WriteLine("the other X variables (ignoring Y). VIF is calculated from R squared.");
  report.NewLine();
  switch (CollinearityVerdict(result.MaxVIF)) {
    case TCollinearityVerdict::Low:
      report.WriteLine("All R squared values are low (<0.75). The X variables are independent ");
      report.WriteLine("of each other. Multicollinearity is not a problem.");
      break;
    case TCollinearityVerdict::High:
      report.WriteLine("Some R squared values are high (>.75). Multicollinearity may be a problem.");
      break;
    case TCollinearityVerdict::VeryHigh:
      report.WriteLine("Some R squared values are quite high (>.90). Multicollinearity is a problem.");
      break;
    case TCollinearityVerdict::None:
      break;
  }
  if (result.MaxVIF > 4) {
    report.WriteLine("This means that the X variables provide redundant information, ");
    report.WriteLine("making the confidence intervals very wide (by a factor of VIF).");
    report.WriteLine("Consider removing one or more X variables from the model,");
    report.WriteLine("or obtaining data over a wider range of X values.");
  }
  report.NewLine();
  report.NewLine();
  WriteUnderlinedLine(report, "Correlation Matrix");
}

// r with four decimals, a blank before a value that is not negative so that
// the digits line up.
void WriteCorrelation(TReportText& report, TReal r) {
  if (r >= 0) report.WriteText(" ");
  report.WriteNumber(r, 4);
}

void WriteCorrelationMatrix(TReportText& report, const TMultipleRegressionResult& result) {
  SetTabStops(report, {17, 26, 35, 44, 53, 62});
  const std::size_t p = result.Variables.size();
  const std::string yLetter(1, ColumnLetter(result.DependentColumn >= 0 ? result.DependentColumn : 0));
  // Blocks of up to five variables; Y joins the last block when it has room,
  // else it forms a block of its own.
  struct TBlock {
    std::size_t First = 0;
    std::size_t Count = 0;
    bool WithY = false;
  };
  std::vector<TBlock> blocks;
  for (std::size_t first = 0; first < p; first += MatrixBlockWidth)
    blocks.push_back({first, std::min(MatrixBlockWidth, p - first), false});
  if (result.Regression) {
    if (blocks.back().Count < MatrixBlockWidth) {
      blocks.back().WithY = true;
    } else {
      blocks.push_back({p, 0, true});
    }
  }
  for (const TBlock& block : blocks) {
    report.NewLine();
    for (std::size_t j = block.First; j < block.First + block.Count; ++j) {
      report.NextTabStop();
      report.WriteText(std::string(" ") + ColumnLetter(result.Variables[j]) + ":");
    }
    if (block.WithY) {
      report.NextTabStop();
      report.WriteText("|  " + yLetter + ": (Y)");
    }
    report.NewLine();
    for (std::size_t i = 0; i < p; ++i) {
      WriteLabel(report, result.Names[i]);
      for (std::size_t j = block.First; j < block.First + block.Count; ++j) {
        report.NextTabStop();
        WriteCorrelation(report, result.Correlations[i][j]);
      }
      if (block.WithY) {
        report.NextTabStop();
        report.WriteText("| ");
        WriteCorrelation(report, result.CorrelationsWithY[i]);
      }
      report.NewLine();
    }
  }
  report.NewLine();
  report.WriteLine("Each correlation coefficient (r) is calculated independently, ");
  report.WriteLine("without considering the other variables.");
  if (result.MissingRows > 0) report.WriteLine("(Except that rows are excluded when any variables are missing.)");
}

void WriteDataSummary(TReportText& report, const TMultipleRegressionResult& result) {
  report.NewLine();
  report.NewLine();
  WriteUnderlinedLine(report, "Summary of your data");
  report.NewLine();
  report.WriteText("Number of rows (subjects) analyzed: ");
  report.WriteInteger(static_cast<std::int32_t>(result.RowsUsed.size()));
  report.NewLine();
  report.WriteText("Number of rows with missing data, excluded from calculations: ");
  report.WriteInteger(result.MissingRows);
  report.NewLine();
  if (result.Regression) {
    report.WriteText("Number of degrees of freedom (#subjects - #variables - 1): ");
    report.WriteInteger(result.DF);
    report.NewLine();
  }
}

}  // namespace

void WriteMultipleRegressionReport(TReportText& report, const TMultipleRegressionResult& result,
                                   std::string_view tableTitle, const TReportDateTime& when) {
  if (result.Refusal != TMultipleRegressionRefusal::None) {
    report.NewLine();
    report.WriteLine(RefusalMessage(result.Refusal));
    report.NewLine();
    return;
  }
  WriteDateLine(report, when);
  if (!tableTitle.empty()) {
    WriteLabel(report, tableTitle);
    report.NewLine();
  }
  report.NewLine();
  WriteCenteredTitle(report, result.Regression ? "Multiple Regression Results" : "Correlation Matrix Results");
  const bool severalX = result.Variables.size() > 1;
  if (result.Regression) {
    report.NewLine();
    WriteUnderlinedLine(report, "What equation fits the data the best?");
    report.NewLine();
    WriteEquation(report, result);
    WriteCoefficientTable(report, result);
    WriteGoodnessOfFit(report, result);
    if (severalX) {
      WriteCoefficientTests(report, result);
      WriteCollinearity(report, result);
    }
  }
  if (severalX) WriteCorrelationMatrix(report, result);
  WriteDataSummary(report, result);
}

TStatusCode RunMultipleRegression(TDataTable& table, TReportText& report, bool multipleRegression, int dependentColumn,
                                  const TColumnFlags& independentSelected, TMultipleRegressionOutputs& outputs) {
  table.StatusCode = TStatusCode::Ok;
  // The column selection of the compare-means analyses does not apply here;
  // restored on every path out, a fault's included.
  struct TSelectionOff {
    TDataTable& Table;
    std::uint8_t Saved;
    ~TSelectionOff() { Table.UseColumnSelection = Saved; }
  } selectionOff{table, table.UseColumnSelection};
  table.UseColumnSelection = 0;
  TMultipleRegressionResult result =
      ComputeMultipleRegression(table, multipleRegression, dependentColumn, independentSelected);
  table.StatusCode = result.StatusCode;
  if (result.StatusCode != TStatusCode::Ok) return table.StatusCode;
  WriteMultipleRegressionReport(report, result, table.Title(), CurrentDateTime());
  if (result.Refusal == TMultipleRegressionRefusal::None) outputs = std::move(result.Outputs);
  return table.StatusCode;
}

}  // namespace ombrel
