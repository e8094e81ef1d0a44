#include "grab/SettingsFile.h"

namespace lumora {

std::vector<std::string> SplitSettingsLines(std::string_view Text) {
  Text = Text.substr(0, Text.find('\0'));
  std::vector<std::string> Lines;
  std::size_t Start = 0;
  while (Start < Text.size()) {
    const auto End = Text.find_first_of("\r\n", Start);
    if (End == std::string_view::npos) {
      Lines.emplace_back(Text.substr(Start));
      break;
    }
    Lines.emplace_back(Text.substr(Start, End - Start));
    Start = End + (Text.compare(End, 2, "\r\n") == 0 ? 2 : 1);
  }
  return Lines;
}

std::string JoinSettingsLines(const std::vector<std::string>& Lines) {
  std::string Text;
  for (const auto& L : Lines) Text.append(L).append("\r\n");
  return Text;
}

bool StrToInt(std::string_view Text, std::int32_t& Value) {
  std::size_t I = 0;
  while (I < Text.size() && Text[I] == ' ') ++I;
  bool Negative = false;
  if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) Negative = Text[I++] == '-';
  unsigned Base = 10;
  if (I < Text.size() && Text[I] == '$') {
    Base = 16;
    ++I;
  } else if (Text.compare(I, 2, "0x") == 0 || Text.compare(I, 2, "0X") == 0) {
    Base = 16;
    I += 2;
  }
  if (I == Text.size()) return false;
  std::int64_t N = 0;
  for (; I < Text.size(); ++I) {
    const char C = Text[I];
    unsigned D;
    if (C >= '0' && C <= '9')
      D = static_cast<unsigned>(C - '0');
    else if (Base == 16 && C >= 'a' && C <= 'f')
      D = static_cast<unsigned>(C - 'a' + 10);
    else if (Base == 16 && C >= 'A' && C <= 'F')
      D = static_cast<unsigned>(C - 'A' + 10);
    else
      return false;
    N = N * Base + D;
    if (N > static_cast<std::int64_t>(INT32_MAX) + 1) return false;
  }
  if (Negative) N = -N;
  if (N > INT32_MAX) return false;
  Value = static_cast<std::int32_t>(N);
  return true;
}

bool SettingsFromLines(const std::vector<std::string>& Lines, TGrabSettingsValues& Values,
                       std::string& Problem) {
  if (Lines.size() < 3) {
    Problem = "it has " + std::to_string(Lines.size()) +
              " lines; it needs three: types, minimum size, folder";
    return false;
  }
  std::int32_t MinSizeK = 0;
  if (!StrToInt(Lines[1], MinSizeK)) {
    Problem = "line 2 (minimum size) is not a whole number: \"" + Lines[1] + "\"";
    return false;
  }
  Values.PicTypes = Lines[0];
  Values.MinSizeK = MinSizeK;
  Values.SaveFolder = Lines[2];
  return true;
}

}  // namespace lumora
