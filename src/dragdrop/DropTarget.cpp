#include "dragdrop/DropTarget.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "sys/LumoraError.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Color.h"
#include "ui/ErrorReport.h"
#include "ui/ImageList.h"
#include "ui/Timer.h"
#include "ui/WinControl.h"

namespace lumora {

UINT CF_FILECONTENTS = 0;
UINT CF_FILEGROUPDESCRIPTOR = 0;
UINT CF_IDLIST = 0;
UINT CF_PREFERREDDROPEFFECT = 0;
UINT CF_URL = 0;
UINT CF_HTML = 0;
UINT CF_FILENAMEMAP = 0;
UINT CF_FILENAMEMAPW = 0;
IMalloc* ShellMalloc = nullptr;

const FORMATETC TextFormatEtc = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
const FORMATETC HDropFormatEtc = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};

namespace {

// The unit's start-up and end: OLE for the whole process, on the thread that
// loads the program (the GUI thread), before any form is made. The program
// goes on whatever these calls return: a failure shows later, when a window
// asks to be registered.
struct TDropTargetUnit {
  TDropTargetUnit() {
    OleInitialize(nullptr);
    CF_FILECONTENTS = RegisterClipboardFormatA("FileContents");
    CF_FILEGROUPDESCRIPTOR = RegisterClipboardFormatA("FileGroupDescriptor");
    CF_IDLIST = RegisterClipboardFormatA("Shell IDList Array");
    CF_PREFERREDDROPEFFECT = RegisterClipboardFormatA("Preferred DropEffect");
    CF_URL = RegisterClipboardFormatA("UniformResourceLocator");
    CF_HTML = RegisterClipboardFormatA("HTML Format");
    CF_FILENAMEMAP = RegisterClipboardFormatA("FileNameMap");
    CF_FILENAMEMAPW = RegisterClipboardFormatA("FileNameMapW");
    if (FAILED(SHGetMalloc(&ShellMalloc))) ShellMalloc = nullptr;
  }
  ~TDropTargetUnit() {
    if (ShellMalloc) ShellMalloc->Release();
    ShellMalloc = nullptr;
    OleUninitialize();
  }
};
const TDropTargetUnit DropTargetUnit;

// The drop targets whose control lost its registered window, waiting for the
// control's next one. A window announces nothing to others when it is
// created, so one hook of the GUI thread (no DLL: this thread's messages
// only) looks at each WM_CREATE after the window has handled it; it is in
// place only while a target waits. Drop targets live on the GUI thread, as
// every GUI object does, so the list needs no lock.
struct TAwaitingTargets {
  std::vector<TDropTarget*> Targets;
  HHOOK Hook = nullptr;
};
TAwaitingTargets& Awaiting() {
  static auto* Instance = new TAwaitingTargets;  // outlives every target
  return *Instance;
}

// An open clipboard, closed when it goes.
class TClipboardOpen {
 public:
  TClipboardOpen() : FOpen(OpenClipboard(nullptr) != FALSE) {}
  ~TClipboardOpen() {
    if (FOpen) CloseClipboard();
  }
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;
  explicit operator bool() const { return FOpen; }

 private:
  bool FOpen;
};

}  // namespace

TStgMedium& TStgMedium::operator=(TStgMedium&& Other) noexcept {
  if (this != &Other) {
    Reset();
    FMedium = std::exchange(Other.FMedium, STGMEDIUM{});
  }
  return *this;
}

void TStgMedium::Reset() {
  if (FMedium.tymed != TYMED_NULL) ReleaseStgMedium(&FMedium);
  FMedium = STGMEDIUM{};
}

TGlobalLock::TGlobalLock(HGLOBAL Block) : FBlock(Block) {
  if (!FBlock) return;
  FData = GlobalLock(FBlock);
  FSize = FData ? GlobalSize(FBlock) : 0;
}

TGlobalLock::~TGlobalLock() {
  if (FData) GlobalUnlock(FBlock);
}

// TInterfacedComponent

