#include "ui/WindowHook.h"

#include <array>
#include <memory>
#include <mutex>
#include <utility>

#include "sys/LumoraError.h"
#include "ui/ErrorReport.h"

namespace lumora {
namespace {

// A fixed pool of distinct procedures, each reading its handler from a slot.
// No code is generated at run time; the pool is far larger than the few
// hooks a program holds at once.
constexpr int SlotCount = 64;

struct TSlots {
  std::mutex Lock;
  std::array<std::shared_ptr<TWindowHandler>, SlotCount> Handlers;
};

TSlots& Slots() {
  static TSlots* Instance = new TSlots;  // outlives every window
  return *Instance;
}

LRESULT Dispatch(int Slot, HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) noexcept {
  std::shared_ptr<TWindowHandler> Handler;
  {
    std::lock_guard<std::mutex> Guard(Slots().Lock);
    Handler = Slots().Handlers[static_cast<size_t>(Slot)];
  }
  if (!Handler) return DefWindowProcA(Window, Msg, WParam, LParam);
  LRESULT Result = 0;
  GuardCallback([&] { Result = (*Handler)(Window, Msg, WParam, LParam); });
  return Result;
}

template <int N>
LRESULT CALLBACK SlotProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return Dispatch(N, Window, Msg, WParam, LParam);
}

template <int... N>
constexpr std::array<WNDPROC, sizeof...(N)> MakeProcs(std::integer_sequence<int, N...>) {
  return {&SlotProc<N>...};
}

constexpr auto Procs = MakeProcs(std::make_integer_sequence<int, SlotCount>{});

}  // namespace

TBoundWindowProc::TBoundWindowProc(TWindowHandler Handler) {
  auto Shared = std::make_shared<TWindowHandler>(std::move(Handler));
  std::lock_guard<std::mutex> Guard(Slots().Lock);
  for (int I = 0; I < SlotCount; ++I) {
    if (!Slots().Handlers[static_cast<size_t>(I)]) {
      Slots().Handlers[static_cast<size_t>(I)] = std::move(Shared);
      FSlot = I;
      return;
    }
  }
  throw ELumoraError("Too many window procedures bound at once");
}

TBoundWindowProc::~TBoundWindowProc() {
  std::lock_guard<std::mutex> Guard(Slots().Lock);
  Slots().Handlers[static_cast<size_t>(FSlot)].reset();
}

WNDPROC TBoundWindowProc::Proc() const {
  return Procs[static_cast<size_t>(FSlot)];
}

void TBoundWindowProc::SetHandler(TWindowHandler Handler) {
  auto Shared = std::make_shared<TWindowHandler>(std::move(Handler));
  std::lock_guard<std::mutex> Guard(Slots().Lock);
  Slots().Handlers[static_cast<size_t>(FSlot)] = std::move(Shared);
}

void TWindowHook::Install(HWND Window, TWindowHandler Handler) {
  Remove();
  if (!Window) return;
  auto Bound = std::make_unique<TBoundWindowProc>(std::move(Handler));
  FSaved = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Window, GWLP_WNDPROC));
  SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Bound->Proc()));
  FWindow = Window;
  FBound = Bound.release();
}

void TWindowHook::Remove() {
  std::unique_ptr<TBoundWindowProc> Bound(FBound);
  const WNDPROC Saved = FSaved;
  if (FWindow && Saved && IsWindow(FWindow)) {
    const auto Current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FWindow, GWLP_WNDPROC));
    if (Bound && Current == Bound->Proc()) {
      SetWindowLongPtrA(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Saved));
    } else if (Bound) {
      // Putting Saved back would cut out whoever subclassed the window
      // after us; their saved procedure is ours, which must go on working.
      Bound->SetHandler([Saved](HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
        return CallWindowProcA(Saved, Window, Msg, WParam, LParam);
      });
      Bound.release();  // kept for the rest of the run
    }
  }
  FBound = nullptr;
  FWindow = nullptr;
  FSaved = nullptr;
}

LRESULT TWindowHook::CallSaved(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) const {
  if (!FSaved) return DefWindowProcA(Window, Msg, WParam, LParam);
  return CallWindowProcA(FSaved, Window, Msg, WParam, LParam);
}

}  // namespace lumora
