// The OLE drop target under Wine: registration and its errors, the drag
// protocol as OLE drives it through the registered IDropTarget (events,
// effects, references to the data object), auto-scroll and the drag image.

#include "dragdrop/DropTarget.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dragdrop/DropTestSupport.h"
#include "dragdrop/TestDataObject.h"
#include "sys/LumoraError.h"
#include "ui/Timer.h"

namespace lumora {
namespace {

using test::PumpFor;
using test::PumpUntil;
using test::TOffer;
using test::TTestDataObject;

// A target whose format test and data reading are set by the test; every
// event and operation is written down.
class TTestTarget : public TDropTarget {
 public:
  explicit TTestTarget(TComponent* AOwner) : TDropTarget(AOwner) {
    OnEnter = [this](TObject*, TShiftState S, TDropPoint P, std::uint32_t& E) {
      Log.push_back("enter " + Describe(S, P, E));
    };
    OnDragOver = [this](TObject*, TShiftState S, TDropPoint P, std::uint32_t& E) {
      Log.push_back("over " + Describe(S, P, E));
    };
    OnDrop = [this](TObject*, TShiftState S, TDropPoint P, std::uint32_t& E) {
      Log.push_back("drop " + Describe(S, P, E));
    };
    OnLeave = [this](TObject*) { Log.push_back("leave"); };
  }
  static std::string Describe(TShiftState S, TDropPoint P, std::uint32_t E) {
    return std::to_string(S) + " " + std::to_string(P.X) + "," + std::to_string(P.Y) + " " +
           std::to_string(E);
  }

  bool Valid = true;
  bool Readable = true;
  std::vector<std::string> Log;

