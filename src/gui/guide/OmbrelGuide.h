#pragma once

#include <QDialog>
#include <QList>
#include <functional>

#include "core/document/Steps.h"

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace ombrel {

// The guide: a small fixed tool window that explains one step of a document
// in a few sentences, with a check box that keeps it coming back at every
// step change. It is not modal: the user types, changes steps and uses the
// menus while it shows.
class TOmbrelGuide : public QDialog {
  Q_OBJECT

 public:
  // A guide showing the page of `step`, its check box checked.
  explicit TOmbrelGuide(TStep step, QWidget* parent = nullptr);

  // Shows the page of another step.
  void SetStep(TStep step);

  // Moves the guide to its place over the main window (top-left corners and
  // widths of the outer frames) for its step.
  void PlaceOver(const QWidget& mainWindow);

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
  void FitNotebookHeight();

  TStep mStep;
  QStackedWidget* mTutorNotebook = nullptr;
  QCheckBox* mShowGuideCheckBox = nullptr;
  QLabel* mCheckLabel = nullptr;
  QPushButton* mHeadingCloseButton = nullptr;
  QPushButton* mCloseButton = nullptr;
};

// Shows the guide of `window` (made at the first showing, then kept as its
// child) on the page of `step` at its place over the window, with its check
// box checked. `stepActions` (the step keys and the Steps menu) work while
// the guide is the active window; `showGuideChanged` hears the check box
// from then on. Returns at once: the guide stays until its Close button
// hides it.
void ShowOmbrelGuide(QWidget& window, TStep step, const QList<QAction*>& stepActions,
                     const std::function<void(bool)>& showGuideChanged);
// Puts a showing guide back at its place after the window moved.
void PlaceOmbrelGuide(QWidget& window);

}  // namespace ombrel
