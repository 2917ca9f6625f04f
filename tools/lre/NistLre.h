#pragma once

// The accuracy of Ombrel's figures against NIST's Statistical Reference
// Datasets, as a user meets them: each data set is written as a document
// (the program's own file writer), opened again, its report computed, and
// its results read back from the JSON that `ombrel-cli report --json`
// prints. Each certified value is then compared with the figure the JSON
// holds by its log relative error (LRE): the number of leading digits that
// agree, -log10(|computed - certified| / |certified|), or -log10 of the
// absolute error for a certified 0, at most 15, the digits NIST certifies
// (McCullough, 1998, "Assessing the reliability of statistical software").

#include <string>
#include <vector>

namespace ombrel::lre {

// The digits NIST certifies: an LRE is never stated above this.
inline constexpr double MaxLre = 15;

// How a data set is analysed.
enum class TSetKind {
  LinearRegression,    // XY data, the least-squares line
  LineThroughOrigin,   // XY data, the line forced through (0, 0)
  MultipleRegression,  // y on the file's x columns, or on x, x², ... x^Degree
  Univariate,          // one raw column: its mean and SD (column statistics)
  TTest,               // two groups as the unpaired t test
  OneWayAnova,         // one raw column per group
};

struct TSetEntry {
  const char* File;
  TSetKind Kind;
  int Degree = 0;  // MultipleRegression: polynomial degree, 0 for the file's own x columns
  double Floor = 10;
};

// Every data set measured, with its floor.
const std::vector<TSetEntry>& NistSets();

// One certified value and what the program gives for it.
struct TLreRow {
  std::string Set;
  std::string Analysis;
  std::string Value;      // "B1", "SE(B1)", "residual SD", ...
  std::string Certified;  // as NIST prints it
  std::string Computed;   // as the JSON holds it; empty when not available
  double Lre = 0;         // 0 when not available
  bool Pending = false;   // the analysis's results are not data yet
  std::string Note;       // how the value was read, when not directly
  double Floor = 10;
  bool Failed() const { return !Pending && Lre < Floor; }
};

double LogRelativeError(long double computed, long double certified);

// Writes the set's document into `documents`, opens it, computes its report
// and measures every certified value. A problem (a missing file, a refused
// analysis) gives `error` and no rows.
std::vector<TLreRow> MeasureSet(const TSetEntry& set, const std::string& nistFolder, const std::string& documents,
                                std::string& error);

}  // namespace ombrel::lre
