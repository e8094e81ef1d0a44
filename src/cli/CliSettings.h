#pragma once
// The settings files as the command-line tools read them: the three lines of
// --settings FILE and, when a lumora.ini stands beside FILE, its [Grab] keys
// (today's web), as the program reads both from its task folder.

#include <string>

#include "grab/GrabSettings.h"

namespace lumora {

// lumora.ini in the folder of SettingsPath.
std::string LumoraIniBeside(const std::string& SettingsPath);

// Reads SettingsPath into Values, then lumora.ini beside it if there is one
// (without it the switch stays off). False, with the reason in Problem, when
// either file cannot be read or the settings file is unusable.
bool ReadSettingsFiles(const std::string& SettingsPath, TGrabSettingsValues& Values,
                       std::string& Problem);

// The words the summary ends its folder with: " (today's web)" when the
// switch is on, nothing when it is off.
const char* TodaysWebNote(const TGrabSettingsValues& Values);

}  // namespace lumora
