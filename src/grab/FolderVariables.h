#pragma once
// The save folder line of a settings file may name environment variables as
// %NAME%, so that one supplied file fits every user, e.g.
// "%USERPROFILE%\Pictures\Lumora\". A %NAME% is replaced only when NAME is a
// defined variable; anything else stays as it stands, so a real folder
// whose name holds "%" is read as before: a lone "%", an undefined %NAME%
// (kept whole, the text after it read afresh) and "%%", whose second sign
// may open a name. One pass: text a variable brings in is not looked at
// again.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// The value of a variable, or nothing when it is not defined.
using TVariableLookup = std::function<std::optional<std::string>(const std::string& Name)>;

std::string ExpandFolderVariables(std::string_view Folder, const TVariableLookup& Lookup);

// The same with the process's environment (names without regard to case on
// Windows, as the system treats them).
std::string ExpandFolderVariables(std::string_view Folder);

}  // namespace lumora