 protected:
  bool HasValidFormats() override { return Valid; }
  bool DoGetData() override {
    Log.push_back("get data");
    return Readable;
  }
  void ClearData() override { Log.push_back("clear"); }
};

class TDropTargetTest : public test::TDropWindowTest {
 protected:
  void SetUp() override {
    TDropWindowTest::SetUp();
    Target = new TTestTarget(Form);
    Target->SetDragtypes(TDragTypes{dtCopy, dtMove, dtLink});
    Target->Register(Form);
    Ole = RegisteredTarget(Form->Handle());
  }
  IDropTarget* Ole = nullptr;
  TTestTarget* Target = nullptr;
  TTestDataObject Data{{TOffer{CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, "x"}}};
};

TEST_F(TDropTargetTest, TheWindowRegistersTheComponentOnceAndWithdrawsIt) {
  ASSERT_NE(Ole, nullptr);
  EXPECT_EQ(Ole, static_cast<IDropTarget*>(Target));
  EXPECT_TRUE(Target->Registered());
  EXPECT_EQ(Target->Target(), Form);
  // A second RegisterDragDrop on the window would be refused and raise.
  EXPECT_NO_THROW(Target->Register(Form));
  EXPECT_TRUE(Target->Registered());

  Target->Unregister();
  EXPECT_FALSE(Target->Registered());
  EXPECT_EQ(Target->Target(), nullptr);
  EXPECT_EQ(RegisteredTarget(Form->Handle()), nullptr);
  // OLE gave back what it took; the object keeps only its own reference.
  EXPECT_EQ(Target->RefCount(), 1);
  Target->Register(Form);
  EXPECT_EQ(RegisteredTarget(Form->Handle()), Ole);
}

TEST_F(TDropTargetTest, RefusalsByOleRaiseWithTheControlsName) {
  Target->Unregister();
  TTestTarget Other(nullptr);
  ASSERT_EQ(RegisterDragDrop(Form->Handle(), &Other), S_OK);
  try {
    Target->Register(Form);
    ADD_FAILURE() << "no error";
  } catch (const ELumoraError& E) {
    EXPECT_STREQ(E.what(), "Failed to Register Form1");
  }
  // The form did not become the drop window, so it is not the target: a
  // later registration tries again instead of doing nothing.
  EXPECT_FALSE(Target->Registered());
  EXPECT_EQ(Target->Target(), nullptr);
  EXPECT_NO_THROW(Target->Unregister());
  ASSERT_EQ(RevokeDragDrop(Form->Handle()), S_OK);

  Target->Register(Form);
  EXPECT_TRUE(Target->Registered());
  ASSERT_EQ(RevokeDragDrop(Form->Handle()), S_OK);  // behind the component's back
  try {
    Target->Unregister();
    ADD_FAILURE() << "no error";
  } catch (const ELumoraError& E) {
    EXPECT_STREQ(E.what(), "Failed to Unregister Form1");
  }
  EXPECT_EQ(Target->Target(), Form);
  EXPECT_FALSE(Target->Registered());
}

TEST_F(TDropTargetTest, AcceptedDragsRaiseTheirEventsAndGiveTheDataBack) {
  const std::string Client = " 30,40 ";
  struct TCase {
    bool Drop, GetDataOnEnter, Readable;
    std::vector<std::string> Log;
    DWORD DropEffect;
  } Cases[] = {
      {false,
       false,
       true,
       {"clear", "enter 8" + Client + "1", "over 8" + Client + "1", "clear", "leave"},
       0},
      {true,
       false,
       true,
       {"clear", "enter 8" + Client + "1", "over 8" + Client + "1", "get data",
        "drop 8" + Client + "1", "clear"},
       1},
      // Data that cannot be read at the drop: refused, no event.
      {true,
       false,
       false,
       {"clear", "enter 8" + Client + "1", "over 8" + Client + "1", "get data", "clear"},
       0},
      // Read when entering; the drop uses that reading, whatever it found.
      {true,
       true,
       false,
       {"clear", "get data", "enter 8" + Client + "1", "over 8" + Client + "1",
        "drop 8" + Client + "1", "clear"},
       1},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Drop << C.GetDataOnEnter << C.Readable);
    Target->Log.clear();
    Target->SetGetDataOnEnter(C.GetDataOnEnter);
    Target->Readable = C.Readable;
    DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(Ole->DragEnter(&Data, MK_LBUTTON, At(30, 40), &Effect), S_OK);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(Target->DataObject(), &Data);
    EXPECT_EQ(Data.ForeignReferences(), 1);
    Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(Ole->DragOver(MK_LBUTTON, At(30, 40), &Effect), S_OK);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_COPY});
    if (C.Drop) {
      Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
      EXPECT_EQ(Ole->Drop(&Data, MK_LBUTTON, At(30, 40), &Effect), S_OK);
      EXPECT_EQ(Effect, C.DropEffect);
    } else {
      EXPECT_EQ(Ole->DragLeave(), S_OK);
    }
    EXPECT_EQ(Target->Log, C.Log);
    EXPECT_EQ(Target->DataObject(), nullptr);
    EXPECT_EQ(Data.ForeignReferences(), 0);
  }
}

TEST_F(TDropTargetTest, ARefusedDragRaisesOnlyLeave) {
  Target->Valid = false;
  for (bool Drop : {false, true}) {
    Target->Log.clear();
    DWORD Effect = DROPEFFECT_COPY;
    Ole->DragEnter(&Data, MK_LBUTTON, At(5, 5), &Effect);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(Data.ForeignReferences(), 0);  // given back at once
    Effect = DROPEFFECT_COPY;
    Ole->DragOver(MK_LBUTTON, At(6, 6), &Effect);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(Target->LastPoint(), (TDropPoint{6, 6}));
    Effect = DROPEFFECT_COPY;
    if (Drop) {
      Ole->Drop(&Data, MK_LBUTTON, At(6, 6), &Effect);
      EXPECT_EQ(Effect, DWORD{DROPEFFECT_NONE});
    } else {
      Ole->DragLeave();
    }
    const std::vector<std::string> Expected =
        Drop ? std::vector<std::string>{"clear"}
             : std::vector<std::string>{"clear", "clear", "leave"};
    EXPECT_EQ(Target->Log, Expected);
    EXPECT_EQ(Data.ForeignReferences(), 0);
  }
}

