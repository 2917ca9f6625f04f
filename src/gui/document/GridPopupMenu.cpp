#include "gui/document/GridPopupMenu.h"

#include <algorithm>

#include "core/shell/ShellRules.h"
#include "gui/document/Analyze.h"
#include "gui/entry/ClipboardCommands.h"
#include "gui/entry/SpreadGrid.h"

namespace ombrel {

namespace {

struct TPopupItem {
  const char* Caption;  // null for a separator
  TCommand Command;
};

constexpr TPopupItem RawDataItems[] = {
    {"Cu&t", TCommand::Cut},
    {"&Copy", TCommand::Copy},
    {"&Paste", TCommand::Paste},
    {"T&ranspose Paste", TCommand::TransposePaste},
    {"Cl&ear", TCommand::Clear},
    {nullptr, TCommand::Count},
    {"&Delete cells...", TCommand::DeleteCells},
    {"&Insert cells...", TCommand::InsertCells},
    {nullptr, TCommand::Count},
    {"&Transform", TCommand::Transform},
    {"&Exclude", TCommand::Exclude},
};

constexpr TPopupItem StatDataItems[] = {
    {"Cu&t", TCommand::Cut},    {"&Copy", TCommand::Copy},          {"&Paste", TCommand::Paste},
    {nullptr, TCommand::Count}, {"&Delete", TCommand::DeleteCells},
};

}  // namespace

TGridPopupMenu::TGridPopupMenu(TDocumentPage& page, TSpreadGrid& grid) : QMenu(&page), mPage(page), mGrid(grid) {
  const bool raw = grid.Kind() == TGridKind::RawData;
  setObjectName(raw ? QStringLiteral("RawDataPopupMenu") : QStringLiteral("StatDataPopupMenu"));
  const auto addItems = [this](const auto& items) {
    for (const TPopupItem& item : items) {
      if (item.Caption == nullptr) {
        addSeparator();
        continue;
      }
      QAction* action = addAction(QString::fromLatin1(item.Caption));
      const TCommand command = item.Command;
      connect(action, &QAction::triggered, this, [this, command] {
        Analyze& form = mPage.Form();
        if (form.Calculating()) return;
        form.RunCommand(CommandFor(command));
      });
      if (command == TCommand::Exclude) action->setCheckable(true);
      mItems.push_back({action, command});
    }
  };
  if (raw)
    addItems(RawDataItems);
  else
    addItems(StatDataItems);
  connect(this, &QMenu::aboutToShow, this, &TGridPopupMenu::UpdateItems);
}

TCommand TGridPopupMenu::CommandFor(TCommand command) const {
  if (mGrid.Kind() != TGridKind::RawData) return command;
  // Delete cells sorts whole rows and columns out itself, whichever menu
  // runs it; the Edit menu's Insert cells always asks, this one does not.
  if (command != TCommand::InsertCells) return command;
  // Whole columns first, so that a whole table counts as whole columns.
  if (mGrid.WholeColumnsSelected()) return TCommand::InsertColumns;
  if (mGrid.WholeRowsSelected()) return TCommand::InsertRows;
  return command;
}

void TGridPopupMenu::UpdateItems() {
  const TDataTable& table = mGrid.Table();
  TGridMenuSituation situation;
  situation.SummaryGrid = mGrid.Kind() == TGridKind::StatData;
  situation.Format = mGrid.DataFormat();
  situation.ClipboardHasText = ClipboardHasText();
  if (situation.SummaryGrid) {
    // Columns with the flag set hold no raw data: their entries are typed.
    const auto typed = [&table](int column) { return table.MeanEntryColumn[static_cast<std::size_t>(column)] != 0; };
    const TGridRect selection = mGrid.Selection();
    for (int gridColumn = selection.Left; gridColumn <= selection.Right; ++gridColumn)
      situation.SelectionHasEntries = situation.SelectionHasEntries || typed(gridColumn - FirstDataGridColumn);
    situation.PasteTakesEntries = typed(std::clamp(mGrid.CurrentDataColumn(), 0, MaxColumns - 1));
  } else {
    situation.SelectionExcluded = RawSelectionExcluded(mGrid);
  }
  const TGridMenuState state = GridMenuStateFor(situation);
  for (const TItem& item : mItems) item.Action->setEnabled(state.Enabled[item.Command]);
  if (QAction* exclude = Action(TCommand::Exclude)) exclude->setChecked(state.ExcludeChecked);
}

QAction* TGridPopupMenu::Action(TCommand command) const {
  for (const TItem& item : mItems)
    if (item.Command == command) return item.Action;
  return nullptr;
}

void TGridPopupMenu::ShowAt(const QPoint& viewportPosition) { popup(mGrid.viewport()->mapToGlobal(viewportPosition)); }

}  // namespace ombrel
