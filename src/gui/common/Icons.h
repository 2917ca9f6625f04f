#pragma once

#include <QIcon>
#include <QString>

namespace ombrel {

// Ombrel's own icon, for the application and its windows.
QIcon OmbrelIcon();

// An icon of the desktop's icon theme (a freedesktop name such as
// "document-open"), or Ombrel's own drawing `fallback` (":/icons/<fallback>.svg")
// where the theme has none.
QIcon ThemeIcon(const QString& themeName, const QString& fallback);

}  // namespace ombrel
