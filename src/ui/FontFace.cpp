#include "ui/FontFace.h"

#include <windows.h>

#include "ui/GdiObjects.h"

namespace lumora {

namespace {

int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM Found) {
  *reinterpret_cast<bool*>(Found) = true;
  return 0;  // one is enough
}

}  // namespace

bool HasFontFace(const std::string& Face) {
  if (Face.empty() || Face.size() >= LF_FACESIZE) return false;
  TWindowDC Screen = TWindowDC::Client(nullptr);
  if (!Screen) return false;
  LOGFONTA Wanted{};
  Wanted.lfCharSet = DEFAULT_CHARSET;
  Face.copy(Wanted.lfFaceName, LF_FACESIZE - 1);
  bool Found = false;
  EnumFontFamiliesExA(Screen.Get(), &Wanted, FoundFace, reinterpret_cast<LPARAM>(&Found), 0);
  return Found;
}

bool ProvideFontFace(const std::string& Face, const std::string& File) {
  if (HasFontFace(Face)) return true;
  if (AddFontResourceExA(File.c_str(), FR_PRIVATE, nullptr) == 0) return false;
  return HasFontFace(Face);
}

}  // namespace lumora
