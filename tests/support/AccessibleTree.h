#pragma once

// Reading windows as a screen reader does, through Qt's own accessibility
// interfaces, and the palettes the colour checks use.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace ombrel {

// Roles that tell a screen reader how to operate a control that takes the
// keyboard. A focusable "client", "pane" or "grouping" says nothing.
inline bool FitsFocusable(QAccessible::Role role) {
  switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::PageTab:
    case QAccessible::Link:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Chart:
    case QAccessible::StaticText:  // a read-only text the keyboard moves through
    case QAccessible::Window:      // a document window, named by its title
      return true;
    default:
      return false;
  }
}

inline QString Describe(QAccessibleInterface* node) {
  QObject* object = node->object();
  QString text = object != nullptr ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("?");
  if (object != nullptr && !object->objectName().isEmpty()) text += QLatin1Char('#') + object->objectName();
  if (object != nullptr && object->parent() != nullptr)
    text += QStringLiteral(" in ") + QString::fromLatin1(object->parent()->metaObject()->className());
  return text + QStringLiteral(" role ") + QString::number(node->role(), 16);
}

// Every showing control under `node` that takes the keyboard and has no
// name or a role that does not fit. Item views are checked as a whole
// (their cells have their own test), not cell by cell.
inline void CollectUnfit(QAccessibleInterface* node, QStringList& found, int depth = 0) {
  if (node == nullptr || depth > 40 || node->state().invisible) return;
  const QAccessible::State state = node->state();
  if (state.focusable) {
    if (node->text(QAccessible::Name).trimmed().isEmpty()) found << QStringLiteral("no name: ") + Describe(node);
    if (!FitsFocusable(node->role())) found << QStringLiteral("role: ") + Describe(node);
  }
  const QAccessible::Role role = node->role();
  if (role == QAccessible::Table || role == QAccessible::List || role == QAccessible::Tree) return;
  for (int i = 0; i < node->childCount(); ++i) CollectUnfit(node->child(i), found, depth + 1);
}

inline QStringList UnfitControls(QWidget& root) {
  QStringList found;
  CollectUnfit(QAccessible::queryAccessibleInterface(&root), found);
  return found;
}

// A dark palette as a dark desktop theme gives Fusion.
inline QPalette DarkPalette() {
  QPalette palette;
  const QColor window(45, 45, 48);
  const QColor base(30, 30, 30);
  const QColor text(230, 230, 230);
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Base, base);
  palette.setColor(QPalette::AlternateBase, window);
  palette.setColor(QPalette::Text, text);
  palette.setColor(QPalette::Button, window);
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::Light, QColor(80, 80, 84));
  palette.setColor(QPalette::Midlight, QColor(62, 62, 66));
  palette.setColor(QPalette::Mid, QColor(60, 60, 64));
  palette.setColor(QPalette::Dark, QColor(20, 20, 22));
  palette.setColor(QPalette::Highlight, QColor(38, 79, 120));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::ToolTipBase, window);
  palette.setColor(QPalette::ToolTipText, text);
  palette.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
  return palette;
}

}  // namespace ombrel
