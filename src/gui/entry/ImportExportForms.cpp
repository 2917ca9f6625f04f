#include "gui/entry/ImportExportForms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/entry/CellText.h"
#include "core/entry/WrittenNumbers.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

constexpr int FieldDigits = 4;

QSpinBox* MakeField(const char* name, int limit, int value) {
  auto* field = new QSpinBox;
  field->setObjectName(QString::fromLatin1(name));
  field->setRange(1, std::max(limit, 1));
  field->setMaximumWidth(70);
  field->setValue(std::clamp(value, 1, std::max(limit, 1)));
  return field;
}

}  // namespace

TExcelWarnForm::TExcelWarnForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ExcelWarnForm"));
  setWindowTitle(QStringLiteral("Ombrel"));
  auto* layout = new QVBoxLayout(this);
  for (const std::string_view line : SpreadsheetAdviceLines) layout->addWidget(new QLabel(FromCore(std::string(line))));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

TImportForm::TImportForm(TImportedFile file, const QString& fileName, TReread reread, QWidget* parent)
    : QDialog(parent), mFile(std::move(file)), mReread(std::move(reread)) {
  setObjectName(QStringLiteral("ImportForm"));
  setWindowTitle(QStringLiteral("Import"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreatePreview(fileName), 1);
  layout->addWidget(CreateDecimalBox());
  layout->addWidget(CreateColumnsBox(mFile.DataColumns));
  layout->addWidget(CreateRowsBox(mFile.DataColumns, mFile.DataRows));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  ConnectFieldsToOptions();
  FillPreview();
  ShowDecimalSeparator();
  resize(760, 660);
}

QGroupBox* TImportForm::CreatePreview(const QString& fileName) {
  FilePreview = new QGroupBox(QStringLiteral("Preview of ") + QFileInfo(fileName).fileName());
  auto* previewLayout = new QVBoxLayout(FilePreview);
  PreviewGrid = new QTableWidget;
  PreviewGrid->setAccessibleName(QStringLiteral("File preview"));
  PreviewGrid->setObjectName(QStringLiteral("PreviewGrid"));
  PreviewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  previewLayout->addWidget(PreviewGrid);
  return FilePreview;
}

QGroupBox* TImportForm::CreateDecimalBox() {
  auto* decimalBox = new QGroupBox(QStringLiteral("Decimal separator"));
  auto* decimalLayout = new QHBoxLayout(decimalBox);
  DecimalPointRadioButton = new QRadioButton(QStringLiteral("."));
  DecimalPointRadioButton->setObjectName(QStringLiteral("DecimalPointRadioButton"));
  DecimalCommaRadioButton = new QRadioButton(QStringLiteral(","));
  DecimalCommaRadioButton->setObjectName(QStringLiteral("DecimalCommaRadioButton"));
  DecimalSourceLabel = new QLabel;
  DecimalSourceLabel->setObjectName(QStringLiteral("DecimalSourceLabel"));
  decimalLayout->addWidget(DecimalPointRadioButton);
  decimalLayout->addWidget(DecimalCommaRadioButton);
  decimalLayout->addWidget(DecimalSourceLabel, 1);
  connect(DecimalPointRadioButton, &QRadioButton::clicked, this, [this] { DecimalSeparatorChosen('.'); });
  connect(DecimalCommaRadioButton, &QRadioButton::clicked, this, [this] { DecimalSeparatorChosen(','); });
  return decimalBox;
}

QGroupBox* TImportForm::CreateColumnsBox(int columns) {
  auto* columnsBox = new QGroupBox(QStringLiteral("Columns"));
  auto* columnsLayout = new QGridLayout(columnsBox);
  AllColsRadioButton = new QRadioButton(QStringLiteral("Import all columns"));
  AllColsRadioButton->setObjectName(QStringLiteral("AllColsRadioButton"));
  AllColsRadioButton->setChecked(true);
  ColRangeRadioButton = new QRadioButton(QStringLiteral("Import range of columns. From: "));
  ColRangeRadioButton->setObjectName(QStringLiteral("ColRangeRadioButton"));
  StartColumnField = MakeField("StartColumnField", columns, 1);
  EndColumnField = MakeField("EndColumnField", columns, columns);
  IndexedColRadioButton = new QRadioButton(QStringLiteral("Import data only from column:"));
  IndexedColRadioButton->setObjectName(QStringLiteral("IndexedColRadioButton"));
  ValueColumnField = MakeField("ValueColumnField", columns, 1);
  GroupAssignmentColField = MakeField("GroupAssignmentColField", columns, 2);
  columnsLayout->addWidget(AllColsRadioButton, 0, 0, 1, 4);
  columnsLayout->addWidget(ColRangeRadioButton, 1, 0);
  columnsLayout->addWidget(StartColumnField, 1, 1);
  columnsLayout->addWidget(new QLabel(QStringLiteral("To:")), 1, 2);
  columnsLayout->addWidget(EndColumnField, 1, 3);
  columnsLayout->addWidget(IndexedColRadioButton, 2, 0);
  columnsLayout->addWidget(ValueColumnField, 2, 1);
  columnsLayout->addWidget(new QLabel(QStringLiteral("Import group identifier from column:")), 3, 0);
  columnsLayout->addWidget(GroupAssignmentColField, 3, 1);
  return columnsBox;
}

QGroupBox* TImportForm::CreateRowsBox(int columns, int rows) {
  auto* rowsBox = new QGroupBox(QStringLiteral("Rows"));
  auto* rowsLayout = new QGridLayout(rowsBox);
  RowRangeCheckBox = new QCheckBox(QStringLiteral("Import range of rows. From: "));
  RowRangeCheckBox->setObjectName(QStringLiteral("RowRangeCheckBox"));
  StartRowField = MakeField("StartRowField", rows, 1);
  EndRowField = MakeField("EndRowField", rows, rows);
  FilterRowCheckBox = new QCheckBox(QStringLiteral("Only import rows where column"));
  FilterRowCheckBox->setObjectName(QStringLiteral("FilterRowCheckBox"));
  FilterColumnField = MakeField("FilterColumnField", columns, 1);
  ConditionComboBox = new QComboBox;
  ConditionComboBox->setObjectName(QStringLiteral("ConditionComboBox"));
  ConditionComboBox->addItems({QStringLiteral("="), QStringLiteral(">"), QStringLiteral(">="), QStringLiteral("<"),
                               QStringLiteral("<="), QStringLiteral("<>")});
  FilterValueField = new QLineEdit;
  FilterValueField->setObjectName(QStringLiteral("FilterValueField"));
  FilterValueField->setMaxLength(MaxCellTextLength);
  rowsLayout->addWidget(RowRangeCheckBox, 0, 0);
  rowsLayout->addWidget(StartRowField, 0, 1);
  rowsLayout->addWidget(new QLabel(QStringLiteral("To:")), 0, 2);
  rowsLayout->addWidget(EndRowField, 0, 3);
  rowsLayout->addWidget(FilterRowCheckBox, 1, 0);
  rowsLayout->addWidget(FilterColumnField, 1, 1);
  rowsLayout->addWidget(ConditionComboBox, 1, 2);
  rowsLayout->addWidget(FilterValueField, 1, 3);
  rowsLayout->addWidget(new QLabel(QStringLiteral("(Enter a value, not a column #.)")), 2, 3);
  return rowsBox;
}

void TImportForm::ConnectFieldsToOptions() {
  // Editing a field switches its option on.
  const auto choose = [this](QSpinBox* field, auto* option) {
    connect(field, &QSpinBox::valueChanged, option, [option] { option->setChecked(true); });
  };
  choose(StartColumnField, ColRangeRadioButton);
  choose(EndColumnField, ColRangeRadioButton);
  choose(ValueColumnField, IndexedColRadioButton);
  choose(GroupAssignmentColField, IndexedColRadioButton);
  choose(StartRowField, RowRangeCheckBox);
  choose(EndRowField, RowRangeCheckBox);
  choose(FilterColumnField, FilterRowCheckBox);
  connect(ConditionComboBox, &QComboBox::activated, FilterRowCheckBox, [this] { FilterRowCheckBox->setChecked(true); });
  connect(FilterValueField, &QLineEdit::textEdited, FilterRowCheckBox, [this] { FilterRowCheckBox->setChecked(true); });
  // The indexed layout takes every row.
  connect(IndexedColRadioButton, &QRadioButton::toggled, this, [this](bool on) {
    if (!on) return;
    RowRangeCheckBox->setChecked(false);
    FilterRowCheckBox->setChecked(false);
  });
}

void TImportForm::ShowDecimalSeparator() {
  DecimalPointRadioButton->setChecked(mFile.DecimalSeparator == '.');
  DecimalCommaRadioButton->setChecked(mFile.DecimalSeparator == ',');
  DecimalSourceLabel->setText(mFile.DecimalFromFile ? QStringLiteral("As the numbers in the file show.")
                                                    : QStringLiteral("The file's numbers do not show it."));
}

void TImportForm::DecimalSeparatorChosen(char separator) {
  if (!mReread || separator == mFile.DecimalSeparator) return;
  mFile = mReread(separator);
  FillPreview();
  SetFieldLimits();
  ShowDecimalSeparator();
  DecimalSourceLabel->setText(QStringLiteral("As chosen."));
}

// Ranges and presets of the column and row fields after a new reading,
// without switching any option on.
void TImportForm::SetFieldLimits() {
  const int columns = std::max(mFile.DataColumns, 1);
  const int rows = std::max(mFile.DataRows, 1);
  const auto set = [](QSpinBox* field, int limit, int value) {
    const QSignalBlocker blocker(field);
    field->setRange(1, limit);
    field->setValue(std::clamp(value, 1, limit));
  };
  set(StartColumnField, columns, 1);
  set(EndColumnField, columns, columns);
  set(ValueColumnField, columns, 1);
  set(GroupAssignmentColField, columns, 2);
  set(StartRowField, rows, 1);
  set(EndRowField, rows, rows);
  set(FilterColumnField, columns, 1);
}

void TImportForm::FillPreview() {
  const TImportedFile& file = mFile;
  const TDataTable& table = *file.Table;
  PreviewGrid->clear();
  const int columns = std::max(file.DataColumns, 1);
  const int rows = std::max(file.DataRows, 1);
  PreviewGrid->setColumnCount(columns);
  PreviewGrid->setRowCount(rows);
  QFont bold = PreviewGrid->horizontalHeader()->font();
  bold.setBold(true);
  PreviewGrid->horizontalHeader()->setFont(bold);
  PreviewGrid->verticalHeader()->setFont(bold);
  for (int c = 0; c < columns; ++c) {
    QString heading = QString::number(c + 1);
    if (const std::string& title = file.ColumnTitles[static_cast<std::size_t>(c)]; !title.empty())
      heading += QLatin1Char('\n') + FromCore(title);
    PreviewGrid->setHorizontalHeaderItem(c, new QTableWidgetItem(heading));
    PreviewGrid->setColumnWidth(c, 110);
  }
  for (int r = 0; r < rows; ++r) PreviewGrid->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(r + 1)));
  for (int r = 0; r < file.DataRows; ++r)
    for (int c = 0; c < file.DataColumns; ++c) {
      const TReal value = table.GetValue(r, c);
      if (IsEmpty(value)) continue;
      auto* item =
          new QTableWidgetItem(FromCore(FormatCellValue(value, table.AutoDecimals[static_cast<std::size_t>(c)])));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      PreviewGrid->setItem(r, c, item);
    }
}

