// libcurl back end of the HTTP client (native build).

#include <curl/curl.h>
#include <openssl/crypto.h>

#include <chrono>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>

#include "net/HttpClient.h"
#include "net/HttpTransport.h"

namespace lumora::detail {

namespace {

struct TCurlDeleter {
  void operator()(CURL* H) const { curl_easy_cleanup(H); }
};
struct TSlistDeleter {
  void operator()(curl_slist* L) const { curl_slist_free_all(L); }
};

struct TExchange {
  THttpVerb Verb = THttpVerb::Get;
  THttpReply* Reply = nullptr;
  const TBodySink* Sink = nullptr;
  std::int64_t Received = 0;
  std::size_t HeaderBytes = 0;  // of the reply, any part of it
  // No exception may unwind through libcurl's C frames: a callback keeps it here.
  std::exception_ptr CallbackError;
  // An error reply's body is not wanted: reading stops after its headers.
  bool StoppedAfterHeaders = false;
  // The sink wanted no more of the body.
  bool StoppedBySink = false;
  // A redirect's body is read and thrown away, up to MaxRedirectBody.
  bool ReadRedirectBody = false;
  std::int64_t RedirectBody = 0;
  // The final reply's headers are in: its body is under the low-speed rule.
  bool HeadersDone = false;
  std::unique_ptr<TLowSpeedCheck> LowSpeed;
  bool TooSlow = false;
  // Progress, for giving up after a stretch without any.
  curl_off_t LastBytes = -1;
  std::chrono::steady_clock::time_point LastProgress = std::chrono::steady_clock::now();
};

bool IsSuccess(int Status) {
  return Status >= 200 && Status <= 299;
}

// Header lines of every reply (an interim 1xx reply included) pass here; a
// status line starts a new reply.
void ReadHeaderLine(const std::string& Line, THttpReply& Reply) {
  if (Line.rfind("HTTP/", 0) == 0) {
    Reply = THttpReply{};
    const auto Sp = Line.find(' ');
    if (Sp != std::string::npos) {
      Reply.Status = std::atoi(Line.c_str() + Sp + 1);
      const auto Sp2 = Line.find(' ', Sp + 1);
      if (Sp2 != std::string::npos) {
        auto End = Line.find_last_not_of("\r\n");
        Reply.Reason = Line.substr(Sp2 + 1, End == std::string::npos ? 0 : End - Sp2);
      }
    }
  } else if (const auto Colon = Line.find(':'); Colon != std::string::npos) {
    if (strncasecmp(Line.c_str(), "content-length", Colon) == 0 && Colon == 14) {
      Reply.ContentLength = ParseContentLength(Line.substr(Colon + 1));
    } else if (strncasecmp(Line.c_str(), "content-type", Colon) == 0 && Colon == 12) {
      Reply.ContentType = MediaTypeOf(std::string_view(Line).substr(Colon + 1));
    } else if (strncasecmp(Line.c_str(), "location", Colon) == 0 && Colon == 8) {
      const auto End = Line.find_last_not_of("\r\n");
      Reply.Location = End == std::string::npos || End <= Colon
                           ? std::string()
                           : Line.substr(Colon + 1, End - Colon);
    }
  }
}

size_t OnHeader(char* Data, size_t Size, size_t Count, void* User) {
  auto* X = static_cast<TExchange*>(User);
  X->HeaderBytes += Size * Count;
  try {
    const std::string Line(Data, Size * Count);
    ReadHeaderLine(Line, *X->Reply);
    if ((Line == "\r\n" || Line == "\n") && X->Reply->Status >= 200) X->HeadersDone = true;
  } catch (...) {
    X->CallbackError = std::current_exception();
    return 0;
  }
  return Size * Count;
}

size_t OnBody(char* Data, size_t Size, size_t Count, void* User) {
  auto* X = static_cast<TExchange*>(User);
  const size_t N = Size * Count;
  if (X->ReadRedirectBody && IsRedirectStatus(X->Reply->Status)) {
    X->RedirectBody += static_cast<std::int64_t>(N);
    if (X->RedirectBody <= MaxRedirectBody) return N;
  }
  if (!IsSuccess(X->Reply->Status)) {
    // The client reports an error reply by its status alone, as WinHTTP does,
    // without waiting for a body nobody reads.
    X->StoppedAfterHeaders = true;
    return 0;
  }
  if (X->Verb != THttpVerb::Get || !*X->Sink) return N;
  try {
    if (!(*X->Sink)(Data, N)) {
      X->StoppedBySink = true;
      return 0;
    }
  } catch (...) {
    X->CallbackError = std::current_exception();
    return 0;
  }
  X->Received += static_cast<std::int64_t>(N);
  return N;
}

// Gives up after StallSeconds without a byte sent or received, like
// WinHTTP's default send and receive time-outs.
constexpr int StallSeconds = 30;

int OnProgress(void* User, curl_off_t DlTotal, curl_off_t DlNow, curl_off_t UlTotal,
               curl_off_t UlNow) {
  (void)DlTotal;
  (void)UlTotal;
  auto* X = static_cast<TExchange*>(User);
  const auto Now = std::chrono::steady_clock::now();
  if (X->HeadersDone && X->Verb == THttpVerb::Get && IsSuccess(X->Reply->Status)) {
    try {
      if (!X->LowSpeed) X->LowSpeed = std::make_unique<TLowSpeedCheck>();
    } catch (...) {
      X->CallbackError = std::current_exception();
      return 1;
    }
    if (!X->LowSpeed->Moving(static_cast<std::int64_t>(DlNow))) {
      X->TooSlow = true;
      return 1;
    }
  }
  if (DlNow + UlNow != X->LastBytes) {
    X->LastBytes = DlNow + UlNow;
    X->LastProgress = Now;
    return 0;
  }
  return Now - X->LastProgress > std::chrono::seconds(StallSeconds) ? 1 : 0;
}

void GlobalInit() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    // Detached workers may still be ending while the program exits; OpenSSL's
    // own clean-up at exit would then free their thread state twice.
    OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
    curl_global_init(CURL_GLOBAL_DEFAULT);
  });
}

}  // namespace

