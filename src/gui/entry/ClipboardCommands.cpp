#include "gui/entry/ClipboardCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLocale>
#include <QMimeData>

#include "gui/common/Asker.h"
#include "gui/common/BusyGuard.h"
#include "core/entry/ClipboardText.h"
#include "core/entry/SummaryCells.h"
#include "gui/entry/GridModels.h"
#include "gui/entry/IncludeTitlesForm.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

// The clipboard's text as the bytes the core reads; empty when it holds none.
QByteArray ClipboardBytes() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasText()) return {};
  return data->text().toUtf8();
}

}  // namespace

bool ClipboardHasText() { return !ClipboardBytes().isEmpty(); }

namespace {

// Puts copied text on the clipboard and says what did not go well.
// Answers whether the whole text went.
bool PlaceOnClipboard(const TClipboardText& text, TAsker& asker, QWidget* parent) {
  if (text.Status == TCopyStatus::NoMemory) {
    asker.Inform(parent, FromCore(NotEnoughMemoryMessage));
    return false;
  }
  QApplication::clipboard()->setText(FromCore(text.Text));
  if (text.Status == TCopyStatus::Truncated) {
    asker.Inform(parent, FromCore(ClipboardTooLargeMessage));
    return false;
  }
  return true;
}

// Settles which titles a copy writes; false when the user cancelled.
bool AskForTitles(const TSpreadGrid& grid, TAsker& asker, QWidget* parent, TCopyOptions& options) {
  switch (TitleQuestionFor(grid.SelectionKind())) {
    case TTitleQuestion::Dialog: {
      TIncludeTitlesForm form(parent);
      if (asker.Exec(form) != QDialog::Accepted) return false;
      options.ColumnTitles = form.ColumnTitlesCheckBox->isChecked();
      options.RowTitles = form.RowTitlesCheckBox->isChecked();
      return true;
    }
    case TTitleQuestion::ColumnTitles:
    case TTitleQuestion::RowTitles: {
      const bool columns = TitleQuestionFor(grid.SelectionKind()) == TTitleQuestion::ColumnTitles;
      const TAnswer answer =
          asker.AskYesNoCancel(parent, FromCore(columns ? IncludeColumnTitlesQuestion : IncludeRowTitlesQuestion));
      if (answer == TAnswer::Cancel) return false;
      (columns ? options.ColumnTitles : options.RowTitles) = answer == TAnswer::Yes;
      return true;
    }
    case TTitleQuestion::None:
      break;
  }
  return true;
}

// Clear with a column title being edited clears only that title.
void ClearColumnTitle(TSpreadGrid& grid, int column) {
  grid.SetColumnTitle(QString(), column);
  emit grid.TitleChanged(column);
  emit grid.DataChanged();
}

}  // namespace

TOpenTitleField OpenTitleFieldOf(const TSpreadGrid& grid) {
  return TOpenTitleField{grid.TitleEditorColumn(), grid.TitleEditorRow()};
}

TOpenTitleField TakeOpenTitleField(TSpreadGrid& grid, TOpenTitleField& recorded) {
  TOpenTitleField open = OpenTitleFieldOf(grid);
  if (open.Column < 0 && open.Row < 0) open = recorded;
  recorded = TOpenTitleField{};
  grid.CommitEdit();
  grid.CloseTitleEditors();
  return open;
}

char UserDecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  if (point.size() != 1 || point[0].unicode() >= 128 || point[0].unicode() == 0) return '.';
  return static_cast<char>(point[0].unicode());
}

// Data table page.

TCopyResult CopyRawData(TSpreadGrid& grid, TAsker& asker, QWidget* parent) {
  grid.CommitEdit();
  TCopyOptions options;
  options.DecimalSeparator = UserDecimalSeparator();
  if (!AskForTitles(grid, asker, parent, options)) return TCopyResult::Cancelled;
  TClipboardText text;
  {
    const TBusyGuard busy;
    text = SelectionText(grid.Table(), grid.Selection(), options);
  }
  return PlaceOnClipboard(text, asker, parent) ? TCopyResult::Copied : TCopyResult::Incomplete;
}

void CutRawData(TSpreadGrid& grid, TAsker& asker, QWidget* parent) {
  // Values that did not reach the clipboard must not be cleared away.
  if (CopyRawData(grid, asker, parent) == TCopyResult::Copied) ClearRawData(grid, TOpenTitleField{});
}

