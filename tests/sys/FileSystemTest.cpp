#include "sys/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "TestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace lumora {
namespace {

using test::FolderNames;
using test::ReadWholeFile;
using test::TTempFolder;

TEST(NewFile, CreatesExclusivelyAndKeepsOnlyCommittedFiles) {
  TTempFolder Dir;
  const std::string A = Dir.Path() + "a.jpg";
  {
    TNewFile F;
    ASSERT_EQ(F.Create(A), TNewFile::TCreateResult::Created);
    ASSERT_TRUE(F.Write("abc", 3));
    ASSERT_TRUE(F.Commit());
  }
  EXPECT_EQ(ReadWholeFile(A), "abc");

  {
    TNewFile Second;
    EXPECT_EQ(Second.Create(A), TNewFile::TCreateResult::NameTaken);
  }
  EXPECT_EQ(ReadWholeFile(A), "abc") << "an existing file is never replaced";

  {
    TNewFile Unfinished;
    ASSERT_EQ(Unfinished.Create(Dir.Path() + "b.jpg"), TNewFile::TCreateResult::Created);
    ASSERT_TRUE(Unfinished.Write("partial", 7));
    TNewFile Moved = std::move(Unfinished);  // ownership moves, the file stays unfinished
    EXPECT_TRUE(FileExists(Dir.Path() + "b.jpg"));
  }
  EXPECT_FALSE(FileExists(Dir.Path() + "b.jpg")) << "an unfinished file is removed";
  EXPECT_EQ(FolderNames(Dir.Path()), std::vector<std::string>{"a.jpg"});
}

TEST(NewFile, AFolderTakesTheNameAndAMissingFolderFails) {
  TTempFolder Dir;
  ASSERT_TRUE(CreateDir(Dir.Path() + "sub"));
  EXPECT_TRUE(DirectoryExists(Dir.Path() + "sub"));
  EXPECT_FALSE(FileExists(Dir.Path() + "sub"));
  TNewFile F;
  EXPECT_EQ(F.Create(Dir.Path() + "sub"), TNewFile::TCreateResult::NameTaken);
  std::string Missing = Dir.Path() + "missing";
  Missing += PathDelim;
  EXPECT_EQ(F.Create(Missing + "a.jpg"), TNewFile::TCreateResult::Failed);
  EXPECT_FALSE(F.Write("x", 1));
  EXPECT_FALSE(F.Commit());
}

// Why a folder refused a new file, in the terms the program reports: a
// missing folder and one whose path runs through a regular file do not
// exist; a folder without the right to write is denied (natively, for a user
// that is not root, who may write anywhere). A file created after a refusal
// clears it.
TEST(NewFile, SaysWhyAFolderRefusedIt) {
  TTempFolder Dir;
  test::WriteWholeFile(Dir.Path() + "afile", "x");
  struct TCase {
    const char* What;
    std::string Folder;
    TFileError Expected;
  };
  std::vector<TCase> Cases{
      {"missing", Dir.Path() + "missing" + PathDelim, TFileError::NoFolder},
      {"under a file", Dir.Path() + "afile" + PathDelim + "sub" + PathDelim, TFileError::NoFolder},
  };
#ifndef _WIN32
  const std::string Locked = Dir.Path() + "locked";
  ASSERT_TRUE(CreateDir(Locked));
  ASSERT_EQ(chmod(Locked.c_str(), 0500), 0);
  if (geteuid() != 0) Cases.push_back({"read-only", Locked + "/", TFileError::AccessDenied});
#endif
  for (const auto& C : Cases) {
    TNewFile F;
    EXPECT_FALSE(F.CreateTemporary(C.Folder)) << C.What;
    EXPECT_EQ(F.LastError(), C.Expected) << C.What;
    EXPECT_FALSE(F.Write("x", 1)) << C.What;
    ASSERT_TRUE(F.CreateTemporary(Dir.Path())) << C.What;
    EXPECT_EQ(F.LastError(), TFileError::None) << C.What;
  }
#ifndef _WIN32
  chmod(Locked.c_str(), 0700);
#endif
  EXPECT_STREQ(FileErrorText(TFileError::NoFolder), "the folder does not exist");
}

// A file written under a temporary name takes its real name only when it is
// finished, never over anything that has that name; it is gone if it never
// gets one.
TEST(NewFile, ATemporaryFileTakesAFreeNameOrIsRemoved) {
  TTempFolder Dir;
  test::WriteWholeFile(Dir.Path() + "file.jpg", "old");
  ASSERT_TRUE(CreateDir(Dir.Path() + "folder.jpg"));
  std::string Missing = Dir.Path() + "missing";
  Missing += PathDelim;
  const struct {
    std::string Name;
    TNewFile::TCreateResult Result;
  } Cases[] = {
      {"free.jpg", TNewFile::TCreateResult::Created},
      {"file.jpg", TNewFile::TCreateResult::NameTaken},
      {"folder.jpg", TNewFile::TCreateResult::NameTaken},
      {Missing + "a.jpg", TNewFile::TCreateResult::Failed},
  };
  for (const auto& C : Cases) {
    const std::string Target =
        C.Name.find(PathDelim) == std::string::npos ? Dir.Path() + C.Name : C.Name;
    TNewFile F;
    ASSERT_TRUE(F.CreateTemporary(Dir.Path()));
    const std::string Temporary = F.Path();
    ASSERT_TRUE(F.Write("new", 3));
    EXPECT_EQ(F.CommitAs(Target), C.Result) << C.Name;
    if (C.Result == TNewFile::TCreateResult::NameTaken) {
      EXPECT_TRUE(FileExists(Temporary)) << "kept for another name: " << C.Name;
      EXPECT_EQ(F.CommitAs(Dir.Path() + "other.jpg"), TNewFile::TCreateResult::Created);
      EXPECT_EQ(ReadWholeFile(Dir.Path() + "other.jpg"), "new");
      std::remove((Dir.Path() + "other.jpg").c_str());
    }
    EXPECT_FALSE(FileExists(Temporary)) << C.Name;
  }
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "file.jpg"), "old");
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "free.jpg"), "new");
  EXPECT_EQ(FolderNames(Dir.Path()),
            (std::vector<std::string>{"file.jpg", "folder.jpg", "free.jpg"}));

  // Destroyed while its name is taken: the temporary file goes with it.
  {
    TNewFile F;
    ASSERT_TRUE(F.CreateTemporary(Dir.Path()));
    EXPECT_EQ(F.CommitAs(Dir.Path() + "file.jpg"), TNewFile::TCreateResult::NameTaken);
  }
  EXPECT_EQ(FolderNames(Dir.Path()),
            (std::vector<std::string>{"file.jpg", "folder.jpg", "free.jpg"}));
}

