#pragma once
// The rules of drop reception that need no OLE: which effect a drop gets,
// where the auto-scroll band lies, how names and titles are cut, and how the
// dropped memory blocks and shortcut files are read. Dropped data comes from
// other programs and is untrusted: every reader here is told the size of its
// block and never looks past it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// OLE drop effects, with the values OLE gives them.
inline constexpr std::uint32_t deNone = 0;
inline constexpr std::uint32_t deCopy = 1;
inline constexpr std::uint32_t deMove = 2;
inline constexpr std::uint32_t deLink = 4;
inline constexpr std::uint32_t deScroll = 0x80000000u;

enum TDragType : std::uint8_t { dtCopy, dtMove, dtLink };

// A set of drag types.
class TDragTypes {
 public:
  constexpr TDragTypes() = default;
  constexpr TDragTypes(std::initializer_list<TDragType> Types) {
    for (TDragType T : Types) FBits = static_cast<std::uint8_t>(FBits | Bit(T));
  }
  constexpr bool Contains(TDragType T) const { return (FBits & Bit(T)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr bool operator==(const TDragTypes&) const = default;

 private:
  static constexpr std::uint8_t Bit(TDragType T) { return static_cast<std::uint8_t>(1u << T); }
  std::uint8_t FBits = 0;
};

enum TScrollDirection : std::uint8_t { sdHorizontal = 1, sdVertical = 2 };
using TScrollDirections = std::uint8_t;

struct TDropPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TDropPoint&) const = default;
};

// The offered effect without the copy, move and link bits that Dragtypes
// does not allow; other bits pass.
std::uint32_t AllowedDropEffects(std::uint32_t Offered, TDragTypes Dragtypes);

// The built-in choice among the allowed effects: Shift and Ctrl together ask
// for a link, Shift alone for a move, otherwise copy before move before link.
std::uint32_t KeyDropEffect(bool Shift, bool Ctrl, std::uint32_t Allowed);

// Is the point in the auto-scroll band of a client area of the given size,
// along an edge whose direction the window can scroll in?
bool InScrollBand(TScrollDirections Directions, TDropPoint Point, int Margin, int ClientWidth,
                  int ClientHeight);

// The whole effect rule. Override, when given, decides instead of the keys
// and the band: it gets the allowed effects and returns what it leaves.
using TDropEffectOverride = std::function<void(std::uint32_t& Effect)>;
std::uint32_t DecideDropEffect(bool Shift, bool Ctrl, std::uint32_t Offered, TDragTypes Dragtypes,
                               bool InBand, const TDropEffectOverride& Override);

// One auto-scroll step at the last cursor point: -1 (up/left), 1
// (down/right) or 0 for each axis, by the band test alone.
struct TScrollStep {
  int Vertical = 0;
  int Horizontal = 0;
};
TScrollStep ScrollStepAt(TDropPoint Point, int Margin, int ClientWidth, int ClientHeight);

// Names and titles.
// The extension of a file name, from its last "." on; empty when a "\" or
// ":" follows that "." (the dot belongs to a folder) or there is none.
std::string FileExtension(const std::string& Name);
// The name without its folder: the part after the last "\" or ":".
std::string FileNameOnly(const std::string& Name);
// A shortcut name without its last four characters (taken to be ".url");
// names shorter than four stay as they are.
std::string WithoutLast4(const std::string& Name);
bool IsURLFileName(const std::string& Name);
// The address inside dropped file contents. The contents of a dragged
// Internet shortcut are read as the shortcut file would be
// (URLFromShortcutText), whatever its line ends and whatever sections come
// before its own. Only contents in which that finds no "URL=" line are cut
// at the fixed place: 250 characters at most from the 24th character on,
// where the address of a one-section shortcut with LF line ends starts.
std::string FileContentsAddress(std::string_view Text);

// Memory blocks.
// 8-bit text ending at a zero byte or at the end of the block.
std::string TextFromBlock(const void* Data, std::size_t Size);

// Converts one UTF-16 file name to 8-bit text in the system code page.
using TWideToNarrow = std::function<std::string(std::u16string_view)>;
// A stand-in for systems without a code page: ASCII stays, the rest is "?".
std::string WideToAscii(std::u16string_view Wide);

// The file names of a DROPFILES block (pFiles at offset 0, fWide at offset
// 16): zero-terminated names, 8-bit or UTF-16, ending with an empty name.
// A header cut short, a list start outside the block, or a list whose end
// (the empty name) lies beyond the block gives no names at all: a list that
// does not end inside its block is not a list. True when Names is not empty.
bool FileNamesFromDropFiles(const void* Data, std::size_t Size, const TWideToNarrow& Narrow,
                            std::vector<std::string>& Names);

// The name of the first descriptor of an 8-bit FILEGROUPDESCRIPTOR block
// (at most 260 characters). False for a block smaller than the structure.
bool FileGroupDescriptorName(const void* Data, std::size_t Size, std::string& Name);
inline constexpr std::size_t FileGroupDescriptorSize = 4 + 332;

// Internet shortcut files.
// Lines as a text file holds them: split at CR, LF or CR LF; a break at the
// very end opens no further line; a zero byte ends the text.
std::vector<std::string> SplitLines(std::string_view Text);
// The address of the first "URL=" line of the "[InternetShortcut]" section
// (both without regard to case). The section line must not be the file's
// last line; a section header before the "URL=" line ends the search.
bool URLFromShortcutLines(const std::vector<std::string>& Lines, std::string& URL);
bool URLFromShortcutText(std::string_view Text, std::string& URL);
// No real shortcut comes near this; a larger file is not read.
inline constexpr std::size_t MaxShortcutFileSize = 64 * 1024;

}  // namespace lumora
