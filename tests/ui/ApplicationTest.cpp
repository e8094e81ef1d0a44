// The application object: its window and title, the main form, and the
// message loop's start and end, after which it frees its forms. A process of
// its own, since ending the loop is for good.

#include "ui/Application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Timer.h"
#include "ui/UiTestSupport.h"

namespace lumora {
namespace {

TEST(Application, TheWindowCarriesTheExecutablesNameAsTitle) {
  EXPECT_EQ(Application().Title(), "lumora_app_tests");
  char Text[64] = {};
  GetWindowTextA(Application().Handle(), Text, sizeof Text);
  EXPECT_STREQ(Text, "lumora_app_tests");
  Application().SetTitle("destroy me");
  GetWindowTextA(Application().Handle(), Text, sizeof Text);
  EXPECT_STREQ(Text, "destroy me");
  Application().SetTitle("lumora_app_tests");
  // Forms belong to it, so they have no taskbar button of their own.
  EXPECT_FALSE(GetWindowLongA(Application().Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST(Application, MinimiseAndRestoreGoThroughTheApplicationWindow) {
  TForm F(&Application());
  F.Show();
  SendMessageA(Application().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(Application().Handle()));
  SendMessageA(Application().Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(Application().Handle()));
}

// Last: ends the loop for good.
TEST(Application, TheFirstFormIsTheMainOneAndClosingItEndsTheLoop) {
  test::TMemberForm* Main = nullptr;
  Application().SetShowMainForm(false);
  Application().CreateForm(Main);
  Main->SetTag("Main");
  test::TMemberForm* Second = nullptr;
  Application().CreateForm(Second);
  Second->SetTag("Second");
  test::TMemberForm* Third = nullptr;
  Application().CreateForm(Third);
  Third->SetTag("Third");
  EXPECT_EQ(Application().MainForm(), Main);
  test::TMemberForm::Journal().clear();

  TTimer Closer(nullptr);
  bool SawMainHidden = false;
  bool SecondOnlyHid = false;
  Closer.SetInterval(30);
  Closer.SetOnTimer([&](TObject*) {
    SawMainHidden = !IsWindowVisible(Main->Handle());
    Second->Close();  // only hides
    SecondOnlyHid = !Second->Visible() && !Application().Terminated();
    Main->Close();  // ends the program's loop
  });
  Application().Run();
  EXPECT_TRUE(SawMainHidden);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(SecondOnlyHid);

  // Once the loop has ended, the forms go, last created first, each whole
  // in its OnDestroy.
  using Log = std::vector<std::string>;
  EXPECT_EQ(test::TMemberForm::Journal(),
            (Log{"Third destroy: 3 queued, field of Third", "Third members gone",
                 "Second destroy: 3 queued, field of Second", "Second members gone",
                 "Main destroy: 3 queued, field of Main", "Main members gone"}));
  EXPECT_EQ(Application().ComponentCount(), 0);
  EXPECT_EQ(Application().FormCount(), 0);
  EXPECT_EQ(Application().MainForm(), nullptr);

  // A terminate that came before the loop ends it at once.
  Application().Run();
}

}  // namespace
}  // namespace lumora
