#pragma once
// The text rules of the three-line settings file: line 1 the enabled types,
// line 2 the minimum size in kilobytes, line 3 the save folder, anything
// after that carried along. Reading splits at CR LF, a lone CR or a lone LF;
// a NUL ends the text. Writing ends every line with CR LF.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "grab/GrabSettings.h"

namespace lumora {

std::vector<std::string> SplitSettingsLines(std::string_view Text);
std::string JoinSettingsLines(const std::vector<std::string>& Lines);

// A signed 32-bit whole number as the runtime reads one: leading blanks, an
// optional sign, then decimal digits, or "$" or "0x" and hexadecimal digits.
// False for anything else, trailing blanks and out-of-range values included.
bool StrToInt(std::string_view Text, std::int32_t& Value);

// Reads the values from the lines of a settings file. False, with the reason
// in Problem and Values untouched, when there are fewer than three lines or
// the second is no number. The folder is taken exactly as it stands.
bool SettingsFromLines(const std::vector<std::string>& Lines, TGrabSettingsValues& Values,
                       std::string& Problem);

}  // namespace lumora
