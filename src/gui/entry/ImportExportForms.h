#pragma once

#include <QDialog>
#include <functional>

#include "core/entry/TextExport.h"
#include "core/entry/ImportData.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace ombrel {

// "Import": the file's preview as it will be read, how it is read (the
// field separator and decimal mark of a text file, the sheet of a workbook,
// the header row, row names), and which of its rows and columns to take.
// Every change of how it is read reads the file again through the one
// routine the import then uses, so the preview shows what the import does.
class TImportForm : public QDialog {
  Q_OBJECT

 public:
  // Reads the file again as the options say.
  using TReread = std::function<TImportedFile(const TImportOptions&)>;

  TImportForm(TImportedFile file, const QString& fileName, const TImportOptions& options, TReread reread,
              QWidget* parent = nullptr);

  // Refusals while the dialog stays open (equal value and group columns).
  void SetInform(std::function<void(const QString&)> inform) { mInform = std::move(inform); }
  TImportChoices Choices() const;
  // The file as last read, as the form's options say.
  const TImportedFile& File() const { return mFile; }
  const TImportOptions& Options() const { return mOptions; }
  void accept() override;

  QGroupBox* FilePreview;
  QTableWidget* PreviewGrid;
  // One line per column: its title and counts of numbers, empty fields and
  // fields that are not numbers (and dates, for workbooks).
  QTableWidget* ColumnCountsGrid;
  QLabel* FirstNotNumberLabel;
  QGroupBox* ReadingBox;
  QComboBox* SeparatorComboBox;
  QLabel* SeparatorSourceLabel;
  QRadioButton* DecimalPointRadioButton;
  QRadioButton* DecimalCommaRadioButton;
  QLabel* DecimalSourceLabel;
  QComboBox* SheetComboBox;
  QLabel* HiddenLinesLabel;
  QCheckBox* HeaderCheckBox;
  QCheckBox* RowNamesCheckBox;
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
  QGroupBox* CreateReadingBox();
  QGroupBox* CreateColumnsBox(int columns);
  QGroupBox* CreateRowsBox(int columns, int rows);
  // Editing a field switches its option on; the indexed layout takes every
  // row.
  void ConnectFieldsToOptions();
  void ConnectReading();
  void FillPreview();
  void FillColumnCounts();
  void SetFieldLimits();
  // The reading controls as the last reading found the file.
  void ShowReading();
  void Reread(const TImportOptions& options);

  TImportedFile mFile;
  TImportOptions mOptions;
  TReread mReread;
  std::function<void(const QString&)> mInform;
  // Whether the user chose the separator or the decimal mark (else the file
  // showed them).
  bool mSeparatorChosen = false;
  bool mDecimalChosen = false;
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
