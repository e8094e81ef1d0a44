#pragma once
// Faults the file layer meets on demand, for tests: a file system that can
// neither rename without replacing nor link (an SMB mount), or a virus
// scanner that holds a just-closed file open, cannot be had when a test asks.
// Nothing is set in a normal run; each check is one atomic load.

namespace lumora {

struct TFileFaults {
  // Natively: every renameat2(RENAME_NOREPLACE) fails with this errno (0: none).
  int RenameNoReplaceError = 0;
  // Natively: every link fails with this errno (0: none).
  int LinkError = 0;
  // Windows: so many moves fail with ERROR_SHARING_VIOLATION before one runs.
  int SharingViolations = 0;
};

// Replaces the faults; a default TFileFaults clears them.
void SetFileFaults(const TFileFaults& Faults);

namespace FileFaults {
int RenameNoReplaceError();
int LinkError();
bool TakeSharingViolation();  // true while sharing violations are left, counting one down
}  // namespace FileFaults

}  // namespace lumora
