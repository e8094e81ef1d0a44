// The %VARIABLES% of the folder line: a defined name is replaced, anything
// else stays exactly as written.

#include "grab/FolderVariables.h"

#include <gtest/gtest.h>

#include <map>

namespace lumora {
namespace {

TEST(FolderVariables, OnlyDefinedNamesAreReplaced) {
  const std::map<std::string, std::string> Env = {
      {"USERPROFILE", "C:\\users\\ann"}, {"EMPTY", ""}, {"PCT", "%USERPROFILE%"}, {"b", "B"}};
  const TVariableLookup Lookup = [&](const std::string& Name) -> std::optional<std::string> {
    const auto It = Env.find(Name);
    if (It == Env.end()) return std::nullopt;
    return It->second;
  };
  const struct {
    const char* Folder;
    const char* Expanded;
  } Cases[] = {
      {"%USERPROFILE%\\Pictures\\Lumora\\", "C:\\users\\ann\\Pictures\\Lumora\\"},
      {"d:\\pic\\", "d:\\pic\\"},
      {"", ""},
      {"%UNSET%\\x\\", "%UNSET%\\x\\"},
      {"d:\\100%\\", "d:\\100%\\"},  // a lone "%"
      {"d:\\%%\\", "d:\\%%\\"},      // no name between
      {"%EMPTY%x", "x"},
      // An undefined name is kept whole; what follows is read afresh.
      {"a%UNSET%b%b%c", "a%UNSET%bBc"},
      {"100%%USERPROFILE%", "100%C:\\users\\ann"},
      // One pass: a value is not expanded again.
      {"%PCT%\\x", "%USERPROFILE%\\x"},
      {"%USERPROFILE%%USERPROFILE%", "C:\\users\\annC:\\users\\ann"},
      {"%USERPROFILE", "%USERPROFILE"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(ExpandFolderVariables(C.Folder, Lookup), C.Expanded) << C.Folder;
}

TEST(FolderVariables, TheProcessEnvironmentIsLookedUp) {
  // PATH is defined wherever the tests run; a made-up name is not.
  EXPECT_NE(ExpandFolderVariables("%PATH%"), "%PATH%");
  EXPECT_EQ(ExpandFolderVariables("%LUMORA_NO_SUCH_VARIABLE_42%\\"),
            "%LUMORA_NO_SUCH_VARIABLE_42%\\");
}

}  // namespace
}  // namespace lumora
