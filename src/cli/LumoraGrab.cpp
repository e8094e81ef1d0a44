// lumora-grab: grabs one address exactly as a drop onto the drop window
// would (a picture directly, a page through the queue and five workers),
// then waits until the queue is empty and every worker has finished.
//
//   lumora-grab --html-file FILE [--base URL] [options]
//   lumora-grab ADDRESS [--folder DIR] [--types .JPG.BMP.GIF.TIF] [--min-size K]
//               [--settings FILE] [--todays-web] [--ca-file FILE] [--max-size MB]
//               [--quiet]
//
// Settings start from the defaults, then the settings file (and lumora.ini
// beside it), then the options.
// One line per picture and a summary; on a terminal also a progress line
// that is rewritten in place.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

#include "cli/CliSettings.h"
#include "cli/ProgressLine.h"
#include "dragdrop/HtmlFormat.h"
#include "grab/FolderVariables.h"
#include "grab/GrabJob.h"
#include "grab/GrabObserver.h"
#include "grab/GrabSettings.h"
#include "grab/SettingsFile.h"
#include "grab/TThreadmain.h"
#include "net/HttpClient.h"
#include "sys/DetachedThread.h"

using namespace lumora;

namespace {

constexpr char DefaultTypes[] = ".JPG.BMP.GIF.TIF";
constexpr char DefaultFolder[] = "lumora-pictures";

// "32 MiB": how far a page is read.
std::string CutText() {
  return std::to_string(MaxPageBytes >> 20) + " MiB";
}

// The drop window of the command: there is no picture to show and no Edit1
// to empty, as the address went to the job when it was started.
class TCommandView : public TGrabView {
 public:
  void ShowBusyPicture() override {}
  void ShowIdlePicture() override {}
  void ClearAddress() override {}
};

// Prints whole lines from any thread; on a terminal keeps one progress line
// below them.
class TPrinter : public TGrabTally {
 public:
  TPrinter(bool Quiet, std::unique_ptr<TStatusOutput> Terminal, unsigned Direct)
      : FQuiet(Quiet), FDirect(Direct) {
    if (Terminal)
      FProgress = std::make_unique<TProgressLine>(std::move(Terminal), [this] { return Values(); });
  }

  void PageFetched(const TPageResult& R) override {
    TGrabTally::PageFetched(R);
    if (R.Fetched)
      Print("page  " + R.Address + "  (" + std::to_string(R.Bytes) + " bytes" +
            (R.Cut ? ", cut at " + CutText() : std::string()) + ")");
    else
      Print("page failed  " + R.Address + "  (" + R.Error + ")");
  }
  void AddressQueued(const std::string& A) override {
    TGrabTally::AddressQueued(A);
    Print({});
  }
  void AddressDuplicate(const std::string& A) override {
    TGrabTally::AddressDuplicate(A);
    Print("skipped (duplicate)  " + A);
  }
  void PictureDone(const TPictureResult& R) override {
    TGrabTally::PictureDone(R);
    std::string Line = std::string(PictureOutcomeText(R.Outcome)) + "  " + R.Address;
    if (R.Outcome == TPictureOutcome::Saved) Line += "  ->  " + R.FileName;
    if (R.Outcome == TPictureOutcome::Failed) Line += "  (" + R.Error + ")";
    Print(Line);
  }
  void JobFailed(const std::string& Error) override {
    TGrabTally::JobFailed(Error);
    Print("grab failed  (" + Error + ")");
  }
  void WorkerNotStarted() override {
    TGrabTally::WorkerNotStarted();
    Print(WorkerNotStartedText);
  }
  void EndProgress() {
    if (FProgress) FProgress->Stop();
    std::fflush(stdout);
  }

 private:
  TProgressValues Values() const {
    const auto C = Counts();
    return {C.Done(), C.Queued + FDirect, C.Saved, C.Failed, C.Bytes};
  }
  // Line: a line to print; empty: only the progress changed.
  void Print(const std::string& Line) {
    if (FQuiet) return;
    if (FProgress) {
      FProgress->Print(Line);
      return;
    }
    if (Line.empty()) return;
    std::lock_guard Guard(FOut);
    std::printf("%s\n", Line.c_str());
    std::fflush(stdout);
  }

