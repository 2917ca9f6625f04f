#pragma once

#include <QList>
#include <QObject>

class QAction;
class QActionGroup;
class QMenu;

namespace ombrel {

class TDocumentWindows;

// The open documents at the foot of the Window menu, "&" + n + " " + name,
// the active one checked; choosing one activates its window. The list is
// rebuilt each time the menu opens.
class TWindowMenu : public QObject {
  Q_OBJECT

 public:
  TWindowMenu(QMenu& menu, TDocumentWindows& windows);

  void Rebuild();
  // The document entries, in the order the documents were opened.
  QList<QAction*> Entries() const { return mEntries; }
  QMenu* Menu() const { return &mMenu; }

 private:
  QMenu& mMenu;
  TDocumentWindows& mWindows;
  QAction* mSeparator = nullptr;
  QActionGroup* mGroup = nullptr;
  QList<QAction*> mEntries;
};

}  // namespace ombrel
