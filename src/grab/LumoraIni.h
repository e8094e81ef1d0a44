#pragma once
// lumora.ini: the settings Lumora has beyond the three lines of shuxing.txt,
// which never gains a line. It is an INI text of "[Section]" lines,
// "Key=Value" lines, comments (";" or "#" first) and blank lines.
//
// Reading forgives what hand editing brings: CR LF, LF or CR line ends,
// blanks around names and values, section and key names in any letter case,
// a UTF-8 byte-order mark. The first occurrence of a key counts. Rewriting
// changes only the line of the key it sets (or adds one) and keeps every
// other line, comments and other tools' keys included, as it was.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grab/GrabSettings.h"

namespace lumora {

class TIniText {
 public:
  TIniText() = default;
  explicit TIniText(std::string_view Text);

  // The value of Key in Section, blanks around it removed; nothing when the
  // section or the key is missing.
  std::optional<std::string> Value(std::string_view Section, std::string_view Key) const;
  // Puts Value on the key's line, or adds the key at the end of the section,
  // or adds the section at the end of the text.
  void SetValue(std::string_view Section, std::string_view Key, std::string_view Value);
  // Every line followed by CR LF.
  std::string Text() const;

 private:
  std::vector<std::string> FLines;
};

// "1", "true", "yes", "on" and "0", "false", "no", "off", in any case. False
// for anything else, with Value untouched.
bool IniBool(std::string_view Text, bool& Value);

// The section of lumora.ini that holds the grab settings.
inline constexpr char LumoraIniGrabSection[] = "Grab";

// The keys of [Grab] into Values. A missing key, or a value not understood,
// gives that setting its default: TodaysWeb off.
void GrabSettingsFromIni(const TIniText& Ini, TGrabSettingsValues& Values);
// The same keys into the live settings, each with its own setter.
void PublishGrabSettingsFromIni(const TIniText& Ini, TGrabSettings& Settings);
// Values' keys into [Grab], leaving everything else in the text alone.
void GrabSettingsToIni(const TGrabSettingsValues& Values, TIniText& Ini);

}  // namespace lumora
