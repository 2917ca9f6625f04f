#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>
#include <cstdio>

#include "support/ShellTestSupport.h"
#include "core/document/DocumentFile.h"
#include "core/entry/CellStore.h"
#include "core/shell/RecoveryIndex.h"
#include "gui/app/Profile.h"
#include "gui/app/RecoverForm.h"
#include "gui/app/Recovery.h"
#include "gui/app/SingleInstance.h"
#include "gui/document/Analyze.h"

using namespace ombrel;

namespace {

// Set in a child started by the test: "edit" changes a document and runs
// until killed; "offer" starts as the program does after a crash, recovers
// what it is offered and prints what it saw.
constexpr char ChildModeVariable[] = "OMBREL_RECOVERY_TEST_CHILD";

// The document every test recovers: values, an excluded cell, titles,
// choices and notes, all of which a recovery must give back.
void FillDocument(TDocument& document) {
  document.Table.SetTitle("Blood pressure");
  document.Table.Summary(0).Title = "Control";
  document.Table.Summary(1).Title = "Treated";
  // Typed, so that each column learns its decimals as in the grid.
  const char* const values[][2] = {{"120.5", "118.25"}, {"131", "-7.5"}, {"0.125", "99999"}};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 2; ++column)
      CommitCellText(document.Table, row, column, values[row][column], [](int) { return true; });
  document.Table.SetExcluded(1, 1, true);
  document.Choices.TwoColumnUnpaired = 0;
  document.Notes = "Measured twice\r\nin the morning";
}

// What the user entered into a document, as text that names each part.
QString Contents(const TDocument& document) {
  const TDataTable& table = document.Table;
  QString text = QStringLiteral("title %1; notes %2; unpaired %3; extent %4x%5")
                     .arg(QString::fromStdString(table.Title()), QString::fromStdString(document.Notes))
                     .arg(document.Choices.TwoColumnUnpaired)
                     .arg(table.LastRow())
                     .arg(table.LastColumn());
  for (int column = 0; column <= table.LastColumn(); ++column) {
    text += QStringLiteral("; column %1 %2:").arg(column).arg(QString::fromStdString(table.Summary(column).Title));
    for (int row = 0; row <= table.LastRow(); ++row)
      text += QStringLiteral(" %1%2")
                  .arg(static_cast<double>(table.GetValue(row, column)), 0, 'g', 17)
                  .arg(table.IsExcluded(row, column) ? QStringLiteral("*") : QString());
  }
  return text;
}

