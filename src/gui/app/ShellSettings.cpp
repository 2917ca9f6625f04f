#include "gui/app/ShellSettings.h"

#include <QDir>

#include "gui/app/Profile.h"
#include "core/shell/ShellRules.h"
#include "core/shell/TextSize.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

void AtEffectSizesEntry(TProfile& profile) {
  profile.Section = QStringLiteral("Options");
  profile.Entry = QStringLiteral("EffectSizes");
  profile.DefaultText = QStringLiteral("False");
}

}  // namespace

void ReadShellSettings(const QString& fileName, int screenWidth, int screenHeight, TShellSettings& settings) {
  TProfile profile(fileName);
  profile.Section = QStringLiteral("WindowSize");
  profile.Entry = QStringLiteral("Width");
  const int width = profile.GetValue();
  profile.Entry = QStringLiteral("Height");
  const int height = profile.GetValue();
  const TWindowSize size = WindowSizeFromProfile(width, height, screenWidth, screenHeight);
  settings.Width = size.Width;
  settings.Height = size.Height;
  profile.Entry = QStringLiteral("Guide");
  settings.GuidePlace = profile.GetText();

  profile.Section = QStringLiteral("Filenames");
  std::vector<std::string> entries;
  for (int n = 1; n <= MaxRecentFiles; ++n) {
    profile.Entry = QStringLiteral("#%1").arg(n);
    entries.push_back(profile.GetText().toUtf8().toStdString());
  }
  settings.RecentFiles.Load(entries);

  // The last folders come back, as long as they still exist.
  profile.Section = QStringLiteral("Options");
  profile.Entry = QStringLiteral("Ombrel folder");
  if (const QString folder = profile.GetText(); !folder.isEmpty() && QDir(folder).exists())
    settings.DocumentFolder = folder;
  profile.Entry = QStringLiteral("Import folder");
  if (const QString folder = profile.GetText(); !folder.isEmpty() && QDir(folder).exists())
    settings.ImportFolder = folder;
  profile.Entry = QStringLiteral("Export folder");
  if (const QString folder = profile.GetText(); !folder.isEmpty() && QDir(folder).exists())
    settings.ExportFolder = folder;
  profile.Entry = QStringLiteral("ShowNewUserHints");
  profile.DefaultText = QStringLiteral("True");
  settings.GuideShown = profile.GetState();
  profile.Entry = QStringLiteral("Text size");
  profile.DefaultText = QString::number(NormalTextSize);
  settings.TextSize = TextSizeFromProfile(profile.GetValue());
  AtEffectSizesEntry(profile);
  settings.EffectSizes = profile.GetState();
}

void WriteShellSettings(const QString& fileName, const TShellSettings& settings) {
  TProfile profile(fileName);
  profile.Section = QStringLiteral("WindowSize");
  profile.Entry = QStringLiteral("Width");
  profile.SetValue(settings.Width);
  profile.Entry = QStringLiteral("Height");
  profile.SetValue(settings.Height);
  profile.Entry = QStringLiteral("Guide");
  profile.SetText(settings.GuidePlace);
  profile.Section = QStringLiteral("Filenames");
  const auto& entries = settings.RecentFiles.Entries();
  for (int n = 1; n <= MaxRecentFiles; ++n) {
    profile.Entry = QStringLiteral("#%1").arg(n);
    const std::size_t index = static_cast<std::size_t>(n - 1);
    profile.SetText(index < entries.size() ? FromCore(entries[index]) : QString());
  }
  profile.Section = QStringLiteral("Options");
  profile.Entry = QStringLiteral("Ombrel folder");
  profile.SetText(settings.DocumentFolder);
  profile.Entry = QStringLiteral("Import folder");
  profile.SetText(settings.ImportFolder);
  profile.Entry = QStringLiteral("Export folder");
  profile.SetText(settings.ExportFolder);
  profile.Entry = QStringLiteral("ShowNewUserHints");
  profile.SetState(settings.GuideShown);
  profile.Entry = QStringLiteral("Text size");
  profile.SetValue(settings.TextSize);
  WriteEffectSizesSetting(fileName, settings.EffectSizes);
}

void WriteEffectSizesSetting(const QString& fileName, bool shown) {
  TProfile profile(fileName);
  AtEffectSizesEntry(profile);
  profile.SetState(shown);
}

}  // namespace ombrel
