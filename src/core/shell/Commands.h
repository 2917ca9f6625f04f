#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

#include "core/document/Steps.h"

namespace ombrel {

// Every command of the menus, the toolbar and the grids' context menus, and
// what a document page is asked to run. A new command is one enumerator
// here, one action in the main window and one rule in MenuStateFor.
enum class TCommand {
  // File.
  New,
  Open,
  Close,
  Save,
  SaveAs,
  PrinterSetup,
  Print,
  Import,
  Export,
  Exit,
  // Edit.
  Undo,
  Redo,
  Cut,
  Copy,
  Paste,
  TransposePaste,
  Clear,
  SelectColumn,
  SelectRow,
  SelectAll,
  DeleteCells,
  InsertCells,
  AppendToNotes,
  ClearAll,
  ViewNotes,
  // The data grid's context menu on whole rows and columns: no dialog.
  DeleteRows,
  DeleteColumns,
  InsertRows,
  InsertColumns,
  // Data.
  Transform,
  CombineVariables,
  NumberFormat,
  Exclude,
  // Steps: Step0 to Step5 go to the step of that number.
  NextStep,
  PreviousStep,
  Step0,
  Step1,
  Step2,
  Step3,
  Step4,
  Step5,
  // Window.
  Cascade,
  Tile,
  Duplicate,
  NextWindow,
  // Help.
  HelpContents,
  HelpSearch,
  HelpWhatOmbrelDoes,
  HelpTutorial,
  HelpCommands,
  HelpNumbrant,
  HelpVexal,
  HelpTechnicalSupport,
  HelpHowToCite,
  HelpGuide,
  About,
  // View > Text size.
  TextLarger,
  TextSmaller,
  TextNormal,
  Count,
};

inline constexpr std::size_t CommandCount = static_cast<std::size_t>(TCommand::Count);

// The command that goes to step `step` (0 to 5).
constexpr TCommand StepCommand(int step) { return static_cast<TCommand>(static_cast<int>(TCommand::Step0) + step); }

// One flag per command (enabled, checked), indexed by the command.
class TCommandFlags {
 public:
  bool operator[](TCommand command) const { return mFlags[static_cast<std::size_t>(command)]; }
  bool& operator[](TCommand command) { return mFlags[static_cast<std::size_t>(command)]; }
  // Sets the flag of each of `commands`.
  void Set(std::initializer_list<TCommand> commands, bool on) {
    for (const TCommand command : commands) (*this)[command] = on;
  }
  bool operator==(const TCommandFlags&) const = default;

 private:
  std::array<bool, CommandCount> mFlags{};
};

}  // namespace ombrel
