#include "sys/DetachedThread.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

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

// How many of these threads are alive, for a program that must not end
// under them. Never freed: threads may outlive main.
struct TLiveThreads {
  std::mutex Lock;
  std::condition_variable None;
  unsigned Count = 0;
};

TLiveThreads& LiveThreads() {
  static TLiveThreads* const Live = new TLiveThreads;
  return *Live;
}

void CountStart() {
  TLiveThreads& L = LiveThreads();
  std::lock_guard Guard(L.Lock);
  ++L.Count;
}

void CountEnd() noexcept {
  TLiveThreads& L = LiveThreads();
  std::lock_guard Guard(L.Lock);
  if (--L.Count == 0) L.None.notify_all();
}

// Runs the work and frees it, then counts the thread out: what is left of
// it after that is the return into the system's thread exit.
void RunAndEnd(TWork* Param) noexcept {
  {
    std::unique_ptr<TWork> Work(Param);
    RunQuietly(*Work);
  }
  CountEnd();
}

#ifdef _WIN32
unsigned __stdcall ThreadStart(void* Param) {
  RunAndEnd(static_cast<TWork*>(Param));
  return 0;
}
#else
void* ThreadStart(void* Param) {
  RunAndEnd(static_cast<TWork*>(Param));
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

struct TStartFaults {
  std::mutex Lock;
  unsigned Succeed = 0, Fail = 0;
};

TStartFaults& StartFaults() {
  static TStartFaults* const Faults = new TStartFaults;  // never freed: threads may outlive main
  return *Faults;
}

std::atomic<bool> GStartFaultsSet{false};

// True when a test asked for this start to fail.
bool StartRefused() {
  if (!GStartFaultsSet.load(std::memory_order_acquire)) return false;
  TStartFaults& F = StartFaults();
  std::lock_guard Guard(F.Lock);
  if (F.Succeed > 0) {
    --F.Succeed;
    return false;
  }
  if (F.Fail == 0) return false;
  --F.Fail;
  return true;
}

}  // namespace

void SetThreadStartFaults(unsigned Succeed, unsigned Fail) {
  TStartFaults& F = StartFaults();
  std::lock_guard Guard(F.Lock);
  F.Succeed = Succeed;
  F.Fail = Fail;
  GStartFaultsSet.store(Fail > 0, std::memory_order_release);
}

bool StartDetachedThread(std::function<void()> Work) {
  if (StartRefused()) return false;
  try {
    auto Owned = std::make_unique<TWork>(std::move(Work));
    // Counted in before the thread exists, so a wait never misses one that
    // has not begun yet; counted out again if it never will.
    CountStart();
    struct TUncount {
      bool Armed = true;
      ~TUncount() {
        if (Armed) CountEnd();
      }
    } Uncount;
#ifdef _WIN32
    // The CRT's own thread start: a detached std::thread of the MinGW
    // runtime now and then never began running here. The size is what the
    // thread reserves, not what it commits at once.
    const uintptr_t H =
        _beginthreadex(nullptr, static_cast<unsigned>(DetachedThreadStackSize), ThreadStart,
                       Owned.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (H == 0) return false;
    Owned.release();
    Uncount.Armed = false;
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
    Uncount.Armed = false;
#endif
    return true;
  } catch (...) {
    return false;
  }
}

bool WaitForDetachedThreads(std::chrono::milliseconds Limit) {
  TLiveThreads& L = LiveThreads();
  std::unique_lock Guard(L.Lock);
  return L.None.wait_for(Guard, Limit, [&L] { return L.Count == 0; });
}

}  // namespace lumora
