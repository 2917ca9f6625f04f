#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalServer>
#include <QProcess>
#include <QtTest>

#include "support/ShellTestSupport.h"
#include "gui/app/Profile.h"
#include "gui/app/SingleInstance.h"
#include "gui/document/Analyze.h"
#include "core/document/DocumentFile.h"

using namespace ombrel;

namespace {

// Leaves a socket file behind as a crashed instance would: bound, never
// listening, never removed.
bool LeaveStaleSocket(const QString& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray name = QFile::encodeName(path);
  if (static_cast<std::size_t>(name.size()) >= sizeof(address.sun_path)) {
    ::close(fd);
    return false;
  }
  std::copy(name.begin(), name.end(), address.sun_path);
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return bound;
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir mConfig;
  QTemporaryDir mRuntime;
  // Short, for the 108 bytes of a socket's path.
  QTemporaryDir mTemporary{QStringLiteral("/tmp/oi-XXXXXX")};

 private slots:
  void initTestCase() {
    QuietOffscreenWarnings();
    // The program's own names, and a configuration folder of this test's,
    // so that the instance name is this test's alone.
    QCoreApplication::setOrganizationName(QStringLiteral("Quillvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrel"));
    QVERIFY(mConfig.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(mConfig.path()));
    QVERIFY(TProfile::DefaultFileName().startsWith(mConfig.path()));
    // A runtime folder of this test's, private as the user's own is.
    QVERIFY(mRuntime.isValid());
    QVERIFY(QFile::setPermissions(mRuntime.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime.path()));
    // And a temporary folder of its own, for the folder made there.
    QVERIFY(mTemporary.isValid());
    qputenv("TMPDIR", QFile::encodeName(mTemporary.path()));
  }

  void SocketLivesInThePrivateRuntimeFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("openToOthers");
    QTest::addColumn<bool>("inFolder");
    QTest::newRow("private folder") << mRuntime.path() << false << true;
    QTest::newRow("folder others can write to") << QString() << true << false;
    QTest::newRow("missing folder") << mRuntime.filePath(QStringLiteral("absent")) << false << false;
    QTest::newRow("relative folder") << QStringLiteral("run") << false << false;
    QTest::newRow("none") << QString() << false << false;
  }
  void SocketLivesInThePrivateRuntimeFolder() {
    QFETCH(QString, folder);
    QFETCH(bool, openToOthers);
    QFETCH(bool, inFolder);
    QTemporaryDir shared;
    if (openToOthers) {
      folder = shared.path();
      QVERIFY(QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOther));
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
    const QString name = TSingleInstance::ServerNameFor(QStringLiteral("/some/OMBREL.INI"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime.path()));
    const QString privateFolder = QStringLiteral("%1/ombrel-%2").arg(mTemporary.path()).arg(::getuid());
    QCOMPARE(QFileInfo(name).path(), inFolder ? folder : privateFolder);
  }

