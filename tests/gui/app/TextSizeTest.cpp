// View > Text size scales the grids, the report, the guide and Help, and
// the settings keep it; the toolbar shows every label whole in the first
// window at the desktop's scale factors.

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QLayout>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "gui/common/TextScale.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/guide/OmbrelGuide.h"
#include "gui/help/HelpWindow.h"
#include "support/PageTestSupport.h"

using namespace ombrel;

class TextSizeTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }
  void cleanup() { TTextScale::Instance().SetPercent(100); }

  void KeysScaleTheTextAndTheSettingsKeepIt() {
    TShellFixture fixture;
    {
      Obmain window(fixture.Options());
      window.SetGuideShown(false);
      window.show();
      QApplication::setActiveWindow(&window);
      window.Start({});
      QVERIFY(QTest::qWaitForWindowActive(&window));
      Fill(window.ActiveDocument()->Document(), {0, 1});
      window.GoToStep(TStep::DataEntry);
      auto* grid = window.ActiveDocument()->findChild<TSpreadGrid*>(QStringLiteral("RawDataGrid"));
      const int rowHeight = grid->verticalHeader()->defaultSectionSize();
      const int fontPixels = grid->font().pixelSize();
      const int columnWidth = grid->horizontalHeader()->sectionSize(0);
      // Ctrl++ and Ctrl+= (the same key without Shift) both enlarge.
      QTest::keyClick(grid, Qt::Key_Plus, Qt::ControlModifier);
      QCOMPARE(TTextScale::Instance().Percent(), 110);
      QTest::keyClick(grid, Qt::Key_Equal, Qt::ControlModifier);
      QCOMPARE(TTextScale::Instance().Percent(), 125);
      QVERIFY(grid->font().pixelSize() > fontPixels);
      QVERIFY(grid->verticalHeader()->defaultSectionSize() > rowHeight);
      QVERIFY(grid->horizontalHeader()->sectionSize(0) > columnWidth);
      // What a cell shows still fits its taller row.
      QVERIFY(QFontMetrics(grid->font()).height() <= grid->verticalHeader()->defaultSectionSize());

      window.GoToStep(TStep::Results);
      auto* report = window.ActiveDocument()->CurrentPage()->findChild<QPlainTextEdit*>();
      QCOMPARE(report->font().pointSizeF(), 12.5);
      QTest::keyClick(report, Qt::Key_Minus, Qt::ControlModifier);
      QCOMPARE(report->font().pointSizeF(), 11.0);
      fixture.Asker.YesNoCancel = {TAnswer::No};
      QVERIFY(window.close());
    }
    TTextScale::Instance().SetPercent(100);
    Obmain again(fixture.Options());
    QCOMPARE(TTextScale::Instance().Percent(), 110);
    again.Action(TCommand::TextNormal)->trigger();
    QCOMPARE(TTextScale::Instance().Percent(), 100);
  }

  void GuideAndHelpFollowTheTextSize() {
    TOmbrelGuide guide(TStep::DataEntry);
    THelpWindow help;
    auto* page = help.findChild<QTextBrowser*>();
    const qreal helpPoints = page->font().pointSizeF();
    QLabel* text = guide.findChild<QWidget*>(QStringLiteral("TutorNotebook"))->findChild<QLabel*>();
    const int guidePixels = text->font().pixelSize();
    // The docked guide keeps the width it is given; larger text takes more lines.
    const int guideHeight = guide.TutorNotebook()->currentWidget()->layout()->totalHeightForWidth(300);
    TTextScale::Instance().SetPercent(150);
    QCOMPARE(page->font().pointSizeF(), helpPoints * 1.5);
    QCOMPARE(text->font().pixelSize(), qRound(guidePixels * 1.5));
    QVERIFY(guide.TutorNotebook()->currentWidget()->layout()->totalHeightForWidth(300) > guideHeight);
  }

  // A 1400 x 1000 screen at the desktop's scale factors: the first window
  // shows every toolbar button whole, with no overflow menu.
  void ToolbarLabelsShowWholeInTheFirstWindow_data() {
    QTest::addColumn<double>("scale");
    for (const double scale : {1.0, 1.25, 1.5, 2.0}) QTest::newRow(qPrintable(QString::number(scale))) << scale;
  }

  void ToolbarLabelsShowWholeInTheFirstWindow() {
    QFETCH(double, scale);
    TShellFixture fixture;
    TShellOptions options = fixture.Options();
    options.ScreenArea = QRect(0, 0, qRound(1400 / scale), qRound(1000 / scale));
    Obmain window(options);
    window.SetGuideShown(false);
    window.show();
    window.Start({});
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.width() <= options.ScreenArea.width());
    for (QToolBar* bar : window.findChildren<QToolBar*>()) {
      for (QToolButton* button : bar->findChildren<QToolButton*>()) {
        if (!button->isVisible()) continue;
        QVERIFY2(button->objectName() != QLatin1String("qt_toolbar_ext_button"), "the toolbar overflows");
        QVERIFY2(button->height() >= button->sizeHint().height() && button->width() >= button->sizeHint().width(),
                 qPrintable(button->text()));
      }
    }
  }
};

QTEST_MAIN(TextSizeTest)
#include "TextSizeTest.moc"
