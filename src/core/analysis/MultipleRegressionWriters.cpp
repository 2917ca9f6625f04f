// The writers of multiple regression and the correlation matrix: the text
// report and the record, both from a computed TMultipleRegressionResult.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "core/analysis/MultipleRegression.h"
#include "core/report/EffectSizeLines.h"
#include "core/report/ReportText.h"
#include "core/report/TableWriter.h"

namespace ombrel {

namespace {

using detail::TTableWriter;

constexpr int Digits = -5;

// Columns of the correlation matrix per block.
constexpr std::size_t MatrixBlockWidth = 5;

void SetTabStops(TReportText& report, std::initializer_list<int> stops) {
  report.ClearTabStops();
  for (const int stop : stops) report.AddTabStop(stop);
}

// A label that may be longer than one write allows.
void WriteLabel(TReportText& report, std::string_view text) {
  for (std::size_t at = 0; at < text.size(); at += TReportText::MaxTextPerWrite)
    report.WriteText(text.substr(at, TReportText::MaxTextPerWrite));
}

void WriteEquation(TReportText& report, const TMultipleRegressionResult& result) {
  report.WriteText(" [");
  WriteLabel(report, result.DependentName);
  report.WriteText("] = ");
  report.WriteNumber(result.Coefficients[0].Value, Digits);
  for (std::size_t i = 1; i < result.Coefficients.size(); ++i) {
    // b0 is the first term; a new line starts before the 4th, 7th, ...
    const std::size_t term = i + 1;
    if (term >= 4 && term % 3 == 1) {
      report.NewLine();
      report.WriteText("     ");
    }
    const TCoefficient& c = result.Coefficients[i];
    report.WriteText(c.Value < 0 ? " - " : " + ");
    report.WriteNumber(std::fabs(c.Value), Digits);
    report.WriteText("*[");
    WriteLabel(report, c.Name);
    report.WriteText("]");
  }
  report.NewLine();
}

// One bold heading row of a table on the report's own tab stops.
void WriteHeadingRow(TTableWriter& t, std::initializer_list<std::string_view> cells) {
  t.Bold();
  std::size_t cell = 0;
  for (const std::string_view text : cells) {
    if (cell == 0) {
      t.At(0);
    } else {
      t.Next(cell);
    }
    t.Text(text);
    ++cell;
  }
  t.Bold().EndLine().EndHeading();
}

void WriteCoefficientTable(TReportText& report, const TMultipleRegressionResult& result) {
  const bool single = result.Variables.size() == 1;
  SetTabStops(report, {20, 32, 42, 50, 54});
  TTableWriter t(report);
  WriteHeadingRow(t, {"Variable", "Coefficient", "SE", "95% Confidence Interval"});
  for (std::size_t i = 0; i < result.Coefficients.size(); ++i) {
    const TCoefficient& c = result.Coefficients[i];
    t.At(0);
    if (i == 0) {
      t.Text(single ? "Intercept  " : "(constant)  ");
    } else if (single) {
      t.Text("Slope    ");
    } else {
      WriteLabel(report, c.Name);
      t.Text("  ");
    }
    t.Next(1);
    report.WriteNumber(c.Value, Digits);
    t.Next(2);
    report.WriteNumber(c.SE, Digits);
    t.Next(3);
    report.WriteNumber(c.Lower, Digits);
    t.Next(4).Text("to").Next(5);
    report.WriteNumber(c.Upper, Digits);
    t.EndLine();
  }
}

// The figures of the fit, one label and value a line.
void WriteFitFigures(TReportText& report, const TMultipleRegressionResult& result) {
  SetTabStops(report, {25, 49});
  TTableWriter t(report);
  const auto line = [&](std::string_view label, TReal value, int digits) {
    t.At(0).Text(label).Next(1);
    report.WriteNumber(value, digits);
    t.EndLine();
  };
  line("Sum-of-squares ", result.SSResidual, Digits);
  line("SD of residuals ", result.SD, Digits);
  line("R squared", result.RSquared, 4);
  line("Adjusted R squared", result.AdjustedRSquared, 4);
  line(result.Variables.size() == 1 ? "r" : "Multiple R ", result.MultipleR, 4);
  line("F ", result.F, 4);
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
  if (result.PerfectFit()) {
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
  WriteFitFigures(report, result);
}

void WriteCoefficientTests(TReportText& report, const TMultipleRegressionResult& result) {
  report.NewLine();
  SetTabStops(report, {20, 32, 44, 56});
  WriteUnderlinedLine(report, "Which variable(s) make a significant contribution?");
  report.NewLine();
  {
    TTableWriter t(report);
    WriteHeadingRow(t, {"Variable", "t ratio", "P value", "Significant?"});
    for (const TCoefficient& c : result.Coefficients) {
      t.At(0);
      WriteLabel(report, c.Name);
      t.Next(1);
      if (IsEmpty(c.T)) {
        t.Text("infinite");
      } else {
        report.WriteNumber(c.T, Digits);
      }
      t.Next(2);
      if (c.P <= 0.0001L) {
        t.Text("< 0.0001");
      } else {
        t.Text("  ");
        report.WriteNumber(c.P, 4);
      }
      t.Next(3).Text(c.P <= 0.05L ? "  Yes" : "  No").EndLine();
    }
  }
  report.NewLine();
  report.WriteLine("Each P value compares the full model with a simpler model omitting");
  report.WriteLine("one variable. It tests the effect of one variable, after accounting");
  report.WriteLine("for the effects of the others.");
}

void WriteVerdict(TReportText& report, const TMultipleRegressionResult& result) {
  switch (result.Verdict) {
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
}

void WriteCollinearity(TReportText& report, const TMultipleRegressionResult& result) {
  report.NewLine();
  SetTabStops(report, {20, 37, 47});
  WriteUnderlinedLine(report, "Is multicollinearity a problem?");
  report.NewLine();
  {
    TTableWriter t(report);
    WriteHeadingRow(t, {"Variable", "VIF", "R2 with other X"});
    for (std::size_t j = 0; j < result.Variables.size(); ++j) {
      t.At(0);
      WriteLabel(report, result.Names[j]);
      t.Next(1);
      report.WriteNumber(result.VIF[j], 2);
      t.Next(2);
      report.WriteNumber(1 - 1 / result.VIF[j], 4);
      t.EndLine();
    }
  }
  report.NewLine();
  report.WriteLine("Each R squared quantifies how well that X variable is predicted from");
  report.WriteLine("the other X variables (ignoring Y). VIF is calculated from R squared.");
  report.NewLine();
  WriteVerdict(report, result);
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

// Up to five variables of the matrix side by side, and the Y column after
// them when it joins the block.
struct TBlock {
  std::size_t First = 0;
  std::size_t Count = 0;
  bool WithY = false;
};

// Blocks of up to five variables; Y joins the last block when it has room,
// else it forms a block of its own.
std::vector<TBlock> MatrixBlocks(const TMultipleRegressionResult& result) {
  const std::size_t p = result.Variables.size();
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
  return blocks;
}

void WriteMatrixBlock(TReportText& report, const TMultipleRegressionResult& result, const TBlock& block) {
  const std::string yLetter(1, ColumnLetter(result.DependentColumn >= 0 ? result.DependentColumn : 0));
  TTableWriter t(report);
  t.At(0);
  for (std::size_t j = 0; j < block.Count; ++j)
    t.Next(j + 1).Text(std::string(" ") + ColumnLetter(result.Variables[block.First + j]) + ":");
  if (block.WithY) t.Next(block.Count + 1).Text("|").At(block.Count + 2).Text("  " + yLetter + ": (Y)");
  t.EndLine().EndHeading();
  for (std::size_t i = 0; i < result.Variables.size(); ++i) {
    t.At(0);
    WriteLabel(report, result.Names[i]);
    for (std::size_t j = 0; j < block.Count; ++j) {
      t.Next(j + 1);
      WriteCorrelation(report, result.Correlations[i][block.First + j]);
    }
    if (block.WithY) {
      t.Next(block.Count + 1).Text("| ").At(block.Count + 2);
      WriteCorrelation(report, result.CorrelationsWithY[i]);
    }
    t.EndLine();
  }
}

void WriteCorrelationMatrix(TReportText& report, const TMultipleRegressionResult& result) {
  SetTabStops(report, {17, 26, 35, 44, 53, 62});
  for (const TBlock& block : MatrixBlocks(result)) {
    report.NewLine();
    WriteMatrixBlock(report, result, block);
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

// ---------------------------------------------------------------------------
// The record

constexpr std::string_view VerdictNames[] = {"none", "low", "high", "veryHigh"};

TResultValue ChoicesOf(const TMultipleRegressionResult& result) {
  const TMultipleRegressionRequest& request = result.Request;
  TResultValue choices = TResultValue::Object();
  choices.AddText("mode", result.Regression ? "regression" : "correlationMatrix");
  choices.Add("dependentColumn", result.Regression ? ColumnLetterValue(request.DependentColumn) : TResultValue::Null());
  TResultValue selected = TResultValue::Array();
  for (int c = 0; c < MaxColumns; ++c) {
    const bool dependent = result.Regression && c == request.DependentColumn;
    if (request.Selected[static_cast<std::size_t>(c)] != 0 && !dependent) selected.Push(ColumnLetterValue(c));
  }
  choices.Add("selectedColumns", selected);
  return choices;
}

TResultValue VariableTree(const TMultipleRegressionResult& result, std::size_t j) {
  TResultValue variable = TResultValue::Object();
  variable.Add("column", ColumnLetterValue(result.Variables[j]));
  variable.AddText("title", result.Titles[j]).AddText("name", result.Names[j]);
  return variable;
}

// The equation as printed: the constant, then each term's sign and size.
TResultValue EquationTree(const TMultipleRegressionResult& r) {
  TResultValue equation = TResultValue::Object();
  equation.AddText("dependent", r.DependentName).AddReal("constant", r.Coefficients[0].Value);
  TResultValue terms = TResultValue::Array();
  for (std::size_t i = 1; i < r.Coefficients.size(); ++i) {
    const TCoefficient& c = r.Coefficients[i];
    TResultValue term = TResultValue::Object();
    term.AddText("sign", c.Value < 0 ? "-" : "+").AddReal("size", std::fabs(c.Value)).AddText("variable", c.Name);
    terms.Push(std::move(term));
  }
  equation.Add("terms", terms);
  return equation;
}

TResultValue ResultsOf(const TMultipleRegressionResult& r) {
  TResultValue results = TResultValue::Object();
  TResultValue variables = TResultValue::Array();
  for (std::size_t j = 0; j < r.Variables.size(); ++j) variables.Push(VariableTree(r, j));
  results.Add("variables", variables);
  if (r.Regression) {
    TResultValue dependent = TResultValue::Object();
    dependent.Add("column", ColumnLetterValue(r.DependentColumn));
    dependent.AddText("title", r.DependentTitle).AddText("name", r.DependentName);
    results.Add("dependent", dependent);
  }
  results.AddInteger("nRows", static_cast<std::int64_t>(r.RowsUsed.size()));
  results.AddInteger("nRowsMissing", r.MissingRows);
  if (!r.Regression) return results;
  results.Add("equation", EquationTree(r));
  results.AddInteger("dfRegression", static_cast<std::int64_t>(r.Variables.size())).AddInteger("dfResidual", r.DF);
  results.AddReal("ssRegression", r.SSRegression()).AddReal("ssResidual", r.SSResidual).AddReal("ssTotal", r.SSTotal);
  results.AddReal("msRegression", r.SSRegression() / static_cast<TReal>(r.Variables.size()));
  results.AddReal("msResidual", r.SSResidual / static_cast<TReal>(r.DF));
  results.AddReal("sdResiduals", r.SD);
  results.AddReal("rSquared", r.RSquared).AddReal("rSquaredPercent", 100 * r.RSquared);
  results.AddReal("adjustedRSquared", r.AdjustedRSquared).AddReal("multipleR", r.MultipleR);
  results.AddBool("perfectFit", r.PerfectFit()).AddReal("f", r.F).AddReal("p", r.P);
  results.AddReal("fSquared", r.FSquared.Value);
  const bool severalX = r.Variables.size() > 1;
  results.Add("maxVif", severalX ? TResultValue::Real(r.MaxVIF) : TResultValue::Null());
  results.Add("collinearity",
              severalX ? TResultValue::Text(VerdictNames[static_cast<int>(r.Verdict)]) : TResultValue::Null());
  return results;
}

TResultValue MethodOf(const TMultipleRegressionResult& r) {
  TResultValue method = TResultValue::Object();
  method.AddText("rowsUsed", "completeRows");
  if (r.Regression) {
    method.AddText("fit", "householderQR").AddText("fTest", "fDistribution");
    method.AddText("coefficientTests", "tDistribution").AddInteger("tails", 2).AddInteger("df", r.DF);
    method.AddReal("criticalT95", r.CriticalT95);
  }
  method.Add("columns", ColumnUseTree(r.Columns));
  return method;
}

TResultValue CoefficientRows(const TMultipleRegressionResult& r) {
  TResultValue rows = TResultValue::Array();
  for (const TCoefficient& c : r.Coefficients) {
    TResultValue row = TResultValue::Object();
    row.Add("column", ColumnLetterValue(c.Column)).AddText("name", c.Name);
    row.AddReal("coefficient", c.Value).AddReal("se", c.SE).AddReal("lower95", c.Lower).AddReal("upper95", c.Upper);
    row.AddReal("t", c.T).AddBool("tInfinite", IsEmpty(c.T)).AddReal("p", c.P).AddBool("significant", c.P <= 0.05L);
    rows.Push(std::move(row));
  }
  return rows;
}

TResultValue MatrixRows(const TMultipleRegressionResult& r) {
  TResultValue rows = TResultValue::Array();
  if (r.Variables.size() < 2) return rows;
  for (std::size_t i = 0; i < r.Variables.size(); ++i) {
    TResultValue row = VariableTree(r, i);
    TResultValue values = TResultValue::Object();
    for (std::size_t j = 0; j < r.Variables.size(); ++j)
      values.AddReal(std::string(1, ColumnLetter(r.Variables[j])), r.Correlations[i][j]);
    row.Add("r", values);
    row.Add("rWithY", r.Regression ? TResultValue::Real(r.CorrelationsWithY[i]) : TResultValue::Null());
    rows.Push(std::move(row));
  }
  return rows;
}

TResultValue TablesOf(const TMultipleRegressionResult& r) {
  TResultValue tables = TResultValue::Object();
  if (r.Regression) {
    const bool severalX = r.Variables.size() > 1;
    tables.Add("coefficients", CoefficientRows(r));
    TResultValue collinearity = TResultValue::Array();
    for (std::size_t j = 0; severalX && j < r.Variables.size(); ++j) {
      TResultValue row = VariableTree(r, j);
      row.AddReal("vif", r.VIF[j]).AddReal("rSquaredWithOtherX", 1 - 1 / r.VIF[j]);
      collinearity.Push(std::move(row));
    }
    tables.Add("collinearity", collinearity);
  }
  tables.Add("correlationMatrix", MatrixRows(r));
  return tables;
}

// Cohen's f squared, the method of the F test and its APA sentence:
// F(p, df), p, R squared and f squared. The correlation matrix tests
// nothing and has no section.
TEffectSection EffectSectionOf(const TMultipleRegressionResult& result) {
  TEffectSection section;
  section.Sizes.push_back({"Cohen's f squared", result.FSquared});
  section.Method.Source = "the F distribution";
  section.Method.Groups = GroupCountsOf(result.Columns);
  for (std::size_t i = 0; i < section.Method.Groups.size(); ++i)
    if (section.Method.Groups[i].Name.empty())
      section.Method.Groups[i].Name = std::string("Column ") + ColumnLetter(result.Columns[i].Column);
  const std::string df = ApaDf(static_cast<TReal>(result.Variables.size())) + ", " + ApaDf(result.DF);
  section.Apa = {ApaStatistic(Italic("F"), df, result.F), ApaP(result.P),
                 ApaEffect(Italic("R") + " squared", result.RSquared, EmptyValue, EmptyValue, false),
                 ApaEffect(Italic("f") + " squared", result.FSquared.Value)};
  return section;
}

}  // namespace

void WriteMultipleRegressionHeading(const TMultipleRegressionResult& result, TReportText& report) {
  WriteDateLine(report, result.When);
  if (!result.TableTitle.empty()) {
    report.MarkHeading(1);
    WriteLabel(report, result.TableTitle);
    report.NewLine();
  }
  report.NewLine();
}

void WriteMultipleRegressionReport(const TMultipleRegressionResult& result, TReportText& report) {
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

void FillMultipleRegressionRecord(const TMultipleRegressionResult& result, TAnalysisRecord& record) {
  if (!BeginRecord(record, result.Regression ? "multipleRegression" : "correlationMatrix", ChoicesOf(result),
                   result.Status))
    return;
  record.Results = ResultsOf(result);
  record.Method = MethodOf(result);
  record.Tables = TablesOf(result);
  if (result.Regression) record.Effect = EffectSectionOf(result);
}

}  // namespace ombrel
