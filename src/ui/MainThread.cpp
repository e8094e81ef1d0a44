#include "ui/MainThread.h"

#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>
#include <utility>

#include "ui/ErrorReport.h"
#include "ui/UtilityWindow.h"

namespace lumora {
namespace {

constexpr UINT WakeMessage = WM_APP + 0x100;

struct TMainQueue {
  std::mutex Lock;
  std::deque<std::function<void()>> Calls;
  HWND Window = nullptr;  // read under Lock by other threads
  bool Closed = false;
  std::unique_ptr<TUtilityWindow> Owner;  // GUI thread only
};

// Never freed: worker threads may still queue while the program ends.
TMainQueue& Queue() {
  static auto* Instance = new TMainQueue;
  return *Instance;
}

}  // namespace

void InitMainThreadQueue() {
  TMainQueue& Q = Queue();
  if (Q.Owner) return;
  Q.Owner = std::make_unique<TUtilityWindow>([](TMessage& M) {
    if (M.Msg != WakeMessage) return false;
    RunMainThreadQueue();
    return true;
  });
  std::lock_guard<std::mutex> Guard(Q.Lock);
  Q.Window = Q.Owner->Handle();
  Q.Closed = false;
}

void QueueToMainThread(std::function<void()> Proc) {
  TMainQueue& Q = Queue();
  std::lock_guard<std::mutex> Guard(Q.Lock);
  if (Q.Closed || !Q.Window) return;
  const bool WasEmpty = Q.Calls.empty();
  Q.Calls.push_back(std::move(Proc));
  // One wake-up per batch: the GUI thread empties the whole queue.
  if (WasEmpty) PostMessageA(Q.Window, WakeMessage, 0, 0);
}

void RunMainThreadQueue() {
  TMainQueue& Q = Queue();
  for (;;) {
    std::function<void()> Call;
    {
      std::lock_guard<std::mutex> Guard(Q.Lock);
      if (Q.Calls.empty()) return;
      Call = std::move(Q.Calls.front());
      Q.Calls.pop_front();
    }
    GuardCallback(Call);
  }
}

void CloseMainThreadQueue() {
  TMainQueue& Q = Queue();
  {
    std::lock_guard<std::mutex> Guard(Q.Lock);
    Q.Closed = true;
    Q.Calls.clear();
    Q.Window = nullptr;
  }
  Q.Owner.reset();
}

}  // namespace lumora
