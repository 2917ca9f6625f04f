#include "gui/document/Analyze.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <sstream>

#include "gui/app/Asker.h"
#include "core/document/DocumentFile.h"
#include "gui/document/DocumentHost.h"
#include "core/shell/ShellRules.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/report/NotesForm.h"

namespace ombrel {

namespace {

std::size_t PageIndex(TStep step) { return static_cast<std::size_t>(step); }

// What an untitled document is compared with: a new, empty document.
const std::string& EmptyDocumentImage() {
  static const std::string image = ComparableImage(*std::make_unique<TDocument>());
  return image;
}

}  // namespace

Analyze::Analyze(TDocumentHost& host, std::unique_ptr<TDocument> document, QWidget* parent)
    : QWidget(parent), mHost(host), mDocument(std::move(document)) {
  if (!mDocument) mDocument = std::make_unique<TDocument>();
  // A child created before the pages, so it outlives the panel that shows it.
  mProgress = new TWindowCalcProgress(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  mPages = new QStackedWidget;
  layout->addWidget(mPages);
  for (int i = 0; i <= StepCount; ++i) SetPage(static_cast<TStep>(i), CreateDocumentPage(static_cast<TStep>(i), *this));
  mPages->setCurrentWidget(Page(TStep::Loading));
}

Analyze::~Analyze() {
  // The pages' grids read the document until they are gone.
  delete mPages;
  mPageOfStep.fill(nullptr);
}

bool Analyze::Calculating() const { return mProgress->Calculating(); }

void Analyze::SetUntitled(const QString& name) {
  mName = name;
  mFileName.clear();
  mNeverSaved = true;
  mSavedImage.clear();
  setWindowTitle(mName);
}

void Analyze::SetFileName(const QString& path) {
  mName = path;
  mFileName = path;
  mNeverSaved = false;
  mSavedImage = ComparableImage(*mDocument);
  setWindowTitle(mName);
}

void Analyze::SetRecoveredFileName(const QString& path) {
  SetFileName(path);
  // No image matches an empty one, so it counts as changed until saved.
  mSavedImage.clear();
}

bool Analyze::HasUnsavedChanges() {
  CommitPendingEdit();
  return DiffersFromSaved();
}

bool Analyze::DiffersFromSaved() const {
  // Computing summaries or a report is not a change: only what the user
  // did differs between the images.
  return ComparableImage(*mDocument) != (mNeverSaved ? EmptyDocumentImage() : mSavedImage);
}

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
  // The page shows first, so that a computation's status panel is visible.
  mPages->setCurrentWidget(page);
  mDocument->EnterStep(step, *mProgress);
  page->EnterPage();
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
}

bool Analyze::RunCommand(TPageCommand command) {
  if (TDocumentPage* page = CurrentPage();
      command == TPageCommand::Paste && page != nullptr && page->PasteIntoOpenEditor())
    return true;
  CommitPendingEdit();
  if (TDocumentPage* page = CurrentPage(); page != nullptr && page->RunCommand(command)) return true;
  if (command == TPageCommand::ViewNotes) {
    ViewNotes();
    return true;
  }
  return false;
}

void Analyze::ResetDocument() {
  CommitPendingEdit();
  mDocument->ResetForNewDocument();
  for (TDocumentPage* page : mPageOfStep)
    if (page != nullptr) page->DocumentReset();
}

void Analyze::ViewNotes() {
  ombrel::ViewNotes(*mDocument, mHost.Asker(), this);
  mHost.DocumentStateChanged(*this);
}

void Analyze::closeEvent(QCloseEvent* event) {
  // The data is in use by the computation until it ends.
  if (Calculating()) {
    event->ignore();
    return;
  }
  if (mAskOnClose && HasUnsavedChanges()) {
    const std::string question = SaveChangesQuestion(QFileInfo(mName).fileName().toStdString());
    switch (mHost.Asker().AskYesNoCancel(this, QString::fromUtf8(question.c_str()))) {
      case TAnswer::Cancel:
        event->ignore();
        return;
      case TAnswer::Yes:
        if (!mHost.SaveDocument(*this, false)) {
          event->ignore();
          return;
        }
        break;
      case TAnswer::No:
        break;
    }
  }
  event->accept();
}

}  // namespace ombrel
