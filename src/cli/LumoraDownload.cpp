// lumora-download: queues picture addresses and lets five download workers
// save them, exactly as the drop window's workers do, then waits for them.
//
//   lumora-download [--folder DIR] [--types .JPG.BMP.GIF.TIF] [--min-size K]
//                   [--todays-web] [--ca-file FILE] [--max-size MB] ADDRESS... | -
//
// With "-" the addresses are read from standard input, one a line.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "grab/GrabObserver.h"
#include "grab/GrabSettings.h"
#include "grab/TThreaddownloadpic.h"
#include "net/HttpClient.h"

using namespace lumora;

namespace {

constexpr int WorkerCount = 5;

// Prints one line per picture, whole lines only, from any worker.
class TPrinter : public TGrabTally {
 public:
  explicit TPrinter(bool Quiet) : FQuiet(Quiet) {}
  void PictureDone(const TPictureResult& R) override {
    TGrabTally::PictureDone(R);
    if (FQuiet) return;
    std::string Line = std::string(PictureOutcomeText(R.Outcome)) + "  " + R.Address;
    if (R.Outcome == TPictureOutcome::Saved) Line += "  ->  " + R.FileName;
    if (R.Outcome == TPictureOutcome::Failed) Line += "  (" + R.Error + ")";
    std::lock_guard Guard(FOut);
    std::cout << Line << '\n';
  }

 private:
  bool FQuiet;
  std::mutex FOut;
};

[[noreturn]] void Usage(const std::string& Problem) {
  std::cerr << "lumora-download: " << Problem << "\n"
            << "usage: lumora-download [--folder DIR] [--types .JPG.BMP.GIF.TIF] [--min-size K]"
               " [--todays-web] [--ca-file FILE] [--max-size MB] [--quiet] ADDRESS... | -\n";
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  TGrabSettingsValues Settings;
  Settings.PicTypes = ".JPG.BMP.GIF.TIF";
  Settings.SaveFolder = "lumora-pictures";
  bool Quiet = false;
  std::vector<std::string> Addresses;

  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    auto Value = [&]() -> std::string {
      if (I + 1 >= argc) Usage(Arg + " needs a value");
      return argv[++I];
    };
    if (Arg == "--folder") {
      Settings.SaveFolder = Value();
    } else if (Arg == "--types") {
      Settings.PicTypes = Value();
    } else if (Arg == "--min-size") {
      const std::string V = Value();
      char* End = nullptr;
      const long K = std::strtol(V.c_str(), &End, 10);
      if (V.empty() || *End != '\0' || K < INT32_MIN || K > INT32_MAX)
        Usage("--min-size takes a whole number of kilobytes");
      Settings.MinSizeK = static_cast<std::int32_t>(K);
    } else if (Arg == "--max-size") {
      const std::string V = Value();
      char* End = nullptr;
      const long M = std::strtol(V.c_str(), &End, 10);
      if (V.empty() || *End != '\0' || M <= 0 || M > INT32_MAX)
        Usage("--max-size takes a whole number of megabytes, 1 or more");
      Settings.MaxPictureMB = static_cast<std::int32_t>(M);
    } else if (Arg == "--quiet") {
      Quiet = true;
    } else if (Arg == "--todays-web") {
      Settings.TodaysWeb = true;
    } else if (Arg == "--ca-file") {
      const std::string Path = Value();
      if (!HttpCaFileSupported())
        Usage("--ca-file is for the native build: on Windows the system's trust store decides");
      std::FILE* F = std::fopen(Path.c_str(), "rb");
      if (!F) Usage("cannot read the CA file " + Path + ": " + std::strerror(errno));
      std::fclose(F);
      SetHttpCaFile(Path);
    } else if (Arg == "-") {
      for (std::string Line; std::getline(std::cin, Line);) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (!Line.empty()) Addresses.push_back(Line);
      }
    } else if (Arg.rfind("--", 0) == 0) {
      Usage("unknown option " + Arg);
    } else {
      Addresses.push_back(Arg);
    }
  }
  if (Addresses.empty()) Usage("no address given");

  GrabSettings().Assign(Settings);
  GrabSettings().EnsureSaveFolder();

  TGrabShared Shared;
  Shared.PicQueue = std::make_shared<TPicQueue>();
  auto Printer = std::make_shared<TPrinter>(Quiet);
  Shared.Observer = Printer;
  for (const auto& A : Addresses) Shared.PicQueue->Append(A);

  const auto Start = std::chrono::steady_clock::now();
  for (int I = 0; I < WorkerCount; ++I) TThreaddownloadpic::Start(Shared);
  Printer->WaitForWorkers();
  const double Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();

  const auto C = Printer->Counts();
  std::printf("%zu queued, %u saved, %u dropped, %u failed, %lld bytes, %.2f s, into %s\n",
              Addresses.size(), C.Saved, C.Dropped, C.Failed, static_cast<long long>(C.Bytes),
              Seconds, GrabSettings().SaveFolder().c_str());
  return C.Failed == 0 ? 0 : 1;
}
