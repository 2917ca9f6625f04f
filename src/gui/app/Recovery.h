#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

#include "core/shell/RecoveryIndex.h"

class QLockFile;
class QWidget;

namespace ombrel {

class Analyze;
class TAsker;
class TDocumentWindows;

// A document an ended instance left in its recovery folder.
struct TRecoverable {
  QString Folder;        // the ended instance's folder
  QString IndexPath;     // its index file
  QString DocumentPath;  // the copy, an ordinary document file
  TRecoveryIndex Index;
};

// Keeps a copy of every modified document, so that a crash loses at most
// the last few seconds of work. Each running instance writes into its own
// folder below the recovery folder, held by a lock file for as long as it
// runs; a folder whose lock can be taken belongs to an instance that ended
// without cleaning up (it crashed or was killed), and its documents are
// offered at the next start.
//
// A change starts a timer; when it runs out every document changed since
// is written (as Save writes, through a temporary file) together with its
// index, or its copy removed when it matches its file again. Saving or
// closing a document removes its copy; a clean end removes the folder.
class TRecovery : public QObject {
  Q_OBJECT

 public:
  // The user's recovery folder: the application data folder + "/recovery".
  static QString DefaultFolder();
  // Five seconds, or OMBREL_RECOVERY_INTERVAL_MS when set to a positive
  // number (tests shorten it).
  static int DefaultIntervalMs();

  // Makes the folder (private to the user) and this instance's own folder.
  explicit TRecovery(QString folder, QObject* parent = nullptr);
  ~TRecovery() override;

  const QString& Folder() const { return mFolder; }
  // Empty when it could not be made.
  const QString& InstanceFolder() const { return mInstanceFolder; }
  void SetIntervalMs(int milliseconds) { mTimer.setInterval(milliseconds); }

  // A document changed: its copy is written when the timer runs out.
  void NoteChanged(Analyze& form);
  // A document was saved: its copy is of no more use.
  void NoteSaved(Analyze& form);
  // Writes the copies of every document changed since the last time.
  void WriteChanged();

  // The documents that ended instances left, newest change first. Their
  // folders stay locked, so no other start offers them meanwhile, until
  // SettleLeftBehind. Damaged indexes and copies are skipped.
  std::vector<TRecoverable> FindLeftBehind();
  // Removes one left-behind document (recovered or discarded).
  static void Remove(const TRecoverable& document);
  // Lets the ended instances' folders go: with `removeFolders` they are
  // deleted whatever is left in them (damaged files included), else they
  // stay for the next start.
  void SettleLeftBehind(bool removeFolders);

 signals:
  // A copy could not be written; sent once until a write succeeds again.
  void WriteFailed(const QString& message);

 private:
  struct TWatched {
    QPointer<Analyze> Form;
    QString BaseName;  // the copy is BaseName + ".OMD", its index BaseName + ".index"
    qint64 ChangedSeconds = 0;
    bool Pending = false;
  };

  bool Write(const TWatched& watched);
  void RemoveCopy(const TWatched& watched) const;
  void Fail(const QString& message);

  QString mFolder;
  QString mInstanceFolder;
  std::unique_ptr<QLockFile> mLock;
  QTimer mTimer;
  QHash<const QObject*, TWatched> mWatched;
  int mNextNumber = 1;
  bool mFailureShown = false;
  struct TLeftBehindFolder {
    QString Path;
    std::unique_ptr<QLockFile> Lock;
  };
  std::vector<TLeftBehindFolder> mLeftBehind;
};

// The choice of the "Recover Documents" window.
enum class TRecoveryChoice { DecideLater, Recover, Discard };

// At start: offers what ended instances left, in the "Recover Documents"
// window (through `asker`), and carries out the choice. Recovered documents
// open as changed and are copied into this instance's folder at once.
// Returns the number of documents opened.
int OfferRecovery(TRecovery& recovery, TDocumentWindows& windows, TAsker& asker, QWidget* parent);

}  // namespace ombrel
