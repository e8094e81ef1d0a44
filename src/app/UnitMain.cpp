#include "app/UnitMain.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "LumoraVersion.h"
#include "app/SettingsLoad.h"
#include "app/U_FormFloat.h"
#include "dragdrop/DropTarget.h"
#include "grab/GrabSettings.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/ErrorReport.h"
#include "ui/FontFace.h"

namespace lumora {

TFormMain* FormMain = nullptr;

namespace {

HANDLE SingleInstanceToken = nullptr;
std::string TheAppDir;

std::string ModuleFolder() {
  char Path[MAX_PATH] = {};
  const DWORD N = GetModuleFileNameA(nullptr, Path, MAX_PATH);
  std::string S(Path, N);
  return S.substr(0, S.find_last_of("\\/:") + 1);
}

// Kept whole in the program's data, where the package check finds it: the
// compiler may otherwise build so short a text in code.
[[gnu::used]] constexpr char AboutText[] = "Lumora Version " LUMORA_VERSION_TEXT;
constexpr TColor PanelColour = 16761281;    // red 193, green 193, blue 255
constexpr TColor CommandColour = 16759753;  // red 201, green 187, blue 255
constexpr TColor FocusedColour = 16749480;  // red 168, green 147, blue 255
constexpr TColor MinimizeGlyphColour = 16763610;

void UsePanelFont(TControl* C) {
  C->Font().SetName("MS Sans Serif");
  C->Font().SetHeight(15);
  C->Font().SetColor(clGray);
}

// Memory of the shell's allocator, given back when it goes.
struct TShellFree {
  IMalloc* Malloc;
  void operator()(void* P) const {
    if (P) Malloc->Free(P);
  }
};
template <class T>
using TShellMemory = std::unique_ptr<T, TShellFree>;

}  // namespace

const std::string& AppDir() {
  return TheAppDir;
}

bool BringInstanceForward(const std::string& Title) {
  HWND Other = FindWindowA(nullptr, Title.c_str());
  if (!Other) return false;
  if (IsIconic(Other))
    ShowWindow(Other, SW_RESTORE);
  else
    SetForegroundWindow(Other);
  return true;
}

bool CheckSingleInstance() {
  SingleInstanceToken = CreateMutexA(nullptr, TRUE, "RunOnlyOnce_MyProject");
  if (GetLastError() != ERROR_ALREADY_EXISTS) return true;
  const std::string Title = Application().Title();
  Application().SetShowMainForm(false);
  // Our own application window must not be the one found.
  Application().SetTitle("destroy me");
  BringInstanceForward(Title);
  Application().Terminate();
  return false;
}

void ReleaseSingleInstance() {
  if (SingleInstanceToken) CloseHandle(SingleInstanceToken);
  SingleInstanceToken = nullptr;
}

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner) {
  // Before any of its fonts is made: where the system lacks the face the
  // window is laid out for (Wine without Microsoft's fonts), Wine's own copy
  // of it, put beside the program by the build, is taken instead of a wider
  // face that would clip the captions.
  ProvideFontFace("MS Sans Serif", ModuleFolder() + "sserife.fon");
  SetName("FormMain");
  SetCaption("FormMain");
  SetVisible(false);
  SetBounds(189, 136, 812, 493);
  // Only the skin shows of the form itself; its colour is what the close
  // glyph's button takes as its own, the same as the minimise glyph's.
  SetParentColor(false);
  SetColor(MinimizeGlyphColour);

  using namespace std::placeholders;
  auto Notify = [this](void (TFormMain::*Handler)(TObject*)) {
    return [this, Handler](TObject* S) { (this->*Handler)(S); };
  };

  Image1 = new TImage(this);
  Image1->SetName("Image1");
  Image1->SetBounds(0, 0, 354, 228);
  {
    TBitmap Skin;
    Skin.LoadFromResource(GetModuleHandleA(nullptr), "MAINSKIN");
    Image1->SetPicture(Skin);
  }
  Image1->SetParent(this);
  for (TControl* C : {static_cast<TControl*>(this), static_cast<TControl*>(Image1)}) {
    C->OnMouseDown = std::bind(&TFormMain::DragMouseDown, this, _1, _2, _3, _4, _5);
    C->OnMouseMove = std::bind(&TFormMain::DragMouseMove, this, _1, _2, _3, _4);
    C->OnMouseUp = std::bind(&TFormMain::DragMouseUp, this, _1, _2, _3, _4, _5);
  }

  auto MakeButton = [&](TFlatButton*& B, const char* Name, TWinControl* Parent, int X, int Y, int W,
                        int H, const char* Caption) {
    B = new TFlatButton(this);
    B->SetName(Name);
    B->SetBounds(X, Y, W, H);
    B->SetCaption(Caption);
    B->SetParent(Parent);
  };
  auto Command = [&](TFlatButton*& B, const char* Name, int Y, const char* Caption,
                     const char* Hint, void (TFormMain::*Handler)(TObject*)) {
    MakeButton(B, Name, this, 19, Y, 45, 21, Caption);
    B->SetColor(CommandColour);
    B->SetColorFocused(FocusedColour);
    UsePanelFont(B);
    B->SetHint(Hint);
    B->SetShowHint(true);
    B->OnClick = Notify(Handler);
  };
  Command(ButtonSet, "ButtonSet", 48, "Set", "Set", &TFormMain::ButtonSetClick);
  ButtonSet->SetColorDown(CommandColour);
  Command(ButtonFolder, "ButtonFolder", 74, "Folder", "Open the folder where images saved",
          &TFormMain::ButtonFolderClick);
  Command(ButtonHelp, "ButtonHelp", 100, "Help", "Get help information",
          &TFormMain::ButtonHelpClick);
  Command(ButtonAbout, "ButtonAbout", 154, "About", "About Lumora", &TFormMain::ButtonAboutClick);

  MakeButton(FlatButton1, "FlatButton1", this, 303, 16, 17, 17, "");
  FlatButton1->SetColor(MinimizeGlyphColour);
  MakeButton(FlatButton2, "FlatButton2", this, 320, 16, 17, 17, "");
  for (auto [B, Resource] :
       {std::pair{FlatButton1, "GLYPHMINIMIZE"}, {FlatButton2, "GLYPHCLOSE"}}) {
    TBitmap Glyph;
    Glyph.LoadFromResource(GetModuleHandleA(nullptr), Resource);
    B->SetGlyph(&Glyph);
  }
  FlatButton1->OnClick = Notify(&TFormMain::FlatButton1Click);
  FlatButton2->OnClick = Notify(&TFormMain::FlatButton2Click);

  // The settings panel.
  PanelSet = new TFlatPanel(this);
  PanelSet->SetName("PanelSet");
  PanelSet->SetBounds(72, 35, 265, 180);
  PanelSet->SetParentColor(false);
  PanelSet->SetColor(PanelColour);
  PanelSet->SetColorHighLight(PanelColour);
  PanelSet->SetColorShadow(PanelColour);
  PanelSet->SetParent(this);

  auto Group = [&](TFlatGroupBox*& G, const char* Name, int X) {
    G = new TFlatGroupBox(this);
    G->SetName(Name);
    G->SetBounds(X, 16, X == 5 ? 68 : 186, 81);
    G->SetParent(PanelSet);
  };
  Group(FlatGroupBox2, "FlatGroupBox2", 5);
  Group(FlatGroupBox3, "FlatGroupBox3", 75);
  // The size choice needs only its upper half; the lower half holds the
  // newer types, their row in line with TIF's.
  FlatGroupBox3->SetHeight(61);
  FlatGroupBox4 = new TFlatGroupBox(this);
  FlatGroupBox4->SetName("FlatGroupBox4");
  FlatGroupBox4->SetBounds(75, 78, 186, 19);
  FlatGroupBox4->SetParent(PanelSet);
  TFlatCheckBox** Boxes[] = {&FlatCheckBox1, &FlatCheckBox2, &FlatCheckBox3, &FlatCheckBox4};
  const char* const Types[] = {"JPG", "BMP", "GIF", "TIF"};
  const char* const BoxNames[] = {"FlatCheckBox1", "FlatCheckBox2", "FlatCheckBox3",
                                  "FlatCheckBox4"};
  for (int I = 0; I < 4; ++I) {
    auto* B = *Boxes[I] = new TFlatCheckBox(this);
    B->SetName(BoxNames[I]);
    B->SetBounds(5, 8 + 16 * I, 40, 17);
    B->SetCaption(Types[I]);
    B->SetChecked(true);
    UsePanelFont(B);
    B->SetParent(FlatGroupBox2);
  }
  TFlatCheckBox** NewBoxes[] = {&FlatCheckBox6, &FlatCheckBox7, &FlatCheckBox8};
  const char* const NewTypes[] = {"PNG", "WEBP", "AVIF"};
  const char* const NewBoxNames[] = {"FlatCheckBox6", "FlatCheckBox7", "FlatCheckBox8"};
  for (int I = 0; I < 3; ++I) {
    auto* B = *NewBoxes[I] = new TFlatCheckBox(this);
    B->SetName(NewBoxNames[I]);
    B->SetBounds(8 + 60 * I, 1, 56, 17);
    B->SetCaption(NewTypes[I]);
    UsePanelFont(B);
    B->SetParent(FlatGroupBox4);
  }
  FlatRadioButton3 = new TFlatRadioButton(this);
  FlatRadioButton3->SetName("FlatRadioButton3");
  FlatRadioButton3->SetBounds(8, 16, 161, 17);
  FlatRadioButton3->SetCaption("Save images of any size");
  UsePanelFont(FlatRadioButton3);
  FlatRadioButton3->SetParent(FlatGroupBox3);
  FlatRadioButton4 = new TFlatRadioButton(this);
  FlatRadioButton4->SetName("FlatRadioButton4");
  FlatRadioButton4->SetBounds(8, 40, 177, 17);
  FlatRadioButton4->SetCaption("Save images of size>                k  ");
  UsePanelFont(FlatRadioButton4);
  FlatRadioButton4->SetParent(FlatGroupBox3);
  FlatRadioButton3->SetChecked(true);

  auto Edit = [&](TFlatEdit*& E, const char* Name, TWinControl* Parent, int X, int Y, int W,
                  const char* Text) {
    E = new TFlatEdit(this);
    E->SetName(Name);
    E->SetBounds(X, Y, W, 19);
    E->SetText(Text);
    E->SetColorFlat(PanelColour);
    E->SetParentColor(true);
    UsePanelFont(E);
    E->SetParent(Parent);
  };
  // Over the run of blanks in the size caption, between the ">" and the "k".
  Edit(FlatEdit1, "FlatEdit1", FlatGroupBox3, 128, 32, 41, "10");
  FlatEdit1->BringToFront();
  MakeButton(FlatButton3, "FlatButton3", PanelSet, 5, 104, 73, 20, "Save to folder");
  FlatButton3->SetColor(CommandColour);
  Edit(FlatEdit2, "FlatEdit2", PanelSet, 80, 104, 180, DefaultSaveFolder);
  // Between the folder row and the buttons, in line with the boxes above.
  FlatCheckBox5 = new TFlatCheckBox(this);
  FlatCheckBox5->SetName("FlatCheckBox5");
  FlatCheckBox5->SetBounds(10, 125, 245, 17);
  FlatCheckBox5->SetCaption("Today's web (https, redirects)");
  UsePanelFont(FlatCheckBox5);
  FlatCheckBox5->SetParent(PanelSet);
  MakeButton(FlatButton6, "FlatButton6", PanelSet, 40, 144, 60, 21, "OK");
  MakeButton(FlatButton7, "FlatButton7", PanelSet, 144, 144, 60, 21, "Cancel");
  for (TFlatButton* B : {FlatButton3, FlatButton6, FlatButton7}) {
    B->SetColorFocused(FocusedColour);
    UsePanelFont(B);
  }
  FlatButton3->OnClick = Notify(&TFormMain::FlatButton3Click);
  FlatButton6->OnClick = Notify(&TFormMain::FlatButton6Click);
  FlatButton7->OnClick = Notify(&TFormMain::FlatButton7Click);
  SetActiveControl(FlatCheckBox4);

  // The about panel; FormCreate lays it over the settings panel.
  PanelAbout = new TFlatPanel(this);
  PanelAbout->SetName("PanelAbout");
  PanelAbout->SetBounds(72, 240, 265, 180);
  PanelAbout->SetParentColor(false);
  PanelAbout->SetColor(PanelColour);
  PanelAbout->SetColorHighLight(PanelColour);
  PanelAbout->SetColorShadow(PanelColour);
  PanelAbout->SetParent(this);
  Label4 = new TLabel(this);
  Label4->SetName("Label4");
  Label4->SetAutoSize(false);
  Label4->SetBounds(24, 64, 224, 16);
  Label4->SetCaption(AboutText);
  Label4->SetTransparent(true);
  Label4->Font().SetName("MS Sans Serif");
  Label4->Font().SetStyle(fsBold);
  Label4->Font().SetPitch(fpFixed);
  Label4->Font().SetHeight(-13);
  Label4->Font().SetColor(clGray);
  Label4->SetParent(PanelAbout);

  // The menu, shared with the drop window.
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  auto Item = [&](TMenuItem*& M, const char* Name, const char* Caption,
                  void (TFormMain::*Handler)(TObject*)) {
    M = new TMenuItem(this);
    M->SetName(Name);
    M->SetCaption(Caption);
    M->OnClick = Notify(Handler);
    PopupMenu1->Items().Add(M);
  };
  Item(Set1, "Set1", "Set", &TFormMain::Set1Click);
  Item(Exit1, "Exit1", "Folder", &TFormMain::Exit1Click);
  Item(Help1, "Help1", "Help", &TFormMain::Help1Click);
  Item(flatform, "flatform", "Show/hide floatform", &TFormMain::flatformClick);
  Item(About1, "About1", "About", &TFormMain::About1Click);
  Item(Exit2, "Exit2", "Exit", &TFormMain::Exit2Click);

  CoolTrayIcon1 = new TCoolTrayIcon(this);
  CoolTrayIcon1->SetName("CoolTrayIcon1");
  CoolTrayIcon1->SetHint("Lumora");
  {
    TIcon Icon;
    Icon.LoadFromResource(GetModuleHandleA(nullptr), "MAINICON", 32, 32);
    CoolTrayIcon1->SetIcon(Icon);
  }
  CoolTrayIcon1->SetIconIndex(0);
  CoolTrayIcon1->SetCycleInterval(0);
  CoolTrayIcon1->SetPopupMenu(PopupMenu1);
  CoolTrayIcon1->SetStartMinimized(true);
  CoolTrayIcon1->SetMinimizeToTray(true);
  CoolTrayIcon1->OnClick = Notify(&TFormMain::CoolTrayIcon1Click);
  CoolTrayIcon1->OnDblClick = Notify(&TFormMain::CoolTrayIcon1DblClick);

  Timer1 = new TTimer(this);
  Timer1->SetName("Timer1");
  Timer1->SetInterval(10);
  Timer1->SetOnTimer(Notify(&TFormMain::Timer1Timer));
  Timer1->SetEnabled(true);

  OnCreate = Notify(&TFormMain::FormCreate);
  OnDestroy = Notify(&TFormMain::FormDestroy);
}

