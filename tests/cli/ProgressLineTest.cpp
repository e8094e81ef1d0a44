#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumora {
namespace {

TEST(ProgressLine, Texts) {
  const struct {
    std::int64_t Bytes;
    const char* Text;
  } Sizes[] = {
      {0, "0 B"},           {1023, "1023 B"},     {1024, "1.00 KB"},    {12698, "12.4 KB"},
      {1047552, "1023 KB"}, {1048576, "1.00 MB"}, {4718592, "4.50 MB"}, {1288490188, "1.20 GB"},
  };
  for (const auto& S : Sizes) EXPECT_EQ(ByteText(S.Bytes), S.Text) << S.Bytes;

  const struct {
    double Seconds;
    const char* Text;
  } Times[] = {{0, "0:00"}, {7.9, "0:07"}, {723, "12:03"}, {3723, "1:02:03"}, {-1, "0:00"}};
  for (const auto& T : Times) EXPECT_EQ(ElapsedText(T.Seconds), T.Text) << T.Seconds;

  EXPECT_EQ(ProgressText({9, 12, 7, 1, 1258291}, 3.0),
            "[9/12] saved 7, failed 1, 3 queued, 1.20 MB, 410 KB/s, 0:03");
  // No rate out of no time; a count that ran ahead of the total queues nothing.
  EXPECT_EQ(ProgressText({3, 2, 3, 0, 5000}, 0.0),
            "[3/2] saved 3, failed 0, 0 queued, 4.88 KB, 0 B/s, 0:00");
}

// What a status output was asked to do, in order.
class TRecordedOutput : public TStatusOutput {
 public:
  explicit TRecordedOutput(std::vector<std::string>& Calls) : FCalls(Calls) {}
  void Line(const std::string& Text) override { FCalls.push_back("line " + Text); }
  void Status(const std::string& Text) override { FCalls.push_back("status " + Text); }
  void Clear() override { FCalls.push_back("clear"); }

 private:
  std::vector<std::string>& FCalls;
};

// The status follows every line at once, moves on by itself while nothing
// happens (a long picture), and is gone after Stop, which lines still pass.
TEST(ProgressLine, RedrawsOnItsOwnUntilStopped) {
  std::vector<std::string> Calls;
  std::atomic<unsigned> Saved{0};
  TProgressLine Line(std::make_unique<TRecordedOutput>(Calls), [&] {
    return TProgressValues{Saved.load(), 2, Saved.load(), 0, 0};
  });
  Saved = 1;
  Line.Print("saved  a.jpg");
  Line.Print({});
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  Line.Stop();
  Line.Print("late line");
  Line.Stop();

  ASSERT_GE(Calls.size(), 6u);
  EXPECT_EQ(Calls[0], "line saved  a.jpg");
  EXPECT_EQ(Calls[1].rfind("status [1/2] saved 1, failed 0, 1 queued", 0), 0u) << Calls[1];
  EXPECT_EQ(Calls[2].rfind("status [1/2]", 0), 0u) << Calls[2];
  // Two ticks of half a second in 1.2 s, a moment either way.
  const auto Ticks = Calls.size() - 5;
  EXPECT_GE(Ticks, 1u);
  EXPECT_LE(Ticks, 3u);
  EXPECT_EQ(Calls[Calls.size() - 2], "clear");
  EXPECT_EQ(Calls.back(), "line late line");
}

#ifdef _WIN32
// The console's own calls on a screen buffer of its own: lines stay, one row
// shows the latest status, and nothing of a longer status is left on it.
TEST(ProgressLine, ConsoleRowsRewrittenInPlace) {
  const auto NewBuffer = [] {
    return CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     CONSOLE_TEXTMODE_BUFFER, nullptr);
  };
  HANDLE Buffer = NewBuffer();
  if (Buffer == INVALID_HANDLE_VALUE) {
    // Under Wine a program started from a Unix shell has a console that
    // makes no screen buffers: a console of its own does. The test's output
    // keeps going where it went.
    const HANDLE Out = GetStdHandle(STD_OUTPUT_HANDLE), Err = GetStdHandle(STD_ERROR_HANDLE);
    FreeConsole();
    if (AllocConsole()) Buffer = NewBuffer();
    SetStdHandle(STD_OUTPUT_HANDLE, Out);
    SetStdHandle(STD_ERROR_HANDLE, Err);
  }
  if (Buffer == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no console here";
  CONSOLE_SCREEN_BUFFER_INFO Info;
  ASSERT_TRUE(GetConsoleScreenBufferInfo(Buffer, &Info));
  const COORD Size = Info.dwSize;
  ASSERT_GT(Size.X, 10);
  const auto Row = [&](SHORT Y) {
    std::string Text(Size.X, '\0');
    DWORD Read = 0;
    ReadConsoleOutputCharacterA(Buffer, Text.data(), Size.X, COORD{0, Y}, &Read);
    Text.resize(Read);
    return Text.substr(0, Text.find_last_not_of(' ') + 1);
  };
  auto Out = ConsoleStatusOutput(Buffer);
  Out->Status("[0/3] a long first status line");
  Out->Line("saved  a.jpg");
  Out->Status("[1/3] a longer second status line");
  Out->Status("[2/3] third");
  EXPECT_EQ(Row(0), "saved  a.jpg");
  EXPECT_EQ(Row(1), "[2/3] third");
  Out->Line("failed  b.jpg");
  Out->Status("[3/3] " + std::string(Size.X, 'x'));  // wider than the buffer: cut
  EXPECT_EQ(Row(2), "[3/3] " + std::string(Size.X - 7, 'x'));
  EXPECT_EQ(Row(3), "") << "no row wrapped onto";
  Out->Clear();
  Out.reset();

  EXPECT_EQ(Row(0), "saved  a.jpg");
  EXPECT_EQ(Row(1), "failed  b.jpg");
  EXPECT_EQ(Row(2), "") << "the last status is cleared";
  ASSERT_TRUE(GetConsoleScreenBufferInfo(Buffer, &Info));
  EXPECT_EQ(Info.dwCursorPosition.X, 0);
  EXPECT_EQ(Info.dwCursorPosition.Y, 2);
  CloseHandle(Buffer);
}
#endif

}  // namespace
}  // namespace lumora
