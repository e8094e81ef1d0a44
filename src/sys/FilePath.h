#pragma once
// Paths as strings: joining a folder and a name, and the lengths the file
// system takes. Every path Lumora builds from a folder goes through JoinPath,
// so a folder typed without its separator can never glue onto the name.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora {

// Bytes a single name may have: 255 on the usual Linux file systems; on
// Windows 255 characters, which a name of 8-bit characters never exceeds
// when it has at most 255 bytes.
inline constexpr std::size_t MaxNameBytes = 255;

#ifdef _WIN32
// The A functions take paths of MAX_PATH characters, the terminating NUL
// included.
inline constexpr std::size_t MaxPathBytes = 259;
#endif

// Folder and Name with exactly the separator between them, added when Folder
// does not end in one. An empty folder gives Name alone (the current folder).
std::string JoinPath(std::string_view Folder, std::string_view Name);

// How many bytes a name may have in Folder: MaxNameBytes, and on Windows no
// more than leaves the joined path within MaxPathBytes (0 when the folder
// alone fills it).
std::size_t NameRoom(std::string_view Folder);

// The longest prefix of Text of at most Max bytes that ends between two
// characters: a UTF-8 sequence natively, a double-byte character of the code
// page on Windows, is never cut in two.
std::size_t CharacterPrefix(std::string_view Text, std::size_t Max);

}  // namespace lumora
