/* A custom action of Lumora's installer. An install, upgrade or uninstall
   while Lumora runs could replace or remove only some of its files (the
   running program's own file would wait for a restart), so the installer
   asks first: this sets LUMORA_RUNNING when a Lumora holds its
   one-instance mutex in this session, and then says so and stops the
   installer before it changes anything. */
#include <windows.h>
/* After windows.h, which they need. */
#include <msi.h>
#include <msiquery.h>

/* The name lumora.exe gives the mutex that keeps it to one instance
   (CheckSingleInstance in UnitMain.cpp). */
static const char RunningMutex[] = "RunOnlyOnce_MyProject";

static const char RunningMessage[] =
    "Lumora is running. Close it (right-click its drop window and choose Exit), "
    "then try again.";

__declspec(dllexport) UINT __stdcall LumoraRunning(MSIHANDLE Install) {
  HANDLE Mutex = OpenMutexA(SYNCHRONIZE, FALSE, RunningMutex);
  MSIHANDLE Record;
  if (!Mutex) return ERROR_SUCCESS;
  CloseHandle(Mutex);
  MsiSetPropertyA(Install, "LUMORA_RUNNING", "1");
  /* Shown by the installer's user interface, and written to its log. */
  Record = MsiCreateRecord(1);
  if (Record) {
    MsiRecordSetStringA(Record, 0, RunningMessage);
    MsiProcessMessage(Install, (INSTALLMESSAGE)(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONWARNING),
                      Record);
    MsiCloseHandle(Record);
  }
  return ERROR_INSTALL_FAILURE;
}
