#pragma once

// The fixed-layout tables of the reports. Each table has a heading operation,
// written once, and a row operation, written once per group, pair or source
// of variation; tables with a fixed set of rows are written by one call. The
// operations only format the values they are given, through TReportText's
// own operations, and always leave bold off. Every row ends its line.
//
// "Companion" tables (group range, difference interval, control interval)
// are meant for a scratch report (OpenScratchReport) that the analysis
// appends after the main table.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"
#include "core/report/ReportText.h"

namespace ombrel {

// ---------------------------------------------------------------------------
// Tab sets and small cells

// The column stops of each table kind (columns count from 1; 0 is the start
// of a line).
enum class TTabSet { T1, T2, T3, T4, T5, T6, T7, T8, T9, T10, T11, T12, T13, T14, T15 };

// The stops of a set, in stored order.
std::span<const std::int32_t> TabStops(TTabSet set);

// Post-test mark: "*** P<0.001", "**  P<0.01", "*   P<0.05" or "ns  P>0.05";
// a boundary value belongs to the more significant class.
std::string SignificanceMark(TReal p);
// The three-class mark of comparisons with a control: "**  P<0.01",
// "*   P<0.05" or "ns  P>0.05".
std::string ControlSignificanceMark(TReal p);

// "Infinity" for the empty marker, "-Infinity" for its negative, else the
// value by WriteNumber with digits -5 (odds ratio and relative risk limits).
void WriteValueOrInfinity(TReportText& report, TReal value);
// The value right-aligned in `width` (digits -5), or "Unknown" right-aligned
// in `width` when it is the empty marker.
void WriteValueOrUnknown(TReportText& report, int width, TReal value);

// A local time and date, as the date line shows it.
struct TReportDateTime {
  int Year = 2000;
  int Month = 1;  // 1..12
  int Day = 1;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};
// The machine's local time now.
TReportDateTime CurrentDateTime();
// "14:05:09  3 March 2024": time first, then the date, month in English.
std::string DateTimeText(const TReportDateTime& when);
// The date line that heads a report, then a newline and an empty line.
void WriteDateLine(TReportText& report, const TReportDateTime& when);

// Every report's titles are centred in this many columns.
inline constexpr int ReportTitleWidth = 65;
// The text underlined, then the end of the line.
void WriteUnderlinedLine(TReportText& report, std::string_view text);
// A report or section title: centred in ReportTitleWidth and underlined.
void WriteCenteredTitle(TReportText& report, std::string_view text);

// The question a test of columns answers, about their `statistic` ("mean",
// "median"): "Does the mean of A differ significantly from 5? ";
// "Do the means of A and B differ significantly?"; paired, "Does the mean of
// the differences between A and B" and, on the next line, " differ
// significantly from zero?".
void WriteOneColumnQuestion(TReportText& report, std::string_view statistic, std::string_view title, TReal value,
                            int digits);
void WriteTwoColumnQuestion(TReportText& report, std::string_view statistic, std::string_view a, std::string_view b,
                            bool paired);

// ---------------------------------------------------------------------------
// Group tables (tab set T1). Rows are written only for groups with n > 0;
// the overloads taking a TColumnSummary use its Title as the group name.

// Bold four-line heading: Group, Number of Points, Mean, Standard Deviation,
// Standard Error of Mean, Median.
void WriteGroupSummaryHeading(TReportText& report);
// One group: name, n, mean, SD, SEM, median ("Unknown" when empty).
void WriteGroupSummaryRow(TReportText& report, std::string_view name, std::int32_t n, TReal mean, TReal sd, TReal sem,
                          TReal median);
void WriteGroupSummaryRow(TReportText& report, const TColumnSummary& group);

// Companion of the group summary: an empty line, then the bold heading of
// Minimum, Maximum and the 95% confidence interval.
void WriteGroupRangeHeading(TReportText& scratch);
// One group: name, minimum and maximum ("Unknown" when empty), 95% limits.
void WriteGroupRangeRow(TReportText& scratch, std::string_view name, std::int32_t n, TReal minimum, TReal maximum,
                        TReal lowerCI, TReal upperCI);
void WriteGroupRangeRow(TReportText& scratch, const TColumnSummary& group);

// A newline, then the bold heading Group, KS, P Value, Passed normality test?
void WriteNormalityHeading(TReportText& report);
// One group's normality result. Fewer than five values, or a test that was
// not run (KS or P empty), read "Too few values to test."; an averaged-data
// column reads "Normality test requires raw data.". Passed means P > 0.05.
void WriteNormalityRow(TReportText& report, std::string_view name, std::int32_t n, TReal ks, TReal p,
                       bool averagedData);
void WriteNormalityRow(TReportText& report, const TColumnSummary& group, bool averagedData);

// Bold heading: Group, Number of Points, Median, Minimum, Maximum.
void WriteMedianHeading(TReportText& report);
// One group: name, n, median ("Unknown" when empty), minimum, maximum.
void WriteMedianRow(TReportText& report, std::string_view name, std::int32_t n, TReal median, TReal minimum,
                    TReal maximum);
void WriteMedianRow(TReportText& report, const TColumnSummary& group);

// The whole "Parameter:" table of one to three columns side by side (tab set
// T2), starting with a newline. The second column is shown when its N is
// above 0, the third only when the second is shown and its own N is above 0.
void WriteColumnSummaryTable(TReportText& report, const TColumnSummary& first);
void WriteColumnSummaryTable(TReportText& report, const TColumnSummary& first, const TColumnSummary& second);
void WriteColumnSummaryTable(TReportText& report, const TColumnSummary& first, const TColumnSummary& second,
                             const TColumnSummary& third);

// ---------------------------------------------------------------------------
// Post-test comparisons

// The statistic column of a comparison table.
enum class TComparisonStatistic { T, Q };

// Bonferroni ("t ") or Tukey-Kramer ("q ") comparisons, tab set T3.
void WriteComparisonHeading(TReportText& report, TComparisonStatistic statistic);
// "first vs second", mean difference, t or q, significance mark of p.
void WriteComparisonRow(TReportText& report, std::string_view firstName, std::string_view secondName, TReal difference,
                        TReal statistic, TReal p);
// Companion: mean difference and its 95% confidence interval.
void WriteDifferenceIntervalHeading(TReportText& scratch);
// "first - second", difference, lower and upper limit.
void WriteDifferenceIntervalRow(TReportText& scratch, std::string_view firstName, std::string_view secondName,
                                TReal difference, TReal lower, TReal upper);

// Student-Newman-Keuls: the comparison heading with "q ".
void WriteSnkHeading(TReportText& report);
// As WriteComparisonRow; a q equal to the empty marker (pair not tested)
// shows "  ---  ".
void WriteSnkRow(TReportText& report, std::string_view firstName, std::string_view secondName, TReal difference,
                 TReal q, TReal p);

// What a rank comparison's difference is taken between.
enum class TRankDifference { RankSum, MeanRank };

// Dunn's comparisons, tab set T4: "Rank Sum" or "Mean Rank" Difference.
void WriteRankComparisonHeading(TReportText& report, TRankDifference kind);
// "first vs. second", difference, significance mark of p.
void WriteRankComparisonRow(TReportText& report, std::string_view firstName, std::string_view secondName,
                            TReal difference, TReal p);

// Whether a control comparison table has its q column (Dunnett does, the
// nonparametric comparison with a control does not).
enum class TQColumn { Shown, Hidden };

// Comparisons with a control, tab set T7.
void WriteControlComparisonHeading(TReportText& report, TQColumn qColumn);
// "first vs second", difference, q when shown, three-class mark of p. The
// caller chooses the order of the names (the reports name the control first).
void WriteControlComparisonRow(TReportText& report, TQColumn qColumn, std::string_view firstName,
                               std::string_view secondName, TReal difference, TReal q, TReal p);
// Companion: difference with lower and upper 95% limits.
void WriteControlIntervalHeading(TReportText& scratch);
// "first - second", difference, lower and upper limit.
void WriteControlIntervalRow(TReportText& scratch, std::string_view firstName, std::string_view secondName,
                             TReal difference, TReal lower, TReal upper);

// ---------------------------------------------------------------------------
// Rank sums

// Kruskal-Wallis, tab set T5: Number of Points, Sum of Ranks, Mean of Ranks.
void WriteKruskalWallisRankHeading(TReportText& report);
// One group: name, n, sum of ranks, mean rank.
void WriteKruskalWallisRankRow(TReportText& report, std::string_view name, std::int32_t n, TReal rankSum,
                               TReal meanRank);
// Friedman, tab set T6: Sum of Ranks.
void WriteFriedmanRankHeading(TReportText& report);
// One group: name, sum of ranks.
void WriteFriedmanRankRow(TReportText& report, std::string_view name, TReal rankSum);

// ---------------------------------------------------------------------------
// Analysis of variance and regression

// One source of variation. A Total row uses DF and SS only.
struct TAnovaSource {
  std::int32_t DF = 0;
  TReal SS = EmptyValue;
  TReal MS = EmptyValue;
};

// Ordinary one-way ANOVA table (tab set T9, not bold): treatments,
// residuals, total.
void WriteOneWayAnovaTable(TReportText& report, const TAnovaSource& treatments, const TAnovaSource& residuals,
                           const TAnovaSource& total);
// Repeated-measures ANOVA table (tab set T8): treatment, individual, random,
// total.
void WriteRepeatedMeasuresAnovaTable(TReportText& report, const TAnovaSource& treatment, const TAnovaSource& individual,
                                     const TAnovaSource& random, const TAnovaSource& total);
// Ordinary ANOVA split into a linear trend (1 df, MS = SS) and the rest
// (MS = SS / df, computed here; blank when df is 0); notLinear.MS is ignored.
void WriteOneWayTrendAnovaTable(TReportText& report, TReal linearSS, const TAnovaSource& notLinear,
                                const TAnovaSource& residuals, const TAnovaSource& total);
// The repeated-measures variant of the trend table.
void WriteRepeatedMeasuresTrendAnovaTable(TReportText& report, TReal linearSS, const TAnovaSource& notLinear,
                                          const TAnovaSource& individual, const TAnovaSource& random,
                                          const TAnovaSource& total);

// Linear regression ANOVA without replicates (tab set T11, bold): model,
// deviations from linearity (residual), total.
void WriteRegressionAnovaTable(TReportText& report, const TAnovaSource& model, const TAnovaSource& residual,
                               const TAnovaSource& total);
// With replicates (tab set T12): model (DF and SS only), deviations from
// linearity, scatter among replicates, total.
void WriteReplicateRegressionAnovaTable(TReportText& report, const TAnovaSource& model, const TAnovaSource& deviations,
                                        const TAnovaSource& scatter, const TAnovaSource& total);

// Bold heading of the residual table of a regression with replicates (tab
// set T10): Row, X Value, Mean Y, # of Reps., Predicted Y, Standard
// Deviation, Residual.
void WriteResidualHeading(TReportText& report);
// Row number (from 1), X, mean Y, replicates, predicted Y, SD of the row's Y
// (shown only for more than one replicate), residual.
void WriteResidualRow(TReportText& report, std::int32_t row, TReal x, TReal meanY, std::int32_t replicates,
                      TReal predictedY, TReal sd, TReal residual);

// A fitted parameter with its standard error and 95% limits.
struct TParameterEstimate {
  TReal Value = EmptyValue;
  TReal SE = EmptyValue;
  TReal Lower = EmptyValue;
  TReal Upper = EmptyValue;
};

// The whole regression parameter table (tab set T13): Slope, Y intercept
// (value only when the line was forced through a point), X intercept
// ("Undefined" when it is the empty marker).
void WriteRegressionParameterTable(TReportText& report, const TParameterEstimate& slope,
                                   const TParameterEstimate& yIntercept, TReal xIntercept, bool forcedThroughPoint);

// ---------------------------------------------------------------------------
// Contingency tables

// Which margin a totals table lists.
enum class TTotalsOf { Rows, Columns };

// Bold heading "Row" (or "Column"), "Total", "Percent"; tab set T14.
void WriteTotalsHeading(TReportText& report, TTotalsOf kind);
// A column line: its title, total (no decimals) and percent of N ("12.50%").
void WriteTotalsTitledRow(TReportText& report, std::string_view title, TReal total, TReal percent);
// A row line under its number; number 0 is the grand total, written after a
// rule and titled "Total".
void WriteTotalsNumberedRow(TReportText& report, std::int32_t number, TReal total, TReal percent);

// The sensitivity and specificity table, at the report's own tab stops:
// the heading clears them and sets 30, 40, 48 and 52, then writes the bold
// "Variable", "Value", "95% Confidence Interval". Each field goes to the
// next stop beyond the text so far, so a wide number pushes the rest of its
// row along rather than into it.
void WriteDiagnosticHeading(TReportText& report);
// Label, value, lower limit, "to", upper limit (digits -5).
void WriteDiagnosticRow(TReportText& report, std::string_view label, TReal value, TReal lower, TReal upper);
// Label and value alone ("Infinity" for the empty marker).
void WriteDiagnosticValueRow(TReportText& report, std::string_view label, TReal value);

// One row of the two-by-two count table: its two counts and their total,
// each with its percentage of N (0 to 100; the empty marker when N is 0).
struct TTwoByTwoCountRow {
  std::int64_t Left = 0;
  std::int64_t Right = 0;
  std::int64_t Total = 0;
  TReal LeftPercent = EmptyValue;
  TReal RightPercent = EmptyValue;
  TReal TotalPercent = EmptyValue;
};

// The counts and titles of a two-by-two table as the report shows them:
//   A B
//   C D
// with the row totals beside them and the column totals below.
struct TTwoByTwoCounts {
  std::string LeftColumnTitle;
  std::string RightColumnTitle;
  std::string TopRowTitle;
  std::string BottomRowTitle;
  TTwoByTwoCountRow Top;
  TTwoByTwoCountRow Bottom;
  TTwoByTwoCountRow Total;
};

// The whole two-by-two count table (tab set T15): the heading of column
// titles, each row's counts and total with their percentages below them,
// then the column totals. "* " follows the second count of each data row
// unless suppressStar is set.
void WriteTwoByTwoCountTable(TReportText& report, const TTwoByTwoCounts& counts, bool suppressStar);

}  // namespace ombrel
