#include "dragdrop/TestDataObject.h"

#include <shlobj.h>

#include <cstring>

namespace lumora::test {

namespace {

// Enumerates a fixed list of formats; frees itself with its last reference.
class TFormatEnum final : public IEnumFORMATETC {
 public:
  explicit TFormatEnum(std::vector<FORMATETC> Formats) : FFormats(std::move(Formats)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IEnumFORMATETC)) {
      *Object = this;
      AddRef();
      return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++FRefCount); }
  ULONG STDMETHODCALLTYPE Release() override {
    const int Count = --FRefCount;
    if (Count == 0) delete this;
    return static_cast<ULONG>(Count);
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG Count, FORMATETC* Out, ULONG* Fetched) override {
    ULONG Done = 0;
    while (Done < Count && FPos < FFormats.size()) Out[Done++] = FFormats[FPos++];
    if (Fetched) *Fetched = Done;
    return Done == Count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override {
    FPos += Count;
    return FPos <= FFormats.size() ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    FPos = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC**) override { return E_NOTIMPL; }

 private:
  std::vector<FORMATETC> FFormats;
  std::size_t FPos = 0;
  int FRefCount = 1;
};

HGLOBAL BlockOf(const std::string& Bytes) {
  HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Bytes.size() ? Bytes.size() : 1);
  if (void* P = GlobalLock(Block)) {
    std::memcpy(P, Bytes.data(), Bytes.size());
    GlobalUnlock(Block);
  }
  return Block;
}

}  // namespace

HRESULT STDMETHODCALLTYPE TTestDataObject::QueryInterface(REFIID Iid, void** Object) {
  if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IDataObject)) {
    *Object = this;
    AddRef();
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

const TOffer* TTestDataObject::Find(const FORMATETC& Format) const {
  for (const TOffer& O : FOffers)
    if (O.Format == Format.cfFormat && O.Aspect == Format.dwAspect && (O.Announced & Format.tymed))
      return &O;
  return nullptr;
}

HRESULT STDMETHODCALLTYPE TTestDataObject::GetData(FORMATETC* Format, STGMEDIUM* Medium) {
  Asked.push_back(Format->cfFormat);
  const TOffer* O = Find(*Format);
  if (!O) return DV_E_FORMATETC;
  *Medium = STGMEDIUM{};
  if (O->Delivered == TYMED_ISTREAM) {
    Medium->tymed = TYMED_ISTREAM;
    return CreateStreamOnHGlobal(BlockOf(O->Bytes), TRUE, &Medium->pstm);
  }
  Medium->tymed = TYMED_HGLOBAL;
  Medium->hGlobal = BlockOf(O->Bytes);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TTestDataObject::QueryGetData(FORMATETC* Format) {
  return Find(*Format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE TTestDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) {
  if (Direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> Formats;
  for (const TOffer& O : FOffers)
    Formats.push_back(FORMATETC{O.Format, nullptr, O.Aspect, -1, O.Announced});
  *Enum = new TFormatEnum(std::move(Formats));
  return S_OK;
}

std::string DropFilesBlock(const std::vector<std::string>& Files) {
  DROPFILES Header{};
  Header.pFiles = sizeof(DROPFILES);
  std::string Block(reinterpret_cast<const char*>(&Header), sizeof Header);
  for (const std::string& F : Files) Block += F + '\0';
  Block += '\0';
  return Block;
}

std::string FileGroupBlock(const std::string& Name) {
  FILEGROUPDESCRIPTORA Group{};
  Group.cItems = 1;
  std::strncpy(Group.fgd[0].cFileName, Name.c_str(), MAX_PATH - 1);
  return std::string(reinterpret_cast<const char*>(&Group), sizeof Group);
}

}  // namespace lumora::test
