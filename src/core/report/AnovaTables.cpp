#include <array>

#include "core/report/ReportTables.h"
#include "core/report/TableWriter.h"

namespace ombrel {

using detail::TTableWriter;

namespace {

// One source line of an ANOVA table; the mean square is left out of lines
// that have none (totals, the regression model with replicates).
struct TAnovaLine {
  std::string_view Label;
  const TAnovaSource& Source;
  bool ShowMS = true;
};

// The layout differences between the ANOVA tables: their tab set, the width
// of the label rule, whether heading and labels are bold (regression), and
// the width of the sums of squares and mean squares.
struct TAnovaLayout {
  TTabSet Set;
  int LabelRule;
  bool Bold;
  int NumberWidth;
};

// Regression's sums of squares are often small: four significant digits
// such as 0.0006322 or 6.322E-05 take nine or ten characters.
constexpr int RegressionNumberWidth = 10;

constexpr TAnovaLayout RepeatedMeasuresLayout{TTabSet::T8, 25, false, 8};
constexpr TAnovaLayout OneWayLayout{TTabSet::T9, 28, false, 8};
constexpr TAnovaLayout RegressionLayout{TTabSet::T11, 36, true, RegressionNumberWidth};
constexpr TAnovaLayout ReplicateRegressionLayout{TTabSet::T12, 35, true, RegressionNumberWidth};

void WriteAnovaLine(TTableWriter& t, const TAnovaLayout& layout, const TAnovaLine& line) {
  if (layout.Bold) t.Bold();
  t.At(0).Text(line.Label);
  if (layout.Bold) t.Bold();
  const int width = layout.NumberWidth;
  t.At(1).Integer(10, line.Source.DF).At(2).Number(width, line.Source.SS);
  if (line.ShowMS) t.At(3).Number(width, line.Source.MS);
  t.EndLine();
}

template <std::size_t Count>
void WriteAnova(TReportText& report, const TAnovaLayout& layout, const std::array<TAnovaLine, Count>& sources,
                const TAnovaLine& total) {
  TTableWriter t(report, layout.Set);
  const int width = layout.NumberWidth;
  if (layout.Bold) t.Bold();
  t.At(0).Centred(25, "Source of").At(1).Centred(10, "Degrees of").At(2).Centred(width, "Sum of");
  t.At(3).Centred(width, "Mean").EndLine();
  t.At(0).Centred(25, "variation").At(1).Centred(10, "freedom").At(2).Centred(width, "squares");
  t.At(3).Centred(width, "square").EndLine();
  t.DoubleRules({layout.LabelRule, 10, width, width});
  if (layout.Bold) t.Bold();
  t.EndLine();
  for (const TAnovaLine& line : sources) WriteAnovaLine(t, layout, line);
  t.SingleRules({layout.LabelRule, 10, width}).EndLine();
  WriteAnovaLine(t, layout, total);
}

// The part of the variation among columns that a straight line does not
// explain, with its mean square; none when it has no degrees of freedom.
TAnovaSource NotLinearSource(const TAnovaSource& notLinear) {
  TAnovaSource result = notLinear;
  result.MS = notLinear.DF > 0 && !IsEmpty(notLinear.SS) ? notLinear.SS / notLinear.DF : EmptyValue;
  return result;
}

}  // namespace

void WriteOneWayAnovaTable(TReportText& report, const TAnovaSource& treatments, const TAnovaSource& residuals,
                           const TAnovaSource& total) {
  WriteAnova(report, OneWayLayout,
             std::array<TAnovaLine, 2>{
                 {{"Treatments (between columns)", treatments}, {"Residuals (within columns)", residuals}}},
             {"Total     ", total, false});
}

void WriteRepeatedMeasuresAnovaTable(TReportText& report, const TAnovaSource& treatment, const TAnovaSource& individual,
                                     const TAnovaSource& random, const TAnovaSource& total) {
  WriteAnova(report, RepeatedMeasuresLayout,
             std::array<TAnovaLine, 3>{{{"Treatment (between columns)", treatment},
                                        {"Individual (between rows)", individual},
                                        {"Random (residual)", random}}},
             {"Total", total, false});
}

void WriteOneWayTrendAnovaTable(TReportText& report, TReal linearSS, const TAnovaSource& notLinear,
                                const TAnovaSource& residuals, const TAnovaSource& total) {
  const TAnovaSource linear{1, linearSS, linearSS};
  const TAnovaSource rest = NotLinearSource(notLinear);
  WriteAnova(report, OneWayLayout,
             std::array<TAnovaLine, 3>{{{"Between columns: Linear", linear},
                                        {"Between columns: Not linear", rest},
                                        {"Residuals (within columns)", residuals}}},
             {"Total     ", total, false});
}

void WriteRepeatedMeasuresTrendAnovaTable(TReportText& report, TReal linearSS, const TAnovaSource& notLinear,
                                          const TAnovaSource& individual, const TAnovaSource& random,
                                          const TAnovaSource& total) {
  const TAnovaSource linear{1, linearSS, linearSS};
  const TAnovaSource rest = NotLinearSource(notLinear);
  WriteAnova(report, RepeatedMeasuresLayout,
             std::array<TAnovaLine, 4>{{{"Between columns: Linear", linear},
                                        {"Between columns: Not linear", rest},
                                        {"Individual (between rows)", individual},
                                        {"Random (residual)", random}}},
             {"Total", total, false});
}

void WriteRegressionAnovaTable(TReportText& report, const TAnovaSource& model, const TAnovaSource& residual,
                               const TAnovaSource& total) {
  WriteAnova(report, RegressionLayout,
             std::array<TAnovaLine, 2>{
                 {{"Linear regression (Model)", model}, {"Deviations from linearity (Residual)", residual}}},
             {"Total", total, false});
}

void WriteReplicateRegressionAnovaTable(TReportText& report, const TAnovaSource& model, const TAnovaSource& deviations,
                                        const TAnovaSource& scatter, const TAnovaSource& total) {
  WriteAnova(report, ReplicateRegressionLayout,
             std::array<TAnovaLine, 3>{{{"Linear regression (model)", model, false},
                                        {"Deviations from linearity", deviations},
                                        {"Residual (scatter among replicates)", scatter}}},
             {"Total", total, false});
}

void WriteResidualHeading(TReportText& report) {
  TTableWriter t(report, TTabSet::T10);
  t.Bold();
  t.At(3).Centred(4, "# of").At(4).Centred(9, "Predicted").At(5).Centred(9, "Standard").EndLine();
  t.At(0).Centred(3, "Row").At(1).Centred(8, "X Value").At(2).Centred(8, "Mean Y").At(3).Centred(5, "Reps.");
  t.At(4).Centred(9, "Y").At(5).Centred(9, "Deviation").At(6).Centred(RegressionNumberWidth, "Residual").EndLine();
  t.DoubleRules({3, 8, 8, 5, 9, 9, RegressionNumberWidth}).Bold().EndLine();
}

void WriteResidualRow(TReportText& report, std::int32_t row, TReal x, TReal meanY, std::int32_t replicates,
                      TReal predictedY, TReal sd, TReal residual) {
  TTableWriter t(report, TTabSet::T10);
  t.At(0).Integer(3, row).At(1).Number(8, x).At(2).Number(8, meanY).At(3).Integer(5, replicates);
  t.At(4).Number(9, predictedY);
  if (replicates > 1) t.At(5).Number(9, sd);
  t.At(6).Number(RegressionNumberWidth, residual).EndLine();
}

void WriteRegressionParameterTable(TReportText& report, const TParameterEstimate& slope,
                                   const TParameterEstimate& yIntercept, TReal xIntercept, bool forcedThroughPoint) {
  TTableWriter t(report, TTabSet::T13);
  constexpr int w = RegressionNumberWidth;
  t.Bold();
  t.At(1).Centred(w, "Best-fit").At(2).Centred(w, "Standard").At(3).Text("95% confidence interval").EndLine();
  t.At(0).Centred(11, "Parameter").At(1).Centred(w, "Value").At(2).Centred(w, "Error").At(3).Centred(w, "from");
  t.At(4).Centred(w, "to").EndLine();
  t.DoubleRules({11, w, w, w, w}).Bold().EndLine();

  t.Bold().Text("Slope").Bold();
  t.At(1).Number(w, slope.Value).At(2).Number(w, slope.SE).At(3).Number(w, slope.Lower).At(4).Number(w, slope.Upper);
  t.EndLine();

  t.Bold().Text("Y intercept").Bold().At(1).Number(w, yIntercept.Value);
  if (!forcedThroughPoint) {
    t.At(2).Number(w, yIntercept.SE).At(3).Number(w, yIntercept.Lower).At(4).Number(w, yIntercept.Upper);
  }
  t.EndLine();

  t.Bold().Text("X intercept").Bold().At(1);
  if (IsEmpty(xIntercept)) {
    t.Text("Undefined");
  } else {
    t.Number(RegressionNumberWidth, xIntercept);
  }
  t.EndLine();
}

}  // namespace ombrel
