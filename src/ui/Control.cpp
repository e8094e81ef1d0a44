#include "ui/Control.h"

#include "sys/AsciiCase.h"
#include "ui/Form.h"
#include "ui/Hints.h"
#include "ui/Menus.h"
#include "ui/WinControl.h"

namespace lumora {

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  // Only a control freed without BeforeDestruction (a local variable) still
  // has its parent here.
  RemoveHintTool(this);
  if (FParent) FParent->RemoveControl(this);
  FParent = nullptr;
}

void TControl::BeforeDestruction() {
  if (FParent) FParent->RemoveControl(this);
  RemoveHintTool(this);
  TComponent::BeforeDestruction();
}

HWND TControl::SurfaceWindow(POINT& ClientOrigin) const {
  if (!FParent || !FParent->HandleAllocated()) return nullptr;
  ClientOrigin = POINT{FLeft, FTop};
  return FParent->WindowHandle();
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) return;
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
  // Follow the new parent's look at once.
  Perform(CM_PARENTCOLORCHANGED);
  Perform(CM_PARENTFONTCHANGED);
  Perform(CM_PARENTSHOWHINTCHANGED);
  UpdateHintTool();
}

TForm* TControl::ParentForm() const {
  const TControl* C = this;
  while (C->FParent) C = C->FParent;
  return dynamic_cast<TForm*>(const_cast<TControl*>(C));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  const bool Painted = FParent && FVisible;
  if (Painted) Invalidate();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (Painted) Invalidate();
  Perform(CM_POSCHANGED);
  UpdateHintTool();
}

void TControl::UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
}

RECT TControl::ClientRect() const {
  return RECT{0, 0, FWidth, FHeight};
}
int TControl::ClientWidth() const {
  return ClientRect().right;
}
int TControl::ClientHeight() const {
  return ClientRect().bottom;
}

POINT TControl::ClientOrigin() const {
  if (!FParent) return POINT{FLeft, FTop};
  POINT P = FParent->ClientOrigin();
  return POINT{P.x + FLeft, P.y + FTop};
}

POINT TControl::ClientToScreen(POINT Point) const {
  const POINT O = ClientOrigin();
  return POINT{Point.x + O.x, Point.y + O.y};
}

POINT TControl::ScreenToClient(POINT Point) const {
  const POINT O = ClientOrigin();
  return POINT{Point.x - O.x, Point.y - O.y};
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  if (FVisible && FParent) Invalidate();
  FVisible = Value;
  if (FVisible && FParent) Invalidate();
  Perform(CM_VISIBLECHANGED, Value);
  UpdateHintTool();
}

bool TControl::Showing() const {
  for (const TControl* C = this; C; C = C->FParent) {
    if (!C->FVisible) return false;
  }
  return true;
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor && !FParentColor) return;
  FParentColor = false;
  ChangeColor(Value);
}

