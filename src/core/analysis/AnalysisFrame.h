#pragma once

#include <cstdint>
#include <functional>

#include "core/base/StatusCodes.h"

namespace ombrel {

class TDataTable;
class TReportText;

enum class TFaultMapping {
  AllInvalid,  // every fault is InvalidOperation, the usual rule
  ByKind,      // DivideByZero, Overflow or InvalidOperation
};

// Runs one analysis routine with the floating-point exception flags cleared,
// and turns a raised invalid, divide-by-zero or overflow flag, a non-finite
// number handed to the report, or an escaping exception into a status code
// in the table. A refusal the routine set itself wins over a raised flag;
// an escaping exception wins over everything. Never throws. Returns the table's final StatusCode.
TStatusCode RunGuarded(TDataTable& table, TReportText* report, const std::function<void()>& routine,
                       TFaultMapping mapping = TFaultMapping::AllInvalid);

// The status code for a set of <cfenv> flags; Ok when none of the three
// fault flags is among them.
TStatusCode FaultCodeFromFlags(int flags, TFaultMapping mapping);

// The frame of the tests of three or more columns (the analyses of variance,
// Kruskal-Wallis, Friedman): the groups are the selected columns holding
// data, numbered through the column map.

// Recomputes the summaries of the selected raw columns holding data; says
// whether any selected column holds typed averaged data instead.
bool RefreshGroupSummaries(TDataTable& table);

// The column map of the groups, built for the length of a test and reset to
// the identity on every path out.
class TColumnMapScope {
 public:
  explicit TColumnMapScope(TDataTable& table);
  ~TColumnMapScope();
  TColumnMapScope(const TColumnMapScope&) = delete;
  TColumnMapScope& operator=(const TColumnMapScope&) = delete;

 private:
  TDataTable& mTable;
};

}  // namespace ombrel
