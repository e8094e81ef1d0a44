#include "grab/DownloadPicture.h"
#include "sys/AsciiCase.h"

#include <algorithm>
#include <exception>
#include <new>

#include "grab/PictureTypes.h"
#include "net/HttpClient.h"
#include "sys/FilePath.h"
#include "sys/FileSystem.h"

namespace lumora {

namespace {

constexpr std::string_view HttpPrefix = "http://";
constexpr std::string_view HttpsPrefix = "https://";
constexpr std::size_t WriteSize = 64 * 1024;

bool StartsWithHttp(std::string_view S) {
  return S.size() >= HttpPrefix.size() && LowerAscii(S.substr(0, HttpPrefix.size())) == HttpPrefix;
}

bool StartsWithHttps(std::string_view S) {
  return S.size() >= HttpsPrefix.size() &&
         LowerAscii(S.substr(0, HttpsPrefix.size())) == HttpsPrefix;
}

bool IsForbiddenInName(char C) {
  return static_cast<unsigned char>(C) < 32 ||
         std::string_view("\\/:*?\"<>|").find(C) != std::string_view::npos;
}

// Device names that Windows opens whatever the folder: CON, PRN, AUX, NUL,
// COM1-9 and LPT1-9, also with the superscript digits 1-3 of the code page.
bool IsDeviceName(std::string_view Base) {
  const std::string U = UpperAscii(Base);
  if (U == "CON" || U == "PRN" || U == "AUX" || U == "NUL") return true;
  if (U.size() != 4 || (U.compare(0, 3, "COM") != 0 && U.compare(0, 3, "LPT") != 0)) return false;
  const auto D = static_cast<unsigned char>(U[3]);
  return (D >= '1' && D <= '9') || D == 0xB9 || D == 0xB2 || D == 0xB3;
}

// Makes a name taken from an address safe to create in the save folder, the
// same way in both builds: characters Windows forbids become '_', trailing
// dots (which Windows drops) go, a device name gets a leading '_'.
std::string SafeFileName(std::string Name) {
  for (char& C : Name)
    if (IsForbiddenInName(C)) C = '_';
  while (!Name.empty() && (Name.back() == '.' || Name.back() == ' ')) Name.pop_back();
  if (Name.empty()) return {};
  if (IsDeviceName(std::string_view(Name).substr(0, Name.find('.')))) Name = "_" + Name;
  return Name;
}

void NoteError(TPictureResult& R, int Status, const char* Text) noexcept {
  R.Outcome = TPictureOutcome::Failed;
  R.Status = Status;
  try {
    R.Error = Text;
  } catch (...) {
    // Out of memory even for the message: the outcome says enough.
  }
}

// The steps of one picture; R tells how far it got. Throws on any failure of
// a request, an allocation or the file.
void SavePicture(const std::string& Address, const TGrabSettingsValues& Settings,
                 THttpSession* Session, const std::string& Referer, TPictureResult& R) {
  R.Address = Address;
  std::string& A = R.Address;
  const bool Web = Settings.TodaysWeb;
  if (!PictureAddress(A, Web)) {
    R.Outcome = TPictureOutcome::NotHttp;
    return;
  }
  // Today's web judges the path alone; without it, the whole address.
  const std::string_view Path = Web ? AddressPath(A) : std::string_view(A);
  // A path without a picture ending waits for the reply to tell its type.
  const bool TypedByPath = !Web || HasPictureEnding(Path, true);
  if (TypedByPath && !IsTypeEnabled(Path, Settings.PicTypes, Web)) {
    R.Outcome = TPictureOutcome::TypeOff;
    return;
  }

  THttpClient Client = Session ? THttpClient(*Session) : THttpClient();
  Client.SetTodaysWeb(Web);
  if (Web) Client.SetReferer(Referer);
  // What a reply's media type makes of the picture (today's web): Saved
  // when it goes on. The first reply to name a type fixes it.
  std::string_view Type;
  const auto Judge = [&](const std::string& MediaType) {
    if (IsPlainlyNotPicture(MediaType)) return TPictureOutcome::NotPicture;
    if (TypedByPath || !Type.empty()) return TPictureOutcome::Saved;
    Type = PictureTypeOfMime(MediaType);
    if (Type.empty()) return TPictureOutcome::NotPicture;
    if (!IsPictureTypeEnabled(Type, Settings.PicTypes)) return TPictureOutcome::TypeOff;
    return TPictureOutcome::Saved;
  };

  if (Settings.MinSizeK > 0) {
    try {
      Client.Head(A);
    } catch (const EHttpError&) {
      // An error reply may still announce a length; it is judged like any other.
    }
    const std::int64_t S = Client.ContentLength();
    if (S < 0) {
      R.Outcome = TPictureOutcome::NoLength;
      return;
    }
    // In 64 bits: a large minimum must not wrap around and let everything pass.
    if (S < static_cast<std::int64_t>(Settings.MinSizeK) * 1024) {
      R.Outcome = TPictureOutcome::TooSmall;
      return;
    }
    if (Web) {
      const TPictureOutcome Typed = Judge(Client.ContentType());
      if (Typed != TPictureOutcome::Saved) {
        R.Outcome = Typed;
        return;
      }
    }
  }

  const std::string PathName = TypedByPath ? PictureFileName(Path) : std::string();
  if (TypedByPath && PathName.empty()) {
    R.Outcome = TPictureOutcome::UnsafeName;
    return;
  }

  // The picture goes to disk as it arrives, under a temporary name in the
  // save folder, so memory stays flat whatever its size. It takes a
  // picture's name only once it is whole: a picture cut off by a failure or
  // by the end of the program never shows under one, and a failed one takes
  // its temporary file with it.
  TNewFile File;
  if (!File.CreateTemporary(Settings.SaveFolder)) {
    R.FolderError = File.LastError();
    throw ELumoraError("Cannot create a file in " + Settings.SaveFolder);
  }
  // The pieces, which the client hands over in sizes of its own, go to the
  // file in writes of up to WriteSize: a typical picture in one.
  std::int64_t Bytes = 0;
  const std::int64_t Cap = MaxPictureBytes(Settings.MaxPictureMB);
  const auto TooLarge = [&] {
    return ELumoraError("larger than " + std::to_string(Cap >> 20) +
                        " MB, the largest picture saved");
  };
  std::string Pending;
  const auto Flush = [&](const char* Data, std::size_t Size) {
    if (!File.Write(Data, Size)) {
      R.FolderError = File.LastError();
      throw ELumoraError("Cannot write into " + Settings.SaveFolder);
    }
  };
  // Today's web looks at the reply before a byte of it is written: its
  // headers on the first piece, or at the end of a reply without a body.
  bool Judged = !Web;
  TPictureOutcome Verdict = TPictureOutcome::Saved;
  Client.Get(A, [&](const char* Data, std::size_t Size) {
    if (!Judged) {
      Judged = true;
      Verdict = Judge(Client.ContentType());
      if (Verdict == TPictureOutcome::Saved && StartsLikeMarkup(std::string_view(Data, Size)))
        Verdict = TPictureOutcome::NotPicture;
      if (Verdict != TPictureOutcome::Saved) return false;  // the rest is never read
    }
    // An announced length over the cap fails at once; an endless reply as
    // the cap is passed. The temporary file goes with the failure.
    if (Client.ContentLength() > Cap) throw TooLarge();
    Bytes += static_cast<std::int64_t>(Size);
    if (Bytes > Cap) throw TooLarge();
    if (Pending.size() + Size > WriteSize && !Pending.empty()) {
      Flush(Pending.data(), Pending.size());
      Pending.clear();
    }
    if (Size >= WriteSize) {
      Flush(Data, Size);
    } else {
      if (Pending.capacity() < WriteSize) Pending.reserve(WriteSize);
      Pending.append(Data, Size);
    }
    return true;
  });
  if (!Judged) Verdict = Judge(Client.ContentType());
  if (Verdict != TPictureOutcome::Saved) {
    R.Outcome = Verdict;  // the temporary file goes with File
    return;
  }
  if (!Pending.empty()) Flush(Pending.data(), Pending.size());
  const std::string Name = TypedByPath ? PathName : ContentTypedFileName(Path, Type);

  // The name is taken as the picture is complete, never over an existing
  // file: while a name is taken, the next number is tried. Each is shortened
  // to fit the folder, so a long name is not the end of a finished picture.
  std::string Chosen = FittedName(Settings.SaveFolder, Name, 0);
  for (unsigned K = 1;; ++K) {
    const auto Named = File.CommitAs(JoinPath(Settings.SaveFolder, Chosen));
    if (Named == TNewFile::TCreateResult::Created) break;
    if (Named == TNewFile::TCreateResult::Failed)
      throw ELumoraError("Cannot save " + JoinPath(Settings.SaveFolder, Chosen));
    Chosen = FittedName(Settings.SaveFolder, Name, K);
  }

  R.Outcome = TPictureOutcome::Saved;
  R.FileName = std::move(Chosen);
  R.Bytes = Bytes;
}

}  // namespace

bool PictureAddress(std::string& Address, bool TodaysWeb) {
  Address.erase(std::remove(Address.begin(), Address.end(), ' '), Address.end());
  const bool Secure = TodaysWeb && StartsWithHttps(Address);
  if (!StartsWithHttp(Address) && !Secure) return false;

  // A picture wrapped in another address (a viewer page, a redirector): keep
  // the inner address up to its first picture extension. Today's web looks
  // for an inner https:// address too.
  const std::string Lower = LowerAscii(Address);
  const std::size_t From = Secure ? HttpsPrefix.size() : HttpPrefix.size();
  auto Inner = Lower.find(HttpPrefix, From);
  if (TodaysWeb) Inner = std::min(Inner, Lower.find(HttpsPrefix, From));
  if (Inner != std::string::npos) {
    Address.erase(0, Inner);
    const std::string InnerLower = Lower.substr(Inner);
    // The newer types come last, so an address holding one of the old four
    // is cut where it always was.
    std::size_t Dot = std::string::npos;
    std::string_view Found;
    for (const std::string_view Ext : {".jpg", ".bmp", ".gif", ".tif", ".png", ".webp", ".avif"}) {
      Dot = InnerLower.find(Ext);
      if (Dot != std::string::npos) {
        Found = Ext;
        break;
      }
    }
    // Without an extension the address is cut to "htt", which no type matches.
    Address.resize(Dot == std::string::npos ? 3 : Dot + Found.size());
  }
  return true;
}

bool IsTypeEnabled(std::string_view Address, std::string_view PicTypes, bool TodaysWeb) {
  return IsAddressTypeEnabled(Address, PicTypes, TodaysWeb);
}

std::string PictureFileName(std::string_view Address) {
  // Only today's web lets an https:// address through PictureAddress.
  const std::size_t Scheme = StartsWithHttps(Address) ? HttpsPrefix.size() : HttpPrefix.size();
  std::string_view N = Address.size() > Scheme ? Address.substr(Scheme) : std::string_view{};
  // The first cut always drops the host; later ones stop at a short rest.
  bool First = true;
  while (First || (N.size() > 4 && N.find('/') != std::string_view::npos)) {
    First = false;
    const auto Slash = N.find('/');
    if (Slash == std::string_view::npos) break;
    N.remove_prefix(Slash + 1);
  }
  return SafeFileName(std::string(N));
}

std::string_view AddressPath(std::string_view Address) {
  return Address.substr(0, Address.find_first_of("?#"));
}

std::string ContentTypedFileName(std::string_view Path, std::string_view TypeName) {
  const auto Scheme = Path.find("://");
  const auto Slash = Path.find('/', Scheme == std::string_view::npos ? 0 : Scheme + 3);
  std::string_view Segment;
  if (Slash != std::string_view::npos) Segment = Path.substr(Path.rfind('/') + 1);
  std::string Stem = SafeFileName(std::string(Segment));
  if (Stem.empty()) Stem = "picture";
  // Made safe again as a whole: "con" is a device name with any ending.
  return SafeFileName(Stem + PictureTypeExtension(TypeName));
}

namespace {

// Where a number goes and where a shortened stem ends: before the
// extension's dot, however long the extension (photo.webp gives
// photo(1).webp). A name without a dot keeps the old cut four characters
// from its end.
std::size_t ExtensionCut(const std::string& Name) {
  const std::size_t Dot = Name.rfind('.');
  return Dot != std::string::npos ? Dot : Name.size() >= 4 ? Name.size() - 4 : 0;
}

}  // namespace

std::string NumberedName(const std::string& Name, unsigned K) {
  const std::size_t Cut = ExtensionCut(Name);
  return Name.substr(0, Cut) + "(" + std::to_string(K) + ")" + Name.substr(Cut);
}

std::string FittedName(std::string_view Folder, const std::string& Name, unsigned K) {
  const std::size_t Cut = ExtensionCut(Name);
  const std::string_view Stem = std::string_view(Name).substr(0, Cut);
  const std::string_view Tail = std::string_view(Name).substr(Cut);
  std::string Number;
  if (K > 0) {
    Number = '(';
    Number += std::to_string(K);
    Number += ')';
  }
  const std::size_t Room = NameRoom(Folder);
  const std::size_t Fixed = Number.size() + Tail.size();
  std::size_t Keep = CharacterPrefix(Stem, Room > Fixed ? Room - Fixed : 0);
  // A byte of the stem stays: in a folder too deep for any name the save
  // fails and says so, rather than saving a bare ".jpg".
  if (Keep == 0 && !Stem.empty()) Keep = 1;
  std::string Result(Stem.substr(0, Keep));
  Result += Number;
  Result += Tail;
  return Result;
}

namespace {

TPictureResult DownloadWith(const std::string& Address, const TGrabSettingsValues& Settings,
                            THttpSession* Session, const std::string& Referer) noexcept {
  TPictureResult R;
  try {
    SavePicture(Address, Settings, Session, Referer, R);
  } catch (const EHttpError& E) {
    NoteError(R, E.StatusCode(), E.what());
  } catch (const std::bad_alloc&) {
    NoteError(R, 0, "Out of memory");
  } catch (const std::exception& E) {
    NoteError(R, 0, E.what());
  } catch (...) {
    NoteError(R, 0, "Unknown error");
  }
  return R;
}

}  // namespace

TPictureResult DownloadPicture(const std::string& Address, const TGrabSettingsValues& Settings,
                               const std::string& Referer) noexcept {
  return DownloadWith(Address, Settings, nullptr, Referer);
}

TPictureResult DownloadPicture(const std::string& Address, const TGrabSettingsValues& Settings,
                               THttpSession& Session, const std::string& Referer) noexcept {
  return DownloadWith(Address, Settings, &Session, Referer);
}

void DownloadPicture(const std::string& Address) noexcept {
  try {
    DownloadPicture(Address, GrabSettings().Snapshot());
  } catch (...) {
    // Out of memory for the settings copy: this one picture is lost.
  }
}

const char* PictureOutcomeText(TPictureOutcome O) {
  switch (O) {
    case TPictureOutcome::Saved:
      return "saved";
    case TPictureOutcome::NotHttp:
      return "dropped (not http://)";
    case TPictureOutcome::TypeOff:
      return "dropped (type off)";
    case TPictureOutcome::TooSmall:
      return "dropped (too small)";
    case TPictureOutcome::NoLength:
      return "dropped (no Content-Length)";
    case TPictureOutcome::UnsafeName:
      return "dropped (unsafe name)";
    case TPictureOutcome::NotPicture:
      return "dropped (not a picture)";
    case TPictureOutcome::Failed:
      return "failed";
  }
  return "?";
}

}  // namespace lumora
