#include "grab/FolderVariables.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumora {

std::string ExpandFolderVariables(std::string_view Folder, const TVariableLookup& Lookup) {
  std::string Out;
  Out.reserve(Folder.size());
  std::size_t I = 0;
  while (I < Folder.size()) {
    const std::size_t Open = Folder.find('%', I);
    if (Open == std::string_view::npos) break;
    const std::size_t Close = Folder.find('%', Open + 1);
    if (Close == std::string_view::npos) break;
    Out.append(Folder.substr(I, Open - I));
    if (Close == Open + 1) {
      // "%%" names nothing: the first "%" is text, the second may open a
      // name ("100%%TEMP%").
      Out += '%';
      I = Close;
      continue;
    }
    const std::string Name(Folder.substr(Open + 1, Close - Open - 1));
    // An undefined name stays as written, both its signs included.
    if (const std::optional<std::string> Value = Lookup(Name))
      Out += *Value;
    else
      Out.append(Folder.substr(Open, Close + 1 - Open));
    I = Close + 1;
  }
  Out.append(Folder.substr(I));
  return Out;
}

namespace {

std::optional<std::string> Environment(const std::string& Name) {
#ifdef _WIN32
  char Small[MAX_PATH];
  SetLastError(ERROR_SUCCESS);
  DWORD N = GetEnvironmentVariableA(Name.c_str(), Small, sizeof Small);
  if (N == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  if (N < sizeof Small) return std::string(Small, N);
  std::string Big(N, '\0');
  N = GetEnvironmentVariableA(Name.c_str(), Big.data(), static_cast<DWORD>(Big.size()));
  if (N == 0 || N >= Big.size()) return std::nullopt;
  Big.resize(N);
  return Big;
#else
  const char* Value = std::getenv(Name.c_str());
  if (!Value) return std::nullopt;
  return std::string(Value);
#endif
}

}  // namespace

std::string ExpandFolderVariables(std::string_view Folder) {
  return ExpandFolderVariables(Folder, Environment);
}

}  // namespace lumora
