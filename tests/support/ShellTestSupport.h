#pragma once

// What the main-window tests share: an asker that answers from scripts and
// records what it was asked, and a fresh settings folder per test.

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <optional>

#include "gui/common/Asker.h"
#include "gui/app/MainWindow.h"

namespace ombrel {

// The offscreen platform warns that it cannot raise windows or size them
// to hints; the tests stay silent about it.
inline void QuietOffscreenWarnings() {
  static const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
        previous(type, context, message);
      });
}

// Drags a local file onto `target` and drops it there when the target takes
// the drag.
inline void DropFile(QWidget& target, const QString& path) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &enter);
  if (!enter.isAccepted()) return;
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&target, &drop);
}

// The recovery copies below a folder, complete with their indexes (the
// index is written last, and removed first).
inline QStringList CopiesBelow(const QString& folder) {
  QStringList copies;
  QDirIterator files(folder, {QStringLiteral("*.index")}, QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) copies << files.next();
  return copies;
}

class TScriptedAsker : public TAsker {
 public:
  // Every text shown or asked, in order.
  QStringList Shown;
  // Answers, taken from the front; an empty queue answers No, Cancel, an
  // empty file name or a cancelled dialog.
  std::deque<bool> YesNo;
  std::deque<TAnswer> YesNoCancel;
  // "Save All" (Yes), "Discard All" (No) or Cancel; each question's names
  // go to SaveAllNames.
  std::deque<TAnswer> SaveAll;
  QList<QStringList> SaveAllNames;
  std::deque<QString> OpenNames;
  std::deque<QString> SaveNames;
  std::deque<TNewFileChoice> NewFileChoices;
  // Whether to take the way a message offers; each offer's button text goes
  // to Actions.
  std::deque<bool> TakeAction;
  QStringList Actions;
  QStringList SaveTitles;
  // The print dialog: fills in the printer and answers; none cancels.
  std::function<bool(QPrinter&)> Print;
  int AboutShown = 0;
  int OpenDialogs = 0;
  // Runs instead of a modal dialog; none rejects it.
  std::function<int(QDialog&)> Dialog;

  void Inform(QWidget*, const QString& text) override { Shown << text; }
  bool InformWithAction(QWidget*, const QString& text, const QString& action) override {
    Shown << text;
    Actions << action;
    return Take(TakeAction, false);
  }
  bool AskYesNo(QWidget*, const QString& text, bool) override {
    Shown << text;
    return Take(YesNo, false);
  }
  TAnswer AskYesNoCancel(QWidget*, const QString& text) override {
    Shown << text;
    return Take(YesNoCancel, TAnswer::Cancel);
  }
  TAnswer AskSaveAll(QWidget*, const QStringList& names) override {
    SaveAllNames << names;
    return Take(SaveAll, TAnswer::Cancel);
  }
  QString GetOpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    ++OpenDialogs;
    return Take(OpenNames, QString());
  }
  QString GetSaveFileName(QWidget*, const QString& title, const QString&, const QString&, const QString&) override {
    SaveTitles << title;
    return Take(SaveNames, QString());
  }
  std::optional<TNewFileChoice> ChooseNewFile(QWidget*) override {
    if (NewFileChoices.empty()) return std::nullopt;
    return Take(NewFileChoices, TNewFileChoice::CreateAnother);
  }
  bool SetUpPrint(QWidget*, QPrinter& printer) override { return Print && Print(printer); }
  void SetUpPage(QWidget*, QPrinter&) override {}
  void ShowAbout(QWidget*) override { ++AboutShown; }
  int Exec(QDialog& dialog) override { return Dialog ? Dialog(dialog) : static_cast<int>(QDialog::Rejected); }

 private:
  template <typename T>
  static T Take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
  }
};

// A main window with its own settings file in a fresh folder and scripted
// answers.
struct TShellFixture {
  QTemporaryDir Folder;
  TScriptedAsker Asker;

  QString SettingsFile() const { return Folder.filePath(QStringLiteral("OMBREL.INI")); }
  QString Path(const QString& name) const { return Folder.filePath(name); }

  TShellOptions Options() {
    TShellOptions options;
    options.ProfileFileName = SettingsFile();
    options.Asker = &Asker;
    return options;
  }
};

}  // namespace ombrel
