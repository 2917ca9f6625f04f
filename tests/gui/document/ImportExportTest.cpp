#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "gui/document/DataEntryPage.h"
#include "gui/entry/ImportExportForms.h"
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
    QTest::newRow("workbook") << "BOOK.XLS" << QByteArray("1,2\n") << ""
                              << "ExcelWarnForm";
    QTest::newRow("lower-case workbook") << "book.xls" << QByteArray("1,2\n") << ""
                                         << "ExcelWarnForm";
    QTest::newRow("mixed-case workbook") << "data.XLSX" << QByteArray("1,2\n") << ""
                                         << "ExcelWarnForm";
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
    QCOMPARE(mHost->Questions.Shown.front(), QStringLiteral("Could not export %1: No such file or directory.")
                                                 .arg(mFolder->filePath(QStringLiteral("missing/DATA.TXT"))));
  }
};

QTEST_MAIN(ImportExportTest)
#include "ImportExportTest.moc"
