#include "core/report/ReportTables.h"

#include "core/report/TableWriter.h"

namespace ombrel {

using detail::TTableWriter;

namespace {

// "first vs second": the two names in 15 columns each, the first
// right-aligned against the joint, the second left-aligned after it.
void WritePairNames(TTableWriter& t, std::string_view firstName, std::string_view joint, std::string_view secondName) {
  t.At(0).Right(15, firstName).Text(joint).Left(15, secondName);
}

}  // namespace

void WriteComparisonHeading(TReportText& report, TComparisonStatistic statistic) {
  TTableWriter t(report, TTabSet::T3);
  t.Bold();
  t.At(1).Centred(10, "Mean").EndLine();
  t.At(0).Centred(34, "Comparison").At(1).Centred(10, "Difference");
  t.At(2).Centred(8, statistic == TComparisonStatistic::T ? "t " : "q ").At(3).Centred(11, "P value").EndLine();
  t.DoubleRules({34, 10, 7, 11}).Bold().EndLine();
}

void WriteComparisonRow(TReportText& report, std::string_view firstName, std::string_view secondName, TReal difference,
                        TReal statistic, TReal p) {
  TTableWriter t(report, TTabSet::T3);
  WritePairNames(t, firstName, " vs ", secondName);
  t.At(1).Number(10, difference).At(2).Number(7, statistic).At(3).Right(11, SignificanceMark(p)).EndLine();
}

void WriteDifferenceIntervalHeading(TReportText& scratch) {
  TTableWriter t(scratch, TTabSet::T3);
  t.Bold();
  t.At(1).Centred(10, "Mean").At(2).Text("95% Confidence Interval").EndLine();
  t.At(0).Centred(34, "Difference").At(1).Centred(10, "Difference").At(2).Centred(7, "From").At(3).Centred(7, "To");
  t.EndLine();
  t.DoubleRules({34, 10, 7, 7}).Bold().EndLine();
}

void WriteDifferenceIntervalRow(TReportText& scratch, std::string_view firstName, std::string_view secondName,
                                TReal difference, TReal lower, TReal upper) {
  TTableWriter t(scratch, TTabSet::T3);
  WritePairNames(t, firstName, " - ", secondName);
  t.At(1).Number(10, difference).At(2).Number(7, lower).At(3).Number(7, upper).EndLine();
}

void WriteSnkHeading(TReportText& report) { WriteComparisonHeading(report, TComparisonStatistic::Q); }

void WriteSnkRow(TReportText& report, std::string_view firstName, std::string_view secondName, TReal difference,
                 TReal q, TReal p) {
  TTableWriter t(report, TTabSet::T3);
  WritePairNames(t, firstName, " vs ", secondName);
  t.At(1).Number(10, difference).At(2);
  if (IsEmpty(q)) {
    t.Text("  ---  ");
  } else {
    t.Number(7, q);
  }
  t.At(3).Right(11, SignificanceMark(p)).EndLine();
}

void WriteRankComparisonHeading(TReportText& report, TRankDifference kind) {
  TTableWriter t(report, TTabSet::T4);
  t.Bold();
  t.At(1).Centred(10, kind == TRankDifference::RankSum ? "Rank Sum" : "Mean Rank").EndLine();
  t.At(0).Centred(34, "Comparison").At(1).Centred(10, "Difference").At(2).Centred(11, "P value").EndLine();
  t.DoubleRules({34, 10, 11}).Bold().EndLine();
}

void WriteRankComparisonRow(TReportText& report, std::string_view firstName, std::string_view secondName,
                            TReal difference, TReal p) {
  TTableWriter t(report, TTabSet::T4);
  WritePairNames(t, firstName, " vs. ", secondName);
  t.At(1).Number(10, difference).At(2).Right(11, SignificanceMark(p)).EndLine();
}

void WriteControlComparisonHeading(TReportText& report, TQColumn qColumn) {
  TTableWriter t(report, TTabSet::T7);
  t.Bold();
  t.At(1).Centred(10, "Mean").EndLine();
  t.At(0).Centred(34, "Comparison").At(1).Centred(10, "Difference");
  if (qColumn == TQColumn::Shown) {
    t.At(2).Centred(8, "q ").At(3).Centred(10, "P value").EndLine();
    t.DoubleRules({34, 10, 8, 10});
  } else {
    t.At(2).Centred(10, "P value").EndLine();
    t.DoubleRules({34, 10, 10});
  }
  t.Bold().EndLine();
}

void WriteControlComparisonRow(TReportText& report, TQColumn qColumn, std::string_view firstName,
                               std::string_view secondName, TReal difference, TReal q, TReal p) {
  TTableWriter t(report, TTabSet::T7);
  WritePairNames(t, firstName, " vs ", secondName);
  t.At(1).Number(10, difference).At(2);
  if (qColumn == TQColumn::Shown) t.Number(8, q).At(3);
  t.Text(ControlSignificanceMark(p)).EndLine();
}

void WriteControlIntervalHeading(TReportText& scratch) {
  TTableWriter t(scratch, TTabSet::T7);
  t.Bold();
  t.At(1).Centred(10, "Mean").At(2).Centred(8, "Lower").At(3).Centred(8, "Upper").EndLine();
  t.At(0).Centred(34, "Difference").At(1).Centred(10, "Difference").At(2).Centred(8, "95% CI");
  t.At(3).Centred(8, "95% CI").EndLine();
  t.DoubleRules({34, 10, 8, 8}).Bold().EndLine();
}

void WriteControlIntervalRow(TReportText& scratch, std::string_view firstName, std::string_view secondName,
                             TReal difference, TReal lower, TReal upper) {
  TTableWriter t(scratch, TTabSet::T7);
  WritePairNames(t, firstName, " - ", secondName);
  t.At(1).Number(10, difference).At(2).Number(8, lower).At(3).Number(8, upper).EndLine();
}

void WriteKruskalWallisRankHeading(TReportText& report) {
  TTableWriter t(report, TTabSet::T5);
  t.Bold();
  t.At(1).Centred(7, "Number").At(2).Centred(7, "Sum").At(3).Centred(7, "Mean").EndLine();
  t.At(1).Centred(7, "of").At(2).Centred(7, "of").At(3).Centred(7, "of").EndLine();
  t.At(0).Centred(15, "Group").At(1).Centred(7, "Points").At(2).Centred(7, "Ranks").At(3).Centred(7, "Ranks");
  t.EndLine();
  t.DoubleRules({15, 7, 7, 7}).Bold().EndLine();
}

void WriteKruskalWallisRankRow(TReportText& report, std::string_view name, std::int32_t n, TReal rankSum,
                               TReal meanRank) {
  TTableWriter t(report, TTabSet::T5);
  t.At(0).Right(15, name).At(1).Integer(7, n).At(2).Number(7, rankSum).At(3).Number(7, meanRank).EndLine();
}

void WriteFriedmanRankHeading(TReportText& report) {
  TTableWriter t(report, TTabSet::T6);
  t.Bold();
  t.At(1).Centred(7, "Sum").EndLine();
  t.At(1).Centred(7, "of").EndLine();
  t.At(0).Centred(15, "Group").At(1).Centred(7, "Ranks").EndLine();
  t.DoubleRules({15, 7}).Bold().EndLine();
}

void WriteFriedmanRankRow(TReportText& report, std::string_view name, TReal rankSum) {
  TTableWriter t(report, TTabSet::T6);
  t.At(0).Right(15, name).At(1).Number(7, rankSum).EndLine();
}

}  // namespace ombrel
