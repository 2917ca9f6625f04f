#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "support/NistFile.h"
#include "core/base/CalcProgress.h"
#include "core/analysis/Anova.h"
#include "core/stats/ColumnStats.h"

namespace ombrel {
namespace {

// ---------------------------------------------------------------------------
// NIST StRD one-way ANOVA data sets: the data, and the certified sums of
// squares, mean squares and F (given to 15 digits).

struct TNistAnova {
  std::vector<std::vector<TReal>> Groups;
  std::int32_t BetweenDF = 0;
  TReal BetweenSS = 0;
  TReal BetweenMS = 0;
  TReal F = 0;
  std::int32_t WithinDF = 0;
  TReal WithinSS = 0;
  TReal WithinMS = 0;
};

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    const std::size_t start = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

template <class T>
T Parse(const std::string& word) {
  T value{};
  std::from_chars(word.data(), word.data() + word.size(), value);
  return value;
}

TNistAnova ReadNist(const std::string& name) {
  TNistAnova data;
  std::ifstream file = test::OpenNistFile(name);
  std::string line;
  // The data of every ANOVA set start on line 61.
  constexpr int FirstDataLine = 61;
  for (int number = 1; std::getline(file, line); ++number) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    if (number >= FirstDataLine) {
      const auto group = static_cast<std::size_t>(Parse<int>(words[0]));
      if (data.Groups.size() < group) data.Groups.resize(group);
      data.Groups[group - 1].push_back(Parse<TReal>(words[1]));
    } else if (words[0] == "Between" && words.size() == 6) {
      data.BetweenDF = Parse<std::int32_t>(words[2]);
      data.BetweenSS = Parse<TReal>(words[3]);
      data.BetweenMS = Parse<TReal>(words[4]);
      data.F = Parse<TReal>(words[5]);
    } else if (words[0] == "Within" && words.size() == 5) {
      data.WithinDF = Parse<std::int32_t>(words[2]);
      data.WithinSS = Parse<TReal>(words[3]);
      data.WithinMS = Parse<TReal>(words[4]);
    }
  }
  return data;
}

// N, mean and SD of a group by the two-pass formulas, the sum taken about
// the first value so that shared leading digits cost nothing.
TColumnSummary Summarize(const std::vector<TReal>& values) {
  TColumnSummary summary;
  summary.N = static_cast<std::int32_t>(values.size());
  TReal sum = 0;
  for (const TReal x : values) sum += x - values.front();
  summary.Mean = values.front() + sum / summary.N;
  TReal squares = 0;
  for (const TReal x : values) squares += (x - summary.Mean) * (x - summary.Mean);
  summary.SD = std::sqrt(squares / (summary.N - 1));
  return summary;
}

void ExpectRelative(TReal actual, TReal expected, double tolerance, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_NEAR(static_cast<double>(actual), static_cast<double>(expected),
              tolerance * std::fabs(static_cast<double>(expected)));
}

void ExpectCertified(const TOneWayAnovaResult& anova, const TNistAnova& nist, double tolerance) {
  ASSERT_EQ(anova.Status, TStatusCode::Ok);
  EXPECT_EQ(anova.Treatment.DF, nist.BetweenDF);
  EXPECT_EQ(anova.Residual.DF, nist.WithinDF);
  ExpectRelative(anova.Treatment.SS, nist.BetweenSS, tolerance, "SS between");
  ExpectRelative(anova.Treatment.MS, nist.BetweenMS, tolerance, "MS between");
  ExpectRelative(anova.Residual.SS, nist.WithinSS, tolerance, "SS within");
  ExpectRelative(anova.Residual.MS, nist.WithinMS, tolerance, "MS within");
  ExpectRelative(anova.F, nist.F, tolerance, "F");
}

// Every NIST ANOVA set, from summaries of its groups. The higher-difficulty
// sets carry 13 constant leading digits (1000000000000.4): an 80-bit value
// holds them only to about 3e-8, a relative 3e-7 of their spread, which
// bounds the agreement there.
TEST(OneWayAnova, MatchesNistCertifiedValues) {
  struct TSet {
    const char* File;
    double Tolerance;
  };
  const TSet sets[] = {
      {"SiRstv.dat", 1e-14},  {"SmLs01.dat", 1e-14}, {"SmLs02.dat", 1e-14}, {"SmLs03.dat", 1e-14},
      {"AtmWtAg.dat", 1e-11}, {"SmLs04.dat", 1e-11}, {"SmLs05.dat", 1e-11}, {"SmLs06.dat", 1e-11},
      {"SmLs07.dat", 1e-6},   {"SmLs08.dat", 1e-6},  {"SmLs09.dat", 1e-6},
  };
  for (const TSet& set : sets) {
    SCOPED_TRACE(set.File);
    const TNistAnova nist = ReadNist(set.File);
    ASSERT_FALSE(nist.Groups.empty());
    std::vector<TColumnSummary> groups;
    for (const auto& values : nist.Groups) groups.push_back(Summarize(values));
    ExpectCertified(ComputeOneWayAnova(groups), nist, set.Tolerance);
  }
}

// The same through the data table and its column statistics, for the sets
// that fit the table. P from mpmath (30 digits): SiRstv 0.3494475,
// AtmWtAg 0.0002326844.
TEST(OneWayAnova, NistSetsThroughTheDataTable) {
  struct TSet {
    const char* File;
    double Tolerance;
    double P;
  };
  const TSet sets[] = {{"SiRstv.dat", 1e-13, 0.349447493402193}, {"AtmWtAg.dat", 1e-11, 0.000232684448338925}};
  for (const TSet& set : sets) {
    SCOPED_TRACE(set.File);
    const TNistAnova nist = ReadNist(set.File);
    TDataTable table;
    for (std::size_t c = 0; c < nist.Groups.size(); ++c) {
      for (std::size_t r = 0; r < nist.Groups[c].size(); ++r) {
        table.SetValue(static_cast<int>(r), static_cast<int>(c), nist.Groups[c][r]);
      }
    }
    std::vector<TColumnSummary> groups;
    for (std::size_t c = 0; c < nist.Groups.size(); ++c) {
      ComputeRawColumnStatistics(table, static_cast<int>(c));
      groups.push_back(table.Summary(static_cast<int>(c)));
    }
    const TOneWayAnovaResult anova = ComputeOneWayAnova(groups);
    ExpectCertified(anova, nist, set.Tolerance);
    EXPECT_NEAR(static_cast<double>(anova.P), set.P, 1e-6 * set.P);
  }
}

TColumnSummary Group(std::int32_t n, TReal mean, TReal sd) {
  TColumnSummary summary;
  summary.N = n;
  summary.Mean = mean;
  summary.SD = sd;
  return summary;
}

TEST(OneWayAnova, RefusesGroupsItCannotUse) {
  struct TCase {
    const char* Name;
    std::vector<TColumnSummary> Groups;
    TStatusCode Status;
  };
  const TCase cases[] = {
      {"a group of one value", {Group(5, 1, 1), Group(1, 2, 0), Group(5, 3, 1)}, TStatusCode::AnovaSingleValue},
      {"one value and no other group", {Group(1, 2, 0), Group(5, 3, 1)}, TStatusCode::AnovaSingleValue},
      {"no groups", {}, TStatusCode::NotEnoughData},
      {"a single usable group", {Group(5, 3, 1)}, TStatusCode::NotEnoughData},
      {"a typed mean without SD", {Group(5, 1, 1), Group(5, 2, EmptyValue)}, TStatusCode::NotEnoughData},
      {"every SD zero", {Group(5, 1, 0), Group(4, 2, 0), Group(3, 3, 0)}, TStatusCode::AllSDsZero},
      {"one SD zero", {Group(5, 1, 0), Group(4, 2, 1)}, TStatusCode::Ok},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ComputeOneWayAnova(c.Groups).Status, c.Status);
  }
}

