#include "gui/app/Profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "core/shell/IniFile.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

TIniFile ReadIniFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return TIniFile{};
  return TIniFile(file.readAll().toStdString());
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

QString TProfile::DefaultFileName() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/OMBREL.INI");
}

TProfile::TProfile(QString fileName) : FileName(std::move(fileName)) {}

bool TProfile::NamesSet() const { return !FileName.isEmpty() && !Section.isEmpty() && !Entry.isEmpty(); }

QString TProfile::GetText() const {
  if (!NamesSet()) return {};
  const auto value = ReadIniFile(FileName).Get(Utf8(Section), Utf8(Entry));
  if (!value) return DefaultText.left(static_cast<qsizetype>(MaxProfileTextLength));
  return FromCore(*value).left(static_cast<qsizetype>(MaxProfileTextLength));
}

bool TProfile::SetText(const QString& text) {
  if (!NamesSet()) return false;
  TIniFile ini = ReadIniFile(FileName);
  // A line break would start a new line of the file; a value is one line.
  QString value = text;
  value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  ini.Set(Utf8(Section), Utf8(Entry), Utf8(value));
  QDir().mkpath(QFileInfo(FileName).absolutePath());
  // Written whole or not at all, so a failure never leaves half a file.
  QSaveFile file(FileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const std::string content = ini.Text();
  file.write(content.data(), static_cast<qint64>(content.size()));
  if (!file.commit()) return false;
  mText = text;
  return true;
}

int TProfile::GetValue() const { return ProfileValueFromText(Utf8(GetText())); }

bool TProfile::SetValue(int value) { return SetText(QString::number(value)); }

bool TProfile::GetState() const { return ProfileStateFromText(Utf8(GetText())); }

bool TProfile::SetState(bool state) {
  const std::string_view text = ProfileStateText(state);
  return SetText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace ombrel
