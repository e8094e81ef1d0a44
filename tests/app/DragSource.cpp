// lumora-drag-source ADDRESS [ADDRESS2 ...]
//
// A drag source of the tests' own, standing in for a browser: a plain
// window in which every left-button press starts a real OLE drag of the
// next address in turn, offered the way browsers offer a link (as
// "UniformResourceLocator" and as CF_TEXT, copy or link). An argument
// "selection:FILE" drags a selection instead, as browsers offer one: the
// file's bytes (an "HTML Format" block) as "HTML Format", and its
// fragment's text as CF_TEXT, with no link. The outcome of
// each drag goes to standard output as one line, flushed at once, so that
// a script driving the mouse from outside can follow:
//
//   ready X Y        the window is up; X, Y is the middle of its client area
//                    on the screen, where a press starts a drag
//   drop EFFECT      the drag ended with a drop; EFFECT is what the target
//                    chose: none, copy, link or move (joined with "+")
//   cancel           the drag was given up
//   error 0xHHHHHHHH DoDragDrop failed
//
// The program ends on WM_CLOSE, or when its standard input ends or sends a
// line "quit", so that a script can close it without reaching its window.

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr char WindowClass[] = "LumoraDragSource";
constexpr char WindowTitle[] = "Lumora drag source";
constexpr int WindowLeft = 100, WindowTop = 300, WindowWidth = 240, WindowHeight = 80;

// The COM side: objects live on the heap and free themselves with their
// last reference, since the drop target may keep the data object past the
// drag. The count is atomic because nothing stops a target from releasing
// on another thread.
template <class TInterface>
class TComObject : public TInterface {
 public:
  TComObject(const TComObject&) = delete;
  TComObject& operator=(const TComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
    if (!Object) return E_POINTER;
    for (const IID* Known : FInterfaces)
      if (IsEqualIID(Iid, *Known)) {
        *Object = static_cast<TInterface*>(this);
        AddRef();
        return S_OK;
      }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefCount; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG Count = --FRefCount;
    if (Count == 0) delete this;
    return Count;
  }

 protected:
  // The interfaces a pointer to TInterface stands for: its own and those it
  // derives from. IUnknown, which every one derives from, is added here.
  explicit TComObject(std::vector<const IID*> Interfaces) : FInterfaces(std::move(Interfaces)) {
    FInterfaces.insert(FInterfaces.begin(), &IID_IUnknown);
  }
  virtual ~TComObject() = default;

 private:
  std::vector<const IID*> FInterfaces;
  std::atomic<ULONG> FRefCount{1};
};

// A COM pointer that gives its reference back when it goes.
template <class T>
class TComPtr {
 public:
  explicit TComPtr(T* Object) : FObject(Object) {}
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  ~TComPtr() {
    if (FObject) FObject->Release();
  }
  T* Get() const { return FObject; }

 private:
  T* FObject;
};

// A global memory block owned until it is handed on.
class TGlobalBlock {
 public:
  explicit TGlobalBlock(const std::string& Bytes)
      : FBlock(GlobalAlloc(GMEM_MOVEABLE, Bytes.size())) {
    if (!FBlock) return;
    if (void* P = GlobalLock(FBlock)) {
      std::memcpy(P, Bytes.data(), Bytes.size());
      GlobalUnlock(FBlock);
    } else {
      Free();
    }
  }
  TGlobalBlock(const TGlobalBlock&) = delete;
  TGlobalBlock& operator=(const TGlobalBlock&) = delete;
  ~TGlobalBlock() { Free(); }
  bool Valid() const { return FBlock != nullptr; }
  HGLOBAL Release() { return std::exchange(FBlock, nullptr); }

 private:
  void Free() {
    if (FBlock) GlobalFree(FBlock);
    FBlock = nullptr;
  }
  HGLOBAL FBlock;
};

using TOffers = std::vector<std::pair<CLIPFORMAT, std::string>>;

