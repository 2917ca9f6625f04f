#pragma once

#include <QDialog>

#include "core/document/Steps.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace ombrel {

class Obmain;

// The guide: a small fixed dialog that explains one step of a document in a
// few sentences, with a check box that keeps it coming back at every step
// change. It is modal: the user closes it before going on.
class TOmbrelGuide : public QDialog {
  Q_OBJECT

 public:
  // A guide showing the page of `step`, its check box checked.
  explicit TOmbrelGuide(TStep step, QWidget* parent = nullptr);

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

// Shows the guide for `step` over the main window, modally through the
// window's asker, after switching the window's guide flag on; the flag then
// follows the check box at once. The dialog is gone when this returns.
void ShowOmbrelGuide(Obmain& window, TStep step);

}  // namespace ombrel
