#pragma once
// Controls: components with a place on screen. TControl is the common part
// of windowless controls (drawn by their parent, like a picture or a label)
// and windowed ones (TWinControl). Properties keep their values in fields so
// that a window can be destroyed and created anew without losing them.
//
// Every message a control gets, Win32 or the layer's own notifications
// (Messages.h), passes through WndProc. Descendants extend behaviour by
// overriding WndProc and calling the base first ("after the standard
// handling") or last.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "sys/Component.h"
#include "ui/Alignment.h"
#include "ui/Color.h"
#include "ui/Font.h"
#include "ui/Messages.h"

namespace lumora {

class TWinControl;
class TForm;
class TPopupMenu;

// Control-style traits.
enum TControlStyleFlag : unsigned {
  csCaptureMouse = 1,     // keeps the mouse while a button is held on it
  csOpaque = 2,           // paints every pixel of its client area
  csDoubleClicks = 4,     // gets double clicks (else a second press)
  csAcceptsControls = 8,  // may hold child controls
  csClickEvents = 16,     // left press released inside raises Click
  csFramed = 32,          // has a 3-D frame
  csSetCaption = 64,      // the component name becomes the first caption
};
using TControlStyle = unsigned;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Leaves the parent while the whole control exists, so that the parent
  // drops it from the right lists and a window goes with the control's own
  // message handling still in place. Controls that end something of their
  // own (hot tracking, a shared timer) override it and call the base last.
  void BeforeDestruction() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  // The form the control is on (itself for a form), or nullptr.
  TForm* ParentForm() const;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }

  virtual RECT ClientRect() const;
  int ClientWidth() const;
  int ClientHeight() const;
  // Screen position of the client area's top-left corner.
  virtual POINT ClientOrigin() const;
  POINT ClientToScreen(POINT Point) const;
  POINT ScreenToClient(POINT Point) const;

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so is every parent up to a shown window.
  bool Showing() const;

  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // Virtual: a control may keep a flag of its own (the flat edit does).
  virtual bool ParentColor() const { return FParentColor; }
  virtual void SetParentColor(bool Value);

  TFont& Font() { return *FFont; }
  const TFont& Font() const { return *FFont; }
  void SetFont(const TFont& Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);

  // Caption and Text are one value; windowed controls read it from their
  // window while it exists (an edit's text changes under the user's hands).
  virtual std::string Text() const { return FText; }
  void SetText(const std::string& Value);
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& Value) { SetText(Value); }

  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);

  // Stored only: the layer does no layout by them.
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value) { FAlign = Value; }
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value) { FAnchors = Value; }

  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

  virtual bool MouseCapture() const;
  virtual void SetMouseCapture(bool Value);
  // True while the mouse is over the control (between enter and leave).
  bool MouseInControl() const { return FMouseInControl; }

  virtual bool IsWindowed() const { return false; }

  // The window that shows this control's client area, and where that area's
  // top-left corner lies in the window's client area: the control's own
  // window, or its parent's for a windowless control. nullptr while there is
  // no such window. TControlCanvas draws through it outside a paint.
  virtual HWND SurfaceWindow(POINT& ClientOrigin) const;

  // Painting: Invalidate asks for a paint, Update carries out pending paints
  // now, Repaint does both.
  virtual void Invalidate();
  virtual void Update();
  void Repaint();

  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);

  // Puts the control above its siblings.
  virtual void BringToFront();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // Raises OnClick (a menu command that repeats a button uses this).
  virtual void Click();

 protected:
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // What Win32 would do with a message nobody handled.
  virtual void DefaultHandler(TMessage& Message);

  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Sets the colour without touching ParentColor (used when it follows the parent).
  void ChangeColor(TColor Value);
  // Bounds of a windowed control as its window has them, without moving it.
  void UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight);
  // Re-registers the tooltip for this control, after any change to the hint,
  // the bounds or the window.
  virtual void UpdateHintTool();
  // ShowHint has a new value; windowed controls pass it on to their children.
  virtual void ShowHintChanged();
  // Keeps a new Text; windowed controls give it to their window too.
  virtual void StoreText(const std::string& Value);
  // Shows the popup menu for a right click at a screen point; true if shown.
  bool ShowPopupMenu(POINT ScreenPoint);

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = true;
  bool FParentFont = true;
  std::string FText;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  TAlign FAlign = TAlign::alNone;
  TAnchors FAnchors = akLeft | akTop;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csSetCaption;
  bool FMouseInControl = false;

 private:
  void FontChanged();
  void HandleMouse(TMessage& Message);

  friend class TWinControl;

  std::unique_ptr<TFont> FFont;
  bool FClicked = false;
  bool FFollowingParentFont = false;
};

// Is Ch the accelerator marked with "&" in Caption? Letters compare without
// case; "&&" is a literal ampersand.
bool IsAccel(char Ch, const std::string& Caption);

// The control under a screen point: the topmost window there, or a
// windowless child of it. Disabled windowless children count; a disabled
// windowed control does not, since WindowFromPoint passes over disabled
// windows and so finds its parent. nullptr over windows that are not ours.
TControl* FindControlAtPos(POINT ScreenPoint);
// The windowed control bound to a window, or nullptr.
TWinControl* FindControl(HWND Window);

}  // namespace lumora
