#include "cli/CliSettings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/SettingsLoad.h"
#include "grab/FolderVariables.h"
#include "grab/LumoraIni.h"
#include "grab/SettingsFile.h"
#include "sys/FileSystem.h"
#include "sys/LumoraError.h"

namespace lumora {

std::string LumoraIniBeside(const std::string& SettingsPath) {
#ifdef _WIN32
  const auto Slash = SettingsPath.find_last_of("\\/:");
#else
  const auto Slash = SettingsPath.rfind('/');
#endif
  const std::string Folder =
      Slash == std::string::npos ? std::string() : SettingsPath.substr(0, Slash + 1);
  return Folder + "lumora.ini";
}

bool ReadSettingsFiles(const std::string& SettingsPath, TGrabSettingsValues& Values,
                       std::string& Problem) {
  std::FILE* F = std::fopen(SettingsPath.c_str(), "rb");
  if (!F) {
    Problem = "cannot read the settings file " + SettingsPath + ": " + std::strerror(errno);
    return false;
  }
  std::string Text;
  char Block[4096];
  for (std::size_t N; (N = std::fread(Block, 1, sizeof Block, F)) > 0;) Text.append(Block, N);
  const bool Failed = std::ferror(F) != 0;
  const int Error = errno;
  std::fclose(F);
  if (Failed) {
    Problem = "cannot read the settings file " + SettingsPath + ": " + std::strerror(Error);
    return false;
  }
  std::string Why;
  if (!SettingsFromLines(SplitSettingsLines(Text), Values, Why)) {
    Problem = "the settings file " + SettingsPath + " is unusable: " + Why;
    return false;
  }
  // The folder line as the program reads it.
  Values.SaveFolder = ExpandFolderVariables(Values.SaveFolder);
  const std::string Ini = LumoraIniBeside(SettingsPath);
  try {
    GrabSettingsFromIni(LoadLumoraIni(Ini), Values);
  } catch (const ELumoraError&) {
    Problem = "cannot read the settings file " + Ini;
    return false;
  }
  return true;
}

const char* TodaysWebNote(const TGrabSettingsValues& Values) {
  return Values.TodaysWeb ? " (today's web)" : "";
}

}  // namespace lumora
