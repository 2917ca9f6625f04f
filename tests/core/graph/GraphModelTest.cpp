#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/graph/GraphModel.h"

using namespace ombrel;

namespace {

void FillColumn(TDocument& document, int column, const std::vector<TReal>& values) {
  for (std::size_t r = 0; r < values.size(); ++r)
    if (!IsEmpty(values[r])) document.Table.SetValue(static_cast<int>(r), column, values[r]);
  document.Table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
  document.MarkChanged();
}

TGraphModel Draw(TDocument& document) {
  TSilentCalcProgress progress;
  return DrawGraph(document, progress);
}

std::vector<std::string> Labels(const TGraphSeries& series) {
  std::vector<std::string> labels;
  for (const TGraphPoint& point : series.Points) labels.push_back(point.Label);
  return labels;
}

std::vector<TReal> Heights(const TGraphSeries& series) {
  std::vector<TReal> heights;
  for (const TGraphPoint& point : series.Points) heights.push_back(point.Y);
  return heights;
}

}  // namespace

TEST(GraphHoldsNothing, DependsOnTheFormat) {
  TDocument document;
  EXPECT_TRUE(GraphHoldsNothing(document));
  const TGraphModel empty = Draw(document);
  EXPECT_EQ(empty.Kind, TGraphKind::Empty);
  EXPECT_TRUE(empty.Series.empty());
  EXPECT_TRUE(document.ResultsStale);  // nothing was computed

  document.Table.SetTitle("Trial");
  EXPECT_FALSE(GraphHoldsNothing(document));
  document.Table.SetTitle("");

  ASSERT_TRUE(document.ChooseFormat(TDataFormat::MeanSdN));
  document.Table.Summary(3).N = 0;
  EXPECT_TRUE(GraphHoldsNothing(document));
  document.Table.Summary(3).N = 5;
  EXPECT_FALSE(GraphHoldsNothing(document));

  ASSERT_TRUE(document.ChooseFormat(TDataFormat::TwoByTwo));
  EXPECT_TRUE(GraphHoldsNothing(document));
  document.TwoByTwo.B = 4;
  EXPECT_FALSE(GraphHoldsNothing(document));
}

// Means and SDs from python3's statistics module: A = 1, 2, 3, 4 has mean
// 2.5, SD 1.2909944487358056, SEM 0.6454972243679028; C = 10, 12, 17 has
// mean 13, SD 3.605551275463989, SEM 2.0816659994661326.
TEST(MeansGraph, DrawsSelectedColumnsAtTheirPositions) {
  TDocument document;
  document.Table.SetTitle("Weights");
  FillColumn(document, 0, {1, 2, 3, 4});
  FillColumn(document, 2, {10, 12, 17});
  TGraphModel model = Draw(document);
  EXPECT_FALSE(document.ResultsStale);
  ASSERT_EQ(model.Kind, TGraphKind::Means);
  EXPECT_TRUE(model.ShowErrorChoice);
  EXPECT_FALSE(model.ShowRowsColumns);
  EXPECT_EQ(model.TitleLines, (std::vector<std::string>{"Weights", "Mean and Standard Deviation"}));
  EXPECT_EQ(model.Bottom.Title, "Column");
  EXPECT_EQ(model.Left.Title, "");
  EXPECT_EQ(model.MarginLeft, 150);
  EXPECT_EQ(model.MarginRight, 150);
  ASSERT_EQ(model.Series.size(), 1u);
  const TGraphSeries& bars = model.Series[0];
  EXPECT_EQ(bars.Name, "ErrorBarSeries1");
  EXPECT_EQ(bars.Color, TGraphColor::Red);
  ASSERT_EQ(bars.Points.size(), 2u);
  EXPECT_EQ(bars.Points[0].X, 0);
  EXPECT_EQ(bars.Points[1].X, 2);
  EXPECT_EQ(Labels(bars), (std::vector<std::string>{"A", "C"}));
  EXPECT_NEAR(static_cast<double>(bars.Points[0].Y), 2.5, 1e-15);
  EXPECT_NEAR(static_cast<double>(bars.Points[0].Error), 1.2909944487358056, 1e-14);
  EXPECT_NEAR(static_cast<double>(bars.Points[1].Error), 3.605551275463989, 1e-14);
  EXPECT_EQ(model.CategoryFirst, 0);
  EXPECT_EQ(model.Categories, (std::vector<std::string>{"A", "", "C"}));
  // The axis reaches the top of the largest error bar, 13 + 3.61.
  EXPECT_EQ(model.Left.Range.Min, 0);
  EXPECT_GE(model.Left.Range.Max, 16.6L);

  document.MeanIsSD = 0;
  model = Draw(document);
  EXPECT_EQ(model.TitleLines[1], "Mean and Standard Error");
  EXPECT_NEAR(static_cast<double>(model.Series[0].Points[0].Error), 0.6454972243679028, 1e-14);
  EXPECT_NEAR(static_cast<double>(model.Series[0].Points[1].Error), 2.0816659994661326, 1e-14);

  // Unselecting a column drops its bar.
  document.Table.ColumnSelected[0] = 0;
  model = Draw(document);
  EXPECT_EQ(Labels(model.Series[0]), (std::vector<std::string>{"C"}));
  EXPECT_EQ(model.CategoryFirst, 2);
}

