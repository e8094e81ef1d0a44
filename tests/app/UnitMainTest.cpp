// The main window under Wine: its outline from the skin, the settings panel
// with a real settings file beside the test program (start-up load, OK,
// Cancel, each error message, the folder browser), the commands of its menu
// picked in the real popup menu, and the search for a running instance.

#include "app/UnitMain.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/SettingsLoad.h"
#include "app/U_FormFloat.h"
#include "grab/GrabSettings.h"
#include "sys/FileSystem.h"
#include "ui/Application.h"
#include "ui/UiTestSupport.h"
#include "widgets/a.h"

namespace lumora {
namespace {

using test::PumpFor;
using test::PumpUntil;

// --- the outline ------------------------------------------------------------

// Which pixels of a W x H picture a region holds, row by row, "#" for in.
std::string RegionMask(HRGN Region, int W, int H) {
  std::string Mask;
  for (int Y = 0; Y < H; ++Y) {
    for (int X = 0; X < W; ++X) Mask += Region && PtInRegion(Region, X, Y) ? '#' : '.';
    Mask += '/';
  }
  return Mask;
}

TEST(FormMainRegion, RunsOfPixelsThatDifferFromTheTopLeftOne) {
  constexpr TColor K = RGB(255, 255, 255), R = RGB(200, 0, 0), G = RGB(0, 200, 0);
  const struct {
    const char* Name;
    int W, H;
    std::vector<TColor> Pixels;  // row by row
    bool HasRegion;
    std::string Mask;
  } Cases[] = {
      {"a run that reaches the right edge is included; the next row starts afresh",
       4,
       3,
       {K, R, R, R, G, K, K, R, K, K, K, K},
       true,
       ".###/#..#/..../"},
      {"runs of different colours are one run", 3, 1, {K, G, R}, true, ".##/"},
      {"the key is the top-left pixel, whatever its colour",
       3,
       2,
       {R, R, K, K, R, R},
       true,
       "..#/#../"},
      {"one colour: no region", 3, 2, {G, G, G, G, G, G}, false, "...../...../"},
      {"no pixels: no region", 0, 0, {}, false, ""},
  };
  TForm Owner(nullptr);
  for (const auto& C : Cases) {
    TImage Image(&Owner);
    TBitmap Picture(C.W, C.H);
    for (int I = 0; I < C.W * C.H; ++I) Picture.Canvas().SetPixel(I % C.W, I / C.W, C.Pixels[I]);
    Image.SetAutoSize(true);
    Image.SetPicture(Picture);
    const TRegionHandle Region = TFormMain::BuildWindowRegion(&Image);
    EXPECT_EQ(static_cast<bool>(Region), C.HasRegion) << C.Name;
    if (C.HasRegion) {
      EXPECT_EQ(RegionMask(Region.Get(), C.W, C.H), C.Mask) << C.Name;
    }
  }
}

// --- the main window with a settings file -------------------------------------

std::string TestProgramFolder() {
  char Path[MAX_PATH] = {};
  const std::string S(Path, GetModuleFileNameA(nullptr, Path, MAX_PATH));
  return S.substr(0, S.find_last_of('\\') + 1);
}

// A settings file beside the test program for the life of the fixture, and
// the program's two windows made as the program makes them.
class TFormMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Saved = GrabSettings().Snapshot();
    static int Count = 0;
    Pictures = TestProgramFolder() + "pictures-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++Count) + "\\";
  }
  void TearDown() override {
    Close();
    std::error_code Ignored;
    std::filesystem::remove_all(TestProgramFolder() + "task", Ignored);
    std::filesystem::remove_all(Pictures, Ignored);
    GrabSettings().Assign(Saved);
  }

  static std::string FileName() { return SettingsFileName(TestProgramFolder()); }
  void WriteSettings(const std::string& Text) {
    std::filesystem::create_directories(TestProgramFolder() + "task");
    test::WriteWholeFile(FileName(), Text);
  }
  std::string Settings() const { return test::ReadWholeFile(FileName()); }

  // Both windows, as the program's start-up makes them; the start-up
  // messages are caught.
  void Start() {
    Close();
    Application().CreateForm(FormMain);
    Application().CreateForm(FormFloat);
    ConnectDropWindow(*FormFloat, *FormMain);
    // The timer shows the drop window and sends the main window to the tray.
    ASSERT_TRUE(PumpUntil([] { return !FormMain->Timer1->Enabled(); }, 3000));
  }
  void Close() {
    delete FormFloat;
    FormFloat = nullptr;
    delete FormMain;
    FormMain = nullptr;
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> M;
    if (!Boxes) return M;
    for (const auto& B : Boxes->Boxes) M.push_back(B.Text);
    Boxes->Boxes.clear();
    return M;
  }
  static bool MainShown() { return IsWindowVisible(FormMain->Handle()) != 0; }

