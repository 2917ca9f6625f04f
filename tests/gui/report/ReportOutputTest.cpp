#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "gui/document/ResultsPage.h"
#include "gui/report/NotesForm.h"
#include "core/report/ReportText.h"
#include "gui/report/ResultsViewer.h"

using namespace ombrel;

namespace {

// A report with bold, underlined and plain lines.
void WriteMarkedReport(TReportText& report) {
  report.ResetReport();
  report.BeginReport();
  report.ToggleBold();
  report.WriteText("Unpaired t test");
  report.ToggleBold();
  report.NewLine();
  report.WriteText("The two-tailed P value is ");
  report.ToggleUnderline();
  report.WriteText("0.0123");
  report.ToggleUnderline();
  report.NewLine();
  report.WriteLine();
  report.WriteLine("t = 2.87 with 14 degrees of freedom.");
  report.EndReport();
  report.FinishReport();
}

// What a file of the report should hold: each line the report gives, with
// the marker bytes taken out here, ended by the system's line end.
QByteArray ExpectedFileText(const TReportText& report) {
  QByteArray text;
  for (int i = 0; i < report.LineCount(); ++i) {
    const std::string_view line = report.GetLine(i).value_or(std::string_view{});
    for (const char c : line)
      if (c != BoldMarker && c != UnderlineMarker && c != ItalicMarker) text += c;
    text += "\n";
  }
  return text;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

// The report as a file (File Export on the results page) and the notes
// window.
class ReportOutputTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;
  std::unique_ptr<QTemporaryDir> mFolder;

  TDocument& Document() const { return mForm->Document(); }
  TResultsPage* Results() const { return qobject_cast<TResultsPage*>(mForm->Page(TStep::Results)); }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mHost = std::make_unique<TTestHost>();
    mForm = std::make_unique<Analyze>(*mHost, std::make_unique<TDocument>());
    mFolder = std::make_unique<QTemporaryDir>();
    mForm->resize(800, 600);
    mForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
    mFolder.reset();
  }

  // ------------------------------------------------------------ export

  void ExportWritesTheReportWithoutMarkers() {
    WriteMarkedReport(Document().Report);
    Document().ResultsStale = false;
    mForm->GoToStep(TStep::Results);
    const QString path = mFolder->filePath(QStringLiteral("report.txt"));
    // A file that exists already is replaced.
    {
      QFile old(path);
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write(QByteArray(5000, 'x'));
    }
    mHost->Questions.SaveNames = {path};
    QVERIFY(mForm->RunCommand(TCommand::Export));
    QCOMPARE(mHost->Questions.SaveTitles, QStringList{QStringLiteral("Export")});
    const QByteArray written = ReadFile(path);
    QCOMPARE(written, ExpectedFileText(Document().Report));
    QVERIFY(written.startsWith("Unpaired t test\nThe two-tailed P value is 0.0123\n\nt = 2.87"));
    for (const char marker : {BoldMarker, UnderlineMarker, ItalicMarker}) QVERIFY(!written.contains(marker));
    QVERIFY(mHost->Questions.Shown.isEmpty());
  }

  void ExportOfAComputedReportMatchesTheViewer() {
    Fill(Document(), {0, 1});
    mForm->GoToStep(TStep::ChooseTest);
    mForm->GoToStep(TStep::Results);
    const QString path = mFolder->filePath(QStringLiteral("t test.txt"));
    mHost->Questions.SaveNames = {path};
    QVERIFY(mForm->RunCommand(TCommand::Export));
    const QString viewer = Results()->ResultsViewer1->PlainText();
    QCOMPARE(QString::fromLatin1(ReadFile(path)), viewer + QStringLiteral("\n"));
    QVERIFY(viewer.contains(QStringLiteral("Unpaired t test")));
  }

