#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/ErrorReport.h"

namespace lumora {

namespace {

BOOL CALLBACK CollectEnabled(HWND Window, LPARAM List) {
  if (IsWindowVisible(Window) && IsWindowEnabled(Window))
    reinterpret_cast<std::vector<HWND>*>(List)->push_back(Window);
  return TRUE;
}

}  // namespace

TTaskWindowsDisabler::TTaskWindowsDisabler(HWND Except) {
  std::vector<HWND> Found;
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&Found));
  for (HWND W : Found) {
    if (W == Except) continue;
    EnableWindow(W, FALSE);
    FWindows.push_back(W);
  }
}

TTaskWindowsDisabler::~TTaskWindowsDisabler() {
  for (HWND W : FWindows)
    if (IsWindow(W)) EnableWindow(W, TRUE);
}

TScreen& Screen() {
  static auto* Instance = new TScreen;
  return *Instance;
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle =
      csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clBtnFace;
  FWidth = 320;
  FHeight = 240;
  // What the derived constructor makes is the form's design: it loads until
  // AfterConstruction.
  SetLoading(true);
  Application().AddForm(this);
}

TForm::~TForm() {
  // A form freed by delete has been torn down already; one that is a local
  // variable is torn down here, where only the TForm part is left.
  TearDown();
  if (Screen().FActiveForm == this) {
    Screen().FActiveForm = nullptr;
    Screen().FActiveControl = nullptr;
  }
  Application().RemoveForm(this);
  DestroyHandle();
}

void TForm::BeforeDestruction() {
  TearDown();
  TWinControl::BeforeDestruction();
}

void TForm::TearDown() {
  if (FCreated) {
    FCreated = false;
    try {
      DoDestroy();
    } catch (...) {
      // Freeing cannot report through the caller; the default report shows
      // it and the form goes on being freed.
      HandleException();
    }
  }
  // Controls first, while the form and the window they live in still exist.
  DestroyComponents();
}

namespace {
// The loading components under Owner, each followed by those it owns.
void CollectLoading(const TComponent* Owner, std::vector<TComponent*>& Out) {
  for (int I = 0; I < Owner->ComponentCount(); ++I) {
    TComponent* C = Owner->Components(I);
    if (!C->Loading()) continue;
    Out.push_back(C);
    CollectLoading(C, Out);
  }
}
}  // namespace