  // Message boxes are caught and closed; the folder browser's test lets its
  // dialog be.
  std::unique_ptr<test::TMessageBoxCatcher> Boxes = std::make_unique<test::TMessageBoxCatcher>();
  TGrabSettingsValues Saved;
  std::string Pictures;
};

TEST_F(TFormMainTest, StartsHiddenWithTheDropWindowShapedByItsSkin) {
  WriteSettings(".JPG.GIF\r\n0\r\n" + Pictures + "\r\n");
  Start();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(AppDir(), TestProgramFolder());
  EXPECT_TRUE(FormFloat->Visible());
  EXPECT_FALSE(MainShown());
  EXPECT_EQ(Application().Handle() && IsWindowVisible(Application().Handle()), false);

  // Borderless, cut to the skin's card: columns 11 to 342, rows 7 to 218.
  HWND W = FormMain->Handle();
  EXPECT_EQ(GetWindowLongPtrA(W, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_EQ(FormMain->Image1->Width(), 354);
  EXPECT_EQ(FormMain->Image1->Height(), 228);
  TRegionHandle Region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetWindowRgn(W, Region.Get()), COMPLEXREGION);
  RECT Box{};
  GetRgnBox(Region.Get(), &Box);
  EXPECT_EQ(Box.left, 11);
  EXPECT_EQ(Box.top, 7);
  EXPECT_EQ(Box.right, 343);
  EXPECT_EQ(Box.bottom, 219);
  EXPECT_FALSE(PtInRegion(Region.Get(), 11, 7));  // a rounded corner
  EXPECT_TRUE(PtInRegion(Region.Get(), 11, 113));
  EXPECT_TRUE(PtInRegion(Region.Get(), 200, 7));

  // The about panel lies on the settings panel, hidden.
  EXPECT_TRUE(FormMain->PanelSet->Visible());
  EXPECT_FALSE(FormMain->PanelAbout->Visible());
  EXPECT_EQ(FormMain->PanelAbout->Left(), 72);
  EXPECT_EQ(FormMain->PanelAbout->Top(), 35);
  EXPECT_EQ(FormMain->PanelAbout->Width(), 265);
  EXPECT_EQ(FormMain->PanelAbout->Height(), 180);

  EXPECT_EQ(FormMain->CoolTrayIcon1->Hint(), "Lumora");
  EXPECT_EQ(FormMain->CoolTrayIcon1->PopupMenu(), FormMain->PopupMenu1);
  EXPECT_TRUE(FormMain->CoolTrayIcon1->StartMinimized());
  EXPECT_TRUE(FormMain->CoolTrayIcon1->MinimizeToTray());
  std::vector<std::string> Captions;
  for (int I = 0; I < FormMain->PopupMenu1->Items().Count(); ++I)
    Captions.push_back(FormMain->PopupMenu1->Items().Items(I)->Caption());
  EXPECT_EQ(Captions, (std::vector<std::string>{"Set", "Folder", "Help", "Show/hide floatform",
                                                "About", "Exit"}));
}

TEST_F(TFormMainTest, StartUpLoadSetsThePanel) {
  const struct {
    const char* Name;
    std::string File;
    bool Jpg, Bmp, Gif, Tif, SizeFilter;
    std::string SizeText, Folder;
  } Cases[] = {
      {"all four, any size", ".JPG.BMP.GIF.TIF\r\n0\r\nc:\\p\\\r\n", true, true, true, true, false,
       "10", "c:\\p\\"},
      {"none", "\r\n0\r\nc:\\p\\\r\n", false, false, false, false, false, "10", "c:\\p\\"},
      {"lower case enables nothing", ".jpg.gif\r\n0\r\nc:\\p\r\n", false, false, false, false,
       false, "10", "c:\\p"},
      {"letters without dots", "JPGGIF\r\n25\r\nc:\\p\r\n", true, false, true, false, true, "25",
       "c:\\p"},
      {"a negative size", ".TIF\r\n-3\r\nc:\\p\r\n", false, false, false, true, true, "-3",
       "c:\\p"},
  };
  for (const auto& C : Cases) {
    WriteSettings(C.File);
    Start();
    EXPECT_TRUE(Messages().empty()) << C.Name;
    const TSettingsPanelState P = FormMain->PanelState();
    EXPECT_EQ(P.Jpg, C.Jpg) << C.Name;
    EXPECT_EQ(P.Bmp, C.Bmp) << C.Name;
    EXPECT_EQ(P.Gif, C.Gif) << C.Name;
    EXPECT_EQ(P.Tif, C.Tif) << C.Name;
    EXPECT_EQ(P.SizeFilter, C.SizeFilter) << C.Name;
    EXPECT_EQ(FormMain->FlatRadioButton4->Checked(), C.SizeFilter) << C.Name;
    EXPECT_EQ(P.SizeText, C.SizeText) << C.Name;
    EXPECT_EQ(P.Folder, C.Folder) << C.Name;
  }
}

TEST_F(TFormMainTest, StartUpErrorsAreReportedAndThePanelsValuesApply) {
  const struct {
    const char* Name;
    bool File;
    std::string Text;
    std::string Message;
  } Cases[] = {
      {"no file", false, "", "Cannot open file " + FileName() + "."},
      {"two lines", true, ".GIF\r\n5\r\n", "List index out of bounds (2)"},
      {"size no number", true, ".GIF\r\n5k\r\nc:\\p\r\n", "'5k' is not a valid integer value."},
  };
  for (const auto& C : Cases) {
    std::error_code Ignored;
    std::filesystem::remove_all(TestProgramFolder() + "task", Ignored);
    if (C.File) WriteSettings(C.Text);
    Start();
    EXPECT_EQ(Messages(), std::vector<std::string>{C.Message}) << C.Name;
    // The window is still shaped and the drop window comes all the same.
    TRegionHandle Region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(FormMain->Handle(), Region.Get()), COMPLEXREGION) << C.Name;
    EXPECT_TRUE(FormFloat->Visible()) << C.Name;
    // What the untouched panel shows is what grabs use.
    EXPECT_EQ(GrabSettings().PicTypes(), ".JPG.BMP.GIF.TIF") << C.Name;
    EXPECT_EQ(GrabSettings().MinSizeK(), 0) << C.Name;
    EXPECT_EQ(GrabSettings().SaveFolder(), DefaultSaveFolder) << C.Name;
    EXPECT_TRUE(FormMain->FlatCheckBox1->Checked()) << C.Name;
    EXPECT_EQ(FormMain->FlatEdit2->Text(), DefaultSaveFolder) << C.Name;
  }
}

