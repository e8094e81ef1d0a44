#include "net/HttpClient.h"

#include <algorithm>

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

}  // namespace detail

namespace {
constexpr std::uint64_t MaxReserve = 64u << 20;
}  // namespace

void THttpClient::Request(bool IsHead, const std::string& Address, const THttpBodySink* Sink) {
  FContentLength = -1;
  FResponseCode = 0;
  THttpUrl Url;
  const bool Usable = ParseHttpUrl(Address, Url);
  FHost = Url.Host;
  if (!Usable) throw EHttpError(0, "Invalid address: " + Address);
  if (Url.Scheme != "http") throw EHttpError(0, "Unsupported protocol: " + Url.Scheme);

  // Whatever reply arrived is kept, also when the request then fails.
  detail::THttpReply Reply;
  const auto KeepReply = [&] {
    FResponseCode = Reply.Status;
    FContentLength = Reply.ContentLength;
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
                               Reply, Body, FSession);
  } catch (...) {
    KeepReply();
    throw;
  }
  KeepReply();
  if (Reply.Status < 200 || Reply.Status > 299)
    throw EHttpError(Reply.Status, "HTTP/1.1 " + std::to_string(Reply.Status) +
                                       (Reply.Reason.empty() ? "" : " " + Reply.Reason));
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
