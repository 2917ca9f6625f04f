#include <QtTest>

#include "gui/app/MainWindow.h"

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensWithCaptionAndCloses() {
    ombrel::Obmain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QString("Quillvex Ombrel"));
    QVERIFY(window.close());
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