void TControl::ChangeColor(TColor Value) {
  FColor = Value;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (Value) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged() {
  // A font set on the control itself stops it following its parent.
  if (!FFollowingParentFont) FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetText(const std::string& Value) {
  if (Text() == Value) return;
  StoreText(Value);
  Perform(CM_TEXTCHANGED);
}

void TControl::StoreText(const std::string& Value) {
  FText = Value;
}

void TControl::SetHint(const std::string& Value) {
  if (Value == FHint) return;
  FHint = Value;
  Perform(CM_HINTCHANGED);
  UpdateHintTool();
}

void TControl::SetShowHint(bool Value) {
  FParentShowHint = false;
  if (Value == FShowHint) return;
  FShowHint = Value;
  ShowHintChanged();
}

void TControl::ShowHintChanged() {
  UpdateHintTool();
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  if (Value) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

bool TControl::MouseCapture() const {
  // A windowless control holds the mouse through its parent's window.
  return FParent && FParent->FCaptureControl == this;
}

void TControl::SetMouseCapture(bool Value) {
  if (Value == MouseCapture()) return;
  if (!FParent) return;
  if (Value) {
    FParent->FCaptureControl = this;
    SetCapture(FParent->Handle());
  } else {
    FParent->FCaptureControl = nullptr;
    ReleaseCapture();
  }
}

void TControl::Invalidate() {
  if (!FParent || !FParent->HandleAllocated()) return;
  RECT R = BoundsRect();
  InvalidateRect(FParent->WindowHandle(), &R, (FControlStyle & csOpaque) ? FALSE : TRUE);
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!FParent) return;
  FParent->MoveToFront(this);
  Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage M{Msg, WParam, LParam, 0};
  WndProc(M);
  return M.Result;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::DefaultHandler(TMessage&) {}

bool TControl::ShowPopupMenu(POINT ScreenPoint) {
  if (!FPopupMenu || !FPopupMenu->AutoPopup()) return false;
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(ScreenPoint.x, ScreenPoint.y);
  return true;
}

void TControl::HandleMouse(TMessage& M) {
  const POINT P = PointFromLParam(M.LParam);
  const TShiftState Shift = KeysToShiftState(M.WParam);
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // A control that takes no double clicks sees a second press. One that
      // does raises DblClick for it and no click: the first press and
      // release of the double click have clicked already.
      const bool Double = M.Msg == WM_LBUTTONDBLCLK && (FControlStyle & csDoubleClicks);
      if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
      if ((FControlStyle & csClickEvents) && !Double) FClicked = true;
      if (Double) DblClick();
      MouseDown(TMouseButton::mbLeft, Shift | (Double ? ssDouble : 0), P.x, P.y);
      break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::mbRight, Shift | (M.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0), P.x,
                P.y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(TMouseButton::mbMiddle, Shift | (M.Msg == WM_MBUTTONDBLCLK ? ssDouble : 0), P.x,
                P.y);
      break;
    case WM_MOUSEMOVE:
      MouseMove(Shift, P.x, P.y);
      break;
    case WM_LBUTTONUP: {
      if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
      if (FClicked) {
        FClicked = false;
        const RECT R = ClientRect();
        if (PtInRect(&R, P)) Click();
      }
      MouseUp(TMouseButton::mbLeft, Shift, P.x, P.y);
      break;
    }
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, Shift, P.x, P.y);
      // A windowed control hears of the menu through WM_CONTEXTMENU; a
      // windowless one never reaches DefWindowProc, so it asks here.
      if (!IsWindowed()) ShowPopupMenu(ClientToScreen(P));
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, Shift, P.x, P.y);
      break;
  }
}

void TControl::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      DefaultHandler(M);
      HandleMouse(M);
      return;
    case CM_MOUSEENTER:
      FMouseInControl = true;
      if (OnMouseEnter) OnMouseEnter(this);
      return;
    case CM_MOUSELEAVE:
      FMouseInControl = false;
      if (OnMouseLeave) OnMouseLeave(this);
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      return;
    case CM_PARENTCOLORCHANGED:
      if (FParentColor && FParent) ChangeColor(FParent->Color());
      return;
    case CM_PARENTFONTCHANGED:
      if (FParentFont && FParent) {
        FFollowingParentFont = true;
        try {
          FFont->Assign(FParent->Font());
        } catch (...) {
          FFollowingParentFont = false;
          throw;
        }
        FFollowingParentFont = false;
      }
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (FParentShowHint && FParent) {
        FShowHint = FParent->ShowHint();
        ShowHintChanged();
      }
      return;
    case WM_CONTEXTMENU: {
      POINT P = PointFromLParam(M.LParam);
      if (P.x == -1 && P.y == -1) {
        // From the keyboard: at the cursor.
        GetCursorPos(&P);
      }
      if (ShowPopupMenu(P)) {
        M.Result = 1;
        return;
      }
      DefaultHandler(M);
      return;
    }
    default:
      DefaultHandler(M);
  }
}

void TControl::UpdateHintTool() {
  if (!FParent) {
    RemoveHintTool(this);
    return;
  }
  if (!FParent->HandleAllocated() || !FShowHint || FHint.empty() || !FVisible) {
    RemoveHintTool(this);
    return;
  }
  SetHintTool(this, FParent->WindowHandle(), BoundsRect(), FHint);
}

bool IsAccel(char Ch, const std::string& Caption) {
  for (size_t I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != '&') continue;
    if (Caption[I + 1] == '&') {
      ++I;  // a literal ampersand
      continue;
    }
    return UpperAscii(Caption[I + 1]) == UpperAscii(Ch);
  }
  return false;
}

TControl* FindControlAtPos(POINT ScreenPoint) {
  HWND Window = WindowFromPoint(ScreenPoint);
  TWinControl* Control = FindControl(Window);
  if (!Control) return nullptr;
  const POINT Client = Control->ScreenToClient(ScreenPoint);
  if (TControl* Child = Control->ControlAtPos(Client, true)) return Child;
  return Control;
}

}  // namespace lumora
