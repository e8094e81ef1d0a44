// WinHTTP back end of the HTTP client (Windows build). WinHTTP's time-outs
// are set to its documented defaults, named here so that every wait is bound
// whatever the system's WinHTTP takes; WinHTTP itself never follows a
// redirect (the client does, for today's web). https:// goes over TLS with
// the certificate checked against the system's trust store: no security flag
// that waives a check is ever set.

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
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

// What a request's notifications say, gathered through its context value.
struct TRequestNotes {
  DWORD SecureFlags = 0;   // of its secure-failure notifications
  bool Connected = false;  // a try opened a connection of its own
};

void CALLBACK OnRequestStatus(HINTERNET, DWORD_PTR Context, DWORD Status, LPVOID Info,
                              DWORD Length) {
  auto* Notes = reinterpret_cast<TRequestNotes*>(Context);
  if (!Notes) return;
  if (Status == WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER) Notes->Connected = true;
  if (Status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && Info && Length >= sizeof(DWORD))
    Notes->SecureFlags |= *static_cast<const DWORD*>(Info);
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

// Errors of a connection that broke under the request: what a kept-alive
// connection the server has closed meanwhile gives. Wine passes the socket's
// own error on where Windows reports a connection error. A reply that
// arrived but is no HTTP (ERROR_WINHTTP_INVALID_SERVER_RESPONSE) is the
// server's answer, never a reason to ask again; only Wine's WinHTTP reports a
// kept connection closed before any byte of the reply with that error too,
// and cannot tell the two apart.
bool IsStaleConnectionError(DWORD Error) {
  return Error == ERROR_WINHTTP_CONNECTION_ERROR || Error == WSAECONNRESET ||
         Error == WSAECONNABORTED ||
         (Error == ERROR_WINHTTP_INVALID_SERVER_RESPONSE && RunsUnderWine());
}

// The most a request is sent again: one for each connection a job's five
// workers can have left stale in a shared pool.
constexpr int MaxResends = 5;

// How many sessions alive now have used each host (with port), and the most
// there have been at once. Only their connections can have gone stale; and
// since some WinHTTPs (Wine's) pool connections for the whole process rather
// than per session, a request may be given any of them, a request made
// without a session too, and a session's connections outlive it there.
class THostSessions {
 public:
  // Notes that a session used Key; the sessions that had used it before.
  int Note(const std::string& Key) {
    std::lock_guard Guard(FLock);
    const int Before = FCount[Key]++;
    FPeak[Key] = std::max(FPeak[Key], Before + 1);
    return Before;
  }
  void Forget(const std::string& Key) {
    std::lock_guard Guard(FLock);
    const auto It = FCount.find(Key);
    if (It != FCount.end() && --It->second <= 0) FCount.erase(It);
  }
  int Count(const std::string& Key) const {
    std::lock_guard Guard(FLock);
    const auto It = FCount.find(Key);
    return It == FCount.end() ? 0 : It->second;
  }
  int Peak(const std::string& Key) const {
    std::lock_guard Guard(FLock);
    const auto It = FPeak.find(Key);
    return It == FPeak.end() ? 0 : It->second;
  }

 private:
  mutable std::mutex FLock;
  std::map<std::string, int> FCount;
  std::map<std::string, int> FPeak;
};

THostSessions& HostSessions() {
  static THostSessions* Hosts = new THostSessions;  // never freed: used until the very end
  return *Hosts;
}

}  // namespace

// A session's WinHTTP session handle: its connection pool keeps the
// connections whose replies were read to their end and serves the next
// request to that host on one of them. A reply left unread (an error reply,
// a sink that wanted no more) takes its connection with it.
struct THttpSessionState {
  THttpSessionState() = default;
  ~THttpSessionState() {
    for (const auto& Host : Hosts) HostSessions().Forget(Host.first);
  }
  THttpSessionState(const THttpSessionState&) = delete;
  THttpSessionState& operator=(const THttpSessionState&) = delete;

  // The sessions that may have left a connection to a host in the pool
  // before this one's request: on the first, those that used it before;
  // after that, the most that have used it at once while this one was
  // alive, ended ones included, since a pool for the whole process keeps
  // their connections. Counts each session once.
  int UseHost(const std::string& Key) {
    const auto It = Hosts.find(Key);
    if (It == Hosts.end()) {
      const int Before = HostSessions().Note(Key);
      Hosts.emplace(Key, Before + 1);
      return Before;
    }
    It->second = std::max(It->second, HostSessions().Count(Key));
    return It->second;
  }

