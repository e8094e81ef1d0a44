// Fuzzes the rules that turn an untrusted picture address into a request and
// a file name, and checks what they promise: a usable request target holds
// only bytes that may stand on a request line, and a file name can never
// leave the save folder, name a device or be empty-but-accepted. An input
// with a line break is also a redirect: the base address before it, the
// Location after it; a relative one keeps the base's scheme and authority.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "grab/DownloadPicture.h"
#include "net/HttpUrl.h"

using namespace lumora;

namespace {

void Check(bool Condition) {
  if (!Condition) std::abort();
}

bool IsDevice(std::string Base) {
  for (char& C : Base)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
  if (Base == "CON" || Base == "PRN" || Base == "AUX" || Base == "NUL") return true;
  const auto D = Base.size() == 4 ? static_cast<unsigned char>(Base[3]) : 0;
  return (Base.rfind("COM", 0) == 0 || Base.rfind("LPT", 0) == 0) &&
         ((D >= '1' && D <= '9') || D == 0xB9 || D == 0xB2 || D == 0xB3);
}

void CheckLocation(std::string_view Base, std::string_view Location) {
  THttpUrl From;
  // Only a base the client could have requested: a proper scheme, no fragment.
  if (!ParseHttpUrl(Base, From) || Base.find('#') != std::string_view::npos ||
      AddressScheme(Base) != From.Scheme)
    return;
  const std::string Next = ResolveReference(Base, Location);
  // Dot segments only ever shorten; at most a "/" is added.
  Check(Next.size() <= Base.size() + Location.size() + 1);
  if (!AddressScheme(Location).empty()) return;
  // A relative Location never leaves the base's scheme and authority.
  const std::size_t Authority = Base.find("://") + 3;
  const std::size_t End = std::min(Base.find_first_of("/?", Authority), Base.size());
  if (Location.substr(0, 2) != "//") Check(Next.compare(0, End, Base, 0, End) == 0);
  Check(AddressScheme(Next) == From.Scheme);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  if (const auto Break = Input.find('\n'); Break != std::string::npos)
    CheckLocation(std::string_view(Input).substr(0, Break),
                  std::string_view(Input).substr(Break + 1));

  THttpUrl Url;
  if (ParseHttpUrl(Input, Url)) {
    Check(!Url.Host.empty() && Url.Port != 0);
    Check(!Url.Target.empty() && Url.Target[0] == '/');
    for (unsigned char C : Url.Target) Check(C > 0x20 && C < 0x7F && C != '"' && C != '\\');
  }

  std::string Address = Input;
  // Today's web lets https:// through as well; the name rules are the same.
  if (!PictureAddress(Address, Size % 2 == 1)) return 0;
  Check(Address.find(' ') == std::string::npos);
  Check(Address.size() >= 3);
  (void)IsTypeEnabled(Address, ".JPG.BMP.GIF.TIF");

  const std::string Name = PictureFileName(Address);
  if (Name.empty()) return 0;
  Check(Name != "." && Name != "..");
  Check(Name.back() != '.' && Name.back() != ' ');
  for (unsigned char C : Name)
    Check(C >= 32 &&
          std::string_view("\\/:*?\"<>|").find(static_cast<char>(C)) == std::string_view::npos);
  Check(!IsDevice(Name.substr(0, Name.find('.'))));

  const std::string Numbered = NumberedName(Name, 7);
  Check(Numbered.size() == Name.size() + 3 && Numbered.find("(7)") != std::string::npos);
  return 0;
}
