#include "grab/DownloadPicture.h"
#include "sys/AsciiCase.h"

#include <algorithm>
#include <exception>
#include <new>

#include "net/HttpClient.h"
#include "sys/FilePath.h"
#include "sys/FileSystem.h"

namespace lumora {

namespace {

constexpr std::string_view HttpPrefix = "http://";
constexpr std::size_t WriteSize = 64 * 1024;

bool StartsWithHttp(std::string_view S) {
  return S.size() >= HttpPrefix.size() && LowerAscii(S.substr(0, HttpPrefix.size())) == HttpPrefix;
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
                 THttpSession* Session, TPictureResult& R) {
  R.Address = Address;
  std::string& A = R.Address;
  if (!PictureAddress(A)) {
    R.Outcome = TPictureOutcome::NotHttp;
    return;
  }
  if (!IsTypeEnabled(A, Settings.PicTypes)) {
    R.Outcome = TPictureOutcome::TypeOff;
    return;
  }

  THttpClient Client = Session ? THttpClient(*Session) : THttpClient();
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
  }

  const std::string Name = PictureFileName(A);
  if (Name.empty()) {
    R.Outcome = TPictureOutcome::UnsafeName;
    return;
  }

  // The picture goes to disk as it arrives, under a temporary name in the
  // save folder, so memory stays flat whatever its size. It takes a
  // picture's name only once it is whole: a picture cut off by a failure or
  // by the end of the program never shows under one, and a failed one takes
  // its temporary file with it.
  TNewFile File;
  if (!File.CreateTemporary(Settings.SaveFolder))
    throw ELumoraError("Cannot create a file in " + Settings.SaveFolder);
  // The pieces, which the client hands over in sizes of its own, go to the
  // file in writes of up to WriteSize: a typical picture in one.
  std::int64_t Bytes = 0;
  std::string Pending;
  const auto Flush = [&](const char* Data, std::size_t Size) {
    if (!File.Write(Data, Size)) throw ELumoraError("Cannot write into " + Settings.SaveFolder);
  };
  Client.Get(A, [&](const char* Data, std::size_t Size) {
    Bytes += static_cast<std::int64_t>(Size);
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
  if (!Pending.empty()) Flush(Pending.data(), Pending.size());

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

bool PictureAddress(std::string& Address) {
  Address.erase(std::remove(Address.begin(), Address.end(), ' '), Address.end());
  if (!StartsWithHttp(Address)) return false;

  // A picture wrapped in another address (a viewer page, a redirector): keep
  // the inner address up to its first picture extension.
  const std::string Lower = LowerAscii(Address);
  const auto Inner = Lower.find(HttpPrefix, HttpPrefix.size());
  if (Inner != std::string::npos) {
    Address.erase(0, Inner);
    const std::string InnerLower = Lower.substr(Inner);
    std::size_t Dot = std::string::npos;
    for (const char* Ext : {".jpg", ".bmp", ".gif", ".tif"}) {
      Dot = InnerLower.find(Ext);
      if (Dot != std::string::npos) break;
    }
    // Without an extension the address is cut to "htt", which no type matches.
    Address.resize(Dot == std::string::npos ? 3 : Dot + 4);
  }
  return true;
}

bool IsTypeEnabled(std::string_view Address, std::string_view PicTypes) {
  if (Address.size() < 3) return false;
  const std::string X = UpperAscii(Address.substr(Address.size() - 3));
  return PicTypes.find(X) != std::string_view::npos;
}

std::string PictureFileName(std::string_view Address) {
  std::string_view N =
      Address.size() > HttpPrefix.size() ? Address.substr(HttpPrefix.size()) : std::string_view{};
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

std::string NumberedName(const std::string& Name, unsigned K) {
  const std::size_t Cut = Name.size() >= 4 ? Name.size() - 4 : 0;
  return Name.substr(0, Cut) + "(" + std::to_string(K) + ")" + Name.substr(Cut);
}

std::string FittedName(std::string_view Folder, const std::string& Name, unsigned K) {
  const std::size_t Cut = Name.size() >= 4 ? Name.size() - 4 : 0;
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
                            THttpSession* Session) noexcept {
  TPictureResult R;
  try {
    SavePicture(Address, Settings, Session, R);
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

TPictureResult DownloadPicture(const std::string& Address,
                               const TGrabSettingsValues& Settings) noexcept {
  return DownloadWith(Address, Settings, nullptr);
}

TPictureResult DownloadPicture(const std::string& Address, const TGrabSettingsValues& Settings,
                               THttpSession& Session) noexcept {
  return DownloadWith(Address, Settings, &Session);
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
    case TPictureOutcome::Failed:
      return "failed";
  }
  return "?";
}

}  // namespace lumora
