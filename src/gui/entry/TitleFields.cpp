#include "gui/entry/TitleFields.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "gui/entry/GridModels.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

bool numericTitleQuestionEnabled = true;

}  // namespace

bool NumericTitleQuestionEnabled() { return numericTitleQuestionEnabled; }

void SetNumericTitleQuestionEnabled(bool enabled) { numericTitleQuestionEnabled = enabled; }

TTitleField::TTitleField(int maxLength, bool arrowsNavigate, QWidget* parent)
    : QLineEdit(parent), mArrowsNavigate(arrowsNavigate) {
  setMaxLength(maxLength);
  setFrame(false);
  hide();
}

void TTitleField::SetInitialText(const QString& text) {
  mInitialText = text;
  setText(text);
}

bool TTitleField::event(QEvent* event) {
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

void TTitleField::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit Navigate(Qt::Key_Return);
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
      emit Navigate(event->key());
      return;
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (!mArrowsNavigate) break;
      emit Navigate(event->key());
      return;
    case Qt::Key_Escape:
      emit Cancelled();
      return;
    default:
      break;
  }
  QLineEdit::keyPressEvent(event);
}

void TTitleField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) emit FocusLeft();
}

TDataSetTitleField::TDataSetTitleField(TDataTable& table, int maxLength, QWidget* parent)
    : QLineEdit(parent), mTable(table) {
  setMaxLength(maxLength);
  setAccessibleName(QStringLiteral("Data set title"));
  connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
    mTable.SetTitle(ToTableText(text, MaxTableTitleLength));
    emit TitleEdited();
  });
  Refresh();
}

void TDataSetTitleField::Refresh() { setText(FromCore(mTable.Title())); }

}  // namespace ombrel
