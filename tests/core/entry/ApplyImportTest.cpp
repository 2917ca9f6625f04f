#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/entry/CellStore.h"
#include "core/entry/TextImport.h"
#include "support/ImportSamples.h"

// ApplyImport: which rows and columns of a read file reach the table, and
// how.

namespace ombrel {
namespace {

// A target table and a scratch file of rows 1..6 with two columns: (r, 10 r).
TImportedFile SixRows() { return ReadImportString("Dose,Response\n1,10\n2,20\n3,30\n4,40\n5,50\n6,60\n"); }

TEST(ApplyImport, ChoosesRowsColumnsAndFilteredRows) {
  struct TCase {
    const char* Name;
    TImportChoices Choices;
    int StartRow;
    int StartColumn;
    std::vector<TImportedCell> Cells;
  };
  TImportChoices all;
  TImportChoices rows3to5;
  rows3to5.RowRange = true;
  rows3to5.StartRow = 3;
  rows3to5.EndRow = 5;
  TImportChoices column2;
  column2.Columns = TImportColumns::Range;
  column2.StartColumn = 2;
  column2.EndColumn = 2;
  TImportChoices above3;
  above3.FilterRows = true;
  above3.FilterColumn = 1;
  above3.Condition = TFilterCondition::Greater;
  above3.FilterValue = 3;
  TImportChoices filteredRange = above3;
  filteredRange.RowRange = true;
  filteredRange.StartRow = 5;
  filteredRange.EndRow = 6;
  const TCase cases[] = {
      {"everything", all, 0, 0, {{0, 0, 1}, {5, 1, 60}, {6, 0, EmptyValue}}},
      {"rows 3 to 5 leave two rows empty",
       rows3to5,
       0,
       0,
       {{0, 0, EmptyValue}, {1, 1, EmptyValue}, {2, 0, 3}, {4, 1, 50}, {5, 0, EmptyValue}}},
      {"second column into column C from row 3",
       column2,
       2,
       2,
       {{2, 2, 10}, {7, 2, 60}, {2, 3, EmptyValue}, {2, 1, EmptyValue}}},
      {"rows whose dose is above 3", above3, 0, 0, {{0, 0, 4}, {2, 1, 60}, {3, 0, EmptyValue}}},
      {"filter first, then the range",
       filteredRange,
       0,
       0,
       {{0, 0, EmptyValue}, {1, 0, 5}, {2, 1, 60}, {3, 0, EmptyValue}}},
      {"the last column cuts the row", all, 0, 25, {{0, 25, 1}, {5, 25, 6}}},
      {"the last row ends the import", all, 997, 0, {{997, 0, 1}, {999, 1, 30}}},
  };
  const TImportedFile file = SixRows();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable target;
    EXPECT_EQ(ApplyImport(file, c.Choices, target, c.StartRow, c.StartColumn), TImportOutcome::Imported);
    for (const TImportedCell& cell : c.Cells) {
      SCOPED_TRACE(testing::Message() << "row " << cell.Row << " column " << cell.Column);
      const long double got = target.GetValue(cell.Row, cell.Column);
      if (IsEmpty(cell.Value))
        EXPECT_TRUE(IsEmpty(got)) << static_cast<double>(got);
      else
        EXPECT_EQ(static_cast<double>(got), static_cast<double>(cell.Value));
    }
  }
}

TEST(ApplyImport, ClearsExclusionAndCarriesDecimalsAndTitles) {
  const TImportedFile file = ReadImportString("Sheet\nDose,Response\n1.25,10\n*2,20\n");
  TDataTable target;
  StoreCell(target, 0, 1, 99);
  target.SetExcluded(0, 1, true);
  target.MeanEntryColumn[1] = 1;
  target.Summary(5).Title = "kept";
  ASSERT_EQ(ApplyImport(file, TImportChoices{}, target, 0, 1), TImportOutcome::Imported);
  EXPECT_FALSE(target.IsExcluded(0, 1));
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 1)), 1.25);
  EXPECT_EQ(static_cast<double>(target.GetValue(1, 1)), 2.0);
  EXPECT_EQ(target.AutoDecimals[1], 2);
  EXPECT_EQ(target.MeanEntryColumn[1], 0);
  EXPECT_EQ(target.ColumnChanged[2], 1);
  EXPECT_EQ(target.Title(), "Sheet");
  EXPECT_EQ(target.Summary(1).Title, "Dose");
  EXPECT_EQ(target.Summary(2).Title, "Response");
  EXPECT_EQ(target.Summary(0).Title, "");
  EXPECT_EQ(target.Summary(5).Title, "kept");
}

