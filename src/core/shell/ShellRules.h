#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/TestChoices.h"
#include "core/document/Steps.h"
#include "core/shell/Commands.h"

// The rules of the main window that do not need a window: document names,
// which commands are available on which step, the help buttons, the print
// caption and the window size taken from the settings.

namespace ombrel {

inline constexpr int MaxDocuments = 10;

inline constexpr std::string_view NoDocumentsMessage =
    "No Ombrel documents are open. Pull down the File menu and choose New or Open.";
inline constexpr std::string_view TooManyDocumentsMessage =
    "You can open up to 10 files (data sets) at one time. Close one and try again.";
inline constexpr std::string_view FileNotFoundMessage = "File not found.";
inline constexpr std::string_view ConfirmClearAllMessage = "Confirm that you want to delete all your data?";
inline constexpr std::string_view DuplicateFileName = "OMBREL$$.TMP";
inline constexpr std::string_view CouldNotWriteDuplicateMessage = "Could not write to OMBREL$$.TMP.";

// "Error #" + number + " writing to OMBREL$$.TMP."
std::string DuplicateWriteErrorMessage(int errorNumber);
// "Save changes to " + name + "?"
std::string SaveChangesQuestion(std::string_view name);

// "DATASET" + n + ".OMD" with the smallest n from 1 to 10 that none of the
// open documents' names uses; empty when all ten are taken.
std::string UntitledName(const std::vector<std::string>& openNames);

// The step a document opened from a file is shown on: the summary step for
// averaged data, the data-entry step for every other format.
TStep StepAfterOpening(TDataFormat format);

// What the main window knows when it enables its commands.
struct TShellSituation {
  bool HasDocument = false;
  TStep Step = TStep::DataFormat;  // of the active document
  TDataFormat Format = TDataFormat::Raw;
  int DocumentCount = 0;
  bool ClipboardHasText = false;
  // The active document's undo history has a step to undo, to redo.
  bool CanUndo = false;
  bool CanRedo = false;
};

// The enabled state of every command, and of the buttons that are no
// command's: the six step buttons follow the step commands (the pressed one,
// -1 for none), then back, forward and the toolbar's delete-all button,
// which Clear All's rule does not cover.
struct TMenuState {
  TCommandFlags Enabled;
  int PressedStep = -1;
  bool BackButton = false, ForwardButton = false, ClearAllButton = false;
};

// The state for a situation: with no document only New, Open, Printer
// Setup, Exit and help remain; with one, the Edit and Data items follow the
// active step (the data-entry step of a 2x2 table shows its counts, not the
// grid), Paste needs text on the clipboard, Undo and Redo a step, the step
// items and buttons follow reachability, the arrange items need two
// documents.
TMenuState MenuStateFor(const TShellSituation& situation);

// What the grids' context menus know when they open.
struct TGridMenuSituation {
  bool SummaryGrid = false;  // StatDataGrid, else RawDataGrid
  TDataFormat Format = TDataFormat::Raw;
  bool ClipboardHasText = false;
  // RawDataGrid: the selection holds an excluded value.
  bool SelectionExcluded = false;
  // StatDataGrid: a selected column holds no raw data, so its summary
  // entries are typed ones that Cut and Delete can clear.
  bool SelectionHasEntries = false;
  // StatDataGrid: the current column, where a paste starts, takes entries.
  bool PasteTakesEntries = false;
};

// The items of the two context menus, by the command each runs (Delete and
// Insert by DeleteCells and InsertCells); the summary grid's has only Cut,
// Copy, Paste and Delete.
struct TGridMenuState {
  TCommandFlags Enabled;
  bool ExcludeChecked = false;
};

// The enabled items: Paste needs text on the clipboard; Exclude is off for
// the larger contingency table and checked when the selection holds an
// excluded value. On the summary grid, typed entries exist only in columns
// without raw data and never in the multiple-regression format.
TGridMenuState GridMenuStateFor(const TGridMenuSituation& situation);

// The File menu's print caption: "Print" on steps 0 and 3, else "Print
// Data", "Print Stats", "Print Results", "Print Graph".
std::string_view PrintCaption(TStep step);

// What a help button does.
enum class THelpAction {
  Topic,  // opens Topic; on the results step 0 means the report chose none
  Guide,  // shows the guide window
};

struct THelpButton {
  std::string_view Caption;
  std::string_view Hint;
  THelpAction Action = THelpAction::Topic;
  std::int32_t Topic = 0;
};

// The two help buttons of a step. Step 3's first button opens the topic of
// the test page (TestPageHelpTopic); step 4's opens `reportTopic`, the one
// the last report chose.
std::array<THelpButton, 2> HelpButtonsFor(TStep step, TDataFormat format, TColumnCountKind columnCountKind,
                                          std::int32_t reportTopic);

// The help topics of the Help menu.
inline constexpr std::int32_t HelpTopicWhatOmbrelDoes = 509;
inline constexpr std::int32_t HelpTopicTutorial = 496;
inline constexpr std::int32_t HelpTopicCommands = 505;
inline constexpr std::int32_t HelpTopicNumbrant = 238;
inline constexpr std::int32_t HelpTopicVexal = 302;
inline constexpr std::int32_t HelpTopicTechnicalSupport = 229;
inline constexpr std::int32_t HelpTopicHowToCite = 507;

// The help topics of the data dialogs' Help buttons; Insert and Delete
// share one.
inline constexpr std::int32_t HelpTopicSelectColumns = 529;
inline constexpr std::int32_t HelpTopicTransform = 540;
inline constexpr std::int32_t HelpTopicCombineVariables = 541;
inline constexpr std::int32_t HelpTopicInsertDelete = 542;
inline constexpr std::int32_t HelpTopicNumberFormat = 543;
inline constexpr std::int32_t HelpTopicSelectPairs = 544;

struct TWindowSize {
  int Width = 0;
  int Height = 0;
};

// The main window's size from the settings: both values positive give that
// size, each cut to the screen; anything else is no saved size ({0, 0}), and
// the window takes FirstWindowSize.
TWindowSize WindowSizeFromProfile(std::int32_t width, std::int32_t height, int screenWidth, int screenHeight);

// The size of a window with no saved size: two thirds of the screen each
// way, at least the smallest size that shows every page whole, and never
// more than the screen.
TWindowSize FirstWindowSize(int screenWidth, int screenHeight, int minimumWidth, int minimumHeight);

}  // namespace ombrel
