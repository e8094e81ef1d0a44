#include "grab/DownloadPicture.h"

#include <algorithm>
#include <exception>
#include <new>

#include "net/HttpClient.h"
#include "sys/FileSystem.h"

namespace lumora {

namespace {

constexpr std::string_view HttpPrefix = "http://";

std::string LowerAscii(std::string_view S) {
  std::string R(S);
  for (char& C : R)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C + 32);
  return R;
}

bool StartsWithHttp(std::string_view S) {
  return S.size() >= HttpPrefix.size() && LowerAscii(S.substr(0, HttpPrefix.size())) == HttpPrefix;
}

bool IsForbiddenInName(char C) {
  if (static_cast<unsigned char>(C) < 32) return true;
  switch (C) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return true;
    default:
      return false;
  }
}

bool IsDeviceName(std::string_view Base) {
  const std::string U = [&] {
    std::string R(Base);
    for (char& C : R)
      if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
    return R;
  }();
  if (U == "CON" || U == "PRN" || U == "AUX" || U == "NUL") return true;
  return U.size() == 4 && (U.compare(0, 3, "COM") == 0 || U.compare(0, 3, "LPT") == 0) &&
         U[3] >= '1' && U[3] <= '9';
}

// Makes a name taken from an address safe to create in the save folder, the
// same way in both builds: characters Windows forbids become '_', trailing
// dots (which Windows drops) go, a device name gets a leading '_'.
std::string SafeFileName(std::string Name) {
  for (char& C : Name)
    if (IsForbiddenInName(C)) C = '_';
  while (!Name.empty() && (Name.back() == '.' || Name.back() == ' ')) Name.pop_back();
  if (Name.empty()) return {};
  if (IsDeviceName(std::string_view(Name).substr(0, Name.find('.')))) Name.insert(0, "_");
  return Name;
}

TPictureResult Dropped(TPictureOutcome Outcome, const std::string& Address) {
  TPictureResult R;
  R.Outcome = Outcome;
  R.Address = Address;
  return R;
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
  std::string X(Address.substr(Address.size() - 3));
  for (char& C : X)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
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

TPictureResult DownloadPicture(const std::string& Address, const TGrabSettingsValues& Settings) {
  std::string A = Address;
  try {
    if (!PictureAddress(A)) return Dropped(TPictureOutcome::NotHttp, A);
    if (!IsTypeEnabled(A, Settings.PicTypes)) return Dropped(TPictureOutcome::TypeOff, A);

    THttpClient Client;
    if (Settings.MinSizeK > 0) {
      try {
        Client.Head(A);
      } catch (const std::exception&) {
        // An error reply may still announce a length; it is judged like any other.
      }
      const std::int64_t S = Client.ContentLength();
      if (S < 0) return Dropped(TPictureOutcome::NoLength, A);
      if (S < static_cast<std::int64_t>(Settings.MinSizeK) * 1024)
        return Dropped(TPictureOutcome::TooSmall, A);
    }

    const std::string Name = PictureFileName(A);
    if (Name.empty()) return Dropped(TPictureOutcome::UnsafeName, A);

    TMemoryBuffer Body;
    Client.Get(A, Body);

    // Choosing the name and creating the file are one step: an exclusive
    // create that moves on to the next number while the name is taken.
    TNewFile File;
    std::string Chosen = Name;
    for (unsigned K = 1;; ++K) {
      const auto Created = File.Create(Settings.SaveFolder + Chosen);
      if (Created == TNewFile::TCreateResult::Created) break;
      if (Created == TNewFile::TCreateResult::Failed || K == 0)
        throw ELumoraError("Cannot create " + Settings.SaveFolder + Chosen);
      Chosen = NumberedName(Name, K);
    }
    if (!File.Write(Body.data(), Body.size()) || !File.Commit())
      throw ELumoraError("Cannot write " + Settings.SaveFolder + Chosen);

    TPictureResult R;
    R.Outcome = TPictureOutcome::Saved;
    R.Address = A;
    R.FileName = Chosen;
    R.Bytes = static_cast<std::int64_t>(Body.size());
    return R;
  } catch (const EHttpError& E) {
    TPictureResult R = Dropped(TPictureOutcome::Failed, A);
    R.Status = E.StatusCode();
    R.Error = E.what();
    return R;
  } catch (const std::bad_alloc&) {
    TPictureResult R = Dropped(TPictureOutcome::Failed, A);
    R.Error = "Out of memory";
    return R;
  } catch (const std::exception& E) {
    TPictureResult R = Dropped(TPictureOutcome::Failed, A);
    R.Error = E.what();
    return R;
  } catch (...) {
    TPictureResult R = Dropped(TPictureOutcome::Failed, A);
    R.Error = "Unknown error";
    return R;
  }
}

void DownloadPicture(const std::string& Address) {
  try {
    DownloadPicture(Address, GrabSettings().Snapshot());
  } catch (...) {
    // Nothing about a picture is ever reported; a failed snapshot copy loses it.
  }
}

}  // namespace lumora
