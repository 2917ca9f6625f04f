#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "core/shell/DocumentManager.h"

namespace ombrel {
namespace {

// `count` documents: untitled ones named DATASETn.OMD, or saved ones showing
// /d/fn.omd; the last one is active.
TDocumentManager Open(int count, bool saved, bool activeEmpty = false) {
  std::vector<TOpenDocument> open;
  for (int n = 1; n <= count; ++n) {
    const std::string file = "/d/f" + std::to_string(n) + ".omd";
    open.push_back({saved ? file : "DATASET" + std::to_string(n) + ".OMD", saved ? file : "", false});
  }
  if (count > 0) open.back().Empty = activeEmpty;
  return TDocumentManager(std::move(open), count - 1);
}

TEST(DocumentManager, PlansFileOpen) {
  struct TRow {
    const char* Name;
    TDocumentManager Manager;
    std::string Path;
    TOpenAction Action;
    int Document;
  };
  const TRow rows[] = {
      {"first document", Open(0, false), "/d/a.omd", TOpenAction::Open, -1},
      {"beside others", Open(3, true), "/d/a.omd", TOpenAction::Open, -1},
      {"open already", Open(3, true), "/d/f2.omd", TOpenAction::Activate, 1},
      {"open already among ten", Open(10, true), "/d/f10.omd", TOpenAction::Activate, 9},
      {"ten open", Open(10, true), "/d/a.omd", TOpenAction::TooMany, -1},
      {"empty active gives way", Open(2, false, true), "/d/a.omd", TOpenAction::Open, 1},
      {"empty active makes room", Open(10, false, true), "/d/a.omd", TOpenAction::Open, 9},
      // An untitled document's name is no file.
      {"untitled name", Open(2, false), "DATASET1.OMD", TOpenAction::Open, -1},
  };
  for (const TRow& row : rows) {
    const TOpenPlan plan = row.Manager.PlanOpen(row.Path);
    EXPECT_EQ(plan.Action, row.Action) << row.Name;
    EXPECT_EQ(plan.Document, row.Document) << row.Name;
  }
}

TEST(DocumentManager, RoomAndNamesForNewDocuments) {
  EXPECT_TRUE(Open(9, false).HasRoom());
  EXPECT_FALSE(Open(10, false).HasRoom());
  EXPECT_TRUE(Open(10, false).HasRoom(true));
  EXPECT_EQ(Open(0, false).NextUntitledName(), "DATASET1.OMD");
  EXPECT_EQ(Open(3, false).NextUntitledName(), "DATASET4.OMD");
  // Saved documents free their untitled numbers.
  EXPECT_EQ(Open(3, true).NextUntitledName(), "DATASET1.OMD");
}

TEST(DocumentManager, OpeningStepKeepsALaterStep) {
  TDocument document;
  document.Format = TDataFormat::MeanSdN;
  EXPECT_EQ(OpeningStep(document), TStep::ColumnStats);
  document.Step = TStep::Loading;
  EXPECT_EQ(OpeningStep(document), TStep::ColumnStats);
  document.Step = TStep::Results;
  EXPECT_EQ(OpeningStep(document), TStep::Results);
}

TEST(DocumentManager, DuplicateReadsBackAnUntitledCopyAndLeavesNoFile) {
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "ombrel-duplicate-test";
  std::filesystem::create_directories(folder);
  const std::string scratch = (folder / DuplicateFileName).string();
  // A file left behind by an earlier run is replaced.
  std::ofstream(scratch) << "stale";

  TDocument source;
  source.ChooseFormat(TDataFormat::XY);
  source.Table.SetValue(2, 1, -4.5L);
  source.Notes = "Kept";
  source.Step = TStep::Graph;
  TDocument copy;
  const TFileOutcome outcome = DuplicateDocument(source, scratch, copy);
  ASSERT_TRUE(outcome.Ok()) << outcome.Message;
  EXPECT_EQ(copy.Format, TDataFormat::XY);
  EXPECT_EQ(copy.Table.GetValue(2, 1), -4.5L);
  EXPECT_EQ(copy.Notes, "Kept");
  EXPECT_EQ(OpeningStep(copy), TStep::DataEntry);
  EXPECT_FALSE(std::filesystem::exists(scratch));

  // A folder in the way cannot be removed: nothing is written.
  std::filesystem::create_directories(folder / "blocked" / "inside");
  const TFileOutcome blocked = DuplicateDocument(source, (folder / "blocked").string(), copy);
  EXPECT_EQ(blocked.Result, TFileResult::IoError);
  EXPECT_EQ(blocked.Message, CouldNotWriteDuplicateMessage);
  const TFileOutcome unwritable = DuplicateDocument(source, (folder / "missing" / "x.tmp").string(), copy);
  EXPECT_EQ(unwritable.Message, DuplicateWriteErrorMessage(ENOENT));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace ombrel
