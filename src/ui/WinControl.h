#pragma once
// Windowed controls: a TControl with a window of its own. The object is
// bound to its window at WM_NCCREATE and unbound at WM_NCDESTROY, so a
// message never reaches a half-built or freed object. A window can be
// destroyed and made anew (RecreateWnd) while the object and its children
// stay: they keep their properties in fields and get new windows.
//
// A control may wrap a system window class (the edit, the push button): the
// layer registers a class of its own that starts from the system one and
// sends the messages it does not handle to the system procedure.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Control.h"

namespace lumora {

struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  UINT ClassStyle = 0;
  std::string WinClassName;
  // A system class to start from ("EDIT", "BUTTON"), or empty.
  std::string SysClassName;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  HWND SurfaceWindow(POINT& ClientOrigin) const override;
  bool MouseCapture() const override;
  void SetMouseCapture(bool Value) override;
  void BringToFront() override;

  // The window, created on first use (the parents' windows first).
  HWND Handle();
  HWND WindowHandle() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the window and creates it again from the current properties.
  void RecreateWnd();
  // Destroys the window (and its children's); the object stays.
  void DestroyHandle();

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
  // The visible child at a client point, topmost first; windowless children
  // only unless AllowWindowed. Disabled ones only when AllowDisabled.
  TControl* ControlAtPos(POINT ClientPoint, bool AllowDisabled, bool AllowWindowed = false) const;
  // A query: offers Message to the children in turn until one answers with
  // a non-zero Result, which is left in Message.
  void Broadcast(TMessage& Message);
  // A notice: every child gets it, whatever any of them answers (a new
  // parent colour or font, a system colour change, a group change).
  void NotifyControls(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  // The windowed children in tab order.
  std::vector<TWinControl*> TabList() const;
  // The next (or previous) control after Current that can take the focus,
  // searching the whole tree below this control.
  TWinControl* FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop) const;

  bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  RECT ClientRect() const override;
  POINT ClientOrigin() const override;
  void SetVisible(bool Value) override;
  void SetEnabled(bool Value) override;
  std::string Text() const override;

  void Invalidate() override;
  void Update() override;

  void WndProc(TMessage& Message) override;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  // Called once the window exists (children's windows included).
  virtual void CreateHandleDone() {}
  void CreateHandle();
  void UpdateHintTool() override;
  void ShowHintChanged() override;
  void StoreText(const std::string& Value) override;
  void DefaultHandler(TMessage& Message) override;
  // Paints the windowless children over what the control painted itself.
  void PaintControls(HDC DC);
  // WM_PAINT: the control's own painting, on DC (given, or from BeginPaint).
  virtual void PaintWindow(HDC DC);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();

  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);
  // Moves a child to the top of its siblings.
  void MoveToFront(TControl* Control);
  friend class TControl;

  bool FTabStop = false;
  // While true, WM_PAINT and WM_ERASEBKGND go to the class's own procedure
  // (system classes paint themselves).
  bool FSystemPaint = false;

 private:
  static LRESULT CALLBACK InitWndProc(HWND, UINT, WPARAM, LPARAM);
  void RouteMouse(TMessage& Message);
  void PaintHandler(TMessage& Message);
  void UpdateMouseControl(TControl* Control);

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  TControl* FCaptureControl = nullptr;
  TControl* FMouseControl = nullptr;
  bool FTrackingMouse = false;
  bool FCreating = false;

  friend TWinControl* FindControl(HWND);
};

// While alive, parents leave Control out when they paint their windowless
// children: a transparent control that asks its parent for the picture
// behind it must not be painted again inside its own painting.
class TPaintExclusion {
 public:
  explicit TPaintExclusion(const TControl* Control);
  ~TPaintExclusion();
  TPaintExclusion(const TPaintExclusion&) = delete;
  TPaintExclusion& operator=(const TPaintExclusion&) = delete;
  static bool Excluded(const TControl* Control);

 private:
  const TControl* FPrevious;
};

// Windowless controls drawn by their parent on its own surface.
class TCanvas;

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas& Canvas() { return *FCanvas; }
  void WndProc(TMessage& Message) override;

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TCanvas> FCanvas;
};

// Windowed controls that draw themselves on a canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas& Canvas() { return *FCanvas; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

 private:
  std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace lumora
