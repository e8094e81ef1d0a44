// The floating drop window on real windows under Wine: its styles and
// children, dragging with any button, clicks, closing, and drops through the
// IDropTarget it registered that grab pages from the loopback server.

#include "app/U_FormFloat.h"

#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "dragdrop/DropURLTarget.h"
#include "dragdrop/TestDataObject.h"
#include "grab/GrabSettings.h"
#include "grab/PicQueue.h"
#include "ui/Application.h"
#include "ui/Canvas.h"
#include "ui/MainThread.h"
#include "ui/UiTestSupport.h"
#include "widgets/a.h"

namespace lumora {
namespace {

using test::PumpFor;
using test::PumpUntil;

// Field colours of the two faces, just inside their gold frame.
constexpr TColor IdleField = RGB(0, 100, 0);
constexpr TColor BusyField = RGB(0, 255, 0);

class TFormFloatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Float = new TFormFloat(&Application());
    Float->AfterConstruction();
    Float->OnShowMainWindow = [this](TObject*) { ++MainWindowCalls; };
  }
  void TearDown() override {
    delete Float;
    for (const test::TCaughtBox& Box : Boxes.Boxes) ADD_FAILURE() << "message box: " << Box.Text;
  }

  TColor Face() { return Float->Image1->Picture().Canvas().Pixel(3, 3); }

  test::TMessageBoxCatcher Boxes;
  TFormFloat* Float = nullptr;
  int MainWindowCalls = 0;
};

TEST_F(TFormFloatTest, AToolWindowOnTopSeeThroughWithoutOwner) {
  HWND W = Float->Handle();
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(W, GWL_EXSTYLE)),
            static_cast<DWORD>(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED));
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(W, nullptr, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 200);
  EXPECT_TRUE(Flags & LWA_ALPHA);
  // No owner and a tool window: no taskbar button, not hidden with the
  // application window.
  EXPECT_EQ(GetWindow(W, GW_OWNER), nullptr);
  EXPECT_EQ(GetParent(W), nullptr);
  EXPECT_FALSE(GetWindowLongA(W, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_FALSE(IsWindowVisible(W));
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R.left, 669);
  EXPECT_EQ(R.top, 124);
  EXPECT_EQ(R.right - R.left, 56);
  EXPECT_EQ(R.bottom - R.top, 30);
}

TEST_F(TFormFloatTest, ChildrenAndPictures) {
  const struct {
    TControl* Control;
    TWinControl* Parent;
    RECT Bounds;
    bool Visible;
  } Cases[] = {
      {Float->DovaTranPanel1, Float, {0, 0, 57, 33}, true},
      {Float->Image1, Float->DovaTranPanel1, {0, 0, 56, 30}, true},
      {Float->Image2, Float, {32, 80, 88, 110}, true},
      {Float->Image3, Float, {32, 112, 88, 142}, true},
      {Float->Edit1, Float, {}, false},
      {Float->Button1, Float, {}, false},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(C.Control->Parent(), C.Parent) << C.Control->Name();
    EXPECT_EQ(C.Control->Visible(), C.Visible) << C.Control->Name();
    if (!C.Visible) continue;
    const RECT B = C.Control->BoundsRect();
    EXPECT_TRUE(EqualRect(&B, &C.Bounds)) << C.Control->Name();
  }
  EXPECT_FALSE(Float->DovaTranPanel1->Border());
  EXPECT_EQ(Float->Image1->Hint(),
            "Lumora:  drop URL or hyperlink onto it. Or open the popup menu for more information");
  EXPECT_TRUE(Float->Image1->ShowHint());
  EXPECT_EQ(Face(), IdleField);
  EXPECT_EQ(Float->Image2->Picture().Canvas().Pixel(3, 3), IdleField);
  EXPECT_EQ(Float->Image3->Picture().Canvas().Pixel(3, 3), BusyField);
  EXPECT_EQ(Float->Image2->Picture().Width(), 56);
  EXPECT_EQ(Float->Image2->Picture().Height(), 30);
  ASSERT_NE(Float->DropURLTarget1, nullptr);
  EXPECT_TRUE(Float->DropURLTarget1->Registered());
}

void SendMouse(DWORD Flags) {
  INPUT In = {};
  In.type = INPUT_MOUSE;
  In.mi.dwFlags = Flags;
  SendInput(1, &In, sizeof In);
}

