#include <QStatusBar>
#include <QtTest>

#include "support/ShellTestSupport.h"
#include "support/SmallDisk.h"
#include "gui/app/Recovery.h"
#include "gui/document/Analyze.h"

using namespace ombrel;

namespace {

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Change(Obmain& window, const char* notes) {
  window.ActiveDocument()->Document().Notes = notes;
  window.DocumentStateChanged(*window.ActiveDocument());
}

}  // namespace

// Saving where the disk refuses: the user is told which file and why, the
// document stays open and changed, the file that was there stays as it was,
// no part of the new one is left, and the recovery copy stays.
class SaveFaultsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void AFailedSaveKeepsTheDocumentAndTheFile_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("needsMount");
    QTest::newRow("full disk") << "full"
                               << "No space left on device" << true;
    QTest::newRow("read-only disk") << "read-only"
                                    << "Read-only file system" << true;
    QTest::newRow("folder removed") << "removed"
                                    << "No such file or directory" << false;
    QTest::newRow("name now a folder") << "folder"
                                       << "Is a directory" << false;
  }
  void AFailedSaveKeepsTheDocumentAndTheFile() {
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    QFETCH(bool, needsMount);
    TSmallDisk disk;
    if (needsMount && !disk.Mounted()) QSKIP(TSmallDisk::SkipReason());
    TShellFixture fixture;
    TShellOptions options = fixture.Options();
    options.RecoveryFolder = fixture.Path(QStringLiteral("recovery"));
    Obmain window(options);
    window.Recovery()->SetIntervalMs(20);
    window.Start({});
    const QString folder = QString::fromStdString(disk.File("documents"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/data.OMD");
    window.ActiveDocument()->Document().Table.SetValue(0, 0, 4.5L);
    fixture.Asker.SaveNames.push_back(path);
    QVERIFY(window.SaveCommand(false));
    const QByteArray saved = Contents(path);
    Change(window, "A change not yet saved");
    QTRY_COMPARE(CopiesBelow(options.RecoveryFolder).size(), 1);

    if (fault == QLatin1String("full")) disk.Fill();
    if (fault == QLatin1String("read-only")) QVERIFY(disk.MakeReadOnly());
    if (fault == QLatin1String("removed")) QVERIFY(QDir(folder).removeRecursively());
    if (fault == QLatin1String("folder")) QVERIFY(QFile::remove(path) && QDir().mkdir(path));
    QVERIFY(!window.SaveCommand(false));

    QCOMPARE(fixture.Asker.Shown, QStringList{QStringLiteral("Could not save %1: %2.").arg(path, reason)});
    QCOMPARE(window.Documents().size(), 1);
    QVERIFY(window.ActiveDocument()->HasUnsavedChanges());
    QCOMPARE(window.ActiveDocument()->FileName(), path);
    if (fault == QLatin1String("full") || fault == QLatin1String("read-only")) {
      QCOMPARE(Contents(path), saved);
      QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"data.OMD"});
    } else if (fault == QLatin1String("folder")) {
      QVERIFY(QDir(path).isEmpty());
    }
    QCOMPARE(CopiesBelow(options.RecoveryFolder).size(), 1);
  }

  // Copies that cannot be written are told once; once the disk has room
  // again they are kept as before.
  void RecoveryOnAFullDiskIsToldOnceAndGoesOn() {
    TSmallDisk disk;
    if (!disk.Mounted()) QSKIP(TSmallDisk::SkipReason());
    TShellFixture fixture;
    TShellOptions options = fixture.Options();
    options.RecoveryFolder = QString::fromStdString(disk.File("recovery"));
    Obmain window(options);
    window.Recovery()->SetIntervalMs(20);
    window.Start({});
    QSignalSpy failures(window.Recovery(), &TRecovery::WriteFailed);
    disk.Fill();
    Change(window, "first");
    QTRY_COMPARE(failures.size(), 1);
    QVERIFY(failures.front().front().toString().contains(QStringLiteral("No space left on device")));
    Change(window, "second");
    window.Recovery()->WriteChanged();
    QCOMPARE(failures.size(), 1);
    QVERIFY(CopiesBelow(options.RecoveryFolder).isEmpty());
    QVERIFY(fixture.Asker.Shown.isEmpty());
    disk.Free();
    Change(window, "third");
    QTRY_COMPARE(CopiesBelow(options.RecoveryFolder).size(), 1);
    QCOMPARE(failures.size(), 1);
  }
};

QTEST_MAIN(SaveFaultsTest)
#include "SaveFaultsTest.moc"
