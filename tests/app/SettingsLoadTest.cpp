// The start-up load of the settings file: the messages of each failure, and
// what is taken before a failing step.

#include "app/SettingsLoad.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "sys/LumoraError.h"

namespace lumora {
namespace {

struct TLoadResult {
  std::string Error;  // empty when the load went through
  TGrabSettingsValues Values;
  std::size_t LineCount = 0;
};

TLoadResult Load(const std::string& FileName) {
  TGrabSettings Settings;  // starts at the defaults: no types, size 0, the design folder
  TLoadResult R;
  try {
    const std::vector<std::string> Lines = LoadSettingsLines(FileName);
    R.LineCount = Lines.size();
    ApplySettingsLines(Lines, Settings);
  } catch (const ELumoraError& E) {
    R.Error = E.what();
  }
  R.Values = Settings.Snapshot();
  return R;
}

TEST(SettingsLoad, FileCases) {
  const struct {
    const char* Name;
    std::string Text;
    std::string Error;
    std::string PicTypes;
    std::int32_t MinSizeK;
    std::string SaveFolder;
    std::size_t LineCount;
  } Cases[] = {
      {"all four", ".JPG.BMP.GIF.TIF\r\n0\r\nc:\\pics\\\r\n", "", ".JPG.BMP.GIF.TIF", 0,
       "c:\\pics\\", 3},
      {"folder as it stands", ".GIF\n25\ne:\\shots\n", "", ".GIF", 25, "e:\\shots", 3},
      {"five lines", ".JPG\r\n3\r\nf\\\r\nfour\r\nfive\r\n", "", ".JPG", 3, "f\\", 5},
      {"negative size", ".JPG\r\n-4\r\nf\\\r\n", "", ".JPG", -4, "f\\", 3},
      {"lower-case types kept", ".jpg.gif\r\n0\r\nf\\\r\n", "", ".jpg.gif", 0, "f\\", 3},
      {"empty file", "", "List index out of bounds (0)", "", 0, DefaultSaveFolder, 0},
      {"one line", ".BMP\r\n", "List index out of bounds (1)", ".BMP", 0, DefaultSaveFolder, 1},
      {"two lines", ".BMP\r\n12\r\n", "List index out of bounds (2)", ".BMP", 12, DefaultSaveFolder,
       2},
      {"bad integer", ".TIF\r\n12k\r\nf\\\r\n", "'12k' is not a valid integer value", ".TIF", 0,
       DefaultSaveFolder, 3},
  };
  test::TTempFolder Folder;
  for (const auto& C : Cases) {
    const std::string Path = Folder.Path() + "shuxing.txt";
    test::WriteWholeFile(Path, C.Text);
    const TLoadResult R = Load(Path);
    EXPECT_EQ(R.Error, C.Error) << C.Name;
    EXPECT_EQ(R.Values.PicTypes, C.PicTypes) << C.Name;
    EXPECT_EQ(R.Values.MinSizeK, C.MinSizeK) << C.Name;
    EXPECT_EQ(R.Values.SaveFolder, C.SaveFolder) << C.Name;
    EXPECT_EQ(R.LineCount, C.LineCount) << C.Name;
  }
}

TEST(SettingsLoad, MissingFileNamesThePath) {
  test::TTempFolder Folder;
  const std::string Path = Folder.Path() + "nothing-here.txt";
  const TLoadResult R = Load(Path);
  EXPECT_EQ(R.Error, "Cannot open file " + Path);
  EXPECT_EQ(R.Values.PicTypes, "");
  EXPECT_EQ(R.Values.SaveFolder, DefaultSaveFolder);
}

TEST(SettingsLoad, FileNameHasTheDoubledBackslash) {
  EXPECT_EQ(SettingsFileName("C:\\Lumora\\"), "C:\\Lumora\\\\task\\shuxing.txt");
}

}  // namespace
}  // namespace lumora
