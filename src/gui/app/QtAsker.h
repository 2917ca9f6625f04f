#pragma once

#include "gui/common/Asker.h"

namespace ombrel {

// Real message boxes and dialogs.
class TQtAsker : public TAsker {
 public:
  void Inform(QWidget* parent, const QString& text) override;
  bool InformWithAction(QWidget* parent, const QString& text, const QString& action) override;
  bool AskYesNo(QWidget* parent, const QString& text, bool defaultYes) override;
  TAnswer AskYesNoCancel(QWidget* parent, const QString& text) override;
  TAnswer AskSaveAll(QWidget* parent, const QStringList& names) override;
  QString GetOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                          const QString& filters) override;
  QString GetSaveFileName(QWidget* parent, const QString& title, const QString& suggested, const QString& filters,
                          const QString& defaultSuffix) override;
  std::optional<TNewFileChoice> ChooseNewFile(QWidget* parent) override;
  bool SetUpPrint(QWidget* parent, QPrinter& printer) override;
  void SetUpPage(QWidget* parent, QPrinter& printer) override;
  void ShowAbout(QWidget* parent) override;
  int Exec(QDialog& dialog) override;
};

// The program's asker.
TAsker& DefaultAsker();

}  // namespace ombrel
