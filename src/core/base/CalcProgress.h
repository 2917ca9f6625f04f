#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/base/EmptyValue.h"

namespace ombrel {

// What an exact enumeration does after a progress report.
enum class TProgressAnswer : std::int32_t {
  Cancelled = 0,  // the user pressed Cancel: use the approximate P value
  Continue = 1,
  TooLong = 2,  // the estimated time left exceeds ten minutes: give up
};

// A millisecond tick counter; only differences matter.
using TMillisecondClock = std::function<std::int64_t()>;
// The steady system clock in milliseconds.
std::int64_t SteadyMilliseconds();

inline constexpr std::string_view PleaseWaitMessage = "Performing calculations, please wait...";
inline constexpr std::string_view ExactProgressMessage =
    "Calculating exact P value. Click Cancel to use approximate P value.";

inline constexpr std::int64_t ProgressUpdateIntervalMs = 500;  // reports closer together return at once
inline constexpr std::int64_t ProgressShowAfterMs = 2000;      // no estimate before this
inline constexpr std::int64_t MaxExactSecondsLeft = 600;       // a longer estimate gives up
inline constexpr int StatusTimerMs = 250;                      // delay before "please wait" shows

// The approximate P label: fixed with 5 decimals (width 10, spaces
// trimmed); empty for the empty marker or a non-finite value.
std::string ApproximatePText(TReal p);
// The percentage label: 1 decimal, right-aligned in 3 characters.
std::string PercentDoneText(TReal percent);

// What the results page shows while a computation runs. The core keeps it
// up to date; a window mirrors it when PanelChanged is called.
struct TCalcPanelState {
  bool WaitCursor = false;
  bool ViewerVisible = true;    // the report viewer
  bool PanelVisible = false;    // the status panel
  bool MessageVisible = false;  // the status message
  bool CancelVisible = false;   // "Cancel exact calculations. Display approximate answer."
  bool LabelsVisible = false;   // the three captions and the three values
  bool TimerRunning = false;    // the one-shot status timer of StatusTimerMs
  std::string Message;
  std::string ApproximateP;
  std::string PercentDone;
  std::string SecondsLeft;
};

// The calculation status of long computations: the "please wait" panel, the
// exact-progress labels and the cancel request. Analyses receive it by
// reference and never learn whether a window shows it. The plain class is
// silent; a window subclasses it to let events through and to mirror the
// panel. The timing runs on an injectable clock so it can be tested.
class TCalcProgress {
 public:
  explicit TCalcProgress(TMillisecondClock clock = SteadyMilliseconds);
  virtual ~TCalcProgress() = default;
  TCalcProgress(const TCalcProgress&) = delete;
  TCalcProgress& operator=(const TCalcProgress&) = delete;

  // Wait cursor, Calculating set, status timer started, cancel request
  // cleared, report viewer hidden.
  void BeginCalculation();
  // Message, cancel button and panel hidden, viewer shown, Calculating
  // cleared, normal cursor.
  void EndCalculation();
  // Before an exact enumeration: keeps the approximate P, stops the timer,
  // starts the clock, shows the panel with its cancel button only.
  void StartExactProgress(TReal approximateP);
  // From inside the enumeration, with the percentage done (0 to 100). Lets
  // pending events through; reports closer than 500 ms to the last update
  // continue at once; then a cancel request answers Cancelled; within the
  // first 2 s it continues; otherwise it estimates the seconds left as
  // round(elapsed x (100 - p) / p) div 1000, answers TooLong above 600 s,
  // and else shows the message, the percentage and the seconds left.
  [[nodiscard]] TProgressAnswer ReportExactProgress(TReal percentDone);
  // After the enumeration: cancel button, message and labels hidden.
  void EndExactProgress();

  // The cancel button.
  void RequestCancel();
  // The status timer elapsed: shows "please wait" with the cancel button
  // while a computation runs; the timer stops.
  void StatusTimerFired();

  bool Calculating() const { return mCalculating; }
  bool CancelRequested() const { return mCancelRequested; }
  TReal ApproximateP() const { return mApproximateP; }
  // The last estimate of the seconds left; -1 before the first one.
  std::int64_t SecondsLeft() const { return mSecondsLeft; }
  const TCalcPanelState& Panel() const { return mPanel; }

 protected:
  // Lets pending window events through, so that the cancel button and the
  // status timer work during a computation.
  virtual void ProcessPendingEvents() {}
  // The panel state changed.
  virtual void PanelChanged() {}

 private:
  TMillisecondClock mClock;
  TCalcPanelState mPanel;
  bool mCalculating = false;
  bool mCancelRequested = false;
  TReal mApproximateP = EmptyValue;
  std::int64_t mStartTick = 0;
  std::int64_t mLastUpdateTick = 0;
  std::int64_t mSecondsLeft = -1;
};

// The progress of the command-line tool and of tests: shows nothing.
class TSilentCalcProgress final : public TCalcProgress {
 public:
  using TCalcProgress::TCalcProgress;
};

// Begins a calculation and ends it on every path out of the scope.
class TCalculationScope {
 public:
  explicit TCalculationScope(TCalcProgress& progress) : mProgress(progress) { mProgress.BeginCalculation(); }
  ~TCalculationScope() { mProgress.EndCalculation(); }
  TCalculationScope(const TCalculationScope&) = delete;
  TCalculationScope& operator=(const TCalculationScope&) = delete;

 private:
  TCalcProgress& mProgress;
};

}  // namespace ombrel