TEST(StaleTemporaries, OnlyTheExactNameIsATemporaryOne) {
  const struct {
    const char* Name;
    unsigned long Process;  // 0: not a temporary name
  } Cases[] = {
      {"~lumora1234-0.tmp", 1234},
      {"~lumora7-4294967295.tmp", 7},
      {"~lumora4294967295-1.tmp", 4294967295ul},
      {"~lumora4294967296-1.tmp", 0},  // no process number is that big
      {"~lumora0-1.tmp", 0},
      {"~lumora-1.tmp", 0},
      {"~lumora12-.tmp", 0},
      {"~lumora12.tmp", 0},
      {"~lumora1-2-3.tmp", 0},
      {"~lumora+1-2.tmp", 0},
      {"~lumora12-3.tmp.jpg", 0},
      {"~lumora12-3.TMP", 0},
      {"~Lumora12-3.tmp", 0},
      {"x~lumora12-3.tmp", 0},
      {"~lumora12-3.tmpx", 0},
      {"~lumora 12-3.tmp", 0},
      {"~lumora12-3.jpg", 0},
  };
  for (const auto& C : Cases) {
    unsigned long Process = 0;
    EXPECT_EQ(IsTemporaryName(C.Name, Process), C.Process != 0) << C.Name;
    if (C.Process != 0) {
      EXPECT_EQ(Process, C.Process) << C.Name;
    }
  }
}

// The number of a process that has ended. On Windows the handle stays open,
// so that number is not handed to a new process while the test runs.
class TEndedProcess {
 public:
  TEndedProcess() {
#ifdef _WIN32
    STARTUPINFOA Start{};
    Start.cb = sizeof Start;
    PROCESS_INFORMATION Info{};
    char Command[] = "cmd.exe /c exit 0";
    if (!CreateProcessA(nullptr, Command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &Start, &Info))
      return;
    CloseHandle(Info.hThread);
    WaitForSingleObject(Info.hProcess, 30000);
    FHandle = Info.hProcess;
    FId = Info.dwProcessId;
#else
    const pid_t Child = fork();
    if (Child == 0) _exit(0);
    if (Child > 0 && waitpid(Child, nullptr, 0) == Child) FId = static_cast<unsigned long>(Child);
#endif
  }
  ~TEndedProcess() {
#ifdef _WIN32
    if (FHandle) CloseHandle(FHandle);
#endif
  }
  unsigned long Id() const {
    return FId;
  }

