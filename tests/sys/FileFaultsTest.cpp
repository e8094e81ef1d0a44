// Renames that meet what a real file system cannot be made to do on demand:
// no rename that refuses to replace and no links (an SMB mount), or a file
// held open for a moment by a scanner.

#include "sys/FileFaults.h"

#include <gtest/gtest.h>

#include <chrono>

#include "TestSupport.h"
#include "sys/FileSystem.h"

#ifndef _WIN32
#include <cerrno>
#endif

namespace lumora {
namespace {

using test::FolderNames;
using test::ReadWholeFile;
using test::TTempFolder;
using Names = std::vector<std::string>;

// Clears the faults whatever the test does.
struct TFaultsSet {
  explicit TFaultsSet(const TFileFaults& F) { SetFileFaults(F); }
  ~TFaultsSet() { SetFileFaults({}); }
};

#ifndef _WIN32

// The placeholder way gives every answer the usual way gives: a free name is
// taken, a taken one (file or folder) is left alone and the file kept for
// another, a missing folder fails. No placeholder is left behind.
TEST(FileFaults, WithoutNoReplaceRenameOrLinkAnExclusivePlaceholderTakesTheName) {
  TFaultsSet Faults({EINVAL, EPERM, 0});
  TTempFolder Dir;
  test::WriteWholeFile(Dir.Path() + "file.jpg", "old");
  ASSERT_TRUE(CreateDir(Dir.Path() + "folder.jpg"));
  const struct {
    std::string Target;
    TNewFile::TCreateResult Result;
  } Cases[] = {
      {Dir.Path() + "free.jpg", TNewFile::TCreateResult::Created},
      {Dir.Path() + "file.jpg", TNewFile::TCreateResult::NameTaken},
      {Dir.Path() + "folder.jpg", TNewFile::TCreateResult::NameTaken},
      {Dir.Path() + "missing/a.jpg", TNewFile::TCreateResult::Failed},
  };
  for (const auto& C : Cases) {
    TNewFile F;
    ASSERT_TRUE(F.CreateTemporary(Dir.Path()));
    const std::string Temporary = F.Path();
    ASSERT_TRUE(F.Write("new", 3));
    EXPECT_EQ(F.CommitAs(C.Target), C.Result) << C.Target;
    if (C.Result == TNewFile::TCreateResult::NameTaken)
      EXPECT_EQ(F.Path(), Temporary);
    else
      EXPECT_FALSE(FileExists(Temporary)) << C.Target;
  }
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "free.jpg"), "new");
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "file.jpg"), "old");
  EXPECT_EQ(FolderNames(Dir.Path()), (Names{"file.jpg", "folder.jpg", "free.jpg"}));
}

#else

// A file held open without sharing for a moment after it was closed: the move
// is tried again for about a second, then given up.
TEST(FileFaults, ASharingViolationIsRetriedForAboutASecond) {
  TTempFolder Dir;
  {
    TFaultsSet Faults({0, 0, 3});
    TNewFile F;
    ASSERT_TRUE(F.CreateTemporary(Dir.Path()));
    ASSERT_TRUE(F.Write("new", 3));
    EXPECT_EQ(F.CommitAs(Dir.Path() + "held.jpg"), TNewFile::TCreateResult::Created);
  }
  EXPECT_EQ(ReadWholeFile(Dir.Path() + "held.jpg"), "new");

  {
    TFaultsSet Faults({0, 0, 1000});
    TNewFile F;
    ASSERT_TRUE(F.CreateTemporary(Dir.Path()));
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_EQ(F.CommitAs(Dir.Path() + "never.jpg"), TNewFile::TCreateResult::Failed);
    const auto Took = std::chrono::steady_clock::now() - Start;
    EXPECT_GE(Took, std::chrono::milliseconds(800));
    EXPECT_LT(Took, std::chrono::seconds(3));
  }
  EXPECT_EQ(FolderNames(Dir.Path()), Names{"held.jpg"});
}

#endif

}  // namespace
}  // namespace lumora
