#pragma once
// The main window's unit: the single-instance token, the program's folder,
// and the main window. In this first cut the main window stays hidden: it
// loads the settings at start-up, owns the right-button menu that the drop
// window shows, and shows the drop window once the loop runs. Its skinned
// face, settings panel and tray icon come later.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Form.h"
#include "ui/Menus.h"
#include "ui/Timer.h"

namespace lumora {

class TFormMain : public TForm {
 public:
  explicit TFormMain(TComponent* AOwner);

  TPopupMenu* PopupMenu1;
  TMenuItem* Exit1;
  TTimer* Timer1;

  // The settings file's lines, kept so that a later save can carry lines
  // after the third along.
  const std::vector<std::string>& SettingsLines() const { return FSettingsLines; }

 private:
  void FormCreate(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void Exit1Click(TObject* Sender);

  std::vector<std::string> FSettingsLines;
};

extern TFormMain* FormMain;

// The program's own folder, ending with a backslash.
const std::string& AppDir();

// The single-instance check, made once before any window exists: a second
// instance titles itself "destroy me", brings the first one forward and asks
// its own loop to end at once. Returns false in a second instance.
bool CheckSingleInstance();
// Closes the token at the end of the program.
void ReleaseSingleInstance();

}  // namespace lumora