TEST_F(TFormFloatTest, AnyButtonDragsTheWindowAndTheGripPointStaysUnderTheCursor) {
  Float->Show();
  PumpFor(100);
  const struct {
    DWORD Down, Up;
    POINT Grip;  // in the window
    int Clicks;  // a left drag that ends on the picture is a click as well
  } Cases[] = {
      {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, {20, 10}, 0},    // the picture
      {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, {50, 25}, 0},  // the picture, lower right
      {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, {30, 15}, 1},
  };
  for (const auto& C : Cases) {
    MainWindowCalls = 0;
    RECT Before;
    GetWindowRect(Float->Handle(), &Before);
    POINT Cursor{Before.left + C.Grip.x, Before.top + C.Grip.y};
    SetCursorPos(Cursor.x, Cursor.y);
    PumpFor(50);
    SendMouse(C.Down);
    PumpFor(50);
    for (int Step = 0; Step < 6; ++Step) {
      Cursor.x += 5;
      Cursor.y += 3;
      SetCursorPos(Cursor.x, Cursor.y);
      PumpFor(30);
    }
    SendMouse(C.Up);
    PumpFor(50);
    RECT After;
    GetWindowRect(Float->Handle(), &After);
    EXPECT_EQ(After.left - Before.left, 30);
    EXPECT_EQ(After.top - Before.top, 18);
    EXPECT_EQ(Cursor.x - After.left, C.Grip.x);
    EXPECT_EQ(Cursor.y - After.top, C.Grip.y);
    // Released: moving on leaves the window where it is.
    SetCursorPos(Cursor.x + 40, Cursor.y + 40);
    PumpFor(50);
    RECT Still;
    GetWindowRect(Float->Handle(), &Still);
    EXPECT_TRUE(EqualRect(&Still, &After));
    EXPECT_EQ(MainWindowCalls, C.Clicks) << C.Grip.x;
  }
}

