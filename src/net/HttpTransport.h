#pragma once
// The one operation an HTTP back end provides (libcurl natively, WinHTTP on
// Windows). Private to the client.

#include <chrono>
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
// Session's kept-alive connection to the host (made when there is none). It
// is sent again only after a try on a kept connection that broke before any
// byte of the reply arrived, as often as the pool can hold stale connections
// to the host (libcurl: once; WinHTTP: once for each session that used the
// host while Session was alive, or, without Session, for the most that used
// it at once, at most five), never after a try on a new connection or a
// reply that is no HTTP (see THttpSession). Reply is filled as soon as a
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

// The low-speed rule of both back ends: the body of a reply that moves fewer
// than MinBytes in a window of Window (counted window after window from its
// headers on) ends the request as failed, so a server that drips a byte now
// and then cannot hold a worker for ever. 1 KB/s over 60 s; tests shrink it.
struct TLowSpeedRule {
  std::chrono::milliseconds Window{60000};
  std::int64_t MinBytes = 60 * 1024;
};
TLowSpeedRule LowSpeedRule();
void SetLowSpeedRule(const TLowSpeedRule& Rule);  // for the requests from now on

// Applies the rule to one body as it arrives.
class TLowSpeedCheck {
 public:
  TLowSpeedCheck();
  // Received: the body's bytes so far. False once a window has passed with
  // fewer than the rule's bytes.
  bool Moving(std::int64_t Received);
  // Why the request failed, for the error.
  std::string Reason() const;

 private:
  TLowSpeedRule FRule;
  std::chrono::steady_clock::time_point FStart;
  std::int64_t FStartBytes = 0;
};

// Content-Length as a signed 64-bit number, -1 for anything else.
std::int64_t ParseContentLength(const std::string& Value);

}  // namespace lumora::detail
