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
  TPageCommand Command;
  bool TGridMenuState::*Enabled;
};

constexpr TPopupItem RawDataItems[] = {
    {"Cu&t", TPageCommand::Cut, &TGridMenuState::Cut},
    {"&Copy", TPageCommand::Copy, &TGridMenuState::Copy},
    {"&Paste", TPageCommand::Paste, &TGridMenuState::Paste},
    {"T&ranspose Paste", TPageCommand::TransposePaste, &TGridMenuState::TransposePaste},
    {"Cl&ear", TPageCommand::Clear, &TGridMenuState::Clear},
    {nullptr, TPageCommand::Clear, nullptr},
    {"&Delete cells...", TPageCommand::DeleteCells, &TGridMenuState::DeleteCells},
    {"&Insert cells...", TPageCommand::InsertCells, &TGridMenuState::InsertCells},
    {nullptr, TPageCommand::Clear, nullptr},
    {"&Transform", TPageCommand::Transform, &TGridMenuState::Transform},
    {"&Exclude", TPageCommand::Exclude, &TGridMenuState::Exclude},
};

constexpr TPopupItem StatDataItems[] = {
    {"Cu&t", TPageCommand::Cut, &TGridMenuState::Cut},
    {"&Copy", TPageCommand::Copy, &TGridMenuState::Copy},
    {"&Paste", TPageCommand::Paste, &TGridMenuState::Paste},
    {nullptr, TPageCommand::Clear, nullptr},
    {"&Delete", TPageCommand::DeleteCells, &TGridMenuState::DeleteCells},
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
      const TPageCommand command = item.Command;
      connect(action, &QAction::triggered, this, [this, command] {
        Analyze& form = mPage.Form();
        if (form.Calculating()) return;
        form.RunCommand(CommandFor(command));
      });
      if (command == TPageCommand::Exclude) action->setCheckable(true);
      mItems.push_back({action, command, item.Enabled});
    }
  };
  if (raw)
    addItems(RawDataItems);
  else
    addItems(StatDataItems);
  connect(this, &QMenu::aboutToShow, this, &TGridPopupMenu::UpdateItems);
}

TPageCommand TGridPopupMenu::CommandFor(TPageCommand command) const {
  if (mGrid.Kind() != TGridKind::RawData) return command;
  if (command != TPageCommand::DeleteCells && command != TPageCommand::InsertCells) return command;
  const bool insert = command == TPageCommand::InsertCells;
  // Whole columns first, so that a whole table counts as whole columns.
  if (mGrid.WholeColumnsSelected()) return insert ? TPageCommand::InsertColumns : TPageCommand::DeleteColumns;
  if (mGrid.WholeRowsSelected()) return insert ? TPageCommand::InsertRows : TPageCommand::DeleteRows;
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
  for (const TItem& item : mItems) item.Action->setEnabled(state.*item.Enabled);
  if (QAction* exclude = Action(TPageCommand::Exclude)) exclude->setChecked(state.ExcludeChecked);
}

QAction* TGridPopupMenu::Action(TPageCommand command) const {
  for (const TItem& item : mItems)
    if (item.Command == command) return item.Action;
  return nullptr;
}

void TGridPopupMenu::ShowAt(const QPoint& viewportPosition) { popup(mGrid.viewport()->mapToGlobal(viewportPosition)); }

}  // namespace ombrel
