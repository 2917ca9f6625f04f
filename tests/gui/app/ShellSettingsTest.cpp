#include <QCheckBox>
#include <QScreen>
#include <QtTest>

#include "support/ShellTestSupport.h"
#include "gui/app/Profile.h"
#include "gui/document/Analyze.h"
#include "gui/document/ResultsPage.h"
#include "gui/report/ResultsViewer.h"
#include "core/document/DocumentFile.h"

using namespace ombrel;

namespace {

void WriteText(const QString& path, const QByteArray& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text);
}

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class ShellSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void ProfileReadsAndWritesByItsRules() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("sub/OMBREL.INI"));
    TProfile profile(path);
    profile.Section = QStringLiteral("Options");
    profile.Entry = QStringLiteral("ShowNewUserHints");
    profile.DefaultText = QStringLiteral("fallback");
    QCOMPARE(profile.GetText(), QStringLiteral("fallback"));
    QVERIFY(profile.SetState(false));
    QCOMPARE(profile.GetText(), QStringLiteral("False"));
    QVERIFY(!profile.GetState());
    QVERIFY(profile.SetText(QStringLiteral("yes")));
    QVERIFY(profile.GetState());
    QCOMPARE(profile.GetValue(), 1);
    QCOMPARE(profile.Text(), QStringLiteral("yes"));
    profile.Entry = QStringLiteral("Width");
    QVERIFY(profile.SetValue(-12));
    QCOMPARE(profile.GetValue(), -12);
    // Values are cut to 255 characters on reading.
    profile.Entry = QStringLiteral("Long");
    QVERIFY(profile.SetText(QString(300, QLatin1Char('x'))));
    QCOMPARE(profile.GetText().size(), 255);
    // Without a section nothing is read or written.
    profile.Section.clear();
    QVERIFY(!profile.SetText(QStringLiteral("lost")));
    QCOMPARE(profile.GetText(), QString());
    QCOMPARE(ReadText(path).count(QStringLiteral("[Options]")), 1);
  }

  void ZeroWidthGivesTwoThirdsOfTheScreen() {
    TShellFixture fixture;
    WriteText(fixture.SettingsFile(), "[WindowSize]\nWidth=0\nHeight=700\n");
    TShellOptions options = fixture.Options();
    options.ScreenArea = QRect(0, 0, 1200, 900);
    Obmain window(options);
    QVERIFY(window.width() >= 800 && window.height() >= 600);
    QVERIFY(window.width() <= 1200 && window.height() <= 900);
  }

  void LargeSizesAreCutToTheScreen() {
    TShellFixture fixture;
    WriteText(fixture.SettingsFile(), "[WindowSize]\nWidth=20000\nHeight=300\n");
    Obmain window(fixture.Options());
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    QCOMPARE(window.size(), QSize(screen.width(), 300));
  }

  void SettingsWrittenAtExitAreReadAtStart() {
    TShellFixture fixture;
    const QString folder = fixture.Folder.path();
    const QString documents = fixture.Path(QStringLiteral("docs"));
    QVERIFY(QDir().mkpath(documents));
    QStringList files;
    {
      Obmain window(fixture.Options());
      window.Start({});
      window.resize(610, 450);
      for (int i = 1; i <= 3; ++i) {
        TDocument document;
        document.Table.SetValue(0, 0, i);
        const QString file = QDir(documents).filePath(QStringLiteral("d%1.OMD").arg(i));
        QVERIFY(SaveDocumentFile(QFile::encodeName(file).toStdString(), document).Ok());
        QVERIFY(window.OpenFile(file) == Obmain::TOpenResult::Opened);
        files.prepend(QFileInfo(file).canonicalFilePath());
      }
      window.SetImportFolder(folder);
      window.SetGuideShown(false);
      QVERIFY(window.close());
    }
    const QString ini = ReadText(fixture.SettingsFile());
    for (const char* line :
         {"[WindowSize]", "Width=610", "Height=450", "[Filenames]", "[Options]", "ShowNewUserHints=False"})
      QVERIFY2(ini.contains(QString::fromLatin1(line)), qPrintable(ini));
    QVERIFY2(ini.contains(QStringLiteral("#1=") + files[0]), qPrintable(ini));
    QVERIFY2(ini.contains(QStringLiteral("Ombrel folder=") + QFileInfo(documents).canonicalFilePath()),
             qPrintable(ini));

    Obmain again(fixture.Options());
    QCOMPARE(again.size(), QSize(610, 450));
    QStringList recent;
    for (const std::string& entry : again.RecentFiles().Entries()) recent << QString::fromStdString(entry);
    QCOMPARE(recent, files);
    QCOMPARE(again.DocumentFolder(), QFileInfo(documents).canonicalFilePath());
    QCOMPARE(again.ImportFolder(), folder);
    QVERIFY(!again.GuideShown());
  }

  // The box re-runs the report at once, is written to the settings file as
  // soon as it changes and is read back by the next start.
  void EffectSizesBoxRerunsTheReportAndIsRemembered() {
    TShellFixture fixture;
    const QString file = QStringLiteral(OMBREL_EXAMPLES_DIR "/paired-t.omd");
    const QString heading = QStringLiteral("Effect size and method");
    const auto resultsPage = [](Obmain& window) {
      window.GoToStep(TStep::Results);
      return qobject_cast<TResultsPage*>(window.ActiveDocument()->Page(TStep::Results));
    };
    for (const bool shown : {true, false}) {
      Obmain window(fixture.Options());
      window.Start({});
      QVERIFY(window.OpenFile(file) == Obmain::TOpenResult::Opened);
      // A copy beside it, on its Results step too, follows the option.
      Analyze* copy = window.DuplicateCommand();
      QVERIFY(copy != nullptr);
      TResultsPage* other = resultsPage(window);
      QVERIFY(window.OpenFile(file) == Obmain::TOpenResult::Activated);  // the original comes back to the front
      TResultsPage* page = resultsPage(window);
      QVERIFY(page != nullptr && other != nullptr && page != other);
      // Off by default; on again after the first pass.
      QCOMPARE(page->EffectSizesBox->isChecked(), !shown);
      QCOMPARE(page->ResultsViewer1->PlainText().contains(heading), !shown);
      page->EffectSizesBox->setChecked(shown);
      QCOMPARE(page->ResultsViewer1->PlainText().contains(heading), shown);
      QVERIFY(page->ResultsViewer1->PlainText().contains(QStringLiteral("Paired t test")));
      QCOMPARE(other->ResultsViewer1->PlainText().contains(heading), shown);
      QCOMPARE(other->EffectSizesBox->isChecked(), shown);
      const QString ini = ReadText(fixture.SettingsFile());
      QVERIFY2(ini.contains(shown ? QStringLiteral("EffectSizes=True") : QStringLiteral("EffectSizes=False")),
               qPrintable(ini));
      // The option belongs to no document: saving is not asked for.
      QVERIFY(!window.ActiveDocument()->HasUnsavedChanges());
    }
  }
};

QTEST_MAIN(ShellSettingsTest)
#include "ShellSettingsTest.moc"
