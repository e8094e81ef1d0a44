#pragma once
// The start-up load of the settings file: read its lines, then take the
// types from line 1, the minimum size from line 2 and the folder from line 3,
// in that order. A failing step raises the runtime's message for it, and
// what was taken before it stays taken: a short file still sets the types.

#include <string>
#include <vector>

#include "grab/GrabSettings.h"

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

}  // namespace lumora
