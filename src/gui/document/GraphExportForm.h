#pragma once

#include <QDialog>

#include "core/graph/PictureSize.h"

class QDoubleSpinBox;
class QSpinBox;

namespace ombrel {

// The size of an exported graph in centimetres and, for a PNG picture, its
// resolution in dots per inch.
class TGraphExportForm : public QDialog {
  Q_OBJECT

 public:
  TGraphExportForm(bool withResolution, QWidget* parent = nullptr);

  TPictureSize Size() const;
  int Dpi() const;

  QDoubleSpinBox* WidthSpinBox;
  QDoubleSpinBox* HeightSpinBox;
  QSpinBox* DpiSpinBox;
};

}  // namespace ombrel
