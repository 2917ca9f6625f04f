#include "gui/app/Recovery.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>

#include "core/document/DocumentFile.h"
#include "gui/common/Asker.h"
#include "gui/app/DocumentWindows.h"
#include "gui/app/RecoverForm.h"
#include "gui/document/Analyze.h"
#include "gui/common/LocalPath.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

constexpr int StandardIntervalMs = 5000;
constexpr char LockFileName[] = "instance.lock";
constexpr char CopySuffix[] = ".OMD";
constexpr char IndexSuffix[] = ".index";
// An index is a few lines; anything longer is not one.
constexpr qint64 MaxIndexSize = 64 * 1024;

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// A lock held for as long as this process lives: it is never old enough to
// be taken for stale, only a dead process's lock is.
std::unique_ptr<QLockFile> TryLock(const QString& folder) {
  auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QLatin1String(LockFileName)));
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

std::optional<TRecoveryIndex> ReadIndexFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray text = file.read(MaxIndexSize + 1);
  return ReadRecoveryIndex(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

}  // namespace

QString TRecovery::DefaultFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
}

int TRecovery::DefaultIntervalMs() {
  bool ok = false;
  const int interval = qEnvironmentVariableIntValue("OMBREL_RECOVERY_INTERVAL_MS", &ok);
  return ok && interval > 0 ? std::min(interval, StandardIntervalMs) : StandardIntervalMs;
}

TRecovery::TRecovery(QString folder, QObject* parent) : QObject(parent), mFolder(std::move(folder)) {
  mTimer.setSingleShot(true);
  mTimer.setInterval(DefaultIntervalMs());
  connect(&mTimer, &QTimer::timeout, this, &TRecovery::WriteChanged);
  // The copies hold the user's data: the folder is the user's alone.
  if (!QDir().mkpath(mFolder) || !QFile::setPermissions(mFolder, OwnerOnly)) return;
  QTemporaryDir own(QDir(mFolder).filePath(QStringLiteral("instance-XXXXXX")));
  if (!own.isValid()) return;
  own.setAutoRemove(false);
  mLock = TryLock(own.path());
  if (!mLock) {
    QDir(own.path()).removeRecursively();
    return;
  }
  mInstanceFolder = own.path();
}

TRecovery::~TRecovery() {
  mTimer.stop();
  SettleLeftBehind(false);
  if (mInstanceFolder.isEmpty()) return;
  // A clean end: nothing is left to recover.
  mLock->unlock();
  QDir(mInstanceFolder).removeRecursively();
}

void TRecovery::NoteChanged(Analyze& form) {
  auto found = mWatched.find(&form);
  if (found == mWatched.end()) {
    TWatched watched;
    watched.Form = &form;
    watched.BaseName = QString::number(mNextNumber++);
    found = mWatched.insert(&form, watched);
    // Closing, whether saved or not, leaves nothing to recover.
    connect(&form, &QObject::destroyed, this, [this](QObject* object) {
      const auto closed = mWatched.constFind(object);
      if (closed == mWatched.constEnd()) return;
      RemoveCopy(*closed);
      mWatched.erase(closed);
    });
  }
  found->ChangedSeconds = QDateTime::currentSecsSinceEpoch();
  found->Pending = true;
  // Not restarted by later changes: a copy is never older than the interval.
  if (!mTimer.isActive()) mTimer.start();
}

void TRecovery::NoteSaved(Analyze& form) {
  const auto found = mWatched.find(&form);
  if (found == mWatched.end()) return;
  found->Pending = false;
  RemoveCopy(*found);
}

void TRecovery::WriteChanged() {
  bool allWritten = true;
  for (TWatched& watched : mWatched) {
    if (!watched.Pending || !watched.Form) continue;
    // The document is read by the computation, and may be half updated.
    if (watched.Form->Calculating()) {
      if (!mTimer.isActive()) mTimer.start();
      continue;
    }
    watched.Pending = false;
    if (!watched.Form->IsModified()) {
      RemoveCopy(watched);
      continue;
    }
    allWritten = Write(watched) && allWritten;
  }
  if (allWritten) mFailureShown = false;
}

bool TRecovery::Write(const TWatched& watched) {
  const Analyze& form = *watched.Form;
  const QString name = QFileInfo(form.Name()).fileName();
  if (mInstanceFolder.isEmpty()) {
    Fail(QStringLiteral("Could not keep a recovery copy of %1: the folder %2 cannot be made.").arg(name, mFolder));
    return false;
  }
  const QDir folder(mInstanceFolder);
  const QString copyName = watched.BaseName + QLatin1String(CopySuffix);
  const TFileOutcome outcome = SaveDocumentFile(LocalPath(folder.filePath(copyName)), form.Document());
  if (!outcome.Ok()) {
    Fail(QStringLiteral("Could not keep a recovery copy of %1: %2").arg(name, FromCore(outcome.Message)));
    return false;
  }
  TRecoveryIndex index;
  index.Name = form.Name().toStdString();
  index.OriginalPath = form.FileName().toStdString();
  index.ChangedSeconds = watched.ChangedSeconds;
  index.DocumentFile = copyName.toStdString();
  const std::string text = WriteRecoveryIndex(index);
  QSaveFile file(folder.filePath(watched.BaseName + QLatin1String(IndexSuffix)));
  if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
      !file.commit()) {
    Fail(QStringLiteral("Could not keep a recovery copy of %1: %2").arg(name, file.errorString()));
    return false;
  }
  return true;
}

