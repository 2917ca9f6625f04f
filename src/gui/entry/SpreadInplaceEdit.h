#pragma once

#include <QLineEdit>
#include <functional>

namespace ombrel {

// Decides on a typed character; setting it to QChar() rejects it.
using TAcceptKey = std::function<void(QChar& character)>;

// The in-place cell editor of the spreadsheet grids. It accepts any
// character (or what an installed TAcceptKey lets through), at most 14 of
// them, and hands navigation keys to the grid instead of moving the caret:
// the grid commits the edit and moves. Pasted text is never cut short: the
// grid checks the whole text when the edit is committed.
class TSpreadInplaceEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TSpreadInplaceEdit(QWidget* parent);

  void SetAcceptKey(TAcceptKey acceptKey) { mAcceptKey = std::move(acceptKey); }
  // The text the editor opened with; the edit counts only when it differs.
  void SetInitialText(const QString& text);
  bool IsChanged() const { return text() != mInitialText; }

 signals:
  // Enter and Return arrive as Qt::Key_Down.
  void Navigate(int key);
  void Cancelled();
  // Ctrl+V or Shift+Insert: the grid decides between a paste into the
  // cells and one into the text.
  void PasteRequested();
  // Focus went elsewhere inside the application window.
  void FocusLeft();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool Accepts(QChar character) const;

  TAcceptKey mAcceptKey;
  QString mInitialText;
};

}  // namespace ombrel