// A session's easy handle, reused for all its requests: libcurl keeps the
// connections it made in the handle's cache and sends the next request to a
// host on the one still open. It drops a connection that a reply left unusable
// (closed, reset, cut short, or abandoned by us) and, when a kept connection
// turns out closed before any byte of the reply arrived, sends the request
// once more on a new one.
struct THttpSessionState {
  std::unique_ptr<CURL, TCurlDeleter> Handle;
};

void PerformHttpRequest(const THttpUrl& Url, THttpVerb Verb, THttpReply& Reply,
                        const TBodySink& Sink, THttpSession* Session, bool ReadRedirectBody,
                        const std::string& Referer) {
  GlobalInit();
  std::unique_ptr<CURL, TCurlDeleter> Own;
  CURL* C = nullptr;
  if (Session) {
    auto& State = Session->State();
    if (!State) State = std::make_unique<THttpSessionState>();
    if (!State->Handle) State->Handle.reset(curl_easy_init());
    C = State->Handle.get();
  } else {
    Own.reset(curl_easy_init());
    C = Own.get();
  }
  if (!C) throw EHttpError(0, "Out of memory");

  const bool IPv6 = Url.Host.find(':') != std::string::npos;
  const bool Secure = Url.Scheme == "https";
  const std::string Full = (Secure ? "https://" : "http://") +
                           (IPv6 ? "[" + Url.Host + "]" : Url.Host) + ":" +
                           std::to_string(Url.Port) + Url.Target;
  std::unique_ptr<curl_slist, TSlistDeleter> Headers(
      curl_slist_append(nullptr, (std::string("Accept: ") + HttpAccept).c_str()));

  TExchange X;
  curl_easy_setopt(C, CURLOPT_URL, Full.c_str());
  curl_easy_setopt(C, CURLOPT_PROTOCOLS_STR, Secure ? "https" : "http");
  // The certificate is always verified, name and chain: against the system's
  // CA bundle and directory, and the process's own CA file when it has one
  // (which takes the bundle's place; the directory stays).
  curl_easy_setopt(C, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(C, CURLOPT_SSL_VERIFYHOST, 2L);
  const std::string CaFile = Secure ? HttpCaFile() : std::string();
  if (!CaFile.empty()) curl_easy_setopt(C, CURLOPT_CAINFO, CaFile.c_str());
  char ErrorText[CURL_ERROR_SIZE] = "";
  curl_easy_setopt(C, CURLOPT_ERRORBUFFER, ErrorText);
  curl_easy_setopt(C, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(C, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(C, CURLOPT_USERAGENT, HttpUserAgent);
  curl_easy_setopt(C, CURLOPT_HTTPHEADER, Headers.get());
  // Set or cleared every time, as a reused handle keeps the last request's.
  curl_easy_setopt(C, CURLOPT_REFERER, Referer.empty() ? nullptr : Referer.c_str());
  curl_easy_setopt(C, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(C, CURLOPT_PROXY, "");  // and no proxy from the environment
  curl_easy_setopt(C, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(C, CURLOPT_NOSIGNAL, 1L);
  // A picture of some tens of kilobytes then arrives in one piece and goes to
  // its file in one write; WinHTTP reads in pieces of this size too.
  curl_easy_setopt(C, CURLOPT_BUFFERSIZE, 64L * 1024);
  curl_easy_setopt(C, CURLOPT_FORBID_REUSE, Session ? 0L : 1L);
  // The same limits as WinHTTP's defaults, so both builds give up alike:
  // 60 s for the connection, its TLS handshake included, and (OnProgress)
  // 30 s without a byte moving at any point.
  curl_easy_setopt(C, CURLOPT_CONNECTTIMEOUT, 60L);
  curl_easy_setopt(C, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(C, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(C, CURLOPT_XFERINFODATA, &X);
  // Both ways, as a reused handle keeps the verb of its last request.
  if (Verb == THttpVerb::Head)
    curl_easy_setopt(C, CURLOPT_NOBODY, 1L);
  else
    curl_easy_setopt(C, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(C, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(C, CURLOPT_HEADERDATA, &X);
  curl_easy_setopt(C, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(C, CURLOPT_WRITEDATA, &X);

  CURLcode Rc = CURLE_OK;
  for (bool First = true;; First = false) {
    X = TExchange{};
    X.Verb = Verb;
    X.Reply = &Reply;
    X.Sink = &Sink;
    X.ReadRedirectBody = ReadRedirectBody;
    ErrorText[0] = '\0';
    Rc = curl_easy_perform(C);
    // A kept connection the server closed as the request went out (its
    // keep-alive time ran out): the request is sent again, once, on a new
    // connection, but only when not a byte of the reply had arrived, so no
    // reply is ever taken for another's. libcurl catches most such cases
    // itself, not one where sending the request already fails.
    long NewConnections = -1;
    if (Session && First && !X.CallbackError && X.HeaderBytes == 0 &&
        (Rc == CURLE_SEND_ERROR || Rc == CURLE_RECV_ERROR || Rc == CURLE_GOT_NOTHING) &&
        curl_easy_getinfo(C, CURLINFO_NUM_CONNECTS, &NewConnections) == CURLE_OK &&
        NewConnections == 0)
      continue;
    break;
  }
  curl_easy_setopt(C, CURLOPT_ERRORBUFFER, nullptr);  // the handle outlives ErrorText
  if (X.CallbackError) std::rethrow_exception(X.CallbackError);
  if (Rc == CURLE_WRITE_ERROR && (X.StoppedAfterHeaders || X.StoppedBySink)) return;
  if (Rc == CURLE_ABORTED_BY_CALLBACK && X.TooSlow) throw EHttpError(0, X.LowSpeed->Reason());
  if (Rc == CURLE_ABORTED_BY_CALLBACK) throw EHttpError(0, "No progress for 30 seconds");
  const std::string Detail = ErrorText[0] ? ErrorText : curl_easy_strerror(Rc);
  if (Rc == CURLE_PEER_FAILED_VERIFICATION)
    throw EHttpError(0, CertificateNotTrusted + Url.Host + " (" + Detail + ")");
  if (Rc == CURLE_SSL_CACERT_BADFILE)
    throw EHttpError(0, "cannot use the CA file " + CaFile + " (" + Detail + ")");
  if (Rc == CURLE_SSL_CONNECT_ERROR)
    throw EHttpError(0, "TLS handshake with host " + Url.Host + " failed (" + Detail + ")");
  if (Rc != CURLE_OK) throw EHttpError(0, curl_easy_strerror(Rc));
  if (Reply.Status == 0) throw EHttpError(0, "No reply");
  if (Verb == THttpVerb::Get && IsSuccess(Reply.Status) && Reply.ContentLength >= 0 &&
      X.Received < Reply.ContentLength)
    throw EHttpError(0, "Connection closed before the whole body arrived");
}

}  // namespace lumora::detail

namespace lumora {

bool HttpCaFileSupported() {
  return true;
}

THttpSession::THttpSession() noexcept = default;
THttpSession::~THttpSession() = default;

}  // namespace lumora
