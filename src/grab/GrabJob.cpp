#include "grab/GrabJob.h"
#include "sys/AsciiCase.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "grab/DownloadPicture.h"
#include "grab/PictureTypes.h"
#include "html/HTMLParser.h"
#include "net/HttpClient.h"
#include "sys/LumoraError.h"

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

// What follows the first seven characters of a page address (where its
// "http://" stands), cut at its query or fragment: references are resolved
// against the authority and the path alone. An address of seven characters
// or fewer is taken whole.
std::string_view AfterScheme(std::string_view PageAddress) {
  std::string_view R =
      PageAddress.size() > HttpPrefix.size() ? PageAddress.substr(HttpPrefix.size()) : PageAddress;
  return R.substr(0, R.find_first_of("?#"));
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

void QueueImages(const std::string& U, std::string T, TPicQueue& Queue, TGrabObserver* Observer,
                 const TGrabSettingsValues& Settings) {
  // The page text moves into the parser, which keeps it as the one copy.
  // The host name FetchPage put in front stays there as leading text before
  // the first tag; references take the page address's own authority instead.
  THTMLParser Parser;
  Parser.SetTodaysWeb(Settings.TodaysWeb);
  Parser.SetPictureTypes(Settings.PicTypes);
  Parser.SetHTMLText(std::move(T));
  Parser.Execute();

  // Today's web names the page to each picture's host: its final address
  // goes with every picture, one copy shared by them all.
  TPageRef Page;
  if (Settings.TodaysWeb) Page = std::make_shared<const std::string>(U);

  // Empty sources are removed, the others rewritten in place as queued.
  auto& Images = Parser.Parsed().Images;
  std::size_t Kept = 0;
  for (std::size_t I = 0; I < Images.size(); ++I) {
    if (Images[I].empty()) continue;
    // A selection without its page's address has nothing to resolve
    // against: a reference without a scheme of its own names nothing.
    if (U.empty() && AddressScheme(Images[I]).empty()) continue;
    std::string S = AbsolutePictureAddress(std::move(Images[I]), U, Settings.TodaysWeb);
    const bool Added = Queue.AppendIfAbsent(S, Page);
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

bool IsDirectPicture(std::string_view Address, bool TodaysWeb) {
  // Today's web reads the type from the path: a.jpg?w=800 is a picture.
  if (TodaysWeb) Address = AddressPath(Address);
  return HasPictureEnding(Address, TodaysWeb);
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

std::string FetchPage(const std::string& Address, TPageResult* Result, bool TodaysWeb,
                      std::string* FinalAddress) {
  THttpClient Client;
  Client.SetTodaysWeb(TodaysWeb);
  // The page text is built where it stays: host name, marker, then the body
  // as it arrives, in room that grows with it but never past the cut.
  std::string T;
  std::size_t Prefix = 0;  // the host name and marker; 0 until they are in T
  std::size_t Limit = 0;   // of T: Prefix + MaxPageBytes
  bool Cut = false;
  const auto Begin = [&] {
    std::string().swap(T);  // a part of a body that failed goes, room and all
    T.append(Client.Host()).append(HostMarker);
    Prefix = T.size();
    Limit = Prefix + MaxPageBytes;
  };
  const auto Take = [&](const char* Data, std::size_t Size) {
    if (Prefix == 0) {
      Begin();
      const std::int64_t Announced = Client.ContentLength();
      if (Announced > 0)
        T.reserve(T.size() + static_cast<std::size_t>(std::min<std::uint64_t>(
                                 static_cast<std::uint64_t>(Announced), MaxPageBytes)));
    }
    if (Size > Limit - T.size()) {
      Size = Limit - T.size();
      Cut = true;
    }
    if (T.capacity() - T.size() < Size) {
      // A fresh string takes exactly the room asked for; growing T in place
      // would round up past the limit.
      std::string Larger;
      Larger.reserve(std::min(std::max(T.size() + Size, 2 * T.capacity()), Limit));
      Larger.append(T);
      T.swap(Larger);
    }
    T.append(Data, Size);
    return !Cut;
  };

  int Status = 0;
  std::string Error;
  bool Fetched = false;
  try {
    Client.Get(Address, Take);
    Fetched = true;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const EHttpError& E) {
    Status = E.StatusCode();
    Error = E.what();
  } catch (const std::exception& E) {
    Error = E.what();
  }
  // No body arrived, or a failed request left a part of one: the page is empty.
  if (!Fetched || Prefix == 0) {
    Begin();
    Cut = false;
  }
  if (FinalAddress) *FinalAddress = Fetched ? Client.FinalAddress() : Address;
  if (Result) {
    Result->Address = Address;
    Result->Fetched = Fetched;
    Result->Cut = Cut;
    Result->Bytes = T.size() - Prefix;
    Result->Status = Status;
    Result->Error = std::move(Error);
  }
  return T;
}

std::string PageBaseURL(const std::string& Address) {
  const std::string_view R = AfterScheme(Address);
  // The address without its query and fragment.
  const std::string_view Page(Address.data(),
                              static_cast<std::size_t>(R.data() - Address.data()) + R.size());
  if (R.find('/') == std::string_view::npos) return std::string(Page) + "/";
  if (Page.back() == '/') return std::string(Page);
  // Whatever the first seven characters were, they become "http://".
  const std::size_t End = Page.rfind('/') + 1;
  std::string Base(HttpPrefix);
  if (End > HttpPrefix.size()) Base.append(Page.substr(HttpPrefix.size(), End - HttpPrefix.size()));
  return Base;
}

std::string AbsolutePictureAddress(std::string Reference, const std::string& PageAddress,
                                   bool TodaysWeb) {
  std::string& S = Reference;
  S.erase(
      std::remove_if(S.begin(), S.end(), [](char C) { return C == '"' || C == '\'' || C == '>'; }),
      S.end());
  if (TodaysWeb) return ResolveReference(PageAddress, S);
  if (LowerAscii(std::string_view(S).substr(0, HttpPrefix.size())) == HttpPrefix) {
    // absolute already
  } else if (StartsWith(S, "//")) {
    S.insert(0, "http:");  // scheme-relative: the host follows the slashes
  } else if (StartsWith(S, "/")) {
    // The authority as the page address writes it, port and all, so that a
    // root-relative and a relative reference to one picture agree.
    const std::string_view R = AfterScheme(PageAddress);
    S.insert(0, std::string(HttpPrefix).append(R.substr(0, R.find('/'))));
  } else {
    S.insert(0, PageBaseURL(PageAddress));
  }
  return RemoveDotSegments(S);
}

void QueuePage(const std::string& U, std::string T, TPicQueue& Queue, TGrabObserver* Observer,
               const TGrabSettingsValues& Settings) {
  // Case-sensitive on purpose: "Google" takes the parse path.
  if (U.find("google") != std::string::npos)
    QueueImageSearch(T, Queue, Observer);
  else
    QueueImages(U, std::move(T), Queue, Observer, Settings);
}

namespace {

// Five workers for what a job queued. Without one nobody would set the window
// idle: the job ends by an error instead, which does.
void StartPageWorkers(const TGrabShared& Shared) {
  if (TThreaddownloadpic::StartMany(Shared, PageJobWorkers) == 0)
    throw ELumoraError("Cannot start a download worker");
}

}  // namespace

void GrabSelection(const TGrabShared& Shared, TDroppedSelection Selection) {
  TGrabSettingsValues Settings = GrabSettings().Snapshot();
  Settings.TodaysWeb = true;
  if (Shared.View) Shared.View->ShowBusyPicture();
  if (Selection.Html.size() > MaxPageBytes) Selection.Html.resize(MaxPageBytes);
  // Straight to the parser: a selection is HTML even when its page's
  // address holds "google".
  QueueImages(Selection.SourceURL, std::move(Selection.Html), *Shared.PicQueue,
              Shared.Observer.get(), Settings);
  StartPageWorkers(Shared);
}

std::string FolderFailureText(const std::string& Folder, TFileError Error) {
  return "Lumora could not save into " + Folder + ": " + FileErrorText(Error);
}

void Button1Click(const TGrabShared& Shared, const std::string& A) {
  TGrabView* View = Shared.View.get();
  TGrabObserver* Observer = Shared.Observer.get();

  // One snapshot tells how the address and its page are read.
  const TGrabSettingsValues Settings = GrabSettings().Snapshot();
  if (IsDirectPicture(A, Settings.TodaysWeb)) {
    if (View) View->ShowBusyPicture();
    const TPictureResult R = DownloadPicture(A, Settings);
    TellFolderFailure(Shared, R, Settings);
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
  // The page's references are resolved against where it came from, after
  // any redirect; without today's web nothing redirects, so that is U.
  std::string Final;
  std::string T = FetchPage(U, Observer ? &Page : nullptr, Settings.TodaysWeb, &Final);
  Tell(Observer, [&](TGrabObserver& O) { O.PageFetched(Page); });
  QueuePage(Settings.TodaysWeb ? Final : U, std::move(T), *Shared.PicQueue, Observer, Settings);
  StartPageWorkers(Shared);
}

}  // namespace lumora
