#include "net/HttpUrl.h"
#include "sys/AsciiCase.h"

namespace lumora {

namespace {

bool IsHostChar(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '-' ||
         C == '.' || C == '_' || C == '~';
}

bool IsIPv6Char(char C) {
  return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F') || C == ':' ||
         C == '.';
}

bool NeedsEscape(unsigned char C) {
  return C <= 0x20 || C >= 0x7F ||
         std::string_view("\"<>\\^`{|}").find(static_cast<char>(C)) != std::string_view::npos;
}

bool ParsePort(std::string_view Text, std::uint16_t& Port) {
  if (Text.empty()) return true;  // "host:" means the default port
  if (Text.size() > 5) return false;
  unsigned Value = 0;
  for (char C : Text) {
    if (C < '0' || C > '9') return false;
    Value = Value * 10 + static_cast<unsigned>(C - '0');
  }
  if (Value == 0 || Value > 65535) return false;
  Port = static_cast<std::uint16_t>(Value);
  return true;
}

}  // namespace

std::string EncodeRequestTarget(std::string_view PathAndQuery) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Out;
  Out.reserve(PathAndQuery.size() + 1);
  if (PathAndQuery.empty() || PathAndQuery.front() != '/') Out += '/';
  for (char Ch : PathAndQuery) {
    const auto C = static_cast<unsigned char>(Ch);
    if (NeedsEscape(C)) {
      Out += '%';
      Out += Hex[C >> 4];
      Out += Hex[C & 15];
    } else {
      Out += Ch;
    }
  }
  return Out;
}

bool ParseHttpUrl(std::string_view Address, THttpUrl& Url) {
  Url = THttpUrl{};
  const auto SchemeEnd = Address.find("://");
  if (SchemeEnd == std::string_view::npos || SchemeEnd == 0) return false;
  for (char C : Address.substr(0, SchemeEnd)) Url.Scheme += LowerAscii(C);

  std::string_view Rest = Address.substr(SchemeEnd + 3);
  const auto AuthorityEnd = Rest.find_first_of("/?#");
  std::string_view Authority = Rest.substr(0, AuthorityEnd);
  std::string_view PathAndQuery =
      AuthorityEnd == std::string_view::npos ? std::string_view{} : Rest.substr(AuthorityEnd);
  if (const auto Hash = PathAndQuery.find('#'); Hash != std::string_view::npos)
    PathAndQuery = PathAndQuery.substr(0, Hash);

  // User info is never sent: the program does no authentication.
  if (const auto At = Authority.rfind('@'); At != std::string_view::npos)
    Authority = Authority.substr(At + 1);

  std::string_view Host;
  std::string_view PortText;
  bool HostOk = true;
  if (!Authority.empty() && Authority.front() == '[') {
    const auto Close = Authority.find(']');
    if (Close == std::string_view::npos) {
      Host = Authority.substr(1);
      HostOk = false;
    } else {
      Host = Authority.substr(1, Close - 1);
      std::string_view After = Authority.substr(Close + 1);
      if (!After.empty() && After.front() != ':') HostOk = false;
      if (!After.empty()) PortText = After.substr(1);
    }
    for (char C : Host) HostOk = HostOk && IsIPv6Char(C);
  } else {
    const auto Colon = Authority.rfind(':');
    Host = Authority.substr(0, Colon);
    if (Colon != std::string_view::npos) PortText = Authority.substr(Colon + 1);
    for (char C : Host) HostOk = HostOk && IsHostChar(C);
  }
  Url.Host = std::string(Host);
  Url.Target = EncodeRequestTarget(PathAndQuery);
  return HostOk && !Host.empty() && ParsePort(PortText, Url.Port);
}

}  // namespace lumora
