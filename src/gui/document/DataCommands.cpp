#include "gui/document/DataCommands.h"

#include "core/entry/CellStore.h"
#include "core/shell/ShellRules.h"
#include "gui/common/Asker.h"
#include "gui/common/BusyGuard.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "gui/entry/CombineVarForm.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TransformForm.h"
#include "gui/common/CoreText.h"

namespace ombrel {

void RunTransformCommand(TDataEntryPage& page) {
  TSpreadGrid& grid = *page.RawDataGrid;
  TAsker& asker = page.Form().Host().Asker();
  grid.CommitEdit();
  TTransformForm dialog(asker, &page);
  if (ExecPageDialog(page, dialog, HelpTopicTransform) != QDialog::Accepted) return;
  const TTransform transform = dialog.SelectedTransform();
  const TReal k = dialog.K();
  const TDataRange range = DataRangeOf(grid.Selection());
  TDataTable& table = page.Document().Table;

  int impossible = 0;
  {
    const TBusyGuard busy(&page.Form());
    impossible = CountImpossibleValues(table, range, transform, k);
  }
  if (impossible > 0 && !asker.AskYesNo(&page, FromCore(ImpossibleValuesQuestion(impossible)), true)) return;

  TTransformOutcome outcome;
  {
    const TBusyGuard busy(&page.Form());
    outcome = ApplyTransform(table, range, transform, k);
    grid.RefreshAll();
  }
  if (outcome.Transformed > 0) NoteDocumentChanged(page);
}

void RunCombineCommand(TDataEntryPage& page) {
  TSpreadGrid& grid = *page.RawDataGrid;
  TAsker& asker = page.Form().Host().Asker();
  TDataTable& table = page.Document().Table;
  if (!table.HasData()) {
    asker.Inform(&page, QString::fromLatin1(CombineNoDataMessage));
    return;
  }
  grid.CommitEdit();
  const int target = CombineTargetColumn(table, grid.CurrentDataColumn());
  if (target < 0) {
    asker.Inform(&page, QString::fromLatin1(CombineNoColumnMessage));
    return;
  }
  TCombineVarForm dialog(table, target, &page);
  if (ExecPageDialog(page, dialog, HelpTopicCombineVariables) != QDialog::Accepted) return;
  const int first = dialog.FirstColumn();
  const int second = dialog.SecondColumn();
  if (first < 0 || second < 0) return;
  // The target may hold typed means; raw values must not replace them
  // without the question typing asks.
  const auto askErase = [&](int column) { return asker.AskYesNo(&page, FromCore(MeanDataQuestion(column)), false); };
  if (HoldsMeanData(table, target) && !AllowRawValue(table, target, askErase)) return;
  {
    const TBusyGuard busy(&page.Form());
    // With no row to combine the target stays a column without raw values.
    if (CombineColumns(table, first, second, dialog.Operator(), target) == 0) MarkColumnIfEmpty(table, target);
    grid.RefreshAll();
  }
  emit grid.TitleChanged(target);
  NoteDocumentChanged(page);
}

}  // namespace ombrel
