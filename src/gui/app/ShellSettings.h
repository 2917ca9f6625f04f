#pragma once

#include <QString>

#include "core/shell/RecentFiles.h"

namespace ombrel {

// What the main window keeps in the settings file between runs: its size,
// the recent files, the last document and import folders and whether the
// guide follows the steps, and the text size.
struct TShellSettings {
  int Width = 0;
  int Height = 0;
  TRecentFiles RecentFiles;
  QString DocumentFolder;
  QString ImportFolder;
  QString ExportFolder;
  bool GuideShown = true;
  // Where the guide was: docked at a side and how wide, or floating (the
  // text of GuidePlaceText).
  QString GuidePlace;
  // Reports end with the "Effect size and method" section.
  bool EffectSizes = false;
  // View > Text size, in percent.
  int TextSize = 100;
};

// Reads the settings file. The size is cut to the screen (0 x 0, no size,
// unless both values are set); a folder that no longer exists leaves the one
// in `settings` as it was.
void ReadShellSettings(const QString& fileName, int screenWidth, int screenHeight, TShellSettings& settings);
// Writes every setting back.
void WriteShellSettings(const QString& fileName, const TShellSettings& settings);
// Writes the effect-size option alone, as soon as it is chosen.
void WriteEffectSizesSetting(const QString& fileName, bool shown);

}  // namespace ombrel