void PasteRawData(TSpreadGrid& grid, TAsker& asker, QWidget* parent, bool transpose, TOpenTitleField open) {
  grid.CommitEdit();
  const QByteArray bytes = ClipboardBytes();
  if (bytes.isEmpty()) return;
  // Pasting from a title field fills titles: the first line those of the
  // columns from the field's column on, or the first field of each line row
  // titles from the field's row on.
  if (open.Column >= 0)
    grid.SelectColumn(open.Column + FirstDataGridColumn);
  else if (open.Row >= 0)
    grid.SelectRow(open.Row + FirstDataGridRow);
  if (!grid.currentIndex().isValid()) return;

  const TPasteStart start = PasteStartFor(grid.SelectionKind(), grid.CurrentDataRow(), grid.CurrentDataColumn());
  TPasteOptions options;
  options.StartRow = start.Row;
  options.StartColumn = start.Column;
  options.Transpose = transpose;
  options.DecimalSeparator = UserDecimalSeparator();
  TPasteResult result;
  {
    const TBusyGuard busy;
    const auto askErase = [&](int column) {
      // The question gets the ordinary cursor back while it is open.
      QApplication::restoreOverrideCursor();
      const bool yes = asker.AskYesNo(parent, FromCore(MeanDataQuestion(column)), false);
      QApplication::setOverrideCursor(Qt::WaitCursor);
      return yes;
    };
    result = PasteText(grid.Table(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                       options, askErase);
    grid.RefreshAll();
  }
  if (result.Outcome == TPasteOutcome::Declined) return;
  if (result.FieldsStored > 0) emit grid.DataChanged();
  if (result.Clipped) asker.Inform(parent, FromCore(PasteClippedMessage));
}

void ClearRawData(TSpreadGrid& grid, TOpenTitleField open) {
  grid.CommitEdit();
  if (open.Row >= 0) {
    grid.SetRowTitle(QString(), open.Row + FirstDataGridRow);
    emit grid.DataChanged();
    return;
  }
  if (open.Column >= 0) {
    ClearColumnTitle(grid, open.Column);
    return;
  }
  {
    const TBusyGuard busy;
    ClearSelection(grid.Table(), grid.Selection(), grid.WholeTableSelected());
    grid.RefreshAll();
  }
  emit grid.DataChanged();
}

void ToggleExclude(TSpreadGrid& grid) {
  grid.CommitEdit();
  {
    const TBusyGuard busy;
    ToggleExcluded(grid.Table(), grid.Selection(), grid.WholeTableSelected());
    grid.RefreshAll();
  }
  emit grid.DataChanged();
}

bool RawSelectionExcluded(const TSpreadGrid& grid) {
  return SelectionHasExcluded(grid.Table(), grid.Selection(), grid.WholeTableSelected());
}

// Summary page.

bool CopySummary(TSpreadGrid& grid, TAsker& asker, QWidget* parent) {
  grid.CommitEdit();
  TClipboardText text;
  {
    const TBusyGuard busy;
    text = SummaryText(grid.Table(), grid.Selection(), grid.MeanIsSD(), ShowsFullStatistics(grid.DataFormat()));
  }
  return PlaceOnClipboard(text, asker, parent);
}

void CutSummary(TSpreadGrid& grid, TAsker& asker, QWidget* parent) {
  if (CopySummary(grid, asker, parent)) ClearSummary(grid, TOpenTitleField{});
}

void PasteSummary(TSpreadGrid& grid, TAsker& asker, QWidget* parent, TOpenTitleField open) {
  grid.CommitEdit();
  const QByteArray bytes = ClipboardBytes();
  if (bytes.isEmpty()) return;
  const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (open.Column >= 0) {
    if (PasteTitleText(grid.Table(), text, open.Column) == 0) return;
    grid.RefreshTitles();
    emit grid.TitleChanged(open.Column);
    emit grid.DataChanged();
    return;
  }
  // Means are never typed in the multiple-regression format.
  if (grid.DataFormat() == TDataFormat::MultipleRegression) return;
  TPasteResult result;
  {
    const TBusyGuard busy;
    result = PasteSummaryText(grid.Table(), text, grid.CurrentDataColumn(), grid.MeanIsSD());
    grid.RefreshAll();
  }
  if (result.FieldsStored > 0) emit grid.DataChanged();
  if (result.Clipped) asker.Inform(parent, FromCore(PasteClippedMessage));
}

void ClearSummary(TSpreadGrid& grid, TOpenTitleField open) {
  grid.CommitEdit();
  if (open.Column >= 0) {
    ClearColumnTitle(grid, open.Column);
    return;
  }
  {
    const TBusyGuard busy;
    ClearSummaryEntries(grid.Table(), grid.Selection(), grid.MeanIsSD());
    grid.RefreshAll();
  }
  emit grid.DataChanged();
}

}  // namespace ombrel
