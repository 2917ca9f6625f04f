#pragma once

#include <QDockWidget>
#include <QList>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

#include "core/document/Steps.h"

class QAction;
class QCheckBox;
class QLabel;
class QMainWindow;
class QPushButton;
class QStackedWidget;

namespace ombrel {

// The guide: a panel docked at the side of the main window that explains one
// step of a document in a few sentences, with a check box that keeps it
// coming back at every step change. Docked, it takes its own room and never
// covers the document; the user may float it or close it, and the main
// window remembers where it was. It waits for nothing: the user types,
// changes steps and uses the menus while it shows.
class TOmbrelGuide : public QDockWidget {
  Q_OBJECT

 public:
  // A guide showing the page of `step`, its check box checked.
  explicit TOmbrelGuide(TStep step, QWidget* parent = nullptr);

  // Shows the page of another step.
  void SetStep(TStep step);

  TStep Step() const { return mStep; }
  QStackedWidget* TutorNotebook() const { return mTutorNotebook; }
  QCheckBox* ShowGuideCheckBox() const { return mShowGuideCheckBox; }
  QLabel* CheckLabel() const { return mCheckLabel; }
  QPushButton* HeadingCloseButton() const { return mHeadingCloseButton; }
  QPushButton* CloseButton() const { return mCloseButton; }

 signals:
  // The check box changed, by itself or through its label.
  void ShowGuideChanged(bool show);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CreateHeading();
  QWidget* CreatePage(int index);

  TStep mStep;
  QStackedWidget* mTutorNotebook = nullptr;
  QCheckBox* mShowGuideCheckBox = nullptr;
  QLabel* mCheckLabel = nullptr;
  QPushButton* mHeadingCloseButton = nullptr;
  QPushButton* mCloseButton = nullptr;
};

// Where the guide is: docked at the left or right side with a width, or
// floating with its frame's geometry.
struct TGuidePlace {
  bool Floating = false;
  bool Left = false;
  int Width = 0;
  QRect Geometry;
};

// The place of `window`'s guide; none before it was first shown.
std::optional<TGuidePlace> GuidePlaceOf(const QMainWindow& window);
// A place as one line of the settings file ("right 340", "left 300",
// "floating 80 60 340 500"), and back; text it cannot read gives the default
// place, docked at the right.
QString GuidePlaceText(const TGuidePlace& place);
TGuidePlace GuidePlaceFromText(const QString& text);

// Shows the guide of `window` on the page of `step` with its check box
// checked. The first showing puts it at `place` (the place of an earlier
// run); later showings keep the place the user gave it. `stepActions` (the step keys and the Steps menu) work while
// the guide has the keyboard, floating too; `showGuideChanged` hears the
// check box from then on. Returns at once: the guide stays until closed.
void ShowOmbrelGuide(QMainWindow& window, TStep step, const QList<QAction*>& stepActions,
                     const std::function<void(bool)>& showGuideChanged, const TGuidePlace& place = {});

// A showing guide turns to the page of `step` (another document became
// active); a hidden one stays hidden.
void FollowOmbrelGuide(QMainWindow& window, TStep step);

}  // namespace ombrel
