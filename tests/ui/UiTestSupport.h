#pragma once
// Helpers for tests that run real windows under Wine: pumping messages
// while waiting, and catching message boxes before they block.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace lumora::test {

// Handles messages until Done() or the time is up; returns Done().
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 2000);
void PumpFor(int Milliseconds);

// A message box as the user would see it.
struct TCaughtBox {
  std::string Caption;
  std::string Text;
  HICON Icon = nullptr;  // the icon shown, as the box's icon control holds it
  int VisibleButtons = 0;
};

// While alive, every message box this thread opens is read and closed at
// once (through a CBT hook), and kept in Boxes.
class TMessageBoxCatcher {
 public:
  TMessageBoxCatcher();
  ~TMessageBoxCatcher();
  std::vector<TCaughtBox> Boxes;

 private:
  static LRESULT CALLBACK Hook(int Code, WPARAM WParam, LPARAM LParam);
  HHOOK FHook = nullptr;
};

// Sends a left click (press and release) at client point X, Y of Window.
void SendClick(HWND Window, int X, int Y);

}  // namespace lumora::test
