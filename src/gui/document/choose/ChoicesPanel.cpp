#include "gui/document/choose/ChoicesPanel.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "core/analysis/ChooseTest.h"
#include "core/base/EmptyValue.h"
#include "core/entry/CellText.h"
#include "gui/document/Analyze.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

constexpr int NumberFieldLength = 10;

}  // namespace

TChoicesPanel::TChoicesPanel(TChooseTestPage& host) : mHost(host) {}

Analyze& TChoicesPanel::Form() const { return mHost.Form(); }

TDocument& TChoicesPanel::Document() const { return mHost.Document(); }

bool TChoicesPanel::Showing() const { return mHost.Showing(); }

void TChoicesPanel::Changed() { mHost.AnswerChanged(); }

void TChoicesPanel::Stored() { NoteDocumentChanged(mHost); }

QRadioButton* TChoicesPanel::Radio(const QString& caption) {
  auto* radio = new QRadioButton(caption);
  radio->installEventFilter(this);
  return radio;
}

void TChoicesPanel::Exclusive(std::initializer_list<QRadioButton*> radios) {
  auto* group = new QButtonGroup(this);
  for (QRadioButton* radio : radios) group->addButton(radio);
}

QLineEdit* TChoicesPanel::NumberField(const QString& name) {
  auto* field = new QLineEdit;
  field->setAccessibleName(name);
  field->setMaxLength(NumberFieldLength);
  field->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]*([.,][0-9]{0,9})?")), field));
  return field;
}

TReal TChoicesPanel::ReadNumber(const QLineEdit* field) {
  const TReal value = ParseCellText(field->text().toStdString());
  return IsEmpty(value) ? 0 : value;
}

QString TChoicesPanel::NumberText(TReal value) { return QString::number(static_cast<double>(value), 'g', 10); }

QString TChoicesPanel::Caption(std::string_view text) { return FromCore(LabelText(text)); }

QGroupBox* TChoicesPanel::Group(const QString& title, QVBoxLayout*& layout) {
  auto* group = new QGroupBox(title);
  layout = new QVBoxLayout(group);
  return group;
}

void TChoicesPanel::SetChecked(QAbstractButton* button, bool checked) {
  const QSignalBlocker blocker(button);
  button->setChecked(checked);
}

bool TChoicesPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && qobject_cast<QRadioButton*>(watched) != nullptr) {
    auto* radio = static_cast<QRadioButton*>(watched);
    if (radio->isEnabled()) {
      radio->click();
      Form().Host().RequestStep(Form(), TStep::Results);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace ombrel
