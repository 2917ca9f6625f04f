#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace ombrel {

// The three ways "Create a new file" can go on when documents are open.
enum class TNewFileChoice {
  CloseAndCreate,  // close the active document, then create a new one
  CreateAnother,   // a new empty document beside the open ones
  Duplicate,       // a copy of the active document
};

enum class TAnswer { Yes, No, Cancel };

// Every message box and dialog a command shows goes through this, so that
// tests can answer them without a modal loop. The application's (TQtAsker,
// in gui/app) shows the real Qt dialogs.
class TAsker {
 public:
  virtual ~TAsker() = default;

  // A plain message with an OK button and no caption.
  virtual void Inform(QWidget* parent, const QString& text) = 0;
  // A message that offers one way on beside Cancel (`action` names its
  // button, the default); true when the user took it. An asker that does
  // not offer it shows the message alone.
  virtual bool InformWithAction(QWidget* parent, const QString& text, const QString& action) {
    (void)action;
    Inform(parent, text);
    return false;
  }
  // A Yes/No question; `defaultYes` chooses the default button.
  virtual bool AskYesNo(QWidget* parent, const QString& text, bool defaultYes) = 0;
  // A Yes/No/Cancel question, Yes the default.
  virtual TAnswer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
  // Whether to save several documents before they close together: Yes for
  // "Save All", No for "Discard All", or Cancel; `names` are listed.
  virtual TAnswer AskSaveAll(QWidget* parent, const QStringList& names) = 0;
  // The open dialog: an existing file, or empty when cancelled. `filters`
  // uses Qt's ";;" form.
  virtual QString GetOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                  const QString& filters) = 0;
  // The save dialog with its overwrite prompt; `defaultSuffix` is added to
  // a name typed without one before the prompt. Empty when cancelled.
  virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                  const QString& filters, const QString& defaultSuffix) = 0;
  // "Create a new file"; nothing when cancelled.
  virtual std::optional<TNewFileChoice> ChooseNewFile(QWidget* parent) = 0;
  // The print dialog; false when cancelled.
  virtual bool SetUpPrint(QWidget* parent, QPrinter& printer) = 0;
  // The page-setup dialog.
  virtual void SetUpPage(QWidget* parent, QPrinter& printer) = 0;
  // The about box, modal.
  virtual void ShowAbout(QWidget* parent) = 0;
  // Any other modal dialog; returns its result code. Tests fill in the
  // dialog's fields and accept it instead of running it.
  virtual int Exec(QDialog& dialog) = 0;
};

}  // namespace ombrel
