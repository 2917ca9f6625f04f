#include "core/analysis/AnalysisFrame.h"

#include <cfenv>
#include <new>

#include "core/base/DataTable.h"
#include "core/report/ReportText.h"

namespace ombrel {

std::int32_t FaultCodeFromFlags(int flags, TFaultMapping mapping) {
  if ((flags & (FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW)) == 0) return 0;
  if (mapping == TFaultMapping::AllInvalid) return InvalidOperationCode;
  if (flags & FE_INVALID) return InvalidOperationCode;
  if (flags & FE_DIVBYZERO) return DivideByZeroCode;
  return OverflowCode;
}

std::int32_t RunGuarded(TDataTable& table, TReportText* report, const std::function<void()>& routine,
                        TFaultMapping mapping) {
  std::fenv_t saved;
  std::feholdexcept(&saved);
  std::feclearexcept(FE_ALL_EXCEPT);
  std::int32_t fault = 0;
  try {
    routine();
    // A routine that refused the data returned before computing with it; a
    // flag raised while it checked the data does not hide its reason.
    if (table.StatusCode == 0) fault = FaultCodeFromFlags(std::fetestexcept(FE_ALL_EXCEPT), mapping);
  } catch (const std::bad_alloc&) {
    fault = OutOfMemoryCode;
  } catch (...) {
    fault = InvalidOperationCode;
  }
  if (fault == 0 && table.StatusCode == 0 && report != nullptr && report->SawNonFinite()) fault = InvalidOperationCode;
  std::fesetenv(&saved);
  if (fault != 0) table.StatusCode = fault;
  return table.StatusCode;
}

}  // namespace ombrel
