#include "gui/document/Analyze.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QScrollArea>
#include <QStackedWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <sstream>
#include <utility>

#include "gui/common/Asker.h"
#include "gui/common/TabChain.h"
#include "core/document/DocumentFile.h"
#include "core/document/DataChange.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "core/shell/ShellRules.h"
#include "gui/document/UndoHistory.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/report/NotesForm.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

std::size_t PageIndex(TStep step) { return static_cast<std::size_t>(step); }

// What an untitled document is compared with: a new, empty document.
const std::string& EmptyDocumentImage() {
  static const std::string image = ComparableImage(*std::make_unique<TDocument>());
  return image;
}

// The image of the document with `data` in place of its own data state:
// compared with the image saved with `data`, it shows what changed beside
// the data (choices, notes), derived state computed the same way on both.
std::string ImageWithData(const TDocument& document, const TDataState& data) {
  auto copy = std::make_unique<TDocument>(document);
  copy->Table = data.Table;
  copy->TwoByTwo = data.TwoByTwo;
  copy->Format = data.Format;
  copy->Family = data.Family;
  copy->MeanIsSD = data.MeanIsSD;
  return ComparableImage(*copy);
}

// The name of a command's undo step ("Undo Paste"); commands that change no
// data leave no step, so their names never show.
QString ActionName(TCommand command, bool selectionExcluded) {
  switch (command) {
    case TCommand::Cut:
      return QStringLiteral("Cut");
    case TCommand::Paste:
      return QStringLiteral("Paste");
    case TCommand::TransposePaste:
      return QStringLiteral("Transpose Paste");
    case TCommand::Clear:
      return QStringLiteral("Clear");
    case TCommand::DeleteCells:
    case TCommand::DeleteRows:
    case TCommand::DeleteColumns:
      return QStringLiteral("Delete");
    case TCommand::InsertCells:
    case TCommand::InsertRows:
    case TCommand::InsertColumns:
      return QStringLiteral("Insert");
    case TCommand::Transform:
      return QStringLiteral("Transform");
    case TCommand::CombineVariables:
      return QStringLiteral("Combine Variables");
    case TCommand::NumberFormat:
      return QStringLiteral("Number Format");
    case TCommand::Exclude:
      return selectionExcluded ? QStringLiteral("Include") : QStringLiteral("Exclude");
    case TCommand::Import:
      return QStringLiteral("Import");
    default:
      return QStringLiteral("Edit");
  }
}

}  // namespace

Analyze::Analyze(TDocumentHost& host, std::unique_ptr<TDocument> document, QWidget* parent)
    : QWidget(parent), mHost(host), mDocument(std::move(document)) {
  if (!mDocument) mDocument = std::make_unique<TDocument>();
  // A child created before the pages, so it outlives the panel that shows it.
  mProgress = new TWindowCalcProgress(this);
  mHistory = new TUndoHistory(*this);
  connect(&UndoStack(), &QUndoStack::cleanChanged, this, [this] { UpdateModifiedMark(); });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  mPages = new QStackedWidget;
  // Several documents side by side each get less room than a page needs.
  auto* scroller = new QScrollArea;
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setWidgetResizable(true);
  // Only a frame: the keyboard goes to the page's controls, which the area
  // scrolls into view as they take it.
  scroller->setFocusPolicy(Qt::NoFocus);
  scroller->setAccessibleName(QStringLiteral("Step page"));
  scroller->setWidget(mPages);
  layout->addWidget(scroller);
  for (int i = 0; i <= StepCount; ++i) SetPage(static_cast<TStep>(i), CreateDocumentPage(static_cast<TStep>(i), *this));
  mPages->setCurrentWidget(Page(TStep::Loading));
}

Analyze::~Analyze() {
  // The stack reports its clean state while it is deleted.
  disconnect(&UndoStack(), nullptr, this, nullptr);
  // The pages' grids read the document until they are gone.
  delete mPages;
  mPageOfStep.fill(nullptr);
}

QSize Analyze::PagesMinimumSize() const { return mPages->minimumSizeHint(); }

bool Analyze::Calculating() const { return mProgress->Calculating(); }

void Analyze::SetUntitled(const QString& name) {
  mName = name;
  mFileName.clear();
  mNeverSaved = true;
  mSavedImage = EmptyDocumentImage();
  mSavedData = std::make_unique<TDataState>(CaptureDataState(*std::make_unique<TDocument>()));
  // A copy or a part of a file holds data that was never saved as it is.
  if (ComparableImage(*mDocument) != EmptyDocumentImage()) UndoStack().resetClean();
  setWindowTitle(mName + QStringLiteral("[*]"));
  UpdateModifiedMark();
}

