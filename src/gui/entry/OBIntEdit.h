#pragma once

#include <functional>

#include <QLineEdit>

#include "core/base/EmptyValue.h"

namespace ombrel {

// A whole-number field of at most 10 characters, each "+", "-" or a digit
// (the counts of the two-by-two table). Leaving it validates the text; an
// invalid number is reported through the message callback and the field
// keeps the focus.
class TOBIntEdit : public QLineEdit {
  Q_OBJECT

 public:
  using TInform = std::function<void(const QString& message)>;

  explicit TOBIntEdit(QWidget* parent = nullptr);

  void SetInform(TInform inform) { mInform = std::move(inform); }
  // The value of the text; the empty marker for an empty field. Reports an
  // invalid text and answers false.
  bool Validate(TReal& value);
  // Shows a value; the empty marker shows an empty field.
  void SetValue(TReal value);

 signals:
  // The text was left with a valid number (or none).
  void ValueCommitted(TReal value);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TInform mInform;
  bool mValidating = false;
};

}  // namespace ombrel
