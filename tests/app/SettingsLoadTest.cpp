// The start-up load of the settings file: the messages of each failure, and
// what is taken before a failing step.

#include "app/SettingsLoad.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#endif

#include "TestSupport.h"
#include "sys/FileSystem.h"
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

// The supplied file of the packages names the folder with a variable; the
// program and its panel work with the real folder.
TEST(SettingsLoad, FolderVariablesAreExpandedForTheProgramAndThePanel) {
  test::TTempFolder Folder;
  const std::string Home = Folder.Path() + "home";
#ifdef _WIN32
  SetEnvironmentVariableA("LUMORA_TEST_HOME", Home.c_str());
#else
  setenv("LUMORA_TEST_HOME", Home.c_str(), 1);
#endif
  const std::string Path = Folder.Path() + "shuxing.txt";
  test::WriteWholeFile(Path, ".JPG\r\n0\r\n%LUMORA_TEST_HOME%\\Pictures\\Lumora\\\r\n");
  const TLoadResult R = Load(Path);
  EXPECT_EQ(R.Error, "");
  EXPECT_EQ(R.Values.SaveFolder, Home + "\\Pictures\\Lumora\\");
  EXPECT_EQ(PanelFromSettings(R.Values).Folder, Home + "\\Pictures\\Lumora\\");
}