void Analyze::SetFileName(const QString& path) {
  mName = path;
  mFileName = path;
  mNeverSaved = false;
  FinishTyping();
  // What was saved or read is the reference, however it came about.
  mHistory->Sync();
  mSavedImage = ComparableImage(*mDocument);
  mSavedData = std::make_unique<TDataState>(CaptureDataState(*mDocument));
  UndoStack().setClean();
  setWindowTitle(mName + QStringLiteral("[*]"));
  UpdateModifiedMark();
}

void Analyze::SetRecoveredFileName(const QString& path) {
  SetFileName(path);
  // No image matches an empty one, so it counts as changed until saved.
  mSavedImage.clear();
}

bool Analyze::HasUnsavedChanges() {
  CommitPendingEdit();
  return IsModified();
}

bool Analyze::IsModified() const {
  // The data by the undo stack (a data change that reached no step still
  // counts); the rest by the images, where computing summaries or a report
  // is no change: only what the user did differs.
  if (mTypingPending || !UndoStack().isClean() || mHistory->HasUnrecordedChange()) return true;
  return mSavedData && ImageWithData(*mDocument, *mSavedData) != mSavedImage;
}

void Analyze::UpdateModifiedMark() {
  if (windowTitle().contains(QStringLiteral("[*]"))) setWindowModified(IsModified());
}

QUndoStack& Analyze::UndoStack() const { return mHistory->Stack(); }

bool Analyze::IsEmptyDocument() const {
  return mDocument->Table.Title().empty() && !mDocument->Table.HasData() && mDocument->TwoByTwo.AllCountsEmpty() &&
         mDocument->Notes.empty();
}

TDocumentPage* Analyze::Page(TStep step) const {
  const std::size_t index = PageIndex(step);
  return index < mPageOfStep.size() ? mPageOfStep[index] : nullptr;
}

void Analyze::SetPage(TStep step, TDocumentPage* page) {
  const std::size_t index = PageIndex(step);
  if (index >= mPageOfStep.size() || page == nullptr) return;
  TDocumentPage* old = mPageOfStep[index];
  const bool wasCurrent = old != nullptr && mPages->currentWidget() == old;
  mPages->insertWidget(static_cast<int>(index), page);
  mPageOfStep[index] = page;
  if (old != nullptr) {
    mPages->removeWidget(old);
    old->deleteLater();
  }
  if (wasCurrent) mPages->setCurrentWidget(page);
}

void Analyze::GoToStep(TStep step) {
  TDocumentPage* page = Page(step);
  if (page == nullptr) return;
  CommitPendingEdit();
  const bool hadKeyboard = isAncestorOf(QApplication::focusWidget());
  // The page shows first, so that a computation's status panel is visible.
  mPages->setCurrentWidget(page);
  // The effect-size option is the host's; a report made without it is out
  // of date once it changed.
  if (mDocument->EffectSizes != mHost.EffectSizes()) {
    mDocument->EffectSizes = mHost.EffectSizes();
    mDocument->MarkChanged();
  }
  mDocument->EnterStep(step, *mProgress);
  page->EnterPage();
  // The keyboard stays in the document: on the page's first control unless
  // the page put it somewhere itself (the grid, the checked choice).
  if (hadKeyboard && !page->isAncestorOf(QApplication::focusWidget())) FocusChainEnd(page, true);
  // What entering a step derives from the data (summaries, the report) is
  // no edit of the user's; within a command it is part of the command.
  if (mCommandDepth == 0) mHistory->Sync();
  emit StepChanged(step);
}

void Analyze::ShowLoadingPage() {
  mDocument->Step = TStep::Loading;
  mPages->setCurrentWidget(Page(TStep::Loading));
}

void Analyze::ShowStepPage(TStep step) {
  if (TDocumentPage* page = Page(step)) mPages->setCurrentWidget(page);
}

void Analyze::SetNextStepHintVisible(bool visible) {
  mNextStepHintVisible = visible;
  // The step-0 page may be showing already.
  if (TDocumentPage* page = Page(TStep::DataFormat); page != nullptr && Step() == TStep::DataFormat) page->EnterPage();
}

