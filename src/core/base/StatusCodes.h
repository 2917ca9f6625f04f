#pragma once

#include <cstdint>

namespace ombrel {

// How an analysis ended: Ok, a refusal of the data, or a fault met while
// computing. The values are the error numbers the reports have always used;
// each is named after what its message says (the texts are in
// core/report/ErrorMessages.cpp).
enum class TStatusCode : std::int32_t {
  Ok = 0,

  // Faults inside a computation.
  DivideByZero = 2,
  Underflow = 3,
  Overflow = 4,
  InvalidOperation = 5,  // also any unexpected error escaping an analysis
  OutOfMemory = 10,

  // Analysis of variance and the tests on a block of columns.
  NotEnoughData = 11,     // fewer than two columns, or fewer than two rows in one
  AnovaSingleValue = 12,  // a column with only one value
  AllSDsZero = 13,
  AllMeansIdentical = 14,
  MissingValues = 15,  // the block of columns is not complete

  // Contingency tables.
  Fraction = 30,
  Negative = 31,
  ZeroRow = 32,
  ZeroColumn = 33,
  NotRectangular = 34,

  // Regression and correlation.
  NoConvergence = 35,
  TooFewRegressionPoints = 36,
  OneXValue = 37,
  OneYValue = 38,
  TooFewCorrelationPoints = 39,

  // One and two columns.
  SDZero = 40,
  SameDifferences = 41,        // fewer than two distinct paired differences
  AveragedNonparametric = 42,  // typed mean and SD given to a nonparametric test
  AveragedAnova = 43,
  AveragedPaired = 44,

  MissingCount = 45,  // a two-by-two table with an empty cell
  NoContingencyData = 46,
  NoCorrelationData = 47,
  SingleValue = 49,  // a column with only one value
  SinglePair = 50,

  // Multiple regression and the correlation matrix: the checks before
  // computing, each with its one-line message.
  NoMultipleRegressionData = 60,
  NoDependentVariable = 61,
  NoIndependentVariables = 62,
  TooFewMatrixVariables = 63,
  TooFewRegressionRows = 64,  // at most one more row than variables
  SingularRegression = 65,    // an X column that the others (or the constant) repeat
};

}  // namespace ombrel
