#include "core/report/ReportTables.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>

#include "core/base/NumberText.h"
#include "core/report/TableWriter.h"

namespace ombrel {

namespace {

// All tab sets in one constant table; Count says how many stops a set uses
// (0 is itself a stop: the start of the line).
struct TTabStopSet {
  std::array<std::int32_t, 7> Stops;
  std::size_t Count;
};

constexpr std::array<TTabStopSet, 15> TabStopTable{{
    {{1, 17, 26, 35, 46, 56}, 6},     // T1 group summary, group range, normality, median
    {{16, 32, 48}, 3},                // T2 column summary
    {{0, 36, 47, 55}, 4},             // T3 comparison, difference interval, SNK
    {{0, 36, 47, 56}, 4},             // T4 rank comparison
    {{1, 18, 27, 36}, 4},             // T5 Kruskal-Wallis rank sums
    {{1, 18}, 2},                     // T6 Friedman rank sums
    {{0, 36, 47, 56}, 4},             // T7 control comparison
    {{1, 30, 42, 52}, 4},             // T8 repeated-measures ANOVA
    {{1, 31, 43, 53}, 4},             // T9 ordinary ANOVA
    {{1, 6, 16, 26, 33, 44, 55}, 7},  // T10 residuals
    {{1, 39, 51, 63}, 4},             // T11 regression ANOVA
    {{1, 38, 50, 62}, 4},             // T12 regression ANOVA with replicates
    {{1, 14, 26, 38, 50}, 5},         // T13 regression parameters
    {{1, 18, 30}, 3},                 // T14 totals
    {{0, 17, 34, 51}, 4},             // T15 two-by-two counts
}};

constexpr std::array<std::string_view, 12> MonthNames{"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  if (text.size() < 2) text.insert(text.begin(), '0');
  return text;
}

// Boundaries belong to the more significant class. The limits are the double
// roundings of 0.001, 0.01 and 0.05, each just above its exact value, so a P
// coded as 0.05 lands in "P<0.05" whether the caller wrote 0.05 or 0.05L.
constexpr TReal MarkLimit001 = 0.001;
constexpr TReal MarkLimit01 = 0.01;
constexpr TReal MarkLimit05 = 0.05;

constexpr int ColumnSummaryLabelWidth = 14;
constexpr int ColumnSummaryCellWidth = 15;

void WriteColumnSummary(TReportText& report, std::span<const TColumnSummary* const> shown) {
  using Cell = void (*)(detail::TTableWriter&, const TColumnSummary&);
  struct TSummaryRow {
    std::string_view Label;
    Cell Write;
  };
  static const std::array<TSummaryRow, 9> Rows{{
      {"Mean:", [](detail::TTableWriter& t, const TColumnSummary& s) { t.Number(ColumnSummaryCellWidth, s.Mean); }},
      {"# of points:",
       [](detail::TTableWriter& t, const TColumnSummary& s) { t.Integer(ColumnSummaryCellWidth, s.N); }},
      {"Std deviation:",
       [](detail::TTableWriter& t, const TColumnSummary& s) { t.Number(ColumnSummaryCellWidth, s.SD); }},
      {"Std error:", [](detail::TTableWriter& t, const TColumnSummary& s) { t.Number(ColumnSummaryCellWidth, s.SEM); }},
      {"Minimum:",
       [](detail::TTableWriter& t, const TColumnSummary& s) { t.NumberOrUnknown(ColumnSummaryCellWidth, s.Minimum); }},
      {"Maximum:",
       [](detail::TTableWriter& t, const TColumnSummary& s) { t.NumberOrUnknown(ColumnSummaryCellWidth, s.Maximum); }},
      {"Median:",
       [](detail::TTableWriter& t, const TColumnSummary& s) { t.NumberOrUnknown(ColumnSummaryCellWidth, s.Median); }},
      {"Lower 95% CI:",
       [](detail::TTableWriter& t, const TColumnSummary& s) { t.Number(ColumnSummaryCellWidth, s.LowerCI); }},
      {"Upper 95% CI:",
       [](detail::TTableWriter& t, const TColumnSummary& s) { t.Number(ColumnSummaryCellWidth, s.UpperCI); }},
  }};

  detail::TTableWriter t(report, TTabSet::T2);
  t.EndLine();
  t.Bold().Right(ColumnSummaryLabelWidth, "Parameter:");
  for (std::size_t i = 0; i < shown.size(); ++i) t.At(i).Right(ColumnSummaryCellWidth, shown[i]->Title);
  t.Bold().EndLine().EndHeading();
  for (const TSummaryRow& row : Rows) {
    t.Bold().Right(ColumnSummaryLabelWidth, row.Label).Bold();
    for (std::size_t i = 0; i < shown.size(); ++i) {
      t.At(i);
      row.Write(t, *shown[i]);
    }
    t.EndLine();
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Table writer

namespace detail {

TTableWriter& TTableWriter::At(std::size_t stop) {
  mReport.mRecorder.StartCell(static_cast<int>(stop) + 1, Line());
  if (stop < mStops.size()) mReport.TabTo(mStops[stop]);
  return *this;
}

TTableWriter& TTableWriter::Next(std::size_t cell) {
  mReport.mRecorder.StartCell(static_cast<int>(cell) + 1, Line());
  mReport.NextTabStop();
  return *this;
}

TTableWriter& TTableWriter::Text(std::string_view text) {
  mReport.WriteText(text);
  return *this;
}

TTableWriter& TTableWriter::Centred(int width, std::string_view text) { return Text(CenterText(text, width)); }

TTableWriter& TTableWriter::Right(int width, std::string_view text) { return Text(PadLeft(text, width)); }

TTableWriter& TTableWriter::Left(int width, std::string_view text) { return Text(PadRight(text, width)); }

TTableWriter& TTableWriter::Number(int width, TReal value) {
  mReport.WriteNumberIn(width, value, -5);
  return *this;
}

TTableWriter& TTableWriter::NumberOrUnknown(int width, TReal value) {
  WriteValueOrUnknown(mReport, width, value);
  return *this;
}

TTableWriter& TTableWriter::Integer(int width, std::int32_t value) {
  mReport.WriteIntegerIn(width, value);
  return *this;
}

TTableWriter& TTableWriter::Bold() {
  mReport.ToggleBold();
  return *this;
}

TTableWriter& TTableWriter::EndLine() {
  mReport.NewLine();
  return *this;
}

TTableWriter& TTableWriter::DoubleRules(std::initializer_list<int> widths) {
  mReport.mRecorder.RuleLine(Line(), true);
  std::size_t stop = 0;
  for (int width : widths) At(stop++).Report().WriteDoubleRule(width);
  return *this;
}

TTableWriter& TTableWriter::SingleRules(std::initializer_list<int> widths) {
  mReport.mRecorder.RuleLine(Line(), false);
  std::size_t stop = 0;
  for (int width : widths) At(stop++).Report().WriteSingleRule(width);
  return *this;
}

TTableWriter& TTableWriter::EndHeading() {
  mReport.mRecorder.EndHeading();
  return *this;
}

TTableWriter& TTableWriter::RuleLine(bool doubleRule) {
  mReport.mRecorder.RuleLine(Line(), doubleRule);
  return *this;
}

}  // namespace detail

using detail::TTableWriter;

// ---------------------------------------------------------------------------
// Tab sets and small cells

std::span<const std::int32_t> TabStops(TTabSet set) {
  const TTabStopSet& entry = TabStopTable[static_cast<std::size_t>(set)];
  return std::span<const std::int32_t>(entry.Stops.data(), entry.Count);
}

std::string SignificanceMark(TReal p) {
  if (p <= MarkLimit001) return "*** P<0.001";
  return ControlSignificanceMark(p);
}

std::string ControlSignificanceMark(TReal p) {
  if (p <= MarkLimit01) return "**  P<0.01";
  if (p <= MarkLimit05) return "*   P<0.05";
  return "ns  P>0.05";
}

void WriteValueOrInfinity(TReportText& report, TReal value) {
  if (IsEmpty(value)) {
    report.WriteText("Infinity");
  } else if (IsEmpty(-value)) {
    report.WriteText("-Infinity");
  } else {
    report.WriteNumber(value, -5);
  }
}

void WriteValueOrUnknown(TReportText& report, int width, TReal value) {
  if (IsEmpty(value)) {
    report.WriteText(PadLeft("Unknown", width));
  } else {
    report.WriteNumberIn(width, value, -5);
  }
}

TReportDateTime CurrentDateTime() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  TReportDateTime result;
  // One user-interface thread: the shared buffer of localtime is safe here.
  if (const std::tm* local = std::localtime(&now)) {
    result.Year = local->tm_year + 1900;
    result.Month = local->tm_mon + 1;
    result.Day = local->tm_mday;
    result.Hour = local->tm_hour;
    result.Minute = local->tm_min;
    result.Second = local->tm_sec;
  }
  return result;
}

std::string DateTimeText(const TReportDateTime& when) {
  const std::size_t month = static_cast<std::size_t>(std::clamp(when.Month, 1, 12) - 1);
  std::string text = TwoDigits(when.Hour) + ":" + TwoDigits(when.Minute) + ":" + TwoDigits(when.Second);
  text += "  " + std::to_string(when.Day) + " ";
  text += MonthNames[month];
  text += " " + std::to_string(when.Year);
  return text;
}

void WriteDateLine(TReportText& report, const TReportDateTime& when) {
  report.WriteLine(DateTimeText(when));
  report.NewLine();
}

void WriteUnderlinedLine(TReportText& report, std::string_view text) {
  report.MarkHeading(3);
  report.ToggleUnderline();
  report.WriteText(text);
  report.ToggleUnderline();
  report.NewLine();
}

void WriteCenteredTitle(TReportText& report, std::string_view text) {
  report.MarkHeading(2);
  WriteUnderlinedLine(report, CenterText(text, ReportTitleWidth));
}

void WriteOneColumnQuestion(TReportText& report, std::string_view statistic, std::string_view title, TReal value,
                            int digits) {
  report.WriteText("Does the ");
  report.WriteText(statistic);
  report.WriteText(" of ");
  report.WriteText(title);
  report.WriteText(" differ significantly from ");
  report.WriteNumber(value, digits);
  report.WriteLine("? ");
}

void WriteTwoColumnQuestion(TReportText& report, std::string_view statistic, std::string_view a, std::string_view b,
                            bool paired) {
  report.WriteText(paired ? "Does the " : "Do the ");
  report.WriteText(statistic);
  report.WriteText(paired ? " of the differences between " : "s of ");
  report.WriteText(a);
  report.WriteText(" and ");
  report.WriteText(b);
  if (paired) {
    report.NewLine();
    report.WriteLine(" differ significantly from zero?");
  } else {
    report.WriteLine(" differ significantly?");
  }
}

// ---------------------------------------------------------------------------
// Group tables

void WriteGroupSummaryHeading(TReportText& report) {
  TTableWriter t(report, TTabSet::T1);
  t.Bold();
  t.At(1).Centred(6, "Number").At(4).Centred(8, "Standard").EndLine();
  t.At(1).Centred(6, "of").At(3).Centred(9, "Standard").At(4).Centred(8, "Error of").EndLine();
  t.At(0).Centred(15, "Group").At(1).Centred(6, "Points").At(2).Centred(8, "Mean").At(3).Centred(9, "Deviation");
  t.At(4).Centred(8, "Mean").At(5).Centred(8, "Median").EndLine();
  t.DoubleRules({15, 6, 8, 9, 8, 8}).Bold().EndLine();
}

void WriteGroupSummaryRow(TReportText& report, std::string_view name, std::int32_t n, TReal mean, TReal sd, TReal sem,
                          TReal median) {
  if (n <= 0) return;
  TTableWriter t(report, TTabSet::T1);
  t.At(0).Right(15, name).At(1).Integer(5, n).At(2).Number(8, mean).At(3).Number(8, sd).At(4).Number(8, sem);
  t.At(5).NumberOrUnknown(8, median).EndLine();
}

void WriteGroupSummaryRow(TReportText& report, const TColumnSummary& group) {
  WriteGroupSummaryRow(report, group.Title, group.N, group.Mean, group.SD, group.SEM, group.Median);
}

void WriteGroupRangeHeading(TReportText& scratch) {
  TTableWriter t(scratch, TTabSet::T1);
  t.EndLine().Bold();
  t.At(3).Text("95% Confidence Interval").EndLine();
  t.At(0).Centred(15, "Group").At(1).Centred(8, "Minimum").At(2).Centred(8, "Maximum").At(3).Centred(10, "From");
  t.At(4).Centred(10, "To").EndLine();
  t.DoubleRules({15, 8, 8, 10, 10}).Bold().EndLine();
}

void WriteGroupRangeRow(TReportText& scratch, std::string_view name, std::int32_t n, TReal minimum, TReal maximum,
                        TReal lowerCI, TReal upperCI) {
  if (n <= 0) return;
  TTableWriter t(scratch, TTabSet::T1);
  t.At(0).Right(15, name).At(1).NumberOrUnknown(8, minimum).At(2).NumberOrUnknown(8, maximum);
  t.At(3).Number(10, lowerCI).At(4).Number(10, upperCI).EndLine();
}

void WriteGroupRangeRow(TReportText& scratch, const TColumnSummary& group) {
  WriteGroupRangeRow(scratch, group.Title, group.N, group.Minimum, group.Maximum, group.LowerCI, group.UpperCI);
}

void WriteNormalityHeading(TReportText& report) {
  TTableWriter t(report, TTabSet::T1);
  t.EndLine().Bold();
  t.At(0).Centred(15, "Group").At(1).Centred(6, "KS").At(2).Centred(8, "P Value").At(3).Text("Passed normality test?");
  t.EndLine();
  t.DoubleRules({15, 6, 8, 23}).Bold().EndLine();
}

void WriteNormalityRow(TReportText& report, std::string_view name, std::int32_t n, TReal ks, TReal p,
                       bool averagedData) {
  if (n <= 0) return;
  TTableWriter t(report, TTabSet::T1);
  t.At(0).Right(15, name).At(1);
  if (n < 5) {
    t.Text("  Too few values to test.");
  } else if (averagedData) {
    t.Text("  Normality test requires raw data.");
  } else if (IsEmpty(ks) || IsEmpty(p)) {
    // The test is not run on a column whose values are all equal; it must
    // not read as passed.
    t.Text("  Too few values to test.");
  } else {
    t.Number(8, ks).At(2);
    if (p > 0.10L) {
      t.Text(">0.10");
    } else if (p < 0.0001L) {
      t.Text("<0.0001");
    } else {
      t.Text(" ");
      report.WriteNumber(p, 4);
    }
    t.At(3).Text(p > 0.05L ? " Yes" : " No");
  }
  t.EndLine();
}

void WriteNormalityRow(TReportText& report, const TColumnSummary& group, bool averagedData) {
  WriteNormalityRow(report, group.Title, group.N, group.NormalityKS, group.NormalityP, averagedData);
}

void WriteMedianHeading(TReportText& report) {
  TTableWriter t(report, TTabSet::T1);
  t.Bold();
  t.At(1).Centred(6, "Number").EndLine();
  t.At(1).Centred(6, "of").EndLine();
  t.At(0).Centred(15, "Group").At(1).Centred(6, "Points").At(2).Centred(8, "Median").At(3).Centred(8, "Minimum");
  t.At(4).Centred(8, "Maximum").EndLine();
  t.DoubleRules({15, 6, 8, 8, 8}).Bold().EndLine();
}

void WriteMedianRow(TReportText& report, std::string_view name, std::int32_t n, TReal median, TReal minimum,
                    TReal maximum) {
  if (n <= 0) return;
  TTableWriter t(report, TTabSet::T1);
  t.At(0).Right(15, name).At(1).Integer(5, n).At(2).NumberOrUnknown(8, median).At(3).Number(8, minimum);
  t.At(4).Number(8, maximum).EndLine();
}

void WriteMedianRow(TReportText& report, const TColumnSummary& group) {
  WriteMedianRow(report, group.Title, group.N, group.Median, group.Minimum, group.Maximum);
}

void WriteColumnSummaryTable(TReportText& report, const TColumnSummary& first) {
  const std::array<const TColumnSummary*, 1> shown{&first};
  WriteColumnSummary(report, shown);
}

void WriteColumnSummaryTable(TReportText& report, const TColumnSummary& first, const TColumnSummary& second) {
  if (second.N <= 0) return WriteColumnSummaryTable(report, first);
  const std::array<const TColumnSummary*, 2> shown{&first, &second};
  WriteColumnSummary(report, shown);
}

void WriteColumnSummaryTable(TReportText& report, const TColumnSummary& first, const TColumnSummary& second,
                             const TColumnSummary& third) {
  if (second.N <= 0 || third.N <= 0) return WriteColumnSummaryTable(report, first, second);
  const std::array<const TColumnSummary*, 3> shown{&first, &second, &third};
  WriteColumnSummary(report, shown);
}

}  // namespace ombrel