TEST_F(TFormFloatTest, ClickAndDoubleClickAskForTheMainWindow) {
  Float->Show();
  PumpFor(100);
  HWND Panel = Float->DovaTranPanel1->Handle();
  test::SendClick(Panel, 10, 10);
  EXPECT_EQ(MainWindowCalls, 1);
  SendMessageA(Panel, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(Panel, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(MainWindowCalls, 2);
  // Without a main window a click does nothing at all: no error report,
  // no drag left hanging.
  Float->OnShowMainWindow = nullptr;
  const RECT Before = Float->BoundsRect();
  test::SendClick(Panel, 10, 10);
  SendMessageA(Panel, WM_MOUSEMOVE, 0, MAKELPARAM(30, 20));
  EXPECT_TRUE(Boxes.Boxes.empty());
  const RECT After = Float->BoundsRect();
  EXPECT_TRUE(EqualRect(&Before, &After));
  EXPECT_EQ(MainWindowCalls, 2);
}

TEST_F(TFormFloatTest, ClosingOnlyHides) {
  Float->Show();
  PumpFor(50);
  Float->Close();
  PumpFor(50);
  EXPECT_FALSE(Float->Visible());
  ASSERT_TRUE(Float->HandleAllocated());
  EXPECT_FALSE(IsWindowVisible(Float->WindowHandle()));
  EXPECT_TRUE(Float->DropURLTarget1->Registered());
  EXPECT_NE(Float->PicQueue(), nullptr);
}

// A new address in Edit1 starts a job; Edit1 emptied, as the last worker
// of a job empties it, starts none; an address whose job could not start is
// let go, so that the same address can be dropped again.
TEST_F(TFormFloatTest, WhichChangesOfEdit1StartAJob) {
  std::vector<std::string> Started;
  bool StartFails = false;
  Float->JobStarter = [&](const TGrabShared& Shared, std::string Address) {
    EXPECT_EQ(Shared.PicQueue, Float->PicQueue());
    EXPECT_EQ(Shared.View, Float->View());
    Started.push_back(Address);
    return !StartFails;
  };
  Float->Edit1->SetText("http://h/a.html");
  Float->View()->ClearAddress();
  RunMainThreadQueue();
  EXPECT_EQ(Float->Edit1->Text(), "");
  EXPECT_EQ(Started, std::vector<std::string>{"http://h/a.html"});

  Float->ShowBusyPicture();
  StartFails = true;
  Float->Edit1->SetText("http://h/b.html");
  EXPECT_EQ(Float->Edit1->Text(), "");
  EXPECT_EQ(Face(), IdleField);
  StartFails = false;
  Float->Edit1->SetText("http://h/b.html");
  EXPECT_EQ(Float->Edit1->Text(), "http://h/b.html");
  EXPECT_EQ(Started,
            (std::vector<std::string>{"http://h/a.html", "http://h/b.html", "http://h/b.html"}));
}

// Workers report to the window through its view, and may outlive it. From
// the start of the window's teardown their updates reach nothing: not even
// while the failure of its drop target to let go is reported, which runs a
// message loop in the middle of the teardown. The queue stays theirs.
TEST_F(TFormFloatTest, WorkerUpdatesReachNothingOnceTheWindowGoes) {
  std::shared_ptr<TGrabView> View = Float->View();
  std::shared_ptr<TPicQueue> Queue = Float->PicQueue();
  int Changes = 0;
  Float->Edit1->OnChange = [&](TObject*) { ++Changes; };
  Float->Edit1->SetText("http://h/page.html");
  Changes = 0;
  View->ClearAddress();
  // Revoked behind the drop target's back: its Unregister fails.
  ASSERT_EQ(RevokeDragDrop(Float->Handle()), S_OK);
  delete Float;
  Float = nullptr;
  EXPECT_EQ(Changes, 0);
  ASSERT_EQ(Boxes.Boxes.size(), 1u);
  EXPECT_NE(Boxes.Boxes[0].Text.find("Unregister"), std::string::npos) << Boxes.Boxes[0].Text;
  Boxes.Boxes.clear();

  View->ShowBusyPicture();
  View->ClearAddress();
  RunMainThreadQueue();
  EXPECT_EQ(Changes, 0);
  Queue->Append("http://h/a.jpg");
  EXPECT_EQ(Queue->Count(), 1u);
}

// Drops as OLE makes them, through what the window registered, onto pages
// of the loopback server.
class TFormFloatDropTest : public TFormFloatTest {
 protected:
  void SetUp() override {
    TFormFloatTest::SetUp();
    Saved_ = GrabSettings().Snapshot();
    TGrabSettingsValues V;
    V.PicTypes = ".JPG.BMP.GIF.TIF";
    V.MinSizeK = 0;
    V.SaveFolder = Folder.Path();
    GrabSettings().Assign(V);
    Float->HandleNeeded();
    Ole = static_cast<IDropTarget*>(GetPropA(Float->Handle(), "OleDropTargetInterface"));
    ASSERT_NE(Ole, nullptr);
  }
  void TearDown() override {
    // Let the workers finish before the folder goes.
    PumpUntil([this] { return Float->Edit1->Text().empty(); }, 10000);
    PumpFor(300);
    GrabSettings().Assign(Saved_);
    TFormFloatTest::TearDown();
  }

  void Drop(const std::string& Address) {
    test::TTestDataObject Data({test::TOffer{static_cast<CLIPFORMAT>(CF_URL), TYMED_HGLOBAL,
                                             TYMED_HGLOBAL, Address + std::string(1, '\0')}});
    const POINT P = Float->ClientToScreen(POINT{10, 10});
    DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    Ole->DragEnter(&Data, MK_LBUTTON, POINTL{P.x, P.y}, &Effect);
    Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    Ole->DragOver(MK_LBUTTON, POINTL{P.x, P.y}, &Effect);
    Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    Ole->Drop(&Data, MK_LBUTTON, POINTL{P.x, P.y}, &Effect);
    EXPECT_EQ(Effect, static_cast<DWORD>(DROPEFFECT_LINK));
  }

  // The pictures saved so far, without those still arriving.
  std::vector<std::string> Saved() {
    std::vector<std::string> Names = test::FolderNames(Folder.Path());
    std::erase_if(Names, [](const std::string& N) { return N.ends_with(".tmp"); });
    return Names;
  }

  test::TTempFolder Folder;
  TGrabSettingsValues Saved_;
  IDropTarget* Ole = nullptr;
};

TEST_F(TFormFloatDropTest, ADroppedPageIsGrabbedWhileTheWindowShowsBusy) {
  const std::string Tag = test::UniquePrefix();
  test::RegisterPage(Tag + "/site/page.html",
                     "<html><img src=\"/slow/3000/150/one.jpg\"> <img src='/bytes/2000/two.gif'>"
                     "<img src=/bytes/10/skip.png></html>");
  const std::string Address = test::ServerBase() + Tag + "/wait/300/site/page.html";
  Drop(Address);
  EXPECT_EQ(Float->Edit1->Text(), Address);

  // Workers that find the queue empty set the window idle while others
  // still download, so the face may come and go; it starts idle, is busy
  // while the job runs and ends idle.
  std::vector<TColor> Faces{Face()};
  ASSERT_TRUE(PumpUntil(
      [&] {
        if (Faces.back() != Face()) Faces.push_back(Face());
        return Saved().size() == 2;
      },
      15000));
  PumpUntil([&] { return Float->Edit1->Text().empty() && Face() == IdleField; }, 5000);
  EXPECT_EQ(Faces.front(), IdleField);
  EXPECT_NE(std::find(Faces.begin(), Faces.end(), BusyField), Faces.end());
  EXPECT_EQ(Face(), IdleField);
  EXPECT_EQ(Float->Edit1->Text(), "");
  EXPECT_EQ(Saved(), (std::vector<std::string>{"one.jpg", "two.gif"}));
  EXPECT_EQ(test::ReadWholeFile(Folder.Path() + "one.jpg").size(), 3000u);
}

}  // namespace
}  // namespace lumora
