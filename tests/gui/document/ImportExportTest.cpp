#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "support/ImportSamples.h"
#include "support/PageTestSupport.h"
#include "gui/document/DataEntryPage.h"
#include "gui/entry/ImportExportForms.h"
#include "gui/common/CoreText.h"
#include "gui/entry/SpreadGrid.h"

using namespace ombrel;

// The Import and Export commands of the data entry page, through their
// dialogs and real files.
class ImportExportTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;
  std::unique_ptr<QTemporaryDir> mFolder;

  TDocument& Document() const { return mForm->Document(); }
  TDataEntryPage* Entry() const { return qobject_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry)); }

  QString WriteFile(const QString& name, const QByteArray& content) const {
    const QString path = mFolder->filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(content);
    return path;
  }
  // A sample of tests/data/import, or else a file written with `content`.
  QString SampleOrFile(const QString& name, const QByteArray& content) const {
    return content.isEmpty() ? QString::fromStdString(ImportSamplePath(name.toStdString())) : WriteFile(name, content);
  }
  // The preview's line for each column: its cells joined by "|".
  static QStringList CountLines(const TImportForm& form) {
    QStringList lines;
    const QTableWidget& grid = *form.ColumnCountsGrid;
    for (int r = 0; r < grid.rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < grid.columnCount(); ++c) cells << grid.item(r, c)->text();
      lines << cells.join(QLatin1Char('|'));
    }
    return lines;
  }
  QByteArray ReadFile(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mFolder = std::make_unique<QTemporaryDir>();
    mHost = std::make_unique<TTestHost>();
    auto document = std::make_unique<TDocument>();
    document->Format = TDataFormat::Raw;
    mForm = ShowDocumentWindow(*mHost, std::move(document));
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
    mForm->GoToStep(TStep::DataEntry);
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
    mFolder.reset();
  }

  void ImportFillsTheGridFromTheCurrentCell() {
    mHost->Questions.OpenNames.push_back(
        WriteFile(QStringLiteral("body.csv"), "Weight,Height\r\n70,1.8\r\n82.5,1.75\r\n"));
    QString caption;
    int endColumn = 0;
    int endRow = 0;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      auto& form = dynamic_cast<TImportForm&>(dialog);
      caption = form.FilePreview->title();
      endColumn = form.EndColumnField->value();
      endRow = form.EndRowField->value();
      form.accept();
      return form.result();
    };
    Entry()->RawDataGrid->SetCurrentCell(2, 3);  // column B, second row
    const int changes = mHost->StateChanges;
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QCOMPARE(caption, QStringLiteral("Preview of body.csv"));
    QCOMPARE(endColumn, 2);
    QCOMPARE(endRow, 2);
    const TDataTable& table = Document().Table;
    QVERIFY(table.IsCellEmpty(0, 1));
    QCOMPARE(static_cast<double>(table.GetValue(1, 1)), 70.0);
    QCOMPARE(static_cast<double>(table.GetValue(2, 2)), 1.75);
    QCOMPARE(table.Summary(1).Title, std::string("Weight"));
    QCOMPARE(table.Summary(2).Title, std::string("Height"));
    QVERIFY(mHost->StateChanges > changes);
    QVERIFY(mHost->Questions.Shown.isEmpty());
  }

  // A spreadsheet's file on a point system: the dialog shows the comma it
  // found, switching to the point reads the file again into the preview, and
  // after the import one message tells what was left empty. The data set
  // title stays, since the header line named the columns.
  void ImportShowsAndSwitchesTheDecimalSeparator() {
    mHost->Questions.OpenNames.push_back(WriteFile(
        QStringLiteral("werte.csv"), "\xef\xbb\xbfNr;Masse;Laenge\r\n1;8,977;22,61\r\n2;9,5;-\r\n3;10,25;NA\r\n"));
    Document().Table.SetTitle("My experiment 12");
    QStringList seen;
    mHost->Questions.Dialog = [&seen](QDialog& dialog) {
      auto& form = dynamic_cast<TImportForm&>(dialog);
      const auto state = [&form] {
        return QStringLiteral("%1 %2 %3")
            .arg(form.DecimalCommaRadioButton->isChecked() ? QStringLiteral(",") : QStringLiteral("."))
            .arg(form.PreviewGrid->columnCount())
            .arg(form.PreviewGrid->item(0, 1) != nullptr ? form.PreviewGrid->item(0, 1)->text() : QString());
      };
      seen << state() << form.DecimalSourceLabel->text();
      form.DecimalPointRadioButton->click();
      seen << state() << QString::number(form.EndColumnField->value());
      form.DecimalCommaRadioButton->click();
      seen << state();
      form.accept();
      return form.result();
    };
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QCOMPARE(seen, (QStringList{QStringLiteral(", 3 8.977"), QStringLiteral("As the numbers in the file show."),
                                QStringLiteral(". 5 8"), QStringLiteral("5"), QStringLiteral(", 3 8.977")}));
    QCOMPARE(mHost->Statuses,
             (QStringList{QStringLiteral("Reading data..."), QStringLiteral("-"), QStringLiteral("Reading data..."),
                          QStringLiteral("-"), QStringLiteral("Reading data..."), QStringLiteral("-")}));
    const TDataTable& table = Document().Table;
    QCOMPARE(table.Title(), std::string("My experiment 12"));
    QCOMPARE(table.Summary(1).Title, std::string("Masse"));
    QCOMPARE(static_cast<double>(table.GetValue(2, 1)), 10.25);
    QVERIFY(table.IsCellEmpty(1, 2));
    QCOMPARE(mHost->Questions.Shown,
             QStringList{QStringLiteral(
                 "2 fields of this file are not numbers and were left empty; the first is in row 2, column 3.")});
  }

  void EditingAFieldChoosesItsOption() {
    mHost->Questions.OpenNames.push_back(WriteFile(QStringLiteral("three.txt"), "1,2,3\n4,5,6\n"));
    QList<bool> checks;
    mHost->Questions.Dialog = [&checks](QDialog& dialog) {
      auto& form = dynamic_cast<TImportForm&>(dialog);
      form.StartRowField->setValue(2);
      checks << form.RowRangeCheckBox->isChecked();
      form.FilterColumnField->setValue(2);
      checks << form.FilterRowCheckBox->isChecked();
      form.EndColumnField->setValue(2);
      checks << form.ColRangeRadioButton->isChecked();
      form.GroupAssignmentColField->setValue(3);
      checks << form.IndexedColRadioButton->isChecked();
      // The indexed layout takes every row.
      checks << !form.RowRangeCheckBox->isChecked() << !form.FilterRowCheckBox->isChecked();
      return static_cast<int>(QDialog::Rejected);
    };
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QCOMPARE(checks, QList<bool>(6, true));
    // Cancel leaves the document as it was.
    QVERIFY(!Document().Table.HasData());
  }

  void EqualIndexColumnsKeepTheDialogOpen() {
    mHost->Questions.OpenNames.push_back(WriteFile(QStringLiteral("groups.txt"), "5,10\n6,20\n7,10\n"));
    bool stayedOpen = false;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      auto& form = dynamic_cast<TImportForm&>(dialog);
      form.IndexedColRadioButton->setChecked(true);
      form.GroupAssignmentColField->setValue(1);
      form.accept();
      stayedOpen = form.result() != QDialog::Accepted;
      form.GroupAssignmentColField->setValue(2);
      form.accept();
      return form.result();
    };
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QVERIFY(stayedOpen);
    QCOMPARE(
        mHost->Questions.Shown,
        QStringList{QStringLiteral("The column with values and the column with group assignments must be different.")});
    const TDataTable& table = Document().Table;
    QCOMPARE(table.Summary(0).Title, std::string("10"));
    QCOMPARE(static_cast<double>(table.GetValue(1, 0)), 7.0);
    QCOMPARE(static_cast<double>(table.GetValue(0, 1)), 6.0);
  }

  void RefusedFilesNeverReachTheDialog_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("not ASCII") << "data.txt" << QByteArray("Title\n1,2\n\xff\xfe,3\n")
                               << "The file is not an ASCII file."
                               << "";
    QTest::newRow("older workbook") << "BOOK.XLS" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest")
                                    << "BOOK.XLS is a workbook of an older format"
                                    << "";
    QTest::newRow("damaged workbook") << "book.xlsx" << QByteArray("PK\x03\x04 rest") << "book.xlsx is"
                                      << "";
    QTest::newRow("cannot be opened") << "" << QByteArray() << "Error: #"
                                      << "";
  }
  void RefusedFilesNeverReachTheDialog() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    QFETCH(QString, dialog);
    // No name: a file that is not there.
    mHost->Questions.OpenNames.push_back(name.isEmpty() ? mFolder->filePath(QStringLiteral("gone.csv"))
                                                        : WriteFile(name, content));
    QString dialogShown;
    mHost->Questions.Dialog = [&](QDialog& d) {
      dialogShown = d.objectName();
      return static_cast<int>(QDialog::Accepted);
    };
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QCOMPARE(dialogShown, dialog);
    QCOMPARE(mHost->Questions.Shown.size(), shown.isEmpty() ? 0 : 1);
    if (!shown.isEmpty())
      QVERIFY2(mHost->Questions.Shown.front().startsWith(shown), qPrintable(mHost->Questions.Shown.front()));
    QVERIFY(!Document().Table.HasData());
  }

  // What the preview tells of each column, the first field that is not a
  // number and the row names, for text files and workbooks; a sheet chosen
  // on the form (its index, or -1) reads that sheet into the preview.
  void PreviewCountsWhatEachColumnHolds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("sheet");
    QTest::addColumn<QStringList>("counts");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("rowNames");
    QTest::addColumn<QString>("hidden");
    QTest::newRow("text with markers") << "body.csv" << QByteArray("Weight,Height\r\n70,NA\r\n,1.75\r\n82,-\r\n") << -1
                                       << QStringList{"1 Weight|2|1|0", "2 Height|1|0|2"}
                                       << "The first field that is not a number: \"NA\", row 1, column 2." << false
                                       << "";
    QTest::newRow("row names of R") << "r-write-csv.csv" << QByteArray() << -1
                                    << QStringList{"1 dose|4|0|0", "2 response|4|0|0", "3 weight|2|0|2"}
                                    << "The first field that is not a number: \"NA\", row 1, column 3." << true << "";
    QTest::newRow("workbook") << "book.xlsx" << QByteArray() << -1
                              << QStringList{"1 Dose|5|0|0|0",  "2 Response|3|0|2|0", "3 Weight|3|1|1|0",
                                             "4 Visit|0|1|0|4", "5 Ok|0|2|3|0",       "6 Rate|4|1|0|0"}
                              << "The first field that is not a number: \"TRUE\", cell E2." << false
                              << "Hidden rows and columns are imported.";
    QTest::newRow("sheet chosen") << "book.ods" << QByteArray() << 1
                                  << QStringList{"1 Group A|4|0|0|0", "2 Group B|3|0|1|0", "3 Group C (hidden)|4|0|0|0"}
                                  << "The first field that is not a number: \"n/a\", cell C5." << false
                                  << "Hidden rows and columns are imported: 1 hidden row, 1 hidden column.";
  }
  void PreviewCountsWhatEachColumnHolds() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, sheet);
    mHost->Questions.OpenNames.push_back(SampleOrFile(name, content));
    QStringList counts;
    QString first;
    bool rowNames = false;
    QString hidden;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      auto& form = dynamic_cast<TImportForm&>(dialog);
      if (sheet >= 0) {
        form.SheetComboBox->setCurrentIndex(sheet);
        emit form.SheetComboBox->activated(sheet);
      }
      counts = CountLines(form);
      first = form.FirstNotNumberLabel->text();
      rowNames = form.RowNamesCheckBox->isEnabled() && form.RowNamesCheckBox->isChecked();
      hidden = form.HiddenLinesLabel->text();
      return static_cast<int>(QDialog::Rejected);
    };
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QTEST(counts, "counts");
    QTEST(first, "first");
    QTEST(rowNames, "rowNames");
    QTEST(hidden, "hidden");
  }

  // Each choice of how the file is read reads it again into the preview,
  // and the import then takes what the preview showed: column by column the
  // same titles and numbers.
  void ImportTakesWhatThePreviewShows_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("counts");
    // The preview's first row heading and the first row title imported.
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QString>("rowTitle");
    QTest::newRow("row names switched back")
        << "r-write-csv.csv" << QByteArray() << "row names"
        << QStringList{"1|4|0|0", "2 dose|4|0|0", "3 response|4|0|0", "4 weight|2|0|2"} << "1"
        << "1";
    QTest::newRow("header row off") << "body.csv" << QByteArray("Weight,Height\r\n70,1.8\r\n") << "header"
                                    << QStringList{"1|1|0|1", "2|1|0|1"} << "1"
                                    << "1";
    QTest::newRow("separator chosen") << "semi.csv" << QByteArray("1;2,5\r\n3;4,5\r\n") << "comma"
                                      << QStringList{"1|0|0|2", "2|2|0|0"} << "1"
                                      << "1";
    QTest::newRow("sheet chosen") << "book.xlsx" << QByteArray() << "sheet Named"
                                  << QStringList{"1 height|3|0|0|0", "2 mass|3|0|0|0"} << "1 alpha"
                                  << "alpha";
  }
  void ImportTakesWhatThePreviewShows() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, choice);
    mHost->Questions.OpenNames.push_back(SampleOrFile(name, content));
    QStringList counts;
    QString firstRow;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      auto& form = dynamic_cast<TImportForm&>(dialog);
      if (choice == QStringLiteral("row names")) form.RowNamesCheckBox->click();
      if (choice == QStringLiteral("header")) form.HeaderCheckBox->click();
      if (choice == QStringLiteral("comma")) {
        const int at = form.SeparatorComboBox->findData(int(','));
        form.SeparatorComboBox->setCurrentIndex(at);
        emit form.SeparatorComboBox->activated(at);
      }
      if (choice.startsWith(QStringLiteral("sheet "))) {
        const int at = form.SheetComboBox->findText(choice.mid(6));
        form.SheetComboBox->setCurrentIndex(at);
        emit form.SheetComboBox->activated(at);
      }
      counts = CountLines(form);
      firstRow = form.PreviewGrid->verticalHeaderItem(0)->text();
      form.accept();
      return form.result();
    };
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QTEST(counts, "counts");
    QTEST(firstRow, "firstRow");
    const TDataTable& table = Document().Table;
    QTEST(FromCore(table.RowTitle(0)), "rowTitle");
    for (int c = 0; c < counts.size(); ++c) {
      const QStringList cells = counts[c].split(QLatin1Char('|'));
      const QString title = cells[0].section(QLatin1Char(' '), 1);
      QCOMPARE(FromCore(table.Summary(c).Title), title);
      QCOMPARE(ColumnNMean(table, c).N, cells[1].toInt());
    }
  }

  // A workbook dropped onto the grid goes through the preview into the
  // grid, and what was left out is told.
  void DroppedWorkbookImports() {
    mHost->Questions.Dialog = [](QDialog& dialog) {
      dialog.accept();
      return dialog.result();
    };
    DropFile(*Entry()->RawDataGrid->viewport(), QString::fromStdString(ImportSamplePath("book.ods")));
    QTRY_COMPARE(ColumnNMean(Document().Table, 0).N, 5);
    QCOMPARE(Document().Table.Summary(5).Title, std::string("Rate"));
    QCOMPARE(static_cast<double>(Document().Table.GetValue(0, 5)), 0.25);
    QCOMPARE(mHost->Questions.Shown,
             QStringList{QStringLiteral("6 cells of this sheet are not numbers and were left empty; the first is E2.\n"
                                        "4 dates and times were left out: Ombrel analyses numbers, not dates.")});
  }

  void TooManyRowsAreAnnouncedAndCut() {
    QByteArray content;
    for (int i = 1; i <= 1005; ++i) content += QByteArray::number(i) + "\n";
    mHost->Questions.OpenNames.push_back(WriteFile(QStringLiteral("long.txt"), content));
    mHost->Questions.Dialog = [](QDialog& dialog) {
      dialog.accept();
      return dialog.result();
    };
    QVERIFY(mForm->RunCommand(TCommand::Import));
    QCOMPARE(mHost->Questions.Shown,
             QStringList{QStringLiteral(
                 "There are too many rows of data in this file.Only the first 1000 rows will be read.")});
    QCOMPARE(static_cast<double>(Document().Table.GetValue(999, 0)), 1000.0);
  }

  void ExportWritesTheChosenLayout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("indexed");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("TXT: list separator") << "DATA.TXT" << false << QByteArray("Sheet\r\nA,B\r\n1,2\r\n3,\r\n");
    QTest::newRow("csv: list separator") << "data.csv" << false << QByteArray("Sheet\r\nA,B\r\n1,2\r\n3,\r\n");
    QTest::newRow("dat: tab") << "DATA.dat" << false << QByteArray("Sheet\r\nA\tB\r\n1\t2\r\n3\t\r\n");
    QTest::newRow("index") << "DATA.TXT" << true << QByteArray("Sheet\r\nvalue,group\r\n1,1\r\n3,1\r\n2,2\r\n,2\r\n");
  }
  void ExportWritesTheChosenLayout() {
    QFETCH(QString, name);
    QFETCH(bool, indexed);
    QFETCH(QByteArray, written);
    TDataTable& table = Document().Table;
    StoreCell(table, 0, 0, 1);
    StoreCell(table, 1, 0, 3);
    StoreCell(table, 0, 1, 2);
    StoreColumnTitle(table, 0, "A");
    StoreColumnTitle(table, 1, "B");
    table.SetTitle("Sheet");
    const QString path = mFolder->filePath(name);
    mHost->Questions.SaveNames.push_back(path);
    mHost->Questions.Dialog = [indexed](QDialog& dialog) {
      auto& form = dynamic_cast<TExportForm&>(dialog);
      if (indexed) form.IndexedColRadioButton->setChecked(true);
      form.accept();
      return form.result();
    };
    QVERIFY(mForm->RunCommand(TCommand::Export));
    QCOMPARE(ReadFile(path), written);
    QVERIFY(mHost->Questions.Shown.isEmpty());
  }

  void OtherPagesExportTheirOwnContent() {
    const QString counts = mFolder->filePath(QStringLiteral("COUNTS.TXT"));
    const QString stats = mFolder->filePath(QStringLiteral("stats.csv"));
    mHost->Questions.SaveNames = {counts, stats};
    Document().Format = TDataFormat::TwoByTwo;
    Document().TwoByTwo.A = 12;
    Document().TwoByTwo.B = 3;
    Document().TwoByTwo.C = 40;
    mForm->GoToStep(TStep::DataEntry);
    QVERIFY(mForm->RunCommand(TCommand::Export));
    QCOMPARE(ReadFile(counts), QByteArray("12,3\r\n40,\r\n"));

    Document().Format = TDataFormat::Raw;
    Fill(Document(), {0, 1});
    StoreColumnTitle(Document().Table, 0, "x");
    StoreColumnTitle(Document().Table, 1, "y");
    mForm->GoToStep(TStep::ColumnStats);
    QVERIFY(mForm->RunCommand(TCommand::Export));
    // Column A holds 1, 2, 5, 10, 17: mean 7.
    QVERIFY2(ReadFile(stats).startsWith("x,y\r\n5,5\r\n7,17\r\n"), ReadFile(stats).constData());
  }

  void ExportReportsAFileThatCannotBeWritten() {
    StoreCell(Document().Table, 0, 0, 1);
    mHost->Questions.SaveNames.push_back(mFolder->filePath(QStringLiteral("missing/DATA.TXT")));
    mHost->Questions.Dialog = [](QDialog& dialog) {
      dialog.accept();
      return dialog.result();
    };
    QVERIFY(mForm->RunCommand(TCommand::Export));
    QCOMPARE(mHost->Questions.Shown.size(), 1);
    QVERIFY(mHost->Questions.Shown.front().startsWith(QStringLiteral("Error: #")));
  }
};

QTEST_MAIN(ImportExportTest)
#include "ImportExportTest.moc"