  TWinHttpHandle Internet;
  // The hosts this session used, each with the most sessions that have used
  // it at once while this one was alive.
  std::map<std::string, int> Hosts;
};

void PerformHttpRequest(const THttpUrl& Url, THttpVerb Verb, THttpReply& Reply,
                        const TBodySink& Sink, THttpSession* Session, bool ReadRedirectBody,
                        const std::string& Referer) {
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
  TRequestNotes Notes;
  const auto FailExchange = [&](const char* Step) {
    const DWORD Error = GetLastError();
    if (Secure) {
      const char* Problem = CertificateProblem(Error);
      if (!Problem) Problem = CertificateFlagsProblem(Notes.SecureFlags);
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
  // Sent again only when a try went out on a kept connection (no new one was
  // opened for it) and that connection broke before any of the reply
  // arrived: it may have gone stale while kept. A pool holds at most one
  // kept connection to the host for each session that used it (see
  // UseHost), so that many resends, never more than MaxResends, reach a new
  // connection; a try on a new connection that fails ends the request.
  // Without a session, a request may be given a connection of any session
  // that used the host, also of one that has ended.
  const int Used = State ? State->UseHost(HostKey) : HostSessions().Peak(HostKey);
  int Resends = std::min(MaxResends, Used);

  // As a header line of its own: Wine's WinHTTP drops the referrer that
  // WinHttpOpenRequest takes.
  const std::wstring RefererLine = Referer.empty() ? std::wstring() : Widen("Referer: " + Referer);
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
    Notes = TRequestNotes{};
    DWORD_PTR Context = reinterpret_cast<DWORD_PTR>(&Notes);
    WinHttpSetOption(Request.get(), WINHTTP_OPTION_CONTEXT_VALUE, &Context, sizeof Context);
    WinHttpSetStatusCallback(Request.get(), OnRequestStatus,
                             WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER |
                                 (Secure ? WINHTTP_CALLBACK_FLAG_SECURE_FAILURE : 0),
                             0);

    DWORD Policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(Request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &Policy, sizeof Policy);
    DWORD Disable = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION;
    if (!State) Disable |= WINHTTP_DISABLE_KEEP_ALIVE;
    WinHttpSetOption(Request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &Disable, sizeof Disable);

    const std::wstring Accept = Widen(std::string("Accept: ") + HttpAccept);
    if (!WinHttpAddRequestHeaders(Request.get(), Accept.c_str(), static_cast<DWORD>(-1L),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
      Fail("WinHttpAddRequestHeaders");
    if (!RefererLine.empty() &&
        !WinHttpAddRequestHeaders(Request.get(), RefererLine.c_str(), static_cast<DWORD>(-1L),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
      Fail("WinHttpAddRequestHeaders");

    if (!WinHttpSendRequest(Request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
      if (Resends > 0 && !Notes.Connected && IsStaleConnectionError(GetLastError())) {
        --Resends;
        continue;
      }
      FailExchange("WinHttpSendRequest");
    }
    if (!WinHttpReceiveResponse(Request.get(), nullptr)) {
      if (Resends > 0 && !Notes.Connected && IsStaleConnectionError(GetLastError())) {
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
  // Wine's WinHTTP cuts a long line (see WineHeaderLine): the media type at
  // its start is what counts, so both back ends agree on it.
  std::string Type;
  if (QueryHeader(Request.get(), WINHTTP_QUERY_CONTENT_TYPE, Type))
    Reply.ContentType = MediaTypeOf(Type);
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
    // Asks only for what has arrived: some WinHTTPs (Wine's) wait for a read
    // to fill, which a dripping body would make last for ever.
    DWORD Available = 0;
    if (!WinHttpQueryDataAvailable(Request.get(), &Available)) Fail("WinHttpQueryDataAvailable");
    DWORD Read = 0;
    if (Available > 0 &&
        !WinHttpReadData(Request.get(), Chunk.data(),
                         std::min(Available, static_cast<DWORD>(Chunk.size())), &Read))
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
