#include "sys/FilePath.h"

#include "sys/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumora {

std::string JoinPath(std::string_view Folder, std::string_view Name) {
  std::string Path;
  Path.reserve(Folder.size() + 1 + Name.size());
  Path.append(Folder);
  if (!Path.empty() && Path.back() != PathDelim) Path += PathDelim;
  Path.append(Name);
  return Path;
}

std::size_t NameRoom(std::string_view Folder) {
#ifdef _WIN32
  const std::size_t Used = JoinPath(Folder, {}).size();
  if (Used >= MaxPathBytes) return 0;
  return MaxPathBytes - Used < MaxNameBytes ? MaxPathBytes - Used : MaxNameBytes;
#else
  (void)Folder;
  return MaxNameBytes;
#endif
}

std::size_t CharacterPrefix(std::string_view Text, std::size_t Max) {
  if (Text.size() <= Max) return Text.size();
#ifdef _WIN32
  // Walked from the start: a trail byte of the code page may look like a
  // lead byte, so only the characters before it tell where it stands.
  std::size_t End = 0;
  while (End < Max) {
    const std::size_t Width = IsDBCSLeadByte(static_cast<BYTE>(Text[End])) ? 2 : 1;
    if (End + Width > Max) break;
    End += Width;
  }
  return End;
#else
  std::size_t End = Max;
  // Back over the continuation bytes (10xxxxxx) of the character cut at Max.
  while (End > 0 && (static_cast<unsigned char>(Text[End]) & 0xC0) == 0x80) --End;
  return End;
#endif
}

}  // namespace lumora
