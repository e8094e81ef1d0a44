// The supplied settings of an installed copy come into "task\" only where
// the user has no file of that name: an edited or read-only file is never
// replaced, and without a "defaults" folder nothing is made.

#include "app/FirstRun.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace lumora {
namespace {

std::string Win(std::string Path) {
  for (char& C : Path)
    if (C == '/') C = '\\';
  return Path;
}

TEST(FirstRun, CopiesOnlyWhatTheUserLacks) {
  test::TTempFolder Folder;
  const std::string App = Win(Folder.Path());
  CreateDirectoryA((App + "defaults").c_str(), nullptr);
  CreateDirectoryA((App + "defaults\\task").c_str(), nullptr);
  test::WriteWholeFile(App + "defaults\\task\\shuxing.txt", "supplied\r\n");
  test::WriteWholeFile(App + "defaults\\task\\lumora.ini", "[Grab]\r\n");

  // First start: both files arrive, "task" is made.
  EXPECT_EQ(CopyMissingSettings(App), 2);
  EXPECT_EQ(test::ReadWholeFile(App + "task\\shuxing.txt"), "supplied\r\n");
  EXPECT_EQ(test::ReadWholeFile(App + "task\\lumora.ini"), "[Grab]\r\n");

  // The user edits one, makes it read-only, and deletes the other; a newer
  // version brings other defaults.
  test::WriteWholeFile(App + "task\\shuxing.txt", "mine\r\n");
  ASSERT_TRUE(SetFileAttributesA((App + "task\\shuxing.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  DeleteFileA((App + "task\\lumora.ini").c_str());
  test::WriteWholeFile(App + "defaults\\task\\shuxing.txt", "newer\r\n");
  EXPECT_EQ(CopyMissingSettings(App), 1);
  EXPECT_EQ(test::ReadWholeFile(App + "task\\shuxing.txt"), "mine\r\n");
  EXPECT_EQ(test::ReadWholeFile(App + "task\\lumora.ini"), "[Grab]\r\n");
  EXPECT_EQ(CopyMissingSettings(App), 0);
  SetFileAttributesA((App + "task\\shuxing.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FirstRun, NoDefaultsFolderMakesNothing) {
  test::TTempFolder Folder;
  const std::string App = Win(Folder.Path());
  EXPECT_EQ(CopyMissingSettings(App), 0);
  EXPECT_EQ(GetFileAttributesA((App + "task").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace lumora
