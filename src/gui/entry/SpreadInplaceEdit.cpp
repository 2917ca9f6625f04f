#include "gui/entry/SpreadInplaceEdit.h"

#include <QApplication>
#include <QKeyEvent>

#include "core/entry/CellText.h"

namespace ombrel {

TSpreadInplaceEdit::TSpreadInplaceEdit(QWidget* parent) : QLineEdit(parent) {
  setObjectName(QStringLiteral("SpreadInplaceEdit"));
  setFrame(false);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TSpreadInplaceEdit::SetInitialText(const QString& text) {
  mInitialText = text;
  setText(text);
}

bool TSpreadInplaceEdit::Accepts(QChar character) const {
  if (text().size() >= MaxCellTextLength && !hasSelectedText()) return false;
  if (mAcceptKey) {
    QChar decided = character;
    mAcceptKey(decided);
    return !decided.isNull();
  }
  // Any other character is taken: the commit tells the user when the text
  // is not a number, rather than letters vanishing without a word.
  return true;
}

bool TSpreadInplaceEdit::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      emit Navigate(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier) ? Qt::Key_Tab
                                                                                         : Qt::Key_Backtab);
      return true;
    }
  }
  return QLineEdit::event(event);
}

void TSpreadInplaceEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    emit PasteRequested();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit Navigate(Qt::Key_Down);
      return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) break;
      emit Navigate(event->key());
      return;
    case Qt::Key_Escape:
      emit Cancelled();
      return;
    case Qt::Key_F9:
    case Qt::Key_F10:
      event->ignore();  // step keys belong to the document window
      return;
    default:
      break;
  }
  const QString typed = event->text();
  if (!typed.isEmpty() && typed.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    for (const QChar character : typed) {
      if (!Accepts(character)) {
        QApplication::beep();
        return;
      }
    }
  }
  QLineEdit::keyPressEvent(event);
}

void TSpreadInplaceEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A message box or another window taking the focus does not end the edit.
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) emit FocusLeft();
}

}  // namespace ombrel
