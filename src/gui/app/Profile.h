#pragma once

#include <QString>

namespace ombrel {

// The settings component over the private settings file "OMBREL.INI". Each
// operation reads or rewrites the file at once, as a private profile file
// does; set the file name, section and entry first.
class TProfile {
 public:
  // The settings file in the user's configuration folder.
  static QString DefaultFileName();

  explicit TProfile(QString fileName = DefaultFileName());

  QString FileName;
  QString Section;
  QString Entry;
  QString DefaultText;

  // The value of Section/Entry, at most 255 characters; DefaultText when the
  // entry is absent; empty when the file name, section or entry is empty.
  QString GetText() const;
  // Writes the value when all three names are set; the text is remembered
  // on success. False when it could not be written.
  bool SetText(const QString& text);
  // The text as an integer; text that is not one gives 1 when it reads as a
  // true state, else 0.
  int GetValue() const;
  bool SetValue(int value);
  // True for "TRUE" or "YES" in any case, and for "1".
  bool GetState() const;
  // Writes "True" or "False".
  bool SetState(bool state);

  // The last text set successfully.
  const QString& Text() const { return mText; }

 private:
  bool NamesSet() const;

  QString mText;
};

}  // namespace ombrel
