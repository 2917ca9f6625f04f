// ombrel-lre: the log relative error of every certified value of NIST's
// Statistical Reference Datasets, as Ombrel's documents give it.
//
//   ombrel-lre [--check] [--documents FOLDER] NIST-FOLDER
//
// Without --check it prints the table, one line per certified value, and a
// summary per data set. With --check it prints only the values below their
// floor (LRE 10, Filip's 7) and fails when there is one. The documents are
// written into FOLDER (default: the system's temporary folder), where they
// can be opened in Ombrel or given to `ombrel-cli report --json`.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "NistLre.h"

namespace {

using ombrel::lre::TLreRow;

// One decimal, cut rather than rounded: 9.96 is no 10.0.
std::string LreText(double lre) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", std::floor(lre * 10) / 10);
  return text;
}

void PrintRow(const TLreRow& row) {
  const std::string lre = row.Pending || row.Computed.empty() ? "-" : LreText(row.Lre);
  std::printf("%-9s %-19s %-14s %-23s %-24s %5s %5.0f  %s\n", row.Set.c_str(), row.Analysis.c_str(), row.Value.c_str(),
              row.Certified.c_str(), row.Computed.c_str(), lre.c_str(), row.Floor,
              row.Failed() ? ("BELOW FLOOR " + row.Note).c_str() : row.Note.c_str());
}

// The lowest LRE of each set and analysis, in table order.
void PrintSummary(const std::vector<TLreRow>& rows) {
  std::printf("\n%-9s %-19s %7s %6s %5s\n", "Set", "Analysis", "values", "lowest", "floor");
  std::vector<std::pair<std::string, std::string>> order;
  std::map<std::pair<std::string, std::string>, std::vector<const TLreRow*>> sets;
  for (const TLreRow& row : rows) {
    const auto key = std::make_pair(row.Set, row.Analysis);
    if (sets[key].empty()) order.push_back(key);
    sets[key].push_back(&row);
  }
  for (const auto& key : order) {
    const std::vector<const TLreRow*>& values = sets[key];
    const bool pending = values.front()->Pending;
    double lowest = ombrel::lre::MaxLre;
    for (const TLreRow* row : values) lowest = std::min(lowest, row->Lre);
    if (pending) {
      std::printf("%-9s %-19s %7zu %6s %5.0f  results not yet data\n", key.first.c_str(), key.second.c_str(),
                  values.size(), "-", values.front()->Floor);
    } else {
      std::printf("%-9s %-19s %7zu %6s %5.0f\n", key.first.c_str(), key.second.c_str(), values.size(),
                  LreText(lowest).c_str(), values.front()->Floor);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool check = false;
  std::string documents = (std::filesystem::temp_directory_path() / "ombrel-nist-documents").string();
  std::string nist;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--check") {
      check = true;
    } else if (argument == "--documents" && i + 1 < argc) {
      documents = argv[++i];
    } else if (nist.empty() && !argument.starts_with("--")) {
      nist = argument;
    } else {
      std::fprintf(stderr, "usage: ombrel-lre [--check] [--documents FOLDER] NIST-FOLDER\n");
      return 2;
    }
  }
  if (nist.empty()) {
    std::fprintf(stderr, "usage: ombrel-lre [--check] [--documents FOLDER] NIST-FOLDER\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(documents, error);

  std::vector<TLreRow> rows;
  int failures = 0;
  for (const ombrel::lre::TSetEntry& set : ombrel::lre::NistSets()) {
    std::string problem;
    const std::vector<TLreRow> measured = ombrel::lre::MeasureSet(set, nist, documents, problem);
    if (!problem.empty()) {
      std::fprintf(stderr, "%s: %s\n", set.File, problem.c_str());
      ++failures;
    }
    rows.insert(rows.end(), measured.begin(), measured.end());
  }
  for (const TLreRow& row : rows) failures += row.Failed() ? 1 : 0;
  if (check) {
    for (const TLreRow& row : rows)
      if (row.Failed()) PrintRow(row);
    return failures == 0 ? 0 : 1;
  }
  std::printf("Log relative error (LRE) of NIST StRD certified values: the digits that agree, at most %.0f.\n\n",
              ombrel::lre::MaxLre);
  std::printf("%-9s %-19s %-14s %-23s %-24s %5s %5s  %s\n", "Set", "Analysis", "Value", "Certified", "Computed", "LRE",
              "Floor", "");
  for (const TLreRow& row : rows) PrintRow(row);
  PrintSummary(rows);
  return failures == 0 ? 0 : 1;
}
