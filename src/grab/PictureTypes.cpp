#include "grab/PictureTypes.h"

#include "sys/AsciiCase.h"

#include <array>

namespace lumora {

namespace {

// The settings line with the newer type names blanked: what the old
// three-character test searches.
std::string OldTypesPart(std::string_view PicTypes) {
  std::string S(PicTypes);
  for (const auto& T : PictureTypes) {
    if (T.Old) continue;
    const std::string_view Name = T.Name;
    for (auto P = S.find(Name); P != std::string::npos; P = S.find(Name, P + Name.size()))
      S.replace(P, Name.size(), Name.size(), '\0');
  }
  return S;
}

bool EndsWithUpper(std::string_view S, std::string_view UpperSuffix) {
  return S.size() >= UpperSuffix.size() &&
         SameTextAscii(S.substr(S.size() - UpperSuffix.size()), UpperSuffix);
}

// The endings today's web adds, with the type each stands for.
struct TAlias {
  const char* Ending;
  const char* Type;
};
constexpr TAlias Aliases[] = {
    {".JPEG", "JPG"}, {".JPE", "JPG"}, {".JFIF", "JPG"}, {".TIFF", "TIF"}};

// Every ending HasPictureEnding knows, upper case: the four old names (the
// last three characters, dot or no dot), the newer types' tokens, and then
// the aliases of today's web.
constexpr std::size_t TypeEndings = std::size(PictureTypes);
constexpr auto Endings = [] {
  std::array<std::string_view, std::size(PictureTypes) + std::size(Aliases)> E{};
  std::size_t N = 0;
  for (const auto& T : PictureTypes) E[N++] = T.Old ? T.Name : T.Token;
  for (const auto& A : Aliases) E[N++] = A.Ending;
  return E;
}();
constexpr std::size_t LongestEnding = [] {
  std::size_t L = 0;
  for (const auto E : Endings) L = E.size() > L ? E.size() : L;
  return L;
}();
// The last letters of the endings: most links (".html", "/") are turned
// away by their last character alone.
constexpr auto LastLetters = [] {
  std::array<bool, 256> L{};
  for (const auto E : Endings) L[static_cast<unsigned char>(E.back())] = true;
  return L;
}();

}  // namespace

bool IsPictureTypeEnabled(std::string_view Name, std::string_view PicTypes) {
  for (const auto& T : PictureTypes) {
    if (Name != T.Name) continue;
    if (!T.Old) return PicTypes.find(Name) != std::string_view::npos;
    return OldTypesPart(PicTypes).find(Name) != std::string::npos;
  }
  return false;
}

bool IsAddressTypeEnabled(std::string_view Address, std::string_view PicTypes, bool TodaysWeb) {
  for (const auto& T : PictureTypes)
    if (!T.Old && EndsWithUpper(Address, T.Token) &&
        PicTypes.find(T.Name) != std::string_view::npos)
      return true;
  if (TodaysWeb)
    for (const auto& A : Aliases)
      if (EndsWithUpper(Address, A.Ending) && IsPictureTypeEnabled(A.Type, PicTypes)) return true;
  if (Address.size() < 3) return false;
  const std::string X = UpperAscii(Address.substr(Address.size() - 3));
  return X.find('\0') == std::string::npos && OldTypesPart(PicTypes).find(X) != std::string::npos;
}

bool HasPictureEnding(std::string_view Address, bool TodaysWeb) {
  // The parser asks this of every link on a page, so it looks at the last
  // letter first and upper-cases the tail once, not once for each ending.
  if (Address.empty() || !LastLetters[static_cast<unsigned char>(UpperAscii(Address.back()))])
    return false;
  char Room[LongestEnding];
  const std::size_t N = Address.size() < LongestEnding ? Address.size() : LongestEnding;
  for (std::size_t I = 0; I < N; ++I) Room[I] = UpperAscii(Address[Address.size() - N + I]);
  const std::string_view Tail(Room, N);
  const std::size_t Known = TodaysWeb ? Endings.size() : TypeEndings;
  for (std::size_t K = 0; K < Known; ++K) {
    const std::string_view E = Endings[K];
    if (Tail.size() < E.size()) continue;
    std::size_t I = 0;
    while (I < E.size() && Tail[Tail.size() - E.size() + I] == E[I]) ++I;
    if (I == E.size()) return true;
  }
  return false;
}

std::string_view PictureTypeOfMime(std::string_view Mime) {
  Mime = Mime.substr(0, Mime.find(';'));
  while (!Mime.empty() && static_cast<unsigned char>(Mime.front()) <= ' ') Mime.remove_prefix(1);
  while (!Mime.empty() && static_cast<unsigned char>(Mime.back()) <= ' ') Mime.remove_suffix(1);
  static constexpr struct {
    const char* Mime;
    const char* Type;
  } Known[] = {{"image/jpeg", "JPG"}, {"image/jpg", "JPG"},      {"image/pjpeg", "JPG"},
               {"image/bmp", "BMP"},  {"image/x-ms-bmp", "BMP"}, {"image/x-bmp", "BMP"},
               {"image/gif", "GIF"},  {"image/tiff", "TIF"},     {"image/png", "PNG"},
               {"image/apng", "PNG"}, {"image/webp", "WEBP"},    {"image/avif", "AVIF"}};
  for (const auto& K : Known)
    if (SameTextAscii(Mime, K.Mime)) return K.Type;
  return {};
}

std::string PictureTypeExtension(std::string_view Name) {
  std::string Ending(1, '.');
  Ending += LowerAscii(Name);
  return Ending;
}

bool IsPlainlyNotPicture(std::string_view MediaType) {
  const std::string T = LowerAscii(MediaType);
  if (T.rfind("text/", 0) == 0) return true;
  for (const std::string_view Page :
       {"application/xhtml+xml", "application/xml", "application/json", "application/javascript",
        "application/ecmascript", "application/x-javascript"})
    if (T == Page) return true;
  return false;
}

bool StartsLikeMarkup(std::string_view FirstBytes) {
  if (FirstBytes.substr(0, 3) == "\xEF\xBB\xBF") FirstBytes.remove_prefix(3);
  const auto First = FirstBytes.find_first_not_of(" \t\r\n\f");
  return First != std::string_view::npos && FirstBytes[First] == '<';
}

}  // namespace lumora