  void ExportThatCannotWriteSaysSo_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("missing folder") << "no such folder/report.txt";
    QTest::newRow("a folder") << ".";
  }
  void ExportThatCannotWriteSaysSo() {
    QFETCH(QString, name);
    WriteMarkedReport(Document().Report);
    Document().ResultsStale = false;
    mForm->GoToStep(TStep::Results);
    const QString path = mFolder->filePath(name);
    mHost->Questions.SaveNames = {path};
    QVERIFY(mForm->RunCommand(TCommand::Export));
    QCOMPARE(mHost->Questions.Shown, QStringList{QStringLiteral("The results could not be saved in %1.").arg(path)});
  }

  void CancelledExportWritesNothing() {
    WriteMarkedReport(Document().Report);
    Document().ResultsStale = false;
    mForm->GoToStep(TStep::Results);
    QVERIFY(mForm->RunCommand(TCommand::Export));  // the dialog answers no name
    QCOMPARE(mHost->Questions.SaveTitles.size(), 1);
    QVERIFY(mHost->Questions.Shown.isEmpty());
    QVERIFY(QDir(mFolder->path()).entryList(QDir::Files).isEmpty());
  }

  // The extension chooses the form: an HTML page with the markers as tags,
  // a PDF or an OpenDocument text.
  void ExportWritesHtmlAndPdf_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("holds");
    QTest::newRow("html") << "report.html" << QByteArray("<!DOCTYPE html>") << QByteArray("<b>Unpaired t test</b>");
    QTest::newRow("pdf") << "report.PDF" << QByteArray("%PDF-") << QByteArray("%%EOF");
    QTest::newRow("odt") << "report.odt" << QByteArray("PK")
                         << QByteArray("mimetypeapplication/vnd.oasis.opendocument.text");
  }
  void ExportWritesHtmlAndPdf() {
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, holds);
    WriteMarkedReport(Document().Report);
    Document().ResultsStale = false;
    mForm->GoToStep(TStep::Results);
    const QString path = mFolder->filePath(name);
    mHost->Questions.SaveNames = {path};
    QVERIFY(mForm->RunCommand(TCommand::Export));
    const QByteArray written = ReadFile(path);
    QVERIFY(written.startsWith(start));
    QVERIFY(written.contains(holds));
    QVERIFY(mHost->Questions.Shown.isEmpty());
  }

  // Copy places HTML beside the plain text, of the selection when there is
  // one: paragraphs with their marks, and the report's tables as tables.
  void CopyPlacesHtmlBesideTheText() {
    WriteMarkedReport(Document().Report);
    Document().ResultsStale = false;
    mForm->GoToStep(TStep::Results);
    QVERIFY(Results()->RunCommand(TCommand::Copy));
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data->text().startsWith(QStringLiteral("Unpaired t test\nThe two-tailed")));
    QVERIFY2(data->html().startsWith(
                 QStringLiteral("<p><b>Unpaired t test</b><br>\nThe two-tailed P value is <u>0.0123</u></p>\n")),
             qPrintable(data->html()));
    TResultsViewer* viewer = Results()->ResultsViewer1;
    QTextCursor cursor(viewer->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 26);
    cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 4);
    viewer->setTextCursor(cursor);
    QVERIFY(Results()->RunCommand(TCommand::Copy));
    QCOMPARE(QApplication::clipboard()->mimeData()->text(), QStringLiteral("0.01"));
    QCOMPARE(QApplication::clipboard()->mimeData()->html(), QStringLiteral("<p><u>0.01</u></p>\n"));

    Fill(Document(), {0, 1});
    mForm->GoToStep(TStep::ChooseTest);
    mForm->GoToStep(TStep::Results);
    viewer->ClearSelection();
    QVERIFY(Results()->RunCommand(TCommand::Copy));
    const QString html = QApplication::clipboard()->mimeData()->html();
    QVERIFY2(html.contains(QStringLiteral("<th>")) && html.contains(QStringLiteral("</table>")), qPrintable(html));
    QVERIFY(!html.contains(QStringLiteral("<pre")));
    QVERIFY(!html.contains(QStringLiteral("=====")));
  }

  // ------------------------------------------------------------ notes

  void NotesWindowShowsAndStoresTheNotes_data() {
    QTest::addColumn<QByteArray>("notes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("CR LF lines") << QByteArray("first\r\nsecond") << "first\nsecond" << QByteArray("first\r\nsecond");
    QTest::newRow("end marker ends the text") << QByteArray("kept\x1A gone") << "kept" << QByteArray("kept");
    QTest::newRow("final line break is dropped") << QByteArray("line\r\n") << "line\n" << QByteArray("line");
    QTest::newRow("empty") << QByteArray() << "" << QByteArray();
    QTest::newRow("accented letters") << QByteArray("caf\xc3\xa9") << QString::fromUtf8("caf\xc3\xa9")
                                      << QByteArray("caf\xc3\xa9");
  }
  void NotesWindowShowsAndStoresTheNotes() {
    QFETCH(QByteArray, notes);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);
    TNotesForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Ombrel Notes"));
    form.LoadNotes(notes.toStdString());
    QCOMPARE(form.NotesMemo->toPlainText(), shown);
    QCOMPARE(QByteArray::fromStdString(form.StoredNotes()), stored);
  }

  void NotesKeepTheirLimitWithoutLosingText() {
    TNotesForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const std::string start = std::string(3990, 'a') + "\r\n" + std::string(4000, 'z');  // 7992 bytes
    form.LoadNotes(start);
    QTextEdit* memo = form.NotesMemo;
    memo->setFocus();
    // At the end: eight more characters fit, the rest of the typing is refused.
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("0123456789"));
    std::string stored = form.StoredNotes();
    QCOMPARE(stored.size(), std::size_t(8000));
    QCOMPARE(stored, start + "01234567");
    // In the middle of full notes typing changes nothing, and nothing at the
    // end is lost.
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(10);
    memo->setTextCursor(cursor);
    QTest::keyClicks(memo, QStringLiteral("bb"));
    QCOMPARE(form.StoredNotes(), stored);
    // A line break takes two bytes, so it does not fit into one free byte.
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(form.StoredNotes().size(), std::size_t(7999));
    QTest::keyClick(memo, Qt::Key_Return);
    QCOMPARE(form.StoredNotes().size(), std::size_t(7999));
    // Pasting keeps the start of the pasted text that fits.
    QTest::keyClick(memo, Qt::Key_Backspace);
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    memo->paste();
    stored = form.StoredNotes();
    QCOMPARE(stored.size(), std::size_t(8000));
    QCOMPARE(stored.substr(0, 11), std::string(8, 'a') + "xya");
    QVERIFY(stored.ends_with("01234567"));
  }

  void NotesLoadedOverTheLimitAreCut() {
    TNotesForm form;
    form.LoadNotes(std::string(8100, 'n'));
    QCOMPARE(form.StoredNotes(), std::string(8000, 'n'));
  }

  void NotesWrapAtColumnSeventy() {
    TNotesForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Fifteen words of ten characters, blank included: 150 characters.
    const QString words = QStringLiteral("wordnumbe ").repeated(15);
    form.LoadNotes(words.toStdString());
    const QTextBlock block = form.NotesMemo->document()->firstBlock();
    QTextLayout* layout = block.layout();
    QVERIFY(layout != nullptr);
    QCOMPARE(layout->lineCount(), 3);
    QCOMPARE(layout->lineAt(0).textLength(), 70);
    QCOMPARE(layout->lineAt(1).textLength(), 70);
  }

  void NotesPopupMenuOffersTheEditingCommands() {
    TNotesForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList captions;
    QTimer::singleShot(0, this, [&captions] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (const QAction* action : menu->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
      menu->close();
    });
    emit form.NotesMemo->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(captions, (QStringList{QStringLiteral("&Cut"), QStringLiteral("&Copy"), QStringLiteral("&Paste"),
                                    QStringLiteral("-"), QStringLiteral("Select All"), QStringLiteral("-"),
                                    QStringLiteral("P&rint")}));
  }

  // Closing the window stores the text, however it is closed.
  void ClosingTheNotesWindowStoresTheText_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("closed") << true;
    QTest::newRow("escaped") << false;
  }
  void ClosingTheNotesWindowStoresTheText() {
    QFETCH(bool, accept);
    Document().Notes = "old";
    mHost->Questions.Dialog = [accept](QDialog& dialog) {
      auto* memo = dialog.findChild<QTextEdit*>();
      memo->moveCursor(QTextCursor::End);
      memo->insertPlainText(QStringLiteral(" and new\n"));
      return accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    QVERIFY(mForm->RunCommand(TCommand::ViewNotes));
    QCOMPARE(Document().Notes, std::string("old and new"));
  }

  void NotesWindowReturnsToItsPlacePerDocument() {
    TDocument first;
    TDocument second;
    QSize shownSize;
    QPoint shownPlace;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      shownSize = dialog.size();
      shownPlace = dialog.pos();
      dialog.resize(430, 310);
      dialog.move(120, 90);
      return int(QDialog::Accepted);
    };
    ViewNotes(first, mHost->Questions, mForm.get());
    const QSize defaultSize = shownSize;
    QCOMPARE(first.NotesWindow.Width, 430);
    QCOMPARE(first.NotesWindow.Height, 310);
    QCOMPARE(first.NotesWindow.Left, 120);
    QCOMPARE(first.NotesWindow.Top, 90);
    // The same document again: where it was left.
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      shownSize = dialog.size();
      shownPlace = dialog.pos();
      return int(QDialog::Accepted);
    };
    ViewNotes(first, mHost->Questions, mForm.get());
    QCOMPARE(shownSize, QSize(430, 310));
    QCOMPARE(shownPlace, QPoint(120, 90));
    // Another document has its own place: none yet.
    ViewNotes(second, mHost->Questions, mForm.get());
    QCOMPARE(shownSize, defaultSize);
    QVERIFY(shownSize != QSize(430, 310));
    // A place without a size is not used.
    second.NotesWindow = {0, 310, 90, 120};
    ViewNotes(second, mHost->Questions, mForm.get());
    QCOMPARE(shownSize, defaultSize);
  }
};

QTEST_MAIN(ReportOutputTest)
#include "ReportOutputTest.moc"
