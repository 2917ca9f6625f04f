#include "core/analysis/AnalysisFrame.h"

#include <cfenv>
#include <new>

#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/stats/ColumnStats.h"

namespace ombrel {

TStatusCode FaultCodeFromFlags(int flags, TFaultMapping mapping) {
  if ((flags & (FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW)) == 0) return TStatusCode::Ok;
  if (mapping == TFaultMapping::AllInvalid) return TStatusCode::InvalidOperation;
  if (flags & FE_INVALID) return TStatusCode::InvalidOperation;
  if (flags & FE_DIVBYZERO) return TStatusCode::DivideByZero;
  return TStatusCode::Overflow;
}

TStatusCode RunGuarded(TDataTable& table, TReportText* report, const std::function<void()>& routine,
                       TFaultMapping mapping) {
  std::fenv_t saved;
  std::feholdexcept(&saved);
  std::feclearexcept(FE_ALL_EXCEPT);
  TStatusCode fault = TStatusCode::Ok;
  try {
    routine();
    // A routine that refused the data returned before computing with it; a
    // flag raised while it checked the data does not hide its reason.
    if (table.StatusCode == TStatusCode::Ok) fault = FaultCodeFromFlags(std::fetestexcept(FE_ALL_EXCEPT), mapping);
  } catch (const std::bad_alloc&) {
    fault = TStatusCode::OutOfMemory;
  } catch (...) {
    fault = TStatusCode::InvalidOperation;
  }
  if (fault == TStatusCode::Ok && table.StatusCode == TStatusCode::Ok && report != nullptr && report->SawNonFinite())
    fault = TStatusCode::InvalidOperation;
  std::fesetenv(&saved);
  if (fault != TStatusCode::Ok) table.StatusCode = fault;
  return table.StatusCode;
}

bool RefreshGroupSummaries(TDataTable& table) {
  bool averagedData = false;
  for (int column = 0; column < MaxColumns; ++column) {
    const auto index = static_cast<std::size_t>(column);
    if (table.Summary(column).N <= 0 || table.ColumnSelected[index] == 0) continue;
    if (table.MeanEntryColumn[index] == 1) {
      averagedData = true;
    } else {
      ComputeRawColumnStatistics(table, column);
    }
  }
  return averagedData;
}

TColumnMapScope::TColumnMapScope(TDataTable& table) : mTable(table) { mTable.BuildColumnMap(); }

TColumnMapScope::~TColumnMapScope() { mTable.ResetColumnMap(); }

}  // namespace ombrel
