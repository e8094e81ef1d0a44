// The settings file's text rules, as lumora-grab --settings and the
// settings panel read them.

#include "grab/SettingsFile.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using TLines = std::vector<std::string>;

TEST(SettingsFile, LinesEndAtCrLfLoneCrOrLoneLfAndNulEndsTheText) {
  const struct {
    std::string Text;
    TLines Lines;
  } Cases[] = {
      {"", {}},
      {".JPG\r\n10\r\nd:\\pic\\\r\n", {".JPG", "10", "d:\\pic\\"}},
      {".GIF\r0\rx\rrest", {".GIF", "0", "x", "rest"}},
      {"\n\n", {"", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(SplitSettingsLines(C.Text), C.Lines) << C.Text;
    EXPECT_EQ(SplitSettingsLines(JoinSettingsLines(C.Lines)), C.Lines) << C.Text;
  }
}

TEST(SettingsFile, NumbersAsTheRuntimeReadsThem) {
  const struct {
    const char* Text;
    bool Ok;
    std::int32_t Value;
  } Cases[] = {
      {"0", true, 0},
      {"  12", true, 12},
      {"-5", true, -5},
      {"+7", true, 7},
      {"$1A", true, 26},
      {"0x10", true, 16},
      {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"12 ", false, 0},
      {"", false, 0},
      {"ten", false, 0},
      {"1e3", false, 0},
      {"-", false, 0},
  };
  for (const auto& C : Cases) {
    std::int32_t V = 99;
    EXPECT_EQ(StrToInt(C.Text, V), C.Ok) << C.Text;
    if (C.Ok) {
      EXPECT_EQ(V, C.Value) << C.Text;
    }
  }
}

TEST(SettingsFile, ThreeLinesGiveTheValues) {
  TGrabSettingsValues V;
  std::string Problem;
  ASSERT_TRUE(SettingsFromLines({"", "-1", "e:\\shots", "kept"}, V, Problem));
  EXPECT_EQ(V.PicTypes, "");
  EXPECT_EQ(V.MinSizeK, -1);
  EXPECT_EQ(V.SaveFolder, "e:\\shots");  // as it stands: no separator added here

  for (const TLines& Bad : {TLines{".JPG", "10"}, TLines{".JPG", "ten", "x"}}) {
    TGrabSettingsValues Before;
    EXPECT_FALSE(SettingsFromLines(Bad, Before, Problem));
    EXPECT_FALSE(Problem.empty());
    EXPECT_EQ(Before.SaveFolder, TGrabSettingsValues{}.SaveFolder);
  }
}

}  // namespace
}  // namespace lumora
