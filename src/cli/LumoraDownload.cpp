// lumora-download: queues picture addresses and lets five download workers
// save them, exactly as the drop window's workers do, then waits for them.
//
//   lumora-download [--folder DIR] [--types .JPG.BMP.GIF.TIF] [--min-size K]
//                   [--settings FILE] [--todays-web] [--ca-file FILE] [--max-size MB]
//                   [--quiet] ADDRESS... | -
//
// With "-" the addresses are read from standard input, one a line. Settings
// start from the defaults, then the settings file (and lumora.ini beside it),
// then the options.

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

#include "cli/CliSettings.h"
#include "cli/ProgressLine.h"
#include "grab/GrabObserver.h"
#include "grab/GrabSettings.h"
#include "grab/TThreaddownloadpic.h"
#include "net/HttpClient.h"
#include "sys/DetachedThread.h"
#include "sys/FileSystem.h"

using namespace lumora;

namespace {

constexpr int WorkerCount = 5;

// Prints one line per picture, whole lines only, from any worker; on a
// terminal keeps one progress line below them.
class TPrinter : public TGrabTally {
 public:
  TPrinter(bool Quiet, std::unique_ptr<TStatusOutput> Terminal, unsigned Total) : FQuiet(Quiet) {
    if (Terminal)
      FProgress = std::make_unique<TProgressLine>(std::move(Terminal), [this, Total] {
        const auto C = Counts();
        return TProgressValues{C.Done(), Total, C.Saved, C.Failed, C.Bytes};
      });
  }
  void PictureDone(const TPictureResult& R) override {
    TGrabTally::PictureDone(R);
    if (FQuiet) return;
    std::string Line = std::string(PictureOutcomeText(R.Outcome)) + "  " + R.Address;
    if (R.Outcome == TPictureOutcome::Saved) Line += "  ->  " + R.FileName;
    if (R.Outcome == TPictureOutcome::Failed) Line += "  (" + R.Error + ")";
    Print(Line);
  }
  void WorkerNotStarted() override {
    TGrabTally::WorkerNotStarted();
    if (!FQuiet) Print(WorkerNotStartedText);
  }
  void EndProgress() {
    if (FProgress) FProgress->Stop();
    std::cout.flush();
  }

 private:
  void Print(const std::string& Line) {
    if (FProgress) {
      FProgress->Print(Line);
      return;
    }
    std::lock_guard Guard(FOut);
    std::cout << Line << '\n';
  }