// lumora.ini is read after the settings file, on its own: the box shows the
// switch, an unreadable file is reported and the switch is off, and a fault
// of shuxing.txt does not lose it.
TEST_F(TFormMainTest, StartUpReadsTheSwitchFromLumoraIni) {
  const std::string Ini = LumoraIniFileName(TestProgramFolder());
  const std::string Good = ".JPG\r\n0\r\n" + Pictures + "\r\n";
  const struct {
    const char* Name;
    std::string Settings;
    const char* IniText;  // "/": a folder of that name
    bool TodaysWeb;
    std::vector<std::string> Messages;
  } Cases[] = {
      {"on", Good, "[Grab]\r\nTodaysWeb=1\r\n", true, {}},
      {"unreadable", Good, "/", false, {"Cannot open file " + Ini + "."}},
      {"on, with a short settings file",
       ".GIF\r\n",
       "[Grab]\r\nTodaysWeb=1\r\n",
       true,
       {"List index out of bounds (1)"}},
  };
  for (const auto& C : Cases) {
    std::error_code Ignored;
    std::filesystem::remove_all(TestProgramFolder() + "task", Ignored);
    WriteSettings(C.Settings);
    if (std::string(C.IniText) == "/")
      std::filesystem::create_directories(Ini);
    else
      test::WriteWholeFile(Ini, C.IniText);
    GrabSettings().SetTodaysWeb(!C.TodaysWeb);
    Start();
    EXPECT_EQ(Messages(), C.Messages) << C.Name;
    EXPECT_EQ(GrabSettings().TodaysWeb(), C.TodaysWeb) << C.Name;
    EXPECT_EQ(FormMain->FlatCheckBox5->Checked(), C.TodaysWeb) << C.Name;
  }
}

// OK writes the switch to lumora.ini after shuxing.txt; when lumora.ini
// cannot be read it is not replaced, the user is told, and the window stays.
TEST_F(TFormMainTest, OkStoresTheSwitchInLumoraIni) {
  const std::string Ini = LumoraIniFileName(TestProgramFolder());
  WriteSettings(".JPG\r\n0\r\n" + Pictures + "\r\n");
  Start();
  for (const bool On : {true, false}) {
    FormMain->ShowMain();
    FormMain->FlatCheckBox5->SetChecked(On);
    test::SendClick(FormMain->FlatButton6->Handle(), 5, 5);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(test::ReadWholeFile(Ini),
              On ? "[Grab]\r\nTodaysWeb=1\r\n" : "[Grab]\r\nTodaysWeb=0\r\n");
    EXPECT_EQ(GrabSettings().TodaysWeb(), On);
    EXPECT_FALSE(MainShown());
  }
  std::filesystem::remove(Ini);
  std::filesystem::create_directories(Ini);
  FormMain->ShowMain();
  FormMain->FlatCheckBox5->SetChecked(true);
  test::SendClick(FormMain->FlatButton6->Handle(), 5, 5);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file " + Ini + "."});
  EXPECT_TRUE(std::filesystem::is_directory(Ini));
  EXPECT_TRUE(GrabSettings().TodaysWeb()) << "live like the other values";
  EXPECT_TRUE(MainShown());
}

// --- the tray balloon -------------------------------------------------------

