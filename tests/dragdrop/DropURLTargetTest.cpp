// The URL drop target under Wine: each source of an address and the title
// rule, dropped through the IDropTarget the window registered; dropped data
// that lies about its size; shortcut files that cannot be read.

#include "dragdrop/DropURLTarget.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "dragdrop/DropTestSupport.h"
#include "dragdrop/TestDataObject.h"

namespace lumora {
namespace {

using test::DropFilesBlock;
using test::FileGroupBlock;
using test::TOffer;
using test::TTestDataObject;

CLIPFORMAT Url() {
  return static_cast<CLIPFORMAT>(CF_URL);
}
CLIPFORMAT Contents() {
  return static_cast<CLIPFORMAT>(CF_FILECONTENTS);
}
CLIPFORMAT Group() {
  return static_cast<CLIPFORMAT>(CF_FILEGROUPDESCRIPTOR);
}
std::string Z(const std::string& Text) {
  return Text + '\0';
}

class TDropURLTargetTest : public test::TDropWindowTest {
 protected:
  void SetUp() override {
    TDropWindowTest::SetUp();
    Target = new TDropURLTarget(Form);
    Target->OnDrop = [this](TObject*, TShiftState, TDropPoint, std::uint32_t& Effect) {
      Drops.push_back(Target->URL() + "|" + Target->Title() + "|" + std::to_string(Effect));
    };
    Target->OnLeave = [this](TObject*) { Drops.push_back("leave"); };
    Target->Register(Form);
    Ole = RegisteredTarget(Form->Handle());
    ASSERT_NE(Ole, nullptr);
  }

  // One drag from entering to the drop; the effect OLE got at DragEnter.
  DWORD DropOnce(TTestDataObject& Data) {
    DWORD Entered = DROPEFFECT_COPY | DROPEFFECT_LINK;
    Ole->DragEnter(&Data, MK_LBUTTON, At(20, 20), &Entered);
    DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    Ole->DragOver(MK_LBUTTON, At(21, 20), &Effect);
    Effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    Ole->Drop(&Data, MK_LBUTTON, At(21, 20), &Effect);
    EXPECT_EQ(Data.ForeignReferences(), 0);
    EXPECT_TRUE(Target->URL().empty());  // emptied right after OnDrop
    return Entered;
  }

