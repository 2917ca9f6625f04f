#pragma once

#include <QWidget>

#include "core/document/Steps.h"
#include "core/shell/Commands.h"

class QPrinter;

namespace ombrel {

class Analyze;
class TDocument;

// One page of a document window: the page of one step (or the empty loading
// page). The document window creates one per step through
// CreateDocumentPage and shows the page of the current step; a page reads
// and writes the document it is given and reaches the main window only
// through Form().Host().
class TDocumentPage : public QWidget {
  Q_OBJECT

 public:
  TDocumentPage(Analyze& form, TStep step, QWidget* parent = nullptr);

  Analyze& Form() const { return mForm; }
  TDocument& Document() const;
  TStep Step() const { return mStep; }

  // The page became the visible one, after the document's page-entry action
  // ran (summaries, choose-test state, report): show the document's state.
  virtual void EnterPage() {}
  // Stores what is being typed (a grid cell, a title field) into the
  // document. Every command calls this before it reads or changes the data.
  virtual void CommitPendingEdit() {}
  // Paste while a cell editor is open: true when the clipboard's single
  // field went into the editor's text. A block drops the edit (false), and
  // the ordinary Paste then fills the cells from the edited one.
  virtual bool PasteIntoOpenEditor() { return false; }
  // Clear All reset the document: drop any state kept from it (grids back to
  // their first cell).
  virtual void DocumentReset() {}
  // A menu command for this page; false when the page does not handle it
  // (the document window then runs its default, if it has one).
  virtual bool RunCommand(TCommand command);
  // Whether the cells selected in the grid are excluded (checks the Exclude
  // menu item).
  virtual bool SelectionExcluded() const { return false; }
  // Prints the page. The default prints what the step shows from the
  // document: the data, the summaries or the report as text tables, any
  // other page as a picture of the page.
  virtual void Print(QPrinter& printer);

 protected:
  // Shift+F10 and Shift+F9 in a choice control go to the next and the
  // previous step. Pages that filter events of their own chain to this.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Installs the step-key filter on every choice control of the page.
  void WatchChoiceControls();

  Analyze& mForm;
  TStep mStep;
};

}  // namespace ombrel