void TFormMain::FormCreate(TObject*) {
  LoadSettings();
  PanelAbout->SetVisible(false);
  PanelAbout->SetBounds(PanelSet->Left(), PanelSet->Top(), PanelSet->Width(), PanelSet->Height());
  // A new border style makes the window anew, so it comes before the
  // outline, which must be set on the final window.
  SetBorderStyle(TFormBorderStyle::bsNone);
  Image1->SetAutoSize(true);
  // The system owns the region once it is set.
  if (TRegionHandle Region = BuildWindowRegion(Image1))
    SetWindowRgn(Handle(), Region.Release(), TRUE);
}

void TFormMain::LoadSettings() {
  // The design's folder is made before the file is known; any failure to
  // make it is of no concern.
  try {
    std::string Folder = FlatEdit2->Text();
    EnsureSaveFolder(Folder);
    GrabSettings().SetSaveFolder(Folder);
  } catch (...) {
  }
  FSettingsLines.clear();
  TheAppDir = ModuleFolder();
  try {
    FSettingsLines = LoadSettingsLines(SettingsFileName(TheAppDir));
    ApplySettingsLines(FSettingsLines, GrabSettings());
    SetPanelState(PanelFromSettings(GrabSettings().Snapshot()));
  } catch (...) {
    // The user is told; the program goes on with what the panel shows, so
    // that what is on screen is what a grab uses.
    HandleException();
    GrabSettings().Assign(SettingsFromPanel(PanelState()));
  }
  // lumora.ini on its own: a fault in either file leaves the other's values.
  try {
    PublishGrabSettingsFromIni(LoadLumoraIni(LumoraIniFileName(TheAppDir)), GrabSettings());
  } catch (...) {
    // Its settings at their defaults, as with no file: the design's grab.
    HandleException();
    PublishGrabSettingsFromIni(TIniText(), GrabSettings());
  }
  FlatCheckBox5->SetChecked(GrabSettings().TodaysWeb());
}

