#include "dragdrop/DropRules.h"
#include "sys/AsciiCase.h"

#include <cstring>

namespace lumora {

namespace {

std::uint32_t ReadU32(const unsigned char* P) {
  return static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
         static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24;
}

}  // namespace

std::uint32_t AllowedDropEffects(std::uint32_t Offered, TDragTypes Dragtypes) {
  std::uint32_t Allowed = Offered;
  if (!Dragtypes.Contains(dtCopy)) Allowed &= ~deCopy;
  if (!Dragtypes.Contains(dtMove)) Allowed &= ~deMove;
  if (!Dragtypes.Contains(dtLink)) Allowed &= ~deLink;
  return Allowed;
}

std::uint32_t KeyDropEffect(bool Shift, bool Ctrl, std::uint32_t Allowed) {
  if (Shift && Ctrl && (Allowed & deLink)) return deLink;
  if (Shift && !Ctrl && (Allowed & deMove)) return deMove;
  if (Allowed & deCopy) return deCopy;
  if (Allowed & deMove) return deMove;
  if (Allowed & deLink) return deLink;
  return deNone;
}

bool InScrollBand(TScrollDirections Directions, TDropPoint Point, int Margin, int ClientWidth,
                  int ClientHeight) {
  if ((Directions & sdHorizontal) && (Point.X < Margin || Point.X > ClientWidth - Margin))
    return true;
  return (Directions & sdVertical) && (Point.Y < Margin || Point.Y > ClientHeight - Margin);
}

std::uint32_t DecideDropEffect(bool Shift, bool Ctrl, std::uint32_t Offered, TDragTypes Dragtypes,
                               bool InBand, const TDropEffectOverride& Override) {
  std::uint32_t Effect = AllowedDropEffects(Offered, Dragtypes);
  if (Override) {
    Override(Effect);
    return Effect;
  }
  Effect = KeyDropEffect(Shift, Ctrl, Effect);
  return InBand ? (Effect | deScroll) : Effect;
}

TScrollStep ScrollStepAt(TDropPoint Point, int Margin, int ClientWidth, int ClientHeight) {
  TScrollStep Step;
  if (Point.Y < Margin)
    Step.Vertical = -1;
  else if (Point.Y > ClientHeight - Margin)
    Step.Vertical = 1;
  if (Point.X < Margin)
    Step.Horizontal = -1;
  else if (Point.X > ClientWidth - Margin)
    Step.Horizontal = 1;
  return Step;
}

std::string FileExtension(const std::string& Name) {
  const std::size_t Dot = Name.find_last_of(".\\:");
  if (Dot == std::string::npos || Name[Dot] != '.') return {};
  return Name.substr(Dot);
}

std::string FileNameOnly(const std::string& Name) {
  const std::size_t Sep = Name.find_last_of("\\:");
  return Sep == std::string::npos ? Name : Name.substr(Sep + 1);
}

std::string WithoutLast4(const std::string& Name) {
  return Name.size() < 4 ? Name : Name.substr(0, Name.size() - 4);
}

bool IsURLFileName(const std::string& Name) {
  return SameTextAscii(FileExtension(Name), ".url");
}

std::string FileContentsAddress(std::string_view Text) {
  std::string URL;
  if (URLFromShortcutText(Text, URL)) return URL;
  return Text.size() < 24 ? std::string() : std::string(Text.substr(23, 250));
}

std::string TextFromBlock(const void* Data, std::size_t Size) {
  if (!Data) return {};
  const char* Begin = static_cast<const char*>(Data);
  const void* Zero = std::memchr(Begin, 0, Size);
  return std::string(Begin, Zero ? static_cast<const char*>(Zero) : Begin + Size);
}

std::string WideToAscii(std::u16string_view Wide) {
  std::string Narrow;
  Narrow.reserve(Wide.size());
  for (char16_t C : Wide) Narrow += C < 0x80 ? static_cast<char>(C) : '?';
  return Narrow;
}

bool FileNamesFromDropFiles(const void* Data, std::size_t Size, const TWideToNarrow& Narrow,
                            std::vector<std::string>& Names) {
  Names.clear();
  constexpr std::size_t HeaderSize = 20;  // pFiles, pt, fNC, fWide
  if (!Data || Size < HeaderSize) return false;
  const auto* Block = static_cast<const unsigned char*>(Data);
  const std::size_t Start = ReadU32(Block);
  const bool Wide = ReadU32(Block + 16) != 0;
  if (Start >= Size) return false;

  std::vector<std::string> Found;
  std::size_t Pos = Start;
  const std::size_t CharSize = Wide ? 2 : 1;
  for (;;) {
    // Find the end of this name inside the block.
    std::size_t End = Pos;
    for (;; End += CharSize) {
      if (Size - End < CharSize) return false;  // the list runs off the block
      if (Block[End] == 0 && (!Wide || Block[End + 1] == 0)) break;
    }
    if (End == Pos) break;  // the empty name ends the list
    if (Wide) {
      std::u16string Name;
      Name.reserve((End - Pos) / 2);
      for (std::size_t I = Pos; I < End; I += 2)
        Name += static_cast<char16_t>(Block[I] | Block[I + 1] << 8);
      Found.push_back(Narrow ? Narrow(Name) : WideToAscii(Name));
    } else {
      Found.emplace_back(reinterpret_cast<const char*>(Block + Pos), End - Pos);
    }
    Pos = End + CharSize;
  }
  Names = std::move(Found);
  return !Names.empty();
}

bool FileGroupDescriptorName(const void* Data, std::size_t Size, std::string& Name) {
  Name.clear();
  if (!Data || Size < FileGroupDescriptorSize) return false;
  constexpr std::size_t NameOffset = 4 + 72;  // cItems, then the descriptor up to cFileName
  Name = TextFromBlock(static_cast<const char*>(Data) + NameOffset, 260);
  return true;
}

std::vector<std::string> SplitLines(std::string_view Text) {
  const std::size_t Zero = Text.find('\0');
  if (Zero != std::string_view::npos) Text = Text.substr(0, Zero);
  std::vector<std::string> Lines;
  std::size_t Pos = 0;
  while (Pos < Text.size()) {
    const std::size_t Break = Text.find_first_of("\r\n", Pos);
    if (Break == std::string_view::npos) {
      Lines.emplace_back(Text.substr(Pos));
      break;
    }
    Lines.emplace_back(Text.substr(Pos, Break - Pos));
    Pos = Break + 1;
    if (Text[Break] == '\r' && Pos < Text.size() && Text[Pos] == '\n') ++Pos;
  }
  return Lines;
}

bool URLFromShortcutLines(const std::vector<std::string>& Lines, std::string& URL) {
  URL.clear();
  for (std::size_t I = 0; I + 1 < Lines.size(); ++I) {
    if (!SameTextAscii(Lines[I], "[InternetShortcut]")) continue;
    for (std::size_t J = I + 1; J < Lines.size(); ++J) {
      const std::string& Line = Lines[J];
      if (Line.size() >= 4 && SameTextAscii(std::string_view(Line).substr(0, 4), "URL=")) {
        URL = Line.substr(4);
        return true;
      }
      if (!Line.empty() && Line[0] == '[') return false;
    }
    return false;
  }
  return false;
}

bool URLFromShortcutText(std::string_view Text, std::string& URL) {
  return URLFromShortcutLines(SplitLines(Text), URL);
}

}  // namespace lumora
