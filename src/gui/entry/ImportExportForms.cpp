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
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/base/Index.h"
#include "core/entry/CellText.h"
#include "core/entry/ImportData.h"
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

TImportForm::TImportForm(TImportedFile file, const QString& fileName, const TImportOptions& options, TReread reread,
                         QWidget* parent)
    : QDialog(parent), mFile(std::move(file)), mOptions(options), mReread(std::move(reread)) {
  setObjectName(QStringLiteral("ImportForm"));
  setWindowTitle(QStringLiteral("Import"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreatePreview(fileName), 1);
  layout->addWidget(CreateReadingBox());
  auto* choices = new QHBoxLayout;
  choices->addWidget(CreateColumnsBox(mFile.DataColumns));
  choices->addWidget(CreateRowsBox(mFile.DataColumns, mFile.DataRows));
  layout->addLayout(choices);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  ConnectFieldsToOptions();
  ConnectReading();
  FillPreview();
  ShowReading();
  QSize size = QSize(1000, 720).boundedTo(sizeHint().expandedTo(QSize(760, 600)));
  if (const QScreen* shown = screen()) size = size.boundedTo(shown->availableGeometry().size());
  resize(size);
}

QGroupBox* TImportForm::CreatePreview(const QString& fileName) {
  FilePreview = new QGroupBox(QStringLiteral("Preview of ") + QFileInfo(fileName).fileName());
  auto* previewLayout = new QGridLayout(FilePreview);
  PreviewGrid = new QTableWidget;
  PreviewGrid->setAccessibleName(QStringLiteral("File preview"));
  PreviewGrid->setObjectName(QStringLiteral("PreviewGrid"));
  PreviewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  PreviewGrid->setAccessibleName(QStringLiteral("The first rows as they will be read"));
  ColumnCountsGrid = new QTableWidget;
  ColumnCountsGrid->setObjectName(QStringLiteral("ColumnCountsGrid"));
  ColumnCountsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ColumnCountsGrid->setAccessibleName(QStringLiteral("What each column holds"));
  ColumnCountsGrid->verticalHeader()->setVisible(false);
  // As wide as its columns need; the preview takes the rest.
  ColumnCountsGrid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  FirstNotNumberLabel = new QLabel;
  FirstNotNumberLabel->setObjectName(QStringLiteral("FirstNotNumberLabel"));
  FirstNotNumberLabel->setWordWrap(true);
  previewLayout->addWidget(PreviewGrid, 0, 0);
  previewLayout->addWidget(ColumnCountsGrid, 0, 1);
  previewLayout->addWidget(FirstNotNumberLabel, 1, 0, 1, 2);
  previewLayout->setColumnStretch(0, 1);
  return FilePreview;
}

QGroupBox* TImportForm::CreateReadingBox() {
  ReadingBox = new QGroupBox(QStringLiteral("How the file is read"));
  auto* grid = new QGridLayout(ReadingBox);
  SeparatorComboBox = new QComboBox;
  SeparatorComboBox->setObjectName(QStringLiteral("SeparatorComboBox"));
  SeparatorComboBox->addItem(QStringLiteral("Tab"), int('\t'));
  SeparatorComboBox->addItem(QStringLiteral("Comma (,)"), int(','));
  SeparatorComboBox->addItem(QStringLiteral("Semicolon (;)"), int(';'));
  SeparatorComboBox->addItem(QStringLiteral("Blanks (aligned columns)"), int(' '));
  SeparatorSourceLabel = new QLabel;
  SeparatorSourceLabel->setObjectName(QStringLiteral("SeparatorSourceLabel"));
  auto* separatorLabel = new QLabel(QStringLiteral("Fields separated &by:"));
  separatorLabel->setBuddy(SeparatorComboBox);
  DecimalPointRadioButton = new QRadioButton(QStringLiteral("Decimal &point (.)"));
  DecimalPointRadioButton->setObjectName(QStringLiteral("DecimalPointRadioButton"));
  DecimalCommaRadioButton = new QRadioButton(QStringLiteral("Decimal co&mma (,)"));
  DecimalCommaRadioButton->setObjectName(QStringLiteral("DecimalCommaRadioButton"));
  DecimalSourceLabel = new QLabel;
  DecimalSourceLabel->setObjectName(QStringLiteral("DecimalSourceLabel"));
  auto* decimals = new QHBoxLayout;
  decimals->addWidget(DecimalPointRadioButton);
  decimals->addWidget(DecimalCommaRadioButton);
  SheetComboBox = new QComboBox;
  SheetComboBox->setObjectName(QStringLiteral("SheetComboBox"));
  auto* sheetLabel = new QLabel(QStringLiteral("&Sheet:"));
  sheetLabel->setBuddy(SheetComboBox);
  HiddenLinesLabel = new QLabel;
  HiddenLinesLabel->setObjectName(QStringLiteral("HiddenLinesLabel"));
  HeaderCheckBox = new QCheckBox(QStringLiteral("The first row holds the column &titles"));
  HeaderCheckBox->setObjectName(QStringLiteral("HeaderCheckBox"));
  RowNamesCheckBox = new QCheckBox(QStringLiteral("The first column holds row &names: take them as row titles"));
  RowNamesCheckBox->setObjectName(QStringLiteral("RowNamesCheckBox"));
  const bool workbook = mFile.Source != TImportSource::Text;
  if (workbook) {
    grid->addWidget(sheetLabel, 0, 0);
    grid->addWidget(SheetComboBox, 0, 1);
    grid->addWidget(HiddenLinesLabel, 0, 2);
  } else {
    grid->addWidget(separatorLabel, 0, 0);
    grid->addWidget(SeparatorComboBox, 0, 1);
    grid->addWidget(SeparatorSourceLabel, 0, 2);
    grid->addLayout(decimals, 1, 0, 1, 2);
    grid->addWidget(DecimalSourceLabel, 1, 2);
  }
  grid->addWidget(HeaderCheckBox, 2, 0, 1, 3);
  grid->addWidget(RowNamesCheckBox, 3, 0, 1, 3);
  grid->setColumnStretch(2, 1);
  // The controls of the other kind of file stay out of the layout.
  for (QWidget* other : workbook ? QList<QWidget*>{separatorLabel, SeparatorComboBox, SeparatorSourceLabel,
                                                   DecimalPointRadioButton, DecimalCommaRadioButton, DecimalSourceLabel}
                                 : QList<QWidget*>{sheetLabel, SheetComboBox, HiddenLinesLabel}) {
    other->setParent(ReadingBox);
    other->hide();
  }
  if (workbook) delete decimals;
  for (const std::string& name : mFile.SheetNames) SheetComboBox->addItem(FromCore(name));
  return ReadingBox;
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

void TImportForm::ConnectReading() {
  connect(SeparatorComboBox, &QComboBox::activated, this, [this] {
    TImportOptions options = mOptions;
    options.Separators.ChosenSeparator = static_cast<char>(SeparatorComboBox->currentData().toInt());
    mSeparatorChosen = true;
    Reread(options);
  });
  const auto decimal = [this](char mark) {
    if (mark == mFile.DecimalSeparator && !mDecimalChosen) return;
    TImportOptions options = mOptions;
    options.Separators.ChosenDecimal = mark;
    mDecimalChosen = true;
    Reread(options);
  };
  connect(DecimalPointRadioButton, &QRadioButton::clicked, this, [decimal] { decimal('.'); });
  connect(DecimalCommaRadioButton, &QRadioButton::clicked, this, [decimal] { decimal(','); });
  connect(SheetComboBox, &QComboBox::activated, this, [this](int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= mFile.SheetNames.size()) return;
    TImportOptions options = mOptions;
    options.Sheet = mFile.SheetNames[static_cast<std::size_t>(index)];
    Reread(options);
  });
  connect(HeaderCheckBox, &QCheckBox::clicked, this, [this](bool on) {
    TImportOptions options = mOptions;
    options.Header = on ? TImportHeader::On : TImportHeader::Off;
    Reread(options);
  });
  connect(RowNamesCheckBox, &QCheckBox::clicked, this, [this](bool on) {
    TImportOptions options = mOptions;
    options.RowNames = on;
    Reread(options);
  });
}

void TImportForm::Reread(const TImportOptions& options) {
  if (!mReread) return;
  TImportedFile file = mReread(options);
  // A sheet that cannot be read leaves the last reading on the form.
  if (!file.Read()) {
    if (mInform) mInform(FromCore(file.ProblemMessage));
  } else {
    mFile = std::move(file);
    mOptions = options;
  }
  FillPreview();
  SetFieldLimits();
  ShowReading();
}

void TImportForm::ShowReading() {
  const QSignalBlocker blockSeparator(SeparatorComboBox);
  // The separator the user chose, else the one the first data line shows.
  const char separator = mSeparatorChosen  ? mOptions.Separators.ChosenSeparator
                         : mFile.Delimited ? mFile.FieldSeparator
                                           : ' ';
  int at = SeparatorComboBox->findData(int(separator));
  if (at < 0) {
    SeparatorComboBox->addItem(QStringLiteral("\"%1\"").arg(QLatin1Char(separator)), int(separator));
    at = SeparatorComboBox->count() - 1;
  }
  SeparatorComboBox->setCurrentIndex(at);
  SeparatorSourceLabel->setText(mSeparatorChosen ? QStringLiteral("As chosen.")
                                                 : QStringLiteral("As the file's first data line shows."));
  DecimalPointRadioButton->setChecked(mFile.DecimalSeparator == '.');
  DecimalCommaRadioButton->setChecked(mFile.DecimalSeparator == ',');
  DecimalSourceLabel->setText(mDecimalChosen          ? QStringLiteral("As chosen.")
                              : mFile.DecimalFromFile ? QStringLiteral("As the numbers in the file show.")
                                                      : QStringLiteral("The file's numbers do not show it."));
  const QSignalBlocker blockSheet(SheetComboBox);
  SheetComboBox->setCurrentIndex(mFile.Sheet);
  HiddenLinesLabel->setText(FromCore(HiddenLinesNote(mFile)));
  HeaderCheckBox->setChecked(mFile.HasColumnTitles);
  RowNamesCheckBox->setEnabled(mFile.RowNamesFound);
  RowNamesCheckBox->setChecked(mFile.RowNamesTaken);
  FirstNotNumberLabel->setText(FromCore(FirstNotNumberLine(mFile)));
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
    if (const std::string& title = file.ColumnTitles[At(c)]; !title.empty())
      heading += QLatin1Char('\n') + FromCore(title);
    if (file.ColumnHidden[At(c)] != 0) heading += QStringLiteral("\n(hidden)");
    PreviewGrid->setHorizontalHeaderItem(c, new QTableWidgetItem(heading));
    PreviewGrid->setColumnWidth(c, 110);
  }
  for (int r = 0; r < rows; ++r) {
    QString heading = QString::number(r + 1);
    if (file.RowNamesTaken && !file.RowNamesNumbered && At(r) < file.RowNames.size())
      heading += QLatin1Char(' ') + FromCore(file.RowNames[At(r)]);
    if (At(r) < file.RowHidden.size() && file.RowHidden[At(r)] != 0) heading += QStringLiteral(" (hidden)");
    PreviewGrid->setVerticalHeaderItem(r, new QTableWidgetItem(heading));
  }
  const QBrush leftOut = PreviewGrid->palette().brush(QPalette::Disabled, QPalette::Text);
  for (int r = 0; r < file.DataRows; ++r)
    for (int c = 0; c < file.DataColumns; ++c) {
      const TReal value = table.GetValue(r, c);
      if (!IsEmpty(value)) {
        auto* item = new QTableWidgetItem(FromCore(FormatCellValue(value, table.AutoDecimals[At(c)])));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        PreviewGrid->setItem(r, c, item);
        continue;
      }
      // What is left empty shows greyed, so the user sees what was there.
      if (At(r) >= file.PreviewRows.size() || At(c) >= file.PreviewRows[At(r)].size()) continue;
      const TPreviewField& field = file.PreviewRows[At(r)][At(c)];
      if (field.Kind != TPreviewKind::NotNumber && field.Kind != TPreviewKind::Date) continue;
      QString text = FromCore(field.Text);
      // A workbook may store a date as its day count: no use to show.
      bool dayCount = false;
      text.toDouble(&dayCount);
      if (field.Kind == TPreviewKind::Date && (dayCount || text.isEmpty())) text = QStringLiteral("(date)");
      auto* item = new QTableWidgetItem(text);
      item->setForeground(leftOut);
      QFont italic = item->font();
      italic.setItalic(true);
      item->setFont(italic);
      item->setToolTip(field.Kind == TPreviewKind::Date ? QStringLiteral("A date or time: left out.")
                                                        : QStringLiteral("Not a number: left empty."));
      PreviewGrid->setItem(r, c, item);
    }
  FillColumnCounts();
}

