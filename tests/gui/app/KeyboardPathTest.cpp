// The whole work without a mouse: a t test from the first step to an
// exported report, the keyboard back where it was after each dialog, Tab
// round the document and the step buttons, and Tab on the checked choice.

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include "gui/common/TabChain.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"
#include "support/PageTestSupport.h"

using namespace ombrel;

Q_DECLARE_METATYPE(ombrel::TCommand)
Q_DECLARE_METATYPE(ombrel::TStep)

namespace {

struct TKeyboardShell {
  TShellFixture Fixture;
  std::unique_ptr<Obmain> Window;

  TKeyboardShell() {
    Window = std::make_unique<Obmain>(Fixture.Options());
    Window->SetGuideShown(false);
    Window->resize(1100, 800);
    Window->show();
    QApplication::setActiveWindow(Window.get());
    Window->Start({});
  }
  Analyze& Form() const { return *Window->ActiveDocument(); }
  TSpreadGrid* Grid() const { return Form().findChild<TSpreadGrid*>(QStringLiteral("RawDataGrid")); }
};

QWidget* Focus() { return QApplication::focusWidget(); }

// Keys as the user types them, each to the control that has the keyboard:
// "\t" is Tab, "\n" Enter.
void Type(const QString& keys) {
  for (const QChar key : keys) {
    if (key == QLatin1Char('\t'))
      QTest::keyClick(Focus(), Qt::Key_Tab);
    else if (key == QLatin1Char('\n'))
      QTest::keyClick(Focus(), Qt::Key_Return);
    else
      QTest::keyClick(Focus(), key.toLatin1());
  }
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(Focus(), key, modifiers); }

// A dialog as the user meets it: shown and holding the keyboard, then OK.
int ShowAndAccept(QDialog& dialog) {
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.setFocus();
  dialog.hide();
  return QDialog::Accepted;
}

}  // namespace

class KeyboardPathTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void CompletesATTestFromTheFirstStepToAnExportedReport() {
    TKeyboardShell shell;
    QVERIFY(QTest::qWaitForWindowActive(shell.Window.get()));
    QCOMPARE(shell.Form().Step(), TStep::DataFormat);
    // The first step offers raw data for comparing means already.
    Press(Qt::Key_F10);
    QCOMPARE(shell.Form().Step(), TStep::DataEntry);
    QCOMPARE(Focus(), shell.Grid());
    Type(QStringLiteral("12\n14\n11\n15\n"));
    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_Right);
    Type(QStringLiteral("20\n22\n19\n24\n"));
    QCOMPARE(shell.Form().Document().Table.GetValue(3, 1), 24.0L);
    for (const TStep step : {TStep::ColumnStats, TStep::ChooseTest, TStep::Results}) {
      Press(Qt::Key_F10);
      QCOMPARE(shell.Form().Step(), step);
      // The keyboard moves on with the page, not to the step bar.
      QVERIFY(shell.Form().CurrentPage()->isAncestorOf(Focus()));
    }
    QVERIFY(shell.Form().Document().Report.LineCount() > 10);

    const QString path = shell.Fixture.Path(QStringLiteral("report.txt"));
    shell.Fixture.Asker.SaveNames = {path};
    // File > Export through the menu's mnemonics.
    QTest::keyClick(shell.Window.get(), Qt::Key_F, Qt::AltModifier);
    auto* file = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(file != nullptr);
    QTest::keyClick(file, Qt::Key_E);
    QTRY_VERIFY(QFile::exists(path));
    QFile report(path);
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(report.readAll().contains("t test"));
  }

  void TheKeyboardComesBackToTheGridAfterADialog_data() {
    QTest::addColumn<TCommand>("command");
    QTest::newRow("transform") << TCommand::Transform;
    QTest::newRow("number format") << TCommand::NumberFormat;
    QTest::newRow("insert") << TCommand::InsertCells;
    QTest::newRow("delete") << TCommand::DeleteCells;
    QTest::newRow("combine") << TCommand::CombineVariables;
    QTest::newRow("import") << TCommand::Import;
  }

  void TheKeyboardComesBackToTheGridAfterADialog() {
    QFETCH(TCommand, command);
    TKeyboardShell shell;
    Fill(shell.Form().Document(), {0, 1});
    shell.Window->GoToStep(TStep::DataEntry);
    QVERIFY(QTest::qWaitForWindowActive(shell.Window.get()));
    QCOMPARE(Focus(), shell.Grid());
    shell.Fixture.Asker.Dialog = ShowAndAccept;
    shell.Window->Action(command)->trigger();
    QApplication::setActiveWindow(shell.Window.get());
    QTRY_COMPARE(Focus(), shell.Grid());
  }

  // Tab goes through the page, Ctrl+Tab out of the grid, on through the
  // step buttons and back into the page.
  void TabGoesRoundThePageAndTheStepButtons() {
    TKeyboardShell shell;
    Fill(shell.Form().Document(), {0, 1});
    shell.Window->GoToStep(TStep::DataEntry);
    QVERIFY(QTest::qWaitForWindowActive(shell.Window.get()));
    auto* title = shell.Form().CurrentPage()->findChild<TDataSetTitleField*>(QStringLiteral("DataSetTitle"));
    title->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Tab);
    QCOMPARE(Focus(), shell.Grid());
    // Tab moves between cells.
    Press(Qt::Key_Tab);
    QCOMPARE(Focus(), shell.Grid());
    Press(Qt::Key_Tab, Qt::ControlModifier);
    QList<QWidget*> visited;
    for (int i = 0; i < 12 && Focus() != title; ++i) {
      visited << Focus();
      Press(Qt::Key_Tab);
    }
    QCOMPARE(Focus(), title);
    QVERIFY(visited.contains(static_cast<QWidget*>(shell.Window->StepButton(2))));
    QVERIFY(visited.contains(static_cast<QWidget*>(shell.Window->ForwardButton())));
    // Shift+Tab goes back the same way.
    Press(Qt::Key_Backtab);
    QCOMPARE(Focus(), visited.last());
  }

  // Entered by its key, a step of choices opens on the checked choice, and
  // Tab stops at no other choice of its set.
  void TabStopsAtTheCheckedChoiceOfEachSet_data() {
    QTest::addColumn<TStep>("from");
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("first step") << TStep::DataEntry << Qt::Key_F9;
    QTest::newRow("test step") << TStep::ColumnStats << Qt::Key_F10;
  }

  void TabStopsAtTheCheckedChoiceOfEachSet() {
    QFETCH(TStep, from);
    QFETCH(Qt::Key, key);
    TKeyboardShell shell;
    Fill(shell.Form().Document(), {0, 1});
    shell.Window->GoToStep(from);
    QVERIFY(QTest::qWaitForWindowActive(shell.Window.get()));
    Press(key);
    QVERIFY(shell.Form().Step() != from);
    auto* first = qobject_cast<QRadioButton*>(Focus());
    QVERIFY2(first != nullptr && first->isChecked(), qPrintable(Focus()->metaObject()->className()));
    int radios = 0;
    for (QWidget* stop : TabChain(shell.Form().CurrentPage())) {
      if (auto* radio = qobject_cast<QRadioButton*>(stop)) {
        ++radios;
        QVERIFY2(radio->isChecked(), qPrintable(radio->text()));
      }
    }
    QVERIFY(radios > 1);
  }
};

QTEST_MAIN(KeyboardPathTest)
#include "KeyboardPathTest.moc"
