#include "core/entry/SummaryCells.h"

#include <gtest/gtest.h>

#include "support/StatsTestSupport.h"
#include "core/stats/ColumnStats.h"

namespace ombrel {
namespace {

constexpr bool SdFormat = true;
constexpr bool SemFormat = false;
constexpr bool Full = true;

TEST(SummaryRowLabel, SwapsSdAndSemAndHidesRawRows) {
  struct TRow {
    int GridRow;
    bool Sd, FullStatistics;
    const char* Label;
  };
  const TRow rows[] = {
      {3, SdFormat, false, "Standard deviation (SD)"},
      {3, SemFormat, false, "SEM"},
      {5, SdFormat, Full, ""},
      {6, SdFormat, false, "Std. error of mean(SEM)"},
      {6, SemFormat, false, "SD"},
      {11, SdFormat, Full, "Median (50th percentile)"},
      {11, SdFormat, false, ""},
      {16, SdFormat, Full, "Passed normality test?"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.GridRow);
    EXPECT_EQ(SummaryRowLabel(row.GridRow, row.Sd, row.FullStatistics), row.Label);
  }
}

// Statistics other than the mean and N read as WriteNumber writes them with
// digits -5, without its padding; the expected texts are the report's own
// examples (0.5 -> 0.5000, 500 -> 500.00, 123456, 1.230E-05, ...).
TEST(SummaryCellText, StatisticsUseTheReportPrecision) {
  struct TRow {
    TReal Value;
    const char* Text;
  };
  const TRow rows[] = {
      {0.5L, "0.5000"},
      {5, "5.000"},
      {50, "50.000"},
      {500, "500.00"},
      {123456, "123456"},
      {9.99996L, "10.000"},
      {0.00123456L, "0.001235"},
      {0, "0.000"},
      {0.0000123L, "1.230E-05"},
      {-0.00005L, "-5.000E-05"},
      {12345678, "1.235E+07"},
      {EmptyValue, ""},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Text);
    TDataTable table;
    table.Summary(0).SEM = row.Value;
    EXPECT_EQ(SummaryCellText(table, 0, 6, SdFormat, Full), row.Text);
    EXPECT_EQ(SummaryCellText(table, 0, 3, SemFormat, Full), row.Text);
  }
}

TEST(SummaryCellText, MeanShowsUpToTenDecimals) {
  struct TRow {
    TReal Value;
    const char* Text;
  };
  const TRow rows[] = {
      {2.5L, "2.5"},
      {10, "10"},
      {2.0L / 3, "0.6666666667"},
      {12345678.9L, "12345678.9"},
      {0.00000123L, "0.00000123"},
      {-0.00000000001L, "-1.000E-11"},  // would read as 0 with ten decimals
      {EmptyValue, ""},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Text);
    TDataTable table;
    table.Summary(0).Mean = row.Value;
    EXPECT_EQ(SummaryCellText(table, 0, 2, SdFormat, false), row.Text);
  }
}

TEST(SummaryCellText, NormalityRows) {
  struct TRow {
    const char* Name;
    std::int32_t N;
    bool RawData;
    TReal KS, P;
    const char* KSText;
    const char* PText;
    const char* PassedText;
  };
  const TRow rows[] = {
      {"above 0.10", 12, true, 0.1L, 0.1000001L, "0.1000", ">0.10", "Yes"},
      {"at 0.10", 12, true, 0.1L, 0.1L, "0.1000", "0.1000", "Yes"},
      {"four decimals", 12, true, 0.25L, 0.04567L, "0.2500", "0.0457", "No"},
      {"at 0.0001", 12, true, 0.25L, 0.0001L, "0.2500", "0.0001", "No"},
      {"below 0.0001", 12, true, 0.5L, 0.0000999L, "0.5000", "<0.0001", "No"},
      {"too few", 4, true, EmptyValue, EmptyValue, "", "Too few values", ""},
      {"one value", 1, true, EmptyValue, EmptyValue, "", "Too few values", ""},
      {"no values", 0, true, EmptyValue, EmptyValue, "", "", ""},
      {"zero SD", 5, true, EmptyValue, EmptyValue, "", "", ""},
      {"typed means", 3, false, EmptyValue, EmptyValue, "", "", ""},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    table.MeanEntryColumn[5] = row.RawData ? 0 : 1;
    TColumnSummary& s = table.Summary(5);
    s.N = row.N;
    s.NormalityKS = row.KS;
    s.NormalityP = row.P;
    s.PassedNormality = !IsEmpty(row.P) && row.P > 0.05L ? 1 : 0;
    EXPECT_EQ(SummaryCellText(table, 5, 14, SdFormat, Full), row.KSText);
    EXPECT_EQ(SummaryCellText(table, 5, 15, SdFormat, Full), row.PText);
    EXPECT_EQ(SummaryCellText(table, 5, 16, SdFormat, Full), row.PassedText);
  }
}