TEST(MeansGraph, ManyBarsTakeNarrowMargins) {
  TDocument document;
  for (int c = 0; c < 5; ++c) FillColumn(document, c, {1, 2, TReal(c)});
  const TGraphModel model = Draw(document);
  EXPECT_EQ(model.Series[0].Points.size(), 5u);
  EXPECT_EQ(model.MarginLeft, 50);
  EXPECT_EQ(model.MarginRight, 80);
}

TEST(MeansGraph, TypedAveragesWithoutMeanOrSpreadStaySane) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::MeanSdN));
  TColumnSummary& a = document.Table.Summary(0);
  a.Mean = 5;
  a.N = 4;  // no SD typed: a bar without an error bar
  TColumnSummary& b = document.Table.Summary(1);
  b.N = 6;  // no mean typed: no bar
  TColumnSummary& c = document.Table.Summary(2);
  c.Mean = -3;
  c.SD = -2;  // drawn as its size
  c.N = 3;
  document.ResultsStale = false;
  const TGraphModel model = BuildGraphModel(document);
  ASSERT_EQ(model.Series.size(), 1u);
  const TGraphSeries& bars = model.Series[0];
  EXPECT_EQ(Labels(bars), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(bars.Points[0].Error, 0);
  EXPECT_EQ(bars.Points[1].Error, 2);
  EXPECT_LE(model.Left.Range.Min, -5);
  EXPECT_LT(model.Left.Range.Max, 100);
}

