#pragma once
// The program's HTTP client: GET as text, GET into a sink that takes the body
// piece by piece as it arrives, HEAD for the announced length, and the host
// name a request used. Every request goes out on a connection of its own,
// with no proxy, no authentication, no cookies and no redirects followed;
// each call of the program makes a new client.
//
// Any failure throws EHttpError: no connection or no complete reply
// (StatusCode 0), a redirect reply, or any other status outside 2xx.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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
// the next request opens a new one; a request that found its kept-alive
// connection already closed, before any of its reply arrived, is sent again
// once on a new one. Serves one thread at a time.
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

  std::string Get(const std::string& Address);  // the whole body, for small replies
  void Get(const std::string& Address, const THttpBodySink& Sink);
  void Head(const std::string& Address);

  // The host part of the address being or last requested, without scheme,
  // port or path; empty when that address had none.
  const std::string& Host() const { return FHost; }
  // Content-Length of the reply being received (known to a sink from its
  // first piece on) or of the last reply that arrived, an error reply
  // included; -1 when it had none or no reply arrived.
  std::int64_t ContentLength() const { return FContentLength; }
  // Status of the reply being received or of the last that arrived; 0 when
  // none did.
  int ResponseCode() const { return FResponseCode; }

 private:
  void Request(bool IsHead, const std::string& Address, const THttpBodySink* Sink);

  THttpSession* FSession = nullptr;
  std::string FHost;
  std::int64_t FContentLength = -1;
  int FResponseCode = 0;
};

}  // namespace lumora
