#pragma once
// A hidden window of our own that receives messages for a non-visual object:
// timer ticks, notification-area callbacks, menu commands.

#include <windows.h>

#include <functional>

#include "ui/Messages.h"

namespace lumora {

class TUtilityWindow {
 public:
  // Handler returns true when it handled the message (and set its Result);
  // anything else gets the default window procedure.
  using THandler = std::function<bool(TMessage&)>;

  explicit TUtilityWindow(THandler Handler);
  ~TUtilityWindow();
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;

  HWND Handle() const { return FHandle; }

 private:
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

  THandler FHandler;
  HWND FHandle = nullptr;
};

}  // namespace lumora
