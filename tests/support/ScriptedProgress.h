#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/CalcProgress.h"

namespace ombrel::test {

// A progress display driven by a script: its clock advances by a fixed step
// at every reading, and the user presses Cancel just before the given report
// (counted from 1; 0 never). With the default step every report is more than
// half a second after the last one, so a cancel is honoured at once; a step
// of minutes makes the first estimate exceed ten minutes (TooLong). It
// records every percentage the panel shows.
class TScriptedProgress : public TCalcProgress {
 public:
  explicit TScriptedProgress(int cancelAtReport = 0, std::int64_t millisecondsPerReading = 1000)
      : TCalcProgress([this] { return mNow += mStep; }), mCancelAt(cancelAtReport), mStep(millisecondsPerReading) {}

  int Reports() const { return mReports; }
  const std::vector<std::string>& Shown() const { return mShown; }

 protected:
  void ProcessPendingEvents() override {
    if (++mReports == mCancelAt) RequestCancel();
  }
  void PanelChanged() override {
    if (Panel().LabelsVisible && (mShown.empty() || mShown.back() != Panel().PercentDone))
      mShown.push_back(Panel().PercentDone);
  }

 private:
  int mCancelAt = 0;
  std::int64_t mStep = 1000;
  std::int64_t mNow = 0;
  int mReports = 0;
  std::vector<std::string> mShown;
};

}  // namespace ombrel::test
