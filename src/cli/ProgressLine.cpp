#include "cli/ProgressLine.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace lumora {

std::string ByteText(std::int64_t Bytes) {
  if (Bytes < 1024) return std::to_string(Bytes) + " B";
  static const char* const Units[] = {"KB", "MB", "GB", "TB"};
  double V = static_cast<double>(Bytes);
  int U = -1;
  while (V >= 1024 && U < 3) {
    V /= 1024;
    ++U;
  }
  char Text[32];
  // Three figures, as far as they go.
  std::snprintf(Text, sizeof Text,
                V < 10    ? "%.2f %s"
                : V < 100 ? "%.1f %s"
                          : "%.0f %s",
                V, Units[U]);
  return Text;
}

std::string ElapsedText(double Seconds) {
  const long long S = Seconds > 0 ? static_cast<long long>(Seconds) : 0;
  char Text[32];
  if (S >= 3600)
    std::snprintf(Text, sizeof Text, "%lld:%02lld:%02lld", S / 3600, S / 60 % 60, S % 60);
  else
    std::snprintf(Text, sizeof Text, "%lld:%02lld", S / 60, S % 60);
  return Text;
}

std::string ProgressText(const TProgressValues& V, double Seconds) {
  const unsigned Queued = V.Total > V.Done ? V.Total - V.Done : 0;
  // No rate until there is time enough to tell one.
  const std::int64_t Rate =
      Seconds >= 0.05 ? static_cast<std::int64_t>(static_cast<double>(V.Bytes) / Seconds) : 0;
  char Text[192];
  std::snprintf(Text, sizeof Text, "[%u/%u] saved %u, failed %u, %u queued, %s, %s/s, %s", V.Done,
                V.Total, V.Saved, V.Failed, Queued, ByteText(V.Bytes).c_str(),
                ByteText(Rate).c_str(), ElapsedText(Seconds).c_str());
  return Text;
}

namespace {

#ifdef _WIN32

// The console's own calls: the status row is blanked and written from its
// first column, and the cursor stays at its end, so what the program prints
// after Clear starts on a clean row. The C runtime's buffer is emptied first,
// so lines and status keep their order.
class TConsoleOutput : public TStatusOutput {
 public:
  explicit TConsoleOutput(HANDLE Console) : FConsole(Console) {}

  void Line(const std::string& Text) override {
    Clear();
    Write(Text + "\r\n");
  }
  void Status(const std::string& Text) override {
    const SHORT Width = BlankRow();
    Write(Text.substr(0, Width > 1 ? static_cast<std::size_t>(Width - 1) : 0));
  }
  void Clear() override { BlankRow(); }

 private:
  // Blanks the cursor's row and puts the cursor at its start; gives the
  // buffer's width.
  SHORT BlankRow() {
    std::fflush(stdout);
    CONSOLE_SCREEN_BUFFER_INFO Info;
    if (!GetConsoleScreenBufferInfo(FConsole, &Info)) return 0;
    const COORD Start{0, Info.dwCursorPosition.Y};
    DWORD Written = 0;
    FillConsoleOutputCharacterA(FConsole, ' ', static_cast<DWORD>(Info.dwSize.X), Start, &Written);
    FillConsoleOutputAttribute(FConsole, Info.wAttributes, static_cast<DWORD>(Info.dwSize.X), Start,
                               &Written);
    SetConsoleCursorPosition(FConsole, Start);
    return Info.dwSize.X;
  }
  void Write(const std::string& Text) {
    DWORD Written = 0;
    WriteConsoleA(FConsole, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
  }

  HANDLE FConsole;
};

#else

// A terminal: "\r" goes back to the start of the row, and blanks cover what
// a longer status left there.
class TTerminalOutput : public TStatusOutput {
 public:
  void Line(const std::string& Text) override {
    Clear();
    std::fwrite(Text.data(), 1, Text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
  void Status(const std::string& Text) override {
    const std::string Shown = Text.substr(0, Width() - 1);
    std::string Out = "\r" + Shown;
    if (Shown.size() < FShown) Out.append(FShown - Shown.size(), ' ').append("\r" + Shown);
    std::fwrite(Out.data(), 1, Out.size(), stdout);
    std::fflush(stdout);
    FShown = Shown.size();
  }
  void Clear() override {
    if (FShown == 0) return;
    const std::string Out = "\r" + std::string(FShown, ' ') + "\r";
    std::fwrite(Out.data(), 1, Out.size(), stdout);
    std::fflush(stdout);
    FShown = 0;
  }

 private:
  static std::size_t Width() {
    winsize W{};
    return ioctl(fileno(stdout), TIOCGWINSZ, &W) == 0 && W.ws_col > 1 ? W.ws_col : 80;
  }

  std::size_t FShown = 0;  // characters of the status row on screen
};

#endif

}  // namespace

#ifdef _WIN32

std::unique_ptr<TStatusOutput> ConsoleStatusOutput(void* Console) {
  return std::make_unique<TConsoleOutput>(static_cast<HANDLE>(Console));
}

std::unique_ptr<TStatusOutput> TStatusOutput::ForStdout() {
  // A console answers GetConsoleMode; a pipe, a file and NUL do not (NUL
  // passes for a terminal with _isatty).
  HANDLE Out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD Mode = 0;
  if (Out == nullptr || Out == INVALID_HANDLE_VALUE || !GetConsoleMode(Out, &Mode)) return nullptr;
  return ConsoleStatusOutput(Out);
}

#else

std::unique_ptr<TStatusOutput> TStatusOutput::ForStdout() {
  if (!isatty(fileno(stdout))) return nullptr;
  return std::make_unique<TTerminalOutput>();
}

#endif

TProgressLine::TProgressLine(std::unique_ptr<TStatusOutput> Out, TSource Source)
    : FOut(std::move(Out)), FSource(std::move(Source)) {
  FTicker = std::thread([this] {
    std::unique_lock Guard(FLock);
    while (!FWake.wait_for(Guard, std::chrono::milliseconds(500), [this] { return FStopping; }))
      Draw();
  });
}

TProgressLine::~TProgressLine() {
  Stop();
}

void TProgressLine::Print(const std::string& Text) {
  std::lock_guard Guard(FLock);
  if (!Text.empty()) FOut->Line(Text);
  if (!FStopping) Draw();
}

void TProgressLine::Stop() {
  {
    std::lock_guard Guard(FLock);
    if (FStopping) return;
    FStopping = true;
  }
  FWake.notify_all();
  if (FTicker.joinable()) FTicker.join();
  std::lock_guard Guard(FLock);
  FOut->Clear();
}

void TProgressLine::Draw() {
  const double Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count();
  FOut->Status(ProgressText(FSource(), Seconds));
}

}  // namespace lumora
