#pragma once

#include <QChar>
#include <QString>

#include "core/document/Steps.h"

namespace ombrel {

class Analyze;
class TAsker;

// What a document window and its pages ask of the main window that hosts
// them. Every step change and every question goes through here, so a page
// never reaches for the main window itself.
class TDocumentHost {
 public:
  virtual ~TDocumentHost() = default;

  // The message boxes and dialogs.
  virtual TAsker& Asker() = 0;
  // Saves the document (Save, or Save As when `saveAs`); false when nothing
  // was written (cancelled, failed, or a computation runs).
  virtual bool SaveDocument(Analyze& form, bool saveAs) = 0;
  // Moves the document to a step as the step buttons do (ignored when the
  // step cannot be reached or a computation runs).
  virtual void RequestStep(Analyze& form, TStep step) = 0;
  virtual void RequestNextStep(Analyze& form) = 0;
  // The previous reachable step; by default through RequestStep.
  virtual void RequestPreviousStep(Analyze& form);
  // The document's format, choices or report changed what the menus, step
  // buttons or help buttons show.
  virtual void DocumentStateChanged(Analyze& form) = 0;
  // Opens the help window on a topic; a negative topic opens the keyword
  // search.
  virtual void ShowHelpTopic(int topic) = 0;
  // The folder the import dialog starts in, and where the last import was.
  virtual QString ImportFolder() const = 0;
  virtual void SetImportFolder(const QString& folder) = 0;
  // The folder export dialogs (data, report, graph) start in, and where
  // the last export went; by default none is kept.
  virtual QString ExportFolder() const;
  virtual void SetExportFolder(const QString& folder);
  // Whether reports end with the "Effect size and method" section (one
  // option for every document, kept by the host); by default off.
  virtual bool EffectSizes() const;
  virtual void SetEffectSizes(bool shown);
  // The user's list separator, for text import.
  virtual QChar ListSeparator() const = 0;
  // A status message (such as "Reading data...") shown in the main window
  // while a long operation runs, and its end; by default nothing shows.
  virtual void BeginStatus(const QString& message);
  virtual void EndStatus();
  // Tab went past the document's last control (Shift+Tab, `next` false,
  // past its first): the host gives the keyboard to its own controls (the
  // step buttons) and answers true; by default Tab goes round the document.
  virtual bool FocusPastDocument(Analyze& form, bool next);
};

// `name` in the host's export folder; `name` alone while there is none.
QString ExportFolderPath(const TDocumentHost& host, const QString& name);

}  // namespace ombrel