  bool FQuiet;
  std::mutex FOut;
  std::unique_ptr<TProgressLine> FProgress;
};

constexpr char UsageLine[] =
    "usage: lumora-download [--folder DIR] [--types .JPG.BMP.GIF.TIF] [--min-size K]"
    " [--settings FILE] [--todays-web] [--ca-file FILE] [--max-size MB] [--quiet] ADDRESS... | -\n";

[[noreturn]] void Usage(const std::string& Problem) {
  std::cerr << "lumora-download: " << Problem << "\n" << UsageLine;
  std::exit(2);
}

[[noreturn]] void Help() {
  std::cout << UsageLine
            << "\nSaves each picture ADDRESS (\"-\": the addresses on standard input, one a\n"
               "line) into the folder with five download workers, as Lumora's drop window\n"
               "saves the pictures of a page.\n"
               "\n"
               "  --folder DIR     save folder (default: lumora-pictures in the current folder)\n"
               "  --types TYPES    enabled types, from .JPG.BMP.GIF.TIF (default: all four)\n"
               "  --min-size K     save only pictures announced with at least K KB (default: 0,\n"
               "                   any size)\n"
               "  --settings FILE  read types, minimum size and folder from a settings file\n"
               "                   of three lines, and today's web from lumora.ini beside it\n"
               "                   when there is one; options given as well override them\n"
               "  --todays-web     today's web: https:// addresses and redirects too (off\n"
               "                   unless this option or lumora.ini's TodaysWeb=1 turns it on)\n"
               "  --ca-file FILE   also trust the certificate authorities of this PEM file\n"
               "                   for https:// (native build; Windows trusts its own store)\n"
               "  --max-size MB    the largest picture saved, in MB (default: 1024, or\n"
               "                   lumora.ini's MaxPictureMB); a larger one, or one arriving\n"
               "                   slower than 1 KB/s over 60 s, fails\n"
               "  --quiet          print the summary only\n";
  std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  TGrabSettingsValues Settings;
  Settings.PicTypes = ".JPG.BMP.GIF.TIF";
  Settings.SaveFolder = "lumora-pictures";
  bool Quiet = false, TodaysWeb = false;
  bool HaveFolder = false, HaveTypes = false, HaveMinSize = false;
  std::string Folder, Types, SettingsPath;
  std::int32_t MinSizeK = 0;
  std::int32_t MaxPictureMB = 0;  // 0: not given
  std::vector<std::string> Addresses;

  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    auto Value = [&]() -> std::string {
      if (I + 1 >= argc) Usage(Arg + " needs a value");
      return argv[++I];
    };
    if (Arg == "--help" || Arg == "-h") {
      Help();
    } else if (Arg == "--folder") {
      Folder = Value();
      HaveFolder = true;
    } else if (Arg == "--types") {
      Types = Value();
      HaveTypes = true;
    } else if (Arg == "--min-size") {
      const std::string V = Value();
      char* End = nullptr;
      const long K = std::strtol(V.c_str(), &End, 10);
      if (V.empty() || *End != '\0' || K < INT32_MIN || K > INT32_MAX)
        Usage("--min-size takes a whole number of kilobytes");
      MinSizeK = static_cast<std::int32_t>(K);
      HaveMinSize = true;
    } else if (Arg == "--max-size") {
      const std::string V = Value();
      char* End = nullptr;
      const long M = std::strtol(V.c_str(), &End, 10);
      if (V.empty() || *End != '\0' || M <= 0 || M > INT32_MAX)
        Usage("--max-size takes a whole number of megabytes, 1 or more");
      MaxPictureMB = static_cast<std::int32_t>(M);
    } else if (Arg == "--settings") {
      SettingsPath = Value();
    } else if (Arg == "--todays-web") {
      TodaysWeb = true;
    } else if (Arg == "--quiet") {
      Quiet = true;
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
  if (std::string Problem;
      !SettingsPath.empty() && !ReadSettingsFiles(SettingsPath, Settings, Problem))
    Usage(Problem);
  if (HaveFolder) Settings.SaveFolder = Folder;
  if (HaveTypes) Settings.PicTypes = Types;
  if (HaveMinSize) Settings.MinSizeK = MinSizeK;
  if (MaxPictureMB > 0) Settings.MaxPictureMB = MaxPictureMB;
  if (TodaysWeb) Settings.TodaysWeb = true;

  GrabSettings().Assign(Settings);
  GrabSettings().EnsureSaveFolder();
  RemoveStaleTemporaries(GrabSettings().SaveFolder());

  TGrabShared Shared;
  Shared.PicQueue = std::make_shared<TPicQueue>();
  auto Printer = std::make_shared<TPrinter>(Quiet, Quiet ? nullptr : TStatusOutput::ForStdout(),
                                            static_cast<unsigned>(Addresses.size()));
  Shared.Observer = Printer;
  for (const auto& A : Addresses) Shared.PicQueue->Append(A);

  const auto Start = std::chrono::steady_clock::now();
  // Without a worker nothing would ever be saved: that is no success.
  if (TThreaddownloadpic::StartMany(Shared, WorkerCount) == 0) {
    Printer->EndProgress();
    std::fprintf(stderr, "lumora-download: cannot start a download worker\n");
    return 1;
  }
  Printer->WaitForWorkers();
  const double Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  Printer->EndProgress();
  // The workers have told their last; let their threads finish ending
  // before the program does.
  WaitForDetachedThreads(std::chrono::seconds(10));

  const auto C = Printer->Counts();
  std::printf("%zu queued, %u saved, %u dropped, %u failed, %lld bytes, %.2f s, into %s%s\n",
              Addresses.size(), C.Saved, C.Dropped, C.Failed, static_cast<long long>(C.Bytes),
              Seconds, GrabSettings().SaveFolder().c_str(), TodaysWebNote(Settings));
  return C.AllWell() ? 0 : 1;
}
