#include "html/PictureChoice.h"

#include "html/Srcset.h"
#include "sys/AsciiCase.h"

namespace lumora {

bool IsLazySource(TPictureSource Source) {
  switch (Source) {
    case TPictureSource::DataSrcset:
    case TPictureSource::DataSrc:
    case TPictureSource::DataOriginal:
    case TPictureSource::DataLazySrc:
      return true;
    default:
      return false;
  }
}

bool IsFullSizeSource(TPictureSource Source) {
  return Source <= TPictureSource::DataLargeFile;
}

bool IsPictureCandidateAddress(std::string_view A) {
  while (!A.empty() && static_cast<unsigned char>(A.front()) <= ' ') A.remove_prefix(1);
  if (A.empty()) return false;
  // A scheme is letters, digits, "+", "-" and "." after a first letter, up
  // to a ":" that comes before any "/", "?" or "#".
  const auto IsAlpha = [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); };
  if (!IsAlpha(A.front())) return true;
  std::size_t I = 1;
  while (I < A.size() && (IsAlpha(A[I]) || (A[I] >= '0' && A[I] <= '9') || A[I] == '+' ||
                          A[I] == '-' || A[I] == '.'))
    ++I;
  if (I == A.size() || A[I] != ':') return true;
  const std::string_view Scheme = A.substr(0, I);
  return SameTextAscii(Scheme, "http") || SameTextAscii(Scheme, "https");
}

void TPictureChoice::Offer(TPictureSource Source, bool Width, double Value,
                           std::string_view Address) {
  if (!IsPictureCandidateAddress(Address)) return;
  TBests& B = FBests[static_cast<std::size_t>(Source)];
  TBest& Slot = Width ? B.Width : B.Density;
  if (Slot.Have && Value <= Slot.Value) return;  // the first written keeps a tie
  Slot.Address = Address;
  Slot.Value = Value;
  Slot.Have = true;
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
  for (std::size_t S = 0; S < FBests.size(); ++S) {
    const auto Source = static_cast<TPictureSource>(S);
    if (Other.FBests[S].Width.Have)
      Offer(Source, true, Other.FBests[S].Width.Value, Other.FBests[S].Width.Address);
    if (Other.FBests[S].Density.Have)
      Offer(Source, false, Other.FBests[S].Density.Value, Other.FBests[S].Density.Address);
  }
}

void TPictureChoice::Keep() {
  FKept.resize(2 * FBests.size());
  for (std::size_t S = 0; S < FBests.size(); ++S)
    for (int W = 0; W < 2; ++W) {
      TBest& B = W ? FBests[S].Width : FBests[S].Density;
      std::string& Room = FKept[2 * S + static_cast<std::size_t>(W)];
      if (!B.Have || B.Address.data() == Room.data()) continue;
      Room.assign(B.Address);
      B.Address = Room;
    }
}

std::string TPictureChoice::Choose() const {
  bool Lazy = false;
  for (std::size_t S = 0; S < FBests.size(); ++S)
    if (IsLazySource(static_cast<TPictureSource>(S)) &&
        (FBests[S].Width.Have || FBests[S].Density.Have))
      Lazy = true;

  // Three tiers: widths, the full-size attributes' densities, the others'.
  const TBest* Winner = nullptr;
  for (const int Tier : {0, 1, 2}) {
    for (std::size_t S = 0; S < FBests.size(); ++S) {
      const auto Source = static_cast<TPictureSource>(S);
      if (Lazy && Source == TPictureSource::Src) continue;
      if (Tier > 0 && IsFullSizeSource(Source) != (Tier == 1)) continue;
      const TBest& B = Tier == 0 ? FBests[S].Width : FBests[S].Density;
      if (B.Have && (!Winner || B.Value > Winner->Value)) Winner = &B;
    }
    if (Winner) break;
  }
  return Winner ? std::string(Winner->Address) : std::string();
}

}  // namespace lumora
