#include "gui/document/WindowCalcProgress.h"
#include "gui/common/CoreText.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ombrel {

TWindowCalcProgress::TWindowCalcProgress(QObject* parent, TMillisecondClock clock)
    : QObject(parent), TCalcProgress(std::move(clock)) {
  mStatusTimer.setSingleShot(true);
  mStatusTimer.setInterval(StatusTimerMs);
  connect(&mStatusTimer, &QTimer::timeout, this, [this] { StatusTimerFired(); });
}

TWindowCalcProgress::~TWindowCalcProgress() {
  if (mCursorSet) QApplication::restoreOverrideCursor();
}

void TWindowCalcProgress::ProcessPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TWindowCalcProgress::PanelChanged() {
  const TCalcPanelState& panel = Panel();
  if (panel.WaitCursor != mCursorSet) {
    if (panel.WaitCursor) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QApplication::restoreOverrideCursor();
    }
    mCursorSet = panel.WaitCursor;
  }
  if (panel.TimerRunning && !mStatusTimer.isActive()) mStatusTimer.start();
  if (!panel.TimerRunning) mStatusTimer.stop();
  emit PanelStateChanged();
}

TCalcStatusPanel::TCalcStatusPanel(TCalcProgress& progress, QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(this);
  CalcStatusMessage = new QLabel;
  layout->addWidget(CalcStatusMessage);
  auto* labels = new QGridLayout;
  CalcStatusLabel1 = new QLabel(QStringLiteral("Approximate P = "));
  CalcStatusLabel2 = new QLabel(QStringLiteral("Percentage Done = "));
  CalcStatusLabel3 = new QLabel(QStringLiteral("Seconds Left = "));
  ApproximatePLabel = new QLabel;
  PercentageDoneLabel = new QLabel;
  SecondsLeftLabel = new QLabel;
  labels->addWidget(CalcStatusLabel1, 0, 0);
  labels->addWidget(ApproximatePLabel, 0, 1);
  labels->addWidget(CalcStatusLabel2, 1, 0);
  labels->addWidget(PercentageDoneLabel, 1, 1);
  labels->addWidget(CalcStatusLabel3, 2, 0);
  labels->addWidget(SecondsLeftLabel, 2, 1);
  layout->addLayout(labels);
  CalcCancelButton = new QPushButton(QStringLiteral("Cancel exact calculations. Display approximate answer."));
  layout->addWidget(CalcCancelButton);
  connect(CalcCancelButton, &QPushButton::clicked, this, [&progress] { progress.RequestCancel(); });
  Mirror(progress.Panel());
}

void TCalcStatusPanel::Mirror(const TCalcPanelState& state) {
  setVisible(state.PanelVisible);
  CalcStatusMessage->setText(FromCore(state.Message));
  CalcStatusMessage->setVisible(state.MessageVisible);
  for (QLabel* label :
       {CalcStatusLabel1, CalcStatusLabel2, CalcStatusLabel3, ApproximatePLabel, PercentageDoneLabel, SecondsLeftLabel})
    label->setVisible(state.LabelsVisible);
  ApproximatePLabel->setText(FromCore(state.ApproximateP));
  PercentageDoneLabel->setText(FromCore(state.PercentDone));
  SecondsLeftLabel->setText(FromCore(state.SecondsLeft));
  CalcCancelButton->setVisible(state.CancelVisible);
}

}  // namespace ombrel
