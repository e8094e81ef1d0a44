#pragma once
// OLE drop reception. TInterfacedComponent gives a component the IUnknown
// operations; TDropTarget makes one windowed control an OLE drop target: it
// registers the window, chooses the effect, shows the source's drag image,
// scrolls the window while the cursor rests near its edges and raises
// events. Which formats it takes and how it reads them is the business of
// descendants (DoGetData, ClearData, HasValidFormats).
//
// The unit prepares OLE for the whole process when it starts: OLE is
// initialised on the main thread and the shell's clipboard formats are
// registered before any form exists.
//
// OLE keeps a reference to the target for as long as a window is registered,
// and it only gives it back through RevokeDragDrop on a window that still
// exists. A control's window can go while the control stays (RecreateWnd, a
// parent's window going, the control being freed), so the target watches the
// registered window: it withdraws the registration when the window is
// destroyed and registers the control's next window when one is created.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dragdrop/DropRules.h"
#include "sys/Component.h"
#include "ui/Messages.h"
#include "ui/WindowHook.h"

namespace lumora {

class TImageList;
class TTimer;
class TWinControl;

// Clipboard formats registered at start-up (16-bit numbers).
extern UINT CF_FILECONTENTS;
extern UINT CF_FILEGROUPDESCRIPTOR;
extern UINT CF_IDLIST;
extern UINT CF_PREFERREDDROPEFFECT;
extern UINT CF_URL;
// "HTML Format": a selection dragged from a browser (see HtmlFormat.h).
extern UINT CF_HTML;
extern UINT CF_FILENAMEMAP;
extern UINT CF_FILENAMEMAPW;
// The shell's allocator, taken at start-up (may be null).
extern IMalloc* ShellMalloc;

extern const FORMATETC TextFormatEtc;
extern const FORMATETC HDropFormatEtc;

// Holds one reference to a COM object and gives it back when it goes.
template <class I>
class TComPtr {
 public:
  TComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit TComPtr(I* Ptr) : FPtr(Ptr) {}
  TComPtr(TComPtr&& Other) noexcept : FPtr(std::exchange(Other.FPtr, nullptr)) {}
  TComPtr& operator=(TComPtr&& Other) noexcept {
    if (this != &Other) Reset(std::exchange(Other.FPtr, nullptr));
    return *this;
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  ~TComPtr() { Reset(); }

  // Takes a reference of its own.
  static TComPtr Share(I* Ptr) {
    if (Ptr) Ptr->AddRef();
    return TComPtr(Ptr);
  }
  I* Get() const { return FPtr; }
  I* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  // For out-parameters: gives up what it holds and hands its slot over.
  I** Put() {
    Reset();
    return &FPtr;
  }
  void Reset(I* Ptr = nullptr) {
    if (I* Old = std::exchange(FPtr, Ptr)) Old->Release();
  }

 private:
  I* FPtr = nullptr;
};

// A storage medium that is released (ReleaseStgMedium) when it goes.
class TStgMedium {
 public:
  TStgMedium() = default;
  TStgMedium(TStgMedium&& Other) noexcept : FMedium(std::exchange(Other.FMedium, STGMEDIUM{})) {}
  TStgMedium& operator=(TStgMedium&& Other) noexcept;
  TStgMedium(const TStgMedium&) = delete;
  TStgMedium& operator=(const TStgMedium&) = delete;
  ~TStgMedium() { Reset(); }

  STGMEDIUM* Put() {
    Reset();
    return &FMedium;
  }
  const STGMEDIUM& Get() const { return FMedium; }
  void Reset();

 private:
  STGMEDIUM FMedium{};
};

// A locked memory block, unlocked when it goes. Size is the block's size as
// the system knows it: every read stays inside it.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL Block);
  TGlobalLock(TGlobalLock&& Other) noexcept
      : FBlock(std::exchange(Other.FBlock, nullptr)),
        FData(std::exchange(Other.FData, nullptr)),
        FSize(std::exchange(Other.FSize, 0)) {}
  TGlobalLock& operator=(TGlobalLock&&) = delete;
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  ~TGlobalLock();

  const void* Data() const { return FData; }
  std::size_t Size() const { return FSize; }

 private:
  HGLOBAL FBlock = nullptr;
  void* FData = nullptr;
  std::size_t FSize = 0;
};

// A component with the COM IUnknown operations. The interfaces a class
// implements are listed in a table of (identifier, the object seen as that
// interface); QueryInterface looks them up there.
class TInterfacedComponent : public TComponent {
 public:
  explicit TInterfacedComponent(TComponent* AOwner) : TComponent(AOwner) {}

  HRESULT ComQueryInterface(REFIID Iid, void** Object);
  ULONG ComAddRef();
  ULONG ComRelease();
  LONG RefCount() const { return FRefCount; }

 protected:
  struct TInterfaceEntry {
    const IID* Iid;
    void* (*Cast)(TInterfacedComponent* Self);
  };
  virtual const TInterfaceEntry* InterfaceTable(std::size_t& Count) const = 0;

