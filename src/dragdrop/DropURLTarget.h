#pragma once
// The drop target for web addresses: takes the link or page address dragged
// from a browser, a piece of text, a shortcut file's contents, or an Internet
// shortcut file dragged from the file manager, and keeps the address in URL
// and a title in Title for the owner's OnDrop.
//
// The data is read once, when the cursor enters; URL is emptied right after
// OnDrop and at DragLeave, so an owner that wants it copies it in OnDrop.

#include <string>

#include "dragdrop/DropTarget.h"

namespace lumora {

class TDropURLTarget : public TDropTarget {
 public:
  explicit TDropURLTarget(TComponent* AOwner);

  const std::string& URL() const { return FURL; }
  const std::string& Title() const { return FTitle; }

 protected:
  bool HasValidFormats() override;
  bool DoGetData() override;
  void ClearData() override;

 private:
  // Reads the text of one of the address sources; false when the data
  // object does not deliver it, with Stop set when it delivers it in a
  // medium other than global memory.
  bool ReadText(const FORMATETC& Format, std::string& Text, bool& Stop);
  bool ReadFromHDrop(bool& Stop);

  FORMATETC FURLFormatEtc;
  FORMATETC FFileContentsFormatEtc;
  FORMATETC FFileGroupDescriptorFormatEtc;
  std::string FURL;
  std::string FTitle;
};

// The address of an Internet shortcut file. A file that cannot be read, or
// larger than any real shortcut, gives none.
bool ReadURLFile(const std::string& FileName, std::string& URL);

}  // namespace lumora
