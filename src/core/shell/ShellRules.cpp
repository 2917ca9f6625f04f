#include "core/shell/ShellRules.h"

#include <algorithm>

namespace ombrel {

std::string DuplicateWriteErrorMessage(int errorNumber) {
  return "Error #" + std::to_string(errorNumber) + " writing to " + std::string(DuplicateFileName) + ".";
}

std::string SaveChangesQuestion(std::string_view name) { return "Save changes to " + std::string(name) + "?"; }

std::string UntitledName(const std::vector<std::string>& openNames) {
  for (int n = 1; n <= MaxDocuments; ++n) {
    std::string name = "DATASET" + std::to_string(n) + ".OMD";
    if (std::find(openNames.begin(), openNames.end(), name) == openNames.end()) return name;
  }
  return {};
}

TStep StepAfterOpening(TDataFormat format) { return IsAveragedFormat(format) ? TStep::ColumnStats : TStep::DataEntry; }

TMenuState MenuStateFor(const TShellSituation& situation) {
  using enum TCommand;
  TMenuState state;
  TCommandFlags& on = state.Enabled;
  on.Set({New, Open, PrinterSetup, Exit, HelpContents, HelpSearch, HelpWhatOmbrelDoes, HelpTutorial, HelpCommands,
          HelpNumbrant, HelpVexal, HelpTechnicalSupport, HelpHowToCite, HelpGuide, About},
         true);
  on.Set({TextLarger, TextSmaller, TextNormal}, true);
  if (!situation.HasDocument) return state;

  on.Set({Close, Save, SaveAs, ClearAll, ViewNotes, NextStep, PreviousStep, Duplicate}, true);
  on.Set({Cascade, Tile, NextWindow}, situation.DocumentCount >= 2);
  on[Undo] = situation.CanUndo;
  on[Redo] = situation.CanRedo;
  const std::array<bool, StepCount> reachable = ReachableSteps(situation.Format);
  for (int step = 0; step < StepCount; ++step) on[StepCommand(step)] = reachable[static_cast<std::size_t>(step)];

  const TStep step = situation.Step;
  if (step == TStep::Loading) return state;
  state.PressedStep = static_cast<int>(step);
  state.BackButton = step != TStep::DataFormat;
  state.ForwardButton = step != TStep::Graph;
  state.ClearAllButton = step == TStep::DataEntry;

  const bool gridPage = step == TStep::DataEntry && situation.Format != TDataFormat::TwoByTwo;
  on.Set({Import, SelectColumn, SelectRow, InsertCells, Transform, CombineVariables, NumberFormat}, gridPage);
  on[Exclude] = gridPage && situation.Format != TDataFormat::LargerTable;
  on[Export] = step != TStep::DataFormat && step != TStep::ChooseTest;
  // The 2x2 page copies and pastes its four counts as one block.
  const bool twoByTwoPage = step == TStep::DataEntry && situation.Format == TDataFormat::TwoByTwo;
  const bool shown = gridPage || step == TStep::ColumnStats || step == TStep::Results || step == TStep::Graph;
  on[Print] = shown;
  on[Copy] = shown || twoByTwoPage;
  on[Paste] = (gridPage || twoByTwoPage) && situation.ClipboardHasText;
  on[TransposePaste] = gridPage && situation.ClipboardHasText;
  on.Set({Cut, Clear, DeleteCells}, gridPage || step == TStep::ColumnStats);
  on[SelectAll] = gridPage || step == TStep::Results;
  on[AppendToNotes] = step == TStep::Results;
  return state;
}

TGridMenuState GridMenuStateFor(const TGridMenuSituation& situation) {
  using enum TCommand;
  TGridMenuState state;
  TCommandFlags& on = state.Enabled;
  on[Copy] = true;
  if (situation.SummaryGrid) {
    const bool typed = situation.Format != TDataFormat::MultipleRegression;
    on.Set({Cut, DeleteCells}, typed && situation.SelectionHasEntries);
    on[Paste] = typed && situation.ClipboardHasText && situation.PasteTakesEntries;
    return state;
  }
  on.Set({Cut, Clear, DeleteCells, InsertCells, Transform}, true);
  on.Set({Paste, TransposePaste}, situation.ClipboardHasText);
  on[Exclude] = situation.Format != TDataFormat::LargerTable;
  state.ExcludeChecked = on[Exclude] && situation.SelectionExcluded;
  return state;
}

std::string_view PrintCaption(TStep step) {
  switch (step) {
    case TStep::DataEntry:
      return "Print Data";
    case TStep::ColumnStats:
      return "Print Stats";
    case TStep::Results:
      return "Print Results";
    case TStep::Graph:
      return "Print Graph";
    case TStep::DataFormat:
    case TStep::ChooseTest:
    case TStep::Loading:
      break;
  }
  return "Print";
}

std::array<THelpButton, 2> HelpButtonsFor(TStep step, TDataFormat format, TColumnCountKind columnCountKind,
                                          std::int32_t reportTopic) {
  constexpr THelpButton WhatsNext{"What's next?", "Things you might want to try now.", THelpAction::Topic, 504};
  switch (step) {
    case TStep::DataEntry:
      return {{{"Arranging data", "How to organize data on this table", THelpAction::Topic, 528},
               {"Importing data", "How to bring in data from another program", THelpAction::Topic, 21}}};
    case TStep::ColumnStats:
      return {{{"Explain the results", "Define and interpret statistical terms.", THelpAction::Topic, 515},
               {"Entering mean + SD", "How to enter averaged data", THelpAction::Topic, 471}}};
    case TStep::ChooseTest:
      return {{{"Help me choose", "Help choose the appropriate statistical test", THelpAction::Topic,
                TestPageHelpTopic(TestPageFor(format, columnCountKind))},
               {"Selecting columns", "How to select columns to analyze", THelpAction::Topic, 529}}};
    case TStep::Results:
      return {{{"Checklist", "Did you pick the right test? What do the results mean?", THelpAction::Topic, reportTopic},
               WhatsNext}};
    case TStep::Graph:
      return {{{"Quillvex Vexal", "Learn about Quillvex's graphics program, Vexal", THelpAction::Topic, HelpTopicVexal},
               WhatsNext}};
    case TStep::DataFormat:
    case TStep::Loading:
      break;
  }
  return {{{"Explain my choices", "Choosing an appropriate data format", THelpAction::Topic, 695},
           {"Ombrel Guide", "Show step-by-step instructions.", THelpAction::Guide, 0}}};
}

TWindowSize WindowSizeFromProfile(std::int32_t width, std::int32_t height, int screenWidth, int screenHeight) {
  // A negative size from a damaged file is no size at all.
  if (width <= 0 || height <= 0) return {0, 0};
  return {std::min(width, screenWidth), std::min(height, screenHeight)};
}

TWindowSize FirstWindowSize(int screenWidth, int screenHeight, int minimumWidth, int minimumHeight) {
  const auto side = [](int screen, int minimum) { return std::min(std::max(screen * 2 / 3, minimum), screen); };
  return {side(screenWidth, minimumWidth), side(screenHeight, minimumHeight)};
}

}  // namespace ombrel
