#include "sys/FilePath.h"

#include <gtest/gtest.h>

#include "sys/FileSystem.h"

namespace lumora {
namespace {

TEST(FilePath, JoinPutsExactlyOneSeparatorBetweenFolderAndName) {
  const std::string D(1, PathDelim);
  const struct {
    std::string Folder, Name, Path;
  } Cases[] = {
      {"pics", "a.jpg", "pics" + D + "a.jpg"},
      {"pics" + D, "a.jpg", "pics" + D + "a.jpg"},
      {"", "a.jpg", "a.jpg"},
      {D, "a.jpg", D + "a.jpg"},
      {"pics", "", "pics" + D},
  };
  for (const auto& C : Cases) EXPECT_EQ(JoinPath(C.Folder, C.Name), C.Path) << C.Folder;
}

TEST(FilePath, ANameHas255BytesAtMostAndOnWindowsThePathFitsMaxPath) {
#ifndef _WIN32
  EXPECT_EQ(NameRoom("pics"), MaxNameBytes);
  EXPECT_EQ(NameRoom(std::string(4000, 'd')), MaxNameBytes);  // no limit on the whole path
#else
  EXPECT_EQ(NameRoom("c:\\"), MaxNameBytes);
  EXPECT_EQ(NameRoom("c:\\pics"), 259u - 8u);  // "c:\pics\" takes 8
  // "c:\" plus a folder of 200 and its separator: 204 bytes before the name.
  const std::string Deep = "c:\\" + std::string(200, 'd');
  EXPECT_EQ(NameRoom(Deep), 259u - 204u);
  EXPECT_EQ(NameRoom(Deep + "\\"), 259u - 204u);
  EXPECT_EQ(NameRoom(std::string(300, 'd')), 0u);
#endif
}

TEST(FilePath, APrefixNeverCutsACharacterInTwo) {
  EXPECT_EQ(CharacterPrefix("abc", 5), 3u);
  EXPECT_EQ(CharacterPrefix("abcdef", 4), 4u);
#ifndef _WIN32
  // "a" then U+00E9 (2 bytes) then U+20AC (3 bytes).
  const std::string Text = "a\xC3\xA9\xE2\x82\xAC";
  const std::size_t Want[] = {0, 1, 1, 3, 3, 3, 6};
  for (std::size_t Max = 0; Max <= Text.size(); ++Max)
    EXPECT_EQ(CharacterPrefix(Text, Max), Want[Max]) << Max;
#endif
}

}  // namespace
}  // namespace lumora