TEST_F(TDropTargetTest, KeysDragtypesAndTheEffectHandler) {
  struct TCase {
    DWORD Keys;
    TDragTypes Types;
    DWORD Offered;
    DWORD Expected;
  } Cases[] = {
      {MK_LBUTTON, TDragTypes{dtCopy, dtMove, dtLink}, 7, DROPEFFECT_COPY},
      {MK_LBUTTON | MK_SHIFT, TDragTypes{dtCopy, dtMove, dtLink}, 7, DROPEFFECT_MOVE},
      {MK_LBUTTON | MK_SHIFT | MK_CONTROL, TDragTypes{dtCopy, dtMove, dtLink}, 7, DROPEFFECT_LINK},
      {MK_LBUTTON | MK_CONTROL, TDragTypes{dtCopy, dtMove, dtLink}, 7, DROPEFFECT_COPY},
      {MK_LBUTTON, TDragTypes{dtLink}, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_LINK},
      {MK_LBUTTON, TDragTypes{dtLink}, DROPEFFECT_COPY, DROPEFFECT_NONE},
      {MK_LBUTTON, TDragTypes{}, 7, DROPEFFECT_NONE},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Keys << " " << C.Offered);
    Target->SetDragtypes(C.Types);
    DWORD Effect = C.Offered;
    Ole->DragEnter(&Data, C.Keys, At(50, 50), &Effect);
    EXPECT_EQ(Effect, C.Expected);
    Effect = C.Offered;
    Ole->DragOver(C.Keys, At(51, 50), &Effect);
    EXPECT_EQ(Effect, C.Expected);
    Ole->DragLeave();
  }
  // The handler decides alone, from the allowed set; OnEnter has the last word.
  Target->SetDragtypes(TDragTypes{dtCopy, dtLink});
  std::vector<std::uint32_t> Seen;
  Target->OnGetDropEffect = [&](TObject* Sender, TShiftState S, TDropPoint P, std::uint32_t& E) {
    EXPECT_EQ(Sender, Target);
    EXPECT_EQ(S, ssLeft | ssShift);
    EXPECT_EQ(P, (TDropPoint{50, 50}));
    Seen.push_back(E);
  };
  DWORD Effect = 7;
  Ole->DragEnter(&Data, MK_LBUTTON | MK_SHIFT, At(50, 50), &Effect);
  EXPECT_EQ(Effect, DWORD{DROPEFFECT_COPY | DROPEFFECT_LINK});
  EXPECT_EQ(Seen, std::vector<std::uint32_t>{DROPEFFECT_COPY | DROPEFFECT_LINK});
  Ole->DragLeave();
  Target->OnEnter = [](TObject*, TShiftState, TDropPoint, std::uint32_t& E) { E = 0; };
  Effect = 7;
  Ole->DragEnter(&Data, MK_LBUTTON | MK_SHIFT, At(50, 50), &Effect);
  EXPECT_EQ(Effect, DWORD{DROPEFFECT_NONE});
  Ole->DragLeave();
}

TEST_F(TDropTargetTest, AFailingHandlerIsReportedAndTheDragStillEnds) {
  Target->OnDrop = [](TObject*, TShiftState, TDropPoint, std::uint32_t&) {
    throw ELumoraError("handler failed");
  };
  DWORD Effect = DROPEFFECT_COPY;
  Ole->DragEnter(&Data, MK_LBUTTON, At(5, 5), &Effect);
  Effect = DROPEFFECT_COPY;
  EXPECT_EQ(Ole->Drop(&Data, MK_LBUTTON, At(5, 5), &Effect), S_OK);
  EXPECT_EQ(Effect, DWORD{DROPEFFECT_NONE});
  EXPECT_EQ(Data.ForeignReferences(), 0);
  ASSERT_EQ(Boxes.Boxes.size(), 1u);
  EXPECT_EQ(Boxes.Boxes[0].Text, "handler failed.");
  Boxes.Boxes.clear();
}

