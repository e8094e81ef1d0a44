#include "tray/CoolTrayIcon.h"

#include "tray/NotifyIconRecord.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/WinControl.h"

namespace lumora {
namespace {

// The keys held now, read asynchronously: the tray's callbacks are posted,
// so the message-queue key state may lag behind.
TShiftState CurrentShiftState() {
  TShiftState Shift = 0;
  if (GetAsyncKeyState(VK_SHIFT) < 0) Shift |= ssShift;
  if (GetAsyncKeyState(VK_CONTROL) < 0) Shift |= ssCtrl;
  if (GetAsyncKeyState(VK_MENU) < 0) Shift |= ssAlt;
  return Shift;
}

POINT CursorPos() {
  POINT P{};
  GetCursorPos(&P);
  return P;
}

// A balloon in the icon's record for the length of one shell call.
class TBalloonInRecord {
 public:
  TBalloonInRecord(NOTIFYICONDATAA& Data, const std::string& Title, const std::string& Text,
                   DWORD InfoFlags)
      : FData(Data) {
    FillNotifyIconBalloon(FData, Title, Text, InfoFlags);
  }
  ~TBalloonInRecord() { ClearNotifyIconBalloon(FData); }
  TBalloonInRecord(const TBalloonInRecord&) = delete;
  TBalloonInRecord& operator=(const TBalloonInRecord&) = delete;

 private:
  NOTIFYICONDATAA& FData;
};

}  // namespace

TCoolTrayIcon::TCoolTrayIcon(TComponent* AOwner) : TComponent(AOwner) {
  FTaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  FIcon = std::make_unique<TIcon>();
  FIconWindow = std::make_unique<TUtilityWindow>([this](TMessage& M) { return IconWindowProc(M); });
  FIconData = MakeNotifyIconData(FIconWindow->Handle());
  FCycleTimer = new TTimer(this);
  FCycleTimer->SetEnabled(false);
  FCycleTimer->SetInterval(FCycleInterval);
  FCycleTimer->SetOnTimer([this](TObject* Sender) { CycleTimerTick(Sender); });
  if (!Designing()) {
    HookApplication();
    HookOwner();
  }
}

TCoolTrayIcon::~TCoolTrayIcon() {
  // A component that is a member or a local variable is never deleted, so
  // BeforeDestruction may not have run.
  if (!FTornDown) {
    DeleteIcon();
    UnhookApplication();
    UnhookOwner();
  }
}

void TCoolTrayIcon::BeforeDestruction() {
  // While the whole component exists: the shell must stop calling back
  // before the icon window goes, and the hooked windows must get their own
  // procedures back before the handlers bound to this object go.
  DeleteIcon();
  FIcon->SetHandle(nullptr);
  FIconWindow.reset();
  if (!Designing()) {
    UnhookApplication();
    UnhookOwner();
  }
  FTornDown = true;
  TComponent::BeforeDestruction();
}

void TCoolTrayIcon::Loaded() {
  TComponent::Loaded();
  if (FStartMinimized && !Designing()) {
    Application().SetShowMainForm(false);
    ShowWindow(Application().Handle(), SW_HIDE);
  }
  // The icon is not in the tray yet, so this fails; it only fills the record.
  UpdateIcon();
  SetIconVisible(FIconVisible);
}

void TCoolTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FIconList) SetIconList(nullptr);
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
}

// --- The shell calls -------------------------------------------------------

bool TCoolTrayIcon::FillIconData() {
  if (Designing() && !FPreviewInProgress && !FDesignPreview) return false;
  FillNotifyIconData(FIconData, FIcon->Handle(), FHint, FShowHint && !FHint.empty());
  return true;
}

bool TCoolTrayIcon::Notify(DWORD Message) {
  if (!FIconWindow) return false;  // torn down: nothing for the shell to call back
  return Shell_NotifyIconA(Message, &FIconData) != FALSE;
}

bool TCoolTrayIcon::AddIcon() {
  if (!FPreviewInProgress) FIconVisible = true;
  if (Designing() && !FPreviewInProgress) return false;
  if (!FillIconData()) return false;
  return Notify(NIM_ADD);
}

bool TCoolTrayIcon::DeleteIcon() {
  if (!FPreviewInProgress) FIconVisible = false;
  if (Designing() && !FPreviewInProgress) return false;
  if (!FillIconData()) return false;
  return Notify(NIM_DELETE);
}

bool TCoolTrayIcon::UpdateIcon() {
  if (!FillIconData()) return false;
  return Notify(NIM_MODIFY);
}

