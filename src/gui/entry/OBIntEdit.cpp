#include "gui/entry/OBIntEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "core/entry/IntFieldText.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TOBIntEdit::TOBIntEdit(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(IntFieldLength);
  setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+\\-0-9]*")), this));
  setAlignment(Qt::AlignRight);
}

bool TOBIntEdit::Validate(TReal& value) {
  const TIntFieldValue parsed = ParseIntFieldText(text().toStdString());
  value = parsed.Value;
  if (parsed.Status == TIntFieldStatus::NotValid || parsed.Status == TIntFieldStatus::OutOfRange) {
    const std::string_view message =
        parsed.Status == TIntFieldStatus::NotValid ? IntFieldNotValidMessage : IntFieldOutOfRangeMessage;
    if (mInform) mInform(QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size())));
    return false;
  }
  return true;
}

void TOBIntEdit::SetValue(TReal value) { setText(FromCore(IntFieldText(value))); }

void TOBIntEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (mValidating || !isModified()) return;
  mValidating = true;
  TReal value = EmptyValue;
  if (Validate(value)) {
    setModified(false);
    emit ValueCommitted(value);
  } else {
    // Back to the field once the focus change is over.
    QTimer::singleShot(0, this, [this] { setFocus(); });
  }
  mValidating = false;
}

void TOBIntEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    TReal value = EmptyValue;
    if (Validate(value)) {
      setModified(false);
      emit ValueCommitted(value);
    }
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace ombrel
