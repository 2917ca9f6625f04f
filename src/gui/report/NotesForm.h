#pragma once

#include <QDialog>

class QTextEdit;

namespace ombrel {

class TAsker;
class TDocument;

// The notes window "Ombrel Notes": one plain-text editor wrapping at column
// 70 and holding at most 8000 characters, with its own popup menu.
class TNotesForm : public QDialog {
  Q_OBJECT

 public:
  explicit TNotesForm(QWidget* parent = nullptr);

  // Shows the notes (CR LF line ends) in the editor.
  void LoadNotes(const std::string& notes);
  // The editor's text as the document keeps it (StoreNotes rules).
  std::string StoredNotes() const;

  QTextEdit* NotesMemo;

 private:
  // Keeps the text within what the document stores, by cutting the end of
  // what was just typed or pasted.
  void LimitLength(int position, int added);
  void ShowPopup(const QPoint& position);

  bool mLimiting = false;
};

// Shows a document's notes modally, in the place they were last shown, and
// stores them and the window's place when it closes.
void ViewNotes(TDocument& document, TAsker& asker, QWidget* parent);

}  // namespace ombrel
