#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QtTest>

#include "core/shell/GuideText.h"
#include "support/ShellTestSupport.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/guide/OmbrelGuide.h"

using namespace ombrel;

Q_DECLARE_METATYPE(ombrel::TStep)

namespace {

// What one showing of the guide looked like.
struct TSeenGuide {
  TStep Step = TStep::Loading;
  QString Caption;
  QString Text;         // the shown page's paragraphs, one per line
  bool Docked = false;  // at the window's side, clear of the document area
  bool Checked = false;
};

QString PageText(const TOmbrelGuide& guide) {
  QStringList lines;
  for (const QLabel* label : guide.TutorNotebook()->currentWidget()->findChildren<QLabel*>()) lines << label->text();
  return lines.join(QLatin1Char('\n'));
}

// A main window at a known place whose guide is recorded each time it is
// shown, then handed to `act` (which may click in it).
struct TGuideShell {
  TShellFixture Fixture;
  std::unique_ptr<Obmain> Window;
  QList<TSeenGuide> Seen;
  std::function<void(TOmbrelGuide&)> Act;

  TGuideShell() {
    // A saved size: the window keeps the place and size given below.
    QFile settings(Fixture.SettingsFile());
    if (settings.open(QIODevice::WriteOnly)) settings.write("[WindowSize]\nWidth=1000\nHeight=700\n");
    settings.close();
    Window = std::make_unique<Obmain>(Fixture.Options());
    Window->setGeometry(100, 50, 1000, 700);
    Window->show();
    Window->SetGuideHandler([this](TStep step) {
      Window->ShowGuideDialog(step);
      TOmbrelGuide* guide = Guide();
      Window->layout()->activate();
      TSeenGuide seen;
      seen.Step = guide->Step();
      seen.Caption = guide->TutorNotebook()->currentWidget()->objectName();
      seen.Text = PageText(*guide);
      seen.Docked = !guide->isFloating() && guide->parentWidget() == Window.get() &&
                    Window->dockWidgetArea(guide) == Qt::RightDockWidgetArea &&
                    !guide->geometry().intersects(Window->centralWidget()->geometry());
      seen.Checked = guide->ShowGuideCheckBox()->isChecked();
      Seen << seen;
      if (Act) Act(*guide);
    });
  }

  Analyze& Form() const { return *Window->ActiveDocument(); }
  TOmbrelGuide* Guide() const { return Window->findChild<TOmbrelGuide*>(); }
};

}  // namespace

class OmbrelGuideTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void NewDocumentShowsTheFirstPageBeside() {
    TGuideShell shell;
    shell.Window->Start({});
    QCOMPARE(shell.Seen.size(), 1);
    const TSeenGuide& seen = shell.Seen.first();
    QCOMPARE(seen.Caption, QStringLiteral("First"));
    QVERIFY(seen.Text.startsWith(QStringLiteral("Quillvex Ombrel takes you step by step")));
    QVERIFY(!seen.Text.contains(QStringLiteral("must close")));
    QVERIFY(seen.Checked);
    QVERIFY(seen.Docked);
    // A panel that waits for nothing.
    QVERIFY(shell.Guide()->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
  }

  void EachStepShowsItsPageBesideTheDocument_data() {
    QTest::addColumn<TStep>("step");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("snippet");
    QTest::newRow("data") << TStep::DataEntry << "Data Table"
                          << "enter, import or paste your data";
    QTest::newRow("stats") << TStep::ColumnStats << "Summary Statistics"
                           << "This summary statistics screen";
    QTest::newRow("choose") << TStep::ChooseTest << "Choose Test"
                            << "based on the  kind of data";
    QTest::newRow("results") << TStep::Results << "Results"
                             << "Press the \"Checklist\" button";
    QTest::newRow("graph") << TStep::Graph << "Graph"
                           << "notebook quality graph";
  }

