// The first main window under Wine: a settings file that cannot be read is
// reported through the default error report and the program goes on; a
// readable one sets the grab settings. Its timer shows the drop window.

#include "app/UnitMain.h"

#include <gtest/gtest.h>

#include "app/SettingsLoad.h"
#include "app/U_FormFloat.h"
#include "grab/GrabSettings.h"
#include "ui/Application.h"
#include "ui/UiTestSupport.h"

namespace lumora {
namespace {

TEST(FormMain, AMissingSettingsFileIsReportedAndTheDropWindowStillComes) {
  const TGrabSettingsValues Saved = GrabSettings().Snapshot();
  test::TMessageBoxCatcher Boxes;
  auto* Main = new TFormMain(&Application());
  Main->AfterConstruction();  // the test program's folder has no task\shuxing.txt
  ASSERT_EQ(Boxes.Boxes.size(), 1u);
  const std::string File = SettingsFileName(AppDir());
  EXPECT_EQ(Boxes.Boxes[0].Text, "Cannot open file " + File + ".");
  EXPECT_EQ(Boxes.Boxes[0].Caption, Application().Title());
  EXPECT_EQ(GrabSettings().PicTypes(), Saved.PicTypes);  // nothing was read
  EXPECT_TRUE(Main->SettingsLines().empty());
  EXPECT_FALSE(Main->Visible());

  // The form goes on: its timer shows the drop window once.
  FormFloat = new TFormFloat(&Application());
  FormFloat->AfterConstruction();
  EXPECT_TRUE(test::PumpUntil([] { return FormFloat->Visible(); }, 2000));
  EXPECT_FALSE(Main->Timer1->Enabled());
  ASSERT_EQ(Main->PopupMenu1->Items().Count(), 1);
  EXPECT_EQ(Main->PopupMenu1->Items().Items(0)->Caption(), "Exit");
  delete FormFloat;
  FormFloat = nullptr;
  delete Main;
  GrabSettings().Assign(Saved);
}

}  // namespace
}  // namespace lumora