  test::TTempFolder Folder;
  IDropTarget* Ole = nullptr;
  TDropURLTarget* Target = nullptr;
  std::vector<std::string> Drops;
};

TEST_F(TDropURLTargetTest, EachSourceOfTheAddressAndTheTitle) {
  const std::string Shortcut = Folder.Path() + "Example.url";
  test::WriteWholeFile(Shortcut, "[InternetShortcut]\r\nURL=http://example.com/from-file\r\n");
  test::WriteWholeFile(Folder.Path() + "Notes.txt", "[InternetShortcut]\r\nURL=http://x/\r\n");
  const std::string Page = "http://example.com/page.html";
  const std::string Link = "3|";  // the link effect, from OnDrop

  struct TCase {
    const char* What;
    std::vector<TOffer> Offers;
    std::string Drop;  // URL|Title|Effect seen in OnDrop
  } Cases[] = {
      {"browser link",
       {{Url(), TYMED_HGLOBAL, TYMED_HGLOBAL, Z(Page)},
        {CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z("other text")}},
       Page + "|" + Page + "|4"},
      {"browser link with a file group",
       {{Url(), TYMED_HGLOBAL, TYMED_HGLOBAL, Z(Page)},
        {Group(), TYMED_HGLOBAL, TYMED_HGLOBAL, FileGroupBlock("Example Page.url")}},
       Page + "|Example Page|4"},
      {"plain text",
       {{CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z("not an address")}},
       "not an address|not an address|4"},
      // A shortcut's contents give its address, however its lines end and
      // whatever section comes first.
      {"file contents",
       {{Contents(), TYMED_HGLOBAL, TYMED_HGLOBAL,
         Z("[InternetShortcut]\r\nURL=http://example.com/c")}},
       "http://example.com/c|http://example.com/c|4"},
      {"file contents with a section before",
       {{Contents(), TYMED_HGLOBAL, TYMED_HGLOBAL,
         Z("[DEFAULT]\r\nBASEURL=http://example.com/\r\n[InternetShortcut]\r\n"
           "URL=http://example.com/d\r\n")},
        {Group(), TYMED_HGLOBAL, TYMED_HGLOBAL, FileGroupBlock("Dragged.url")}},
       "http://example.com/d|Dragged|4"},
      {"shortcut file",
       {{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, DropFilesBlock({Shortcut})}},
       "http://example.com/from-file|Example|4"},
      {"shortcut file with a file group",
       {{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, DropFilesBlock({Shortcut})},
        {Group(), TYMED_HGLOBAL, TYMED_HGLOBAL, FileGroupBlock("Other.url")}},
       "http://example.com/from-file|Other|4"},
      {"not a shortcut file",
       {{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, DropFilesBlock({Folder.Path() + "Notes.txt"})}},
       "||4"},
      {"text in a stream",
       {{CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM, TYMED_ISTREAM, Z(Page)}},
       "||4"},
      // The file group comes in a stream: the title step ends there.
      {"file group in a stream",
       {{CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z(Page)},
        {Group(), TYMED_HGLOBAL | TYMED_ISTREAM, TYMED_ISTREAM, FileGroupBlock("X.url")}},
       Page + "||4"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    Drops.clear();
    TTestDataObject Data(C.Offers);
    EXPECT_EQ(DropOnce(Data), DWORD{DROPEFFECT_LINK});
    EXPECT_EQ(Drops, std::vector<std::string>{C.Drop});
  }
}

TEST_F(TDropURLTargetTest, TheAddressIsReadOnceWhenEnteringAndKeptUntilTheDrop) {
  TTestDataObject Data({{Url(), TYMED_HGLOBAL, TYMED_HGLOBAL, Z("http://a/")},
                        {CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z("text")}});
  std::vector<std::string> Seen;
  Target->OnEnter = [&](TObject*, TShiftState, TDropPoint, std::uint32_t&) {
    Seen.push_back("enter " + Target->URL());
  };
  Target->OnDragOver = [&](TObject*, TShiftState, TDropPoint, std::uint32_t&) {
    Seen.push_back("over " + Target->URL());
  };
  DropOnce(Data);
  EXPECT_EQ(Seen, (std::vector<std::string>{"enter http://a/", "over http://a/"}));
  // The address was there, so the text was never asked for; the title step
  // looked for a file group.
  EXPECT_EQ(Data.Asked, (std::vector<CLIPFORMAT>{Url(), Group()}));
  EXPECT_EQ(Target->Title(), "http://a/");  // the title stays until the next drag

  // Leaving empties the address too.
  DWORD Effect = DROPEFFECT_LINK;
  Ole->DragEnter(&Data, MK_LBUTTON, At(20, 20), &Effect);
  EXPECT_EQ(Target->URL(), "http://a/");
  Ole->DragLeave();
  EXPECT_EQ(Target->URL(), "");
  EXPECT_EQ(Data.ForeignReferences(), 0);
}

TEST_F(TDropURLTargetTest, DragsWithoutAnAcceptableFormatAreRefused) {
  const std::vector<std::vector<TOffer>> Refused = {
      {{Group(), TYMED_HGLOBAL, TYMED_HGLOBAL, FileGroupBlock("Example.url")}},
      {{CF_UNICODETEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, std::string(4, '\0')}},
      {{CF_TEXT, TYMED_ISTREAM, TYMED_ISTREAM, Z("streams only")}},
      {{CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z("an icon view"), DVASPECT_ICON}},
      {},
  };
  for (const auto& Offers : Refused) {
    Drops.clear();
    TTestDataObject Data(Offers);
    DWORD Effect = DROPEFFECT_LINK;
    Ole->DragEnter(&Data, MK_LBUTTON, At(20, 20), &Effect);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_NONE});
    EXPECT_TRUE(Data.Asked.empty());
    Effect = DROPEFFECT_LINK;
    Ole->DragOver(MK_LBUTTON, At(20, 20), &Effect);
    EXPECT_EQ(Effect, DWORD{DROPEFFECT_NONE});
    Ole->DragLeave();
    EXPECT_EQ(Drops, std::vector<std::string>{"leave"});
    EXPECT_EQ(Data.ForeignReferences(), 0);
  }
}

// An "HTML Format" block with truthful offsets around Fragment.
std::string HtmlBlock(const std::string& Fragment, const std::string& Source) {
  auto Header = [&](std::size_t SF, std::size_t EF) {
    char Text[160];
    std::snprintf(Text, sizeof Text,
                  "Version:0.9\r\nStartFragment:%010zu\r\nEndFragment:%010zu\r\nSourceURL:", SF,
                  EF);
    return std::string(Text) + Source + "\r\n";
  };
  const std::size_t SF = Header(0, 0).size();
  return Header(SF, SF + Fragment.size()) + Fragment;
}

TEST_F(TDropURLTargetTest, SelectionsAreTakenOnlyWhenAskedAndNeverBeforeALink) {
  CLIPFORMAT Html = static_cast<CLIPFORMAT>(CF_HTML);
  const std::string Page = "http://example.com/a/page.html";
  const std::string Fragment = "<img src=\"one.jpg\"><img src=\"two.gif\">";
  const TOffer Link{Url(), TYMED_HGLOBAL, TYMED_HGLOBAL, Z("http://example.com/link.html")};
  const TOffer Selection{Html, TYMED_HGLOBAL, TYMED_HGLOBAL, Z(HtmlBlock(Fragment, Page))};
  std::string Lying = HtmlBlock(Fragment, Page);
  Lying.replace(Lying.find("EndFragment:") + 12, 4, "9999");
  const TOffer Liar{Html, TYMED_HGLOBAL, TYMED_HGLOBAL, Lying};
  const TOffer Text{CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z("Two pictures")};
  struct TCase {
    const char* What;
    bool On;
    std::vector<TOffer> Offers;
    DWORD Entered;
    std::string Seen;  // in OnDrop: URL, or "selection <SourceURL> <fragment>"
  } Cases[] = {
      {"a link drag stays one",
       true,
       {Link, Selection, Text},
       DROPEFFECT_LINK,
       "http://example.com/link.html"},
      {"a selection",
       true,
       {Selection, Text},
       DROPEFFECT_LINK,
       "selection " + Page + " " + Fragment},
      {"a selection alone",
       true,
       {Selection},
       DROPEFFECT_LINK,
       "selection " + Page + " " + Fragment},
      {"a lying header refuses the drop", true, {Liar, Text}, DROPEFFECT_LINK, ""},
      {"switched off: the text, as designed",
       false,
       {Selection, Text},
       DROPEFFECT_LINK,
       "Two pictures"},
      {"switched off: HTML alone is no format", false, {Selection}, DROPEFFECT_NONE, ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    Target->TakesSelections = [On = C.On] { return On; };
    std::vector<std::string> Seen;
    Target->OnDrop = [&](TObject*, TShiftState, TDropPoint, std::uint32_t&) {
      Seen.push_back(Target->HasSelection() ? "selection " + Target->Selection().SourceURL + " " +
                                                  Target->Selection().Fragment
                                            : Target->URL());
    };
    TTestDataObject Data(C.Offers);
    EXPECT_EQ(DropOnce(Data), C.Entered);
    if (C.Entered == DROPEFFECT_NONE) continue;
    EXPECT_EQ(Seen, std::vector<std::string>{C.Seen});
    EXPECT_FALSE(Target->HasSelection());  // forgotten right after OnDrop
  }
}

TEST_F(TDropURLTargetTest, BlocksAreReadNoFurtherThanTheirSize) {
  std::string BadOffset = DropFilesBlock({"C:\\a.url"});
  BadOffset[0] = '\x7f';  // pFiles far outside the block
  std::string NoEnd = DropFilesBlock({Folder.Path() + "a.url"});
  NoEnd.resize(NoEnd.size() - 2);  // neither the name's zero nor the list's
  test::WriteWholeFile(Folder.Path() + "a.url", "[InternetShortcut]\r\nURL=http://x/\r\n");

  struct TCase {
    const char* What;
    std::vector<TOffer> Offers;
    std::string Drop;
  } Cases[] = {
      {"text without its zero",
       {{CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, "http://a/b"}},
       "http://a/b|http://a/b|4"},
      {"file list outside the block", {{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, BadOffset}}, "||4"},
      {"file list without its end", {{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, NoEnd}}, "||4"},
      {"header cut short", {{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, std::string(6, '\0')}}, "||4"},
      // A file group too small for its structure names no title; with a
      // file group present the address does not stand in for it.
      {"short file group",
       {{CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z("http://a/")},
        {Group(), TYMED_HGLOBAL, TYMED_HGLOBAL, FileGroupBlock("Example.url").substr(0, 100)}},
       "http://a/||4"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    Drops.clear();
    TTestDataObject Data(C.Offers);
    EXPECT_EQ(DropOnce(Data), DWORD{DROPEFFECT_LINK});
    EXPECT_EQ(Drops, std::vector<std::string>{C.Drop});
  }
}

TEST_F(TDropURLTargetTest, ShortcutFilesThatCannotBeReadGiveNoAddress) {
  const std::string Good = "[InternetShortcut]\r\nURL=http://x/\r\n";
  const std::string Huge = Good + std::string(70 * 1024, ' ');
  test::WriteWholeFile(Folder.Path() + "Huge.url", Huge);
  CreateDirectoryA((Folder.Path() + "Folder.url").c_str(), nullptr);
  test::WriteWholeFile(Folder.Path() + "Locked.url", Good);
  HANDLE Lock = CreateFileA((Folder.Path() + "Locked.url").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(Lock, INVALID_HANDLE_VALUE);

  for (const char* Name : {"Missing.url", "Huge.url", "Folder.url", "Locked.url"}) {
    SCOPED_TRACE(Name);
    std::string URL = "stale";
    EXPECT_FALSE(ReadURLFile(Folder.Path() + Name, URL));
    EXPECT_EQ(URL, "");
    Drops.clear();
    TTestDataObject Data(
        {{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, DropFilesBlock({Folder.Path() + Name})}});
    DropOnce(Data);
    EXPECT_EQ(Drops, std::vector<std::string>{"||4"});
  }
  CloseHandle(Lock);
  std::string URL;
  EXPECT_TRUE(ReadURLFile(Folder.Path() + "Locked.url", URL));
  EXPECT_EQ(URL, "http://x/");
}

TEST_F(TDropURLTargetTest, WideFileListsAreReadToo) {
  const std::string Shortcut = Folder.Path() + "Wide.url";
  test::WriteWholeFile(Shortcut, "[InternetShortcut]\nURL=http://wide/\n");
  DROPFILES Header{};
  Header.pFiles = sizeof Header;
  Header.fWide = TRUE;
  std::string Block(reinterpret_cast<const char*>(&Header), sizeof Header);
  for (char C : Shortcut + '\0' + '\0') {
    Block += C;
    Block += '\0';
  }
  TTestDataObject Data({{CF_HDROP, TYMED_HGLOBAL, TYMED_HGLOBAL, Block}});
  DropOnce(Data);
  EXPECT_EQ(Drops, std::vector<std::string>{"http://wide/|Wide|4"});
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

// Ends the drag when the left button is released; Escape cancels it.
class TTestDropSource final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IDropSource)) {
      *Object = this;
      return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL Escape, DWORD KeyState) override {
    if (Escape) return DRAGDROP_S_CANCEL;
    return (KeyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// A real drag with OLE's DoDragDrop, from a window of this process onto the
// registered one. OLE starts a drag only while the mouse button is held in
// one of the process's own windows, so the X server's pointer is driven
// with xdotool: press over the source, move to the target, release.
TEST(GenuineDrag, ALinkDraggedFromAWindowIsDroppedOnTheTarget) {
  if (!test::HostHasXdotool()) GTEST_SKIP() << "xdotool is not installed";
  test::TMessageBoxCatcher Boxes;
  const auto MakeForm = [](int Left) {
    auto* F = new TForm(&Application());
    F->SetBorderStyle(TFormBorderStyle::bsNone);
    F->SetBounds(Left, 300, 200, 150);
    F->Show();
    return F;
  };
  TForm* Source = MakeForm(150);
  TForm* Dest = MakeForm(600);
  Dest->SetName("Dest");
  auto* Target = new TDropURLTarget(Dest);
  Target->Register(Dest);
  std::vector<std::string> Drops;
  Target->OnDrop = [&](TObject*, TShiftState, TDropPoint P, std::uint32_t& Effect) {
    Drops.push_back(Target->URL() + " " + std::to_string(P.X) + "," + std::to_string(P.Y) + " " +
                    std::to_string(Effect));
  };

  TTestDataObject Data({{Url(), TYMED_HGLOBAL, TYMED_HGLOBAL, Z("http://example.com/dragged")},
                        {CF_TEXT, TYMED_HGLOBAL, TYMED_HGLOBAL, Z("http://example.com/dragged")}});
  TTestDropSource DropSource;
  DWORD Result = 0;
  HRESULT Outcome = E_FAIL;
  bool Dragged = false;
  Source->OnMouseDown = [&](TObject*, TMouseButton Button, TShiftState, int, int) {
    if (Button != TMouseButton::mbLeft || Dragged) return;
    Dragged = true;
    Outcome = DoDragDrop(&Data, &DropSource, DROPEFFECT_COPY | DROPEFFECT_LINK, &Result);
  };
  test::PumpFor(300);

  const POINT From = Source->ClientToScreen(POINT{100, 75});
  const POINT Over = Dest->ClientToScreen(POINT{40, 50});
  const POINT To = Dest->ClientToScreen(POINT{50, 60});
  const auto Xy = [](POINT P) { return std::to_string(P.x) + " " + std::to_string(P.y); };
  ASSERT_TRUE(test::StartHostProgram("Z:\\usr\\bin\\xdotool mousemove " + Xy(From) +
                                     " sleep 0.5 mousedown 1 sleep 0.8 mousemove " + Xy(Over) +
                                     " sleep 0.5 mousemove " + Xy(To) + " sleep 0.5 mouseup 1"));
  EXPECT_TRUE(test::PumpUntil([&] { return Dragged && Outcome != E_FAIL; }, 15000));

  EXPECT_EQ(Outcome, DRAGDROP_S_DROP);
  EXPECT_EQ(Result, DWORD{DROPEFFECT_LINK});
  EXPECT_EQ(Drops, std::vector<std::string>{"http://example.com/dragged 50,60 4"});
  EXPECT_EQ(Data.ForeignReferences(), 0);
  EXPECT_TRUE(Boxes.Boxes.empty());
  delete Dest;
  delete Source;
}

}  // namespace
}  // namespace lumora
