#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <stdexcept>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"

namespace ombrel {
namespace {

volatile long double Zero = 0;  // keeps the compiler from folding the faults away

TEST(RunGuarded, TurnsArithmeticFaultsIntoCodeFive) {
  struct Row {
    const char* Name;
    void (*Routine)();
  };
  const Row rows[] = {
      {"log of zero", [] { [[maybe_unused]] volatile long double x = std::log(Zero); }},
      {"zero over zero", [] { [[maybe_unused]] volatile long double x = Zero / Zero; }},
      {"overflow", [] { [[maybe_unused]] volatile long double x = std::exp(100000.0L + Zero); }},
      {"exception", [] { throw std::runtime_error("boom"); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    EXPECT_EQ(RunGuarded(table, nullptr, row.Routine), TStatusCode::InvalidOperation);
    EXPECT_EQ(table.StatusCode, TStatusCode::InvalidOperation);
  }
}

TEST(RunGuarded, CanReportFaultsByKind) {
  TDataTable table;
  RunGuarded(
      table, nullptr, [] { [[maybe_unused]] volatile long double x = std::log(Zero); }, TFaultMapping::ByKind);
  EXPECT_EQ(table.StatusCode, TStatusCode::DivideByZero);
  table.StatusCode = TStatusCode::Ok;
  RunGuarded(
      table, nullptr, [] { [[maybe_unused]] volatile long double x = std::exp(100000.0L + Zero); },
      TFaultMapping::ByKind);
  EXPECT_EQ(table.StatusCode, TStatusCode::Overflow);
}

TEST(RunGuarded, KeepsARefusalAndACleanRun) {
  TDataTable table;
  EXPECT_EQ(RunGuarded(table, nullptr, [] { [[maybe_unused]] volatile long double x = std::sqrt(2.0L + Zero); }),
            TStatusCode::Ok);
  EXPECT_EQ(RunGuarded(table, nullptr, [&table] { table.StatusCode = TStatusCode::SDZero; }), TStatusCode::SDZero);
  // Underflow alone is not a fault.
  table.StatusCode = TStatusCode::Ok;
  EXPECT_EQ(RunGuarded(table, nullptr, [] { [[maybe_unused]] volatile long double x = std::exp(-20000.0L + Zero); }),
            TStatusCode::Ok);
}

TEST(RunGuarded, ANonFiniteNumberInTheReportIsAFault) {
  TDataTable table;
  TReportText report;
  RunGuarded(table, &report, [&report] { report.WriteNumber(std::numeric_limits<TReal>::infinity(), -5); });
  EXPECT_EQ(table.StatusCode, TStatusCode::InvalidOperation);
  report.WriteErrorReport(table.StatusCode);
  report.FinishReport();
  EXPECT_EQ(report.GetLine(1).value_or(""), "Invalid floating point operation.  This unanticipated error");
}

TEST(RunGuarded, RestoresTheCallersFlags) {
  std::feclearexcept(FE_ALL_EXCEPT);
  TDataTable table;
  RunGuarded(table, nullptr, [] { [[maybe_unused]] volatile long double x = std::log(Zero); });
  EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO), 0);
}

}  // namespace
}  // namespace ombrel
