#include "gallery/GallerySupport.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lumora::test {
namespace {

// The tool's path as the build knows it; a Unix path is reached through Z:.
std::string GalleryExe() {
  const std::string Built = LUMORA_GALLERY_EXE;
  std::string Path = Built.starts_with('/') ? "Z:" : "";
  for (char Ch : Built) Path.push_back(Ch == '/' ? '\\' : Ch);
  return Path;
}

// Appends Arg to a command line in quotes.
void AddArg(std::string& Line, const std::string& Arg) {
  if (!Line.empty()) Line += ' ';
  Line += '"';
  Line += Arg;
  Line += '"';
}

std::string ReadFile(const std::string& File) {
  std::ifstream In(File, std::ios::binary);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

}  // namespace

std::string MakeTempDir() {
  static std::atomic<int> Counter{0};
  char Base[MAX_PATH];
  GetTempPathA(MAX_PATH, Base);
  for (;;) {
    std::string Dir = std::string(Base) + "lumora-gallery-" +
                      std::to_string(GetCurrentProcessId()) + "-" + std::to_string(Counter++);
    if (CreateDirectoryA(Dir.c_str(), nullptr)) return Dir;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make " + Dir);
  }
}

TPicture ReadBmp(const std::string& File) {
  const std::string Data = ReadFile(File);
  if (Data.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || Data[0] != 'B' ||
      Data[1] != 'M')
    throw std::runtime_error(File + " is not a BMP file");
  BITMAPFILEHEADER FH;
  BITMAPINFOHEADER IH;
  std::memcpy(&FH, Data.data(), sizeof(FH));
  std::memcpy(&IH, Data.data() + sizeof(FH), sizeof(IH));
  if ((IH.biBitCount != 24 && IH.biBitCount != 32) || IH.biCompression != BI_RGB)
    throw std::runtime_error(File + " is not an uncompressed 24- or 32-bit BMP");
  TPicture P;
  P.Width = IH.biWidth;
  P.Height = IH.biHeight < 0 ? -IH.biHeight : IH.biHeight;
  const bool TopDown = IH.biHeight < 0;
  const size_t Bytes = IH.biBitCount / 8;
  const size_t Stride = (static_cast<size_t>(P.Width) * Bytes + 3) & ~size_t{3};
  if (FH.bfOffBits + Stride * static_cast<size_t>(P.Height) > Data.size())
    throw std::runtime_error(File + " is cut short");
  P.Pixels.resize(static_cast<size_t>(P.Width) * static_cast<size_t>(P.Height));
  for (int Y = 0; Y < P.Height; ++Y) {
    const size_t Row = static_cast<size_t>(TopDown ? Y : P.Height - 1 - Y);
    const auto* Line =
        reinterpret_cast<const unsigned char*>(Data.data()) + FH.bfOffBits + Row * Stride;
    for (int X = 0; X < P.Width; ++X) {
      const unsigned char* Px = Line + static_cast<size_t>(X) * Bytes;
      P.Pixels[static_cast<size_t>(Y * P.Width + X)] = RGBColor(Px[2], Px[1], Px[0]);
    }
  }
  return P;
}

const TJson* TGalleryRun::Case(const std::string& Name) const {
  if (!Cases.is_object() || !Cases.contains("cases")) return nullptr;
  for (const TJson& C : Cases["cases"])
    if (C.value("name", "") == Name) return &C;
  return nullptr;
}

TPicture TGalleryRun::Picture(const std::string& Name) const {
  const TJson* C = Case(Name);
  if (!C) throw std::runtime_error("no case " + Name);
  if (!C->contains("file"))
    throw std::runtime_error(Name + " was not written: " + C->value("error", std::string("?")));
  return ReadBmp(Dir + "\\" + (*C)["file"].get<std::string>());
}

TGalleryRun RunGallery(const std::vector<std::string>& Args) {
  TGalleryRun Run;
  Run.Dir = MakeTempDir();
  const std::string OutFile = Run.Dir + ".out";
  SECURITY_ATTRIBUTES Sa{sizeof(Sa), nullptr, TRUE};
  HANDLE Out = CreateFileA(OutFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &Sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Out == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make " + OutFile);
  std::string Cmd;
  AddArg(Cmd, GalleryExe());
  for (const std::string& A : Args) AddArg(Cmd, A);
  AddArg(Cmd, Run.Dir);
  STARTUPINFOA Si{};
  Si.cb = sizeof(Si);
  Si.dwFlags = STARTF_USESTDHANDLES;
  Si.hStdOutput = Out;
  Si.hStdError = Out;
  Si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION Pi{};
  std::vector<char> Line(Cmd.begin(), Cmd.end());
  Line.push_back('\0');
  const BOOL Started =
      CreateProcessA(nullptr, Line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Si, &Pi);
  CloseHandle(Out);
  if (!Started) throw std::runtime_error("cannot start " + Cmd);
  WaitForSingleObject(Pi.hProcess, 300000);
  DWORD Code = 0;
  GetExitCodeProcess(Pi.hProcess, &Code);
  CloseHandle(Pi.hThread);
  CloseHandle(Pi.hProcess);
  Run.ExitCode = static_cast<int>(Code);
  Run.Output = ReadFile(OutFile);
  DeleteFileA(OutFile.c_str());
  const std::string Json = ReadFile(Run.Dir + "\\cases.json");
  if (!Json.empty()) Run.Cases = TJson::parse(Json, nullptr, false);
  return Run;
}

const TGalleryRun& FullGallery() {
  static const TGalleryRun Run = RunGallery({});
  return Run;
}

TColor SysColor(const TGalleryRun& Run, int Index) {
  return static_cast<TColor>(Run.Cases["syscolors"][std::to_string(Index)].get<long long>());
}

}  // namespace lumora::test
