// lumora.ini's text: the [Grab] keys read from hand-edited files, and
// rewrites that change the one line they must and keep the rest.

#include "grab/LumoraIni.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using namespace std::string_literals;

TEST(LumoraIni, ReadsTheSwitch) {
  const struct {
    const char* Name;
    std::string Text;
    bool TodaysWeb;
  } Cases[] = {
      {"empty text", "", false},
      {"on", "[Grab]\r\nTodaysWeb=1\r\n", true},
      {"off", "[Grab]\nTodaysWeb=0\n", false},
      {"any case, blanks, lone CR", "[ grab ]\r  todaysweb = 1 \r", true},
      {"byte-order mark, no final line end", "\xEF\xBB\xBF[Grab]\nTodaysWeb=yes", true},
      {"words", "[Grab]\nTodaysWeb=TRUE\n", true},
      {"another section", "[Other]\nTodaysWeb=1\n", false},
      {"before any section", "TodaysWeb=1\n[Grab]\n", false},
      {"a comment", "[Grab]\n;TodaysWeb=1\n# TodaysWeb=1\n", false},
      {"a value not understood", "[Grab]\nTodaysWeb=2\n", false},
      {"an empty value", "[Grab]\nTodaysWeb=\n", false},
      {"the first of two counts", "[Grab]\nTodaysWeb=1\nTodaysWeb=0\n", true},
      {"a second section of the name", "[Grab]\nA=1\n[Other]\n[GRAB]\nTodaysWeb=on\n", true},
      {"a header without its bracket", "[Grab\nTodaysWeb=1\n", true},
      {"a NUL in another line", "[Grab]\nX=a\0b\nTodaysWeb=1\n"s, true},
  };
  for (const auto& C : Cases) {
    TGrabSettingsValues Values;
    Values.TodaysWeb = !C.TodaysWeb;  // a missing key resets it too
    GrabSettingsFromIni(TIniText(C.Text), Values);
    EXPECT_EQ(Values.TodaysWeb, C.TodaysWeb) << C.Name;
    TGrabSettings Live;
    Live.SetTodaysWeb(!C.TodaysWeb);
    PublishGrabSettingsFromIni(TIniText(C.Text), Live);
    EXPECT_EQ(Live.TodaysWeb(), C.TodaysWeb) << C.Name;
  }
}

// The size cap whatever today's web says: a whole number of MB from 1 on,
// else the 1 GiB default; written only when it is not the default.
TEST(LumoraIni, ReadsAndWritesThePictureSizeCap) {
  const struct {
    const char* Text;
    std::int32_t MaxPictureMB;
  } Cases[] = {
      {"", 1024},
      {"[Grab]\nMaxPictureMB=50\n", 50},
      {"[Grab]\nTodaysWeb=0\nmaxpicturemb = 7\n", 7},
      {"[Grab]\nMaxPictureMB=0\n", 1024},
      {"[Grab]\nMaxPictureMB=-3\n", 1024},
      {"[Grab]\nMaxPictureMB=12MB\n", 1024},
      {"[Grab]\nMaxPictureMB=99999999999\n", 1024},
  };
  for (const auto& C : Cases) {
    TGrabSettingsValues Values;
    Values.MaxPictureMB = 3;
    GrabSettingsFromIni(TIniText(C.Text), Values);
    EXPECT_EQ(Values.MaxPictureMB, C.MaxPictureMB) << C.Text;
    TGrabSettings Live;
    PublishGrabSettingsFromIni(TIniText(C.Text), Live);
    EXPECT_EQ(Live.MaxPictureMB(), C.MaxPictureMB) << C.Text;
  }
  TIniText Ini("[Grab]\nTodaysWeb=1\n");
  TGrabSettingsValues Values;
  Values.TodaysWeb = true;
  GrabSettingsToIni(Values, Ini);
  EXPECT_EQ(Ini.Text(), "[Grab]\r\nTodaysWeb=1\r\n");
  Values.MaxPictureMB = 200;
  GrabSettingsToIni(Values, Ini);
  EXPECT_EQ(Ini.Text(), "[Grab]\r\nTodaysWeb=1\r\nMaxPictureMB=200\r\n");
}

TEST(LumoraIni, RewritesOnlyTheKeysLine) {
  const struct {
    const char* Name;
    std::string Before;
    bool TodaysWeb;
    std::string After;
  } Cases[] = {
      {"empty text", "", true, "[Grab]\r\nTodaysWeb=1\r\n"},
      {"other sections and comments stay", "; notes\n[Other]\nA = b\n", true,
       "; notes\r\n[Other]\r\nA = b\r\n\r\n[Grab]\r\nTodaysWeb=1\r\n"},
      {"a blank line ends the text", "[Other]\nA=b\n\n", false,
       "[Other]\r\nA=b\r\n\r\n[Grab]\r\nTodaysWeb=0\r\n"},
      {"the key's line, spelled as it was", "[grab]\r\n todaysweb =  0\r\n[Other]\r\nX=1\r\n", true,
       "[grab]\r\n todaysweb =  1\r\n[Other]\r\nX=1\r\n"},
      {"a key added after the section's last line", "[Grab]\nA=1\n\nB=2\n\n[Z]\nC=3", true,
       "[Grab]\r\nA=1\r\n\r\nB=2\r\nTodaysWeb=1\r\n\r\n[Z]\r\nC=3\r\n"},
      {"into the first section of the name", "[Grab]\n[Other]\n[Grab]\nA=1\n", true,
       "[Grab]\r\nTodaysWeb=1\r\n[Other]\r\n[Grab]\r\nA=1\r\n"},
      {"only the first of two", "[Grab]\nTodaysWeb=0\nTodaysWeb=0\n", true,
       "[Grab]\r\nTodaysWeb=1\r\nTodaysWeb=0\r\n"},
      {"byte-order mark and a NUL kept", "\xEF\xBB\xBF[Grab]\nX=a\0b\nTodaysWeb=1\n"s, false,
       "\xEF\xBB\xBF[Grab]\r\nX=a\0b\r\nTodaysWeb=0\r\n"s},
      {"an empty value filled", "[Grab]\nTodaysWeb=\n", true, "[Grab]\r\nTodaysWeb=1\r\n"},
  };
  for (const auto& C : Cases) {
    TIniText Ini(C.Before);
    TGrabSettingsValues Values;
    Values.TodaysWeb = C.TodaysWeb;
    GrabSettingsToIni(Values, Ini);
    EXPECT_EQ(Ini.Text(), C.After) << C.Name;
    // What is written reads back.
    TGrabSettingsValues Reread;
    Reread.TodaysWeb = !C.TodaysWeb;
    GrabSettingsFromIni(TIniText(Ini.Text()), Reread);
    EXPECT_EQ(Reread.TodaysWeb, C.TodaysWeb) << C.Name;
  }
}

TEST(LumoraIni, OtherKeysReadAsWritten) {
  TIniText Ini("[Grab]\nMaxPictureMB = 12 \n[Other]\nKey=with = sign\n");
  EXPECT_EQ(Ini.Value("grab", "maxpicturemb"), "12");
  EXPECT_EQ(Ini.Value("Other", "Key"), "with = sign");
  EXPECT_EQ(Ini.Value("Other", "Missing"), std::nullopt);
  EXPECT_EQ(Ini.Value("Missing", "Key"), std::nullopt);
  Ini.SetValue("Other", "Key", "x");
  EXPECT_EQ(Ini.Text(), "[Grab]\r\nMaxPictureMB = 12 \r\n[Other]\r\nKey=x\r\n");
}

}  // namespace
}  // namespace lumora
