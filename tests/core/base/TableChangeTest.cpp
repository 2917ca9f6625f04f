#include <gtest/gtest.h>

#include <functional>

#include "core/base/TableChange.h"

namespace ombrel {
namespace {

// A table with values, an excluded cell, titles and decimals, as an edit
// finds it.
TDataTable FilledTable() {
  TDataTable table;
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 3; ++c) table.SetValue(r, c, static_cast<TReal>(10 * c + r) + 0.25L);
  table.SetExcluded(2, 1, true);
  table.SetTitle("Trial");
  table.SetRowTitle(0, "first");
  table.Summary(0).Title = "Dose";
  table.AutoDecimals[0] = 2;
  return table;
}

struct TEdit {
  const char* Name;
  std::function<void(TDataTable&)> Apply;
};

// Each edit reverted gives the table before it, applied again the table
// after it, field for field.
TEST(TableChangeUndo, RevertAndApplyRestoreTheWholeTable) {
  const TEdit edits[] = {
      {"value", [](TDataTable& t) { t.SetValue(5, 7, 1.5L); }},
      {"erase",
       [](TDataTable& t) {
         t.SetValue(7, 2, EmptyValue);
         t.ShrinkExtentsAfterErase(7, 2);
       }},
      {"exclude", [](TDataTable& t) { t.SetExcluded(4, 0, true); }},
      {"include", [](TDataTable& t) { t.SetExcluded(2, 1, false); }},
      {"row title", [](TDataTable& t) { t.SetRowTitle(999, "last"); }},
      {"title and heading",
       [](TDataTable& t) {
         t.SetTitle("");
         t.SetRowTitleHeading("Animal");
       }},
      {"typed mean",
       [](TDataTable& t) {
         t.MeanEntryColumn[4] = 1;
         t.Summary(4).Mean = 3.5L;
         t.Summary(4).N = 6;
       }},
      {"decimals", [](TDataTable& t) { t.UserDecimals[1] = 4; }},
      {"clear", [](TDataTable& t) { t.Clear(); }},
      {"new document", [](TDataTable& t) { t.ResetForNewDocument(); }},
      {"scratch", [](TDataTable& t) { t.SetAnalysisValue(3, ScratchColumn, 9); }},
  };
  for (const TEdit& edit : edits) {
    SCOPED_TRACE(edit.Name);
    const TDataTable before = FilledTable();
    TDataTable after = before;
    edit.Apply(after);
    ASSERT_FALSE(after == before);
    const TTableChange change = TTableChange::Between(before, after);
    TDataTable table = after;
    change.Revert(table);
    EXPECT_TRUE(table == before);
    change.Apply(table);
    EXPECT_TRUE(table == after);
  }
}

// Undoing an older edit keeps what a later, unrelated one did.
TEST(TableChangeUndo, RevertKeepsFieldsTheEditLeftAlone) {
  TDataTable table = FilledTable();
  const TDataTable before = table;
  table.SetValue(1, 0, 99);
  table.Summary(0).Title = "Weight";
  const TTableChange change = TTableChange::Between(before, table);
  table.Summary(1).Title = "Height";
  table.SetRowTitle(3, "kept");
  change.Revert(table);
  EXPECT_EQ(table.GetValue(1, 0), before.GetValue(1, 0));
  EXPECT_EQ(table.Summary(0).Title, "Dose");
  EXPECT_EQ(table.Summary(1).Title, "Height");
  EXPECT_EQ(table.RowTitle(3), "kept");
}

// Values that come back bring the summary and flags their column had with
// them, also when the summary was computed after the step (a stale summary
// marked fresh would be taken for the values' own), and both ways.
TEST(TableChangeUndo, ValuesComeBackWithTheirColumnsSummary) {
  TDataTable table = FilledTable();
  const TDataTable before = table;
  table.SetValue(7, 2, 5);
  table.ColumnChanged[2] = 1;
  const TDataTable after = table;
  const TTableChange change = TTableChange::Between(before, table);
  // A computation after the step: its summary is fresh.
  table.Summary(2).N += 1;
  table.ColumnChanged[2] = 0;
  table.ColumnSelected[2] = 0;
  change.Revert(table);
  EXPECT_EQ(table, before);
  table.Summary(2).N = 42;
  change.Apply(table);
  EXPECT_EQ(table, after);
}

// A step holds what changed: one cell costs far less than the table.
TEST(TableChangeUndo, MemoryFollowsTheChangedCells) {
  const TDataTable before = FilledTable();
  TDataTable one = before;
  one.SetValue(500, 20, 1);
  TDataTable full = before;
  for (int r = 0; r < MaxRows; ++r)
    for (int c = 0; c < MaxColumns; ++c) full.SetValue(r, c, static_cast<TReal>(r + c));
  const std::size_t oneBytes = TTableChange::Between(before, one).MemoryUsed();
  const std::size_t fullBytes = TTableChange::Between(before, full).MemoryUsed();
  EXPECT_TRUE(TTableChange::Between(before, before).IsEmpty());
  EXPECT_LT(oneBytes * 50, fullBytes);
  EXPECT_GE(fullBytes, std::size_t{MaxRows * MaxColumns} * 2 * sizeof(TReal));
}

}  // namespace
}  // namespace ombrel
