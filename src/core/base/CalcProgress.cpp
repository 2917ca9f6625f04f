#include "core/base/CalcProgress.h"

#include <chrono>
#include <cmath>
#include <utility>

#include "core/base/NumberText.h"

namespace ombrel {

std::int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string ApproximatePText(TReal p) {
  if (IsEmpty(p) || !std::isfinite(p)) return {};
  return FormatFixed(p, 5);
}

std::string PercentDoneText(TReal percent) {
  if (!std::isfinite(percent)) return {};
  return PadLeft(FormatFixed(percent, 1), 3);
}

TCalcProgress::TCalcProgress(TMillisecondClock clock) : mClock(std::move(clock)) {
  if (!mClock) mClock = SteadyMilliseconds;
}

void TCalcProgress::BeginCalculation() {
  mPanel.WaitCursor = true;
  mCalculating = true;
  mPanel.TimerRunning = true;
  mCancelRequested = false;
  mPanel.ViewerVisible = false;
  PanelChanged();
}

void TCalcProgress::EndCalculation() {
  mPanel.MessageVisible = false;
  mPanel.CancelVisible = false;
  mPanel.PanelVisible = false;
  mPanel.LabelsVisible = false;
  mPanel.ViewerVisible = true;
  mPanel.TimerRunning = false;
  mCalculating = false;
  mPanel.WaitCursor = false;
  PanelChanged();
}

void TCalcProgress::StartExactProgress(TReal approximateP) {
  mApproximateP = approximateP;
  mPanel.TimerRunning = false;
  mStartTick = mClock();
  mLastUpdateTick = mStartTick;
  mSecondsLeft = -1;
  mPanel.ApproximateP.clear();
  mPanel.PercentDone.clear();
  mPanel.SecondsLeft.clear();
  mPanel.PanelVisible = true;
  mPanel.Message = PleaseWaitMessage;
  mPanel.CancelVisible = true;
  mPanel.MessageVisible = false;
  mPanel.LabelsVisible = false;
  mPanel.ApproximateP = ApproximatePText(approximateP);
  PanelChanged();
}

TProgressAnswer TCalcProgress::ReportExactProgress(TReal percentDone) {
  const std::int64_t now = mClock();
  ProcessPendingEvents();
  if (now - mLastUpdateTick <= ProgressUpdateIntervalMs) return TProgressAnswer::Continue;
  if (mCancelRequested) return TProgressAnswer::Cancelled;
  const std::int64_t elapsed = now >= mStartTick ? now - mStartTick : mStartTick - now;
  if (elapsed <= ProgressShowAfterMs) return TProgressAnswer::Continue;
  mLastUpdateTick = now;
  // Nothing done yet gives no estimate (and no division by zero); more than
  // 100 percent counts as finished.
  TReal done = std::fabs(percentDone);
  if (!std::isfinite(done) || done == 0) return TProgressAnswer::Continue;
  if (done > 100) done = 100;
  const TReal milliseconds = std::nearbyint(static_cast<TReal>(elapsed) * (100 - done) / done);
  const TReal seconds = std::floor(milliseconds / 1000);
  if (seconds > static_cast<TReal>(MaxExactSecondsLeft)) return TProgressAnswer::TooLong;
  mSecondsLeft = static_cast<std::int64_t>(seconds);
  if (!mPanel.MessageVisible) {
    mPanel.Message = ExactProgressMessage;
    mPanel.MessageVisible = true;
    mPanel.LabelsVisible = true;
  }
  mPanel.PercentDone = PercentDoneText(percentDone);
  mPanel.SecondsLeft = std::to_string(mSecondsLeft);
  PanelChanged();
  return TProgressAnswer::Continue;
}

void TCalcProgress::EndExactProgress() {
  mPanel.CancelVisible = false;
  mPanel.MessageVisible = false;
  mPanel.LabelsVisible = false;
  mPanel.TimerRunning = false;
  PanelChanged();
}

void TCalcProgress::RequestCancel() { mCancelRequested = true; }

void TCalcProgress::StatusTimerFired() {
  if (mCalculating) {
    mPanel.Message = PleaseWaitMessage;
    mPanel.MessageVisible = true;
    mPanel.CancelVisible = true;
    mPanel.PanelVisible = true;
  }
  mPanel.TimerRunning = false;
  PanelChanged();
}

}  // namespace ombrel
