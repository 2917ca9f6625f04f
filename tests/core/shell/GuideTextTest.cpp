#include "core/shell/GuideText.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrel {
namespace {

// Captions, paragraph counts and the paragraphs most easily spoilt (doubled
// or trailing blanks, embedded quotes), as the guide's page table gives them.
TEST(GuidePageFor, EveryStepHasItsOwnPage) {
  struct TRow {
    TStep Step;
    std::string_view Caption;
    std::size_t Paragraphs;
    std::size_t Checked;  // index of the paragraph compared in full
    std::string_view Text;
  };
  const TRow rows[] = {
      {TStep::DataFormat, "First", 2, 0,
       "Quillvex Ombrel takes you step by step through statistical analyses. The first step is to tell Ombrel what "
       "kind of data you wish to enter. This choice is important, as it determines which family of tests Ombrel will "
       "offer."},
      {TStep::DataEntry, "Data Table", 2, 0,
       "After closing this Guide window, enter, import or paste your data. Then press the blue right arrow button at "
       "the bottom right of the window to go to the next step."},
      {TStep::ColumnStats, "Summary Statistics", 3, 2,
       "Press the \"Explain the results\" button for definitions of all the statistical terms and a discussion of how "
       "they are used."},
      {TStep::ChooseTest, "Choose Test", 4, 0,
       "Ombrel presents choices based on the  kind of data and the number of groups of data you entered. "},
      {TStep::ChooseTest, "Choose Test", 4, 1,
       "Press \"Help me choose\" (lower left) to learn which alternative is best for your data. "},
      {TStep::Results, "Results", 3, 0,
       "Press the \"Checklist\" button (lower left) to confirm that you picked an appropriate test and to understand "
       "the results. "},
      {TStep::Results, "Results", 3, 1,
       "An Ombrel file contains one data table and the results of one test. Press \"What's next\" to learn how to "
       "manage multiple analyses."},
      {TStep::Graph, "Graph", 1, 0,
       "This is a notebook quality graph, suitable for getting a sense of your data and to spot errors in data entry. "
       "You cannot change or edit the graph, but can print it or copy it to the clipboard."},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string(row.Caption) + " paragraph " + std::to_string(row.Checked));
    const TGuidePage& page = GuidePageFor(row.Step);
    EXPECT_EQ(page.Caption, row.Caption);
    ASSERT_EQ(page.Texts.size(), row.Paragraphs);
    EXPECT_EQ(page.Texts[row.Checked], row.Text);
    EXPECT_EQ(GuidePageIndex(row.Step), static_cast<int>(row.Step));
  }
}

TEST(GuidePageFor, ParagraphsAreWholeSentences) {
  // A paragraph split in the wrong place, or an empty one, shows as a stray
  // line in the window.
  for (const TGuidePage& page : GuidePages()) {
    SCOPED_TRACE(std::string(page.Caption));
    for (const std::string_view text : page.Texts) {
      ASSERT_FALSE(text.empty());
      EXPECT_NE(text.front(), ' ');
      const std::size_t last = text.find_last_not_of(' ');
      ASSERT_NE(last, std::string_view::npos);
      EXPECT_EQ(text[last], '.') << text;
    }
  }
}

TEST(GuidePageFor, LoadingPageShowsTheFirstPage) {
  EXPECT_EQ(GuidePageIndex(TStep::Loading), 0);
  EXPECT_EQ(GuidePageFor(TStep::Loading).Caption, "First");
}

}  // namespace

}  // namespace ombrel
