#pragma once
// Files and folders, with the program's own path separator: a backslash on
// Windows (the 8-bit A functions), '/' in the native build.

#include <cstddef>
#include <string>

namespace lumora {

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

bool DirectoryExists(const std::string& Path);
bool FileExists(const std::string& Path);  // a regular file, not a folder
bool CreateDir(const std::string& Path);   // one level; false when it could not be made

// A file created new, never over an existing one. Until Commit() succeeds the
// file is unfinished: destroying it, or a failed write, removes it again, so
// an interrupted save never leaves a partial file behind.
class TNewFile {
 public:
  enum class TCreateResult { Created, NameTaken, Failed };

  TNewFile() = default;
  TNewFile(const TNewFile&) = delete;
  TNewFile& operator=(const TNewFile&) = delete;
  TNewFile(TNewFile&& Other) noexcept;
  TNewFile& operator=(TNewFile&& Other) noexcept;
  ~TNewFile();

  // Creates Path exclusively. NameTaken when something of that name exists
  // (a file or a folder), Failed for any other refusal.
  TCreateResult Create(const std::string& Path);
  bool Write(const void* Data, std::size_t Size);  // all of it, or false
  bool Commit();                                   // closes the file and keeps it
  const std::string& Path() const { return FPath; }

 private:
  void Discard() noexcept;

#ifdef _WIN32
  using THandle = void*;  // HANDLE; INVALID_HANDLE_VALUE is never stored
  static constexpr THandle NoHandle = nullptr;
#else
  using THandle = int;
  static constexpr THandle NoHandle = -1;
#endif
  THandle FHandle = NoHandle;
  std::string FPath;
};

}  // namespace lumora
