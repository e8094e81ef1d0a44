#include "sys/DetachedThread.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>

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
  MEMORY_BASIC_INFORMATION M{};
  VirtualQuery(&M, &M, sizeof M);
  const auto* Tib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
  return static_cast<std::size_t>(static_cast<const char*>(Tib->StackBase) -
                                  static_cast<const char*>(M.AllocationBase));
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

// Grab jobs and download workers are these threads: many of them must fit
// into a 32-bit address space, where the default stacks (megabytes each)
// would use it up.
TEST(DetachedThread, ReservesASmallStack) {
  auto Reserved = std::make_shared<std::promise<std::size_t>>();
  auto Size = Reserved->get_future();
  ASSERT_TRUE(StartDetachedThread([Reserved] { Reserved->set_value(ReservedStack()); }));
  const std::size_t Got = Size.get();
  EXPECT_GE(Got, DetachedThreadStackSize / 2);
  EXPECT_LE(Got, DetachedThreadStackSize + 64 * 1024 + SanitizerRoom);
}

}  // namespace
}  // namespace lumora