// One address as a browser drags a link: the same 8-bit text with its
// terminating zero under both formats.
TOffers LinkOffers(const std::string& Address) {
  const auto Url = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator"));
  return {{Url, Address + '\0'}, {static_cast<CLIPFORMAT>(CF_TEXT), Address + '\0'}};
}

// A selection as a browser drags one: "HTML Format" and text, no link.
TOffers SelectionOffers(const std::string& FileName) {
  std::string Block;
  if (std::FILE* F = std::fopen(FileName.c_str(), "rb")) {
    char Buffer[4096];
    for (std::size_t N; (N = std::fread(Buffer, 1, sizeof Buffer, F)) > 0;) Block.append(Buffer, N);
    std::fclose(F);
  }
  const auto Html = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format"));
  return {{Html, Block + '\0'},
          {static_cast<CLIPFORMAT>(CF_TEXT), std::string("Three pictures") + '\0'}};
}

// The offered formats, each in global memory.
class TLinkData final : public TComObject<IDataObject> {
 public:
  explicit TLinkData(TOffers Offers) : TComObject({&IID_IDataObject}), FOffers(std::move(Offers)) {
    for (const auto& Offer : FOffers)
      FFormats.push_back(FORMATETC{Offer.first, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* Format, STGMEDIUM* Medium) override {
    if (!Format || !Medium) return E_INVALIDARG;
    if (const HRESULT Offered = QueryGetData(Format); Offered != S_OK) return Offered;
    const std::string* Bytes = nullptr;
    for (const auto& Offer : FOffers)
      if (Offer.first == Format->cfFormat) Bytes = &Offer.second;
    TGlobalBlock Block(*Bytes);
    if (!Block.Valid()) return E_OUTOFMEMORY;
    *Medium = STGMEDIUM{};
    Medium->tymed = TYMED_HGLOBAL;
    Medium->hGlobal = Block.Release();  // the caller frees it with ReleaseStgMedium
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* Format) override {
    if (!Format) return E_INVALIDARG;
    for (const FORMATETC& F : FFormats)
      if (F.cfFormat == Format->cfFormat) {
        if (Format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        return (Format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
      }
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) override {
    if (!Out) return E_INVALIDARG;
    Out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) override {
    if (!Enum) return E_INVALIDARG;
    *Enum = nullptr;
    if (Direction != DATADIR_GET) return E_NOTIMPL;
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(FFormats.size()), FFormats.data(), Enum);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  TOffers FOffers;
  std::vector<FORMATETC> FFormats;
};

// Drops when the left button comes up, gives up on Escape, and leaves the
// cursors to OLE.
class TLinkDropSource final : public TComObject<IDropSource> {
 public:
  TLinkDropSource() : TComObject({&IID_IDropSource}) {}
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL Escape, DWORD KeyState) override {
    if (Escape) return DRAGDROP_S_CANCEL;
    return (KeyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

std::string EffectText(DWORD Effect) {
  static const std::pair<DWORD, const char*> Names[] = {
      {DROPEFFECT_COPY, "copy"}, {DROPEFFECT_MOVE, "move"}, {DROPEFFECT_LINK, "link"}};
  std::string Text;
  for (const auto& [Bit, Name] : Names)
    if (Effect & Bit) {
      if (!Text.empty()) Text += '+';
      Text += Name;
    }
  return Text.empty() ? "none" : Text;
}

void Say(const std::string& Line) {
  std::fputs((Line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::vector<std::string> Addresses;
std::size_t Next = 0;

void DragNextAddress() {
  const std::string& Address = Addresses[Next];
  Next = (Next + 1) % Addresses.size();
  constexpr char Selection[] = "selection:";
  TComPtr<IDataObject> Data(new TLinkData(
      Address.rfind(Selection, 0) == 0 ? SelectionOffers(Address.substr(sizeof Selection - 1))
                                       : LinkOffers(Address)));
  TComPtr<IDropSource> Source(new TLinkDropSource);
  DWORD Effect = DROPEFFECT_NONE;
  const HRESULT Outcome =
      DoDragDrop(Data.Get(), Source.Get(), DROPEFFECT_COPY | DROPEFFECT_LINK, &Effect);
  if (Outcome == DRAGDROP_S_DROP)
    Say("drop " + EffectText(Effect));
  else if (Outcome == DRAGDROP_S_CANCEL)
    Say("cancel");
  else {
    char Code[32];
    std::snprintf(Code, sizeof Code, "error 0x%08lx", static_cast<unsigned long>(Outcome));
    Say(Code);
  }
}

// Begins and ends one paint of a window.
class TPaint {
 public:
  explicit TPaint(HWND Window) : FWindow(Window), FDC(BeginPaint(Window, &FPaint)) {}
  TPaint(const TPaint&) = delete;
  TPaint& operator=(const TPaint&) = delete;
  ~TPaint() { EndPaint(FWindow, &FPaint); }
  HDC DC() const { return FDC; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_LBUTTONDOWN:
      DragNextAddress();
      InvalidateRect(Window, nullptr, TRUE);
      return 0;
    case WM_PAINT: {
      // The address the next press drags, for whoever watches the screen.
      TPaint Paint(Window);
      RECT Client;
      GetClientRect(Window, &Client);
      const std::string Text = "drag: " + Addresses[Next];
      DrawTextA(Paint.DC(), Text.c_str(), static_cast<int>(Text.size()), &Client,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(Window, Message, WParam, LParam);
  }
}

// OLE for this thread, for as long as the program runs.
class TOleSession {
 public:
  TOleSession() : FReady(SUCCEEDED(OleInitialize(nullptr))) {}
  TOleSession(const TOleSession&) = delete;
  TOleSession& operator=(const TOleSession&) = delete;
  ~TOleSession() {
    if (FReady) OleUninitialize();
  }
  bool Ready() const { return FReady; }

 private:
  bool FReady;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: lumora-drag-source ADDRESS [ADDRESS2 ...]\n", stderr);
    return 2;
  }
  Addresses.assign(argv + 1, argv + argc);
  TOleSession Ole;
  if (!Ole.Ready()) {
    std::fputs("OLE cannot be initialised\n", stderr);
    return 1;
  }

  WNDCLASSA Class{};
  Class.lpfnWndProc = WindowProc;
  Class.hInstance = GetModuleHandleA(nullptr);
  Class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  Class.lpszClassName = WindowClass;
  if (!RegisterClassA(&Class)) return 1;
  HWND Window = CreateWindowExA(
      0, WindowClass, WindowTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WindowLeft, WindowTop,
      WindowWidth, WindowHeight, nullptr, nullptr, Class.hInstance, nullptr);
  if (!Window) return 1;
  ShowWindow(Window, SW_SHOWNORMAL);
  UpdateWindow(Window);
  RECT Client;
  GetClientRect(Window, &Client);
  POINT Middle{(Client.left + Client.right) / 2, (Client.top + Client.bottom) / 2};
  ClientToScreen(Window, &Middle);
  Say("ready " + std::to_string(Middle.x) + " " + std::to_string(Middle.y));

  // Standard input is read on a thread of its own, since a read cannot be
  // waited for together with the window's messages. The thread is left
  // behind at the end: it may sit in a read that nothing interrupts, and it
  // touches nothing but the window handle, through a posted message. It
  // reads with ReadFile rather than the C library, whose stream lock a
  // blocked read would hold while the library flushes its streams at exit.
  const HANDLE Input = GetStdHandle(STD_INPUT_HANDLE);
  if (Input && Input != INVALID_HANDLE_VALUE)
    std::thread([Window, Input] {
      std::string Seen;
      char Buffer[256];
      DWORD Count = 0;
      while (ReadFile(Input, Buffer, sizeof Buffer, &Count, nullptr) && Count > 0) {
        Seen.append(Buffer, Count);
        if (Seen.find("quit") != std::string::npos) break;
      }
      PostMessageA(Window, WM_CLOSE, 0, 0);
    }).detach();

  MSG Message;
  while (GetMessageA(&Message, nullptr, 0, 0) > 0) {
    TranslateMessage(&Message);
    DispatchMessageA(&Message);
  }
  return 0;
}
