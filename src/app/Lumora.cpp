// The program: one instance per desktop, the main window and then the drop
// window, the message loop, and an orderly end. Jobs and workers still
// running at the end are not waited for; they hold their own shares of what
// they use.

#include <windows.h>

#include <string>

#include "app/FirstRun.h"
#include "app/U_FormFloat.h"
#include "app/UnitMain.h"
#include "ui/Application.h"

using namespace lumora;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (CheckSingleInstance()) {
    // An installed copy brings its supplied settings into place before the
    // main window reads them.
    char Path[MAX_PATH] = {};
    const std::string Exe(Path, GetModuleFileNameA(nullptr, Path, MAX_PATH));
    CopyMissingSettings(Exe.substr(0, Exe.find_last_of('\\') + 1));
  }
  Application().CreateForm(FormMain);
  Application().CreateForm(FormFloat);
  ConnectDropWindow(*FormFloat, *FormMain);
  // Run frees the forms, drop window first, once the loop has ended: the
  // drop window's handlers, which reach the main window, go with it.
  Application().Run();
  ReleaseSingleInstance();
  return 0;
}