TEST(TwoByTwoGraph, StacksCountsByColumnsOrRows) {
  struct TCase {
    std::uint8_t ByColumns;
    std::string BottomTitle;
    std::string Totals;
    std::vector<std::string> Labels;
    std::vector<TReal> Red;
    std::vector<TReal> Blue;
    std::vector<std::string> Legend;
  };
  const std::vector<TCase> cases = {
      {1, "Columns", "Column Totals", {"Treated", "Column B"}, {30, 40}, {10, 20}, {"Row 1", "Died"}},
      {0, "Rows", "Row Totals", {"Row 1", "Died"}, {10, 30}, {20, 40}, {"Column B", "Treated"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.BottomTitle);
    TDocument document;
    ASSERT_TRUE(document.ChooseFormat(TDataFormat::TwoByTwo));
    document.TwoByTwo.A = 10;
    document.TwoByTwo.B = 20;
    document.TwoByTwo.C = 30;
    document.TwoByTwo.D = 40;
    document.TwoByTwo.Titles[TTwoByTwoTable::Column1Title] = "Treated";
    document.TwoByTwo.Titles[TTwoByTwoTable::Row2Title] = "Died";
    document.GraphByColumns = c.ByColumns;
    const TGraphModel model = Draw(document);
    ASSERT_EQ(model.Kind, TGraphKind::TwoByTwo);
    EXPECT_TRUE(model.ShowRowsColumns);
    EXPECT_FALSE(model.ShowErrorChoice);
    EXPECT_EQ(model.Bottom.Title, c.BottomTitle);
    EXPECT_EQ(model.TitleLines, (std::vector<std::string>{"", c.Totals}));
    EXPECT_EQ(model.Left.Labels, TAxisLabels::Thousands);
    EXPECT_EQ(model.MarginLeft, 150);
    ASSERT_EQ(model.Series.size(), 2u);
    EXPECT_EQ(model.Series[0].Name, "BarSeries1");
    EXPECT_EQ(model.Series[0].Color, TGraphColor::Red);
    EXPECT_EQ(model.Series[1].Color, TGraphColor::Blue);
    EXPECT_EQ(Heights(model.Series[0]), c.Red);
    EXPECT_EQ(Heights(model.Series[1]), c.Blue);
    EXPECT_EQ(model.Categories, c.Labels);
    ASSERT_EQ(model.Legend.size(), 2u);
    EXPECT_EQ(model.Legend[0].Text, c.Legend[0]);
    EXPECT_EQ(model.Legend[0].Color, TGraphColor::Blue);
    EXPECT_EQ(model.Legend[1].Text, c.Legend[1]);
    EXPECT_EQ(model.Legend[1].Color, TGraphColor::Red);
    // The tallest stack is 60 (by columns) or 70 (by rows).
    EXPECT_GE(model.Left.Range.Max, c.ByColumns == 1 ? 60 : 70);
  }
}

TEST(TwoByTwoGraph, RecomputesItsReportOnEveryDrawing) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::TwoByTwo));
  document.Table.SetTitle("Only a title");
  EXPECT_FALSE(Draw(document).ChartVisible);
  document.TwoByTwo.A = 3;
  document.ResultsStale = false;
  const TGraphModel model = Draw(document);
  EXPECT_TRUE(model.ChartVisible);
  EXPECT_FALSE(document.ResultsStale);
  EXPECT_GT(document.Report.Text().size(), 0u);
  // An empty count stands as a bar of 0.
  EXPECT_EQ(Heights(model.Series[1]), (std::vector<TReal>{3, 0}));
}

TEST(TotalsGraph, SkipsEmptyTotals) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::LargerTable));
  FillColumn(document, 0, {5, 6});
  FillColumn(document, 1, {1, EmptyValue, 2});
  FillColumn(document, 2, {0, 0});
  FillColumn(document, 3, {7});
  // Excluded counts still count.
  document.Table.SetExcluded(0, 3, true);
  TGraphModel model = Draw(document);
  ASSERT_EQ(model.Kind, TGraphKind::Totals);
  EXPECT_EQ(model.TitleLines[1], "Column Totals");
  EXPECT_EQ(model.Bottom.Title, "Columns");
  ASSERT_EQ(model.Series.size(), 1u);
  EXPECT_EQ(Labels(model.Series[0]), (std::vector<std::string>{"A", "B", "D"}));
  EXPECT_EQ(Heights(model.Series[0]), (std::vector<TReal>{11, 3, 7}));
  EXPECT_EQ(model.Series[0].Points[2].X, 2);
  EXPECT_EQ(model.MarginLeft, 150);

  document.GraphByColumns = 0;
  model = Draw(document);
  EXPECT_EQ(model.Bottom.Title, "Rows");
  EXPECT_EQ(model.TitleLines[1], "Row Totals");
  EXPECT_EQ(Labels(model.Series[0]), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Heights(model.Series[0]), (std::vector<TReal>{13, 6, 2}));
}

