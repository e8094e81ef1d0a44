#include "grab/GrabJob.h"
#include "sys/AsciiCase.h"

#include <algorithm>
#include <new>

#include "html/HTMLParser.h"
#include "net/HttpClient.h"
#include "net/HttpUrl.h"

namespace lumora {

namespace {

constexpr std::string_view HttpPrefix = "http://";

bool StartsWith(std::string_view S, std::string_view Prefix) {
  return S.substr(0, Prefix.size()) == Prefix;
}

// A listener that throws loses its report, never the grab.
template <typename TCall>
void Tell(TGrabObserver* Observer, TCall&& Call) noexcept {
  if (!Observer) return;
  try {
    Call(*Observer);
  } catch (...) {
  }
}

// Host and port of the page, as a root-relative reference needs them: a page
// on another port than 80 keeps it, an IPv6 host keeps its brackets.
std::string PageAuthority(const std::string& PageAddress, const std::string& Host) {
  const bool IPv6 = Host.find(':') != std::string::npos;
  std::string Authority;
  if (IPv6) Authority += '[';
  Authority += Host;
  if (IPv6) Authority += ']';
  THttpUrl Url;
  if (ParseHttpUrl(PageAddress, Url) && Url.Port != 80) {
    Authority += ':';
    Authority += std::to_string(Url.Port);
  }
  return Authority;
}

void QueueImageSearch(const std::string& T, TPicQueue& Queue, TGrabObserver* Observer) {
  // Each value runs from its "imgurl=" to the next "&"; the last one, with
  // no "&" after it, is queued empty and the worker drops it.
  constexpr std::string_view Key = "imgurl=";
  std::string_view Rest = T;
  for (auto P = Rest.find(Key); P != std::string_view::npos; P = Rest.find(Key)) {
    Rest.remove_prefix(P + Key.size());
    const auto Amp = Rest.find('&');
    const std::string V =
        Amp == std::string_view::npos ? std::string() : std::string(Rest.substr(0, Amp));
    Queue.Append(V);
    Tell(Observer, [&](TGrabObserver& O) { O.AddressQueued(V); });
  }
}

void QueueImages(const std::string& U, const std::string& T, TPicQueue& Queue,
                 TGrabObserver* Observer) {
  THTMLParser Parser;
  Parser.SetHTML({});
  Parser.SetHTMLText(T);
  // The host name FetchPage put in front stays in the parser's input as
  // leading text before the first tag; it is read back from there.
  std::string Host;
  {
    const std::string Text = Parser.HTMLText();
    const auto M = Text.find(HostMarker);
    if (M != std::string::npos) Host = Text.substr(0, M);
  }
  Parser.Execute();

  // Empty sources are removed, the others rewritten in place as queued.
  auto& Images = Parser.Parsed().Images;
  std::size_t Kept = 0;
  for (std::size_t I = 0; I < Images.size(); ++I) {
    if (Images[I].empty()) continue;
    std::string S = AbsolutePictureAddress(std::move(Images[I]), U, Host);
    const bool Added = Queue.AppendIfAbsent(S);
    Tell(Observer, [&](TGrabObserver& O) {
      if (Added)
        O.AddressQueued(S);
      else
        O.AddressDuplicate(S);
    });
    Images[Kept++] = std::move(S);
  }
  Images.resize(Kept);
}

}  // namespace

bool IsDirectPicture(std::string_view Address) {
  if (Address.size() < 3) return false;
  const std::string E = UpperAscii(std::string_view(Address).substr(Address.size() - 3));
  return E == "JPG" || E == "BMP" || E == "GIF" || E == "TIF";
}

std::string PageAddress(const std::string& Address) {
  if (Address.size() <= HttpPrefix.size()) return Address;
  const auto Inner = LowerAscii(Address).find(HttpPrefix, HttpPrefix.size());
  return Inner == std::string::npos ? Address : Address.substr(Inner);
}

std::string PageText(std::string_view Host, std::string_view Body) {
  std::string T;
  T.reserve(Host.size() + sizeof HostMarker + Body.size());
  T.append(Host).append(HostMarker).append(Body);
  return T;
}

std::string FetchPage(const std::string& Address, TPageResult* Result) {
  THttpClient Client;
  std::string Body;
  int Status = 0;
  std::string Error;
  bool Fetched = false;
  try {
    Body = Client.Get(Address);
    Fetched = true;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const EHttpError& E) {
    Status = E.StatusCode();
    Error = E.what();
  } catch (const std::exception& E) {
    Error = E.what();
  }
  if (Result) {
    Result->Address = Address;
    Result->Fetched = Fetched;
    Result->Bytes = Body.size();
    Result->Status = Status;
    Result->Error = std::move(Error);
  }
  return PageText(Client.Host(), Body);
}

std::string PageBaseURL(const std::string& Address) {
  const std::string_view R = Address.size() > HttpPrefix.size()
                                 ? std::string_view(Address).substr(HttpPrefix.size())
                                 : std::string_view(Address);
  if (R.find('/') == std::string_view::npos) return Address + "/";
  if (Address.back() == '/') return Address;
  // Whatever the first seven characters were, they become "http://".
  const std::size_t End = Address.rfind('/') + 1;
  return std::string(HttpPrefix) + (End > HttpPrefix.size()
                                        ? Address.substr(HttpPrefix.size(), End - HttpPrefix.size())
                                        : std::string());
}

std::string RemoveDotSegments(std::string_view Address) {
  std::size_t PathStart = 0;
  const auto SchemeEnd = Address.find("://");
  if (SchemeEnd != std::string_view::npos &&
      Address.substr(0, SchemeEnd).find_first_of("/?#") == std::string_view::npos) {
    PathStart = Address.find_first_of("/?#", SchemeEnd + 3);
    if (PathStart == std::string_view::npos) return std::string(Address);
  }
  auto PathEnd = Address.find_first_of("?#", PathStart);
  if (PathEnd == std::string_view::npos) PathEnd = Address.size();

  std::string_view In = Address.substr(PathStart, PathEnd - PathStart);
  std::string Out(Address.substr(0, PathStart));
  const std::size_t Root = Out.size();  // ".." never climbs into the authority
  const auto DropLastSegment = [&] {
    const auto Slash = Out.rfind('/');
    Out.erase(Slash == std::string::npos || Slash < Root ? Root : Slash);
  };
  while (!In.empty()) {
    if (StartsWith(In, "../")) {
      In.remove_prefix(3);
    } else if (StartsWith(In, "./")) {
      In.remove_prefix(2);
    } else if (StartsWith(In, "/./")) {
      In.remove_prefix(2);
    } else if (In == "/.") {
      Out += '/';
      break;
    } else if (StartsWith(In, "/../")) {
      In.remove_prefix(3);
      DropLastSegment();
    } else if (In == "/..") {
      DropLastSegment();
      Out += '/';
      break;
    } else if (In == "." || In == "..") {
      break;
    } else {
      const auto Next = In.find('/', 1);
      const auto Segment = In.substr(0, Next);
      Out.append(Segment);
      In.remove_prefix(Segment.size());
    }
  }
  Out.append(Address.substr(PathEnd));
  return Out;
}

std::string AbsolutePictureAddress(std::string Reference, const std::string& PageAddress,
                                   const std::string& Host) {
  std::string& S = Reference;
  S.erase(
      std::remove_if(S.begin(), S.end(), [](char C) { return C == '"' || C == '\'' || C == '>'; }),
      S.end());
  if (LowerAscii(std::string_view(S).substr(0, HttpPrefix.size())) == HttpPrefix) {
    // absolute already
  } else if (StartsWith(S, "//")) {
    S.insert(0, "http:");  // scheme-relative: the host follows the slashes
  } else if (StartsWith(S, "/")) {
    S.insert(0, std::string(HttpPrefix) + PageAuthority(PageAddress, Host));
  } else {
    S.insert(0, PageBaseURL(PageAddress));
  }
  return RemoveDotSegments(S);
}

void QueuePage(const std::string& U, const std::string& T, TPicQueue& Queue,
               TGrabObserver* Observer) {
  // Case-sensitive on purpose: "Google" takes the parse path.
  if (U.find("google") != std::string::npos)
    QueueImageSearch(T, Queue, Observer);
  else
    QueueImages(U, T, Queue, Observer);
}

void Button1Click(const TGrabShared& Shared) {
  TGrabView* View = Shared.View.get();
  TGrabObserver* Observer = Shared.Observer.get();
  const std::string A = View ? View->Address() : std::string();

  if (IsDirectPicture(A)) {
    if (View) View->ShowBusyPicture();
    const TPictureResult R = DownloadPicture(A, GrabSettings().Snapshot());
    Tell(Observer, [&](TGrabObserver& O) { O.PictureDone(R); });
    if (View) {
      View->ShowIdlePicture();
      View->ClearAddress();
    }
    return;
  }

  if (View) View->ShowBusyPicture();
  const std::string U = PageAddress(A);
  TPageResult Page;
  const std::string T = FetchPage(U, Observer ? &Page : nullptr);
  Tell(Observer, [&](TGrabObserver& O) { O.PageFetched(Page); });
  QueuePage(U, T, *Shared.PicQueue, Observer);
  for (int I = 0; I < PageJobWorkers; ++I) TThreaddownloadpic::Start(Shared);
}

}  // namespace lumora
