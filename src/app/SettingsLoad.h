#pragma once
// The start-up load of the settings file: read its lines, then take the
// types from line 1, the minimum size from line 2 and the folder from line 3,
// in that order. A failing step raises the runtime's message for it, and
// what was taken before it stays taken: a short file still sets the types.

#include <string>
#include <vector>

#include "grab/GrabSettings.h"
#include "grab/LumoraIni.h"

namespace lumora {

// "\task\shuxing.txt" under the program's folder. AppDir ends with a
// backslash already, so the path holds two in a row, which Windows reads
// as one.
std::string SettingsFileName(const std::string& AppDir);

// The lines of the file. Throws ELumoraError "Cannot open file <name>" when
// it cannot be read.
std::vector<std::string> LoadSettingsLines(const std::string& FileName);

// Lines 1 to 3 into Settings: PicTypes, MinSizeK, SaveFolder exactly as it
// stands. Throws ELumoraError "List index out of bounds (<i>)" for a missing
// line i (counted from 0), or "'<text>' is not a valid integer value" for
// line 2, after setting what came before.
void ApplySettingsLines(const std::vector<std::string>& Lines, TGrabSettings& Settings);

// "\task\lumora.ini" under the program's folder, beside the settings file.
std::string LumoraIniFileName(const std::string& AppDir);

// The text of lumora.ini. A file that is not there is an empty text, which
// leaves every setting of it at its default. Throws ELumoraError "Cannot
// open file <name>" when the file is there but cannot be read.
TIniText LoadLumoraIni(const std::string& FileName);

// Stores Values' keys in lumora.ini. The file is read again first, so that
// what other tools wrote into it stays, and then replaced the safe way; it
// is created when it is not there. Throws "Cannot open file <name>" when it
// is there but cannot be read, "Cannot create file <name>" when it cannot be
// written; the file is as it was in both cases.
void SaveLumoraIni(const std::string& FileName, const TGrabSettingsValues& Values);

}  // namespace lumora

namespace lumora {

// What the settings panel holds: the type boxes, the size choice with
// the number typed for it, and the folder as typed. The defaults are the
// panel's design values.
struct TSettingsPanelState {
  bool Jpg = true;
  bool Bmp = true;
  bool Gif = true;
  bool Tif = true;
  bool SizeFilter = false;  // "Save images of size> k" rather than any size
  std::string SizeText = "10";
  std::string Folder = DefaultSaveFolder;
  // The newer types' boxes: off at design, so a panel untouched by any file
  // saves what it always saved.
  bool Png = false;
  bool Webp = false;
  bool Avif = false;
  bool TodaysWeb = false;  // the "today's web" box
};

// The panel as the loaded settings show it: a box is checked when its type's
// name occurs in the types (case-sensitive; see IsPictureTypeEnabled); a size of 0 shows "any
// size" with the design's 10 in the box.
TSettingsPanelState PanelFromSettings(const TGrabSettingsValues& Values);

// The types the boxes enable, in the fixed order .JPG.BMP.GIF.TIF.PNG.WEBP.AVIF.
std::string PicTypesFromPanel(const TSettingsPanelState& Panel);

// The settings that a panel untouched by any file stands for: what the
// program uses when the file cannot be read.
TGrabSettingsValues SettingsFromPanel(const TSettingsPanelState& Panel);

// OK: rebuilds the types, takes the size (only when the size choice is on),
// normalises and creates the folder, takes the today's-web switch, puts the
// three values into lines 1 to 3 and writes the lines to FileName (the
// switch is stored in lumora.ini, by SaveLumoraIni). Each step that fails throws the
// runtime's message for it and leaves the later steps undone: a number that
// is none, "'<text>' is not a valid integer value"; fewer than three lines,
// "List index out of bounds (<i>)"; an unwritable file, "Cannot create file
// <name>".
void CommitSettingsPanel(const TSettingsPanelState& Panel, TGrabSettings& Settings,
                         std::vector<std::string>& Lines, const std::string& FileName);

// Writes every line followed by CR LF, replacing the file the safe way (see
// ReplaceFileContents). Throws "Cannot create file <name>" when it cannot be
// written; the file then holds what it held before, every byte of it.
void SaveSettingsLines(const std::string& FileName, const std::vector<std::string>& Lines);

}  // namespace lumora
