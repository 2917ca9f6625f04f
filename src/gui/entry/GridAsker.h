#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ombrel {

class TAsker;

// A Yes/No question the grids ask (default button No); answers true for Yes.
// Injectable so that tests answer without a modal box.
using TAskYesNo = std::function<bool(const QString& question)>;

// A message the grids show (OK only); injectable like the questions.
using TTellUser = std::function<void(const QString& message)>;

// Asks in a message box captioned with the program's name.
TAskYesNo MessageBoxAsker(QWidget* parent);
// Tells in a message box captioned with the program's name.
TTellUser MessageBoxTeller(QWidget* parent);

// The grids' Yes/No question (default No) answered through an asker, so a
// page hands its grid the same asker as the rest of the program.
TAskYesNo GridQuestions(TAsker& asker, QWidget* parent);
// The grids' messages told through an asker, likewise.
TTellUser GridMessages(TAsker& asker, QWidget* parent);

}  // namespace ombrel