void TFormMain::FormDestroy(TObject*) {
  FSettingsLines.clear();
}

TRegionHandle TFormMain::BuildWindowRegion(TImage* Image) {
  const int W = Image->Width();
  const int H = Image->Height();
  TRegionHandle Result;
  if (W <= 0 || H <= 0 || Image->Picture().Empty()) return Result;
  HDC DC = Image->Picture().Canvas().Handle();
  const COLORREF Key = GetPixel(DC, 0, 0);
  for (int Y = 0; Y < H; ++Y) {
    int X = 0;
    while (X < W) {
      while (X < W && GetPixel(DC, X, Y) == Key) ++X;
      if (X == W) break;
      const int Start = X;
      while (X < W && GetPixel(DC, X, Y) != Key) ++X;
      TRegionHandle Run(CreateRectRgn(Start, Y, X, Y + 1));
      if (!Result)
        Result = std::move(Run);
      else
        CombineRgn(Result.Get(), Result.Get(), Run.Get(), RGN_OR);
    }
  }
  return Result;
}

void TFormMain::ShowMain() {
  CoolTrayIcon1->ShowMainWindow();
  SetForegroundWindow(Handle());
}

TSettingsPanelState TFormMain::PanelState() {
  TSettingsPanelState S;
  S.Jpg = FlatCheckBox1->Checked();
  S.Bmp = FlatCheckBox2->Checked();
  S.Gif = FlatCheckBox3->Checked();
  S.Tif = FlatCheckBox4->Checked();
  S.Png = FlatCheckBox6->Checked();
  S.Webp = FlatCheckBox7->Checked();
  S.Avif = FlatCheckBox8->Checked();
  S.SizeFilter = !FlatRadioButton3->Checked();
  S.SizeText = FlatEdit1->Text();
  S.Folder = FlatEdit2->Text();
  S.TodaysWeb = FlatCheckBox5->Checked();
  return S;
}

