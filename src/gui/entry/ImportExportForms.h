#pragma once

#include <QDialog>
#include <functional>

#include "core/entry/TextExport.h"
#include "core/entry/TextImport.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace ombrel {

// Shown instead of an import when the chosen file is a spreadsheet workbook.
class TExcelWarnForm : public QDialog {
  Q_OBJECT

 public:
  explicit TExcelWarnForm(QWidget* parent = nullptr);
};

// "Import": the file's preview, the decimal separator it was read with, and
// which of its rows and columns to take.
class TImportForm : public QDialog {
  Q_OBJECT

 public:
  // Reads the file again with a decimal separator the user chose.
  using TReread = std::function<TImportedFile(char decimalSeparator)>;

  TImportForm(TImportedFile file, const QString& fileName, TReread reread, QWidget* parent = nullptr);

  // Refusals while the dialog stays open (equal value and group columns).
  void SetInform(std::function<void(const QString&)> inform) { mInform = std::move(inform); }
  TImportChoices Choices() const;
  // The file as last read, with the decimal separator on the form.
  const TImportedFile& File() const { return mFile; }
  void accept() override;

  QGroupBox* FilePreview;
  QTableWidget* PreviewGrid;
  QRadioButton* DecimalPointRadioButton;
  QRadioButton* DecimalCommaRadioButton;
  QLabel* DecimalSourceLabel;
  QRadioButton* AllColsRadioButton;
  QRadioButton* ColRangeRadioButton;
  QRadioButton* IndexedColRadioButton;
  QSpinBox* StartColumnField;
  QSpinBox* EndColumnField;
  QSpinBox* ValueColumnField;
  QSpinBox* GroupAssignmentColField;
  QCheckBox* RowRangeCheckBox;
  QSpinBox* StartRowField;
  QSpinBox* EndRowField;
  QCheckBox* FilterRowCheckBox;
  QSpinBox* FilterColumnField;
  QComboBox* ConditionComboBox;
  QLineEdit* FilterValueField;

 private:
  QGroupBox* CreatePreview(const QString& fileName);
  QGroupBox* CreateDecimalBox();
  QGroupBox* CreateColumnsBox(int columns);
  QGroupBox* CreateRowsBox(int columns, int rows);
  // Editing a field switches its option on; the indexed layout takes every
  // row.
  void ConnectFieldsToOptions();
  void FillPreview();
  void SetFieldLimits();
  void ShowDecimalSeparator();
  void DecimalSeparatorChosen(char separator);

  TImportedFile mFile;
  TReread mReread;
  std::function<void(const QString&)> mInform;
};

// "Export": the arrangement and the title lines of the exported data.
class TExportForm : public QDialog {
  Q_OBJECT

 public:
  explicit TExportForm(QWidget* parent = nullptr);

  // The choices on the form; the separators are the caller's.
  TExportChoices Choices() const;

  QRadioButton* StandardFormatRadioButton;
  QRadioButton* IndexedColRadioButton;
  QCheckBox* TitleCheckBox;
  QCheckBox* ColTitlesCheckBox;
};

}  // namespace ombrel
