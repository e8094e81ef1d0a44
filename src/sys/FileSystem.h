#pragma once
// Files and folders, with the program's own path separator: a backslash on
// Windows (the 8-bit A functions), '/' in the native build.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora {

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

bool DirectoryExists(const std::string& Path);
bool FileExists(const std::string& Path);  // a regular file, not a folder
bool CreateDir(const std::string& Path);   // one level; false when it could not be made

// Why a file could not be created or written, in the terms a person acts on.
enum class TFileError {
  None,
  AccessDenied,  // no right to write there, or a read-only drive
  NoFolder,      // the folder is missing, or a part of its path is a file
  DiskFull,
  Other,
};
// Short and lower-case, to follow "could not save into FOLDER: ":
// "access denied", "the folder does not exist", "the disk is full",
// "it cannot be written".
const char* FileErrorText(TFileError Error);

// True when Name is exactly "~lumora<process>-<n>.tmp" as CreateTemporary
// makes it (decimal numbers, the process number above 0); Process then
// holds that number.
bool IsTemporaryName(std::string_view Name, unsigned long& Process);
// False only when no process of that number runs any more. Where that cannot
// be told (another user's process, say), it counts as running.
bool IsProcessRunning(unsigned long Process);
// Removes the files of Folder (ending with the separator) named as
// CreateTemporary names them whose process has ended: the pieces of pictures
// that a run cut off when it was killed. Nothing else is touched, neither a
// folder nor a file of a running process. Gives how many were removed.
unsigned RemoveStaleTemporaries(const std::string& Folder);

// A file created new, never over an existing one. Until Commit() or CommitAs()
// succeeds the file is unfinished: destroying it, or a failed write, removes
// it again, so an interrupted save never leaves a partial file behind.
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
  // Creates a file of a new temporary name in Folder (with or without the
  // separator at its end): "~lumora<process>-<n>.tmp", a name no picture
  // type ends in.
  // It is meant to get its real name with CommitAs once it is complete.
  bool CreateTemporary(const std::string& Folder);
  bool Write(const void* Data, std::size_t Size);  // all of it, or false
  bool Commit();                                   // closes the file and keeps it
  // Closes the file and gives it the name Path in the same folder, never
  // replacing anything there. Created: the file is finished under Path.
  // NameTaken: something of that name exists; the file stays unfinished
  // under its own name, ready for another. Failed: the file is removed.
  TCreateResult CommitAs(const std::string& Path);
  // Makes the data durable, closes the file and puts it in place of Path in
  // one step, replacing a file of that name. False when that fails: the file
  // is removed and Path is left as it was.
  bool CommitReplacing(const std::string& Path);
  const std::string& Path() const { return FPath; }  // empty once finished or removed
  // Why the last Create, CreateTemporary or Write that failed did; a Create
  // that succeeds sets it back to None.
  TFileError LastError() const { return FLastError; }

 private:
  void Discard() noexcept;  // closes the file if open and removes it if unfinished
  bool Close() noexcept;    // false when the data may not have reached the file
  bool Flush() noexcept;    // the data on the disk, not only in the system's cache

#ifdef _WIN32
  using THandle = void*;  // HANDLE; INVALID_HANDLE_VALUE is never stored
  static constexpr THandle NoHandle = nullptr;
#else
  using THandle = int;
  static constexpr THandle NoHandle = -1;
#endif
  THandle FHandle = NoHandle;
  std::string FPath;
  TFileError FLastError = TFileError::None;
};

// Replaces the whole content of the file Path with Data, the safe way: Data
// is written to a temporary file beside it, which then takes the name in one
// step. False when anything fails (the folder is missing, the file is
// read-only, the disk is full); Path then holds exactly what it held before
// and no temporary file is left. Creates Path when it does not exist.
bool ReplaceFileContents(const std::string& Path, std::string_view Data);

}  // namespace lumora
