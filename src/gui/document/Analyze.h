#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "core/document/Document.h"
#include "gui/document/DocumentPage.h"

class QStackedWidget;
class QUndoStack;

namespace ombrel {

class TDocumentHost;
struct TDataState;
class TUndoHistory;
class TWindowCalcProgress;

// A document window: one document shown on seven pages, one per step plus
// the empty loading page, of which the current step's is visible. The
// pages come from CreateDocumentPage and can be replaced with SetPage.
//
// The window also keeps the document's name (its path once saved or
// opened, else an untitled name) and what was last saved, so that closing
// it can ask about unsaved changes, and the undo history of its data: every
// data change becomes one undo step (TUndoHistory), named after the action
// ("Paste", "Typing"), and the data counts as saved while the history is at
// its clean state.
class Analyze : public QWidget {
  Q_OBJECT

 public:
  Analyze(TDocumentHost& host, std::unique_ptr<TDocument> document, QWidget* parent = nullptr);
  ~Analyze() override;

  TDocumentHost& Host() const { return mHost; }
  TDocument& Document() const { return *mDocument; }
  TWindowCalcProgress& Progress() const { return *mProgress; }
  bool Calculating() const;

  // The name in the caption: the file's path, or the untitled name.
  QString Name() const { return mName; }
  // The file's path; empty until saved or opened.
  QString FileName() const { return mFileName; }
  bool NeverSaved() const { return mNeverSaved; }
  // An untitled document: no file, never saved, nothing to save yet.
  void SetUntitled(const QString& name);
  // The document now matches the file at `path` (saved or just read).
  void SetFileName(const QString& path);
  // A document recovered after a crash: it belongs to the file at `path`
  // but differs from it until saved.
  void SetRecoveredFileName(const QString& path);

  // Whether closing would lose anything: the document differs from what
  // was last saved or read (an untitled one, from an empty document): its
  // data by the undo history's clean state, the rest (choices, notes) by
  // comparison. Commits the pending edit first.
  bool HasUnsavedChanges();
  // The same, leaving the pending edit alone (for work done while typing).
  bool IsModified() const;
  // Nothing worth keeping: no title, no values, no 2x2 counts, no notes.
  bool IsEmptyDocument() const;
  // Asks "Save changes to NAME?" when closing would lose anything, and
  // saves on Yes; false when the user cancelled or nothing was saved.
  bool AskToSaveChanges();
  // The next close does not ask about unsaved changes.
  void CloseWithoutAsking() { mAskOnClose = false; }

  // Makes `step` visible, runs the document's page-entry action for it and
  // then the page's own. The main window checks reachability and calls this.
  void GoToStep(TStep step);
  // Shows the empty loading page; no page-entry action runs meanwhile.
  void ShowLoadingPage();
  // Shows a step's page without entering the step (the graph shows the
  // results page, with its status panel, while it computes the report).
  void ShowStepPage(TStep step);
  TStep Step() const { return mDocument->Step; }

  // The page of a step (Loading included).
  TDocumentPage* Page(TStep step) const;
  TDocumentPage* CurrentPage() const { return Page(mDocument->Step); }
  // The room the pages need to show whole; given less (a tiled or cascaded
  // window), the document scrolls.
  QSize PagesMinimumSize() const;
  // Replaces a step's page; the window takes ownership and deletes the old one.
  void SetPage(TStep step, TDocumentPage* page);

  // Commits the pending edit of the visible page.
  void CommitPendingEdit();
  // Runs a menu command on the visible page, or this window's default for
  // it. False when nothing handled it.
  bool RunCommand(TCommand command);
  // Clear All: the document and every page reset (one undo step).
  void ResetDocument();

  // Every change of the document ends in one of these: the results become
  // stale and the host hears of it (DocumentStateChanged). A change of
  // choices, notes or graph settings is not on the undo stack.
  void NoteDocumentChanged();
  // A finished data edit outside a command (a typed cell, a chosen data
  // format): one undo step named `action`.
  void NoteDataChanged(const QString& action);
  // A data edit still being typed (a title field, keystroke by keystroke):
  // becomes one "Typing" step when the field is left or a command runs.
  void NoteDataTyped();
  // Records the edit being typed now (NoteDataTyped), if any.
  void FinishTyping();

  // The changes of one command become one undo step named `action`; a data
  // change noted meanwhile is reported to the host when the scope ends.
  class TDataCommand {
   public:
    TDataCommand(Analyze& form, const QString& action);
    ~TDataCommand();
    TDataCommand(const TDataCommand&) = delete;
    TDataCommand& operator=(const TDataCommand&) = delete;

   private:
    Analyze& mForm;
    QString mAction;
  };

  TUndoHistory& History() const { return *mHistory; }
  QUndoStack& UndoStack() const;
  // Edit > Undo and Redo: the pending edit is committed first.
  void Undo();
  void Redo();
  // An undo or redo changed the data: the visible step is entered again
  // (Undo and Redo then tell the host).
  void DataRestored();

  // The step-0 page shows the "Next step" arrow and label unless the
  // document was made by the New dialog.
  bool NextStepHintVisible() const { return mNextStepHintVisible; }
  void SetNextStepHintVisible(bool visible);

 signals:
  // The visible step changed.
  void StepChanged(TStep step);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Tab leaves the document window at its ends, for the host's controls.
  bool focusNextPrevChild(bool next) override;

 private:
  void ViewNotes();
  // The sub-window's title shows the modified state.
  void UpdateModifiedMark();
  void NotifyHost();
  // Marks the results stale; true inside a command, whose end takes over.
  bool MarkChangedInsideCommand();

  TDocumentHost& mHost;
  std::unique_ptr<TDocument> mDocument;
  TWindowCalcProgress* mProgress;
  TUndoHistory* mHistory;
  QStackedWidget* mPages;
  std::array<TDocumentPage*, StepCount + 1> mPageOfStep{};
  QString mName;
  QString mFileName;
  bool mNeverSaved = true;
  // The comparable image and the data state when last saved or read.
  std::string mSavedImage;
  std::unique_ptr<TDataState> mSavedData;
  int mCommandDepth = 0;
  bool mHostNotePending = false;
  bool mTypingPending = false;
  bool mAskOnClose = true;
  bool mNextStepHintVisible = true;
};

// The page a new document window shows for a step (TStep::Loading for the
// empty loading page).
TDocumentPage* CreateDocumentPage(TStep step, Analyze& form);

}  // namespace ombrel
