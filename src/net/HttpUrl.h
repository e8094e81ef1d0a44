#pragma once
// An address cut into the parts an HTTP request needs. Both HTTP back ends
// receive these parts, so they connect to the same place and send the same
// request line.

#include <cstdint>
#include <string>
#include <string_view>

namespace lumora {

struct THttpUrl {
  std::string Scheme;       // lower case, without "://"
  std::string Host;         // no user info, no port, no brackets around an IPv6 address
  std::uint16_t Port = 80;  // 443 for https when the address names none
  std::string Target;       // path and query as sent on the request line, never empty
};

// Cuts Address into its parts. Host is filled as far as the address has one,
// even when the rest is unusable; the result says whether a request can be
// made (a scheme, a host of plain characters and a port from 1 to 65535).
bool ParseHttpUrl(std::string_view Address, THttpUrl& Url);

// The scheme an address starts with, lower-cased and without ":": letters,
// digits, '+', '-' and '.' from a letter up to the first ':', before any
// '/', '?' or '#'. Empty for a reference without one ("//h/x", "a/b.jpg").
std::string AddressScheme(std::string_view Address);

// Resolves the "." and ".." segments of an address's path (RFC 3986,
// section 5.2.4); scheme, authority, query and fragment stay as they are.
std::string RemoveDotSegments(std::string_view Address);

// Resolves Reference against the absolute address Base as RFC 3986 (section
// 5.2) does for the forms pages and servers use: a reference with a scheme
// stands as it is; "//host/x" takes Base's scheme; "/x" Base's scheme and
// authority, written exactly as Base writes them; "?q" Base's path; an empty
// one or "#f" Base itself; anything else Base's directory. Dot segments are
// resolved last. Base's fragment is never carried.
std::string ResolveReference(std::string_view Base, std::string_view Reference);

// Percent-encodes the bytes that may not stand on a request line (controls,
// space, bytes above 127 and " < > \ ^ ` { | }); '%' and everything else is
// kept as it is. The fragment is not part of a target.
std::string EncodeRequestTarget(std::string_view PathAndQuery);

}  // namespace lumora
