#include "sys/FileSystem.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumora
