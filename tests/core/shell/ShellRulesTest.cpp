#include <gtest/gtest.h>

#include "core/shell/ShellRules.h"

namespace ombrel {
namespace {

TEST(UntitledName, TakesTheSmallestFreeNumberUpToTen) {
  EXPECT_EQ(UntitledName({}), "DATASET1.OMD");
  EXPECT_EQ(UntitledName({"DATASET1.OMD", "DATASET3.OMD"}), "DATASET2.OMD");
  // A saved file of the same base name elsewhere does not take the number.
  EXPECT_EQ(UntitledName({"/home/ann/DATASET1.OMD"}), "DATASET1.OMD");
  std::vector<std::string> all;
  for (int n = 1; n <= 10; ++n) all.push_back("DATASET" + std::to_string(n) + ".OMD");
  EXPECT_EQ(UntitledName(all), "");
  all.erase(all.begin() + 6);
  EXPECT_EQ(UntitledName(all), "DATASET7.OMD");
}

// One row of the table of commands by step: which of the step-dependent
// commands are on.
struct TStepRow {
  const char* Name;
  TStep Step;
  TDataFormat Format;
  bool Import;  // also Paste (but on the 2x2 page), Select Column, Select Row, Insert, Transform, Combine, Number
                // Format, Transpose Paste
  bool Exclude;
  bool Export;
  bool CopyPrint;
  bool CutClearDelete;
  bool SelectAll;
  bool AppendToNotes;
};

TEST(MenuStateFor, FollowsTheStepTable) {
  using enum TCommand;
  const TStepRow rows[] = {
      {"step 0", TStep::DataFormat, TDataFormat::Raw, false, false, false, false, false, false, false},
      {"step 3", TStep::ChooseTest, TDataFormat::Raw, false, false, false, false, false, false, false},
      {"step 1 grid", TStep::DataEntry, TDataFormat::Raw, true, true, true, true, true, true, false},
      {"step 1 grid, XY", TStep::DataEntry, TDataFormat::XY, true, true, true, true, true, true, false},
      {"step 1 grid, larger table", TStep::DataEntry, TDataFormat::LargerTable, true, false, true, true, true, true,
       false},
      {"step 1, 2x2 page", TStep::DataEntry, TDataFormat::TwoByTwo, false, false, true, false, false, false, false},
      {"step 2", TStep::ColumnStats, TDataFormat::Raw, false, false, true, true, true, false, false},
      {"step 4", TStep::Results, TDataFormat::Raw, false, false, true, true, false, true, true},
      {"step 5", TStep::Graph, TDataFormat::Raw, false, false, true, true, false, false, false},
  };
  for (const TStepRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TShellSituation situation{true, row.Step, row.Format, 1};
    situation.ClipboardHasText = true;
    const TMenuState state = MenuStateFor(situation);
    const TCommandFlags& on = state.Enabled;
    for (const TCommand command :
         {Import, SelectColumn, SelectRow, InsertCells, Transform, CombineVariables, NumberFormat, TransposePaste})
      EXPECT_EQ(on[command], row.Import);
    // The 2x2 page copies and pastes its block of counts.
    const bool twoByTwoPage = row.Step == TStep::DataEntry && row.Format == TDataFormat::TwoByTwo;
    EXPECT_EQ(on[Paste], row.Import || twoByTwoPage);
    EXPECT_EQ(on[Exclude], row.Exclude);
    EXPECT_EQ(on[Export], row.Export);
    EXPECT_EQ(on[Copy], row.CopyPrint || twoByTwoPage);
    EXPECT_EQ(on[Print], row.CopyPrint);
    EXPECT_EQ(on[Cut], row.CutClearDelete);
    EXPECT_EQ(on[Clear], row.CutClearDelete);
    EXPECT_EQ(on[DeleteCells], row.CutClearDelete);
    EXPECT_EQ(on[SelectAll], row.SelectAll);
    EXPECT_EQ(on[AppendToNotes], row.AppendToNotes);
    // Commands that only need a document.
    EXPECT_TRUE(on[Save] && on[SaveAs] && on[Close] && on[ClearAll] && on[ViewNotes]);
    EXPECT_TRUE(on[NextStep] && on[PreviousStep] && on[Duplicate]);
    EXPECT_EQ(state.PressedStep, static_cast<int>(row.Step));
    EXPECT_EQ(state.BackButton, row.Step != TStep::DataFormat);
    EXPECT_EQ(state.ForwardButton, row.Step != TStep::Graph);
    EXPECT_EQ(state.ClearAllButton, row.Step == TStep::DataEntry);
  }
}

TEST(MenuStateFor, WithoutDocumentsLeavesNothingToActOn) {
  using enum TCommand;
  TShellSituation situation;
  situation.ClipboardHasText = true;
  const TMenuState state = MenuStateFor(situation);
  const TCommandFlags& on = state.Enabled;
  for (const TCommand command :
       {Print, Save,      SaveAs,  Export, Close,    NextStep, PreviousStep, ViewNotes,  Cut,  Copy,
        Paste, SelectAll, Cascade, Tile,   ClearAll, Import,   Duplicate,    NextWindow, Undo, Redo})
    EXPECT_FALSE(on[command]);
  EXPECT_FALSE(state.BackButton || state.ForwardButton || state.ClearAllButton);
  for (int i = 0; i < StepCount; ++i) EXPECT_FALSE(on[StepCommand(i)]);
  EXPECT_EQ(state.PressedStep, -1);
  // What needs no document stays.
  for (const TCommand command :
       {New, Open, PrinterSetup, Exit, HelpContents, HelpGuide, About, TextLarger, TextSmaller, TextNormal})
    EXPECT_TRUE(on[command]);
}

TEST(MenuStateFor, PasteNeedsTheClipboardAndUndoAStep) {
  using enum TCommand;
  for (const TDataFormat format : {TDataFormat::Raw, TDataFormat::TwoByTwo}) {
    SCOPED_TRACE(static_cast<int>(format));
    TShellSituation situation{true, TStep::DataEntry, format, 1};
    const TMenuState empty = MenuStateFor(situation);
    EXPECT_FALSE(empty.Enabled[Paste] || empty.Enabled[TransposePaste]);
    EXPECT_FALSE(empty.Enabled[Undo] || empty.Enabled[Redo]);
    situation.ClipboardHasText = true;
    situation.CanUndo = true;
    const TMenuState full = MenuStateFor(situation);
    EXPECT_TRUE(full.Enabled[Paste]);
    EXPECT_TRUE(full.Enabled[Undo]);
    EXPECT_FALSE(full.Enabled[Redo]);
  }
}

TEST(MenuStateFor, ArrangingNeedsTwoDocumentsAndStepsFollowReachability) {
  using enum TCommand;
  const auto steps = [](const TMenuState& state) {
    std::array<bool, StepCount> on{};
    for (int i = 0; i < StepCount; ++i) on[static_cast<std::size_t>(i)] = state.Enabled[StepCommand(i)];
    return on;
  };
  const TMenuState one = MenuStateFor({true, TStep::DataFormat, TDataFormat::MeanSdN, 1});
  EXPECT_FALSE(one.Enabled[Cascade] || one.Enabled[Tile] || one.Enabled[NextWindow]);
  EXPECT_TRUE(one.Enabled[Duplicate]);
  // Averaged data: no data-entry step.
  const std::array<bool, StepCount> averaged{true, false, true, true, true, true};
  EXPECT_EQ(steps(one), averaged);

  const TMenuState two = MenuStateFor({true, TStep::DataEntry, TDataFormat::LargerTable, 2});
  EXPECT_TRUE(two.Enabled[Cascade] && two.Enabled[Tile] && two.Enabled[NextWindow]);
  const std::array<bool, StepCount> larger{true, true, false, false, true, true};
  EXPECT_EQ(steps(two), larger);

  // While a file loads no step is pressed and no page command is on.
  const TMenuState loading = MenuStateFor({true, TStep::Loading, TDataFormat::Raw, 1});
  EXPECT_EQ(loading.PressedStep, -1);
  EXPECT_FALSE(loading.Enabled[Copy] || loading.Enabled[Export] || loading.BackButton || loading.ForwardButton);
}

// The enabled items of a context menu, in menu order, "Exclude*" when
// checked.
std::string EnabledItems(const TGridMenuState& state) {
  const std::pair<TCommand, const char*> items[] = {{TCommand::Cut, "Cut"},
                                                    {TCommand::Copy, "Copy"},
                                                    {TCommand::Paste, "Paste"},
                                                    {TCommand::TransposePaste, "Transpose"},
                                                    {TCommand::Clear, "Clear"},
                                                    {TCommand::DeleteCells, "Delete"},
                                                    {TCommand::InsertCells, "Insert"},
                                                    {TCommand::Transform, "Transform"},
                                                    {TCommand::Exclude, "Exclude"}};
  std::string text;
  for (const auto& [command, name] : items)
    if (state.Enabled[command]) text += (text.empty() ? "" : " ") + std::string(name);
  if (state.ExcludeChecked) text += "*";
  return text;
}

TEST(GridMenuStateFor, FollowsClipboardSelectionAndFormat) {
  struct TRow {
    const char* Name;
    TGridMenuSituation Situation;
    const char* Enabled;
  };
  const TRow rows[] = {
      {"raw, empty clipboard",
       {false, TDataFormat::Raw, false, false, false, false},
       "Cut Copy Clear Delete Insert Transform Exclude"},
      {"raw, text on the clipboard",
       {false, TDataFormat::XY, true, false, false, false},
       "Cut Copy Paste Transpose Clear Delete Insert Transform Exclude"},
      {"raw, excluded selection",
       {false, TDataFormat::Raw, false, true, false, false},
       "Cut Copy Clear Delete Insert Transform Exclude*"},
      {"larger table has no exclusions",
       {false, TDataFormat::LargerTable, true, true, false, false},
       "Cut Copy Paste Transpose Clear Delete Insert Transform"},
      {"summary of raw columns", {true, TDataFormat::Raw, true, false, false, false}, "Copy"},
      {"summary with typed entries", {true, TDataFormat::MeanSdN, true, false, true, true}, "Cut Copy Paste Delete"},
      {"summary, entries but empty clipboard",
       {true, TDataFormat::MeanSemN, false, false, true, true},
       "Cut Copy Delete"},
      {"summary, paste would start in a raw column",
       {true, TDataFormat::MeanSdN, true, false, true, false},
       "Cut Copy Delete"},
      {"multiple regression types no summaries",
       {true, TDataFormat::MultipleRegression, true, false, true, true},
       "Copy"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_EQ(EnabledItems(GridMenuStateFor(row.Situation)), row.Enabled);
  }
}

TEST(PrintCaption, FollowsTheStep) {
  const std::pair<TStep, const char*> rows[] = {
      {TStep::DataFormat, "Print"}, {TStep::DataEntry, "Print Data"},  {TStep::ColumnStats, "Print Stats"},
      {TStep::ChooseTest, "Print"}, {TStep::Results, "Print Results"}, {TStep::Graph, "Print Graph"},
  };
  for (const auto& [step, caption] : rows) {
    SCOPED_TRACE(static_cast<int>(step));
    EXPECT_EQ(PrintCaption(step), caption);
  }
}

TEST(HelpButtonsFor, ChangeWithTheStep) {
  struct TRow {
    TStep Step;
    TDataFormat Format;
    std::int32_t ColumnCountKind;  // as the document file stores it
    const char* FirstCaption;
    std::int32_t FirstTopic;
    const char* SecondCaption;
    std::int32_t SecondTopic;
  };
  const TRow rows[] = {
      {TStep::DataFormat, TDataFormat::Raw, 0, "Explain my choices", 695, "Ombrel Guide", 0},
      {TStep::DataEntry, TDataFormat::Raw, 0, "Arranging data", 528, "Importing data", 21},
      {TStep::ColumnStats, TDataFormat::Raw, 0, "Explain the results", 515, "Entering mean + SD", 471},
      {TStep::ChooseTest, TDataFormat::Raw, 3, "Help me choose", 134, "Selecting columns", 529},
      {TStep::ChooseTest, TDataFormat::Raw, 2, "Help me choose", 88, "Selecting columns", 529},
      {TStep::ChooseTest, TDataFormat::MeanSdN, 1, "Help me choose", 73, "Selecting columns", 529},
      {TStep::ChooseTest, TDataFormat::TwoByTwo, 0, "Help me choose", 161, "Selecting columns", 529},
      {TStep::ChooseTest, TDataFormat::XY, 0, "Help me choose", 182, "Selecting columns", 529},
      {TStep::ChooseTest, TDataFormat::MultipleRegression, 0, "Help me choose", 463, "Selecting columns", 529},
      {TStep::Results, TDataFormat::Raw, 0, "Checklist", 93, "What's next?", 504},
      {TStep::Graph, TDataFormat::Raw, 0, "Quillvex Vexal", 302, "What's next?", 504},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::to_string(static_cast<int>(row.Step)) + " " + row.FirstCaption);
    // 93 stands for the topic an unpaired t test report chose.
    const auto buttons = HelpButtonsFor(row.Step, row.Format, static_cast<TColumnCountKind>(row.ColumnCountKind), 93);
    EXPECT_EQ(buttons[0].Caption, row.FirstCaption);
    EXPECT_EQ(buttons[0].Topic, row.FirstTopic);
    EXPECT_EQ(buttons[1].Caption, row.SecondCaption);
    EXPECT_EQ(buttons[1].Topic, row.SecondTopic);
    EXPECT_EQ(buttons[1].Action, row.Step == TStep::DataFormat ? THelpAction::Guide : THelpAction::Topic);
  }
}

TEST(WindowSizeFromProfile, ZeroIsNoSizeAndLargeSizesAreCut) {
  struct TRow {
    std::int32_t Width, Height;
    int ExpectedWidth, ExpectedHeight;
  };
  const TRow rows[] = {
      {0, 0, 0, 0},         {0, 700, 0, 0},         {900, 0, 0, 0},        {-5, 300, 0, 0},
      {700, 500, 700, 500}, {3000, 500, 1024, 500}, {700, 2000, 700, 768},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::to_string(row.Width) + " x " + std::to_string(row.Height));
    const TWindowSize size = WindowSizeFromProfile(row.Width, row.Height, 1024, 768);
    EXPECT_EQ(size.Width, row.ExpectedWidth);
    EXPECT_EQ(size.Height, row.ExpectedHeight);
  }
}

TEST(FirstWindowSize, TwoThirdsOfTheScreenAtLeastThePagesAtMostTheScreen) {
  struct TRow {
    const char* Name;
    int MinimumWidth, MinimumHeight;
    int ExpectedWidth, ExpectedHeight;
  };
  // A 1400 x 1000 screen: two thirds are 933 x 666 (rounded down).
  const TRow rows[] = {
      {"small pages", 300, 200, 933, 666},
      {"wide pages", 1100, 200, 1100, 666},
      {"tall pages", 300, 800, 933, 800},
      {"pages beyond the screen", 1600, 1200, 1400, 1000},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const TWindowSize size = FirstWindowSize(1400, 1000, row.MinimumWidth, row.MinimumHeight);
    EXPECT_EQ(size.Width, row.ExpectedWidth);
    EXPECT_EQ(size.Height, row.ExpectedHeight);
  }
}

TEST(ShellMessages, ComposeTheirTexts) {
  EXPECT_EQ(DuplicateWriteErrorMessage(28), "Error #28 writing to OMBREL$$.TMP.");
  EXPECT_EQ(SaveChangesQuestion("DATASET1.OMD"), "Save changes to DATASET1.OMD?");
  EXPECT_EQ(StepAfterOpening(TDataFormat::MeanSemN), TStep::ColumnStats);
  EXPECT_EQ(StepAfterOpening(TDataFormat::XY), TStep::DataEntry);
}

}  // namespace
}  // namespace ombrel
