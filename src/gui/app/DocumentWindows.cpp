#include "gui/app/DocumentWindows.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>

#include "core/entry/ImportData.h"
#include "gui/common/Asker.h"
#include "gui/common/BusyGuard.h"
#include "gui/common/Icons.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/ImportExportCommands.h"
#include "gui/document/DocumentHost.h"
#include "gui/common/CoreText.h"
#include "gui/common/LocalPath.h"

namespace ombrel {

namespace {

const QString DocumentFilters = QStringLiteral("Ombrel data file (*.OMD *.omd);;Any file (*)");

}  // namespace

TDocumentWindows::TDocumentWindows(QMdiArea& area, TDocumentHost& host, TDocumentShell& shell)
    : QObject(&area), mArea(area), mHost(host), mShell(shell) {}

QString TDocumentWindows::ComparablePath(const QString& path) {
  const QFileInfo info(path);
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QList<Analyze*> TDocumentWindows::Documents() const {
  QList<Analyze*> documents;
  for (QMdiSubWindow* sub : mArea.subWindowList(QMdiArea::CreationOrder)) {
    // A closed window lingers until it is deleted; it no longer counts.
    if (sub->isHidden()) continue;
    if (auto* form = qobject_cast<Analyze*>(sub->widget())) documents << form;
  }
  return documents;
}

Analyze* TDocumentWindows::ActiveDocument() const {
  QMdiSubWindow* sub = mArea.currentSubWindow();
  if (sub == nullptr || sub->isHidden()) {
    const QList<Analyze*> documents = Documents();
    return documents.isEmpty() ? nullptr : documents.last();
  }
  return qobject_cast<Analyze*>(sub->widget());
}

TDocumentManager TDocumentWindows::Manager() const {
  const QList<Analyze*> documents = Documents();
  const Analyze* active = ActiveDocument();
  std::vector<TOpenDocument> open;
  int activeIndex = -1;
  for (const Analyze* form : documents) {
    if (form == active) activeIndex = static_cast<int>(open.size());
    // File names are kept comparable (see ComparablePath) when set.
    open.push_back({form->Name().toStdString(), form->FileName().toStdString(), form->IsEmptyDocument()});
  }
  return TDocumentManager(std::move(open), activeIndex);
}

void TDocumentWindows::Inform(std::string_view text) { mHost.Asker().Inform(mArea.window(), FromCore(text)); }

bool TDocumentWindows::RefuseWhenFull(bool oneCloses) {
  if (Manager().HasRoom(oneCloses)) return false;
  Inform(TooManyDocumentsMessage);
  return true;
}

Analyze* TDocumentWindows::CreateWindow(std::unique_ptr<TDocument> document) {
  TBusyGuard busy;
  auto* form = new Analyze(mHost, std::move(document));
  QMdiSubWindow* sub = mArea.addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowIcon(OmbrelIcon());
  // The window menu of a document has its own Close on the same key as File
  // Close; two actions on one key make the key do nothing. File Close stays.
  if (QMenu* menu = sub->systemMenu())
    for (QAction* action : menu->actions())
      if (action->shortcut() == QKeySequence(QKeySequence::Close)) action->setShortcut({});
  connect(form, &Analyze::StepChanged, this, [this] { mShell.ScheduleMenuUpdate(); });
  connect(sub, &QObject::destroyed, this, [this] { mShell.ScheduleMenuUpdate(); });
  form->ShowLoadingPage();
  sub->showMaximized();
  mArea.setActiveSubWindow(sub);
  mShell.UpdateMenus();
  return form;
}

QMdiSubWindow* TDocumentWindows::SubWindowOf(const Analyze& form) const {
  for (QMdiSubWindow* sub : mArea.subWindowList())
    if (sub->widget() == &form) return sub;
  return nullptr;
}

void TDocumentWindows::Activate(Analyze& form) {
  if (QMdiSubWindow* sub = SubWindowOf(form)) mArea.setActiveSubWindow(sub);
  mShell.UpdateMenus();
}

bool TDocumentWindows::Close(Analyze& form) {
  QMdiSubWindow* sub = SubWindowOf(form);
  if (sub == nullptr) return true;
  const bool closed = sub->close();
  mShell.UpdateMenus();
  return closed;
}

bool TDocumentWindows::CloseAll() {
  const QList<Analyze*> documents = Documents();
  QList<Analyze*> changed;
  for (Analyze* form : documents) {
    if (form->Calculating()) return false;
    if (form->HasUnsavedChanges()) changed << form;
  }
  // Several changed documents are settled by one question, not one each.
  if (changed.size() > 1 ? !SaveAllChanged(changed) : !SaveEachChanged(changed)) return false;
  for (Analyze* form : documents) {
    form->CloseWithoutAsking();
    if (QMdiSubWindow* sub = SubWindowOf(*form)) sub->close();
  }
  return true;
}

bool TDocumentWindows::SaveAllChanged(const QList<Analyze*>& changed) {
  QStringList names;
  for (const Analyze* form : changed) names << form->Name();
  switch (mHost.Asker().AskSaveAll(mArea.window(), names)) {
    case TAnswer::Cancel:
      return false;
    case TAnswer::No:
      return true;
    case TAnswer::Yes:
      break;
  }
  for (Analyze* form : changed) {
    Activate(*form);
    if (!mHost.SaveDocument(*form, false)) return false;
  }
  return true;
}

bool TDocumentWindows::SaveEachChanged(const QList<Analyze*>& changed) {
  for (Analyze* form : changed) {
    Activate(*form);
    if (!form->AskToSaveChanges()) return false;
  }
  return true;
}

Analyze* TDocumentWindows::NewDocument() {
  if (RefuseWhenFull()) return nullptr;
  const std::string name = Manager().NextUntitledName();
  Analyze* form = CreateWindow(std::make_unique<TDocument>());
  form->SetUntitled(FromCore(name));
  mShell.EnterStep(*form, TStep::DataFormat);
  return form;
}

void TDocumentWindows::NewWithDialog() {
  if (Documents().isEmpty()) {
    NewDocument();
    return;
  }
  const std::optional<TNewFileChoice> choice = mHost.Asker().ChooseNewFile(mArea.window());
  if (!choice) return;
  Analyze* form = nullptr;
  switch (*choice) {
    case TNewFileChoice::CloseAndCreate:
      if (Analyze* active = ActiveDocument(); active != nullptr && !Close(*active)) return;
      form = NewDocument();
      break;
    case TNewFileChoice::CreateAnother:
      form = NewDocument();
      break;
    case TNewFileChoice::Duplicate:
      form = Duplicate();
      break;
  }
  // Whoever asks for a second file has found the way to the next step.
  if (form != nullptr) form->SetNextStepHintVisible(false);
  mShell.UpdateMenus();
}

TDocumentWindows::TOpenResult TDocumentWindows::OpenFile(const QString& path) {
  const QString fullPath = ComparablePath(path);
  const TOpenPlan plan = Manager().PlanOpen(fullPath.toStdString());
  if (plan.Action == TOpenAction::Activate) {
    Activate(*Documents().at(plan.Document));
    return TOpenResult::Activated;
  }
  if (!QFileInfo(fullPath).isFile()) {
    Inform(FileNotFoundMessage);
    return TOpenResult::Failed;
  }
  if (plan.Action == TOpenAction::TooMany) {
    Inform(TooManyDocumentsMessage);
    return TOpenResult::Failed;
  }
  // The empty document that gives its place closes once the file is read.
  const QPointer<Analyze> replaced = plan.Document >= 0 ? Documents().at(plan.Document) : nullptr;
  auto document = std::make_unique<TDocument>();
  mShell.BeginStatus(QStringLiteral("Reading data..."));
  const TFileOutcome outcome = OpenDocumentFile(LocalPath(fullPath), *document);
  mShell.EndStatus();
  if (outcome.Result == TFileResult::NotOmbrelFile)
    if (const std::optional<TOpenResult> offered = OfferImport(fullPath, replaced)) return *offered;
  if (!outcome.Loaded()) {
    if (!outcome.Message.empty()) Inform(outcome.Message);
    return outcome.Result == TFileResult::IoError ? TOpenResult::Failed : TOpenResult::Refused;
  }
  if (replaced) {
    replaced->CloseWithoutAsking();
    Close(*replaced);
  }
  const TStep step = OpeningStep(*document);
  const bool incomplete = outcome.Result == TFileResult::Incomplete;
  const std::string untitledName = incomplete ? Manager().NextUntitledName() : std::string();
  Analyze* form = CreateWindow(std::move(document));
  if (incomplete) {
    // A part of the file must never be saved over the whole: the copy has
    // no file name, so Save asks for one.
    form->SetUntitled(FromCore(untitledName));
    mShell.EnterStep(*form, step);
    mHost.DocumentStateChanged(*form);
  } else {
    form->setWindowTitle(fullPath);
    mShell.EnterStep(*form, step);
    // What was read, after the page-entry action, is what counts as saved.
    form->SetFileName(fullPath);
  }
  mShell.RememberFile(fullPath);
  mShell.UpdateMenus();
  if (incomplete) Inform(outcome.Message);
  return TOpenResult::Opened;
}

std::optional<TDocumentWindows::TOpenResult> TDocumentWindows::OfferImport(const QString& path, Analyze* replaced) {
  const std::string local = LocalPath(path);
  const TDataFileKind kind = DataFileKindOf(local);
  if (kind == TDataFileKind::Other) return std::nullopt;
  if (kind == TDataFileKind::OldWorkbook) {
    Inform(OldWorkbookMessage(local));
    return TOpenResult::Refused;
  }
  if (!mHost.Asker().InformWithAction(mArea.window(), FromCore(NotDocumentMessage(local, kind)),
                                      QStringLiteral("Import into a new document")))
    return TOpenResult::Refused;
  // The empty document that would give its place to a file takes the data.
  Analyze* form = replaced != nullptr ? replaced : NewDocument();
  if (form == nullptr) return TOpenResult::Failed;
  form->Document().ChooseFormat(TDataFormat::Raw);
  mShell.EnterStep(*form, TStep::DataEntry);
  bool imported = false;
  if (auto* page = qobject_cast<TDataEntryPage*>(form->Page(TStep::DataEntry))) {
    const Analyze::TDataCommand change(*form, QStringLiteral("Import"));
    imported = ImportDataFile(*page, path);
  }
  if (!imported && form != replaced) {
    form->CloseWithoutAsking();
    Close(*form);
  }
  mShell.UpdateMenus();
  return imported ? TOpenResult::Opened : TOpenResult::Failed;
}

Analyze* TDocumentWindows::OpenRecovered(std::unique_ptr<TDocument> document, const QString& name,
                                         const QString& originalPath) {
  if (RefuseWhenFull()) return nullptr;
  const TDocumentManager manager = Manager();
  const QString path = originalPath.isEmpty() ? QString() : ComparablePath(originalPath);
  const bool untitled = path.isEmpty() || manager.FindFile(path.toStdString()) >= 0;
  // A caption, never a place: the name a save suggests lies in the document folder.
  QString untitledName = path.isEmpty() ? QFileInfo(name).fileName() : QString();
  for (const Analyze* form : Documents())
    if (form->Name() == untitledName) untitledName.clear();
  if (untitled && untitledName.isEmpty()) untitledName = FromCore(manager.NextUntitledName());
  const TStep step = OpeningStep(*document);
  Analyze* form = CreateWindow(std::move(document));
  if (untitled) form->SetUntitled(untitledName);
  mShell.EnterStep(*form, step);
  if (!untitled) form->SetRecoveredFileName(path);
  mShell.UpdateMenus();
  return form;
}

void TDocumentWindows::OpenWithDialog() {
  for (;;) {
    const QString path =
        mHost.Asker().GetOpenFileName(mArea.window(), QStringLiteral("Open"), mShell.DocumentFolder(), DocumentFilters);
    if (path.isEmpty()) return;
    if (OpenFile(path) != TOpenResult::Refused) return;
  }
}

Analyze* TDocumentWindows::Duplicate() {
  Analyze* source = ActiveDocument();
  if (source == nullptr || RefuseWhenFull()) return nullptr;
  source->CommitPendingEdit();
  // A folder of its own, so no other user can plant a file under the name.
  const QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("ombrel-XXXXXX")));
  const QString path = folder.isValid() ? folder.filePath(FromCore(DuplicateFileName)) : QString();
  auto document = std::make_unique<TDocument>();
  TFileOutcome outcome;
  {
    TBusyGuard busy;
    outcome = DuplicateDocument(source->Document(), LocalPath(path), *document);
  }
  if (!outcome.Ok()) {
    if (!outcome.Message.empty()) Inform(outcome.Message);
    return nullptr;
  }
  const TStep step = OpeningStep(*document);
  const std::string name = Manager().NextUntitledName();
  Analyze* form = CreateWindow(std::move(document));
  form->SetUntitled(FromCore(name));
  mShell.EnterStep(*form, step);
  // Unsaved from the start: it counts as changed.
  mHost.DocumentStateChanged(*form);
  mShell.UpdateMenus();
  return form;
}

bool TDocumentWindows::Save(Analyze& form, bool saveAs) {
  form.CommitPendingEdit();
  QString path = form.FileName();
  if (saveAs || path.isEmpty() || form.NeverSaved()) {
    const QString title = form.FileName().isEmpty() ? QStringLiteral("Save") : QStringLiteral("Save As");
    const QString suggested =
        form.FileName().isEmpty() ? QDir(mShell.DocumentFolder()).filePath(form.Name()) : form.FileName();
    path = mHost.Asker().GetSaveFileName(mArea.window(), title, suggested, DocumentFilters, QStringLiteral("OMD"));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".OMD");
  }
  path = ComparablePath(path);
  TFileOutcome outcome;
  {
    TBusyGuard busy;
    outcome = SaveDocumentFile(LocalPath(path), form.Document());
  }
  if (!outcome.Ok()) {
    if (!outcome.Message.empty()) Inform(outcome.Message);
    return false;
  }
  form.SetFileName(path);
  mShell.RememberFile(path);
  mShell.UpdateMenus();
  return true;
}

}  // namespace ombrel
