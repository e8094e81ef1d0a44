#pragma once
// Window procedures bound to objects. Windows calls a window procedure
// through a plain function pointer; TBoundWindowProc hands out such a pointer
// that reaches one particular handler, and TWindowHook uses one to subclass a
// window that someone else created (the application window, a form), keeping
// the procedure it replaced so that messages pass on and the window can be
// given back as it was.

#include <windows.h>

#include <functional>

namespace lumora {

using TWindowHandler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

class TBoundWindowProc {
 public:
  explicit TBoundWindowProc(TWindowHandler Handler);
  ~TBoundWindowProc();
  TBoundWindowProc(const TBoundWindowProc&) = delete;
  TBoundWindowProc& operator=(const TBoundWindowProc&) = delete;

  // A procedure Windows can call; it stays valid while this object lives.
  WNDPROC Proc() const;
  // What the procedure calls from now on.
  void SetHandler(TWindowHandler Handler);

 private:
  int FSlot;
};

class TWindowHook {
 public:
  TWindowHook() = default;
  ~TWindowHook() { Remove(); }
  TWindowHook(const TWindowHook&) = delete;
  TWindowHook& operator=(const TWindowHook&) = delete;

  // Puts Handler in front of Window's procedure. Handler passes messages on
  // with CallSaved. A hook already installed is removed first.
  void Install(HWND Window, TWindowHandler Handler);
  // Gives the window its saved procedure back, if the window still exists
  // and its procedure is still the hook's. When another hook went on top
  // since, it still calls the hook's procedure: that procedure then passes
  // every message straight on to the saved one, for the rest of the run.
  void Remove();

  bool Installed() const { return FWindow != nullptr; }
  HWND Window() const { return FWindow; }
  LRESULT CallSaved(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) const;

 private:
  HWND FWindow = nullptr;
  WNDPROC FSaved = nullptr;
  TBoundWindowProc* FBound = nullptr;
};

}  // namespace lumora
