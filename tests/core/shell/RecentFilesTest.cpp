#include <gtest/gtest.h>

#include "core/shell/RecentFiles.h"

namespace ombrel {
namespace {

using TList = std::vector<std::string>;

TEST(RecentFiles, NewestFirstWithoutDuplicatesAndAtMostNine) {
  TRecentFiles recent;
  for (int i = 1; i <= 10; ++i) recent.Add("/d/f" + std::to_string(i) + ".omd");
  // The tenth pushed the first out.
  EXPECT_EQ(recent.Entries(), (TList{"/d/f10.omd", "/d/f9.omd", "/d/f8.omd", "/d/f7.omd", "/d/f6.omd", "/d/f5.omd",
                                     "/d/f4.omd", "/d/f3.omd", "/d/f2.omd"}));
  // Adding one already listed moves it to the head; those above it move down.
  recent.Add("/d/f6.omd");
  EXPECT_EQ(recent.Entries(), (TList{"/d/f6.omd", "/d/f10.omd", "/d/f9.omd", "/d/f8.omd", "/d/f7.omd", "/d/f5.omd",
                                     "/d/f4.omd", "/d/f3.omd", "/d/f2.omd"}));
  recent.Add("");
  EXPECT_EQ(recent.Entries().size(), 9u);
}

TEST(RecentFiles, LoadStopsAtTheFirstEmptyEntry) {
  TRecentFiles recent;
  recent.Load({"/a.omd", "/b.omd", "", "/c.omd"});
  EXPECT_EQ(recent.Entries(), (TList{"/a.omd", "/b.omd"}));
}

TEST(RecentMenuCaption, NumbersTheEntryAndKeepsAmpersandsVisible) {
  EXPECT_EQ(RecentMenuCaption(1, "/home/ann/bp.omd"), "&1 /home/ann/bp.omd");
  EXPECT_EQ(RecentMenuCaption(9, "/data/R&D.omd"), "&9 /data/R&&D.omd");
}

}  // namespace
}  // namespace ombrel