// Bartlett's test against an exact computation (Python fractions for the
// variances, mpmath for logarithms and the chi-square tail).
TEST(Bartlett, AgainstIndependentValues) {
  struct TCase {
    const char* Name;
    std::vector<TColumnSummary> Groups;
    double Statistic;
    double P;
  };
  const TCase cases[] = {
      // Variances 2.5, 3.5, 2.5 with 4, 5, 4 degrees of freedom.
      {"close SDs",
       {Group(5, 5, std::sqrt(2.5L)), Group(6, 8.5L, std::sqrt(3.5L)), Group(5, 12, std::sqrt(2.5L))},
       0.161208863755746,
       0.922558554030617},
      // SDs 1, 4, 9 with N 10, 12, 8.
      {"unequal SDs", {Group(10, 0, 1), Group(12, 0, 4), Group(8, 0, 9)}, 27.1725319060573, 1.25764962869582e-6},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TBartlettResult bartlett = ComputeBartlett(c.Groups);
    EXPECT_NEAR(static_cast<double>(bartlett.Statistic), c.Statistic, 1e-12 * c.Statistic);
    EXPECT_NEAR(static_cast<double>(bartlett.P), c.P, 1e-6 * c.P);
    EXPECT_EQ(bartlett.DF, 2);
  }
  // Equal SDs give 0 and P 1, never a rounding error below zero.
  const TBartlettResult equal =
      ComputeBartlett(std::vector<TColumnSummary>{Group(7, 1, 0.3L), Group(7, 2, 0.3L), Group(7, 3, 0.3L)});
  EXPECT_GE(equal.Statistic, 0);
  EXPECT_NEAR(static_cast<double>(equal.P), 1, 1e-12);
  EXPECT_TRUE(IsEmpty(ComputeBartlett(std::vector<TColumnSummary>{Group(5, 1, 0), Group(5, 2, 1)}).Statistic));
}