TEST_F(TDropTargetTest, PreferredEffectFromTheClipboard) {
  const auto Put = [](const std::string& Bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!Bytes.empty()) {
      HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
      std::memcpy(GlobalLock(Block), Bytes.data(), Bytes.size());
      GlobalUnlock(Block);
      SetClipboardData(CF_PREFERREDDROPEFFECT, Block);
    }
    CloseClipboard();
  };
  Put(std::string("\x05\0\0\0", 4));
  EXPECT_EQ(Target->GetPreferredDropEffect(), 5u);
  Put(std::string("\x05\0", 2));  // too short to hold the value
  EXPECT_EQ(Target->GetPreferredDropEffect(), 0u);
  Put("");
  EXPECT_EQ(Target->GetPreferredDropEffect(), 0u);
}

// A child window with a vertical scroll bar that counts its scroll requests.
class TScrolled : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<WPARAM> VScrolls, HScrolls;
  bool WithScrollBar = true;
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_VSCROLL) VScrolls.push_back(M.WParam);
    if (M.Msg == WM_HSCROLL) HScrolls.push_back(M.WParam);
    TWinControl::WndProc(M);
  }

 protected:
  void CreateParams(TCreateParams& P) override {
    TWinControl::CreateParams(P);
    if (WithScrollBar) P.Style |= WS_VSCROLL;
  }
};

TEST_F(TDropTargetTest, TheWindowScrollsWhileTheCursorRestsInTheBand) {
  Target->Unregister();
  auto* Box = new TScrolled(Form);
  Box->SetName("Box");
  Box->SetParent(Form);
  Box->SetBounds(0, 0, 300, 200);
  Box->Font().SetHeight(-11);
  Target->Register(Box);
  ASSERT_EQ(Box->ClientHeight(), 200);
  IDropTarget* BoxOle = RegisteredTarget(Box->Handle());
  ASSERT_EQ(BoxOle, static_cast<IDropTarget*>(Target));
  const auto BoxAt = [&](int X, int Y) {
    const POINT P = Box->ClientToScreen(POINT{X, Y});
    return POINTL{P.x, P.y};
  };

  DWORD Effect = DROPEFFECT_COPY;
  BoxOle->DragEnter(&Data, MK_LBUTTON, BoxAt(150, 100), &Effect);
  EXPECT_EQ(Target->ScrollMargin(), 11);
  EXPECT_EQ(Target->ScrollDirections(), sdVertical);
  struct TCase {
    int Y;
    bool Scroll;
  } Cases[] = {{10, true}, {11, false}, {189, false}, {190, true}};
  for (const TCase& C : Cases) {
    Effect = DROPEFFECT_COPY;
    BoxOle->DragOver(MK_LBUTTON, BoxAt(150, C.Y), &Effect);
    EXPECT_EQ(Effect, C.Scroll ? (DROPEFFECT_COPY | DROPEFFECT_SCROLL) : DWORD{DROPEFFECT_COPY})
        << C.Y;
    EXPECT_EQ(Target->ScrollTimer().Enabled(), C.Scroll) << C.Y;
  }
  // Resting at the bottom edge: one line down every 100 ms.
  Box->VScrolls.clear();
  PumpFor(450);
  EXPECT_GE(Box->VScrolls.size(), 3u);
  EXPECT_LE(Box->VScrolls.size(), 5u);
  for (WPARAM W : Box->VScrolls) EXPECT_EQ(W, WPARAM{SB_LINEDOWN});
  EXPECT_TRUE(Box->HScrolls.empty());

  Effect = DROPEFFECT_COPY;
  BoxOle->DragOver(MK_LBUTTON, BoxAt(150, 5), &Effect);
  Box->VScrolls.clear();
  EXPECT_TRUE(PumpUntil([&] { return !Box->VScrolls.empty(); }, 500));
  EXPECT_EQ(Box->VScrolls[0], WPARAM{SB_LINEUP});

  // Leaving the band, or the window, stops the timer.
  Effect = DROPEFFECT_COPY;
  BoxOle->DragOver(MK_LBUTTON, BoxAt(150, 100), &Effect);
  EXPECT_FALSE(Target->ScrollTimer().Enabled());
  BoxOle->DragOver(MK_LBUTTON, BoxAt(150, 5), &Effect);
  BoxOle->DragLeave();
  EXPECT_FALSE(Target->ScrollTimer().Enabled());
  Box->VScrolls.clear();
  PumpFor(250);
  EXPECT_TRUE(Box->VScrolls.empty());
}

