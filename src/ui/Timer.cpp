#include "ui/Timer.h"

#include <utility>

namespace lumora {

namespace {
constexpr UINT_PTR TimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Handler) {
  FOnTimer = std::move(Handler);
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (FRunning && FWindow) KillTimer(FWindow->Handle(), TimerId);
  FRunning = false;
  // An interval of 0 never ticks.
  if (!FEnabled || FInterval == 0 || !FOnTimer) return;
  if (!FWindow) {
    FWindow = std::make_unique<TUtilityWindow>([this](TMessage& M) {
      if (M.Msg != WM_TIMER) return false;
      Timer();
      return true;
    });
  }
  FRunning = SetTimer(FWindow->Handle(), TimerId, FInterval, nullptr) != 0;
}

void TTimer::Timer() {
  if (FEnabled && FOnTimer) FOnTimer(this);
}

}  // namespace lumora
