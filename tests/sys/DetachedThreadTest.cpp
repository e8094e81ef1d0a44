#include "sys/DetachedThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace lumora {
namespace {

// The stack the calling thread has reserved, as the system sees it.
std::size_t ReservedStack() {
#ifdef _WIN32
  // The stack is one reservation: the regions that share its base.
  MEMORY_BASIC_INFORMATION M{};
  if (!VirtualQuery(&M, &M, sizeof M)) return 0;
  const char* const Base = static_cast<const char*>(M.AllocationBase);
  std::size_t Size = 0;
  for (const char* P = Base; VirtualQuery(P, &M, sizeof M) && M.AllocationBase == Base;
       P += M.RegionSize)
    Size += M.RegionSize;
  return Size;
#else
  pthread_attr_t Attr;
  if (pthread_getattr_np(pthread_self(), &Attr) != 0) return 0;
  void* Low = nullptr;
  std::size_t Size = 0;
  pthread_attr_getstack(&Attr, &Low, &Size);
  pthread_attr_destroy(&Attr);
  return Size;
#endif
}

// ThreadSanitizer enlarges a small stack by the room its own thread state
// takes there.
#ifdef __SANITIZE_THREAD__
constexpr std::size_t SanitizerRoom = std::size_t{1} << 20;
#else
constexpr std::size_t SanitizerRoom = 0;
#endif

// Wine reserves no thread stack below 1 MiB, whatever is asked for: still
// half of what a thread of these programs gets by default.
std::size_t SystemFloor() {
#ifdef _WIN32
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return 1u << 20;
#endif
  return 0;
}

// Grab jobs and download workers are these threads: many of them must fit
// into a 32-bit address space, where the default stacks (megabytes each)
// would use it up.
TEST(DetachedThread, ReservesASmallStack) {
  auto Reserved = std::make_shared<std::promise<std::size_t>>();
  auto Size = Reserved->get_future();
  ASSERT_TRUE(StartDetachedThread([Reserved] { Reserved->set_value(ReservedStack()); }));
  const std::size_t Got = Size.get();
  EXPECT_GE(Got, DetachedThreadStackSize / 2);
  EXPECT_LE(Got, std::max(DetachedThreadStackSize + 64 * 1024, SystemFloor()) + SanitizerRoom);
}

// The command-line tools wait for these threads before they end: the wait
// must not return while a thread still holds its work (and so the parts the
// work shares), and must not wait for a start the system refused.
TEST(DetachedThread, AWaitEndsOnlyOnceEveryThreadFreedItsWork) {
  struct TMarker {
    std::atomic<bool>* Freed;
    ~TMarker() {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a slow clean-up
      Freed->store(true);
    }
  };
  std::atomic<bool> Freed{false};
  std::promise<void> Go;
  auto Started = Go.get_future().share();
  auto Marker = std::make_shared<TMarker>(TMarker{&Freed});
  ASSERT_TRUE(StartDetachedThread([Marker, Started] { Started.wait(); }));
  Marker.reset();  // the thread's work holds the last one

  EXPECT_FALSE(WaitForDetachedThreads(std::chrono::milliseconds(50)));  // still waiting on Go
  Go.set_value();
  EXPECT_TRUE(WaitForDetachedThreads(std::chrono::seconds(20)));
  EXPECT_TRUE(Freed.load());

  SetThreadStartFaults(0, 1);
  EXPECT_FALSE(StartDetachedThread([] {}));
  SetThreadStartFaults(0, 0);
  EXPECT_TRUE(WaitForDetachedThreads(std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace lumora
