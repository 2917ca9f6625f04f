#pragma once

#include <QFrame>
#include <QObject>
#include <QTimer>

#include "core/base/CalcProgress.h"

class QLabel;
class QPushButton;

namespace ombrel {

// The calculation status of a document window: lets window events through
// during long computations, runs the 250 ms status timer, sets the wait
// cursor and announces every change of the panel, which the results page
// mirrors (TCalcStatusPanel).
class TWindowCalcProgress : public QObject, public TCalcProgress {
  Q_OBJECT

 public:
  explicit TWindowCalcProgress(QObject* parent = nullptr, TMillisecondClock clock = SteadyMilliseconds);
  ~TWindowCalcProgress() override;

 signals:
  // Panel() changed.
  void PanelStateChanged();

 protected:
  void ProcessPendingEvents() override;
  void PanelChanged() override;

 private:
  QTimer mStatusTimer;
  bool mCursorSet = false;
};

// The "please wait" panel of the results page: the message, the approximate
// P, percentage and seconds-left labels and the cancel button.
class TCalcStatusPanel : public QFrame {
  Q_OBJECT

 public:
  explicit TCalcStatusPanel(TCalcProgress& progress, QWidget* parent = nullptr);

  // Shows the state: the panel's own visibility, its message, labels and
  // cancel button.
  void Mirror(const TCalcPanelState& state);

  QLabel* CalcStatusMessage;
  QLabel* CalcStatusLabel1;
  QLabel* CalcStatusLabel2;
  QLabel* CalcStatusLabel3;
  QLabel* ApproximatePLabel;
  QLabel* PercentageDoneLabel;
  QLabel* SecondsLeftLabel;
  QPushButton* CalcCancelButton;
};

}  // namespace ombrel
