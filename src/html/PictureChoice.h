#pragma once
// Which one picture an IMG (or a <picture>) stands for on today's pages:
// the address a person sees at the largest size, among every place a page
// puts one. Candidates come in by where they were written; the choice is
// made once all are in:
//
// - a width candidate ("800w") beats any other; among widths the largest
//   wins;
// - then a full-size attribute (data-orig-file, data-full, data-hires,
//   data-src-large, data-large-file): CMS galleries name the picture behind
//   the thumbnail there. Its width is rarely written, so a srcset width,
//   which says how large its file is, ranks above it; data-orig-file with
//   the width of data-orig-size="W,H" (WordPress) competes as a width
//   candidate, and wins a tie against a resized copy;
// - then densities ("2x", or 1x for a plain address), the largest first;
// - ties go to the stronger source, in the order of TPictureSource, and
//   within a source to the first written;
// - a placeholder never wins: data: URIs and other non-web addresses are
//   never candidates, and "src" drops out once a lazy-loading attribute
//   (data-src, data-srcset, data-original, data-lazy-src) holds a real one,
//   since the page's script would replace it.
//
// A thumbnail inside a link to a picture is not chosen here at all: the
// parser queues the linked picture in its place (PictureLink.h).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// Strongest first: the order in which equal candidates win.
enum class TPictureSource {
  // The full-size attributes, from the original upload down to a large copy.
  DataOrigFile,
  DataFull,
  DataHires,
  DataSrcLarge,
  DataLargeFile,
  PictureSource,  // <source srcset> of the enclosing <picture>
  DataSrcset,
  Srcset,
  DataSrc,
  DataOriginal,
  DataLazySrc,
  Src,
  Count
};

// True for the sources a page's lazy-loading script puts in place of "src".
constexpr bool IsLazySource(TPictureSource Source) {
  return Source == TPictureSource::DataSrcset || Source == TPictureSource::DataSrc ||
         Source == TPictureSource::DataOriginal || Source == TPictureSource::DataLazySrc;
}
// True for the full-size attributes, which rank between widths and densities.
constexpr bool IsFullSizeSource(TPictureSource Source) {
  return Source <= TPictureSource::DataLargeFile;
}

// Whether a written address can be a picture to fetch: not empty, and
// either without a scheme (relative) or http: or https:. A data: URI, a
// javascript: address or a blob: one is not.
bool IsPictureCandidateAddress(std::string_view Address);

class TPictureChoice {
 public:
  // A plain address (src, data-src and the like): a 1x candidate.
  void AddAddress(TPictureSource Source, std::string_view Address);
  // An address whose width the page gives elsewhere: a width candidate.
  void AddSizedAddress(TPictureSource Source, std::string_view Address, double Width);
  // Every well-formed candidate of a srcset text.
  void AddSrcset(TPictureSource Source, std::string_view Srcset);

  // Offers the best candidates of Other as its own. Other must outlive
  // this choice's last Choose.
  void Merge(const TPictureChoice& Other);
  // Copies the texts of the best candidates into the choice, so that it no
  // longer needs the text they were read from. Until then a choice only
  // points into what it was given: choosing one picture costs no copies.
  void Keep();

  // The winner, as written; empty when there is no real candidate.
  std::string Choose() const;

 private:
  // Left unset until offered (FHave says which are): a choice is made for
  // every IMG of a page and most offer one or two candidates.
  struct TBest {
    const char* Data;
    std::size_t Size;
    double Value;
    std::string_view Address() const { return {Data, Size}; }
  };
  // Slot 2 * source holds its best density, the slot after it its best
  // width; bit K of FHave says whether slot K holds one. The choice is made
  // for every IMG of a page, so it visits only the slots in use.
  static constexpr std::size_t Slots = 2 * static_cast<std::size_t>(TPictureSource::Count);
  static_assert(Slots <= 32);
  void Offer(TPictureSource Source, bool Width, double Value, std::string_view Address);

  std::array<TBest, Slots> FBests;
  std::uint32_t FHave = 0;
  // Made by the first Keep only: most choices never keep anything.
  std::vector<std::string> FKept;
};

}  // namespace lumora
