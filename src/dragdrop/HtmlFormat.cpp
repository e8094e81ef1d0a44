#include "dragdrop/HtmlFormat.h"

#include <cstdint>
#include <string_view>

#include "sys/AsciiCase.h"

namespace lumora {

namespace {

// An offset as the header writes it: digits, perhaps "-1" and spaces around.
// Unset: the line is missing; Bad: anything else that is not a number, a
// negative other than -1, or a number too large for any block.
enum class TOffsetState : std::uint8_t { Unset, NoContext, Set, Bad };
struct TOffset {
  TOffsetState State = TOffsetState::Unset;
  std::size_t Value = 0;
};

std::string_view Trimmed(std::string_view S) {
  while (!S.empty() && (S.front() == ' ' || S.front() == '\t')) S.remove_prefix(1);
  while (!S.empty() && (S.back() == ' ' || S.back() == '\t')) S.remove_suffix(1);
  return S;
}

TOffset ParseOffset(std::string_view Text) {
  Text = Trimmed(Text);
  if (Text == "-1") return {TOffsetState::NoContext, 0};
  if (Text.empty()) return {TOffsetState::Bad, 0};
  constexpr std::uint64_t Limit = std::uint64_t{1} << 48;  // far beyond any block
  std::uint64_t Value = 0;
  for (char C : Text) {
    if (C < '0' || C > '9') return {TOffsetState::Bad, 0};
    Value = Value * 10 + static_cast<unsigned>(C - '0');
    if (Value > Limit) return {TOffsetState::Bad, 0};
  }
  if (Value > SIZE_MAX) return {TOffsetState::Bad, 0};
  return {TOffsetState::Set, static_cast<std::size_t>(Value)};
}

bool IsHeaderName(std::string_view Name) {
  if (Name.empty()) return false;
  for (char C : Name)
    if (!((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'))) return false;
  return true;
}

// The first line of a name wins; a repeated one is ignored.
void SetOnce(TOffset& Offset, std::string_view Value) {
  if (Offset.State == TOffsetState::Unset) Offset = ParseOffset(Value);
}

}  // namespace

bool ReadHtmlFormat(const void* Data, std::size_t Size, THtmlFormat& Out) {
  Out = THtmlFormat{};
  if (!Data) return false;
  const std::string_view Block(static_cast<const char*>(Data), Size);

  TOffset StartHTML, EndHTML, StartFragment, EndFragment;
  bool HaveVersion = false, HaveSource = false;
  std::string_view Version, Source;
  // Header lines run up to the first line that is not "Name:value".
  std::size_t Pos = 0;
  while (Pos < Block.size()) {
    const std::size_t Break = Block.find_first_of("\r\n", Pos);
    const std::size_t LineEnd = Break == std::string_view::npos ? Block.size() : Break;
    const std::string_view Line = Block.substr(Pos, LineEnd - Pos);
    const std::size_t Colon = Line.find(':');
    if (Colon == std::string_view::npos || !IsHeaderName(Line.substr(0, Colon))) break;
    const std::string_view Name = Line.substr(0, Colon);
    const std::string_view Value = Line.substr(Colon + 1);
    if (SameTextAscii(Name, "Version")) {
      if (!HaveVersion) Version = Trimmed(Value);
      HaveVersion = true;
    } else if (SameTextAscii(Name, "SourceURL")) {
      if (!HaveSource) Source = Trimmed(Value);
      HaveSource = true;
    } else if (SameTextAscii(Name, "StartHTML")) {
      SetOnce(StartHTML, Value);
    } else if (SameTextAscii(Name, "EndHTML")) {
      SetOnce(EndHTML, Value);
    } else if (SameTextAscii(Name, "StartFragment")) {
      SetOnce(StartFragment, Value);
    } else if (SameTextAscii(Name, "EndFragment")) {
      SetOnce(EndFragment, Value);
    }  // other lines (StartSelection, Charset, ...) are read past
    Pos = LineEnd;
    if (Pos < Block.size() && Block[Pos] == '\r') ++Pos;
    if (Pos < Block.size() && Block[Pos] == '\n') ++Pos;
  }
  const std::size_t HeaderEnd = Pos;

  // The fragment: both offsets given, in order, after the header and inside
  // the block.
  if (StartFragment.State != TOffsetState::Set || EndFragment.State != TOffsetState::Set)
    return false;
  const std::size_t Begin = StartFragment.Value, End = EndFragment.Value;
  if (Begin < HeaderEnd || Begin >= End || End > Size) return false;
  // The context, when the header gives one, must hold the fragment.
  if (StartHTML.State == TOffsetState::Bad || EndHTML.State == TOffsetState::Bad) return false;
  if (StartHTML.State == TOffsetState::Set &&
      (StartHTML.Value < HeaderEnd || StartHTML.Value > Begin))
    return false;
  if (EndHTML.State == TOffsetState::Set && (EndHTML.Value < End || EndHTML.Value > Size))
    return false;

  THtmlFormat Read;
  Read.Version = Version;
  Read.SourceURL = Source;
  std::size_t Length = End - Begin;
  if (Length > MaxHtmlFragmentBytes) {
    Length = MaxHtmlFragmentBytes;
    Read.Cut = true;
  }
  Read.Fragment.assign(Block.substr(Begin, Length));
  Out = std::move(Read);
  return true;
}

}  // namespace lumora