// A header line that became column titles, or an empty one, never replaces
// the data set title.
TEST(ApplyImport, KeepsTheDataSetTitleUnlessTheFileHasOne) {
  struct TCase {
    const char* Name;
    std::string Text;
    const char* Title;
    std::vector<std::string> Titles;
  };
  const TCase cases[] = {
      {"three titles over three columns",
       "Dose,Response,Weight\n1,10.5,70\n2,12.25,71\n",
       "My experiment 12",
       {"Dose", "Response", "Weight"}},
      {"a last column without numbers",
       "Dose,Response,Weight\n1,10.5,\n2,12.25,\n",
       "My experiment 12",
       {"Dose", "Response", "Weight"}},
      {"a last column of markers",
       "Dose;Response;Weight\n1;10,5;NA\n2;12,25;NA\n",
       "My experiment 12",
       {"Dose", "Response", "Weight"}},
      {"an empty first line", "\nDose,Response\n1,2\n", "My experiment 12", {"Dose", "Response"}},
      {"a sheet title", "Rats 2024\nDose,Response\n1,2\n", "Rats 2024", {"Dose", "Response"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable target;
    target.SetTitle("My experiment 12");
    ASSERT_EQ(ApplyImport(ReadImportString(c.Text), TImportChoices{}, target, 0, 0), TImportOutcome::Imported);
    EXPECT_EQ(target.Title(), c.Title);
    for (std::size_t t = 0; t < c.Titles.size(); ++t) EXPECT_EQ(target.Summary(static_cast<int>(t)).Title, c.Titles[t]);
  }
}

TEST(ApplyImport, SpreadsAnIndexedLayoutIntoGroups) {
  const TImportedFile file = ReadImportString("5,10\n6,20\n7,10\n8,\n9,2.125\n");
  TDataTable target;
  StoreCell(target, 40, 7, 1);
  TImportChoices choices;
  choices.Columns = TImportColumns::Indexed;
  choices.ValueColumn = 1;
  choices.GroupColumn = 2;
  ASSERT_EQ(ApplyImport(file, choices, target, 3, 3), TImportOutcome::Imported);
  EXPECT_EQ(target.Summary(0).Title, "10");
  EXPECT_EQ(target.Summary(1).Title, "20");
  EXPECT_EQ(target.Summary(2).Title, "2.13");
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 0)), 5.0);
  EXPECT_EQ(static_cast<double>(target.GetValue(1, 0)), 7.0);
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 1)), 6.0);
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 2)), 9.0);
  // A row without a group is skipped; old values are gone.
  EXPECT_TRUE(target.IsCellEmpty(2, 0));
  EXPECT_TRUE(target.IsCellEmpty(40, 7));
}

TEST(ApplyImport, RefusesEqualValueAndGroupColumns) {
  const TImportedFile file = ReadImportString("5,10\n");
  TDataTable target;
  StoreCell(target, 0, 0, 42);
  TImportChoices choices;
  choices.Columns = TImportColumns::Indexed;
  choices.ValueColumn = 2;
  choices.GroupColumn = 2;
  EXPECT_EQ(ApplyImport(file, choices, target, 0, 0), TImportOutcome::SameIndexColumns);
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 0)), 42.0);
}

TEST(ApplyImport, KeepsTheFirstTwentySixGroups) {
  std::string text;
  for (int g = 1; g <= 30; ++g) text += std::to_string(100 + g) + "," + std::to_string(g) + "\n";
  const TImportedFile file = ReadImportString(text);
  TDataTable target;
  TImportChoices choices;
  choices.Columns = TImportColumns::Indexed;
  ASSERT_EQ(ApplyImport(file, choices, target, 0, 0), TImportOutcome::Imported);
  EXPECT_EQ(target.Summary(25).Title, "26");
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 25)), 126.0);
  EXPECT_TRUE(target.IsRowEmpty(1));
}

TEST(GroupTitle, KeepsAtMostTwoDecimals) {
  struct TCase {
    long double Group;
    const char* Title;
  };
  const TCase cases[] = {{10, "10"}, {2.5L, "2.5"}, {1.234L, "1.23"}, {-0.001L, "0"}, {-3.999L, "-4"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Title);
    EXPECT_EQ(GroupTitle(c.Group), c.Title);
  }
}

}  // namespace
}  // namespace ombrel
