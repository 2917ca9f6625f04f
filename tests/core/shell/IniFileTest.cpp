#include <gtest/gtest.h>

#include "core/shell/IniFile.h"

namespace ombrel {
namespace {

TEST(IniFile, ReadsValuesWithoutRegardToCase) {
  const TIniFile file(
      "; written by hand\r\n"
      "[WindowSize]\r\n"
      "Width = 800 \r\n"
      "height=600\r\n"
      "\r\n"
      "[Filenames]\r\n"
      "#1=/home/ann/data/bp.omd\r\n"
      "#2=\"/home/ann/quoted name.omd\"\r\n"
      "[Options]\r\n"
      "Ombrel folder=/home/ann/data\r\n"
      "Formula=a=b\r\n");
  struct TRow {
    const char* Section;
    const char* Key;
    const char* Expected;  // nullptr: absent
  };
  const TRow rows[] = {
      {"WindowSize", "Width", "800"},
      {"windowsize", "HEIGHT", "600"},
      {"Filenames", "#1", "/home/ann/data/bp.omd"},
      {"Filenames", "#2", "/home/ann/quoted name.omd"},
      {"Filenames", "#3", nullptr},
      {"Options", "Ombrel folder", "/home/ann/data"},
      {"Options", "Formula", "a=b"},
      {"Options", "Width", nullptr},  // keys belong to their own section
      {"Missing", "Width", nullptr},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string(row.Section) + "/" + row.Key);
    const auto value = file.Get(row.Section, row.Key);
    if (row.Expected == nullptr) {
      EXPECT_FALSE(value.has_value());
    } else {
      ASSERT_TRUE(value.has_value());
      EXPECT_EQ(*value, row.Expected);
    }
  }
}

TEST(IniFile, WritesInPlaceAndKeepsUnknownLines) {
  TIniFile file(
      "; keep me\n"
      "[WindowSize]\n"
      "Width=800\n"
      "\n"
      "[Other]\n"
      "Color=blue\n");
  file.Set("windowsize", "WIDTH", "1024");
  file.Set("WindowSize", "Height", "768");
  file.Set("Options", "ShowNewUserHints", "False");
  EXPECT_EQ(file.Text(),
            "; keep me\n"
            "[WindowSize]\n"
            "WIDTH=1024\n"
            "Height=768\n"
            "\n"
            "[Other]\n"
            "Color=blue\n"
            "\n"
            "[Options]\n"
            "ShowNewUserHints=False\n");
  // What was written reads back.
  const TIniFile reread(file.Text());
  EXPECT_EQ(reread.Get("WindowSize", "Height"), "768");
  EXPECT_EQ(reread.Get("Options", "ShowNewUserHints"), "False");
}

TEST(ProfileRules, ReadStatesAndValuesAsTheSettingsFileAlwaysHas) {
  struct TRow {
    const char* Text;
    bool State;
    std::int32_t Value;
  };
  const TRow rows[] = {
      {"True", true, 1},   {"TRUE", true, 1}, {"yes", true, 1},    {"Yes", true, 1},    {"1", true, 1},
      {"False", false, 0}, {"no", false, 0},  {"0", false, 0},     {"640", false, 640}, {"-3", false, -3},
      {" 12 ", false, 12}, {"", false, 0},    {"12abc", false, 0}, {"on", false, 0},    {"T", false, 0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string("\"") + row.Text + "\"");
    EXPECT_EQ(ProfileStateFromText(row.Text), row.State);
    EXPECT_EQ(ProfileValueFromText(row.Text), row.Value);
  }
  EXPECT_EQ(ProfileStateText(true), "True");
  EXPECT_EQ(ProfileStateText(false), "False");
}

}  // namespace
}  // namespace ombrel
