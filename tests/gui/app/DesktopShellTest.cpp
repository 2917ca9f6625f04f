#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QUndoStack>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QTimer>
#include <QDialog>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include "core/base/EmptyValue.h"
#include "core/entry/CellStore.h"
#include "core/shell/ShellRules.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/common/CaptionWidth.h"
#include "gui/entry/OBIntEdit.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/guide/OmbrelGuide.h"
#include "gui/help/HelpWindow.h"
#include "support/ShellTestSupport.h"

using namespace ombrel;

Q_DECLARE_METATYPE(ombrel::TDataFormat)
Q_DECLARE_METATYPE(ombrel::TAnswer)

namespace {

// A main window at its first start (no saved size) on a 1400 x 1000 screen,
// shown, with its first document on `format`'s data step.
struct TDesktopShell {
  TShellFixture Fixture;
  std::unique_ptr<Obmain> Window;

  explicit TDesktopShell(TDataFormat format = TDataFormat::Raw) {
    TShellOptions options = Fixture.Options();
    options.ScreenArea = QRect(0, 0, 1400, 1000);
    Window = std::make_unique<Obmain>(options);
    Window->SetGuideShown(false);
    Window->show();
    Window->Start({});
    if (!Form().Document().ChooseFormat(format)) qWarning("format not taken");
    Window->GoToStep(TStep::DataEntry);
  }

  Analyze& Form() const { return *Window->ActiveDocument(); }
  TDataEntryPage& DataPage() const { return *qobject_cast<TDataEntryPage*>(Form().Page(TStep::DataEntry)); }
  void Drop(QWidget& target, const QString& path) const { DropFile(target, path); }
};

QString Example(const char* name) { return QStringLiteral(OMBREL_EXAMPLES_DIR "/") + QLatin1String(name); }

}  // namespace

class DesktopShellTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  // A short message would otherwise leave the title bar too narrow for "Ombrel".
  void MessageBoxesKeepTheirCaptionWhole() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Ombrel"), QStringLiteral("x"), QMessageBox::Ok);
    KeepMessageCaptionWhole(box);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY2(box.width() >= CaptionWidth(box), qPrintable(QString::number(box.width())));
  }

  // Several documents tiled or cascaded in the first window: every one is
  // wholly inside the area, so none is cut off or reached by scrolling, also
  // after the active one closes; Tab stays in its document; the guide shows
  // the active document's step.
  void SeveralDocumentsStayInsideTheArea_data() {
    QTest::addColumn<bool>("tile");
    QTest::newRow("tile") << true;
    QTest::newRow("cascade") << false;
  }
  void SeveralDocumentsStayInsideTheArea() {
    QFETCH(bool, tile);
    TDesktopShell shell;
    shell.Window->ShowGuide();
    for (int i = 0; i < 2; ++i) QVERIFY(shell.Window->NewDocument() != nullptr);
    shell.Window->Action(tile ? TCommand::Tile : TCommand::Cascade)->trigger();
    auto* area = shell.Window->findChild<QMdiArea*>();
    const auto allInside = [area] {
      for (const QMdiSubWindow* sub : area->subWindowList())
        if (!area->viewport()->rect().contains(sub->geometry())) return false;
      return true;
    };
    QTRY_VERIFY(allInside());

    // Tab goes round the controls of one document only.
    Analyze* active = shell.Window->ActiveDocument();
    QApplication::setActiveWindow(shell.Window.get());
    active->CurrentPage()->nextInFocusChain()->setFocus();
    for (int i = 0; i < 30; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(shell.Window->ActiveDocument(), active);

    // Another document becomes active: the guide turns to its step.
    shell.Window->CloseCommand();
    QTRY_VERIFY(allInside());
    Analyze* now = shell.Window->ActiveDocument();
    QVERIFY(now != nullptr && now != active);
    now->GoToStep(TStep::DataEntry);
    shell.Window->CloseCommand();
    QCOMPARE(shell.Window->Documents().size(), 1);
    const TStep left = shell.Window->ActiveDocument()->Step();
    auto* guide = shell.Window->findChild<TOmbrelGuide*>();
    QVERIFY(guide != nullptr && guide->isVisible());
    QCOMPARE(guide->Step(), left);
    QCOMPARE(shell.Window->StepButton(static_cast<int>(left))->isChecked(), true);
  }

  // The title bar shows the active document's changed mark, whichever way
  // it became active.
  void TitleShowsTheActiveDocumentsChangedMark_data() {
    QTest::addColumn<bool>("closeOther");  // else the other is activated
    QTest::newRow("after closing another") << true;
    QTest::newRow("after switching back") << false;
  }
  void TitleShowsTheActiveDocumentsChangedMark() {
    QFETCH(bool, closeOther);
    TDesktopShell shell;
    Analyze& first = shell.Form();
    StoreCell(first.Document().Table, 0, 0, 5);
    first.NoteDataChanged(QStringLiteral("Typing"));
    const auto shownTitle = [&shell] { return shell.Window->windowHandle()->title(); };
    QTRY_VERIFY2(shownTitle().contains(QStringLiteral("DATASET1.OMD*")), qPrintable(shownTitle()));
    Analyze* other = shell.Window->NewDocument();
    QVERIFY(other != nullptr);
    QTRY_VERIFY2(shownTitle().contains(QStringLiteral("[DATASET2.OMD]")), qPrintable(shownTitle()));
    if (closeOther) {
      shell.Window->CloseCommand();
    } else {
      shell.Window->findChild<QMdiArea*>()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first.parentWidget()));
    }
    QCOMPARE(shell.Window->ActiveDocument(), &first);
    QTRY_VERIFY2(shownTitle().contains(QStringLiteral("[DATASET1.OMD*]")), qPrintable(shownTitle()));
  }

  void EveryPageFitsTheFirstWindowWhichKeepsItsSize_data() {
    QTest::addColumn<TDataFormat>("format");
    QTest::newRow("raw") << TDataFormat::Raw;
    QTest::newRow("xy") << TDataFormat::XY;
    QTest::newRow("mean sd n") << TDataFormat::MeanSdN;
    QTest::newRow("2x2") << TDataFormat::TwoByTwo;
    QTest::newRow("larger table") << TDataFormat::LargerTable;
    QTest::newRow("multiple regression") << TDataFormat::MultipleRegression;
  }

  void EveryPageFitsTheFirstWindowWhichKeepsItsSize() {
    QFETCH(TDataFormat, format);
    TDesktopShell shell(format);
    QVERIFY(QTest::qWaitForWindowExposed(shell.Window.get()));
    const QSize size = shell.Window->size();
    QVERIFY2(size.width() >= 933 && size.height() >= 666, "two thirds of the screen at least");
    for (int step = 0; step < StepCount; ++step) {
      shell.Form().GoToStep(static_cast<TStep>(step));
      QApplication::processEvents();
      const TDocumentPage* page = shell.Form().CurrentPage();
      const QSize least = page->minimumSizeHint();
      QVERIFY2(least.width() <= page->width() && least.height() <= page->height(),
               qPrintable(QStringLiteral("step %1 needs %2 x %3, has %4 x %5")
                              .arg(step)
                              .arg(least.width())
                              .arg(least.height())
                              .arg(page->width())
                              .arg(page->height())));
      QCOMPARE(shell.Window->size(), size);
    }
  }

  void DroppedDocumentsOpenAndTextFilesImport() {
    TDesktopShell shell;
    shell.Drop(*shell.Window, Example("paired-t.omd"));
    QTRY_COMPARE(shell.Form().FileName(), QFileInfo(Example("paired-t.omd")).canonicalFilePath());
    // A text file is no document: the main window leaves it to the grid.
    const int open = static_cast<int>(shell.Window->Documents().size());
    const QString text = shell.Fixture.Path(QStringLiteral("values.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("7\n8\n9\n");
    file.close();
    shell.Drop(*shell.Window, text);
    QTest::qWait(0);
    QCOMPARE(shell.Window->Documents().size(), open);

    shell.Window->NewDocument();
    shell.Window->GoToStep(TStep::DataEntry);
    shell.Fixture.Asker.Dialog = [](QDialog&) { return static_cast<int>(QDialog::Accepted); };
    shell.Drop(*shell.DataPage().RawDataGrid->viewport(), text);
    QTRY_COMPARE(static_cast<double>(shell.Form().Document().Table.GetValue(2, 0)), 9.0);
    // A dropped file is imported as File > Import does: one step to undo.
    QCOMPARE(shell.Form().UndoStack().undoText(), QStringLiteral("Import"));
    shell.Form().Undo();
    QVERIFY(!shell.Form().Document().Table.HasData());
  }

  void CtrlEndGoesToTheLastUsedCell_data() {
    QTest::addColumn<QList<QPoint>>("cells");  // (column, row) of the values
    QTest::addColumn<QPoint>("last");
    QTest::newRow("empty") << QList<QPoint>{} << QPoint(0, 0);
    QTest::newRow("one value") << QList<QPoint>{{3, 6}} << QPoint(3, 6);
    QTest::newRow("row and column of different cells") << QList<QPoint>{{2, 4}, {0, 9}, {1, 1}} << QPoint(2, 9);
  }

  void CtrlEndGoesToTheLastUsedCell() {
    QFETCH(QList<QPoint>, cells);
    QFETCH(QPoint, last);
    TDesktopShell shell;
    for (const QPoint& cell : cells) StoreCell(shell.Form().Document().Table, cell.y(), cell.x(), 1.0L);
    TSpreadGrid& grid = *shell.DataPage().RawDataGrid;
    grid.RefreshAll();
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(QPoint(grid.CurrentDataColumn(), grid.CurrentDataRow()), last);
  }

  void ExitAsksOnceForSeveralChangedDocuments_data() {
    QTest::addColumn<TAnswer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("saved");
    QTest::newRow("save all") << TAnswer::Yes << true << 2;
    QTest::newRow("discard all") << TAnswer::No << true << 0;
    QTest::newRow("cancel") << TAnswer::Cancel << false << 0;
  }

  void ExitAsksOnceForSeveralChangedDocuments() {
    QFETCH(TAnswer, answer);
    QFETCH(bool, closed);
    QFETCH(int, saved);
    TDesktopShell shell;
    StoreCell(shell.Form().Document().Table, 0, 0, 1.0L);
    shell.Window->NewDocument();  // unchanged: not listed
    shell.Window->NewDocument();
    StoreCell(shell.Form().Document().Table, 0, 0, 2.0L);
    shell.Fixture.Asker.SaveAll = {answer};
    shell.Fixture.Asker.SaveNames = {shell.Fixture.Path(QStringLiteral("one.omd")),
                                     shell.Fixture.Path(QStringLiteral("three.omd"))};
    QCOMPARE(shell.Window->close(), closed);
    QCOMPARE(shell.Fixture.Asker.SaveAllNames,
             (QList<QStringList>{{QStringLiteral("DATASET1.OMD"), QStringLiteral("DATASET3.OMD")}}));
    QVERIFY(shell.Fixture.Asker.Shown.isEmpty());  // no question per document
    QCOMPARE(shell.Fixture.Asker.SaveTitles.size(), saved);
    QCOMPARE(QFileInfo::exists(shell.Fixture.Path(QStringLiteral("three.omd"))), saved == 2);
    QCOMPARE(shell.Window->Documents().size(), closed ? 0 : 3);
  }

  void TwoByTwoPageCopiesAndPastesItsBlock() {
    TDesktopShell shell(TDataFormat::TwoByTwo);
    TDataEntryPage& page = shell.DataPage();
    QClipboard& clipboard = *QApplication::clipboard();
    // Ctrl+V in a count field takes the whole block.
    clipboard.setText(QStringLiteral("3\t4\r\n5\t\r\n"));
    page.TwoByTwoA->setFocus();
    QTest::keyClick(page.TwoByTwoA, Qt::Key_V, Qt::ControlModifier);
    const TTwoByTwoTable& table = shell.Form().Document().TwoByTwo;
    QCOMPARE(static_cast<double>(table.A), 3.0);
    QCOMPARE(static_cast<double>(table.C), 5.0);
    QVERIFY(IsEmpty(table.D));
    QCOMPARE(page.TwoByTwoB->text(), QStringLiteral("4"));
    QCOMPARE(page.TwoByTwoR1->text(), QStringLiteral("7"));
    QVERIFY(shell.Form().HasUnsavedChanges());
    // The menu's Copy gives the block back.
    clipboard.clear();
    shell.Window->Action(TCommand::Copy)->trigger();
    QCOMPARE(clipboard.text(), QStringLiteral("3\t4\r\n5\t\r\n"));
    // Anything but a block is refused with a word and changes nothing.
    clipboard.setText(QStringLiteral("1\t2\t3\r\n"));
    shell.Window->Action(TCommand::Paste)->trigger();
    QCOMPARE(shell.Fixture.Asker.Shown, QStringList{QString::fromLatin1(TwoByTwoPasteMessage)});
    QCOMPARE(static_cast<double>(table.A), 3.0);
  }

  void WindowMenuListsTheDocumentsWithTheActiveChecked() {
    TDesktopShell shell;
    shell.Window->NewDocument();
    shell.Window->NewDocument();
    QMenu* menu = shell.Window->WindowMenu();
    QVERIFY(menu != nullptr);
    const auto entries = [menu] {
      emit menu->aboutToShow();
      QStringList list;
      for (const QAction* action : menu->actions())
        if (action->isCheckable()) list << (action->isChecked() ? QStringLiteral("* ") : QString()) + action->text();
      return list;
    };
    QCOMPARE(entries(), (QStringList{"&1 DATASET1.OMD", "&2 DATASET2.OMD", "* &3 DATASET3.OMD"}));
    menu->actions().at(menu->actions().size() - 3)->trigger();
    QCOMPARE(shell.Window->ActiveDocument(), shell.Window->Documents().first());
    QCOMPARE(entries(), (QStringList{"* &1 DATASET1.OMD", "&2 DATASET2.OMD", "&3 DATASET3.OMD"}));
  }

  // However help is asked for, its window is wholly on the screen, in
  // front, its search field takes the keyboard and its list reads in
  // alphabetical order whatever the case.
  void HelpShowsOnScreenInFront_data() {
    QTest::addColumn<int>("how");  // 0: F1, 1: Checklist, 2: a dialog's Help
    QTest::newRow("F1") << 0;
    QTest::newRow("Checklist") << 1;
    QTest::newRow("from a dialog") << 2;
  }
  void HelpShowsOnScreenInFront() {
    QFETCH(int, how);
    TDesktopShell shell;
    // Low on the screen: help centered over it would reach below.
    const QRect screen = shell.Window->screen()->availableGeometry();
    shell.Window->setGeometry(screen.left(), screen.bottom() - 300, screen.width() / 2, 250);
    // What the help window showed, read while it lives.
    bool shown = false, onScreen = false, searchHasKeyboard = false, ownedByTheDialog = false;
    QStringList titles;
    const auto ask = [&] {
      if (how == 0) shell.Window->Action(TCommand::HelpContents)->trigger();
      if (how == 1) shell.Window->HelpWindow().ShowPage(QStringLiteral("checklist"));
      if (how == 2) shell.Window->ShowHelpTopic(HelpTopicInsertDelete);
      THelpWindow* help = nullptr;
      for (auto* found : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<THelpWindow*>(found); window != nullptr && window->isVisible()) help = window;
      shown = help != nullptr;
      if (!shown) return;
      onScreen = screen.contains(help->frameGeometry());
      searchHasKeyboard = help->focusWidget() == help->findChild<QLineEdit*>();
      // A window of a modal dialog's own is the only kind the dialog lets work.
      ownedByTheDialog = help->parent() == QApplication::activeModalWidget();
      for (const QListWidgetItem* item :
           help->findChild<QListWidget*>()->findItems(QStringLiteral("*"), Qt::MatchWildcard))
        titles << item->text();
    };
    if (how == 2) {
      QDialog dialog(shell.Window.get());
      QTimer::singleShot(0, &dialog, [&] {
        ask();
        dialog.reject();
      });
      dialog.exec();
      QVERIFY(ownedByTheDialog);
    } else {
      ask();
    }
    QVERIFY(shown);
    QVERIFY(onScreen);
    QVERIFY(searchHasKeyboard);
    QVERIFY(!titles.isEmpty());
    QStringList sorted = titles;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(titles, sorted);
  }

  void HelpWindowClosesWithEscape() {
    TDesktopShell shell;
    THelpWindow& help = shell.Window->HelpWindow();
    help.ShowContents();
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QApplication::setActiveWindow(&help);
    QTest::keyClick(&help, Qt::Key_Escape);
    QVERIFY(!help.isVisible());
  }
};

QTEST_MAIN(DesktopShellTest)
#include "DesktopShellTest.moc"
