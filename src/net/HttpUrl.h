#pragma once
// An address cut into the parts an HTTP request needs. Both HTTP back ends
// receive these parts, so they connect to the same place and send the same
// request line.

#include <cstdint>
#include <string>
#include <string_view>

namespace lumora {

struct THttpUrl {
  std::string Scheme;  // lower case, without "://"
  std::string Host;    // no user info, no port, no brackets around an IPv6 address
  std::uint16_t Port = 80;
  std::string Target;  // path and query as sent on the request line, never empty
};

// Cuts Address into its parts. Host is filled as far as the address has one,
// even when the rest is unusable; the result says whether a request can be
// made (a scheme, a host of plain characters and a port from 1 to 65535).
bool ParseHttpUrl(std::string_view Address, THttpUrl& Url);

// Percent-encodes the bytes that may not stand on a request line (controls,
// space, bytes above 127 and " < > \ ^ ` { | }); '%' and everything else is
// kept as it is. The fragment is not part of a target.
std::string EncodeRequestTarget(std::string_view PathAndQuery);

}  // namespace lumora
