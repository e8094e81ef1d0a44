#include "ui/WinControl.h"

#include <algorithm>
#include <map>

#include "sys/LumoraError.h"
#include "ui/Canvas.h"
#include "ui/ErrorReport.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"
#include "ui/Hints.h"

namespace lumora {
namespace {

const char BindingProp[] = "LumoraControl";

// The procedure each registered class started from: the system class's own
// procedure for wrapped classes, DefWindowProcA for ours. Needed for the few
// messages that arrive before WM_NCCREATE binds the object.
std::map<std::string, WNDPROC>& ClassProcs() {
  static auto* Procs = new std::map<std::string, WNDPROC>;
  return *Procs;
}

WNDPROC RegisterControlClass(const TCreateParams& Params, WNDPROC InitProc) {
  auto& Procs = ClassProcs();
  auto Found = Procs.find(Params.WinClassName);
  if (Found != Procs.end()) return Found->second;

  HINSTANCE Instance = GetModuleHandleA(nullptr);
  WNDCLASSA Class{};
  WNDPROC Default = &DefWindowProcA;
  if (!Params.SysClassName.empty()) {
    if (!GetClassInfoA(nullptr, Params.SysClassName.c_str(), &Class))
      throw ELumoraError("Unknown window class " + Params.SysClassName);
    Default = Class.lpfnWndProc;
  } else {
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  }
  Class.style = Params.ClassStyle;
  Class.lpfnWndProc = InitProc;
  Class.hInstance = Instance;
  Class.lpszClassName = Params.WinClassName.c_str();
  Class.hbrBackground = nullptr;
  if (!RegisterClassA(&Class))
    throw ELumoraError("Cannot register window class " + Params.WinClassName);
  Procs[Params.WinClassName] = Default;
  return Default;
}

WNDPROC DefaultProcOf(HWND Window) {
  char Name[256] = {};
  GetClassNameA(Window, Name, sizeof Name);
  auto Found = ClassProcs().find(Name);
  return Found != ClassProcs().end() ? Found->second : &DefWindowProcA;
}

bool IsMouseMessage(UINT Msg) {
  return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK;
}

}  // namespace

TWinControl* FindControl(HWND Window) {
  if (!Window) return nullptr;
  return static_cast<TWinControl*>(GetPropA(Window, BindingProp));
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Children go with their parent's window; the objects themselves belong
  // to their owners, so they are only detached here.
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
  // A control freed without BeforeDestruction (a local variable) leaves its
  // parent here, while the parent still sees a windowed control: from
  // TControl's destructor it would stay in the parent's tab list.
  if (FParent) FParent->RemoveControl(this);
  DestroyHandle();
}

HWND TWinControl::SurfaceWindow(POINT& ClientOrigin) const {
  ClientOrigin = POINT{0, 0};
  return FHandle;
}

bool TWinControl::MouseCapture() const {
  return FHandle && GetCapture() == FHandle;
}

void TWinControl::SetMouseCapture(bool Value) {
  if (Value == MouseCapture()) return;
  if (Value)
    SetCapture(Handle());
  else
    ReleaseCapture();
}

void TWinControl::BringToFront() {
  TControl::BringToFront();
  if (FHandle)
    SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::StoreText(const std::string& Value) {
  TControl::StoreText(Value);
  if (FHandle) SetWindowTextA(FHandle, Value.c_str());
}

void TWinControl::ShowHintChanged() {
  NotifyControls(CM_PARENTSHOWHINTCHANGED);
  UpdateHintTool();
}

HWND TWinControl::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& P) {
  P.Caption = FText;
  P.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle & csAcceptsControls) P.Style |= WS_CLIPCHILDREN;
  if (!FEnabled) P.Style |= WS_DISABLED;
  if (FTabStop) P.Style |= WS_TABSTOP;
  P.X = FLeft;
  P.Y = FTop;
  P.Width = FWidth;
  P.Height = FHeight;
  P.WndParent = FParent ? FParent->Handle() : nullptr;
  P.ClassStyle = CS_VREDRAW | CS_HREDRAW;
  if (FControlStyle & csDoubleClicks) P.ClassStyle |= CS_DBLCLKS;
  P.WinClassName = "LumoraControl";
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  if (FHandle) return;  // the parent made ours along with its own
  CreateWnd();
  // Children get their windows with ours, in their order.
  for (TControl* C : std::vector<TControl*>(FControls)) {
    if (C->IsWindowed()) static_cast<TWinControl*>(C)->CreateHandle();
    C->UpdateHintTool();
  }
  UpdateHintTool();
  CreateHandleDone();
}

