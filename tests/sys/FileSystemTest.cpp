#include "sys/FileSystem.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "TestSupport.h"

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

}  // namespace
}  // namespace lumora
