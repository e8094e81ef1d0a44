#include "grab/LumoraIni.h"

#include "sys/AsciiCase.h"

namespace lumora {

namespace {

constexpr std::string_view Blanks = " \t";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view S) {
  const auto First = S.find_first_not_of(Blanks);
  if (First == std::string_view::npos) return {};
  return S.substr(First, S.find_last_not_of(Blanks) - First + 1);
}

// What one line of the text is.
struct TIniLine {
  enum class TKind { Other, Section, Key } Kind = TKind::Other;
  std::string_view Name;   // the section's or the key's
  std::string_view Value;  // a key's
};

TIniLine ParseLine(std::string_view Line, bool First) {
  if (First && Line.substr(0, ByteOrderMark.size()) == ByteOrderMark)
    Line.remove_prefix(ByteOrderMark.size());
  Line = Trim(Line);
  TIniLine R;
  if (Line.empty() || Line[0] == ';' || Line[0] == '#') return R;
  if (Line[0] == '[') {
    R.Kind = TIniLine::TKind::Section;
    R.Name = Trim(Line.substr(1, Line.find(']') - 1));
    return R;
  }
  const auto Equals = Line.find('=');
  if (Equals == std::string_view::npos) return R;
  R.Kind = TIniLine::TKind::Key;
  R.Name = Trim(Line.substr(0, Equals));
  R.Value = Trim(Line.substr(Equals + 1));
  return R;
}

// Where a key stands, or where it would go: the line after the last
// non-blank line of the first section of that name.
struct TKeyPlace {
  bool SectionFound = false;
  bool KeyFound = false;
  std::size_t Line = 0;
};

TKeyPlace FindKey(const std::vector<std::string>& Lines, std::string_view Section,
                  std::string_view Key) {
  TKeyPlace P;
  bool Inside = false, InFirst = false;
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    const TIniLine L = ParseLine(Lines[I], I == 0);
    if (L.Kind == TIniLine::TKind::Section) {
      Inside = SameTextAscii(L.Name, Section);
      InFirst = Inside && !P.SectionFound;
      if (InFirst) {
        P.SectionFound = true;
        P.Line = I + 1;
      }
    } else if (Inside) {
      if (L.Kind == TIniLine::TKind::Key && SameTextAscii(L.Name, Key)) {
        P.KeyFound = true;
        P.Line = I;
        return P;
      }
      if (InFirst && !Trim(Lines[I]).empty()) P.Line = I + 1;
    }
  }
  return P;
}

}  // namespace

TIniText::TIniText(std::string_view Text) {
  std::size_t Start = 0;
  while (Start < Text.size()) {
    const auto End = Text.find_first_of("\r\n", Start);
    if (End == std::string_view::npos) {
      FLines.emplace_back(Text.substr(Start));
      break;
    }
    FLines.emplace_back(Text.substr(Start, End - Start));
    Start = End + (Text.compare(End, 2, "\r\n") == 0 ? 2 : 1);
  }
}

std::optional<std::string> TIniText::Value(std::string_view Section, std::string_view Key) const {
  const TKeyPlace P = FindKey(FLines, Section, Key);
  if (!P.KeyFound) return std::nullopt;
  return std::string(ParseLine(FLines[P.Line], P.Line == 0).Value);
}

void TIniText::SetValue(std::string_view Section, std::string_view Key, std::string_view Value) {
  const TKeyPlace P = FindKey(FLines, Section, Key);
  if (P.KeyFound) {
    // The key as it was written, and the blanks after "=", stay.
    std::string& Line = FLines[P.Line];
    auto Start = Line.find('=') + 1;
    while (Start < Line.size() && Blanks.find(Line[Start]) != std::string_view::npos) ++Start;
    Line.replace(Start, std::string::npos, Value);
    return;
  }
  std::string KeyLine = std::string(Key) + "=" + std::string(Value);
  if (P.SectionFound) {
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(P.Line), std::move(KeyLine));
    return;
  }
  if (!FLines.empty() && !Trim(FLines.back()).empty()) FLines.emplace_back();
  std::string Header(1, '[');
  Header.append(Section).append(1, ']');
  FLines.push_back(std::move(Header));
  FLines.push_back(std::move(KeyLine));
}

std::string TIniText::Text() const {
  std::string Text;
  for (const auto& L : FLines) Text.append(L).append("\r\n");
  return Text;
}

bool IniBool(std::string_view Text, bool& Value) {
  for (const char* On : {"1", "true", "yes", "on"}) {
    if (SameTextAscii(Text, On)) {
      Value = true;
      return true;
    }
  }
  for (const char* Off : {"0", "false", "no", "off"}) {
    if (SameTextAscii(Text, Off)) {
      Value = false;
      return true;
    }
  }
  return false;
}

namespace {

// The keys of [Grab], one entry each: how the text becomes the value (a
// missing key gets the default of TGrabSettingsValues), how the value
// becomes text, and how it reaches the live settings.
struct TGrabKey {
  const char* Name;
  void (*Read)(const std::optional<std::string>& Text, TGrabSettingsValues& Values);
  // Nothing: the key's line, if any, stays as it is.
  std::optional<std::string> (*Write)(const TGrabSettingsValues& Values);
  void (*Publish)(const TGrabSettingsValues& Values, TGrabSettings& Settings);
};

const TGrabKey GrabKeys[] = {
    {"TodaysWeb",
     [](const std::optional<std::string>& Text, TGrabSettingsValues& V) {
       V.TodaysWeb = TGrabSettingsValues().TodaysWeb;
       if (Text) IniBool(*Text, V.TodaysWeb);
     },
     [](const TGrabSettingsValues& V) {
       return std::optional<std::string>(V.TodaysWeb ? "1" : "0");
     },
     [](const TGrabSettingsValues& V, TGrabSettings& S) { S.SetTodaysWeb(V.TodaysWeb); }},
    // The size cap of one picture in MB: a whole number from 1 on, else the
    // default. Written only when it is not the default, so a file that never
    // named it does not gain a line.
    {"MaxPictureMB",
     [](const std::optional<std::string>& Text, TGrabSettingsValues& V) {
       V.MaxPictureMB = DefaultMaxPictureMB;
       if (!Text || Text->empty() || Text->size() > 9) return;
       std::int32_t N = 0;
       for (const char C : *Text) {
         if (C < '0' || C > '9') return;
         N = N * 10 + (C - '0');
       }
       if (N > 0) V.MaxPictureMB = N;
     },
     [](const TGrabSettingsValues& V) {
       return V.MaxPictureMB == DefaultMaxPictureMB || V.MaxPictureMB <= 0
                  ? std::optional<std::string>()
                  : std::optional<std::string>(std::to_string(V.MaxPictureMB));
     },
     [](const TGrabSettingsValues& V, TGrabSettings& S) { S.SetMaxPictureMB(V.MaxPictureMB); }},
};

}  // namespace

void GrabSettingsFromIni(const TIniText& Ini, TGrabSettingsValues& Values) {
  for (const auto& K : GrabKeys) K.Read(Ini.Value(LumoraIniGrabSection, K.Name), Values);
}

void PublishGrabSettingsFromIni(const TIniText& Ini, TGrabSettings& Settings) {
  TGrabSettingsValues Values;
  GrabSettingsFromIni(Ini, Values);
  for (const auto& K : GrabKeys) K.Publish(Values, Settings);
}

void GrabSettingsToIni(const TGrabSettingsValues& Values, TIniText& Ini) {
  for (const auto& K : GrabKeys)
    if (const auto Text = K.Write(Values)) Ini.SetValue(LumoraIniGrabSection, K.Name, *Text);
}

}  // namespace lumora