TImportChoices TImportForm::Choices() const {
  TImportChoices choices;
  choices.Columns = IndexedColRadioButton->isChecked() ? TImportColumns::Indexed
                    : ColRangeRadioButton->isChecked() ? TImportColumns::Range
                                                       : TImportColumns::All;
  choices.StartColumn = StartColumnField->value();
  choices.EndColumn = EndColumnField->value();
  choices.ValueColumn = ValueColumnField->value();
  choices.GroupColumn = GroupAssignmentColField->value();
  choices.RowRange = RowRangeCheckBox->isChecked();
  choices.StartRow = StartRowField->value();
  choices.EndRow = EndRowField->value();
  choices.FilterRows = FilterRowCheckBox->isChecked();
  choices.FilterColumn = FilterColumnField->value();
  choices.Condition = static_cast<TFilterCondition>(std::clamp(ConditionComboBox->currentIndex(), 0, 5));
  choices.FilterValue = ParseCellText(FilterValueField->text().toStdString());
  return choices;
}

void TImportForm::accept() {
  if (IndexedColRadioButton->isChecked() && ValueColumnField->value() == GroupAssignmentColField->value()) {
    if (mInform) mInform(FromCore(SameIndexColumnsMessage));
    return;
  }
  QDialog::accept();
}

TExportForm::TExportForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ExportForm"));
  setWindowTitle(QStringLiteral("Export"));
  auto* layout = new QVBoxLayout(this);
  auto* arrangement = new QGroupBox(QStringLiteral("Arrangement"));
  auto* arrangementLayout = new QVBoxLayout(arrangement);
  StandardFormatRadioButton = new QRadioButton(QStringLiteral("Standard format. Export the table as it appears here."));
  StandardFormatRadioButton->setObjectName(QStringLiteral("StandardFormatRadioButton"));
  StandardFormatRadioButton->setChecked(true);
  IndexedColRadioButton = new QRadioButton(
      QStringLiteral("Index format. Export ALL values into column 1 and export column # as column 2."));
  IndexedColRadioButton->setObjectName(QStringLiteral("IndexedColRadioButton"));
  arrangementLayout->addWidget(StandardFormatRadioButton);
  arrangementLayout->addWidget(IndexedColRadioButton);
  layout->addWidget(arrangement);
  auto* titles = new QGroupBox(QStringLiteral("Titles"));
  auto* titlesLayout = new QVBoxLayout(titles);
  TitleCheckBox = new QCheckBox(QStringLiteral("Include the sheet title as the first row."));
  TitleCheckBox->setObjectName(QStringLiteral("TitleCheckBox"));
  TitleCheckBox->setChecked(true);
  ColTitlesCheckBox = new QCheckBox(QStringLiteral("Include column titles."));
  ColTitlesCheckBox->setObjectName(QStringLiteral("ColTitlesCheckBox"));
  ColTitlesCheckBox->setChecked(true);
  titlesLayout->addWidget(TitleCheckBox);
  titlesLayout->addWidget(ColTitlesCheckBox);
  layout->addWidget(titles);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

TExportChoices TExportForm::Choices() const {
  TExportChoices choices;
  choices.Arrangement = IndexedColRadioButton->isChecked() ? TExportArrangement::Indexed : TExportArrangement::Standard;
  choices.SheetTitle = TitleCheckBox->isChecked();
  choices.ColumnTitles = ColTitlesCheckBox->isChecked();
  return choices;
}

}  // namespace ombrel
