#pragma once
// The program's HTTP client: GET as text, GET into a memory buffer, HEAD for
// the announced length, and the host name a request used. Every request goes
// out on a connection of its own, with no proxy, no authentication, no cookies
// and no redirects followed; each call of the program makes a new client.
//
// Any failure throws EHttpError: no connection or no complete reply
// (StatusCode 0), a redirect reply, or any other status outside 2xx.

#include <cstdint>
#include <string>
#include <vector>

#include "sys/LumoraError.h"

namespace lumora {

inline constexpr char HttpUserAgent[] = "Mozilla/3.0 (compatible; Indy Library)";
inline constexpr char HttpAccept[] = "text/html, */*";

class EHttpError : public ELumoraError {
 public:
  EHttpError(int StatusCode, const std::string& Message)
      : ELumoraError(Message), FStatusCode(StatusCode) {}
  int StatusCode() const { return FStatusCode; }  // 0 when no reply arrived

 private:
  int FStatusCode;
};

using TMemoryBuffer = std::vector<char>;

class THttpClient {
 public:
  std::string Get(const std::string& Address);
  void Get(const std::string& Address, TMemoryBuffer& Body);  // Body is replaced
  void Head(const std::string& Address);

  // The host part of the last address requested, without scheme, port or
  // path; empty when that address had none.
  const std::string& Host() const { return FHost; }
  // Content-Length of the last reply that arrived, an error reply included;
  // -1 when it had none or no reply arrived.
  std::int64_t ContentLength() const { return FContentLength; }
  // Status of the last reply that arrived; 0 when none did.
  int ResponseCode() const { return FResponseCode; }

 private:
  template <typename TBody>
  void Request(bool IsHead, const std::string& Address, TBody* Body);

  std::string FHost;
  std::int64_t FContentLength = -1;
  int FResponseCode = 0;
};

}  // namespace lumora