void TWinControl::CreateWnd() {
  TCreateParams P;
  CreateParams(P);
  if (P.WndParent == nullptr && (P.Style & WS_CHILD))
    throw ELumoraError("Control '" + Name() + "' has no parent window");
  RegisterControlClass(P, &InitWndProc);
  FCreating = true;
  HWND Window =
      CreateWindowExA(P.ExStyle, P.WinClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y,
                      P.Width, P.Height, P.WndParent, nullptr, GetModuleHandleA(nullptr), this);
  FCreating = false;
  if (!Window) throw ELumoraError("Error creating window for '" + Name() + "'");
  // A window made smaller or larger by the system (a top-level window's
  // minimum size) keeps the size it really has.
  RECT R;
  GetWindowRect(Window, &R);
  if (HWND ParentWindow = GetParent(Window); ParentWindow && (P.Style & WS_CHILD))
    MapWindowPoints(nullptr, ParentWindow, reinterpret_cast<POINT*>(&R), 2);
  UpdateBoundsFields(R.left, R.top, R.right - R.left, R.bottom - R.top);
  // Our own classes draw text with the control's font through the canvas;
  // system classes need it handed over.
  if (FSystemPaint) SendMessageA(Window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 0);
  if (FVisible && (P.Style & WS_CHILD))
    SetWindowPos(Window, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  // WM_DESTROY keeps the text; WM_NCDESTROY of each window unbinds its object.
  DestroyWindow(FHandle);
  FHandle = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  CreateHandle();
}

LRESULT CALLBACK TWinControl::InitWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Self = static_cast<TWinControl*>(GetPropA(Window, BindingProp));
  if (!Self && Msg == WM_NCCREATE) {
    auto* Create = reinterpret_cast<CREATESTRUCTA*>(LParam);
    Self = static_cast<TWinControl*>(Create->lpCreateParams);
    if (Self) {
      SetPropA(Window, BindingProp, Self);
      Self->FHandle = Window;
      Self->FDefWndProc = DefaultProcOf(Window);
    }
  }
  if (!Self) return CallWindowProcA(DefaultProcOf(Window), Window, Msg, WParam, LParam);

  TMessage M{Msg, WParam, LParam, 0};
  if (Msg == WM_NCDESTROY) {
    GuardCallback([&] { Self->WndProc(M); });
    RemovePropA(Window, BindingProp);
    if (Self->FHandle == Window) Self->FHandle = nullptr;
    Self->FCaptureControl = nullptr;
    Self->FMouseControl = nullptr;
    Self->FTrackingMouse = false;
    return M.Result;
  }
  GuardCallback([&] { Self->WndProc(M); });
  return M.Result;
}

void TWinControl::DefaultHandler(TMessage& M) {
  if (!FHandle) return;
  M.Result = CallWindowProcA(FDefWndProc ? FDefWndProc : &DefWindowProcA, FHandle, M.Msg, M.WParam,
                             M.LParam);
}

void TWinControl::InsertControl(TControl* Control) {
  FControls.push_back(Control);
  Control->FParent = this;
  if (Control->IsWindowed()) {
    auto* W = static_cast<TWinControl*>(Control);
    FTabList.push_back(W);
    if (HandleAllocated()) W->CreateHandle();
  } else {
    Control->Invalidate();
  }
}

