#include "sys/DetachedThread.h"

#include <memory>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <thread>
#endif

namespace lumora {

namespace {

void RunQuietly(const std::function<void()>& Work) noexcept {
  try {
    Work();
  } catch (...) {
    // Nothing may escape a thread's start function.
  }
}

#ifdef _WIN32
unsigned __stdcall ThreadStart(void* Param) {
  std::unique_ptr<std::function<void()>> Work(static_cast<std::function<void()>*>(Param));
  RunQuietly(*Work);
  return 0;
}
#endif

}  // namespace

bool StartDetachedThread(std::function<void()> Work) {
  try {
    auto Owned = std::make_unique<std::function<void()>>(std::move(Work));
#ifdef _WIN32
    // The CRT's own thread start: a detached std::thread of the MinGW
    // runtime now and then never began running here.
    const uintptr_t H = _beginthreadex(nullptr, 0, ThreadStart, Owned.get(), 0, nullptr);
    if (H == 0) return false;
    Owned.release();
    CloseHandle(reinterpret_cast<HANDLE>(H));
#else
    std::thread([W = std::move(Owned)] { RunQuietly(*W); }).detach();
#endif
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace lumora
