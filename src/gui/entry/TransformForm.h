#pragma once

#include <QDialog>

#include "core/entry/Transforms.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace ombrel {

class TAsker;

// "Transform": the list of the seventeen transforms and the constant K,
// enabled and preset for the transforms that use it. Double-clicking a
// transform means OK; OK with an unreadable K is refused.
class TTransformForm : public QDialog {
  Q_OBJECT

 public:
  explicit TTransformForm(TAsker& asker, QWidget* parent = nullptr);

  void accept() override;

  TTransform SelectedTransform() const;
  // K as typed (the empty marker when it does not read as a number).
  TReal K() const;

  QListWidget* TransformComboBox;
  QLineEdit* KField;
  QLabel* KLabel;

 private:
  void TransformChosen(int row);
  TAsker& mAsker;
};

}  // namespace ombrel
