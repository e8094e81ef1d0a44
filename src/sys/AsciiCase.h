#pragma once
// Letter case for the program's 8-bit text: only the ASCII letters change,
// so bytes of other code pages (and UTF-8 sequences) pass through untouched,
// whatever the C library's locale says.

#include <string>
#include <string_view>

namespace lumora {

constexpr char UpperAscii(char C) {
  return C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C;
}
constexpr char LowerAscii(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C;
}

inline std::string UpperAscii(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = UpperAscii(C);
  return R;
}

inline std::string LowerAscii(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = LowerAscii(C);
  return R;
}

// Equal when compared without ASCII case.
constexpr bool SameTextAscii(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
  return true;
}

}  // namespace lumora
