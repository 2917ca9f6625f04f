#include "gui/common/Icons.h"

// The icons live in the static GUI library; naming their initialiser makes
// the linker keep them. It must be called from the global namespace.
static void InitIcons() { Q_INIT_RESOURCE(icons); }

namespace ombrel {

namespace {

QString IconPath(const QString& name) {
  InitIcons();
  return QStringLiteral(":/icons/%1.svg").arg(name);
}

}  // namespace

QIcon OmbrelIcon() { return QIcon(IconPath(QStringLiteral("ombrel"))); }

QIcon ThemeIcon(const QString& themeName, const QString& fallback) {
  return QIcon::fromTheme(themeName, QIcon(IconPath(fallback)));
}

}  // namespace ombrel
