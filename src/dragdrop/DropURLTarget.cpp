#include "dragdrop/DropURLTarget.h"

#include <vector>

namespace lumora {

namespace {

// A file opened for reading, closed when it goes.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE Handle) : FHandle(Handle) {}
  ~TFileHandle() {
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  HANDLE Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FHandle;
};

bool IsAcceptableFormat(const FORMATETC& Format, bool Selections) {
  if (Format.ptd || Format.dwAspect != DVASPECT_CONTENT || !(Format.tymed & TYMED_HGLOBAL))
    return false;
  const UINT Number = Format.cfFormat;
  return Number == CF_URL || Number == CF_FILECONTENTS || Number == CF_HDROP || Number == CF_TEXT ||
         (Selections && Number == CF_HTML);
}

}  // namespace

TDropURLTarget::TDropURLTarget(TComponent* AOwner) : TDropTarget(AOwner) {
  SetDragtypes(TDragTypes{dtLink});
  SetGetDataOnEnter(true);
  FURLFormatEtc = {static_cast<CLIPFORMAT>(CF_URL), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FFileContentsFormatEtc = {static_cast<CLIPFORMAT>(CF_FILECONTENTS), nullptr, DVASPECT_CONTENT, 0,
                            TYMED_HGLOBAL};
  FFileGroupDescriptorFormatEtc = {static_cast<CLIPFORMAT>(CF_FILEGROUPDESCRIPTOR), nullptr,
                                   DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FHtmlFormatEtc = {static_cast<CLIPFORMAT>(CF_HTML), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool TDropURLTarget::HasValidFormats() {
  TComPtr<IEnumFORMATETC> Formats;
  if (!DataObject() || DataObject()->EnumFormatEtc(DATADIR_GET, Formats.Put()) != S_OK ||
      !Formats || Formats->Reset() != S_OK)
    return false;
  const bool Selections = SelectionsOn();
  for (;;) {
    FORMATETC Format{};
    ULONG Fetched = 0;
    if (Formats->Next(1, &Format, &Fetched) != S_OK || Fetched == 0) return false;
    // The enumerator hands over any target device; it is ours to free.
    const bool Acceptable = IsAcceptableFormat(Format, Selections);
    if (Format.ptd) CoTaskMemFree(Format.ptd);
    if (Acceptable) return true;
  }
}

bool TDropURLTarget::ReadText(const FORMATETC& Format, std::string& Text, bool& Stop) {
  FORMATETC Wanted = Format;
  TStgMedium Medium;
  if (DataObject()->GetData(&Wanted, Medium.Put()) != S_OK) return false;
  if (Medium.Get().tymed != TYMED_HGLOBAL) {
    Stop = true;
    return false;
  }
  TGlobalLock Lock(Medium.Get().hGlobal);
  Text = TextFromBlock(Lock.Data(), Lock.Size());
  return true;
}

bool TDropURLTarget::ReadFromHDrop(bool& Stop) {
  FORMATETC Wanted = HDropFormatEtc;
  TStgMedium Medium;
  if (DataObject()->GetData(&Wanted, Medium.Put()) != S_OK) return false;
  if (Medium.Get().tymed != TYMED_HGLOBAL) {
    Stop = true;
    return false;
  }
  std::vector<std::string> Names;
  if (!GetFileNamesFromHDrop(Medium.Get().hGlobal, Names) || !IsURLFileName(Names[0])) return false;
  std::string Address;
  if (!ReadURLFile(Names[0], Address)) return false;
  FURL = Address;
  FTitle = WithoutLast4(FileNameOnly(Names[0]));
  return true;
}

TDropURLTarget::TSelectionRead TDropURLTarget::ReadSelection(bool& Stop) {
  FORMATETC Wanted = FHtmlFormatEtc;
  TStgMedium Medium;
  if (DataObject()->GetData(&Wanted, Medium.Put()) != S_OK) return TSelectionRead::NotOffered;
  if (Medium.Get().tymed != TYMED_HGLOBAL) {
    Stop = true;
    return TSelectionRead::NotOffered;
  }
  TGlobalLock Lock(Medium.Get().hGlobal);
  if (!ReadHtmlFormat(Lock.Data(), Lock.Size(), FSelection)) return TSelectionRead::Refused;
  FHasSelection = true;
  FTitle = FSelection.SourceURL;
  return TSelectionRead::Read;
}

bool TDropURLTarget::DoGetData() {
  FURL.clear();
  FTitle.clear();
  FHasSelection = false;
  FSelection = THtmlFormat{};
  bool Result = false;
  if (!DataObject()) return false;

  bool Stop = false;
  std::string Text;
  TSelectionRead Selection = TSelectionRead::NotOffered;
  if (ReadText(FURLFormatEtc, Text, Stop)) {
    FURL = Text;
    Result = true;
  } else if (!Stop && SelectionsOn() &&
             (Selection = ReadSelection(Stop)) != TSelectionRead::NotOffered) {
    // A selection's plain text is no address: a block that lies is refused.
    if (Selection == TSelectionRead::Refused) return false;
    Result = true;
  } else if (!Stop && ReadText(TextFormatEtc, Text, Stop)) {
    FURL = Text;
    Result = true;
  } else if (!Stop && ReadText(FFileContentsFormatEtc, Text, Stop)) {
    FURL = FileContentsAddress(Text);
    Result = true;
  } else if (!Stop) {
    Result = ReadFromHDrop(Stop);
  }
  if (Stop) return false;

  FORMATETC Wanted = FFileGroupDescriptorFormatEtc;
  TStgMedium Medium;
  if (DataObject()->GetData(&Wanted, Medium.Put()) == S_OK) {
    if (Medium.Get().tymed != TYMED_HGLOBAL) return Result;
    // A block too small to hold a descriptor names nothing: the title stays.
    TGlobalLock Lock(Medium.Get().hGlobal);
    std::string Name;
    if (FileGroupDescriptorName(Lock.Data(), Lock.Size(), Name)) FTitle = WithoutLast4(Name);
  } else if (FTitle.empty()) {
    FTitle = FURL;
  }
  return Result;
}

void TDropURLTarget::ClearData() {
  FURL.clear();
  FHasSelection = false;
  FSelection = THtmlFormat{};
}

bool ReadURLFile(const std::string& FileName, std::string& URL) {
  URL.clear();
  TFileHandle File(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!File) return false;
  LARGE_INTEGER Size{};
  if (!GetFileSizeEx(File.Get(), &Size) || Size.QuadPart < 0 ||
      static_cast<unsigned long long>(Size.QuadPart) > MaxShortcutFileSize)
    return false;
  std::string Text(static_cast<std::size_t>(Size.QuadPart), '\0');
  DWORD Read = 0;
  if (!Text.empty() &&
      !ReadFile(File.Get(), Text.data(), static_cast<DWORD>(Text.size()), &Read, nullptr))
    return false;
  Text.resize(Read);
  return URLFromShortcutText(Text, URL);
}

}  // namespace lumora
