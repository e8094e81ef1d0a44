#include "html/PictureChoice.h"

#include "html/Srcset.h"

#include <bit>

namespace lumora {

bool IsPictureCandidateAddress(std::string_view A) {
  while (!A.empty() && static_cast<unsigned char>(A.front()) <= ' ') A.remove_prefix(1);
  if (A.empty()) return false;
  const auto Lower = [A](std::size_t K) { return static_cast<char>(A[K] | 0x20); };
  // Most absolute addresses on a page are http: or https:, so those go first.
  if (A.size() >= 5 && Lower(0) == 'h' && Lower(1) == 't' && Lower(2) == 't' && Lower(3) == 'p' &&
      (A[4] == ':' || (A.size() >= 6 && Lower(4) == 's' && A[5] == ':')))
    return true;
  // A scheme is letters, digits, "+", "-" and "." after a first letter, up
  // to a ":" that comes before any "/", "?" or "#".
  const auto IsAlpha = [](char C) { return (C | 0x20) >= 'a' && (C | 0x20) <= 'z'; };
  if (!IsAlpha(A.front())) return true;
  std::size_t I = 1;
  while (I < A.size() && (IsAlpha(A[I]) || (A[I] >= '0' && A[I] <= '9') || A[I] == '+' ||
                          A[I] == '-' || A[I] == '.'))
    ++I;
  return I == A.size() || A[I] != ':';  // a scheme, and not a web one
}

namespace {

constexpr std::uint32_t SlotsWhere(bool Width, bool (*Test)(TPictureSource)) {
  std::uint32_t Mask = 0;
  for (std::size_t S = 0; S < static_cast<std::size_t>(TPictureSource::Count); ++S)
    if (Test(static_cast<TPictureSource>(S))) Mask |= 1u << (2 * S + (Width ? 1 : 0));
  return Mask;
}

constexpr bool Any(TPictureSource) {
  return true;
}
constexpr bool IsSrc(TPictureSource S) {
  return S == TPictureSource::Src;
}
constexpr bool IsOther(TPictureSource S) {
  return !IsFullSizeSource(S);
}

constexpr std::uint32_t WidthSlots = SlotsWhere(true, Any);
constexpr std::uint32_t LazySlots =
    SlotsWhere(true, IsLazySource) | SlotsWhere(false, IsLazySource);
constexpr std::uint32_t SrcSlots = SlotsWhere(true, IsSrc) | SlotsWhere(false, IsSrc);
// The three tiers, strongest first: widths, the full-size attributes'
// densities, the others' densities.
constexpr std::uint32_t Tiers[] = {WidthSlots, SlotsWhere(false, IsFullSizeSource),
                                   SlotsWhere(false, IsOther)};

}  // namespace

void TPictureChoice::Offer(TPictureSource Source, bool Width, double Value,
                           std::string_view Address) {
  if (!IsPictureCandidateAddress(Address)) return;
  const std::size_t K = 2 * static_cast<std::size_t>(Source) + (Width ? 1 : 0);
  TBest& Slot = FBests[K];
  if ((FHave >> K & 1) && Value <= Slot.Value) return;  // the first written keeps a tie
  Slot = {Address.data(), Address.size(), Value};
  FHave |= 1u << K;
}

void TPictureChoice::AddAddress(TPictureSource Source, std::string_view Address) {
  Offer(Source, false, 1, Address);
}

void TPictureChoice::AddSizedAddress(TPictureSource Source, std::string_view Address,
                                     double Width) {
  Offer(Source, true, Width, Address);
}

void TPictureChoice::AddSrcset(TPictureSource Source, std::string_view Srcset) {
  TSrcsetReader Reader(Srcset);
  for (TSrcsetCandidate C; Reader.Next(C);)
    Offer(Source, C.Descriptor == TSrcsetDescriptor::Width, C.Value, C.URL);
}

void TPictureChoice::Merge(const TPictureChoice& Other) {
  for (std::uint32_t Left = Other.FHave; Left; Left &= Left - 1) {
    const auto K = static_cast<std::size_t>(std::countr_zero(Left));
    Offer(static_cast<TPictureSource>(K / 2), K % 2 == 1, Other.FBests[K].Value,
          Other.FBests[K].Address());
  }
}

void TPictureChoice::Keep() {
  FKept.resize(Slots);
  for (std::uint32_t Left = FHave; Left; Left &= Left - 1) {
    const auto K = static_cast<std::size_t>(std::countr_zero(Left));
    TBest& B = FBests[K];
    std::string& Room = FKept[K];
    if (B.Data == Room.data()) continue;
    Room.assign(B.Data, B.Size);
    B.Data = Room.data();
  }
}

std::string TPictureChoice::Choose() const {
  // A placeholder "src" drops out once a lazy-loading attribute holds a
  // real picture.
  const std::uint32_t Have = FHave & LazySlots ? FHave & ~SrcSlots : FHave;
  for (const std::uint32_t Tier : Tiers) {
    const TBest* Winner = nullptr;
    for (std::uint32_t Left = Have & Tier; Left; Left &= Left - 1) {
      const TBest& B = FBests[static_cast<std::size_t>(std::countr_zero(Left))];
      if (!Winner || B.Value > Winner->Value) Winner = &B;
    }
    if (Winner) return std::string(Winner->Address());
  }
  return std::string();
}

}  // namespace lumora