  bool FQuiet;
  unsigned FDirect;
  std::mutex FOut;
  std::unique_ptr<TProgressLine> FProgress;
};

void PrintUsage(std::FILE* To) {
  std::fprintf(To,
               "usage: lumora-grab ADDRESS [--folder DIR] [--types .JPG.BMP.GIF.TIF]"
               " [--min-size K] [--settings FILE] [--todays-web] [--ca-file FILE] [--max-size MB]"
               " [--quiet]\n"
               "       lumora-grab --html-file FILE [--base URL] [options as above]\n");
}

[[noreturn]] void Usage(const std::string& Problem) {
  std::fprintf(stderr, "lumora-grab: %s\n", Problem.c_str());
  PrintUsage(stderr);
  std::exit(2);
}

[[noreturn]] void Help() {
  PrintUsage(stdout);
  std::printf(
      "\nGrabs ADDRESS as a drop onto Lumora's window would: an address ending in\n"
      "JPG, BMP, GIF or TIF is saved directly; any other address is fetched as a\n"
      "page and the pictures of its IMG tags are saved by five download workers.\n"
      "\n"
      "  --folder DIR     save folder (default: %s in the current folder)\n"
      "  --types TYPES    enabled types, from .JPG.BMP.GIF.TIF (default: all four)\n"
      "  --min-size K     save only pictures announced with at least K KB (default: 0,\n"
      "                   any size)\n"
      "  --settings FILE  read types, minimum size and folder from a settings file\n"
      "                   of three lines, and today's web from lumora.ini beside it\n"
      "                   when there is one; options given as well override them\n"
      "  --todays-web     today's web: https:// addresses (certificates verified)\n"
      "                   and redirects too, off unless this option or lumora.ini's\n"
      "                   TodaysWeb=1 turns it on; redirects are followed, at\n"
      "                   most 5, never from https:// down to http://\n"
      "  --ca-file FILE   also trust the certificate authorities of this PEM file\n"
      "                   for https:// (native build; Windows trusts its own store)\n"
      "  --max-size MB    the largest picture saved, in MB (default: %d); a larger\n"
      "                   one, or one arriving slower than 1 KB/s over 60 s, fails\n"
      "  --quiet          print the summary only\n"
      "  --html-file FILE grab the pictures of a piece of HTML, as a selection dropped\n"
      "                   from a browser: read with today's web (which it turns on),\n"
      "                   its pictures saved, no page fetched. FILE is HTML, or an\n"
      "                   \"HTML Format\" block (it starts with \"Version:\") whose\n"
      "                   fragment and SourceURL are used\n"
      "  --base URL       the address of the page the HTML is from; without one (and\n"
      "                   without a SourceURL) only absolute picture addresses count\n"
      "\n"
      "A page is read up to %s; a longer one is cut there, the summary says so,\n"
      "and the pictures up to the cut are grabbed.\n"
      "\n"
      "Exit status: 0 when everything went well, 1 when the page, a picture or\n"
      "the grab itself failed, 2 for bad options or an unreadable settings file.\n",
      DefaultFolder, static_cast<int>(DefaultMaxPictureMB), CutText().c_str());
  std::exit(0);
}

// --html-file: the selection the file holds, its HTML read up to a page's
// bound; an "HTML Format" block gives its fragment and SourceURL, and a
// block whose header lies is refused.
TDroppedSelection ReadSelectionFile(const std::string& Path) {
  std::FILE* F = std::fopen(Path.c_str(), "rb");
  if (!F) Usage("cannot read the HTML file " + Path + ": " + std::strerror(errno));
  std::string Text;
  char Block[65536];
  // A block's header comes before its fragment: read a little past the bound.
  const std::size_t Limit = MaxPageBytes + sizeof Block;
  for (std::size_t N; Text.size() < Limit && (N = std::fread(Block, 1, sizeof Block, F)) > 0;)
    Text.append(Block, N);
  const bool Failed = std::ferror(F) != 0;
  const int Error = errno;
  std::fclose(F);
  if (Failed) Usage("cannot read the HTML file " + Path + ": " + std::strerror(Error));
  TDroppedSelection Selection;
  if (Text.rfind("Version:", 0) == 0) {
    THtmlFormat Html;
    if (!ReadHtmlFormat(Text.data(), Text.size(), Html))
      Usage("the HTML file " + Path + " is an \"HTML Format\" block whose header is unusable");
    Selection.Html = std::move(Html.Fragment);
    Selection.SourceURL = std::move(Html.SourceURL);
  } else {
    Selection.Html = std::move(Text);
  }
  return Selection;
}

// --ca-file: a file that can be read, in a build whose client takes one.
void UseCaFile(const std::string& Path) {
  if (Path.empty()) return;
  if (!HttpCaFileSupported())
    Usage("--ca-file is for the native build: on Windows the system's trust store decides");
  std::FILE* F = std::fopen(Path.c_str(), "rb");
  if (!F) Usage("cannot read the CA file " + Path + ": " + std::strerror(errno));
  std::fclose(F);
  SetHttpCaFile(Path);
}

}  // namespace