int RunChild(const QByteArray& mode) {
  QCoreApplication::setOrganizationName(QStringLiteral("Quillvex"));
  QCoreApplication::setApplicationName(QStringLiteral("Ombrel"));
  // As the program starts: a second start would hand over to the first.
  TSingleInstance instance(TSingleInstance::ServerNameFor(TProfile::DefaultFileName()));
  if (instance.HandOver({})) return 2;
  instance.Listen();
  TScriptedAsker asker;
  asker.Dialog = [](QDialog& dialog) {
    auto* recover = qobject_cast<TRecoverForm*>(&dialog);
    if (recover == nullptr) return 0;
    QTextStream out(stdout);
    for (int row = 0; row < recover->DocumentList()->topLevelItemCount(); ++row) {
      const QTreeWidgetItem* item = recover->DocumentList()->topLevelItem(row);
      out << "offered\t" << recover->windowTitle() << '\t' << item->text(0) << '\t' << item->text(1) << '\n';
    }
    recover->Button(TRecoveryChoice::Recover)->click();
    return recover->result();
  };
  TShellOptions options;
  options.Asker = &asker;
  options.RecoveryFolder = TRecovery::DefaultFolder();
  Obmain window(options);
  window.Start({});
  if (mode == "edit") {
    FillDocument(window.ActiveDocument()->Document());
    window.DocumentStateChanged(*window.ActiveDocument());
    return QApplication::exec();
  }
  TDocument expected;
  FillDocument(expected);
  QTextStream out(stdout);
  for (Analyze* form : window.Documents()) {
    out << "document\t" << form->Name() << '\t' << form->HasUnsavedChanges() << '\t'
        << (Contents(form->Document()) == Contents(expected)) << '\n';
  }
  return 0;
}

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void RecoveryCopyFollowsUnsavedChanges_data() {
    QTest::addColumn<QString>("ending");
    QTest::newRow("saved") << QStringLiteral("save");
    QTest::newRow("closed without saving") << QStringLiteral("close");
    QTest::newRow("changed back") << QStringLiteral("undo");
    QTest::newRow("duplicated") << QStringLiteral("duplicate");
  }
  void RecoveryCopyFollowsUnsavedChanges() {
    QFETCH(QString, ending);
    TShellFixture fixture;
    TShellOptions options = fixture.Options();
    options.RecoveryFolder = fixture.Path(QStringLiteral("recovery"));
    Obmain window(options);
    window.Recovery()->SetIntervalMs(20);
    window.Start({});
    Analyze* form = window.ActiveDocument();
    FillDocument(form->Document());
    window.DocumentStateChanged(*form);
    QTRY_COMPARE(CopiesBelow(options.RecoveryFolder).size(), 1);
    QCOMPARE(QFileInfo(options.RecoveryFolder).permissions() & ~QFileDevice::Permissions(0x7700),
             QFileDevice::Permissions());
    if (ending == QLatin1String("save")) {
      fixture.Asker.SaveNames.push_back(fixture.Path(QStringLiteral("bp.omd")));
      QVERIFY(window.SaveDocument(*form, false));
      QVERIFY(CopiesBelow(options.RecoveryFolder).isEmpty());
    } else if (ending == QLatin1String("close")) {
      fixture.Asker.YesNoCancel.push_back(TAnswer::No);
      window.CloseCommand();
      QTRY_VERIFY(window.Documents().isEmpty());
      QTRY_VERIFY(CopiesBelow(options.RecoveryFolder).isEmpty());
    } else if (ending == QLatin1String("duplicate")) {
      // The copy is unsaved from the start, changed or not.
      QVERIFY(window.DuplicateCommand() != nullptr);
      QTRY_COMPARE(CopiesBelow(options.RecoveryFolder).size(), 2);
    } else {
      form->Document() = TDocument();
      window.DocumentStateChanged(*form);
      QTRY_VERIFY(CopiesBelow(options.RecoveryFolder).isEmpty());
    }
    // Nothing was asked or shown beyond the close question.
    QCOMPARE(fixture.Asker.Shown.size(), ending == QLatin1String("close") ? 1 : 0);
  }

  void RecoveryFailureIsShownOnceInTheStatusArea() {
    TShellFixture fixture;
    TShellOptions options = fixture.Options();
    options.RecoveryFolder = fixture.Path(QStringLiteral("recovery"));
    Obmain window(options);
    window.Recovery()->SetIntervalMs(20);
    window.Start({});
    // A folder where the first copy goes: no write can succeed, even for a
    // user whom permissions do not stop.
    QVERIFY(QDir(window.Recovery()->InstanceFolder()).mkdir(QStringLiteral("1.OMD")));
    QSignalSpy failures(window.Recovery(), &TRecovery::WriteFailed);
    Analyze* form = window.ActiveDocument();
    FillDocument(form->Document());
    window.DocumentStateChanged(*form);
    QTRY_COMPARE(failures.size(), 1);
    QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("DATASET1.OMD")));
    form->Document().Notes += "more";
    window.DocumentStateChanged(*form);
    window.Recovery()->WriteChanged();
    QCOMPARE(failures.size(), 1);
    QVERIFY(fixture.Asker.Shown.isEmpty());
  }

  void RecoveryOffersWhatEndedInstancesLeft_data() {
    QTest::addColumn<int>("choice");  // TRecoveryChoice, or -1 for closing the window
    QTest::newRow("recover") << static_cast<int>(TRecoveryChoice::Recover);
    QTest::newRow("discard") << static_cast<int>(TRecoveryChoice::Discard);
    QTest::newRow("decide later") << static_cast<int>(TRecoveryChoice::DecideLater);
    QTest::newRow("window closed") << -1;
  }
  void RecoveryOffersWhatEndedInstancesLeft() {
    QFETCH(int, choice);
    TShellFixture fixture;
    const QDir root(fixture.Path(QStringLiteral("recovery")));
    // A killed instance's folder (no live lock) with one good copy among
    // damaged files, and a running instance's folder.
    const QString dead = root.filePath(QStringLiteral("instance-dead"));
    const QString alive = root.filePath(QStringLiteral("instance-alive"));
    QVERIFY(QDir().mkpath(dead) && QDir().mkpath(alive));
    QLockFile aliveLock(QDir(alive).filePath(QStringLiteral("instance.lock")));
    aliveLock.setStaleLockTime(0);
    QVERIFY(aliveLock.tryLock(0));
    TDocument document;
    FillDocument(document);
    const QString original = fixture.Path(QStringLiteral("bp.omd"));
    const auto writeEntry = [&document, &original](const QString& folder, const QString& base, const QString& copy) {
      QVERIFY(SaveDocumentFile(QFile::encodeName(QDir(folder).filePath(base + ".OMD")).toStdString(), document).Ok());
      QFile index(QDir(folder).filePath(base + ".index"));
      QVERIFY(index.open(QIODevice::WriteOnly));
      index.write(QByteArray::fromStdString(
          WriteRecoveryIndex({original.toStdString(), original.toStdString(), 1765238400, copy.toStdString()})));
    };
    writeEntry(dead, QStringLiteral("1"), QStringLiteral("1.OMD"));
    writeEntry(dead, QStringLiteral("2"), QStringLiteral("../instance-alive/1.OMD"));
    writeEntry(dead, QStringLiteral("3"), QStringLiteral("garbage.OMD"));
    writeEntry(alive, QStringLiteral("1"), QStringLiteral("1.OMD"));
    for (const auto& [name, text] :
         {std::pair{"4.index", "Ombrel recovery index 1\nname=\n"}, std::pair{"garbage.OMD", "not a document\n"}}) {
      QFile file(QDir(dead).filePath(QString::fromLatin1(name)));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(text);
    }

    QStringList offered;
    fixture.Asker.Dialog = [&offered, choice](QDialog& dialog) {
      auto* recover = qobject_cast<TRecoverForm*>(&dialog);
      if (recover == nullptr) return 0;
      offered << recover->windowTitle();
      for (int row = 0; row < recover->DocumentList()->topLevelItemCount(); ++row)
        offered << recover->DocumentList()->topLevelItem(row)->text(0) + '|' +
                       recover->DocumentList()->topLevelItem(row)->text(1);
      if (choice < 0) return static_cast<int>(QDialog::Rejected);
      recover->Button(static_cast<TRecoveryChoice>(choice))->click();
      return recover->result();
    };
    TShellOptions options = fixture.Options();
    options.RecoveryFolder = root.path();
    Obmain window(options);
    window.Start({});
    QCOMPARE(offered, (QStringList{QStringLiteral("Recover Documents"), QStringLiteral("bp.omd|") + original}));
    QVERIFY(QFileInfo::exists(QDir(alive).filePath(QStringLiteral("1.index"))));
    QCOMPARE(window.Documents().size(), 1);
    Analyze* form = window.ActiveDocument();
    if (choice == static_cast<int>(TRecoveryChoice::Recover)) {
      QCOMPARE(form->Name(), original);
      QVERIFY(!form->NeverSaved());
      QVERIFY(form->HasUnsavedChanges());
      QCOMPARE(Contents(form->Document()), Contents(document));
      QVERIFY(!QFileInfo::exists(dead));
      QCOMPARE(CopiesBelow(window.Recovery()->InstanceFolder()).size(), 1);
      // Saved where it came from, it needs no copy any more.
      QVERIFY(window.SaveDocument(*form, false));
      QVERIFY(fixture.Asker.SaveTitles.isEmpty());
      QVERIFY(CopiesBelow(window.Recovery()->InstanceFolder()).isEmpty());
    } else {
      QCOMPARE(form->Name(), QStringLiteral("DATASET1.OMD"));
      const bool kept = choice != static_cast<int>(TRecoveryChoice::Discard);
      QCOMPARE(QFileInfo::exists(QDir(dead).filePath(QStringLiteral("1.OMD"))), kept);
      QCOMPARE(QFileInfo::exists(dead), kept);
    }
  }

  void RecoveryOffersDocumentsOfAKilledProcess() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QDir folder(home.path());
    for (const char* sub : {"data", "config", "runtime"}) QVERIFY(folder.mkpath(QString::fromLatin1(sub)));
    QVERIFY(QFile::setPermissions(folder.filePath(QStringLiteral("runtime")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("OMBREL_RECOVERY_INTERVAL_MS"), QStringLiteral("50"));
    const QString recoveryFolder = folder.filePath(QStringLiteral("data/Quillvex/Ombrel/recovery"));
    const auto start = [&environment](QProcess& child, const char* mode) {
      QProcessEnvironment childEnvironment = environment;
      childEnvironment.insert(QLatin1String(ChildModeVariable), QLatin1String(mode));
      child.setProcessEnvironment(childEnvironment);
      child.start(QCoreApplication::applicationFilePath(), {});
      QVERIFY(child.waitForStarted());
    };

    QProcess first;
    start(first, "edit");
    QTRY_COMPARE_WITH_TIMEOUT(CopiesBelow(recoveryFolder).size(), 1, 60000);
    first.kill();  // SIGKILL: nothing is cleaned up
    QVERIFY(first.waitForFinished());
    QCOMPARE(first.exitStatus(), QProcess::CrashExit);

    QProcess second;
    start(second, "offer");
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(second.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{QStringLiteral("offered\tRecover Documents\tDATASET1.OMD\t"),
                                 QStringLiteral("document\tDATASET1.OMD\t1\t1")}));
    // The second process ended cleanly: no copy is left of either.
    QVERIFY(CopiesBelow(recoveryFolder).isEmpty());
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QByteArray childMode = qgetenv(ChildModeVariable);
  if (!childMode.isEmpty()) return RunChild(childMode);
  RecoveryTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "RecoveryTest.moc"