// The balloons Wine's notification area shows, as they come and go:
// explorer's tooltip windows owned by its tray window. A tooltip keeps its
// text in its own process, so each is read from explorer's memory.
class TBalloonWatch {
 public:
  // Notes every balloon shown now that was not seen before.
  void Poll() {
    const HWND Tray = FindWindowA(nullptr, "Wine System Tray");
    if (!Tray) return;
    TFind Find{Tray, {}};
    EnumWindows(&TBalloonWatch::FindBalloon, reinterpret_cast<LPARAM>(&Find));
    for (const HWND W : Find.Found)
      if (std::find(FSeen.begin(), FSeen.end(), W) == FSeen.end()) {
        FSeen.push_back(W);
        Texts.push_back(ToolText(W));
      }
  }
  // Polls while pumping for Ms milliseconds.
  void Watch(int Ms) {
    PumpUntil(
        [this] {
          Poll();
          return false;
        },
        Ms);
  }
  std::vector<std::string> Texts;  // one per balloon

 private:
  struct TFind {
    HWND Tray;
    std::vector<HWND> Found;
  };
  static BOOL CALLBACK FindBalloon(HWND W, LPARAM P) {
    auto& F = *reinterpret_cast<TFind*>(P);
    char Class[64] = {};
    GetClassNameA(W, Class, sizeof Class);
    if (std::string(Class) == "tooltips_class32" && GetWindow(W, GW_OWNER) == F.Tray &&
        IsWindowVisible(W))
      F.Found.push_back(W);
    return TRUE;
  }
  // The tooltip's one tool's text, asked for with a buffer in explorer's
  // own memory. (Wine's tooltips cannot be asked for their title.)
  static std::string ToolText(HWND Tip) {
    DWORD Pid = 0;
    GetWindowThreadProcessId(Tip, &Pid);
    const HANDLE Process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, Pid);
    if (!Process) return "(explorer cannot be opened)";
    constexpr std::size_t Size = 4096, TextAt = 512;
    char* Remote = static_cast<char*>(
        VirtualAllocEx(Process, nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::string Result = "(nothing read)";
    if (Remote) {
      std::vector<char> Buffer(Size, 0);
      TTTOOLINFOW Info{};
      Info.cbSize = sizeof Info;
      Info.lpszText = reinterpret_cast<LPWSTR>(Remote + TextAt);
      std::memcpy(Buffer.data(), &Info, sizeof Info);
      DWORD_PTR Ignored = 0;
      if (WriteProcessMemory(Process, Remote, Buffer.data(), Size, nullptr) &&
          SendMessageTimeoutW(Tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(Remote),
                              SMTO_ABORTIFHUNG, 2000, &Ignored) &&
          ReadProcessMemory(Process, Remote, Buffer.data(), Size, nullptr)) {
        Buffer[Size - 1] = Buffer[Size - 2] = 0;
        Result = Narrow(reinterpret_cast<const wchar_t*>(Buffer.data() + TextAt));
      }
      VirtualFreeEx(Process, Remote, 0, MEM_RELEASE);
    }
    CloseHandle(Process);
    return Result;
  }
  static std::string Narrow(const wchar_t* W) {
    char Text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, W, -1, Text, sizeof Text - 1, nullptr, nullptr);
    return Text;
  }
  std::vector<HWND> FSeen;
};

// A grab whose save folder cannot be written (it lies under a regular file,
// so it can never be made) shows one warning balloon at the tray icon for
// the whole page, whose pictures all fail, and only with today's web on.
// The balloon is the one Wine's tray really shows.
TEST_F(TFormMainTest, ARefusingSaveFolderShowsOneBalloonWithTodaysWeb) {
  WriteSettings(".JPG.BMP.GIF.TIF\r\n0\r\n" + Pictures + "\r\n");
  Start();
  ASSERT_TRUE(PumpUntil(
      [] {
        const HWND Tray = FindWindowA(nullptr, "Wine System Tray");
        return Tray && IsWindowVisible(Tray);
      },
      8000));
  std::filesystem::create_directories(Pictures);
  test::WriteWholeFile(Pictures + "afile", "not a folder");
  const std::string Refusing = Pictures + "afile\\pics\\";
  const std::string Tag = test::UniquePrefix();
  test::RegisterPage(Tag + "/site/page.html",
                     "<img src=one.jpg><img src=two.jpg><img src=three.gif><img src=four.jpg>");
  const std::string Page = test::ServerBase() + Tag + "/site/page.html";

  TBalloonWatch Balloons;
  Balloons.Poll();
  ASSERT_TRUE(Balloons.Texts.empty()) << Balloons.Texts.front();
  // Off first: a balloon of the other case would still show.
  for (const bool On : {false, true}) {
    GrabSettings().SetSaveFolder(Refusing);
    GrabSettings().SetTodaysWeb(On);
    FormFloat->Edit1->SetText(Page);
    // Until the job's workers have ended, then as long again as Wine's tray
    // takes to show a balloon (about two seconds after it is asked), and as
    // long after a balloon showed for a second one.
    ASSERT_TRUE(PumpUntil(
        [&] {
          Balloons.Poll();
          return FormFloat->Edit1->Text().empty();
        },
        10000));
    PumpUntil(
        [&] {
          Balloons.Poll();
          return !Balloons.Texts.empty();
        },
        3000);
    Balloons.Watch(3000);
    const std::vector<std::string> Expected =
        On ? std::vector<std::string>{"Lumora could not save into " + Refusing +
                                      ": the folder does not exist"}
           : std::vector<std::string>{};
    EXPECT_EQ(Balloons.Texts, Expected) << (On ? "on" : "off");
  }
  EXPECT_FALSE(std::filesystem::exists(Refusing));
}

