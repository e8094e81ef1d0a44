#include "sys/DetachedThread.h"

#include <memory>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace lumora {

namespace {

using TWork = std::function<void()>;

void RunQuietly(const TWork& Work) noexcept {
  try {
    Work();
  } catch (...) {
    // Nothing may escape a thread's start function.
  }
}

#ifdef _WIN32
unsigned __stdcall ThreadStart(void* Param) {
  std::unique_ptr<TWork> Work(static_cast<TWork*>(Param));
  RunQuietly(*Work);
  return 0;
}
#else
void* ThreadStart(void* Param) {
  std::unique_ptr<TWork> Work(static_cast<TWork*>(Param));
  RunQuietly(*Work);
  return nullptr;
}

// A thread's attributes, destroyed again whatever happens.
class TThreadAttributes {
 public:
  TThreadAttributes() { FOk = pthread_attr_init(&FAttr) == 0; }
  ~TThreadAttributes() {
    if (FOk) pthread_attr_destroy(&FAttr);
  }
  TThreadAttributes(const TThreadAttributes&) = delete;
  TThreadAttributes& operator=(const TThreadAttributes&) = delete;
  bool Ok() const { return FOk; }
  pthread_attr_t* Get() { return &FAttr; }

 private:
  pthread_attr_t FAttr{};
  bool FOk = false;
};
#endif

}  // namespace

bool StartDetachedThread(std::function<void()> Work) {
  try {
    auto Owned = std::make_unique<TWork>(std::move(Work));
#ifdef _WIN32
    // The CRT's own thread start: a detached std::thread of the MinGW
    // runtime now and then never began running here. The size is what the
    // thread reserves, not what it commits at once.
    const uintptr_t H =
        _beginthreadex(nullptr, static_cast<unsigned>(DetachedThreadStackSize), ThreadStart,
                       Owned.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (H == 0) return false;
    Owned.release();
    CloseHandle(reinterpret_cast<HANDLE>(H));
#else
    // std::thread takes the system's default stack, megabytes of it.
    TThreadAttributes Attr;
    if (!Attr.Ok() || pthread_attr_setstacksize(Attr.Get(), DetachedThreadStackSize) != 0 ||
        pthread_attr_setdetachstate(Attr.Get(), PTHREAD_CREATE_DETACHED) != 0)
      return false;
    pthread_t Thread;
    if (pthread_create(&Thread, Attr.Get(), ThreadStart, Owned.get()) != 0) return false;
    Owned.release();
#endif
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace lumora
