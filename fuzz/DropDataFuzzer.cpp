// Fuzzes the readers of dropped data, which comes from other programs: a
// DROPFILES block, a FILEGROUPDESCRIPTOR block, an Internet shortcut file
// and dropped file contents. Each is given exactly the input's bytes, so
// AddressSanitizer sees any read past the block; the checks are what the
// readers promise. The same bytes are read as an "HTML Format" block too.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dragdrop/DropRules.h"
#include "dragdrop/HtmlFormat.h"

using namespace lumora;

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // A copy of exactly Size bytes: nothing after it may be read.
  std::unique_ptr<std::uint8_t[]> Block(new std::uint8_t[Size ? Size : 1]);
  if (Size) std::memcpy(Block.get(), Data, Size);

  std::vector<std::string> Names;
  const bool Found = FileNamesFromDropFiles(Block.get(), Size, nullptr, Names);
  Check(Found == !Names.empty());
  std::size_t Total = 0;
  for (const std::string& Name : Names) {
    Check(!Name.empty() && Name.find('\0') == std::string::npos);
    Total += Name.size() + 1;
  }
  Check(Total <= Size);
  if (Found) {
    (void)IsURLFileName(Names[0]);
    (void)WithoutLast4(FileNameOnly(Names[0]));
  }

  std::string Title;
  if (FileGroupDescriptorName(Block.get(), Size, Title)) Check(Title.size() <= 260);

  const std::string Text = TextFromBlock(Block.get(), Size);
  Check(Text.size() <= Size && Text.find('\0') == std::string::npos);
  // File contents: a shortcut's own address when the text reads as one,
  // else at most 250 characters cut from it; a piece of the text either way.
  std::string ShortcutURL;
  const bool IsShortcut = URLFromShortcutText(Text, ShortcutURL);
  const std::string Contents = FileContentsAddress(Text);
  Check(Text.find(Contents) != std::string::npos);
  Check(IsShortcut ? Contents == ShortcutURL : Contents.size() <= 250);

  // A selection: a piece of the block, never empty, and its page address
  // from the header, both inside the block.
  THtmlFormat Html;
  if (ReadHtmlFormat(Block.get(), Size, Html)) {
    Check(!Html.Fragment.empty() && Html.Fragment.size() <= Size && !Html.Cut);
    const std::string_view All(reinterpret_cast<const char*>(Block.get()), Size);
    Check(All.find(Html.Fragment) != std::string_view::npos);
    Check(All.find(Html.SourceURL) != std::string_view::npos);
  } else {
    Check(Html.Fragment.empty() && Html.SourceURL.empty());
  }

  std::string URL;
  const std::string_view View(reinterpret_cast<const char*>(Block.get()), Size);
  if (URLFromShortcutText(View, URL)) {
    Check(URL.size() < Size && URL.find_first_of("\r\n") == std::string::npos);
    Check(View.find(URL) != std::string_view::npos);
  } else {
    Check(URL.empty());
  }
  return 0;
}