void TForm::AfterConstruction() {
  // Loaded for the form and what was made while it loaded, then the
  // creation event.
  std::vector<TComponent*> All;
  CollectLoading(this, All);
  Loaded();
  for (TComponent* C : All) C->Loaded();
  FCreated = true;
  try {
    DoCreate();
  } catch (...) {
    // The start-up of a window (reading its settings, say) fails like any
    // handler: the default report shows it and the program goes on, with
    // the form as far as it got.
    HandleException();
  }
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TForm::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  P.ExStyle = 0;
  switch (FBorderStyle) {
    case TFormBorderStyle::bsNone:
      P.Style |= WS_POPUP;
      break;
    case TFormBorderStyle::bsSingle:
      P.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER;
      break;
    case TFormBorderStyle::bsSizeable:
      P.Style |= WS_OVERLAPPEDWINDOW;
      break;
    case TFormBorderStyle::bsDialog:
      P.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      P.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::bsToolWindow:
      P.Style |= WS_CAPTION | WS_SYSMENU | WS_BORDER;
      P.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      P.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      P.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (!FEnabled) P.Style |= WS_DISABLED;
  // Owned by the application window, which carries the taskbar button.
  P.WndParent = Application().Handle();
  P.WinClassName = "LumoraForm";
  P.ClassStyle = CS_DBLCLKS;
}

void TForm::CreateHandleDone() {
  ApplyAlpha();
  if (FVisible) ShowWindow(WindowHandle(), SW_SHOW);
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TForm::SetAlphaBlend(bool Value) {
  if (Value == FAlphaBlend) return;
  FAlphaBlend = Value;
  ApplyAlpha();
}

void TForm::SetAlphaBlendValue(BYTE Value) {
  if (Value == FAlphaBlendValue) return;
  FAlphaBlendValue = Value;
  ApplyAlpha();
}

void TForm::ApplyAlpha() {
  if (!HandleAllocated()) return;
  HWND W = WindowHandle();
  const LONG ExStyle = GetWindowLongA(W, GWL_EXSTYLE);
  if (FAlphaBlend) {
    SetWindowLongA(W, GWL_EXSTYLE, ExStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(W, 0, FAlphaBlendValue, LWA_ALPHA);
  } else if (ExStyle & WS_EX_LAYERED) {
    SetWindowLongA(W, GWL_EXSTYLE, ExStyle & ~WS_EX_LAYERED);
    RedrawWindow(W, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TForm::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (Value) {
    HWND W = Handle();
    ShowWindow(W, SW_SHOW);
    if (OnShow) OnShow(this);
  } else {
    if (HandleAllocated()) ShowWindow(WindowHandle(), SW_HIDE);
    if (OnHide) OnHide(this);
  }
  Perform(CM_VISIBLECHANGED, Value);
}

void TForm::BringToFront() {
  SetVisible(true);
  SetForegroundWindow(Handle());
}

void TForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  if (Control && Control->ParentForm() != this) return;
  if (HandleAllocated() && IsWindowVisible(WindowHandle()) && Control && Control->CanFocus()) {
    FocusControl(Control);
    return;
  }
  FocusChanged(Control);
}

void TForm::FocusControl(TWinControl* Control) {
  if (!Control) return;
  FocusChanged(Control);
  if (Control->HandleAllocated() && Control->CanFocus()) ::SetFocus(Control->WindowHandle());
}

void TForm::FocusChanged(TWinControl* Control) {
  if (Control == FActiveControl) return;
  TWinControl* Old = FActiveControl;
  FActiveControl = Control;
  if (Screen().FActiveForm == this || !Screen().FActiveForm) Screen().FActiveControl = Control;
  if (Old) Old->Perform(CM_EXIT);
  if (Control) Control->Perform(CM_ENTER);
  NotifyFocusChanged();
}

void TForm::NotifyFocusChanged() {
  // Everyone on the form hears who has the focus now.
  TWinControl* Active = FActiveControl;
  std::function<void(TWinControl*)> Walk = [&](TWinControl* Parent) {
    for (int I = 0; I < Parent->ControlCount(); ++I) {
      TControl* C = Parent->Controls(I);
      C->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Active));
      if (C->IsWindowed()) Walk(static_cast<TWinControl*>(C));
    }
  };
  Walk(this);
}

void TForm::ControlRemoved(TWinControl* Control) {
  if (FActiveControl == Control) FActiveControl = nullptr;
  if (Screen().FActiveControl == Control) Screen().FActiveControl = nullptr;
}

bool TForm::DialogChar(char Ch) {
  // Depth first over every control, until one takes it.
  std::function<bool(TWinControl*)> Offer = [&](TWinControl* Parent) {
    for (int I = 0; I < Parent->ControlCount(); ++I) {
      TControl* C = Parent->Controls(I);
      if (C->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(Ch)) != 0) return true;
      if (C->IsWindowed() && Offer(static_cast<TWinControl*>(C))) return true;
    }
    return false;
  };
  return Offer(this);
}

void TForm::SelectNext(bool GoForward) {
  if (TWinControl* Next = FindNextControl(FActiveControl, GoForward, true)) FocusControl(Next);
}

void TForm::Close() {
  if (FInModal) {
    FModalResult = 2;  // cancel
    return;
  }
  TCloseAction Action =
      Application().MainForm() == this ? TCloseAction::caFree : TCloseAction::caHide;
  DoClose(Action);
  switch (Action) {
    case TCloseAction::caNone:
      return;
    case TCloseAction::caHide:
      Hide();
      return;
    case TCloseAction::caMinimize:
      if (HandleAllocated()) ShowWindow(WindowHandle(), SW_MINIMIZE);
      return;
    case TCloseAction::caFree:
      if (Application().MainForm() == this)
        Application().Terminate();
      else
        Hide();
      return;
  }
}

int TForm::ShowModal() {
  FModalResult = 0;
  FInModal = true;
  try {
    TTaskWindowsDisabler Others(Handle());
    Show();
    SetForegroundWindow(Handle());
    while (FModalResult == 0 && !Application().Terminated()) Application().HandleMessage();
  } catch (...) {
    FInModal = false;
    Hide();
    throw;
  }
  FInModal = false;
  Hide();
  return FModalResult;
}

void TForm::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      DefaultHandler(M);
      if (LOWORD(M.WParam) != WA_INACTIVE) {
        Screen().FActiveForm = this;
        Screen().FActiveControl = FActiveControl;
        if (FActiveControl && FActiveControl->HandleAllocated() && FActiveControl->CanFocus())
          ::SetFocus(FActiveControl->WindowHandle());
      }
      return;
    case WM_SYSCOMMAND:
      // Minimising the main form minimises the application (and with it
      // the taskbar button); the owned forms follow the owner.
      if ((M.WParam & 0xFFF0) == SC_MINIMIZE && Application().MainForm() == this) {
        Application().Minimize();
        return;
      }
      DefaultHandler(M);
      return;
    case WM_SHOWWINDOW:
      DefaultHandler(M);
      return;
    default:
      TWinControl::WndProc(M);
  }
}

}  // namespace lumora