HRESULT TInterfacedComponent::ComQueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  *Object = nullptr;
  std::size_t Count = 0;
  const TInterfaceEntry* Table = InterfaceTable(Count);
  for (std::size_t I = 0; I < Count; ++I) {
    if (IsEqualIID(Iid, *Table[I].Iid)) {
      *Object = Table[I].Cast(this);
      ComAddRef();
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

ULONG TInterfacedComponent::ComAddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&FRefCount));
}

ULONG TInterfacedComponent::ComRelease() {
  const LONG Count = InterlockedDecrement(&FRefCount);
  if (Count == 0) delete this;
  return static_cast<ULONG>(Count);
}

// TDropTarget

TDropTarget::TDropTarget(TComponent* AOwner) : TInterfacedComponent(AOwner) {
  FScrollTimer = new TTimer(this);
  FScrollTimer->SetInterval(100);
  FScrollTimer->SetEnabled(false);
  FScrollTimer->SetOnTimer([this](TObject* Sender) { ScrollTimerTick(Sender); });
  // The object's own reference: OLE's AddRef/Release pairs never bring the
  // count to 0; the owner frees the object.
  ComAddRef();
  FGetDataOnEnter = false;
  // Image 0 is transparent throughout: the cursor part of the combined drag
  // image stays invisible, so only the source's image shows.
  FBlankImageList = new TImageList(this, 16, 16);
  TBitmap Blank(32, 32);
  Blank.Canvas().Brush().SetColor(clWindow);
  Blank.Canvas().FillRect(RECT{0, 0, 32, 32});
  FBlankImageList->AddMasked(Blank, clWindow);
  FShowImage = true;
}

TDropTarget::~TDropTarget() {
  delete FBlankImageList;
  delete FScrollTimer;
  FBlankImageList = nullptr;
  FScrollTimer = nullptr;
  // A refusal from OLE cannot be reported from a destructor; OLE refuses
  // when the window holds no registration to withdraw.
  try {
    Unregister();
  } catch (...) {
  }
}

const TInterfacedComponent::TInterfaceEntry* TDropTarget::InterfaceTable(std::size_t& Count) const {
  static const TInterfaceEntry Table[] = {
      {&IID_IUnknown,
       [](TInterfacedComponent* C) -> void* {
         return static_cast<IUnknown*>(static_cast<IDropTarget*>(static_cast<TDropTarget*>(C)));
       }},
      {&IID_IDropTarget,
       [](TInterfacedComponent* C) -> void* {
         return static_cast<IDropTarget*>(static_cast<TDropTarget*>(C));
       }},
  };
  Count = std::size(Table);
  return Table;
}

HRESULT STDMETHODCALLTYPE TDropTarget::QueryInterface(REFIID Iid, void** Object) {
  return ComQueryInterface(Iid, Object);
}
ULONG STDMETHODCALLTYPE TDropTarget::AddRef() {
  return ComAddRef();
}
ULONG STDMETHODCALLTYPE TDropTarget::Release() {
  return ComRelease();
}

void TDropTarget::Register(TWinControl* Control) {
  if (Control == FTarget) return;
  if (FTarget) Unregister();
  FTarget = Control;
  if (!Control) return;
  HWND Window = Control->Handle();
  bool Done = false;
  try {
    HookTargetWindow(Window);
    Done = RegisterDragDrop(Window, static_cast<IDropTarget*>(this)) == S_OK;
  } catch (...) {
  }
  if (!Done) {
    // The control did not become the drop window: keeping it as the target
    // would make every later Register or Unregister fail on it.
    FWindowHook.Remove();
    FTarget = nullptr;
    throw ELumoraError("Failed to Register " + Control->Name());
  }
  FreeNotification(Control);
  FRegistered = true;
}

void TDropTarget::Unregister() {
  FRegistered = false;
  AwaitNewWindow(false);
  if (!FTarget || !FTarget->HandleAllocated()) return;
  if (RevokeDragDrop(FTarget->WindowHandle()) != S_OK)
    throw ELumoraError("Failed to Unregister " + FTarget->Name());
  FWindowHook.Remove();
  RemoveFreeNotification(FTarget);
  FTarget = nullptr;
}