void TWinControl::RemoveControl(TControl* Control) {
  if (Control == FCaptureControl) {
    FCaptureControl = nullptr;
    if (HandleAllocated() && GetCapture() == FHandle) ReleaseCapture();
  }
  if (Control == FMouseControl) FMouseControl = nullptr;
  if (Control->IsWindowed()) {
    auto* W = static_cast<TWinControl*>(Control);
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), W), FTabList.end());
    if (TForm* Form = ParentForm()) Form->ControlRemoved(W);
    W->DestroyHandle();
  } else {
    Control->Invalidate();
  }
  RemoveHintTool(Control);
  FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
  Control->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT P, bool AllowDisabled, bool AllowWindowed) const {
  for (size_t I = FControls.size(); I-- > 0;) {
    TControl* C = FControls[I];
    if (C->IsWindowed() && !AllowWindowed) continue;
    if (!C->Visible()) continue;
    if (!C->Enabled() && !AllowDisabled) continue;
    const RECT R = C->BoundsRect();
    if (PtInRect(&R, P)) return C;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& M) {
  for (TControl* C : std::vector<TControl*>(FControls)) {
    C->WndProc(M);
    if (M.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg, WPARAM WParam, LPARAM LParam) {
  for (TControl* C : std::vector<TControl*>(FControls)) {
    // Each child answers its own copy: one child's answer is nobody else's.
    TMessage M{Msg, WParam, LParam, 0};
    C->WndProc(M);
  }
}

void TWinControl::MoveToFront(TControl* Control) {
  auto It = std::find(FControls.begin(), FControls.end(), Control);
  if (It == FControls.end()) return;
  FControls.erase(It);
  FControls.push_back(Control);
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& L = FParent->FTabList;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!FParent) return;
  auto& L = FParent->FTabList;
  auto It = std::find(L.begin(), L.end(), this);
  if (It == L.end()) return;
  L.erase(It);
  const int Clamped = std::clamp(Value, 0, static_cast<int>(L.size()));
  L.insert(L.begin() + Clamped, this);
}

std::vector<TWinControl*> TWinControl::TabList() const {
  return FTabList;
}

namespace {
void CollectTabOrder(const TWinControl* Parent, std::vector<TWinControl*>& Out) {
  for (TWinControl* C : Parent->TabList()) {
    Out.push_back(C);
    CollectTabOrder(C, Out);
  }
}
}  // namespace

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward,
                                          bool CheckTabStop) const {
  std::vector<TWinControl*> All;
  CollectTabOrder(this, All);
  if (All.empty()) return nullptr;
  if (!GoForward) std::reverse(All.begin(), All.end());
  auto Start = std::find(All.begin(), All.end(), Current);
  const size_t N = All.size();
  size_t I = Start == All.end() ? N - 1 : static_cast<size_t>(Start - All.begin());
  for (size_t Step = 0; Step < N; ++Step) {
    I = (I + 1) % N;
    TWinControl* C = All[I];
    if (C == Current) break;
    if (C->CanFocus() && (!CheckTabStop || C->TabStop())) return C;
  }
  return nullptr;
}

bool TWinControl::CanFocus() const {
  for (const TControl* C = this; C; C = C->Parent()) {
    if (!C->Visible() || !C->Enabled()) return false;
  }
  return true;
}

bool TWinControl::Focused() const {
  return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
  if (TForm* Form = ParentForm(); Form && Form != this) {
    Form->FocusControl(this);
    return;
  }
  if (FHandle && CanFocus()) ::SetFocus(FHandle);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle) {
    // The window's WM_WINDOWPOSCHANGED brings the new bounds into the fields.
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  UpdateBoundsFields(ALeft, ATop, AWidth, AHeight);
  Perform(CM_POSCHANGED);
}

RECT TWinControl::ClientRect() const {
  RECT R{0, 0, FWidth, FHeight};
  if (FHandle) GetClientRect(FHandle, &R);
  return R;
}

POINT TWinControl::ClientOrigin() const {
  POINT P{0, 0};
  if (FHandle) {
    ::ClientToScreen(FHandle, &P);
    return P;
  }
  return TControl::ClientOrigin();
}

void TWinControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (FHandle) {
    if (Value)
      SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
      ShowWindow(FHandle, SW_HIDE);
  }
  Perform(CM_VISIBLECHANGED, Value);
  UpdateHintTool();
}

void TWinControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (FHandle) EnableWindow(FHandle, Value);
  Perform(CM_ENABLEDCHANGED);
}

