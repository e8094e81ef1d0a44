#pragma once
// A timer component: OnTimer every Interval milliseconds while Enabled, on
// the GUI thread, through a hidden window of its own.

#include <memory>

#include "sys/Component.h"
#include "ui/UtilityWindow.h"

namespace lumora {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned Value);
  // Assigning the handler also (re)starts the timer when it is due to run.
  void SetOnTimer(TNotifyEvent Handler);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }

  // True while a system timer is actually set.
  bool Running() const { return FRunning; }

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();

  bool FEnabled = true;
  unsigned FInterval = 1000;
  TNotifyEvent FOnTimer;
  std::unique_ptr<TUtilityWindow> FWindow;
  bool FRunning = false;
};

}  // namespace lumora