TEST_F(TDropTargetTest, AWindowWithoutScrollBarsNeverScrolls) {
  DWORD Effect = DROPEFFECT_COPY;
  Ole->DragEnter(&Data, MK_LBUTTON, At(1, 1), &Effect);
  EXPECT_EQ(Effect, DWORD{DROPEFFECT_COPY});
  EXPECT_EQ(Target->ScrollDirections(), 0);
  for (int Y : {0, 5, 195, 199}) {
    Effect = DROPEFFECT_COPY;
    Ole->DragOver(MK_LBUTTON, At(1, Y), &Effect);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_COPY});
    EXPECT_FALSE(Target->ScrollTimer().Enabled());
  }
  Ole->DragLeave();
}

TEST_F(TDropTargetTest, AFreedTargetControlIsForgotten) {
  Target->Unregister();
  auto* Box = new TScrolled(Form);
  Box->SetParent(Form);
  Box->SetBounds(0, 0, 50, 50);
  Target->Register(Box);
  delete Box;
  EXPECT_EQ(Target->Target(), nullptr);
  EXPECT_FALSE(Target->Registered());
  // The window went first, and OLE was told before it did.
  EXPECT_EQ(Target->RefCount(), 1);
  EXPECT_NO_THROW(Target->Register(Form));
}

