#include "gui/document/GraphExportForm.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>

namespace ombrel {

namespace {

QDoubleSpinBox* CentimetreBox(double value) {
  auto* box = new QDoubleSpinBox;
  box->setRange(2, 100);
  box->setDecimals(1);
  box->setSingleStep(0.5);
  box->setSuffix(QStringLiteral(" cm"));
  box->setValue(value);
  return box;
}

}  // namespace

TGraphExportForm::TGraphExportForm(bool withResolution, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Graph Size"));
  const TPictureSize defaults;
  WidthSpinBox = CentimetreBox(defaults.Width);
  WidthSpinBox->setObjectName(QStringLiteral("WidthSpinBox"));
  HeightSpinBox = CentimetreBox(defaults.Height);
  HeightSpinBox->setObjectName(QStringLiteral("HeightSpinBox"));
  DpiSpinBox = new QSpinBox;
  DpiSpinBox->setObjectName(QStringLiteral("DpiSpinBox"));
  DpiSpinBox->setRange(MinPictureDpi, MaxPictureDpi);
  DpiSpinBox->setSuffix(QStringLiteral(" dpi"));
  DpiSpinBox->setValue(DefaultPictureDpi);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("&Width:"), WidthSpinBox);
  form->addRow(QStringLiteral("&Height:"), HeightSpinBox);
  if (withResolution) {
    form->addRow(QStringLiteral("&Resolution:"), DpiSpinBox);
  } else {
    DpiSpinBox->hide();
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

TPictureSize TGraphExportForm::Size() const {
  return {WidthSpinBox->value(), HeightSpinBox->value(), TSizeUnit::Centimetres};
}

int TGraphExportForm::Dpi() const { return DpiSpinBox->value(); }

}  // namespace ombrel
