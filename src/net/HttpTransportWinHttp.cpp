// WinHTTP back end of the HTTP client (Windows build). WinHTTP's time-outs
// are set to its documented defaults, named here so that every wait is bound
// whatever the system's WinHTTP takes; WinHTTP itself never follows a
// redirect (the client does, for today's web). https:// goes over TLS with
// the certificate checked against the system's trust store: no security flag
// that waives a check is ever set.

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "net/HttpClient.h"
#include "net/HttpTransport.h"

namespace lumora::detail {

namespace {

// Owns one WinHTTP handle (session, connection or request).
class TWinHttpHandle {
 public:
  explicit TWinHttpHandle(HINTERNET H = nullptr) : FHandle(H) {}
  TWinHttpHandle(const TWinHttpHandle&) = delete;
  TWinHttpHandle& operator=(const TWinHttpHandle&) = delete;
  TWinHttpHandle(TWinHttpHandle&& Other) noexcept
      : FHandle(std::exchange(Other.FHandle, nullptr)) {}
  TWinHttpHandle& operator=(TWinHttpHandle&& Other) noexcept {
    if (this != &Other) {
      if (FHandle) WinHttpCloseHandle(FHandle);
      FHandle = std::exchange(Other.FHandle, nullptr);
    }
    return *this;
  }
  ~TWinHttpHandle() {
    if (FHandle) WinHttpCloseHandle(FHandle);
  }
  HINTERNET get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  HINTERNET FHandle;
};

std::wstring Widen(const std::string& S) {
  if (S.empty()) return {};
  const int N = MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
  std::wstring W(static_cast<size_t>(N), L'\0');
  MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), W.data(), N);
  return W;
}