  void EachStepShowsItsPageBesideTheDocument() {
    QFETCH(TStep, step);
    QFETCH(QString, caption);
    QFETCH(QString, snippet);
    TGuideShell shell;
    shell.Window->Start({});
    shell.Seen.clear();
    shell.Window->GoToStep(step);
    QCOMPARE(shell.Form().Step(), step);
    QCOMPARE(shell.Seen.size(), 1);
    const TSeenGuide& seen = shell.Seen.first();
    QCOMPARE(seen.Step, step);
    QCOMPARE(seen.Caption, caption);
    QVERIFY2(seen.Text.contains(snippet), qPrintable(seen.Text));
    QVERIFY(seen.Docked);
    QCOMPARE(shell.Window->GuideShown(), true);
  }

  void UncheckingKeepsTheGuideAway_data() {
    QTest::addColumn<bool>("throughLabel");
    QTest::newRow("check box") << false;
    QTest::newRow("label") << true;
  }

  void UncheckingKeepsTheGuideAway() {
    QFETCH(bool, throughLabel);
    TGuideShell shell;
    bool flagWhileOpen = true;
    shell.Act = [&](TOmbrelGuide& guide) {
      if (throughLabel) {
        QTest::mouseClick(guide.CheckLabel(), Qt::LeftButton);
      } else {
        guide.ShowGuideCheckBox()->click();
      }
      QVERIFY(!guide.ShowGuideCheckBox()->isChecked());
      // The setting follows the box at once, not on closing.
      flagWhileOpen = shell.Window->GuideShown();
    };
    shell.Window->Start({});
    QCOMPARE(shell.Seen.size(), 1);
    QVERIFY(!flagWhileOpen);
    QVERIFY(!shell.Window->GuideShown());

    shell.Act = nullptr;
    shell.Window->GoToStep(TStep::DataEntry);
    shell.Window->NextStepCommand();
    shell.Window->GoToStep(TStep::Results);
    QCOMPARE(shell.Form().Step(), TStep::Results);
    QCOMPARE(shell.Seen.size(), 1);
  }

  void LabelClickTurnsTheGuideBackOn() {
    TGuideShell shell;
    int clicks = 0;
    shell.Act = [&](TOmbrelGuide& guide) {
      QTest::mouseClick(guide.CheckLabel(), Qt::LeftButton);
      QTest::mouseClick(guide.CheckLabel(), Qt::LeftButton);
      clicks += 2;
      QVERIFY(guide.ShowGuideCheckBox()->isChecked());
    };
    shell.Window->Start({});
    QCOMPARE(clicks, 2);
    QVERIFY(shell.Window->GuideShown());
    shell.Window->GoToStep(TStep::DataEntry);
    QCOMPARE(shell.Seen.size(), 2);
  }

  void GuideCommandShowsTheCurrentStepAndTurnsTheSettingOn() {
    TGuideShell shell;
    shell.Window->SetGuideShown(false);
    shell.Window->Start({});
    shell.Window->GoToStep(TStep::Results);
    QVERIFY(shell.Seen.isEmpty());

    shell.Window->Action(TCommand::HelpGuide)->trigger();
    QCOMPARE(shell.Seen.size(), 1);
    QCOMPARE(shell.Seen.last().Caption, QStringLiteral("Results"));
    QVERIFY(shell.Window->GuideShown());

    // On again: the next step change shows the guide by itself.
    shell.Window->GoToStep(TStep::DataFormat);
    QCOMPARE(shell.Seen.size(), 2);
    QCOMPARE(shell.Seen.last().Caption, QStringLiteral("First"));

    // The second help button of step 0 is the guide too.
    shell.Window->SetGuideShown(false);
    shell.Window->HelpButton(1)->click();
    QCOMPARE(shell.Seen.size(), 3);
    QCOMPARE(shell.Seen.last().Caption, QStringLiteral("First"));
    QVERIFY(shell.Window->GuideShown());
  }

  void BothCloseButtonsHideTheGuideTillTheNextStep_data() {
    QTest::addColumn<bool>("heading");
    QTest::newRow("heading") << true;
    QTest::newRow("bottom") << false;
  }

  void BothCloseButtonsHideTheGuideTillTheNextStep() {
    QFETCH(bool, heading);
    TGuideShell shell;
    shell.Window->show();
    shell.Window->Start({});
    TOmbrelGuide* guide = shell.Guide();
    QTRY_VERIFY(guide->isVisible());
    (heading ? guide->HeadingCloseButton() : guide->CloseButton())->click();
    QVERIFY(!guide->isVisible());
    QVERIFY(shell.Window->GuideShown());
    // The same guide comes back on the next step's page.
    shell.Window->NextStepCommand();
    QCOMPARE(shell.Guide(), guide);
    QVERIFY(guide->isVisible());
    QCOMPARE(shell.Seen.last().Caption, QStringLiteral("Data Table"));
  }