void TFormMain::SetPanelState(const TSettingsPanelState& S) {
  FlatCheckBox1->SetChecked(S.Jpg);
  FlatCheckBox2->SetChecked(S.Bmp);
  FlatCheckBox3->SetChecked(S.Gif);
  FlatCheckBox4->SetChecked(S.Tif);
  FlatCheckBox6->SetChecked(S.Png);
  FlatCheckBox7->SetChecked(S.Webp);
  FlatCheckBox8->SetChecked(S.Avif);
  (S.SizeFilter ? FlatRadioButton4 : FlatRadioButton3)->SetChecked(true);
  FlatEdit1->SetText(S.SizeText);
  FlatEdit2->SetText(S.Folder);
  FlatCheckBox5->SetChecked(S.TodaysWeb);
}

void TFormMain::Timer1Timer(TObject*) {
  Timer1->SetEnabled(false);
  if (FormFloat) FormFloat->Show();
  CoolTrayIcon1->HideMainWindow();
}

void TFormMain::DragMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  DragActive = true;
  DragOriginX = X;
  DragOriginY = Y;
}

void TFormMain::DragMouseMove(TObject*, TShiftState, int X, int Y) {
  if (DragActive) SetBounds(Left() + X - DragOriginX, Top() + Y - DragOriginY, Width(), Height());
}

