#pragma once
// The main window's unit: the single-instance token, the program's folder,
// and the main window. The window is borderless and cut to the outline of
// its skin picture; it carries the command buttons, the settings panel and
// the about panel in one rectangle, and owns the tray icon with the menu
// that the drop window shows too. It is hidden most of the time: the tray
// icon and the drop window bring it up, OK, Cancel and the minimise glyph
// send it back to the tray.

#include <windows.h>

#include <string>
#include <vector>

#include "tray/CoolTrayIcon.h"
#include "ui/Form.h"
#include "ui/GdiObjects.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Menus.h"
#include "ui/Timer.h"
#include "widgets/TFlatButtonUnit.h"
#include "widgets/TFlatCheckBoxUnit.h"
#include "widgets/TFlatEditUnit.h"
#include "widgets/TFlatGroupBoxUnit.h"
#include "widgets/TFlatPanelUnit.h"
#include "widgets/TFlatRadioButtonUnit.h"

namespace lumora {

struct TSettingsPanelState;
class TFormFloat;

class TFormMain : public TForm {
 public:
  explicit TFormMain(TComponent* AOwner);

  TImage* Image1;
  TFlatButton* ButtonSet;
  TFlatButton* ButtonFolder;
  TFlatButton* ButtonHelp;
  TFlatButton* ButtonAbout;
  TFlatButton* FlatButton1;  // minimise glyph
  TFlatButton* FlatButton2;  // close glyph

  // The settings panel.
  TFlatPanel* PanelSet;
  TFlatGroupBox* FlatGroupBox2;
  TFlatCheckBox* FlatCheckBox1;
  TFlatCheckBox* FlatCheckBox2;
  TFlatCheckBox* FlatCheckBox3;
  TFlatCheckBox* FlatCheckBox4;
  TFlatGroupBox* FlatGroupBox3;
  // The newer types, in a frame of their own under the size choice: the
  // first frame has no room for them at the panel's font.
  TFlatGroupBox* FlatGroupBox4;
  TFlatCheckBox* FlatCheckBox6;  // PNG
  TFlatCheckBox* FlatCheckBox7;  // WEBP
  TFlatCheckBox* FlatCheckBox8;  // AVIF
  TFlatRadioButton* FlatRadioButton3;
  TFlatRadioButton* FlatRadioButton4;
  TFlatEdit* FlatEdit1;
  TFlatButton* FlatButton3;
  TFlatEdit* FlatEdit2;
  TFlatCheckBox* FlatCheckBox5;  // "today's web", kept in lumora.ini
  TFlatButton* FlatButton6;
  TFlatButton* FlatButton7;

  TFlatPanel* PanelAbout;
  TLabel* Label4;

  TCoolTrayIcon* CoolTrayIcon1;
  TPopupMenu* PopupMenu1;
  TMenuItem* Set1;
  TMenuItem* Exit1;  // "Folder"
  TMenuItem* Help1;
  TMenuItem* flatform;
  TMenuItem* About1;
  TMenuItem* Exit2;  // "Exit"
  TTimer* Timer1;

  // The settings file's lines, kept so that OK carries lines after the
  // third along.
  const std::vector<std::string>& SettingsLines() const { return FSettingsLines; }
  bool FloatFormHidden() const { return FFloatFormHidden; }

  // The outline of a picture: every run of pixels that differ from its
  // top-left pixel, row by row. Null when every pixel has that colour or
  // the picture has no pixels.
  static TRegionHandle BuildWindowRegion(TImage* Image);

  // ShowMainWindow of the tray icon, then the window to the front.
  void ShowMain();
  // Text in a warning balloon titled "Lumora" at the tray icon.
  void ShowTrayWarning(const std::string& Text);

  // The panel's controls as one value, and back.
  TSettingsPanelState PanelState();
  void SetPanelState(const TSettingsPanelState& State);

  // The handlers, public so that the drop window and tests reach the same
  // commands that the menu and the buttons run.
  void ButtonSetClick(TObject* Sender);
  void ButtonFolderClick(TObject* Sender);
  void ButtonHelpClick(TObject* Sender);
  void ButtonAboutClick(TObject* Sender);
  void FlatButton1Click(TObject* Sender);
  void FlatButton2Click(TObject* Sender);
  void FlatButton3Click(TObject* Sender);
  void FlatButton6Click(TObject* Sender);
  void FlatButton7Click(TObject* Sender);
  void Set1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void Help1Click(TObject* Sender);
  void flatformClick(TObject* Sender);
  void About1Click(TObject* Sender);
  void Exit2Click(TObject* Sender);
  void CoolTrayIcon1Click(TObject* Sender);
  void CoolTrayIcon1DblClick(TObject* Sender);

 private:
  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void LoadSettings();
  // One drag state for the form and its picture; any button drags.
  void DragMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void DragMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void DragMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  std::vector<std::string> FSettingsLines;
  bool DragActive = false;
  int DragOriginX = 0;
  int DragOriginY = 0;
  bool FFloatFormHidden = false;
};

extern TFormMain* FormMain;

// Joins the drop window to the main window as the program does: the main
// window's menu on the picture, a click bringing the main window up, and
// the drop window's warnings shown at the main window's tray icon.
void ConnectDropWindow(TFormFloat& Float, TFormMain& Main);

// The program's own folder, ending with a backslash.
const std::string& AppDir();

// The single-instance check, made once before any window exists: a second
// instance titles itself "destroy me", brings the first one forward and asks
// its own loop to end at once. Returns false in a second instance.
bool CheckSingleInstance();
// Restores the top-level window titled Title if it is minimised, or else
// brings it to the front; false when there is none.
bool BringInstanceForward(const std::string& Title);
// Closes the token at the end of the program.
void ReleaseSingleInstance();

}  // namespace lumora
