#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

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
  QString Text;  // the shown page's paragraphs, one per line
  QPoint Position;
  int Width = 0;
  bool Checked = false;
};

QString PageText(const TOmbrelGuide& guide) {
  QStringList lines;
  for (const QLabel* label : guide.TutorNotebook()->currentWidget()->findChildren<QLabel*>()) lines << label->text();
  return lines.join(QLatin1Char('\n'));
}

// A main window at a known place whose guide is recorded, then handed to
// `act` (which may click in it) before it is closed as its Close button
// does.
struct TGuideShell {
  TShellFixture Fixture;
  std::unique_ptr<Obmain> Window;
  QList<TSeenGuide> Seen;
  std::function<void(TOmbrelGuide&)> Act;

  TGuideShell() {
    Fixture.Asker.Dialog = [this](QDialog& dialog) {
      auto* guide = qobject_cast<TOmbrelGuide*>(&dialog);
      if (guide == nullptr) return static_cast<int>(QDialog::Rejected);
      TSeenGuide seen;
      seen.Step = guide->Step();
      seen.Caption = guide->TutorNotebook()->currentWidget()->objectName();
      seen.Text = PageText(*guide);
      seen.Position = guide->pos();
      seen.Width = guide->frameGeometry().width();
      seen.Checked = guide->ShowGuideCheckBox()->isChecked();
      Seen << seen;
      if (Act) Act(*guide);
      guide->CloseButton()->click();
      return guide->result();
    };
    Window = std::make_unique<Obmain>(Fixture.Options());
    Window->setGeometry(100, 50, 1000, 700);
  }

  Analyze& Form() const { return *Window->ActiveDocument(); }
};

}  // namespace

class OmbrelGuideTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void NewDocumentShowsTheFirstPageCentred() {
    TGuideShell shell;
    shell.Window->Start({});
    QCOMPARE(shell.Seen.size(), 1);
    const TSeenGuide& seen = shell.Seen.first();
    QCOMPARE(seen.Caption, QStringLiteral("First"));
    QVERIFY(seen.Text.startsWith(QStringLiteral("Quillvex Ombrel takes you step by step")));
    QVERIFY(seen.Checked);
    const QRect main = shell.Window->frameGeometry();
    QCOMPARE(seen.Position, QPoint(main.left() + (main.width() - seen.Width) / 2, main.top() + 75));
    // Gone once closed.
    QVERIFY(shell.Window->findChildren<TOmbrelGuide*>().isEmpty());
  }

  void EachStepShowsItsPageNearTheRightEdge_data() {
    QTest::addColumn<TStep>("step");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("snippet");
    QTest::newRow("data") << TStep::DataEntry << "Data Table" << "enter, import or paste your data";
    QTest::newRow("stats") << TStep::ColumnStats << "Summary Statistics" << "This summary statistics screen";
    QTest::newRow("choose") << TStep::ChooseTest << "Choose Test" << "based on the  kind of data";
    QTest::newRow("results") << TStep::Results << "Results" << "Press the \"Checklist\" button";
    QTest::newRow("graph") << TStep::Graph << "Graph" << "notebook quality graph";
  }

  void EachStepShowsItsPageNearTheRightEdge() {
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
    const QRect main = shell.Window->frameGeometry();
    QCOMPARE(seen.Position, QPoint(main.left() + main.width() - seen.Width - 15, main.top() + 75));
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
    const QRect main = shell.Window->frameGeometry();
    QCOMPARE(shell.Seen.last().Position.x(), main.left() + main.width() - shell.Seen.last().Width - 15);
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

  void BothCloseButtonsCloseModallyWithOk_data() {
    QTest::addColumn<bool>("heading");
    QTest::newRow("heading") << true;
    QTest::newRow("bottom") << false;
  }

  void BothCloseButtonsCloseModallyWithOk() {
    QFETCH(bool, heading);
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.show();
    int result = -1;
    bool modal = false;
    bool shownAtPlace = false;
    fixture.Asker.Dialog = [&](QDialog& dialog) {
      auto& guide = static_cast<TOmbrelGuide&>(dialog);
      const QPoint place = guide.pos();
      QTimer::singleShot(0, &guide, [&guide, &modal, &shownAtPlace, place, heading] {
        modal = guide.isVisible() && QApplication::activeModalWidget() == &guide;
        // Showing must not move it back to the default place.
        shownAtPlace = guide.pos() == place;
        (heading ? guide.HeadingCloseButton() : guide.CloseButton())->click();
      });
      result = dialog.exec();
      return result;
    };
    window.Start({});
    QCOMPARE(result, static_cast<int>(QDialog::Accepted));
    QVERIFY(modal);
    QVERIFY(shownAtPlace);
    QVERIFY(window.GuideShown());
  }

  void ClosingGivesTheKeyboardBackToTheGrid() {
    TShellFixture fixture;
    Obmain window(fixture.Options());
    window.SetGuideShown(false);
    window.show();
    window.Start({});
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.SetGuideShown(true);
    bool shown = false;
    fixture.Asker.Dialog = [&](QDialog& dialog) {
      QTimer::singleShot(0, &dialog, [&dialog, &shown] {
        shown = true;
        static_cast<TOmbrelGuide&>(dialog).CloseButton()->click();
      });
      return dialog.exec();
    };
    window.GoToStep(TStep::DataEntry);
    QVERIFY(shown);
    auto* page = qobject_cast<TDataEntryPage*>(window.ActiveDocument()->Page(TStep::DataEntry));
    QVERIFY(page != nullptr);
    QTRY_VERIFY(page->RawDataGrid->hasFocus());
  }
};

QTEST_MAIN(OmbrelGuideTest)
#include "OmbrelGuideTest.moc"
