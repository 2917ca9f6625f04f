#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "core/document/Steps.h"
#include "core/shell/DocumentManager.h"

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace ombrel {

class Analyze;
class TDocument;
class TDocumentHost;

// What the document windows need from the main window around them.
class TDocumentShell {
 public:
  // Enters a step of a document, with the guide when it is on.
  virtual void EnterStep(Analyze& form, TStep step) = 0;
  // The status message and meter of a long operation.
  virtual void BeginStatus(const QString& message) = 0;
  virtual void EndStatus() = 0;
  // A document file was read or written: its folder and the recent list.
  virtual void RememberFile(const QString& path) = 0;
  virtual QString DocumentFolder() const = 0;
  virtual void UpdateMenus() = 0;
  // Once, after the current event: a document window changed or closed.
  virtual void ScheduleMenuUpdate() = 0;

 protected:
  ~TDocumentShell() = default;
};

// The document windows in the main window's MDI area: it makes, finds,
// activates, saves and closes them, and carries out New, Open and Duplicate
// by the rules of TDocumentManager.
class TDocumentWindows : public QObject {
  Q_OBJECT

 public:
  TDocumentWindows(QMdiArea& area, TDocumentHost& host, TDocumentShell& shell);

  // The open documents in the order they were made, and the active one (the
  // last made while no window is active).
  QList<Analyze*> Documents() const;
  Analyze* ActiveDocument() const;
  // The rules' view of the open documents.
  TDocumentManager Manager() const;

  // A new untitled document on step 0; null when ten are open.
  Analyze* NewDocument();
  // File New: a new document, or with others open the new-file dialog's
  // choice of closing the active one first, another, or a duplicate.
  void NewWithDialog();
  // Reads a file into a new window, or activates the window showing it. A
  // file that ended early opens as an untitled copy, after which the user
  // is told.
  enum class TOpenResult {
    Opened,     // a new window shows the file
    Activated,  // the file was open already
    Refused,    // not an Ombrel file or too new, no import taken: the open dialog asks again
    Failed,     // missing, unreadable or no room for another window
  };
  TOpenResult OpenFile(const QString& path);
  // A document recovered after a crash, in a new window that shows it as
  // changed: with the file it belonged to (unless that is open already,
  // then as untitled) or under its untitled name (the next free one when
  // that is taken). Null when ten are open.
  Analyze* OpenRecovered(std::unique_ptr<TDocument> document, const QString& name, const QString& originalPath);
  // File Open: the open dialog, again after a file it cannot read.
  void OpenWithDialog();
  // An untitled copy of the active document; null when there is none, ten
  // are open or the copy failed.
  Analyze* Duplicate();
  // Saves a document, asking for a name when it has none or `saveAs`.
  bool Save(Analyze& form, bool saveAs);
  void Activate(Analyze& form);
  // Closes one document; false when it stayed open.
  bool Close(Analyze& form);
  // Asks about the documents with unsaved changes (once for several), then
  // closes them all; false (nothing closed) when the user cancels or a save
  // fails.
  bool CloseAll();

  // The path files are compared by: the real path of an existing file, else
  // the cleaned absolute path.
  static QString ComparablePath(const QString& path);

 private:
  // Saves the changed documents after one question (SaveAllChanged) or
  // after a question for each; false when the user cancels or a save fails.
  bool SaveAllChanged(const QList<Analyze*>& changed);
  bool SaveEachChanged(const QList<Analyze*>& changed);
  // Tells the user that ten are open; false when there is room.
  bool RefuseWhenFull(bool oneCloses = false);
  Analyze* CreateWindow(std::unique_ptr<TDocument> document);
  // A text file of data or a workbook opened as a document: says what it
  // is and offers to import it into a new document (or into `replaced`,
  // the empty one that would give its place); nothing for other files.
  std::optional<TOpenResult> OfferImport(const QString& path, Analyze* replaced);
  QMdiSubWindow* SubWindowOf(const Analyze& form) const;
  void Inform(std::string_view text);

  QMdiArea& mArea;
  TDocumentHost& mHost;
  TDocumentShell& mShell;
};

}  // namespace ombrel
