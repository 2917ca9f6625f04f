#include "gui/app/NewFileDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ombrel {

Newanal::Newanal(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Create a new file"));
  auto* layout = new QVBoxLayout(this);
  auto* question = new QLabel(
      QStringLiteral("Ombrel allows you to open up to ten files at once, each in its own window. Do you want to:"));
  question->setWordWrap(true);
  layout->addWidget(question);
  CloseRadio = new QRadioButton(QStringLiteral("Close the file you are working on and create a new one."));
  AnotherRadio = new QRadioButton(QStringLiteral("Create a new empty file, in addition to the one(s) open now."));
  DuplicateRadio = new QRadioButton(
      QStringLiteral("Duplicate the current file, so you can edit and analyze the copies independently."));
  for (QRadioButton* radio : {CloseRadio, AnotherRadio, DuplicateRadio}) layout->addWidget(radio);
  AnotherRadio->setChecked(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

TNewFileChoice Newanal::Choice() const {
  if (CloseRadio->isChecked()) return TNewFileChoice::CloseAndCreate;
  if (DuplicateRadio->isChecked()) return TNewFileChoice::Duplicate;
  return TNewFileChoice::CreateAnother;
}

}  // namespace ombrel
