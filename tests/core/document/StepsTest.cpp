#include <gtest/gtest.h>

#include <array>

#include "core/document/Steps.h"

namespace ombrel {
namespace {

std::string Name(TDataFormat format) { return "format code " + std::to_string(static_cast<int>(format)); }

TEST(StepReachable, FollowsTheTableOfFormats) {
  struct TRow {
    TDataFormat Format;
    std::array<bool, StepCount> Reachable;
  };
  const TRow rows[] = {
      {TDataFormat::XY, {true, true, false, true, true, true}},
      {TDataFormat::Raw, {true, true, true, true, true, true}},
      {TDataFormat::MeanSdN, {true, false, true, true, true, true}},
      {TDataFormat::MeanSemN, {true, false, true, true, true, true}},
      {TDataFormat::TwoByTwo, {true, true, false, true, true, true}},
      {TDataFormat::LargerTable, {true, true, false, false, true, true}},
      {TDataFormat::MultipleRegression, {true, true, true, true, true, true}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(Name(row.Format));
    EXPECT_EQ(ReachableSteps(row.Format), row.Reachable);
    EXPECT_FALSE(StepReachable(row.Format, TStep::Loading));
  }
}

TEST(NextStep, SkipsUnreachableStepsBothWays) {
  struct TRow {
    TDataFormat Format;
    TStep From;
    TStep Next;
    TStep Previous;
  };
  const TRow rows[] = {
      // Averaged data has no data-entry step.
      {TDataFormat::MeanSdN, TStep::DataFormat, TStep::ColumnStats, TStep::DataFormat},
      {TDataFormat::MeanSemN, TStep::ColumnStats, TStep::ChooseTest, TStep::DataFormat},
      // A larger table has neither summaries nor test choices.
      {TDataFormat::LargerTable, TStep::DataEntry, TStep::Results, TStep::DataFormat},
      {TDataFormat::LargerTable, TStep::Results, TStep::Graph, TStep::DataEntry},
      {TDataFormat::XY, TStep::DataEntry, TStep::ChooseTest, TStep::DataFormat},
      {TDataFormat::XY, TStep::ChooseTest, TStep::Results, TStep::DataEntry},
      {TDataFormat::TwoByTwo, TStep::Results, TStep::Graph, TStep::ChooseTest},
      {TDataFormat::Raw, TStep::DataFormat, TStep::DataEntry, TStep::DataFormat},
      {TDataFormat::Raw, TStep::ColumnStats, TStep::ChooseTest, TStep::DataEntry},
      // The ends stay where they are.
      {TDataFormat::Raw, TStep::Graph, TStep::Graph, TStep::Results},
      {TDataFormat::MultipleRegression, TStep::DataFormat, TStep::DataEntry, TStep::DataFormat},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(Name(row.Format) + ", step " + std::to_string(static_cast<int>(row.From)));
    EXPECT_EQ(NextStep(row.Format, row.From), row.Next);
    EXPECT_EQ(PreviousStep(row.Format, row.From), row.Previous);
  }
}

TEST(TestPageFor, ChoosesThePageByFormatAndColumnCount) {
  struct TRow {
    TDataFormat Format;
    std::int32_t Kind;  // ColumnCountKind as the document file stores it
    TTestPage Page;
    std::int32_t HelpTopic;
  };
  const TRow rows[] = {
      {TDataFormat::Raw, 0, TTestPage::MultiColumn, 134},
      {TDataFormat::Raw, 1, TTestPage::OneColumn, 73},
      {TDataFormat::MeanSdN, 2, TTestPage::TwoColumns, 88},
      {TDataFormat::MeanSemN, 3, TTestPage::MultiColumn, 134},
      {TDataFormat::XY, 1, TTestPage::Regression, 182},
      {TDataFormat::TwoByTwo, 0, TTestPage::TwoByTwo, 161},
      {TDataFormat::MultipleRegression, 2, TTestPage::MultipleRegression, 463},
      {TDataFormat::LargerTable, 2, TTestPage::None, -1},
      // A number outside the kinds, read from a file, shows the multi-column page.
      {TDataFormat::Raw, 7, TTestPage::MultiColumn, 134},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(Name(row.Format) + ", kind " + std::to_string(row.Kind));
    EXPECT_EQ(TestPageFor(row.Format, static_cast<TColumnCountKind>(row.Kind)), row.Page);
    EXPECT_EQ(TestPageHelpTopic(row.Page), row.HelpTopic);
  }
}

}  // namespace
}  // namespace ombrel