TEST_F(TFormMainTest, OkAndCancelThroughThePanel) {
  WriteSettings(".JPG.BMP.GIF.TIF\r\n0\r\n" + Pictures + "\r\nline four\r\nline five\n");
  Start();
  TFormMain& M = *FormMain;
  const std::string Typed = Pictures + "shots";  // without its backslash
  const struct {
    const char* Name;
    bool Jpg, Bmp, Gif, Tif, SizeFilter;
    std::string SizeText, Folder;
    std::string File;  // after OK
    std::string Types;
    int MinSizeK;
    std::string SaveFolder;
  } Cases[] = {
      {"everything cleared", false, false, false, false, false, "", "", "\r\n0\r\n\\\r\n", "", 0,
       "\\"},
      {"size 0", true, false, false, false, true, "0", Pictures,
       ".JPG\r\n0\r\n" + Pictures + "\r\n", ".JPG", 0, Pictures},
      {"a negative size", false, true, false, false, true, "-7", Pictures,
       ".BMP\r\n-7\r\n" + Pictures + "\r\n", ".BMP", -7, Pictures},
      {"a folder without its backslash", true, true, true, true, false, "10", Typed,
       ".JPG.BMP.GIF.TIF\r\n0\r\n" + Typed + "\\\r\n", ".JPG.BMP.GIF.TIF", 0, Typed + "\\"},
  };
  for (const auto& C : Cases) {
    M.ShowMain();
    ASSERT_TRUE(PumpUntil(MainShown)) << C.Name;
    M.SetPanelState({C.Jpg, C.Bmp, C.Gif, C.Tif, C.SizeFilter, C.SizeText, C.Folder});
    test::SendClick(M.FlatButton6->Handle(), 5, 5);  // OK
    EXPECT_TRUE(Messages().empty()) << C.Name;
    EXPECT_EQ(Settings(), C.File + "line four\r\nline five\r\n") << C.Name;
    EXPECT_EQ(GrabSettings().PicTypes(), C.Types) << C.Name;
    EXPECT_EQ(GrabSettings().MinSizeK(), C.MinSizeK) << C.Name;
    EXPECT_EQ(GrabSettings().SaveFolder(), C.SaveFolder) << C.Name;
    EXPECT_EQ(M.FlatEdit2->Text(), C.Folder) << C.Name;  // as typed
    EXPECT_FALSE(MainShown()) << C.Name;
  }
  EXPECT_TRUE(DirectoryExists(Typed));

  // The next start shows what was committed last; then Cancel after
  // changing everything keeps the file and the settings, and the panel
  // keeps the changes.
  Start();  // a new FormMain: M is gone with the old one
  EXPECT_EQ(FormMain->FlatEdit2->Text(), Typed + "\\");
  const std::string Before = Settings();
  const TGrabSettingsValues Live = GrabSettings().Snapshot();
  FormMain->ShowMain();
  const TSettingsPanelState Changed{false, true, false, true, true, "99", "c:\\elsewhere"};
  FormMain->SetPanelState(Changed);
  test::SendClick(FormMain->FlatButton7->Handle(), 5, 5);
  EXPECT_FALSE(MainShown());
  EXPECT_EQ(Settings(), Before);
  EXPECT_EQ(GrabSettings().PicTypes(), Live.PicTypes);
  EXPECT_EQ(GrabSettings().MinSizeK(), Live.MinSizeK);
  EXPECT_EQ(GrabSettings().SaveFolder(), Live.SaveFolder);
  FormMain->Set1Click(FormMain->Set1);
  const TSettingsPanelState Shown = FormMain->PanelState();
  EXPECT_EQ(PicTypesFromPanel(Shown), ".BMP.TIF");
  EXPECT_TRUE(Shown.SizeFilter);
  EXPECT_EQ(Shown.SizeText, "99");
  EXPECT_EQ(Shown.Folder, "c:\\elsewhere");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(TFormMainTest, OkErrorsAreReportedAndTheWindowStays) {
  WriteSettings(".JPG\r\n0\r\n" + Pictures + "\r\n");
  Start();
  // FormMain is made anew by Start() below, so each OK looks it up afresh.
  auto Ok = [&](const TSettingsPanelState& Panel) {
    TFormMain& M = *FormMain;
    M.ShowMain();
    M.SetPanelState(Panel);
    test::SendClick(M.FlatButton6->Handle(), 5, 5);
  };

  // A size that is no number: the types are rebuilt, nothing else changes.
  Ok({false, false, true, false, true, "12x", Pictures + "other"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"'12x' is not a valid integer value."});
  EXPECT_EQ(GrabSettings().PicTypes(), ".GIF");
  EXPECT_EQ(GrabSettings().SaveFolder(), Pictures);
  EXPECT_EQ(Settings(), ".JPG\r\n0\r\n" + Pictures + "\r\n");
  EXPECT_TRUE(MainShown());

  // The file's folder gone: the settings change, the file cannot be made.
  std::filesystem::remove_all(TestProgramFolder() + "task");
  Ok({true, false, false, false, true, "4", Pictures});
  EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot create file " + FileName() + "."});
  EXPECT_EQ(GrabSettings().PicTypes(), ".JPG");
  EXPECT_EQ(GrabSettings().MinSizeK(), 4);
  EXPECT_TRUE(MainShown());

  // Started without a file: OK has no lines to replace.
  Start();
  Messages();
  Ok({true, true, false, false, true, "8", Pictures + "x"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"List index out of bounds (0)"});
  EXPECT_EQ(GrabSettings().PicTypes(), ".JPG.BMP");
  EXPECT_EQ(GrabSettings().MinSizeK(), 8);
  EXPECT_EQ(GrabSettings().SaveFolder(), Pictures + "x\\");
  EXPECT_TRUE(DirectoryExists(Pictures + "x\\"));
  EXPECT_FALSE(std::filesystem::exists(FileName()));
  EXPECT_TRUE(MainShown());
}

bool EqualsIgnoringCase(const std::string& A, const std::string& B) {
  return lstrcmpiA(A.c_str(), B.c_str()) == 0;
}

BOOL CALLBACK FindBrowseDialogProc(HWND W, LPARAM Out) {
  char Class[32] = {};
  GetClassNameA(W, Class, sizeof Class);
  if (std::string(Class) == "#32770" && IsWindowVisible(W)) {
    *reinterpret_cast<HWND*>(Out) = W;
    return FALSE;
  }
  return TRUE;
}

// The browser's dialog of this thread, once it shows.
HWND FindBrowseDialog() {
  HWND Found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBrowseDialogProc, reinterpret_cast<LPARAM>(&Found));
  return Found;
}

