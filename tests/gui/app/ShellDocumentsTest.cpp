#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include "support/ShellTestSupport.h"
#include "gui/app/NewFileDialog.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataFormatPage.h"
#include "gui/document/SummaryPage.h"
#include "gui/entry/SpreadGrid.h"
#include "core/document/DocumentFile.h"
#include "core/shell/RecentFiles.h"

using namespace ombrel;

namespace {

// A raw-data document file with a few values, written by the program's own
// writer.
QString WriteDataFile(const QString& path, double first) {
  TDocument document;
  document.Table.SetValue(0, 0, first);
  document.Table.SetValue(1, 0, 2.5L);
  const TFileOutcome outcome = SaveDocumentFile(QFile::encodeName(path).toStdString(), document);
  return outcome.Ok() ? path : QString();
}

QStringList Captions(const QList<QAction*>& actions) {
  QStringList captions;
  for (const QAction* action : actions) captions << action->text();
  return captions;
}

}  // namespace

class ShellDocumentsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void StartsWithOneNewDocumentOnStepZero() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    QVERIFY(window.NoDocumentsPanelShown());
    window.Start({});
    QCOMPARE(window.Documents().size(), 1);
    Analyze* form = window.ActiveDocument();
    QVERIFY(form != nullptr);
    QCOMPARE(form->Name(), QStringLiteral("DATASET1.OMD"));
    QCOMPARE(form->windowTitle(), QStringLiteral("DATASET1.OMD[*]"));  // [*]: the modified mark
    QCOMPARE(form->Step(), TStep::DataFormat);
    QVERIFY(form->NeverSaved());
    QVERIFY(!window.NoDocumentsPanelShown());
    QCOMPARE(window.windowTitle(), QStringLiteral("Quillvex Ombrel"));
  }

  void StartsWithTheFileOfTheCommandLine() {
    TShellFixture fixture;
    const QString file = WriteDataFile(fixture.Path(QStringLiteral("start.OMD")), 7.0);
    QVERIFY(!file.isEmpty());
    Obmain window(fixture.Options());
    window.Start({file});
    QCOMPARE(window.Documents().size(), 1);
    Analyze* form = window.ActiveDocument();
    QCOMPARE(form->FileName(), QFileInfo(file).canonicalFilePath());
    QCOMPARE(form->Step(), TStep::DataEntry);
    QCOMPARE(static_cast<double>(form->Document().Table.GetValue(0, 0)), 7.0);
    QVERIFY(!form->HasUnsavedChanges());
  }

  void RefusesTheEleventhDocument() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    for (int i = 0; i < 10; ++i) fixture.Asker.NewFileChoices.push_back(TNewFileChoice::CreateAnother);
    for (int i = 0; i < 10; ++i) window.NewFileCommand();
    QCOMPARE(window.Documents().size(), 10);
    QCOMPARE(
        fixture.Asker.Shown,
        QStringList{QStringLiteral("You can open up to 10 files (data sets) at one time. Close one and try again.")});
    QStringList names;
    for (const Analyze* form : window.Documents()) names << form->Name();
    for (int n = 1; n <= 10; ++n)
      QVERIFY2(names.contains(QStringLiteral("DATASET%1.OMD").arg(n)), qPrintable(names.join(' ')));
    // A freed number is taken again.
    window.CloseCommand();
    fixture.Asker.NewFileChoices.push_back(TNewFileChoice::CreateAnother);
    window.NewFileCommand();
    QCOMPARE(window.Documents().size(), 10);
    QCOMPARE(window.ActiveDocument()->Name(), QStringLiteral("DATASET10.OMD"));
  }

  void NewFileDialogOffersThreeChoicesSecondPreselected() {
    Newanal dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Create a new file"));
    QCOMPARE(dialog.Choice(), TNewFileChoice::CreateAnother);
    const QList<QRadioButton*> radios = dialog.findChildren<QRadioButton*>();
    QCOMPARE(radios.size(), 3);
    QCOMPARE(radios[0]->text(), QStringLiteral("Close the file you are working on and create a new one."));
    QVERIFY(radios[1]->isChecked());
  }

  void NewFileChoices_data() {
    QTest::addColumn<int>("choice");  // -1: cancelled
    QTest::addColumn<int>("documents");
    QTest::addColumn<QString>("activeName");
    QTest::addColumn<bool>("keepsData");
    QTest::newRow("close and create") << static_cast<int>(TNewFileChoice::CloseAndCreate) << 1
                                      << QStringLiteral("DATASET1.OMD") << false;
    QTest::newRow("another") << static_cast<int>(TNewFileChoice::CreateAnother) << 2 << QStringLiteral("DATASET2.OMD")
                             << false;
    QTest::newRow("duplicate") << static_cast<int>(TNewFileChoice::Duplicate) << 2 << QStringLiteral("DATASET2.OMD")
                               << true;
    QTest::newRow("cancel") << -1 << 1 << QStringLiteral("DATASET1.OMD") << true;
  }

  void NewFileChoices() {
    QFETCH(int, choice);
    QFETCH(int, documents);
    QFETCH(QString, activeName);
    QFETCH(bool, keepsData);
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    window.ActiveDocument()->Document().Table.SetValue(0, 0, 4.0L);
    if (choice >= 0) fixture.Asker.NewFileChoices.push_back(static_cast<TNewFileChoice>(choice));
    // Closing a document with data asks first.
    fixture.Asker.YesNoCancel.push_back(TAnswer::No);
    window.NewFileCommand();
    QCOMPARE(window.Documents().size(), documents);
    Analyze* active = window.ActiveDocument();
    QCOMPARE(active->Name(), activeName);
    QCOMPARE(active->Document().Table.HasData(), keepsData);
    if (choice < 0) return;
    // Whoever asks for a second file has found the way to the next step.
    if (active->Step() != TStep::DataFormat) window.GoToStep(TStep::DataFormat);
    const auto* page = qobject_cast<TDataFormatPage*>(active->CurrentPage());
    QVERIFY(page->NextStepArrow->isHidden());
    QVERIFY(page->NextStepLabel->isHidden());
  }

  void DuplicateCopiesDataChoicesAndNotes() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    TDocument& source = window.ActiveDocument()->Document();
    source.Table.SetValue(0, 0, 1.25L);
    source.Table.SetValue(3, 1, -8.0L);
    source.Table.Summary(1).Title = "Treated";
    source.Choices.TwoColumnUnpaired = 0;
    source.Choices.PostTestMethod = TPostTestMethod::StudentNewmanKeuls;
    source.Notes = "First line\r\nSecond line";
    Analyze* copy = window.DuplicateCommand();
    QVERIFY(copy != nullptr);
    QCOMPARE(window.Documents().size(), 2);
    QCOMPARE(copy->Name(), QStringLiteral("DATASET2.OMD"));
    QVERIFY(copy->NeverSaved());
    QVERIFY(copy->FileName().isEmpty());
    const TDocument& duplicate = copy->Document();
    QCOMPARE(static_cast<double>(duplicate.Table.GetValue(0, 0)), 1.25);
    QCOMPARE(static_cast<double>(duplicate.Table.GetValue(3, 1)), -8.0);
    QCOMPARE(QString::fromStdString(duplicate.Table.Summary(1).Title), QStringLiteral("Treated"));
    QCOMPARE(duplicate.Choices.TwoColumnUnpaired, 0);
    QCOMPARE(duplicate.Choices.PostTestMethod, TPostTestMethod::StudentNewmanKeuls);
    QCOMPARE(QString::fromStdString(duplicate.Notes), QStringLiteral("First line\r\nSecond line"));
    // The original keeps its name and is still unsaved.
    QCOMPARE(window.Documents().first()->Name(), QStringLiteral("DATASET1.OMD"));
    // A copy holding data is worth a question when closed.
    QVERIFY(copy->HasUnsavedChanges());
    QVERIFY(fixture.Asker.Shown.isEmpty());
  }

  void AFileThatEndedEarlyOpensAsAnUntitledCopy() {
    TShellFixture fixture;
    const QString file = WriteDataFile(fixture.Path(QStringLiteral("cut.OMD")), 7.0);
    QFile whole(file);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QByteArray cut;
    for (int line = 0; line < 9; ++line) cut += whole.readLine();  // the header, the title and both rows
    whole.close();
    QVERIFY(whole.open(QIODevice::WriteOnly | QIODevice::Truncate));
    whole.write(cut);
    whole.close();

    Obmain window(fixture.Options());
    window.Start({file});
    QCOMPARE(fixture.Asker.Shown,
             QStringList{QStringLiteral("cut.OMD ended early: the document may be incomplete. It is opened as a new, "
                                        "unsaved copy.")});
    Analyze* form = window.ActiveDocument();
    QCOMPARE(window.Documents().size(), 1);
    QCOMPARE(form->Name(), QStringLiteral("DATASET1.OMD"));
    QVERIFY(form->FileName().isEmpty());
    QCOMPARE(static_cast<double>(form->Document().Table.GetValue(1, 0)), 2.5);
    QVERIFY(form->HasUnsavedChanges());
    // Save asks for a name; cancelling it leaves the file as it was.
    QVERIFY(!window.SaveCommand(false));
    QCOMPARE(fixture.Asker.SaveTitles, QStringList{QStringLiteral("Save")});
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QCOMPARE(whole.readAll(), cut);
  }

  void SaveThenOpenOfTheSameFileActivatesIt() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    Analyze* first = window.ActiveDocument();
    first->Document().Table.SetValue(0, 0, 3.0L);
    const QString path = fixture.Path(QStringLiteral("saved"));
    fixture.Asker.SaveNames.push_back(path);
    QVERIFY(window.SaveCommand(false));
    // The default extension is added; the dialog of an unnamed document is "Save".
    const QString saved = QFileInfo(path + QStringLiteral(".OMD")).canonicalFilePath();
    QVERIFY(!saved.isEmpty());
    QCOMPARE(fixture.Asker.SaveTitles, QStringList{QStringLiteral("Save")});
    QCOMPARE(first->FileName(), saved);
    QCOMPARE(first->windowTitle(), saved + QStringLiteral("[*]"));
    QCOMPARE(QString::fromStdString(window.RecentFiles().Entries().front()), saved);
    QVERIFY(!first->HasUnsavedChanges());
    // Save again writes without asking; Save As asks with its own title.
    QVERIFY(window.SaveCommand(false));
    QCOMPARE(fixture.Asker.SaveTitles.size(), 1);
    QVERIFY(!window.SaveCommand(true));
    QCOMPARE(fixture.Asker.SaveTitles.last(), QStringLiteral("Save As"));

    fixture.Asker.NewFileChoices.push_back(TNewFileChoice::CreateAnother);
    window.NewFileCommand();
    // The first document no longer uses the untitled name.
    QCOMPARE(window.ActiveDocument()->Name(), QStringLiteral("DATASET1.OMD"));
    fixture.Asker.OpenNames.push_back(path + QStringLiteral(".OMD"));
    window.OpenCommand();
    QCOMPARE(window.Documents().size(), 2);
    QCOMPARE(window.ActiveDocument(), first);
  }

  // File > Open of a file that is no Ombrel document says what it is; a
  // data file can be imported into a new document from the same message
  // (the empty one gives its place), else the open dialog comes back.
  void OpenSaysWhatAFileIsAndOffersItsImport_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("take");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("imported");
    const QString text = QStringLiteral("data.csv is a text file of data, not an Ombrel document.");
    QTest::newRow("text file, import taken")
        << "data.csv" << QByteArray("Weight,Height\r\n70,1.8\r\n82,1.7\r\n") << true << text << 1 << 2;
    QTest::newRow("text file, declined") << "data.csv" << QByteArray("1\r\n2\r\n") << false << text << 2 << 0;
    QTest::newRow("workbook, import taken")
        << "book.xlsx" << QByteArray() << true << "book.xlsx is a workbook, not an Ombrel document." << 1 << 5;
    QTest::newRow("older workbook") << "OLD.XLS" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest") << true
                                    << "OLD.XLS is a workbook of an older format, or one locked by a password, which "
                                       "Ombrel cannot read: save it as .xlsx or .ods (without a password) and import "
                                       "that."
                                    << 2 << 0;
    QTest::newRow("other program's file") << "foreign.OMD" << QByteArray("Some other program\r\n\0\x01\x02", 21) << true
                                          << QString::fromUtf8(NotOmbrelFileMessage) << 2 << 0;
    QTest::newRow("newer version") << "newer.OMD"
                                   << QByteArray(
                                          "Quillvex Ombrel for Windows Version 3.50\r\n3.50\r\n1\r\n\r\n\r\n\r\n")
                                   << true << QString::fromUtf8(NewerVersionMessage) << 2 << 0;
  }
  void OpenSaysWhatAFileIsAndOffersItsImport() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, take);
    TShellFixture fixture;
    QString path = QStringLiteral(OMBREL_TEST_DATA_DIR "/import/") + name;
    if (!content.isEmpty()) {
      path = fixture.Path(name);
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(content);
    }
    Obmain window(fixture.Options());
    window.Start({});
    fixture.Asker.OpenNames = {path};
    fixture.Asker.TakeAction = {take};
    fixture.Asker.Dialog = [](QDialog& dialog) {
      dialog.accept();
      return dialog.result();
    };
    window.OpenCommand();
    QVERIFY(!fixture.Asker.Shown.isEmpty());
    QTEST(fixture.Asker.Shown.front(), "shown");
    QTEST(fixture.Asker.OpenDialogs, "dialogs");
    QCOMPARE(window.Documents().size(), 1);
    QCOMPARE(fixture.Asker.Actions.isEmpty(),
             !fixture.Asker.Shown.front().endsWith(QStringLiteral("not an Ombrel document.")));
    Analyze& form = *window.ActiveDocument();
    int values = 0;
    for (int r = 0; r < 10; ++r) values += form.Document().Table.IsCellEmpty(r, 0) ? 0 : 1;
    QTEST(values, "imported");
    if (values > 0) {
      QCOMPARE(form.Step(), TStep::DataEntry);
      QVERIFY(form.NeverSaved());
      QCOMPARE(fixture.Asker.Actions, QStringList{QStringLiteral("Import into a new document")});
    }
  }

  void OpenReplacesAnEmptyActiveDocument() {
    TShellFixture fixture;
    const QString file = WriteDataFile(fixture.Path(QStringLiteral("data.OMD")), 1.0);
    Obmain window(fixture.Options());
    window.Start({});
    fixture.Asker.OpenNames.push_back(file);
    window.OpenCommand();
    QCOMPARE(window.Documents().size(), 1);
    QCOMPARE(window.ActiveDocument()->FileName(), QFileInfo(file).canonicalFilePath());
    QCOMPARE(window.DocumentFolder(), QFileInfo(file).canonicalPath());
    // A document with data stays beside the next file.
    const QString other = WriteDataFile(fixture.Path(QStringLiteral("other.OMD")), 2.0);
    fixture.Asker.OpenNames.push_back(other);
    window.OpenCommand();
    QCOMPARE(window.Documents().size(), 2);
    QVERIFY(fixture.Asker.Shown.isEmpty());
  }

  void RecentListKeepsNineNewestFirst() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    QStringList files;
    for (int i = 1; i <= 10; ++i) {
      const QString file = WriteDataFile(fixture.Path(QStringLiteral("f%1.OMD").arg(i)), i);
      QVERIFY(window.OpenFile(file) == Obmain::TOpenResult::Opened);
      files.prepend(QFileInfo(file).canonicalFilePath());
      // Keep below ten windows.
      if (window.Documents().size() > 3) window.CloseCommand();
    }
    QStringList expected;
    for (int n = 1; n <= 9; ++n) expected << QStringLiteral("&%1 %2").arg(n).arg(files[n - 1]);
    QCOMPARE(Captions(window.RecentFileActions()), expected);
    // Reopening one moves it to the top.
    window.OpenRecentFile(4);
    QCOMPARE(QString::fromStdString(window.RecentFiles().Entries().front()), files[4]);
    QCOMPARE(window.ActiveDocument()->FileName(), files[4]);
    // An open file is activated, not opened twice.
    QVERIFY(window.OpenFile(files[9]) == Obmain::TOpenResult::Activated);
    QCOMPARE(window.ActiveDocument()->FileName(), files[9]);
    const qsizetype before = window.Documents().size();
    window.OpenRecentFile(0);
    QCOMPARE(window.Documents().size(), before);
    QCOMPARE(window.ActiveDocument()->FileName(), files[4]);
  }

  void MissingRecentFileIsReported() {
    TShellFixture fixture;
    const QString file = WriteDataFile(fixture.Path(QStringLiteral("gone.OMD")), 1.0);
    Obmain window(fixture.Options());
    window.Start({file});
    window.CloseCommand();
    QVERIFY(QFile::remove(file));
    window.OpenRecentFile(0);
    QCOMPARE(fixture.Asker.Shown, QStringList{QStringLiteral("File not found.")});
    QCOMPARE(window.Documents().size(), 0);
  }

  void UnsavedChangesAreAskedAbout() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    // Nothing typed: closes without a question.
    window.CloseCommand();
    QCOMPARE(window.Documents().size(), 0);
    QVERIFY(fixture.Asker.Shown.isEmpty());
    QVERIFY(window.NoDocumentsPanelShown());

    window.NewFileCommand();
    window.ActiveDocument()->Document().Table.SetValue(0, 0, 9.0L);
    fixture.Asker.YesNoCancel = {TAnswer::Cancel};
    window.CloseCommand();
    QCOMPARE(window.Documents().size(), 1);
    QCOMPARE(fixture.Asker.Shown, QStringList{QStringLiteral("Save changes to DATASET1.OMD?")});

    // Exit is stopped by Cancel too, and nothing is closed.
    fixture.Asker.NewFileChoices.push_back(TNewFileChoice::CreateAnother);
    window.NewFileCommand();
    fixture.Asker.YesNoCancel = {TAnswer::Cancel};
    QVERIFY(!window.close());
    QCOMPARE(window.Documents().size(), 2);

    // Yes saves (Cancel in the save dialog keeps the window), then closes.
    QMdiArea* area = window.findChild<QMdiArea*>();
    area->setActiveSubWindow(area->subWindowList().first());
    fixture.Asker.YesNoCancel = {TAnswer::Yes};
    window.CloseCommand();
    QCOMPARE(window.Documents().size(), 2);
    const QString path = fixture.Path(QStringLiteral("kept.OMD"));
    fixture.Asker.YesNoCancel = {TAnswer::Yes};
    fixture.Asker.SaveNames = {path};
    window.CloseCommand();
    QCOMPARE(window.Documents().size(), 1);
    QVERIFY(QFileInfo::exists(path));

    // No discards.
    window.ActiveDocument()->Document().Notes = "scratch";
    fixture.Asker.YesNoCancel = {TAnswer::No};
    QVERIFY(window.close());
    QCOMPARE(window.Documents().size(), 0);
  }

  void CtrlWClosesTheActiveDocument() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Start({});
    window.NewDocument();
    QCOMPARE(window.Documents().size(), 2);
    QTest::keyClick(window.ActiveDocument(), Qt::Key_W, Qt::ControlModifier);
    QTRY_COMPARE(window.Documents().size(), 1);
  }

  void TileKeepsTheMainWindowOnTheScreen() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    const QRect screen = window.screen()->availableGeometry();
    window.setGeometry(screen.adjusted(0, 0, -screen.width() / 4, -screen.height() / 4));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Start({});
    for (int i = 0; i < 3; ++i) window.NewDocument();
    window.Action(TCommand::Tile)->trigger();
    QCoreApplication::processEvents();
    QVERIFY2(screen.contains(window.frameGeometry()),
             qPrintable(QStringLiteral("%1x%2").arg(window.width()).arg(window.height())));
  }

  void ClearAllAsksAndEmptiesTheDocument() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.Start({});
    Analyze* form = window.ActiveDocument();
    QList<TStep> guides;
    window.SetGuideHandler([&guides](TStep step) { guides << step; });
    form->Document().Table.SetValue(0, 0, 5.0L);
    form->Document().Choices.EqualSDs = 0;
    window.GoToStep(TStep::ColumnStats);
    TSpreadGrid* stats = static_cast<TSummaryPage*>(form->Page(TStep::ColumnStats))->StatDataGrid;
    stats->SetCurrentCell(4, 5);
    window.GoToStep(TStep::DataEntry);
    fixture.Asker.YesNo = {false};
    window.Action(TCommand::ClearAll)->trigger();
    QVERIFY(form->Document().Table.HasData());
    fixture.Asker.YesNo = {true};
    window.Action(TCommand::ClearAll)->trigger();
    QCOMPARE(fixture.Asker.Shown.last(), QStringLiteral("Confirm that you want to delete all your data?"));
    QVERIFY(!form->Document().Table.HasData());
    QCOMPARE(form->Document().Choices.EqualSDs, 1);
    // The data-entry step stays; any other returns to step 0.
    QCOMPARE(form->Step(), TStep::DataEntry);
    window.GoToStep(TStep::Results);
    fixture.Asker.YesNo = {true};
    window.Action(TCommand::ClearAll)->trigger();
    QCOMPARE(form->Step(), TStep::DataFormat);
    QVERIFY(!window.Calculating());
    // Back to step 0 is a step change like any other.
    QCOMPARE(guides.last(), TStep::DataFormat);
    QCOMPARE(stats->CurrentDataColumn(), 0);
    QCOMPARE(stats->CurrentDataRow(), 0);
  }
};

QTEST_MAIN(ShellDocumentsTest)
#include "ShellDocumentsTest.moc"
