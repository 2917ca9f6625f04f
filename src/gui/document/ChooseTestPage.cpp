#include "gui/document/ChooseTestPage.h"

#include <initializer_list>

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/analysis/ChooseTest.h"
#include "core/document/Document.h"
#include "gui/common/Asker.h"
#include "gui/common/TabChain.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "core/shell/ShellRules.h"
#include "gui/document/choose/MultiColumnChoices.h"
#include "gui/document/choose/MultipleRegressionChoices.h"
#include "gui/document/choose/OneColumnChoices.h"
#include "gui/document/choose/RegressionChoices.h"
#include "gui/document/choose/TwoByTwoChoices.h"
#include "gui/document/choose/TwoColumnChoices.h"
#include "gui/entry/SelectForms.h"

namespace ombrel {

TChooseTestPage::TChooseTestPage(Analyze& form) : TDocumentPage(form, TStep::ChooseTest) {
  auto* layout = new QVBoxLayout(this);
  mStack = new QStackedWidget;
  layout->addWidget(mStack);

  mNothingToChoose = new QWidget;
  auto* nothing = new QVBoxLayout(mNothingToChoose);
  nothing->addWidget(new QLabel(QStringLiteral("There is nothing to choose for this kind of table.")));
  nothing->addStretch(1);
  mStack->addWidget(mNothingToChoose);

  mRegression = new TRegressionChoices(*this);
  mOneColumn = new TOneColumnChoices(*this);
  mTwoColumns = new TTwoColumnChoices(*this);
  mMultiColumn = new TMultiColumnChoices(*this);
  mTwoByTwo = new TTwoByTwoChoices(*this);
  mMultipleRegression = new TMultipleRegressionChoices(*this);
  for (TChoicesPanel* panel : std::initializer_list<TChoicesPanel*>{mRegression, mOneColumn, mTwoColumns, mMultiColumn,
                                                                    mTwoByTwo, mMultipleRegression})
    mStack->addWidget(panel);
}

TChoicesPanel* TChooseTestPage::Panel(TTestPage page) const {
  switch (page) {
    case TTestPage::OneColumn:
      return mOneColumn;
    case TTestPage::TwoColumns:
      return mTwoColumns;
    case TTestPage::MultiColumn:
      return mMultiColumn;
    case TTestPage::Regression:
      return mRegression;
    case TTestPage::TwoByTwo:
      return mTwoByTwo;
    case TTestPage::MultipleRegression:
      return mMultipleRegression;
    case TTestPage::None:
      break;
  }
  return nullptr;
}

void TChooseTestPage::EnterPage() {
  const TDocument& document = Document();
  mShown = TestPageFor(document.Format, document.Choices.ColumnCountKind);
  ShowPage();
  FocusCheckedRadio(mStack->currentWidget());
}

void TChooseTestPage::ShowPage() {
  mShowing = true;
  TChoicesPanel* panel = Panel(mShown);
  if (panel == nullptr) {
    mStack->setCurrentWidget(mNothingToChoose);
  } else {
    mStack->setCurrentWidget(panel);
    panel->ShowChoices();
    TabToCheckedRadios(panel);
  }
  mShowing = false;
}

void TChooseTestPage::AnswerChanged() {
  NoteDocumentChanged(*this);
  ShowPage();
}

void TChooseTestPage::OpenSelectColumns() {
  TDocument& document = Document();
  TSelectColumnForm dialog(document.Table, Form().Host().Asker(), this);
  if (ExecPageDialog(*this, dialog, HelpTopicSelectColumns) != QDialog::Accepted) return;
  if (mShown == TTestPage::MultiColumn) document.Choices.AllColumns = 0;
  ColumnsChanged();
}

void TChooseTestPage::ColumnsChanged() {
  TDocument& document = Document();
  NoteDocumentChanged(*this);
  document.UpdateChooseTestState();
  KeepOrChooseControlColumn(document.Table, document.Choices);
  EnterPage();
}

}  // namespace ombrel