std::string TWinControl::Text() const {
  if (!FHandle) return FText;
  const int Length = GetWindowTextLengthA(FHandle);
  std::string Result(static_cast<size_t>(std::max(Length, 0)) + 1, '\0');
  const int Got = GetWindowTextA(FHandle, Result.data(), Length + 1);
  Result.resize(static_cast<size_t>(std::max(Got, 0)));
  return Result;
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, (FControlStyle & csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::PaintControls(HDC DC) {
  for (TControl* C : std::vector<TControl*>(FControls)) {
    if (C->IsWindowed() || !C->Visible() || TPaintExclusion::Excluded(C)) continue;
    const RECT B = C->BoundsRect();
    if (B.right <= B.left || B.bottom <= B.top) continue;
    if (!RectVisible(DC, &B)) continue;
    TSavedDC Saved(DC);
    POINT Origin;
    GetViewportOrgEx(DC, &Origin);
    SetViewportOrgEx(DC, Origin.x + B.left, Origin.y + B.top, nullptr);
    IntersectClipRect(DC, 0, 0, B.right - B.left, B.bottom - B.top);
    C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintHandler(TMessage& M) {
  if (M.WParam) {
    // Asked to paint into a given DC (a parent painting through us, or a
    // transparent child asking for our image).
    HDC DC = reinterpret_cast<HDC>(M.WParam);
    PaintWindow(DC);
    PaintControls(DC);
    return;
  }
  PAINTSTRUCT PS;
  HDC DC = BeginPaint(FHandle, &PS);
  try {
    PaintWindow(DC);
    PaintControls(DC);
  } catch (...) {
    EndPaint(FHandle, &PS);
    throw;
  }
  EndPaint(FHandle, &PS);
}

void TWinControl::UpdateMouseControl(TControl* Control) {
  if (Control == FMouseControl) return;
  TControl* Old = FMouseControl;
  FMouseControl = Control;
  if (Old) Old->Perform(CM_MOUSELEAVE);
  if (Control) Control->Perform(CM_MOUSEENTER);
}

void TWinControl::RouteMouse(TMessage& M) {
  POINT P = PointFromLParam(M.LParam);
  TControl* Target = FCaptureControl;
  if (!Target && M.Msg != WM_MOUSEWHEEL) Target = ControlAtPos(P, false);
  if (M.Msg == WM_MOUSEMOVE) {
    if (!FTrackingMouse && FHandle) {
      TRACKMOUSEEVENT Track{sizeof Track, TME_LEAVE, FHandle, 0};
      FTrackingMouse = TrackMouseEvent(&Track) != FALSE;
      if (!FMouseInControl) Perform(CM_MOUSEENTER);
    }
    TControl* Over = ControlAtPos(P, true);
    UpdateMouseControl(Over);
  }
  if (Target) {
    // A windowless child: the message in its own coordinates. One that does
    // not take double clicks sees a second press.
    TMessage Child = M;
    if (!(Target->ControlStyle() & csDoubleClicks)) {
      if (Child.Msg == WM_LBUTTONDBLCLK) Child.Msg = WM_LBUTTONDOWN;
      if (Child.Msg == WM_RBUTTONDBLCLK) Child.Msg = WM_RBUTTONDOWN;
      if (Child.Msg == WM_MBUTTONDBLCLK) Child.Msg = WM_MBUTTONDOWN;
    }
    Child.LParam =
        MAKELPARAM(static_cast<WORD>(P.x - Target->Left()), static_cast<WORD>(P.y - Target->Top()));
    Target->WndProc(Child);
    M.Result = Child.Result;
    return;
  }
  TControl::WndProc(M);
}

void TWinControl::UpdateHintTool() {
  // A window of its own gets the mouse messages, so the tool is the window.
  if (!FHandle || !FShowHint || FHint.empty() || !FVisible) {
    RemoveHintTool(this);
    return;
  }
  SetHintToolWindow(this, FHandle, FHint);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::WndProc(TMessage& M) {
  if (IsMouseMessage(M.Msg)) {
    if (M.Msg != WM_MOUSEWHEEL) RelayHintMessage(FHandle, M.Msg, M.WParam, M.LParam);
    RouteMouse(M);
    return;
  }
  switch (M.Msg) {
    case WM_PAINT:
      if (FSystemPaint) {
        DefaultHandler(M);
        return;
      }
      PaintHandler(M);
      return;
    case WM_ERASEBKGND: {
      if (FSystemPaint) {
        DefaultHandler(M);
        return;
      }
      M.Result = 1;
      // An opaque control paints every pixel of itself (often off screen,
      // copied in one go); filling it with its colour first would only
      // show as flicker. The same holds for its opaque windowless children,
      // which are painted over this right after.
      if (FControlStyle & csOpaque) return;
      HDC DC = reinterpret_cast<HDC>(M.WParam);
      TSavedDC Saved(DC);
      for (TControl* C : FControls) {
        if (C->IsWindowed() || !C->Visible() || !(C->ControlStyle() & csOpaque) ||
            TPaintExclusion::Excluded(C))
          continue;
        const RECT B = C->BoundsRect();
        ExcludeClipRect(DC, B.left, B.top, B.right, B.bottom);
      }
      RECT R = ClientRect();
      TGdiHandle<HBRUSH> Brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FColor))));
      FillRect(DC, &R, Brush.Get());
      return;
    }
    case WM_MOUSELEAVE:
      FTrackingMouse = false;
      UpdateMouseControl(nullptr);
      if (FMouseInControl) Perform(CM_MOUSELEAVE);
      DefaultHandler(M);
      return;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(M.LParam) != FHandle) FCaptureControl = nullptr;
      DefaultHandler(M);
      return;
    case WM_WINDOWPOSCHANGED: {
      DefaultHandler(M);
      const auto* Pos = reinterpret_cast<const WINDOWPOS*>(M.LParam);
      if (!(Pos->flags & SWP_NOSIZE) || !(Pos->flags & SWP_NOMOVE)) {
        RECT R;
        GetWindowRect(FHandle, &R);
        if (HWND P = GetParent(FHandle); P && (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD))
          MapWindowPoints(nullptr, P, reinterpret_cast<POINT*>(&R), 2);
        UpdateBoundsFields(R.left, R.top, R.right - R.left, R.bottom - R.top);
        Perform(CM_POSCHANGED);
        UpdateHintTool();
      }
      return;
    }
    case WM_SETFOCUS:
      if (TForm* Form = ParentForm(); Form && Form != this) Form->FocusChanged(this);
      DefaultHandler(M);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      // A handler that sets the key to 0 keeps it from the window.
      WORD Key = static_cast<WORD>(M.WParam);
      if (M.Msg == WM_KEYDOWN || M.Msg == WM_SYSKEYDOWN)
        KeyDown(Key, KeyboardStateToShiftState());
      else
        KeyUp(Key, KeyboardStateToShiftState());
      if (Key == 0) return;
      M.WParam = Key;
      DefaultHandler(M);
      return;
    }
    case WM_CHAR: {
      char Key = static_cast<char>(M.WParam);
      KeyPress(Key);
      if (Key == 0) return;
      M.WParam = static_cast<unsigned char>(Key);
      DefaultHandler(M);
      return;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Notifications go back to the child control they concern.
      HWND Child = M.Msg == WM_NOTIFY ? reinterpret_cast<NMHDR*>(M.LParam)->hwndFrom
                                      : reinterpret_cast<HWND>(M.LParam);
      if (TWinControl* C = FindControl(Child); C && C != this) {
        M.Result = C->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
        return;
      }
      DefaultHandler(M);
      return;
    }
    case WM_DESTROY:
      // Keep what the window held, for the next window or for reading.
      FText = Text();
      RemoveHintTool(this);
      DefaultHandler(M);
      return;
    case WM_SYSCOLORCHANGE:
      DefaultHandler(M);
      Perform(CM_SYSCOLORCHANGE);
      return;
    case CM_SYSCOLORCHANGE:
    case CM_PARENTCOLORCHANGED:
    case CM_PARENTFONTCHANGED:
      TControl::WndProc(M);
      if (M.Msg == CM_SYSCOLORCHANGE) NotifyControls(CM_SYSCOLORCHANGE);
      return;
    case CM_COLORCHANGED:
      TControl::WndProc(M);
      NotifyControls(CM_PARENTCOLORCHANGED);
      return;
    case CM_FONTCHANGED:
      if (FSystemPaint && FHandle)
        SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
      TControl::WndProc(M);
      NotifyControls(CM_PARENTFONTCHANGED);
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    default:
      TControl::WndProc(M);
  }
}