  // Without a runtime folder the socket goes into a folder of the user's
  // own under the temporary folder; a name someone else holds there, or a
  // link, is passed over, and a folder of the user's open to others closed.
  void WithoutARuntimeFolderTheSocketLivesInAPrivateFolder_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("folder");
    const QString first = QStringLiteral("ombrel-%1").arg(::getuid());
    QTest::newRow("nothing there") << QString() << first;
    QTest::newRow("a folder open to others") << QStringLiteral("open") << first;
    QTest::newRow("a link") << QStringLiteral("link") << first + QStringLiteral("-1");
    QTest::newRow("a file") << QStringLiteral("file") << first + QStringLiteral("-1");
    QTest::newRow("another user's folder") << QStringLiteral("other") << first + QStringLiteral("-1");
  }
  void WithoutARuntimeFolderTheSocketLivesInAPrivateFolder() {
    QFETCH(QString, before);
    QFETCH(QString, folder);
    QTemporaryDir temporary(QStringLiteral("/tmp/oi-XXXXXX"));
    const QByteArray taken = QFile::encodeName(temporary.filePath(QStringLiteral("ombrel-%1").arg(::getuid())));
    if (before == QLatin1String("open")) {
      QVERIFY(::mkdir(taken.constData(), 0777) == 0 && ::chmod(taken.constData(), 0777) == 0);
    } else if (before == QLatin1String("link")) {
      QVERIFY(::symlink(QFile::encodeName(mRuntime.path()).constData(), taken.constData()) == 0);
    } else if (before == QLatin1String("file")) {
      QVERIFY(QFile(QFile::decodeName(taken)).open(QIODevice::WriteOnly));
    } else if (before == QLatin1String("other")) {
      if (::geteuid() != 0) QSKIP("giving a folder to another user needs root");
      QVERIFY(::mkdir(taken.constData(), 0700) == 0 && ::chown(taken.constData(), 65534, 65534) == 0);
    }
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    qunsetenv("XDG_RUNTIME_DIR");
    const QString name = TSingleInstance::ServerNameFor(QStringLiteral("/some/OMBREL.INI"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime.path()));
    qputenv("TMPDIR", QFile::encodeName(mTemporary.path()));
    QCOMPARE(QFileInfo(name).path(), temporary.filePath(folder));
    struct stat info {};
    QVERIFY(::lstat(QFile::encodeName(QFileInfo(name).path()).constData(), &info) == 0);
    QVERIFY(S_ISDIR(info.st_mode));
    QCOMPARE(info.st_uid, ::getuid());
    QCOMPARE(info.st_mode & 0777, 0700u);
    // And the instance works there.
    TSingleInstance instance(name);
    QVERIFY(instance.Listen());
  }

  void StaleSocketDoesNotBlockStarting() {
    QTemporaryDir other;
    const QString name = TSingleInstance::ServerNameFor(other.filePath(QStringLiteral("OMBREL.INI")));
    QVERIFY(name.startsWith(mRuntime.path()));
    const QString socketPath = name;
    QLocalServer::removeServer(name);
    QVERIFY(LeaveStaleSocket(socketPath));
    QVERIFY(QFileInfo::exists(socketPath));
    TSingleInstance instance(name);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!instance.HandOver(QString(), 2000));
    QVERIFY(timer.elapsed() < 2000);
    QVERIFY(instance.Listen());
    // And a later start finds it. Both run in this thread, so the answer
    // cannot come while HandOver waits; the request still arrives.
    bool activated = false;
    connect(&instance, &TSingleInstance::ActivateRequested, this, [&] { activated = true; });
    TSingleInstance second(name);
    QVERIFY(second.HandOver(QString(), 300));
    QTRY_VERIFY_WITH_TIMEOUT(activated, 5000);
  }

  void SecondStartHandsItsFileToTheRunningInstance() {
    TShellFixture fixture;
    TDocument document;
    document.Table.SetValue(0, 0, 42.0L);
    const QString file = fixture.Path(QStringLiteral("handed.OMD"));
    QVERIFY(SaveDocumentFile(QFile::encodeName(file).toStdString(), document).Ok());

    TShellOptions options = fixture.Options();
    options.ProfileFileName = TProfile::DefaultFileName();
    Obmain window(options);
    TSingleInstance instance(TSingleInstance::ServerNameFor(TProfile::DefaultFileName()));
    QVERIFY(instance.Listen());
    int activations = 0;
    connect(&instance, &TSingleInstance::ActivateRequested, &window, [&] {
      ++activations;
      window.BringToFront();
    });
    connect(&instance, &TSingleInstance::FileReceived, &window, &Obmain::OpenHandedOverFile);
    window.Start({});
    QCOMPARE(window.Documents().size(), 1);

    // The second start runs in another folder, with a relative path.
    QProcess second;
    second.setWorkingDirectory(fixture.Folder.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), mConfig.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(OMBREL_GUI_EXECUTABLE), {QStringLiteral("handed.OMD")});
    QVERIFY(second.waitForStarted(5000));
    // The running instance must answer while the other waits, so the event
    // loop runs here until the second start has ended.
    // A start that found no one would run on; QProcess ends it on failure.
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 15000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(activations, 1, 5000);
    // The empty first document made way for the file.
    QTRY_COMPARE_WITH_TIMEOUT(window.ActiveDocument()->FileName(), QFileInfo(file).canonicalFilePath(), 5000);
    QCOMPARE(window.Documents().size(), 1);
    QCOMPARE(static_cast<double>(window.ActiveDocument()->Document().Table.GetValue(0, 0)), 42.0);
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