void TDropTarget::Notification(TComponent* AComponent, TOperation Operation) {
  TInterfacedComponent::Notification(AComponent, Operation);
  // The target control is going (its window has gone before it, and the
  // registration with it): keep no pointer to it and wait for no window.
  if (Operation == TOperation::opRemove && AComponent && AComponent == FTarget) {
    AwaitNewWindow(false);
    FWindowHook.Remove();
    FTarget = nullptr;
    FRegistered = false;
  }
}

void TDropTarget::HookTargetWindow(HWND Window) {
  FWindowHook.Install(Window, [this](HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return TargetWindowMessage(W, Msg, WParam, LParam);
  });
}

LRESULT TDropTarget::TargetWindowMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_DESTROY && FRegistered) {
    // The last moment OLE can be told: after this the window is gone and
    // OLE would hold its reference to this object for good.
    RevokeDragDrop(Window);
    FRegistered = false;
    AwaitNewWindow(true);
  }
  const LRESULT Result = FWindowHook.CallSaved(Window, Msg, WParam, LParam);
  if (Msg == WM_NCDESTROY) FWindowHook.Remove();
  return Result;
}

void TDropTarget::AwaitNewWindow(bool Value) {
  if (Value == FAwaitingWindow) return;
  FAwaitingWindow = Value;
  TAwaitingTargets& A = Awaiting();
  if (Value) {
    A.Targets.push_back(this);
    if (!A.Hook)
      A.Hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &TDropTarget::WindowCreatedHook, nullptr,
                                 GetCurrentThreadId());
    return;
  }
  A.Targets.erase(std::remove(A.Targets.begin(), A.Targets.end(), this), A.Targets.end());
  if (A.Targets.empty() && A.Hook) {
    UnhookWindowsHookEx(A.Hook);
    A.Hook = nullptr;
  }
}

LRESULT CALLBACK TDropTarget::WindowCreatedHook(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HC_ACTION) {
    const auto* Sent = reinterpret_cast<const CWPRETSTRUCT*>(LParam);
    if (Sent->message == WM_CREATE && Sent->lResult != -1) {
      // A copy: registering takes the target off the list.
      for (TDropTarget* T : std::vector<TDropTarget*>(Awaiting().Targets))
        if (T->FTarget && T->FTarget->WindowHandle() == Sent->hwnd) T->RegisterNewWindow();
    }
  }
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

void TDropTarget::RegisterNewWindow() {
  AwaitNewWindow(false);
  HWND Window = TargetWindow();
  bool Done = false;
  try {
    HookTargetWindow(Window);
    Done = RegisterDragDrop(Window, static_cast<IDropTarget*>(this)) == S_OK;
  } catch (...) {
  }
  if (Done) {
    FRegistered = true;
    return;
  }
  // Nobody can be told from inside the window's creation; as after a
  // refused Register, the control is no longer the target.
  FWindowHook.Remove();
  RemoveFreeNotification(FTarget);
  FTarget = nullptr;
}

void TDropTarget::SetShowImage(bool Value) {
  FShowImage = Value;
  if (FDataObject) ImageList_DragShowNolock(Value ? TRUE : FALSE);
}

HWND TDropTarget::TargetWindow() const {
  return FTarget ? FTarget->WindowHandle() : nullptr;
}

TDropPoint TDropTarget::ToClient(POINTL Screen) const {
  POINT P{Screen.x, Screen.y};
  if (FTarget) P = FTarget->ScreenToClient(P);
  return TDropPoint{P.x, P.y};
}

POINT TDropTarget::ClientToWindow(TDropPoint Point) const {
  POINT P{Point.X, Point.Y};
  if (!FTarget) return P;
  P = FTarget->ClientToScreen(P);
  RECT Window{};
  GetWindowRect(TargetWindow(), &Window);
  return POINT{P.x - Window.left, P.y - Window.top};
}

