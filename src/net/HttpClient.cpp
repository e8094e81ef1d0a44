#include "net/HttpClient.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string_view>
#include <vector>

#include "net/HttpTransport.h"
#include "net/HttpUrl.h"

namespace lumora {

namespace detail {

std::int64_t ParseContentLength(const std::string& Value) {
  std::size_t I = 0;
  std::size_t End = Value.size();
  while (I < End && (Value[I] == ' ' || Value[I] == '\t')) ++I;
  while (End > I && (Value[End - 1] == ' ' || Value[End - 1] == '\t' || Value[End - 1] == '\r' ||
                     Value[End - 1] == '\n'))
    --End;
  if (I == End) return -1;
  std::int64_t N = 0;
  for (; I < End; ++I) {
    const char C = Value[I];
    if (C < '0' || C > '9') return -1;
    if (N > (INT64_MAX - (C - '0')) / 10) return -1;
    N = N * 10 + (C - '0');
  }
  return N;
}

std::string MediaTypeOf(std::string_view Value) {
  const auto IsSpace = [](char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; };
  Value = Value.substr(0, Value.find(';'));
  while (!Value.empty() && IsSpace(Value.front())) Value.remove_prefix(1);
  while (!Value.empty() && IsSpace(Value.back())) Value.remove_suffix(1);
  if (Value.size() > MaxMediaTypeBytes) return {};
  std::string Type(Value);
  for (char& C : Type)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return Type;
}

namespace {
std::atomic<std::int64_t> LowSpeedWindowMs{TLowSpeedRule{}.Window.count()};
std::atomic<std::int64_t> LowSpeedMinBytes{TLowSpeedRule{}.MinBytes};
}  // namespace

TLowSpeedRule LowSpeedRule() {
  TLowSpeedRule Rule;
  Rule.Window = std::chrono::milliseconds(LowSpeedWindowMs.load());
  Rule.MinBytes = LowSpeedMinBytes.load();
  return Rule;
}

void SetLowSpeedRule(const TLowSpeedRule& Rule) {
  LowSpeedWindowMs = Rule.Window.count();
  LowSpeedMinBytes = Rule.MinBytes;
}

TLowSpeedCheck::TLowSpeedCheck()
    : FRule(LowSpeedRule()), FStart(std::chrono::steady_clock::now()) {}

bool TLowSpeedCheck::Moving(std::int64_t Received) {
  const auto Now = std::chrono::steady_clock::now();
  if (Now - FStart < FRule.Window) return true;
  if (Received - FStartBytes < FRule.MinBytes) return false;
  FStart = Now;
  FStartBytes = Received;
  return true;
}

std::string TLowSpeedCheck::Reason() const {
  const auto Ms = FRule.Window.count();
  return "Too slow: fewer than " + std::to_string(FRule.MinBytes) + " bytes in " +
         (Ms % 1000 == 0 ? std::to_string(Ms / 1000) + " s" : std::to_string(Ms) + " ms");
}

}  // namespace detail

namespace {
constexpr std::uint64_t MaxReserve = 64u << 20;
}  // namespace

namespace {

std::mutex& CaFileLock() {
  static std::mutex* Lock = new std::mutex;  // never freed: workers may outlive main
  return *Lock;
}
std::string& CaFilePath() {
  static std::string* Path = new std::string;
  return *Path;
}

// The address a redirect reply sends a request of Current to, or the reason
// it is not followed. Visited holds the addresses requested so far.
std::string NextHop(const std::string& Current, const std::string& Scheme,
                    const detail::THttpReply& Reply, int Hops,
                    const std::vector<std::string>& Visited) {
  const int S = Reply.Status;
  const std::string Code = std::to_string(S);
  if (Hops >= MaxRedirects)
    throw EHttpError(S, "more than " + std::to_string(MaxRedirects) + " redirects");
  std::string_view Location = Reply.Location;
  while (!Location.empty() && (Location.front() == ' ' || Location.front() == '\t'))
    Location.remove_prefix(1);
  while (!Location.empty() && (Location.back() == ' ' || Location.back() == '\t'))
    Location.remove_suffix(1);
  if (Location.empty()) throw EHttpError(S, "redirect (" + Code + ") without a Location");
  if (Location.size() > MaxLocationBytes)
    throw EHttpError(S, "redirect (" + Code + ") to an address of " +
                            std::to_string(Location.size()) + " bytes, more than " +
                            std::to_string(MaxLocationBytes));
  std::string Next = ResolveReference(Current, Location);
  const std::string NextScheme = AddressScheme(Next);
  if (NextScheme != "http" && NextScheme != "https")
    throw EHttpError(S, "redirect (" + Code + ") to an unsupported protocol: " +
                            (NextScheme.empty() ? std::string(Location) : NextScheme + ":"));
  if (Scheme == "https" && NextScheme == "http")
    throw EHttpError(S, "redirect (" + Code + ") from https:// down to http:// refused: " + Next);
  if (Next == Current || std::find(Visited.begin(), Visited.end(), Next) != Visited.end())
    throw EHttpError(S, "redirect loop at " + Next);
  return Next;
}

// The Referer for a request to an address of Scheme: see SetReferer.
std::string RefererFor(const std::string& Referer, const std::string& Scheme) {
  if (Referer.empty()) return {};
  if (Scheme == "http" && AddressScheme(Referer) == "https") return {};
  for (const char C : Referer)
    if (static_cast<unsigned char>(C) < 32 || C == 127) return {};
  return Referer.substr(0, Referer.find('#'));
}

}  // namespace

void SetHttpCaFile(const std::string& Path) {
  std::lock_guard Guard(CaFileLock());
  CaFilePath() = Path;
}

std::string HttpCaFile() {
  std::lock_guard Guard(CaFileLock());
  return CaFilePath();
}

void THttpClient::Request(bool IsHead, const std::string& Address, const THttpBodySink* Sink) {
  FContentLength = -1;
  FResponseCode = 0;
  FContentType.clear();
  FFinalAddress = Address;
  std::vector<std::string> Visited;  // of the redirects followed
  for (int Hops = 0;; ++Hops) {
    const std::string& Current = FFinalAddress;
    THttpUrl Url;
    const bool Usable = ParseHttpUrl(Current, Url);
    FHost = Url.Host;
    if (!Usable) throw EHttpError(0, "Invalid address: " + Current);
    if (Url.Scheme != "http" && !(FTodaysWeb && Url.Scheme == "https"))
      throw EHttpError(0, "Unsupported protocol: " + Url.Scheme);

    // Whatever reply arrived is kept, also when the request then fails.
    detail::THttpReply Reply;
    const auto KeepReply = [&] {
      FResponseCode = Reply.Status;
      FContentLength = Reply.ContentLength;
      FContentType = Reply.ContentType;
    };
    detail::TBodySink Body;
    if (Sink) {
      Body = [&](const char* Data, std::size_t Size) {
        KeepReply();  // the headers are in before the body: the sink may ask for them
        return (*Sink)(Data, Size);
      };
    }
    try {
      detail::PerformHttpRequest(Url, IsHead ? detail::THttpVerb::Head : detail::THttpVerb::Get,
                                 Reply, Body, FSession, FTodaysWeb,
                                 RefererFor(FReferer, Url.Scheme));
    } catch (...) {
      KeepReply();
      throw;
    }
    KeepReply();
    if (FTodaysWeb && detail::IsRedirectStatus(Reply.Status)) {
      std::string Next = NextHop(Current, Url.Scheme, Reply, Hops, Visited);
      Visited.push_back(std::move(FFinalAddress));
      FFinalAddress = std::move(Next);
      continue;
    }
    if (Reply.Status < 200 || Reply.Status > 299)
      throw EHttpError(Reply.Status, "HTTP/1.1 " + std::to_string(Reply.Status) +
                                         (Reply.Reason.empty() ? "" : " " + Reply.Reason));
    return;
  }
}

std::string THttpClient::Get(const std::string& Address) {
  std::string Text;
  Get(Address, [&](const char* Data, std::size_t Size) {
    // Room for the announced length at once, as growing by doubling needs
    // far more address space than the body; but only up to a bound, so a
    // server that announces more than it sends cannot claim gigabytes.
    if (Text.empty() && FContentLength > 0) {
      const auto Announced = static_cast<std::uint64_t>(FContentLength);
      Text.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(Announced, MaxReserve)));
    }
    Text.append(Data, Size);
    return true;
  });
  return Text;
}

void THttpClient::Get(const std::string& Address, const THttpBodySink& Sink) {
  Request(false, Address, &Sink);
}

void THttpClient::Head(const std::string& Address) {
  Request(true, Address, nullptr);
}

}  // namespace lumora