// Typing mean 10, SD 2 and N 4 completes the column: SEM 1 and limits
// 10 -/+ 3.182 (t for 3 df from the printed table).
TEST(SetSummaryValue, TypedMeanSdAndN) {
  TDataTable table;
  table.ResetForNewDocument();
  table.Summary(1).N = -1;  // a column emptied by the grid shows no N
  EXPECT_EQ(SummaryCellText(table, 1, 4, SdFormat, false), "");
  EXPECT_TRUE(SetSummaryValue(table, 1, 2, SdFormat, 10).Changed);
  EXPECT_TRUE(SetSummaryValue(table, 1, 3, SdFormat, 2).Changed);
  EXPECT_TRUE(SetSummaryValue(table, 1, 4, SdFormat, 4).Changed);
  EXPECT_EQ(SummaryCellText(table, 1, 6, SdFormat, false), "1.000");
  EXPECT_EQ(SummaryCellText(table, 1, 7, SdFormat, false), "6.818");
  EXPECT_EQ(SummaryCellText(table, 1, 8, SdFormat, false), "13.182");

  EXPECT_EQ(SummaryCellText(table, 1, 4, SdFormat, false), "4");
}

TEST(SetSummaryValue, SampleSizeRules) {
  struct TRow {
    TReal Typed;
    std::int32_t N;
  };
  const TRow rows[] = {
      {2, 2},    {2.5L, 3},  // rounded half away from zero
      {1.9L, 0}, {1, 0},    {2147483647.0L, 2147483647}, {2147483647.4L, 0}, {EmptyValue, 0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(test::Digits(row.Typed));
    TDataTable table;
    table.ResetForNewDocument();
    SetSummaryValue(table, 0, 2, SdFormat, 10);
    SetSummaryValue(table, 0, 3, SdFormat, 2);
    SetSummaryValue(table, 0, 4, SdFormat, 7);
    SetSummaryValue(table, 0, 4, SdFormat, row.Typed);
    const TColumnSummary& s = table.Summary(0);
    EXPECT_EQ(s.N, row.N);
    EXPECT_EQ(s.Mean, 10);
    if (row.N == 0) {
      // N below 2 keeps only the mean.
      for (TReal field :
           {s.SD, s.SEM, s.Median, s.Minimum, s.Maximum, s.UpperCI, s.LowerCI, s.NormalityKS, s.NormalityP})
        EXPECT_TRUE(IsEmpty(field));
    } else {
      EXPECT_FALSE(IsEmpty(s.UpperCI));
    }
  }
}

TEST(SetSummaryValue, UnchangedValuesAndEmptyMean) {
  TDataTable table;
  table.ResetForNewDocument();
  SetSummaryValue(table, 0, 3, SdFormat, 2);
  TSummaryEdit edit = SetSummaryValue(table, 0, 4, SdFormat, 4);
  EXPECT_TRUE(edit.Changed);
  EXPECT_TRUE(edit.MeanMissing);
  EXPECT_EQ(table.Summary(0).SEM, 1);

  edit = SetSummaryValue(table, 0, 3, SdFormat, 2);
  EXPECT_FALSE(edit.Changed);
  EXPECT_FALSE(edit.MeanMissing);
  EXPECT_FALSE(SetSummaryValue(table, 0, 4, SdFormat, 4).Changed);
  EXPECT_FALSE(SetSummaryValue(table, 0, 5, SdFormat, 4).Changed);
  EXPECT_FALSE(SetSummaryValue(table, 0, 9, SdFormat, 4).Changed);

  SetSummaryValue(table, 0, 2, SdFormat, 10);
  edit = SetSummaryValue(table, 0, 2, SdFormat, EmptyValue);
  EXPECT_TRUE(edit.MeanMissing);
  EXPECT_TRUE(IsEmpty(table.Summary(0).UpperCI));

  // Clearing the SD empties the SEM derived from it.
  SetSummaryValue(table, 0, 3, SdFormat, EmptyValue);
  EXPECT_TRUE(IsEmpty(table.Summary(0).SEM));
}

// A raw-data column's statistics come from its values whatever is typed.
TEST(SetSummaryValue, RawDataColumnIsRecomputed) {
  TDataTable table;
  test::FillColumn(table, 0, {1, 2, 3});
  RefreshColumnSummaries(table);
  SetSummaryValue(table, 0, 2, SdFormat, 50);
  EXPECT_EQ(table.Summary(0).Mean, 2);
  EXPECT_EQ(SummaryCellText(table, 0, 3, SdFormat, false), "1.000");
}

}  // namespace
}  // namespace ombrel
