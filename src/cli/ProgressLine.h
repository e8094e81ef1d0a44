#pragma once
// The status line of the command-line tools on a terminal, as wget2 and
// curl keep one: whole lines scroll above it, and the line itself is
// rewritten in place with what is saved, failed and still queued, the bytes,
// the rate and the time taken. It is redrawn twice a second, so the time and
// the rate move on while a long picture arrives. Off a terminal there is no
// status line and nothing is written but the tool's own lines.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace lumora {

struct TProgressValues {
  unsigned Done = 0, Total = 0;  // pictures finished, of those known so far
  unsigned Saved = 0, Failed = 0;
  std::int64_t Bytes = 0;
};

// "812 B", "12.3 KB", "4.50 MB", "1.20 GB": units of 1024.
std::string ByteText(std::int64_t Bytes);
// "0:07", "12:03", "1:02:03".
std::string ElapsedText(double Seconds);
// "[9/12] saved 7, failed 1, 3 queued, 1.20 MB, 410 KB/s, 0:03".
std::string ProgressText(const TProgressValues& V, double Seconds);

// Standard output as a terminal: lines, and one status line kept below them.
class TStatusOutput {
 public:
  virtual ~TStatusOutput() = default;
  // The standard output's terminal, or nothing when it is none: a pipe, a
  // file, the NUL device.
  static std::unique_ptr<TStatusOutput> ForStdout();

  // A whole line, printed above the status line.
  virtual void Line(const std::string& Text) = 0;
  // Replaces the status line with Text, cut to the terminal's width.
  virtual void Status(const std::string& Text) = 0;
  // Removes the status line; what is printed next starts where it stood.
  virtual void Clear() = 0;
};

#ifdef _WIN32
// A console screen buffer, rewritten with the console's own calls.
std::unique_ptr<TStatusOutput> ConsoleStatusOutput(void* Console);
#endif

// Keeps the status line of Out up to date from Source until Stop.
class TProgressLine {
 public:
  using TSource = std::function<TProgressValues()>;
  TProgressLine(std::unique_ptr<TStatusOutput> Out, TSource Source);
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;
  ~TProgressLine();

  // Prints Text above the status line (empty: only the status changed) and
  // draws the status anew. From any thread.
  void Print(const std::string& Text);
  // Ends the redrawing and removes the status line.
  void Stop();

 private:
  void Draw();  // under FLock

  std::unique_ptr<TStatusOutput> FOut;
  TSource FSource;
  const std::chrono::steady_clock::time_point FStart = std::chrono::steady_clock::now();
  std::mutex FLock;
  std::condition_variable FWake;
  bool FStopping = false;
  std::thread FTicker;
};

}  // namespace lumora
