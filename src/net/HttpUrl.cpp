#include "net/HttpUrl.h"

#include <algorithm>

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

bool StartsWith(std::string_view S, std::string_view Prefix) {
  return S.substr(0, Prefix.size()) == Prefix;
}

bool IsSchemeChar(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '+' ||
         C == '-' || C == '.';
}

}  // namespace

std::string AddressScheme(std::string_view Address) {
  const auto Colon = Address.find(':');
  if (Colon == std::string_view::npos || Colon == 0) return {};
  const char First = Address[0];
  if (!((First >= 'a' && First <= 'z') || (First >= 'A' && First <= 'Z'))) return {};
  std::string Scheme;
  for (char C : Address.substr(0, Colon)) {
    if (!IsSchemeChar(C)) return {};
    Scheme += LowerAscii(C);
  }
  return Scheme;
}

std::string RemoveDotSegments(std::string_view Address) {
  std::size_t PathStart = 0;
  const auto SchemeEnd = Address.find("://");
  if (SchemeEnd != std::string_view::npos &&
      Address.substr(0, SchemeEnd).find_first_of("/?#") == std::string_view::npos) {
    PathStart = Address.find_first_of("/?#", SchemeEnd + 3);
    if (PathStart == std::string_view::npos) return std::string(Address);
  }
  auto PathEnd = Address.find_first_of("?#", PathStart);
  if (PathEnd == std::string_view::npos) PathEnd = Address.size();

  std::string_view In = Address.substr(PathStart, PathEnd - PathStart);
  std::string Out(Address.substr(0, PathStart));
  const std::size_t Root = Out.size();  // ".." never climbs into the authority
  const auto DropLastSegment = [&] {
    const auto Slash = Out.rfind('/');
    Out.erase(Slash == std::string::npos || Slash < Root ? Root : Slash);
  };
  while (!In.empty()) {
    if (StartsWith(In, "../")) {
      In.remove_prefix(3);
    } else if (StartsWith(In, "./")) {
      In.remove_prefix(2);
    } else if (StartsWith(In, "/./")) {
      In.remove_prefix(2);
    } else if (In == "/.") {
      Out += '/';
      break;
    } else if (StartsWith(In, "/../")) {
      In.remove_prefix(3);
      DropLastSegment();
    } else if (In == "/..") {
      DropLastSegment();
      Out += '/';
      break;
    } else if (In == "." || In == "..") {
      break;
    } else {
      const auto Next = In.find('/', 1);
      const auto Segment = In.substr(0, Next);
      Out.append(Segment);
      In.remove_prefix(Segment.size());
    }
  }
  Out.append(Address.substr(PathEnd));
  return Out;
}

std::string ResolveReference(std::string_view Base, std::string_view Reference) {
  Base = Base.substr(0, Base.find('#'));
  if (!AddressScheme(Reference).empty()) return RemoveDotSegments(Reference);
  const auto SchemeEnd = Base.find("://");
  const std::size_t AuthorityStart = SchemeEnd == std::string_view::npos ? 0 : SchemeEnd + 3;
  const std::size_t PathStart = std::min(Base.find_first_of("/?", AuthorityStart), Base.size());
  const std::size_t QueryStart = std::min(Base.find('?', PathStart), Base.size());

  std::string Out;
  if (StartsWith(Reference, "//")) {
    Out.assign(Base.substr(0, SchemeEnd == std::string_view::npos ? 0 : SchemeEnd + 1));
  } else if (StartsWith(Reference, "/")) {
    Out.assign(Base.substr(0, PathStart));
  } else if (Reference.empty() || Reference.front() == '#') {
    Out.assign(Base);
  } else if (Reference.front() == '?') {
    Out.assign(Base.substr(0, QueryStart));
  } else {
    // The directory: the path up to its last '/', or "/" for a bare host.
    const auto Slash = Base.substr(0, QueryStart).rfind('/');
    if (Slash == std::string_view::npos || Slash < PathStart)
      Out.assign(Base.substr(0, PathStart)).append("/");
    else
      Out.assign(Base.substr(0, Slash + 1));
  }
  Out.append(Reference);
  return RemoveDotSegments(Out);
}

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
  if (Url.Scheme == "https") Url.Port = 443;
  return HostOk && !Host.empty() && ParsePort(PortText, Url.Port);
}

}  // namespace lumora
