#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "core/entry/BlockOperations.h"

class QLabel;
class QRadioButton;
class QSpinBox;

namespace ombrel {

// The three choices of the insert and delete dialogs; double-clicking one
// acts as OK.
class TBlockShiftForm : public QDialog {
  Q_OBJECT

 public:
  // The chosen shift: cells, whole rows or whole columns.
  TBlockShift Choice() const;

 protected:
  struct TCaptions {
    const char* Title;
    const char* Group;
    std::array<const char*, 3> Choices;  // cells, rows, columns
    const char* Hint;                    // may be null
  };
  TBlockShiftForm(const TCaptions& captions, QWidget* parent);
  bool eventFilter(QObject* watched, QEvent* event) override;

  std::array<QRadioButton*, 3> mChoices{};
};

// "Delete": shift the cells below up, or delete entire rows or columns.
class TDeleteForm : public TBlockShiftForm {
  Q_OBJECT

 public:
  explicit TDeleteForm(QWidget* parent = nullptr);

  QRadioButton* DeleteAndShiftRadioButton;
  QRadioButton* DeleteEntireRowRadioButton;
  QRadioButton* DeleteEntireColRadioButton;
};

// "Insert ": shift the cells down, or insert entire rows or columns.
class TInsertForm : public TBlockShiftForm {
  Q_OBJECT

 public:
  explicit TInsertForm(QWidget* parent = nullptr);

  QRadioButton* InsertAndShiftRadioButton;
  QRadioButton* InsertEntireRowRadioButton;
  QRadioButton* InsertEntireColRadioButton;
};

// "Number Format": fixed decimal places (0 to 99) or the automatic choice
// for the columns the scope names. It opens on the places the columns share,
// or on the automatic choice with 2 in the field.
class TNumberFormatForm : public QDialog {
  Q_OBJECT

 public:
  TNumberFormatForm(const TDataTable& table, const TNumberFormatScope& scope, QWidget* parent = nullptr);

  // -1 for the automatic choice, else the places in the field.
  std::int32_t Places() const;

  QLabel* SelectColumnsLabel;
  QRadioButton* FixedRadioButton;
  QSpinBox* NumDecField;
  QRadioButton* AutoRadioButton;
};

}  // namespace ombrel
