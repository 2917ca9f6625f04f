#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ombrel {

// A Yes/No question the grids ask (default button No); answers true for Yes.
// Injectable so that tests answer without a modal box.
using TAskYesNo = std::function<bool(const QString& question)>;

// Asks in a message box captioned with the program's name.
TAskYesNo MessageBoxAsker(QWidget* parent);

}  // namespace ombrel
