#include <gtest/gtest.h>

#include "core/document/Notes.h"

namespace ombrel {
namespace {

TEST(StoreNotes, DropsAFinalLineBreakAndKeepsTheLimit) {
  EXPECT_EQ(StoreNotes("a\r\nb\r\n"), "a\r\nb");
  EXPECT_EQ(StoreNotes("a\r\n\r\n"), "a\r\n");
  EXPECT_EQ(StoreNotes(std::string(9000, 'x')).size(), MaxNotesLength);
  // A two-byte character across the limit is not cut in half.
  const std::string text = std::string(MaxNotesLength - 1, 'x') + "\xC3\xA9";
  EXPECT_EQ(StoreNotes(text).size(), MaxNotesLength - 1);
}

TEST(IsSingleCharacterSelection, OnlyOneCharacterOnOneLine) {
  EXPECT_TRUE(IsSingleCharacterSelection({2, 4, 2, 5}));
  EXPECT_FALSE(IsSingleCharacterSelection({2, 4, 2, 6}));
  EXPECT_FALSE(IsSingleCharacterSelection({2, 4, 3, 5}));
}

TEST(SelectedLines, CutsTheFirstAndLastLines) {
  const std::vector<std::string> lines = {"first line", "second", "third line"};
  EXPECT_EQ(SelectedLines(lines, {0, 6, 2, 5}), (std::vector<std::string>{"line", "second", "third"}));
  EXPECT_EQ(SelectedLines(lines, {1, 1, 1, 4}), (std::vector<std::string>{"eco"}));
}

TEST(AppendLinesToNotes, RefusesWhenTheRoomIsShortOfTheTextPlusTen) {
  // 7995 characters leave 5 free; one character needs 1 + 10.
  std::string notes(7995, 'n');
  EXPECT_FALSE(AppendLinesToNotes(notes, {"x"}));
  EXPECT_EQ(notes.size(), 7995u);

  std::string fits(7989, 'n');
  EXPECT_TRUE(AppendLinesToNotes(fits, {"x"}));
  EXPECT_EQ(fits.substr(7989), "\r\nx");
}

TEST(AppendLinesToNotes, EachLineBecomesALineOfItsOwn) {
  std::string notes;
  EXPECT_TRUE(AppendLinesToNotes(notes, {"one", "two"}));
  EXPECT_EQ(notes, "one\r\ntwo");
  EXPECT_TRUE(AppendLinesToNotes(notes, {"three"}));
  EXPECT_EQ(notes, "one\r\ntwo\r\nthree");
}

}  // namespace
}  // namespace ombrel
