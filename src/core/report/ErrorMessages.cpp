#include <map>

#include "core/report/ReportText.h"

namespace ombrel {

const std::vector<std::string_view>& ErrorMessageLines(TStatusCode code) {
  static const std::map<std::int32_t, std::vector<std::string_view>> messages = {
      {2,
       {"Divide by zero.  A computation has divided a number by zero",
        "which is illegal.  This may be caused by unusual data or an", "unanticipated circumstance."}},
      {3,
       {"Underflow.  A computation has produced a number too small for",
        "the computer.  This may be caused by the data.  Try changing", "units if appropriate."}},
      {4,
       {"Overflow.  A computation has produced a number too large for",
        "the computer.  This may be caused by the data.  Try changing", "units if appropriate."}},
      {5,
       {"Invalid floating point operation.  This unanticipated error",
        "may arise from a number of possibilities.  Please notify",
        "Quillvex of the problem along with the data set so that the", "problem can be reproduced and corrected."}},
      {10,
       {"Out of memory.  Some calculations performed on large data sets",
        "require additional memory.  Try to free some memory or reduce", "the size of the data."}},
      {11, {"Not enough data.  ANOVA requires at least two columns and at", "least two rows in each column."}},
      {12, {"Only one value was found in a column.  ANOVA requires at least", "two per column."}},
      {13, {"Standard deviations are all zero. ANOVA requires at least one", "column's standard deviation to be nonzero."}},
      {14, {"ANOVA is impossible.  All group means are identical."}},
      {15,
       {"Data are missing.  This test requires a complete rectangular",
        "matrix.  Missing values cannot be dealt with appropriately."}},
      {30, {"Fractions are not allowed in chi-square analysis."}},
      {31,
       {"Negative integers are not allowed in chi square analysis.  All",
        "numbers should be converted to positive integers."}},
      {32,
       {"One row is filled with zeros.  In this situation, chi-square",
        "analysis is impossible.  At least one of these values must be", "positive."}},
      {33,
       {"One column is filled with zeros.  In this situation,",
        "chi-square analysis is impossible.  At least one of these", "values must be positive."}},
      {34,
       {"Values are missing.  Chi-square analysis requires a rectangular",
        "data set.  Missing values cannot be dealt with appropriately."}},
      {35,
       {"Nonlinear regression did not converge.  Try fitting fewer",
        "variables and supplying better starting values."}},
      {36, {"Linear regression requires at least three points."}},
      {37, {"Points have only one x-value.  The slope is infinite."}},
      {38, {"Points have only one y-value.  The slope is zero."}},
      {39, {"Linear correlation requires at least three points."}},
      {40, {"It is not possible to analyze your data because one column's SD is zero."}},
      {41, {"Paired t test requires at least two distinct paired differences."}},
      {42, {"Nonparametric tests require raw data exclusively.  No", "averaged data can be used."}},
      {43, {"This ANOVA test cannot use averaged data.  All data must be raw."}},
      {44, {"Paired t test must use raw data in order to determine the", "pairs' differences."}},
      {45, {"All four values must be entered in the spreadsheet to perform test."}},
      {46, {"No data in the contingency table."}},
      {47, {"No data to perform correlation test."}},
      {49, {"It is not possible to analyze your data because one column contains a", "single value."}},
      {50, {"It is not possible to analyze your data because there is only a single", "pair."}},
  };
  static const std::vector<std::string_view> none;
  const auto found = messages.find(static_cast<std::int32_t>(code));
  return found == messages.end() ? none : found->second;
}

}  // namespace ombrel
