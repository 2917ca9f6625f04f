#include <map>

#include "core/report/ReportText.h"

namespace ombrel {

const std::vector<std::string_view>& ErrorMessageLines(TStatusCode code) {
  static const std::map<TStatusCode, std::vector<std::string_view>> messages = {
      {TStatusCode::DivideByZero,
       {"Divide by zero.  A computation has divided a number by zero",
        "which is illegal.  This may be caused by unusual data or an", "unanticipated circumstance."}},
      {TStatusCode::Underflow,
       {"Underflow.  A computation has produced a number too small for",
        "the computer.  This may be caused by the data.  Try changing", "units if appropriate."}},
      {TStatusCode::Overflow,
       {"Overflow.  A computation has produced a number too large for",
        "the computer.  This may be caused by the data.  Try changing", "units if appropriate."}},
      {TStatusCode::InvalidOperation,
       {"Invalid floating point operation.  This unanticipated error",
        "may arise from a number of possibilities.  Please notify",
        "Quillvex of the problem along with the data set so that the", "problem can be reproduced and corrected."}},
      {TStatusCode::OutOfMemory,
       {"Out of memory.  Some calculations performed on large data sets",
        "require additional memory.  Try to free some memory or reduce", "the size of the data."}},
      {TStatusCode::NotEnoughData,
       {"Not enough data.  ANOVA requires at least two columns and at", "least two rows in each column."}},
      {TStatusCode::AnovaSingleValue,
       {"Only one value was found in a column.  ANOVA requires at least", "two per column."}},
      {TStatusCode::AllSDsZero,
       {"Standard deviations are all zero. ANOVA requires at least one", "column's standard deviation to be nonzero."}},
      {TStatusCode::AllMeansIdentical, {"ANOVA is impossible.  All group means are identical."}},
      {TStatusCode::MissingValues,
       {"Data are missing.  This test requires a complete rectangular",
        "matrix.  Missing values cannot be dealt with appropriately."}},
      {TStatusCode::Fraction, {"Fractions are not allowed in chi-square analysis."}},
      {TStatusCode::Negative,
       {"Negative integers are not allowed in chi square analysis.  All",
        "numbers should be converted to positive integers."}},
      {TStatusCode::ZeroRow,
       {"One row is filled with zeros.  In this situation, chi-square",
        "analysis is impossible.  At least one of these values must be", "positive."}},
      {TStatusCode::ZeroColumn,
       {"One column is filled with zeros.  In this situation,",
        "chi-square analysis is impossible.  At least one of these", "values must be positive."}},
      {TStatusCode::NotRectangular,
       {"Values are missing.  Chi-square analysis requires a rectangular",
        "data set.  Missing values cannot be dealt with appropriately."}},
      {TStatusCode::NoConvergence,
       {"Nonlinear regression did not converge.  Try fitting fewer",
        "variables and supplying better starting values."}},
      {TStatusCode::TooFewRegressionPoints, {"Linear regression requires at least three points."}},
      {TStatusCode::OneXValue, {"Points have only one x-value.  The slope is infinite."}},
      {TStatusCode::OneYValue, {"Points have only one y-value.  The slope is zero."}},
      {TStatusCode::TooFewCorrelationPoints, {"Linear correlation requires at least three points."}},
      {TStatusCode::SDZero, {"It is not possible to analyze your data because one column's SD is zero."}},
      {TStatusCode::SameDifferences, {"Paired t test requires at least two distinct paired differences."}},
      {TStatusCode::AveragedNonparametric,
       {"Nonparametric tests require raw data exclusively.  No", "averaged data can be used."}},
      {TStatusCode::AveragedAnova, {"This ANOVA test cannot use averaged data.  All data must be raw."}},
      {TStatusCode::AveragedPaired,
       {"Paired t test must use raw data in order to determine the", "pairs' differences."}},
      {TStatusCode::MissingCount, {"All four values must be entered in the spreadsheet to perform test."}},
      {TStatusCode::NoContingencyData, {"No data in the contingency table."}},
      {TStatusCode::NoCorrelationData, {"No data to perform correlation test."}},
      {TStatusCode::SingleValue,
       {"It is not possible to analyze your data because one column contains a", "single value."}},
      {TStatusCode::SinglePair, {"It is not possible to analyze your data because there is only a single", "pair."}},
  };
  static const std::vector<std::string_view> none;
  const auto found = messages.find(code);
  return found == messages.end() ? none : found->second;
}

}  // namespace ombrel