#ifdef _WIN32
// OK on a settings file the user made read-only says so and leaves it.
TEST(SettingsPanel, AReadOnlyFileIsReportedAndKept) {
  test::TTempFolder Folder;
  const std::string File = Folder.Path() + "shuxing.txt";
  test::WriteWholeFile(File, ".GIF\r\n5\r\nq\\\r\n");
  ASSERT_TRUE(SetFileAttributesA(File.c_str(), FILE_ATTRIBUTE_READONLY));
  // Wine run by root writes read-only files all the same.
  HANDLE Probe = CreateFileA(File.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (Probe != INVALID_HANDLE_VALUE) {
    CloseHandle(Probe);
    SetFileAttributesA(File.c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "this system lets a read-only file be written";
  }
  std::vector<std::string> Lines = LoadSettingsLines(File);
  TGrabSettings Settings;
  TSettingsPanelState Panel;
  Panel.Folder = Folder.Path();
  std::string Error;
  try {
    CommitSettingsPanel(Panel, Settings, Lines, File);
  } catch (const ELumoraError& E) {
    Error = E.what();
  }
  EXPECT_EQ(Error, "Cannot create file " + File);
  EXPECT_EQ(test::ReadWholeFile(File), ".GIF\r\n5\r\nq\\\r\n");
  SetFileAttributesA(File.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

TEST(SettingsLoad, FileNameHasTheDoubledBackslash) {
  EXPECT_EQ(SettingsFileName("C:\\Lumora\\"), "C:\\Lumora\\\\task\\shuxing.txt");
}

// The panel's OK on real files: what lands in the settings and in the file,
// and what a failing step leaves behind.
TEST(SettingsPanel, Commit) {
  test::TTempFolder Folder;
  const std::string Typed = Folder.Path() + "shots";  // no separator at the end
  const std::string Normal = Typed + PathDelim;
  TSettingsPanelState Design;  // the design's values, with a folder of the test's own
  Design.Folder = Normal;
  TSettingsPanelState AllCleared;
  AllCleared.Jpg = AllCleared.Bmp = AllCleared.Gif = AllCleared.Tif = false;
  AllCleared.SizeFilter = true;
  AllCleared.SizeText = "";
  AllCleared.Folder = "";
  const struct {
    const char* Name;
    TSettingsPanelState Panel;
    std::string FileBefore;
    std::string Error;
    TGrabSettingsValues After;
    std::string FileAfter;
  } Cases[] = {
      {"design values",
       Design,
       "x\r\n1\r\ny\r\n",
       "",
       {".JPG.BMP.GIF.TIF", 0, Normal},
       ".JPG.BMP.GIF.TIF\r\n0\r\n" + Normal + "\r\n"},
      {"a folder typed without its separator gets one",
       {false, true, false, true, true, "25", Typed},
       "x\r\n1\r\ny\r\n",
       "",
       {".BMP.TIF", 25, Normal},
       ".BMP.TIF\r\n25\r\n" + Normal + "\r\n"},
      {"size 0 is any size",
       {true, false, false, false, true, "0", Normal},
       "x\n1\ny\n",
       "",
       {".JPG", 0, Normal},
       ".JPG\r\n0\r\n" + Normal + "\r\n"},
      {"a negative size is kept",
       {true, false, false, false, true, "-5", Normal},
       "x\n1\ny\n",
       "",
       {".JPG", -5, Normal},
       ".JPG\r\n-5\r\n" + Normal + "\r\n"},
      {"lines after the third are kept, every line ends in CR LF",
       {true, true, true, true, false, "junk", Normal},
       "x\n1\ny\nfour\rfive",
       "",
       {".JPG.BMP.GIF.TIF", 0, Normal},
       ".JPG.BMP.GIF.TIF\r\n0\r\n" + Normal + "\r\nfour\r\nfive\r\n"},
      {"size choice with no number: types rebuilt, nothing else",
       AllCleared,
       "x\r\n7\r\ny\r\n",
       "'' is not a valid integer value",
       {"", 7, "y"},
       "x\r\n7\r\ny\r\n"},
      {"short file: values taken, nothing written",
       {true, false, false, false, false, "1", Typed},
       "x\r\n7\r\n",
       "List index out of bounds (2)",
       {".JPG", 0, Normal},
       "x\r\n7\r\n"},
  };
  for (const auto& C : Cases) {
    const std::string File = Folder.Path() + "shuxing.txt";
    test::WriteWholeFile(File, C.FileBefore);
    std::vector<std::string> Lines = LoadSettingsLines(File);
    TGrabSettings Settings;
    Settings.Assign({"x", 7, "y"});
    std::string Error;
    try {
      CommitSettingsPanel(C.Panel, Settings, Lines, File);
    } catch (const ELumoraError& E) {
      Error = E.what();
    }
    EXPECT_EQ(Error, C.Error) << C.Name;
    EXPECT_EQ(Settings.PicTypes(), C.After.PicTypes) << C.Name;
    EXPECT_EQ(Settings.MinSizeK(), C.After.MinSizeK) << C.Name;
    EXPECT_EQ(Settings.SaveFolder(), C.After.SaveFolder) << C.Name;
    EXPECT_EQ(test::ReadWholeFile(File), C.FileAfter) << C.Name;
    // Read back, the file gives the panel what was committed.
    if (C.Error.empty()) {
      TGrabSettings Reread;
      ApplySettingsLines(LoadSettingsLines(File), Reread);
      const TSettingsPanelState P = PanelFromSettings(Reread.Snapshot());
      EXPECT_EQ(PicTypesFromPanel(P), C.After.PicTypes) << C.Name;
      EXPECT_EQ(P.SizeFilter, C.After.MinSizeK != 0) << C.Name;
      EXPECT_EQ(P.SizeText, C.After.MinSizeK ? std::to_string(C.After.MinSizeK) : "10") << C.Name;
    }
  }
  EXPECT_TRUE(DirectoryExists(Normal));
}

TEST(SettingsPanel, AFileThatCannotBeWrittenIsReportedAfterTheSettingsChanged) {
  test::TTempFolder Folder;
  const std::string File = Folder.Path() + "no-such-folder" + PathDelim + "shuxing.txt";
  std::vector<std::string> Lines{"a", "1", "b"};
  TGrabSettings Settings;
  try {
    TSettingsPanelState Panel;
    Panel.Folder = Folder.Path();
    CommitSettingsPanel(Panel, Settings, Lines, File);
    ADD_FAILURE() << "no error";
  } catch (const ELumoraError& E) {
    EXPECT_EQ(std::string(E.what()), "Cannot create file " + File);
  }
  EXPECT_EQ(Settings.PicTypes(), ".JPG.BMP.GIF.TIF");
}

TEST(SettingsPanel, BoxesFromTheTypesLine) {
  const struct {
    std::string Types;
    std::string Boxes;  // the types of the checked boxes
  } Cases[] = {{".JPG.BMP.GIF.TIF", ".JPG.BMP.GIF.TIF"},
               {"", ""},
               {".jpg.gif", ""},  // case-sensitive
               {"JPGGIF", ".JPG.GIF"},
               {".TIF.BMP", ".BMP.TIF"},
               {".JPG.BMP.GIF.TIF.PNG.WEBP.AVIF", ".JPG.BMP.GIF.TIF.PNG.WEBP.AVIF"},
               {".AVIF.PNG", ".PNG.AVIF"},
               {".WEBP", ".WEBP"},  // "EBP" enables nothing old
               {".webp.png", ""}};
  for (const auto& C : Cases)
    EXPECT_EQ(PicTypesFromPanel(PanelFromSettings({C.Types, 0, "f"})), C.Boxes) << C.Types;
}

// lumora.ini at start-up: a file that is not there leaves the switch off
// without a word; one that is there but cannot be read is reported as the
// settings file is.
TEST(LumoraIniLoad, Cases) {
  const struct {
    const char* Name;
    const char* Text;  // null: no file; "/": a folder of that name
    std::string Error;
    bool TodaysWeb;
  } Cases[] = {
      {"no file", nullptr, "", false},
      {"on", "[Grab]\r\nTodaysWeb=1\r\n", "", true},
      {"off", "[Grab]\r\nTodaysWeb=0\r\n", "", false},
      {"no key", "[Grab]\r\n", "", false},
      {"unreadable", "/", "Cannot open file ", false},
  };
  for (const auto& C : Cases) {
    test::TTempFolder Folder;
    const std::string Path = Folder.Path() + "lumora.ini";
    if (C.Text && std::string(C.Text) == "/")
      ASSERT_TRUE(CreateDir(Path));
    else if (C.Text)
      test::WriteWholeFile(Path, C.Text);
    TGrabSettings Settings;
    Settings.SetTodaysWeb(!C.TodaysWeb);
    std::string Error;
    try {
      PublishGrabSettingsFromIni(LoadLumoraIni(Path), Settings);
    } catch (const ELumoraError& E) {
      Error = E.what();
    }
    EXPECT_EQ(Error, C.Error.empty() ? "" : C.Error + Path) << C.Name;
    if (Error.empty()) {
      EXPECT_EQ(Settings.TodaysWeb(), C.TodaysWeb) << C.Name;
    }
  }
  EXPECT_EQ(LumoraIniFileName("C:\\Lumora\\"), "C:\\Lumora\\\\task\\lumora.ini");
}

// OK stores the switch in lumora.ini, read again just before, so keys and
// comments put there by others stay; a file it cannot read is not replaced.
TEST(LumoraIniSave, Cases) {
  test::TTempFolder Folder;
  std::string Missing = Folder.Path() + "no-such-folder";
  Missing += PathDelim;
  const struct {
    const char* Name;
    std::string Path;
    const char* Before;  // null: no file
    bool TodaysWeb;
    std::string Error;
    std::string After;
  } Cases[] = {
      {"made when missing", Folder.Path() + "a.ini", nullptr, true, "",
       "[Grab]\r\nTodaysWeb=1\r\n"},
      {"others' keys kept", Folder.Path() + "b.ini", "; mine\n[Grab]\nTodaysWeb=1\nOther=x\n",
       false, "", "; mine\r\n[Grab]\r\nTodaysWeb=0\r\nOther=x\r\n"},
      {"a missing folder", Missing + "c.ini", nullptr, true, "Cannot create file ", ""},
  };
  for (const auto& C : Cases) {
    if (C.Before) test::WriteWholeFile(C.Path, C.Before);
    TGrabSettingsValues Values;
    Values.TodaysWeb = C.TodaysWeb;
    std::string Error;
    try {
      SaveLumoraIni(C.Path, Values);
    } catch (const ELumoraError& E) {
      Error = E.what();
    }
    EXPECT_EQ(Error, C.Error.empty() ? "" : C.Error + C.Path) << C.Name;
    if (C.Error.empty()) {
      EXPECT_EQ(test::ReadWholeFile(C.Path), C.After) << C.Name;
    }
  }

  const std::string Unreadable = Folder.Path() + "folder.ini";
  ASSERT_TRUE(CreateDir(Unreadable));
  try {
    SaveLumoraIni(Unreadable, {});
    ADD_FAILURE() << "no error";
  } catch (const ELumoraError& E) {
    EXPECT_EQ(std::string(E.what()), "Cannot open file " + Unreadable);
  }
  EXPECT_TRUE(DirectoryExists(Unreadable));
  EXPECT_EQ(test::FolderNames(Folder.Path()),
            (std::vector<std::string>{"a.ini", "b.ini", "folder.ini"}));
}

// The panel's switch goes live with OK, with the other values.
TEST(SettingsPanel, CommitTakesTheSwitch) {
  test::TTempFolder Folder;
  const std::string File = Folder.Path() + "shuxing.txt";
  for (const bool On : {true, false}) {
    test::WriteWholeFile(File, "x\r\n1\r\ny\r\n");
    std::vector<std::string> Lines = LoadSettingsLines(File);
    TSettingsPanelState Panel;
    Panel.Folder = Folder.Path();
    Panel.TodaysWeb = On;
    TGrabSettings Settings;
    Settings.SetTodaysWeb(!On);
    CommitSettingsPanel(Panel, Settings, Lines, File);
    EXPECT_EQ(Settings.TodaysWeb(), On);
    EXPECT_EQ(PanelFromSettings(Settings.Snapshot()).TodaysWeb, On);
    EXPECT_EQ(SettingsFromPanel(Panel).TodaysWeb, On);
    EXPECT_EQ(test::ReadWholeFile(File), ".JPG.BMP.GIF.TIF\r\n0\r\n" + Folder.Path() + "\r\n")
        << "shuxing.txt keeps its three lines";
  }
}

#ifndef _WIN32
// A disk that fills up during the write, made real with the file size
// limit: the settings file keeps every byte it had, and no temporary file
// is left beside it.
TEST(SettingsSave, AFullDiskLeavesTheOldFile) {
  test::TTempFolder Folder;
  const std::string Old = ".GIF\r\n25\r\nold folder\r\nfour\r\n";
  const std::string Settings = Folder.Path() + "shuxing.txt";
  const std::string Ini = Folder.Path() + "lumora.ini";
  test::WriteWholeFile(Settings, Old);
  test::WriteWholeFile(Ini, "[Grab]\r\nTodaysWeb=0\r\n");
  const std::vector<std::string> Lines{".JPG.BMP.GIF.TIF", "0", std::string(200, 'f'), "four"};
  TGrabSettingsValues On;
  On.TodaysWeb = true;

  std::string SettingsError, IniError;
  {
    rlimit Saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Saved), 0);
    rlimit Small = Saved;
    Small.rlim_cur = 8;  // fewer bytes than either file's new text
    const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);
    try {
      SaveSettingsLines(Settings, Lines);
    } catch (const ELumoraError& E) {
      SettingsError = E.what();
    }
    try {
      SaveLumoraIni(Ini, On);
    } catch (const ELumoraError& E) {
      IniError = E.what();
    }
    setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, OldHandler);
  }
  EXPECT_EQ(SettingsError, "Cannot create file " + Settings);
  EXPECT_EQ(test::ReadWholeFile(Settings), Old);
  EXPECT_EQ(IniError, "Cannot create file " + Ini);
  EXPECT_EQ(test::ReadWholeFile(Ini), "[Grab]\r\nTodaysWeb=0\r\n");
  EXPECT_EQ(test::FolderNames(Folder.Path()),
            (std::vector<std::string>{"lumora.ini", "shuxing.txt"}));
}
#endif

}  // namespace
}  // namespace lumora
