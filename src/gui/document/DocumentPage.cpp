#include "gui/document/DocumentPage.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>

#include "gui/document/Printing.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"

namespace ombrel {

namespace {

// Radio buttons, check boxes, lists and the number and title fields. The
// grids and their in-place editors are left out: their keys belong to the
// grid, which hands plain F9 and F10 on to the main window itself.
bool IsChoiceControl(const QWidget& widget) {
  const bool choice =
      qobject_cast<const QRadioButton*>(&widget) != nullptr || qobject_cast<const QCheckBox*>(&widget) != nullptr ||
      qobject_cast<const QComboBox*>(&widget) != nullptr || qobject_cast<const QListView*>(&widget) != nullptr ||
      qobject_cast<const QLineEdit*>(&widget) != nullptr;
  if (!choice) return false;
  for (const QWidget* parent = widget.parentWidget(); parent != nullptr; parent = parent->parentWidget())
    if (qobject_cast<const QAbstractItemView*>(parent) != nullptr) return false;
  return true;
}

}  // namespace

TDocumentPage::TDocumentPage(Analyze& form, TStep step, QWidget* parent) : QWidget(parent), mForm(form), mStep(step) {}

TDocument& TDocumentPage::Document() const { return mForm.Document(); }

bool TDocumentPage::RunCommand(TCommand) { return false; }

void TDocumentPage::showEvent(QShowEvent* event) {
  // Each time, so that controls a page adds later are covered too;
  // installing a filter again only moves it to the front.
  WatchChoiceControls();
  QWidget::showEvent(event);
}

void TDocumentPage::WatchChoiceControls() {
  for (QWidget* child : findChildren<QWidget*>())
    if (IsChoiceControl(*child)) child->installEventFilter(this);
}

bool TDocumentPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::ShiftModifier && (key->key() == Qt::Key_F10 || key->key() == Qt::Key_F9)) {
      if (key->key() == Qt::Key_F10)
        mForm.Host().RequestNextStep(mForm);
      else
        mForm.Host().RequestPreviousStep(mForm);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TDocumentPage::Print(QPrinter& printer) { PrintDocumentStep(printer, Document(), mStep, *this); }

}  // namespace ombrel