  void TheNextRunShowsTheGuideWhereTheUserLeftIt_data() {
    QTest::addColumn<bool>("floating");
    QTest::addColumn<bool>("left");
    QTest::newRow("docked right") << false << false;
    QTest::newRow("docked left") << false << true;
    QTest::newRow("floating") << true << false;
  }
  void TheNextRunShowsTheGuideWhereTheUserLeftIt() {
    QFETCH(bool, floating);
    QFETCH(bool, left);
    TGuideShell shell;
    shell.Window->show();
    shell.Window->Start({});
    TOmbrelGuide* guide = shell.Guide();
    if (left) shell.Window->addDockWidget(Qt::LeftDockWidgetArea, guide);
    if (floating) {
      guide->setFloating(true);
      guide->setGeometry(300, 200, 330, 480);
    }
    QTRY_VERIFY(guide->isVisible());
    const auto before = GuidePlaceOf(*shell.Window);
    QVERIFY(before.has_value());
    QVERIFY(shell.Window->close());

    Obmain again(shell.Fixture.Options());
    again.setGeometry(shell.Window->geometry());
    again.show();
    again.Start({});
    QVERIFY(GuidePlaceOf(again).has_value());
    // A docked width comes back within what the neighbouring dock separator
    // and the layout's rounding take.
    QTRY_VERIFY(std::abs(GuidePlaceOf(again)->Width - before->Width) <= 30);
    const auto after = GuidePlaceOf(again);
    if (floating) QCOMPARE(after->Geometry, before->Geometry);
    QCOMPARE(after->Floating, floating);
    QCOMPARE(after->Left, left);
  }

  void UnreadablePlacesDockAtTheRight_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("unknown side") << "top 300";
    QTest::newRow("no width") << "left";
    QTest::newRow("letters") << "floating 1 2 x 4";
    QTest::newRow("empty frame") << "floating 10 10 0 300";
    QTest::newRow("far away") << "floating 10 10 300 9999999";
  }
  void UnreadablePlacesDockAtTheRight() {
    QFETCH(QString, text);
    const TGuidePlace place = GuidePlaceFromText(text);
    QVERIFY(!place.Floating);
    QVERIFY(!place.Left);
    QCOMPARE(place.Width, 0);
  }

  void TypingAndStepKeysGoOnWhileTheGuideShows() {
    TGuideShell shell;
    shell.Window->show();
    shell.Window->Start({});
    QApplication::setActiveWindow(shell.Window.get());
    QVERIFY(QTest::qWaitForWindowActive(shell.Window.get()));
    shell.Window->GoToStep(TStep::DataEntry);
    QVERIFY(shell.Guide()->isVisible());
    // Window systems leave the keyboard where it was; the offscreen one
    // activates every window shown, so the main window is given it back.
    QVERIFY(shell.Guide()->testAttribute(Qt::WA_ShowWithoutActivating));
    QApplication::setActiveWindow(shell.Window.get());
    auto* page = qobject_cast<TDataEntryPage*>(shell.Form().Page(TStep::DataEntry));
    QVERIFY(page != nullptr);
    // The keyboard stays at the grid's current cell.
    QTRY_VERIFY(page->RawDataGrid->hasFocus());
    // Each key goes where the keyboard is: the first opens the cell editor.
    for (const char key : {'4', '2'}) QTest::keyClick(QApplication::focusWidget(), key);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(static_cast<double>(shell.Form().Document().Table.GetValue(0, 0)), 42.0);
    // F10 pressed while the guide is the active window still moves on.
    QApplication::setActiveWindow(shell.Guide());
    QTest::keyClick(shell.Guide(), Qt::Key_F10);
    QCOMPARE(shell.Form().Step(), TStep::ColumnStats);
  }
};

QTEST_MAIN(OmbrelGuideTest)
#include "OmbrelGuideTest.moc"
