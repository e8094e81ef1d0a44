#pragma once
// A data object of the tests' own, as a drag source would offer it: chosen
// formats, each delivered in a chosen medium, with a count of the references
// taken on it so that a test can see them all given back.

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

namespace lumora::test {

struct TOffer {
  CLIPFORMAT Format = 0;
  // The media the enumeration announces; Delivered is what GetData hands
  // out (TYMED_HGLOBAL or TYMED_ISTREAM).
  DWORD Announced = TYMED_HGLOBAL;
  DWORD Delivered = TYMED_HGLOBAL;
  std::string Bytes;  // the block's exact contents (no zero is added)
  DVASPECT Aspect = DVASPECT_CONTENT;
};

class TTestDataObject final : public IDataObject {
 public:
  explicit TTestDataObject(std::vector<TOffer> Offers) : FOffers(std::move(Offers)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++FRefCount); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--FRefCount); }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* Format, STGMEDIUM* Medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* Format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) override {
    if (Out) Out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

  // References held by others than the test (which holds the first).
  int ForeignReferences() const { return FRefCount - 1; }
  // Formats asked for with GetData, in order.
  std::vector<CLIPFORMAT> Asked;

 private:
  const TOffer* Find(const FORMATETC& Format) const;
  std::vector<TOffer> FOffers;
  int FRefCount = 1;
};

// The contents of a DROPFILES block naming Files (8-bit names).
std::string DropFilesBlock(const std::vector<std::string>& Files);
// The contents of a FILEGROUPDESCRIPTOR block whose first file is Name.
std::string FileGroupBlock(const std::string& Name);

}  // namespace lumora::test
