#pragma once

#include "core/document/Steps.h"
#include "gui/document/DocumentPage.h"

class QStackedWidget;

namespace ombrel {

class TChoicesPanel;
class TMultiColumnChoices;
class TMultipleRegressionChoices;
class TOneColumnChoices;
class TRegressionChoices;
class TTwoByTwoChoices;
class TTwoColumnChoices;

// Step 3: shows the panel of questions that fits the data format and the
// number of selected columns. The panels write the answers into the
// document's TTestChoices; the page shows them again after every answer and
// keeps the rules that concern more than one panel (choosing columns).
class TChooseTestPage : public TDocumentPage {
  Q_OBJECT

 public:
  explicit TChooseTestPage(Analyze& form);

  void EnterPage() override;
  TTestPage ShownTestPage() const { return mShown; }

  TOneColumnChoices* OneColumn() const { return mOneColumn; }
  TTwoColumnChoices* TwoColumns() const { return mTwoColumns; }
  TMultiColumnChoices* MultiColumn() const { return mMultiColumn; }
  TRegressionChoices* Regression() const { return mRegression; }
  TTwoByTwoChoices* TwoByTwo() const { return mTwoByTwo; }
  TMultipleRegressionChoices* MultipleRegression() const { return mMultipleRegression; }

  // What the panels call.
  // True while the answers are being shown, when controls store nothing.
  bool Showing() const { return mShowing; }
  // An answer changed: results stale, answers shown again.
  void AnswerChanged();
  // Opens the dialog that selects the columns to analyze.
  void OpenSelectColumns();
  // The selected columns changed: the page that fits them is shown.
  void ColumnsChanged();

 private:
  TChoicesPanel* Panel(TTestPage page) const;
  void ShowPage();

  QStackedWidget* mStack;
  QWidget* mNothingToChoose;
  TOneColumnChoices* mOneColumn;
  TTwoColumnChoices* mTwoColumns;
  TMultiColumnChoices* mMultiColumn;
  TRegressionChoices* mRegression;
  TTwoByTwoChoices* mTwoByTwo;
  TMultipleRegressionChoices* mMultipleRegression;
  TTestPage mShown = TTestPage::None;
  bool mShowing = false;
};

}  // namespace ombrel
