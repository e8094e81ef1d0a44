#include "app/SettingsLoad.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "grab/FolderVariables.h"
#include "grab/PictureTypes.h"
#include "grab/SettingsFile.h"
#include "sys/FileSystem.h"
#include "sys/LumoraError.h"

namespace lumora {

std::string SettingsFileName(const std::string& AppDir) {
  return AppDir + "\\task\\shuxing.txt";
}

namespace {

enum class TReadResult { Read, Missing, Failed };

TReadResult ReadWholeFile(const std::string& FileName, std::string& Text) {
  std::FILE* F = std::fopen(FileName.c_str(), "rb");
  if (!F) return errno == ENOENT ? TReadResult::Missing : TReadResult::Failed;
  char Block[4096];
  for (std::size_t N; (N = std::fread(Block, 1, sizeof Block, F)) > 0;) Text.append(Block, N);
  const bool Failed = std::ferror(F) != 0;
  std::fclose(F);
  return Failed ? TReadResult::Failed : TReadResult::Read;
}

}  // namespace

std::vector<std::string> LoadSettingsLines(const std::string& FileName) {
  std::string Text;
  if (ReadWholeFile(FileName, Text) != TReadResult::Read)
    throw ELumoraError("Cannot open file " + FileName);
  return SplitSettingsLines(Text);
}

std::string LumoraIniFileName(const std::string& AppDir) {
  return AppDir + "\\task\\lumora.ini";
}

TIniText LoadLumoraIni(const std::string& FileName) {
  std::string Text;
  if (ReadWholeFile(FileName, Text) == TReadResult::Failed)
    throw ELumoraError("Cannot open file " + FileName);
  return TIniText(Text);
}

void SaveLumoraIni(const std::string& FileName, const TGrabSettingsValues& Values) {
  TIniText Ini = LoadLumoraIni(FileName);
  GrabSettingsToIni(Values, Ini);
  if (!ReplaceFileContents(FileName, Ini.Text()))
    throw ELumoraError("Cannot create file " + FileName);
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
  // A supplied file names the folder with %VARIABLES%; the program, the
  // panel and a saved file then hold the real one.
  Settings.SetSaveFolder(ExpandFolderVariables(Line(Lines, 2)));
}

}  // namespace lumora

namespace lumora {

TSettingsPanelState PanelFromSettings(const TGrabSettingsValues& Values) {
  TSettingsPanelState P;
  auto Has = [&](const char* Type) { return IsPictureTypeEnabled(Type, Values.PicTypes); };
  P.Jpg = Has("JPG");
  P.Bmp = Has("BMP");
  P.Gif = Has("GIF");
  P.Tif = Has("TIF");
  P.Png = Has("PNG");
  P.Webp = Has("WEBP");
  P.Avif = Has("AVIF");
  P.SizeFilter = Values.MinSizeK != 0;
  P.SizeText = P.SizeFilter ? std::to_string(Values.MinSizeK) : "10";
  P.Folder = Values.SaveFolder;
  P.TodaysWeb = Values.TodaysWeb;
  return P;
}

std::string PicTypesFromPanel(const TSettingsPanelState& Panel) {
  std::string Types;
  if (Panel.Jpg) Types += ".JPG";
  if (Panel.Bmp) Types += ".BMP";
  if (Panel.Gif) Types += ".GIF";
  if (Panel.Tif) Types += ".TIF";
  if (Panel.Png) Types += ".PNG";
  if (Panel.Webp) Types += ".WEBP";
  if (Panel.Avif) Types += ".AVIF";
  return Types;
}

TGrabSettingsValues SettingsFromPanel(const TSettingsPanelState& Panel) {
  TGrabSettingsValues V;
  V.PicTypes = PicTypesFromPanel(Panel);
  std::int32_t Size = 0;
  V.MinSizeK = Panel.SizeFilter && StrToInt(Panel.SizeText, Size) ? Size : 0;
  V.SaveFolder = Panel.Folder;
  V.TodaysWeb = Panel.TodaysWeb;
  return V;
}

void CommitSettingsPanel(const TSettingsPanelState& Panel, TGrabSettings& Settings,
                         std::vector<std::string>& Lines, const std::string& FileName) {
  Settings.SetPicTypes(PicTypesFromPanel(Panel));
  std::int32_t MinSizeK = 0;
  if (Panel.SizeFilter && !StrToInt(Panel.SizeText, MinSizeK))
    throw ELumoraError("'" + Panel.SizeText + "' is not a valid integer value");
  Settings.SetMinSizeK(MinSizeK);
  // Only the finished folder is published: a worker taking its settings
  // meanwhile must never see it without its separator.
  std::string Folder = Panel.Folder;
  EnsureSaveFolder(Folder);
  Settings.SetSaveFolder(Folder);
  Settings.SetTodaysWeb(Panel.TodaysWeb);
  const std::string Values[] = {Settings.PicTypes(), std::to_string(MinSizeK),
                                Settings.SaveFolder()};
  for (std::size_t I = 0; I < 3; ++I) {
    if (I >= Lines.size())
      throw ELumoraError("List index out of bounds (" + std::to_string(I) + ")");
    Lines[I] = Values[I];
  }
  SaveSettingsLines(FileName, Lines);
}

void SaveSettingsLines(const std::string& FileName, const std::vector<std::string>& Lines) {
  if (!ReplaceFileContents(FileName, JoinSettingsLines(Lines)))
    throw ELumoraError("Cannot create file " + FileName);
}

}  // namespace lumora
