#include "app/UnitMain.h"

#include "app/SettingsLoad.h"
#include "app/U_FormFloat.h"
#include "grab/GrabSettings.h"
#include "ui/Application.h"

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

}  // namespace

const std::string& AppDir() {
  return TheAppDir;
}

bool CheckSingleInstance() {
  SingleInstanceToken = CreateMutexA(nullptr, TRUE, "RunOnlyOnce_MyProject");
  if (GetLastError() != ERROR_ALREADY_EXISTS) return true;
  const std::string Title = Application().Title();
  Application().SetShowMainForm(false);
  // Our own application window must not be the one found.
  Application().SetTitle("destroy me");
  if (HWND Other = FindWindowA(nullptr, Title.c_str())) {
    if (IsIconic(Other))
      ShowWindow(Other, SW_RESTORE);
    else
      SetForegroundWindow(Other);
  }
  Application().Terminate();
  return false;
}

void ReleaseSingleInstance() {
  if (SingleInstanceToken) CloseHandle(SingleInstanceToken);
  SingleInstanceToken = nullptr;
}

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormMain");
  SetBorderStyle(TFormBorderStyle::bsNone);
  SetVisible(false);
  SetCaption("Lumora");

  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  Exit1 = new TMenuItem(this);
  Exit1->SetName("Exit1");
  Exit1->SetCaption("Exit");
  Exit1->OnClick = [this](TObject* S) { Exit1Click(S); };
  PopupMenu1->Items().Add(Exit1);

  Timer1 = new TTimer(this);
  Timer1->SetName("Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetInterval(10);
  Timer1->SetOnTimer([this](TObject* S) { Timer1Timer(S); });

  OnCreate = [this](TObject* S) { FormCreate(S); };
}

void TFormMain::FormCreate(TObject*) {
  // The timer runs first, so that the drop window comes up even when the
  // settings file cannot be read.
  Timer1->SetEnabled(true);
  // The design's folder is made before the file is known; any failure to
  // make it is of no concern.
  try {
    GrabSettings().SetSaveFolder(DefaultSaveFolder);
    GrabSettings().EnsureSaveFolder();
  } catch (...) {
  }
  TheAppDir = ModuleFolder();
  FSettingsLines = LoadSettingsLines(SettingsFileName(TheAppDir));
  ApplySettingsLines(FSettingsLines, GrabSettings());
}

void TFormMain::Timer1Timer(TObject*) {
  Timer1->SetEnabled(false);
  if (FormFloat) FormFloat->Show();
}

void TFormMain::Exit1Click(TObject*) {
  Close();
}

}  // namespace lumora
