// Writes the example documents in examples/ with Ombrel's own document
// writer: ombrel-make-examples FOLDER
#include <iostream>
#include <string>

#include "core/document/DocumentFile.h"

namespace {

using namespace ombrel;

void SetColumn(TDataTable& table, int column, std::initializer_list<TReal> values) {
  int row = 0;
  for (TReal value : values) {
    table.LearnDecimals(column, value);
    table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
    table.SetValue(row++, column, value);
  }
}

bool Save(const std::string& path, const TDocument& document) {
  const TFileOutcome outcome = SaveDocumentFile(path, document);
  if (!outcome.Ok()) std::cerr << path << ": " << outcome.Message << '\n';
  return outcome.Ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: ombrel-make-examples FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  bool ok = true;

  // Reaction times of ten people before and after a night without sleep.
  TDocument paired;
  paired.Table.SetTitle("Reaction time (ms) before and after sleep loss");
  SetColumn(paired.Table, 0, {245, 262, 238, 251, 270, 229, 255, 248, 260, 241});
  SetColumn(paired.Table, 1, {268, 281, 249, 270, 297, 240, 262, 259, 288, 250});
  paired.Table.Summary(0).Title = "Rested";
  paired.Table.Summary(1).Title = "Sleep loss";
  paired.Choices.TwoColumnUnpaired = 0;
  paired.Notes = "Ten volunteers, measured twice.";
  ok = Save(folder + "/paired-t.omd", paired) && ok;

  // A standard curve: absorbance against concentration, with two unknowns.
  TDocument curve;
  curve.Format = TDataFormat::XY;
  curve.Family = TTestFamily::Regression;
  curve.Table.SetTitle("Protein standard curve");
  SetColumn(curve.Table, 0, {0, 10, 20, 30, 40, 50, EmptyValue});
  SetColumn(curve.Table, 1, {0.012L, 0.105L, 0.198L, 0.311L, 0.402L, 0.497L, 0.250L});
  SetColumn(curve.Table, 2, {0.018L, 0.099L, 0.207L, 0.296L, 0.415L, 0.488L});
  curve.Table.Summary(0).Title = "ug/ml";
  curve.Table.Summary(1).Title = "Absorbance";
  ok = Save(folder + "/standard-curve.omd", curve) && ok;

  // A two-by-two table of exposure and illness.
  TDocument counts;
  counts.Format = TDataFormat::TwoByTwo;
  counts.Family = TTestFamily::Contingency;
  counts.Table.SetTitle("Illness after the picnic");
  counts.TwoByTwo.A = 23;
  counts.TwoByTwo.B = 7;
  counts.TwoByTwo.C = 9;
  counts.TwoByTwo.D = 31;
  counts.TwoByTwo.Titles = {"Ill", "Well", "Ate salad", "No salad"};
  ok = Save(folder + "/two-by-two.omd", counts) && ok;

  return ok ? 0 : 1;
}