int main(int argc, char** argv) {
  TGrabSettingsValues Settings;
  Settings.PicTypes = DefaultTypes;
  Settings.SaveFolder = DefaultFolder;
  std::string Address, SettingsPath, Folder, Types, MinSize, MaxSize;
  bool HaveAddress = false, HaveFolder = false, HaveTypes = false, HaveMinSize = false;
  bool HaveMaxSize = false;
  bool Quiet = false;
  bool TodaysWeb = false;
  std::string CaFile;
  std::string HtmlFile, Base;
  bool HaveHtmlFile = false, HaveBase = false;

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
      MinSize = Value();
      HaveMinSize = true;
    } else if (Arg == "--max-size") {
      MaxSize = Value();
      HaveMaxSize = true;
    } else if (Arg == "--settings") {
      SettingsPath = Value();
    } else if (Arg == "--todays-web") {
      TodaysWeb = true;
    } else if (Arg == "--quiet") {
      Quiet = true;
    } else if (Arg == "--ca-file") {
      CaFile = Value();
    } else if (Arg == "--html-file") {
      HtmlFile = Value();
      HaveHtmlFile = true;
    } else if (Arg == "--base") {
      Base = Value();
      HaveBase = true;
    } else if (Arg.rfind("--", 0) == 0) {
      Usage("unknown option " + Arg);
    } else if (HaveAddress) {
      Usage("one address at a time");
    } else {
      Address = Arg;
      HaveAddress = true;
    }
  }
  if (HaveHtmlFile && HaveAddress) Usage("an address or --html-file, not both");
  if (HaveBase && !HaveHtmlFile) Usage("--base goes with --html-file");
  if (!HaveAddress && !HaveHtmlFile) Usage("no address given");
  if (HaveAddress && Address.empty()) Usage("the address is empty");
  if (std::string Problem;
      !SettingsPath.empty() && !ReadSettingsFiles(SettingsPath, Settings, Problem))
    Usage(Problem);
  if (HaveMinSize && !StrToInt(MinSize, Settings.MinSizeK))
    Usage("--min-size takes a whole number of kilobytes");
  if (HaveMaxSize && (!StrToInt(MaxSize, Settings.MaxPictureMB) || Settings.MaxPictureMB <= 0))
    Usage("--max-size takes a whole number of megabytes, 1 or more");
  if (HaveTypes) Settings.PicTypes = Types;
  if (HaveFolder) Settings.SaveFolder = Folder;
  if (TodaysWeb || HaveHtmlFile) Settings.TodaysWeb = true;
  UseCaFile(CaFile);
  TDroppedSelection Selection;
  if (HaveHtmlFile) {
    Selection = ReadSelectionFile(HtmlFile);
    if (HaveBase) Selection.SourceURL = Base;
  }
  GrabSettings().Assign(Settings);

  TGrabShared Shared;
  Shared.PicQueue = std::make_shared<TPicQueue>();
  Shared.View = std::make_shared<TCommandView>();
  auto Printer = std::make_shared<TPrinter>(
      Quiet, Quiet ? nullptr : TStatusOutput::ForStdout(),
      HaveAddress && IsDirectPicture(Address, Settings.TodaysWeb) ? 1 : 0);
  Shared.Observer = Printer;

  const auto Start = std::chrono::steady_clock::now();
  const bool Started = HaveHtmlFile ? TThreadmain::StartSelection(Shared, std::move(Selection))
                                    : TThreadmain::Start(Shared, Address);
  if (!Started) {
    std::fprintf(stderr, "lumora-grab: cannot start the grab\n");
    return 1;
  }
  Printer->WaitForWorkers();
  const double Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  Printer->EndProgress();
  // The job and the workers have told their last; let their threads finish
  // ending before the program does.
  WaitForDetachedThreads(std::chrono::seconds(10));

  const auto C = Printer->Counts();
  std::printf(
      "%u queued, %u saved, %u skipped (%u duplicates, %u dropped), %u failed, %lld bytes, "
      "%.2f s, into %s%s%s\n",
      C.Queued, C.Saved, C.Duplicates + C.Dropped, C.Duplicates, C.Dropped, C.Failed,
      static_cast<long long>(C.Bytes), Seconds, GrabSettings().SaveFolder().c_str(),
      TodaysWebNote(Settings), C.PagesCut ? ("; the page was cut at " + CutText()).c_str() : "");
  return C.AllWell() ? 0 : 1;
}
