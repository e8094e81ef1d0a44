#include "tray/NotifyIconRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace lumora {
namespace {

TEST(NotifyIconRecord, FixedFieldsAndNothingElse) {
  const HWND Window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  NOTIFYICONDATAA Data = MakeNotifyIconData(Window);
  // The version-2 record the shell of every Windows since 2000 takes: 488
  // bytes in a 32-bit program, 504 in a 64-bit one.
  EXPECT_EQ(Data.cbSize, sizeof(void*) == 8 ? 504u : 488u);
  EXPECT_EQ(Data.hWnd, Window);
  EXPECT_EQ(Data.uID, 1u);
  EXPECT_EQ(Data.uFlags, 7u);
  EXPECT_EQ(Data.uCallbackMessage, 2048u);
  EXPECT_EQ(Data.hIcon, nullptr);
  const NOTIFYICONDATAA Zero{};
  EXPECT_EQ(std::memcmp(Data.szTip, Zero.szTip, sizeof Data.szTip), 0);
  EXPECT_EQ(Data.dwState, 0u);
  EXPECT_EQ(Data.uTimeout, 0u);
}

TEST(NotifyIconRecord, Tip) {
  struct Case {
    std::string Hint;
    bool ShowHint;
    std::string Tip;
  } const Cases[] = {
      {"Lumora", true, "Lumora"},
      {"Lumora", false, ""},
      {"", true, ""},
      {std::string(127, 'a'), true, std::string(127, 'a')},
      {std::string(128, 'b'), true, std::string(127, 'b')},
      {std::string(200, 'c'), true, std::string(127, 'c')},
  };
  for (const Case& C : Cases) {
    NOTIFYICONDATAA Data = MakeNotifyIconData(nullptr);
    std::memset(Data.szTip, 'x', sizeof Data.szTip);  // a longer tip from before
    const HICON Icon = LoadIcon(nullptr, IDI_APPLICATION);
    FillNotifyIconData(Data, Icon, C.Hint, C.ShowHint);
    EXPECT_EQ(Data.hIcon, Icon);
    EXPECT_EQ(std::string(Data.szTip), C.Tip) << C.Hint.size();
    for (std::size_t I = C.Tip.size(); I < sizeof Data.szTip; ++I)
      ASSERT_EQ(Data.szTip[I], 0) << "byte " << I << " of a tip of " << C.Tip.size();
  }
}

// A balloon rides on one call: the info flag, its title and text cut to
// their fields, its icon; taking it out leaves the record as before.
TEST(NotifyIconRecord, BalloonInAndOut) {
  const struct {
    std::string Title, Text;
    std::string ShownTitle, ShownText;
  } Cases[] = {
      {"Lumora", "Lumora could not save into D:\\pic\\: access denied", "Lumora",
       "Lumora could not save into D:\\pic\\: access denied"},
      {std::string(64, 't'), std::string(256, 'x'), std::string(63, 't'), std::string(255, 'x')},
  };
  for (const auto& C : Cases) {
    NOTIFYICONDATAA Data = MakeNotifyIconData(nullptr);
    FillNotifyIconData(Data, nullptr, "Lumora", true);
    const NOTIFYICONDATAA Before = Data;
    FillNotifyIconBalloon(Data, C.Title, C.Text, NIIF_WARNING);
    EXPECT_EQ(Data.uFlags, 7u | NIF_INFO);
    EXPECT_EQ(std::string(Data.szInfoTitle), C.ShownTitle);
    EXPECT_EQ(std::string(Data.szInfo), C.ShownText);
    EXPECT_EQ(Data.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_EQ(std::string(Data.szTip), "Lumora");
    ClearNotifyIconBalloon(Data);
    EXPECT_EQ(std::memcmp(&Data, &Before, sizeof Data), 0) << C.Text.size();
  }
}

}  // namespace
}  // namespace lumora
