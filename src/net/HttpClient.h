#pragma once
// The program's HTTP client: GET as text, GET into a sink that takes the body
// piece by piece as it arrives, HEAD for the announced length, and the host
// name a request used. Without a session every request goes out on a
// connection of its own (a worker's session keeps them: THttpSession), with no
// proxy, no authentication, no cookies and no redirects followed; each call of
// the program makes a new client.
//
// "Today's web" (SetTodaysWeb) adds two things and changes nothing else:
// https:// addresses, over TLS with the server's certificate verified (host
// name and chain, against the system's trust and the CA file of
// SetHttpCaFile); and redirects (301, 302, 303, 307, 308) followed, at most
// MaxRedirects of them, to http:// and https:// addresses only and never from
// https:// down to http://. Verification cannot be turned off.
//
// Whatever the switch, every reply's media type is at hand (ContentType), and
// a Referer can be named for the requests (SetReferer).
//
// Any failure throws EHttpError: no connection or no complete reply
// (StatusCode 0), a redirect reply not followed, or any other status
// outside 2xx.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sys/LumoraError.h"

namespace lumora {

inline constexpr char HttpUserAgent[] = "Mozilla/3.0 (compatible; Indy Library)";
inline constexpr char HttpAccept[] = "text/html, */*";

// Redirects one request follows at most (today's web).
inline constexpr int MaxRedirects = 5;
// The longest Location a redirect is followed to: longer request lines than
// this are refused by common servers anyway.
inline constexpr std::size_t MaxLocationBytes = 8192;

// The start of the reason of a request refused for its certificate:
// "certificate not trusted for host NAME (what was wrong)".
inline constexpr char CertificateNotTrusted[] = "certificate not trusted for host ";

// A PEM file of certificate authorities trusted besides the system's, for
// every https:// request of the process from then on (libcurl only: under
// Windows the system's trust store alone decides). Empty: the system's only.
void SetHttpCaFile(const std::string& Path);
std::string HttpCaFile();
// False in the Windows build, whose trust is the system store's.
bool HttpCaFileSupported();

class EHttpError : public ELumoraError {
 public:
  EHttpError(int StatusCode, const std::string& Message)
      : ELumoraError(Message), FStatusCode(StatusCode) {}
  int StatusCode() const { return FStatusCode; }  // 0 when no reply arrived

 private:
  int FStatusCode;
};

// Takes a 2xx reply's body piece by piece as it arrives, so that nothing
// needs to hold it whole. Returning false stops the reading: the request then
// ends there without an error and the rest is never read. An exception ends
// the request and reaches the caller unchanged. A request that fails later
// may already have handed pieces over: the sink's owner throws them away.
using THttpBodySink = std::function<bool(const char* Data, std::size_t Size)>;

namespace detail {
struct THttpSessionState;
}

// The HTTP session of one download worker: it keeps one connection per host
// alive from request to request for as long as it lives, so that a worker
// saving a page's pictures opens one connection, not one per picture. A
// connection the server closes, resets or leaves half-answered is dropped and
// the next request opens a new one. A request is sent again only when it went
// out on a kept connection that broke before a byte of its reply arrived (it
// went stale while kept): natively once, as each session keeps one
// connection per host; under WinHTTP, whose pool may be the whole process's,
// once for each session alive now that used the host, at most five times, so
// that the last try has a new connection. A try on a new connection that
// fails, and a reply that arrived but is no HTTP, are never sent again.
// Serves one thread at a time.
class THttpSession {
 public:
  THttpSession() noexcept;
  ~THttpSession();
  THttpSession(const THttpSession&) = delete;
  THttpSession& operator=(const THttpSession&) = delete;

  // The back end's own part, made by the first request.
  std::unique_ptr<detail::THttpSessionState>& State() { return FState; }

 private:
  std::unique_ptr<detail::THttpSessionState> FState;
};

class THttpClient {
 public:
  THttpClient() = default;
  // Requests go out on Session's connections; Session must outlive the client.
  explicit THttpClient(THttpSession& Session) : FSession(&Session) {}

  // Today's web for the requests from now on: https:// and redirects.
  void SetTodaysWeb(bool On) { FTodaysWeb = On; }
  bool TodaysWeb() const { return FTodaysWeb; }

  // The address sent as Referer with the requests from now on, and with each
  // redirect they follow; empty: none. It goes without its fragment, and not
  // at all to an http:// address when it is an https:// one (as browsers
  // do, so a secure page's address never crosses the network in the clear),
  // nor when it holds a control character, which would end the header.
  void SetReferer(std::string Address) { FReferer = std::move(Address); }
  const std::string& Referer() const { return FReferer; }

  std::string Get(const std::string& Address);  // the whole body, for small replies
  void Get(const std::string& Address, const THttpBodySink& Sink);
  void Head(const std::string& Address);

  // The host part of the address being or last requested, without scheme,
  // port or path; empty when that address had none.
  const std::string& Host() const { return FHost; }
  // The address being or last requested: after redirects the last one
  // followed, else the address given.
  const std::string& FinalAddress() const { return FFinalAddress; }
  // Content-Length of the reply being received (known to a sink from its
  // first piece on) or of the last reply that arrived, an error reply
  // included; -1 when it had none or no reply arrived.
  std::int64_t ContentLength() const { return FContentLength; }
  // The media type of the Content-Type of the reply being received (known to
  // a sink from its first piece on) or of the last reply that arrived, an
  // error reply included: lower-cased, without parameters ("image/jpeg").
  // Empty when it had none, one of more than 255 bytes, or no reply arrived.
  const std::string& ContentType() const { return FContentType; }
  // Status of the reply being received or of the last that arrived; 0 when
  // none did.
  int ResponseCode() const { return FResponseCode; }

 private:
  void Request(bool IsHead, const std::string& Address, const THttpBodySink* Sink);

  THttpSession* FSession = nullptr;
  bool FTodaysWeb = false;
  std::string FHost;
  std::string FFinalAddress;
  std::string FReferer;
  std::string FContentType;
  std::int64_t FContentLength = -1;
  int FResponseCode = 0;
};

}  // namespace lumora
