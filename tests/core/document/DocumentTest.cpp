#include <gtest/gtest.h>

#include "core/base/CalcProgress.h"
#include "core/document/Document.h"

namespace ombrel {
namespace {

TEST(ChooseFormat, TwoByTwoTakesEmptyCountsDownColumnsAAndB) {
  TDocument document;
  document.Table.SetValue(0, 0, 11);
  document.Table.SetValue(1, 0, 12);
  document.Table.SetValue(0, 1, 21);
  document.Table.SetValue(1, 1, 22);
  ASSERT_TRUE(document.ChooseFormat(TDataFormat::TwoByTwo));
  EXPECT_EQ(document.TwoByTwo.A, 11);
  EXPECT_EQ(document.TwoByTwo.B, 12);
  EXPECT_EQ(document.TwoByTwo.C, 21);
  EXPECT_EQ(document.TwoByTwo.D, 22);

  // Counts already typed are kept.
  TDocument typed;
  typed.Table.SetValue(0, 0, 11);
  typed.TwoByTwo.D = 5;
  typed.ChooseFormat(TDataFormat::TwoByTwo);
  EXPECT_TRUE(IsEmpty(typed.TwoByTwo.A));
  EXPECT_EQ(typed.TwoByTwo.D, 5);
}

TEST(ChooseFormat, MultipleRegressionEmptiesTypedMeansOnly) {
  TDocument document;
  document.Table.Summary(0).Mean = 10;
  document.Table.Summary(0).SD = 2;
  document.Table.Summary(0).N = 4;
  document.Table.SetValue(0, 1, 3);
  document.Table.MeanEntryColumn[1] = 0;
  document.Table.Summary(1).Mean = 3;
  document.Table.ColumnChanged.fill(0);
  document.ResultsStale = false;

  document.ChooseFormat(TDataFormat::MultipleRegression);
  EXPECT_TRUE(IsEmpty(document.Table.Summary(0).Mean));
  EXPECT_TRUE(IsEmpty(document.Table.Summary(0).SD));
  EXPECT_EQ(document.Table.Summary(1).Mean, 3);
  EXPECT_EQ(document.Table.Summary(1).N, 1);  // computed from the value at once
  EXPECT_TRUE(document.ResultsStale);
  EXPECT_EQ(document.Family, TTestFamily::Regression);
}

TEST(ChooseFormat, SetsMeanIsSDAndRecomputesRawSummaries) {
  struct TRow {
    TDataFormat Format;
    std::uint8_t MeanIsSD;
    std::int32_t N;  // of a column whose N was typed without a mean
  };
  const TRow rows[] = {
      {TDataFormat::MeanSdN, 1, 5}, {TDataFormat::MeanSemN, 0, 5},    {TDataFormat::Raw, 0, 0},
      {TDataFormat::XY, 0, 5},      {TDataFormat::LargerTable, 0, 5},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Format));
    TDocument document;
    document.MeanIsSD = 0;
    document.Table.Summary(7).N = 5;
    ASSERT_TRUE(document.ChooseFormat(row.Format));
    EXPECT_EQ(document.MeanIsSD, row.MeanIsSD);
    EXPECT_EQ(document.Table.Summary(7).N, row.N);
  }
}

TEST(ChooseFormat, AveragedFormatsNeedAnEmptyTable) {
  TDocument document;
  document.Table.SetValue(3, 2, 1);
  EXPECT_FALSE(document.ChooseFormat(TDataFormat::MeanSemN));
  EXPECT_EQ(document.Format, TDataFormat::Raw);

  // Data typed after choosing an averaged format turns it into raw data on
  // the next visit of step 0.
  TDocument later;
  later.ChooseFormat(TDataFormat::MeanSdN);
  later.Table.SetValue(0, 0, 1);
  TSilentCalcProgress progress;
  later.EnterStep(TStep::DataFormat, progress);
  EXPECT_EQ(later.Format, TDataFormat::Raw);
}

TEST(ChooseFamily, SelectsTheDefaultFormat) {
  TDocument document;
  document.ChooseFamily(TTestFamily::Contingency);
  EXPECT_EQ(document.Format, TDataFormat::TwoByTwo);
  document.ChooseFamily(TTestFamily::Regression);
  EXPECT_EQ(document.Format, TDataFormat::XY);
  document.ChooseFamily(TTestFamily::CompareMeans);
  EXPECT_EQ(document.Format, TDataFormat::Raw);
}

TEST(EnterStep, XYDataEntryKeepsOnlyTheFirstTwoTitles) {
  TDocument document;
  document.ChooseFormat(TDataFormat::XY);
  for (int c = 0; c < 4; ++c) document.Table.Summary(c).Title = "T";
  TSilentCalcProgress progress;
  document.EnterStep(TStep::DataEntry, progress);
  EXPECT_EQ(document.Table.Summary(1).Title, "T");
  EXPECT_EQ(document.Table.Summary(2).Title, "");
  EXPECT_EQ(document.Step, TStep::DataEntry);
}

TEST(EnterStep, ChooseTestChecksTheTTestForAveragedData) {
  TDocument document;
  document.ChooseFormat(TDataFormat::MeanSdN);
  document.Table.Summary(0).N = 5;
  document.Table.Summary(0).Mean = 2;
  document.Choices.OneColumnTest = TOneColumnTest::Wilcoxon;
  document.ResultsStale = false;
  TSilentCalcProgress progress;
  document.EnterStep(TStep::ChooseTest, progress);
  EXPECT_EQ(document.Choices.ColumnCountKind, TColumnCountKind::One);
  EXPECT_EQ(document.Choices.OneColumnTest, TOneColumnTest::OneSampleT);
  EXPECT_TRUE(document.ResultsStale);
}

}  // namespace
}  // namespace ombrel
