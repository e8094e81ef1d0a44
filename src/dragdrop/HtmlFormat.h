#pragma once
// The "HTML Format" clipboard block a browser offers for a dragged selection:
// a header of "Name:value" lines, then HTML. The header gives byte offsets
// into the whole block (StartHTML, EndHTML, StartFragment, EndFragment) and
// the address of the page the selection came from (SourceURL):
//
//   Version:0.9
//   StartHTML:0000000105
//   EndHTML:0000000199
//   StartFragment:0000000141
//   EndFragment:0000000163
//   SourceURL:http://host/page.html
//   <html><body><!--StartFragment--><img src="a.jpg"><!--EndFragment--></body></html>
//
// The block comes from another program and is untrusted. The reader is told
// the block's size and never looks past it; a header that lies about its
// offsets (past the end, negative, swapped, missing) is refused as a whole.
//
// Text: the offsets count bytes, and the format's text is UTF-8. A header
// that names another character set (a "Charset:" line, which some writers
// add) changes nothing: the fragment's bytes are taken as they are. Picture
// addresses are ASCII or percent-encoded in every character set a browser
// writes, and the parser reads bytes, so converting would only risk moving
// the offsets' meaning.

#include <cstddef>
#include <string>

namespace lumora {

// A dropped fragment is bounded as a page is: its first 32 MiB are read, the
// rest is cut off.
inline constexpr std::size_t MaxHtmlFragmentBytes = std::size_t{32} << 20;

struct THtmlFormat {
  std::string Version;
  std::string SourceURL;  // empty when the header gives none
  std::string Fragment;   // the selected HTML, at most MaxHtmlFragmentBytes
  bool Cut = false;       // the fragment was longer and was cut
};

// Reads Size bytes at Data as an "HTML Format" block. False, with Out
// emptied, when the block has no header, no fragment, or offsets that do not
// lie inside the block in the order StartHTML <= StartFragment <=
// EndFragment <= EndHTML (StartHTML and EndHTML may be -1: no context), or
// an empty fragment: nothing was selected.
bool ReadHtmlFormat(const void* Data, std::size_t Size, THtmlFormat& Out);

}  // namespace lumora
