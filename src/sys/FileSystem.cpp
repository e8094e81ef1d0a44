#include "sys/FileSystem.h"

#include <atomic>
#include <memory>
#include <utility>

#include "sys/FileFaults.h"
#include "sys/FilePath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>  // renameat2
#endif

namespace lumora {

#ifdef _WIN32

bool DirectoryExists(const std::string& Path) {
  const DWORD Attr = GetFileAttributesA(Path.c_str());
  return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& Path) {
  const DWORD Attr = GetFileAttributesA(Path.c_str());
  return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CreateDir(const std::string& Path) {
  return CreateDirectoryA(Path.c_str(), nullptr) != 0;
}

namespace {

TFileError FileErrorOf(DWORD Err) {
  switch (Err) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
      return TFileError::AccessDenied;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return TFileError::NoFolder;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return TFileError::DiskFull;
    default:
      return TFileError::Other;
  }
}

}  // namespace

TNewFile::TCreateResult TNewFile::Create(const std::string& Path) {
  Discard();
  std::string Name = Path;  // copied first: once the file exists, nothing may throw
  HANDLE H = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (H == INVALID_HANDLE_VALUE) {
    const DWORD Err = GetLastError();
    if (Err == ERROR_FILE_EXISTS || Err == ERROR_ALREADY_EXISTS) return TCreateResult::NameTaken;
    // A folder of that name refuses with "access denied"; it still takes the name.
    if (Err == ERROR_ACCESS_DENIED && DirectoryExists(Path)) return TCreateResult::NameTaken;
    FLastError = FileErrorOf(Err);
    return TCreateResult::Failed;
  }
  FLastError = TFileError::None;
  FHandle = H;
  FPath = std::move(Name);
  return TCreateResult::Created;
}

bool TNewFile::Write(const void* Data, std::size_t Size) {
  if (FHandle == NoHandle) return false;
  const char* P = static_cast<const char*>(Data);
  while (Size > 0) {
    const DWORD Chunk = Size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(Size);
    DWORD Written = 0;
    if (!WriteFile(FHandle, P, Chunk, &Written, nullptr) || Written == 0) {
      // Before the removal, which sets an error of its own.
      FLastError = FileErrorOf(GetLastError());
      Discard();
      return false;
    }
    P += Written;
    Size -= Written;
  }
  return true;
}

bool TNewFile::Close() noexcept {
  if (FHandle == NoHandle) return true;
  const bool Ok = CloseHandle(FHandle) != 0;
  FHandle = NoHandle;
  return Ok;
}

void TNewFile::Discard() noexcept {
  Close();
  if (FPath.empty()) return;
  DeleteFileA(FPath.c_str());
  FPath.clear();
}

namespace {

unsigned long ProcessId() {
  return GetCurrentProcessId();
}

BOOL MoveFileNoReplace(const std::string& From, const std::string& To) {
  if (FileFaults::TakeSharingViolation()) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  }
  return MoveFileExA(From.c_str(), To.c_str(), 0);
}

// A virus scanner or an indexer opens a file as soon as it is closed and
// holds it a moment; the move refuses with a sharing violation meanwhile.
// Retried for about a second, so the picture is not thrown away for it.
constexpr int SharingRetries = 10;
constexpr DWORD SharingRetryMs = 100;

// Without MOVEFILE_REPLACE_EXISTING an existing name refuses the move.
TNewFile::TCreateResult RenameNoReplace(const std::string& From, const std::string& To) {
  BOOL Moved = MoveFileNoReplace(From, To);
  for (int Retry = 0; !Moved && GetLastError() == ERROR_SHARING_VIOLATION && Retry < SharingRetries;
       ++Retry) {
    Sleep(SharingRetryMs);
    Moved = MoveFileNoReplace(From, To);
  }
  if (Moved) return TNewFile::TCreateResult::Created;
  const DWORD Err = GetLastError();
  if (Err == ERROR_ALREADY_EXISTS || Err == ERROR_FILE_EXISTS)
    return TNewFile::TCreateResult::NameTaken;
  // A folder of that name may refuse with "access denied"; it still takes the name.
  if (Err == ERROR_ACCESS_DENIED && (DirectoryExists(To) || FileExists(To)))
    return TNewFile::TCreateResult::NameTaken;
  return TNewFile::TCreateResult::Failed;
}

// A read-only file refuses to be replaced, as it refuses to be written.
// Windows' own move refuses it; Wine's does not, so it is checked first.
bool RenameReplacing(const std::string& From, const std::string& To) {
  const DWORD Attr = GetFileAttributesA(To.c_str());
  if (Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_READONLY) != 0) return false;
  return MoveFileExA(From.c_str(), To.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string FolderOf(const std::string& Path) {
  const auto Slash = Path.find_last_of("\\/:");
  return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

}  // namespace

bool IsProcessRunning(unsigned long Process) {
  // SYNCHRONIZE to ask whether it has ended; an exit code of 259 would
  // pass for STILL_ACTIVE.
  HANDLE H = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                         static_cast<DWORD>(Process));
  if (!H) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  const DWORD Wait = WaitForSingleObject(H, 0);
  CloseHandle(H);
  return Wait != WAIT_OBJECT_0;
}

unsigned RemoveStaleTemporaries(const std::string& Folder) {
  WIN32_FIND_DATAA Found;
  HANDLE Search = FindFirstFileA((Folder + "~lumora*.tmp").c_str(), &Found);
  if (Search == INVALID_HANDLE_VALUE) return 0;
  const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> Closer(Search, FindClose);
  unsigned Removed = 0;
  do {
    // The pattern also matches short (8.3) names; the long name decides.
    unsigned long Process = 0;
    if (Found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    if (!IsTemporaryName(Found.cFileName, Process) || IsProcessRunning(Process)) continue;
    if (DeleteFileA((Folder + Found.cFileName).c_str())) ++Removed;
  } while (FindNextFileA(Search, &Found));
  return Removed;
}

bool TNewFile::Flush() noexcept {
  return FHandle != NoHandle && FlushFileBuffers(FHandle) != 0;
}

#else

bool DirectoryExists(const std::string& Path) {
  struct stat St {};
  return stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

bool FileExists(const std::string& Path) {
  struct stat St {};
  return stat(Path.c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

bool CreateDir(const std::string& Path) {
  return mkdir(Path.c_str(), 0777) == 0;
}

namespace {

TFileError FileErrorOf(int Err) {
  switch (Err) {
    case EACCES:
    case EPERM:
    case EROFS:
      return TFileError::AccessDenied;
    case ENOENT:
    case ENOTDIR:
      return TFileError::NoFolder;
    case ENOSPC:
    case EDQUOT:
      return TFileError::DiskFull;
    default:
      return TFileError::Other;
  }
}

}  // namespace

TNewFile::TCreateResult TNewFile::Create(const std::string& Path) {
  Discard();
  std::string Name = Path;  // copied first: once the file exists, nothing may throw
  const int Fd = open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (Fd < 0) {
    if (errno == EEXIST) return TCreateResult::NameTaken;
    FLastError = FileErrorOf(errno);
    return TCreateResult::Failed;
  }
  FLastError = TFileError::None;
  FHandle = Fd;
  FPath = std::move(Name);
  return TCreateResult::Created;
}

bool TNewFile::Write(const void* Data, std::size_t Size) {
  if (FHandle == NoHandle) return false;
  const char* P = static_cast<const char*>(Data);
  while (Size > 0) {
    const ssize_t Written = write(FHandle, P, Size);
    if (Written < 0 && errno == EINTR) continue;
    if (Written <= 0) {
      // A write of nothing at all says no more than that the disk is full.
      FLastError = FileErrorOf(Written < 0 ? errno : ENOSPC);
      Discard();
      return false;
    }
    P += Written;
    Size -= static_cast<std::size_t>(Written);
  }
  return true;
}

bool TNewFile::Close() noexcept {
  if (FHandle == NoHandle) return true;
  const bool Ok = close(FHandle) == 0;
  FHandle = NoHandle;
  return Ok;
}

void TNewFile::Discard() noexcept {
  Close();
  if (FPath.empty()) return;
  unlink(FPath.c_str());
  FPath.clear();
}

namespace {

unsigned long ProcessId() {
  // Once: every picture's temporary name needs it, and it is a system call.
  static const auto Id = static_cast<unsigned long>(getpid());
  return Id;
}

// The system calls, or the fault a test asked for.
int RenameAt2NoReplace(const std::string& From, const std::string& To) {
  if (const int E = FileFaults::RenameNoReplaceError()) {
    errno = E;
    return -1;
  }
  return renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE);
}

int Link(const std::string& From, const std::string& To) {
  if (const int E = FileFaults::LinkError()) {
    errno = E;
    return -1;
  }
  return link(From.c_str(), To.c_str());
}

// Neither a rename that refuses to replace nor a link (an SMB mount): the
// final name is taken by an empty file created exclusively, which makes it
// ours, and the finished file then replaces that placeholder.
TNewFile::TCreateResult RenameOverPlaceholder(const std::string& From, const std::string& To) {
  const int Fd = open(To.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (Fd < 0)
    return errno == EEXIST ? TNewFile::TCreateResult::NameTaken : TNewFile::TCreateResult::Failed;
  close(Fd);
  if (rename(From.c_str(), To.c_str()) == 0) return TNewFile::TCreateResult::Created;
  unlink(To.c_str());
  return TNewFile::TCreateResult::Failed;
}

TNewFile::TCreateResult RenameNoReplace(const std::string& From, const std::string& To) {
  if (RenameAt2NoReplace(From, To) == 0) return TNewFile::TCreateResult::Created;
  if (errno == EEXIST) return TNewFile::TCreateResult::NameTaken;
  if (errno != EINVAL && errno != ENOSYS) return TNewFile::TCreateResult::Failed;
  // A file system without that kind of rename: a new link never replaces either.
  if (Link(From, To) == 0) {
    unlink(From.c_str());
    return TNewFile::TCreateResult::Created;
  }
  if (errno == EEXIST) return TNewFile::TCreateResult::NameTaken;
  return RenameOverPlaceholder(From, To);
}

std::string FolderOf(const std::string& Path) {
  const auto Slash = Path.rfind('/');
  return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

bool RenameReplacing(const std::string& From, const std::string& To) {
  // A rename replaces whatever the folder allows, a read-only file too; it
  // is refused here as the write it stands for would be.
  if (access(To.c_str(), F_OK) == 0 && access(To.c_str(), W_OK) != 0) return false;
  if (rename(From.c_str(), To.c_str()) != 0) return false;
  // The new name is durable once the folder is.
  const std::string Folder = FolderOf(To);
  const int Dir = open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Dir >= 0) {
    fsync(Dir);
    close(Dir);
  }
  return true;
}

}  // namespace

bool IsProcessRunning(unsigned long Process) {
  // Signal 0 only asks; EPERM means it runs under another user. A number
  // beyond pid_t is none of ours, and never 0 or -1, which mean groups.
  if (Process == 0 || Process > 0x7FFFFFFFul) return true;
  return kill(static_cast<pid_t>(Process), 0) == 0 || errno != ESRCH;
}

unsigned RemoveStaleTemporaries(const std::string& Folder) {
  const std::unique_ptr<DIR, int (*)(DIR*)> Dir(opendir(Folder.empty() ? "." : Folder.c_str()),
                                                closedir);
  if (!Dir) return 0;
  unsigned Removed = 0;
  while (const dirent* E = readdir(Dir.get())) {
    unsigned long Process = 0;
    if (!IsTemporaryName(E->d_name, Process)) continue;
    // Only a plain file: a link of that name is left alone, whatever it points to.
    struct stat St {};
    if (fstatat(dirfd(Dir.get()), E->d_name, &St, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(St.st_mode) || IsProcessRunning(Process))
      continue;
    if (unlinkat(dirfd(Dir.get()), E->d_name, 0) == 0) ++Removed;
  }
  return Removed;
}

bool TNewFile::Flush() noexcept {
  return FHandle != NoHandle && fsync(FHandle) == 0;
}

#endif

bool IsTemporaryName(std::string_view Name, unsigned long& Process) {
  constexpr std::string_view Head = "~lumora", Tail = ".tmp";
  if (Name.size() <= Head.size() + Tail.size() || Name.substr(0, Head.size()) != Head ||
      Name.substr(Name.size() - Tail.size()) != Tail)
    return false;
  const std::string_view Numbers =
      Name.substr(Head.size(), Name.size() - Head.size() - Tail.size());
  const auto Dash = Numbers.find('-');
  if (Dash == std::string_view::npos) return false;
  // Decimal numbers of 32 bits, as the two numbers are made.
  const auto Decimal = [](std::string_view D, unsigned long& Value) {
    if (D.empty() || D.size() > 10) return false;
    unsigned long long V = 0;
    for (const char C : D) {
      if (C < '0' || C > '9') return false;
      V = V * 10 + static_cast<unsigned long long>(C - '0');
    }
    if (V > 0xFFFFFFFFull) return false;
    Value = static_cast<unsigned long>(V);
    return true;
  };
  unsigned long Id = 0, Count = 0;
  if (!Decimal(Numbers.substr(0, Dash), Id) || !Decimal(Numbers.substr(Dash + 1), Count) || Id == 0)
    return false;
  Process = Id;
  return true;
}

bool TNewFile::Commit() {
  if (FPath.empty()) return false;
  if (!Close()) {
    Discard();
    return false;
  }
  FPath.clear();
  return true;
}

bool TNewFile::CreateTemporary(const std::string& Folder) {
  static std::atomic<unsigned> Counter{0};
  const std::string Stem = JoinPath(Folder, "~lumora" + std::to_string(ProcessId()) + "-");
  // Another file may hold a name, left over from an earlier run of a process
  // of the same number: the next number is tried.
  for (int Tries = 0; Tries < 100; ++Tries) {
    const auto Created = Create(Stem + std::to_string(Counter++) + ".tmp");
    if (Created != TCreateResult::NameTaken) return Created == TCreateResult::Created;
  }
  FLastError = TFileError::Other;
  return false;
}

const char* FileErrorText(TFileError Error) {
  switch (Error) {
    case TFileError::None:
      return "no error";
    case TFileError::AccessDenied:
      return "access denied";
    case TFileError::NoFolder:
      return "the folder does not exist";
    case TFileError::DiskFull:
      return "the disk is full";
    case TFileError::Other:
      break;
  }
  return "it cannot be written";
}

TNewFile::TCreateResult TNewFile::CommitAs(const std::string& Path) {
  if (FPath.empty()) return TCreateResult::Failed;
  if (!Close()) {
    Discard();
    return TCreateResult::Failed;
  }
  const auto Renamed = RenameNoReplace(FPath, Path);
  if (Renamed == TCreateResult::Created)
    FPath.clear();
  else if (Renamed == TCreateResult::Failed)
    Discard();
  return Renamed;
}

bool TNewFile::CommitReplacing(const std::string& Path) {
  if (FPath.empty()) return false;
  if (!Flush() || !Close() || !RenameReplacing(FPath, Path)) {
    Discard();
    return false;
  }
  FPath.clear();
  return true;
}

bool ReplaceFileContents(const std::string& Path, std::string_view Data) {
  TNewFile F;
  return F.CreateTemporary(FolderOf(Path)) && F.Write(Data.data(), Data.size()) &&
         F.CommitReplacing(Path);
}

TNewFile::TNewFile(TNewFile&& Other) noexcept
    : FHandle(std::exchange(Other.FHandle, NoHandle)),
      FPath(std::move(Other.FPath)),
      FLastError(Other.FLastError) {}

TNewFile& TNewFile::operator=(TNewFile&& Other) noexcept {
  if (this != &Other) {
    Discard();
    FHandle = std::exchange(Other.FHandle, NoHandle);
    FPath = std::move(Other.FPath);
    FLastError = Other.FLastError;
  }
  return *this;
}

TNewFile::~TNewFile() {
  Discard();
}

}  // namespace lumora