// The regression of Y = 2.1, 3.9, 6.2, 7.8, 10.1 on X = 1..5, from python3:
// slope 1.99, intercept 0.05, Sy.x 0.18885620632287076, Sxx 10, mean X 3;
// with t = 3.182 (3 df) the band at x = 1 is 1.5745135301644098 to
// 2.505486469835591, at x = 3 5.751251261336293 to 6.288748738663706 and at
// x = 4.96 9.46109904904849 to 10.379700950951507.
TEST(XYGraph, DrawsPointsLineAndBand) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::XY));
  FillColumn(document, 0, {1, 2, 3, 4, 5, 9});
  FillColumn(document, 1, {2.1L, 3.9L, 6.2L, 7.8L, 10.1L, 50});
  document.Table.Summary(0).Title = "Dose";
  document.Table.Summary(1).Title = "Response";
  // An excluded X keeps its point on the graph but not in the fit or the line.
  document.Table.SetExcluded(5, 0, true);
  const TGraphModel model = Draw(document);
  ASSERT_EQ(model.Kind, TGraphKind::XY);
  EXPECT_EQ(model.Bottom.Title, "Dose");
  EXPECT_EQ(model.Left.Title, "Response");
  EXPECT_EQ(model.MarginLeft, 30);
  EXPECT_EQ(model.MarginRight, 80);
  ASSERT_EQ(model.Series.size(), 4u);
  const TGraphSeries& points = model.Series[0];
  EXPECT_EQ(points.Name, "PointSeries1");
  EXPECT_EQ(points.Points.size(), 6u);
  EXPECT_EQ(points.Color, TGraphColor::Blue);

  const TGraphSeries* line = model.FindSeries("LineSeries1");
  ASSERT_NE(line, nullptr);
  ASSERT_EQ(line->Points.size(), 2u);
  EXPECT_EQ(line->Points[0].X, 1);
  EXPECT_EQ(line->Points[1].X, 5);
  EXPECT_NEAR(static_cast<double>(line->Points[0].Y), 2.04, 1e-12);
  EXPECT_NEAR(static_cast<double>(line->Points[1].Y), 10.0, 1e-12);

  const TGraphSeries* lower = model.FindSeries("LowerCILineSeries");
  const TGraphSeries* upper = model.FindSeries("UpperCILineSeries");
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(upper, nullptr);
  EXPECT_TRUE(lower->Dotted);
  ASSERT_EQ(lower->Points.size(), 100u);
  struct TBand {
    std::size_t K;
    double X;
    double Lower;
    double Upper;
  };
  for (const TBand& band :
       {TBand{0, 1.0, 1.5745135301644098, 2.505486469835591}, TBand{50, 3.0, 5.751251261336293, 6.288748738663706},
        TBand{99, 4.96, 9.46109904904849, 10.379700950951507}}) {
    SCOPED_TRACE(band.K);
    EXPECT_NEAR(static_cast<double>(lower->Points[band.K].X), band.X, 1e-12);
    EXPECT_NEAR(static_cast<double>(lower->Points[band.K].Y), band.Lower, 1e-12);
    EXPECT_NEAR(static_cast<double>(upper->Points[band.K].Y), band.Upper, 1e-12);
  }
  ASSERT_EQ(model.Legend.size(), 2u);
  EXPECT_EQ(model.Legend[0].Text, "Linear Regression");
  EXPECT_EQ(model.Legend[1].Text, "95% Confidence Interval");
  // The axes take in the excluded point at (9, 50).
  EXPECT_GE(model.Bottom.Range.Max, 9);
  EXPECT_GE(model.Left.Range.Max, 50);
}

TEST(XYGraph, PerfectFitAndForcedLine) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::XY));
  FillColumn(document, 0, {1, 2, 3, 4});
  FillColumn(document, 1, {3, 5, 7, 9});
  TGraphModel model = Draw(document);
  EXPECT_NE(model.FindSeries("LineSeries1"), nullptr);
  EXPECT_EQ(model.FindSeries("LowerCILineSeries"), nullptr);
  EXPECT_EQ(model.Legend.size(), 2u);

  // Forced through (0, 0), the band is the two lines of the slope's limits.
  FillColumn(document, 1, {2.2L, 3.9L, 6.1L, 8});
  document.Choices.ForceThrough = 1;
  model = Draw(document);
  const TGraphSeries* lower = model.FindSeries("LowerCILineSeries");
  const TGraphSeries* upper = model.FindSeries("UpperCILineSeries");
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(upper, nullptr);
  ASSERT_EQ(lower->Points.size(), 2u);
  const TRegressionOutputs& fit = document.Regression;
  EXPECT_EQ(lower->Points[0].Y, fit.SlopeLower95 * 1);
  EXPECT_EQ(upper->Points[1].Y, fit.SlopeUpper95 * 4);
  EXPECT_LT(fit.SlopeLower95, fit.SlopeUpper95);

  // A correlation draws no line.
  document.Choices.IsRegression = 0;
  document.Choices.RegressionKind = TRegressionKind::Pearson;
  document.MarkChanged();
  model = Draw(document);
  EXPECT_EQ(model.Series.size(), 1u);
  EXPECT_TRUE(model.Legend.empty());
}