std::string Narrow(const std::wstring& W) {
  if (W.empty()) return {};
  const int N = WideCharToMultiByte(CP_ACP, 0, W.data(), static_cast<int>(W.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string S(static_cast<size_t>(N), '\0');
  WideCharToMultiByte(CP_ACP, 0, W.data(), static_cast<int>(W.size()), S.data(), N, nullptr,
                      nullptr);
  return S;
}

// Certificate problems WinHTTP reports, in words.
const char* CertificateProblem(DWORD Error) {
  switch (Error) {
    case ERROR_WINHTTP_SECURE_INVALID_CA:
      return "issued by an authority that is not trusted";
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
      return "expired or not yet valid";
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
      return "issued for another host";
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
      return "invalid";
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
      return "revoked";
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
      return "its revocation could not be checked";
    case ERROR_WINHTTP_SECURE_FAILURE:
      return "failed verification";
    default:
      return nullptr;
  }
}

// The same for the flags of a secure-failure notification.
const char* CertificateFlagsProblem(DWORD Flags) {
  if (Flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID) return "expired or not yet valid";
  if (Flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID) return "issued for another host";
  if (Flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA)
    return "issued by an authority that is not trusted";
  if (Flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED) return "revoked";
  if (Flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED)
    return "its revocation could not be checked";
  if (Flags &
      (WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT | WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE))
    return "invalid";
  return nullptr;
}

// The longest header line Wine's WinHTTP reads whole (its reply buffer, less
// the end of the string).
constexpr std::size_t WineHeaderLine = 1459;

bool RunsUnderWine() {
  static const bool Wine = [] {
    const HMODULE Ntdll = GetModuleHandleW(L"ntdll.dll");
    return Ntdll && GetProcAddress(Ntdll, "wine_get_version") != nullptr;
  }();
  return Wine;
}

// Collects what a request's secure-failure notifications say, into the
// DWORD its context value points to.
void CALLBACK OnSecureFailure(HINTERNET, DWORD_PTR Context, DWORD Status, LPVOID Info,
                              DWORD Length) {
  if (Status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && Context && Info &&
      Length >= sizeof(DWORD))
    *reinterpret_cast<DWORD*>(Context) |= *static_cast<const DWORD*>(Info);
}

[[noreturn]] void Fail(const char* Step) {
  throw EHttpError(
      0, std::string(Step) + " failed (WinHTTP error " + std::to_string(GetLastError()) + ")");
}

// A header of the reply as text; false when the reply has none.
bool QueryHeader(HINTERNET Request, DWORD Info, std::string& Value) {
  DWORD Size = 0;
  WinHttpQueryHeaders(Request, Info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &Size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || Size == 0) return false;
  std::wstring Buffer(Size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(Request, Info, WINHTTP_HEADER_NAME_BY_INDEX, Buffer.data(), &Size,
                           WINHTTP_NO_HEADER_INDEX))
    return false;
  Buffer.resize(Size / sizeof(wchar_t));
  Value = Narrow(Buffer);
  return true;
}

TWinHttpHandle OpenInternet() {
  const std::wstring Agent = Widen(HttpUserAgent);
  TWinHttpHandle Internet(WinHttpOpen(Agent.c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY,
                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!Internet) Fail("WinHttpOpen");
  // Name resolution, connection, sending and each wait for more of the reply
  // (the TLS handshake's included): 60, 60, 30 and 30 seconds.
  if (!WinHttpSetTimeouts(Internet.get(), 60000, 60000, 30000, 30000)) Fail("WinHttpSetTimeouts");
  return Internet;
}

// Errors of a connection that broke before any of the reply arrived: what a
// kept-alive connection the server has closed meanwhile gives.
// Wine passes the socket's own error on where Windows reports a connection
// error.
bool IsStaleConnectionError(DWORD Error) {
  return Error == ERROR_WINHTTP_CONNECTION_ERROR ||
         Error == ERROR_WINHTTP_INVALID_SERVER_RESPONSE || Error == WSAECONNRESET ||
         Error == WSAECONNABORTED;
}

// Hosts (with port) that sessions of this process have kept connections to.
// Only there can a pooled connection have gone stale; and since some WinHTTPs
// pool connections for the whole process rather than per session, a request
// made without a session may be given one of them too.
class TKeptHosts {
 public:
  // Notes Key; true when it was noted before.
  bool Note(const std::string& Key) {
    std::lock_guard Guard(FLock);
    return !FKeys.insert(Key).second;
  }
  bool Contains(const std::string& Key) const {
    std::lock_guard Guard(FLock);
    return FKeys.count(Key) != 0;
  }

 private:
  mutable std::mutex FLock;
  std::set<std::string> FKeys;
};

TKeptHosts& KeptHosts() {
  static TKeptHosts* Hosts = new TKeptHosts;  // never freed: used until the very end
  return *Hosts;
}

// Sessions alive now, and the most there have been at once. With a pool per
// session a request finds at most one stale connection of its own; with a
// pool for the whole process (Wine's), each session may have left one there.
std::atomic<int> LiveSessions{0};
std::atomic<int> PeakSessions{0};

}  // namespace

// A session's WinHTTP session handle: its connection pool keeps the
// connections whose replies were read to their end and serves the next
// request to that host on one of them. A reply left unread (an error reply,
// a sink that wanted no more) takes its connection with it.
struct THttpSessionState {
  THttpSessionState() {
    const int Now = ++LiveSessions;
    int Peak = PeakSessions.load();
    while (Now > Peak && !PeakSessions.compare_exchange_weak(Peak, Now)) {
    }
  }
  ~THttpSessionState() { --LiveSessions; }
  THttpSessionState(const THttpSessionState&) = delete;
  THttpSessionState& operator=(const THttpSessionState&) = delete;

  TWinHttpHandle Internet;
};

void PerformHttpRequest(const THttpUrl& Url, THttpVerb Verb, THttpReply& Reply,
                        const TBodySink& Sink, THttpSession* Session, bool ReadRedirectBody) {
  TWinHttpHandle OwnInternet;
  THttpSessionState* State = nullptr;
  if (Session) {
    auto& Kept = Session->State();
    if (!Kept) Kept = std::make_unique<THttpSessionState>();
    State = Kept.get();
    if (!State->Internet) State->Internet = OpenInternet();
  } else {
    OwnInternet = OpenInternet();
  }
  const HINTERNET Internet = State ? State->Internet.get() : OwnInternet.get();
  const bool Secure = Url.Scheme == "https";
  const std::string HostKey = Url.Scheme + "://" + Url.Host + ":" + std::to_string(Url.Port);
  // A failed exchange over TLS may be the certificate's fault: then it says so.
  TWinHttpHandle Request;
  DWORD SecureFlags = 0;  // from the secure-failure notifications
  const auto FailExchange = [&](const char* Step) {
    const DWORD Error = GetLastError();
    if (Secure) {
      const char* Problem = CertificateProblem(Error);
      if (!Problem) Problem = CertificateFlagsProblem(SecureFlags);
      if (Problem)
        throw EHttpError(0, CertificateNotTrusted + Url.Host + " (" + Problem + ", WinHTTP error " +
                                std::to_string(Error) + ")");
      // Wine's WinHTTP reports every failed verification so, with no
      // notification saying more, just as a handshake the server broke off.
      if (Error == ERROR_WINHTTP_SECURE_CHANNEL_ERROR)
        throw EHttpError(0, CertificateNotTrusted + Url.Host +
                                ", or no TLS handshake (WinHTTP error " + std::to_string(Error) +
                                ")");
    }
    SetLastError(Error);
    Fail(Step);
  };
  // Sent again, on another connection, when a try broke before any of the
  // reply arrived on a connection that may have been a kept one: once where
  // each session pools its own connections, as WinHTTP does; where the pool
  // is shared, once for each stale connection it can hold, so that the last
  // try goes out on a new connection.
  const bool MayBeKept = State ? KeptHosts().Note(HostKey) : KeptHosts().Contains(HostKey);
  int Resends = MayBeKept ? std::max(1, PeakSessions.load()) : 0;

  TWinHttpHandle Connection(WinHttpConnect(Internet, Widen(Url.Host).c_str(), Url.Port, 0));
  if (!Connection) Fail("WinHttpConnect");

  for (;;) {
    // The target is already escaped by the client; WinHTTP must send it as it is.
    Request = TWinHttpHandle(WinHttpOpenRequest(
        Connection.get(), Verb == THttpVerb::Head ? L"HEAD" : L"GET", Widen(Url.Target).c_str(),
        nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
        WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
            (Secure ? WINHTTP_FLAG_SECURE : 0)));
    if (!Request) Fail("WinHttpOpenRequest");
    if (Secure) {
      SecureFlags = 0;
      DWORD_PTR Context = reinterpret_cast<DWORD_PTR>(&SecureFlags);
      WinHttpSetOption(Request.get(), WINHTTP_OPTION_CONTEXT_VALUE, &Context, sizeof Context);
      WinHttpSetStatusCallback(Request.get(), OnSecureFailure, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE,
                               0);
    }

    DWORD Policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(Request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &Policy, sizeof Policy);
    DWORD Disable = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION;
    if (!State) Disable |= WINHTTP_DISABLE_KEEP_ALIVE;
    WinHttpSetOption(Request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &Disable, sizeof Disable);

    const std::wstring Accept = Widen(std::string("Accept: ") + HttpAccept);
    if (!WinHttpAddRequestHeaders(Request.get(), Accept.c_str(), static_cast<DWORD>(-1L),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
      Fail("WinHttpAddRequestHeaders");

    if (!WinHttpSendRequest(Request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
      if (Resends > 0 && IsStaleConnectionError(GetLastError())) {
        --Resends;
        continue;
      }
      FailExchange("WinHttpSendRequest");
    }
    if (!WinHttpReceiveResponse(Request.get(), nullptr)) {
      if (Resends > 0 && IsStaleConnectionError(GetLastError())) {
        --Resends;
        continue;
      }
      FailExchange("WinHttpReceiveResponse");
    }
    break;
  }

  DWORD Status = 0;
  DWORD Size = sizeof Status;
  if (!WinHttpQueryHeaders(Request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &Status, &Size, WINHTTP_NO_HEADER_INDEX))
    Fail("WinHttpQueryHeaders");
  Reply.Status = static_cast<int>(Status);
  QueryHeader(Request.get(), WINHTTP_QUERY_STATUS_TEXT, Reply.Reason);
  std::string Length;
  if (QueryHeader(Request.get(), WINHTTP_QUERY_CONTENT_LENGTH, Length))
    Reply.ContentLength = ParseContentLength(Length);
  if (IsRedirectStatus(Reply.Status)) {
    QueryHeader(Request.get(), WINHTTP_QUERY_LOCATION, Reply.Location);
    // Wine's WinHTTP cuts a header line at WineHeaderLine bytes without a
    // word: a Location that long may be the start of another address.
    if (RunsUnderWine() && Reply.Location.size() + sizeof "Location: " > WineHeaderLine)
      throw EHttpError(Reply.Status, "redirect (" + std::to_string(Reply.Status) +
                                         ") to an address of " +
                                         std::to_string(Reply.Location.size()) +
                                         " bytes or more, cut by Wine's WinHTTP");
  }

  if (Verb == THttpVerb::Head) {
    // A HEAD reply has no body, but some WinHTTPs hand its connection back to
    // the pool only once a read has found that out.
    if (State) {
      char None[1];
      DWORD Read = 0;
      WinHttpReadData(Request.get(), None, sizeof None, &Read);
    }
    return;
  }
  if (ReadRedirectBody && State && IsRedirectStatus(Reply.Status)) {
    // Read to its end, so that the connection goes back to the pool for the
    // next hop; a long one is dropped with its connection.
    char Skip[4096];
    std::int64_t Skipped = 0;
    for (DWORD Read = 0; Skipped <= MaxRedirectBody; Skipped += Read) {
      if (!WinHttpReadData(Request.get(), Skip, sizeof Skip, &Read) || Read == 0) break;
    }
    return;
  }
  if (Status < 200 || Status > 299 || !Sink) return;

  // On the heap: the threads that make requests have small stacks.
  std::vector<char> Chunk(64 * 1024);
  std::int64_t Received = 0;
  TLowSpeedCheck LowSpeed;
  for (;;) {
    DWORD Read = 0;
    if (!WinHttpReadData(Request.get(), Chunk.data(), static_cast<DWORD>(Chunk.size()), &Read))
      Fail("WinHttpReadData");
    if (Read == 0) break;
    if (!Sink(Chunk.data(), Read)) return;  // the rest stays unread; closing drops it
    Received += Read;
    // Each read returns with what has arrived, at the latest after the
    // receive time-out: a drip is caught within a read of the window's end.
    if (!LowSpeed.Moving(Received)) throw EHttpError(0, LowSpeed.Reason());
  }
  if (Reply.ContentLength >= 0 && Received < Reply.ContentLength)
    throw EHttpError(0, "Connection closed before the whole body arrived");
}

}  // namespace lumora::detail

namespace lumora {

bool HttpCaFileSupported() {
  return false;
}

THttpSession::THttpSession() noexcept = default;
THttpSession::~THttpSession() = default;

}  // namespace lumora