void Analyze::CommitPendingEdit() {
  if (TDocumentPage* page = CurrentPage()) page->CommitPendingEdit();
  if (mCommandDepth == 0) FinishTyping();
}

bool Analyze::RunCommand(TCommand command) {
  if (TDocumentPage* page = CurrentPage(); command == TCommand::Paste && page != nullptr && page->PasteIntoOpenEditor())
    return true;
  CommitPendingEdit();
  const TDocumentPage* current = CurrentPage();
  const TDataCommand change(*this, ActionName(command, current != nullptr && current->SelectionExcluded()));
  if (TDocumentPage* page = CurrentPage(); page != nullptr && page->RunCommand(command)) return true;
  if (command == TCommand::ViewNotes) {
    ViewNotes();
    return true;
  }
  return false;
}

void Analyze::ResetDocument() {
  CommitPendingEdit();
  const TDataCommand change(*this, QStringLiteral("Clear All"));
  mDocument->ResetForNewDocument();
  for (TDocumentPage* page : mPageOfStep)
    if (page != nullptr) page->DocumentReset();
  NoteDocumentChanged();
}

void Analyze::NotifyHost() {
  UpdateModifiedMark();
  mHost.DocumentStateChanged(*this);
}

bool Analyze::MarkChangedInsideCommand() {
  mDocument->MarkChanged();
  // Inside a command the command's end records the step and tells the host.
  if (mCommandDepth == 0) return false;
  mHostNotePending = true;
  return true;
}

void Analyze::NoteDocumentChanged() {
  if (MarkChangedInsideCommand()) return;
  FinishTyping();
  mHistory->Sync();
  NotifyHost();
}

void Analyze::NoteDataChanged(const QString& action) {
  if (MarkChangedInsideCommand()) return;
  mTypingPending = false;
  mHistory->Record(action);
  NotifyHost();
}

void Analyze::NoteDataTyped() {
  if (MarkChangedInsideCommand()) return;
  mTypingPending = true;
  NotifyHost();
}

void Analyze::FinishTyping() {
  if (!std::exchange(mTypingPending, false)) return;
  if (mHistory->Record(TypingAction())) NotifyHost();
}

Analyze::TDataCommand::TDataCommand(Analyze& form, const QString& action) : mForm(form), mAction(action) {
  if (mForm.mCommandDepth++ > 0) return;
  mForm.FinishTyping();
  // Whatever changed unnoted before the command is not part of it.
  mForm.mHistory->Sync();
}

Analyze::TDataCommand::~TDataCommand() {
  if (--mForm.mCommandDepth > 0) return;
  const bool noted = std::exchange(mForm.mHostNotePending, false);
  if (mForm.mHistory->Record(mAction) || noted) mForm.NotifyHost();
}

// The host hears of the change once the stack has moved, so that the menus
// name the next step.
void Analyze::Undo() {
  CommitPendingEdit();
  if (!UndoStack().canUndo()) return;
  UndoStack().undo();
  NotifyHost();
}

void Analyze::Redo() {
  CommitPendingEdit();
  if (!UndoStack().canRedo()) return;
  UndoStack().redo();
  NotifyHost();
}

void Analyze::DataRestored() {
  const TStep step = Step();
  if (step != TStep::Loading) GoToStep(StepReachable(mDocument->Format, step) ? step : TStep::DataFormat);
}

void Analyze::ViewNotes() {
  ombrel::ViewNotes(*mDocument, mHost.Asker(), this);
  mHost.DocumentStateChanged(*this);
}

bool Analyze::AskToSaveChanges() {
  if (!HasUnsavedChanges()) return true;
  const std::string question = SaveChangesQuestion(QFileInfo(mName).fileName().toStdString());
  switch (mHost.Asker().AskYesNoCancel(this, FromCore(question))) {
    case TAnswer::Cancel:
      return false;
    case TAnswer::Yes:
      return mHost.SaveDocument(*this, false);
    case TAnswer::No:
      break;
  }
  return true;
}

bool Analyze::focusNextPrevChild(bool next) {
  if (TabLeaves(this, QApplication::focusWidget(), next) && mHost.FocusPastDocument(*this, next)) return true;
  return QWidget::focusNextPrevChild(next);
}

void Analyze::closeEvent(QCloseEvent* event) {
  // The data is in use by the computation until it ends.
  if (Calculating()) {
    event->ignore();
    return;
  }
  if (mAskOnClose && !AskToSaveChanges()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace ombrel
