// lumora-gallery itself: its command line, exit codes and report lines, a
// case list with faults among good cases, and the shape of cases.json and
// of the pictures for the built-in table.

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "gallery/GallerySupport.h"

namespace lumora::test {
namespace {

TEST(GalleryTool, UsageErrorsExitWithTwo) {
  EXPECT_EQ(RunGallery({"--cases"}).ExitCode, 2);
  EXPECT_EQ(RunGallery({"--cases", "C:\\no\\such\\cases.json"}).ExitCode, 2);
  const std::string Bad = MakeTempDir() + "\\bad.json";
  std::ofstream(Bad) << "{\"format\": 1, \"cases\": [";
  EXPECT_EQ(RunGallery({"--cases", Bad}).ExitCode, 2);
}

// Faulty cases fail with a clear error; the good ones around them are written.
TEST(GalleryTool, FaultyCasesFailAndTheOthersRun) {
  const std::string File = MakeTempDir() + "\\cases.json";
  std::ofstream(File)
      << R"({"format": 1, "form_color": 255, "font": {"face": "Tahoma", "height": -11},
    "cases": [
      {"name": "a", "control": "TNoSuchControl", "width": 20, "height": 20, "props": [], "state": {}},
      {"name": "b", "control": "TDovaTranPanel", "width": 60, "height": 30,
       "props": [["Border", true]], "state": {}},
      {"name": "c", "control": "TDovaTranPanel", "width": 60, "height": 30,
       "props": [["Frobnicate", 1]], "state": {}},
      {"name": "d", "control": "TDovaTranPanel", "width": 60, "height": 30,
       "props": [["Alignment", "taSideways"]], "state": {}},
      {"name": "e", "control": "TDovaTranPanel", "width": 60, "height": 30,
       "props": [["Border", 1]], "state": {}}
    ]})";
  const TGalleryRun Run = RunGallery({"--cases", File});
  EXPECT_EQ(Run.ExitCode, 1) << Run.Output;
  EXPECT_NE(Run.Output.find("a: error: unknown control \"TNoSuchControl\""), std::string::npos)
      << Run.Output;
  EXPECT_NE(Run.Output.find("b: ok"), std::string::npos) << Run.Output;
  EXPECT_NE(Run.Output.find("c: error: unknown property \"Frobnicate\""), std::string::npos)
      << Run.Output;
  EXPECT_NE(Run.Output.find("d: error: Alignment: unknown value \"taSideways\""), std::string::npos)
      << Run.Output;
  EXPECT_NE(Run.Output.find("e: error: Border: expects true or false"), std::string::npos)
      << Run.Output;
  EXPECT_NE(Run.Output.find("1 written, 4 failed"), std::string::npos) << Run.Output;

  ASSERT_TRUE(Run.Cases.is_object());
  EXPECT_EQ(Run.Cases["form_color"], 255);
  ASSERT_EQ(Run.Cases["cases"].size(), 5u);
  for (const char* Name : {"a", "c", "d", "e"}) {
    const TJson* C = Run.Case(Name);
    ASSERT_NE(C, nullptr);
    EXPECT_TRUE(C->contains("error"));
    EXPECT_FALSE(C->contains("file"));
  }
  // b: its picture on a red form: the frame, red inside.
  const TPicture B = Run.Picture("b");
  EXPECT_EQ(B.Width, 60);
  EXPECT_EQ(B.Height, 30);
  EXPECT_EQ(B.At(0, 0), SysColor(Run, COLOR_BTNSHADOW));
  EXPECT_EQ(B.At(5, 5), 255);
}

TEST(GalleryTool, BuiltInTableAndCasesJson) {
  const TGalleryRun& Run = FullGallery();
  ASSERT_TRUE(Run.Cases.is_object()) << Run.Output;
  EXPECT_EQ(Run.Cases["format"], 1);
  EXPECT_EQ(Run.Cases["tool"], "lumora-gallery");
  EXPECT_EQ(Run.Cases["form_color"], 0x806040);
  EXPECT_EQ(Run.Cases["font"]["face"], "Tahoma");
  EXPECT_EQ(Run.Cases["font"]["height"], -11);
  for (int Index : {COLOR_WINDOW, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT})
    EXPECT_EQ(SysColor(Run, Index), static_cast<TColor>(GetSysColor(Index)));
  const TJson& Cases = Run.Cases["cases"];
  EXPECT_EQ(Cases.size(), 54u);
  std::set<std::string> Names;
  int Written = 0, Failed = 0;
  for (const TJson& C : Cases) {
    const std::string Name = C["name"];
    EXPECT_TRUE(Names.insert(Name).second) << Name;
    for (const char* Key : {"control", "width", "height", "props", "state"})
      EXPECT_TRUE(C.contains(Key)) << Name << " " << Key;
    if (C.contains("error")) {
      ++Failed;
      EXPECT_NE(Run.Output.find(Name + ": error: "), std::string::npos) << Name;
      continue;
    }
    ++Written;
    EXPECT_NE(Run.Output.find(Name + ": ok"), std::string::npos) << Name;
    EXPECT_EQ(C["file"], Name + ".bmp");
    EXPECT_TRUE(C.contains("measured")) << Name;
    const TPicture P = Run.Picture(Name);
    EXPECT_EQ(P.Width, C["width"].get<int>()) << Name;
    EXPECT_EQ(P.Height, C["height"].get<int>()) << Name;
  }
  EXPECT_NE(
      Run.Output.find(std::to_string(Written) + " written, " + std::to_string(Failed) + " failed"),
      std::string::npos);
  // Every control of the table exists, so every case is written.
  EXPECT_EQ(Failed, 0);
  EXPECT_EQ(Run.ExitCode, 0);
}

}  // namespace
}  // namespace lumora::test
