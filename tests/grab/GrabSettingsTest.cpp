#include "grab/GrabSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TestSupport.h"
#include "sys/FileSystem.h"

namespace lumora {
namespace {

using test::TTempFolder;

const std::string Sep(1, PathDelim);

TEST(GrabSettings, StartWithTheDesignValues) {
  const TGrabSettingsValues V;
  EXPECT_EQ(V.PicTypes, "");
  EXPECT_EQ(V.MinSizeK, 0);
#ifdef _WIN32
  EXPECT_EQ(V.SaveFolder, "d:\\pic\\");
#endif
}

TEST(EnsureSaveFolder, AppendsTheSeparatorAndCreatesEveryMissingLevel) {
  TTempFolder Tmp;
  struct TCase {
    std::string Given, Expected, MustExist;
  } Cases[] = {
      {Tmp.Path() + "shots", Tmp.Path() + "shots" + Sep, Tmp.Path() + "shots"},
      {Tmp.Path() + "kept" + Sep, Tmp.Path() + "kept" + Sep, Tmp.Path() + "kept"},
      {Tmp.Path() + "a" + Sep + "b" + Sep + "c" + Sep,
       Tmp.Path() + "a" + Sep + "b" + Sep + "c" + Sep, Tmp.Path() + "a" + Sep + "b" + Sep + "c"},
      {Tmp.Path() + "x" + Sep + Sep, Tmp.Path() + "x" + Sep + Sep, Tmp.Path() + "x"},
  };
  for (auto& C : Cases) {
    std::string F = C.Given;
    EnsureSaveFolder(F);
    EXPECT_EQ(F, C.Expected);
    EXPECT_TRUE(DirectoryExists(C.MustExist)) << C.MustExist;
  }
}

TEST(EnsureSaveFolder, EmptyFolderAndUncreatableFoldersAreQuiet) {
  std::string Empty;
  EnsureSaveFolder(Empty);
  EXPECT_EQ(Empty, Sep);

  // Under a file nothing can be created: the text is still normalised.
  TTempFolder Tmp;
  test::WriteWholeFile(Tmp.Path() + "file", "x");
  std::string Blocked = Tmp.Path() + "file" + Sep + "sub";
  EnsureSaveFolder(Blocked);
  EXPECT_EQ(Blocked, Tmp.Path() + "file" + Sep + "sub" + Sep);
  EXPECT_FALSE(DirectoryExists(Blocked));
}

TEST(GrabSettings, EnsureSaveFolderNormalisesTheLiveValue) {
  TTempFolder Tmp;
  TGrabSettings S;
  S.SetSaveFolder(Tmp.Path() + "live");
  S.EnsureSaveFolder();
  EXPECT_EQ(S.SaveFolder(), Tmp.Path() + "live" + Sep);
  EXPECT_TRUE(DirectoryExists(Tmp.Path() + "live"));
}

// Readers on other threads always see one whole set of values, never a mix.
TEST(GrabSettingsConcurrent, ReadersNeverSeeAHalfReplacedValue) {
  TGrabSettings S;
  const TGrabSettingsValues A{".JPG", 10, std::string(200, 'a') + Sep};
  const TGrabSettingsValues B{".JPG.BMP.GIF.TIF", 2000, std::string(300, 'b') + Sep};
  S.Assign(A);
  std::atomic<bool> Stop{false};
  std::atomic<int> Torn{0};
  std::vector<std::thread> Readers;
  for (int I = 0; I < 3; ++I)
    Readers.emplace_back([&] {
      while (!Stop) {
        const auto V = S.Snapshot();
        const bool IsA =
            V.PicTypes == A.PicTypes && V.MinSizeK == A.MinSizeK && V.SaveFolder == A.SaveFolder;
        const bool IsB =
            V.PicTypes == B.PicTypes && V.MinSizeK == B.MinSizeK && V.SaveFolder == B.SaveFolder;
        if (!IsA && !IsB) ++Torn;
        const auto Folder = S.SaveFolder();
        if (Folder != A.SaveFolder && Folder != B.SaveFolder) ++Torn;
      }
    });
  for (int I = 0; I < 20000; ++I) S.Assign(I % 2 ? A : B);
  Stop = true;
  for (auto& T : Readers) T.join();
  EXPECT_EQ(Torn, 0);
}

}  // namespace
}  // namespace lumora