TEST_F(TFormMainTest, TheFolderBrowserCancelledOrPicked) {
  WriteSettings(".JPG\r\n0\r\n" + Pictures + "\r\n");
  Start();
  ASSERT_TRUE(Messages().empty());
  Boxes.reset();
  FormMain->ShowMain();
  ASSERT_TRUE(PumpUntil(MainShown));
  struct {
    bool Seen = false;
    bool MainDisabled = false, FloatDisabled = false;
    std::string Title;
  } Run;
  // Watches from a timer, which runs inside the dialog's own loop.
  auto Browse = [&](const std::string& Pick) {
    Run = {};
    TTimer Watch(nullptr);
    Watch.SetInterval(100);
    Watch.SetOnTimer([&](TObject*) {
      HWND D = FindBrowseDialog();
      if (!D || Run.Seen) return;
      Run.Seen = true;
      Run.MainDisabled = !IsWindowEnabled(FormMain->Handle());
      Run.FloatDisabled = !IsWindowEnabled(FormFloat->Handle());
      if (Pick.empty()) {
        PostMessageA(D, WM_COMMAND, IDCANCEL, 0);
      } else {
        SendMessageA(D, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(Pick.c_str()));
        PostMessageA(D, WM_COMMAND, IDOK, 0);
      }
    });
    test::SendClick(FormMain->FlatButton3->Handle(), 5, 5);
  };

  Browse("");
  EXPECT_TRUE(Run.Seen);
  EXPECT_TRUE(Run.MainDisabled);
  EXPECT_TRUE(Run.FloatDisabled);
  EXPECT_EQ(FormMain->FlatEdit2->Text(), Pictures);
  EXPECT_TRUE(IsWindowEnabled(FormMain->Handle()));
  EXPECT_TRUE(IsWindowEnabled(FormFloat->Handle()));

  // A picked folder comes without a backslash, a drive root with one.
  for (const std::string Pick : {"C:\\windows", "C:\\"}) {
    Browse(Pick);
    EXPECT_TRUE(Run.Seen) << Pick;
    EXPECT_TRUE(EqualsIgnoringCase(FormMain->FlatEdit2->Text(), Pick))
        << FormMain->FlatEdit2->Text();
  }
  EXPECT_EQ(GrabSettings().SaveFolder(), Pictures);  // until OK
}