 private:
  unsigned long FId = 0;
#ifdef _WIN32
  HANDLE FHandle = nullptr;
#endif
};

unsigned long OwnProcess() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

// A run killed mid-picture leaves its temporary file; the next grab into the
// folder removes it, and only it.
TEST(StaleTemporaries, OnlyThoseOfEndedProcessesGo) {
  const TEndedProcess Ended;
  ASSERT_NE(Ended.Id(), 0u);
  ASSERT_FALSE(IsProcessRunning(Ended.Id()));
  ASSERT_TRUE(IsProcessRunning(OwnProcess()));

  TTempFolder Dir;
  const std::string Dead = std::to_string(Ended.Id()), Live = std::to_string(OwnProcess());
  const std::vector<std::string> Kept = {
      "~lumora" + Live + "-0.tmp",      // a picture this process is writing
      "~lumora" + Dead + "-1.tmp.jpg",  // a picture, whatever its name
      "~lumora" + Dead + "-4.TMP",      // not the name Lumora makes
      "~lumora" + Dead + "x-1.tmp",     //
      "photo.jpg",                      //
      "~lumora" + Dead + "-3.tmp",      // a folder of that name: made below
  };
  for (std::size_t I = 0; I + 1 < Kept.size(); ++I) test::WriteWholeFile(Dir.Path() + Kept[I], "k");
  ASSERT_TRUE(CreateDir(Dir.Path() + Kept.back()));
  test::WriteWholeFile(Dir.Path() + "~lumora" + Dead + "-1.tmp", "cut off");
  test::WriteWholeFile(Dir.Path() + "~lumora" + Dead + "-2.tmp", "");

  EXPECT_EQ(RemoveStaleTemporaries(Dir.Path()), 2u);
  std::vector<std::string> Expected = Kept;
  std::sort(Expected.begin(), Expected.end());
  EXPECT_EQ(FolderNames(Dir.Path()), Expected);
  EXPECT_EQ(RemoveStaleTemporaries(Dir.Path() + "missing" + PathDelim), 0u);
}

// A replacement takes the name in one step or not at all: whatever refuses
// it, the old file stays as it was and no temporary file is left beside it.
TEST(ReplaceFileContents, ReplacesWholeOrLeavesTheOldFile) {
  TTempFolder Dir;
  std::string Missing = Dir.Path() + "missing";
  Missing += PathDelim;
  ASSERT_TRUE(CreateDir(Dir.Path() + "folder.ini"));
  const struct {
    const char* Name;
    std::string Path;
    const char* Before;  // null: no file
    bool Replaced;
  } Cases[] = {
      {"a longer file", Dir.Path() + "a.txt", "old and long contents", true},
      {"a shorter file", Dir.Path() + "b.txt", "x", true},
      {"a new file", Dir.Path() + "c.txt", nullptr, true},
      {"a missing folder", Missing + "d.txt", nullptr, false},
      {"a folder of that name", Dir.Path() + "folder.ini", nullptr, false},
  };
  for (const auto& C : Cases) {
    if (C.Before) test::WriteWholeFile(C.Path, C.Before);
    EXPECT_EQ(ReplaceFileContents(C.Path, std::string_view("new\0data", 8)), C.Replaced) << C.Name;
    if (C.Replaced) {
      EXPECT_EQ(ReadWholeFile(C.Path), std::string("new\0data", 8)) << C.Name;
    }
  }
  EXPECT_TRUE(DirectoryExists(Dir.Path() + "folder.ini"));
  EXPECT_EQ(FolderNames(Dir.Path()),
            (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "folder.ini"}));
}

#ifdef _WIN32
// A read-only file refuses the replacement as it refuses a write.
TEST(ReplaceFileContents, AReadOnlyFileIsLeftAlone) {
  TTempFolder Dir;
  const std::string Path = Dir.Path() + "shuxing.txt";
  test::WriteWholeFile(Path, "kept");
  ASSERT_TRUE(SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(ReplaceFileContents(Path, "new"));
  SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadWholeFile(Path), "kept");
  EXPECT_EQ(FolderNames(Dir.Path()), std::vector<std::string>{"shuxing.txt"});
}
#endif

}  // namespace
}  // namespace lumora
