// Fuzzes the rules that turn an untrusted picture address into a request and
// a file name, and checks what they promise: a usable request target holds
// only bytes that may stand on a request line, and a file name can never
// leave the save folder, name a device or be empty-but-accepted.

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);

  THttpUrl Url;
  if (ParseHttpUrl(Input, Url)) {
    Check(!Url.Host.empty() && Url.Port != 0);
    Check(!Url.Target.empty() && Url.Target[0] == '/');
    for (unsigned char C : Url.Target) Check(C > 0x20 && C < 0x7F && C != '"' && C != '\\');
  }

  std::string Address = Input;
  if (!PictureAddress(Address)) return 0;
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
