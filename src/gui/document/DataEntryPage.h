#pragma once

#include <array>

#include "gui/document/DocumentPage.h"
#include "gui/entry/ClipboardCommands.h"

class QGridLayout;
class QLineEdit;
class QMimeData;
class QStackedWidget;

namespace ombrel {

inline constexpr const char* TwoByTwoPasteMessage =
    "To paste the table, copy two rows of two whole numbers (a block of four cells).";

class TDataSetTitleField;
class TOBIntEdit;
class TGridPopupMenu;
class TSpreadGrid;

// Step 1: the data set title above the raw-data grid, or, for the 2x2
// format, the two-by-two table with its titles and totals.
class TDataEntryPage : public TDocumentPage {
  Q_OBJECT

 public:
  explicit TDataEntryPage(Analyze& form);

  void EnterPage() override;
  void CommitPendingEdit() override;
  bool PasteIntoOpenEditor() override;
  void DocumentReset() override;
  bool RunCommand(TCommand command) override;
  bool SelectionExcluded() const override;

  TSpreadGrid* RawDataGrid;
  TGridPopupMenu* RawDataPopupMenu;
  TDataSetTitleField* DataSetTitle;
  // The 2x2 page.
  TDataSetTitleField* TwoByTwoTitle;
  TOBIntEdit* TwoByTwoA;
  TOBIntEdit* TwoByTwoB;
  TOBIntEdit* TwoByTwoC;
  TOBIntEdit* TwoByTwoD;
  TOBIntEdit* TwoByTwoR1;
  TOBIntEdit* TwoByTwoR2;
  TOBIntEdit* TwoByTwoC1;
  TOBIntEdit* TwoByTwoC2;
  TOBIntEdit* TwoByTwoTotal;
  // Column 1, column 2, row 1, row 2.
  std::array<QLineEdit*, 4> TwoByTwoTitles{};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The data set title over the raw-data grid.
  void CreateGridPage();
  // The 2x2 table: its title, four counts with their totals, and the
  // titles of its rows and columns.
  void CreateTwoByTwoPage();
  void CreateTwoByTwoFields();
  QGridLayout* TwoByTwoCells();
  void LabelTwoByTwoTable();
  // The one local text file or workbook a drag brings that the grid can
  // import; empty for anything else.
  QString DroppedDataFile(const QMimeData* mime) const;
  // The four counts as a block of text, and back.
  void CopyTwoByTwo();
  void PasteTwoByTwo();
  void ShowTwoByTwo();
  void ShowTotals();
  void CountCommitted(TOBIntEdit* field, TReal value);
  QStackedWidget* mStack;
  // The title field the last commit closed, for Paste and Clear.
  TOpenTitleField mOpenTitleField;
  QWidget* mGridPage;
  QWidget* mTwoByTwoPage;
};

}  // namespace ombrel