void TFormMain::DragMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  DragActive = false;
}

void TFormMain::ShowTrayWarning(const std::string& Text) {
  CoolTrayIcon1->ShowBalloon("Lumora", Text, NIIF_WARNING);
}

void ConnectDropWindow(TFormFloat& Float, TFormMain& Main) {
  Float.SetPopup(Main.PopupMenu1);
  Float.OnShowMainWindow = [&Main](TObject*) { Main.ShowMain(); };
  Float.OnSaveFolderFailed = [&Main](const std::string& Text) { Main.ShowTrayWarning(Text); };
}

void TFormMain::CoolTrayIcon1Click(TObject*) {
  ShowMain();
}

void TFormMain::CoolTrayIcon1DblClick(TObject*) {
  ShowMain();
}

void TFormMain::ButtonSetClick(TObject*) {
  PanelSet->SetVisible(true);
  PanelAbout->SetVisible(false);
}

void TFormMain::ButtonAboutClick(TObject*) {
  Label4->SetCaption(AboutText);
  PanelAbout->SetVisible(true);
  PanelSet->SetVisible(false);
}

void TFormMain::ButtonFolderClick(TObject*) {
  ShellExecuteA(GetDesktopWindow(), nullptr, GrabSettings().SaveFolder().c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

void TFormMain::ButtonHelpClick(TObject*) {
  ShellExecuteA(nullptr, nullptr, (TheAppDir + "help.chm").c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

void TFormMain::FlatButton1Click(TObject*) {
  CoolTrayIcon1->HideMainWindow();
}

void TFormMain::FlatButton2Click(TObject*) {
  Close();
}

void TFormMain::FlatButton6Click(TObject*) {
  CommitSettingsPanel(PanelState(), GrabSettings(), FSettingsLines, SettingsFileName(TheAppDir));
  SaveLumoraIni(LumoraIniFileName(TheAppDir), GrabSettings().Snapshot());
  CoolTrayIcon1->HideMainWindow();
}

void TFormMain::FlatButton7Click(TObject*) {
  CoolTrayIcon1->HideMainWindow();
}

void TFormMain::FlatButton3Click(TObject*) {
  TComPtr<IMalloc> Malloc;
  if (FAILED(SHGetMalloc(Malloc.Put()))) return;
  const TShellFree Free{Malloc.Get()};
  // The root is "My computer" if the shell can parse that name, else the
  // desktop.
  TShellMemory<ITEMIDLIST> Root(nullptr, Free);
  TComPtr<IShellFolder> Desktop;
  if (SUCCEEDED(SHGetDesktopFolder(Desktop.Put()))) {
    wchar_t Name[] = L"My computer";
    LPITEMIDLIST Parsed = nullptr;
    if (SUCCEEDED(Desktop->ParseDisplayName(nullptr, nullptr, Name, nullptr, &Parsed, nullptr)))
      Root.reset(Parsed);
  }
  TShellMemory<char> DisplayName(static_cast<char*>(Malloc->Alloc(MAX_PATH)), Free);
  if (!DisplayName) return;
  BROWSEINFOA Info{};
  Info.hwndOwner = Application().Handle();
  Info.pidlRoot = Root.get();
  Info.pszDisplayName = DisplayName.get();
  Info.lpszTitle = "Save to folder";
  Info.ulFlags = BIF_RETURNONLYFSDIRS;
  TShellMemory<ITEMIDLIST> Picked(nullptr, Free);
  {
    // The rest of the program waits while the dialog is open.
    const TTaskWindowsDisabler Disabled;
    Picked.reset(SHBrowseForFolderA(&Info));
  }
  char Path[MAX_PATH] = {};
  if (Picked && SHGetPathFromIDListA(Picked.get(), Path)) FlatEdit2->SetText(Path);
}

void TFormMain::Set1Click(TObject*) {
  ShowMain();
  ButtonSetClick(ButtonSet);
}

void TFormMain::Exit1Click(TObject*) {
  ButtonFolderClick(ButtonFolder);
}

void TFormMain::Help1Click(TObject*) {
  ButtonHelpClick(ButtonHelp);
}

void TFormMain::About1Click(TObject*) {
  ShowMain();
  ButtonAboutClick(ButtonAbout);
}

void TFormMain::flatformClick(TObject*) {
  if (!FormFloat) return;
  if (FFloatFormHidden) {
    FormFloat->Show();
    FFloatFormHidden = false;
  } else {
    FormFloat->Hide();
    FFloatFormHidden = true;
  }
}

void TFormMain::Exit2Click(TObject*) {
  ShowMain();
  Close();
}

}  // namespace lumora