 private:
  volatile LONG FRefCount = 0;
};

using TDropTargetEvent = std::function<void(TObject* Sender, TShiftState ShiftState,
                                            TDropPoint Point, std::uint32_t& Effect)>;

class TDropTarget : public TInterfacedComponent, public IDropTarget {
 public:
  explicit TDropTarget(TComponent* AOwner);
  ~TDropTarget() override;

  // IUnknown and IDropTarget, for OLE. Every one returns S_OK and tells its
  // outcome through the effect; no exception leaves them.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* Data, DWORD KeyState, POINTL Pt,
                                      DWORD* Effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* Data, DWORD KeyState, POINTL Pt,
                                 DWORD* Effect) override;

  // Makes Control the drop window (nullptr: none). Raises ELumoraError
  // "Failed to Register <Name>" when OLE refuses it.
  void Register(TWinControl* Control);
  // Withdraws the registration. Raises ELumoraError "Failed to Unregister
  // <Name>" when OLE refuses it; the target then stays set.
  void Unregister();

  TDragTypes Dragtypes() const { return FDragtypes; }
  void SetDragtypes(TDragTypes Value) { FDragtypes = Value; }
  bool GetDataOnEnter() const { return FGetDataOnEnter; }
  void SetGetDataOnEnter(bool Value) { FGetDataOnEnter = Value; }
  bool ShowImage() const { return FShowImage; }
  void SetShowImage(bool Value);

  TDropTargetEvent OnEnter;
  TDropTargetEvent OnDragOver;
  TNotifyEvent OnLeave;
  TDropTargetEvent OnDrop;
  TDropTargetEvent OnGetDropEffect;

  TWinControl* Target() const { return FTarget; }
  // True while OLE holds the target's registration: false after Unregister,
  // and while the target control is without a window.
  bool Registered() const { return FRegistered; }
  IDataObject* DataObject() const { return FDataObject.Get(); }
  HIMAGELIST DragImageList() const { return FDragImageList; }
  POINT HotSpot() const { return FHotSpot; }
  TDropPoint LastPoint() const { return FLastPoint; }
  int ScrollMargin() const { return FScrollMargin; }
  TScrollDirections ScrollDirections() const { return FScrollDirections; }
  TTimer& ScrollTimer() const { return *FScrollTimer; }
  TImageList& BlankImageList() const { return *FBlankImageList; }

  // The effect the clipboard's "Preferred DropEffect" asks for, or 0.
  virtual std::uint32_t GetPreferredDropEffect();

 protected:
  virtual void DoEnter(TShiftState ShiftState, TDropPoint Point, std::uint32_t& Effect);
  virtual void DoDragOver(TShiftState ShiftState, TDropPoint Point, std::uint32_t& Effect);
  virtual void DoDrop(TShiftState ShiftState, TDropPoint Point, std::uint32_t& Effect);
  virtual void DoLeave();
  // Reads the data of DataObject(); true when something usable was found.
  virtual bool DoGetData() = 0;
  // Forgets data read earlier.
  virtual void ClearData() = 0;
  // Does DataObject() offer a format this target takes?
  virtual bool HasValidFormats() = 0;
  virtual std::uint32_t DoGetDropEffect(TShiftState ShiftState, TDropPoint Point,
                                        std::uint32_t Effect);

  const TInterfaceEntry* InterfaceTable(std::size_t& Count) const override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TDropPoint ToClient(POINTL Screen) const;
  POINT ClientToWindow(TDropPoint Point) const;
  HWND TargetWindow() const;
  TShiftState ShiftStateOf(DWORD KeyState) const;
  void ScrollTimerTick(TObject* Sender);
  void EndDrag();
  // Watching the registered window and waiting for the control's next one.
  void HookTargetWindow(HWND Window);
  LRESULT TargetWindowMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  void AwaitNewWindow(bool Value);
  void RegisterNewWindow();
  static LRESULT CALLBACK WindowCreatedHook(int Code, WPARAM WParam, LPARAM LParam);

  TTimer* FScrollTimer = nullptr;
  TImageList* FBlankImageList = nullptr;
  TWinControl* FTarget = nullptr;
  TComPtr<IDataObject> FDataObject;
  bool FRegistered = false;
  TDragTypes FDragtypes;
  bool FGetDataOnEnter = false;
  bool FShowImage = true;
  HIMAGELIST FDragImageList = nullptr;
  POINT FHotSpot{};
  TDropPoint FLastPoint;
  int FScrollMargin = 0;
  TScrollDirections FScrollDirections = 0;
  TWindowHook FWindowHook;
  bool FAwaitingWindow = false;
};

// The file names of a CF_HDROP block, read within the block's size; true
// when there is at least one.
bool GetFileNamesFromHDrop(HGLOBAL Block, std::vector<std::string>& Names);

}  // namespace lumora
