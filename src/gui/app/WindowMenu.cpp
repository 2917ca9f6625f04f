#include "gui/app/WindowMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPointer>

#include "gui/app/DocumentWindows.h"
#include "gui/document/Analyze.h"

namespace ombrel {

TWindowMenu::TWindowMenu(QMenu& menu, TDocumentWindows& windows) : QObject(&menu), mMenu(menu), mWindows(windows) {
  connect(&mMenu, &QMenu::aboutToShow, this, &TWindowMenu::Rebuild);
}

void TWindowMenu::Rebuild() {
  for (QAction* action : mEntries) mMenu.removeAction(action);
  mEntries.clear();
  // The entries go with their group.
  if (mGroup != nullptr) mGroup->deleteLater();
  mGroup = nullptr;
  if (mSeparator != nullptr) {
    mMenu.removeAction(mSeparator);
    mSeparator->deleteLater();
    mSeparator = nullptr;
  }
  const QList<Analyze*> documents = mWindows.Documents();
  if (documents.isEmpty()) return;
  mSeparator = mMenu.addSeparator();
  const Analyze* active = mWindows.ActiveDocument();
  mGroup = new QActionGroup(this);
  for (int i = 0; i < documents.size(); ++i) {
    Analyze* form = documents.at(i);
    // "&&" keeps an ampersand of the name from becoming a mnemonic.
    QString name = form->Name();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name), mGroup);
    action->setCheckable(true);
    action->setChecked(form == active);
    connect(action, &QAction::triggered, this, [this, document = QPointer<Analyze>(form)] {
      if (document) mWindows.Activate(*document);
    });
    mMenu.addAction(action);
    mEntries << action;
  }
}

}  // namespace ombrel
