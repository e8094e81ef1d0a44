#pragma once
// The one operation an HTTP back end provides (libcurl natively, WinHTTP on
// Windows). Private to the client.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/HttpClient.h"
#include "net/HttpUrl.h"

namespace lumora::detail {

enum class THttpVerb { Get, Head };

struct THttpReply {
  int Status = 0;  // 0 until a status line has arrived
  std::string Reason;
  std::int64_t ContentLength = -1;
  std::string Location;  // of a redirect; empty when the reply has none
  // The media type of its Content-Type, as MediaTypeOf gives it.
  std::string ContentType;
};

// The media type of a Content-Type header's value: lower-cased, without its
// parameters and the white space round it ("Image/PNG; q=1" gives
// "image/png"). Empty for a value without one, or whose media type is longer
// than MaxMediaTypeBytes: such a value names no type anybody registers, and
// it is never held. Both back ends give the same for the same header.
std::string MediaTypeOf(std::string_view Value);
inline constexpr std::size_t MaxMediaTypeBytes = 255;

inline bool IsRedirectStatus(int Status) {
  return Status == 301 || Status == 302 || Status == 303 || Status == 307 || Status == 308;
}

// Takes the body piece by piece; false stops the reading (see THttpBodySink).
using TBodySink = std::function<bool(const char* Data, std::size_t Size)>;

// Sends one request: on a connection of its own without Session, else on
// Session's kept-alive connection to the host (made when there is none; sent
// again once on a new connection when the kept one turns out closed before
// any of the reply arrived). Reply is filled as soon as a
// reply's headers have arrived, whatever its status. The body is handed to
// Sink only for a 2xx reply to GET, as it arrives, and must arrive whole (as
// long as its Content-Length says) unless Sink stopped the reading: the
// request then ends without an error and the rest is left unread. Throws
// EHttpError(0, ...) when the exchange fails; an exception thrown by Sink
// ends the request and is passed on unchanged. An https:// Url is fetched
// over TLS with the certificate verified; one that fails verification throws
// a reason starting with CertificateNotTrusted. A non-empty Referer goes out
// as the request's Referer header. With ReadRedirectBody, the
// (short) body of a redirect reply is read and thrown away, so that its
// kept-alive connection serves the next hop; otherwise the reading stops
// after its headers as for any other error reply.
void PerformHttpRequest(const THttpUrl& Url, THttpVerb Verb, THttpReply& Reply,
                        const TBodySink& Sink, THttpSession* Session = nullptr,
                        bool ReadRedirectBody = false, const std::string& Referer = {});

// The longest redirect body read to keep a connection; a longer one drops it.
inline constexpr std::int64_t MaxRedirectBody = 64 * 1024;

// Content-Length as a signed 64-bit number, -1 for anything else.
std::int64_t ParseContentLength(const std::string& Value);

}  // namespace lumora::detail
