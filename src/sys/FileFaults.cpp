#include "sys/FileFaults.h"

#include <atomic>

namespace lumora {

namespace {

std::atomic<int> GRenameNoReplaceError{0};
std::atomic<int> GLinkError{0};
std::atomic<int> GSharingViolations{0};

}  // namespace

void SetFileFaults(const TFileFaults& Faults) {
  GRenameNoReplaceError = Faults.RenameNoReplaceError;
  GLinkError = Faults.LinkError;
  GSharingViolations = Faults.SharingViolations;
}

namespace FileFaults {

int RenameNoReplaceError() {
  return GRenameNoReplaceError.load(std::memory_order_relaxed);
}

int LinkError() {
  return GLinkError.load(std::memory_order_relaxed);
}

bool TakeSharingViolation() {
  int Left = GSharingViolations.load(std::memory_order_relaxed);
  while (Left > 0)
    if (GSharingViolations.compare_exchange_weak(Left, Left - 1)) return true;
  return false;
}

}  // namespace FileFaults

}  // namespace lumora
