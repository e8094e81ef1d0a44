#pragma once
// A srcset attribute read the way browsers read it: candidates separated by
// commas, each a URL (a run without whitespace, so a comma inside it, as in
// a data: URI, belongs to it) and descriptors after it ("800w", "2x", "600h",
// parenthesised groups kept whole). Spaces, tabs and line breaks all count
// as whitespace. A candidate whose descriptors are malformed (an unknown
// one, two of a kind, "-5w", "0x", "1e999x", a height without a width) is
// skipped; reading goes on with the next.

#include <cstdint>
#include <string_view>

namespace lumora {

enum class TSrcsetDescriptor {
  None,     // no descriptor: as good as 1x
  Width,    // "800w"
  Density,  // "2x", "1.5x"
};

struct TSrcsetCandidate {
  std::string_view URL;  // a view into the attribute text
  TSrcsetDescriptor Descriptor = TSrcsetDescriptor::None;
  double Value = 1;  // the width in pixels or the density; 1 for None
};

// Walks the candidates of one srcset text without allocating: each call of
// Next gives the next well-formed candidate, false at the end.
class TSrcsetReader {
 public:
  explicit TSrcsetReader(std::string_view Text) : FText(Text) {}
  bool Next(TSrcsetCandidate& Candidate);

 private:
  std::string_view FText;
  std::size_t FPos = 0;
};

}  // namespace lumora
