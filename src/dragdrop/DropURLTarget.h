#pragma once
// The drop target for web addresses: takes the link or page address dragged
// from a browser, a piece of text, a shortcut file's contents, or an Internet
// shortcut file dragged from the file manager, and keeps the address in URL
// and a title in Title for the owner's OnDrop.
//
// With TakesSelections saying yes (today's web), it also takes a selection
// dragged from a browser: "HTML Format" is read after the link and before
// plain text, so a link drag (link, HTML and text) stays a link drag, and a
// drag of HTML and text without a link is a selection, kept in Selection.
// A selection whose header lies refuses the drop.
//
// The data is read once, when the cursor enters; URL is emptied right after
// OnDrop and at DragLeave, so an owner that wants it copies it in OnDrop.

#include <functional>
#include <string>

#include "dragdrop/DropTarget.h"
#include "dragdrop/HtmlFormat.h"

namespace lumora {

class TDropURLTarget : public TDropTarget {
 public:
  explicit TDropURLTarget(TComponent* AOwner);

  const std::string& URL() const { return FURL; }
  const std::string& Title() const { return FTitle; }
  // True when the drag is a selection; then URL is empty.
  bool HasSelection() const { return FHasSelection; }
  const THtmlFormat& Selection() const { return FSelection; }

  // Asked at each drag: are selections taken? Unset: never.
  std::function<bool()> TakesSelections;

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
  enum class TSelectionRead { NotOffered, Read, Refused };
  TSelectionRead ReadSelection(bool& Stop);
  bool SelectionsOn() const { return TakesSelections && TakesSelections(); }

  FORMATETC FURLFormatEtc;
  FORMATETC FFileContentsFormatEtc;
  FORMATETC FFileGroupDescriptorFormatEtc;
  FORMATETC FHtmlFormatEtc;
  bool FHasSelection = false;
  THtmlFormat FSelection;
  std::string FURL;
  std::string FTitle;
};

// The address of an Internet shortcut file. A file that cannot be read, or
// larger than any real shortcut, gives none.
bool ReadURLFile(const std::string& FileName, std::string& URL);

}  // namespace lumora