namespace {

thread_local const TControl* ExcludedFromPaint = nullptr;

// Lends a DC and the control's font to its canvas for one paint, and takes
// the DC back however the paint ends.
class TCanvasLoan {
 public:
  TCanvasLoan(TCanvas& Canvas, HDC DC, const TFont& Font) : FCanvas(Canvas) {
    Canvas.SetHandle(DC);
    Canvas.Font().Assign(Font);
  }
  ~TCanvasLoan() { FCanvas.SetHandle(nullptr); }
  TCanvasLoan(const TCanvasLoan&) = delete;
  TCanvasLoan& operator=(const TCanvasLoan&) = delete;

 private:
  TCanvas& FCanvas;
};

}  // namespace

TPaintExclusion::TPaintExclusion(const TControl* Control) : FPrevious(ExcludedFromPaint) {
  ExcludedFromPaint = Control;
}

TPaintExclusion::~TPaintExclusion() {
  ExcludedFromPaint = FPrevious;
}

bool TPaintExclusion::Excluded(const TControl* Control) {
  return Control && Control == ExcludedFromPaint;
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& M) {
  if (M.Msg == WM_PAINT && M.WParam) {
    TCanvasLoan Loan(*FCanvas, reinterpret_cast<HDC>(M.WParam), Font());
    Paint();
    return;
  }
  TControl::WndProc(M);
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
  TCanvasLoan Loan(*FCanvas, DC, Font());
  Paint();
}

}  // namespace lumora