// Picks item Index (from 0) of the main window's menu as a user does with
// the keyboard: the menu opens, Down moves to the item, Return picks it. The
// keys are posted to the thread, whose menu loop takes them whichever window
// has the focus; a menu still open a second later is closed.
void PickFromMenu(int Index) {
  TTimer Keys(nullptr);
  int Ticks = 0;
  Keys.SetInterval(150);
  Keys.SetOnTimer([&](TObject*) {
    if (++Ticks == 1) {
      for (int I = 0; I <= Index; ++I) PostMessageA(FormMain->Handle(), WM_KEYDOWN, VK_DOWN, 1);
      PostMessageA(FormMain->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    } else if (Ticks == 8) {
      ADD_FAILURE() << "the menu did not take the keys";
      EndMenu();
    }
  });
  FormMain->PopupMenu1->Popup(400, 400);
}

TEST_F(TFormMainTest, MenuCommandsPickedInTheMenu) {
  WriteSettings(".JPG\r\n0\r\n" + Pictures + "\r\n");
  Start();
  TFormMain& M = *FormMain;
  ASSERT_FALSE(MainShown());

  PickFromMenu(4);  // About
  EXPECT_TRUE(PumpUntil(MainShown));
  EXPECT_TRUE(M.PanelAbout->Visible());
  EXPECT_FALSE(M.PanelSet->Visible());
  EXPECT_EQ(M.Label4->Caption(), "Lumora Version 3.5");
  EXPECT_EQ(GetForegroundWindow(), M.Handle());

  M.FlatButton1Click(M.FlatButton1);  // the minimise glyph
  EXPECT_FALSE(MainShown());
  PickFromMenu(0);  // Set
  EXPECT_TRUE(PumpUntil(MainShown));
  EXPECT_TRUE(M.PanelSet->Visible());
  EXPECT_FALSE(M.PanelAbout->Visible());

  // Show/hide: the first use hides the drop window whatever showed it.
  ASSERT_TRUE(FormFloat->Visible());
  PickFromMenu(3);
  EXPECT_FALSE(FormFloat->Visible());
  EXPECT_TRUE(M.FloatFormHidden());
  FormFloat->Show();  // shown by other means: the toggle does not look
  PickFromMenu(3);
  EXPECT_TRUE(FormFloat->Visible());
  EXPECT_FALSE(M.FloatFormHidden());
  PickFromMenu(3);
  EXPECT_FALSE(FormFloat->Visible());
  PickFromMenu(3);
  EXPECT_TRUE(FormFloat->Visible());

  // A click on the drop window's picture shows the main window.
  M.FlatButton1Click(M.FlatButton1);
  ASSERT_FALSE(MainShown());
  test::SendClick(FormFloat->DovaTranPanel1->Handle(), 10, 10);
  EXPECT_TRUE(PumpUntil(MainShown));

  // Exit shows the main window, then closes it; the close, which would end
  // the program, is only watched here.
  M.FlatButton1Click(M.FlatButton1);
  ASSERT_FALSE(MainShown());
  std::vector<bool> ShownAtClose;
  M.OnClose = [&](TObject*, TCloseAction& Action) {
    ShownAtClose.push_back(MainShown());
    Action = TCloseAction::caNone;
  };
  PickFromMenu(5);
  EXPECT_EQ(ShownAtClose, std::vector<bool>{true});
  EXPECT_TRUE(Messages().empty());
}

TEST_F(TFormMainTest, DraggedByItsPictureWithAnyButton) {
  WriteSettings(".JPG\r\n0\r\n" + Pictures + "\r\n");
  Start();
  TFormMain& M = *FormMain;
  M.ShowMain();
  HWND W = M.Handle();
  auto Send = [&](UINT Msg, WPARAM Keys, int X, int Y) {
    SendMessageA(W, Msg, Keys, MAKELPARAM(X, Y));
  };
  const struct {
    const char* Name;
    UINT Down, Up;
    WPARAM Key;
  } Buttons[] = {{"left", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
                 {"right", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON},
                 {"middle", WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON}};
  for (const auto& B : Buttons) {
    const int Left = M.Left(), Top = M.Top();
    // On the picture, away from every button and panel.
    Send(B.Down, B.Key, 40, 200);
    // The window moves under the pointer, so the next point is measured
    // from where the grabbed point now lies.
    Send(WM_MOUSEMOVE, B.Key, 40 + 25, 200 + 10);
    EXPECT_EQ(M.Left(), Left + 25) << B.Name;
    EXPECT_EQ(M.Top(), Top + 10) << B.Name;
    Send(WM_MOUSEMOVE, B.Key, 40 - 5, 200);
    EXPECT_EQ(M.Left(), Left + 20) << B.Name;
    Send(B.Up, 0, 40 - 5, 200);
    Send(WM_MOUSEMOVE, 0, 40 + 30, 200 + 30);  // released: no more moving
    EXPECT_EQ(M.Left(), Left + 20) << B.Name;
    EXPECT_EQ(M.Top(), Top + 10) << B.Name;
  }
}

// --- one instance -----------------------------------------------------------

// Every caption of the main window, the settings panel and the about panel
// fits its control in the font it is drawn in, measured as the program
// measures text; the size caption's ">" and "k" stay clear of the edit that
// lies over the blanks between them. A wider face than the one the windows
// were laid out for (a font missing on the system) clips them.
TEST_F(TFormMainTest, EveryCaptionFitsItsControl) {
  WriteSettings(".JPG\r\n0\r\n" + Pictures + "\r\n");
  Start();
  TWindowDC Screen = TWindowDC::Client(nullptr);
  ASSERT_TRUE(Screen);
  const auto Extent = [&](const TFont& Font, const std::string& Text) {
    TSelection Selected(Screen.Get(), Font.Handle());
    SIZE S{};
    GetTextExtentPoint32A(Screen.Get(), Text.data(), static_cast<int>(Text.size()), &S);
    return S;
  };
  const auto Trimmed = [](std::string T) {
    while (!T.empty() && T.back() == ' ') T.pop_back();
    return T;
  };

  int Checked = 0;
  for (int I = 0; I < FormMain->ComponentCount(); ++I) {
    auto* C = dynamic_cast<TControl*>(FormMain->Components(I));
    if (!C || Trimmed(C->Caption()).empty()) continue;
    // The room each kind of control gives its caption.
    RECT Room = C->ClientRect();
    if (auto* M = dynamic_cast<TFlatMarkControl*>(C))
      Room = M->CaptionRect();
    else if (dynamic_cast<TFlatButton*>(C))
      InflateRect(&Room, -1, -1);  // inside the flat frame
    else if (dynamic_cast<TFlatEdit*>(C))
      continue;  // its text is the user's, not a caption
    const SIZE S = Extent(C->Font(), Trimmed(C->Caption()));
    EXPECT_LE(S.cx, Room.right - Room.left) << C->Name() << " \"" << C->Caption() << "\"";
    EXPECT_LE(S.cy, Room.bottom - Room.top) << C->Name() << " \"" << C->Caption() << "\"";
    ++Checked;
  }
  EXPECT_EQ(Checked, 18) << "the captions of four commands, seven types, two size choices, "
                            "the today's-web box, three panel buttons and the about line";

  // FlatEdit1 covers the blanks of "Save images of size>                k".
  TFlatRadioButton* Size = FormMain->FlatRadioButton4;
  const std::string Text = Size->Caption();
  const int TextLeft = Size->Left() + Size->CaptionRect().left;  // in the group box
  const int Greater = TextLeft + Extent(Size->Font(), Text.substr(0, Text.find('>') + 1)).cx;
  const int K = TextLeft + Extent(Size->Font(), Text.substr(0, Text.find('k'))).cx;
  EXPECT_LE(Greater, FormMain->FlatEdit1->Left()) << "\">\" under the edit";
  EXPECT_GE(K, FormMain->FlatEdit1->Left() + FormMain->FlatEdit1->Width())
      << "\"k\" under the edit";
}

TEST(SingleInstance, TheWindowOfTheTitleIsRestoredOrBroughtForward) {
  const std::string Title = "lumora-instance-" + test::UniquePrefix();
  EXPECT_FALSE(BringInstanceForward(Title));
  TForm Other(nullptr);
  Other.SetCaption(Title);
  Other.SetBorderStyle(TFormBorderStyle::bsSingle);
  Other.Show();
  ShowWindow(Other.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(Other.Handle()) != 0; }));
  EXPECT_TRUE(BringInstanceForward(Title));
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(Other.Handle()); }));
  TForm Front(nullptr);
  Front.SetBorderStyle(TFormBorderStyle::bsSingle);
  Front.Show();
  SetForegroundWindow(Front.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == Front.Handle(); }));
  EXPECT_TRUE(BringInstanceForward(Title));
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == Other.Handle(); }));
}