// OLE holds a reference to the target while a window is registered and gives
// it back only through the window: a window that went without a word would
// leave OLE holding the target after its owner freed it.
TEST_F(TDropTargetTest, AGoneWindowGivesItsRegistrationBackAndTheNextIsRegistered) {
  const LONG WhileRegistered = Target->RefCount();
  ASSERT_GT(WhileRegistered, 1);
  Target->Unregister();
  auto* Box = new TScrolled(Form);
  Box->WithScrollBar = false;
  Box->SetParent(Form);
  Box->SetBounds(10, 10, 100, 80);

  struct TCase {
    const char* What;
    TWinControl* Control;
    std::function<void()> Gone;
    std::function<void()> Back;  // empty: the window came back with Gone
  } Cases[] = {
      {"recreated", Form, [&] { Form->RecreateWnd(); }, nullptr},
      {"destroyed, made on demand", Form, [&] { Form->DestroyHandle(); },
       [&] { Form->HandleNeeded(); }},
      {"parent recreated", Box, [&] { Form->RecreateWnd(); }, nullptr},
      {"parent destroyed, made on demand", Box, [&] { Form->DestroyHandle(); },
       [&] { Form->HandleNeeded(); }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    Target->Register(C.Control);
    const HWND Old = C.Control->Handle();
    C.Gone();
    if (C.Back) {
      EXPECT_FALSE(C.Control->HandleAllocated());
      EXPECT_FALSE(Target->Registered());
      EXPECT_EQ(Target->RefCount(), 1);  // only the object's own
      C.Back();
    }
    ASSERT_NE(C.Control->Handle(), Old);
    IDropTarget* Now = RegisteredTarget(C.Control->Handle());
    ASSERT_EQ(Now, static_cast<IDropTarget*>(Target));
    EXPECT_TRUE(Target->Registered());
    EXPECT_EQ(Target->Target(), C.Control);
    EXPECT_EQ(Target->RefCount(), WhileRegistered);
    // Only the target control's window: not the parent made along with it.
    if (C.Control != Form) {
      EXPECT_EQ(RegisteredTarget(Form->Handle()), nullptr);
    }

    Target->Log.clear();
    const POINT P = C.Control->ClientToScreen(POINT{30, 40});
    DWORD Effect = DROPEFFECT_COPY;
    Now->DragEnter(&Data, MK_LBUTTON, POINTL{P.x, P.y}, &Effect);
    Effect = DROPEFFECT_COPY;
    Now->Drop(&Data, MK_LBUTTON, POINTL{P.x, P.y}, &Effect);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(Target->Log, (std::vector<std::string>{"clear", "enter 8 30,40 1", "get data",
                                                     "drop 8 30,40 1", "clear"}));

    Target->Unregister();
    EXPECT_EQ(Target->RefCount(), 1);
  }

  // Withdrawn while the window is away: the next window is left alone.
  Target->Register(Form);
  Form->DestroyHandle();
  Target->Unregister();
  Form->HandleNeeded();
  EXPECT_EQ(RegisteredTarget(Form->Handle()), nullptr);
  EXPECT_FALSE(Target->Registered());
  EXPECT_EQ(Target->RefCount(), 1);
}

// The colour of a screen point of the form's window, as drawn now.
COLORREF PixelAt(TForm* Form, int X, int Y) {
  HDC DC = GetWindowDC(Form->Handle());
  const COLORREF C = GetPixel(DC, X, Y);
  ReleaseDC(Form->Handle(), DC);
  return C;
}

// The source's red image over the window (drawn partly see-through).
bool Reddish(COLORREF C) {
  return GetRValue(C) > 200 && GetGValue(C) < 128 && GetBValue(C) < 128;
}

TEST_F(TDropTargetTest, TheSourcesDragImageIsShownOverTheTargetAndTakenAway) {
  // A source's drag image: a red square, as a drag source sets it up.
  HIMAGELIST Source = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0);
  HDC Screen = GetDC(nullptr);
  HBITMAP Red = CreateCompatibleBitmap(Screen, 16, 16);
  ReleaseDC(nullptr, Screen);
  {
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Red);
    RECT R{0, 0, 16, 16};
    HBRUSH Brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(DC, &R, Brush);
    DeleteObject(Brush);
    SelectObject(DC, Old);
    DeleteDC(DC);
  }
  ImageList_Add(Source, Red, nullptr);
  DeleteObject(Red);
  ASSERT_TRUE(ImageList_BeginDrag(Source, 0, 0, 0));
  Form->Show();
  test::PumpFor(50);
  Form->Update();
  const COLORREF Background = PixelAt(Form, 64, 64);

  for (bool Valid : {true, false}) {
    SCOPED_TRACE(Valid);
    Target->Valid = Valid;
    DWORD Effect = DROPEFFECT_COPY;
    Ole->DragEnter(&Data, MK_LBUTTON, At(60, 60), &Effect);
    EXPECT_NE(Target->DragImageList(), nullptr);
    EXPECT_TRUE(Reddish(PixelAt(Form, 64, 64)));
    if (Valid) {
      Target->SetShowImage(false);
      EXPECT_EQ(PixelAt(Form, 64, 64), Background);
      Target->SetShowImage(true);
      EXPECT_TRUE(Reddish(PixelAt(Form, 64, 64)));
    }
    // Dropped, refused or not, the image leaves the window.
    Effect = DROPEFFECT_COPY;
    Ole->Drop(&Data, MK_LBUTTON, At(60, 60), &Effect);
    EXPECT_EQ(PixelAt(Form, 64, 64), Background);
  }

  Target->SetShowImage(false);
  DWORD Effect = DROPEFFECT_COPY;
  Ole->DragEnter(&Data, MK_LBUTTON, At(60, 60), &Effect);
  EXPECT_EQ(Target->DragImageList(), nullptr);
  EXPECT_EQ(PixelAt(Form, 64, 64), Background);
  Ole->DragLeave();
  ImageList_EndDrag();
  ImageList_Destroy(Source);
}

}  // namespace
}  // namespace lumora
