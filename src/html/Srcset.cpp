#include "html/Srcset.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace lumora {

namespace {

// A srcset is read on every IMG of today's pages: one table entry a
// character instead of five comparisons.
constexpr std::array<bool, 256> Spaces = [] {
  std::array<bool, 256> T{};
  for (const unsigned char C : {' ', '\t', '\n', '\r', '\f'}) T[C] = true;
  return T;
}();

bool IsSpace(char C) {
  return Spaces[static_cast<unsigned char>(C)];
}

bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}

// The HTML rules for a valid non-negative integer: digits only, greater
// than zero here since a zero width means nothing. A number past what 64
// bits hold is no width either.
bool PositiveInteger(std::string_view S, double& Value) {
  if (S.empty()) return false;
  std::uint64_t N = 0;
  for (const char C : S) {
    if (!IsDigit(C)) return false;
    const auto Digit = static_cast<std::uint64_t>(C - '0');
    if (N > (UINT64_MAX - Digit) / 10) return false;
    N = N * 10 + Digit;
  }
  if (N == 0) return false;
  Value = static_cast<double>(N);
  return true;
}

// A valid floating-point number ("1", "1.5", ".5", "2e1"), finite and
// greater than zero: a density of 0 or less shows nothing.
bool PositiveDensity(std::string_view S, double& Value) {
  std::size_t I = 0;
  const auto Digits = [&] {
    const std::size_t From = I;
    while (I < S.size() && IsDigit(S[I])) ++I;
    return I > From;
  };
  if (I < S.size() && S[I] == '-') ++I;
  const bool Whole = Digits();
  bool Fraction = false;
  if (I < S.size() && S[I] == '.') {
    ++I;
    Fraction = Digits();
    if (!Fraction) return false;
  }
  if (!Whole && !Fraction) return false;
  if (I < S.size() && (S[I] == 'e' || S[I] == 'E')) {
    ++I;
    if (I < S.size() && (S[I] == '-' || S[I] == '+')) ++I;
    if (!Digits()) return false;
  }
  if (I != S.size()) return false;
  double D = 0;
  const auto [End, Error] = std::from_chars(S.data(), S.data() + S.size(), D);
  if (Error != std::errc() || End != S.data() + S.size() || !std::isfinite(D) || D <= 0)
    return false;
  Value = D;
  return true;
}

// The descriptors of one candidate, judged one at a time as they are read.
struct TDescriptors {
  bool Error = false;
  bool HaveWidth = false, HaveDensity = false, HaveHeight = false;
  double Width = 0, Density = 0;

  void Add(std::string_view D) {
    if (Error || D.empty()) return;
    const char Last = D.back();
    const std::string_view Number = D.substr(0, D.size() - 1);
    double V = 0;
    if (Last == 'w') {
      if (HaveWidth || HaveDensity || !PositiveInteger(Number, V)) {
        Error = true;
      } else {
        HaveWidth = true;
        Width = V;
      }
    } else if (Last == 'x') {
      if (HaveWidth || HaveDensity || HaveHeight || !PositiveDensity(Number, V)) {
        Error = true;
      } else {
        HaveDensity = true;
        Density = V;
      }
    } else if (Last == 'h') {
      // Heights are allowed beside a width and otherwise ignored.
      if (HaveHeight || HaveDensity || !PositiveInteger(Number, V))
        Error = true;
      else
        HaveHeight = true;
    } else {
      Error = true;
    }
  }
};

}  // namespace

bool TSrcsetReader::Next(TSrcsetCandidate& Candidate) {
  const std::string_view S = FText;
  std::size_t& P = FPos;
  while (true) {
    while (P < S.size() && (IsSpace(S[P]) || S[P] == ',')) ++P;
    if (P >= S.size()) return false;

    const std::size_t UrlStart = P;
    while (P < S.size() && !IsSpace(S[P])) ++P;
    std::string_view URL = S.substr(UrlStart, P - UrlStart);

    TDescriptors Ds;
    if (URL.back() == ',') {
      // "a.jpg," : the comma ends the candidate, which has no descriptors.
      while (!URL.empty() && URL.back() == ',') URL.remove_suffix(1);
    } else {
      while (P < S.size() && IsSpace(S[P])) ++P;
      enum { InDescriptor, InParens, AfterDescriptor } State = InDescriptor;
      std::size_t Start = P;  // of the descriptor being read
      bool Done = false;
      while (!Done) {
        if (P >= S.size()) {
          if (State != AfterDescriptor) Ds.Add(S.substr(Start, P - Start));
          break;
        }
        const char C = S[P];
        switch (State) {
          case InDescriptor:
            if (IsSpace(C)) {
              Ds.Add(S.substr(Start, P - Start));
              State = AfterDescriptor;
            } else if (C == ',') {
              Ds.Add(S.substr(Start, P - Start));
              Done = true;
            } else if (C == '(') {
              State = InParens;
            }
            break;
          case InParens:
            if (C == ')') State = InDescriptor;
            break;
          case AfterDescriptor:
            if (!IsSpace(C)) {
              State = InDescriptor;
              Start = P;
              continue;  // read the character again as the start of a descriptor
            }
            break;
        }
        ++P;
      }
    }
    if (URL.empty() || Ds.Error || (Ds.HaveHeight && !Ds.HaveWidth)) continue;
    Candidate.URL = URL;
    if (Ds.HaveWidth) {
      Candidate.Descriptor = TSrcsetDescriptor::Width;
      Candidate.Value = Ds.Width;
    } else if (Ds.HaveDensity) {
      Candidate.Descriptor = TSrcsetDescriptor::Density;
      Candidate.Value = Ds.Density;
    } else {
      Candidate.Descriptor = TSrcsetDescriptor::None;
      Candidate.Value = 1;
    }
    return true;
  }
}

}  // namespace lumora