void TRecovery::RemoveCopy(const TWatched& watched) const {
  if (mInstanceFolder.isEmpty()) return;
  const QDir folder(mInstanceFolder);
  // The index first: a copy without its index is never offered.
  QFile::remove(folder.filePath(watched.BaseName + QLatin1String(IndexSuffix)));
  QFile::remove(folder.filePath(watched.BaseName + QLatin1String(CopySuffix)));
}

void TRecovery::Fail(const QString& message) {
  if (mFailureShown) return;
  mFailureShown = true;
  emit WriteFailed(message);
}

std::vector<TRecoverable> TRecovery::FindLeftBehind() {
  SettleLeftBehind(false);
  std::vector<TRecoverable> found;
  const QFileInfoList folders =
      QDir(mFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
  for (const QFileInfo& folderInfo : folders) {
    const QString folderPath = folderInfo.absoluteFilePath();
    if (folderPath == QFileInfo(mInstanceFolder).absoluteFilePath()) continue;
    // A lock that cannot be taken belongs to a running instance.
    std::unique_ptr<QLockFile> lock = TryLock(folderPath);
    if (!lock) continue;
    mLeftBehind.push_back({folderPath, std::move(lock)});
    const QDir folder(folderPath);
    for (const QFileInfo& indexInfo :
         folder.entryInfoList({QStringLiteral("*") + QLatin1String(IndexSuffix)}, QDir::Files | QDir::NoSymLinks)) {
      const std::optional<TRecoveryIndex> index = ReadIndexFile(indexInfo.absoluteFilePath());
      if (!index) continue;
      const QString documentPath = folder.filePath(FromCore(index->DocumentFile));
      // Offered only when it reads as a document.
      TDocument document;
      if (!QFileInfo(documentPath).isFile() || !OpenDocumentFile(LocalPath(documentPath), document).Loaded()) continue;
      found.push_back({folderPath, indexInfo.absoluteFilePath(), documentPath, *index});
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const TRecoverable& a, const TRecoverable& b) {
    return a.Index.ChangedSeconds > b.Index.ChangedSeconds;
  });
  return found;
}

void TRecovery::Remove(const TRecoverable& document) {
  QFile::remove(document.IndexPath);
  QFile::remove(document.DocumentPath);
}

void TRecovery::SettleLeftBehind(bool removeFolders) {
  for (TLeftBehindFolder& folder : mLeftBehind) {
    folder.Lock->unlock();
    if (removeFolders) QDir(folder.Path).removeRecursively();
  }
  mLeftBehind.clear();
}

int OfferRecovery(TRecovery& recovery, TDocumentWindows& windows, TAsker& asker, QWidget* parent) {
  std::vector<TRecoverable> documents = recovery.FindLeftBehind();
  if (documents.empty()) {
    // Only empty or damaged folders: nothing worth keeping.
    recovery.SettleLeftBehind(true);
    return 0;
  }
  TRecoverForm dialog(documents, parent);
  const int answer = asker.Exec(dialog);
  const TRecoveryChoice choice = TRecoverForm::ChoiceOf(answer);
  if (choice == TRecoveryChoice::DecideLater) {
    recovery.SettleLeftBehind(false);
    return 0;
  }
  int opened = 0;
  bool allTaken = true;
  std::vector<const TRecoverable*> taken;
  for (const TRecoverable& left : documents) {
    if (choice == TRecoveryChoice::Recover) {
      auto document = std::make_unique<TDocument>();
      if (!OpenDocumentFile(LocalPath(left.DocumentPath), *document).Loaded()) continue;
      Analyze* form =
          windows.OpenRecovered(std::move(document), FromCore(left.Index.Name), FromCore(left.Index.OriginalPath));
      // No room for it: it and the rest stay for the next start.
      if (form == nullptr) {
        allTaken = false;
        break;
      }
      ++opened;
      recovery.NoteChanged(*form);
    }
    taken.push_back(&left);
  }
  // Copied into this instance's folder before the old copies go.
  recovery.WriteChanged();
  for (const TRecoverable* left : taken) TRecovery::Remove(*left);
  recovery.SettleLeftBehind(allTaken);
  return opened;
}

}  // namespace ombrel