void TImportForm::FillColumnCounts() {
  const TImportedFile& file = mFile;
  const bool dates = file.Source != TImportSource::Text;
  QStringList headings{QStringLiteral("Column"), QStringLiteral("Numbers"), QStringLiteral("Empty"),
                       QStringLiteral("Not numbers")};
  if (dates) headings << QStringLiteral("Dates");
  ColumnCountsGrid->clear();
  ColumnCountsGrid->setColumnCount(static_cast<int>(headings.size()));
  ColumnCountsGrid->setHorizontalHeaderLabels(headings);
  ColumnCountsGrid->setRowCount(file.DataColumns);
  for (int c = 0; c < file.DataColumns; ++c) {
    const TImportColumnCounts& counts = file.Counts[At(c)];
    QString name = QString::number(c + 1);
    if (const std::string& title = file.ColumnTitles[At(c)]; !title.empty()) name += QLatin1Char(' ') + FromCore(title);
    if (file.ColumnHidden[At(c)] != 0) name += QStringLiteral(" (hidden)");
    QList<int> values{counts.Numbers, counts.Empty, counts.NotNumbers};
    if (dates) values << counts.Dates;
    ColumnCountsGrid->setItem(c, 0, new QTableWidgetItem(name));
    for (int k = 0; k < values.size(); ++k) {
      auto* item = new QTableWidgetItem(QString::number(values[k]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      ColumnCountsGrid->setItem(c, k + 1, item);
    }
  }
  ColumnCountsGrid->resizeColumnsToContents();
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