// A second start finds the first by the title it had before it renamed its
// own window (which would be found otherwise), brings the first forward,
// never shows its main form and ends its loop before it runs. The loop stays
// ended, which no other test of this program minds: none runs it.
TEST(SingleInstance, ASecondStartBringsTheFirstForwardAndEnds) {
  ASSERT_FALSE(Application().Terminated());
  const std::string OwnTitle = Application().Title();
  const std::string Title = "lumora-first-" + test::UniquePrefix();
  Application().SetTitle(Title);
  Application().SetShowMainForm(true);
  TForm First(nullptr);
  First.SetCaption(Title);
  First.SetBorderStyle(TFormBorderStyle::bsSingle);
  First.Show();
  ShowWindow(First.Handle(), SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(First.Handle()) != 0; }));

  // The first instance's token.
  const HANDLE Token = CreateMutexA(nullptr, FALSE, "RunOnlyOnce_MyProject");
  ASSERT_NE(Token, nullptr);
  EXPECT_FALSE(CheckSingleInstance());
  ReleaseSingleInstance();
  CloseHandle(Token);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(First.Handle()); }));
  EXPECT_EQ(Application().Title(), "destroy me");
  EXPECT_FALSE(Application().ShowMainForm());
  EXPECT_TRUE(Application().Terminated());
  PumpFor(50);  // the quit message, which would end a message box at once
  Application().SetTitle(OwnTitle);
}

}  // namespace
}  // namespace lumora