TShiftState TDropTarget::ShiftStateOf(DWORD KeyState) const {
  TShiftState Shift = 0;
  if (KeyState & MK_SHIFT) Shift |= ssShift;
  if (KeyState & MK_CONTROL) Shift |= ssCtrl;
  if (KeyState & MK_LBUTTON) Shift |= ssLeft;
  if (KeyState & MK_RBUTTON) Shift |= ssRight;
  if (KeyState & MK_MBUTTON) Shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) Shift |= ssAlt;
  return Shift;
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragEnter(IDataObject* Data, DWORD KeyState, POINTL Pt,
                                                 DWORD* Effect) {
  if (!Effect) return E_INVALIDARG;
  const std::uint32_t Offered = *Effect;
  *Effect = DROPEFFECT_NONE;
  try {
    ClearData();
    FDataObject = TComPtr<IDataObject>::Share(Data);
    const TDropPoint Point = ToClient(Pt);
    FLastPoint = Point;

    FDragImageList = nullptr;
    if (FShowImage) {
      FDragImageList = ImageList_GetDragImage(nullptr, &FHotSpot);
      if (FDragImageList) {
        ImageList_SetDragCursorImage(FBlankImageList->Handle(), 0, FHotSpot.x, FHotSpot.y);
        const POINT At = ClientToWindow(Point);
        ImageList_DragEnter(TargetWindow(), At.x, At.y);
      }
    }

    if (!FDataObject || !HasValidFormats()) {
      FDataObject.Reset();
      return S_OK;
    }

    FScrollDirections = 0;
    FScrollMargin = FTarget ? std::abs(FTarget->Font().Height()) : 0;
    const LONG Style = FTarget ? GetWindowLongA(TargetWindow(), GWL_STYLE) : 0;
    if (Style & WS_HSCROLL) FScrollDirections |= sdHorizontal;
    if (Style & WS_VSCROLL) FScrollDirections |= sdVertical;

    if (FGetDataOnEnter) DoGetData();
    const TShiftState Shift = ShiftStateOf(KeyState);
    std::uint32_t Chosen = DoGetDropEffect(Shift, Point, Offered);
    DoEnter(Shift, Point, Chosen);
    *Effect = Chosen;
  } catch (...) {
    // A drag that failed on the way in is a refused drag.
    *Effect = DROPEFFECT_NONE;
    FDataObject.Reset();
    HandleException();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) {
  if (!Effect) return E_INVALIDARG;
  const std::uint32_t Offered = *Effect;
  *Effect = DROPEFFECT_NONE;
  GuardCallback([&] {
    const TDropPoint Point = ToClient(Pt);
    bool Scrolling = false;
    if (FDataObject) {
      const TShiftState Shift = ShiftStateOf(KeyState);
      std::uint32_t Chosen = DoGetDropEffect(Shift, Point, Offered);
      DoDragOver(Shift, Point, Chosen);
      *Effect = Chosen;
      Scrolling = FScrollDirections != 0 && (Chosen & DROPEFFECT_SCROLL) != 0;
      FScrollTimer->SetEnabled(Scrolling);
    }
    if (FDragImageList && !(Point == FLastPoint)) {
      FLastPoint = Point;
      if (!Scrolling) {
        const POINT At = ClientToWindow(Point);
        ImageList_DragMove(At.x, At.y);
      }
    } else {
      FLastPoint = Point;
    }
  });
  return S_OK;
}

void TDropTarget::EndDrag() {
  FScrollTimer->SetEnabled(false);
  FDataObject.Reset();
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragLeave() {
  GuardCallback([&] {
    ClearData();
    EndDrag();
    if (FDragImageList) ImageList_DragLeave(TargetWindow());
    DoLeave();
  });
  EndDrag();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::Drop(IDataObject* /*Data*/, DWORD KeyState, POINTL Pt,
                                            DWORD* Effect) {
  if (!Effect) {
    EndDrag();
    return E_INVALIDARG;
  }
  const std::uint32_t Offered = *Effect;
  *Effect = DROPEFFECT_NONE;
  // The image of a refused drag is shown too (it stayed from DragEnter); it
  // must not be left painted on the window after the drop.
  if (!FDataObject) {
    if (FDragImageList) ImageList_DragLeave(TargetWindow());
    return S_OK;
  }
  GuardCallback([&] {
    FScrollTimer->SetEnabled(false);
    if (FDragImageList) ImageList_DragLeave(TargetWindow());
    const TDropPoint Point = ToClient(Pt);
    const TShiftState Shift = ShiftStateOf(KeyState);
    std::uint32_t Chosen = DoGetDropEffect(Shift, Point, Offered);
    if (FGetDataOnEnter || DoGetData()) {
      DoDrop(Shift, Point, Chosen);
      *Effect = Chosen;
    }
  });
  // Whatever a handler did, the drag ends here.
  try {
    ClearData();
  } catch (...) {
  }
  EndDrag();
  return S_OK;
}

std::uint32_t TDropTarget::DoGetDropEffect(TShiftState ShiftState, TDropPoint Point,
                                           std::uint32_t Effect) {
  const bool InBand = FScrollDirections != 0 && FTarget &&
                      InScrollBand(FScrollDirections, Point, FScrollMargin, FTarget->ClientWidth(),
                                   FTarget->ClientHeight());
  TDropEffectOverride Override;
  if (OnGetDropEffect)
    Override = [&](std::uint32_t& E) { OnGetDropEffect(this, ShiftState, Point, E); };
  return DecideDropEffect((ShiftState & ssShift) != 0, (ShiftState & ssCtrl) != 0, Effect,
                          FDragtypes, InBand, Override);
}

void TDropTarget::DoEnter(TShiftState ShiftState, TDropPoint Point, std::uint32_t& Effect) {
  if (OnEnter) OnEnter(this, ShiftState, Point, Effect);
}

void TDropTarget::DoDragOver(TShiftState ShiftState, TDropPoint Point, std::uint32_t& Effect) {
  if (OnDragOver) OnDragOver(this, ShiftState, Point, Effect);
}

void TDropTarget::DoDrop(TShiftState ShiftState, TDropPoint Point, std::uint32_t& Effect) {
  if (OnDrop) OnDrop(this, ShiftState, Point, Effect);
}

void TDropTarget::DoLeave() {
  if (OnLeave) OnLeave(this);
}

void TDropTarget::ScrollTimerTick(TObject* /*Sender*/) {
  HWND Window = TargetWindow();
  if (!Window || !FTarget) return;
  if (FDragImageList) ImageList_DragLeave(Window);
  const TScrollStep Step =
      ScrollStepAt(FLastPoint, FScrollMargin, FTarget->ClientWidth(), FTarget->ClientHeight());
  if (Step.Vertical)
    SendMessageA(Window, WM_VSCROLL, Step.Vertical < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  if (Step.Horizontal)
    SendMessageA(Window, WM_HSCROLL, Step.Horizontal < 0 ? SB_LINELEFT : SB_LINERIGHT, 0);
  if (FDragImageList) {
    const POINT At = ClientToWindow(FLastPoint);
    ImageList_DragEnter(Window, At.x, At.y);
  }
}

std::uint32_t TDropTarget::GetPreferredDropEffect() {
  if (!IsClipboardFormatAvailable(CF_PREFERREDDROPEFFECT)) return 0;
  TClipboardOpen Clipboard;
  if (!Clipboard) return 0;
  TGlobalLock Lock(GetClipboardData(CF_PREFERREDDROPEFFECT));
  if (Lock.Size() < sizeof(DWORD)) return 0;
  DWORD Value = 0;
  std::memcpy(&Value, Lock.Data(), sizeof Value);
  return Value;
}

bool GetFileNamesFromHDrop(HGLOBAL Block, std::vector<std::string>& Names) {
  Names.clear();
  TGlobalLock Lock(Block);
  return FileNamesFromDropFiles(
      Lock.Data(), Lock.Size(),
      [](std::u16string_view Wide) {
        if (Wide.empty()) return std::string();
        const auto* W = reinterpret_cast<const wchar_t*>(Wide.data());
        const int Length = static_cast<int>(Wide.size());
        const int Bytes = WideCharToMultiByte(CP_ACP, 0, W, Length, nullptr, 0, nullptr, nullptr);
        std::string Narrow(static_cast<std::size_t>(Bytes), '\0');
        WideCharToMultiByte(CP_ACP, 0, W, Length, Narrow.data(), Bytes, nullptr, nullptr);
        return Narrow;
      },
      Names);
}

}  // namespace lumora
