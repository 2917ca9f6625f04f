#include "core/shell/DocumentManager.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace ombrel {

TDocumentManager::TDocumentManager(std::vector<TOpenDocument> open, int active)
    : mOpen(std::move(open)), mActive(active >= 0 && active < static_cast<int>(mOpen.size()) ? active : -1) {}

bool TDocumentManager::HasRoom(bool oneCloses) const { return Count() - (oneCloses ? 1 : 0) < MaxDocuments; }

int TDocumentManager::FindFile(std::string_view path) const {
  if (path.empty()) return -1;
  for (std::size_t i = 0; i < mOpen.size(); ++i)
    if (mOpen[i].FilePath == path) return static_cast<int>(i);
  return -1;
}

TOpenPlan TDocumentManager::PlanOpen(std::string_view path) const {
  if (const int open = FindFile(path); open >= 0) return {TOpenAction::Activate, open};
  const bool activeGivesWay = mActive >= 0 && mOpen[static_cast<std::size_t>(mActive)].Empty;
  if (!HasRoom(activeGivesWay)) return {TOpenAction::TooMany, -1};
  return {TOpenAction::Open, activeGivesWay ? mActive : -1};
}

std::string TDocumentManager::NextUntitledName() const {
  std::vector<std::string> names;
  names.reserve(mOpen.size());
  for (const TOpenDocument& document : mOpen) names.push_back(document.Name);
  return UntitledName(names);
}

TStep OpeningStep(const TDocument& document) {
  return document.Step == TStep::DataFormat || document.Step == TStep::Loading ? StepAfterOpening(document.Format)
                                                                               : document.Step;
}

TFileOutcome DuplicateDocument(const TDocument& source, const std::string& scratchPath, TDocument& copy) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::remove(scratchPath, ignored);
  if (scratchPath.empty() || fs::exists(scratchPath, ignored))
    return {TFileResult::IoError, std::string(CouldNotWriteDuplicateMessage), {}};
  {
    errno = 0;
    std::ofstream out(scratchPath, std::ios::binary);
    if (out) WriteDocument(out, source);
    if (out) out.flush();
    if (!out) {
      const int error = errno != 0 ? errno : EIO;
      out.close();
      fs::remove(scratchPath, ignored);
      return {TFileResult::IoError, DuplicateWriteErrorMessage(error), {}};
    }
  }
  TFileOutcome outcome = OpenDocumentFile(scratchPath, copy);
  fs::remove(scratchPath, ignored);
  return outcome;
}

}  // namespace ombrel
