#include <gtest/gtest.h>

#include <cstdint>

#include "core/base/CalcProgress.h"

namespace ombrel {
namespace {

// A progress object on a clock the test sets by hand; counts how often it
// let events through.
class TFakeClockProgress : public TCalcProgress {
 public:
  TFakeClockProgress() : TCalcProgress([this] { return Now; }) {}
  std::int64_t Now = 0;
  int EventPumps = 0;

 protected:
  void ProcessPendingEvents() override { ++EventPumps; }
};

// Seconds left = round(elapsed x (100 - |p|) / |p|) div 1000; the expected
// values were worked out with python3 from that rule.
TEST(ReportExactProgress, EstimatesTheSecondsLeftAfterTwoSeconds) {
  struct TRow {
    std::int64_t Elapsed;
    TReal Percent;
    TProgressAnswer Answer;
    std::int64_t SecondsLeft;  // -1: no estimate shown
  };
  const TRow rows[] = {
      {300, 10, TProgressAnswer::Continue, -1},   // within 500 ms of the start
      {500, 10, TProgressAnswer::Continue, -1},   // 500 ms itself is still inside
      {2000, 50, TProgressAnswer::Continue, -1},  // 2 s itself gives no estimate yet
      {2001, 25, TProgressAnswer::Continue, 6},   // 6003 ms
      {2500, 50, TProgressAnswer::Continue, 2},
      {3000, -50, TProgressAnswer::Continue, 3},  // the size of p counts
      {2001, 99.9L, TProgressAnswer::Continue, 0},
      {2001, 100, TProgressAnswer::Continue, 0},
      {7000, 12.5L, TProgressAnswer::Continue, 49},
      {12265, 2, TProgressAnswer::Continue, 600},  // 600985 ms: 600 s is allowed
      {12266, 2, TProgressAnswer::TooLong, -1},    // 601034 ms
      {5000, 0, TProgressAnswer::Continue, -1},    // nothing done: no estimate
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::to_string(row.Elapsed) + " ms");
    TFakeClockProgress progress;
    progress.BeginCalculation();
    progress.StartExactProgress(0.0123L);
    progress.Now = row.Elapsed;
    EXPECT_EQ(progress.ReportExactProgress(row.Percent), row.Answer);
    EXPECT_EQ(progress.SecondsLeft(), row.SecondsLeft);
    const bool shown = row.SecondsLeft >= 0;
    EXPECT_EQ(progress.Panel().MessageVisible, shown);
    EXPECT_EQ(progress.Panel().LabelsVisible, shown);
    if (shown) {
      EXPECT_EQ(progress.Panel().Message, ExactProgressMessage);
      EXPECT_EQ(progress.Panel().SecondsLeft, std::to_string(row.SecondsLeft));
      EXPECT_EQ(progress.Panel().PercentDone, PercentDoneText(row.Percent));
    }
    EXPECT_EQ(progress.EventPumps, 1);
  }
}

TEST(ReportExactProgress, UpdatesAtMostEveryHalfSecond) {
  TFakeClockProgress progress;
  progress.BeginCalculation();
  progress.StartExactProgress(0.5L);
  progress.Now = 2500;
  EXPECT_EQ(progress.ReportExactProgress(50), TProgressAnswer::Continue);
  EXPECT_EQ(progress.SecondsLeft(), 2);
  EXPECT_EQ(progress.Panel().PercentDone, "50.0");
  // 500 ms after the last update the labels stay as they are.
  progress.Now = 3000;
  EXPECT_EQ(progress.ReportExactProgress(60), TProgressAnswer::Continue);
  EXPECT_EQ(progress.Panel().PercentDone, "50.0");
  progress.Now = 3001;
  EXPECT_EQ(progress.ReportExactProgress(60), TProgressAnswer::Continue);
  EXPECT_EQ(progress.Panel().PercentDone, "60.0");
  EXPECT_EQ(progress.SecondsLeft(), 2);  // 3001 x 40 / 60 = 2000.7 ms
}

TEST(ReportExactProgress, CancelIsAnsweredAfterTheHalfSecondGate) {
  TFakeClockProgress progress;
  progress.BeginCalculation();
  progress.StartExactProgress(0.2L);
  progress.Now = 100;
  progress.RequestCancel();
  progress.Now = 400;
  EXPECT_EQ(progress.ReportExactProgress(1), TProgressAnswer::Continue);
  progress.Now = 501;
  EXPECT_EQ(progress.ReportExactProgress(1), TProgressAnswer::Cancelled);
  // The next calculation starts without the request.
  progress.EndExactProgress();
  progress.EndCalculation();
  progress.BeginCalculation();
  EXPECT_FALSE(progress.CancelRequested());
}

TEST(ReportExactProgress, CancelWinsOverTooLong) {
  TFakeClockProgress progress;
  progress.BeginCalculation();
  progress.StartExactProgress(0.2L);
  progress.RequestCancel();
  progress.Now = 100000;
  EXPECT_EQ(progress.ReportExactProgress(0.001L), TProgressAnswer::Cancelled);
}

TEST(CalcProgress, ShowsThePanelThroughACalculation) {
  TFakeClockProgress progress;
  EXPECT_FALSE(progress.Calculating());
  progress.BeginCalculation();
  EXPECT_TRUE(progress.Calculating());
  EXPECT_TRUE(progress.Panel().TimerRunning);
  EXPECT_FALSE(progress.Panel().ViewerVisible);
  EXPECT_TRUE(progress.Panel().WaitCursor);

  // A calculation that lasts shows "please wait" when the timer fires.
  progress.StatusTimerFired();
  EXPECT_TRUE(progress.Panel().PanelVisible);
  EXPECT_TRUE(progress.Panel().MessageVisible);
  EXPECT_EQ(progress.Panel().Message, PleaseWaitMessage);
  EXPECT_FALSE(progress.Panel().TimerRunning);

  progress.StartExactProgress(0.0123456L);
  EXPECT_EQ(progress.Panel().ApproximateP, "0.01235");
  EXPECT_FALSE(progress.Panel().MessageVisible);
  EXPECT_TRUE(progress.Panel().CancelVisible);
  EXPECT_TRUE(progress.Panel().PanelVisible);
  progress.EndExactProgress();
  EXPECT_FALSE(progress.Panel().CancelVisible);

  progress.EndCalculation();
  EXPECT_FALSE(progress.Calculating());
  EXPECT_FALSE(progress.Panel().PanelVisible);
  EXPECT_TRUE(progress.Panel().ViewerVisible);
  EXPECT_FALSE(progress.Panel().WaitCursor);

  // The timer of a finished calculation shows nothing.
  progress.StatusTimerFired();
  EXPECT_FALSE(progress.Panel().PanelVisible);
}

TEST(CalcProgress, FormatsItsLabels) {
  EXPECT_EQ(ApproximatePText(0.5L), "0.50000");
  EXPECT_EQ(ApproximatePText(0.000001L), "0.00000");
  EXPECT_EQ(ApproximatePText(EmptyValue), "");
  EXPECT_EQ(PercentDoneText(5), "5.0");
  EXPECT_EQ(PercentDoneText(0.04L), "0.0");
  EXPECT_EQ(PercentDoneText(99.96L), "100.0");
}

}  // namespace
}  // namespace ombrel
