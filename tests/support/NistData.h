#pragma once

// Reader of NIST's Statistical Reference Datasets for linear least squares
// (files in OMBREL_NIST_DIR): the certified estimates, their standard
// deviations, the residual SD and R², and the data block (y, then the x
// columns), located by the line ranges each file states in its header.

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/NistFile.h"
#include "core/base/EmptyValue.h"

namespace ombrel::test {

struct TNistRegression {
  bool Loaded = false;
  std::vector<long double> Estimates;           // B0 (or B1 without intercept) ...
  std::vector<long double> StandardDeviations;  // of the estimates
  long double ResidualSD = 0;
  long double RSquared = 0;
  std::vector<long double> Y;
  std::vector<std::vector<long double>> X;  // one vector per data column after y
};

inline long double ParseNistNumber(const std::string& text) {
  long double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

inline std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  std::string word;
  while (stream >> word) words.push_back(word);
  return words;
}

// The two numbers of a header line such as "Certified Values  (lines 31 to 51)".
inline bool LineRange(const std::string& line, const std::string& key, int& first, int& last) {
  if (line.find(key) == std::string::npos || line.find("(lines") == std::string::npos) return false;
  const std::vector<std::string> words = SplitWords(line.substr(line.find("(lines") + 6));
  if (words.size() < 3) return false;
  first = std::stoi(words[0]);
  last = std::stoi(words[2]);
  return true;
}

inline TNistRegression ReadNistRegression(const std::string& fileName) {
  TNistRegression data;
  std::ifstream file = OpenNistFile(fileName);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  int certifiedFirst = 0, certifiedLast = 0, dataFirst = 0, dataLast = 0;
  for (std::size_t i = 0; i < lines.size() && i < 10; ++i) {
    LineRange(lines[i], "Certified Values", certifiedFirst, certifiedLast);
    LineRange(lines[i], "Data", dataFirst, dataLast);
  }
  if (certifiedFirst == 0 || dataFirst == 0 || static_cast<std::size_t>(dataLast) > lines.size()) return data;
  for (int i = certifiedFirst; i <= certifiedLast; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i - 1)];
    const std::vector<std::string> words = SplitWords(line);
    if (words.size() == 3 && words[0].size() >= 2 && words[0][0] == 'B') {
      data.Estimates.push_back(ParseNistNumber(words[1]));
      data.StandardDeviations.push_back(ParseNistNumber(words[2]));
    } else if (line.find("Standard Deviation") != std::string::npos && !words.empty() && words.front() == "Standard") {
      data.ResidualSD = ParseNistNumber(words.back());
    } else if (!words.empty() && words.front() == "R-Squared") {
      data.RSquared = ParseNistNumber(words.back());
    }
  }
  for (int i = dataFirst; i <= dataLast; ++i) {
    const std::vector<std::string> words = SplitWords(lines[static_cast<std::size_t>(i - 1)]);
    if (words.empty()) continue;
    data.Y.push_back(ParseNistNumber(words[0]));
    if (data.X.size() < words.size() - 1) data.X.resize(words.size() - 1);
    for (std::size_t j = 1; j < words.size(); ++j) data.X[j - 1].push_back(ParseNistNumber(words[j]));
  }
  data.Loaded = !data.Y.empty() && !data.Estimates.empty();
  return data;
}

// X, X², ... X^degree as columns, each power formed by repeated
// multiplication (as a user would fill the columns with a transform).
inline std::vector<std::vector<long double>> PowerColumns(const std::vector<long double>& x, int degree) {
  std::vector<std::vector<long double>> columns;
  std::vector<long double> power = x;
  for (int d = 1; d <= degree; ++d) {
    columns.push_back(power);
    for (std::size_t i = 0; i < power.size(); ++i) power[i] *= x[i];
  }
  return columns;
}

}  // namespace ombrel::test