bool TCoolTrayIcon::ShowBalloon(const std::string& Title, const std::string& Text,
                                DWORD InfoFlags) {
  if (!FIconVisible || !FillIconData()) return false;
  const TBalloonInRecord Balloon(FIconData, Title, Text, InfoFlags);
  return Notify(NIM_MODIFY);
}

// --- Properties --------------------------------------------------------------

void TCoolTrayIcon::SetIcon(const TIcon& Value) {
  FIcon->Assign(Value);
  UpdateIcon();
}

void TCoolTrayIcon::SetIconVisible(bool Value) {
  if (Value)
    AddIcon();
  else
    DeleteIcon();
}

void TCoolTrayIcon::SetDesignPreview(bool Value) {
  FDesignPreview = Value;
  FPreviewInProgress = true;
  if (Value)
    AddIcon();
  else
    DeleteIcon();
  FPreviewInProgress = false;
}

void TCoolTrayIcon::SetCycleIcons(bool Value) {
  FCycleIcons = Value;
  if (Value) SetIconIndex(0);
  FCycleTimer->SetEnabled(Value);
}

void TCoolTrayIcon::SetCycleInterval(unsigned Value) {
  FCycleInterval = Value;
  FCycleTimer->SetInterval(Value);
}

void TCoolTrayIcon::SetIconList(TImageList* Value) {
  if (FIconList && FIconList != Value) FIconList->RemoveFreeNotification(this);
  FIconList = Value;
  if (Value) Value->FreeNotification(this);
  SetIconIndex(0);
}

void TCoolTrayIcon::SetIconIndex(int Value) {
  if (FIconList) {
    const int Count = FIconList->Count();
    FIconIndex = Value >= Count ? Count - 1 : Value;
    FIconList->GetIcon(FIconIndex, *FIcon);
  } else {
    FIconIndex = 0;
  }
  UpdateIcon();
}

void TCoolTrayIcon::SetHint(const std::string& Value) {
  FHint = Value;
  UpdateIcon();
}

void TCoolTrayIcon::SetShowHint(bool Value) {
  FShowHint = Value;
  UpdateIcon();
}

void TCoolTrayIcon::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu && FPopupMenu != Value) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

// --- The icon window ---------------------------------------------------------

bool TCoolTrayIcon::IconWindowProc(TMessage& M) {
  if (M.Msg == NotifyIconCallbackMessage) {
    HandleIconMessage(M.LParam);
    return true;
  }
  if (M.Msg == WM_QUERYENDSESSION) {
    M.Result = 1;
    return true;
  }
  return false;  // DefWindowProcA
}

void TCoolTrayIcon::HandleIconMessage(LPARAM Mouse) {
  if (!FEnabled) return;
  const auto Event = static_cast<UINT>(Mouse);
  switch (Event) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      break;
    default:
      return;  // right and middle double clicks among them
  }
  const TShiftState Shift = CurrentShiftState();
  const POINT P = CursorPos();
  switch (Event) {
    case WM_MOUSEMOVE:
      DoMouseMove(Shift, P.x, P.y);
      break;
    case WM_LBUTTONDOWN:
      DoMouseDown(TMouseButton::mbLeft, Shift | ssLeft, P.x, P.y);
      FClickPending = true;
      if (FLeftPopup) PopupMenuAtCursor();
      break;
    case WM_LBUTTONUP:
      if (FClickPending) {
        FClickPending = false;
        DoClick();
      }
      DoMouseUp(TMouseButton::mbLeft, Shift | ssLeft, P.x, P.y);
      break;
    case WM_LBUTTONDBLCLK:
      DoDblClick();
      if (FPopupMenu && FPopupMenu->AutoPopup() && !FLeftPopup) {
        // From the last top-level item to the first: the last default met,
        // the first in menu order, wins.
        TMenuItem* Default = nullptr;
        TMenuItem& Items = FPopupMenu->Items();
        for (int I = Items.Count() - 1; I >= 0; --I)
          if (Items.Items(I)->Default()) Default = Items.Items(I);
        if (Default) Default->Click();
      }
      break;
    case WM_RBUTTONDOWN:
      DoMouseDown(TMouseButton::mbRight, Shift | ssRight, P.x, P.y);
      PopupMenuAtCursor();
      break;
    case WM_RBUTTONUP:
      DoMouseUp(TMouseButton::mbRight, Shift | ssRight, P.x, P.y);
      break;
    case WM_MBUTTONDOWN:
      DoMouseDown(TMouseButton::mbMiddle, Shift | ssMiddle, P.x, P.y);
      break;
    case WM_MBUTTONUP:
      DoMouseUp(TMouseButton::mbMiddle, Shift | ssMiddle, P.x, P.y);
      break;
  }
}