// ---------------------------------------------------------------------------
// Repeated measures

TDataTable TableOf(const std::vector<std::vector<TReal>>& columns) {
  TDataTable table;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    for (std::size_t r = 0; r < columns[c].size(); ++r) {
      if (!IsEmpty(columns[c][r])) table.SetValue(static_cast<int>(r), static_cast<int>(c), columns[c][r]);
    }
  }
  return table;
}

TEST(CompleteBlock, TakesTheRectangleOfTheFirstRow) {
  struct TCase {
    const char* Name;
    std::vector<std::vector<TReal>> Columns;
    TStatusCode Status;
    std::size_t Rows;
    std::vector<int> Used;
  };
  const TReal e = EmptyValue;
  const TCase cases[] = {
      {"complete", {{1, 2, 3}, {4, 5, 6}}, TStatusCode::Ok, 3, {0, 1}},
      {"empty rows skipped", {{e, 1, e, 2, e}, {e, 4, e, 5, e}}, TStatusCode::Ok, 2, {0, 1}},
      {"a hole", {{1, 2, 3}, {4, e, 6}}, TStatusCode::MissingValues, 0, {0, 1}},
      {"a value outside the first row's columns", {{1, 2}, {e, 5}, {7, 8}}, TStatusCode::MissingValues, 0, {0, 2}},
      {"one row", {{1}, {4}, {7}}, TStatusCode::NotEnoughData, 1, {0, 1, 2}},
      {"one column", {{1, 2, 3}}, TStatusCode::NotEnoughData, 3, {0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TDataTable table = TableOf(c.Columns);
    const TCompleteBlock block = ReadCompleteBlock(table, static_cast<int>(c.Columns.size()));
    EXPECT_EQ(block.Status, c.Status);
    EXPECT_EQ(block.Rows.size(), c.Rows);
    EXPECT_EQ(block.Columns, c.Used);
  }
}

// Against exact sums of squares (Python fractions) and mpmath F tails.
TEST(RepeatedMeasuresAnova, AgainstAnExactComputation) {
  TCompleteBlock block;
  block.Columns = {0, 1, 2};
  block.Rows = {{4, 8, 12}, {6, 9, 10}, {5, 7, 14}, {7, 10, 11}, {3, 6, 13}};
  const TRepeatedMeasuresResult anova = ComputeRepeatedMeasuresAnova(block);
  ASSERT_EQ(anova.Status, TStatusCode::Ok);
  EXPECT_EQ(anova.Treatment.DF, 2);
  EXPECT_EQ(anova.Individual.DF, 4);
  EXPECT_EQ(anova.Residual.DF, 8);
  EXPECT_EQ(anova.Total.DF, 14);
  const double tolerance = 1e-15;
  EXPECT_NEAR(static_cast<double>(anova.Treatment.SS), 370.0 / 3, tolerance * 200);
  EXPECT_NEAR(static_cast<double>(anova.Individual.SS), 20.0 / 3, tolerance * 200);
  EXPECT_NEAR(static_cast<double>(anova.Residual.SS), 70.0 / 3, tolerance * 200);
  EXPECT_NEAR(static_cast<double>(anova.Total.SS), 460.0 / 3, tolerance * 200);
  EXPECT_NEAR(static_cast<double>(anova.Residual.MS), 35.0 / 12, tolerance * 200);
  EXPECT_NEAR(static_cast<double>(anova.F), 148.0 / 7, 1e-12);
  EXPECT_NEAR(static_cast<double>(anova.P), 0.000640591916535756, 1e-6 * 0.00064);
  EXPECT_NEAR(static_cast<double>(anova.MatchingF), 4.0 / 7, 1e-12);
  EXPECT_NEAR(static_cast<double>(anova.MatchingP), 0.691239479076699, 1e-6 * 0.69);
}

// Rows and columns that explain the data exactly leave no residual, even
// when the means are not exact binary fractions.
TEST(RepeatedMeasuresAnova, AdditiveDataHaveNoResidual) {
  TCompleteBlock block;
  block.Columns = {0, 1, 2};
  block.Rows = {{0.1L, 1.1L, 2.4L}, {0.4L, 1.4L, 2.7L}, {1.0L, 2.0L, 3.3L}};
  const TRepeatedMeasuresResult anova = ComputeRepeatedMeasuresAnova(block);
  ASSERT_EQ(anova.Status, TStatusCode::Ok);
  EXPECT_EQ(anova.Residual.SS, 0);
  EXPECT_TRUE(IsEmpty(anova.F));

  // Every column constant: every SD is zero.
  block.Rows = {{2, 3, 4}, {2, 3, 4}};
  EXPECT_EQ(ComputeRepeatedMeasuresAnova(block).Status, TStatusCode::AllSDsZero);
}

}  // namespace
}  // namespace ombrel