TEST(XYGraph, DrawsAtMostFiveThousandPoints) {
  struct TCase {
    const char* Name;
    int Rows;
    int Excluded;  // of the first rows' Y
    std::size_t Drawn;
  };
  const std::vector<TCase> cases = {
      {"6000 values", 1000, 0, 5000},
      {"just over", 834, 0, 5000},  // 834 rows of 6 = 5004 values
      {"excluded values count toward the limit", 1000, 10, 4990},
      {"under the limit", 10, 2, 58},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDocument document;
    ASSERT_TRUE(document.ChooseFormat(TDataFormat::XY));
    for (int r = 0; r < c.Rows; ++r) {
      document.Table.SetValue(r, 0, r);
      for (int j = 1; j <= 6; ++j) document.Table.SetValue(r, j, r + j);
    }
    for (int r = 0; r < c.Excluded; ++r) document.Table.SetExcluded(r, 1, true);
    document.Choices.IsRegression = 0;
    document.ResultsStale = false;
    const TGraphModel model = BuildGraphModel(document);
    EXPECT_EQ(model.Series[0].Points.size(), c.Drawn);
  }
}

TEST(ChooseGraphVariables, FindsOrSubstitutesEntries) {
  const std::vector<TGraphVariable> columns = {{'A', "A: Age"}, {'B', "B: Column B"}, {'D', "D: Dose"}};
  const std::vector<TGraphVariable> residuals = {{'*', "Residuals"}, {'C', "C: BP"}};
  struct TCase {
    const char* Name;
    const std::vector<TGraphVariable>* X;
    const std::vector<TGraphVariable>* Y;
    char XKey;
    char YKey;
    int ExpectedX;
    int ExpectedY;
  };
  const std::vector<TCase> cases = {
      {"both found", &columns, &columns, 'D', 'A', 2, 0},
      {"neither: first and second", &columns, &columns, 'Q', 'R', 0, 1},
      {"X only: Y another letter", &columns, &columns, 'A', 'Z', 0, 1},
      {"Y only: X another letter", &columns, &columns, 'Z', 'A', 1, 0},
      {"equal keys move Y", &columns, &columns, 'B', 'B', 1, 0},
      {"residuals by star", &columns, &residuals, 'D', '*', 2, 0},
      {"an R does not pick the residuals", &columns, &residuals, 'A', 'R', 0, 0},
      {"dependent variable", &columns, &residuals, 'A', 'C', 0, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TVariableChoice choice = ChooseGraphVariables(*c.X, *c.Y, c.XKey, c.YKey);
    EXPECT_EQ(choice.X, c.ExpectedX);
    EXPECT_EQ(choice.Y, c.ExpectedY);
  }
  const TVariableChoice none = ChooseGraphVariables({}, {}, 'A', 'B');
  EXPECT_EQ(none.X, -1);
  EXPECT_EQ(none.Y, -1);
}

// Raw values plot row by row; analysed values plot case by case, the
// residual of each case recomputed here from the fitted coefficients (and
// residuals of a fit with a constant sum to 0).
TEST(MultipleRegressionGraph, PlotsRawOrAnalysedValues) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::MultipleRegression));
  FillColumn(document, 0, {1, 2, 3, 4, 5, 6});
  FillColumn(document, 1, {2, 1, 4, 3, 6, 5});
  FillColumn(document, 2, {5, 6, 11, 10, 16, 18});
  document.Table.Summary(0).Title = "Age";
  document.Choices.DependentColumn = 2;
  TGraphModel model = Draw(document);
  ASSERT_EQ(model.Kind, TGraphKind::MultipleRegression);
  EXPECT_TRUE(model.ShowVariableLists);
  ASSERT_EQ(model.XVariables.size(), 3u);
  EXPECT_EQ(model.XVariables[0].Text, "A: Age");
  EXPECT_EQ(model.XVariables[1].Text, "B: Column B");
  EXPECT_EQ(model.XIndex, 0);
  EXPECT_EQ(model.YIndex, 1);
  EXPECT_EQ(model.Bottom.Title, "A: Age");
  EXPECT_EQ(model.Left.Title, "B: Column B");
  ASSERT_EQ(model.Series[0].Points.size(), 6u);
  EXPECT_EQ(model.Series[0].Points[2].X, 3);
  EXPECT_EQ(model.Series[0].Points[2].Y, 4);

  document.GraphAnalyzedOnly = 1;
  SetGraphYVariable(document, '*');
  model = BuildGraphModel(document);
  ASSERT_EQ(model.YVariables.size(), 2u);
  EXPECT_EQ(model.YVariables[0].Text, "Residuals");
  EXPECT_EQ(model.YVariables[1].Text, "C: Column C");
  EXPECT_EQ(model.XVariables.size(), 2u);
  EXPECT_EQ(model.Left.Title, "Residuals");
  const TMultipleRegressionOutputs& fit = document.MultipleRegressionResults;
  ASSERT_EQ(fit.Coefficients.size(), 3u);
  ASSERT_EQ(model.Series[0].Points.size(), 6u);
  const std::vector<TReal> x1 = {1, 2, 3, 4, 5, 6};
  const std::vector<TReal> x2 = {2, 1, 4, 3, 6, 5};
  const std::vector<TReal> y = {5, 6, 11, 10, 16, 18};
  TReal sum = 0;
  for (std::size_t k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    const TReal residual = y[k] - fit.Coefficients[0] - fit.Coefficients[1] * x1[k] - fit.Coefficients[2] * x2[k];
    EXPECT_EQ(model.Series[0].Points[k].X, x1[k]);
    EXPECT_NEAR(static_cast<double>(model.Series[0].Points[k].Y), static_cast<double>(residual), 1e-12);
    sum += model.Series[0].Points[k].Y;
  }
  EXPECT_NEAR(static_cast<double>(sum), 0.0, 1e-12);

  // Choosing the Y list's dependent variable plots the dependent values.
  SetGraphYVariable(document, 'C');
  model = BuildGraphModel(document);
  EXPECT_EQ(model.Series[0].Points[5].Y, 18);
}