void TCoolTrayIcon::PopupMenuAtCursor() {
  if (!FPopupMenu || !FPopupMenu->AutoPopup()) return;
  POINT P{};
  if (!GetCursorPos(&P)) return;
  // The menu closes properly when the user clicks elsewhere only if a
  // window of ours is in the foreground while it shows, and the message
  // posted after it lets the foreground window see the menu gone.
  Application().ProcessMessages();
  const HWND Owner = OwnerWindow();
  SetForegroundWindow(Owner);
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(P.x, P.y);
  PostMessageA(Owner, WM_NULL, 0, 0);
}

// --- Cycling -----------------------------------------------------------------

int TCoolTrayIcon::NextIndex() const {
  if (!FIconList) return 0;
  return FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0;
}

void TCoolTrayIcon::CycleTimerTick(TObject*) {
  if (!FIconList) return;
  FIconList->GetIcon(FIconIndex, *FIcon);
  DoCycle();
  UpdateIcon();
  SetIconIndex(NextIndex());
}

// --- Events ------------------------------------------------------------------

void TCoolTrayIcon::DoClick() {
  if (OnClick) OnClick(this);
}

void TCoolTrayIcon::DoDblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TCoolTrayIcon::DoCycle() {
  if (OnCycle) OnCycle(this, NextIndex());
}

void TCoolTrayIcon::DoMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TCoolTrayIcon::DoMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TCoolTrayIcon::DoMouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TCoolTrayIcon::DoMinimizeToTray() {
  HideMainWindow();
  AddIcon();
}

// --- The main window ---------------------------------------------------------

void TCoolTrayIcon::ShowMainWindow() {
  TForm* Main = Application().MainForm();
  if (!Main) return;
  ShowWindow(Application().Handle(), SW_RESTORE);
  Main->SetVisible(true);
}

void TCoolTrayIcon::HideMainWindow() {
  TForm* Main = Application().MainForm();
  if (!Main) return;
  Main->SetVisible(false);
  ShowWindow(Application().Handle(), SW_HIDE);
}

// --- The hooks ---------------------------------------------------------------

LRESULT TCoolTrayIcon::AppWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_SIZE && WParam == SIZE_MINIMIZED && FMinimizeToTray) DoMinimizeToTray();
  if (Msg == WM_WINDOWPOSCHANGED && FFirstPositionChange && Application().MainForm()) {
    // A hidden start needs the application window hidden once more here
    // only for an MDI frame, which this window layer does not make.
    FFirstPositionChange = false;
  }
  if (Msg == FTaskbarCreatedMessage && FIconVisible) AddIcon();
  return FAppHook.CallSaved(Window, Msg, WParam, LParam);
}

LRESULT TCoolTrayIcon::OwnerWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_ACTIVATE && (LOWORD(WParam) == WA_ACTIVE || LOWORD(WParam) == WA_CLICKACTIVE)) {
    if (TWinControl* Active = Screen().ActiveControl()) {
      TWinControl* Holder = Active->Parent() ? Active->Parent() : Active;
      if (Holder->WindowHandle() != reinterpret_cast<HWND>(LParam) && Active->HandleAllocated())
        ::SetFocus(Active->WindowHandle());
    }
  }
  if (Msg == WM_SHOWWINDOW && WParam == 1 && LParam == 0) {
    ShowWindow(Application().Handle(), SW_RESTORE);
    SetForegroundWindow(Application().Handle());
    SetForegroundWindow(Window);
  }
  return FOwnerHook.CallSaved(Window, Msg, WParam, LParam);
}

void TCoolTrayIcon::HookApplication() {
  FAppHook.Install(Application().Handle(), [this](HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    return AppWindowProc(W, Msg, WP, LP);
  });
}

void TCoolTrayIcon::UnhookApplication() {
  FAppHook.Remove();
}

HWND TCoolTrayIcon::OwnerWindow() const {
  auto* Owner = dynamic_cast<TWinControl*>(this->Owner());
  return Owner ? Owner->Handle() : nullptr;
}

void TCoolTrayIcon::HookOwner() {
  if (!dynamic_cast<TWinControl*>(Owner())) return;
  FOwnerHook.Install(OwnerWindow(), [this](HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    return OwnerWindowProc(W, Msg, WP, LP);
  });
}

void TCoolTrayIcon::UnhookOwner() {
  FOwnerHook.Remove();
}

}  // namespace lumora
