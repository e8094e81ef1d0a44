#include "app/SettingsLoad.h"

#include <cstdint>
#include <cstdio>

#include "grab/SettingsFile.h"
#include "sys/LumoraError.h"

namespace lumora {

std::string SettingsFileName(const std::string& AppDir) {
  return AppDir + "\\task\\shuxing.txt";
}

std::vector<std::string> LoadSettingsLines(const std::string& FileName) {
  std::FILE* F = std::fopen(FileName.c_str(), "rb");
  if (!F) throw ELumoraError("Cannot open file " + FileName);
  std::string Text;
  char Block[4096];
  for (std::size_t N; (N = std::fread(Block, 1, sizeof Block, F)) > 0;) Text.append(Block, N);
  const bool Failed = std::ferror(F) != 0;
  std::fclose(F);
  if (Failed) throw ELumoraError("Cannot open file " + FileName);
  return SplitSettingsLines(Text);
}

namespace {

const std::string& Line(const std::vector<std::string>& Lines, std::size_t Index) {
  if (Index >= Lines.size())
    throw ELumoraError("List index out of bounds (" + std::to_string(Index) + ")");
  return Lines[Index];
}

}  // namespace

void ApplySettingsLines(const std::vector<std::string>& Lines, TGrabSettings& Settings) {
  Settings.SetPicTypes(Line(Lines, 0));
  const std::string& Size = Line(Lines, 1);
  std::int32_t MinSizeK = 0;
  if (!StrToInt(Size, MinSizeK)) throw ELumoraError("'" + Size + "' is not a valid integer value");
  Settings.SetMinSizeK(MinSizeK);
  Settings.SetSaveFolder(Line(Lines, 2));
}

}  // namespace lumora