TEST(MultipleRegressionGraph, NeedsAnAnalysedCase) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::MultipleRegression));
  FillColumn(document, 0, {1, 2});
  FillColumn(document, 1, {2, 1});
  // Too few rows: the analysis refuses, so there is no graph.
  const TGraphModel model = Draw(document);
  EXPECT_FALSE(model.ChartVisible);
  EXPECT_FALSE(model.ShowVariableLists);
}

TEST(SetGraphVariable, KeepsXAndYApart) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::MultipleRegression));
  FillColumn(document, 0, {1});
  FillColumn(document, 1, {1});
  FillColumn(document, 3, {1});
  SetGraphXVariable(document, 'B');
  EXPECT_EQ(document.GraphXVariable, 'B');
  EXPECT_EQ(document.GraphYVariable, 'A');
  SetGraphYVariable(document, 'B');
  EXPECT_EQ(document.GraphYVariable, 'A');
  SetGraphYVariable(document, 'D');
  EXPECT_EQ(document.GraphYVariable, 'D');
}

TEST(NiceAxisRange, CoversTheValuesWithRoundTicks) {
  struct TCase {
    const char* Name;
    TReal Low;
    TReal High;
    bool Zero;
    bool Whole;
    TReal Min;
    TReal Max;
    int Ticks;
  };
  const std::vector<TCase> cases = {
      {"bars up to 16.6", 2.5L, 16.6L, true, false, 0, 20, 5},
      {"values 1 to 5", 1, 5, false, false, 1, 5, 5},
      {"negative and positive", -7, 3, false, false, -8, 4, 7},
      {"small counts in whole steps", 0, 3, true, true, 0, 3, 4},
      {"a single value", 4, 4, false, false, 2, 6, 5},
      {"zero alone from a zero origin", 0, 0, true, false, 0, 1, 6},
      {"nothing", EmptyValue, EmptyValue, false, false, 0, 1, 6},
      {"tiny values", 0.0012L, 0.0047L, false, false, 0.001L, 0.005L, 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TAxisRange range = NiceAxisRange(c.Low, c.High, c.Zero, c.Whole);
    EXPECT_NEAR(static_cast<double>(range.Min), static_cast<double>(c.Min), 1e-12);
    EXPECT_NEAR(static_cast<double>(range.Max), static_cast<double>(c.Max), 1e-12);
    EXPECT_EQ(range.Ticks, c.Ticks);
  }
}

TEST(AxisTickTexts, WritesReadableLabels) {
  struct TCase {
    const char* Name;
    TAxisRange Range;
    std::vector<std::string> Texts;
  };
  const TCase cases[] = {
      {"whole steps", {0, 20, 5}, {"0", "5", "10", "15", "20"}},
      {"decimals of the step", {-0.5L, 0.5L, 5}, {"-0.50", "-0.25", "0", "0.25", "0.50"}},
      {"thousands grouped from 10,000", {0, 30000, 4}, {"0", "10,000", "20,000", "30,000"}},
      {"below 10,000 ungrouped", {0, 8000, 5}, {"0", "2000", "4000", "6000", "8000"}},
      {"millions", {-2000000, 2000000, 3}, {"-2,000,000", "0", "2,000,000"}},
      {"large in scientific form", {0, 8e12L, 5}, {"0", "2E+12", "4E+12", "6E+12", "8E+12"}},
      {"large with a fractional step", {1e8L, 2e8L, 5}, {"1.00E+08", "1.25E+08", "1.50E+08", "1.75E+08", "2.00E+08"}},
      {"tiny in scientific form", {0, 0.0004L, 5}, {"0", "1E-04", "2E-04", "3E-04", "4E-04"}},
      {"a zero off by rounding", {-0.3L, 0.3L, 7}, {"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2", "0.3"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(AxisTickTexts(c.Range), c.Texts);
  }
  EXPECT_EQ(AxisTickTexts({0, 3000, 4}, 1000), (std::vector<std::string>{"0", "1,000", "2,000", "3,000"}));
}

// Bars take their column's title (the letter without one); the values over
// them are the analysed ones (an excluded value is left out) and widen the
// axis.
TEST(MeansGraph, LabelsBarsByTitleAndShowsIndividualValues) {
  TDocument document;
  FillColumn(document, 0, {1, 2, 3, 4});
  FillColumn(document, 1, {10, 12, 30});
  document.Table.Summary(1).Title = "Treated";
  document.Table.SetExcluded(2, 1, true);
  TGraphModel model = Draw(document);
  EXPECT_EQ(model.Categories, (std::vector<std::string>{"A", "Treated"}));
  EXPECT_TRUE(model.ShowValuesChoice);
  ASSERT_EQ(model.Series.size(), 1u);

  document.GraphShowValues = 1;
  model = Draw(document);
  ASSERT_EQ(model.Series.size(), 2u);
  const TGraphSeries& values = model.Series[1];
  EXPECT_EQ(values.Kind, TSeriesKind::Points);
  std::vector<std::pair<TReal, TReal>> points;
  for (const TGraphPoint& point : values.Points) points.emplace_back(point.X, point.Y);
  EXPECT_EQ(points, (std::vector<std::pair<TReal, TReal>>{{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 10}, {1, 12}}));

  // Averaged data has no values to show.
  TDocument averaged;
  ASSERT_TRUE(averaged.ChooseFormat(TDataFormat::MeanSdN));
  averaged.GraphShowValues = 1;
  averaged.Table.Summary(0).Mean = 5;
  averaged.Table.Summary(0).SD = 1;
  averaged.Table.Summary(0).N = 3;
  averaged.MarkChanged();
  model = Draw(averaged);
  EXPECT_FALSE(model.ShowValuesChoice);
  EXPECT_EQ(model.Series.size(), 1u);
}

// The Y axis names every replicate column that has a point on the graph.
TEST(XYGraph, YAxisNamesEveryPlottedReplicate) {
  TDocument document;
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::XY));
  FillColumn(document, 0, {1, 2, 3, 4});
  FillColumn(document, 1, {2, 4, 6, 8});
  FillColumn(document, 2, {2.2L, 4.1L, 5.8L, 8.3L});
  FillColumn(document, 3, {EmptyValue, 4.4L});
  document.Table.Summary(1).Title = "Run 1";
  document.Table.Summary(3).Title = "Run 3";
  document.Table.SetExcluded(1, 3, true);
  EXPECT_EQ(Draw(document).Left.Title, "Run 1, C");
}
